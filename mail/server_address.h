// The outgoing server as the company options name it, turned into the
// address libcurl connects to.
//
//   "mail.example.com"            smtp://mail.example.com:587 (STARTTLS)
//   "mail.example.com:25"         smtp://mail.example.com:25
//   "smtp://mail.example.com"     smtp://mail.example.com:587
//   "smtps://mail.example.com"    smtps://mail.example.com:465 (TLS first)
//   "[2001:db8::1]:2525"          smtp://[2001:db8::1]:2525
// Blanks around the text are ignored; a path, user part, query or anything
// outside host characters makes the text unusable.
#ifndef TALLYBOOK_MAIL_SERVER_ADDRESS_H_
#define TALLYBOOK_MAIL_SERVER_ADDRESS_H_

#include <optional>
#include <string>
#include <string_view>

namespace tallybook::mail {

inline constexpr int kSubmissionPort = 587;
inline constexpr int kSmtpsPort = 465;

struct ServerAddress {
  std::string host;       // without brackets
  int port = kSubmissionPort;
  bool implicit_tls = false;  // smtps://
  // "smtp://host:port" or "smtps://host:port", brackets around IPv6.
  std::string Url() const;
};

// nullopt when the text does not name a server.
std::optional<ServerAddress> ParseServerAddress(std::string_view text);

}  // namespace tallybook::mail

#endif  // TALLYBOOK_MAIL_SERVER_ADDRESS_H_
