#include <gtest/gtest.h>

#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "mail/server_address.h"
#include "mail/smtp_test_server.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::mail {
namespace {

using testing::SmtpTestServer;

class CurlMailTransportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp_.ok()); }
  std::string SettingsPath() const {
    return (temp_.path() / kMailSettingsFileName).string();
  }
  static OutgoingMessage Message(const std::string& to) {
    OutgoingMessage m;
    m.from = "billing@acme.example";
    m.to = to;
    m.subject = "INVOICE - 1001";
    m.body_lines = {"Hello", ".dot line", "Grand Total: 10.00"};
    m.attachments.push_back({"Invoice 1001.pdf", "application/pdf",
                             "%PDF-1.4 test"});
    return m;
  }
  platform::testing::TempDir temp_{"mailtr"};
};

TEST_F(CurlMailTransportTest, SendsAMessageTheServerReceivesWhole) {
  SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  auto transport = MakeCurlMailTransport(SettingsPath());
  ASSERT_TRUE(transport->Open(server.address())) << transport->LastError();
  EXPECT_TRUE(transport->Connected());
  const SendResult first = transport->Send(Message("joe@customer.example"));
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(first.server_reply, "250 Message accepted for delivery");
  ASSERT_TRUE(transport->Send(Message("ann@customer.example")).ok);
  transport->Close();
  EXPECT_FALSE(transport->Connected());

  const std::vector<std::string> mail = server.Messages();
  ASSERT_EQ(mail.size(), 2u);
  const std::string& m = mail[0];
  EXPECT_EQ(m.rfind("X-Envelope-From: billing@acme.example\r\n"
                    "X-Envelope-To: joe@customer.example\r\nX-TLS: no\r\n",
                    0),
            0u);
  EXPECT_NE(m.find("\r\nSubject: INVOICE - 1001\r\n"), std::string::npos);
  EXPECT_NE(m.find("\r\nFrom: <billing@acme.example>\r\n"), std::string::npos);
  EXPECT_NE(m.find("\r\nMessage-ID: <"), std::string::npos);
  // The server undoes the transport's dot-stuffing.
  EXPECT_NE(m.find("\r\nHello\r\n.dot line\r\nGrand Total: 10.00\r\n"),
            std::string::npos);
  EXPECT_NE(m.find("filename=\"Invoice 1001.pdf\"\r\n\r\nJVBERi0xLjQgdGVzdA==\r\n"),
            std::string::npos);
  EXPECT_NE(mail[1].find("X-Envelope-To: ann@customer.example"),
            std::string::npos);
}

TEST_F(CurlMailTransportTest, RefusedRecipientReportsTheServersAnswer) {
  SmtpTestServer server(temp_.path());
  server.Refuse("nobody@customer.example");
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  auto transport = MakeCurlMailTransport(SettingsPath());
  ASSERT_TRUE(transport->Open(server.address())) << transport->LastError();
  const SendResult result = transport->Send(Message("nobody@customer.example"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error,
            "The mail server 127.0.0.1 refused the message: 550 No such user");
  EXPECT_EQ(result.server_reply, "550 No such user");
  EXPECT_TRUE(server.Messages().empty());
  // The connection still serves the next message.
  EXPECT_TRUE(transport->Send(Message("joe@customer.example")).ok);
  EXPECT_EQ(server.Messages().size(), 1u);
}

TEST_F(CurlMailTransportTest, ServerThatIsNotThereCannotBeOpened) {
  auto transport = MakeCurlMailTransport(SettingsPath());
  const std::string address =
      "127.0.0.1:" + std::to_string(SmtpTestServer::FreePort());
  EXPECT_FALSE(transport->Open(address));
  EXPECT_FALSE(transport->Connected());
  EXPECT_EQ(transport->LastError().rfind("Cannot reach the mail server "
                                         "127.0.0.1: ",
                                         0),
            0u)
      << transport->LastError();
  EXPECT_FALSE(transport->Send(Message("joe@customer.example")).ok);
}

TEST_F(CurlMailTransportTest, BadServerTextAndBadAddressesAreRefused) {
  auto transport = MakeCurlMailTransport(SettingsPath());
  EXPECT_FALSE(transport->Open("mail server"));
  EXPECT_EQ(transport->LastError(), "\"mail server\" does not name a mail server.");

  SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  ASSERT_TRUE(transport->Open(server.address()));
  const SendResult result =
      transport->Send(Message("joe@x.example>\r\nRCPT TO:<eve@x.example"));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("is not a usable e-mail address"),
            std::string::npos);
  EXPECT_TRUE(server.Messages().empty());
}

TEST_F(CurlMailTransportTest, DamagedSettingsFileStopsTheConnection) {
  platform::testing::WriteFileBytes(SettingsPath(), "garbage\n");
  auto transport = MakeCurlMailTransport(SettingsPath());
  EXPECT_FALSE(transport->Open("127.0.0.1:25"));
  EXPECT_EQ(transport->LastError(), "The mail settings file " + SettingsPath() +
                                        " is damaged (line 1).");
}

// Mail went out in the clear whenever a server offered no STARTTLS.
TEST(TlsPolicyTest, EncryptionIsRequiredUnlessLoopbackOrAllowed) {
  for (const char* host : {"127.0.0.1", "127.1.2.3", "localhost", "LocalHost",
                           "::1", "::ffff:127.0.0.1"}) {
    EXPECT_TRUE(IsLoopbackHost(host)) << host;
  }
  for (const char* host : {"mail.example.com", "10.0.0.1", "128.0.0.1",
                           "::2", "localhost.example.com", "127.0.0.1.nip.io"}) {
    EXPECT_FALSE(IsLoopbackHost(host)) << host;
  }
  const MailSettings strict;
  MailSettings relaxed;
  relaxed.allow_unencrypted = true;
  const ServerAddress remote = *ParseServerAddress("mail.example.com:25");
  EXPECT_TRUE(TlsRequired(remote, strict));
  EXPECT_FALSE(TlsRequired(remote, relaxed));
  EXPECT_FALSE(TlsRequired(*ParseServerAddress("127.0.0.1:2525"), strict));
  EXPECT_FALSE(TlsRequired(*ParseServerAddress("[::1]:2525"), strict));
  EXPECT_TRUE(TlsRequired(*ParseServerAddress("smtps://127.0.0.1"), relaxed));
  EXPECT_EQ(NoStartTlsText("mail.example.com"),
            "The mail server mail.example.com does not offer an encrypted "
            "connection (STARTTLS), so nothing was sent to it. Tick \"Allow "
            "unencrypted connection\" in the mail settings to send through it "
            "all the same.");
}

TEST_F(CurlMailTransportTest, NonAsciiRecipientIsRefusedBeforeSending) {
  SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  auto transport = MakeCurlMailTransport(SettingsPath());
  ASSERT_TRUE(transport->Open(server.address())) << transport->LastError();
  const SendResult result = transport->Send(Message("j\xC3\xB6rg@customer.example"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, AddressProblem("j\xC3\xB6rg@customer.example"));
  EXPECT_TRUE(server.Messages().empty());
}

// The password needs TLS even where the settings allow plain connections.
TEST_F(CurlMailTransportTest, PasswordIsNeverSentInTheClear) {
  SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  MailSettings settings;
  settings.user = "joe";
  settings.password = "secret";
  settings.allow_unencrypted = true;
  ASSERT_TRUE(WriteMailSettings(SettingsPath(), settings));
  auto transport = MakeCurlMailTransport(SettingsPath());
  EXPECT_FALSE(transport->Open(server.address()));
  EXPECT_EQ(transport->LastError(),
            "The mail server 127.0.0.1 does not offer an encrypted connection "
            "(STARTTLS), which is needed to send the password.");
}

TEST_F(CurlMailTransportTest, StartTlsWithTrustedCertificate) {
  SmtpTestServer server(temp_.path());
  if (!server.UseTls()) GTEST_SKIP() << server.skip_reason();
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  // Untrusted: the certificate failure names the server; nothing is sent.
  auto untrusted = MakeCurlMailTransport(SettingsPath());
  EXPECT_FALSE(untrusted->Open(server.address()));
  EXPECT_EQ(untrusted->LastError().rfind(
                "The certificate of the mail server 127.0.0.1 could not be "
                "verified",
                0),
            0u)
      << untrusted->LastError();

  MailSettings settings;
  settings.ca_file = server.certificate();
  ASSERT_TRUE(WriteMailSettings(SettingsPath(), settings));
  auto trusted = MakeCurlMailTransport(SettingsPath());
  ASSERT_TRUE(trusted->Open(server.address())) << trusted->LastError();
  const SendResult result = trusted->Send(Message("joe@customer.example"));
  ASSERT_TRUE(result.ok) << result.error;
  const std::vector<std::string> mail = server.Messages();
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_NE(mail[0].find("X-TLS: yes\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tallybook::mail
