// The wiring of the main window's "Form Letter Wizard" command and tool
// button, which open the form letter window (TLetterWiz). Called by the
// program beside the other Wire*Commands.
#ifndef TALLYBOOK_OUTPUT_UI_LETTER_COMMANDS_H_
#define TALLYBOOK_OUTPUT_UI_LETTER_COMMANDS_H_

#include "company/app.h"
#include "company/ui/main_form.h"

namespace tallybook::output::ui {

void WireLetterCommands(company::ui::TMainForm& form, company::App& app);

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_LETTER_COMMANDS_H_
