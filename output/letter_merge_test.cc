#include "output/letter_merge.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "company/aging_test_support.h"
#include "output/letter_merge_print.h"
#include "output/letter_print.h"
#include "output/ruler_scale.h"
#include "platform/testing/recording_canvas.h"

namespace tallybook::output {
namespace {

using platform::Answer;

LetterDocument OneParagraph(std::vector<TextRun> runs) {
  LetterDocument doc;
  doc.paragraphs.resize(1);
  doc.paragraphs[0].runs = std::move(runs);
  return doc;
}

company::CustomerRecord Customer() {
  company::CustomerRecord c{};
  c.CustomerNo.Set("C100");
  c.CustomerName.Set("  Harbor Goods  ");
  c.LastPaymentDate.Set(" 1/2/2024 ");
  c.BillAddress1.Set("12 Pier Road");
  c.MailListCode.Set("EAST");
  return c;
}

TEST(LetterMerge, FieldTableAsTheListShowsIt) {
  const auto& fields = MergeFields();
  ASSERT_EQ(fields.size(), static_cast<size_t>(kMergeFieldCount));
  EXPECT_STREQ(fields.front().name, "TLCSTNO");
  EXPECT_STREQ(fields[3].description, "Customers Last Payment Date");
  EXPECT_STREQ(fields.back().name, "TLCMPADD5");
  EXPECT_EQ(fields.back().description, nullptr);  // not offered in the list
}

TEST(LetterMerge, WholeWordsCaseSensitiveAndEveryField) {
  company::CompanyRecord co{};
  co.CompanyName.Set("Acme Supply");
  co.CompanyAddress5.Set("Suite 5");
  LetterDocument doc = OneParagraph(
      {{{}, "To TLCSTADD1, not TLCSTADD1X nor TLCSTADD10 nor tlcstadd1; "},
       {{}, "[TLCSTLPMT] TLCSTNAME/TLCSTNO from TLCMPNAME, TLCMPADD5."}});
  MergeLetter(&doc, MergeValues(Customer(), co));
  EXPECT_EQ(doc.Text(),
            "To 12 Pier Road, not TLCSTADD1X nor TLCSTADD10 nor tlcstadd1; "
            "[ 1/2/2024 ] Harbor Goods/C100 from Acme Supply, Suite 5.");
}

TEST(LetterMerge, ValuesAreMergedAgainByLaterFieldsButNeverForever) {
  company::CustomerRecord c = Customer();
  // The name holds a later field's name and its own.
  c.CustomerName.Set("TLCSTNAME of TLCSTMLIST");
  LetterDocument doc = OneParagraph({{{}, "Dear TLCSTNAME"}});
  MergeLetter(&doc, MergeValues(c, company::CompanyRecord{}));
  EXPECT_EQ(doc.Text(), "Dear TLCSTNAME of EAST");
}

TEST(LetterMerge, ValueTakesTheFormatOfTheMatchsFirstCharacter) {
  const CharFormat bold{.bold = true};
  // The field name split over two runs of different formats.
  LetterDocument doc = OneParagraph({{{}, "Hi TLCST"}, {bold, "NO!"}});
  EXPECT_EQ(ReplaceMergeField(&doc, "TLCSTNO", "42"), 1);
  ASSERT_EQ(doc.paragraphs[0].runs.size(), 2u);
  EXPECT_EQ(doc.paragraphs[0].runs[0].text, "Hi 42");
  EXPECT_EQ(doc.paragraphs[0].runs[1].text, "!");
  EXPECT_TRUE(doc.paragraphs[0].runs[1].format.bold);
}

// ---- The merge print over a company on disk.

class MergePrintTest : public company::testing::CompanyOnDisk {
 protected:
  void SetUp() override {
    CompanyOnDisk::SetUp();
    AddCustomer("C1", "First Customer", "10.00");
    AddCustomer("C2", "Second Customer", "20.00");
    AddCustomer("C3", "Third Customer", "30.00");
    letter_ = OneParagraph({{{}, "Dear TLCSTNAME, you owe TLCSTBAL."}});
  }
  void Queue(std::initializer_list<const char*> numbers) {
    for (const char* n : numbers) app_->label_queue.push_back({n, "", "", ""});
  }
  std::vector<std::string> progress_;
  LetterDocument letter_;
};

TEST_F(MergePrintTest, ThreeQueuedCustomersPrintThreeJobs) {
  Queue({"C1", "C2", "C3"});
  const auto& jobs = ui_->printer.jobs();
  const MergePrintOutcome outcome = MergePrintToPrinter(
      *app_, letter_, "remind.rtf",
      [&](const std::string& text) { progress_.push_back(text); });
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ(outcome.printed, 3);
  ASSERT_EQ(jobs.size(), 3u);
  const char* names[] = {"First", "Second", "Third"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(jobs[i]->title, "remind.rtf");
    EXPECT_TRUE(jobs[i]->ended);
    std::string text;
    for (const std::string& t : jobs[i]->Texts()) text += t + " ";
    EXPECT_EQ(text, std::string("Dear ") + names[i] + " Customer, you owe " +
                        std::to_string(10 * (i + 1)) + ".00. ");
  }
  EXPECT_EQ(progress_,
            (std::vector<std::string>{"Processing...",
                                      "Processing letter 1 of 3...",
                                      "Processing letter 2 of 3...",
                                      "Processing letter 3 of 3..."}));
  // The editor gets the unmerged letter back; the template is gone.
  ASSERT_TRUE(outcome.restored);
  EXPECT_EQ(*outcome.restored, letter_);
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf(kMergeTemplateName)));
}

TEST_F(MergePrintTest, MissingCustomerIsSkippedAndNamed) {
  Queue({"C1", "GONE", "C3"});
  ui_->messages.ExpectMessage(NoLetterCustomersText({"GONE"}))
      .WithCaption("Letter Wizard");
  const MergePrintOutcome outcome =
      MergePrintToPrinter(*app_, letter_, "x.rtf", [](const std::string&) {});
  EXPECT_EQ(outcome.printed, 2);
  EXPECT_EQ(outcome.missing, std::vector<std::string>{"GONE"});
  EXPECT_EQ(ui_->printer.jobs().size(), 2u);
}

TEST_F(MergePrintTest, RefusalsAndAFailingPrinter) {
  ui_->messages.ExpectMessage(kEmptyLetterQueueText).WithCaption("Letter Wizard");
  EXPECT_FALSE(MayMergePrint(*app_, letter_));
  Queue({"C1", "C2"});
  ui_->messages.ExpectMessage(kNoLetterText).WithCaption("Letter Wizard");
  EXPECT_FALSE(MayMergePrint(*app_, OneParagraph({})));
  EXPECT_TRUE(MayMergePrint(*app_, letter_));
  EXPECT_TRUE(ui_->printer.jobs().empty());

  ui_->printer.FailJobsWith("Printer is out of paper");
  ui_->messages.ExpectMessage("Printer is out of paper");
  const MergePrintOutcome outcome =
      MergePrintToPrinter(*app_, letter_, "x.rtf", [](const std::string&) {});
  EXPECT_FALSE(outcome.completed);
  EXPECT_EQ(outcome.printed, 0);
  ASSERT_TRUE(outcome.restored);
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf(kMergeTemplateName)));
}

TEST(LetterPrint, LinesWrapAlignAndBreakPages) {
  platform::testing::RecordedJob job;
  platform::testing::RecordingCanvas canvas(&job);
  LetterDocument doc;
  Paragraph centred;
  centred.alignment = Alignment::kCenter;
  centred.runs = {{{}, "Title"}};
  Paragraph long_text;
  long_text.bullet = true;
  long_text.left_indent = 720;
  for (int i = 0; i < 40; ++i) long_text.runs.push_back({{}, "word "});
  Paragraph next_page;
  next_page.page_break_before = true;
  next_page.runs = {{{}, "A\tB"}};
  doc.paragraphs = {centred, long_text, next_page};
  DrawLetter(canvas, doc);
  canvas.EndJob();
  const auto* title = job.FindText("Title");
  ASSERT_NE(title, nullptr);
  const int char_w = platform::testing::RecordingCanvas::CharWidth({});
  const int width = platform::testing::RecordingCanvas::kPageWidth;
  EXPECT_EQ(title->x1, kLetterMarginDots +
                           (width - 2 * kLetterMarginDots - 5 * char_w) / 2);
  // 40 words do not fit on one line: some start again at the left indent.
  int lines = 0;
  for (const auto& call : job.calls) {
    if (call.text == "word" && call.x1 == kLetterMarginDots + 150) ++lines;
  }
  EXPECT_GE(lines, 2);
  EXPECT_NE(job.FindText("\x95"), nullptr);
  const auto* b = job.FindText("B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->page, 2);
  EXPECT_EQ(b->x1, kLetterMarginDots + 150);  // the first half-inch tab
}

}  // namespace
}  // namespace tallybook::output

namespace tallybook::output {
namespace {

TEST(RulerScale, PixelsAndPointsConvertBothWays) {
  EXPECT_EQ(PixelsFromPoints(36), 48);
  EXPECT_DOUBLE_EQ(PointsFromPixels(48), 36);
  EXPECT_EQ(TwipsFromPixels(48), 720);
  EXPECT_DOUBLE_EQ(PixelsFromTwips(720), 48);
  // The right marker: 12 points in from the edge is no indent at all.
  EXPECT_EQ(RightMarkerPixels(600, 0), 584);
  EXPECT_DOUBLE_EQ(RightIndentPoints(600, 584), 0);
  EXPECT_DOUBLE_EQ(RightIndentPoints(600, RightMarkerPixels(600, 72)), 72);
  EXPECT_DOUBLE_EQ(RightIndentPoints(600, 599), 0);  // never negative
}

}  // namespace
}  // namespace tallybook::output
