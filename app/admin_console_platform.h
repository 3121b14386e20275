// The platform of tallybook-admin commands that run the program's own logic
// (aging, for one): nobody sits at a screen, so every message box is
// written as one line to the error stream and every question is answered
// No (Cancel when the box has it), so nothing is changed on a guess. Modal
// windows and dialogs are cancelled, nothing is printed, help and the
// desktop are not there, and the progress window stays silent. The clock is
// the computer's.
#ifndef TALLYBOOK_APP_ADMIN_CONSOLE_PLATFORM_H_
#define TALLYBOOK_APP_ADMIN_CONSOLE_PLATFORM_H_

#include <ostream>
#include <string>

#include "platform/services.h"

namespace tallybook::admin {

class ConsoleMessages : public platform::Messages {
 public:
  explicit ConsoleMessages(std::ostream& err) : err_(err) {}
  // Writes "CAPTION: TEXT" and answers No / Cancel / OK as above.
  platform::Answer Show(const platform::Message& message) override;

 private:
  std::ostream& err_;
};

class ConsolePlatform {
 public:
  explicit ConsolePlatform(std::ostream& err);
  ConsolePlatform(const ConsolePlatform&) = delete;
  ConsolePlatform& operator=(const ConsolePlatform&) = delete;
  ~ConsolePlatform();

  platform::Services services();

 private:
  struct Parts;
  Parts* parts_;
};

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_CONSOLE_PLATFORM_H_
