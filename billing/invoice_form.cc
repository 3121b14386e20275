#include "billing/invoice_form.h"

#include <cmath>

#include "company/money.h"
#include "company/text.h"

namespace tallybook::billing {

using company::Cents;
using company::CentsOf;
using company::FormatCents;
using company::FormatMoney;
using company::MoneyText;
using company::MoneyToDouble;
using company::PadRight;
using company::RemoveCommas;
using company::Trim;

bool InvoiceLine::IsInvoiceLine() const {
  return !Trim(product).empty() || !Trim(description).empty();
}

InvoiceLine ResetLine(const company::CompanyRecord& company) {
  InvoiceLine line;
  line.quantity = Trim(company.DefaultQuantity.View());
  line.unit_price = kZeroAmount;
  line.flag = "N";
  line.extension = kZeroAmount;
  return line;
}

void ResetGrid(InvoiceForm& form, const company::CompanyRecord& company) {
  const InvoiceLine reset = ResetLine(company);
  form.lines.fill(reset);
}

InvoiceLine CommentLine() {
  InvoiceLine line;
  line.quantity = " ";
  line.flag = " ";
  line.extension = kZeroAmount;
  return line;
}

namespace {

// A quantity or unit price as the editor reads it: exactly when it is a
// decimal, else leniently as before (a non-number counts 0).
company::Decimal DecimalOfText(std::string_view text) {
  if (auto exact = company::ParseDecimal(text)) return *exact;
  return company::DecimalFromDouble(MoneyToDouble(text));
}

Cents PaidOf(InvoiceForm& form) {
  if (Trim(form.paid).empty()) form.paid = kZeroAmount;
  return CentsOf(form.paid);
}

}  // namespace

std::string LineExtension(std::string_view quantity,
                          std::string_view unit_price) {
  return FormatCents(
      company::MultiplyToCents(DecimalOfText(quantity), DecimalOfText(unit_price)));
}

void UpdateExtension(InvoiceLine& line) {
  line.extension = LineExtension(line.quantity, line.unit_price);
}

void ComputeProductTotals(InvoiceForm& form, std::string_view tax_rate) {
  Cents net = 0;
  Cents taxable = 0;
  for (const InvoiceLine& line : form.lines) {
    const Cents extension = CentsOf(line.extension);
    net += extension;
    if (form.calc_tax && line.flag == "Y") taxable += extension;
  }
  const Cents tax = company::PercentOfCents(taxable, DecimalOfText(tax_rate));
  const Cents paid = PaidOf(form);
  form.net = FormatCents(net);
  form.tax = FormatCents(tax);
  form.total = FormatCents(net + tax);
  form.balance_due = FormatCents(net + tax - paid);
}

std::string ComputeMemoTotals(InvoiceForm& form, std::string_view tax_rate,
                              bool calc_taxes) {
  if (Trim(form.net).empty()) form.net = kZeroAmount;
  const Cents net = CentsOf(form.net);
  const Cents tax = CentsOf(form.tax);
  const Cents paid = PaidOf(form);
  form.total = FormatCents(net + tax);
  form.balance_due = FormatCents(net + tax - paid);
  if (!calc_taxes) return {};
  return "Tax on " + FormatCents(net) + " is " +
         FormatCents(company::PercentOfCents(net, DecimalOfText(tax_rate))) +
         ".";
}

std::string ComputeTotals(InvoiceForm& form, std::string_view tax_rate,
                          bool calc_taxes) {
  if (form.kind == InvoiceKind::kMemo) {
    return ComputeMemoTotals(form, tax_rate, calc_taxes);
  }
  ComputeProductTotals(form, tax_rate);
  return {};
}

bool BalanceDueIsNegative(const InvoiceForm& form) {
  return CentsOf(form.balance_due) < 0;
}

std::string CalcTaxCaption(std::string_view tax_rate) {
  return "Calc. Tax at " + Trim(tax_rate) + "%";
}

std::string BuildLineText(const InvoiceLine& line) {
  // Each column is cut to its width: a longer one would move every column
  // after it, and readers take the columns by position.
  auto column = [](std::string_view value, int width) {
    std::string text = PadRight(value, width);
    text.resize(static_cast<size_t>(width));
    return text;
  };
  return column(RemoveCommas(line.quantity), kQuantityWidth) +
         column(line.description, kDescriptionWidth) +
         column(RemoveCommas(line.unit_price), kUnitPriceWidth) +
         column(line.flag, company::kLineTaxFlagWidth) +
         column(RemoveCommas(line.extension), company::kLineAmountWidth);
}

std::string TextColumns(std::string_view text, size_t from, size_t count) {
  if (from == 0 || from - 1 >= text.size()) return {};
  return std::string(text.substr(from - 1, count));
}

InvoiceLine LineFromRecord(const company::LineRecord& record) {
  const std::string text = record.LineText.Get();
  InvoiceLine line;
  line.product = Trim(record.LineProductCode.View());
  line.quantity = Trim(TextColumns(text, 1, 10));
  line.description = Trim(TextColumns(text, 11, 32));
  line.unit_price = Trim(TextColumns(text, 43, 10));
  line.flag = TextColumns(text, 53, 1);
  line.extension = Trim(TextColumns(text, 54, 10));
  return line;
}

std::string ProposedInvoiceNumber(const company::CompanyRecord& company,
                                  std::string_view date,
                                  company::DateOrder order) {
  const std::string next = Trim(company.NextInvoiceNo.View());
  if (!company::IsYes(company.YearMonthPrefix.View())) return next;
  const std::optional<company::Date> d = company::ParseDisplayDate(date, order);
  if (!d) return next;
  auto two = [](int n) {
    return std::string{static_cast<char>('0' + n / 10 % 10),
                       static_cast<char>('0' + n % 10)};
  };
  return two(d->year % 100) + two(d->month) + next;
}

std::string NextInvoiceNumberAfter(std::string_view invoice_no,
                                   bool prefixed) {
  std::string_view counter = invoice_no;
  if (prefixed) counter = counter.size() > 4 ? counter.substr(4, 5) : "";
  return company::FormatNumber(MoneyToDouble(counter) + 1, 0, false);
}

std::vector<std::string> ApplyChosenCustomer(
    InvoiceForm& form, const company::CustomerRecord& customer,
    const company::CompanyRecord& company) {
  form.customer_name = customer.CustomerName.Get();
  form.customer_no = customer.CustomerNo.Get();
  form.short_name = customer.ShortName.Get();
  const double limit = MoneyToDouble(customer.CreditLimit.View());
  const double balance = MoneyToDouble(customer.Balance.View());
  form.credit_limit = FormatMoney(limit);
  form.customer_balance = FormatMoney(balance);
  form.aging = {FormatMoney(MoneyToDouble(customer.AgingCurrent.View())),
                FormatMoney(MoneyToDouble(customer.Aging2.View())),
                FormatMoney(MoneyToDouble(customer.Aging3.View())),
                FormatMoney(MoneyToDouble(customer.Aging4.View()))};
  if (!Trim(customer.Terms.View()).empty()) form.terms = customer.Terms.Get();
  form.tax_exempt = company::IsYes(customer.TaxExempt.View());
  if (company.CalcTaxes != 0) form.calc_tax = true;
  if (form.tax_exempt) form.calc_tax = false;
  std::vector<std::string> warnings;
  if (limit > 0 && balance > limit) warnings.push_back(kOverCreditLimit);
  if (company::IsYes(customer.CreditHold.View())) {
    warnings.push_back(kCreditHold);
  }
  return warnings;
}

void ApplyProduct(InvoiceLine& line, const company::ProductRecord& product,
                  const company::CompanyRecord& company,
                  bool with_default_quantity) {
  line.product = product.ProductCode.Get();
  if (with_default_quantity) {
    line.quantity = Trim(company.DefaultQuantity.View());
  }
  line.description = product.ProductDescription.Get();
  line.unit_price = Trim(product.SalesPrice.View());
  line.flag = product.Taxable != 0 ? "Y" : "N";
  UpdateExtension(line);
}

std::string ClockText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  auto two = [](int64_t n) {
    std::string t = std::to_string(n);
    return t.size() < 2 ? "0" + t : t;
  };
  return two(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" +
         two(seconds % 60);
}

std::string HoursText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const double hours = seconds / 3600 + (seconds / 60 % 60) / 60.0 +
                       (seconds % 60) / 3600.0;
  std::string text = company::FormatNumber(hours, 3, false);
  while (text.find('.') < 2) text = "0" + text;
  return text;
}

std::vector<std::string> MemoLines(std::string_view memo) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= memo.size()) {
    size_t end = memo.find('\n', start);
    if (end == std::string_view::npos) end = memo.size();
    std::string line(memo.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  if (!memo.empty() && memo.back() == '\n') lines.pop_back();
  return lines;
}

}  // namespace tallybook::billing
