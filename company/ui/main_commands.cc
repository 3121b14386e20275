#include "company/ui/main_commands.h"

#include "company/password.h"
#include "company/purge.h"
#include "company/rebuild_all.h"
#include "company/ui/aging_chart_panel.h"
#include "company/ui/about_box.h"
#include "company/ui/cal_form.h"
#include "company/ui/list_comps.h"
#include "company/ui/term_edit.h"
#include "company/ui/vk_bk_up.h"
#include "platform/message.h"

namespace tallybook::company::ui {

void WireMainCommands(TMainForm& form, App& app) {
  platform::Services services = app.services();
  // Copies of the Services references: the platform outlives the window.
  platform::Messages& messages = services.messages;
  platform::Help& help = services.help;
  platform::Desktop& desktop = services.desktop;
  platform::Printer& printer = services.printer;
  platform::ModalWindows& windows = services.windows;

  form.SetCommand(CommandId::kCompanyManager, [&form, &app] {
    TListComps manager(app, form.password_prompt(), &form);
    const int result = manager.Execute();
    if (result == kListCompsOpenFailed) {
      // Without the company list there is nothing the program can do.
      form.close();
      return;
    }
    const CompanyChange change =
        DecideCompanyChange(result == platform::kModalOk, manager.chosen(),
                            manager.reload_current(), app.CurrentCompany);
    if (change.change) form.CompanyChanged(change.record, change.reload_current);
  });
  form.SetCommand(CommandId::kPrinterSetup, [&printer, &messages] {
    const std::string folder = printer.PdfFolder();
    if (!folder.empty()) {
      platform::Inform(messages, platform::kPrinterSetupCaption,
                       platform::NoPrinterText(folder));
    }
    printer.SetupDialog();
  });
  form.SetCommand(CommandId::kExit, [&form] { form.close(); });
  form.SetCommand(CommandId::kEditPaymentTerms,
                  [&form, &app] { EditPaymentTerms(app, &form); });
  // The menu item, the "Backup Files" tool button and the main window's
  // backup panel all open the backup window; so does the exit when the
  // company asks for a backup then.
  form.SetCommand(CommandId::kBackupDataFiles,
                  [&form, &app] { BackupDataFiles(app, &form); });
  form.set_backup_on_exit([&form, &app] { BackupDataFiles(app, &form); });

  form.SetCommand(CommandId::kCalculator, [&desktop, &messages] {
    if (!desktop.StartCalculator()) {
      platform::Inform(messages, kProductTitle,
                       platform::CalculatorNotFoundText(desktop));
    }
  });
  form.SetCommand(CommandId::kViewCalendar, [&form, &app] {
    PickDate(app, &form, app.TodayText, kViewCalendarCaption);
  });
  form.SetCommand(CommandId::kPasswordSetup,
                  [&form, &app] { PasswordSetup(app, form.password_prompt()); });

  // The aging chart (shown by the daily aging too), purge and rebuild.
  auto* chart = new TAgingChartPanel(app, form.aging_panel_host());
  form.set_aging_runner(ChartingAgingRunner(*chart));
  form.SetCommand(CommandId::kAgingChart,
                  [&app, chart] { AgingChartClick(app, *chart); });
  form.SetCommand(CommandId::kDeletePaidInvoices, [&form, &app] {
    DeletePaidInvoices(
        app, form.password_prompt(),
        [&](const Date& preset, const std::string& caption) {
          std::optional<std::string> text =
              PickDate(app, &form, app.FormatDate(preset), caption);
          return text ? app.ParseDate(*text) : std::nullopt;
        });
  });
  form.SetCommand(CommandId::kRebuildDataFiles,
                  [&app] { RebuildDataFiles(app); });

  form.SetCommand(CommandId::kHelpTopics, [&help] { help.ShowHelpContents(); });
  form.SetCommand(CommandId::kHowToUseHelp, [&help] { help.ShowHelpOnHelp(); });
  form.SetCommand(CommandId::kFrequentAskedQuestions,
                  [&help] { help.ShowHelp(kFrequentQuestionsTopic); });
  form.SetCommand(CommandId::kAbout, [&form, &app, &windows] {
    TAboutBox about(app, &form);
    windows.RunModal("TAboutBox", [&] { return about.exec(); });
  });
  form.SetCommand(CommandId::kHome, [&desktop, &messages] {
    if (!platform::Confirm(messages, kProductTitle, kHomeQuestion)) return;
    if (!desktop.OpenUrl(kHomePageUrl)) {
      platform::Inform(messages, kProductTitle, kHomeFailed);
    }
  });
}

}  // namespace tallybook::company::ui
