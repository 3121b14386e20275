// TRepeatForm and TSelectRepeat offscreen, on the repeat billing fixture.
#include <gtest/gtest.h>

#include <QTest>

#include "billing/repeat_test_support.h"
#include "billing/ui/repeat_form.h"
#include "billing/ui/select_repeat.h"
#include "company/ui/ui_test_support.h"
#include "platform/qt/text_codec.h"

namespace tallybook::billing::ui {
namespace {

using platform::qt::FromQString;
using platform::qt::ToQString;

class RepeatWindowsTest : public testing::RepeatOnDisk {
 protected:
  void SetUp() override {
    RepeatOnDisk::SetUp();
    AddCustomer("C1", "First Customer");
    AddBilled("1001", "C1", "06/01/2024", {"60", "40"});
  }
};

TEST_F(RepeatWindowsTest, RepeatFormTurnsAnInvoiceIntoAMaster) {
  // The record first: it sets rec_no, which the call then reads.
  int32_t rec_no = 0;
  const company::TransactionRecord invoice = Transaction("1001", &rec_no);
  std::optional<RepeatSetupForm> form =
      PrepareRepeatSetup(*app_, rec_no, invoice);
  ASSERT_TRUE(form);
  TRepeatForm dialog(*app_, *form);
  EXPECT_EQ(FromQString(dialog.windowTitle()), "Repeat Invoice Setup");
  EXPECT_EQ(FromQString(dialog.Label1->text()), "Invoice Number: 1001");
  EXPECT_EQ(FromQString(dialog.Label2->text()), "06/01/2024");
  EXPECT_FALSE(dialog.CheckBox1->isChecked());
  EXPECT_TRUE(dialog.CheckBox1->isEnabled());
  EXPECT_TRUE(dialog.RBMonths->isChecked());
  EXPECT_EQ(FromQString(dialog.NumDays->text()), "1");
  EXPECT_EQ(FromQString(dialog.EndDate->text()), "06/01/2024");
  // OK and the interval wait for the box.
  EXPECT_FALSE(dialog.OKButton->isEnabled());
  EXPECT_FALSE(dialog.NumDays->isEnabled());
  dialog.CheckBox1->setChecked(true);
  EXPECT_TRUE(dialog.OKButton->isEnabled());
  EXPECT_TRUE(dialog.NumDays->isEnabled());
  // The interval takes digits only, three at most.
  dialog.NumDays->clear();
  QTest::keyClicks(dialog.NumDays, "1x2345");
  EXPECT_EQ(FromQString(dialog.NumDays->text()), "123");

  dialog.NumDays->clear();
  ui_->messages.ExpectMessage(kIntervalBlankText)
      .WithCaption("Number of Days/Months");
  dialog.OKButton->click();
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_EQ(Transaction("1001").TypeCode.Get(), "I");

  dialog.HelpButton->click();
  EXPECT_EQ(ui_->help.topics().back(), "SetRepeat");

  dialog.NumDays->setText("2");
  dialog.EndDate->setText("07/01/2024");
  dialog.OKButton->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const company::TransactionRecord master = Transaction("1001");
  EXPECT_EQ(master.TypeCode.Get(), "R");
  EXPECT_EQ(master.RepeatInterval.Get(), "2");
  EXPECT_EQ(master.NextDueDate.Get(), "07/01/2024");
  EXPECT_EQ(Customer("C1").Balance.Get(), "0.00");
  ExpectBalancesAgree();
}

TEST_F(RepeatWindowsTest, RepeatFormOfABilledMasterHidesTheInterval) {
  ASSERT_TRUE(SetUpMaster("1001", 14, false, "06/01/2024"));
  RunThrough({2024, 6, 1}, "06/01/2024");
  // The record first: it sets rec_no, which the call then reads.
  int32_t rec_no = 0;
  const company::TransactionRecord invoice = Transaction("1001", &rec_no);
  std::optional<RepeatSetupForm> form =
      PrepareRepeatSetup(*app_, rec_no, invoice);
  ASSERT_TRUE(form);
  TRepeatForm dialog(*app_, *form);
  EXPECT_TRUE(dialog.CheckBox1->isChecked());
  EXPECT_FALSE(dialog.CheckBox1->isEnabled());
  EXPECT_TRUE(dialog.RBDays->isChecked());
  EXPECT_TRUE(dialog.Panel1->isHidden());
  EXPECT_EQ(FromQString(dialog.Label8->text()),
            "Invoices Generated to Date: 1");
  EXPECT_EQ(FromQString(dialog.EndDate->text()), "06/15/2024");
  // A change is asked about before it is thrown away.
  dialog.EndDate->setText("06/20/2024");
  ui_->messages.ExpectMessage(platform::qt::kDiscardChangesQuestion,
                              platform::Answer::kNo);
  dialog.reject();
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_EQ(Transaction("1001").NextDueDate.Get(), "06/15/2024");
}

TEST_F(RepeatWindowsTest, WizardSearchesThenCreatesTheInvoices) {
  ASSERT_TRUE(SetUpMaster("1001", 1, true, "06/30/2024"));
  TSelectRepeat wizard(*app_);
  wizard.FormShow();
  EXPECT_EQ(FromQString(wizard.windowTitle()), "Repeat Billing Wizard");
  EXPECT_EQ(FromQString(wizard.EndDate->text()), "06/15/2024");
  EXPECT_EQ(FromQString(wizard.NewInvDate->text()), "06/15/2024");
  EXPECT_EQ(FromQString(wizard.InvComm->text()), "Monthly Service");
  EXPECT_EQ(wizard.InvComm->maxLength(), 60);
  EXPECT_EQ(FromQString(wizard.StatusLabel->text()),
            "Last generated invoices were dated: ");
  EXPECT_FALSE(wizard.CreateBtn->isEnabled());

  ui_->messages.ExpectMessage(kNothingDueText).WithCaption("Repeat Billings");
  wizard.SearchBtnClick();
  EXPECT_EQ(wizard.ListBox1->count(), 0);
  EXPECT_FALSE(wizard.CreateBtn->isEnabled());

  wizard.EndDate->setText("06/30/2024");
  wizard.SearchBtn->click();
  ASSERT_EQ(wizard.ListBox1->count(), 1);
  EXPECT_EQ(FromQString(wizard.ListBox1->item(0)->text()),
            "1001      SNC1             100.00 06/30/2024 C1            0");
  EXPECT_EQ(FromQString(wizard.StatusLabel->text()),
            "There are 1 invoices selected totaling 100.00.");
  EXPECT_EQ(FromQString(wizard.NewInvDate->text()), "06/30/2024");
  EXPECT_TRUE(wizard.CreateBtn->isEnabled());

  wizard.HelpBtn->click();
  EXPECT_EQ(ui_->help.topics().back(), "GetRepeat");

  wizard.InvComm->setText("June lawn care");
  ui_->messages
      .ExpectMessage(
          "1 invoices were generated. 1 Monthly Setups and 0 Daily Setups.")
      .WithCaption("Operation Complete!")
      .WithKind(platform::MessageKind::kInformation);
  wizard.CreateBtn->click();
  EXPECT_EQ(wizard.result(), QDialog::Accepted);
  EXPECT_EQ(FromQString(wizard.StatusLabel->text()), "Complete.");
  EXPECT_EQ(wizard.ProgressBar1->value(), wizard.ProgressBar1->maximum());
  const company::TransactionRecord g = Transaction("1001G1");
  EXPECT_EQ(g.InvoiceNotes.Get(), "June lawn care");
  EXPECT_EQ(g.DateText.Get(), "06/30/2024");
  EXPECT_EQ(LinesOf("1001G1").size(), 2u);
  EXPECT_EQ(app_->CurrentCompany.LastRepeatDate.Get(), "06/30/2024");
  ExpectBalancesAgree();
}

}  // namespace
}  // namespace tallybook::billing::ui
