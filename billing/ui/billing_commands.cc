#include "billing/ui/billing_commands.h"

#include "billing/ui/customer_manager_window.h"
#include "billing/ui/invoice_manager.h"
#include "billing/ui/product_manager_window.h"
#include "billing/ui/select_repeat.h"

namespace tallybook::billing::ui {

void WireBillingCommands(company::ui::TMainForm& form, company::App& app) {
  using company::ui::CommandId;
  // Without its file a manager cannot work, and the program ends.
  form.SetCommand(CommandId::kCustomerManager, [&form, &app] {
    TDemoForm manager(app, &form);
    if (manager.Execute() == kManagerOpenFailed) form.close();
  });
  form.SetCommand(CommandId::kProductManager, [&form, &app] {
    TEditProd manager(app, &form);
    if (manager.Execute() == kManagerOpenFailed) form.close();
  });
  form.SetCommand(CommandId::kInvoiceManager, [&form, &app] {
    Tinvlist manager(app, &form);
    if (manager.Execute() == kInvlistOpenFailed) form.close();
  });
  form.SetCommand(CommandId::kRepeatBillingWizard, [&form, &app] {
    TSelectRepeat wizard(app, &form);
    wizard.Execute();
  });
}

}  // namespace tallybook::billing::ui
