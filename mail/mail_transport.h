// The outgoing mail connection: one SMTP server, a connected flag, and
// sending one message at a time. Invoice, statement and queue e-mail all
// go through the one transport the App holds.
//
// The server text of the company options names the server: "host",
// "host:port", "smtp://host[:port]" or "smtps://host[:port]" (see
// server_address.h). A plain connection switches to TLS (STARTTLS) before
// anything is sent; a server that does not offer it is refused with
// NoStartTlsText, unless it is on a loopback address or the mail settings
// allow unencrypted connections (then TLS is still used when offered). A
// password is never sent in the clear. A certificate that cannot be
// verified is an error naming the server, never ignored. The user name and password, when the
// server wants them, come from the installation's mail settings file
// (mail_settings.h), read each time a connection is opened.
//
// Nothing is reported as sent that the server did not accept: Send() is ok
// only when the server answered the end of the message with 250.
#ifndef TALLYBOOK_MAIL_MAIL_TRANSPORT_H_
#define TALLYBOOK_MAIL_MAIL_TRANSPORT_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mail/mail_message.h"
#include "mail/mail_settings.h"
#include "mail/server_address.h"

namespace tallybook::mail {

// How one send ended.
struct SendResult {
  bool ok = false;
  // For the user when not ok: which server, and its answer when it gave
  // one ("The mail server mail.example.com refused the message: 550 No
  // such user").
  std::string error;
  // The server's last reply line ("250 2.0.0 Ok: queued as 1234").
  std::string server_reply;
};

class MailTransport {
 public:
  virtual ~MailTransport() = default;

  // Connects to `server` (greeting, EHLO, STARTTLS when offered, login when
  // the settings hold a user name). True when the server is ready for
  // mail; otherwise LastError() says why and Connected() is false. Opening
  // while connected to the same server does nothing and returns true.
  virtual bool Open(const std::string& server) = 0;
  // Says goodbye to the server (QUIT) and drops the connection.
  virtual void Close() = 0;
  virtual bool Connected() const = 0;
  // The server Open() was last given, as typed.
  virtual const std::string& Server() const = 0;
  // Why the last Open() failed; empty after a success.
  virtual const std::string& LastError() const = 0;

  // Sends `message` over the open connection (opening it again when the
  // server dropped it). Precondition: Open() succeeded.
  virtual SendResult Send(const OutgoingMessage& message) = 0;
};

// True for "localhost" and the loopback addresses (127.0.0.0/8, ::1 and
// ::ffff:127.x.x.x). Host names are not looked up.
bool IsLoopbackHost(std::string_view host);
// Whether the connection to the server must be encrypted before anything
// is sent: smtps always; otherwise unless the server is on a loopback
// address or settings.allow_unencrypted is set.
bool TlsRequired(const ServerAddress& address, const MailSettings& settings);
// The refusal when such a server offers no STARTTLS; names the server.
std::string NoStartTlsText(const std::string& host);

// The transport over libcurl's SMTP. `settings_path` is the installation's
// mail settings file; a missing file means no login and default settings.
std::unique_ptr<MailTransport> MakeCurlMailTransport(
    std::string settings_path);

}  // namespace tallybook::mail

#endif  // TALLYBOOK_MAIL_MAIL_TRANSPORT_H_
