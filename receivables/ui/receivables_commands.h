// The wiring of the main window's commands that open the receivables
// windows: the Payments command and tool button open the payment wizard,
// the Interest Wizard command the interest wizard, the Report Wizard
// command and the Reports tool button the report wizard; the customer
// manager's statement commands are installed into the App.
// Called by the program after WireBillingCommands.
#ifndef TALLYBOOK_RECEIVABLES_UI_RECEIVABLES_COMMANDS_H_
#define TALLYBOOK_RECEIVABLES_UI_RECEIVABLES_COMMANDS_H_

#include "company/app.h"
#include "company/ui/main_form.h"

namespace tallybook::receivables::ui {

void WireReceivablesCommands(company::ui::TMainForm& form, company::App& app);

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_RECEIVABLES_COMMANDS_H_
