#include "receivables/ui/pay_box.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <optional>

#include "company/format.h"
#include "company/money.h"
#include "company/text.h"
#include "company/ui/cal_form.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/number_fields.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"
#include "receivables/payment_lines.h"
#include "receivables/payment_posting.h"
#include "receivables/posting_summary.h"

namespace tallybook::receivables::ui {
namespace {

using platform::qt::FromQString;
using platform::qt::ToQString;

constexpr int kPaidAmountLength = 10;
constexpr int kNoteLength = 25;

// Enter in a list moves its selected lines, as a double-click does.
class EnterFilter : public QObject {
 public:
  EnterFilter(QObject* parent, std::function<void()> action)
      : QObject(parent), action_(std::move(action)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        action_();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> action_;
};

QPushButton* Button(const char* text, QWidget* parent) {
  return new QPushButton(QString::fromLatin1(text), parent);
}

// The message shown for a failed amount check, with its caption.
void WarnDialogAmount(platform::Messages& messages, DialogAmountCheck check,
                      const std::string& text) {
  switch (check) {
    case DialogAmountCheck::kNotNumeric:
      platform::Warn(messages, kNotNumericCaption, kNotNumericAmount);
      break;
    case DialogAmountCheck::kNotAboveZero:
      platform::Warn(messages, kNotAboveZeroCaption, kNotAboveZero);
      break;
    case DialogAmountCheck::kNotBelowDue:
      platform::Warn(messages, kNotBelowDueCaption, kNotBelowDue);
      break;
    case DialogAmountCheck::kTooManyDecimals:
      platform::Warn(messages, kNotNumericCaption,
                     company::MoneyFieldMessage(
                         "Amount", text, company::MoneyFieldCheck::kTooManyDecimals));
      break;
    case DialogAmountCheck::kOk:
      break;
  }
}

}  // namespace

// ---- TPPmtDialog

TPPmtDialog::TPPmtDialog(platform::Messages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  InfoLabel = new QLabel(this);
  PPAmt = new QLineEdit(this);
  PPAmt->setObjectName("PPAmt");
  // Amounts as the dialog takes them: digits, one point, two decimals.
  platform::qt::MakeDecimalField(PPAmt, kPaidAmountLength,
                                 platform::qt::kMoneyDecimals);
  PPAmt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  OKBtn = Button("OK", this);
  OKBtn->setDefault(true);
  CancelBtn = Button("&Cancel", this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(InfoLabel);
  layout->addWidget(PPAmt);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  layout->addLayout(buttons);
  connect(OKBtn, &QPushButton::clicked, this, &TPPmtDialog::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  platform::qt::EnableWhileAmounts(OKBtn, {PPAmt}, /*empty_is_zero=*/false);
  platform::qt::UseFormKeys(this, OKBtn, {});
}

void TPPmtDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // What is typed replaces the "0.00" the box starts with.
  PPAmt->setFocus(Qt::OtherFocusReason);
  PPAmt->selectAll();
}

void TPPmtDialog::Prepare(const std::string& caption, const std::string& info,
                          const std::string& amount_due, bool deposit_mode) {
  setWindowTitle(ToQString(caption));
  platform::qt::FitWidthToTitle(this);
  InfoLabel->setText(ToQString(info));
  PPAmt->setText(QStringLiteral("0.00"));
  PPAmt->selectAll();
  PPAmt->setFocus();
  amount_due_ = amount_due;
  deposit_mode_ = deposit_mode;
  amount_ = 0;
}

void TPPmtDialog::OKBtnClick() {
  double value = 0;
  const DialogAmountCheck check = CheckDialogAmount(
      FromQString(PPAmt->text()), amount_due_, deposit_mode_, &value);
  if (check != DialogAmountCheck::kOk) {
    WarnDialogAmount(messages_, check, FromQString(PPAmt->text()));
    PPAmt->setFocus();
    return;
  }
  amount_ = value;
  accept();
}

// ---- TPayBox

TPayBox::TPayBox(company::App& app, std::function<bool()> choose_customer,
                 QWidget* parent)
    : QDialog(parent), app_(app), choose_customer_(std::move(choose_customer)) {
  BuildControls();
  PPmtDialog = new TPPmtDialog(messages(), this);
}

void TPayBox::BuildControls() {
  CustomerBtn = new QToolButton(this);
  // "&Cancel" has the C.
  CustomerBtn->setText(QStringLiteral("C&ustomer"));
  platform::qt::SetThemeIcon(CustomerBtn,
                             {"system-users", "x-office-address-book"});
  CustomerBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  CustomerBtn->setFocusPolicy(Qt::StrongFocus);
  PCustName = new QLabel(this);
  PCustNum = new QLabel(this);
  PCustBal = new QLabel(this);
  PCustPhone = new QLabel(this);
  Sname = new QLabel(this);

  SrcList = new QListWidget(this);
  SrcList->setSortingEnabled(true);
  DstList = new QListWidget(this);
  for (QListWidget* list : {SrcList, DstList}) {
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    list->setFont(mono);
    list->setMinimumWidth(QFontMetrics(mono).horizontalAdvance(QString(34, 'M')));
  }
  IncludeBtn = Button(">", this);
  IncAllBtn = Button(">>", this);
  ExcludeBtn = Button("<", this);
  ExAllBtn = Button("<<", this);
  PPmtBtn = Button("Partial Pay&ment", this);
  AccountDep = Button("Add &Deposit on Account", this);

  PmtDate = new QLineEdit(this);
  PmtDate->setInputMask(QString::fromLatin1(kPaymentDateMask));
  CalendarBtn = Button("...", this);
  PAmt = new QLineEdit(this);
  // Digits and one point with two decimals: no sign, no separators.
  platform::qt::MakeDecimalField(PAmt, kPaidAmountLength,
                                 platform::qt::kMoneyDecimals);
  PAmt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  PCustName->setMinimumWidth(
      PCustName->fontMetrics().horizontalAdvance(QString(35, QChar('M'))));
  PNotes = new QLineEdit(this);
  PNotes->setMaxLength(kNoteLength);
  IPostedAmt = new QLabel(this);
  PostRule = new QLabel(QString::fromLatin1(kPostRuleText), this);
  PostRule->setWordWrap(true);
  OKBtn = Button("&Post", this);
  CancelBtn = Button("&Cancel", this);
  HelpBtn = Button("Help", this);
  for (QPushButton* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn, PPmtBtn,
                         AccountDep, CalendarBtn, OKBtn, CancelBtn, HelpBtn}) {
    b->setAutoDefault(false);
  }

  auto* layout = new QVBoxLayout(this);
  auto* customer = new QGridLayout;
  customer->addWidget(CustomerBtn, 0, 0, 2, 1);
  customer->addWidget(new QLabel(QStringLiteral("Customer:"), this), 0, 1);
  customer->addWidget(PCustName, 0, 2, 1, 3);
  customer->addWidget(new QLabel(QStringLiteral("Number:"), this), 0, 5);
  customer->addWidget(PCustNum, 0, 6);
  customer->addWidget(new QLabel(QStringLiteral("Balance:"), this), 1, 1);
  customer->addWidget(PCustBal, 1, 2);
  customer->addWidget(new QLabel(QStringLiteral("Phone:"), this), 1, 3);
  customer->addWidget(PCustPhone, 1, 4);
  customer->addWidget(new QLabel(QStringLiteral("Short Name:"), this), 1, 5);
  customer->addWidget(Sname, 1, 6);
  layout->addLayout(customer);

  auto* lists = new QGridLayout;
  lists->addWidget(new QLabel(QString::fromLatin1(kSourceListCaption), this),
                   0, 0);
  lists->addWidget(
      new QLabel(QString::fromLatin1(kDestinationListCaption), this), 0, 2);
  lists->addWidget(SrcList, 1, 0);
  auto* moves = new QVBoxLayout;
  moves->addStretch();
  for (QPushButton* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn}) {
    moves->addWidget(b);
  }
  moves->addStretch();
  lists->addLayout(moves, 1, 1);
  lists->addWidget(DstList, 1, 2);
  auto* under = new QHBoxLayout;
  under->addWidget(PPmtBtn);
  under->addWidget(AccountDep);
  lists->addLayout(under, 2, 0);
  auto* posted = new QHBoxLayout;
  posted->addWidget(new QLabel(QStringLiteral("Posted:"), this));
  posted->addWidget(IPostedAmt);
  posted->addStretch();
  lists->addLayout(posted, 2, 2);
  lists->addWidget(PostRule, 3, 0, 1, 3);
  layout->addLayout(lists);

  auto* entry = new QGridLayout;
  entry->addWidget(new QLabel(QStringLiteral("Payment Date:"), this), 0, 0);
  entry->addWidget(PmtDate, 0, 1);
  entry->addWidget(CalendarBtn, 0, 2);
  entry->addWidget(new QLabel(QStringLiteral("PAID Amount:"), this), 1, 0);
  entry->addWidget(PAmt, 1, 1);
  entry->addWidget(new QLabel(QStringLiteral("Note:"), this), 2, 0);
  entry->addWidget(PNotes, 2, 1, 1, 2);
  layout->addLayout(entry);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HelpBtn);
  layout->addLayout(buttons);

  connect(CustomerBtn, &QToolButton::clicked, this, &TPayBox::CustomerBtnClick);
  connect(IncludeBtn, &QPushButton::clicked, this, &TPayBox::IncludeBtnClick);
  connect(IncAllBtn, &QPushButton::clicked, this, &TPayBox::IncAllBtnClick);
  connect(ExcludeBtn, &QPushButton::clicked, this, &TPayBox::ExcludeBtnClick);
  connect(ExAllBtn, &QPushButton::clicked, this, &TPayBox::ExAllBtnClick);
  connect(SrcList, &QListWidget::itemDoubleClicked, this,
          &TPayBox::IncludeBtnClick);
  connect(DstList, &QListWidget::itemDoubleClicked, this,
          &TPayBox::ExcludeBtnClick);
  SrcList->installEventFilter(
      new EnterFilter(this, [this] { IncludeBtnClick(); }));
  DstList->installEventFilter(
      new EnterFilter(this, [this] { ExcludeBtnClick(); }));
  connect(SrcList, &QListWidget::currentRowChanged, this,
          &TPayBox::SrcListClick);
  connect(PPmtBtn, &QPushButton::clicked, this, &TPayBox::PPmtBtnClick);
  connect(AccountDep, &QPushButton::clicked, this, &TPayBox::AccountDepClick);
  connect(PAmt, &QLineEdit::textChanged, this, &TPayBox::PAmtChange);
  connect(CalendarBtn, &QPushButton::clicked, this, &TPayBox::CalendarBtnClick);
  connect(OKBtn, &QPushButton::clicked, this, &TPayBox::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, &TPayBox::HelpBtnClick);
  // Enter on the focused customer button chooses, as Space does.
  CustomerBtn->installEventFilter(
      new EnterFilter(this, [this] { CustomerBtnClick(); }));
  platform::qt::UseFormKeys(this, OKBtn, [this] { HelpBtnClick(); });
}

void TPayBox::reject() {
  if (!platform::qt::MayDiscardChanges(messages(), changes_)) return;
  QDialog::reject();
}

int TPayBox::Execute() {
  FormShow();
  return app_.services().windows.RunModal("TPayBox", [this] { return exec(); });
}

void TPayBox::FormShow() {
  setWindowTitle(ToQString(kPayBoxCaptionPrefix +
                           app_.CurrentCompany.CompanyName.Get()));
  platform::qt::FitWidthToTitle(this);
  ClearCustomer();
  SrcList->clear();
  DstList->clear();
  ResetEntry();
  PPmtBtn->setEnabled(false);
  AccountDep->setEnabled(false);
  UpdateButtons();
  CustomerBtn->setFocus();
  changes_.Reset();
}

void TPayBox::ClearCustomer() {
  for (QLabel* label : {PCustName, PCustNum, PCustPhone, Sname}) label->clear();
  PCustBal->setText(QStringLiteral("0.00"));
  customer_no_.clear();
  short_name_.clear();
  balance_ = "0.00";
}

void TPayBox::ResetEntry() {
  app_.RefreshTodayText();
  PmtDate->setText(ToQString(app_.TodayText));
  {
    // Setting the box is not typing: no checks, no moves.
    const QSignalBlocker quiet(PAmt);
    PAmt->setText(QStringLiteral("0.00"));
  }
  PNotes->clear();
}

void TPayBox::CustomerBtnClick() {
  // The chooser shows the main window's hints while the manager is open.
  const bool chosen = choose_customer_ && choose_customer_();
  const company::CustomerRecord& c = app_.CurrentCustomer;
  if (!chosen || company::Trim(c.CustomerName.View()).empty()) return;

  PCustName->setText(ToQString(c.CustomerName.Get()));
  PCustNum->setText(ToQString(c.CustomerNo.Get()));
  PCustBal->setText(ToQString(company::FormatMoneyText(c.Balance.View())));
  PCustPhone->setText(ToQString(c.Phone1.Get()));
  Sname->setText(ToQString(c.ShortName.Get()));
  customer_no_ = c.CustomerNo.Get();
  short_name_ = c.ShortName.Get();
  balance_ = c.Balance.Get();
  SrcList->clear();
  DstList->clear();
  ResetEntry();

  std::vector<std::string> lines;
  LoadOpenItems(app_, customer_no_, &lines);
  for (const std::string& line : lines) SrcList->addItem(ToQString(line));
  UpdateButtons();
  if (company::MoneyToDouble(balance_) <= 0) {
    platform::Inform(messages(), kNoBalanceDueCaption, kNoBalanceDue);
  }
  AccountDep->setEnabled(true);
  PmtDate->setFocus();
  // Choosing the customer is no work to lose; what follows is.
  changes_.Reset();
}

std::vector<std::string> TPayBox::Lines(const QListWidget* list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list->count(); ++i) {
    lines.push_back(FromQString(list->item(i)->text()));
  }
  return lines;
}

namespace {

// Removes row `row` of list and gives its text: takeItem hands the item
// over to its caller, who must delete it.
QString TakeText(QListWidget* list, int row) {
  const std::unique_ptr<QListWidgetItem> item(list->takeItem(row));
  return item->text();
}

}  // namespace

void TPayBox::MoveSelected(QListWidget* from, QListWidget* to,
                           const char* empty_text) {
  if (from->count() == 0) {
    platform::Inform(messages(), kPaymentWizardCaption, empty_text);
    CustomerBtn->setFocus();
    return;
  }
  int first_selected = -1;
  for (int i = from->count() - 1; i >= 0; --i) {
    if (!from->item(i)->isSelected()) continue;
    first_selected = i;
    to->addItem(TakeText(from, i));
  }
  from->setFocus();
  if (from->count() > 0) {
    const int row = first_selected < 0
                        ? 0
                        : std::min(first_selected, from->count() - 1);
    from->setCurrentRow(row);
  }
  UpdateButtons();
}

void TPayBox::MoveAll(QListWidget* from, QListWidget* to,
                      const char* empty_text) {
  if (from->count() == 0) {
    platform::Inform(messages(), kPaymentWizardCaption, empty_text);
    CustomerBtn->setFocus();
    return;
  }
  while (from->count() > 0) to->addItem(TakeText(from, 0));
  UpdateButtons();
}

void TPayBox::IncludeBtnClick() {
  MoveSelected(SrcList, DstList, kNothingToMoveRight);
}
void TPayBox::ExcludeBtnClick() {
  MoveSelected(DstList, SrcList, kNothingToMoveLeft);
}
void TPayBox::IncAllBtnClick() {
  MoveAll(SrcList, DstList, kNothingToMoveRight);
  PPmtBtn->setEnabled(false);
}
void TPayBox::ExAllBtnClick() {
  MoveAll(DstList, SrcList, kNothingToMoveLeft);
  PPmtBtn->setEnabled(true);
}

void TPayBox::UpdateButtons() {
  const bool source = SrcList->count() > 0;
  const bool destination = DstList->count() > 0;
  IncludeBtn->setEnabled(source);
  IncAllBtn->setEnabled(source);
  ExcludeBtn->setEnabled(destination);
  ExAllBtn->setEnabled(destination);
  const double posted = PostedTotal(Lines(DstList));
  IPostedAmt->setText(ToQString(company::FormatMoney(posted)));
  OKBtn->setEnabled(
      platform::qt::IsAmountText(PAmt->text(), /*empty_is_zero=*/false) &&
      PostAllowed(posted, FromQString(PAmt->text()), !destination));
}

void TPayBox::SrcListClick() {
  QListWidgetItem* item = SrcList->currentItem();
  PPmtBtn->setEnabled(item != nullptr &&
                      CanPayPartly(ParseItemLine(FromQString(item->text()))));
}

void TPayBox::PPmtBtnClick() {
  QListWidgetItem* item = SrcList->currentItem();
  if (SrcList->count() == 0 || item == nullptr) {
    if (SrcList->count() == 0) PPmtBtn->setEnabled(false);
    QApplication::beep();
    return;
  }
  const ItemLine line = ParseItemLine(FromQString(item->text()));
  if (line.date.empty()) {
    QApplication::beep();
    return;
  }
  PPmtDialog->Prepare(kPartialPaymentCaption,
                      "Invoice: " + line.invoice_no + "   Date: " + line.date,
                      company::MoneyText(line.amount), false);
  const int result = app_.services().windows.RunModal(
      "TPPmtDialog", [this] { return PPmtDialog->exec(); });
  if (result != platform::kModalOk) return;
  const double partial = PPmtDialog->amount();
  const double rest =
      company::MoneyToDouble(company::MoneyText(line.amount - partial));
  DstList->addItem(
      ToQString(BuildItemLine(line.invoice_no, line.date, partial, true)));
  item->setText(
      ToQString(BuildItemLine(line.invoice_no, line.date, rest, false)));
  SrcList->setFocus();
  SrcList->setCurrentItem(item);
  UpdateButtons();
}

void TPayBox::AccountDepClick() {
  const std::string date = FromQString(PmtDate->text());
  PPmtDialog->Prepare(kDepositCaption, "Invoice: DEPOSIT     Date: " + date,
                      "0", true);
  const int result = app_.services().windows.RunModal(
      "TPPmtDialog", [this] { return PPmtDialog->exec(); });
  if (result != platform::kModalOk) return;
  DstList->addItem(ToQString(BuildItemLine(
      kDepositLineNo, DepositLineDate(date), PPmtDialog->amount(), false)));
  UpdateButtons();
}

void TPayBox::PAmtChange() {
  double value = 0;
  switch (CheckPaidAmount(FromQString(PAmt->text()), &value)) {
    case PaidAmountCheck::kEmpty:
      return;
    case PaidAmountCheck::kNegative:
      platform::Warn(messages(), kPaidAmountCaption, kNegativePaidAmount);
      PAmt->setFocus();
      return;
    case PaidAmountCheck::kNotNumeric:
      platform::Warn(messages(), kNotNumericCaption, kNotNumericAmount);
      PAmt->setFocus();
      return;
    case PaidAmountCheck::kTooManyDecimals:
      platform::Warn(messages(), kPaidAmountCaption,
                     company::MoneyFieldMessage(
                         "Paid Amount", FromQString(PAmt->text()),
                         company::MoneyFieldCheck::kTooManyDecimals));
      PAmt->setFocus();
      return;
    case PaidAmountCheck::kOk:
      break;
  }
  if (PaidIsBalance(FromQString(PAmt->text()), balance_) &&
      SrcList->count() > 0) {
    IncAllBtnClick();
    PAmt->setCursorPosition(PAmt->text().size());
  }
  UpdateButtons();
}

void TPayBox::CalendarBtnClick() {
  std::optional<std::string> chosen =
      company::ui::PickDate(app_, this, FromQString(PmtDate->text()));
  if (chosen) PmtDate->setText(ToQString(*chosen));
}

void TPayBox::OKBtnClick() {
  const std::string date_text = FromQString(PmtDate->text());
  const std::optional<company::Date> date = app_.ParseDate(date_text);
  if (!date) {
    platform::Warn(messages(), kPaymentDateCaption, kInvalidPaymentDate);
    PmtDate->setFocus();
    return;
  }
  PaymentPosting posting;
  posting.customer_no = customer_no_;
  posting.short_name = short_name_;
  posting.date_text = date_text;
  posting.date = *date;
  posting.note = FromQString(PNotes->text());
  posting.items = ItemsOfLines(Lines(DstList));
  const PostingResult result = PostPayment(app_, posting);
  switch (result.outcome) {
    case PostingOutcome::kPosted:
      platform::Inform(messages(), kPaymentPostedCaption,
                       PostingSummaryText(result));
      accept();
      break;
    case PostingOutcome::kRefused:
      // Nothing was written; the user may mend the lists or choose again.
      break;
    case PostingOutcome::kIncomplete:
      // What is on file no longer matches the lists: they are not offered
      // for posting again.
      reject();
      break;
  }
}

void TPayBox::HelpBtnClick() {
  app_.services().help.ShowHelp(kPaymentWizardHelpTopic);
}

}  // namespace tallybook::receivables::ui
