#include "mail/mail_message.h"

#include <gtest/gtest.h>

#include "mail/server_address.h"

namespace tallybook::mail {
namespace {

MessageStamp Stamp() { return MessageStamp{1796720700, "abc.1"}; }

TEST(MailMessageTest, PlainAsciiMessageHasEveryHeaderAndCrLfLines) {
  OutgoingMessage m;
  m.from = "billing@acme.example";
  m.to = "joe@customer.example";
  m.subject = "INVOICE - 1001";
  m.body_lines = {"Line one", ".starts with a dot", ""};
  EXPECT_EQ(ComposeMessage(m, Stamp()),
            "Date: Tue, 08 Dec 2026 09:05:00 +0000\r\n"
            "Message-ID: <abc.1@acme.example>\r\n"
            "From: <billing@acme.example>\r\n"
            "To: <joe@customer.example>\r\n"
            "Subject: INVOICE - 1001\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=UTF-8\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "Line one\r\n"
            ".starts with a dot\r\n"
            "\r\n");
}

TEST(MailMessageTest, NonAsciiSubjectAndBodyAreEncoded) {
  OutgoingMessage m;
  m.from = "a@b.example";
  m.to = "c@d.example";
  m.subject = "Caf\xC3\xA9 invoice";
  m.body_lines = {"Total: 5 \xE2\x82\xAC", "trailing blank "};
  const std::string text = ComposeMessage(m, Stamp());
  EXPECT_NE(text.find("Subject: =?UTF-8?B?Q2Fmw6kgaW52b2ljZQ==?=\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("Content-Transfer-Encoding: quoted-printable\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("Total: 5 =E2=82=AC\r\ntrailing blank=20\r\n"),
            std::string::npos);
}

TEST(MailMessageTest, LineBreaksInHeaderValuesCannotAddHeaders) {
  OutgoingMessage m;
  m.from = "a@b.example";
  m.to = "c@d.example";
  m.subject = "Hi\r\nBcc: victim@example.com";
  const std::string text = ComposeMessage(m, Stamp());
  EXPECT_EQ(text.find("\r\nBcc:"), std::string::npos);
  EXPECT_NE(text.find("Subject: Hi  Bcc: victim@example.com\r\n"),
            std::string::npos);
}

TEST(MailMessageTest, AttachmentMakesMultipartWithBase64Lines) {
  OutgoingMessage m;
  m.from = "a@b.example";
  m.to = "c@d.example";
  m.subject = "S";
  m.body_lines = {"Body"};
  m.attachments.push_back({"Invoice 1001.pdf", "application/pdf",
                           std::string(100, '\xFF')});
  const std::string text = ComposeMessage(m, Stamp());
  EXPECT_NE(text.find("Content-Type: multipart/mixed; "
                      "boundary=\"=_tallybook_abc.1\"\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("--=_tallybook_abc.1\r\nContent-Type: text/plain; "
                      "charset=UTF-8\r\nContent-Transfer-Encoding: 7bit\r\n"
                      "\r\nBody\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("Content-Disposition: attachment; "
                      "filename=\"Invoice 1001.pdf\"\r\n\r\n"),
            std::string::npos);
  // 100 bytes are 136 base64 characters: one full line and one of 60.
  EXPECT_NE(text.find("\r\n" + std::string(76, '/') + "\r\n" +
                      std::string(57, '/') + "w==\r\n--=_tallybook_abc.1--\r\n"),
            std::string::npos);
}

// Non-ASCII attachment names went out as encoded words inside quotes,
// which mail programs need not decode.
TEST(MailMessageTest, NonAsciiAttachmentNamesUseRfc2231) {
  OutgoingMessage m;
  m.from = "a@b.example";
  m.to = "c@d.example";
  m.subject = "S";
  m.attachments.push_back({"Rechnung M\xC3\xBCller 1.pdf", "application/pdf", "x"});
  const std::string text = ComposeMessage(m, Stamp());
  EXPECT_NE(text.find("Content-Type: application/pdf; "
                      "name*=UTF-8''Rechnung%20M%C3%BCller%201.pdf\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Content-Disposition: attachment; "
                      "filename*=UTF-8''Rechnung%20M%C3%BCller%201.pdf\r\n\r\n"),
            std::string::npos);
  EXPECT_EQ(text.find("=?UTF-8?"), std::string::npos);

  // A long name is continued over numbered parts; no %XX is split.
  std::string pairs;
  for (int i = 0; i < 15; ++i) pairs += "\xC3\xA9";
  const std::string param = Rfc2231Parameter("filename", pairs + pairs);
  EXPECT_EQ(param.rfind("\r\n filename*0*=UTF-8''%C3%A9", 0), 0u) << param;
  EXPECT_NE(param.find(";\r\n filename*1*=%"), std::string::npos);
  std::string joined;
  size_t at = 0;
  while ((at = param.find("*=", at)) != std::string::npos) {
    at += 2;
    const size_t end = param.find(';', at);
    std::string part = param.substr(at, end == std::string::npos ? end : end - at);
    if (part.rfind("UTF-8''", 0) == 0) part = part.substr(7);
    EXPECT_LE(part.size(), 60u);
    EXPECT_EQ(part.size() % 3, 0u) << part;
    joined += part;
  }
  std::string expected;
  for (int i = 0; i < 30; ++i) expected += "%C3%A9";
  EXPECT_EQ(joined, expected);
}

TEST(MailMessageTest, QuotedPrintableKeepsLinesShort) {
  std::string equals(200, '=');
  equals += "\r\n";
  const std::string qp = QuotedPrintable(equals);
  size_t start = 0;
  for (size_t end; (end = qp.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    EXPECT_LE(end - start, 76u);
  }
  EXPECT_EQ(Base64Lines("Man"), "TWFu\r\n");
  EXPECT_EQ(Base64Lines("Ma"), "TWE=\r\n");
}

TEST(MailMessageTest, PlainAddressCheck) {
  EXPECT_TRUE(IsPlainAddress("joe@example.com"));
  EXPECT_FALSE(IsPlainAddress("joe"));
  EXPECT_FALSE(IsPlainAddress("@example.com"));
  EXPECT_FALSE(IsPlainAddress("joe@"));
  EXPECT_FALSE(IsPlainAddress("joe smith@example.com"));
  EXPECT_FALSE(IsPlainAddress("joe@example.com>\r\nRCPT TO:<x@y"));
  EXPECT_FALSE(IsPlainAddress("a@b@c"));
}

// Raw 8-bit bytes once went into MAIL FROM, RCPT TO and the headers.
TEST(MailMessageTest, AddressesOutsideAsciiAreRefusedClearly) {
  EXPECT_EQ(AddressProblem("joe@example.com"), "");
  EXPECT_EQ(AddressProblem("j\xC3\xB6rg@example.com"),
            "The e-mail address \"j\xC3\xB6rg@example.com\" has letters outside "
            "plain ASCII before the @. Such an address cannot be sent to; "
            "please ask the customer for another.");
  EXPECT_NE(AddressProblem("joe@m\xC3\xBCller.example").find("after the @"),
            std::string::npos);
  EXPECT_EQ(AddressProblem("joe"), "\"joe\" is not a usable e-mail address.");
}

TEST(ServerAddressTest, AcceptsHostPortAndUrls) {
  EXPECT_EQ(ParseServerAddress("mail.example.com")->Url(),
            "smtp://mail.example.com:587");
  EXPECT_EQ(ParseServerAddress(" mail.example.com:25 ")->Url(),
            "smtp://mail.example.com:25");
  EXPECT_EQ(ParseServerAddress("SMTP://mail.example.com/")->Url(),
            "smtp://mail.example.com:587");
  const auto tls = ParseServerAddress("smtps://mail.example.com");
  ASSERT_TRUE(tls);
  EXPECT_TRUE(tls->implicit_tls);
  EXPECT_EQ(tls->Url(), "smtps://mail.example.com:465");
  EXPECT_EQ(ParseServerAddress("[::1]:2525")->Url(), "smtp://[::1]:2525");
  for (const char* bad : {"", "  ", "host:", "host:0", "host:70000",
                          "host:25x", "user@host", "host/path", "smtp://",
                          "[::1", "ho st", "-host"}) {
    EXPECT_FALSE(ParseServerAddress(bad)) << bad;
  }
}

}  // namespace
}  // namespace tallybook::mail
