// The statement commands of the built tallybook-admin: statement (text and
// PDF) and email-statements over a real SMTP server on loopback.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/admin_test_util.h"
#include "mail/smtp_test_server.h"
#include "platform/testing/pdf_text.h"
#include "receivables/statement_test_support.h"

namespace tallybook::admin {
namespace {

namespace fs = std::filesystem;

using testing::BinaryRun;

// The statement commands write their notices to the error stream; most
// cases read standard output alone.
BinaryRun RunAdminBinary(const std::string& arguments, bool both = false) {
  return testing::RunAdminBinary(arguments, both);
}

// The bytes of the base64 text that follows `marker` in a mail message, up
// to the next blank line.
std::string DecodeBase64After(const std::string& mail, const std::string& marker) {
  size_t at = mail.find(marker);
  if (at == std::string::npos) return {};
  at = mail.find("\r\n\r\n", at);
  if (at == std::string::npos) return {};
  at += 4;
  const size_t end = mail.find("\r\n\r\n", at);
  const std::string text = mail.substr(at, end - at);
  static const std::string kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  int bits = 0;
  unsigned value = 0;
  for (char c : text) {
    const size_t index = kAlphabet.find(c);
    if (index == std::string::npos) continue;
    value = (value << 6) | static_cast<unsigned>(index);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<char>((value >> bits) & 0xFF));
    }
  }
  return bytes;
}

class AdminStatementTest : public receivables::testing::StatementCompany {
 protected:
  void AddAccounts() {
    AddTx("1002", "I", "2024/05/02", "1234.00", "0.00", "1234.00");
    AddTx("1001", "I", "2024/05/01", "50.00", "50.00", "0.00");
  }
};

TEST_F(AdminStatementTest, StatementPrintsTheEmailTextInEitherDetail) {
  AddAccounts();
  BinaryRun run = RunAdminBinary("statement " + dir_ + " C1");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(run.out.rfind("Acme Supply                          STATEMENT\n", 0),
            0u)
      << run.out;
  EXPECT_NE(run.out.find("\nAccount Number: C1\n"), std::string::npos);
  EXPECT_NE(run.out.find("\n2024/05/01 1001      Invoice                     "
                         "50.00       50.00        0.00 I\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("*** Account Totals:      1,284.00       50.00    "
                         "1,234.00"),
            std::string::npos)
      << run.out;
  run = RunAdminBinary("statement " + dir_ + " C1 --unpaid");
  ASSERT_EQ(run.code, 0);
  EXPECT_EQ(run.out.find(" 1001 "), std::string::npos);
  EXPECT_NE(run.out.find(" 1002 "), std::string::npos);
}

TEST_F(AdminStatementTest, StatementPdfHoldsTheCustomerAndTotals) {
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  AddAccounts();
  const std::string file = dir_ + "/joe.pdf";
  const BinaryRun run = RunAdminBinary("statement " + dir_ + " C1 --pdf " + file);
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(run.out, file + "\n");
  const std::string text = platform::testing::PdfText(file);
  for (const char* part : {"STATEMENT", "Joe's Hardware", "Account Number: C1",
                           "1,234.00", "*** Account Totals:", "1,284.00"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  }
}

TEST_F(AdminStatementTest, StatementRefusesUnknownCustomersAndNoActivity) {
  BinaryRun run = RunAdminBinary("statement " + dir_ + " NOPE", true);
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "tallybook-admin: customer NOPE was not found\n");
  run = RunAdminBinary("statement " + dir_ + " C1", true);
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "tallybook-admin: There is no activity for this customer.\n");
  run = RunAdminBinary("statement " + dir_ + " C1 --pdf", true);
  EXPECT_EQ(run.code, 1);
  run = RunAdminBinary("statement " + dir_ + "/nothing C1", true);
  EXPECT_EQ(run.code, 1);
  run = RunAdminBinary("email-statements " + dir_ + " --select 45", true);
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "tallybook-admin: --select takes all, 30, 60 or 90\n");
}

TEST_F(AdminStatementTest, EmailStatementsSendsEachWithItsPdfAndSetsTheDate) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  company::CompanyRecord co = app_->CurrentCompany;
  co.SmtpServer.Set(server.address());
  StoreCompany(co);
  AddBalanceCustomer("B2", "Alpha Shop", "alpha@example.com", "40.00");
  AddTx("9002", "I", "2024/02/01", "40.00", "0.00", "40.00", "Spring", "B2");
  const BinaryRun run = RunAdminBinary("email-statements " + dir_);
  ASSERT_EQ(run.code, 0) << run.out;
  const std::string date = StoredCompany().LastBatchPrintDate.Get();
  ASSERT_EQ(date.size(), 10u);
  EXPECT_EQ(run.out,
            "B2\talpha@example.com\t250 Message accepted for delivery\n"
            "1 of 1 statements sent. Last statements: " + date + ".\n");
  const std::vector<std::string> mail = server.Messages();
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_NE(mail[0].find("Subject: STATEMENT - Alpha Shop\r\n"),
            std::string::npos);
  if (!platform::testing::PdfToTextInstalled()) return;
  const std::string pdf =
      DecodeBase64After(mail[0], "filename=\"Statement.pdf\"");
  ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
  const fs::path file = fs::path(dir_) / "attached.pdf";
  std::ofstream(file, std::ios::binary) << pdf;
  const std::string text = platform::testing::PdfText(file);
  for (const char* part : {"Alpha Shop", "Spring", "40.00", "Account Number: B2"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  }
}

TEST_F(AdminStatementTest, RefusedStatementIsReportedAndLeavesTheDate) {
  mail::testing::SmtpTestServer server(temp_.path());
  server.Refuse("alpha@example.com");
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  company::CompanyRecord co = app_->CurrentCompany;
  co.SmtpServer.Set(server.address());
  StoreCompany(co);
  AddBalanceCustomer("B2", "Alpha Shop", "alpha@example.com", "40.00", "40.00");
  AddTx("9002", "I", "2024/02/01", "40.00", "0.00", "40.00", "", "B2");
  const BinaryRun run = RunAdminBinary("email-statements " + dir_ + " --select 30 --unpaid");
  EXPECT_EQ(run.code, 1);
  // Joe (period 3) went; Alpha was refused.
  EXPECT_NE(run.out.find("B2\talpha@example.com\tThe mail server 127.0.0.1 "
                         "refused the message: 550 No such user\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("C1\tjoe@customer.example\t250 "), std::string::npos);
  EXPECT_NE(run.out.find("\n1 of 2 statements sent.\n"), std::string::npos);
  EXPECT_EQ(StoredCompany().LastBatchPrintDate.Get(), " ");
  EXPECT_EQ(server.Messages().size(), 1u);
}

}  // namespace
}  // namespace tallybook::admin
