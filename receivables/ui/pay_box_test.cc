#include "receivables/ui/pay_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <set>

#include "company/ui/ui_test_support.h"
#include "platform/qt/text_codec.h"
#include "receivables/payment_lines.h"
#include "receivables/payment_posting.h"
#include "receivables/payment_test_support.h"
#include "receivables/posting_summary.h"

namespace tallybook::receivables::ui {
namespace {

using platform::MessageKind;
using platform::kModalCancel;
using platform::kModalOk;
using platform::qt::ToQString;

class PayBoxTest : public testing::PaymentFixture {
 protected:
  void SetUp() override {
    PaymentFixture::SetUp();
    AddCustomer("C1", "Acme Widget Company");
    AddOpen("1001", "C1", "100.00", 3);
    AddOpen("1002", "C1", "40.00", 3);
    AddOpen("1003", "C1", "0.00", 3, "0.00", "R");
    box_ = std::make_unique<TPayBox>(*app_, [this] {
      ++chooser_runs_;
      if (choose_.empty()) return false;
      app_->CurrentCustomer = Customer(choose_);
      return true;
    });
    box_->FormShow();
  }
  void TearDown() override {
    box_.reset();
    PaymentFixture::TearDown();
  }

  void Choose(const std::string& customer) {
    choose_ = customer;
    box_->CustomerBtnClick();
  }
  std::vector<std::string> Src() { return TPayBox::Lines(box_->SrcList); }
  std::vector<std::string> Dst() { return TPayBox::Lines(box_->DstList); }
  void Select(QListWidget* list, std::vector<int> rows) {
    list->clearSelection();
    for (int row : rows) list->item(row)->setSelected(true);
  }
  // Runs the amount dialog as the user would: types amount and presses OK.
  void ExpectAmountDialog(const std::string& amount) {
    ui_->windows.ExpectWindow("TPPmtDialog", [this, amount] {
      box_->PPmtDialog->PPAmt->setText(ToQString(amount));
      box_->PPmtDialog->OKBtnClick();
      const int result = box_->PPmtDialog->result();
      box_->PPmtDialog->setResult(0);
      return result == QDialog::Accepted ? kModalOk : kModalCancel;
    });
  }

  std::unique_ptr<TPayBox> box_;
  std::string choose_;
  int chooser_runs_ = 0;
};

TEST_F(PayBoxTest, OpensEmptyWithPostDisabled) {
  EXPECT_EQ(box_->windowTitle(), "Payment Wizard - Acme Supply");
  EXPECT_FALSE(box_->OKBtn->isEnabled());
  EXPECT_FALSE(box_->PPmtBtn->isEnabled());
  EXPECT_FALSE(box_->AccountDep->isEnabled());
  EXPECT_EQ(box_->PCustBal->text(), "0.00");
  EXPECT_EQ(box_->PAmt->text(), "0.00");
  EXPECT_EQ(box_->PmtDate->text(), "06/15/2024");
  EXPECT_EQ(box_->PostRule->text().toStdString(), kPostRuleText);

  // Nothing chosen: nothing changes.
  Choose("");
  EXPECT_EQ(chooser_runs_, 1);
  EXPECT_TRUE(Src().empty());
  EXPECT_EQ(box_->PCustBal->text(), "0.00");
}

TEST_F(PayBoxTest, ChoosingLoadsTheOpenItemsSorted) {
  Choose("C1");
  EXPECT_EQ(box_->PCustName->text(), "Acme Widget Company");
  EXPECT_EQ(box_->PCustBal->text(), "140.00");
  EXPECT_EQ(Src(), (std::vector<std::string>{
                       "1001      06/12/24       100.00",
                       "1002      06/12/24        40.00"}));
  EXPECT_TRUE(box_->AccountDep->isEnabled());
  EXPECT_TRUE(box_->IncludeBtn->isEnabled());
  EXPECT_FALSE(box_->ExcludeBtn->isEnabled());
}

TEST_F(PayBoxTest, CustomerWithoutBalanceIsToldAndMayStillDeposit) {
  AddCustomer("C2", "Birch");
  ui_->messages.ExpectMessage(kNoBalanceDue)
      .WithCaption(kNoBalanceDueCaption)
      .WithKind(MessageKind::kInformation);
  Choose("C2");
  EXPECT_TRUE(box_->AccountDep->isEnabled());
}

TEST_F(PayBoxTest, MovesFollowTheSelectionAndThePostRule) {
  Choose("C1");
  Select(box_->SrcList, {1});
  box_->IncludeBtnClick();
  EXPECT_EQ(Dst(), std::vector<std::string>{"1002      06/12/24        40.00"});
  EXPECT_EQ(box_->IPostedAmt->text(), "40.00");
  EXPECT_FALSE(box_->OKBtn->isEnabled());
  box_->PAmt->setText("40");
  EXPECT_TRUE(box_->OKBtn->isEnabled());
  box_->PAmt->setText("40.01");
  EXPECT_FALSE(box_->OKBtn->isEnabled());

  box_->IncAllBtnClick();
  EXPECT_TRUE(Src().empty());
  EXPECT_EQ(box_->IPostedAmt->text(), "140.00");
  EXPECT_FALSE(box_->IncludeBtn->isEnabled());
  EXPECT_FALSE(box_->PPmtBtn->isEnabled());
  ui_->messages.ExpectMessage(kNothingToMoveRight)
      .WithCaption(kPaymentWizardCaption)
      .WithKind(MessageKind::kInformation);
  box_->IncludeBtnClick();

  box_->ExAllBtnClick();
  EXPECT_EQ(Src().size(), 2u);
  EXPECT_TRUE(box_->PPmtBtn->isEnabled());
  ui_->messages.ExpectMessage(kNothingToMoveLeft)
      .WithCaption(kPaymentWizardCaption);
  box_->ExcludeBtnClick();
  EXPECT_FALSE(box_->OKBtn->isEnabled());
}

TEST_F(PayBoxTest, PaidAmountEqualToBalanceMovesEverything) {
  Choose("C1");
  box_->PAmt->setText("140.00");
  EXPECT_TRUE(Src().empty());
  EXPECT_EQ(Dst().size(), 2u);
  EXPECT_TRUE(box_->OKBtn->isEnabled());
  EXPECT_EQ(box_->PAmt->cursorPosition(), 6);
}

TEST_F(PayBoxTest, PaidAmountRefusesMinusAndSeparators) {
  Choose("C1");
  ui_->messages.ExpectMessage(kNegativePaidAmount)
      .WithCaption(kPaidAmountCaption)
      .WithKind(MessageKind::kWarning);
  box_->PAmt->setText("-");
  EXPECT_EQ(box_->PAmt->text(), "-");
  ui_->messages.ExpectMessage(kNotNumericAmount)
      .WithCaption(kNotNumericCaption)
      .WithKind(MessageKind::kWarning);
  box_->PAmt->setText("1,4");
  EXPECT_FALSE(box_->OKBtn->isEnabled());
}

TEST_F(PayBoxTest, PartialPaymentSplitsTheLine) {
  Choose("C1");
  box_->SrcList->setCurrentRow(0);
  EXPECT_TRUE(box_->PPmtBtn->isEnabled());
  // The whole amount is refused and the dialog stays open.
  ui_->messages.ExpectMessage(kNotBelowDue)
      .WithCaption(kNotBelowDueCaption)
      .WithKind(MessageKind::kWarning);
  ExpectAmountDialog("100");
  box_->PPmtBtnClick();
  EXPECT_TRUE(Dst().empty());

  ExpectAmountDialog("30");
  box_->PPmtBtnClick();
  EXPECT_EQ(box_->PPmtDialog->windowTitle(), "Partial Payment");
  EXPECT_EQ(box_->PPmtDialog->InfoLabel->text(),
            "Invoice: 1001   Date: 06/12/24");
  EXPECT_EQ(Dst(), std::vector<std::string>{"1001      06/12/24        30.00P"});
  EXPECT_EQ(Src()[0], "1001      06/12/24        70.00");
  EXPECT_EQ(box_->SrcList->currentRow(), 0);

  box_->PAmt->setText("30");
  ASSERT_TRUE(box_->OKBtn->isEnabled());
  ui_->messages.ExpectMessage("Posted 1 item for a total of 30.00.")
      .WithCaption(kPaymentPostedCaption);
  box_->OKBtnClick();
  EXPECT_EQ(box_->result(), QDialog::Accepted);
  EXPECT_EQ(Under("1001")[0].AmountDue.Get(), "70.00");
  EXPECT_EQ(Customer("C1").Balance.Get(), "110.00");
}

TEST_F(PayBoxTest, DepositOnAccountIsPostedAlone) {
  Choose("C1");
  ui_->messages.ExpectMessage(kNotAboveZero).WithCaption(kNotAboveZeroCaption);
  ExpectAmountDialog("0");
  box_->AccountDepClick();
  ExpectAmountDialog("25");
  box_->AccountDepClick();
  EXPECT_EQ(box_->PPmtDialog->InfoLabel->text(),
            "Invoice: DEPOSIT     Date: 06/15/2024");
  EXPECT_EQ(Dst(), std::vector<std::string>{"DEPOSIT   06/15/24        25.00"});
  box_->PAmt->setText("25");
  box_->PNotes->setText("Advance");
  ui_->messages.ExpectMessage(
      "Posted 1 item for a total of 25.00. Deposit number: DP4.");
  box_->OKBtnClick();
  EXPECT_EQ(box_->result(), QDialog::Accepted);
  EXPECT_EQ(Under("DP4").at(0).StatementNote.Get(), "Advance");
  EXPECT_EQ(Customer("C1").Balance.Get(), "115.00");
}

TEST_F(PayBoxTest, InvalidPaymentDateWritesNothing) {
  Choose("C1");
  box_->PAmt->setText("140");
  box_->PmtDate->setText("13/45/2024");
  ui_->messages.ExpectMessage(kInvalidPaymentDate)
      .WithCaption(kPaymentDateCaption)
      .WithKind(MessageKind::kWarning);
  const std::string before = FileBytes("1I.DAT");
  box_->OKBtnClick();
  EXPECT_NE(box_->result(), QDialog::Accepted);
  EXPECT_EQ(FileBytes("1I.DAT"), before);
}

TEST_F(PayBoxTest, HelpOpensItsTopic) {
  box_->HelpBtnClick();
  EXPECT_EQ(ui_->help.topics(),
            std::vector<std::string>{kPaymentWizardHelpTopic});
}

TEST_F(PayBoxTest, KeyboardAloneTakesAPartialPaymentAndShowsWhatWasPosted) {
  box_->show();
  box_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(box_.get()));
  // The wizard opens on choosing the customer; Enter chooses.
  EXPECT_EQ(QApplication::focusWidget(), box_->CustomerBtn);
  choose_ = "C1";
  QTest::keyClick(box_->CustomerBtn, Qt::Key_Return);
  EXPECT_EQ(chooser_runs_, 1);
  EXPECT_EQ(box_->PCustName->text(), "Acme Widget Company");
  EXPECT_GE(box_->PCustName->width(),
            box_->PCustName->fontMetrics().horizontalAdvance(
                box_->PCustName->text()));

  // The amount typed once into the dialog replaces its "0.00".
  box_->SrcList->setCurrentRow(0);
  ui_->windows.ExpectWindow("TPPmtDialog", [this] {
    TPPmtDialog* dialog = box_->PPmtDialog;
    dialog->show();
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    // The amount box is the dialog's focus, with its "0.00" selected.
    EXPECT_EQ(dialog->focusWidget(), dialog->PPAmt);
    EXPECT_EQ(dialog->PPAmt->selectedText(), "0.00");
    QTest::keyClicks(dialog->PPAmt, "-3,0.555");
    EXPECT_EQ(dialog->PPAmt->text(), "30.55");
    QTest::keyClick(dialog->PPAmt, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    return dialog->result() == QDialog::Accepted ? kModalOk : kModalCancel;
  });
  QTest::keyClick(box_->PPmtBtn, Qt::Key_Space);
  EXPECT_EQ(Dst(), std::vector<std::string>{"1001      06/12/24        30.55P"});

  // The paid amount takes digits and one point: no message per keystroke.
  box_->PAmt->selectAll();
  QTest::keyClicks(box_->PAmt, "-3,0.5x5");
  EXPECT_EQ(box_->PAmt->text(), "30.55");
  EXPECT_TRUE(ui_->messages.shown().empty());
  ASSERT_TRUE(box_->OKBtn->isEnabled());

  // Escape with work done asks first.
  ui_->messages.ExpectMessage(platform::qt::kDiscardChangesQuestion,
                              platform::Answer::kNo);
  QTest::keyClick(box_->PAmt, Qt::Key_Escape);
  EXPECT_TRUE(box_->isVisible());

  // F1 is the wizard's help; Ctrl+S posts, and the user sees what was.
  QTest::keyClick(box_->PAmt, Qt::Key_F1);
  EXPECT_EQ(ui_->help.topics().back(), kPaymentWizardHelpTopic);
  ui_->messages.ExpectMessage("Posted 1 item for a total of 30.55.")
      .WithCaption(kPaymentPostedCaption)
      .WithKind(MessageKind::kInformation);
  QTest::keyClick(box_->PAmt, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(box_->result(), QDialog::Accepted);
  EXPECT_EQ(Under("1001")[0].AmountDue.Get(), "69.45");
}

TEST_F(PayBoxTest, MnemonicsAreDistinct) {
  std::set<QChar> seen;
  for (QAbstractButton* button : box_->findChildren<QAbstractButton*>()) {
    if (button->window() != box_.get()) continue;  // the amount dialog's own
    const QString text = button->text();
    const int at = text.indexOf('&');
    if (at < 0 || at + 1 >= text.size()) continue;
    EXPECT_TRUE(seen.insert(text.at(at + 1).toLower()).second)
        << text.toStdString();
  }
  EXPECT_GE(seen.size(), 5u);
}

TEST(PostingSummaryTest, NamesItemsTotalAndDeposits) {
  PostingResult result;
  result.items_posted = 3;
  result.amount_posted = 1234.5;
  EXPECT_EQ(PostingSummaryText(result), "Posted 3 items for a total of 1,234.50.");
  result.deposit_numbers = {"DP7", "DP8"};
  EXPECT_EQ(PostingSummaryText(result),
            "Posted 3 items for a total of 1,234.50. Deposit numbers: DP7, DP8.");
}

}  // namespace
}  // namespace tallybook::receivables::ui
