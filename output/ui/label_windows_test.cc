#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QTest>

#include "company/ui/ui_test_support.h"
#include "output/label_layout.h"
#include "output/label_test_support.h"
#include "output/output_test_support.h"
#include "output/ui/em_memo.h"
#include "output/ui/lblwiz.h"
#include "platform/qt/text_codec.h"

namespace tallybook::output::ui {
namespace {

using platform::kModalOk;
using platform::qt::ToQString;

using testing::Sheet;

class LabelWindowsTest : public testing::InvoiceCompany {
 protected:
  void SetUp() override {
    InvoiceCompany::SetUp();
    if (HasFatalFailure()) return;
    AddFullCustomer("C2", "Another Customer", "");
  }
  QStringList Column(const QTreeWidget* list, int column) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      out << list->topLevelItem(i)->text(column);
    }
    return out;
  }
};

TEST_F(LabelWindowsTest, WizardWaitsForALayoutThenFillsSortsAndPrints) {
  Tlblwiz w(*app_, [] { return false; });
  w.FormCreate();
  w.FormShow();
  EXPECT_FALSE(w.PrintButton->isEnabled());
  EXPECT_FALSE(w.LoadAllButton->isEnabled());
  EXPECT_EQ(w.StatusBar1->text(), kOpenLayoutStatus);
  EXPECT_EQ(w.AgingButton[3]->text(), "Over 70");
  EXPECT_EQ(w.StartLabel->text(), "1");

  const std::string sheet = dir_ + "/sheet.LBL";
  ASSERT_TRUE(WriteLabelLayout(sheet, Sheet(), nullptr));
  ui_->dialogs.ExpectOpenFile(sheet);
  w.OpenClick();
  EXPECT_TRUE(w.PrintButton->isEnabled());
  EXPECT_EQ(w.Columns->text(), "3");
  EXPECT_EQ(w.Description->text(), "Three across");
  EXPECT_EQ(w.FieldsLayout(), Sheet());
  EXPECT_EQ(w.StatusBar1->text(), kLabelsReadyStatus);

  w.LoadAllButton->click();
  EXPECT_EQ(Column(w.ListView1, 0), (QStringList{"C1", "C2"}));
  EXPECT_EQ(w.StatusBar1->text(), "2 records were added.");
  w.ListView1->header()->sectionClicked(1);  // by name
  EXPECT_EQ(Column(w.ListView1, 1),
            (QStringList{"Another Customer", "Joe's Hardware"}));

  w.ListView1->setCurrentItem(w.ListView1->topLevelItem(0));
  w.DeleteButton->click();
  EXPECT_EQ(Column(w.ListView1, 0), (QStringList{"C1"}));

  w.Copies->setText("3");
  w.PrintButton->click();
  EXPECT_EQ(w.StatusBar1->text(), "Complete. 3 label(s) sent to printer.");
  EXPECT_EQ(ui_->printer.last_job().title, kLabelJobTitle);
  EXPECT_FALSE(app_->label_queue_pending);

  // Shown again, the window keeps its layout and shows the queue as it is.
  app_->label_queue.push_back({"C2", "Another Customer", "", ""});
  ui_->windows.ExpectWindow(kLblwizName, [&] {
    EXPECT_EQ(w.ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(w.Columns->text(), "3");
    return kModalOk;
  });
  w.Execute();
}

TEST_F(LabelWindowsTest, MessageWindowChecksPutTheCursorInTheField) {
  TEMMemo w(*app_);
  bool queue_opened = false;
  app_->show_label_queue = [&] {
    queue_opened = true;
    app_->label_queue.push_back({"C1", "Joe's Hardware", "", ""});
  };
  w.FormShow();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_EQ(w.ReturnAddress->text(), "billing@acme.example");
  EXPECT_EQ(w.QueueLabel->text(), "Records in Queue: 0");

  ui_->messages.ExpectMessage(kNoSubjectText);
  w.EMailButton->click();
  EXPECT_EQ(w.focusWidget(), w.Subject);
  w.Subject->setText("Hello");
  w.ReturnAddress->setText("billing");
  ui_->messages.ExpectMessage(kBadReturnAddressText);
  w.EMailButton->click();
  EXPECT_EQ(w.focusWidget(), w.ReturnAddress);
  w.ReturnAddress->setText("billing@acme.example");
  w.Body->setPlainText("Text");
  ui_->messages.ExpectMessage(kEmptyQueueText);
  w.EMailButton->click();

  w.QueueButton->click();
  EXPECT_TRUE(queue_opened);
  EXPECT_EQ(w.QueueLabel->text(), "Records in Queue: 1");

  // Typed text that was not sent is not dropped without asking.
  ui_->messages.ExpectMessage(platform::qt::kDiscardChangesQuestion,
                              platform::Answer::kNo);
  w.CloseButton->click();
  EXPECT_TRUE(w.isVisible());
  app_->show_label_queue = nullptr;
}

}  // namespace
}  // namespace tallybook::output::ui
