#include "company/ui/browser_errors.h"

#include <string>

#include "platform/message.h"

namespace tallybook::company::ui {

void ShowBrowserErrors(store::ui::TFvcBrowser& browser, App& app) {
  browser.OnError = [&app](const std::string& text) {
    platform::ShowError(app.services().messages, kProductTitle, text);
  };
}

}  // namespace tallybook::company::ui
