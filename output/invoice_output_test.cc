#include "output/invoice_output.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "mail/smtp_test_server.h"
#include "output/output_test_support.h"

namespace tallybook::output {
namespace {

using platform::Answer;

class InvoiceOutputTest : public testing::InvoiceCompany {
 protected:
  // The printed flag and e-mail note of record rec.
  std::pair<std::string, std::string> Marks(int32_t rec) {
    const company::TransactionRecord r = Transaction(rec);
    return {r.PrintedFlag.Get(), r.EMailNote.Get()};
  }
  std::vector<std::string> JobTitles() const {
    std::vector<std::string> titles;
    for (const auto& job : ui_->printer.jobs()) titles.push_back(job->title);
    return titles;
  }
};

TEST_F(InvoiceOutputTest, PrintedInvoiceIsMarkedOnlyWhenTheJobEnded) {
  const int32_t rec = AddInvoice("1001", "P", "I", "10.00", "0.00");
  const int32_t payment = AddInvoice("1001", "P", "X", "0.00", "0.00", "5.00");
  AddLine("1001", "A", "1", "Thing", "10", "N", "10.00");

  ui_->printer.FailJobsWith("The printer is out of paper.");
  ui_->messages.ExpectMessage("The printer is out of paper.")
      .WithCaption(kPrintErrorCaption);
  OutputResult result = OutputInvoiceNow(*app_, "1001", false);
  EXPECT_FALSE(result.done);
  EXPECT_EQ(result.status, "Invoice 1001 was not printed.");
  EXPECT_EQ(Marks(rec), std::make_pair(std::string("N"), std::string()));

  ui_->printer.FailJobsWith("");
  result = OutputInvoiceNow(*app_, "1001", false);
  EXPECT_TRUE(result.done);
  EXPECT_EQ(result.status,
            "Invoice 1001 sent to print queue. Sent to printer: Recording "
            "printer");
  EXPECT_EQ(Marks(rec), std::make_pair(std::string("Y"),
                                       std::string("06/15/2024")));
  // Only invoices, not payments, carry the mark.
  EXPECT_EQ(Marks(payment).first, "N");
}

TEST_F(InvoiceOutputTest, PackingSlipAndFileCopiesFollowTheInvoice) {
  company::CompanyRecord co = app_->CurrentCompany;
  co.PrintPackingSlip = 1;
  co.PrintFileCopy = 1;
  co.Copies.Set("2");
  StoreCompany(co);
  AddStandardInvoice();
  EXPECT_TRUE(OutputInvoiceNow(*app_, "1001", false).done);
  EXPECT_EQ(JobTitles(),
            (std::vector<std::string>{"Invoice - 1001", "Packing Slip - 1001",
                                      "File Copy - 1001", "File Copy - 1001"}));
}

TEST_F(InvoiceOutputTest, UnknownInvoiceIsReported) {
  ui_->messages.ExpectMessage("Invoice 999 was not found.")
      .WithCaption(kPrintErrorCaption);
  EXPECT_FALSE(OutputInvoiceNow(*app_, "999", false).done);
  EXPECT_TRUE(ui_->printer.jobs().empty());
}

TEST_F(InvoiceOutputTest, MissingMemoIsReportedAndPrintedEmpty) {
  const int32_t rec = AddInvoice("M1", "M", "I", "10.00", "0.00");
  ui_->messages.ExpectMessage("Error reading memo data.");
  EXPECT_TRUE(OutputInvoiceNow(*app_, "M1", false).done);
  EXPECT_EQ(Marks(rec).first, "Y");
}

TEST_F(InvoiceOutputTest, MissingCompanyFileStopsTheOutputAndIsNotCreated) {
  // Output used to create a missing line or customer file and print the
  // invoice without its lines or its address, reporting success.
  AddStandardInvoice("1001");
  for (const char* gone : {"1D", "1C"}) {
    std::filesystem::remove(app_->PathOf(std::string(gone) + ".DAT"));
    std::filesystem::remove(app_->PathOf(std::string(gone) + ".IX"));
    // The customer file is read first: its name is the one reported once
    // it is gone too. The store's own error number is kept.
    const std::string text = "The invoice files could not be read: " +
                             std::string(gone) + ".DAT (error 9903).";
    ui_->messages.ExpectMessage(text).WithCaption(kPrintErrorCaption);
    const OutputResult result = OutputInvoiceNow(*app_, "1001", false);
    EXPECT_FALSE(result.done);
    EXPECT_EQ(result.status, text);
    EXPECT_TRUE(ui_->printer.jobs().empty());
    EXPECT_FALSE(std::filesystem::exists(app_->PathOf("1D.DAT")));
    EXPECT_FALSE(std::filesystem::exists(app_->PathOf("1D.IX")));
    EXPECT_EQ(Marks(1).first, "N");
  }
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf("1C.DAT")));
}

TEST_F(InvoiceOutputTest, DepositIsShownInsteadOfPrinted) {
  AddInvoice("DEP1", "D", "D", "0.00", "0.00", "50.00");
  ui_->messages.ExpectMessage(kDepositText).WithCaption(kDepositCaption);
  int views = 0;
  EXPECT_EQ(PrintInvoiceCommand(*app_, "DEP1", [&] { ++views; }), "");
  EXPECT_EQ(views, 1);
  EXPECT_TRUE(ui_->printer.jobs().empty());
}

TEST_F(InvoiceOutputTest, BatchLoweredToTwoOutputsTheFirstTwo) {
  company::CompanyRecord co = app_->CurrentCompany;
  co.LabelOnBatchPrint.Set("Y");
  StoreCompany(co);
  const int32_t a = AddInvoice("B1", "P", "I", "1.00", "0.00");
  AddInvoice("OLD", "P", "I", "1.00", "0.00", "0.00", "Y");
  AddInvoice("B1", "P", "X", "0.00", "0.00", "1.00");
  const int32_t b = AddInvoice("B2", "M", "G", "1.00", "0.00");
  AddMemo("B2", {"Monthly service"});
  const int32_t c = AddInvoice("B3", "P", "Z", "1.00", "0.00");
  EXPECT_EQ(CollectUnprintedInvoices(*app_),
            (std::vector<std::string>{"B1", "B2", "B3"}));

  BatchDialogText shown;
  const std::string status =
      BatchPrintCommand(*app_, [&](const BatchDialogText& text) {
        shown = text;
        return std::optional<int>(2);
      });
  EXPECT_EQ(shown.count_line, "There are 3 invoice(s) to print.");
  EXPECT_EQ(shown.mode_line, "Packing Slips are turned off.");
  EXPECT_EQ(shown.detail_line, "File Copies are turned off.");
  EXPECT_EQ(shown.button, "&Print");
  EXPECT_EQ(shown.count, 3);
  EXPECT_EQ(status, "Batch Print complete. 2 invoices sent to spooler.");
  EXPECT_EQ(JobTitles(),
            (std::vector<std::string>{"Invoice - B1", "Invoice - B2"}));
  EXPECT_EQ(Marks(a).first, "Y");
  EXPECT_EQ(Marks(b).first, "Y");
  EXPECT_EQ(Marks(c).first, "N");
  ASSERT_EQ(app_->label_queue.size(), 2u);
  EXPECT_EQ(app_->label_queue[0].customer_no, "C1");
  EXPECT_EQ(app_->label_queue[0].name, "Joe's Hardware");
  EXPECT_EQ(app_->label_queue[0].mail_code, "ZONE1");
  EXPECT_EQ(app_->label_queue[0].customer_type, "Retail");
  EXPECT_FALSE(app_->busy());
}

TEST_F(InvoiceOutputTest, BatchWithNothingToPrintOrCancelled) {
  ui_->messages.ExpectMessage(kNoInvoicesText).WithCaption(kBatchPrintCaption);
  bool asked = false;
  EXPECT_EQ(BatchPrintCommand(*app_, [&](const BatchDialogText&) {
              asked = true;
              return std::optional<int>(1);
            }),
            "");
  EXPECT_FALSE(asked);
  AddStandardInvoice();
  EXPECT_EQ(BatchPrintCommand(*app_, [](const BatchDialogText&) {
              return std::optional<int>();
            }),
            "");
  // A number above the count prints the count.
  EXPECT_EQ(BatchPrintCommand(*app_, [](const BatchDialogText&) {
              return std::optional<int>(50);
            }),
            "Batch Print complete. 1 invoices sent to spooler.");
}

TEST_F(InvoiceOutputTest, EmailReadinessNeedsAddressAndServer) {
  app_->output_mode = company::OutputMode::kEMail;
  auto transport = mail::MakeCurlMailTransport(
      app_->PathOf(mail::kMailSettingsFileName));
  app_->mail_transport = transport.get();
  company::CompanyRecord co = app_->CurrentCompany;
  co.ReplyEMailAddress.Set("x");
  StoreCompany(co);
  ui_->messages.ExpectMessage(kNoReplyAddressText)
      .WithCaption(kNoReplyAddressCaption);
  EXPECT_FALSE(CheckEmailReadiness(*app_));
  co.ReplyEMailAddress.Set("billing@acme.example");
  co.SmtpServer.Set("");
  StoreCompany(co);
  ui_->messages.ExpectMessage(kNoServerText).WithCaption(kNoServerCaption);
  EXPECT_FALSE(CheckEmailReadiness(*app_));
}

class InvoiceEmailOutputTest
    : public testing::EmailOutputFixture<InvoiceOutputTest> {};

TEST_F(InvoiceEmailOutputTest, SentInvoiceReachesTheServerAndIsMarked) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  const int32_t rec = AddInvoice("1001", "P", "I", "1855.25", "4.00");
  AddLine("1001", "WID-1", "1.5", "Widget, large", "1234", "Y", "1851.00");
  ui_->messages.ExpectMessage(kInvoiceSentText).WithCaption(kEmailInvoiceCaption);
  EXPECT_EQ(PrintInvoiceCommand(*app_, "1001", nullptr),
            "Invoice 1001 sent by e-mail.");
  EXPECT_EQ(Marks(rec), std::make_pair(std::string("Y"),
                                       std::string("06/15/2024")));
  EXPECT_TRUE(ui_->printer.jobs().empty());
  EXPECT_EQ(pdf_titles_, std::vector<std::string>{"Invoice - 1001"});

  const std::vector<std::string> mail = server.Messages();
  ASSERT_EQ(mail.size(), 1u);
  const std::string& m = mail[0];
  EXPECT_NE(m.find("X-Envelope-From: billing@acme.example\r\n"
                   "X-Envelope-To: joe@customer.example\r\n"),
            std::string::npos);
  EXPECT_NE(m.find("\r\nSubject: INVOICE - 1001\r\n"), std::string::npos);
  EXPECT_NE(m.find("\r\nTo: <joe@customer.example>\r\n"), std::string::npos);
  EXPECT_NE(m.find("multipart/mixed"), std::string::npos);
  EXPECT_NE(m.find("\r\nNumber: 1001\r\nAccount Number: C1\r\n"),
            std::string::npos);
  EXPECT_NE(m.find("\r\nJoe's Hardware                        Deliver To:\r\n"),
            std::string::npos);
  EXPECT_NE(m.find("filename=\"Invoice - 1001.pdf\"\r\n\r\n"
                   "JVBERi0xLjQgZmFrZQ==\r\n"),
            std::string::npos);
}

TEST_F(InvoiceEmailOutputTest, AttachmentCanBeSwitchedOff) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  mail::MailSettings settings;
  settings.attach_pdf = false;
  ASSERT_TRUE(mail::WriteMailSettings(app_->PathOf(mail::kMailSettingsFileName),
                                      settings));
  AddStandardInvoice();
  ASSERT_TRUE(CheckEmailReadiness(*app_));
  EXPECT_TRUE(OutputInvoiceNow(*app_, "1001", false).done);
  ASSERT_EQ(server.Messages().size(), 1u);
  EXPECT_EQ(server.Messages()[0].find("multipart"), std::string::npos);
  EXPECT_TRUE(pdf_titles_.empty());
}

TEST_F(InvoiceEmailOutputTest, RefusedRecipientLeavesTheInvoiceUnmarked) {
  mail::testing::SmtpTestServer server(temp_.path());
  server.Refuse("joe@customer.example");
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  const int32_t rec = AddInvoice("1001", "P", "I", "10.00", "0.00");
  ui_->messages
      .ExpectMessage("Invoice 1001 was not sent.\nThe mail server 127.0.0.1 "
                     "refused the message: 550 No such user")
      .WithCaption(kMailErrorCaption);
  EXPECT_EQ(PrintInvoiceCommand(*app_, "1001", nullptr),
            "Invoice 1001 was not sent by e-mail.");
  EXPECT_EQ(Marks(rec).first, "N");
  EXPECT_TRUE(server.Messages().empty());
}

TEST_F(InvoiceEmailOutputTest, ServerThatIsNotThereIsNotOnline) {
  const int port = mail::testing::SmtpTestServer::FreePort();
  UseServer("127.0.0.1:" + std::to_string(port));
  const int32_t rec = AddInvoice("1001", "P", "I", "10.00", "0.00");
  ui_->messages
      .ExpectMessage("Not Online\nCannot reach the mail server 127.0.0.1: "
                     "Couldn't connect to server")
      .WithCaption(kEmailModeCaption);
  EXPECT_EQ(PrintInvoiceCommand(*app_, "1001", nullptr), "");
  EXPECT_EQ(ui_->progress.caption(), kEmailModeCaption);
  EXPECT_EQ(Marks(rec).first, "N");
}

TEST_F(InvoiceEmailOutputTest, CustomerWithoutAddressIsNotSent) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  AddFullCustomer("C2", "No Mail Inc", "");
  const int32_t rec = AddInvoice("2001", "P", "I", "10.00", "0.00", "0.00",
                                 "N", "C2");
  ui_->messages.ExpectMessage(kNoCustomerAddressText)
      .WithCaption(kEmailInvoiceCaption);
  EXPECT_EQ(PrintInvoiceCommand(*app_, "2001", nullptr),
            "Invoice 2001 was not sent by e-mail.");
  EXPECT_EQ(Marks(rec).first, "N");
  EXPECT_TRUE(server.Messages().empty());
}

// An invoice that went only to the company's own address was marked as if
// the customer had it.
TEST_F(InvoiceEmailOutputTest, BadAddressCopyToOwnAddressIsNotMarkedSent) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  company::CompanyRecord co = app_->CurrentCompany;
  co.EMailIncludeAll.Set("Y");
  StoreCompany(co);
  AddFullCustomer("C2", "No Mail Inc", "");
  const int32_t rec = AddInvoice("2001", "P", "I", "10.00", "0.00", "0.00",
                                 "N", "C2");
  ui_->messages
      .ExpectMessage(BadAddressText("2001", "billing@acme.example"))
      .WithCaption(kEmailInvoiceCaption);
  EXPECT_EQ(PrintInvoiceCommand(*app_, "2001", nullptr),
            "Invoice 2001 was not sent by e-mail.");
  EXPECT_EQ(Marks(rec).first, "N");
  const std::vector<std::string> mail = server.Messages();
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_NE(mail[0].find("X-Envelope-To: billing@acme.example\r\n"),
            std::string::npos);
  EXPECT_NE(mail[0].find("\r\nSubject: BAD CUSTOMER E-MAIL ADDRESS\r\n"),
            std::string::npos);
}

// A PDF that could not be made left the invoice without its attachment
// and nobody knew.
TEST_F(InvoiceEmailOutputTest, PdfThatCannotBeMadeIsToldAndTheTextStillGoes) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  app_->make_pdf = [](const std::string&,
                      const std::function<void(platform::Canvas&)>&,
                      std::string*, std::string* error) {
    *error = "no fonts";
    return false;
  };
  const int32_t rec = AddInvoice("1001", "P", "I", "10.00", "0.00");
  ui_->messages.ExpectMessage(PdfNotMadeText("1001", "no fonts"))
      .WithCaption(kEmailInvoiceCaption);
  ui_->messages.ExpectMessage(kInvoiceSentText).WithCaption(kEmailInvoiceCaption);
  EXPECT_EQ(PrintInvoiceCommand(*app_, "1001", nullptr),
            "Invoice 1001 sent by e-mail.");
  EXPECT_EQ(Marks(rec).first, "Y");
  ASSERT_EQ(server.Messages().size(), 1u);
  EXPECT_EQ(server.Messages()[0].find("multipart"), std::string::npos);
}

TEST_F(InvoiceEmailOutputTest, BatchEmailSendsPrintsNothingAndCloses) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  company::CompanyRecord co = app_->CurrentCompany;
  co.PrintPackingSlip = 1;
  StoreCompany(co);
  AddStandardInvoice("1001");
  AddStandardInvoice("1002");
  BatchDialogText shown;
  ui_->messages.ExpectMessage(kBatchEmailDone).WithCaption(kBatchEmailCaption);
  EXPECT_EQ(BatchPrintCommand(*app_,
                              [&](const BatchDialogText& text) {
                                shown = text;
                                return std::optional<int>(2);
                              }),
            "Batch Print complete. 2 invoices sent to e-mail.");
  EXPECT_EQ(shown.count_line, "There are 2 invoice(s) to e-mail.");
  EXPECT_EQ(shown.mode_line, "* E-Mail Mode *");
  EXPECT_EQ(shown.detail_line, "(No packing slips or copies.)");
  EXPECT_EQ(shown.button, "&E-Mail");
  EXPECT_EQ(server.Messages().size(), 2u);
  EXPECT_TRUE(ui_->printer.jobs().empty());
  EXPECT_FALSE(transport_->Connected());
}

}  // namespace
}  // namespace tallybook::output
