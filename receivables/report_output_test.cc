#include "receivables/report_output.h"

#include <gtest/gtest.h>

#include "billing/csv_file.h"
#include "platform/testing/recording_canvas.h"

namespace tallybook::receivables {
namespace {

using platform::testing::DrawCall;
using platform::testing::DrawOp;
using platform::testing::RecordingPrinter;

Report SmallRegister() {
  Report report;
  report.definition = &ReportOf(ReportKind::kInvoiceRegister);
  report.heading1 = "Acme Supply";
  report.heading2 = "Date: Saturday, June 15, 2024, 12:00 PM";
  report.heading3 = "Selected records from 06/01/2024 to 06/30/2024";
  report.rows = {
      {"2024/06/02", "1002", "=SUM(A1)", "C2", "-0.25", "0.00", "-0.25", "I"},
      {"2024/06/01", "1001", "Caf\xE9, Inc", "C1", "1,000.25", "8.00",
       "1,008.25", "I"}};
  return report;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

TEST(ReportOutput, TextFileHasCaptionHeadingsAndAlignedColumns) {
  Report report = SmallRegister();
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(0, false));
  const std::vector<std::string> lines = Lines(ReportText(view));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Invoice Register");
  EXPECT_EQ(lines[1], "Acme Supply");
  EXPECT_EQ(lines[2], "Date: Saturday, June 15, 2024, 12:00 PM");
  EXPECT_EQ(lines[3], "Selected records from 06/01/2024 to 06/30/2024");
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5],
            "Year/Mo/Dy   Invoice#     Short Name   Customer#    Net Amount   "
            "Tax Amount   Grand Total  C            ");
  EXPECT_EQ(lines[6],
            "2024/06/01   1001         Caf\xE9, Inc    C1               "
            "1,000.25         8.00     1,008.25 I            ");
  EXPECT_EQ(lines[8], std::string(39, ' ') + "Grand Total  " +
                          "    1,000.00 " + "        8.00 " +
                          "    1,008.00 " + std::string(13, ' '));
  EXPECT_EQ(ReportFileName(*report.definition), "Invoice Register.TXT");

  // The description of the Sales Report takes 32 characters.
  Report sales;
  sales.definition = &ReportOf(ReportKind::kSalesReport);
  sales.rows = {{"Widget", "WID", "2024/06/01", "1", "A", "C1", "1.000",
                 "2.000", "2.00"}};
  ReportView sales_view(&sales);
  ASSERT_TRUE(sales_view.SortAndTotal(0, false));
  EXPECT_EQ(Lines(ReportText(sales_view))[6].substr(0, 46),
            "Widget                           WID          ");
}

TEST(ReportOutput, CsvReadsBackWithPlainNumbersAndGuardedText) {
  Report report = SmallRegister();
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(3, true));
  const std::string csv = ReportCsv(view);
  ASSERT_EQ(csv.rfind(billing::kUtf8ByteOrderMark, 0), 0u);
  std::vector<billing::CsvRecord> records;
  std::string error;
  ASSERT_TRUE(billing::ParseCsv(csv, &records, &error)) << error;
  ASSERT_EQ(records.size(), 6u);  // header, 2 x (row, ** Totals), Grand Total
  EXPECT_EQ(records[0].fields,
            (std::vector<std::string>{"Year/Mo/Dy", "Invoice#", "Short Name",
                                      "Customer#", "Net Amount", "Tax Amount",
                                      "Grand Total", "C"}));
  EXPECT_EQ(records[1].fields,
            (std::vector<std::string>{"2024/06/01", "1001", "Caf\xC3\xA9, Inc",
                                      "C1", "1000.25", "8.00", "1008.25",
                                      "I"}));
  EXPECT_EQ(records[3].fields[2], "'=SUM(A1)");
  EXPECT_EQ(billing::UnguardFormula(records[3].fields[2]), "=SUM(A1)");
  EXPECT_EQ(records[3].fields[4], "-0.25");
  EXPECT_EQ(records[4].fields[3], "** Totals");
  EXPECT_EQ(records[5].fields,
            (std::vector<std::string>{"", "", "", "Grand Total", "1000.00",
                                      "8.00", "1008.00", ""}));
}

TEST(ReportOutput, PrintedPagesRepeatHeadingsAndEndWithTheCount) {
  Report report = SmallRegister();
  report.rows.clear();
  for (int i = 0; i < 150; ++i) {
    report.rows.push_back({"2024/06/01", std::to_string(1000 + i), "ACME",
                           "C1", "1.00", "0.00", "1.00", "I"});
  }
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(0, true));
  RecordingPrinter printer;
  const platform::PrintJobStatus status =
      PrintReport(printer, view, DefaultReportFont());
  EXPECT_TRUE(status.ok) << status.error;
  const auto& job = printer.last_job();
  EXPECT_EQ(job.title, "Invoice Register");
  EXPECT_EQ(job.orientation, platform::PageOrientation::kLandscape);
  EXPECT_EQ(printer.orientation(), platform::PageOrientation::kPortrait);
  ASSERT_GE(job.pages, 2);
  for (int page = 1; page <= job.pages; ++page) {
    const std::vector<std::string> texts = job.Texts(page);
    auto has = [&](const std::string& t) {
      return std::find(texts.begin(), texts.end(), t) != texts.end();
    };
    EXPECT_TRUE(has("Acme Supply")) << page;
    EXPECT_TRUE(has("Page " + std::to_string(page))) << page;
    EXPECT_TRUE(has("Invoice Register")) << page;
    EXPECT_TRUE(has(report.heading2)) << page;
    EXPECT_TRUE(has(report.heading3)) << page;
    EXPECT_TRUE(has("Grand Total")) << page;  // the column header
    if (page < job.pages) {
      EXPECT_EQ(texts.back(),
                "Continued on page " + std::to_string(page + 1) + " ...");
    } else {
      EXPECT_EQ(texts.back(), "Report Complete. 150 records printed.");
    }
  }
  int thick_rules = 0, total_rules = 0;
  for (const DrawCall& call : job.calls) {
    if (call.op != DrawOp::kLine) continue;
    if (call.pen_width == 3) ++thick_rules;
    else ++total_rules;
  }
  EXPECT_EQ(thick_rules, job.pages);
  // ** Totals, Month Total and Grand Total: three amount columns each.
  EXPECT_EQ(total_rules, 3 * 3);
  // Amounts are right-aligned: "150.00" of the grand total ends where the
  // data rows' "1.00" ends.
  const DrawCall* one = job.FindText("1.00");
  const DrawCall* sum = job.FindText("150.00");
  ASSERT_NE(one, nullptr);
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(one->x1 + platform::testing::RecordingCanvas::CharWidth(one->font) * 4,
            sum->x1 + platform::testing::RecordingCanvas::CharWidth(sum->font) * 6);
}

TEST(ReportOutput, FailedJobSaysWhy) {
  Report report = SmallRegister();
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(0, true));
  RecordingPrinter printer;
  printer.FailJobsWith("No paper");
  const platform::PrintJobStatus status =
      PrintReport(printer, view, DefaultReportFont());
  EXPECT_FALSE(status.ok);
  EXPECT_EQ(status.error, "No paper");
}

}  // namespace
}  // namespace tallybook::receivables
