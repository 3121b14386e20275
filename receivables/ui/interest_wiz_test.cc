#include "receivables/ui/interest_wiz.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "company/terms.h"
#include "company/ui/ui_test_support.h"
#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "receivables/interest_report.h"
#include "receivables/interest_test_support.h"

namespace tallybook::receivables::ui {
namespace {

using platform::Answer;
using platform::kModalCancel;
using platform::MessageKind;

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

class InterestWizTest : public testing::InterestFixture {
 protected:
  void SetUp() override {
    InterestFixture::SetUp();
    AddAged("A", "Alder", {"0", "10.00", "0", "0"});
    AddAged("B", "Birch", {"0", "0", "0", "101.00"});
    ASSERT_TRUE(company::SaveTerms(
        *app_, company::TermList({"Net 30", "Due on receipt"})));
    wiz_ = std::make_unique<TInterestWiz>(*app_);
    wiz_->FormShow();
    wiz_->show();
    wiz_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wiz_.get()));
  }
  void TearDown() override {
    wiz_.reset();
    InterestFixture::TearDown();
  }
  std::string Cell(int row, int column) {
    const QTableWidgetItem* item = wiz_->CustGrid->item(row, column);
    return item == nullptr ? std::string() : item->text().toStdString();
  }
  // Types text into the box as the user does and leaves it with Enter.
  void Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  std::unique_ptr<TInterestWiz> wiz_;
};

TEST_F(InterestWizTest, OpensWithTheKeptChoicesAndDefaults) {
  EXPECT_EQ(wiz_->windowTitle(), "Interest Wizard");
  EXPECT_EQ(wiz_->days30->text(), "Over 20 Days");
  EXPECT_EQ(wiz_->days60->text(), "Over 45 Days");
  EXPECT_EQ(wiz_->days90->text(), "Over 70 Days");
  EXPECT_TRUE(wiz_->days30->isChecked());
  EXPECT_EQ(wiz_->Settings().percent, "1.50");
  EXPECT_EQ(wiz_->Settings().minimum, ".10");
  EXPECT_EQ(Text(wiz_->FlatRate), "0.00");
  EXPECT_FALSE(wiz_->FlatRate->isEnabled());
  EXPECT_EQ(wiz_->Settings().invoice_date, "06/15/2024");
  EXPECT_EQ(Text(wiz_->InvComm), "Interest Charges");
  EXPECT_EQ(Text(wiz_->StmntNote), "Interest Charges");
  EXPECT_EQ(wiz_->LastDate->text(), "Last Interest Invoices: ");
  EXPECT_EQ(wiz_->ITerms->count(), 2);
  EXPECT_EQ(wiz_->ITerms->itemText(0), "Due on receipt");
  EXPECT_EQ(wiz_->CustGrid->rowCount(), 0);
  EXPECT_EQ(wiz_->CustGrid->columnCount(), 4);
  EXPECT_TRUE(wiz_->Button1->isEnabled());
  EXPECT_FALSE(wiz_->GenInv->isEnabled());
  EXPECT_EQ(wiz_->Prompt->text().toStdString(), kEnterOptionsPrompt);

  // A company that kept its choices opens with them.
  company::CompanyRecord co = StoredCompany();
  co.InterestAgingChoice.Set("9");
  co.InterestPercent.Set("2.000");
  co.InterestMinimum.Set("1.00");
  co.InterestMarkPrinted = 1;
  co.LastInterestDate.Set("05/31/2024");
  StoreCompany(co);
  wiz_->FormShow();
  EXPECT_TRUE(wiz_->days90->isChecked());
  EXPECT_EQ(wiz_->Settings().percent, "2.000");
  EXPECT_EQ(wiz_->Settings().minimum, "1.00");
  EXPECT_TRUE(wiz_->IPrin->isChecked());
  EXPECT_EQ(wiz_->LastDate->text(), "Last Interest Invoices: 05/31/2024");
}

TEST_F(InterestWizTest, FlatFeeAndChangesRuleWhichControlsAreEnabled) {
  wiz_->FlatCB->click();
  EXPECT_TRUE(wiz_->FlatRate->isEnabled());
  EXPECT_FALSE(wiz_->IPct->isEnabled());
  EXPECT_FALSE(wiz_->MinChg->isEnabled());
  wiz_->FlatCB->click();
  EXPECT_FALSE(wiz_->FlatRate->isEnabled());
  EXPECT_TRUE(wiz_->IPct->isEnabled());
  EXPECT_TRUE(wiz_->MinChg->isEnabled());

  wiz_->Button1->click();
  EXPECT_FALSE(wiz_->Button1->isEnabled());
  EXPECT_TRUE(wiz_->GenInv->isEnabled());
  EXPECT_EQ(wiz_->Prompt->text().toStdString(), FoundPromptText(2));
  ASSERT_EQ(wiz_->CustGrid->rowCount(), 3);
  EXPECT_EQ(Cell(0, 0), "Alder");
  EXPECT_EQ(Cell(1, 3), "1.52");
  EXPECT_EQ(Cell(2, 0), "Totals:");
  EXPECT_EQ(Cell(2, 2), "111.00");

  // Each kind of change makes a new scan possible.
  wiz_->IPct->setFocus();
  QTest::keyClick(wiz_->IPct, Qt::Key_End);
  QTest::keyClick(wiz_->IPct, Qt::Key_Backspace);
  EXPECT_TRUE(wiz_->Button1->isEnabled());
  wiz_->Button1->click();
  EXPECT_FALSE(wiz_->Button1->isEnabled());
  wiz_->days60->click();
  EXPECT_TRUE(wiz_->Button1->isEnabled());
  EXPECT_EQ(wiz_->CustGrid->horizontalHeaderItem(2)->text(), "Over 20 Days");
  wiz_->Button1->click();
  EXPECT_EQ(wiz_->CustGrid->horizontalHeaderItem(2)->text(), "Over 45 Days");
  ASSERT_EQ(wiz_->CustGrid->rowCount(), 2);
  wiz_->FlatCB->click();
  EXPECT_TRUE(wiz_->Button1->isEnabled());
}

TEST_F(InterestWizTest, FlatRateBoxChecksItsText) {
  wiz_->FlatCB->click();
  ui_->messages.ExpectMessage(kNegativeFlatRate)
      .WithCaption(kFlatRateAmountCaption)
      .WithKind(MessageKind::kWarning);
  Type(wiz_->FlatRate, "-5");
  EXPECT_TRUE(wiz_->FlatRate->hasFocus());
  ui_->messages.ExpectMessage(kFlatRateNotNumeric)
      .WithCaption(kInvalidFlatRateCaption)
      .WithKind(MessageKind::kWarning);
  Type(wiz_->FlatRate, "1.2.3");
  EXPECT_TRUE(wiz_->FlatRate->hasFocus());
  // Letters do not reach the box.
  Type(wiz_->FlatRate, "ab");
  EXPECT_EQ(Text(wiz_->FlatRate), "");

  // A blank or zero flat rate is no fee: the scan says so and stays
  // possible.
  ui_->messages.ExpectMessage(kNoFlatRate)
      .WithCaption(kFlatRateFeeCaption)
      .WithKind(MessageKind::kInformation);
  wiz_->Button1->click();
  EXPECT_TRUE(wiz_->Button1->isEnabled());
  EXPECT_FALSE(wiz_->GenInv->isEnabled());
  EXPECT_TRUE(wiz_->FlatRate->hasFocus());

  Type(wiz_->FlatRate, "7.5");
  wiz_->Button1->click();
  ASSERT_EQ(wiz_->CustGrid->rowCount(), 3);
  EXPECT_EQ(Cell(0, 3), "7.50");
  EXPECT_EQ(Cell(2, 3), "15.00");
}

TEST_F(InterestWizTest, GenerateRefusesABadDateThenBillsTheGridAndCloses) {
  wiz_->Button1->click();
  // A later change of the rate is not billed: the grid of the scan is.
  wiz_->IPct->setText("9.000");
  wiz_->IDate->setText("02/30/2024");
  ui_->messages.ExpectMessage(kInvalidInvoiceDate)
      .WithCaption(kInvoiceDateCaption)
      .WithKind(MessageKind::kWarning);
  wiz_->GenInv->click();
  EXPECT_TRUE(wiz_->IDate->hasFocus());
  EXPECT_TRUE(InterestInvoices().empty());
  EXPECT_TRUE(wiz_->isVisible());

  wiz_->IDate->setText("06/14/2024");
  wiz_->GenInv->click();
  EXPECT_FALSE(wiz_->isVisible());
  ASSERT_TRUE(wiz_->run());
  EXPECT_EQ(wiz_->run()->created, 2);
  EXPECT_EQ(wiz_->CustGrid->columnCount(), 5);
  EXPECT_EQ(Cell(0, 4), "1005I");
  EXPECT_EQ(Cell(1, 4), "1006I");
  EXPECT_EQ(Under("1006I").at(0).GrandTotal.Get(), "1.52");
  EXPECT_EQ(StoredCompany().InterestPercent.Get(), "1.50");
  ExpectBooksAgree("after the wizard");
}

TEST_F(InterestWizTest, TheCommandAsksForTheReportAfterTheRun) {
  wiz_.reset();
  std::string status;
  app_->status_sink = [&](const std::string& text) { status = text; };
  ui_->windows.ExpectWindow(kInterestWizName, [&] {
    TInterestWiz* w = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<TInterestWiz*>(widget)) w = found;
    }
    if (w == nullptr) return kModalCancel;
    w->Button1->click();
    w->GenInv->click();
    return w->result();
  });
  ui_->messages.ExpectMessage(
      "2 invoices were created. Would you like to send a report to the "
      "printer?",
      Answer::kYes);
  RunInterestWizard(*app_, nullptr);
  ASSERT_EQ(ui_->printer.jobs().size(), 1u);
  EXPECT_EQ(ui_->printer.jobs()[0]->title, kInterestJobTitle);
  EXPECT_EQ(status,
            "Interest Report sent to print queue. Sent to printer: Recording "
            "printer");

  // Cancel writes nothing and asks nothing.
  ui_->windows.ExpectWindow(kInterestWizName, kModalCancel);
  RunInterestWizard(*app_, nullptr);
  EXPECT_EQ(InterestInvoices().size(), 2u);
}

}  // namespace
}  // namespace tallybook::receivables::ui
