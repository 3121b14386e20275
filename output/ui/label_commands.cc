#include "output/ui/label_commands.h"

#include "billing/ui/choosers.h"
#include "output/ui/em_memo.h"
#include "output/ui/lblwiz.h"

namespace tallybook::output::ui {

void WireLabelCommands(company::ui::TMainForm& form, company::App& app) {
  // Both windows are children of the main window: they live as long as it.
  auto* wizard = new Tlblwiz(
      app, [&app, &form] { return billing::ui::ChooseCustomer(app, &form); },
      &form);
  wizard->FormCreate();
  auto* memo = new TEMMemo(app, &form);
  app.show_label_queue = [wizard] { wizard->Execute(); };
  QObject::connect(wizard, &QObject::destroyed,
                   [&app] { app.show_label_queue = nullptr; });
  form.SetCommand(company::ui::CommandId::kLabelWizard,
                  [wizard] { wizard->Execute(); });
  form.SetCommand(company::ui::CommandId::kSendEMailMessage,
                  [memo] { memo->Execute(); });
}

}  // namespace tallybook::output::ui
