// For the statement tests: the invoice output company (customer "C1",
// Joe's Hardware, with addresses, e-mail and aging; see
// output/output_test_support.h) with statement options set, and helpers
// that add transactions of any type and customers with balances.
#ifndef TALLYBOOK_RECEIVABLES_STATEMENT_TEST_SUPPORT_H_
#define TALLYBOOK_RECEIVABLES_STATEMENT_TEST_SUPPORT_H_

#include <string>

#include "company/keys.h"
#include "output/output_test_support.h"

namespace tallybook::receivables::testing {

class StatementCompany : public output::testing::InvoiceCompany {
 protected:
  void SetUp() override {
    InvoiceCompany::SetUp();
    if (HasFatalFailure()) return;
    company::CompanyRecord co = app_->CurrentCompany;
    co.StatementCaption.Set("STATEMENT");
    co.StatementNoteText.Set("Please remit within 30 days.");
    co.LastBatchPrintDate.Set(" ");
    StoreCompany(co);
  }

  // A transaction as the bookkeeping and the payment wizard leave it.
  void AddTx(const std::string& no, const std::string& type,
             const std::string& sort_date, const std::string& total,
             const std::string& paid, const std::string& due,
             const std::string& note = "",
             const std::string& customer = "C1") {
    company::TransactionAccess t(*app_);
    ASSERT_TRUE(t.OpenCompanyFile());
    t.ClearRecord();
    company::TransactionRecord& r = t.rec();
    r.InvoiceNo.Set(no);
    r.TypeCode.Set(type);
    r.CustomerNo.Set(customer);
    r.CompanyNo.Set("1");
    r.SortDate.Set(sort_date);
    r.DateText.Set(sort_date.substr(5, 2) + "/" + sort_date.substr(8, 2) +
                   "/" + sort_date.substr(0, 4));
    r.StatementNote.Set(note);
    r.InvoiceKind.Set("P");
    r.GrandTotal.Set(total);
    r.PaidAmount.Set(paid);
    r.AmountDue.Set(due);
    int32_t rec_no = 0;
    ASSERT_TRUE(t.AddWithKeys(rec_no));
    ASSERT_TRUE(t.Close());
  }

  // A customer with its stored balance and aging amounts (periods 1-3 and
  // beyond 3).
  void AddBalanceCustomer(const std::string& no, const std::string& name,
                          const std::string& email, const std::string& balance,
                          const std::string& aging2 = "0.00",
                          const std::string& aging3 = "0.00",
                          const std::string& aging4 = "0.00") {
    AddFullCustomer(no, name, email);
    company::CustomerAccess c(*app_);
    ASSERT_TRUE(c.OpenCompanyFile());
    int32_t rec_no = 0;
    ASSERT_TRUE(c.FindByKey(
        2, company::KeyText(no, company::kCustomerNoKeyLength), rec_no));
    ASSERT_TRUE(c.GetRecord(rec_no));
    const company::CustomerRecord before = c.rec();
    c.rec().Balance.Set(balance);
    c.rec().AgingCurrent.Set("0.00");
    c.rec().Aging2.Set(aging2);
    c.rec().Aging3.Set(aging3);
    c.rec().Aging4.Set(aging4);
    ASSERT_TRUE(c.ModifyWithKeys(rec_no, before));
    ASSERT_TRUE(c.Close());
  }
};

}  // namespace tallybook::receivables::testing

#endif  // TALLYBOOK_RECEIVABLES_STATEMENT_TEST_SUPPORT_H_
