// The platform of tallybook-admin commands that run the program's own logic
// (aging, rebuilding a company file): nobody sits at a screen, so every
// message box is written as one line to the error stream and every question
// is answered No (Cancel when the box has it), so nothing is changed on a
// guess. Modal windows and dialogs are cancelled, nothing is printed, help
// and the desktop are not there. The progress window either stays silent or
// prints its lines on the terminal. The clock is the computer's.
#ifndef TALLYBOOK_APP_ADMIN_CONSOLE_PLATFORM_H_
#define TALLYBOOK_APP_ADMIN_CONSOLE_PLATFORM_H_

#include <memory>
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

// The progress window on a terminal. Given a stream, Show() prints the
// caption as one line, and whenever the lines have changed they are printed
// as one indented line (the non-empty ones, two spaces apart) the next time
// input would be let through and when the window is hidden. Without a
// stream it prints nothing. Nobody can press Cancel.
class ConsoleProgress : public platform::ProgressWindow {
 public:
  ConsoleProgress() = default;
  explicit ConsoleProgress(std::ostream& out) : out_(&out) {}

  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void SetLine(int index, const std::string& text) override;
  void ClearLines() override;
  void SetCancellable(bool) override {}
  void Show() override;
  void Hide() override { PrintChanges(); }
  void ProcessPendingInput() override { PrintChanges(); }
  bool CancelRequested() const override { return false; }

 private:
  void PrintChanges();

  std::ostream* out_ = nullptr;
  std::string caption_;
  std::string lines_[kLineCount];
  bool changed_ = false;
};

class ConsolePlatform {
 public:
  // Messages go to err; the progress window is silent.
  explicit ConsolePlatform(std::ostream& err);
  // Messages go to err; the progress window prints to progress_out.
  ConsolePlatform(std::ostream& err, std::ostream& progress_out);
  ConsolePlatform(const ConsolePlatform&) = delete;
  ConsolePlatform& operator=(const ConsolePlatform&) = delete;
  ~ConsolePlatform();

  // The services, valid while this object lives.
  platform::Services services();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_CONSOLE_PLATFORM_H_
