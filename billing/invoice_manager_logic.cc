#include "billing/invoice_manager_logic.h"

#include <algorithm>

#include "billing/type_codes.h"
#include "company/text.h"

namespace tallybook::billing {

using company::FormatMoneyText;
using company::PadRight;
using company::RightAlign;
using company::TransactionRecord;
using company::Trim;

namespace {

constexpr int kMoneyWidth = 12;

// A column of a row: trimmed and padded, never cut.
std::string Column(std::string_view text, int width) {
  return PadRight(Trim(text), width);
}

// An amount ",0.00", trimmed and right-aligned in 12 (cut to 12 if longer).
std::string MoneyColumn(std::string_view stored) {
  return RightAlign(FormatMoneyText(stored), kMoneyWidth);
}

char CodeOf(const TransactionRecord& record) {
  const std::string_view code = record.TypeCode.View();
  return code.empty() ? '\0' : code.front();
}

}  // namespace

std::string RecordsText(int32_t count) {
  return kRecordsPrefix + std::to_string(count);
}

int ValidInvoiceView(int view_key) {
  for (const InvoiceView& view : kInvoiceViews) {
    if (view.key_no == view_key) return view_key;
  }
  return kInvoiceDateView;
}

std::string InvoiceListHeader() {
  std::string header = PadRight("Year/Mo/Dy", 10) + " T " +
                       PadRight("Invoice#", 9) + " " + PadRight("Cust#", 8) +
                       " " + PadRight("Short Name", 10) + " " +
                       RightAlign("Grand Total", kMoneyWidth) + " " +
                       RightAlign("Amount Due", kMoneyWidth) + " " +
                       RightAlign("Paid Amount", kMoneyWidth) + " " +
                       PadRight("Key Code", 8) + " " +
                       PadRight("Date Paid", 10) + " " + PadRight("CO#", 5);
  return PadRight(header, kManagerRowWidth);
}

bool IsDamagedTransaction(const TransactionRecord& record) {
  return Trim(record.GrandTotal.View()).empty() ||
         Trim(record.AmountDue.View()).empty() ||
         Trim(record.PaidAmount.View()).empty();
}

std::string InvoiceRow(const TransactionRecord& record) {
  const bool damaged = IsDamagedTransaction(record);
  const std::string sort_date = record.SortDate.Get().substr(0, 10);
  std::string row = PadRight(sort_date, 10) + " " + record.TypeCode.Get() +
                    " ";
  row += Column(damaged ? kDamagedInvoiceNo : record.InvoiceNo.View(), 9) + " ";
  row += Column(record.CustomerNo.View(), 8) + " ";
  row += Column(damaged ? kDamagedShortName : record.ShortName.View(), 10) + " ";
  row += MoneyColumn(damaged ? "0" : record.GrandTotal.View()) + " ";
  row += MoneyColumn(damaged ? "0" : record.AmountDue.View()) + " ";
  row += MoneyColumn(damaged ? "0" : record.PaidAmount.View()) + " ";
  row += Column(record.KeyCode.View(), 8) + " ";
  row += Column(record.PaidSortDate.View(), 10) + " ";
  row += Column(record.CompanyNo.View(), 5);
  return PadRight(row, kManagerRowWidth);
}

std::string UnreadableInvoiceRow(std::string_view key) {
  return PadRight(kUnreadableRowPrefix + std::string(key), kManagerRowWidth);
}

std::string FilterValueOf(const TransactionRecord& record) {
  std::string value = Trim(record.CustomerNo.View());
  if (value.size() > static_cast<size_t>(kFilterValueMax)) {
    value.resize(kFilterValueMax);
  }
  return value;
}

bool CustomerFilterAccepts(const TransactionRecord& record,
                           std::string_view filter_value) {
  return Trim(record.CustomerNo.View()) == filter_value;
}

FilterDisplay FilterDisplayFor(bool filter_on, std::string_view value) {
  if (filter_on) {
    return {kFilteringCustomer + std::string(value), true, kFilterOnHint, true};
  }
  return {kFilterClosedLabel, false, kFilterOffHint, false};
}

std::string KindLabel(const TransactionRecord& record) {
  switch (CodeOf(record)) {
    case kTypeDeposit:
    case kTypePartialPayment:
      return kPaymentRecordLabel;
    case kTypeDepositTaken:
      return kAppliedDepositLabel;
    default:
      return Trim(record.InvoiceKind.View()) == "M" ? kMemoInvoiceLabel
                                                     : kProductInvoiceLabel;
  }
}

CustomerDataView BuildCustomerData(const TransactionRecord& record,
                                   const company::CustomerRecord* customer,
                                   company::DateOrder date_order) {
  CustomerDataView view;
  const std::string generated = Trim(record.RepeatCount.View());
  for (char code : {kTypeInvoice, kTypeRepeatMaster, kTypeGenerated,
                    kTypePartialInvoice, kTypePartialPayment, kTypeDeposit,
                    kTypeDepositTaken}) {
    view.legend.push_back(TypeCodeLegend(std::string(1, code), generated));
  }
  view.invoice_line = Trim(record.InvoiceNo.View()) + "   " + KindLabel(record);
  view.date_line = Trim(record.DateText.View());
  if (CodeOf(record) == kTypeRepeatMaster) {
    view.repeat = true;
    std::string next_due = Trim(record.NextDueDate.View());
    // The next due date is kept month first whatever the company's order.
    if (date_order == company::DateOrder::kDayFirst) {
      if (auto date = company::ParseDisplayDate(next_due,
                                                company::DateOrder::kMonthFirst)) {
        next_due = company::FormatDisplayDate(*date, date_order);
      }
    }
    view.date_line += kNextDueText + next_due;
  }
  const double total = company::MoneyToDouble(record.GrandTotal.View());
  const double due = company::MoneyToDouble(record.AmountDue.View());
  const double paid = CodeOf(record) == kTypePartialInvoice
                          ? total - due
                          : company::MoneyToDouble(record.PaidAmount.View());
  view.total = company::FormatMoney(total);
  view.paid = company::FormatMoney(paid);
  view.balance_due = company::FormatMoney(due);
  const std::string email_note = Trim(record.EMailNote.View());
  if (Trim(record.PrintedFlag.View()) == "Y") {
    view.printed = kPrintedMark;
  } else if (email_note.size() > 2) {
    view.printed = kEMailedPrefix + email_note;
  }
  if (customer != nullptr) {
    view.customer_name = Trim(customer->CustomerName.View());
    view.customer_no = Trim(customer->CustomerNo.View());
    view.account_balance = FormatMoneyText(customer->Balance.View());
    view.phone = Trim(customer->Phone1.View());
    view.last_payment = Trim(customer->LastPaymentDate.View());
    view.last_invoice = Trim(customer->LastInvoiceNo.View());
    view.aging = {FormatMoneyText(customer->AgingCurrent.View()),
                  FormatMoneyText(customer->Aging2.View()),
                  FormatMoneyText(customer->Aging3.View()),
                  FormatMoneyText(customer->Aging4.View())};
  }
  return view;
}

std::string InvoiceFindHeader() {
  return PadRight("Invoice#", kInvoiceFindFirstColumn) + "T " +
         PadRight("Cust#", 9) + PadRight("Year/Mo/Dy", 11) +
         PadRight("Key Code", 9) + PadRight("Short Name", 11) + "Notes";
}

std::string InvoiceFindRow(const TransactionRecord& record) {
  return PadRight(Trim(record.InvoiceNo.View()), kInvoiceFindFirstColumn) +
         PadRight(record.TypeCode.View(), 1) + " " +
         PadRight(Trim(record.CustomerNo.View()), 9) +
         PadRight(Trim(record.SortDate.View()), 11) +
         PadRight(Trim(record.KeyCode.View()), 9) +
         PadRight(Trim(record.ShortName.View()), 11) +
         Trim(record.InvoiceNotes.View());
}

bool InvoiceFindMatches(const TransactionRecord& record,
                        std::string_view typed) {
  std::string wanted = Trim(typed);
  if (wanted.size() > static_cast<size_t>(kFindTextMax)) {
    wanted.resize(kFindTextMax);
  }
  if (wanted.empty()) return true;
  for (std::string_view field :
       {record.CustomerNo.View(), record.SortDate.View(),
        record.StatementNote.View(), record.InvoiceNotes.View(),
        record.InvoiceNo.View(), record.KeyCode.View(),
        record.ShortName.View()}) {
    if (ContainsIgnoringCase(field, wanted)) return true;
  }
  return false;
}

}  // namespace tallybook::billing
