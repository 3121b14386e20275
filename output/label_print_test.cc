#include "output/label_print.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "output/picture_size.h"
#include "platform/testing/recording_canvas.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::output {
namespace {

using platform::testing::DrawCall;
using platform::testing::DrawOp;
using platform::testing::RecordedJob;
using platform::testing::RecordingCanvas;
using platform::testing::RecordingPrinter;
using platform::testing::TempDir;
using platform::testing::WriteFileBytes;

// 10-point text on the recording canvas.
constexpr int kCharWidth = 21;
constexpr int kLine = 42;

// A BMP header of width x height pixels (all a reader needs).
std::string BmpHeader(int width, int height) {
  std::string b(54, '\0');
  b[0] = 'B';
  b[1] = 'M';
  b[14] = 40;
  for (int i = 0; i < 4; ++i) {
    b[18 + i] = static_cast<char>((width >> (8 * i)) & 0xFF);
    b[22 + i] = static_cast<char>((height >> (8 * i)) & 0xFF);
  }
  return b;
}

LabelLayout Sheet3x2() {
  LabelLayout l;
  l.left_margin = "50";
  l.top_margin = "100";
  l.columns = "3";
  l.rows = "2";
  l.label_width = "700";
  l.label_height = "300";
  return l;
}

std::vector<LabelAddress> Customers(int n) {
  std::vector<LabelAddress> out;
  for (int i = 1; i <= n; ++i) {
    out.push_back({"Customer " + std::to_string(i),
                   {"Street " + std::to_string(i), "Town", "", ""}});
  }
  return out;
}

class LabelPrintTest : public ::testing::Test {
 protected:
  // Draws the labels into a recorded job; returns the count drawn.
  int Draw(const LabelLayout& layout, int n, int start, int copies) {
    auto canvas = printer_.BeginJob(kLabelJobTitle);
    const int count = DrawLabels(*canvas, layout, *SheetOf(layout), company_,
                                 Customers(n), start, copies, dir_.path());
    canvas->EndJob();
    return count;
  }
  const RecordedJob& job() const { return printer_.last_job(); }
  std::vector<const DrawCall*> NameCalls() const {
    std::vector<const DrawCall*> out;
    for (const DrawCall& c : job().calls) {
      if (c.op == DrawOp::kText && c.text.rfind("Customer ", 0) == 0) {
        out.push_back(&c);
      }
    }
    return out;
  }

  TempDir dir_{"label_print_test"};
  RecordingPrinter printer_;
  company::CompanyRecord company_;
};

TEST_F(LabelPrintTest, StartLabelFiveOnAThreeAcrossSheetIsRowTwoColumnTwo) {
  LabelCursor cursor(*SheetOf(Sheet3x2()));
  cursor.SkipTo(5);
  EXPECT_EQ(cursor.row(), 2);
  EXPECT_EQ(cursor.column(), 2);
  EXPECT_EQ(cursor.x(), 50 + 700);
  EXPECT_EQ(cursor.y(), 100 + 300);

  EXPECT_EQ(Draw(Sheet3x2(), 3, 5, 1), 3);
  const auto names = NameCalls();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(std::make_pair(names[0]->x1, names[0]->y1),
            std::make_pair(750, 400));
  EXPECT_EQ(std::make_pair(names[1]->x1, names[1]->y1),
            std::make_pair(1450, 400));
  // The sheet is used up after the second: the third goes to a new page,
  // at the margins.
  EXPECT_EQ(names[2]->page, 2);
  EXPECT_EQ(std::make_pair(names[2]->x1, names[2]->y1),
            std::make_pair(50, 100));
  // Address lines follow the name a line apart.
  const DrawCall* street = job().FindText("Street 1");
  ASSERT_NE(street, nullptr);
  EXPECT_EQ(std::make_pair(street->x1, street->y1),
            std::make_pair(750, 400 + kLine));

  // A start beyond one sheet counts on around it.
  LabelCursor around(*SheetOf(Sheet3x2()));
  around.SkipTo(8);
  EXPECT_EQ(std::make_pair(around.row(), around.column()),
            std::make_pair(1, 2));
}

TEST_F(LabelPrintTest, CopiesRepeatEachCustomerInTurn) {
  EXPECT_EQ(Draw(Sheet3x2(), 3, 1, 2), 6);
  std::vector<std::string> names;
  for (const DrawCall* c : NameCalls()) names.push_back(c->text);
  EXPECT_EQ(names, (std::vector<std::string>{"Customer 1", "Customer 1",
                                             "Customer 2", "Customer 2",
                                             "Customer 3", "Customer 3"}));
  EXPECT_EQ(job().pages, 1);
}

TEST_F(LabelPrintTest, AFullSheetEjectsNoEmptyPage) {
  EXPECT_EQ(Draw(Sheet3x2(), 6, 1, 1), 6);
  EXPECT_EQ(job().pages, 1);
  EXPECT_EQ(std::count_if(job().calls.begin(), job().calls.end(),
                          [](const DrawCall& c) {
                            return c.op == DrawOp::kNewPage;
                          }),
            0);
  EXPECT_EQ(Draw(Sheet3x2(), 7, 1, 1), 7);
  EXPECT_EQ(job().pages, 2);
}

TEST_F(LabelPrintTest, ReturnAddressSetsTheRecipientBelowLogoAndRule) {
  const std::string logo = (dir_.path() / "logo.bmp").string();
  WriteFileBytes(logo, BmpHeader(120, 80));
  company_.CompanyName.Set("Harbor Light");
  company_.CompanyAddress1.Set("1 Quay");
  company_.CompanyAddress4.Set("Portsmouth");
  LabelLayout l = Sheet3x2();
  l.return_address = true;
  l.logo_file = "logo.bmp";  // beside the data
  l.print_line = true;
  l.line_width = "3";
  l.send_to_caption = "TO:";
  ASSERT_EQ(Draw(l, 1, 1, 1), 1);

  std::vector<const DrawCall*> bitmaps, lines;
  for (const DrawCall& c : job().calls) {
    if (c.op == DrawOp::kBitmap) bitmaps.push_back(&c);
    if (c.op == DrawOp::kLine) lines.push_back(&c);
  }
  ASSERT_EQ(bitmaps.size(), 1u);
  EXPECT_EQ(bitmaps[0]->text, logo);
  EXPECT_EQ(std::make_tuple(bitmaps[0]->x1, bitmaps[0]->y1, bitmaps[0]->x2,
                            bitmaps[0]->y2),
            std::make_tuple(50, 100, 170, 180));
  const DrawCall* name = job().FindText("Harbor Light");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::make_pair(name->x1, name->y1), std::make_pair(50 + 145, 100));
  const DrawCall* town = job().FindText("Portsmouth");
  ASSERT_NE(town, nullptr);
  EXPECT_EQ(town->y1, 100 + 4 * kLine);

  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(std::make_tuple(lines[0]->x1, lines[0]->y1, lines[0]->x2,
                            lines[0]->y2, lines[0]->pen_width),
            std::make_tuple(25, 100 + 5 * kLine + 20, 50 + 70 * 8,
                            100 + 5 * kLine + 20, 3));

  const DrawCall* caption = job().FindText("TO:");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(std::make_pair(caption->x1, caption->y1),
            std::make_pair(50, 100 + 6 * kLine));
  const DrawCall* recipient = job().FindText("Customer 1");
  ASSERT_NE(recipient, nullptr);
  EXPECT_EQ(std::make_pair(recipient->x1, recipient->y1),
            std::make_pair(50 + 4 * kCharWidth, 100 + 6 * kLine));
}

TEST_F(LabelPrintTest, WithoutReturnAddressOnlyTheRecipientIsPrinted) {
  LabelLayout l = Sheet3x2();
  l.send_to_caption = "TO:";
  l.logo_file = "/no/such.bmp";
  ASSERT_EQ(Draw(l, 1, 1, 1), 1);
  EXPECT_EQ(job().Texts(), (std::vector<std::string>{
                               "Customer 1", "Street 1", "Town", "", ""}));
  EXPECT_EQ(job().FindText("Customer 1")->x1, 50);
}

TEST_F(LabelPrintTest, SheetFieldsAndCountsAreReadAsTheWindowMeansThem) {
  LabelLayout l = Sheet3x2();
  EXPECT_TRUE(SheetOf(l).has_value());
  l.rows = "";
  EXPECT_FALSE(SheetOf(l).has_value());
  l.rows = "0";
  EXPECT_FALSE(SheetOf(l).has_value());
  l = Sheet3x2();
  l.left_margin = "0";
  EXPECT_TRUE(SheetOf(l).has_value());

  EXPECT_EQ(CountOrOne(""), 1);
  EXPECT_EQ(CountOrOne("0"), 1);
  EXPECT_EQ(CountOrOne("05"), 1);
  EXPECT_EQ(CountOrOne("5"), 5);
  EXPECT_EQ(CountOrOne("12x"), 12);
}

TEST_F(LabelPrintTest, CalibrationRulerHasBothScalesAndItsInstructions) {
  auto canvas = printer_.BeginJob(kRulerJobTitle);
  DrawCalibrationRuler(*canvas);
  canvas->EndJob();
  int major = 0, minor = 0;
  for (const DrawCall& c : job().calls) {
    if (c.op != DrawOp::kLine) continue;
    (c.pen_width == 3 ? major : minor)++;
  }
  EXPECT_EQ(major, 2 * 16);
  EXPECT_EQ(minor, 2 * 45);
  const DrawCall* top = job().FindText("1500");
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(std::make_pair(top->x1, top->y1), std::make_pair(325, 1500));
  const DrawCall* line2 = job().FindText(kRulerLine2);
  ASSERT_NE(line2, nullptr);
  EXPECT_EQ(std::make_pair(line2->x1, line2->y1),
            std::make_pair(300, 2535 + kLine));
  EXPECT_EQ(job().pages, 1);
}

TEST(PictureSizeTest, ReadsBmpAndPngHeadersAndRefusesOthers) {
  EXPECT_EQ(PictureSizeOf(BmpHeader(120, 80)), (platform::Size{120, 80}));
  EXPECT_EQ(PictureSizeOf(BmpHeader(120, -80)), (platform::Size{120, 80}));
  std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) +
                    std::string("\0\0\x01\x00\0\0\0\x20", 8);
  EXPECT_EQ(PictureSizeOf(png), (platform::Size{256, 32}));
  EXPECT_FALSE(PictureSizeOf("BM").has_value());
  EXPECT_FALSE(PictureSizeOf(BmpHeader(0, 10)).has_value());
  EXPECT_FALSE(PictureSizeOf(BmpHeader(100000, 10)).has_value());
  EXPECT_FALSE(PictureSizeOf("GIF89a........................").has_value());
  EXPECT_FALSE(PictureFileSize("/no/such/file.bmp").has_value());
}

}  // namespace
}  // namespace tallybook::output
