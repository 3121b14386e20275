#include "receivables/statement.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "company/money.h"
#include "receivables/statement_email.h"
#include "receivables/statement_print.h"
#include "receivables/statement_test_support.h"

namespace tallybook::receivables {
namespace {

using platform::testing::DrawOp;
using platform::testing::RecordedJob;

class StatementTest : public testing::StatementCompany {
 protected:
  // Joe's account: a repeat master, an invoice partly paid (stored paid
  // 10.00 at entry, 25.00 paid since), a paid invoice and an open one on
  // the same day (added in reverse number order), the partial payment, and
  // a deposit on account. Another customer's invoice must stay out.
  void AddJoesAccount() {
    AddTx("R100", "R", "2024/01/10", "20.00", "0.00", "20.00");
    AddTx("1003", "Z", "2024/05/01", "80.00", "10.00", "45.00",
          "Spring order");
    AddTx("1002", "I", "2024/05/02", "100.00", "0.00", "100.00");
    AddTx("1001", "I", "2024/05/02", "50.00", "50.00", "0.00");
    AddTx("1003", "X", "2024/05/10", "0.00", "25.00", "0.00");
    AddTx("DP5", "D", "2024/05/20", "0.00", "30.00", "-30.00");
    AddFullCustomer("C2", "Other Co", "other@example.com");
    AddTx("2001", "I", "2024/05/03", "999.00", "0.00", "999.00", "", "C2");
  }

  Statement Build(StatementDetail detail, const std::string& no = "C1") {
    Statement st;
    EXPECT_EQ(BuildStatement(*app_, no, detail, &st), StatementRead::kOk);
    return st;
  }

  // The company options the e-mail and print tests show.
  void ShowSalesMessageAndAging() {
    company::CompanyRecord co = app_->CurrentCompany;
    co.PrintSalesMessage = 1;
    co.SalesMessage1.Set("Thank you");
    co.SalesMessage2.Set("  for your business.");
    co.SalesMessage3.Set("");
    co.SalesMessage4.Set("");
    co.PrintCustomerAging = 1;
    StoreCompany(co);
  }
};

TEST_F(StatementTest, AllActivityListsEveryRecordSortedByDateThenNumber) {
  AddJoesAccount();
  const Statement st = Build(StatementDetail::kAllActivity);
  const std::vector<StatementRow> expected = {
      {"2024/01/10", "R100", "Repeat Master", "20.00", "0.00", "20.00", "R"},
      {"2024/05/01", "1003", "Spring order", "80.00", "10.00", "45.00", "Z"},
      {"2024/05/02", "1001", "Invoice", "50.00", "50.00", "0.00", "I"},
      {"2024/05/02", "1002", "Invoice", "100.00", "0.00", "100.00", "I"},
      {"2024/05/10", "1003", "Partial Payment Made", "0.00", "25.00", "0.00",
       "X"},
      {"2024/05/20", "DP5", "Deposit on Account", "0.00", "30.00", "-30.00",
       "D"},
  };
  EXPECT_EQ(st.rows, expected);
  const StatementRow totals = {"", "", "*** Account Totals:", "250.00",
                               "115.00", "135.00", ""};
  EXPECT_EQ(st.totals, totals);
  EXPECT_EQ(StatementStatusText(st), "There are 6 records selected.");
  EXPECT_EQ(st.name, "Joe's Hardware");
  EXPECT_EQ(st.address[0], "PO Box 9");
  EXPECT_EQ(st.aging[0], "1,234.50");
  EXPECT_EQ(st.aging[2], "10.00");
}

TEST_F(StatementTest, UnpaidOnlyHidesPaidZeroAndMastersAndShowsWhatZHasHad) {
  AddJoesAccount();
  const Statement st = Build(StatementDetail::kUnpaidOnly);
  // The partly paid invoice shows total less balance due as paid; the sum
  // is that of the cells, not that plus the amount stored at entry.
  const std::vector<StatementRow> expected = {
      {"2024/05/01", "1003", "Spring order", "80.00", "35.00", "45.00", "Z"},
      {"2024/05/02", "1002", "Invoice", "100.00", "0.00", "100.00", "I"},
      {"2024/05/20", "DP5", "Deposit on Account", "0.00", "30.00", "-30.00",
       "D"},
  };
  EXPECT_EQ(st.rows, expected);
  // The deposit lowers the balance total.
  const StatementRow totals = {"", "", "*** Account Totals:", "180.00",
                               "65.00", "115.00", ""};
  EXPECT_EQ(st.totals, totals);
}

TEST_F(StatementTest, UnknownCustomerAndCustomerWithoutActivity) {
  Statement st;
  EXPECT_EQ(BuildStatement(*app_, "NOPE", StatementDetail::kAllActivity, &st),
            StatementRead::kNoCustomer);
  // Only unpaid records: a customer whose records are all paid has none.
  AddTx("1001", "I", "2024/05/02", "50.00", "50.00", "0.00");
  st = Build(StatementDetail::kUnpaidOnly);
  EXPECT_FALSE(st.HasActivity());
  EXPECT_EQ(st.totals[5], "0.00");
  EXPECT_EQ(NoActivityCaption(st), "Customer: Joe's Hardware");
  // Customer numbers are matched as keys: blanks and case do not matter.
  EXPECT_TRUE(Build(StatementDetail::kAllActivity, " c1 ").HasActivity());
}

TEST(StatementMoneyTest, StatementAmountsAreWholeCents) {
  EXPECT_EQ(company::CentsOf("1234.5"), 123450);
  EXPECT_EQ(company::CentsOf("1,234.50"), 123450);
  EXPECT_EQ(company::CentsOf(""), 0);
  EXPECT_EQ(company::CentsOf("2.675"), 268);   // half away on the decimal
  EXPECT_EQ(company::CentsOf("-2.675"), -268);
  EXPECT_EQ(company::FormatCents(123456789), "1,234,567.89");
  EXPECT_EQ(company::FormatCents(-5), "-0.05");
  EXPECT_EQ(company::FormatCents(100000), "1,000.00");
  EXPECT_EQ(company::FormatCents(0), "0.00");
  // Ten thousand rows of 0.10 add up exactly.
  int64_t sum = 0;
  for (int i = 0; i < 10000; ++i) sum += company::CentsOf("0.10");
  EXPECT_EQ(company::FormatCents(sum), "1,000.00");
}

TEST_F(StatementTest, EmailTextLineForLine) {
  ShowSalesMessageAndAging();
  AddTx("1002", "I", "2024/05/02", "1234567.89", "0.00", "1234567.89");
  AddTx("DP5", "D", "2024/05/20", "0.00", "30.00", "-30.00");
  const Statement st = Build(StatementDetail::kAllActivity);
  const StatementEmail mail =
      ComposeStatementEmail(app_->CurrentCompany, st, app_->TodayText);
  const std::string dashes(82, '-');
  const std::vector<std::string> expected = {
      "Acme Supply                          STATEMENT",
      "1 Main Street",
      "Springfield",
      dashes,
      "Joe's Hardware",
      "PO Box 9",
      "Shelbyville",
      dashes,
      "Statement Date: 06/15/2024",
      "Account Number: C1",
      "Please remit within 30 days.",
      dashes,
      "Date       Invoice#  Reference/Comment    Total Amount Paid Amount "
      "Balance Due C",
      "---------- --------- -------------------- ------------ ----------- "
      "----------- -",
      "2024/05/02 1002      Invoice              1,234,567.89        0.00 "
      "1,234,567.89 I",
      "2024/05/20 DP5       Deposit on Account           0.00       30.00 "
      "     -30.00 D",
      "                     *** Account Totals:  1,234,567.89       30.00 "
      "1,234,537.89 ",
      dashes,
      "Thank you for your business.",
      " ",
      "Account Status:",
      "  Current: 1,234.50",
      "    21-45: 0.00",
      "    46-70: 10.00",
      "  Over 70: 0.00",
  };
  EXPECT_EQ(mail.lines, expected);
  EXPECT_EQ(mail.from, "billing@acme.example");
  EXPECT_EQ(mail.to, "joe@customer.example");
  EXPECT_EQ(mail.subject, "STATEMENT - Joe's Hardware");
  EXPECT_FALSE(mail.bad_address);
}

TEST_F(StatementTest, BlankAddressGoesToTheCompanyMarkedBad) {
  company::CompanyRecord co = app_->CurrentCompany;
  co.EMailLines.Set("N");
  StoreCompany(co);
  AddFullCustomer("C2", "No Mail Inc", "x");
  AddTx("2001", "I", "2024/05/03", "9.00", "0.00", "9.00", "", "C2");
  const Statement st = Build(StatementDetail::kAllActivity, "C2");
  const StatementEmail mail =
      ComposeStatementEmail(app_->CurrentCompany, st, app_->TodayText);
  EXPECT_TRUE(mail.bad_address);
  EXPECT_EQ(mail.to, "billing@acme.example");
  EXPECT_EQ(mail.subject, "BAD CUSTOMER E-MAIL: STATEMENT - No Mail Inc");
  // Without "Lines On E-Mail Invoices" each separator is one blank line.
  EXPECT_EQ(mail.lines[3], " ");
  EXPECT_EQ(mail.lines.back(), " ");
}

class StatementPrintTest : public StatementTest {
 protected:
  const RecordedJob& Print(const Statement& st) {
    const platform::PrintJobStatus status =
        PrintStatement(ui_->printer, app_->CurrentCompany, st,
                       app_->TodayText, app_->data_dir());
    EXPECT_TRUE(status.ok) << status.error;
    return ui_->printer.last_job();
  }
  static int Count(const RecordedJob& job, const std::string& text) {
    int n = 0;
    for (const std::string& t : job.Texts()) n += t == text;
    return n;
  }
};

TEST_F(StatementPrintTest, OnePageWithHeaderRowsRuleAndAccountStatus) {
  ShowSalesMessageAndAging();
  company::CompanyRecord co = app_->CurrentCompany;
  co.BoxStatements = 1;
  StoreCompany(co);
  AddJoesAccount();
  const RecordedJob& job = Print(Build(StatementDetail::kAllActivity));
  EXPECT_EQ(job.title, "Statement");
  EXPECT_EQ(job.pages, 1);
  for (const char* text :
       {"STATEMENT", "Acme Supply", "Page Number: 1", "Joe's Hardware",
        "Statement Date: 06/15/2024", "Account Number: C1",
        "Please remit within 30 days.", "Reference/Comments", " Balance Due",
        "Spring order", "*** Account Totals:", "135.00", "-30.00",
        "Account Status:", "Current: 1,234.50", "Over 70: 0.00",
        "Thank you"}) {
    EXPECT_NE(job.FindText(text), nullptr) << text;
  }
  // Amounts stand on one decimal point.
  const auto* twenty = job.FindText("20.00");
  const auto* total = job.FindText("250.00");
  ASSERT_TRUE(twenty && total);
  EXPECT_EQ(total->x1 + platform::testing::RecordingCanvas::CharWidth(
                            twenty->font),
            twenty->x1);
  // The frame 20 dots inside the page, and the rule under the totals.
  bool framed = false, ruled = false;
  const int totals_y = job.FindText("*** Account Totals:")->y1;
  for (const auto& call : job.calls) {
    if (call.op == DrawOp::kRectangle && call.x1 == 20 && call.y1 == 20) {
      framed = true;
    }
    if (call.op == DrawOp::kLine && call.y1 > totals_y && call.y1 == call.y2) {
      ruled = true;
    }
  }
  EXPECT_TRUE(framed);
  EXPECT_TRUE(ruled);
  // The account status sits at the bottom.
  EXPECT_GT(job.FindText("Account Status:")->y1, 2900);
}

TEST_F(StatementPrintTest, LongStatementContinuesWithTheHeaderRepeated) {
  company::CompanyRecord co = app_->CurrentCompany;
  co.PrintCustomerAging = 1;
  StoreCompany(co);
  for (int i = 0; i < 90; ++i) {
    AddTx(std::to_string(5000 + i), "I", "2024/03/01", "1.00", "0.00", "1.00");
  }
  const RecordedJob& job = Print(Build(StatementDetail::kAllActivity));
  ASSERT_EQ(job.pages, 2);
  const auto page1 = job.Texts(1);
  EXPECT_NE(std::find(page1.begin(), page1.end(), "Continued on page 2 ..."),
            page1.end());
  EXPECT_EQ(std::find(page1.begin(), page1.end(), "Account Status:"),
            page1.end());
  const auto page2 = job.Texts(2);
  for (const char* text : {"Page Number: 2", "Joe's Hardware", "Invoice#",
                           "*** Account Totals:", "90.00", "Account Status:"}) {
    EXPECT_NE(std::find(page2.begin(), page2.end(), text), page2.end()) << text;
  }
  EXPECT_EQ(Count(job, "Invoice#"), 2);
  // No row passes the page height less 250 dots.
  for (const auto& call : job.calls) {
    if (call.op == DrawOp::kText && call.text.rfind("50", 0) == 0) {
      EXPECT_LE(call.y1 + 42, 3150 - 250) << call.text;
    }
  }
}

}  // namespace
}  // namespace tallybook::receivables
