#include "company/text_print.h"

#include <gtest/gtest.h>

#include "platform/testing/recording_canvas.h"

namespace tallybook::company {
namespace {

using platform::testing::RecordingCanvas;
using platform::testing::RecordingPrinter;

TEST(TextPrintTest, LinesAreSplitTabsExpandedControlsDropped) {
  EXPECT_EQ(PrintableLines("a\r\nb\nc\rd"),
            (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(PrintableLines("x\r\n\r\n"), (std::vector<std::string>{"x", ""}));
  EXPECT_EQ(PrintableLines("ab\tc\x07"),
            (std::vector<std::string>{"ab      c"}));
  EXPECT_TRUE(PrintableLines("").empty());
}

TEST(TextPrintTest, OneJobTitledWithTheCaptionBreakingPages) {
  RecordingPrinter printer;
  platform::Font font{"Courier New", 10, platform::kBlack, 0};
  const int per_page =
      (RecordingCanvas::kPageHeight - 2 * kTextMarginDots) /
      RecordingCanvas::LineHeight(font);
  std::string text;
  for (int i = 0; i < per_page + 3; ++i) text += "line " + std::to_string(i) + "\r\n";

  platform::PrintJobStatus status =
      PrintText(printer, "Company List by Name", text, font);
  EXPECT_TRUE(status.ok);
  ASSERT_EQ(printer.jobs().size(), 1u);
  const auto& job = printer.last_job();
  EXPECT_EQ(job.title, "Company List by Name");
  EXPECT_TRUE(job.ended);
  EXPECT_EQ(job.pages, 2);
  EXPECT_EQ(job.Texts(1).size(), static_cast<size_t>(per_page));
  EXPECT_EQ(job.Texts(2),
            (std::vector<std::string>{"line " + std::to_string(per_page),
                                      "line " + std::to_string(per_page + 1),
                                      "line " + std::to_string(per_page + 2)}));
  const auto* first = job.FindText("line 0");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->x1, kTextMarginDots);
  EXPECT_EQ(first->y1, kTextMarginDots);
  EXPECT_EQ(first->font, font);
}

TEST(TextPrintTest, PrinterFailureIsReportedNotSwallowed) {
  RecordingPrinter printer;
  printer.FailJobsWith("No printer is installed.");
  platform::PrintJobStatus status =
      PrintText(printer, "Company List", "x", platform::Font{});
  EXPECT_FALSE(status.ok);
  EXPECT_EQ(status.error, "No printer is installed.");
}

}  // namespace
}  // namespace tallybook::company
