#include "receivables/ui/receivables_commands.h"

#include "billing/ui/choosers.h"
#include "receivables/ui/interest_wiz.h"
#include "receivables/ui/pay_box.h"
#include "receivables/ui/rpt_select.h"
#include "receivables/ui/statement_commands.h"

namespace tallybook::receivables::ui {

void WireReceivablesCommands(company::ui::TMainForm& form, company::App& app) {
  // The main window hides the aging chart and shows "Ready." before the
  // command runs.
  form.SetCommand(company::ui::CommandId::kPaymentWizard, [&form, &app] {
    TPayBox wizard(
        app, [&app, &form] { return billing::ui::ChooseCustomer(app, &form); },
        &form);
    wizard.Execute();
  });
  form.SetCommand(company::ui::CommandId::kInterestWizard,
                  [&form, &app] { RunInterestWizard(app, &form); });
  form.SetCommand(company::ui::CommandId::kReportWizard, [&form, &app] {
    TRptSelect wizard(app, &form);
    wizard.Execute();
  });
  InstallStatementCommands(app);
}

}  // namespace tallybook::receivables::ui
