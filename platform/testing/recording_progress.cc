#include "platform/testing/recording_progress.h"

namespace tallybook::platform::testing {

void RecordingProgressWindow::SetCaption(const std::string& caption) {
  current_.caption = caption;
}

void RecordingProgressWindow::SetLine(int index, const std::string& text) {
  if (index < 0 || index >= kLineCount) return;
  current_.lines[index] = text;
}

void RecordingProgressWindow::ClearLines() {
  for (std::string& line : current_.lines) line.clear();
}

void RecordingProgressWindow::Show() {
  visible_ = true;
  cancel_requested_ = false;
  inputs_since_show_ = 0;
  ++show_count_;
}

void RecordingProgressWindow::Hide() {
  visible_ = false;
  ++hide_count_;
}

void RecordingProgressWindow::ProcessPendingInput() {
  ++input_count_;
  ++inputs_since_show_;
  if (cancel_after_ > 0 && inputs_since_show_ == cancel_after_) {
    cancel_requested_ = true;
  }
  if (history_.empty() || !(history_.back() == current_)) {
    history_.push_back(current_);
  }
  if (input_hook_) input_hook_();
}

void RecordingProgressWindow::RequestCancel() {
  if (visible_ && cancellable_) cancel_requested_ = true;
}

const std::string& RecordingProgressWindow::line(int index) const {
  static const std::string kNone;
  if (index < 0 || index >= kLineCount) return kNone;
  return current_.lines[index];
}

void RecordingGaugeWindow::SetPercent(int percent) {
  percent_ = ClampPercent(percent);
  percents_.push_back(percent_);
}

void RecordingGaugeWindow::SetStatus(const std::string& text) {
  status_ = text;
  statuses_.push_back(text);
}

void RecordingGaugeWindow::Show() {
  visible_ = true;
  cancel_requested_ = false;
  inputs_since_show_ = 0;
}

void RecordingGaugeWindow::Hide() { visible_ = false; }

void RecordingGaugeWindow::ProcessPendingInput() {
  ++input_count_;
  ++inputs_since_show_;
  if (cancel_after_ > 0 && inputs_since_show_ == cancel_after_) {
    cancel_requested_ = true;
  }
  if (input_hook_) input_hook_();
}

void RecordingGaugeWindow::RequestCancel() {
  if (visible_) cancel_requested_ = true;
}

}  // namespace tallybook::platform::testing
