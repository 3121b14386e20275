// The whole platform on Qt for the desktop program: one object that owns
// every Qt implementation and hands out the Services the App holds. Create
// it after the QApplication and before the main window; give it the main
// window once that exists, so boxes and dialogs centre on it.
#ifndef TALLYBOOK_PLATFORM_QT_QT_PLATFORM_H_
#define TALLYBOOK_PLATFORM_QT_QT_PLATFORM_H_

#include <QWidget>
#include <string>

#include "platform/clock.h"
#include "platform/qt/help_window.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_messages.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_progress_window.h"
#include "platform/services.h"

namespace tallybook::platform::qt {

class QtPlatform {
 public:
  // `data_directory` is a native path.
  explicit QtPlatform(const std::string& data_directory)
      : dialogs(data_directory),
        printer(QtPrinter::DefaultPdfFolder(data_directory)) {}
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  void SetMainWindow(QWidget* main_window) {
    messages.SetParent(main_window);
    dialogs.SetParent(main_window);
    printer.SetParent(main_window);
  }

  Services services() {
    return Services{messages, progress, gauge,   windows, dialogs,
                    printer,  help,     desktop, clock};
  }

  QtMessages messages;
  QtProgressWindow progress;
  QtGaugeWindow gauge;
  QtModalWindows windows;
  QtDialogs dialogs;
  QtPrinter printer;
  HelpWindow help;
  QtDesktop desktop;
  SystemClock clock;
};

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_QT_PLATFORM_H_
