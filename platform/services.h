// Everything the logic and the windows use to reach the user and the
// desktop, bundled so that one App object can hold it. The Qt platform
// (platform/qt) and the scripted platform (platform/testing) each own one
// set of implementations and hand out a Services that refers to them; the
// owner must outlive every copy.
#ifndef TALLYBOOK_PLATFORM_SERVICES_H_
#define TALLYBOOK_PLATFORM_SERVICES_H_

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/gauge_window.h"
#include "platform/help.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/printer.h"
#include "platform/progress_window.h"

namespace tallybook::platform {

struct Services {
  Messages& messages;
  ProgressWindow& progress;
  GaugeWindow& gauge;
  ModalWindows& windows;
  Dialogs& dialogs;
  Printer& printer;
  Help& help;
  Desktop& desktop;
  Clock& clock;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_SERVICES_H_
