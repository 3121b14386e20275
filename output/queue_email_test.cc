#include "output/queue_email.h"

#include <gtest/gtest.h>

#include "mail/smtp_test_server.h"
#include "output/invoice_output.h"
#include "output/output_test_support.h"

namespace tallybook::output {
namespace {

using company::LabelQueueRow;
using platform::Answer;

class QueueEmailTest
    : public testing::EmailOutputFixture<testing::InvoiceCompany> {
 protected:
  void SetUp() override {
    EmailOutputFixture::SetUp();
    if (HasFatalFailure()) return;
    AddFullCustomer("C2", "Two Without", "");
    AddFullCustomer("C3", "Three Bad", "abc");
    AddFullCustomer("C4", "Four Good", "four@customer.example");
  }
  void Queue(std::initializer_list<const char*> numbers) {
    for (const char* n : numbers) {
      app_->label_queue.push_back(LabelQueueRow{n, n, "", ""});
    }
    app_->label_queue_pending = true;
  }
  void IncludeAll(bool on) {
    company::CompanyRecord co = app_->CurrentCompany;
    co.EMailIncludeAll.Set(on ? "Y" : "N");
    StoreCompany(co);
  }
  static QueueMessage Typed() {
    return QueueMessage{"sales@acme.example", "Spring sale",
                        "Dear customer,\r\nEverything is 10% off.\r\n"};
  }
  // The subject and envelope recipient of a received message.
  static std::pair<std::string, std::string> SubjectAndTo(
      const std::string& m) {
    auto header = [&](const std::string& name) {
      const size_t at = m.find(name);
      if (at == std::string::npos) return std::string();
      const size_t start = at + name.size();
      return m.substr(start, m.find("\r\n", start) - start);
    };
    return {header("\r\nSubject: "), header("X-Envelope-To: ")};
  }
};

TEST_F(QueueEmailTest, ChecksRunInOrderAndPointAtTheirField) {
  QueueMessage m;
  ui_->messages.ExpectMessage(kNoSubjectText).WithCaption(kSubjectCaption);
  EXPECT_EQ(CheckQueueMessage(*app_, m), MessageField::kSubject);
  m.subject = "Hello";
  ui_->messages.ExpectMessage(kNoReturnAddressText)
      .WithCaption(kReturnAddressCaption);
  EXPECT_EQ(CheckQueueMessage(*app_, m), MessageField::kFrom);
  m.from = "sales.acme.example";
  ui_->messages.ExpectMessage(kBadReturnAddressText)
      .WithCaption(kBadReturnAddressCaption);
  EXPECT_EQ(CheckQueueMessage(*app_, m), MessageField::kFrom);
  m.from = "sales@acme.example";
  m.body = " \n ";
  ui_->messages.ExpectMessage(kNoMessageText).WithCaption(kMessageTextCaption);
  EXPECT_EQ(CheckQueueMessage(*app_, m), MessageField::kBody);
  m.body = "Text";
  ui_->messages.ExpectMessage(kEmptyQueueText).WithCaption(kPrintQueueCaption);
  EXPECT_EQ(CheckQueueMessage(*app_, m), MessageField::kQueue);
  // A failed check sends nothing and opens no connection.
  ui_->messages.ExpectMessage(kEmptyQueueText);
  EXPECT_FALSE(SendQueueMessage(*app_, m).ran);
  EXPECT_FALSE(transport_->Connected());
  Queue({"C1"});
  EXPECT_EQ(CheckQueueMessage(*app_, m), MessageField::kNone);
  EXPECT_EQ(QueueCounterText(*app_), "Records in Queue: 1");
}

TEST_F(QueueEmailTest, CustomerWithoutAddressIsSkippedWhenNotIncluded) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  Queue({"C1", "C2", "C4"});
  ui_->messages.ExpectMessage(SkippedText(1)).WithCaption(kEmailAddressesCaption);
  ui_->messages.ExpectMessage("There were 2 e-mail messages sent.")
      .WithCaption(kEmailSentCaption);
  const QueueMailOutcome out = SendQueueMessage(*app_, Typed());
  EXPECT_TRUE(out.completed);
  EXPECT_EQ(out.sent, 2);
  EXPECT_EQ(out.skipped, 1);
  EXPECT_FALSE(app_->label_queue_pending);

  const auto mail = server.Messages();
  ASSERT_EQ(mail.size(), 2u);
  EXPECT_EQ(SubjectAndTo(mail[0]),
            std::make_pair(std::string("Spring sale"),
                           std::string("joe@customer.example")));
  EXPECT_EQ(SubjectAndTo(mail[1]),
            std::make_pair(std::string("Spring sale"),
                           std::string("four@customer.example")));
  EXPECT_NE(mail[0].find("X-Envelope-From: sales@acme.example\r\n"),
            std::string::npos);
  EXPECT_NE(mail[0].find("\r\n\r\nDear customer,\r\nEverything is 10% off."),
            std::string::npos);
  EXPECT_EQ(ui_->progress.caption(), kEmailModeCaption);
}

TEST_F(QueueEmailTest, BadAddressesGoToTheCompanyAndTheSubjectComesBack) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  IncludeAll(true);
  Queue({"C2", "C3", "C1"});
  ui_->messages.ExpectMessage(SentText(3)).WithCaption(kEmailSentCaption);
  const QueueMailOutcome out = SendQueueMessage(*app_, Typed());
  EXPECT_EQ(out.sent, 3);
  EXPECT_EQ(out.skipped, 0);
  ASSERT_EQ(out.lines.size(), 3u);
  EXPECT_EQ(out.lines[0].result, QueueMailResult::kBadAddress);
  EXPECT_EQ(out.lines[1].result, QueueMailResult::kBadAddress);
  EXPECT_EQ(out.lines[2].result, QueueMailResult::kSent);

  const auto mail = server.Messages();
  ASSERT_EQ(mail.size(), 3u);
  EXPECT_EQ(SubjectAndTo(mail[0]),
            std::make_pair(std::string("BAD E-MAIL ADDRESS FOR: Two Without"),
                           std::string("billing@acme.example")));
  EXPECT_EQ(SubjectAndTo(mail[1]),
            std::make_pair(std::string("BAD E-MAIL ADDRESS FOR: Three Bad"),
                           std::string("billing@acme.example")));
  EXPECT_EQ(SubjectAndTo(mail[2]),
            std::make_pair(std::string("Spring sale"),
                           std::string("joe@customer.example")));
}

TEST_F(QueueEmailTest, RefusedAndVanishedCustomersAreNotCountedAsSent) {
  mail::testing::SmtpTestServer server(temp_.path());
  server.Refuse("joe@customer.example");
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  UseServer(server.address());
  Queue({"C1", "GONE", "C4"});
  ui_->messages
      .ExpectMessage("The message to Joe's Hardware was not sent.\nThe mail "
                     "server 127.0.0.1 refused the message: 550 No such user")
      .WithCaption(kMailErrorCaption);
  ui_->messages.ExpectMessage(NotFoundText(1));
  ui_->messages.ExpectMessage(SentText(1));
  const QueueMailOutcome out = SendQueueMessage(*app_, Typed());
  EXPECT_EQ(out.sent, 1);
  EXPECT_EQ(out.failed, 1);
  EXPECT_EQ(out.not_found, 1);
  EXPECT_EQ(server.Messages().size(), 1u);
}

TEST_F(QueueEmailTest, NoServerMeansNothingIsSent) {
  UseServer("127.0.0.1:" +
            std::to_string(mail::testing::SmtpTestServer::FreePort()));
  Queue({"C1"});
  ui_->messages
      .ExpectMessage("Not Online\nCannot reach the mail server 127.0.0.1: "
                     "Couldn't connect to server")
      .WithCaption(kEmailModeCaption);
  const QueueMailOutcome out = SendQueueMessage(*app_, Typed());
  EXPECT_FALSE(out.ran);
  EXPECT_EQ(out.sent, 0);
  EXPECT_TRUE(app_->label_queue_pending);
}

// A transport whose connection closes after a number of messages.
class ClosingTransport : public mail::MailTransport {
 public:
  explicit ClosingTransport(int messages) : left_(messages) {}
  bool Open(const std::string& server) override {
    server_ = server;
    connected_ = true;
    return true;
  }
  void Close() override { connected_ = false; }
  bool Connected() const override { return connected_; }
  const std::string& Server() const override { return server_; }
  const std::string& LastError() const override { return error_; }
  mail::SendResult Send(const mail::OutgoingMessage& message) override {
    recipients.push_back(message.to);
    if (--left_ <= 0) connected_ = false;
    return {true, "", "250 OK"};
  }
  std::vector<std::string> recipients;

 private:
  int left_;
  bool connected_ = false;
  std::string server_, error_;
};

TEST_F(QueueEmailTest, ALostConnectionStopsTheRunAndSaysHowManyWent) {
  ClosingTransport closing(2);
  app_->mail_transport = &closing;
  Queue({"C1", "C4", "C1", "C4"});
  ui_->messages.ExpectMessage(ConnectionClosedText(2))
      .WithCaption(kEmailModeCaption);
  ui_->messages.ExpectMessage(SentText(2));
  const QueueMailOutcome out = SendQueueMessage(*app_, Typed());
  EXPECT_FALSE(out.completed);
  EXPECT_EQ(out.sent, 2);
  EXPECT_EQ(out.not_reached, 2);
  EXPECT_EQ(closing.recipients.size(), 2u);
  // The queue was not gone through: it still waits.
  EXPECT_TRUE(app_->label_queue_pending);
  app_->mail_transport = transport_.get();
}

}  // namespace
}  // namespace tallybook::output
