#include "receivables/interest_report.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/testing/recording_canvas.h"
#include "receivables/interest_test_support.h"

namespace tallybook::receivables {
namespace {

using platform::Answer;
using platform::testing::DrawCall;
using platform::testing::DrawOp;
using platform::testing::RecordedJob;
using platform::testing::RecordingCanvas;

class InterestReportTest : public testing::InterestFixture {
 protected:
  // A scan of n customers (no files needed to draw it).
  static InterestScan ScanOf(int n) {
    InterestScan scan;
    scan.aging_caption = "Over 20 Days";
    for (int i = 0; i < n; ++i) {
      InterestRow row;
      row.customer_no = "C" + std::to_string(i);
      row.name = "Customer " + std::to_string(i);
      row.overdue = 123456 + i;
      row.charge = 1852;
      scan.rows.push_back(row);
      scan.total_overdue += row.overdue;
      scan.total_charge += row.charge;
    }
    return scan;
  }

  const RecordedJob& Print(const InterestReport& report) {
    const platform::PrintJobStatus status =
        PrintInterestReport(ui_->printer, report);
    EXPECT_TRUE(status.ok) << status.error;
    return *ui_->printer.jobs().back();
  }
};

TEST_F(InterestReportTest, PagesCarryTheHeadingTheRowsAndTheEnd) {
  InterestSettings s = Settings();
  s.invoice_date = "06/15/2024";
  const InterestReport report = MakeInterestReport(*app_, s, ScanOf(80));
  const RecordedJob& job = Print(report);
  EXPECT_EQ(job.title, "Interest Charges");
  ASSERT_EQ(job.pages, 2);
  for (int page = 1; page <= 2; ++page) {
    const std::vector<std::string> texts = job.Texts(page);
    ASSERT_GE(texts.size(), 10u);
    EXPECT_EQ(texts[0], "Acme Supply");
    EXPECT_EQ(texts[1], "Interest Charges Report");
    EXPECT_EQ(texts[2], "Page " + std::to_string(page));
    EXPECT_EQ(texts[3], "Date: Saturday, June 15, 2024, 12:00 PM");
    EXPECT_EQ(texts[4],
              "Created Invoices Dated: 06/15/2024 and charged 1.50 percent "
              "interest.");
    // The column headings follow on every page.
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 5, texts.begin() + 9),
              (std::vector<std::string>{"Customer Name", "Customer#",
                                        "Over 20 Days", "Interest Chg."}));
  }
  // Page 1 ends with the continuation line 100 dots above the bottom.
  const DrawCall* continued = job.FindText("Continued on page 2 ...");
  ASSERT_NE(continued, nullptr);
  EXPECT_EQ(continued->page, 1);
  EXPECT_EQ(continued->y1, RecordingCanvas::kPageHeight - 100);
  // No row passes the page height less 200.
  const int line = RecordingCanvas::LineHeight(platform::Font{});
  for (const DrawCall& call : job.calls) {
    if (call.op == DrawOp::kText && call.text.rfind("Continued", 0) != 0) {
      EXPECT_LE(call.y1 + line, RecordingCanvas::kPageHeight - 200)
          << call.text;
    }
  }
  const std::vector<std::string> last = job.Texts(2);
  EXPECT_EQ(last.back(), "Report Complete. 80 records printed.");
  EXPECT_EQ(last[last.size() - 4], "Totals:");

  // Amounts end at the width of 10 "X" in their column; names start it.
  const int w = RecordingCanvas::CharWidth(platform::Font{});
  const DrawCall* name = job.FindText("Customer 0");
  const DrawCall* amount = job.FindText("1,234.56");
  ASSERT_NE(name, nullptr);
  ASSERT_NE(amount, nullptr);
  EXPECT_EQ(amount->y1, name->y1);
  EXPECT_EQ(amount->x1 + 8 * w, name->x1 + 33 * w + 11 * w + 10 * w);
  // The rule is drawn with a pen 3 dots wide.
  const auto rule =
      std::find_if(job.calls.begin(), job.calls.end(),
                   [](const DrawCall& c) { return c.op == DrawOp::kLine; });
  ASSERT_NE(rule, job.calls.end());
  EXPECT_EQ(rule->pen_width, 3);
}

TEST_F(InterestReportTest, FlatFeeSentenceAndTheQuestionAtTheEndOfARun) {
  InterestSettings s = Settings();
  s.flat = true;
  s.flat_rate = "5.00";
  s.invoice_date = "06/01/2024";
  InterestScan scan = ScanOf(2);
  scan.generated = true;
  scan.rows[0].invoice_no = "1005I";
  scan.rows[0].created = true;
  scan.rows[1].invoice_no = "1006I";
  const InterestReport report = MakeInterestReport(*app_, s, scan);
  EXPECT_EQ(InterestReportSentence(report),
            "Created Invoices Dated: 06/01/2024 and charged a flat rate of "
            "5.00 as fee.");
  EXPECT_EQ(report.lines[1].back(), "1005I");
  EXPECT_EQ(report.lines[2].back(), "not created");

  InterestRunResult run;
  run.created = 1;
  run.rows = 2;
  ui_->messages
      .ExpectMessage(
          "1 of 2 invoices were created. Would you like to send a "
          "report to the printer?",
          Answer::kNo)
      .WithCaption("Operation Complete")
      .WithButtons(platform::Buttons::kYesNo);
  EXPECT_EQ(FinishInterestRun(*app_, run, report), "");
  EXPECT_TRUE(ui_->printer.jobs().empty());

  run.created = 2;
  ui_->messages.ExpectMessage(RunCompleteQuestion(run), Answer::kYes);
  EXPECT_EQ(FinishInterestRun(*app_, run, report),
            "Interest Report sent to print queue. Sent to printer: Recording "
            "printer");
  ASSERT_EQ(ui_->printer.jobs().size(), 1u);
  EXPECT_EQ(ui_->printer.jobs()[0]->Texts(1).back(),
            "Report Complete. 2 records printed.");

  ui_->printer.FailJobsWith("The printer is out of paper.");
  ui_->messages.ExpectMessage(RunCompleteQuestion(run), Answer::kYes);
  ui_->messages.ExpectMessage("The printer is out of paper.")
      .WithCaption(kInterestPrintErrorCaption);
  EXPECT_EQ(FinishInterestRun(*app_, run, report), "");
}

}  // namespace
}  // namespace tallybook::receivables
