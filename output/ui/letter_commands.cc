#include "output/ui/letter_commands.h"

#include "output/ui/letter_wiz.h"

namespace tallybook::output::ui {

void WireLetterCommands(company::ui::TMainForm& form, company::App& app) {
  form.SetCommand(company::ui::CommandId::kFormLetterWizard, [&form, &app] {
    TLetterWiz wizard(app, &form);
    wizard.Execute();
  });
}

}  // namespace tallybook::output::ui
