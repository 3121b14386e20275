// Other programs of the desktop: the calculator and the web browser.
#ifndef TALLYBOOK_PLATFORM_DESKTOP_H_
#define TALLYBOOK_PLATFORM_DESKTOP_H_

#include <string>
#include <vector>

namespace tallybook::platform {

// A printout saved as a file instead of printed: the user is told where it
// is and may open it, or show the folder, through the desktop's handlers.
struct SavedFileNotice {
  std::string caption;
  std::string text;
  std::string path;     // the file, or the folder when `folder` is set
  bool folder = false;  // several files: only "Show folder" is offered
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Starts the desktop's calculator program. False when none could be
  // started; the caller then tells the user so (CalculatorNotFoundText).
  virtual bool StartCalculator() = 0;
  // The calculator programs StartCalculator looks for, in order.
  virtual std::vector<std::string> CalculatorPrograms() const { return {}; }
  // Shows notice with the buttons "Open" (a file only), "Show folder" and
  // "Close", and does what the user chose. Without a desktop (the admin
  // console) it does nothing: the caller's status text names the file.
  virtual void OfferSavedFile(const SavedFileNotice& notice) { (void)notice; }
  // Opens `url` in the default web browser; false when that failed.
  virtual bool OpenUrl(const std::string& url) = 0;
};

// What the user is told when no calculator could be started: which
// programs were looked for, so that one of them can be installed.
std::string CalculatorNotFoundText(const Desktop& desktop);

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_DESKTOP_H_
