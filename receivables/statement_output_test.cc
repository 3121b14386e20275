#include "receivables/statement_output.h"

#include <gtest/gtest.h>

#include <cstring>

#include "mail/mail_transport.h"
#include "mail/smtp_test_server.h"
#include "output/invoice_output.h"
#include "receivables/statement_test_support.h"

namespace tallybook::receivables {
namespace {

using platform::Answer;
using platform::MessageKind;

class StatementBatchTest : public testing::StatementCompany {
 protected:
  // Three customers with balances, named so that the name order differs
  // from the number order, and one without a balance.
  void AddCustomers() {
    AddBalanceCustomer("A1", "Zeta Works", "zeta@example.com", "100.00",
                       "50.00");
    AddBalanceCustomer("B2", "Alpha Shop", "alpha@example.com", "40.00",
                       "0.00", "0.00", "40.00");
    AddBalanceCustomer("C3", "Mid Mart", "mid@example.com", "-5.00");
    AddBalanceCustomer("D4", "Paid Up Ltd", "paid@example.com", "0.00");
    AddTx("9001", "I", "2024/04/01", "100.00", "0.00", "100.00", "", "A1");
    AddTx("9002", "I", "2024/02/01", "40.00", "0.00", "40.00", "", "B2");
    AddTx("DP1", "D", "2024/05/01", "0.00", "5.00", "-5.00", "", "C3");
  }

  BatchOutcome Run(StatementSelection selection, int size,
                   BatchSizeText* shown = nullptr) {
    return BatchStatementsCommand(
        *app_, [=] { return std::optional(selection); },
        [=](const BatchSizeText& text) {
          if (shown != nullptr) *shown = text;
          return std::optional(size);
        });
  }

  static std::vector<std::string> Numbers(const BatchOutcome& outcome) {
    std::vector<std::string> numbers;
    for (const BatchLine& line : outcome.lines) {
      numbers.push_back(line.customer_no);
    }
    return numbers;
  }

  bool StoredCompanyIs(const company::CompanyRecord& expected) {
    const company::CompanyRecord now = StoredCompany();
    return std::memcmp(&now, &expected, sizeof now) == 0;
  }
};

TEST_F(StatementBatchTest, SelectionByBalanceAndStoredAgingInNameOrder) {
  AddCustomers();
  using S = BalanceSelection;
  using V = std::vector<std::string>;
  // Joe's Hardware (C1) has a balance of zero and 10.00 in period 3.
  EXPECT_EQ(*SelectStatementCustomers(*app_, S::kNonZero),
            (V{"B2", "C3", "A1"}));
  EXPECT_EQ(*SelectStatementCustomers(*app_, S::kOver30),
            (V{"B2", "C1", "A1"}));
  EXPECT_EQ(*SelectStatementCustomers(*app_, S::kOver60), (V{"B2", "C1"}));
  EXPECT_EQ(*SelectStatementCustomers(*app_, S::kOver90), (V{"B2"}));
}

TEST_F(StatementBatchTest, BatchSizeIsBetweenOneAndTheCount) {
  EXPECT_EQ(BoundBatchSize(0, 3), 1);
  EXPECT_EQ(BoundBatchSize(-4, 3), 1);
  EXPECT_EQ(BoundBatchSize(2, 3), 2);
  EXPECT_EQ(BoundBatchSize(9999, 3), 3);
}

TEST_F(StatementBatchTest, SizeZeroPausesAfterEveryStatementAndCompletes) {
  AddCustomers();
  const company::CompanyRecord before = StoredCompany();
  ui_->messages
      .ExpectMessage(BatchPauseQuestion(1, 2), Answer::kYes)
      .WithCaption(kBatchPauseCaption)
      .WithKind(MessageKind::kQuestion);
  ui_->messages.ExpectMessage(BatchPauseQuestion(1, 1), Answer::kYes);
  BatchSizeText shown;
  StatementSelection selection;
  selection.detail = StatementDetail::kAllActivity;
  const BatchOutcome outcome = Run(selection, 0, &shown);
  EXPECT_EQ(shown.count_line, "There are 3 statements to be printed.");
  EXPECT_EQ(shown.button, "&Print");
  EXPECT_EQ(shown.count, 3);
  EXPECT_EQ(BatchPauseQuestion(1, 2),
            "1 statements processed during this cycle. There are 2 "
            "statements remaining. Do you want to continue?");
  EXPECT_EQ(Numbers(outcome), (std::vector<std::string>{"B2", "C3", "A1"}));
  EXPECT_EQ(outcome.sent, 3);
  EXPECT_TRUE(outcome.date_written);
  ASSERT_EQ(ui_->printer.jobs().size(), 3u);
  EXPECT_NE(ui_->printer.jobs()[0]->FindText("Alpha Shop"), nullptr);
  EXPECT_EQ(outcome.status, "Batch Print complete. 3 statements sent to spooler.");
  EXPECT_EQ(statuses_.back(), outcome.status);
  EXPECT_NE(std::find(statuses_.begin(), statuses_.end(),
                      "Spooling statement 0 of 3 (batches of 1) ..."),
            statuses_.end());
  EXPECT_NE(std::find(statuses_.begin(), statuses_.end(), kBatchPausing),
            statuses_.end());
  EXPECT_EQ(ui_->progress.caption(), "Printer Mode");
  EXPECT_FALSE(ui_->progress.visible());
  // Completion writes today's date into the company, stored and shared.
  EXPECT_EQ(StoredCompany().LastBatchPrintDate.Get(), "06/15/2024");
  EXPECT_EQ(app_->CurrentCompany.LastBatchPrintDate.Get(), "06/15/2024");
  EXPECT_FALSE(StoredCompanyIs(before));
}

TEST_F(StatementBatchTest, SizeAboveTheCountSendsAllWithoutAPause) {
  AddCustomers();
  StatementSelection selection;
  selection.balance = BalanceSelection::kOver30;
  const BatchOutcome outcome = Run(selection, 50);
  // Joe (C1) is selected though he has no transactions: sent all the same.
  EXPECT_EQ(outcome.sent, 3);
  EXPECT_EQ(ui_->printer.jobs().size(), 3u);
  EXPECT_TRUE(outcome.date_written);
}

TEST_F(StatementBatchTest, PauseAnsweredNoLeavesTheCompanyRecordAlone) {
  AddCustomers();
  const company::CompanyRecord before = StoredCompany();
  ui_->messages.ExpectMessage(BatchPauseQuestion(2, 1), Answer::kNo);
  const BatchOutcome outcome = Run(StatementSelection{}, 2);
  EXPECT_EQ(outcome.sent, 2);
  EXPECT_FALSE(outcome.completed);
  EXPECT_FALSE(outcome.date_written);
  EXPECT_EQ(ui_->printer.jobs().size(), 2u);
  EXPECT_EQ(statuses_.back(), kBatchCanceled);
  EXPECT_FALSE(ui_->progress.visible());
  EXPECT_TRUE(StoredCompanyIs(before));
  EXPECT_EQ(app_->CurrentCompany.LastBatchPrintDate.Get(), " ");
  EXPECT_FALSE(app_->busy());
}

TEST_F(StatementBatchTest, CancelledDialogsDoNothing) {
  AddCustomers();
  const company::CompanyRecord before = StoredCompany();
  BatchOutcome outcome = BatchStatementsCommand(
      *app_, [] { return std::optional<StatementSelection>(); },
      [](const BatchSizeText&) { return std::optional(1); });
  EXPECT_EQ(outcome.selected, 0);
  outcome = BatchStatementsCommand(
      *app_, [] { return std::optional(StatementSelection{}); },
      [](const BatchSizeText&) { return std::optional<int>(); });
  EXPECT_EQ(outcome.selected, 3);
  EXPECT_TRUE(outcome.lines.empty());
  EXPECT_TRUE(ui_->printer.jobs().empty());
  EXPECT_TRUE(StoredCompanyIs(before));
}

TEST_F(StatementBatchTest, NoCustomerInTheChosenAgesIsSaid) {
  AddBalanceCustomer("A1", "Zeta Works", "zeta@example.com", "10.00", "10.00");
  ui_->messages.ExpectMessage(kNoStatementsText)
      .WithCaption(kNoStatementsCaption)
      .WithKind(MessageKind::kInformation);
  StatementSelection over90;
  over90.balance = BalanceSelection::kOver90;
  bool asked_size = false;
  const BatchOutcome outcome = BatchStatementsCommand(
      *app_, [&] { return std::optional(over90); },
      [&](const BatchSizeText&) {
        asked_size = true;
        return std::optional(1);
      });
  EXPECT_EQ(outcome.selected, 0);
  EXPECT_FALSE(asked_size);
  EXPECT_TRUE(ui_->printer.jobs().empty());
}

TEST_F(StatementBatchTest, FailedPrintJobStopsTheRunAndWritesNothing) {
  AddCustomers();
  const company::CompanyRecord before = StoredCompany();
  ui_->printer.FailJobsWith("The printer is out of paper.");
  ui_->messages.ExpectMessage("The printer is out of paper.")
      .WithCaption(kStatementPrintErrorCaption)
      .WithKind(MessageKind::kError);
  const BatchOutcome outcome = Run(StatementSelection{}, 3);
  EXPECT_EQ(outcome.lines.size(), 1u);
  EXPECT_EQ(outcome.sent, 0);
  EXPECT_EQ(outcome.status, "Batch job stopped. 0 of 3 statements sent to spooler.");
  EXPECT_TRUE(StoredCompanyIs(before));
}

class StatementEmailTest
    : public output::testing::EmailOutputFixture<StatementBatchTest> {};

TEST_F(StatementEmailTest, WindowButtonSendsOneStatementWithItsPdf) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  AddTx("1001", "I", "2024/05/02", "50.00", "0.00", "50.00");
  Statement st;
  ASSERT_EQ(BuildStatement(*app_, "C1", StatementDetail::kAllActivity, &st),
            StatementRead::kOk);
  ui_->messages.ExpectMessage(kStatementSentText)
      .WithCaption(kEmailStatementCaption);
  EXPECT_EQ(PrintStatementCommand(*app_, st),
            "Statement for Joe's Hardware sent by e-mail.");
  EXPECT_EQ(pdf_titles_, std::vector<std::string>{"Statement"});
  const std::vector<std::string> mail = server.Messages();
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_NE(mail[0].find("X-Envelope-To: joe@customer.example\r\n"),
            std::string::npos);
  EXPECT_NE(mail[0].find("\r\nSubject: STATEMENT - Joe's Hardware\r\n"),
            std::string::npos);
  EXPECT_NE(mail[0].find("\r\nStatement Date: 06/15/2024\r\nAccount Number: "
                         "C1\r\n"),
            std::string::npos);
  EXPECT_NE(mail[0].find("filename=\"Statement.pdf\""), std::string::npos);
  EXPECT_TRUE(ui_->printer.jobs().empty());
}

TEST_F(StatementEmailTest, WindowButtonNeedsTheCompanyAddress) {
  company::CompanyRecord co = app_->CurrentCompany;
  co.ReplyEMailAddress.Set("");
  StoreCompany(co);
  AddTx("1001", "I", "2024/05/02", "50.00", "0.00", "50.00");
  Statement st;
  ASSERT_EQ(BuildStatement(*app_, "C1", StatementDetail::kAllActivity, &st),
            StatementRead::kOk);
  ui_->messages.ExpectMessage(output::kNoReplyAddressText)
      .WithCaption(output::kNoReplyAddressCaption);
  EXPECT_EQ(PrintStatementCommand(*app_, st), "");
}

TEST_F(StatementEmailTest, BatchSendsBadAddressToTheCompanyAndCountsRefusals) {
  mail::testing::SmtpTestServer server(temp_.path());
  server.Refuse("zeta@example.com");
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  AddCustomers();
  // Mid Mart has no usable address.
  AddBalanceCustomer("C3X", "Mid Mart Two", "", "7.00");
  const company::CompanyRecord before = StoredCompany();
  ui_->messages
      .ExpectMessage("Statement for Zeta Works was not sent.\nThe mail server "
                     "127.0.0.1 refused the message: 550 No such user")
      .WithCaption(kStatementMailErrorCaption);
  BatchSizeText shown;
  const BatchOutcome outcome = Run(StatementSelection{}, 4, &shown);
  EXPECT_EQ(shown.count_line, "There are 4 statements to be e-mailed.");
  EXPECT_EQ(shown.button, "&E-Mail");
  ASSERT_EQ(outcome.lines.size(), 4u);
  EXPECT_EQ(outcome.sent, 3);
  EXPECT_TRUE(outcome.completed);
  EXPECT_FALSE(outcome.date_written);
  EXPECT_EQ(outcome.status,
            "Batch complete. 3 of 4 statements sent by e-mail.");
  const BatchLine& refused = outcome.lines[3];
  EXPECT_EQ(refused.customer_no, "A1");
  EXPECT_FALSE(refused.sent);
  EXPECT_NE(refused.answer.find("550 No such user"), std::string::npos);
  EXPECT_EQ(outcome.lines[0].answer, "250 Message accepted for delivery");
  EXPECT_TRUE(StoredCompanyIs(before));

  const std::vector<std::string> mail = server.Messages();
  ASSERT_EQ(mail.size(), 3u);
  EXPECT_NE(mail[1].find("X-Envelope-To: mid@example.com"), std::string::npos);
  EXPECT_NE(mail[2].find("X-Envelope-To: billing@acme.example\r\n"),
            std::string::npos);
  EXPECT_NE(mail[2].find("Subject: BAD CUSTOMER E-MAIL: STATEMENT - Mid Mart "
                         "Two\r\n"),
            std::string::npos);
  EXPECT_FALSE(transport_->Connected());
}

TEST_F(StatementEmailTest, BatchThatAllWentSaysSoAndWritesTheDate) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  AddCustomers();
  ui_->messages.ExpectMessage(output::kBatchEmailDone)
      .WithCaption(output::kBatchEmailCaption);
  const BatchOutcome outcome = Run(StatementSelection{}, 3);
  EXPECT_EQ(outcome.status, "Batch complete. 3 statements sent by e-mail.");
  EXPECT_TRUE(outcome.date_written);
  EXPECT_EQ(server.Messages().size(), 3u);
  EXPECT_EQ(ui_->progress.caption(), "E-Mail Mode");
  EXPECT_EQ(StoredCompany().LastBatchPrintDate.Get(), "06/15/2024");
}

TEST_F(StatementEmailTest, ServerThatIsNotThereSendsNothing) {
  const int port = mail::testing::SmtpTestServer::FreePort();
  UseServer("127.0.0.1:" + std::to_string(port));
  AddCustomers();
  const company::CompanyRecord before = StoredCompany();
  ui_->messages.ExpectMessage("Not Online\nCannot reach the mail server "
                              "127.0.0.1: Couldn't connect to server");
  const BatchOutcome outcome = Run(StatementSelection{}, 3);
  EXPECT_TRUE(outcome.lines.empty());
  EXPECT_EQ(outcome.sent, 0);
  EXPECT_TRUE(StoredCompanyIs(before));
}

}  // namespace
}  // namespace tallybook::receivables
