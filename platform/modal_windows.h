// Showing a window modally through the platform.
//
// Every window that opens another window does so with
//   int result = services.windows.RunModal("TProdInv", [&] { return w.exec(); });
// The Qt implementation simply calls `exec`. The scripted double of
// platform/testing never calls it: it looks up the handler the test gave for
// that window name and returns the handler's result, so a test scripts the
// windows a window opens and fails on a window it did not expect.
#ifndef TALLYBOOK_PLATFORM_MODAL_WINDOWS_H_
#define TALLYBOOK_PLATFORM_MODAL_WINDOWS_H_

#include <functional>
#include <string>

namespace tallybook::platform {

// Results of a modal window, as its buttons set them (QDialog::Accepted is 1,
// Rejected is 0; windows with more outcomes use their own values above 1).
inline constexpr int kModalCancel = 0;
inline constexpr int kModalOk = 1;

class ModalWindows {
 public:
  virtual ~ModalWindows() = default;

  // Shows the window named `window_name` (its class name, e.g. "TCalForm")
  // by running `exec`, and returns its result.
  virtual int RunModal(const std::string& window_name,
                       std::function<int()> exec) = 0;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_MODAL_WINDOWS_H_
