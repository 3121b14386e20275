#include "company/ui/list_window.h"

#include <QHBoxLayout>
#include <QTextCursor>
#include <QVBoxLayout>

#include "company/company_options.h"
#include "company/rich_text.h"
#include "company/text_print.h"
#include "platform/message.h"
#include "platform/regular_file.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"

namespace tallybook::company::ui {

using platform::qt::ToQString;

namespace {
// A list file is a few lines per record; anything far larger is not one.
constexpr size_t kMaxListFileSize = 64 << 20;
}  // namespace

TListWindow::TListWindow(App& app, QWidget* parent)
    : QDialog(parent), app_(app), font_(ManagersFontOf(app.CurrentCompany)) {
  RichEdit1 = new QTextEdit(this);
  RichEdit1->setReadOnly(true);
  RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
  RichEdit1->setAcceptRichText(false);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                     Qt::TextSelectableByKeyboard);

  PrintButton = new QPushButton("Print", this);
  FontButton = new QPushButton("Font/Color", this);
  SaveButton = new QPushButton("Save to File", this);
  CloseButton = new QPushButton("Close", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(PrintButton);
  buttons->addWidget(FontButton);
  buttons->addWidget(SaveButton);
  buttons->addStretch(1);
  buttons->addWidget(CloseButton);
  StatusLine = new QLabel(this);
  StatusLine->setTextFormat(Qt::PlainText);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(RichEdit1, 1);
  layout->addLayout(buttons);
  layout->addWidget(StatusLine);

  connect(PrintButton, &QPushButton::clicked, this, [this] { PrintButtonClick(); });
  connect(FontButton, &QPushButton::clicked, this, [this] { FontButtonClick(); });
  connect(SaveButton, &QPushButton::clicked, this, [this] { SaveButtonClick(); });
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
  resize(720, 480);
  ApplyFont();
}

bool TListWindow::LoadFile(const std::string& path) {
  text_.clear();
  RichEdit1->clear();
  if (platform::ReadRegularFile(path, kMaxListFileSize, &text_) !=
      platform::FileRead::kOk) {
    text_.clear();
    platform::ShowError(app_.services().messages, caption_,
                        kUnableToReadList + path);
    return false;
  }
  // The view shows the text as it is: no markup is read from a list file.
  RichEdit1->setPlainText(ToQString(text_));
  RichEdit1->moveCursor(QTextCursor::Start);
  ApplyFont();
  return true;
}

void TListWindow::SetCaption(const std::string& caption) {
  caption_ = caption;
  setWindowTitle(ToQString(caption));
}

int TListWindow::Execute() {
  return app_.services().windows.RunModal(kListWindowName, [this] { return exec(); });
}

void TListWindow::ApplyFont() {
  QFont font = platform::qt::ToQFont(font_);
  RichEdit1->setFont(font);
  RichEdit1->document()->setDefaultFont(font);
  QPalette palette = RichEdit1->palette();
  palette.setColor(QPalette::Text, platform::qt::ToQColor(font_.color));
  RichEdit1->setPalette(palette);
}

void TListWindow::PrintButtonClick() {
  const platform::PrintJobStatus status =
      PrintText(app_.services().printer, caption_, text_, font_);
  if (!status.ok) {
    platform::ShowError(app_.services().messages, kPrintFailedCaption,
                        status.error);
    return;
  }
  const std::string where = platform::PrintedWhereText(status);
  StatusLine->setText(ToQString(where));
  app_.ShowStatus(where);
}

void TListWindow::FontButtonClick() {
  std::optional<platform::Font> chosen = app_.services().dialogs.ChooseFont(font_);
  if (!chosen) return;
  font_ = *chosen;
  ApplyFont();
}

void TListWindow::SaveButtonClick() {
  platform::FileDialogRequest request;
  request.caption = kSaveAsCaption;
  request.file_name = list_name_ + ".RTF";
  request.filters = {{kRichTextFilterName, kRichTextPattern}};
  request.default_suffix = kRichTextSuffix;
  std::optional<std::string> path = app_.services().dialogs.SaveFile(request);
  if (!path) return;
  if (!SaveRichText(*path, text_, font_)) {
    platform::ShowError(app_.services().messages, kSaveAsCaption,
                        kUnableToSaveList + *path);
  }
}

}  // namespace tallybook::company::ui
