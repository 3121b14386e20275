#include "app/admin_console_platform.h"

#include <memory>
#include <optional>

namespace tallybook::admin {
namespace {

class SilentGauge : public platform::GaugeWindow {
 public:
  void SetCaption(const std::string&) override {}
  void SetPercent(int) override {}
  void SetStatus(const std::string&) override {}
  void Show() override {}
  void Hide() override {}
  void ProcessPendingInput() override {}
  bool CancelRequested() const override { return false; }
};

class CancelledWindows : public platform::ModalWindows {
 public:
  int RunModal(const std::string&, std::function<int()>) override {
    return platform::kModalCancel;
  }
};

class CancelledDialogs : public platform::Dialogs {
 public:
  std::optional<std::string> OpenFile(
      const platform::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> SaveFile(
      const platform::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder(const std::string&,
                                          const std::string&) override {
    return std::nullopt;
  }
  std::optional<platform::Font> ChooseFont(const platform::Font&) override {
    return std::nullopt;
  }
};

class NoPrinter : public platform::Printer {
 public:
  std::unique_ptr<platform::Canvas> BeginJob(const std::string&) override {
    return nullptr;
  }
  std::string LastError() const override {
    return "tallybook-admin does not print";
  }
  bool SetupDialog() override { return false; }
  std::string PrinterName() const override { return ""; }
};

class NoHelp : public platform::Help {
 public:
  void ShowHelp(const std::string&) override {}
  void ShowHelpContents() override {}
  void ShowHelpOnHelp() override {}
  void CloseHelp() override {}
};

class NoDesktop : public platform::Desktop {
 public:
  bool StartCalculator() override { return false; }
  bool OpenUrl(const std::string&) override { return false; }
};

}  // namespace

platform::Answer ConsoleMessages::Show(const platform::Message& message) {
  err_ << message.caption << ": " << message.text << "\n";
  if (platform::HasButton(message.buttons, platform::Answer::kNo)) {
    return platform::Answer::kNo;
  }
  if (platform::HasButton(message.buttons, platform::Answer::kCancel)) {
    return platform::Answer::kCancel;
  }
  return platform::Answer::kOk;
}

void ConsoleProgress::SetLine(int index, const std::string& text) {
  if (index < 0 || index >= kLineCount || lines_[index] == text) return;
  lines_[index] = text;
  changed_ = true;
}

void ConsoleProgress::ClearLines() {
  for (std::string& line : lines_) line.clear();
  changed_ = true;
}

void ConsoleProgress::Show() {
  if (out_ != nullptr) *out_ << caption_ << "\n";
}

void ConsoleProgress::PrintChanges() {
  if (!changed_) return;
  changed_ = false;
  if (out_ == nullptr) return;
  std::string shown;
  for (const std::string& line : lines_) {
    if (line.empty()) continue;
    if (!shown.empty()) shown += "  ";
    shown += line;
  }
  if (!shown.empty()) *out_ << "  " << shown << "\n";
}

struct ConsolePlatform::Parts {
  explicit Parts(std::ostream& err) : messages(err) {}
  Parts(std::ostream& err, std::ostream& progress_out)
      : messages(err), progress(progress_out) {}
  ConsoleMessages messages;
  ConsoleProgress progress;
  SilentGauge gauge;
  CancelledWindows windows;
  CancelledDialogs dialogs;
  NoPrinter printer;
  NoHelp help;
  NoDesktop desktop;
  platform::SystemClock clock;
};

ConsolePlatform::ConsolePlatform(std::ostream& err) : parts_(std::make_unique<Parts>(err)) {}

ConsolePlatform::ConsolePlatform(std::ostream& err, std::ostream& progress_out)
    : parts_(std::make_unique<Parts>(err, progress_out)) {}

ConsolePlatform::~ConsolePlatform() = default;

platform::Services ConsolePlatform::services() {
  return platform::Services{parts_->messages, parts_->progress, parts_->gauge,
                            parts_->windows,  parts_->dialogs,  parts_->printer,
                            parts_->help,     parts_->desktop,  parts_->clock};
}

}  // namespace tallybook::admin
