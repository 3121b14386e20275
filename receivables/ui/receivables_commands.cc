#include "receivables/ui/receivables_commands.h"

#include "receivables/ui/pay_box.h"

namespace tallybook::receivables::ui {

void WireReceivablesCommands(company::ui::TMainForm& form, company::App& app) {
  // The main window hides the aging chart and shows "Ready." before the
  // command runs.
  form.SetCommand(company::ui::CommandId::kPaymentWizard, [&form, &app] {
    TPayBox wizard(app, [] { return false; }, &form);
    wizard.Execute();
  });
}

}  // namespace tallybook::receivables::ui
