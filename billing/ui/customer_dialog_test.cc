#include "billing/ui/customer_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <set>

#include "billing/customer_product_test_support.h"
#include "company/terms.h"
#include "company/ui/ui_test_support.h"

namespace tallybook::billing::ui {
namespace {

using platform::Answer;

class CustomerDialogTest : public testing::CompanyFixture {
 protected:
  void SetUp() override {
    CompanyFixture::SetUp();
    ASSERT_TRUE(company::SaveTerms(
        *app_, company::TermList(company::DefaultTerms())));
    form_ = NewCustomerForm(*app_);
    dialog_ = std::make_unique<TEditDlg>(
        *app_, form_, [](CustomerForm&) { return CustomerField::kNone; });
    dialog_->show();
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  }
  void TearDown() override {
    dialog_.reset();
    CompanyFixture::TearDown();
  }

  CustomerForm form_;
  std::unique_ptr<TEditDlg> dialog_;
};

TEST_F(CustomerDialogTest, TabGoesDownTheBillingAddressBeforeTheShipping) {
  dialog_->CAddEdit[0]->setFocus();
  std::vector<QWidget*> visited;
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget());
  }
  EXPECT_EQ(visited, (std::vector<QWidget*>{
                         dialog_->CAddEdit[1], dialog_->CAddEdit[2],
                         dialog_->CAddEdit[3], dialog_->CShip[0],
                         dialog_->CShip[1]}));
  // The number leads to the name.
  dialog_->CNo->setFocus();
  QTest::keyClick(dialog_->CNo, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), dialog_->CName);
}

TEST_F(CustomerDialogTest, CaptionsShowNoAmpersandAndMnemonicsAreDistinct) {
  std::set<QChar> mnemonics;
  auto mnemonic = [&](const QString& text) {
    const int at = text.indexOf('&');
    if (at < 0 || at + 1 >= text.size()) return;
    EXPECT_TRUE(mnemonics.insert(text.at(at + 1).toLower()).second)
        << text.toStdString();
  };
  for (QLabel* label : dialog_->findChildren<QLabel*>()) {
    if (!label->text().contains('&')) continue;
    // A label shows its "&" unless it has a field to focus.
    EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
    mnemonic(label->text());
  }
  for (QAbstractButton* button : dialog_->findChildren<QAbstractButton*>()) {
    mnemonic(button->text());
  }
  // Alt+B goes to the first billing line.
  QTest::keyClick(dialog_.get(), Qt::Key_B, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), dialog_->CAddEdit[0]);
}

TEST_F(CustomerDialogTest, CreditLimitTakesAmountsAndEscapeAsksWhenChanged) {
  dialog_->CLimit->clear();
  QTest::keyClicks(dialog_->CLimit, "-1e2,500.555");
  EXPECT_EQ(dialog_->CLimit->text().toStdString(), "12,500.55");
  EXPECT_TRUE(dialog_->OKButton->isEnabled());
  dialog_->CLimit->setText(".");
  EXPECT_FALSE(dialog_->OKButton->isEnabled());
  dialog_->CLimit->setText("100");

  ui_->messages.ExpectMessage(platform::qt::kDiscardChangesQuestion, Answer::kNo);
  QTest::keyClick(dialog_->CName, Qt::Key_Escape);
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(ui_->messages.shown().back().default_answer, Answer::kNo);
  ui_->messages.ExpectMessage(platform::qt::kDiscardChangesQuestion, Answer::kYes);
  dialog_->CancelButton->click();
  EXPECT_FALSE(dialog_->isVisible());
}

TEST_F(CustomerDialogTest, UnchangedDialogClosesWithoutAQuestion) {
  QTest::keyClick(dialog_->CName, Qt::Key_Escape);
  EXPECT_FALSE(dialog_->isVisible());
}

}  // namespace
}  // namespace tallybook::billing::ui
