#include "receivables/payment_lines.h"

#include <cctype>

#include "billing/type_codes.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "company/money.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::receivables {
namespace {

using company::MoneyText;
using company::PadRight;
using company::Trim;

constexpr int kDateColumn = kInvoiceColumns + 1;          // 0-based 10
constexpr int kAmountColumn = kDateColumn + kDateColumns + 1;  // 0-based 19
constexpr int kMarkerColumn = kAmountColumn + kAmountColumns;  // 0-based 31

std::string Columns(std::string_view line, size_t from, size_t count) {
  if (from >= line.size()) return {};
  return std::string(line.substr(from, count));
}

std::string TwoDigits(std::string_view field) {
  std::string text = Trim(field);
  if (text.size() < 2) text.insert(0, 2 - text.size(), '0');
  return text;
}

double ReadAmount(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (c != ' ' && c != ',') s += c;
  }
  double value = 0;
  return company::ParseMoney(s, &value) ? value : 0.0;
}

}  // namespace

std::string ItemDate(const company::TransactionRecord& record,
                     company::DateOrder order) {
  const std::string month = TwoDigits(record.Month.View());
  const std::string day = TwoDigits(record.Day.View());
  const std::string year = Columns(record.Year.View(), 2, 2);
  return order == company::DateOrder::kDayFirst
             ? day + "/" + month + "/" + year
             : month + "/" + day + "/" + year;
}

std::string DepositLineDate(std::string_view payment_date_text) {
  return Columns(payment_date_text, 0, 6) + Columns(payment_date_text, 8, 2);
}

std::string BuildItemLine(std::string_view invoice_no, std::string_view date,
                          double amount, bool partial) {
  std::string shown = company::FormatMoney(amount);
  if (static_cast<int>(shown.size()) > kAmountColumns) shown = MoneyText(amount);
  std::string line = PadRight(Columns(invoice_no, 0, kInvoiceColumns),
                              kInvoiceColumns);
  line += ' ';
  line += PadRight(Columns(date, 0, kDateColumns), kDateColumns);
  line += ' ';
  line += company::RightAlign(shown, kAmountColumns);
  if (partial) line += kPartialMarker;
  return line;
}

ItemLine ParseItemLine(std::string_view line) {
  ItemLine item;
  item.invoice_no = Trim(Columns(line, 0, kInvoiceColumns));
  item.date = Trim(Columns(line, kDateColumn, kDateColumns));
  item.amount = ReadAmount(Columns(line, kAmountColumn, kAmountColumns));
  item.partial = Columns(line, kMarkerColumn, 1) == std::string(1, kPartialMarker);
  return item;
}

double PostedTotal(const std::vector<std::string>& lines) {
  company::Cents total = 0;
  for (const std::string& line : lines) {
    total += company::CentsOf(
        ReadAmount(Columns(line, kAmountColumn - 1, kAmountColumns + 1)));
  }
  return company::CentsToDouble(total);
}

bool PostAllowed(double posted_total, std::string_view paid_amount_text,
                 bool destination_empty) {
  return !destination_empty &&
         company::CentsOf(posted_total) == company::CentsOf(paid_amount_text);
}

bool PaidIsBalance(std::string_view paid_amount_text,
                   std::string_view balance_text) {
  return company::CentsOf(paid_amount_text) == company::CentsOf(balance_text);
}

bool CanPayPartly(const ItemLine& line) {
  return line.amount > 0 && line.invoice_no != kDepositLineNo;
}

PaidAmountCheck CheckPaidAmount(std::string_view text, double* value) {
  if (Trim(text).empty()) return PaidAmountCheck::kEmpty;
  if (text.find('-') != std::string_view::npos) return PaidAmountCheck::kNegative;
  const size_t non_digit = text.find_first_not_of("0123456789");
  if (non_digit != std::string_view::npos && text[non_digit] != '.') {
    return PaidAmountCheck::kNotNumeric;
  }
  // A second point passes the typing rule but is no number either.
  company::Cents cents = 0;
  switch (company::CheckMoneyField(text, &cents)) {
    case company::MoneyFieldCheck::kNotANumber:
      return PaidAmountCheck::kNotNumeric;
    case company::MoneyFieldCheck::kTooManyDecimals:
      return PaidAmountCheck::kTooManyDecimals;
    case company::MoneyFieldCheck::kOk:
      break;
  }
  *value = company::CentsToDouble(cents);
  return PaidAmountCheck::kOk;
}

DialogAmountCheck CheckDialogAmount(std::string_view text,
                                    std::string_view amount_due_text,
                                    bool deposit_mode, double* value) {
  company::Cents amount = 0;
  if (text.find(',') != std::string_view::npos) {
    return DialogAmountCheck::kNotNumeric;
  }
  switch (company::CheckMoneyField(text, &amount)) {
    case company::MoneyFieldCheck::kNotANumber:
      return DialogAmountCheck::kNotNumeric;
    case company::MoneyFieldCheck::kTooManyDecimals:
      return DialogAmountCheck::kTooManyDecimals;
    case company::MoneyFieldCheck::kOk:
      break;
  }
  if (amount <= 0) return DialogAmountCheck::kNotAboveZero;
  const company::Cents due =
      deposit_mode ? 0 : company::CentsOf(amount_due_text);
  if (!deposit_mode && amount >= due) return DialogAmountCheck::kNotBelowDue;
  *value = company::CentsToDouble(amount);
  return DialogAmountCheck::kOk;
}

bool LoadOpenItems(company::App& app, std::string_view customer_no,
                   std::vector<std::string>* lines) {
  company::TransactionAccess file(app);
  if (!file.OpenCompanyFile()) return false;
  store::Engine& engine = file.engine();
  const std::string wanted = company::UpperCase1252(Trim(customer_no));
  std::string key =
      company::KeyText(customer_no, company::kTransCustomerNoKeyLength);
  int32_t ref = 0;
  bool ok = engine.SearchKey(file.handle(), 2, ref, key);
  const company::DateOrder order =
      company::DateOrderFromField(app.CurrentCompany.DateOrder.View());
  bool read_failed = false;
  while (ok && company::UpperCase1252(Trim(key)) == wanted) {
    if (!file.GetRecord(ref)) {
      read_failed = true;
      break;
    }
    const company::TransactionRecord& r = file.rec();
    const std::string type = company::UpperCase1252(Trim(r.TypeCode.View()));
    const bool paid = Trim(r.PaidStatus.View()) == "P";
    const double due = company::MoneyToDouble(r.AmountDue.View());
    if (!paid && type != std::string(1, billing::kTypeRepeatMaster)) {
      const bool partly_paid =
          type == std::string(1, billing::kTypePartialInvoice);
      if (partly_paid || MoneyText(due) != "0.00") {
        lines->push_back(
            BuildItemLine(r.InvoiceNo.View(), ItemDate(r, order), due,
                          partly_paid));
      }
    }
    ok = engine.NextKey(file.handle(), 2, ref, key);
  }
  const bool complete = !read_failed && (ok || engine.ErrorClass() == 1);
  file.Close();
  return complete;
}

std::vector<PaymentItem> ItemsOfLines(const std::vector<std::string>& lines) {
  std::vector<PaymentItem> items;
  for (const std::string& text : lines) {
    const ItemLine line = ParseItemLine(text);
    PaymentItem item;
    item.amount = line.amount;
    if (line.invoice_no == kDepositLineNo) {
      item.kind = PaymentItemKind::kDeposit;
    } else {
      item.kind =
          line.partial ? PaymentItemKind::kPartial : PaymentItemKind::kWhole;
      item.invoice_no = line.invoice_no;
    }
    items.push_back(item);
  }
  return items;
}

}  // namespace tallybook::receivables
