// MailTransport over libcurl's SMTP.
//
// libcurl opens a connection per transfer on a handle and keeps it for the
// next transfer on the same handle, so the "connection" of this transport
// is one easy handle: Open() checks the server with a connect-only
// transfer (greeting, EHLO, STARTTLS, login) and keeps the handle for the
// sends; Close() cleans it up, which says QUIT.
//
// The server's reply lines are taken from libcurl's debug callback, so a
// refusal reaches the user as the server worded it ("550 No such user").
#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <random>

#include "mail/mail_transport.h"
#include "mail/server_address.h"

namespace tallybook::mail {

namespace {

constexpr long kConnectTimeoutSeconds = 20;
constexpr long kTransferTimeoutSeconds = 180;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// What the callbacks of one transfer read and write.
struct TransferState {
  std::string last_reply;  // the last line the server sent
  // The last refusal (4xx or 5xx): after a refusal libcurl says QUIT, so
  // the last line is the server's goodbye, not its reason.
  std::string last_refusal;
  std::string upload;
  size_t offset = 0;
};

int DebugCallback(CURL*, curl_infotype type, char* data, size_t size,
                  void* user) {
  auto* state = static_cast<TransferState*>(user);
  if (type != CURLINFO_HEADER_IN || state == nullptr) return 0;
  std::string text(data, size);
  // A reply may come as several lines in one piece; keep the last.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  const size_t nl = text.rfind('\n');
  if (nl != std::string::npos) text = text.substr(nl + 1);
  if (!text.empty()) state->last_reply = text;
  if (!text.empty() && (text[0] == '4' || text[0] == '5')) {
    state->last_refusal = text;
  }
  return 0;
}

size_t ReadCallback(char* buffer, size_t size, size_t count, void* user) {
  auto* state = static_cast<TransferState*>(user);
  const size_t room = size * count;
  const size_t n = std::min(room, state->upload.size() - state->offset);
  std::copy_n(state->upload.data() + state->offset, n, buffer);
  state->offset += n;
  return n;
}

bool IsCertificateError(CURLcode code) {
  return code == CURLE_PEER_FAILED_VERIFICATION ||
         code == CURLE_SSL_CACERT_BADFILE || code == CURLE_SSL_CERTPROBLEM ||
         code == CURLE_SSL_ISSUER_ERROR || code == CURLE_SSL_PINNEDPUBKEYNOTMATCH;
}

bool IsReachError(CURLcode code) {
  return code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST ||
         code == CURLE_OPERATION_TIMEDOUT || code == CURLE_RECV_ERROR ||
         code == CURLE_GOT_NOTHING;
}

std::string Unique() {
  static std::mt19937_64 generator{std::random_device{}()};
  static unsigned counter = 0;
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%016llx.%u",
                static_cast<unsigned long long>(generator()), ++counter);
  return buffer;
}

class CurlMailTransport : public MailTransport {
 public:
  explicit CurlMailTransport(std::string settings_path)
      : settings_path_(std::move(settings_path)) {
    GlobalInit();
  }
  ~CurlMailTransport() override { Close(); }

  bool Open(const std::string& server) override {
    if (handle_ != nullptr && server == server_) return true;
    Close();
    server_ = server;
    last_error_.clear();
    const std::optional<ServerAddress> address = ParseServerAddress(server);
    if (!address) {
      last_error_ = "\"" + server + "\" does not name a mail server.";
      return false;
    }
    address_ = *address;
    settings_ = MailSettings{};
    std::string settings_error;
    if (ReadMailSettings(settings_path_, &settings_, &settings_error) ==
        SettingsRead::kDamaged) {
      last_error_ = settings_error;
      return false;
    }
    CURL* probe = NewHandle();
    if (probe == nullptr) {
      last_error_ = "The mail connection could not be set up.";
      return false;
    }
    TransferState state;
    curl_easy_setopt(probe, CURLOPT_DEBUGDATA, &state);
    curl_easy_setopt(probe, CURLOPT_CONNECT_ONLY, 1L);
    const CURLcode code = curl_easy_perform(probe);
    curl_easy_cleanup(probe);
    if (code != CURLE_OK) {
      last_error_ = Explain(code, state.last_refusal, /*sending=*/false);
      return false;
    }
    handle_ = NewHandle();
    if (handle_ == nullptr) {
      last_error_ = "The mail connection could not be set up.";
      return false;
    }
    return true;
  }

  void Close() override {
    if (handle_ != nullptr) {
      curl_easy_cleanup(handle_);
      handle_ = nullptr;
    }
  }

  bool Connected() const override { return handle_ != nullptr; }
  const std::string& Server() const override { return server_; }
  const std::string& LastError() const override { return last_error_; }

  SendResult Send(const OutgoingMessage& message) override {
    SendResult result;
    if (handle_ == nullptr) {
      result.error = "The mail server is not connected.";
      return result;
    }
    for (const std::string* address : {&message.from, &message.to}) {
      result.error = AddressProblem(*address);
      if (!result.error.empty()) return result;
    }
    TransferState state;
    MessageStamp stamp;
    stamp.unix_seconds = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
    stamp.unique = Unique();
    state.upload = ComposeMessage(message, stamp);

    const std::string from = "<" + message.from + ">";
    curl_slist* recipients =
        curl_slist_append(nullptr, ("<" + message.to + ">").c_str());
    curl_easy_setopt(handle_, CURLOPT_DEBUGDATA, &state);
    curl_easy_setopt(handle_, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(handle_, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(handle_, CURLOPT_READFUNCTION, &ReadCallback);
    curl_easy_setopt(handle_, CURLOPT_READDATA, &state);
    curl_easy_setopt(handle_, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle_, CURLOPT_INFILESIZE_LARGE,
                     static_cast<curl_off_t>(state.upload.size()));
    error_buffer_[0] = '\0';
    const CURLcode code = curl_easy_perform(handle_);
    curl_easy_setopt(handle_, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(handle_, CURLOPT_DEBUGDATA, nullptr);
    curl_easy_setopt(handle_, CURLOPT_READDATA, nullptr);
    curl_slist_free_all(recipients);
    if (code == CURLE_OK) {
      result.ok = true;
      result.server_reply = state.last_reply;
    } else {
      result.server_reply = state.last_refusal;
      result.error = Explain(code, state.last_refusal, /*sending=*/true);
    }
    return result;
  }

 private:
  CURL* NewHandle() {
    CURL* h = curl_easy_init();
    if (h == nullptr) return nullptr;
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error_buffer_);
    error_buffer_[0] = '\0';
    curl_easy_setopt(h, CURLOPT_URL, address_.Url().c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, kTransferTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, &DebugCallback);
    // TLS before anything is sent (TlsRequired); always when a password is
    // sent, whatever the settings allow; otherwise whenever offered.
    const bool login = !settings_.user.empty();
    curl_easy_setopt(h, CURLOPT_USE_SSL,
                     login || TlsRequired(address_, settings_)
                         ? static_cast<long>(CURLUSESSL_ALL)
                         : static_cast<long>(CURLUSESSL_TRY));
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!settings_.ca_file.empty()) {
      curl_easy_setopt(h, CURLOPT_CAINFO, settings_.ca_file.c_str());
    }
    if (login) {
      curl_easy_setopt(h, CURLOPT_USERNAME, settings_.user.c_str());
      curl_easy_setopt(h, CURLOPT_PASSWORD, settings_.password.c_str());
    }
    return h;
  }

  // The user's text for a failed transfer; `reply` is the server's last
  // refusal, empty when it refused nothing.
  std::string Explain(CURLcode code, const std::string& reply, bool sending) {
    const std::string detail =
        error_buffer_[0] != '\0' ? error_buffer_ : curl_easy_strerror(code);
    const std::string& host = address_.host;
    if (IsCertificateError(code) || code == CURLE_SSL_CONNECT_ERROR) {
      return "The certificate of the mail server " + host +
             " could not be verified: " + detail;
    }
    if (code == CURLE_USE_SSL_FAILED) {
      if (settings_.user.empty()) return NoStartTlsText(host);
      return "The mail server " + host +
             " does not offer an encrypted connection (STARTTLS), which is "
             "needed to send the password.";
    }
    if (code == CURLE_LOGIN_DENIED) {
      return "The mail server " + host +
             " did not accept the user name and password" +
             (reply.empty() ? "." : ": " + reply);
    }
    if (IsReachError(code) && reply.empty()) {
      return "Cannot reach the mail server " + host + ": " +
             curl_easy_strerror(code);
    }
    if (!reply.empty()) {
      return "The mail server " + host + (sending ? " refused the message: "
                                                  : " refused the connection: ") +
             reply;
    }
    return std::string(sending ? "Sending through" : "Connecting to") +
           " the mail server " + host + " failed: " + detail;
  }

  std::string settings_path_;
  MailSettings settings_;
  ServerAddress address_;
  std::string server_;
  std::string last_error_;
  CURL* handle_ = nullptr;
  char error_buffer_[CURL_ERROR_SIZE] = {};
};

}  // namespace

bool IsLoopbackHost(std::string_view host) {
  std::string text(host);
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (text == "localhost") return true;
  in_addr v4;
  if (::inet_pton(AF_INET, text.c_str(), &v4) == 1) {
    return (ntohl(v4.s_addr) >> 24) == 127;
  }
  in6_addr v6;
  if (::inet_pton(AF_INET6, text.c_str(), &v6) == 1) {
    if (IN6_IS_ADDR_LOOPBACK(&v6)) return true;
    return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
  }
  return false;
}

bool TlsRequired(const ServerAddress& address, const MailSettings& settings) {
  if (address.implicit_tls) return true;
  return !IsLoopbackHost(address.host) && !settings.allow_unencrypted;
}

std::string NoStartTlsText(const std::string& host) {
  return "The mail server " + host +
         " does not offer an encrypted connection (STARTTLS), so nothing "
         "was sent to it. Tick \"" + kAllowUnencryptedText +
         "\" in the mail settings to send through it all the same.";
}

std::unique_ptr<MailTransport> MakeCurlMailTransport(
    std::string settings_path) {
  return std::make_unique<CurlMailTransport>(std::move(settings_path));
}

}  // namespace tallybook::mail
