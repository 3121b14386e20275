#include "output/label_wizard.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "output/label_test_support.h"
#include "output/output_test_support.h"
#include "output/record_list.h"

namespace tallybook::output {
namespace {

using company::LabelQueueRow;
using platform::Answer;
using platform::testing::ReadFileBytes;
using platform::testing::WriteFileBytes;

using testing::Sheet;

class LabelWizardTest : public testing::InvoiceCompany {
 protected:
  void SetUp() override {
    InvoiceCompany::SetUp();
    if (HasFatalFailure()) return;
    AddFullCustomer("C2", "Second Customer", "");
    AddCustomer("C3", "Zero Aging");  // every aging amount 0.00
    AddCustomer("C4", "");            // no name: never loaded
    wizard_ = std::make_unique<LabelWizard>(*app_);
  }
  std::string PathOf(const std::string& name) const {
    return (temp_.path() / name).string();
  }
  std::vector<std::string> Numbers() const {
    std::vector<std::string> out;
    for (const LabelQueueRow& r : app_->label_queue) out.push_back(r.customer_no);
    return out;
  }
  // A wizard with the layout Sheet() saved as sheet.LBL and opened.
  void OpenSheet() {
    ASSERT_TRUE(WriteLabelLayout(PathOf("sheet.LBL"), Sheet(), nullptr));
    ASSERT_TRUE(wizard_->OpenLayoutFile(PathOf("sheet.LBL")));
  }
  std::unique_ptr<LabelWizard> wizard_;
};

TEST_F(LabelWizardTest, StartUpReadsTheLastLayoutOrAsksForOne) {
  wizard_->Startup();
  EXPECT_FALSE(wizard_->layout_ready());
  EXPECT_EQ(wizard_->status(), kOpenLayoutStatus);

  // Remembered, but gone: the memory goes too.
  ASSERT_TRUE(WriteLastLabelFile(dir_, PathOf("gone.LBL"), nullptr));
  LabelWizard second(*app_);
  second.Startup();
  EXPECT_FALSE(second.layout_ready());
  EXPECT_FALSE(std::filesystem::exists(PathOf(kLastLabelFileName)));

  ASSERT_TRUE(WriteLabelLayout(PathOf("sheet.LBL"), Sheet(), nullptr));
  ASSERT_TRUE(WriteLastLabelFile(dir_, PathOf("sheet.LBL"), nullptr));
  LabelWizard third(*app_);
  third.Startup();
  EXPECT_TRUE(third.layout_ready());
  EXPECT_EQ(third.loaded(), Sheet());
  EXPECT_EQ(third.status(), kLabelsReadyStatus);

  // A damaged layout is told about and not used.
  WriteFileBytes(PathOf("sheet.LBL"), "short");
  ui_->messages.ExpectMessage("The label layout " + PathOf("sheet.LBL") +
                              " could not be read: it is not a label layout.");
  LabelWizard fourth(*app_);
  fourth.Startup();
  EXPECT_FALSE(fourth.layout_ready());
}

TEST_F(LabelWizardTest, OpenRemembersAndCopiesTheLayoutSaveAsAppliesItsRules) {
  ASSERT_TRUE(WriteLabelLayout(PathOf("sheet.LBL"), Sheet(), nullptr));
  ui_->dialogs.ExpectOpenFile(PathOf("sheet.LBL"));
  ASSERT_TRUE(wizard_->OpenLayout());
  EXPECT_TRUE(wizard_->layout_ready());
  EXPECT_EQ(ReadFileBytes(PathOf(kLabelCopyFileName)),
            ReadFileBytes(PathOf("sheet.LBL")));
  std::string remembered;
  ASSERT_EQ(ReadLastLabelFile(dir_, &remembered), LastLabelRead::kOk);
  EXPECT_EQ(remembered, PathOf("sheet.LBL"));

  // A file that is not a layout keeps the open one.
  WriteFileBytes(PathOf("junk.LBL"), std::string(444, 'x'));
  ui_->dialogs.ExpectOpenFile(PathOf("junk.LBL"));
  ui_->messages.ExpectMessage("The label layout " + PathOf("junk.LBL") +
                              " could not be read: it is not a label layout.");
  EXPECT_FALSE(wizard_->OpenLayout());
  EXPECT_EQ(wizard_->layout_path(), PathOf("sheet.LBL"));

  LabelLayout form = Sheet();
  form.logo_file = "/pics/logo.bmp";
  form.print_line = true;
  ui_->dialogs.ExpectSaveFile(PathOf("new.LBL"));
  ASSERT_TRUE(wizard_->SaveLayoutAs(form));
  const auto saved = ReadLabelLayout(PathOf("new.LBL"), nullptr);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->logo_file, "");  // no return address: a blank stored
  EXPECT_FALSE(saved->print_line);
  EXPECT_EQ(wizard_->loaded(), *saved);
  ASSERT_EQ(ReadLastLabelFile(dir_, &remembered), LastLabelRead::kOk);
  EXPECT_EQ(remembered, PathOf("new.LBL"));
}

TEST_F(LabelWizardTest, QueueFillsFromCustomersAndAgingButtons) {
  EXPECT_EQ(AgingButtonCaptions(app_->CurrentCompany),
            (std::array<std::string, 4>{"Current:", "21-45:", "46-70:",
                                        "Over 70"}));
  wizard_->LoadAll();
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"C1", "C2", "C3"}));
  EXPECT_EQ(wizard_->status(), "3 records were added.");
  EXPECT_TRUE(app_->label_queue_pending);
  EXPECT_EQ(app_->label_queue[0].name, "Joe's Hardware");
  EXPECT_EQ(app_->label_queue[0].mail_code, "ZONE1");
  EXPECT_EQ(app_->label_queue[0].customer_type, "Retail");

  app_->label_queue.clear();
  wizard_->LoadAging(3);  // C1 and C2 owe 10 in the third period
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"C1", "C2"}));
  ui_->messages.ExpectMessage(kNoRecordsFound).WithCaption("21-45:");
  wizard_->LoadAging(2);
  EXPECT_EQ(Numbers().size(), 2u);

  company::CompanyRecord co = app_->CurrentCompany;
  co.AgingDays3.Set("");
  StoreCompany(co);
  ui_->messages.ExpectMessage(BadAgingDaysText(3)).WithCaption("Over ");
  wizard_->LoadAging(4);
  EXPECT_EQ(BadAgingDaysText(3),
            "Category 3 has a bad value in your aging days (Company Setup). "
            "Unable to process.");
}

TEST_F(LabelWizardTest, DeleteClearAndSortChangeTheQueue) {
  app_->label_queue = {{"B", "beta", "2", "x"},
                       {"A", "Alpha", "3", "y"},
                       {"C", "\xC9mile", "1", "z"}};
  SortQueue(*app_, 1);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"A", "B", "C"}));
  SortQueue(*app_, 2);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"C", "B", "A"}));

  ui_->messages.ExpectMessage(kNothingSelectedText)
      .WithCaption(kDeleteRecordCaption);
  wizard_->DeleteSelected(std::nullopt);
  wizard_->DeleteSelected(1);
  EXPECT_EQ(Numbers(), (std::vector<std::string>{"C", "A"}));
  EXPECT_EQ(wizard_->status(), "2 records are selected.");

  ui_->messages.ExpectMessage(kClearQueueQuestion, Answer::kNo)
      .WithCaption(kPleaseConfirmCaption);
  EXPECT_TRUE(wizard_->ClearAll());
  EXPECT_EQ(Numbers().size(), 2u);
  ui_->messages.ExpectMessage(kClearQueueQuestion, Answer::kYes);
  EXPECT_TRUE(wizard_->ClearAll());
  EXPECT_TRUE(app_->label_queue.empty());
  EXPECT_FALSE(app_->label_queue_pending);
  EXPECT_EQ(wizard_->status(), kQueueCleared);
  EXPECT_FALSE(wizard_->ClearAll());  // empty: only a beep
}

TEST_F(LabelWizardTest, SavedRecordsLoadBackIntoTheQueue) {
  ui_->messages.ExpectMessage(kNothingToSaveText)
      .WithCaption(kSaveRecordsCaption);
  wizard_->SaveRecords();

  const LabelQueueRow full{"12345678", std::string(35, 'N'),
                           std::string(15, 'S'), std::string(25, 'T')};
  app_->label_queue = {full, {"C1", "Joe's Hardware", "ZONE1", "Retail"}};
  app_->label_queue_pending = true;
  ui_->dialogs.ExpectSaveFile(PathOf("queue.LST"));
  wizard_->SaveRecords();
  EXPECT_EQ(wizard_->status(),
            "Records saved to file: " + PathOf("queue.LST") + ".");
  EXPECT_FALSE(app_->label_queue_pending);

  app_->label_queue.clear();
  ui_->dialogs.ExpectOpenFile(PathOf("queue.LST"));
  wizard_->LoadRecords();
  ASSERT_EQ(app_->label_queue.size(), 2u);
  EXPECT_EQ(app_->label_queue[0].name, full.name);
  EXPECT_EQ(app_->label_queue[0].mail_code, full.mail_code);
  EXPECT_EQ(app_->label_queue[0].customer_type, full.customer_type);
  EXPECT_TRUE(app_->label_queue_pending);

  ui_->dialogs.ExpectOpenFile(PathOf("none.LST"));
  ui_->messages.ExpectMessage("The record list " + PathOf("none.LST") +
                              " could not be read: it does not exist.")
      .WithCaption(kLoadRecordsCaption);
  wizard_->LoadRecords();
  EXPECT_EQ(app_->label_queue.size(), 2u);
}

TEST_F(LabelWizardTest, PrintLabelsChecksThenPrintsEveryCopy) {
  OpenSheet();
  ui_->messages.ExpectMessage(kNoQueueToPrintText)
      .WithCaption(kPrintLabelsCaption);
  EXPECT_FALSE(wizard_->PrintLabels(Sheet(), "1", "1"));

  app_->label_queue = {{"C1", "", "", ""}, {"C2", "", "", ""},
                       {"C3", "", "", ""}};
  app_->label_queue_pending = true;
  LabelLayout form = Sheet();
  form.label_height = "";
  ui_->messages.ExpectMessage(kEmptyLayoutFieldText);
  EXPECT_FALSE(wizard_->PrintLabels(form, "1", "1"));

  form = Sheet();
  form.top_margin = "120";
  ui_->messages.ExpectMessage(kLayoutChangedQuestion, Answer::kNo);
  ASSERT_TRUE(wizard_->PrintLabels(form, "", "2"));
  EXPECT_EQ(wizard_->status(), "Complete. 6 label(s) sent to printer.");
  EXPECT_FALSE(app_->label_queue_pending);
  const auto& job = ui_->printer.last_job();
  EXPECT_EQ(job.title, kLabelJobTitle);
  EXPECT_EQ(job.FindText("Joe's Hardware")->y1, 120);

  // A customer gone since it was queued gets no label, and the user hears.
  app_->label_queue.push_back({"GONE", "", "", ""});
  ui_->messages.ExpectMessage(MissingCustomersText({"GONE"}));
  ASSERT_TRUE(wizard_->PrintLabels(Sheet(), "1", "1"));
  EXPECT_EQ(wizard_->status(), "Complete. 3 label(s) sent to printer.");
}

TEST_F(LabelWizardTest, CalibrationRulerAsksFirst) {
  ui_->messages.ExpectMessage(kRulerQuestion, Answer::kNo)
      .WithCaption(kPleaseConfirmCaption);
  EXPECT_FALSE(wizard_->PrintRuler());
  EXPECT_TRUE(ui_->printer.jobs().empty());
  ui_->messages.ExpectMessage(kRulerQuestion, Answer::kYes);
  EXPECT_TRUE(wizard_->PrintRuler());
  EXPECT_EQ(wizard_->status(), kRulerSentStatus);
  EXPECT_EQ(ui_->printer.last_job().title, kRulerJobTitle);
}

}  // namespace
}  // namespace tallybook::output
