#include "mail/server_address.h"

#include <cctype>

namespace tallybook::mail {

namespace {

bool IsHostChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' ||
         c == '_';
}

bool ParsePort(std::string_view text, int* port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return false;
  *port = value;
  return true;
}

}  // namespace

std::string ServerAddress::Url() const {
  const bool v6 = host.find(':') != std::string::npos;
  return std::string(implicit_tls ? "smtps://" : "smtp://") +
         (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<ServerAddress> ParseServerAddress(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  ServerAddress address;
  auto starts = [&](std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
        return false;
      }
    }
    return true;
  };
  if (starts("smtps://")) {
    address.implicit_tls = true;
    address.port = kSmtpsPort;
    text.remove_prefix(8);
  } else if (starts("smtp://")) {
    text.remove_prefix(7);
  }
  if (!text.empty() && text.back() == '/') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;

  std::string_view host = text;
  std::string_view port;
  if (text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = text.substr(1, close - 1);
    std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
      if (port.empty()) return std::nullopt;
    }
    if (host.empty()) return std::nullopt;
    for (char c : host) {
      if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' &&
          c != '.') {
        return std::nullopt;
      }
    }
  } else {
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
      host = text.substr(0, colon);
      port = text.substr(colon + 1);
      if (port.empty()) return std::nullopt;
    }
    if (host.empty() || host.front() == '.' || host.front() == '-') {
      return std::nullopt;
    }
    for (char c : host) {
      if (!IsHostChar(c)) return std::nullopt;
    }
  }
  if (!port.empty() && !ParsePort(port, &address.port)) return std::nullopt;
  address.host = std::string(host);
  return address;
}

}  // namespace tallybook::mail
