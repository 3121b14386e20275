// The report command of the built tallybook-admin: the rows the viewer
// shows, as text, CSV or PDF, and the reports' refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/admin_test_util.h"
#include "billing/csv_file.h"
#include "platform/testing/pdf_text.h"
#include "platform/testing/temp_dir.h"
#include "receivables/report_dates.h"
#include "receivables/report_output.h"
#include "receivables/report_test_support.h"

namespace tallybook::admin {
namespace {

using testing::BinaryRun;
using testing::RunAdminBinary;

class AdminReportTest : public receivables::testing::ReportCompany {
 protected:
  // The admin runs on the data directory while the test's App is idle.
  BinaryRun Run(const std::string& arguments, bool errors_too = false) {
    return RunAdminBinary("report " + dir_ + " " + arguments, errors_too);
  }
  // The text the viewer saves for the report, without its date heading
  // (the command reads the real clock).
  std::string ViewerText(receivables::ReportKind kind, int column,
                         bool subtotals) {
    receivables::Report report;
    EXPECT_EQ(receivables::BuildReport(*app_, Request(kind), &report).outcome,
              receivables::ReportOutcome::kOk);
    receivables::ReportView view(&report);
    view.SortAndTotal(column, subtotals);
    return WithoutDateLine(receivables::ReportText(view));
  }
  static std::string WithoutDateLine(const std::string& text) {
    const size_t second = text.find('\n', text.find('\n') + 1);
    const size_t third = text.find('\n', second + 1);
    return text.substr(0, second + 1) + text.substr(third + 1);
  }
  const std::string june_ = "--from 06/01/2024 --to 06/30/2024";
};

TEST_F(AdminReportTest, PrintsTheRowsTheViewerShows) {
  FileSmallCompany();
  BinaryRun run = Run("invoice-register " + june_);
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(WithoutDateLine(run.out),
            ViewerText(receivables::ReportKind::kInvoiceRegister, 0, true));
  EXPECT_EQ(run.out.find("Invoice Register\nAcme Supply\nDate: "), 0u);

  run = Run("key-code " + june_ + " --sort 4 --no-subtotals");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(WithoutDateLine(run.out),
            ViewerText(receivables::ReportKind::kKeyCodeInquiry, 3, false));
  EXPECT_EQ(run.out.find("** Totals"), std::string::npos);

  // The reports without a range take no notice of the dates.
  run = Run("repeat-billing --from 01/01/1990 --to 01/02/1990");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find("2024/07/15   1005 "), std::string::npos) << run.out;
}

TEST_F(AdminReportTest, CsvHasTheHeaderTheRowsAndTheTotals) {
  FileSmallCompany();
  const BinaryRun run = Run("payment-register --from 05/01/2024 --to "
                            "06/30/2024 --csv --no-subtotals");
  ASSERT_EQ(run.code, 0) << run.out;
  std::vector<billing::CsvRecord> records;
  std::string error;
  ASSERT_TRUE(billing::ParseCsv(run.out, &records, &error)) << error;
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(records[0].fields[6], "Balance Due");
  EXPECT_EQ(records[1].fields,
            (std::vector<std::string>{"2024/05/20", "1003", "ACME", "C1",
                                      "50.00", "20.00", "30.00", "Z"}));
  EXPECT_EQ(records[5].fields,
            (std::vector<std::string>{"", "", "", "Grand Total", "250.00",
                                      "265.00", "5.00", ""}));
}

TEST_F(AdminReportTest, RefusalsAndBadInputGoToTheErrorStream) {
  FileSmallCompany();
  BinaryRun run = Run("invoice-register --from 06/15/2024 --to 06/14/2024",
                      true);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find(receivables::kToBeforeFrom), std::string::npos);
  run = Run("invoice-register --from 13/45/2024 --to 06/14/2024", true);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find(receivables::kInvalidFromDate), std::string::npos);
  run = Run("invoice-register --from 01/01/2020 --to 01/31/2020", true);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find(receivables::kNoMatchingRecords), std::string::npos);
  run = Run("ledger", true);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("unknown report ledger"), std::string::npos);
  run = Run("sales --bogus", true);
  EXPECT_EQ(run.code, 1);

  company::CompanyRecord co = app_->CurrentCompany;
  co.ReceivablesBalance.Set("0.00");
  {
    company::CompanyListAccess list(*app_);
    ASSERT_TRUE(list.OpenCompanyFile());
    int32_t rec_no = 0;
    ASSERT_TRUE(list.FindByKey(1, company::KeyText("1", 5), rec_no));
    ASSERT_TRUE(list.GetRecord(rec_no));
    const company::CompanyRecord before = list.rec();
    list.rec() = co;
    ASSERT_TRUE(list.ModifyWithKeys(rec_no, before));
    ASSERT_TRUE(list.Close());
  }
  run = Run("accounts-receivable", true);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find(receivables::kReceivablesZero), std::string::npos)
      << run.out;
}

TEST(AdminReportDemo, EveryReportOpensOnTheDemoCompany) {
  platform::testing::TempDir temp("admin_report_demo");
  ASSERT_TRUE(temp.ok());
  const std::string dir = temp.path().string();
  BinaryRun run = RunAdminBinary("demo " + dir + " --today 2024-06-15");
  ASSERT_EQ(run.code, 0) << run.out;
  for (const receivables::ReportDefinition& def : receivables::Reports()) {
    run = RunAdminBinary(std::string("report ") + dir + " " + def.admin_name +
                             " --from 06/16/2023 --to 06/15/2024 --csv",
                         true);
    if (def.kind == receivables::ReportKind::kRepeatBillingList &&
        run.code == 1) {
      // The demo may hold no repeat billing masters.
      EXPECT_NE(run.out.find(receivables::kNoRepeatMasters),
                std::string::npos);
      continue;
    }
    ASSERT_EQ(run.code, 0) << def.admin_name << ": " << run.out;
    std::vector<billing::CsvRecord> records;
    std::string error;
    ASSERT_TRUE(billing::ParseCsv(run.out, &records, &error)) << error;
    ASSERT_GE(records.size(), 3u) << def.admin_name;
    EXPECT_EQ(records.back().fields[def.LabelColumn()], "Grand Total");
  }
}

TEST_F(AdminReportTest, PdfHoldsThePrintedReport) {
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  FileSmallCompany();
  const std::string pdf = dir_ + "/ir.pdf";
  const BinaryRun run = Run("invoice-register " + june_ + " --pdf " + pdf);
  ASSERT_EQ(run.code, 0) << run.out;
  const std::string text = platform::testing::PdfText(pdf);
  EXPECT_NE(text.find("Acme Supply"), std::string::npos) << text;
  EXPECT_NE(text.find("Grand Total"), std::string::npos) << text;
  EXPECT_NE(text.find("Report Complete. 3 records printed."),
            std::string::npos)
      << text;
}

}  // namespace
}  // namespace tallybook::admin
