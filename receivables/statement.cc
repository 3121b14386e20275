#include "receivables/statement.h"

#include <algorithm>
#include <memory>

#include "company/format.h"
#include "company/money.h"
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
          company::FormatCents(company::CentsOf(r.GrandTotal.View())),
          company::FormatCents(paid_cents),
          company::FormatCents(company::CentsOf(r.AmountDue.View())),
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
    st->aging[k] = company::FormatCents(company::CentsOf(aging[k]->View()));
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
        const int64_t total = company::CentsOf(r.GrandTotal.View());
        const int64_t due = company::CentsOf(r.AmountDue.View());
        if (unpaid_only && (type == "R" || due == 0)) return true;
        // Unpaid only hides the payments of a partly paid invoice, so its
        // row shows what they came to.
        const int64_t paid = unpaid_only && type == "Z"
                                 ? total - due
                                 : company::CentsOf(r.PaidAmount.View());
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
  st->totals = {"", "", kAccountTotals, company::FormatCents(st->total_cents),
                company::FormatCents(st->paid_cents),
                company::FormatCents(st->balance_cents), ""};
  return StatementRead::kOk;
}

}  // namespace tallybook::receivables
