// The wiring of the main window's commands that open the windows of
// customers, products and invoices. Called by the program after
// WireMainCommands; a command not wired here stays disabled.
#ifndef TALLYBOOK_BILLING_UI_BILLING_COMMANDS_H_
#define TALLYBOOK_BILLING_UI_BILLING_COMMANDS_H_

#include "company/app.h"
#include "company/ui/main_form.h"

namespace tallybook::billing::ui {

void WireBillingCommands(company::ui::TMainForm& form, company::App& app);

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_BILLING_COMMANDS_H_
