#include "billing/ui/invoice_editor.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "billing/invoice_lookups.h"
#include "billing/saved_lines.h"
#include "company/text.h"
#include "company/ui/cal_form.h"
#include "company/ui/main_commands.h"
#include "platform/message.h"
#include "platform/qt/text_codec.h"

namespace tallybook::billing::ui {

using company::Trim;
using platform::qt::ToQString;
using platform::qt::FromQString;

namespace {

constexpr int kColumnCount = 7;
const char* const kTitles[kColumnCount] = {
    "LN", "Product#", "Rate/Quan.", "Description / Comment", "Unit Price", "T",
    "Extension"};
// The longest text a cell of each column takes (0: not editable).
constexpr int kCellLength[kColumnCount] = {0, kProductWidth, kQuantityWidth,
                                           kDescriptionWidth, kUnitPriceWidth,
                                           1, 0};

// Cell editors with the column's length; the flag column takes one
// character, upper-cased.
class GridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
      edit->setMaxLength(kCellLength[index.column()]);
      if (index.column() == kColFlag) {
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression("[A-Za-z ]?"), edit));
      }
    }
    return editor;
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (edit && index.column() == kColFlag) {
      model->setData(index, edit->text().toUpper());
      return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
  }
};

QLineEdit* Edit(QWidget* parent, int max_length) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(max_length);
  return edit;
}

QLineEdit* AmountEdit(QWidget* parent) {
  QLineEdit* edit = Edit(parent, kAmountShownLength);
  // Amounts are shown with thousands separators and may be credits, so the
  // field takes signs and commas as well; OK checks the number.
  edit->setValidator(new QRegularExpressionValidator(
      QRegularExpression("[-+0-9., ]*"), edit));
  return edit;
}

QString Q(const std::string& text) { return ToQString(text); }
std::string S(const QString& text) { return FromQString(text); }

}  // namespace

TProdInv::TProdInv(company::App& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(kProdInvName);
  setWindowTitle(kProductInvoiceCaption);
  auto* layout = new QVBoxLayout(this);

  // Header.
  auto* header = new QGridLayout;
  layout->addLayout(header);
  INum = Edit(this, kInvoiceNoLength);
  IDate = new QLineEdit(this);
  IDate->setInputMask(kDateMask);
  DateLabel = new QLabel(kMonthFirstLabel, this);
  Calbutton = new QPushButton("...", this);
  ITerms = new QComboBox(this);
  ITerms->setEditable(true);
  ITerms->lineEdit()->setMaxLength(kTermsLength);
  IStmntNote = Edit(this, kStatementNoteLength);
  INVNOTES = Edit(this, kNotesLength);
  KeyCode = Edit(this, kKeyCodeLength);
  IMode = new QLabel(kAddMode, this);
  int row = 0;
  header->addWidget(new QLabel("Invoice#:", this), row, 0);
  header->addWidget(INum, row, 1);
  header->addWidget(DateLabel, row, 2);
  header->addWidget(IDate, row, 3);
  header->addWidget(Calbutton, row, 4);
  header->addWidget(IMode, row++, 5);
  header->addWidget(new QLabel("Terms:", this), row, 0);
  header->addWidget(ITerms, row, 1);
  header->addWidget(new QLabel("Statement Note:", this), row, 2);
  header->addWidget(IStmntNote, row, 3);
  header->addWidget(new QLabel("Key Code:", this), row, 4);
  header->addWidget(KeyCode, row++, 5);
  header->addWidget(new QLabel("Notes/Comments/Reference:", this), row, 0);
  header->addWidget(INVNOTES, row++, 1, 1, 5);

  // Customer.
  auto* customer = new QGroupBox(this);
  auto* cust = new QGridLayout(customer);
  BitBtn3 = new QPushButton("Customers", customer);
  BitBtn3->setIcon(QIcon::fromTheme("system-users"));
  ICustName = new QLabel(customer);
  ICustNo = new QLabel(customer);
  Sname = new QLabel(customer);
  CBal = new QLabel(customer);
  ICredLimit = new QLabel(customer);
  cust->addWidget(BitBtn3, 0, 0);
  cust->addWidget(new QLabel("Customer:", customer), 0, 1);
  cust->addWidget(ICustName, 0, 2);
  cust->addWidget(new QLabel("Number:", customer), 0, 3);
  cust->addWidget(ICustNo, 0, 4);
  cust->addWidget(new QLabel("SN:", customer), 0, 5);
  cust->addWidget(Sname, 0, 6);
  cust->addWidget(new QLabel("Balance:", customer), 1, 1);
  cust->addWidget(CBal, 1, 2);
  cust->addWidget(new QLabel("Credit Limit:", customer), 1, 3);
  cust->addWidget(ICredLimit, 1, 4);
  Acur = new QLabel(customer);
  A30 = new QLabel(customer);
  A60 = new QLabel(customer);
  A90 = new QLabel(customer);
  const std::array<QLabel*, 4> aging = {Acur, A30, A60, A90};
  for (int i = 0; i < 4; ++i) {
    AgingCaptions[i] = new QLabel(customer);
    cust->addWidget(AgingCaptions[i], 2, 1 + 2 * i);
    cust->addWidget(aging[i], 2, 2 + 2 * i);
  }
  layout->addWidget(customer);

  // Kind, lines and memo.
  auto* kind = new QHBoxLayout;
  kind->addWidget(new QLabel("Invoice Type:", this));
  RadioButton1 = new QRadioButton("&Line Item", this);
  RadioButton2 = new QRadioButton("&Memo", this);
  kind->addWidget(RadioButton1);
  kind->addWidget(RadioButton2);
  kind->addStretch();
  layout->addLayout(kind);

  auto* buttons = new QHBoxLayout;
  auto button = [&](const char* caption, const char* icon) {
    auto* b = new QPushButton(caption, this);
    if (icon) b->setIcon(QIcon::fromTheme(icon));
    buttons->addWidget(b);
    return b;
  };
  SpeedButton2 = button("Find Product", "edit-find");
  DeleteLine = button("Erase Line", "edit-clear");
  MakeNote = button("Add Description comment", nullptr);
  UndoAll = button("Erase All Lines", "edit-clear-all");
  ImportButn = button("Loads Saved Lines", "document-open");
  ExportButn = button("Replaces saved lines with current lines",
                      "document-save");
  TopButn = button("Line Item 1", "go-top");
  CnterButn = button("Line Item 50", nullptr);
  BottButn = button("Line Item 99", "go-bottom");
  SpeedButton8 = button("Calculator", "accessories-calculator");
  layout->addLayout(buttons);

  StringGrid1 = new QTableWidget(kGridLines, kColumnCount, this);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setItemDelegate(new GridDelegate(StringGrid1));
  StringGrid1->installEventFilter(this);
  for (int c = 0; c < kColumnCount; ++c) {
    StringGrid1->setHorizontalHeaderItem(c, new QTableWidgetItem(kTitles[c]));
  }
  for (int r = 0; r < kGridLines; ++r) {
    for (int c = 0; c < kColumnCount; ++c) {
      auto* item = new QTableWidgetItem;
      if (kCellLength[c] == 0) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      StringGrid1->setItem(r, c, item);
    }
    StringGrid1->item(r, kColLine)->setText(QString::number(r + 1));
  }
  const QFontMetrics metrics(StringGrid1->font());
  const char* const widths[] = {"XXi", "XXXXXXXX", "XXXXXXXXX",
                                "XXXXXXXXXXXXXXXXXXXXXXXXX", "XXXXXXXXX", "Xi"};
  for (int c = 0; c < 6; ++c) {
    StringGrid1->setColumnWidth(c, metrics.horizontalAdvance(widths[c]) + 8);
  }
  StringGrid1->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(StringGrid1, 1);

  Memo1 = new QPlainTextEdit(this);
  layout->addWidget(Memo1, 1);
  auto* memo_fields = new QHBoxLayout;
  MemoPDescLabel = new QLabel("Product Description:", this);
  MemoPDesc = Edit(this, kDescriptionWidth);
  MemoQuanLabel = new QLabel("Quantity:", this);
  MemoQuan = Edit(this, kQuantityWidth);
  memo_fields->addWidget(MemoPDescLabel);
  memo_fields->addWidget(MemoPDesc);
  memo_fields->addWidget(MemoQuanLabel);
  memo_fields->addWidget(MemoQuan);
  layout->addLayout(memo_fields);

  // Amounts, timer and the closing buttons.
  auto* amounts = new QGridLayout;
  INet = AmountEdit(this);
  ITax = AmountEdit(this);
  IPaid = AmountEdit(this);
  ITotal = new QLabel(this);
  BalDue = new QLabel(this);
  TaxLbl = new QLabel(this);
  CheckBox2 = new QCheckBox(this);
  PrintFlag = new QCheckBox("P&rint Invoice", this);
  // A caption with a mnemonic focuses its field (and shows no "&").
  auto caption = [this](const char* text, QWidget* field) {
    auto* label = new QLabel(text, this);
    label->setBuddy(field);
    return label;
  };
  amounts->addWidget(caption("&Net:", INet), 0, 0);
  amounts->addWidget(INet, 0, 1);
  amounts->addWidget(caption("&Tax:", ITax), 1, 0);
  amounts->addWidget(ITax, 1, 1);
  amounts->addWidget(TaxLbl, 1, 2);
  amounts->addWidget(new QLabel("Total:", this), 2, 0);
  amounts->addWidget(ITotal, 2, 1);
  amounts->addWidget(caption("&Paid Amount:", IPaid), 3, 0);
  amounts->addWidget(IPaid, 3, 1);
  amounts->addWidget(new QLabel("Balance Due:", this), 4, 0);
  amounts->addWidget(BalDue, 4, 1);
  amounts->addWidget(CheckBox2, 0, 3);
  amounts->addWidget(PrintFlag, 1, 3);
  TimeBtn = new QPushButton(kStartTimer, this);
  StartTime = new QLabel(this);
  ElapsedTime = new QLabel(this);
  ToHours = new QLabel(this);
  amounts->addWidget(TimeBtn, 2, 3);
  amounts->addWidget(new QLabel("Started:", this), 2, 4);
  amounts->addWidget(StartTime, 2, 5);
  amounts->addWidget(new QLabel("Elapsed:", this), 3, 4);
  amounts->addWidget(ElapsedTime, 3, 5);
  amounts->addWidget(new QLabel("Hours:", this), 4, 4);
  amounts->addWidget(ToHours, 4, 5);
  layout->addLayout(amounts);
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);

  auto* closing = new QHBoxLayout;
  OKButton = new QPushButton("&Ok", this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  InvClose = new QPushButton("Close", this);
  HelpButton = new QPushButton("&Help", this);
  HelpButton->setIcon(QIcon::fromTheme("help-contents"));
  closing->addStretch();
  for (QPushButton* b : {OKButton, CancelButton, InvClose, HelpButton}) {
    closing->addWidget(b);
  }
  layout->addLayout(closing);

  connect(RadioButton1, &QRadioButton::clicked, this, [this] { RadioButtonClick(); });
  connect(RadioButton2, &QRadioButton::clicked, this, [this] { RadioButtonClick(); });
  connect(StringGrid1, &QTableWidget::cellChanged, this,
          [this](int r, int c) { StringGrid1CellChanged(r, c); });
  connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this](int, int c) {
    if (c == kColProduct) SpeedButton2Click();
  });
  connect(SpeedButton2, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
  connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
  connect(DeleteLine, &QPushButton::clicked, this, [this] { DeleteLineClick(); });
  connect(MakeNote, &QPushButton::clicked, this, [this] { MakeNoteClick(); });
  connect(UndoAll, &QPushButton::clicked, this, [this] { UndoAllClick(); });
  connect(TopButn, &QPushButton::clicked, this, [this] { GoToLine(1); });
  connect(CnterButn, &QPushButton::clicked, this, [this] { GoToLine(50); });
  connect(BottButn, &QPushButton::clicked, this, [this] { GoToLine(99); });
  connect(TimeBtn, &QPushButton::clicked, this, [this] { TimeBtnClick(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(Calbutton, &QPushButton::clicked, this, [this] { CalbuttonClick(); });
  connect(SpeedButton8, &QPushButton::clicked, this, [this] { SpeedButton8Click(); });
  connect(ImportButn, &QPushButton::clicked, this, [this] { ImportButnClick(); });
  connect(ExportButn, &QPushButton::clicked, this, [this] { ExportButnClick(); });
  for (QLineEdit* e : {INet, ITax, IPaid}) {
    connect(e, &QLineEdit::textEdited, this, [this] { AmountChanged(); });
  }
  connect(CheckBox2, &QCheckBox::clicked, this, [this] { Recalculate(); });
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(InvClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
}

// ---- Form in and out.

InvoiceKind TProdInv::Kind() const {
  return RadioButton2->isChecked() ? InvoiceKind::kMemo
                                   : InvoiceKind::kLineItems;
}

InvoiceLine TProdInv::LineAt(int row) const {
  auto cell = [&](int c) { return S(StringGrid1->item(row, c)->text()); };
  return InvoiceLine{cell(kColProduct), cell(kColQuantity),
                     cell(kColDescription), cell(kColUnitPrice),
                     cell(kColFlag), cell(kColExtension)};
}

void TProdInv::ShowLine(int row, const InvoiceLine& line) {
  const bool filling = filling_;
  filling_ = true;
  StringGrid1->item(row, kColProduct)->setText(Q(line.product));
  StringGrid1->item(row, kColQuantity)->setText(Q(line.quantity));
  StringGrid1->item(row, kColDescription)->setText(Q(line.description));
  StringGrid1->item(row, kColUnitPrice)->setText(Q(line.unit_price));
  StringGrid1->item(row, kColFlag)->setText(Q(line.flag));
  StringGrid1->item(row, kColExtension)->setText(Q(line.extension));
  filling_ = filling;
}

void TProdInv::Store(InvoiceForm& form) const {
  form.invoice_no = S(INum->text());
  form.date = S(IDate->text());
  form.terms = S(ITerms->currentText());
  form.statement_note = S(IStmntNote->text());
  form.notes = S(INVNOTES->text());
  form.key_code = S(KeyCode->text());
  form.customer_name = S(ICustName->text());
  form.customer_no = S(ICustNo->text());
  form.short_name = S(Sname->text());
  form.customer_balance = S(CBal->text());
  form.credit_limit = S(ICredLimit->text());
  form.aging = {S(Acur->text()), S(A30->text()), S(A60->text()),
                S(A90->text())};
  form.tax_exempt = tax_exempt_;
  form.net = S(INet->text());
  form.tax = S(ITax->text());
  form.paid = S(IPaid->text());
  form.total = S(ITotal->text());
  form.balance_due = S(BalDue->text());
  form.calc_tax = CheckBox2->isChecked();
  form.print = PrintFlag->isChecked();
  form.kind = Kind();
  for (int r = 0; r < kGridLines; ++r) form.lines[r] = LineAt(r);
  form.memo = S(Memo1->toPlainText());
  form.memo_description = S(MemoPDesc->text());
  form.memo_quantity = S(MemoQuan->text());
}

void TProdInv::ShowCustomer(const InvoiceForm& form) {
  ICustName->setText(Q(form.customer_name));
  ICustNo->setText(Q(form.customer_no));
  Sname->setText(Q(form.short_name));
  CBal->setText(Q(form.customer_balance));
  CBal->setStyleSheet(company::MoneyToDouble(form.customer_balance) < 0
                          ? "color: red"
                          : "");
  ICredLimit->setText(Q(form.credit_limit));
  const std::array<QLabel*, 4> aging = {Acur, A30, A60, A90};
  for (int i = 0; i < 4; ++i) aging[i]->setText(Q(form.aging[i]));
  ITerms->setEditText(Q(form.terms));
  tax_exempt_ = form.tax_exempt;
}

void TProdInv::ApplyTaxBox(const InvoiceForm& form) {
  const company::CompanyRecord& company = app_.CurrentCompany;
  if (tax_exempt_) {
    CheckBox2->setChecked(false);
    CheckBox2->setText(kTaxExemptCaption);
    CheckBox2->setEnabled(false);
    return;
  }
  CheckBox2->setEnabled(true);
  CheckBox2->setText(Q(CalcTaxCaption(company.TaxRate.View())));
  CheckBox2->setChecked(form.calc_tax);
}

void TProdInv::ShowAmounts(const InvoiceForm& form) {
  const bool filling = filling_;
  filling_ = true;
  INet->setText(Q(form.net));
  ITax->setText(Q(form.tax));
  IPaid->setText(Q(form.paid));
  ITotal->setText(Q(form.total));
  BalDue->setText(Q(form.balance_due));
  BalDue->setStyleSheet(BalanceDueIsNegative(form) ? "color: red"
                                                   : "color: black");
  filling_ = filling;
}

bool TProdInv::BalanceDueRed() const {
  return BalDue->styleSheet().contains("red");
}

void TProdInv::Load(const InvoiceForm& form) {
  const company::CompanyRecord& company = app_.CurrentCompany;
  const bool editing = app_.invoice_editing;
  shown_ = form;
  filling_ = true;
  setWindowTitle(Q(editing ? std::string(kEditInvoiceCaption)
                           : AddInvoiceCaption(company)));
  AgingCaptions[0]->setText(Q(Trim(company.AgingCaption1.View())));
  AgingCaptions[1]->setText(Q(Trim(company.AgingCaption2.View())));
  AgingCaptions[2]->setText(Q(Trim(company.AgingCaption3.View())));
  AgingCaptions[3]->setText(
      Q("Over " + Trim(company.AgingDays3.View()) + ":"));
  company::LoadTerms(app_, &terms_);
  ITerms->clear();
  for (const std::string& term : terms_.terms()) ITerms->addItem(Q(term));
  DateLabel->setText(app_.short_date_order() == company::DateOrder::kDayFirst
                         ? kDayFirstLabel
                         : kMonthFirstLabel);

  INum->setText(Q(form.invoice_no));
  IDate->setText(Q(form.date));
  IStmntNote->setText(Q(form.statement_note));
  INVNOTES->setText(Q(form.notes));
  KeyCode->setText(Q(form.key_code));
  ShowCustomer(form);
  for (int r = 0; r < kGridLines; ++r) ShowLine(r, form.lines[r]);
  Memo1->setPlainText(Q(form.memo));
  MemoPDesc->setText(Q(form.memo_description));
  MemoQuan->setText(Q(form.memo_quantity));
  PrintFlag->setChecked(form.print);
  (form.kind == InvoiceKind::kMemo ? RadioButton2 : RadioButton1)
      ->setChecked(true);
  ShowAmounts(form);
  ApplyTaxBox(form);

  RadioButton1->setEnabled(!editing);
  RadioButton2->setEnabled(!editing);
  PrintFlag->setEnabled(!editing);
  BitBtn3->setEnabled(!editing);
  IMode->setText(editing ? kEditMode : kAddMode);
  filling_ = false;
  ApplyKindLayout(/*reset_amounts=*/false);
  // A stored invoice shows its stored totals; they change only when the
  // user changes a line, the tax box or the paid amount.
  if (!editing) Recalculate();
  StringGrid1->setCurrentCell(0, kColProduct);
  if (editing) {
    const bool repeat = Trim(company::UpperCase1252(form.invoice_no))
                            .find('G') != std::string::npos;
    INum->setEnabled(!repeat);
    (repeat ? INVNOTES : INum)->setFocus();
  } else {
    INum->setEnabled(true);
    BitBtn3->setFocus();
  }
  ShowTimer();
}

int TProdInv::Execute() {
  return app_.services().windows.RunModal(kProdInvName, [this] { return exec(); });
}

RunInvoiceEditor TProdInv::Runner() {
  return [this](InvoiceForm& form) {
    Load(form);
    if (Execute() != platform::kModalOk) return false;
    Store(form);
    return true;
  };
}

// ---- Layout and totals.

void TProdInv::ApplyKindLayout(bool reset_amounts) {
  const bool memo = Kind() == InvoiceKind::kMemo;
  StringGrid1->setVisible(!memo);
  Memo1->setVisible(memo);
  for (QWidget* w : {static_cast<QWidget*>(MemoPDescLabel),
                     static_cast<QWidget*>(MemoPDesc),
                     static_cast<QWidget*>(MemoQuanLabel),
                     static_cast<QWidget*>(MemoQuan)}) {
    w->setVisible(memo);
  }
  TaxLbl->setVisible(memo);
  if (memo) TaxLbl->clear();
  for (QPushButton* b : {SpeedButton2, DeleteLine, MakeNote, TopButn,
                         CnterButn, BottButn}) {
    b->setEnabled(!memo);
  }
  CheckBox2->setVisible(!memo);
  for (QLineEdit* e : {INet, ITax}) {
    e->setReadOnly(!memo);
    e->setFocusPolicy(memo ? Qt::StrongFocus : Qt::NoFocus);
    e->setBackgroundRole(memo ? QPalette::Base : QPalette::Button);
  }
  if (memo && reset_amounts && !app_.invoice_editing) {
    InvoiceForm zero;
    ShowAmounts(zero);
  }
  (memo ? static_cast<QWidget*>(Memo1) : StringGrid1)->setFocus();
}

void TProdInv::Recalculate() {
  if (filling_) return;
  InvoiceForm form;
  Store(form);
  const std::string label =
      ComputeTotals(form, app_.CurrentCompany.TaxRate.View(),
                    app_.CurrentCompany.CalcTaxes != 0);
  ShowAmounts(form);
  if (form.kind == InvoiceKind::kMemo) TaxLbl->setText(Q(label));
}

void TProdInv::RadioButtonClick() { ApplyKindLayout(/*reset_amounts=*/true); Recalculate(); }

void TProdInv::AmountChanged() {
  if (filling_) return;
  if (S(ITax->text()).empty()) {
    filling_ = true;
    ITax->setText(kZeroAmount);
    filling_ = false;
  }
  Recalculate();
}

void TProdInv::StringGrid1CellChanged(int row, int column) {
  if (filling_ || column == kColExtension || column == kColLine) return;
  InvoiceLine line = LineAt(row);
  UpdateExtension(line);
  ShowLine(row, line);
  Recalculate();
}

// ---- Products and customers.

bool TProdInv::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGrid1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        StringGrid1->currentColumn() == kColProduct) {
      StringGrid1KeyEnter();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TProdInv::StringGrid1KeyEnter() {
  const int row = std::max(0, StringGrid1->currentRow());
  InvoiceLine line = LineAt(row);
  if (Trim(line.product).empty()) {
    SpeedButton2Click();
    return;
  }
  const std::optional<company::ProductRecord> product =
      FindProductByCode(app_, line.product);
  if (!product) {
    if (platform::Confirm(app_.services().messages, kProductCodeCaption,
                          kProductNotFound)) {
      SpeedButton2Click();
    }
    return;
  }
  ApplyProduct(line, *product, app_.CurrentCompany,
               /*with_default_quantity=*/false);
  ShowLine(row, line);
  Recalculate();
}

void TProdInv::SpeedButton2Click() {
  if (!choose_product) return;
  const int row = std::max(0, StringGrid1->currentRow());
  const InvoiceLine current = LineAt(row);
  app_.ChosenProduct = company::ProductRecord{};
  app_.ChosenProduct.ProductCode.Set(current.product);
  app_.ChosenProduct.ProductDescription.Set(current.description);
  app_.product_chosen = false;
  const bool chosen = choose_product() && app_.product_chosen;
  if (!chosen) return;
  InvoiceLine line = current;
  ApplyProduct(line, app_.ChosenProduct, app_.CurrentCompany,
               /*with_default_quantity=*/true);
  ShowLine(row, line);
  Recalculate();
}

void TProdInv::BitBtn3Click() {
  if (!choose_customer || app_.invoice_editing) return;
  app_.CurrentCustomer.CustomerName.Set(S(ICustName->text()));
  app_.CurrentCustomer.CustomerNo.Set(S(ICustNo->text()));
  const bool chosen = choose_customer();
  if (!chosen) return;
  InvoiceForm form;
  Store(form);
  const std::vector<std::string> warnings =
      ApplyChosenCustomer(form, app_.CurrentCustomer, app_.CurrentCompany);
  ShowCustomer(form);
  ApplyTaxBox(form);
  Recalculate();
  for (const std::string& warning : warnings) {
    platform::Warn(app_.services().messages, kWarningCaption, warning);
  }
}

// ---- Line commands.

void TProdInv::DeleteLineClick() {
  const int row = std::max(0, StringGrid1->currentRow());
  ShowLine(row, ResetLine(app_.CurrentCompany));
  Recalculate();
}

void TProdInv::MakeNoteClick() {
  const int row = std::max(0, StringGrid1->currentRow());
  ShowLine(row, CommentLine());
  Recalculate();
  StringGrid1->setCurrentCell(row, kColDescription);
  StringGrid1->setFocus();
}

void TProdInv::UndoAllClick() {
  const InvoiceLine reset = ResetLine(app_.CurrentCompany);
  for (int r = 0; r < kGridLines; ++r) ShowLine(r, reset);
  if (Kind() == InvoiceKind::kMemo) {
    Memo1->clear();
    ShowAmounts(InvoiceForm{});
    return;
  }
  Recalculate();
  GoToLine(1);
}

void TProdInv::GoToLine(int line) {
  StringGrid1->setCurrentCell(line - 1, kColProduct);
  StringGrid1->scrollToItem(StringGrid1->item(line - 1, kColProduct));
  StringGrid1->setFocus();
}

// ---- Timer, calendar, calculator.

int64_t TProdInv::NowSeconds() const {
  const platform::DateTime now = app_.services().clock.Now();
  const company::Date date{now.year, now.month, now.day};
  return date.ToDays() * 86400 + now.hour * 3600 + now.minute * 60 +
         now.second;
}

void TProdInv::ShowTimer() {
  const bool running = app_.invoice_timer_running;
  TimeBtn->setText(running ? kStopTimer : kStartTimer);
  TimeBtn->setStyleSheet(running ? "color: red" : "color: black");
  if (!running) {
    Timer1->stop();
    StartTime->clear();
    ElapsedTime->clear();
    ToHours->clear();
    return;
  }
  StartTime->setText(Q(ClockText(app_.invoice_timer_start % 86400)));
  Timer1Timer();
  Timer1->start();
}

void TProdInv::TimeBtnClick() {
  app_.invoice_timer_running = !app_.invoice_timer_running;
  if (app_.invoice_timer_running) app_.invoice_timer_start = NowSeconds();
  ShowTimer();
}

void TProdInv::Timer1Timer() {
  const int64_t elapsed = NowSeconds() - app_.invoice_timer_start;
  ElapsedTime->setText(Q(ClockText(elapsed)));
  ToHours->setText(Q(HoursText(elapsed)));
}

void TProdInv::CalbuttonClick() {
  const std::string field = S(IDate->text());
  if (field.size() < 10 || !app_.ParseDate(field)) {
    IDate->setText(Q(app_.TodayText));
  }
  const std::optional<std::string> chosen =
      company::ui::PickDate(app_, this, S(IDate->text()));
  if (chosen) {
    IDate->setText(Q(*chosen));
    INVNOTES->setFocus();
  } else {
    IDate->setFocus();
  }
}

void TProdInv::SpeedButton8Click() {
  if (!app_.services().desktop.StartCalculator()) {
    platform::Inform(app_.services().messages, company::kProductTitle,
                     company::ui::kCalculatorNotFound);
  }
}

// ---- Saved lines.

void TProdInv::ImportButnClick() {
  InvoiceForm form;
  Store(form);
  if (!LoadInvoiceLines(app_, form)) return;
  filling_ = true;
  for (int r = 0; r < kGridLines; ++r) ShowLine(r, form.lines[r]);
  INVNOTES->setText(Q(form.notes));
  IStmntNote->setText(Q(form.statement_note));
  KeyCode->setText(Q(form.key_code));
  if (form.kind == InvoiceKind::kMemo) {
    Memo1->setPlainText(Q(form.memo));
    MemoPDesc->setText(Q(form.memo_description));
    MemoQuan->setText(Q(form.memo_quantity));
    QTextCursor cursor = Memo1->textCursor();
    cursor.movePosition(QTextCursor::Start);
    Memo1->setTextCursor(cursor);
  }
  filling_ = false;
  Recalculate();
  if (form.kind == InvoiceKind::kLineItems) GoToLine(1);
}

void TProdInv::ExportButnClick() {
  InvoiceForm form;
  Store(form);
  SaveInvoiceLines(app_, form);
}

// ---- OK.

void TProdInv::FocusField(const InvoiceCheckResult& result) {
  switch (result.focus) {
    case InvoiceField::kInvoiceNo: INum->setFocus(); break;
    case InvoiceField::kCustomerButton: BitBtn3->setFocus(); break;
    case InvoiceField::kDate: IDate->setFocus(); break;
    case InvoiceField::kMemoDescription: MemoPDesc->setFocus(); break;
    case InvoiceField::kMemo: Memo1->setFocus(); break;
    case InvoiceField::kQuantity:
      StringGrid1->setCurrentCell(result.line - 1, kColQuantity);
      StringGrid1->setFocus();
      break;
    case InvoiceField::kUnitPrice:
      StringGrid1->setCurrentCell(result.line - 1, kColUnitPrice);
      StringGrid1->setFocus();
      break;
    case InvoiceField::kNet: INet->setFocus(); break;
    case InvoiceField::kTax: ITax->setFocus(); break;
    case InvoiceField::kPaid: IPaid->setFocus(); break;
    case InvoiceField::kTerms: ITerms->setFocus(); break;
    case InvoiceField::kNone: break;
  }
}

void TProdInv::OKButtonClick() {
  InvoiceForm form;
  Store(form);
  const InvoiceCheckResult result = CheckInvoiceForOk(
      app_, form, terms_, [this](const std::string& number) {
        return InvoiceNumberOnFile(app_, number);
      });
  filling_ = true;
  IPaid->setText(Q(form.paid));
  MemoQuan->setText(Q(form.memo_quantity));
  filling_ = false;
  if (!result.ok) {
    FocusField(result);
    return;
  }
  accept();
}

void TProdInv::HelpButtonClick() {
  app_.services().help.ShowHelp(kNewInvoiceHelpTopic);
}

}  // namespace tallybook::billing::ui
