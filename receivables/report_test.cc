#include "receivables/report.h"

#include <gtest/gtest.h>

#include "company/aging.h"
#include "receivables/report_test_support.h"

namespace tallybook::receivables {
namespace {

using testing::ReportCompany;
using testing::Tx;
using Rows = std::vector<ReportRow>;

class ReportTest : public ReportCompany {
 protected:
  Rows Build(const ReportRequest& request, ReportOutcome expected =
                                               ReportOutcome::kOk) {
    Report report;
    const ReportResult result = BuildReport(*app_, request, &report);
    EXPECT_EQ(result.outcome, expected) << result.message;
    last_ = result;
    return report.rows;
  }
  ReportResult last_;
};

TEST_F(ReportTest, InvoiceRegisterListsZeroTotalInvoicesKeyCodeInquiryDoesNot) {
  FileSmallCompany();
  EXPECT_EQ(Build(Request(ReportKind::kInvoiceRegister)),
            (Rows{{"2024/06/01", "1001", "ACME", "C1", "100.00", "8.00",
                   "108.00", "I"},
                  {"2024/06/03", "1002", "BOLT", "C2", "0.00", "0.00", "0.00",
                   "I"},
                  {"2024/06/14", "1006", "ACME", "C1", "75.00", "0.00",
                   "75.00", "G"}}));
  EXPECT_EQ(Build(Request(ReportKind::kKeyCodeInquiry)),
            (Rows{{"WEST", "1001", "ACME", "2024/06/01", "100.00", "8.00",
                   "108.00", "I"},
                  {"*none*", "1006", "ACME", "2024/06/14", "75.00", "0.00",
                   "75.00", "G"}}));
}

TEST_F(ReportTest, RangeIsInclusiveAndASingleDayWorks) {
  FileSmallCompany();
  const Rows one_day = Build(Request(ReportKind::kInvoiceRegister,
                                     {2024, 6, 14}, {2024, 6, 14}));
  ASSERT_EQ(one_day.size(), 1u);
  EXPECT_EQ(one_day[0][1], "1006");
  Build(Request(ReportKind::kInvoiceRegister, {2023, 1, 1}, {2023, 12, 31}),
        ReportOutcome::kNoRecords);
  EXPECT_EQ(last_.message, kNoMatchingRecords);
  EXPECT_EQ(last_.caption, "Invoice Register");
  Build(Request(ReportKind::kKeyCodeInquiry, {2023, 1, 1}, {2023, 12, 31}),
        ReportOutcome::kNoRecords);
  EXPECT_EQ(last_.caption, "Key Code Report");
}

TEST_F(ReportTest, PaymentAndTaxReportsTakePaidRecordsThenOpenOnesWithPayments) {
  FileSmallCompany();
  EXPECT_EQ(Build(Request(ReportKind::kPaymentRegister, {2024, 5, 1})),
            (Rows{{"2024/06/05", "1003", "ACME", "C1", "0.00", "20.00",
                   "0.00", "X"},
                  {"2024/06/10", "1004", "BOLT", "C2", "200.00", "200.00",
                   "0.00", "I"},
                  {"2024/06/12", "DP7", "BOLT", "C2", "0.00", "25.00",
                   "-25.00", "D"},
                  {"2024/05/20", "1003", "ACME", "C1", "50.00", "20.00",
                   "30.00", "Z"}}));
  EXPECT_EQ(Build(Request(ReportKind::kTaxReport, {2024, 5, 1})),
            (Rows{{"2024/06/05", "1003", "ACME", "C1", "PARTIAL", "20.00",
                   "0.00", "X"},
                  {"2024/06/10", "1004", "BOLT", "C2", "", "200.00", "10.00",
                   "I"},
                  {"2024/06/12", "DP7", "BOLT", "C2", "DEPOSIT", "25.00",
                   "0.00", "D"},
                  {"2024/05/20", "1003", "ACME", "C1", "EAST", "20.00",
                   "0.00", "Z"}}));
}

TEST_F(ReportTest, PaymentRegisterListsARecordBothPassesTakeOnce) {
  // Paid date set while something is still due: both passes take it.
  File({.no = "2001", .date = "2024/06/02", .total = "90.00",
        .paid = "40.00", .due = "50.00", .paid_date = "2024/06/03"});
  EXPECT_EQ(Build(Request(ReportKind::kPaymentRegister)),
            (Rows{{"2024/06/03", "2001", "ACME", "C1", "90.00", "40.00",
                   "50.00", "I"}}));
}

TEST_F(ReportTest, AccountsReceivableAgesOpenItemsAndListsDepositsLast) {
  FileSmallCompany();
  EXPECT_EQ(Build(Request(ReportKind::kAccountsReceivable)),
            (Rows{{"Current:", "1001", "ACME", "C1", "     14 Days",
                   "2024/06/01", "108.00", "I"},
                  {"Current:", "1002", "BOLT", "C2", "     12 Days",
                   "2024/06/03", "0.00", "I"},
                  {"21-45:", "1003", "ACME", "C1", "     26 Days",
                   "2024/05/20", "30.00", "Z"},
                  {"Current:", "1006", "ACME", "C1", "      1 Days",
                   "2024/06/14", "75.00", "G"},
                  {"Over 70", "0990", "BOLT", "C2", "    106 Days",
                   "2024/03/01", "40.00", "I"},
                  {"Current:", "1007", "ACME", "C1", "    -16 Days",
                   "2024/07/01", "9.00", "I"},
                  {"Current:", "DP7", "BOLT", "C2", "      3 Days",
                   "2024/06/12", "-25.00", "D"}}));
}

TEST_F(ReportTest, PartlyPaidInvoiceLeavesAccountsReceivableWhenPaid) {
  File({.no = "3001", .type = "Z", .date = "2024/06/01", .total = "50.00",
        .paid = "50.00", .paid_date = "2024/06/10", .status = "P"});
  File({.no = "DP1", .type = "D", .date = "2024/06/02", .paid = "10.00",
        .paid_date = "2024/06/02", .status = "P"});
  Build(Request(ReportKind::kAccountsReceivable), ReportOutcome::kNoRecords);
  EXPECT_EQ(last_.message, kNoMatchingRecords);
  EXPECT_EQ(last_.caption, "Accounts Receivable Report");
}

TEST_F(ReportTest, AccountsReceivableIsRefusedWhileTheBalanceIsZero) {
  FileSmallCompany();
  app_->CurrentCompany.ReceivablesBalance.Set("0.00");
  Build(Request(ReportKind::kAccountsReceivable), ReportOutcome::kRefused);
  EXPECT_EQ(last_.message, kReceivablesZero);
  EXPECT_EQ(last_.caption, "Account Receivable Report");
  app_->CurrentCompany.ReceivablesBalance.Set("1.00");
  app_->CurrentCompany.AgingDays2.Set("x");
  Build(Request(ReportKind::kAccountsReceivable), ReportOutcome::kRefused);
  EXPECT_EQ(last_.message, company::kBadAgingDays);
}

TEST_F(ReportTest, SalesReportReadsTheLineTextAndSkipsMasterLines) {
  Line("1001", "2024/06/01", Part("WID", "2", "Widget", "50.00", "100.00"));
  Line("1001", "2024/06/01", Part("", "1.5", "Labour", "10.125", "15.19"));
  Line("1005", "2024/06/02", Part("WID", "1", "Widget", "50.00", "50.00"),
       "R");
  Line("1007", "2024/07/01", Part("WID", "1", "Widget", "50.00", "50.00"));
  EXPECT_EQ(Build(Request(ReportKind::kSalesReport)),
            (Rows{{"Widget", "WID", "2024/06/01", "1001", "ACME", "C1",
                   "50.000", "2.000", "100.00"},
                  {"Labour", "*None*", "2024/06/01", "1001", "ACME", "C1",
                   "10.125", "1.500", "15.19"}}));
}

TEST_F(ReportTest, RepeatBillingListShowsMastersOrSaysThereAreNone) {
  Build(Request(ReportKind::kRepeatBillingList), ReportOutcome::kNoRecords);
  EXPECT_EQ(last_.message, kNoRepeatMasters);
  EXPECT_EQ(last_.caption, "Repeat Billing List");
  FileSmallCompany();
  EXPECT_EQ(Build(Request(ReportKind::kRepeatBillingList)),
            (Rows{{"2024/07/15", "1005", "ACME", "C1", "       3",
                   "2024/01/15", "75.00", "M"}}));
}

TEST_F(ReportTest, HeadingsNameTheCompanyTheTimeAndTheSelection) {
  FileSmallCompany();
  Report report;
  ASSERT_EQ(BuildReport(*app_, Request(ReportKind::kInvoiceRegister), &report)
                .outcome,
            ReportOutcome::kOk);
  EXPECT_EQ(report.heading1, "Acme Supply");
  EXPECT_EQ(report.heading2, "Date: Saturday, June 15, 2024, 12:00 PM");
  EXPECT_EQ(report.heading3, "Selected records from 06/01/2024 to 06/30/2024");
  ASSERT_EQ(BuildReport(*app_, Request(ReportKind::kAccountsReceivable),
                        &report).outcome,
            ReportOutcome::kOk);
  EXPECT_EQ(report.heading3, "All unpaid records selected.");
}

TEST_F(ReportTest, MissingFilesHoldNoRecordsAndDamagedOnesAreNamed) {
  std::filesystem::remove(dir_ + "/1I.DAT");
  std::filesystem::remove(dir_ + "/1I.IX");
  Build(Request(ReportKind::kInvoiceRegister), ReportOutcome::kNoRecords);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/1I.DAT"));
  {
    std::ofstream bad(dir_ + "/1D.DAT", std::ios::binary | std::ios::trunc);
    bad << "not a data file";
  }
  Build(Request(ReportKind::kSalesReport), ReportOutcome::kFileFailed);
  EXPECT_NE(last_.message.find("1D.DAT"), std::string::npos) << last_.message;
}

TEST(ReportDefinitions, LabelsSitLeftOfTheFirstAmountColumn) {
  EXPECT_EQ(ReportOf(ReportKind::kInvoiceRegister).LabelColumn(), 3);
  EXPECT_EQ(ReportOf(ReportKind::kTaxReport).LabelColumn(), 4);
  EXPECT_EQ(ReportOf(ReportKind::kSalesReport).LabelColumn(), 5);
  EXPECT_EQ(ReportOf(ReportKind::kAccountsReceivable).LabelColumn(), 5);
  EXPECT_TRUE(ReportOf(ReportKind::kKeyCodeInquiry).IsDateColumn(3));
  EXPECT_FALSE(ReportOf(ReportKind::kRepeatBillingList).IsDateColumn(0));
  ASSERT_NE(FindReportByAdminName("key-code"), nullptr);
  EXPECT_EQ(FindReportByAdminName("key-code")->kind,
            ReportKind::kKeyCodeInquiry);
  EXPECT_EQ(FindReportByAdminName("Key Code"), nullptr);
}

}  // namespace
}  // namespace tallybook::receivables
