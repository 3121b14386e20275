#include "mail/mail_message.h"

#include <vector>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace tallybook::mail {

namespace {

constexpr char kBase64[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool IsPrintableAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 32 || c > 126) return false;
  }
  return true;
}

// Header values never carry line breaks of their own: a CR or LF in a
// record text would start a new header.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

// Length of the UTF-8 sequence starting with byte c (1 for a stray byte).
size_t SequenceLength(unsigned char c) {
  if (c >= 0xF0 && c < 0xF8) return 4;
  if (c >= 0xE0) return c < 0xF0 ? 3 : 1;
  if (c >= 0xC0) return 2;
  return 1;
}

std::string DomainOf(std::string_view address) {
  const size_t at = address.rfind('@');
  if (at == std::string_view::npos || at + 1 >= address.size()) {
    return "localhost";
  }
  return std::string(address.substr(at + 1));
}

}  // namespace

std::string RfcDate(int64_t unix_seconds) {
  const std::time_t t = static_cast<std::time_t>(unix_seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed",
                                "Thu", "Fri", "Sat"};
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%s, %02d %s %04d %02d:%02d:%02d +0000",
                kDays[tm.tm_wday], tm.tm_mday, kMonths[tm.tm_mon],
                tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buffer;
}

std::string EncodeHeaderText(std::string_view text) {
  if (IsPrintableAscii(text)) return std::string(text);
  // Each encoded word holds at most 45 bytes of text (60 characters of
  // base64 plus "=?UTF-8?B?" and "?="), cut between characters.
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = i;
    while (end < text.size()) {
      const size_t n = SequenceLength(static_cast<unsigned char>(text[end]));
      if (end + n - i > 45) break;
      end += n;
    }
    if (end == i) end = std::min(text.size(), i + 1);
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(text.substr(i, end - i)) + "?=";
    i = end;
  }
  return out;
}

std::string QuotedPrintable(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  size_t column = 0;
  auto emit = [&](const std::string& piece) {
    if (column + piece.size() > 75) {
      out += "=\r\n";
      column = 0;
    }
    out += piece;
    column += piece.size();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      // A blank or tab before a line end must be encoded, or it is lost.
      if (!out.empty() && (out.back() == ' ' || out.back() == '\t')) {
        const char last = out.back();
        out.pop_back();
        --column;
        emit(std::string("=") + kHex[last >> 4] + kHex[last & 15]);
      }
      out += "\r\n";
      column = 0;
      ++i;
      continue;
    }
    if ((c >= 33 && c <= 126 && c != '=') || c == ' ' || c == '\t') {
      // A dot at the start of a line is left to the transport's stuffing.
      emit(std::string(1, static_cast<char>(c)));
    } else {
      emit(std::string("=") + kHex[c >> 4] + kHex[c & 15]);
    }
  }
  if (!out.empty() && (out.back() == ' ' || out.back() == '\t')) {
    const char last = out.back();
    out.pop_back();
    --column;
    emit(std::string("=") + kHex[last >> 4] + kHex[last & 15]);
  }
  return out;
}

std::string Base64Lines(std::string_view bytes) {
  const std::string all = Base64(bytes);
  std::string out;
  for (size_t i = 0; i < all.size(); i += 76) {
    out += all.substr(i, 76);
    out += "\r\n";
  }
  return out;
}

std::string Rfc2231Parameter(std::string_view name, std::string_view value) {
  static const char kHex[] = "0123456789ABCDEF";
  // Each encoded character whole; a segment ends before it would pass the
  // length a header line should keep to.
  constexpr size_t kSegment = 60;
  std::vector<std::string> segments{"UTF-8''"};
  for (unsigned char c : value) {
    std::string piece;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
        (c >= '0' && c <= '9') ||
        std::string_view("!#$&+-.^_`|~").find(static_cast<char>(c)) !=
            std::string_view::npos) {
      piece = std::string(1, static_cast<char>(c));
    } else {
      piece = std::string("%") + kHex[c >> 4] + kHex[c & 15];
    }
    if (segments.back().size() + piece.size() > kSegment) {
      segments.emplace_back();
    }
    segments.back() += piece;
  }
  if (segments.size() == 1) {
    return " " + std::string(name) + "*=" + segments.front();
  }
  std::string out;
  for (size_t i = 0; i < segments.size(); ++i) {
    out += (i == 0 ? "" : ";") + std::string("\r\n ") + std::string(name) +
           "*" + std::to_string(i) + "*=" + segments[i];
  }
  return out;
}

std::string AddressProblem(std::string_view text) {
  const std::string shown(text);
  if (!IsPlainAddress(text)) {
    return "\"" + shown + "\" is not a usable e-mail address.";
  }
  const size_t at = text.find('@');
  auto ascii = [](std::string_view part) {
    for (unsigned char c : part) {
      if (c > 126) return false;
    }
    return true;
  };
  if (!ascii(text.substr(0, at))) {
    return "The e-mail address \"" + shown +
           "\" has letters outside plain ASCII before the @. Such an "
           "address cannot be sent to; please ask the customer for another.";
  }
  if (!ascii(text.substr(at + 1))) {
    return "The e-mail address \"" + shown +
           "\" has letters outside plain ASCII after the @. Please write the "
           "domain in its ASCII form (\"xn--...\").";
  }
  return {};
}

bool IsPlainAddress(std::string_view text) {
  const size_t at = text.find('@');
  if (at == std::string_view::npos || at == 0 || at + 1 >= text.size() ||
      text.find('@', at + 1) != std::string_view::npos) {
    return false;
  }
  for (unsigned char c : text) {
    if (c <= 32 || c == 127 || c == '<' || c == '>' || c == '"' ||
        c == ',' || c == ';') {
      return false;
    }
  }
  return true;
}

std::string ComposeMessage(const OutgoingMessage& message,
                           const MessageStamp& stamp) {
  std::string body;
  for (const std::string& line : message.body_lines) {
    body += OneLine(line);
    body += "\r\n";
  }
  bool plain = true;
  for (unsigned char c : body) {
    if ((c < 32 && c != '\r' && c != '\n') || c > 126) plain = false;
  }

  std::string out;
  out += "Date: " + RfcDate(stamp.unix_seconds) + "\r\n";
  out += "Message-ID: <" + OneLine(stamp.unique) + "@" +
         OneLine(DomainOf(message.from)) + ">\r\n";
  out += "From: <" + OneLine(message.from) + ">\r\n";
  out += "To: <" + OneLine(message.to) + ">\r\n";
  out += "Subject: " + EncodeHeaderText(OneLine(message.subject)) + "\r\n";
  out += "MIME-Version: 1.0\r\n";

  const std::string text_headers =
      std::string("Content-Type: text/plain; charset=UTF-8\r\n") +
      "Content-Transfer-Encoding: " +
      (plain ? "7bit" : "quoted-printable") + "\r\n";
  const std::string text_body = plain ? body : QuotedPrintable(body);

  if (message.attachments.empty()) {
    out += text_headers + "\r\n" + text_body;
    return out;
  }
  const std::string boundary = "=_tallybook_" + OneLine(stamp.unique);
  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
  out += "\r\nThis is a message in MIME format.\r\n";
  out += "--" + boundary + "\r\n" + text_headers + "\r\n" + text_body;
  for (const Attachment& a : message.attachments) {
    std::string name = OneLine(a.file_name);
    for (char& c : name) {
      if (c == '"' || c == '\\') c = '_';
    }
    const bool ascii = IsPrintableAscii(name);
    out += "--" + boundary + "\r\n";
    out += "Content-Type: " + OneLine(a.content_type) + ";" +
           (ascii ? " name=\"" + name + "\"" : Rfc2231Parameter("name", name)) +
           "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-Disposition: attachment;" +
           (ascii ? " filename=\"" + name + "\""
                  : Rfc2231Parameter("filename", name)) +
           "\r\n\r\n";
    out += Base64Lines(a.bytes);
  }
  out += "--" + boundary + "--\r\n";
  return out;
}

}  // namespace tallybook::mail
