// The wiring of the main window's commands to the windows and tools they
// open: the one place where a command gets its handler. A window that is
// not wired here leaves its command disabled.
#ifndef TALLYBOOK_COMPANY_UI_MAIN_COMMANDS_H_
#define TALLYBOOK_COMPANY_UI_MAIN_COMMANDS_H_

#include "company/app.h"
#include "company/ui/main_form.h"

namespace tallybook::company::ui {

// The product's home page behind the "Home" button.
inline constexpr char kHomePageUrl[] = "https://tallybook.example/";
inline constexpr char kHomeQuestion[] =
    "This feature will connect you to the internet and take you to our home "
    "page. You must have an internet connection on this computer. Continue?";
inline constexpr char kHomeFailed[] =
    "The web browser could not be started to show the home page.";
inline constexpr char kFrequentQuestionsTopic[] = "Frequent Asked Questions";

// Gives every command of form whose window exists its handler.
void WireMainCommands(TMainForm& form, App& app);

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_MAIN_COMMANDS_H_
