// The installation's mail settings: the login the outgoing server asks
// for, the certificate authorities to trust, and whether invoice e-mail
// carries a PDF of the invoice. Kept out of the company records in a small
// private file of the data directory, readable by its owner only.
//
// File format ("TLMAIL.CFG"), UTF-8 lines "name=value", CR LF or LF:
//   user=NAME            login name; none: the server is used without login
//   password=TEXT        the password, as typed
//   ca_file=PATH         extra certificate authorities (PEM); none: system's
//   attach_pdf=Y|N       attach the printed invoice as a PDF (default Y)
//   allow_unencrypted=Y|N  send through a server that offers no STARTTLS
//                        (default N; a loopback server needs no leave)
// Files written before the last line existed read as its default.
// Unknown names are ignored (a later version may add some); a line without
// '=' makes the file damaged.
#ifndef TALLYBOOK_MAIL_MAIL_SETTINGS_H_
#define TALLYBOOK_MAIL_MAIL_SETTINGS_H_

#include <string>
#include <string_view>

namespace tallybook::mail {

inline constexpr char kMailSettingsFileName[] = "TLMAIL.CFG";
// The caption of allow_unencrypted in the mail settings dialog.
inline constexpr char kAllowUnencryptedText[] = "Allow unencrypted connection";

struct MailSettings {
  std::string user;
  std::string password;
  std::string ca_file;
  bool attach_pdf = true;
  bool allow_unencrypted = false;
  bool operator==(const MailSettings&) const = default;
};

enum class SettingsRead { kOk, kMissing, kDamaged };

// Reads the file at path into *settings. kMissing leaves the defaults;
// kDamaged (unreadable, or a line that is not name=value, or a value with
// a control character) leaves *settings as it was and *error says which
// line.
SettingsRead ReadMailSettings(const std::string& path, MailSettings* settings,
                              std::string* error = nullptr);

// The settings in the file's format.
std::string FormatMailSettings(const MailSettings& settings);

// Writes the settings to a side file of mode 0600, then renames it over
// path. False, path untouched and *error saying why, on failure. A value
// with a line break or other control character is refused.
bool WriteMailSettings(const std::string& path, const MailSettings& settings,
                       std::string* error = nullptr);

}  // namespace tallybook::mail

#endif  // TALLYBOOK_MAIL_MAIL_SETTINGS_H_
