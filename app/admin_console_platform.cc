#include "app/admin_console_platform.h"

#include <memory>
#include <optional>

namespace tallybook::admin {
namespace {

class SilentProgress : public platform::ProgressWindow {
 public:
  void SetCaption(const std::string&) override {}
  void SetLine(int, const std::string&) override {}
  void ClearLines() override {}
  void SetCancellable(bool) override {}
  void Show() override {}
  void Hide() override {}
  void ProcessPendingInput() override {}
  bool CancelRequested() const override { return false; }
};

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

struct ConsolePlatform::Parts {
  explicit Parts(std::ostream& err) : messages(err) {}
  ConsoleMessages messages;
  SilentProgress progress;
  SilentGauge gauge;
  CancelledWindows windows;
  CancelledDialogs dialogs;
  NoPrinter printer;
  NoHelp help;
  NoDesktop desktop;
  platform::SystemClock clock;
};

ConsolePlatform::ConsolePlatform(std::ostream& err) : parts_(new Parts(err)) {}

ConsolePlatform::~ConsolePlatform() { delete parts_; }

platform::Services ConsolePlatform::services() {
  return platform::Services{parts_->messages, parts_->progress, parts_->gauge,
                            parts_->windows,  parts_->dialogs,  parts_->printer,
                            parts_->help,     parts_->desktop,  parts_->clock};
}

}  // namespace tallybook::admin
