// The whole platform for tests: scripted messages, windows and dialogs,
// recording progress, gauge, printer, help and desktop, and a fixed clock.
//
//   platform::testing::ScriptedPlatform ui;
//   App app(dir, ui.services());
//   ui.messages.ExpectMessage("Add operation failed", Answer::kOk);
//
// Its destructor verifies every script (messages, windows, dialogs).
#ifndef TALLYBOOK_PLATFORM_TESTING_SCRIPTED_PLATFORM_H_
#define TALLYBOOK_PLATFORM_TESTING_SCRIPTED_PLATFORM_H_

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/services.h"
#include "platform/testing/recording_canvas.h"
#include "platform/testing/recording_progress.h"
#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/scripted_messages.h"
#include "platform/testing/scripted_windows.h"

namespace tallybook::platform::testing {

// Keeps the help topics asked for.
class RecordingHelp : public Help {
 public:
  void ShowHelp(const std::string& topic) override { topics_.push_back(topic); }
  void ShowHelpContents() override { topics_.push_back(kContents); }
  void ShowHelpOnHelp() override { topics_.push_back(kHelpOnHelp); }
  void CloseHelp() override { ++close_count_; }

  // Recorded for ShowHelpContents() and ShowHelpOnHelp().
  static constexpr const char* kContents = "(contents)";
  static constexpr const char* kHelpOnHelp = "(help on help)";

  const std::vector<std::string>& topics() const { return topics_; }
  int close_count() const { return close_count_; }

 private:
  std::vector<std::string> topics_;
  int close_count_ = 0;
};

// A desktop whose calculator is there or not as the test says.
class ScriptedDesktop : public Desktop {
 public:
  void SetCalculatorAvailable(bool available) { calculator_ = available; }
  void SetBrowserAvailable(bool available) { browser_ = available; }

  bool StartCalculator() override {
    ++calculator_starts_;
    return calculator_;
  }
  std::vector<std::string> CalculatorPrograms() const override {
    return {"gnome-calculator", "xcalc"};
  }
  void OfferSavedFile(const SavedFileNotice& notice) override {
    saved_files_.push_back(notice);
  }
  // Every saved-file notice shown, in order.
  const std::vector<SavedFileNotice>& saved_files() const { return saved_files_; }
  bool OpenUrl(const std::string& url) override {
    urls_.push_back(url);
    return browser_;
  }

  int calculator_starts() const { return calculator_starts_; }
  const std::vector<std::string>& urls() const { return urls_; }

 private:
  bool calculator_ = true;
  bool browser_ = true;
  int calculator_starts_ = 0;
  std::vector<std::string> urls_;
  std::vector<SavedFileNotice> saved_files_;
};

class ScriptedPlatform {
 public:
  ScriptedPlatform() = default;
  ScriptedPlatform(const ScriptedPlatform&) = delete;
  ScriptedPlatform& operator=(const ScriptedPlatform&) = delete;

  Services services() {
    return Services{messages, progress, gauge,   windows, dialogs,
                    printer,  help,     desktop, clock};
  }

  // Checks every script now (the destructors do it as well).
  void Verify() {
    messages.Verify();
    windows.Verify();
    dialogs.Verify();
  }

  ScriptedMessages messages;
  RecordingProgressWindow progress;
  RecordingGaugeWindow gauge;
  ScriptedWindows windows;
  ScriptedDialogs dialogs;
  RecordingPrinter printer;
  RecordingHelp help;
  ScriptedDesktop desktop;
  FixedClock clock;
};

}  // namespace tallybook::platform::testing

#endif  // TALLYBOOK_PLATFORM_TESTING_SCRIPTED_PLATFORM_H_
