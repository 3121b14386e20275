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
#include "platform/qt/number_fields.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

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

bool IsAmountColumn(int column) {
  return column == kColQuantity || column == kColUnitPrice ||
         column == kColExtension;
}

bool IsEnterKey(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Cell editors with the column's length; quantities and unit prices take
// only what can be a number, the flag column one character, upper-cased.
// Enter commits the editor's text at once and then runs on_enter (the
// cell's action), so that the action sees what was typed; Escape drops the
// cell's edit only.
class GridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  std::function<void()> on_enter;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
      edit->setMaxLength(kCellLength[index.column()]);
      if (index.column() == kColFlag) {
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression("[A-Za-z ]?"), edit));
      } else if (IsAmountColumn(index.column())) {
        edit->setValidator(platform::qt::AmountValidator(
            platform::qt::kQuantityDecimals, /*negative=*/true, edit));
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
    }
    return editor;
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor != nullptr && IsEnterKey(event)) {
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      if (on_enter) on_enter();
      return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 public:
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

// The widest amount a box of kAmountShownLength characters shows.
constexpr char kWidestAmount[] = "-99,999,999.99";

QLineEdit* AmountEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  // Amounts are shown with thousands separators and may be credits: the
  // box holds the ",0.00" form of a ten-character amount; OK still checks
  // the number.
  platform::qt::MakeAmountField(edit, kAmountShownLength,
                                platform::qt::kMoneyDecimals);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(kWidestAmount) + 16);
  return edit;
}

QLabel* AmountLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(kWidestAmount) + 16);
  return label;
}

QString Q(const std::string& text) { return ToQString(text); }
std::string S(const QString& text) { return FromQString(text); }

}  // namespace

TProdInv::TProdInv(company::App& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(kProdInvName);
  setWindowTitle(kProductInvoiceCaption);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);

  // Header, with the invoice type beside the number and date.
  auto* header = new QGridLayout;
  layout->addLayout(header);
  INum = Edit(this, kInvoiceNoLength);
  IDate = new QLineEdit(this);
  IDate->setInputMask(kDateMask);
  DateLabel = new QLabel(kMonthFirstLabel, this);
  Calbutton = new QPushButton("...", this);
  Calbutton->setMaximumWidth(Calbutton->fontMetrics().horizontalAdvance("....") + 16);
  ITerms = new QComboBox(this);
  ITerms->setEditable(true);
  ITerms->lineEdit()->setMaxLength(kTermsLength);
  IStmntNote = Edit(this, kStatementNoteLength);
  INVNOTES = Edit(this, kNotesLength);
  KeyCode = Edit(this, kKeyCodeLength);
  IMode = new QLabel(kAddMode, this);
  // Short fields as wide as what they hold; the long ones take the rest.
  const QFontMetrics header_metrics(font());
  for (QWidget* w : {static_cast<QWidget*>(INum), static_cast<QWidget*>(IDate),
                     static_cast<QWidget*>(KeyCode)}) {
    w->setMaximumWidth(header_metrics.horizontalAdvance("00/00/00000") + 16);
  }
  RadioButton1 = new QRadioButton("&Line Item", this);
  RadioButton2 = new QRadioButton("&Memo", this);
  auto* kind = new QHBoxLayout;
  kind->addWidget(new QLabel("Invoice Type:", this));
  kind->addWidget(RadioButton1);
  kind->addWidget(RadioButton2);
  kind->addStretch();
  kind->addWidget(IMode);
  auto* date = new QHBoxLayout;
  date->addWidget(IDate);
  date->addWidget(Calbutton);
  int row = 0;
  header->addWidget(new QLabel("Invoice#:", this), row, 0);
  header->addWidget(INum, row, 1);
  header->addWidget(DateLabel, row, 2);
  header->addLayout(date, row, 3);
  header->addLayout(kind, row++, 4, 1, 2);
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
  cust->setVerticalSpacing(2);
  BitBtn3 = new QPushButton("Customers", customer);
  BitBtn3->setIcon(QIcon::fromTheme("system-users"));
  ICustName = new QLabel(customer);
  ICustNo = new QLabel(customer);
  Sname = new QLabel(customer);
  CBal = AmountLabel(customer);
  ICredLimit = AmountLabel(customer);
  cust->addWidget(BitBtn3, 0, 0, 2, 1);
  cust->addWidget(new QLabel("Customer:", customer), 0, 1);
  cust->addWidget(ICustName, 0, 2, 1, 3);
  cust->addWidget(new QLabel("Number:", customer), 0, 5);
  cust->addWidget(ICustNo, 0, 6);
  cust->addWidget(new QLabel("SN:", customer), 0, 7);
  cust->addWidget(Sname, 0, 8);
  cust->addWidget(new QLabel("Balance:", customer), 1, 1);
  cust->addWidget(CBal, 1, 2);
  cust->addWidget(new QLabel("Credit Limit:", customer), 1, 3);
  cust->addWidget(ICredLimit, 1, 4);
  Acur = AmountLabel(customer);
  A30 = AmountLabel(customer);
  A60 = AmountLabel(customer);
  A90 = AmountLabel(customer);
  const std::array<QLabel*, 4> aging = {Acur, A30, A60, A90};
  for (int i = 0; i < 4; ++i) {
    AgingCaptions[i] = new QLabel(customer);
    cust->addWidget(AgingCaptions[i], 2, 1 + 2 * i);
    cust->addWidget(aging[i], 2, 2 + 2 * i);
  }
  cust->setColumnStretch(9, 1);
  layout->addWidget(customer);

  // Lines (or the memo) with the line commands beside them.
  auto* middle = new QHBoxLayout;
  auto* body = new QVBoxLayout;
  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(2);
  middle->addLayout(body, 1);
  middle->addLayout(buttons);
  layout->addLayout(middle, 1);
  auto button = [&](const char* caption, const char* icon) {
    auto* b = new QPushButton(caption, this);
    if (icon) b->setIcon(QIcon::fromTheme(icon));
    b->setAutoDefault(false);
    b->setStyleSheet("text-align: left; padding: 2px 6px;");
    buttons->addWidget(b);
    return b;
  };
  SpeedButton2 = button("Find Product", "edit-find");
  DeleteLine = button("Erase Line", "edit-clear");
  MakeNote = button("Add Description comment", "insert-text");
  UndoAll = button("Erase All Lines", "edit-clear-all");
  ImportButn = button("Loads Saved Lines", "document-open");
  ExportButn = button("Replaces saved lines with current lines",
                      "document-save");
  TopButn = button("Line Item 1", "go-top");
  CnterButn = button("Line Item 50", "go-jump");
  BottButn = button("Line Item 99", "go-bottom");
  SpeedButton8 = button("Calculator", "accessories-calculator");
  buttons->addStretch();

  StringGrid1 = new QTableWidget(kGridLines, kColumnCount, this);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setDefaultSectionSize(
      StringGrid1->fontMetrics().height() + 6);
  auto* delegate = new GridDelegate(StringGrid1);
  delegate->on_enter = [this] { StringGrid1Enter(); };
  StringGrid1->setItemDelegate(delegate);
  StringGrid1->installEventFilter(this);
  for (int c = 0; c < kColumnCount; ++c) {
    StringGrid1->setHorizontalHeaderItem(c, new QTableWidgetItem(kTitles[c]));
  }
  for (int r = 0; r < kGridLines; ++r) {
    for (int c = 0; c < kColumnCount; ++c) {
      auto* item = new QTableWidgetItem;
      if (kCellLength[c] == 0) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      if (IsAmountColumn(c)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      StringGrid1->setItem(r, c, item);
    }
    StringGrid1->item(r, kColLine)->setText(QString::number(r + 1));
  }
  // Fixed columns as wide as their longest text; the description takes
  // the rest.
  const QFontMetrics metrics(StringGrid1->font());
  const char* const widths[kColumnCount] = {
      "XXi", "XXXXXXXX", "XXXXXXXXX", nullptr, "XXXXXXXXX", "Xi", kWidestAmount};
  QHeaderView* columns = StringGrid1->horizontalHeader();
  for (int c = 0; c < kColumnCount; ++c) {
    if (widths[c] == nullptr) {
      columns->setSectionResizeMode(c, QHeaderView::Stretch);
      continue;
    }
    StringGrid1->setColumnWidth(c, metrics.horizontalAdvance(widths[c]) + 12);
  }
  StringGrid1->setMinimumWidth(
      metrics.horizontalAdvance(QString(60, QChar('X'))));
  body->addWidget(StringGrid1, 1);

  Memo1 = new QPlainTextEdit(this);
  body->addWidget(Memo1, 1);
  auto* memo_fields = new QHBoxLayout;
  MemoPDescLabel = new QLabel("Product Description:", this);
  MemoPDesc = Edit(this, kDescriptionWidth);
  MemoQuanLabel = new QLabel("Quantity:", this);
  MemoQuan = new QLineEdit(this);
  platform::qt::MakeAmountField(MemoQuan, kQuantityWidth,
                                platform::qt::kQuantityDecimals);
  memo_fields->addWidget(MemoPDescLabel);
  memo_fields->addWidget(MemoPDesc, 1);
  memo_fields->addWidget(MemoQuanLabel);
  memo_fields->addWidget(MemoQuan);
  body->addLayout(memo_fields);

  // Amounts, tax and print boxes, timer and the closing buttons in one band.
  auto* bottom = new QHBoxLayout;
  layout->addLayout(bottom);
  auto* amounts = new QGridLayout;
  amounts->setVerticalSpacing(2);
  INet = AmountEdit(this);
  ITax = AmountEdit(this);
  IPaid = AmountEdit(this);
  ITotal = AmountLabel(this);
  BalDue = AmountLabel(this);
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
  amounts->addWidget(new QLabel("Total:", this), 2, 0);
  amounts->addWidget(ITotal, 2, 1);
  amounts->addWidget(caption("&Paid Amount:", IPaid), 0, 2);
  amounts->addWidget(IPaid, 0, 3);
  amounts->addWidget(new QLabel("Balance Due:", this), 1, 2);
  amounts->addWidget(BalDue, 1, 3);
  amounts->addWidget(TaxLbl, 2, 2, 1, 2);
  amounts->addWidget(CheckBox2, 0, 4);
  amounts->addWidget(PrintFlag, 1, 4);
  bottom->addLayout(amounts);
  auto* timer = new QGridLayout;
  timer->setVerticalSpacing(2);
  TimeBtn = new QPushButton(kStartTimer, this);
  TimeBtn->setAutoDefault(false);
  StartTime = new QLabel(this);
  ElapsedTime = new QLabel(this);
  ToHours = new QLabel(this);
  timer->addWidget(TimeBtn, 0, 0, 1, 2);
  timer->addWidget(new QLabel("Started:", this), 1, 0);
  timer->addWidget(StartTime, 1, 1);
  timer->addWidget(new QLabel("Elapsed:", this), 2, 0);
  timer->addWidget(ElapsedTime, 2, 1);
  timer->addWidget(new QLabel("Hours:", this), 0, 2);
  timer->addWidget(ToHours, 0, 3);
  bottom->addSpacing(12);
  bottom->addLayout(timer);
  bottom->addStretch();
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);

  auto* closing = new QGridLayout;
  OKButton = new QPushButton("&Ok", this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  InvClose = new QPushButton("Close", this);
  HelpButton = new QPushButton("&Help", this);
  HelpButton->setIcon(QIcon::fromTheme("help-contents"));
  closing->addWidget(OKButton, 0, 0);
  closing->addWidget(CancelButton, 0, 1);
  closing->addWidget(InvClose, 1, 0);
  closing->addWidget(HelpButton, 1, 1);
  for (QPushButton* b : {CancelButton, InvClose, HelpButton, Calbutton, BitBtn3}) {
    b->setAutoDefault(false);
  }
  bottom->addLayout(closing);

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

  // OK stays off while an amount box holds something that is no number.
  platform::qt::EnableWhileAmounts(OKButton, {INet, ITax, IPaid},
                                   /*empty_is_zero=*/true);
  platform::qt::UseFormKeys(this, OKButton, [this] { HelpButtonClick(); });
  platform::qt::PressOnKeys(this, platform::qt::KeysOf(platform::qt::StandardKey::kFind),
                            SpeedButton2);
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
  changes_.Reset();
}

void TProdInv::reject() {
  if (!platform::qt::MayDiscardChanges(app_.services().messages, changes_)) {
    return;
  }
  QDialog::reject();
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
  // Enter on a cell whose editor is closed (an open editor's Enter comes
  // through the grid's delegate).
  if (watched == StringGrid1 && IsEnterKey(event)) {
    StringGrid1Enter();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TProdInv::StringGrid1Enter() {
  if (StringGrid1->currentColumn() == kColProduct && !StringGrid1KeyEnter()) {
    return;
  }
  // On to the next cell that takes typing; after the last, the next line.
  int row = std::max(0, StringGrid1->currentRow());
  int column = StringGrid1->currentColumn();
  do {
    if (++column >= kColumnCount) {
      column = kColProduct;
      if (row + 1 < kGridLines) ++row;
    }
  } while (kCellLength[column] == 0);
  StringGrid1->setCurrentCell(row, column);
  StringGrid1->setFocus();
}

bool TProdInv::StringGrid1KeyEnter() {
  const int row = std::max(0, StringGrid1->currentRow());
  InvoiceLine line = LineAt(row);
  if (Trim(line.product).empty()) {
    SpeedButton2Click();
    return true;
  }
  const std::optional<company::ProductRecord> product =
      FindProductByCode(app_, line.product);
  if (!product) {
    // The code stays for mending unless a product is chosen instead.
    return platform::Confirm(app_.services().messages, kProductCodeCaption,
                             kProductNotFound) &&
           SpeedButton2Click();
  }
  ApplyProduct(line, *product, app_.CurrentCompany,
               /*with_default_quantity=*/false);
  ShowLine(row, line);
  Recalculate();
  return true;
}

bool TProdInv::SpeedButton2Click() {
  if (!choose_product) return false;
  const int row = std::max(0, StringGrid1->currentRow());
  const InvoiceLine current = LineAt(row);
  app_.ChosenProduct = company::ProductRecord{};
  app_.ChosenProduct.ProductCode.Set(current.product);
  app_.ChosenProduct.ProductDescription.Set(current.description);
  app_.product_chosen = false;
  const bool chosen = choose_product() && app_.product_chosen;
  if (!chosen) return false;
  InvoiceLine line = current;
  ApplyProduct(line, app_.ChosenProduct, app_.CurrentCompany,
               /*with_default_quantity=*/true);
  ShowLine(row, line);
  Recalculate();
  return true;
}

void TProdInv::BitBtn3Click() {
  if (!choose_customer || app_.invoice_editing) return;
  app_.CurrentCustomer.CustomerName.Set(S(ICustName->text()));
  app_.CurrentCustomer.CustomerNo.Set(S(ICustNo->text()));
  const bool chosen = choose_customer();
  if (!chosen) return;
  changes_.MarkChanged();
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
                     platform::CalculatorNotFoundText(app_.services().desktop));
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
