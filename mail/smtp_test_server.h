// For tests: a real SMTP server on 127.0.0.1, run with the system's own
// Python and its aiosmtpd module. Each message the server accepts is kept
// as a file NNN.eml in its mail folder, preceded by three lines the server
// adds: "X-Envelope-From:", "X-Envelope-To:" and "X-TLS: yes|no". Chosen
// recipients are refused with "550 No such user"; with a certificate the
// server offers STARTTLS.
//
//   SmtpTestServer server(dir);
//   if (!server.Start()) GTEST_SKIP() << server.skip_reason();
//   ... send to server.address() ...
//   std::vector<std::string> mail = server.Messages();
#ifndef TALLYBOOK_MAIL_SMTP_TEST_SERVER_H_
#define TALLYBOOK_MAIL_SMTP_TEST_SERVER_H_

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace tallybook::mail::testing {

inline constexpr char kSystemPython[] = "/usr/bin/python3";

inline constexpr char kServerScript[] = R"PY(
import os, ssl, sys, threading
from aiosmtpd.controller import Controller

port, maildir, refused, cert, key = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5]
refused = set(a for a in refused.split(',') if a)

class Handler:
    count = 0
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in refused:
            return '550 No such user'
        envelope.rcpt_tos.append(address)
        return '250 OK'
    async def handle_DATA(self, server, session, envelope):
        Handler.count += 1
        path = os.path.join(maildir, '%03d.eml' % Handler.count)
        head = 'X-Envelope-From: %s\r\nX-Envelope-To: %s\r\nX-TLS: %s\r\n' % (
            envelope.mail_from, ','.join(envelope.rcpt_tos),
            'yes' if session.ssl is not None else 'no')
        with open(path + '.part', 'wb') as f:
            f.write(head.encode() + envelope.original_content)
        os.rename(path + '.part', path)
        return '250 Message accepted for delivery'

kwargs = {}
if cert:
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    kwargs = dict(tls_context=context, require_starttls=False)
controller = Controller(Handler(), hostname='127.0.0.1', port=port, **kwargs)
controller.start()
open(os.path.join(maildir, 'READY'), 'w').close()
threading.Event().wait()
)PY";

class SmtpTestServer {
 public:
  // Works in `dir` (made by the test; the server's files go below it).
  explicit SmtpTestServer(std::filesystem::path dir) : dir_(std::move(dir)) {}
  ~SmtpTestServer() { Stop(); }
  SmtpTestServer(const SmtpTestServer&) = delete;
  SmtpTestServer& operator=(const SmtpTestServer&) = delete;

  // Recipients the server refuses; set before Start().
  void Refuse(const std::string& address) {
    refused_ += (refused_.empty() ? "" : ",") + address;
  }

  // Makes a self-signed certificate for 127.0.0.1 (openssl) and offers
  // STARTTLS with it; set before Start(). False when it cannot be made.
  bool UseTls() {
    cert_ = (dir_ / "cert.pem").string();
    key_ = (dir_ / "key.pem").string();
    const std::string command =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
        " -addext subjectAltName=IP:127.0.0.1 -keyout '" + key_ +
        "' -out '" + cert_ + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
      skip_reason_ = "openssl could not make a test certificate";
      cert_.clear();
      return false;
    }
    return true;
  }
  const std::string& certificate() const { return cert_; }

  // Starts the server on a free port; false (skip_reason() says why) when
  // the system's Python or its aiosmtpd module is missing.
  bool Start() {
    if (::access(kSystemPython, X_OK) != 0) {
      skip_reason_ = std::string(kSystemPython) + " is not installed";
      return false;
    }
    if (std::system((std::string(kSystemPython) +
                     " -c 'import aiosmtpd' >/dev/null 2>&1").c_str()) != 0) {
      skip_reason_ = "python3-aiosmtpd is not installed";
      return false;
    }
    maildir_ = dir_ / "maildir";
    std::filesystem::create_directories(maildir_);
    const std::string script = (dir_ / "smtp_server.py").string();
    std::ofstream(script) << kServerScript;
    port_ = FreePort();
    const std::string port = std::to_string(port_);
    const std::string maildir = maildir_.string();
    pid_ = ::fork();
    if (pid_ == 0) {
      // The server's own log goes to a file, not into the test's output.
      const std::string log = (dir_ / "smtp_server.log").string();
      const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (fd >= 0) {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::close(fd);
      }
      ::execl(kSystemPython, kSystemPython, script.c_str(), port.c_str(),
              maildir.c_str(), refused_.c_str(), cert_.c_str(), key_.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    if (pid_ < 0) {
      skip_reason_ = "cannot start the test mail server";
      return false;
    }
    // Wait for the server to say it listens (or to die).
    for (int i = 0; i < 400; ++i) {
      if (std::filesystem::exists(maildir_ / "READY")) return true;
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    failed_ = true;
    skip_reason_ = "the test mail server did not start";
    return false;
  }

  // True when Start() ran the server but it did not come up: a fault, not a
  // reason to skip.
  bool failed() const { return failed_; }

  void Stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
      pid_ = -1;
    }
  }

  int port() const { return port_; }
  // "127.0.0.1:PORT", as the company options would name it.
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  const std::string& skip_reason() const { return skip_reason_; }

  // The messages received so far, in order (with the three added lines).
  std::vector<std::string> Messages() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(maildir_, ec)) {
      if (entry.path().extension() == ".eml") {
        names.push_back(entry.path().string());
      }
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> out;
    for (const std::string& name : names) {
      std::ifstream in(name, std::ios::binary);
      out.emplace_back(std::istreambuf_iterator<char>(in),
                       std::istreambuf_iterator<char>());
    }
    return out;
  }

  // A port on 127.0.0.1 nobody listens on (the kernel's pick, released).
  static int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0) {
      socklen_t len = sizeof(addr);
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
      port = ntohs(addr.sin_port);
    }
    ::close(fd);
    return port;
  }

 private:
  std::filesystem::path dir_;
  std::filesystem::path maildir_;
  std::string refused_;
  std::string cert_;
  std::string key_;
  std::string skip_reason_;
  int port_ = 0;
  pid_t pid_ = -1;
  bool failed_ = false;
};

}  // namespace tallybook::mail::testing

#endif  // TALLYBOOK_MAIL_SMTP_TEST_SERVER_H_
