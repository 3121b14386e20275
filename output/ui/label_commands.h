// The wiring of the main window's label and e-mail message commands: the
// Label Wizard command and tool button open the label wizard (made once,
// at start-up, and kept for the run, so the queue window keeps its layout
// between uses), which App::show_label_queue opens as well; Send E-Mail
// Message and its tool button open TEMMemo (also kept, so a typed message
// survives closing the window). Called by the program after
// WireReceivablesCommands.
#ifndef TALLYBOOK_OUTPUT_UI_LABEL_COMMANDS_H_
#define TALLYBOOK_OUTPUT_UI_LABEL_COMMANDS_H_

#include "company/app.h"
#include "company/ui/main_form.h"

namespace tallybook::output::ui {

void WireLabelCommands(company::ui::TMainForm& form, company::App& app);

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_LABEL_COMMANDS_H_
