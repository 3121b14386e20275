// The invoice commands of the built tallybook-admin: invoice-pdf and
// email-invoice over a small company.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/admin_test_util.h"
#include "mail/smtp_test_server.h"
#include "output/output_test_support.h"
#include "platform/testing/pdf_text.h"

namespace tallybook::admin {
namespace {

namespace fs = std::filesystem;

using testing::BinaryRun;
using testing::RunAdminBinary;

class AdminInvoiceTest : public output::testing::InvoiceCompany {
 protected:
  // The company sends through server, and invoice 1001 waits.
  void SendThrough(const mail::testing::SmtpTestServer& server) {
    company::CompanyRecord co = app_->CurrentCompany;
    co.SmtpServer.Set(server.address());
    StoreCompany(co);
    AddStandardInvoice("1001");
  }
};

TEST_F(AdminInvoiceTest, InvoicePdfHoldsNumberCustomerAndTotal) {
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  AddStandardInvoice("1001");
  AddStandardInvoice("1002");
  const fs::path out = fs::path(dir_) / "pdf";
  fs::create_directories(out);
  const BinaryRun run =
      RunAdminBinary("invoice-pdf " + dir_ + " 1001 1002 --out " + out.string());
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(run.out, (out / "1001.pdf").string() + "\n" +
                         (out / "1002.pdf").string() + "\n");
  const std::string text = platform::testing::PdfText(out / "1001.pdf");
  EXPECT_NE(text.find("Number: 1001"), std::string::npos) << text;
  EXPECT_NE(text.find("Joe's Hardware"), std::string::npos) << text;
  EXPECT_NE(text.find("1,855.25"), std::string::npos) << text;
  // An export marks nothing.
  EXPECT_EQ(Transaction(1).PrintedFlag.Get(), "N");
}

TEST_F(AdminInvoiceTest, InvoicePdfRefusesUnknownInvoicesAndFolders) {
  AddStandardInvoice("1001");
  BinaryRun run = RunAdminBinary("invoice-pdf " + dir_ + " 404 --out " + dir_);
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "tallybook-admin: invoice 404 was not found\n");
  EXPECT_FALSE(fs::exists(fs::path(dir_) / "404.pdf"));
  run = RunAdminBinary("invoice-pdf " + dir_ + " 1001 --out " + dir_ + "/missing");
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "tallybook-admin: " + dir_ + "/missing is not a folder\n");
  run = RunAdminBinary("invoice-pdf " + dir_ + "/nothing 1001");
  EXPECT_EQ(run.code, 1);
}

TEST_F(AdminInvoiceTest, InvoicePdfOfAMissingLineFileFailsAndCreatesNothing) {
  AddStandardInvoice("1001");
  fs::remove(fs::path(dir_) / "1D.DAT");
  fs::remove(fs::path(dir_) / "1D.IX");
  const BinaryRun run =
      RunAdminBinary("invoice-pdf " + dir_ + " 1001 --out " + dir_);
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out,
            "tallybook-admin: invoice 1001: The invoice files could not be "
            "read: 1D.DAT (error 9903).\n");
  EXPECT_FALSE(fs::exists(fs::path(dir_) / "1D.DAT"));
  EXPECT_FALSE(fs::exists(fs::path(dir_) / "1001.pdf"));
}

TEST_F(AdminInvoiceTest, InvoicePdfNeverWritesThroughALinkAtItsSideFile) {
  // NUMBER.pdf.part is a predictable name: a link planted there must not
  // make the command overwrite the link's target.
  AddStandardInvoice("1001");
  const fs::path victim = fs::path(dir_) / "victim";
  platform::testing::WriteFileBytes(victim, "not yours");
  fs::create_symlink(victim, fs::path(dir_) / "1001.pdf.part");
  const BinaryRun run =
      RunAdminBinary("invoice-pdf " + dir_ + " 1001 --out " + dir_);
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(platform::testing::ReadFileBytes(victim), "not yours");
  EXPECT_EQ(platform::testing::ReadFileBytes(fs::path(dir_) / "1001.pdf")
                .substr(0, 5),
            "%PDF-");
}

TEST_F(AdminInvoiceTest, EmailInvoiceReachesTheServerAndMarks) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  SendThrough(server);
  const BinaryRun run = RunAdminBinary("email-invoice " + dir_ + " 1001");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(run.out,
            "Invoice 1001 sent by e-mail.\n250 Message accepted for delivery\n");
  const std::vector<std::string> mail = server.Messages();
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_NE(mail[0].find("X-Envelope-To: joe@customer.example"),
            std::string::npos);
  EXPECT_NE(mail[0].find("Subject: INVOICE - 1001"), std::string::npos);
  EXPECT_NE(mail[0].find("Content-Type: application/pdf"), std::string::npos);
  EXPECT_EQ(Transaction(1).PrintedFlag.Get(), "Y");
}

TEST_F(AdminInvoiceTest, EmailInvoiceRefusedIsNotMarked) {
  mail::testing::SmtpTestServer server(temp_.path());
  server.Refuse("joe@customer.example");
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  SendThrough(server);
  const BinaryRun run = RunAdminBinary("email-invoice " + dir_ + " 1001");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("550 No such user"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Invoice 1001 was not sent by e-mail."),
            std::string::npos);
  EXPECT_EQ(Transaction(1).PrintedFlag.Get(), "N");
}

// email-invoice once sent deposits, which Print refuses.
TEST_F(AdminInvoiceTest, EmailInvoiceRefusesDepositsAndDepositsTaken) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  SendThrough(server);
  AddInvoice("DP1", "D", "D", "0.00", "0.00", "250.00");
  AddPaymentRecord("DP1", "T", "-250.00");
  const BinaryRun run = RunAdminBinary("email-invoice " + dir_ + " DP1");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("Invoice DP1 is a deposit. Deposits are not printed "
                         "or e-mailed."),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(server.Messages().empty());
}

}  // namespace
}  // namespace tallybook::admin
