#include "receivables/statement.h"

#include <algorithm>
#include <memory>

#include "company/format.h"
#include "company/keys.h"
#include "company/text.h"
#include "output/invoice_files.h"

namespace tallybook::receivables {

using company::Trim;

namespace {

// The file the caller gave, or one opened here for the call.
template <class Access>
Access* Use(company::App& app, Access* given, std::unique_ptr<Access>& own) {
  if (given != nullptr) return given;
  own = std::make_unique<Access>(app);
  if (!own->OpenCompanyFile()) return nullptr;
  return own.get();
}

StatementRow Row(const company::TransactionRecord& r, int64_t paid_cents) {
  const std::string type = Trim(r.TypeCode.View());
  std::string reference = Trim(r.StatementNote.View());
  if (reference.empty()) reference = TypeLabel(type);
  return {Trim(r.SortDate.View()),
          Trim(r.InvoiceNo.View()),
          reference,
          StatementMoney(StatementCents(r.GrandTotal.View())),
          StatementMoney(paid_cents),
          StatementMoney(StatementCents(r.AmountDue.View())),
          type};
}

}  // namespace

StatementRow StatementHeader() {
  return {"Date",         "Invoice#",    "Reference/Comment", "Total Amount",
          "Paid Amount", "Balance Due", "C"};
}

std::string TypeLabel(std::string_view type_code) {
  if (type_code.size() != 1) return {};
  switch (type_code[0]) {
    case 'I':
      return "Invoice";
    case 'X':
      return "Partial Payment Made";
    case 'Z':
      return "Partial Payment Invoice";
    case 'D':
      return "Deposit on Account";
    case 'T':
      return "Deposit Offset Applied";
    case 'G':
      return "Repeat Billing";
    case 'R':
      return "Repeat Master";
  }
  return {};
}

std::string StatementStatusText(const Statement& st) {
  return "There are " + std::to_string(st.rows.size()) + " records selected.";
}

std::string NoActivityCaption(const Statement& st) {
  return kNoActivityCaptionPrefix + st.name;
}

StatementRead BuildStatement(company::App& app, const std::string& customer_no,
                             StatementDetail detail, Statement* st,
                             const StatementFiles& files) {
  *st = Statement{};
  store::Engine& engine = app.engine();
  const std::string key =
      company::KeyText(customer_no, company::kCustomerNoKeyLength);

  std::unique_ptr<company::CustomerAccess> own_customers;
  company::CompanyFileAccess* customers = files.customers;
  if (customers == nullptr) {
    customers =
        Use<company::CustomerAccess>(app, nullptr, own_customers);
  }
  if (customers == nullptr) return StatementRead::kFileFailed;
  company::CustomerRecord c;
  bool found = false;
  if (!output::ForEachKeyEqual(engine, customers->handle(), 2, key,
                               [&](int32_t ref) {
                                 found = engine.GetRecord(customers->handle(),
                                                          ref, &c);
                                 return false;
                               })) {
    return StatementRead::kFileFailed;
  }
  if (!found) return StatementRead::kNoCustomer;
  if (own_customers) own_customers->Close();

  st->customer_no = Trim(c.CustomerNo.View());
  st->name = Trim(c.CustomerName.View());
  const company::PString<35>* bill[] = {&c.BillAddress1, &c.BillAddress2,
                                        &c.BillAddress3, &c.BillAddress4};
  for (int k = 0; k < 4; ++k) st->address[k] = Trim(bill[k]->View());
  st->email = Trim(c.EMailAddress.View());
  st->memo = c.CustomerNotes.Get();
  const company::PString<10>* aging[] = {&c.AgingCurrent, &c.Aging2,
                                         &c.Aging3, &c.Aging4};
  for (int k = 0; k < 4; ++k) {
    st->aging[k] = StatementMoney(StatementCents(aging[k]->View()));
  }

  std::unique_ptr<company::TransactionAccess> own_transactions;
  company::TransactionAccess* transactions =
      Use(app, files.transactions, own_transactions);
  if (transactions == nullptr) return StatementRead::kFileFailed;
  const bool unpaid_only = detail == StatementDetail::kUnpaidOnly;
  bool read_ok = true;
  const bool walked = output::ForEachKeyEqual(
      engine, transactions->handle(), 2,
      company::KeyText(st->customer_no, company::kTransCustomerNoKeyLength),
      [&](int32_t ref) {
        company::TransactionRecord r;
        if (!engine.GetRecord(transactions->handle(), ref, &r)) {
          read_ok = false;
          return false;
        }
        const std::string type = Trim(r.TypeCode.View());
        const int64_t total = StatementCents(r.GrandTotal.View());
        const int64_t due = StatementCents(r.AmountDue.View());
        if (unpaid_only && (type == "R" || due == 0)) return true;
        // Unpaid only hides the payments of a partly paid invoice, so its
        // row shows what they came to.
        const int64_t paid = unpaid_only && type == "Z"
                                 ? total - due
                                 : StatementCents(r.PaidAmount.View());
        st->rows.push_back(Row(r, paid));
        st->total_cents += total;
        st->paid_cents += paid;
        st->balance_cents += due;
        return true;
      });
  if (!walked || !read_ok) return StatementRead::kFileFailed;
  if (own_transactions && !own_transactions->Close()) {
    return StatementRead::kFileFailed;
  }

  std::stable_sort(st->rows.begin(), st->rows.end());
  st->totals = {"", "", kAccountTotals, StatementMoney(st->total_cents),
                StatementMoney(st->paid_cents),
                StatementMoney(st->balance_cents), ""};
  return StatementRead::kOk;
}

int64_t StatementCents(std::string_view money_text) {
  // MoneyText rounds on the decimal value and gives "-1234.50"; its digits
  // are the cents.
  const std::string text =
      company::MoneyText(company::MoneyToDouble(money_text));
  int64_t cents = 0;
  for (char ch : text) {
    if (ch >= '0' && ch <= '9') cents = cents * 10 + (ch - '0');
  }
  return !text.empty() && text[0] == '-' ? -cents : cents;
}

std::string StatementMoney(int64_t cents) {
  const bool negative = cents < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(cents)
                                      : static_cast<uint64_t>(cents);
  const std::string whole = std::to_string(magnitude / 100);
  std::string grouped;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
    grouped += whole[i];
  }
  const int rest = static_cast<int>(magnitude % 100);
  return (negative ? "-" : "") + grouped + "." + static_cast<char>('0' + rest / 10) +
         static_cast<char>('0' + rest % 10);
}

}  // namespace tallybook::receivables
