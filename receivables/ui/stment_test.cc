#include "receivables/ui/stment.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "billing/ui/customer_manager_window.h"
#include "company/ui/ui_test_support.h"
#include "receivables/statement_output.h"
#include "receivables/statement_test_support.h"
#include "receivables/ui/batch_st_win.h"
#include "receivables/ui/sel_stmnt.h"
#include "receivables/ui/statement_commands.h"

namespace tallybook::receivables::ui {
namespace {

using platform::kModalCancel;
using platform::kModalOk;

// The window a command has open (it has no parent, so it is top level).
template <class W>
W* OpenWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<W*>(widget)) return window;
  }
  ADD_FAILURE() << "no window open";
  return nullptr;
}

std::string Cell(QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item == nullptr ? std::string() : item->text().toStdString();
}

class StatementWindowTest : public testing::StatementCompany {
 protected:
  void SetUp() override {
    StatementCompany::SetUp();
    if (HasFatalFailure()) return;
    AddTx("R100", "R", "2024/01/10", "20.00", "0.00", "20.00");
    AddTx("1002", "I", "2024/05/02", "1234.00", "0.00", "1234.00");
    AddTx("1001", "I", "2024/05/02", "50.00", "50.00", "0.00");
  }
};

TEST_F(StatementWindowTest, ShowsTheStatementTogglesUnpaidAndPrints) {
  ui_->windows.ExpectWindow(kStmentName, [&] {
    TStment* w = OpenWindow<TStment>();
    if (w == nullptr) return kModalCancel;
    EXPECT_EQ(w->windowTitle().toStdString(), "Customer Statement");
    EXPECT_EQ(w->PrintButton->text().toStdString(), "&Print");
    EXPECT_FALSE(w->CheckBox1->isChecked());
    EXPECT_EQ(w->Label1->text().toStdString(), "Joe's Hardware");
    EXPECT_EQ(w->Label2->text().toStdString(), "PO Box 9");
    EXPECT_EQ(w->CNoLabel->text().toStdString(), "C1");
    EXPECT_EQ(w->EMailLabel->text().toStdString(), "joe@customer.example");
    EXPECT_EQ(w->AgingLabel[0]->text().toStdString(), "1,234.50");
    QTableWidget* grid = w->StringGrid1;
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text().toStdString(),
              "Reference/Comment");
    EXPECT_EQ(grid->rowCount(), 4);
    if (grid->rowCount() != 4) return kModalCancel;
    EXPECT_EQ(Cell(grid, 0, 2), "Repeat Master");
    EXPECT_EQ(Cell(grid, 1, 1), "1001");
    EXPECT_EQ(Cell(grid, 2, 3), "1,234.00");
    EXPECT_EQ(Cell(grid, 3, 2), "*** Account Totals:");
    EXPECT_EQ(Cell(grid, 3, 5), "1,254.00");
    EXPECT_EQ(w->StatusBar1->text().toStdString(),
              "There are 3 records selected.");
    // Every column is at least as wide as its widest text.
    const QFontMetrics metrics(grid->font());
    EXPECT_GE(grid->columnWidth(3),
              metrics.horizontalAdvance(QString("Total Amount")));

    w->CheckBox1->click();
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(Cell(grid, 0, 1), "1002");
    EXPECT_EQ(w->StatusBar1->text().toStdString(),
              "There are 1 records selected.");

    w->PrintButton->click();
    EXPECT_EQ(w->StatusBar1->text().toStdString(),
              "Statement for Joe's Hardware sent to print queue. Sent to "
              "printer: Recording printer");
    // F1 is the window's help, as its Help button.
    w->show();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->StringGrid1, Qt::Key_F1);
    return kModalCancel;
  });
  ViewStatement(*app_, "C1");
  ASSERT_EQ(ui_->printer.jobs().size(), 1u);
  const auto& job = ui_->printer.last_job();
  EXPECT_EQ(job.title, "Statement");
  // Printed as shown: unpaid only.
  EXPECT_EQ(job.FindText("1001"), nullptr);
  EXPECT_NE(job.FindText("1002"), nullptr);
  EXPECT_EQ(ui_->help.topics(), std::vector<std::string>{"ViewStatement"});
}

TEST_F(StatementWindowTest, EmailModeCaptionAndNoActivityMessage) {
  app_->output_mode = company::OutputMode::kEMail;
  ui_->windows.ExpectWindow(kStmentName, [&] {
    TStment* w = OpenWindow<TStment>();
    if (w == nullptr) return kModalCancel;
    EXPECT_EQ(w->windowTitle().toStdString(),
              "Customer Statement - (E-Mail Mode)");
    EXPECT_EQ(w->PrintButton->text().toStdString(), "&E-Mail");
    return kModalCancel;
  });
  ViewStatement(*app_, "C1");

  AddFullCustomer("C2", "Other Co", "");
  ui_->messages.ExpectMessage(kNoActivityText)
      .WithCaption("Customer: Other Co")
      .WithKind(platform::MessageKind::kInformation);
  ViewStatement(*app_, "C2");
  EXPECT_EQ(ui_->windows.opened().size(), 1u);
}

TEST_F(StatementWindowTest, BatchThroughTheSelectionAndSizeDialogs) {
  AddBalanceCustomer("A1", "Zeta Works", "zeta@example.com", "100.00",
                     "50.00");
  AddTx("9001", "I", "2024/04/01", "100.00", "0.00", "100.00", "", "A1");
  ui_->windows.ExpectWindow(kSelStmntName, [&] {
    TSelStmnt* d = OpenWindow<TSelStmnt>();
    if (d == nullptr) return kModalCancel;
    EXPECT_EQ(d->windowTitle().toStdString(), "Statement Selection");
    EXPECT_TRUE(d->AllBalances->isChecked());
    EXPECT_TRUE(d->UnpaidOnly->isChecked());
    EXPECT_EQ(d->ModeLabel->text().toStdString(), "Printer Mode");
    d->HelpBtn->click();
    d->Over30->setChecked(true);
    d->AllActivity->setChecked(true);
    return kModalOk;
  });
  ui_->windows.ExpectWindow(kBatchStWinName, [&] {
    TBatchStWin* d = OpenWindow<TBatchStWin>();
    if (d == nullptr) return kModalCancel;
    EXPECT_EQ(d->windowTitle().toStdString(), "Batch Print Statements");
    // Joe (period 3) and Zeta (period 2) are over 30 days.
    EXPECT_EQ(d->CountLabel->text().toStdString(),
              "There are 2 statements to be printed.");
    EXPECT_EQ(d->EMBNum->text().toStdString(), "2");
    EXPECT_EQ(d->PrintBtn->text().toStdString(), "&Print");
    d->EMBNum->clear();
    ui_->messages.ExpectMessage(kBatchNumberMissing)
        .WithCaption(kBatchNumberCaption)
        .WithKind(platform::MessageKind::kWarning);
    d->PrintBtn->click();
    EXPECT_EQ(d->result(), 0);
    QTest::keyClicks(d->EMBNum, "0");
    d->PrintBtn->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    // Batches of 0 become batches of 1: one pause.
    ui_->messages.ExpectMessage(BatchPauseQuestion(1, 1),
                                platform::Answer::kYes);
    return kModalOk;
  });
  const BatchOutcome outcome = BatchStatements(*app_);
  EXPECT_EQ(outcome.sent, 2);
  ASSERT_EQ(ui_->printer.jobs().size(), 2u);
  // All activity: Joe's paid invoice is there.
  EXPECT_NE(ui_->printer.jobs()[0]->FindText("1001"), nullptr);
  EXPECT_EQ(ui_->help.topics(), std::vector<std::string>{"GetStatement"});
  EXPECT_EQ(StoredCompany().LastBatchPrintDate.Get(), "06/15/2024");
}

TEST_F(StatementWindowTest, CustomerManagerRunsTheStatementCommands) {
  {
    billing::ui::TDemoForm form(*app_);
    EXPECT_FALSE(form.View2->isEnabled());
    EXPECT_FALSE(form.StmtPrin->isEnabled());
    EXPECT_FALSE(form.BatchPrinButn->isEnabled());
  }
  InstallStatementCommands(*app_);
  billing::ui::TDemoForm form(*app_);
  ASSERT_TRUE(form.FormShow());
  EXPECT_TRUE(form.View2->isEnabled());
  EXPECT_TRUE(form.Statement1->isEnabled());
  EXPECT_TRUE(form.BatchPrinButn->isEnabled());
  ui_->windows.ExpectWindow(kStmentName, [&] {
    TStment* w = OpenWindow<TStment>();
    if (w != nullptr) {
      EXPECT_EQ(w->CNoLabel->text().toStdString(), "C1");
    }
    return kModalCancel;
  });
  form.StmtPrin->click();
  EXPECT_EQ(form.Browser->CurrentRef(), 1);
  // The batch walks the manager's own open customer file.
  ui_->windows.ExpectWindow(kSelStmntName, kModalOk);
  ui_->messages.ExpectMessage(kNoStatementsText);
  form.BatchPrint1->trigger();
  app_->view_statement = nullptr;
  app_->batch_statements = nullptr;
}

}  // namespace
}  // namespace tallybook::receivables::ui
