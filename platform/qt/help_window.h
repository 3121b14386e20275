// The help viewer: one window with a QTextBrowser over the help pages built
// into the program (help/*.html, compiled in as the ":/help" resource).
//
// A topic name maps to its page by HelpPageName ("Frequent Asked Questions"
// -> "frequent_asked_questions.html"), ignoring case as help topics always
// have. A topic without a page shows the contents page with a note.
//
// The window opens above the window that asked for it: it is made a window
// of the active modal window (or of the active window), so that a modal
// dialog does not block it and it does not land behind the main window.
// When that owner hides, the help window stays open on its own. Escape
// closes it.
#ifndef TALLYBOOK_PLATFORM_QT_HELP_WINDOW_H_
#define TALLYBOOK_PLATFORM_QT_HELP_WINDOW_H_

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QWidget>
#include <memory>

#include "platform/help.h"

namespace tallybook::platform::qt {

class HelpWindow : public Help {
 public:
  HelpWindow();
  ~HelpWindow() override;

  void ShowHelp(const std::string& topic) override;
  void ShowHelpContents() override;
  void ShowHelpOnHelp() override;
  void CloseHelp() override;

  // True when `topic` has a page of its own.
  static bool HasTopic(const std::string& topic);
  // Resource file name of a topic's page: letters and digits lower-cased,
  // every other character '_', then ".html".
  static QString HelpPageName(const std::string& topic);

  // For tests: the window and what it shows.
  QWidget* window() const { return window_.data(); }
  QTextBrowser* browser() const { return window_ ? browser_ : nullptr; }

 private:
  class OwnerWatch;

  void Open();
  void Build();
  // Makes the window a window of `owner` (nullptr: a top-level of its own)
  // and shows it.
  void SetOwner(QWidget* owner);

  QPointer<QWidget> window_;
  QTextBrowser* browser_ = nullptr;
  std::unique_ptr<OwnerWatch> watch_;
};

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_HELP_WINDOW_H_
