// Store errors a record browser meets while it moves (class 2 and above,
// "Class %d error.  Isam Error %d") reach the user as error messages through
// the platform, captioned with the program's title, like any failure the
// program does not handle where it happens. Every window with a browser
// routes them here, so they are never a bare message box the platform does
// not know of.
#ifndef TALLYBOOK_COMPANY_UI_BROWSER_ERRORS_H_
#define TALLYBOOK_COMPANY_UI_BROWSER_ERRORS_H_

#include "company/app.h"
#include "store/ui/fvc_browser.h"

namespace tallybook::company::ui {

void ShowBrowserErrors(store::ui::TFvcBrowser& browser, App& app);

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_BROWSER_ERRORS_H_
