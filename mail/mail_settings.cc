#include "mail/mail_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/regular_file.h"

namespace tallybook::mail {

namespace {

bool HasControl(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 32 || c == 127) return true;
  }
  return false;
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

}  // namespace

SettingsRead ReadMailSettings(const std::string& path, MailSettings* settings,
                              std::string* error) {
  // Far more than any settings file holds.
  constexpr size_t kMaxBytes = 64 * 1024;
  std::string text, reason;
  switch (platform::ReadRegularFile(path, kMaxBytes, &text, &reason)) {
    case platform::FileRead::kOk:
      break;
    case platform::FileRead::kMissing:
      return SettingsRead::kMissing;
    default:
      SetError(error, "Cannot read the mail settings file " + path + ": " +
                          reason + ".");
      return SettingsRead::kDamaged;
  }
  MailSettings read;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos || HasControl(line)) {
      SetError(error, "The mail settings file " + path + " is damaged (line " +
                          std::to_string(number) + ").");
      return SettingsRead::kDamaged;
    }
    const std::string name = line.substr(0, eq);
    const std::string value = line.substr(eq + 1);
    if (name == "user") {
      read.user = value;
    } else if (name == "password") {
      read.password = value;
    } else if (name == "ca_file") {
      read.ca_file = value;
    } else if (name == "attach_pdf") {
      read.attach_pdf = value != "N" && value != "n";
    } else if (name == "allow_unencrypted") {
      read.allow_unencrypted = value == "Y" || value == "y";
    }
  }
  *settings = read;
  return SettingsRead::kOk;
}

std::string FormatMailSettings(const MailSettings& settings) {
  std::string out;
  if (!settings.user.empty()) out += "user=" + settings.user + "\n";
  if (!settings.password.empty()) {
    out += "password=" + settings.password + "\n";
  }
  if (!settings.ca_file.empty()) out += "ca_file=" + settings.ca_file + "\n";
  out += std::string("attach_pdf=") + (settings.attach_pdf ? "Y" : "N") + "\n";
  out += std::string("allow_unencrypted=") +
         (settings.allow_unencrypted ? "Y" : "N") + "\n";
  return out;
}

bool WriteMailSettings(const std::string& path, const MailSettings& settings,
                       std::string* error) {
  for (const std::string* value :
       {&settings.user, &settings.password, &settings.ca_file}) {
    if (HasControl(*value)) {
      SetError(error, "A mail setting may not hold a line break or other "
                      "control character.");
      return false;
    }
  }
  const std::string bytes = FormatMailSettings(settings);
  const std::string side = path + ".new";
  ::unlink(side.c_str());
  const int fd = ::open(side.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        S_IRUSR | S_IWUSR);
  if (fd < 0) {
    SetError(error, "Cannot write " + side + ": " + std::strerror(errno));
    return false;
  }
  // The mode given to open() is narrowed by the umask; a password file
  // must end up 0600 whatever the umask says.
  bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
  size_t written = 0;
  while (ok && written < bytes.size()) {
    const ssize_t n =
        ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    written += static_cast<size_t>(n);
  }
  if (ok) ok = ::fsync(fd) == 0;
  const int saved = errno;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(side.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) {
    const int reason = errno != 0 ? errno : saved;
    ::unlink(side.c_str());
    SetError(error, "Cannot write " + path + ": " + std::strerror(reason));
    return false;
  }
  return true;
}

}  // namespace tallybook::mail
