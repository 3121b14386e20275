// The help viewer: one window with a QTextBrowser over the help pages built
// into the program (help/*.html, compiled in as the ":/help" resource).
//
// A topic name maps to its page by HelpPageName ("Frequent Asked Questions"
// -> "frequent_asked_questions.html"), ignoring case as help topics always
// have. A topic without a page shows the contents page with a note.
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
  QWidget* window() const { return window_.get(); }
  QTextBrowser* browser() const { return browser_; }

 private:
  void Open();

  std::unique_ptr<QWidget> window_;
  QTextBrowser* browser_ = nullptr;
};

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_HELP_WINDOW_H_
