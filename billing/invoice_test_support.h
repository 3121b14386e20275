// A company on disk for the invoice tests: the aging fixture's company "1"
// (aging periods 20, 45 and 70 days, today 2024-06-15, month-first dates)
// with receivables starting at 0, plus helpers that read back what the
// bookkeeping wrote and that check the files stay sound.
#ifndef TALLYBOOK_BILLING_INVOICE_TEST_SUPPORT_H_
#define TALLYBOOK_BILLING_INVOICE_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "billing/invoice_bookkeeping.h"
#include "company/aging_test_support.h"
#include "company/file_key_check.h"
#include "company/text.h"

namespace tallybook::billing::testing {

using company::CompanyListAccess;
using company::CustomerAccess;
using company::CustomerRecord;
using company::LineAccess;
using company::LineRecord;
using company::MemoAccess;
using company::MemoRecord;
using company::TransactionAccess;
using company::TransactionRecord;

// Every record in use of a closed company file, by record number.
template <class Access>
std::map<int32_t, typename Access::RecordType> AllRecords(company::App& app) {
  std::map<int32_t, typename Access::RecordType> records;
  Access access(app);
  if (!access.OpenCompanyFile()) return records;
  store::Engine& engine = app.engine();
  int32_t rec_no = 0;
  // Physical order, from the start.
  while (engine.NextUsedRecord(access.handle(), rec_no) &&
         access.GetRecord(rec_no)) {
    records[rec_no] = access.rec();
  }
  access.Close();
  return records;
}

inline int64_t Cents(double amount) { return std::llround(amount * 100); }
inline int64_t Cents(std::string_view text) {
  return Cents(company::MoneyToDouble(text));
}

class InvoiceOnDisk : public company::testing::CompanyOnDisk {
 protected:
  void SetUp() override {
    CompanyOnDisk::SetUp();
    company::CompanyRecord c = app_->CurrentCompany;
    c.ReceivablesBalance.Set("0.00");
    StoreCompany(c);
    app_->last_invoice_date = app_->TodayText;
  }

  // An editor that changes the prepared form with fill and presses OK.
  static RunInvoiceEditor Editor(std::function<void(InvoiceForm&)> fill) {
    return [fill](InvoiceForm& form) {
      fill(form);
      return true;
    };
  }
  static bool Cancel(InvoiceForm&) { return false; }

  // A product line and its extension.
  static InvoiceLine Line(const std::string& product,
                          const std::string& quantity,
                          const std::string& description,
                          const std::string& price, const std::string& flag) {
    InvoiceLine line{product, quantity, description, price, flag, ""};
    UpdateExtension(line);
    return line;
  }

  // Fills the header for customer_no and puts lines on the grid, with the
  // totals as the editor computes them.
  void FillInvoice(InvoiceForm& form, const std::string& customer_no,
                   const std::vector<InvoiceLine>& lines,
                   const std::string& paid = "0.00",
                   const std::string& date = "") {
    form.customer_no = customer_no;
    form.short_name = "SN" + customer_no;
    if (!date.empty()) form.date = date;
    for (size_t i = 0; i < lines.size(); ++i) form.lines[i] = lines[i];
    form.paid = paid;
    ComputeTotals(form, app_->CurrentCompany.TaxRate.View(), true);
  }

  // The one transaction whose number is invoice_no, and its record number.
  TransactionRecord Transaction(const std::string& invoice_no,
                                int32_t* rec_no = nullptr) {
    for (const auto& [no, t] : AllRecords<TransactionAccess>(*app_)) {
      if (company::Trim(t.InvoiceNo.View()) == invoice_no) {
        if (rec_no) *rec_no = no;
        return t;
      }
    }
    ADD_FAILURE() << "no transaction " << invoice_no;
    return {};
  }

  std::vector<LineRecord> LinesOf(const std::string& invoice_no) {
    std::vector<LineRecord> lines;
    for (const auto& [no, l] : AllRecords<LineAccess>(*app_)) {
      if (company::Trim(l.InvoiceNo.View()) == invoice_no) lines.push_back(l);
    }
    return lines;
  }

  CustomerRecord Customer(const std::string& customer_no) {
    for (const auto& [no, c] : AllRecords<CustomerAccess>(*app_)) {
      if (company::Trim(c.CustomerNo.View()) == customer_no) return c;
    }
    ADD_FAILURE() << "no customer " << customer_no;
    return {};
  }

  // The display date `days` before today.
  std::string DaysAgoText(int days) { return app_->FormatDate(DaysAgo(days)); }

  // Every company file of company "1" passes the file and key checks.
  void ExpectFilesSound(const std::string& when = "") {
    for (const company::FileDescription* file :
         {&company::CompanyListFile(), &company::CustomerFile(),
          &company::TransactionFile(), &company::LineFile(),
          &company::MemoFile()}) {
      EXPECT_EQ(company::CheckCompanyFileBlock(
                    *file, company::FilePathOf(*file, dir_, "1")),
                std::vector<std::string>{})
          << when;
    }
  }

  // Each customer's balance is the sum of its open amounts due, each aging
  // bucket the sum of the amounts due of its age, and the company's
  // receivables the sum of the balances (repeat masters count nowhere).
  void ExpectBalancesAgree(const std::string& when = "") {
    std::map<std::string, std::array<int64_t, 4>> buckets;
    for (const auto& [no, t] : AllRecords<TransactionAccess>(*app_)) {
      if (company::Trim(t.TypeCode.View()) == "R") continue;
      auto date = app_->ParseDate(t.DateText.View());
      ASSERT_TRUE(date) << when;
      buckets[company::Trim(t.CustomerNo.View())]
             [AgingBucketOf(*app_, *date)] += Cents(t.AmountDue.View());
    }
    int64_t receivables = 0;
    for (const auto& [no, c] : AllRecords<CustomerAccess>(*app_)) {
      const auto& b = buckets[company::Trim(c.CustomerNo.View())];
      EXPECT_EQ(Cents(c.AgingCurrent.View()), b[0]) << when;
      EXPECT_EQ(Cents(c.Aging2.View()), b[1]) << when;
      EXPECT_EQ(Cents(c.Aging3.View()), b[2]) << when;
      EXPECT_EQ(Cents(c.Aging4.View()), b[3]) << when;
      EXPECT_EQ(Cents(c.Balance.View()), b[0] + b[1] + b[2] + b[3]) << when;
      receivables += Cents(c.Balance.View());
    }
    EXPECT_EQ(Cents(StoredCompany().ReceivablesBalance.View()), receivables)
        << when;
    EXPECT_EQ(Cents(app_->CurrentCompany.ReceivablesBalance.View()),
              receivables)
        << when;
  }
};

}  // namespace tallybook::billing::testing

#endif  // TALLYBOOK_BILLING_INVOICE_TEST_SUPPORT_H_
