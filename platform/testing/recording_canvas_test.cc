#include "platform/testing/recording_canvas.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/testing/recording_progress.h"
#include "platform/testing/scripted_platform.h"

namespace tallybook::platform::testing {
namespace {

TEST(RecordingPrinterTest, KeepsWhatWasDrawnWherePageByPage) {
  RecordingPrinter printer;
  {
    std::unique_ptr<Canvas> canvas = printer.BeginJob("Invoice 1001");
    ASSERT_NE(canvas, nullptr);
    Font big;
    big.size_points = 20;
    big.style = kFontBold;
    canvas->SetFont(big);
    canvas->TextOut(100, 200, "INVOICE");
    canvas->SetPen(3, MakeColor(255, 0, 0));
    canvas->Line(0, 300, 2400, 300);
    canvas->NewPage();
    canvas->SetFont(Font{});
    canvas->TextOut(100, 100, "Page two");
    canvas->FillRectangle({10, 20, 30, 40}, kBlack);
    EXPECT_EQ(canvas->PageNumber(), 2);
    PrintJobStatus status = canvas->EndJob();
    EXPECT_TRUE(status.ok);
  }
  const RecordedJob& job = printer.last_job();
  EXPECT_EQ(job.title, "Invoice 1001");
  EXPECT_EQ(job.pages, 2);
  EXPECT_TRUE(job.ended);
  EXPECT_FALSE(job.aborted);
  EXPECT_EQ(job.Texts(1), std::vector<std::string>{"INVOICE"});
  EXPECT_EQ(job.Texts(2), std::vector<std::string>{"Page two"});
  const DrawCall* title = job.FindText("INVOICE");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->x1, 100);
  EXPECT_EQ(title->y1, 200);
  EXPECT_EQ(title->font.size_points, 20);
  EXPECT_TRUE(title->font.bold());
  ASSERT_EQ(job.calls.size(), 5u);
  EXPECT_EQ(job.calls[1].op, DrawOp::kLine);
  EXPECT_EQ(job.calls[1].pen_width, 3);
  EXPECT_EQ(job.calls[1].color, 0x0000FFu);
  EXPECT_EQ(job.calls[4].op, DrawOp::kFill);
  EXPECT_EQ(job.calls[4].page, 2);
}

TEST(RecordingPrinterTest, TextIsMeasuredWithAFixedMetric) {
  RecordingPrinter printer;
  auto canvas = printer.BeginJob("Measure");
  EXPECT_EQ(canvas->TextExtent("12345"), (Size{5 * 21, 42}));
  EXPECT_EQ(canvas->TextHeight(""), 42);
  canvas->EndJob();
}

TEST(RecordingPrinterTest, CanvasDroppedWithoutEndJobCountsAsAborted) {
  RecordingPrinter printer;
  printer.BeginJob("Statement")->TextOut(0, 0, "x");
  EXPECT_TRUE(printer.last_job().aborted);
  EXPECT_FALSE(printer.last_job().ended);
}

TEST(RecordingPrinterTest, FailingPrinterGivesNoCanvasAndItsError) {
  RecordingPrinter printer;
  printer.FailJobsWith("No printer is installed.");
  EXPECT_EQ(printer.BeginJob("Labels"), nullptr);
  EXPECT_EQ(printer.LastError(), "No printer is installed.");
  EXPECT_TRUE(printer.jobs().empty());
  EXPECT_NONFATAL_FAILURE(printer.last_job(), "No print job was started");
}

TEST(RecordingPrinterTest, DrawingAfterEndJobFailsTheTest) {
  RecordingPrinter printer;
  auto canvas = printer.BeginJob("Report");
  canvas->EndJob();
  EXPECT_NONFATAL_FAILURE(canvas->TextOut(0, 0, "late"),
                          "TextOut on print job \"Report\" after it was ended");
  EXPECT_TRUE(printer.last_job().calls.empty());
}

TEST(RecordingPrinterTest, MissingOrEmptyBitmapIsNotDrawn) {
  RecordingPrinter printer;
  auto canvas = printer.BeginJob("Logo");
  const std::string empty = ::testing::TempDir() + "empty_logo.bmp";
  std::ofstream(empty).close();
  EXPECT_FALSE(canvas->DrawBitmap({0, 0, 10, 10}, empty));
  EXPECT_FALSE(canvas->DrawBitmap({0, 0, 10, 10}, "/no/such/logo.bmp"));
  const std::string full = ::testing::TempDir() + "full_logo.bmp";
  std::ofstream(full) << "BM....";
  EXPECT_TRUE(canvas->DrawBitmap({0, 0, 10, 10}, full));
  EXPECT_EQ(printer.last_job().calls.size(), 1u);
  std::remove(empty.c_str());
  std::remove(full.c_str());
  canvas->EndJob();
}

TEST(RecordingProgressTest, KeepsTheStatesTheUserSawAndPlaysCancel) {
  RecordingProgressWindow progress;
  progress.SetCaption("Customers");
  progress.SetCancellable(true);
  progress.CancelAfterInputs(2);
  progress.Show();
  progress.SetLine(0, "Key number: 1");
  progress.SetLine(7, "ignored");
  progress.ProcessPendingInput();
  EXPECT_FALSE(progress.CancelRequested());
  progress.ProcessPendingInput();
  EXPECT_TRUE(progress.CancelRequested());
  progress.Hide();
  EXPECT_FALSE(progress.visible());
  ASSERT_EQ(progress.history().size(), 1u);
  EXPECT_EQ(progress.history()[0].caption, "Customers");
  EXPECT_EQ(progress.history()[0].lines[0], "Key number: 1");
  EXPECT_EQ(progress.line(7), "");
  // A new Show() forgets the earlier cancel.
  progress.Show();
  EXPECT_FALSE(progress.CancelRequested());
}

TEST(RecordingProgressTest, GaugeClampsItsPercent) {
  RecordingGaugeWindow gauge;
  gauge.SetPercent(-3);
  gauge.SetPercent(140);
  gauge.SetPercent(50);
  EXPECT_EQ(gauge.percents(), (std::vector<int>{0, 100, 50}));
}

TEST(ScriptedPlatformTest, ServicesReachTheDoubles) {
  ScriptedPlatform ui;
  Services services = ui.services();
  ui.messages.ExpectMessage("Windows Calculator not found.");
  ui.desktop.SetCalculatorAvailable(false);
  if (!services.desktop.StartCalculator()) {
    Inform(services.messages, "", "Windows Calculator not found.");
  }
  services.help.ShowHelp("VkCalendar");
  ASSERT_TRUE(ui.clock.Set(2024, 7, 4));
  EXPECT_EQ(services.clock.Now().day_of_week, 4);
  EXPECT_EQ(ui.help.topics(), std::vector<std::string>{"VkCalendar"});
  EXPECT_EQ(ui.desktop.calculator_starts(), 1);
}

}  // namespace
}  // namespace tallybook::platform::testing
