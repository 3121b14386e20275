#include "billing/ui/billing_commands.h"

namespace tallybook::billing::ui {

void WireBillingCommands(company::ui::TMainForm& form, company::App& app) {
  (void)form;
  (void)app;
}

}  // namespace tallybook::billing::ui
