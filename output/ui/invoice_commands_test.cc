#include "output/ui/invoice_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QTest>

#include "company/ui/ui_test_support.h"
#include "mail/mail_settings.h"
#include "output/invoice_print.h"
#include "output/output_test_support.h"
#include "output/ui/inv_batch.h"
#include "output/ui/invoice_view.h"
#include "output/ui/mail_settings_dialog.h"
#include "output/ui/pdf_maker.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/text_codec.h"
#include "platform/testing/pdf_text.h"

namespace tallybook::output::ui {
namespace {

using platform::kModalOk;

// The one open window of type W, or nullptr.
template <class W>
W* OpenWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<W*>(w)) return found;
  }
  return nullptr;
}

class InvoiceWindowsTest : public testing::InvoiceCompany {};

TEST_F(InvoiceWindowsTest, ViewShowsTheLineItemInvoice) {
  AddStandardInvoice();
  bool shown = false;
  ui_->windows.ExpectWindow("Trtedit", [&] {
    Trtedit* w = OpenWindow<Trtedit>();
    EXPECT_NE(w, nullptr);
    if (w == nullptr) return kModalOk;
    shown = true;
    EXPECT_EQ(w->windowTitle(), "View Invoice# 1001");
    EXPECT_EQ(w->TitleLabel->text(), "Product Code Invoice");
    EXPECT_FALSE(w->LineList->isHidden());
    EXPECT_TRUE(w->MemoText->isHidden());
    EXPECT_EQ(w->LineList->headerItem()->text(0), "LN");
    EXPECT_EQ(w->LineList->headerItem()->text(4), "Unit Cost");
    EXPECT_EQ(w->LineList->topLevelItemCount(), 2);
    if (w->LineList->topLevelItemCount() != 2) return kModalOk;
    const QTreeWidgetItem* first = w->LineList->topLevelItem(0);
    EXPECT_EQ(first->text(0), "01");
    EXPECT_EQ(first->text(1), "WID-1");
    EXPECT_EQ(first->text(2), "1.5");
    EXPECT_EQ(first->text(4), "1,234");
    EXPECT_EQ(first->text(6), "1,851.00");
    EXPECT_EQ(w->LineList->topLevelItem(1)->text(4), "2.125");
    EXPECT_TRUE(w->NamePanel->text().startsWith("Joe's Hardware\nPO Box 9"));
    EXPECT_TRUE(w->InfoPanel->text().contains("Reference: PO 77"));
    EXPECT_TRUE(w->TotalsPanel->text().contains("Paid Amount: 0.00"));
    EXPECT_TRUE(w->TotalsPanel->text().contains("Tax: 4.00"));
    // Any key closes the window.
    w->show();
    QTest::keyClick(w->LineList, Qt::Key_A);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    return kModalOk;
  });
  ViewInvoice(*app_, "1001");
  EXPECT_TRUE(shown);
}

TEST_F(InvoiceWindowsTest, ViewShowsDepositAndMemoTexts) {
  AddInvoice("DEP", "D", "D", "0.00", "0.00", "75.00");
  ui_->windows.ExpectWindow("Trtedit", [&] {
    Trtedit* w = OpenWindow<Trtedit>();
    EXPECT_EQ(w->TitleLabel->text(), "Memo Invoice");
    EXPECT_EQ(w->MemoText->toPlainText(), "Deposit on Account");
    EXPECT_EQ(w->NoteLabel->text(),
              "DEPOSIT ON ACCOUNT OF 75.00. (A zero amount indicates deposit "
              "has been offset).");
    return kModalOk;
  });
  ViewInvoice(*app_, "DEP");

  AddInvoice("M5", "M", "G", "10.00", "0.00");
  ui_->messages.ExpectMessage("Error reading memo data.");
  ui_->windows.ExpectWindow("Trtedit", [&] {
    Trtedit* w = OpenWindow<Trtedit>();
    EXPECT_EQ(w->NoteLabel->text(), "** GENERATED BILLING **");
    EXPECT_EQ(w->MemoText->toPlainText(), QString(24, '\n'));
    return kModalOk;
  });
  ViewInvoice(*app_, "M5");
}

TEST_F(InvoiceWindowsTest, BatchDialogNumberCanBeLowered) {
  AddStandardInvoice("1001");
  AddStandardInvoice("1002");
  AddStandardInvoice("1003");
  ui_->windows.ExpectWindow("TInvBatch", [&] {
    TInvBatch* w = OpenWindow<TInvBatch>();
    EXPECT_EQ(w->windowTitle(), "Batch Print Invoices");
    EXPECT_EQ(w->CountLabel->text(), "There are 3 invoice(s) to print.");
    EXPECT_EQ(w->OKButton->text(), "&Print");
    EXPECT_EQ(w->BatchNum->text(), "3");
    // Letters do not get into the number field.
    QTest::keyClicks(w->BatchNum, "x");
    EXPECT_EQ(w->BatchNum->text(), "3");
    w->BatchNum->setText("2");
    return kModalOk;
  });
  EXPECT_EQ(BatchPrintInvoices(*app_),
            "Batch Print complete. 2 invoices sent to spooler.");
  EXPECT_EQ(ui_->printer.jobs().size(), 2u);

  ui_->windows.ExpectWindow("TInvBatch", platform::kModalCancel);
  EXPECT_EQ(BatchPrintInvoices(*app_), "");
  EXPECT_EQ(ui_->printer.jobs().size(), 2u);
}

TEST_F(InvoiceWindowsTest, RealPdfHoldsTheInvoiceNumberAndTotal) {
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  AddStandardInvoice();
  InvoiceImage image;
  ASSERT_EQ(BuildInvoiceImage(*app_, "1001", &image), ImageRead::kOk);
  std::string pdf, error;
  ASSERT_TRUE(RenderPdf(
      "Invoice - 1001",
      [&](platform::Canvas& canvas) {
        DrawInvoice(canvas, app_->CurrentCompany, image, PrintMode::kInvoice,
                    dir_);
      },
      &pdf, &error))
      << error;
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  const std::string file = dir_ + "/invoice.pdf";
  platform::testing::WriteFileBytes(file, pdf);
  const std::string text = platform::testing::PdfText(file);
  EXPECT_NE(text.find("Number: 1001"), std::string::npos) << text;
  EXPECT_NE(text.find("Grand Total:"), std::string::npos) << text;
  EXPECT_NE(text.find("1,855.25"), std::string::npos) << text;
}

TEST_F(InvoiceWindowsTest, PrintWithoutPrinterSaysWhichPdfWasWritten) {
  AddStandardInvoice();
  const std::string folder = dir_ + "/printouts";
  platform::qt::QtPrinter printer(folder);
  printer.SetAlwaysPdf(true);
  platform::Services services = ui_->services();
  platform::Services with_pdf{services.messages, services.progress,
                              services.gauge,    services.windows,
                              services.dialogs,  printer,
                              services.help,     services.desktop,
                              services.clock};
  company::App app(dir_, with_pdf);
  ASSERT_TRUE(app.engine().StoreStartup(0, company::kPageBuffers));
  app.CurrentCompany = app_->CurrentCompany;
  app.TodayText = app_->TodayText;
  const std::string pdf = folder + "/Invoice - 1001.pdf";
  EXPECT_EQ(PrintInvoice(app, "1001"),
            "Invoice 1001 sent to print queue. Saved as PDF: " + pdf);
  EXPECT_GT(std::filesystem::file_size(pdf), 0u);
  app.engine().StoreShutdown();
  EXPECT_EQ(Transaction(1).PrintedFlag.Get(), "Y");
}

TEST_F(InvoiceWindowsTest, MailSettingsDialogWritesThePrivateFile) {
  InvoiceOutputSupport support(*app_);
  ASSERT_TRUE(app_->edit_mail_settings);
  ASSERT_NE(app_->mail_transport, nullptr);
  ui_->windows.ExpectWindow("TMailSettings", [&] {
    TMailSettings* w = OpenWindow<TMailSettings>();
    EXPECT_EQ(w->windowTitle(), "Mail Server Login");
    EXPECT_TRUE(w->AttachPdf->isChecked());
    EXPECT_EQ(w->Password->echoMode(), QLineEdit::Password);
    w->UserName->setText(" joe ");
    w->Password->setText("s3cret");
    w->AttachPdf->setChecked(false);
    EXPECT_FALSE(w->AllowUnencrypted->isChecked());
    EXPECT_EQ(w->AllowUnencrypted->text(), "Allow unencrypted connection");
    w->AllowUnencrypted->setChecked(true);
    w->OKButtonClick();
    EXPECT_EQ(w->result(), QDialog::Accepted);
    return kModalOk;
  });
  app_->edit_mail_settings();
  const std::string path = app_->PathOf(mail::kMailSettingsFileName);
  mail::MailSettings read;
  ASSERT_EQ(mail::ReadMailSettings(path, &read), mail::SettingsRead::kOk);
  EXPECT_EQ(read, (mail::MailSettings{"joe", "s3cret", "", false, true}));
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(InvoiceWindowsTest, DamagedMailSettingsAreReportedNotLost) {
  const std::string path = app_->PathOf(mail::kMailSettingsFileName);
  platform::testing::WriteFileBytes(path, "nonsense\n");
  TMailSettings dialog(*app_);
  ui_->messages.ExpectMessage("The mail settings file " + path +
                              " is damaged (line 1).");
  ui_->windows.ExpectWindow("TMailSettings", platform::kModalCancel);
  dialog.Execute();
  EXPECT_EQ(platform::testing::ReadFileBytes(path), "nonsense\n");
}

}  // namespace
}  // namespace tallybook::output::ui
