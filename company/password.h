// The user password: the optional file "tl1confg.dat" in the data
// directory, the check made at start-up (and before a company is edited or
// deleted, or paid invoices are purged), and Password Setup.
//
//   "tl1confg.dat", one record of 21 bytes, no header:
//   OFFSET WIDTH    MEANING
//   0      1        length of the password (0..20)
//   1      20       the password as typed and trimmed, plain text; the
//                   bytes after it are zero
//
// No file means no password. The logic asks for the typed text through a
// PasswordPrompt (the password dialog in the program, a lambda in tests)
// and tells the user everything through the App's messages.
#ifndef TALLYBOOK_COMPANY_PASSWORD_H_
#define TALLYBOOK_COMPANY_PASSWORD_H_

#include <functional>
#include <optional>
#include <string>

#include "company/app.h"

namespace tallybook::company {

inline constexpr char kPasswordFileName[] = "tl1confg.dat";
inline constexpr int kPasswordRecordSize = 21;
inline constexpr int kPasswordMaxLength = 20;

// Captions of the password dialog.
inline constexpr char kPasswordRequiredCaption[] = "Password Required";
inline constexpr char kCurrentPasswordCaption[] = "Enter the Current Password";
inline constexpr char kPasswordSetupCaption[] = "Password Setup";
inline constexpr char kReenterPasswordCaption[] = "Re-enter Your Password";
// The label of its one field.
inline constexpr char kEnterPasswordLabel[] = "Enter password:";

// Shows the password dialog with an empty field under `caption`; the typed
// text on OK, nullopt on Cancel.
using PasswordPrompt =
    std::function<std::optional<std::string>(const std::string& caption)>;

// What the password file holds.
struct StoredPassword {
  enum class State {
    kNone,     // no file: no password is set
    kSet,      // password holds the trimmed password
    kDamaged,  // the file exists but is shorter than a record or unreadable
  };
  State state = State::kNone;
  std::string password;
};

// Reads "tl1confg.dat" in the app's data directory. A length byte above 20
// is read as 20, so a damaged byte never reaches past the record.
StoredPassword ReadStoredPassword(const App& app);

// The record for `password`: trimmed, cut to 20 characters, zero padded.
std::string PasswordRecord(const std::string& password);

// How often the password may be typed at start-up before the program ends.
inline constexpr int kStartupPasswordTries = 3;

// The password check. True when no password is set, or the user typed it
// (trimmed, case matters) and pressed OK within `tries` attempts, each wrong
// one answered by "You did not enter the correct password.". False on
// Cancel, after the last wrong attempt and on a damaged file (after a
// message naming it).
bool CheckPassword(App& app, const PasswordPrompt& prompt, int tries = 1);

// Password Setup: changes, sets or removes the password, asking and telling
// the user each step; the new password itself is never shown. A file that cannot be written leaves the earlier
// password in force and says so.
void PasswordSetup(App& app, const PasswordPrompt& prompt);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_PASSWORD_H_
