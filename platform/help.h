// The help viewer, opened at named topics ("InvoiceManager", "backupdata").
#ifndef TALLYBOOK_PLATFORM_HELP_H_
#define TALLYBOOK_PLATFORM_HELP_H_

#include <string>

namespace tallybook::platform {

class Help {
 public:
  virtual ~Help() = default;

  // Opens the help window at `topic`. A topic without a page shows the
  // contents with a note that the topic has no page yet.
  virtual void ShowHelp(const std::string& topic) = 0;
  virtual void ShowHelpContents() = 0;
  // The page that explains how to use the help window itself.
  virtual void ShowHelpOnHelp() = 0;
  // Closes the help window if it is open (at program exit).
  virtual void CloseHelp() = 0;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_HELP_H_
