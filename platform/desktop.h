// Other programs of the desktop: the calculator and the web browser.
#ifndef TALLYBOOK_PLATFORM_DESKTOP_H_
#define TALLYBOOK_PLATFORM_DESKTOP_H_

#include <string>

namespace tallybook::platform {

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Starts the desktop's calculator program. False when none could be
  // started; the caller then tells the user so.
  virtual bool StartCalculator() = 0;
  // Opens `url` in the default web browser; false when that failed.
  virtual bool OpenUrl(const std::string& url) = 0;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_DESKTOP_H_
