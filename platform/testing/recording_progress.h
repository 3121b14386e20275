// Recording progress and gauge windows for tests: they keep what the loop
// showed, so tests assert captions, lines and how often input was let
// through, and they can play a user pressing Cancel.
#ifndef TALLYBOOK_PLATFORM_TESTING_RECORDING_PROGRESS_H_
#define TALLYBOOK_PLATFORM_TESTING_RECORDING_PROGRESS_H_

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/gauge_window.h"
#include "platform/progress_window.h"

namespace tallybook::platform::testing {

class RecordingProgressWindow : public ProgressWindow {
 public:
  // The window as it looked at one moment.
  struct Snapshot {
    std::string caption;
    std::array<std::string, kLineCount> lines;
    bool operator==(const Snapshot&) const = default;
  };

  void SetCaption(const std::string& caption) override;
  void SetLine(int index, const std::string& text) override;
  void ClearLines() override;
  void SetCancellable(bool cancellable) override { cancellable_ = cancellable; }
  void Show() override;
  void Hide() override;
  void ProcessPendingInput() override;
  bool CancelRequested() const override { return cancel_requested_; }
  void RequestCancel() override;

  // Plays the user pressing Cancel during the `n`th ProcessPendingInput()
  // after the next Show() (1 = the first). 0 turns it off.
  void CancelAfterInputs(int n) { cancel_after_ = n; }
  // Called from every ProcessPendingInput(): plays input that arrives while
  // the loop runs (a command, a close of the main window).
  void SetInputHook(std::function<void()> hook) { input_hook_ = std::move(hook); }

  const std::string& caption() const { return current_.caption; }
  const std::string& line(int index) const;
  bool visible() const { return visible_; }
  bool cancellable() const { return cancellable_; }
  int show_count() const { return show_count_; }
  int hide_count() const { return hide_count_; }
  int input_count() const { return input_count_; }
  // The window at each ProcessPendingInput() where it differed from the
  // snapshot before: the sequence of states the user saw.
  const std::vector<Snapshot>& history() const { return history_; }

 private:
  Snapshot current_;
  std::vector<Snapshot> history_;
  std::function<void()> input_hook_;
  bool visible_ = false;
  bool cancellable_ = false;
  bool cancel_requested_ = false;
  int cancel_after_ = 0;
  int inputs_since_show_ = 0;
  int show_count_ = 0;
  int hide_count_ = 0;
  int input_count_ = 0;
};

class RecordingGaugeWindow : public GaugeWindow {
 public:
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void SetPercent(int percent) override;
  void SetStatus(const std::string& text) override;
  void Show() override;
  void Hide() override;
  void ProcessPendingInput() override;
  bool CancelRequested() const override { return cancel_requested_; }
  void RequestCancel() override;

  // As RecordingProgressWindow::CancelAfterInputs and SetInputHook.
  void CancelAfterInputs(int n) { cancel_after_ = n; }
  void SetInputHook(std::function<void()> hook) { input_hook_ = std::move(hook); }

  const std::string& caption() const { return caption_; }
  int percent() const { return percent_; }
  const std::string& status() const { return status_; }
  bool visible() const { return visible_; }
  int input_count() const { return input_count_; }
  // Every percentage set (after clamping) and every status text, in order.
  const std::vector<int>& percents() const { return percents_; }
  const std::vector<std::string>& statuses() const { return statuses_; }

 private:
  std::string caption_;
  std::string status_;
  int percent_ = 0;
  std::vector<int> percents_;
  std::vector<std::string> statuses_;
  std::function<void()> input_hook_;
  bool visible_ = false;
  bool cancel_requested_ = false;
  int cancel_after_ = 0;
  int inputs_since_show_ = 0;
  int input_count_ = 0;
};

}  // namespace tallybook::platform::testing

#endif  // TALLYBOOK_PLATFORM_TESTING_RECORDING_PROGRESS_H_
