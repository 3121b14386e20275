// For the payment tests: company "1" on disk (see aging_test_support.h) with
// no receivables, invoices written as the bookkeeping writes them (the
// customer's balance and the company's receivables raised by the amount
// due), and the checks every posting must leave true.
#ifndef TALLYBOOK_RECEIVABLES_PAYMENT_TEST_SUPPORT_H_
#define TALLYBOOK_RECEIVABLES_PAYMENT_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "company/aging_test_support.h"
#include "company/file_key_check.h"
#include "company/data_access.h"
#include "company/format.h"
#include "company/text.h"
#include "platform/message.h"
#include "receivables/payment_posting.h"

namespace tallybook::receivables::testing {

using company::CustomerRecord;
using company::Date;
using company::TransactionRecord;

using company::testing::AnyMessages;

class PaymentFixture : public company::testing::CompanyOnDisk {
 protected:
  void SetUp() override {
    CompanyOnDisk::SetUp();
    company::CompanyRecord company = StoredCompany();
    company.ReceivablesBalance.Set("0.00");
    StoreCompany(company);
  }

  // Adds an open transaction of the customer and raises the balances by its
  // amount due. Returns its record number.
  int32_t AddOpen(const std::string& invoice_no, const std::string& customer,
                  const std::string& amount_due, int days_ago = 0,
                  const std::string& paid_amount = "0.00",
                  const std::string& type = "I") {
    company::TransactionAccess t(*app_);
    EXPECT_TRUE(t.OpenCompanyFile());
    t.ClearRecord();
    TransactionRecord& r = t.rec();
    const Date date = DaysAgo(days_ago);
    char part[8];
    r.InvoiceNo.Set(invoice_no);
    r.TypeCode.Set(type);
    r.KeyCode.Set("None");
    r.CustomerNo.Set(customer);
    r.CompanyNo.Set("1");
    r.DateText.Set(app_->FormatDate(date));
    std::snprintf(part, sizeof part, "%02d", date.month);
    r.Month.Set(part);
    std::snprintf(part, sizeof part, "%02d", date.day);
    r.Day.Set(part);
    r.Year.Set(std::to_string(date.year));
    r.SortDate.Set(company::SortableDate(date));
    r.InvoiceKind.Set("P");
    r.ShortName.Set("SHORT");
    r.NetAmount.Set(amount_due);
    r.TaxAmount.Set("0.00");
    r.GrandTotal.Set(amount_due);
    r.PaidAmount.Set(paid_amount);
    r.AmountDue.Set(amount_due);
    r.PaidSortDate.Set(" ");
    r.PaidStatus.Set(" ");
    int32_t rec_no = 0;
    EXPECT_TRUE(t.AddWithKeys(rec_no));
    t.Close();
    if (type != "R") RaiseBalances(customer, company::MoneyToDouble(amount_due));
    return rec_no;
  }

  // The bookkeeping of a new invoice: the customer's and the company's
  // balances go up by amount.
  void RaiseBalances(const std::string& customer_no, double amount) {
    company::CustomerAccess c(*app_);
    ASSERT_TRUE(c.OpenCompanyFile());
    int32_t rec_no = 0;
    ASSERT_TRUE(c.FindByKey(
        2, company::KeyText(customer_no, company::kCustomerNoKeyLength),
        rec_no));
    ASSERT_TRUE(c.GetRecord(rec_no));
    const CustomerRecord before = c.rec();
    c.rec().Balance.Set(company::MoneyText(
        company::MoneyToDouble(c.rec().Balance.View()) + amount));
    ASSERT_TRUE(c.ModifyWithKeys(rec_no, before));
    c.Close();
    company::CompanyRecord company = StoredCompany();
    company.ReceivablesBalance.Set(company::MoneyText(
        company::MoneyToDouble(company.ReceivablesBalance.View()) + amount));
    StoreCompany(company);
  }

  PaymentPosting Posting(const std::string& customer,
                         std::vector<PaymentItem> items,
                         const std::string& note = "") {
    PaymentPosting p;
    p.customer_no = customer;
    p.short_name = "SHORT";
    p.date = Date{2024, 6, 15};
    p.date_text = "06/15/2024";
    p.note = note;
    p.items = std::move(items);
    return p;
  }

  static PaymentItem Whole(const std::string& no, double amount) {
    return {PaymentItemKind::kWhole, no, amount};
  }
  static PaymentItem Partial(const std::string& no, double amount) {
    return {PaymentItemKind::kPartial, no, amount};
  }
  static PaymentItem Deposit(double amount) {
    return {PaymentItemKind::kDeposit, "", amount};
  }

  // Every transaction record in use, by record number.
  std::map<int32_t, TransactionRecord> Transactions() {
    std::map<int32_t, TransactionRecord> all;
    company::TransactionAccess t(*app_);
    EXPECT_TRUE(t.OpenCompanyFile());
    int32_t rec_no = 0;
    while (t.engine().NextUsedRecord(t.handle(), rec_no)) {
      EXPECT_TRUE(t.GetRecord(rec_no));
      all[rec_no] = t.rec();
    }
    t.Close();
    return all;
  }
  // The records under an invoice number, in record order.
  std::vector<TransactionRecord> Under(const std::string& invoice_no) {
    std::vector<TransactionRecord> found;
    for (const auto& [rec_no, r] : Transactions()) {
      if (r.InvoiceNo.Get() == invoice_no) found.push_back(r);
    }
    return found;
  }

  CustomerRecord Customer(const std::string& customer_no) {
    company::CustomerAccess c(*app_);
    EXPECT_TRUE(c.OpenCompanyFile());
    int32_t rec_no = 0;
    EXPECT_TRUE(c.FindByKey(
        2, company::KeyText(customer_no, company::kCustomerNoKeyLength),
        rec_no));
    EXPECT_TRUE(c.GetRecord(rec_no));
    CustomerRecord r = c.rec();
    c.Close();
    return r;
  }

  // The checks every posting leaves true: each customer's balance is the
  // sum of its amounts due, the company's receivables the sum of the
  // customers' balances, no paid record still owes, and every company
  // file passes the checks of "tallybook-admin check DIR FILE".
  void ExpectBooksBalance(const std::vector<std::string>& customers) {
    std::map<std::string, double> due;
    for (const auto& [rec_no, r] : Transactions()) {
      if (r.TypeCode.Get() == "R") continue;
      due[company::Trim(r.CustomerNo.View())] +=
          company::MoneyToDouble(r.AmountDue.View());
      if (r.PaidStatus.Get() == "P") {
        EXPECT_EQ(company::MoneyText(
                      company::MoneyToDouble(r.AmountDue.View())),
                  "0.00")
            << "paid record " << r.InvoiceNo.Get() << " still owes";
      }
    }
    double total = 0;
    for (const std::string& no : customers) {
      const double balance = company::MoneyToDouble(Customer(no).Balance.View());
      EXPECT_EQ(company::MoneyText(balance), company::MoneyText(due[no]))
          << "customer " << no;
      total += balance;
    }
    EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(),
              company::MoneyText(total));
    for (const company::FileDescription* file :
         {&company::TransactionFile(), &company::CustomerFile(),
          &company::CompanyListFile()}) {
      const std::vector<std::string> defects = company::CheckCompanyFileBlock(
          *file, company::FilePathOf(*file, dir_, "1"));
      EXPECT_TRUE(defects.empty())
          << file->rebuild_caption << ": " << defects.front();
    }
  }
};

}  // namespace tallybook::receivables::testing

#endif  // TALLYBOOK_RECEIVABLES_PAYMENT_TEST_SUPPORT_H_
