// The progress window of long loops: a caption and three text lines, shown
// modeless while the loop runs (the rebuild status window, TStatForm).
//
// The loop sets the lines, calls ProcessPendingInput() between records so the
// program stays responsive (repaints, the Cancel button), and asks
// CancelRequested() where it can stop safely. The window is shared: every
// user sets its own caption and lines before Show().
#ifndef TALLYBOOK_PLATFORM_PROGRESS_WINDOW_H_
#define TALLYBOOK_PLATFORM_PROGRESS_WINDOW_H_

#include <string>

namespace tallybook::platform {

class ProgressWindow {
 public:
  static constexpr int kLineCount = 3;

  virtual ~ProgressWindow() = default;

  virtual void SetCaption(const std::string& caption) = 0;
  // Sets line `index` (0, 1 or 2); other indexes are ignored.
  virtual void SetLine(int index, const std::string& text) = 0;
  // Empties all three lines.
  virtual void ClearLines() = 0;
  // Whether the window offers a Cancel button; off unless a loop can stop.
  virtual void SetCancellable(bool cancellable) = 0;
  // Shows the window without blocking; clears an earlier cancel request.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Lets the program handle input and repaints that are waiting.
  virtual void ProcessPendingInput() = 0;
  // True once the user pressed Cancel since the last Show().
  virtual bool CancelRequested() const = 0;
  // Presses Cancel on the user's behalf when the window is showing and
  // offers it (closing the program does this to a running loop); nothing
  // otherwise.
  virtual void RequestCancel() {}
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_PROGRESS_WINDOW_H_
