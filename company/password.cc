#include "company/password.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "company/small_file.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::company {

namespace {

namespace fs = std::filesystem;

constexpr char kWrongPassword[] = "You did not enter the correct password.";
constexpr char kInvalidPasswordCaption[] = "Invalid Password";
constexpr char kPasswordExists[] =
    "A Password exists. Do you want to change it?";
constexpr char kWrongCurrentPassword[] =
    "You did not enter the correct password. Unable to change password.";
constexpr char kIncorrectPasswordCaption[] = "Incorrect Password";
constexpr char kEnterTwice[] =
    "You will need to enter a new password TWO times. Do not enter any "
    "password (twice) if you want to remove the password protection.";
constexpr char kCreateWarning[] =
    "Once you create a password you must enter it EXACTLY or you will not be "
    "able to use the billing system. Continue?";
constexpr char kNoMatch[] =
    "The two passwords do not match. Unable to setup password. Try again.";
constexpr char kRemoved[] =
    "You did not enter password. Any password has been cleared. This system "
    "is no longer password protected.";
constexpr char kRemovedCaption[] = "Password Removed";
constexpr char kNewPasswordSet[] =
    "Your new password is set. You will need to enter it EXACTLY as you "
    "typed it next time you want to access the system.";

std::string DamagedText(const App& app) {
  return "The password file " + app.PathOf(kPasswordFileName) +
         " is damaged or cannot be read. Replace it from a backup, or delete "
         "it to remove the password protection.";
}

std::string UnwritableText(const App& app) {
  return "Unable to write the password file " + app.PathOf(kPasswordFileName) +
         ". The password was not changed.";
}

// The record goes to a private side file renamed over the old one, so a
// failed write never leaves the installation without the earlier password
// and no other user can read it.
bool WritePasswordFile(const App& app, const std::string& password) {
  return ReplacePrivateFile(app.PathOf(kPasswordFileName),
                            PasswordRecord(password));
}

bool RemovePasswordFile(const App& app) {
  std::error_code ec;
  fs::remove(app.PathOf(kPasswordFileName), ec);
  return !ec;
}

}  // namespace

StoredPassword ReadStoredPassword(const App& app) {
  const std::string path = app.PathOf(kPasswordFileName);
  char record[kPasswordRecordSize];
  switch (ReadFixedSizeFile(path, record, sizeof(record))) {
    case SmallFileRead::kMissing:
      return {};
    case SmallFileRead::kDamaged:
      return {StoredPassword::State::kDamaged, ""};
    case SmallFileRead::kOk:
      break;
  }
  int length = static_cast<unsigned char>(record[0]);
  if (length > kPasswordMaxLength) length = kPasswordMaxLength;
  return {StoredPassword::State::kSet, Trim(std::string_view(record + 1, length))};
}

std::string PasswordRecord(const std::string& password) {
  std::string text = Trim(password);
  if (text.size() > static_cast<size_t>(kPasswordMaxLength)) {
    text.resize(kPasswordMaxLength);
  }
  std::string record(kPasswordRecordSize, '\0');
  record[0] = static_cast<char>(text.size());
  record.replace(1, text.size(), text);
  return record;
}

bool CheckPassword(App& app, const PasswordPrompt& prompt, int tries) {
  platform::Messages& messages = app.services().messages;
  const StoredPassword stored = ReadStoredPassword(app);
  switch (stored.state) {
    case StoredPassword::State::kNone:
      return true;
    case StoredPassword::State::kDamaged:
      platform::Warn(messages, kInvalidPasswordCaption, DamagedText(app));
      return false;
    case StoredPassword::State::kSet:
      break;
  }
  for (int attempt = 1; attempt <= tries; ++attempt) {
    std::optional<std::string> typed = prompt(kPasswordRequiredCaption);
    if (!typed) return false;
    if (Trim(*typed) == stored.password) return true;
    platform::Warn(messages, kInvalidPasswordCaption, kWrongPassword);
  }
  return false;
}

void PasswordSetup(App& app, const PasswordPrompt& prompt) {
  platform::Messages& messages = app.services().messages;
  const StoredPassword stored = ReadStoredPassword(app);
  if (stored.state == StoredPassword::State::kDamaged) {
    platform::Warn(messages, kIncorrectPasswordCaption, DamagedText(app));
    return;
  }
  if (stored.state == StoredPassword::State::kSet) {
    if (!platform::Confirm(messages, kPasswordSetupCaption, kPasswordExists)) {
      return;
    }
    std::optional<std::string> current = prompt(kCurrentPasswordCaption);
    if (!current) return;
    if (Trim(*current) != stored.password) {
      platform::Warn(messages, kIncorrectPasswordCaption,
                     kWrongCurrentPassword);
      return;
    }
    platform::Inform(messages, kPasswordSetupCaption, kEnterTwice);
  } else if (!platform::Confirm(messages, kPasswordSetupCaption,
                                kCreateWarning)) {
    return;
  }

  std::optional<std::string> first = prompt(kPasswordSetupCaption);
  if (!first) return;
  std::optional<std::string> second = prompt(kReenterPasswordCaption);
  if (!second) return;
  if (*first != *second) {
    platform::Warn(messages, kInvalidPasswordCaption, kNoMatch);
    return;
  }
  // A password of blanks, or of a single character, is no password: the
  // rule is about what would be stored, so the entry is measured trimmed.
  const std::string entry = Trim(*first);
  if (entry.size() < 2) {
    if (!RemovePasswordFile(app)) {
      platform::Warn(messages, kPasswordSetupCaption, UnwritableText(app));
      return;
    }
    platform::Inform(messages, kRemovedCaption, kRemoved);
    return;
  }
  if (!WritePasswordFile(app, entry)) {
    platform::Warn(messages, kPasswordSetupCaption, UnwritableText(app));
    return;
  }
  // The password is never shown: not in a message, not in a title bar.
  platform::Inform(messages, kPasswordSetupCaption, kNewPasswordSet);
}

}  // namespace tallybook::company
