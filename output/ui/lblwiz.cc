#include "output/ui/lblwiz.h"

#include <QApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "platform/modal_windows.h"
#include "platform/qt/number_fields.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::output::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

QLineEdit* DigitsField(int digits, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  platform::qt::MakeWholeNumberField(edit, digits);
  return edit;
}

QLineEdit* TextField(int max_length, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(max_length);
  return edit;
}

}  // namespace

Tlblwiz::Tlblwiz(company::App& app, std::function<bool()> choose_customer,
                 QWidget* parent)
    : QDialog(parent),
      app_(app),
      choose_customer_(std::move(choose_customer)),
      wizard_(app) {
  setObjectName(kLblwizName);
  setWindowTitle(kLabelWizardTitle);
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QMenuBar(this);
  layout->setMenuBar(bar);

  auto* sheet = new QGroupBox("Label Layout", this);
  auto* form = new QGridLayout(sheet);
  Description = TextField(50, sheet);
  TopMargin = DigitsField(3, sheet);
  LeftMargin = DigitsField(3, sheet);
  Columns = DigitsField(1, sheet);
  Rows = DigitsField(2, sheet);
  LabelWidth = DigitsField(4, sheet);
  LabelHeight = DigitsField(4, sheet);
  StartLabel = DigitsField(3, sheet);
  Copies = DigitsField(3, sheet);
  LineWidth = DigitsField(1, sheet);
  SendToCaption = TextField(10, sheet);
  UseShipping = new QCheckBox("Use Shipping Address", sheet);
  ReturnAddress = new QCheckBox("Print company return address", sheet);
  PrintLine = new QCheckBox("Print line between addresses", sheet);
  FontLabel = new QLabel(sheet);
  BitmapLabel = new QLabel(sheet);
  auto* description_label = new QLabel("Layout &Description:", sheet);
  description_label->setBuddy(Description);
  form->addWidget(description_label, 0, 0);
  form->addWidget(Description, 0, 1, 1, 3);
  const std::pair<const char*, QLineEdit*> fields[] = {
      {"&Top Margin:", TopMargin},     {"&Left Margin:", LeftMargin},
      {"Columns &Across:", Columns},   {"Rows Do&wn:", Rows},
      {"Label W&idth:", LabelWidth},   {"Label &Height:", LabelHeight},
      {"Start at La&bel:", StartLabel}, {"Copies of each la&bel:", Copies},
      {"Line Wi&dth:", LineWidth},     {"Send-&to Caption:", SendToCaption}};
  int row = 1;
  int column = 0;
  for (const auto& [caption, edit] : fields) {
    auto* label = new QLabel(caption, sheet);
    label->setBuddy(edit);
    form->addWidget(label, row, column);
    form->addWidget(edit, row, column + 1);
    column = column == 0 ? 2 : 0;
    if (column == 0) ++row;
  }
  form->addWidget(UseShipping, row, 0, 1, 2);
  form->addWidget(ReturnAddress, row, 2, 1, 2);
  form->addWidget(PrintLine, ++row, 2, 1, 2);
  form->addWidget(FontLabel, ++row, 0, 1, 4);
  form->addWidget(BitmapLabel, ++row, 0, 1, 4);
  layout->addWidget(sheet);

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setRootIsDecorated(false);
  ListView1->setHeaderLabels(
      {"Number", "Customer Name", "Sort Code", "Customer Type"});
  ListView1->header()->setSectionsClickable(true);
  connect(ListView1->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { HeaderClick(column); });
  layout->addWidget(ListView1, 1);

  auto* queue_buttons = new QHBoxLayout;
  FindButton = new QPushButton("&Find / Add", this);
  DeleteButton = new QPushButton("De&lete", this);
  ClearButton = new QPushButton("Clear &All", this);
  LoadAllButton = new QPushButton("Load All &Customers", this);
  platform::qt::SetThemeIcon(FindButton, {"edit-find"});
  platform::qt::SetThemeIcon(DeleteButton, {"edit-delete"});
  platform::qt::SetThemeIcon(ClearButton, {"edit-clear"});
  for (QPushButton* b : {FindButton, DeleteButton, ClearButton, LoadAllButton}) {
    queue_buttons->addWidget(b);
  }
  for (int k = 0; k < 4; ++k) {
    AgingButton[k] = new QPushButton(this);
    connect(AgingButton[k], &QPushButton::clicked, this,
            [this, k] { AgingClick(k + 1); });
    queue_buttons->addWidget(AgingButton[k]);
  }
  layout->addLayout(queue_buttons);

  auto* buttons = new QHBoxLayout;
  PrintButton = new QPushButton("&Print Labels", this);
  HelpButton = new QPushButton("Help", this);
  CloseButton = new QPushButton("Close", this);
  platform::qt::SetThemeIcon(PrintButton, {"document-print"});
  platform::qt::SetThemeIcon(HelpButton, {"help-contents"});
  platform::qt::SetThemeIcon(CloseButton, {"window-close"});
  buttons->addStretch();
  for (QPushButton* b : {PrintButton, HelpButton, CloseButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  StatusBar1 = new QLabel(this);
  StatusBar1->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(StatusBar1);

  connect(FindButton, &QPushButton::clicked, this, [this] { FindClick(); });
  connect(DeleteButton, &QPushButton::clicked, this, [this] { DeleteClick(); });
  connect(ClearButton, &QPushButton::clicked, this, [this] { ClearClick(); });
  connect(LoadAllButton, &QPushButton::clicked, this,
          [this] { LoadAllClick(); });
  connect(PrintButton, &QPushButton::clicked, this, [this] { PrintClick(); });
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
  const auto help = [this] {
    app_.services().help.ShowHelp(kLabelWizardHelpTopic);
  };
  connect(HelpButton, &QPushButton::clicked, this, help);
  BuildMenus(bar);
  platform::qt::UseFormKeys(this, nullptr, help);

  wizard_.status_changed = [this](const std::string& text) {
    StatusBar1->setText(ToQString(text));
  };
  StatusBar1->setText(ToQString(wizard_.status()));
  resize(760, 620);
}

void Tlblwiz::BuildMenus(QMenuBar* bar) {
  QMenu* label = bar->addMenu("&Label");
  label->addAction("&Open...", this, [this] { OpenClick(); });
  // Save As stays on without a layout: it is how a first layout is made.
  label->addAction("&Save As...", this, [this] { SaveAsClick(); });
  label->addAction("&Font...", this, [this] { FontClick(); });
  label->addAction("&Bitmap...", this, [this] { BitmapClick(); });
  label->addAction("Calibration &Ruler", this, [this] { RulerClick(); });
  label->addSeparator();
  layout_actions_.push_back(
      label->addAction("&Print Labels", this, [this] { PrintClick(); }));
  label->addAction("Print Set&up...", this, [this] { PrintSetupClick(); });
  label->addSeparator();
  QAction* close = label->addAction("&Close", this, &QDialog::accept);
  platform::qt::SetStandardKeys(close, platform::qt::StandardKey::kClose);
  platform::qt::SetStandardKeys(layout_actions_.back(),
                                platform::qt::StandardKey::kPrint);

  QMenu* records = bar->addMenu("&Records");
  QAction* find =
      records->addAction("&Find Customer / Add", this, [this] { FindClick(); });
  platform::qt::SetStandardKeys(find, platform::qt::StandardKey::kFind);
  QAction* remove =
      records->addAction("&Delete Record", this, [this] { DeleteClick(); });
  platform::qt::SetStandardKeys(remove, platform::qt::StandardKey::kDelete);
  layout_actions_.push_back(find);
  layout_actions_.push_back(remove);
  layout_actions_.push_back(records->addAction(
      "&Clear All Records", this, [this] { ClearClick(); }));
  records->addSeparator();
  layout_actions_.push_back(records->addAction(
      "&Save Records to File...", this, [this] { SaveRecordsClick(); }));
  layout_actions_.push_back(records->addAction(
      "Load Records from Sa&ved File...", this, [this] { LoadRecordsClick(); }));
  layout_actions_.push_back(records->addAction(
      "Load &All Customers", this, [this] { LoadAllClick(); }));

  QMenu* help = bar->addMenu("&Help");
  help->addAction("&Label Wizard Help", this, [this] {
    app_.services().help.ShowHelp(kLabelWizardHelpTopic);
  });
}

void Tlblwiz::FormCreate() {
  wizard_.Startup();
  if (wizard_.layout_ready()) ShowLayout(wizard_.loaded());
  EnableCommands();
}

void Tlblwiz::FormShow() {
  const auto captions = AgingButtonCaptions(app_.CurrentCompany);
  for (int k = 0; k < 4; ++k) AgingButton[k]->setText(ToQString(captions[k]));
  StartLabel->setText("1");
  Copies->setText("1");
  RefreshQueue();
  EnableCommands();
}

int Tlblwiz::Execute() {
  FormShow();
  return app_.services().windows.RunModal(kLblwizName, [this] { return exec(); });
}

LabelLayout Tlblwiz::FieldsLayout() const {
  LabelLayout l;
  l.description = FromQString(Description->text());
  l.left_margin = FromQString(LeftMargin->text());
  l.top_margin = FromQString(TopMargin->text());
  l.columns = FromQString(Columns->text());
  l.rows = FromQString(Rows->text());
  l.label_width = FromQString(LabelWidth->text());
  l.label_height = FromQString(LabelHeight->text());
  l.font = font_;
  l.use_shipping = UseShipping->isChecked();
  l.return_address = ReturnAddress->isChecked();
  l.logo_file = logo_file_;
  l.print_line = PrintLine->isChecked();
  l.line_width = FromQString(LineWidth->text());
  l.send_to_caption = FromQString(SendToCaption->text());
  return l;
}

void Tlblwiz::ShowLayout(const LabelLayout& l) {
  Description->setText(ToQString(l.description));
  LeftMargin->setText(ToQString(l.left_margin));
  TopMargin->setText(ToQString(l.top_margin));
  Columns->setText(ToQString(l.columns));
  Rows->setText(ToQString(l.rows));
  LabelWidth->setText(ToQString(l.label_width));
  LabelHeight->setText(ToQString(l.label_height));
  UseShipping->setChecked(l.use_shipping);
  ReturnAddress->setChecked(l.return_address);
  PrintLine->setChecked(l.print_line);
  LineWidth->setText(ToQString(l.line_width));
  SendToCaption->setText(ToQString(l.send_to_caption));
  font_ = l.font;
  logo_file_ = l.logo_file;
  ShowFontAndBitmap();
}

void Tlblwiz::ShowFontAndBitmap() {
  FontLabel->setText("Font: " + ToQString(font_.name) + ", " +
                     QString::number(font_.size_points) + " pt");
  BitmapLabel->setText("Bitmap: " + (logo_file_.empty()
                                         ? QString("(none)")
                                         : platform::qt::PathToQString(logo_file_)));
}

std::optional<size_t> Tlblwiz::SelectedRow() const {
  const QTreeWidgetItem* item = ListView1->currentItem();
  if (item == nullptr || !item->isSelected()) return std::nullopt;
  const int index = ListView1->indexOfTopLevelItem(
      const_cast<QTreeWidgetItem*>(item));
  if (index < 0) return std::nullopt;
  return static_cast<size_t>(index);
}

void Tlblwiz::RefreshQueue() {
  ListView1->clear();
  QList<QTreeWidgetItem*> items;
  for (const company::LabelQueueRow& r : app_.label_queue) {
    items.append(new QTreeWidgetItem(
        {ToQString(r.customer_no), ToQString(r.name), ToQString(r.mail_code),
         ToQString(r.customer_type)}));
  }
  ListView1->addTopLevelItems(items);
}

void Tlblwiz::EnableCommands() {
  const bool ready = wizard_.layout_ready();
  for (QAction* action : layout_actions_) action->setEnabled(ready);
  for (QPushButton* b : {FindButton, DeleteButton, ClearButton, LoadAllButton,
                         PrintButton}) {
    b->setEnabled(ready);
  }
  for (QPushButton* b : AgingButton) b->setEnabled(ready);
}

void Tlblwiz::OpenClick() {
  if (!wizard_.OpenLayout()) return;
  ShowLayout(wizard_.loaded());
  EnableCommands();
}

void Tlblwiz::SaveAsClick() {
  if (!wizard_.SaveLayoutAs(FieldsLayout())) return;
  ShowLayout(wizard_.loaded());
  EnableCommands();
}

void Tlblwiz::FontClick() {
  LabelLayout l = FieldsLayout();
  if (!wizard_.ChooseFont(&l)) return;
  font_ = l.font;
  ShowFontAndBitmap();
}

void Tlblwiz::BitmapClick() {
  LabelLayout l = FieldsLayout();
  if (!wizard_.ChooseBitmap(&l)) return;
  logo_file_ = l.logo_file;
  ShowFontAndBitmap();
}

void Tlblwiz::RulerClick() { wizard_.PrintRuler(); }

void Tlblwiz::FindClick() {
  wizard_.FindCustomer(choose_customer_);
  RefreshQueue();
}

void Tlblwiz::DeleteClick() {
  wizard_.DeleteSelected(SelectedRow());
  RefreshQueue();
}

void Tlblwiz::ClearClick() {
  if (!wizard_.ClearAll()) QApplication::beep();
  RefreshQueue();
}

void Tlblwiz::SaveRecordsClick() { wizard_.SaveRecords(); }

void Tlblwiz::LoadRecordsClick() {
  wizard_.LoadRecords();
  RefreshQueue();
}

void Tlblwiz::LoadAllClick() {
  company::BusyGuard busy(app_);
  wizard_.LoadAll();
  RefreshQueue();
}

void Tlblwiz::AgingClick(int button) {
  wizard_.LoadAging(button);
  RefreshQueue();
}

void Tlblwiz::PrintClick() {
  wizard_.PrintLabels(FieldsLayout(), FromQString(StartLabel->text()),
                      FromQString(Copies->text()));
}

void Tlblwiz::PrintSetupClick() { wizard_.PrintSetup(); }

void Tlblwiz::HeaderClick(int column) {
  SortQueue(app_, column);
  RefreshQueue();
}

}  // namespace tallybook::output::ui
