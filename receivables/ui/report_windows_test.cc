#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "company/ui/ui_test_support.h"
#include "receivables/report_dates.h"
#include "receivables/report_output.h"
#include "receivables/report_test_support.h"
#include "receivables/ui/rpt_select.h"
#include "receivables/ui/rt_report.h"

namespace tallybook::receivables::ui {
namespace {

using platform::kModalCancel;

template <class W>
W* OpenWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<W*>(widget); window && window->isVisible()) {
      return window;
    }
  }
  for (QWidget* widget : QApplication::allWidgets()) {
    if (auto* window = qobject_cast<W*>(widget)) return window;
  }
  ADD_FAILURE() << "no window open";
  return nullptr;
}

std::string Shown(const QAbstractItemModel* model, int row, int column) {
  return model->data(model->index(row, column)).toString().toStdString();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class ReportWindowTest : public testing::ReportCompany {
 protected:
  // The viewer over the report of kind, shown as it opens.
  std::unique_ptr<Trtreport> Viewer(ReportKind kind) {
    Report report;
    EXPECT_EQ(BuildReport(*app_, Request(kind), &report).outcome,
              ReportOutcome::kOk);
    auto viewer = std::make_unique<Trtreport>(*app_, std::move(report));
    viewer->FormShow();
    return viewer;
  }
};

TEST_F(ReportWindowTest, WizardOpensOnMonthToDateAndChecksTheDates) {
  FileSmallCompany();
  TRptSelect wizard(*app_);
  ui_->messages.ExpectMessage(kToBeforeFrom)
      .WithCaption(kFromDateCaption)
      .WithKind(platform::MessageKind::kWarning);
  ui_->windows.ExpectWindow(kRptSelectName, [&] {
    EXPECT_EQ(wizard.windowTitle().toStdString(), "Report Wizard");
    EXPECT_EQ(wizard.ListBox1->count(), 7);
    EXPECT_EQ(wizard.ListBox1->currentRow(), 0);
    EXPECT_EQ(wizard.RType->text().toStdString(),
              ReportOf(ReportKind::kInvoiceRegister).description);
    EXPECT_EQ(wizard.DateLabel->text().toStdString(), "Date Selection:");
    EXPECT_EQ(wizard.ComboBox1->currentText().toStdString(), "Month to Date");
    EXPECT_EQ(wizard.IDate->text().toStdString(), "06/01/2024");
    EXPECT_EQ(wizard.EndDt->text().toStdString(), "06/15/2024");

    wizard.ListBox1->setCurrentRow(2);
    EXPECT_EQ(wizard.FromLabel->text().toStdString(), "Searches all dates...");
    EXPECT_TRUE(wizard.IDate->isHidden());
    wizard.ListBox1->setCurrentRow(0);
    EXPECT_EQ(wizard.FromLabel->text().toStdString(), "From:");
    EXPECT_FALSE(wizard.IDate->isHidden());

    wizard.ComboBox1->setCurrentText("Previous Month");
    wizard.ComboBox1Change();
    EXPECT_EQ(wizard.IDate->text().toStdString(), "05/01/2024");
    EXPECT_EQ(wizard.EndDt->text().toStdString(), "05/31/2024");

    wizard.IDate->setText("06/15/2024");
    wizard.EndDt->setText("06/14/2024");
    wizard.Button1Click();  // refused: the warning above

    wizard.IDate->setText("06/01/2024");
    wizard.EndDt->setText("06/30/2024");
    ui_->windows.ExpectWindow(kRtReportName, [&] {
      Trtreport* viewer = OpenWindow<Trtreport>();
      if (viewer == nullptr) return kModalCancel;
      EXPECT_EQ(viewer->windowTitle().toStdString(), "Invoice Register");
      EXPECT_EQ(viewer->Heading3->text().toStdString(),
                "Selected records from 06/01/2024 to 06/30/2024");
      // Three invoices, each its own day: a sub-total each, the month's
      // total and the grand total.
      EXPECT_EQ(viewer->model()->rowCount(), 3 + 3 + 1 + 1);
      return kModalCancel;
    });
    wizard.Button1Click();
    return kModalCancel;
  });
  wizard.Execute();
}

TEST_F(ReportWindowTest, WizardTellsWhyThereIsNoReport) {
  TRptSelect wizard(*app_);
  ui_->messages.ExpectMessage(kNoMatchingRecords)
      .WithCaption("Invoice Register")
      .WithKind(platform::MessageKind::kInformation);
  ui_->messages.ExpectMessage(kReceivablesZero)
      .WithCaption("Account Receivable Report");
  ui_->windows.ExpectWindow(kRptSelectName, [&] {
    wizard.Button1Click();
    app_->CurrentCompany.ReceivablesBalance.Set("0.00");
    wizard.ListBox1->setCurrentRow(2);
    wizard.Button1Click();
    return kModalCancel;
  });
  wizard.Execute();
}

TEST_F(ReportWindowTest, ViewerSortsTogglesSubTotalsAndBeepsOnOtherColumns) {
  FileSmallCompany();
  std::unique_ptr<Trtreport> viewer = Viewer(ReportKind::kInvoiceRegister);
  const QAbstractItemModel* model = viewer->model();
  EXPECT_TRUE(viewer->stotals->isChecked());
  EXPECT_EQ(Shown(model, 0, 1), "1001");
  EXPECT_EQ(Shown(model, 0, 6), "108.00");
  EXPECT_EQ(Shown(model, 1, 3), "** Totals");
  EXPECT_EQ(model->headerData(4, Qt::Horizontal).toString().toStdString(),
            "Net Amount");

  viewer->SortCol->setCurrentText("9");
  viewer->SortColChange();
  EXPECT_EQ(viewer->SortCol->currentText().toStdString(), "3");
  EXPECT_EQ(viewer->view().sort_column(), 2);
  EXPECT_EQ(Shown(model, 0, 2), "ACME");
  EXPECT_EQ(Shown(model, 2, 3), "** Totals");
  EXPECT_EQ(Shown(model, 2, 6), "183.00");

  viewer->RptGridDblClick(5);  // not sortable: nothing changes
  EXPECT_EQ(viewer->view().sort_column(), 2);
  viewer->RptGridDblClick(3);
  EXPECT_EQ(viewer->view().sort_column(), 3);

  viewer->stotals->setChecked(false);
  viewer->stotalsClick();
  EXPECT_EQ(viewer->view().sort_column(), 0);
  ASSERT_EQ(model->rowCount(), 4);
  EXPECT_EQ(Shown(model, 3, 3), "Grand Total");
  EXPECT_EQ(Shown(model, 3, 6), "183.00");
  EXPECT_TRUE(model->data(model->index(3, 0), Qt::UserRole).toBool());
  EXPECT_FALSE(model->data(model->index(2, 0), Qt::UserRole).toBool());
}

TEST_F(ReportWindowTest, ViewerPrintsSavesTextAndCsvAndChangesItsFont) {
  FileSmallCompany();
  Line("1001", "2024/06/01", Part("WID", "2", "Widget", "50.00", "100.00"));
  std::unique_ptr<Trtreport> viewer = Viewer(ReportKind::kSalesReport);
  viewer->PrintClick();
  const auto& job = ui_->printer.last_job();
  EXPECT_EQ(job.title, "Sales Report");
  EXPECT_NE(job.FindText("Report Complete. 1 records printed."), nullptr);
  EXPECT_EQ(viewer->StatusBar1->text().toStdString().rfind("Sent to printer", 0),
            0u);

  const std::string text_path = dir_ + "/sales.txt";
  ui_->dialogs.ExpectSaveFile(text_path);
  viewer->SaveClick();
  EXPECT_EQ(ReadFile(text_path), ReportText(viewer->view()));
  const std::string csv_path = dir_ + "/sales.csv";
  ui_->dialogs.ExpectSaveFile(csv_path);
  viewer->SaveCsvClick();
  EXPECT_EQ(ReadFile(csv_path), ReportCsv(viewer->view()));
  ui_->dialogs.ExpectSaveFile(std::nullopt);
  viewer->SaveClick();  // cancelled: nothing written, nothing said

  platform::Font courier;
  courier.name = "Courier New";
  courier.size_points = 12;
  ui_->dialogs.ExpectChooseFont(courier);
  viewer->FontsClick();
  EXPECT_EQ(viewer->RptGrid->font().pointSize(), 12);
  viewer->PrintClick();
  EXPECT_EQ(ui_->printer.last_job().calls.front().font.name, "Courier New");
}

TEST_F(ReportWindowTest, ViewerShowsAHundredThousandRows) {
  Report report;
  report.definition = &ReportOf(ReportKind::kInvoiceRegister);
  for (int i = 0; i < 100000; ++i) {
    report.rows.push_back({"2024/06/" + std::string(i % 2 ? "01" : "02"),
                           std::to_string(100000 + i), "ACME",
                           "C" + std::to_string(i % 97), "1.00", "0.00",
                           "1.00", "I"});
  }
  Trtreport viewer(*app_, std::move(report));
  viewer.FormShow();
  const QAbstractItemModel* model = viewer.model();
  ASSERT_EQ(model->rowCount(), 100000 + 2 + 1 + 1);
  EXPECT_EQ(Shown(model, model->rowCount() - 1, 3), "Grand Total");
  EXPECT_EQ(Shown(model, model->rowCount() - 1, 6), "100,000.00");
  viewer.SortCol->setCurrentText("4");
  viewer.SortColChange();
  EXPECT_EQ(model->rowCount(), 100000 + 97 + 1);
}

}  // namespace
}  // namespace tallybook::receivables::ui
