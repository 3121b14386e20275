// A progress window with a gauge: a caption, a bar from 0 to 100 percent and
// a status line below it, with a Cancel button (used by the backup and
// restore and by other loops that know how far they are).
#ifndef TALLYBOOK_PLATFORM_GAUGE_WINDOW_H_
#define TALLYBOOK_PLATFORM_GAUGE_WINDOW_H_

#include <string>

namespace tallybook::platform {

class GaugeWindow {
 public:
  virtual ~GaugeWindow() = default;

  virtual void SetCaption(const std::string& caption) = 0;
  // Sets the bar; values below 0 show 0, above 100 show 100.
  virtual void SetPercent(int percent) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  // Shows the window without blocking; clears an earlier cancel request.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Lets the program handle input and repaints that are waiting.
  virtual void ProcessPendingInput() = 0;
  // True once the user pressed Cancel since the last Show().
  virtual bool CancelRequested() const = 0;
  // Presses Cancel on the user's behalf while the window is showing.
  virtual void RequestCancel() {}
};

// Clamps a percentage into 0..100; shared by the implementations.
inline int ClampPercent(int percent) {
  return percent < 0 ? 0 : (percent > 100 ? 100 : percent);
}

// Whole percent of `done` out of `total`; 0 when total is not positive, and
// never above 100. Safe against overflow for counts of bytes.
int PercentOf(long long done, long long total);

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_GAUGE_WINDOW_H_
