#include "billing/invoice_checks.h"

#include "company/data_access.h"
#include "company/keys.h"
#include "company/money.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::billing {

using company::Trim;
using company::UpperCase1252;

namespace {

// The longest number text the checks look at.
constexpr size_t kNumberTextLimit = 15;

// A money or quantity text as the checks read it: separators removed,
// trimmed, cut to 15 characters.
std::string NumberText(std::string_view text) {
  std::string t = Trim(company::RemoveCommas(text));
  if (t.size() > kNumberTextLimit) t.resize(kNumberTextLimit);
  return t;
}

// Empty, or a number.
bool EmptyOrNumber(std::string_view text) {
  const std::string t = NumberText(text);
  double value = 0;
  return t.empty() || company::ParseMoney(t, &value);
}

// A box with no caption of its own, as the line and amount checks show.
void Plain(platform::Messages& messages, const std::string& text) {
  platform::Warn(messages, company::kProductTitle, text);
}

InvoiceCheckResult Fail(InvoiceField focus, int line = 0) {
  return InvoiceCheckResult{false, focus, line};
}

bool HasLetter(std::string_view number, char letter) {
  return UpperCase1252(Trim(number)).find(letter) != std::string::npos;
}

}  // namespace

std::string InvalidQuantityText(int line) {
  return "Line " + std::to_string(line) + " has an invalid QUANTITY value.";
}
std::string PriceWithoutQuantityText(int line) {
  return "Line " + std::to_string(line) + " has a unit price but no quantity.";
}
std::string QuantityWithoutPriceText(int line) {
  return "Line " + std::to_string(line) + " has a quantity but no unit price.";
}
std::string InvalidUnitPriceText(int line) {
  return "Line " + std::to_string(line) + " has an invalid UNIT PRICE value.";
}

bool InvoiceNumberOnFile(company::App& app, const std::string& number) {
  company::TransactionAccess transactions(app);
  if (!transactions.OpenCompanyFile()) return false;
  const std::string wanted = UpperCase1252(Trim(number));
  const std::string key =
      company::KeyText(wanted, company::kTransInvoiceNoKeyLength);
  int32_t rec_no = 0;
  bool found = transactions.FindByKey(1, key, rec_no) &&
               transactions.GetRecord(rec_no) &&
               UpperCase1252(Trim(transactions.rec().InvoiceNo.View())) ==
                   wanted;
  transactions.Close();
  return found;
}

InvoiceCheckResult CheckInvoiceForOk(company::App& app, InvoiceForm& form,
                                     company::TermList& terms,
                                     const NumberOnFile& number_on_file) {
  platform::Messages& messages = app.services().messages;
  if (Trim(form.paid).empty()) form.paid = kZeroAmount;
  if (Trim(form.invoice_no).empty()) {
    platform::Warn(messages, kInvoiceNumberCaption, kNeedInvoiceNumber);
    return Fail(InvoiceField::kInvoiceNo);
  }
  if (Trim(form.customer_no).empty()) {
    platform::Inform(messages, kCustomerRequiredCaption, kNeedCustomer);
    return Fail(InvoiceField::kCustomerButton);
  }
  if (!app.ParseDate(form.date)) {
    platform::Warn(messages, kInvoiceDateCaption, kInvalidInvoiceDate);
    return Fail(InvoiceField::kDate);
  }
  for (auto [letter, text] : {std::pair{'G', kNoLetterG},
                              std::pair{'I', kNoLetterI}}) {
    if (HasLetter(form.invoice_no, letter) &&
        !HasLetter(app.invoice_no_at_open, letter)) {
      platform::Warn(messages, kInvoiceNumberCaption, text);
      return Fail(InvoiceField::kInvoiceNo);
    }
  }

  if (form.kind == InvoiceKind::kMemo) {
    if (Trim(form.memo_description).empty()) {
      platform::Warn(messages, kProductDescriptionCaption,
                     kNeedMemoDescription);
      return Fail(InvoiceField::kMemoDescription);
    }
    double quantity = 0;
    if (!company::ParseMoney(NumberText(form.memo_quantity), &quantity)) {
      form.memo_quantity = "1";
    }
    if (Trim(form.memo).empty()) {
      platform::Warn(messages, kMemoTextCaption, kNeedMemoText);
      return Fail(InvoiceField::kMemo);
    }
  } else {
    bool any_description = false;
    for (int n = 1; n <= kGridLines; ++n) {
      const InvoiceLine& line = form.lines[n - 1];
      const std::string quantity = NumberText(line.quantity);
      const std::string price = NumberText(line.unit_price);
      const bool described = !Trim(line.description).empty();
      any_description = any_description || described;
      if (!EmptyOrNumber(quantity)) {
        Plain(messages, InvalidQuantityText(n));
        return Fail(InvoiceField::kQuantity, n);
      }
      if (described && quantity.empty() && !price.empty()) {
        Plain(messages, PriceWithoutQuantityText(n));
        return Fail(InvoiceField::kQuantity, n);
      }
      if (described && !quantity.empty() && price.empty()) {
        Plain(messages, QuantityWithoutPriceText(n));
        return Fail(InvoiceField::kUnitPrice, n);
      }
      if (!EmptyOrNumber(price)) {
        Plain(messages, InvalidUnitPriceText(n));
        return Fail(InvoiceField::kUnitPrice, n);
      }
    }
    if (!any_description) {
      platform::Warn(messages, kDescriptionRequiredCaption, kNeedDescription);
      return Fail(InvoiceField::kNone);
    }
  }

  const std::string number = UpperCase1252(Trim(form.invoice_no));
  if (number != UpperCase1252(Trim(app.invoice_no_at_open)) &&
      number_on_file(number)) {
    platform::Inform(messages, kDuplicateInvoiceCaptionPrefix + number,
                     kDuplicateInvoice);
    return Fail(InvoiceField::kInvoiceNo);
  }

  for (auto [text, message, name, field] :
       {std::tuple{&form.net, kInvalidNet, "Net", InvoiceField::kNet},
        std::tuple{&form.tax, kInvalidTax, "Tax", InvoiceField::kTax},
        std::tuple{&form.paid, kInvalidPaid, "Paid Amount",
                   InvoiceField::kPaid}}) {
    if (Trim(*text).empty()) continue;
    company::Cents cents = 0;
    const company::MoneyFieldCheck check =
        company::CheckMoneyField(NumberText(*text), &cents);
    if (check == company::MoneyFieldCheck::kNotANumber) {
      Plain(messages, message);
      return Fail(field);
    }
    if (check == company::MoneyFieldCheck::kTooManyDecimals) {
      // A third decimal would leave the balance a cent away from the
      // open items; the amount is refused rather than rounded.
      Plain(messages, company::MoneyFieldMessage(name, *text, check));
      return Fail(field);
    }
  }

  const company::Cents total = company::CentsOf(form.total);
  const company::Cents paid = company::CentsOf(form.paid);
  if (total == 0 &&
      !platform::Confirm(messages, kConfirmCaption, kNoChargeQuestion)) {
    return Fail(InvoiceField::kNone);
  }
  if (paid != 0 && paid > total) {
    platform::Warn(messages, kPaymentAmountCaption, kPaidExceedsTotal);
    return Fail(InvoiceField::kPaid);
  }
  const company::Cents limit = company::CentsOf(form.credit_limit);
  if (limit > 0 &&
      company::CentsOf(form.customer_balance) +
              company::CentsOf(form.balance_due) -
              company::CentsOf(app.invoice_total_at_open) >
          limit &&
      !platform::Confirm(messages, kConfirmCaption, kOverCreditQuestion)) {
    return Fail(InvoiceField::kNone);
  }
  if (company::AddTermFromInvoice(app, &terms, form.terms) ==
      company::NewTermChoice::kCancelled) {
    return Fail(InvoiceField::kTerms);
  }
  return InvoiceCheckResult{true, InvoiceField::kNone, 0};
}

}  // namespace tallybook::billing
