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

TEST_F(InvoiceWindowsTest, ViewIsAPrintPreviewThatSavesTheSamePagesAsPdf) {
  AddStandardInvoice();
  const std::string pdf = dir_ + "/viewed.pdf";
  bool shown = false;
  ui_->windows.ExpectWindow("Trtedit", [&] {
    Trtedit* w = OpenWindow<Trtedit>();
    EXPECT_NE(w, nullptr);
    if (w == nullptr) return kModalOk;
    shown = true;
    EXPECT_EQ(w->windowTitle(), "View Invoice# 1001");
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    w->Preview->updatePreview();
    EXPECT_EQ(w->Preview->pageCount(), 1);
    EXPECT_EQ(w->PageLabel->text(), "Page 1 of 1");
    EXPECT_FALSE(w->NextPageBtn->isEnabled());
    // Kept beside the test program for a person to look at.
    EXPECT_TRUE(w->grab().save("view_invoice_preview.png"));
    for (QPushButton* b : {w->PrintBtn, w->PdfBtn, w->EmailBtn, w->CloseBtn}) {
      EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    }
    // Save as PDF writes the drawing the preview shows to the named file.
    ui_->dialogs.ExpectSaveFile(pdf);
    w->PdfBtn->click();
    EXPECT_EQ(w->StatusLabel->text().toStdString(),
              "Invoice 1001 saved as PDF: " + pdf);
    // A name the user cancels saves nothing.
    ui_->dialogs.ExpectSaveFile(std::nullopt);
    w->PdfBtn->click();
    EXPECT_EQ(w->StatusLabel->text(), "");
    QTest::keyClick(w, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(w->isVisible());
    return kModalOk;
  });
  ViewInvoice(*app_, "1001");
  EXPECT_TRUE(shown);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  ASSERT_EQ(ui_->desktop.saved_files().size(), 1u);
  EXPECT_EQ(ui_->desktop.saved_files()[0].path, pdf);
  if (platform::testing::PdfToTextInstalled()) {
    const std::string text = platform::testing::PdfText(pdf);
    EXPECT_NE(text.find("1001"), std::string::npos) << text;
    EXPECT_NE(text.find("Joe's Hardware"), std::string::npos) << text;
  }
  // Viewing marks nothing printed.
  EXPECT_NE(Transaction(1).PrintedFlag.Get(), "Y");
}

TEST_F(InvoiceWindowsTest, ViewOfAMemoWithoutItsTextSaysSoAndStillShows) {
  AddInvoice("M5", "M", "G", "10.00", "0.00");
  ui_->messages.ExpectMessage("Error reading memo data.");
  ui_->windows.ExpectWindow("Trtedit", [&] {
    Trtedit* w = OpenWindow<Trtedit>();
    if (w == nullptr) return kModalOk;
    w->Preview->updatePreview();
    EXPECT_GE(w->Preview->pageCount(), 1);
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
            "Invoice 1001 saved as PDF: " + pdf);
  ASSERT_EQ(ui_->desktop.saved_files().size(), 1u);
  EXPECT_EQ(ui_->desktop.saved_files()[0].text,
            "Invoice 1001 was saved as the PDF file " + pdf + ".");
  EXPECT_EQ(ui_->desktop.saved_files()[0].caption, "Saved as PDF");
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
