// Composing an Internet mail message: headers, a plain-text body and
// optional attachments, as the bytes handed to the SMTP server.
//
// The message is MIME 1.0 with CR LF line ends: Date, Message-ID, From,
// To, Subject (an RFC 2047 encoded word when it is not plain ASCII),
// MIME-Version, then either a single text/plain part in UTF-8 or, with
// attachments, multipart/mixed with the text first. The body is quoted-
// printable when it holds anything but printable ASCII; attachments are
// base64 in lines of 76, their names quoted when plain ASCII and in the
// RFC 2231 form otherwise. Dot-stuffing is the transport's business.
#ifndef TALLYBOOK_MAIL_MAIL_MESSAGE_H_
#define TALLYBOOK_MAIL_MAIL_MESSAGE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallybook::mail {

struct Attachment {
  std::string file_name;     // UTF-8, shown to the recipient
  std::string content_type;  // "application/pdf"
  std::string bytes;
};

// One message. Texts are UTF-8; record texts are converted by the caller
// (company::Cp1252ToUtf8).
struct OutgoingMessage {
  std::string from;     // bare address, "billing@example.com"
  std::string to;       // bare address
  std::string subject;
  std::vector<std::string> body_lines;  // one entry per line, no line ends
  std::vector<Attachment> attachments;
};

// The moment and the unique part a message is stamped with; the transport
// fills them from the clock, tests fix them.
struct MessageStamp {
  int64_t unix_seconds = 0;   // Date header, written in UTC ("+0000")
  std::string unique;         // left part of the Message-ID
};

// The message as sent. The Message-ID's right part is the sender's domain
// (after '@'), "localhost" when it has none.
std::string ComposeMessage(const OutgoingMessage& message,
                           const MessageStamp& stamp);

// ---- Pieces, for the composer and its tests.

// "Tue, 08 Dec 2026 09:05:00 +0000".
std::string RfcDate(int64_t unix_seconds);
// text itself when it is printable ASCII, else "=?UTF-8?B?...?=" words of
// at most 75 characters joined by CR LF SP.
std::string EncodeHeaderText(std::string_view text);
// Quoted-printable of UTF-8 text whose lines end in CR LF, soft breaks
// keeping every line within 76 characters.
std::string QuotedPrintable(std::string_view text);
// Base64 in lines of 76 characters, each ended by CR LF.
std::string Base64Lines(std::string_view bytes);
// True when text is an address the transport may hand to the server: one
// '@' with text on both sides, no blanks, control characters or <>.
bool IsPlainAddress(std::string_view text);
// Why the transport refuses an address (not IsPlainAddress, or letters
// outside ASCII, which would go out as raw 8-bit bytes); empty when it
// takes it.
std::string AddressProblem(std::string_view text);
// A MIME parameter in the RFC 2231 form, with the blank or line break that
// goes before it: " name*=UTF-8''%C3%A9t%C3%A9.pdf", split into numbered
// continuations (name*0*=, name*1*=, ...) on lines of their own when long.
std::string Rfc2231Parameter(std::string_view name, std::string_view value);

}  // namespace tallybook::mail

#endif  // TALLYBOOK_MAIL_MAIL_MESSAGE_H_
