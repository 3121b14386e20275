// For the interest tests: company "1" on disk (payment_test_support.h) with
// next invoice number 1005, customers whose open invoices lie in chosen
// aging periods (aged by the aging run, as the program keeps them), and the
// checks every interest run must leave true.
#ifndef TALLYBOOK_RECEIVABLES_INTEREST_TEST_SUPPORT_H_
#define TALLYBOOK_RECEIVABLES_INTEREST_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "company/aging.h"
#include "company/money.h"
#include "company/startup.h"
#include "receivables/interest_run.h"
#include "receivables/payment_test_support.h"

namespace tallybook::receivables::testing {

class InterestFixture : public PaymentFixture {
 protected:
  void SetUp() override {
    PaymentFixture::SetUp();
    company::CompanyRecord company = StoredCompany();
    company.NextInvoiceNo.Set("1005");
    company.LastInvoiceNo.Set("1004");
    StoreCompany(company);
  }

  // Adds a customer with one open invoice per non-zero amount, dated in
  // the middle of aging period 1..4 (limits 20, 45, 70 days), then ages the
  // books so that its aging amounts hold them.
  void AddAged(const std::string& no, const std::string& name,
               const std::array<const char*, 4>& amounts) {
    AddCustomer(no, name);
    static constexpr int kDaysAgo[4] = {5, 30, 60, 100};
    for (int k = 0; k < 4; ++k) {
      if (company::CentsOf(amounts[k]) == 0) continue;
      AddOpen(no + "-" + std::to_string(k + 1), no, amounts[k], kDaysAgo[k]);
    }
    company::CalculateAging(*app_);
  }

  InterestSettings Settings() const {
    InterestSettings s =
        StoredInterestSettings(app_->CurrentCompany, app_->TodayText);
    s.terms = "Net 30";
    return s;
  }

  // The customer rows of a scan as "number charge" pairs.
  static std::vector<std::string> Charged(const InterestScan& scan) {
    std::vector<std::string> out;
    for (const InterestRow& row : scan.rows) {
      out.push_back(row.customer_no + " " + company::CentsText(row.charge));
    }
    return out;
  }

  // Every customer's balance is the sum of its amounts due and its aging
  // amounts sum to it; the company's receivables are the sum of the
  // balances.
  void ExpectBooksAgree(const std::string& when) {
    std::map<std::string, company::Cents> due;
    for (const auto& [rec_no, r] : Transactions()) {
      due[company::Trim(r.CustomerNo.View())] +=
          company::CentsOf(r.AmountDue.View());
    }
    company::Cents total = 0;
    company::CustomerAccess c(*app_);
    ASSERT_TRUE(c.OpenCompanyFile());
    int32_t rec_no = 0;
    while (c.engine().NextUsedRecord(c.handle(), rec_no)) {
      ASSERT_TRUE(c.GetRecord(rec_no));
      const CustomerRecord& r = c.rec();
      const std::string no = company::Trim(r.CustomerNo.View());
      const company::Cents balance = company::CentsOf(r.Balance.View());
      EXPECT_EQ(balance, due[no]) << when << ": customer " << no;
      EXPECT_EQ(company::CentsOf(r.AgingCurrent.View()) +
                    company::CentsOf(r.Aging2.View()) +
                    company::CentsOf(r.Aging3.View()) +
                    company::CentsOf(r.Aging4.View()),
                balance)
          << when << ": aging of customer " << no;
      total += balance;
    }
    c.Close();
    EXPECT_EQ(company::CentsOf(StoredCompany().ReceivablesBalance.View()),
              total)
        << when;
  }

  // The interest invoices on file: number -> customer.
  std::map<std::string, std::string> InterestInvoices() {
    std::map<std::string, std::string> out;
    for (const auto& [rec_no, r] : Transactions()) {
      if (r.KeyCode.Get() == kInterestKeyCode) {
        out[r.InvoiceNo.Get()] = r.CustomerNo.Get();
      }
    }
    return out;
  }
};

}  // namespace tallybook::receivables::testing

#endif  // TALLYBOOK_RECEIVABLES_INTEREST_TEST_SUPPORT_H_
