// Scripted modal windows for tests.
//
// A window's code opens another window through ModalWindows::RunModal(name,
// exec). Here `exec` is never called; instead:
//   windows.ExpectWindow("TCalForm", kModalOk);           // once, in order
//   windows.ExpectWindow("TPWDlg", [&] { ...; return kModalOk; });
//   windows.OnWindow("TStartForm", kModalOk);             // any number of times
// Expected windows are consumed in order; a window that is neither the next
// expected one nor has a standing handler fails the test (ADD_FAILURE,
// naming it) and returns kModalCancel. Expected windows never opened fail
// the test in Verify(), which the destructor calls.
#ifndef TALLYBOOK_PLATFORM_TESTING_SCRIPTED_WINDOWS_H_
#define TALLYBOOK_PLATFORM_TESTING_SCRIPTED_WINDOWS_H_

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/modal_windows.h"

namespace tallybook::platform::testing {

class ScriptedWindows : public ModalWindows {
 public:
  using Handler = std::function<int()>;

  ScriptedWindows() = default;
  ScriptedWindows(const ScriptedWindows&) = delete;
  ScriptedWindows& operator=(const ScriptedWindows&) = delete;
  ~ScriptedWindows() override;

  void ExpectWindow(std::string window_name, Handler handler);
  void ExpectWindow(std::string window_name, int result);
  // A handler used whenever `window_name` opens and is not the next
  // expected window.
  void OnWindow(std::string window_name, Handler handler);
  void OnWindow(std::string window_name, int result);

  int RunModal(const std::string& window_name,
               std::function<int()> exec) override;

  void Verify();

  // Names of every window opened, in order.
  const std::vector<std::string>& opened() const { return opened_; }

 private:
  struct Expected {
    std::string name;
    Handler handler;
  };
  std::deque<Expected> expected_;
  std::map<std::string, Handler> standing_;
  std::vector<std::string> opened_;
};

}  // namespace tallybook::platform::testing

#endif  // TALLYBOOK_PLATFORM_TESTING_SCRIPTED_WINDOWS_H_
