#include "output/ui/letter_wiz.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "company/text.h"
#include "output/letter_merge.h"
#include "output/letter_merge_print.h"
#include "output/letter_print.h"
#include "output/letter_texts.h"
#include "output/ruler_scale.h"
#include "output/ui/letter_rich_text.h"
#include "output/ui/letter_ruler.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::output::ui {

namespace {

using platform::qt::ThemeIcon;

QString FromCp1252(const std::string& text) {
  return QString::fromStdString(company::Cp1252ToUtf8(text));
}

QAction* AddAction(QToolBar* bar, const QString& text,
                   std::initializer_list<const char*> icons) {
  QAction* action = bar->addAction(ThemeIcon(icons), text);
  action->setToolTip(QString(text).remove('&'));
  return action;
}

}  // namespace

TLetterWiz::TLetterWiz(company::App& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(kLetterWizName);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  menu_bar_ = new QMenuBar(this);
  layout->setMenuBar(menu_bar_);
  file_bar_ = BuildFileBar();
  format_bar_ = BuildFormatBar();
  layout->addWidget(file_bar_);
  layout->addWidget(format_bar_);

  Ruler = new LetterRuler(this);
  layout->addWidget(Ruler);
  Editor = new QTextEdit(this);
  Editor->setObjectName("Editor");
  Editor->setAcceptRichText(true);
  Editor->setTabChangesFocus(false);
  Editor->setCurrentCharFormat(ToQt(CharFormat{}));
  layout->addWidget(Editor, 1);
  Ruler->SetOrigin(Editor->frameWidth() +
                   static_cast<int>(Editor->document()->documentMargin()));
  ProgressPanel = new QLabel(this);
  ProgressPanel->setObjectName("ProgressPanel");
  ProgressPanel->setAlignment(Qt::AlignCenter);
  ProgressPanel->hide();
  layout->addWidget(ProgressPanel, 1);
  StatusBar = new QStatusBar(this);
  layout->addWidget(StatusBar);
  BuildMenus(menu_bar_);

  connect(Editor, &QTextEdit::currentCharFormatChanged, this,
          [this] { ShowCurrentFormat(); });
  connect(Editor, &QTextEdit::cursorPositionChanged, this,
          [this] { ShowCurrentFormat(); });
  connect(Editor->document(), &QTextDocument::modificationChanged, this,
          [this](bool) { setWindowModified(modified()); });
  connect(Ruler, &LetterRuler::IndentsChanged, this,
          [this] { ApplyRulerIndents(); });
  platform::qt::HelpOnF1(this, [this] { HelpClick(); });

  SetFileName(kUntitledLetter);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    setGeometry(screen->availableGeometry());
  }
  ShowCurrentFormat();
}

QToolBar* TLetterWiz::BuildFileBar() {
  auto* bar = new QToolBar(this);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  connect(AddAction(bar, "New", {"document-new"}), &QAction::triggered, this,
          [this] { FileNewClick(); });
  connect(AddAction(bar, "Open", {"document-open"}), &QAction::triggered,
          this, [this] { FileOpenClick(); });
  connect(AddAction(bar, "Save", {"document-save"}), &QAction::triggered,
          this, [this] { FileSaveClick(); });
  connect(AddAction(bar, "Print", {"document-print"}), &QAction::triggered,
          this, [this] { PrintClick(); });
  bar->addSeparator();
  QueueButton = AddAction(bar, "Queue", {"view-list-details", "x-office-address-book"});
  connect(QueueButton, &QAction::triggered, this, [this] { QueueClick(); });
  bar->addSeparator();
  bar->addWidget(new QLabel("Merge fields: ", bar));
  MergeFieldList = new QComboBox(bar);
  MergeFieldList->setObjectName("MergeFieldList");
  // For reference only: choosing a field inserts nothing.
  for (const MergeField& field : MergeFields()) {
    if (field.description == nullptr) continue;
    MergeFieldList->addItem(QString("%1 - %2").arg(field.name, field.description));
  }
  bar->addWidget(MergeFieldList);
  bar->addSeparator();
  connect(AddAction(bar, "Help", {"help-contents"}), &QAction::triggered,
          this, [this] { HelpClick(); });
  return bar;
}

QToolBar* TLetterWiz::BuildFormatBar() {
  auto* bar = new QToolBar(this);
  FontName = new QComboBox(bar);
  FontName->setObjectName("FontName");
  QStringList families = QFontDatabase::families();
  families.sort(Qt::CaseInsensitive);
  FontName->addItems(families);
  bar->addWidget(FontName);
  connect(FontName, &QComboBox::activated, this, [this](int) {
    QTextCharFormat f;
    f.setFontFamilies({FontName->currentText()});
    MergeCharFormat(f);
  });
  FontSize = new QComboBox(bar);
  FontSize->setObjectName("FontSize");
  FontSize->setEditable(true);
  FontSize->setValidator(new QIntValidator(1, 1638, FontSize));
  for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}) {
    FontSize->addItem(QString::number(size));
  }
  bar->addWidget(FontSize);
  connect(FontSize, &QComboBox::activated, this, [this](int) { ApplyFontSize(); });
  connect(FontSize->lineEdit(), &QLineEdit::editingFinished, this,
          [this] { ApplyFontSize(); });
  auto toggle = [&](const QString& text, const char* icon) {
    QAction* a = AddAction(bar, text, {icon});
    a->setCheckable(true);
    return a;
  };
  BoldButton = toggle("&Bold", "format-text-bold");
  BoldButton->setShortcut(QKeySequence::Bold);
  ItalicButton = toggle("&Italic", "format-text-italic");
  ItalicButton->setShortcut(QKeySequence::Italic);
  UnderlineButton = toggle("&Underline", "format-text-underline");
  UnderlineButton->setShortcut(QKeySequence::Underline);
  connect(BoldButton, &QAction::triggered, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    MergeCharFormat(f);
  });
  connect(ItalicButton, &QAction::triggered, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    MergeCharFormat(f);
  });
  connect(UnderlineButton, &QAction::triggered, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    MergeCharFormat(f);
  });
  bar->addSeparator();
  LeftAlign = toggle("Align &Left", "format-justify-left");
  CenterAlign = toggle("&Center", "format-justify-center");
  RightAlign = toggle("Align &Right", "format-justify-right");
  connect(LeftAlign, &QAction::triggered, this, [this] { Align(Qt::AlignLeft); });
  connect(CenterAlign, &QAction::triggered, this,
          [this] { Align(Qt::AlignHCenter); });
  connect(RightAlign, &QAction::triggered, this, [this] { Align(Qt::AlignRight); });
  BulletButton = toggle("B&ullets", "format-list-unordered");
  connect(BulletButton, &QAction::triggered, this, [this] { BulletClick(); });
  return bar;
}

void TLetterWiz::BuildMenus(QMenuBar* menu_bar) {
  QMenu* file = menu_bar->addMenu("&File");
  QAction* a = file->addAction("&New", this, [this] { FileNewClick(); });
  platform::qt::SetStandardKeys(a, platform::qt::StandardKey::kNew);
  file->addAction("&Open...", QKeySequence::Open, this, [this] { FileOpenClick(); });
  a = file->addAction("&Save", this, [this] { FileSaveClick(); });
  platform::qt::SetStandardKeys(a, platform::qt::StandardKey::kSave);
  file->addAction("Save &As...", this, [this] { FileSaveAsClick(); });
  file->addSeparator();
  a = file->addAction("&Print", this, [this] { PrintClick(); });
  platform::qt::SetStandardKeys(a, platform::qt::StandardKey::kPrint);
  file->addAction("P&rinter Setup", this, [this] { PrinterSetupClick(); });
  QueueMenuItem = file->addAction("&Queue...", this, [this] { QueueClick(); });
  file->addSeparator();
  a = file->addAction("&Close", this, [this] { reject(); });
  platform::qt::SetStandardKeys(a, platform::qt::StandardKey::kClose);

  QMenu* edit = menu_bar->addMenu("&Edit");
  edit->addAction("&Undo", QKeySequence::Undo, Editor, &QTextEdit::undo);
  edit->addSeparator();
  edit->addAction("Cu&t", QKeySequence::Cut, Editor, &QTextEdit::cut);
  edit->addAction("&Copy", QKeySequence::Copy, Editor, &QTextEdit::copy);
  edit->addAction("&Paste", QKeySequence::Paste, Editor, &QTextEdit::paste);
  edit->addSeparator();
  edit->addAction("&Font...", this, [this] { FontDialogClick(); });

  QMenu* format = menu_bar->addMenu("F&ormat");
  for (QAction* action : {BoldButton, ItalicButton, UnderlineButton}) {
    format->addAction(action);
  }
  format->addSeparator();
  for (QAction* action : {LeftAlign, CenterAlign, RightAlign, BulletButton}) {
    format->addAction(action);
  }
  QMenu* help = menu_bar->addMenu("&Help");
  // F1 itself is the window's (HelpOnF1); a second binding would cancel both.
  help->addAction("&Contents\tF1", this, [this] { HelpClick(); });
}

int TLetterWiz::Execute() {
  // The queue window comes with the label wizard.
  QueueButton->setEnabled(static_cast<bool>(app_.show_label_queue));
  QueueMenuItem->setEnabled(QueueButton->isEnabled());
  return app_.services().windows.RunModal(kLetterWizName,
                                          [this] { return exec(); });
}

LetterDocument TLetterWiz::Letter() const { return TakeLetter(*Editor->document()); }

void TLetterWiz::SetLetter(const LetterDocument& doc) {
  PutLetter(doc, Editor->document());
  Editor->moveCursor(QTextCursor::Start);
  ShowCurrentFormat();
}

bool TLetterWiz::modified() const { return Editor->document()->isModified(); }

void TLetterWiz::SetFileName(const std::string& name) {
  file_name_ = name;
  setWindowTitle(FromCp1252(LetterCaption(name)) + "[*]");
}

TLetterWiz::SaveAnswer TLetterWiz::AskSaveChanges() {
  if (!modified()) return SaveAnswer::kUnmodified;
  switch (platform::AskYesNoCancel(app_.services().messages,
                                   kFormLetterWizardTitle,
                                   SaveChangesText(file_name_))) {
    case platform::Answer::kYes:
      return FileSaveClick() ? SaveAnswer::kSaved : SaveAnswer::kCancelled;
    case platform::Answer::kNo:
      return SaveAnswer::kNotSaved;
    default:
      return SaveAnswer::kCancelled;
  }
}

void TLetterWiz::FileNewClick() {
  if (AskSaveChanges() == SaveAnswer::kCancelled) return;
  SetLetter(LetterDocument{});
  SetFileName(kUntitledLetter);
}

void TLetterWiz::FileOpenClick() {
  if (AskSaveChanges() == SaveAnswer::kCancelled) return;
  platform::FileDialogRequest request;
  request.caption = "Open";
  request.directory = app_.data_dir();
  request.filters = LetterFileFilters();
  const std::optional<std::string> path =
      app_.services().dialogs.OpenFile(request);
  if (!path) return;
  std::string error;
  const std::optional<LetterDocument> doc = LoadLetterFile(*path, &error);
  if (!doc) {
    platform::ShowError(app_.services().messages, kFormLetterWizardTitle,
                        company::Utf8ToCp1252(error));
    return;
  }
  SetLetter(*doc);
  SetFileName(*path);
}

bool TLetterWiz::FileSaveClick() {
  if (file_name_ == kUntitledLetter) return FileSaveAsClick();
  return WriteLetter(file_name_);
}

bool TLetterWiz::FileSaveAsClick() {
  platform::FileDialogRequest request;
  request.caption = "Save As";
  request.directory = app_.data_dir();
  request.file_name = file_name_ == kUntitledLetter ? "" : file_name_;
  request.filters = LetterFileFilters();
  request.default_suffix = "RTF";
  request.confirm_overwrite = false;  // asked below, in the window's words
  const std::optional<std::string> path =
      app_.services().dialogs.SaveFile(request);
  if (!path) return false;
  std::error_code ec;
  if (std::filesystem::exists(*path, ec) &&
      !platform::ConfirmDefaultNo(app_.services().messages,
                                  kFormLetterWizardTitle,
                                  OverwriteText(*path))) {
    return false;
  }
  if (!WriteLetter(*path)) return false;
  SetFileName(*path);
  return true;
}

bool TLetterWiz::WriteLetter(const std::string& path) {
  std::string error;
  if (!SaveLetterFile(path, Letter(), &error)) {
    platform::ShowError(app_.services().messages, kFormLetterWizardTitle,
                        company::Utf8ToCp1252(error));
    return false;
  }
  Editor->document()->setModified(false);
  StatusBar->showMessage(QString::fromStdString("Saved " + path));
  return true;
}

void TLetterWiz::PrintClick() {
  if (!MayMergePrint(app_, Letter())) return;
  if (!app_.services().printer.SetupDialog()) return;
  const SaveAnswer answer = AskSaveChanges();
  if (answer == SaveAnswer::kCancelled) return;
  // The letter as saved, read again from its file; a letter the user chose
  // not to save is merged as the editor shows it and stays modified after.
  LetterDocument letter = Letter();
  const bool keep_modified = answer == SaveAnswer::kNotSaved;
  if (!keep_modified && file_name_ != kUntitledLetter) {
    std::string error;
    if (auto loaded = LoadLetterFile(file_name_, &error)) letter = *loaded;
  }
  SetBusy(true);
  ProgressPanel->setText(kProcessingText);
  MergePrintOutcome outcome;
  {
    company::BusyGuard busy(app_);
    outcome = MergePrintToPrinter(
        app_, letter, LetterBaseName(file_name_), [this](const std::string& text) {
          ProgressPanel->setText(QString::fromStdString(text));
          QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
  }
  SetLetter(outcome.restored ? *outcome.restored : letter);
  Editor->document()->setModified(keep_modified);
  SetBusy(false);
  if (!outcome.jobs.empty()) {
    StatusBar->showMessage(FromCp1252(platform::PrintedWhereText(outcome.jobs.back())));
  }
}

void TLetterWiz::SetBusy(bool busy) {
  Editor->setVisible(!busy);
  Ruler->setVisible(!busy);
  ProgressPanel->setVisible(busy);
  menu_bar_->setEnabled(!busy);
  file_bar_->setEnabled(!busy);
  format_bar_->setEnabled(!busy);
}

void TLetterWiz::QueueClick() {
  if (app_.show_label_queue) app_.show_label_queue();
}

void TLetterWiz::PrinterSetupClick() { app_.services().printer.SetupDialog(); }

void TLetterWiz::HelpClick() { app_.services().help.ShowHelp(kFormWizardHelpTopic); }

void TLetterWiz::reject() {
  // Cancel at the question refuses the close.
  if (AskSaveChanges() == SaveAnswer::kCancelled) return;
  QDialog::reject();
}

void TLetterWiz::MergeCharFormat(const QTextCharFormat& format) {
  QTextCursor cursor = Editor->textCursor();
  if (!cursor.hasSelection()) cursor.select(QTextCursor::WordUnderCursor);
  cursor.mergeCharFormat(format);
  Editor->mergeCurrentCharFormat(format);
  Editor->setFocus();
}

void TLetterWiz::ApplyFontSize() {
  if (FontSize->currentText().trimmed().isEmpty()) {
    FontSize->setEditText(kDefaultFontSizeText);
  }
  const int size = FontSize->currentText().toInt();
  if (size <= 0) return;
  QTextCharFormat f;
  f.setFontPointSize(size);
  MergeCharFormat(f);
}

void TLetterWiz::FontDialogClick() {
  const CharFormat current = FromQt(Editor->currentCharFormat());
  const std::optional<platform::Font> chosen =
      app_.services().dialogs.ChooseFont(FontOf(current));
  if (!chosen) return;
  CharFormat f = current;
  f.font = company::Cp1252ToUtf8(chosen->name);
  f.half_points = chosen->size_points * 2;
  f.bold = chosen->bold();
  f.italic = chosen->italic();
  f.underline = chosen->underline();
  f.color = chosen->color;
  MergeCharFormat(ToQt(f));
}

void TLetterWiz::BulletClick() {
  QTextCursor cursor = Editor->textCursor();
  if (QTextList* list = cursor.currentList()) {
    list->remove(cursor.block());
    QTextBlockFormat block = cursor.blockFormat();
    block.setIndent(0);
    cursor.setBlockFormat(block);
  } else {
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    cursor.createList(format);
  }
  ShowCurrentFormat();
}

void TLetterWiz::Align(Qt::Alignment alignment) {
  Editor->setAlignment(alignment);
  ShowCurrentFormat();
}

void TLetterWiz::ApplyRulerIndents() {
  const LetterRuler::Indents indents = Ruler->indents();
  QTextCursor cursor = Editor->textCursor();
  QTextBlockFormat block = cursor.blockFormat();
  block.setTextIndent(PixelsFromPoints(indents.first));
  block.setLeftMargin(PixelsFromPoints(indents.left));
  block.setRightMargin(PixelsFromPoints(indents.right));
  cursor.setBlockFormat(block);
}

void TLetterWiz::ShowCurrentFormat() {
  const CharFormat f = FromQt(Editor->currentCharFormat());
  const QSignalBlocker b1(FontName), b2(FontSize);
  FontName->setCurrentText(QString::fromStdString(f.font));
  FontSize->setEditText(QString::number(f.half_points / 2));
  BoldButton->setChecked(f.bold);
  ItalicButton->setChecked(f.italic);
  UnderlineButton->setChecked(f.underline);
  const QTextCursor cursor = Editor->textCursor();
  const QTextBlockFormat block = cursor.blockFormat();
  const Qt::Alignment align = block.alignment() & Qt::AlignHorizontal_Mask;
  CenterAlign->setChecked(align & Qt::AlignHCenter);
  RightAlign->setChecked(align & Qt::AlignRight);
  LeftAlign->setChecked(!(align & (Qt::AlignHCenter | Qt::AlignRight)));
  BulletButton->setChecked(cursor.currentList() != nullptr);
  Ruler->SetIndents({PointsFromPixels(block.textIndent()),
                     PointsFromPixels(block.leftMargin()),
                     PointsFromPixels(block.rightMargin())});
}

}  // namespace tallybook::output::ui
