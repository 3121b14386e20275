#include "billing/ui/billing_commands.h"

#include "billing/ui/invoice_manager.h"

namespace tallybook::billing::ui {

void WireBillingCommands(company::ui::TMainForm& form, company::App& app) {
  form.SetCommand(company::ui::CommandId::kInvoiceManager, [&form, &app] {
    Tinvlist manager(app, &form);
    if (manager.Execute() == kInvlistOpenFailed) {
      // Without its files the program cannot go on.
      form.close();
    }
  });
}

}  // namespace tallybook::billing::ui
