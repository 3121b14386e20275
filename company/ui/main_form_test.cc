#include "company/ui/main_form.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <fstream>

#include "company/company_defaults.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "company/password.h"
#include "company/startup.h"
#include "company/ui/cal_form.h"
#include "company/ui/main_commands.h"
#include "company/ui/ui_test_support.h"
#include "platform/qt/text_codec.h"

namespace tallybook::company::ui {
namespace {

using platform::Answer;
using platform::kModalCancel;
using platform::kModalOk;

class MainFormTest : public ::testing::Test, public ShellFixture {
 protected:
  // A created main window, wired unless asked otherwise; the aging
  // calculation is counted instead of run (set after the wiring, which
  // installs the charting aging runner).
  std::unique_ptr<TMainForm> MakeForm(bool wire = true) {
    auto form = std::make_unique<TMainForm>(*app);
    EXPECT_TRUE(form->FormCreate());
    if (wire) WireMainCommands(*form, *app);
    form->set_aging_runner([this](App&) { ++aging_runs; });
    return form;
  }
  // Replaces the stored record of the company in the company list.
  void StoreCompany(const CompanyRecord& record) {
    ASSERT_TRUE(app->engine().StoreStartup(0, kPageBuffers));
    {
      CompanyListAccess list(*app);
      ASSERT_TRUE(list.OpenCompanyFile());
      int32_t rec_no = 0;
      ASSERT_TRUE(list.FindByKey(1, BuildKey(record, 1), rec_no));
      ASSERT_TRUE(list.GetRecord(rec_no));
      const CompanyRecord before = list.rec();
      list.rec() = record;
      ASSERT_TRUE(list.ModifyWithKeys(rec_no, before));
      ASSERT_TRUE(list.Close());
    }
    ASSERT_TRUE(app->engine().StoreShutdown());
  }
  int aging_runs = 0;
};

std::vector<std::string> MenuTexts(const QMainWindow& form) {
  std::vector<std::string> texts;
  for (QAction* menu_action : form.menuBar()->actions()) {
    texts.push_back("[" + menu_action->text().toStdString() + "]");
    for (QAction* item : menu_action->menu()->actions()) {
      if (!item->isSeparator()) texts.push_back(item->text().toStdString());
    }
  }
  return texts;
}

TEST_F(MainFormTest, MenusHoldEveryCommandWithItsExactCaption) {
  auto form = MakeForm();
  EXPECT_EQ(form->windowTitle(), "Vk Tallybook Pro");
  EXPECT_EQ(MenuTexts(*form),
            (std::vector<std::string>{
                "[&File]", "Co&mpany Manager...", "&Customer Manager...",
                "&Product Manager...", "&Invoice Manager...",
                "P&rinter Setup...", "&Edit Payment Terms...", "E&xit",
                "[&Tools]", "&Payment Wizard...", "&Report  Wizard...",
                "&Interest Wizard...", "&Label Wizard...",
                "Repeat Billing &Wizard...", "Form L&etter Wizard...",
                "Send E-Mail &Message", "&Aging Chart", "Windows &Calculator",
                "&View Calendar", "Password &Setup", "&Delete Paid Invoices",
                "&Backup Data Files", "Rebuild Data &Files", "[&Help]",
                "&Topics", "&How to use Help", "&Frequent Asked Questions",
                "&About"}));
}

TEST_F(MainFormTest, ToolButtonsCarryTheirHintsAndCaptions) {
  auto form = MakeForm();
  std::vector<std::string> tools;
  for (const CommandInfo& info : CommandTable()) {
    if (QToolButton* b = form->ToolButton(info.id)) {
      tools.push_back(b->text().toStdString());
    }
  }
  EXPECT_EQ(tools, (std::vector<std::string>{
                       "Companies/System Options", "&Customers", "&Products",
                       "&Invoices", "Printer Setup", "Close", "Pay&ments",
                       "&Reports", "Interest Wizard", "Label Wizard",
                       "Repeat Billing Wizard", "Form Letter Wizard",
                       "Send E-mail Message", "Aging Chart", "Calculator",
                       "View Calendar", "Password Setup", "Backup Files",
                       "Help", "Home"}));
  EXPECT_EQ(form->ToolButton(CommandId::kPaymentWizard)->toolTip(), "Payments");
  EXPECT_EQ(form->ToolButton(CommandId::kEditPaymentTerms), nullptr);
  EXPECT_EQ(form->MenuAction(CommandId::kHome), nullptr);
}

// Whether the icon theme the program falls back to is installed here
// (scripts/install-deps installs it).
bool IconThemeInstalled() {
  return std::filesystem::exists("/usr/share/icons/Adwaita/index.theme");
}

TEST_F(MainFormTest, ToolButtonsCarryThemeIconsBesideTheirCaptions) {
  if (!IconThemeInstalled()) GTEST_SKIP() << "no Adwaita icon theme";
  auto form = MakeForm();
  for (const CommandInfo& info : CommandTable()) {
    if (QToolButton* b = form->ToolButton(info.id)) {
      EXPECT_FALSE(b->icon().isNull()) << info.tool;
      EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon) << info.tool;
    }
  }
}

TEST_F(MainFormTest, EveryToolButtonShowsOnAScreen1280PixelsWide) {
  auto form = MakeForm();
  form->setWindowState(Qt::WindowNoState);
  form->setGeometry(0, 0, 1280, 800);
  form->show();
  QCoreApplication::processEvents();
  for (const CommandInfo& info : CommandTable()) {
    if (QToolButton* b = form->ToolButton(info.id)) {
      // A button the row has no room for is hidden behind the row's
      // extension arrow.
      EXPECT_TRUE(b->isVisible()) << info.tool;
    }
  }
  form->close();
}

TEST_F(MainFormTest, CommandsWithoutAWindowAreDisabledUntilGivenOne) {
  auto form = MakeForm(/*wire=*/false);
  for (const CommandInfo& info : CommandTable()) {
    EXPECT_FALSE(form->IsCommandEnabled(info.id)) << info.tool;
    if (QAction* action = form->MenuAction(info.id)) {
      EXPECT_FALSE(action->isEnabled()) << info.caption;
    }
    if (QToolButton* button = form->ToolButton(info.id)) {
      EXPECT_FALSE(button->isEnabled()) << info.tool;
    }
  }
  EXPECT_FALSE(form->BackupButton->isEnabled());

  int runs = 0;
  form->RunCommand(CommandId::kCustomerManager);  // disabled: nothing
  form->SetCommand(CommandId::kCustomerManager, [&] { ++runs; });
  EXPECT_TRUE(form->ToolButton(CommandId::kCustomerManager)->isEnabled());
  EXPECT_TRUE(form->MenuAction(CommandId::kCustomerManager)->isEnabled());
  form->MenuAction(CommandId::kCustomerManager)->trigger();
  form->ToolButton(CommandId::kCustomerManager)->click();
  EXPECT_EQ(runs, 2);
  form->SetCommand(CommandId::kCustomerManager, nullptr);
  EXPECT_FALSE(form->MenuAction(CommandId::kCustomerManager)->isEnabled());
  form->RunCommand(CommandId::kCustomerManager);
  EXPECT_EQ(runs, 2);

  form->SetCommand(CommandId::kBackupDataFiles, [&] { ++runs; });
  EXPECT_TRUE(form->BackupButton->isEnabled());
  form->BackupButton->click();
  EXPECT_EQ(runs, 3);
}

TEST_F(MainFormTest, WiringEnablesTheShellsOwnCommands) {
  auto form = MakeForm();
  for (CommandId id : {CommandId::kPrinterSetup, CommandId::kExit,
                       CommandId::kCalculator, CommandId::kViewCalendar,
                       CommandId::kPasswordSetup, CommandId::kHelpTopics,
                       CommandId::kHowToUseHelp,
                       CommandId::kFrequentAskedQuestions, CommandId::kAbout,
                       CommandId::kHome}) {
    EXPECT_TRUE(form->IsCommandEnabled(id));
  }
  EXPECT_TRUE(form->ToolButton(CommandId::kHome)->isEnabled());
}

TEST_F(MainFormTest, ManagersAndWizardsHideTheAgingChartFirst) {
  auto form = MakeForm();
  for (CommandId id : {CommandId::kInvoiceManager, CommandId::kPaymentWizard,
                       CommandId::kInterestWizard,
                       CommandId::kRepeatBillingWizard,
                       CommandId::kCompanyManager}) {
    bool chart_hidden = false;
    form->SetCommand(id, [&] { chart_hidden = form->aging_panel_host()->isHidden(); });
    form->aging_panel_host()->show();
    app->ShowStatus("Hold mouse over color to see aging amount...");
    form->RunCommand(id);
    EXPECT_TRUE(chart_hidden);
    EXPECT_EQ(form->MessagePanel->text(), "Ready.");
  }
  form->SetCommand(CommandId::kCustomerManager, [] {});
  form->aging_panel_host()->show();
  form->RunCommand(CommandId::kCustomerManager);
  EXPECT_FALSE(form->aging_panel_host()->isHidden());
}

TEST_F(MainFormTest, ViewCalendarShowsTodayUnderItsOwnCaption) {
  auto form = MakeForm();
  ui.windows.ExpectWindow("TCalForm", [&] {
    auto* cal = form->findChild<TCalForm*>();
    EXPECT_NE(cal, nullptr);
    if (!cal) return kModalCancel;
    EXPECT_EQ(cal->windowTitle(), "View Calendar");
    EXPECT_EQ(cal->ChosenText(), "04/03/2024");
    EXPECT_EQ(cal->LongDate->text(), "Wednesday, April 3, 2024");
    return kModalOk;
  });
  form->RunCommand(CommandId::kViewCalendar);
}

TEST_F(MainFormTest, CalculatorAndHomeTellWhenTheyCannotStart) {
  auto form = MakeForm();
  form->RunCommand(CommandId::kCalculator);
  EXPECT_EQ(ui.desktop.calculator_starts(), 1);
  ui.desktop.SetCalculatorAvailable(false);
  ui.messages.ExpectMessage(
      "No calculator program was found. Looked for: gnome-calculator, xcalc. "
      "Install one of them to use the calculator.");
  form->RunCommand(CommandId::kCalculator);

  const char* question =
      "This feature will connect you to the internet and take you to our "
      "home page. You must have an internet connection on this computer. "
      "Continue?";
  ui.messages.ExpectMessage(question, Answer::kNo);
  form->RunCommand(CommandId::kHome);
  EXPECT_TRUE(ui.desktop.urls().empty());
  ui.messages.ExpectMessage(question, Answer::kYes);
  form->RunCommand(CommandId::kHome);
  EXPECT_EQ(ui.desktop.urls(), std::vector<std::string>{"https://tallybook.example/"});
}

TEST_F(MainFormTest, PrinterSetupWithoutAPrinterSaysWherePrintoutsGo) {
  auto form = MakeForm();
  form->RunCommand(CommandId::kPrinterSetup);
  EXPECT_EQ(ui.printer.setup_count(), 1);
  ui.printer.SaveAsPdfIn("/home/user/Documents/Tallybook");
  ui.messages
      .ExpectMessage(
          "No printer is installed. Printouts are saved as PDF files in "
          "/home/user/Documents/Tallybook. Next, choose the paper size for "
          "them.")
      .WithCaption("Printer Setup");
  form->RunCommand(CommandId::kPrinterSetup);
  EXPECT_EQ(ui.printer.setup_count(), 2);
}

TEST_F(MainFormTest, HelpCommandsAndPanelHelpButtonsOpenTheirTopics) {
  auto form = MakeForm();
  form->RunCommand(CommandId::kHelpTopics);
  form->RunCommand(CommandId::kHowToUseHelp);
  form->RunCommand(CommandId::kFrequentAskedQuestions);
  form->BackupHelp->click();
  form->AgingHelp->click();
  form->OutputHelp->click();
  EXPECT_EQ(ui.help.topics(),
            (std::vector<std::string>{"(contents)", "(help on help)",
                                      "Frequent Asked Questions", "backupdata",
                                      "AgingChart", "EMMode"}));
  ui.windows.ExpectWindow("TAboutBox", kModalOk);
  form->RunCommand(CommandId::kAbout);
}

TEST_F(MainFormTest, OutputRadiosChangeTheModeAndItsLabel) {
  auto form = MakeForm();
  EXPECT_EQ(form->PrinDef->text(), "Pri&nter or Fax");
  EXPECT_EQ(form->EMDef->text(), "&E-Mail");
  EXPECT_TRUE(form->PrinDef->isChecked());
  EXPECT_EQ(form->ModeLabel->text(), "System Mode: Printer / Fax");
  form->EMDef->click();
  EXPECT_EQ(form->ModeLabel->text(), "System Mode: E-Mail");
  EXPECT_EQ(app->output_mode, OutputMode::kEMail);
  form->PrinDef->click();
  EXPECT_EQ(form->ModeLabel->text(), "System Mode: Printer / Fax");
  EXPECT_EQ(app->output_mode, OutputMode::kPrinter);
}

TEST_F(MainFormTest, TheWindowStartsMaximisedWithItsTitleBarOnScreen) {
  auto form = MakeForm();
  EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
  // Restored, the frame fits inside the work area.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LT(form->width(), area.width());
  EXPECT_LT(form->height(), area.height());
  EXPECT_GE(form->y(), area.top());
}

TEST_F(MainFormTest, CreationShowsTheCompanyAndTheClock) {
  auto form = MakeForm();
  EXPECT_EQ(form->CompanyLabel->text(), "My Company\n     Number: 1");
  EXPECT_EQ(form->ClockPanel->text(), "Wednesday, April 3, 2024, 02:05 PM");
  EXPECT_EQ(form->MessagePanel->text(), "Ready.");
  app->ShowStatus("Calculating Aging Totals...");
  EXPECT_EQ(form->MessagePanel->text(), "Calculating Aging Totals...");
  ui.clock.Set(2024, 4, 3, 9, 30);
  form->Timer1Timer();
  EXPECT_EQ(form->ClockPanel->text(), "Wednesday, April 3, 2024, 09:30 AM");
}

TEST_F(MainFormTest, HintsFollowTheCompanyOption) {
  CompanyRecord record = FirstCompanyRecord("1", "My Company");
  record.ShowButtonHints = 0;
  StoreCompany(record);
  auto form = MakeForm();
  EXPECT_EQ(form->ToolButton(CommandId::kHome)->toolTip(), "");
}

TEST_F(MainFormTest, MissingLastCompanyFileEndsCreation) {
  std::filesystem::remove(dir / "LastCo.Dat");
  TMainForm form(*app);
  ui.messages.ExpectMessage(kMissingDataFiles).WithCaption("Vk Tallybook Pro");
  EXPECT_FALSE(form.FormCreate());
}

TEST_F(MainFormTest, FirstShowingAsksThePasswordThenSetsOutputAndAges) {
  CompanyRecord record = FirstCompanyRecord("1", "My Company");
  record.DefaultToEMail.Set("Y");
  StoreCompany(record);
  std::ofstream(dir / kPasswordFileName, std::ios::binary)
      << PasswordRecord("Secret");
  auto form = MakeForm();
  ui.windows.ExpectWindow("TPWDlg", [&] {
    EXPECT_EQ(form->pw_dlg().windowTitle(), "Password Required");
    EXPECT_EQ(form->pw_dlg().PasswordLabel->text(), "Enter password:");
    EXPECT_EQ(form->pw_dlg().Password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form->pw_dlg().Password->maxLength(), 20);
    form->pw_dlg().Password->setText("Secret ");
    return kModalOk;
  });
  EXPECT_TRUE(form->FormShow());
  EXPECT_TRUE(form->EMDef->isChecked());
  EXPECT_EQ(form->ModeLabel->text(), "System Mode: E-Mail");
  EXPECT_EQ(aging_runs, 1);

  ui.windows.ExpectWindow("TPWDlg", kModalCancel);
  EXPECT_FALSE(form->FormShow());
  EXPECT_EQ(aging_runs, 1);
}

TEST_F(MainFormTest, AWrongPasswordAtStartUpMayBeTypedAgainTwice) {
  std::ofstream(dir / kPasswordFileName, std::ios::binary)
      << PasswordRecord("Secret");
  auto form = MakeForm();
  // The user types into the real dialog and presses Enter.
  auto type = [&form](const char* text) {
    return [&form, text] {
      TPWDlg& dialog = form->pw_dlg();
      dialog.show();
      dialog.activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
      QTest::keyClicks(dialog.Password, text);
      EXPECT_EQ(dialog.windowTitle(), "Password Required");
      QTest::keyClick(dialog.Password, Qt::Key_Return);
      return dialog.result() == QDialog::Accepted ? kModalOk : kModalCancel;
    };
  };
  for (const char* wrong : {"secret", "Secrte"}) {
    ui.windows.ExpectWindow("TPWDlg", type(wrong));
    ui.messages.ExpectMessage("You did not enter the correct password.")
        .WithCaption("Invalid Password");
  }
  ui.windows.ExpectWindow("TPWDlg", type("Secret"));
  EXPECT_TRUE(form->FormShow());

  // Three wrong ones end it.
  for (const char* wrong : {"a", "b", "c"}) {
    ui.windows.ExpectWindow("TPWDlg", type(wrong));
    ui.messages.ExpectMessage("You did not enter the correct password.");
  }
  EXPECT_FALSE(form->FormShow());
}

TEST_F(MainFormTest, PasswordSetupRunsThroughThePasswordDialog) {
  auto form = MakeForm();
  ui.messages.ExpectMessage(
      "Once you create a password you must enter it EXACTLY or you will not "
      "be able to use the billing system. Continue?",
      Answer::kYes);
  for (const char* caption : {"Password Setup", "Re-enter Your Password"}) {
    ui.windows.ExpectWindow("TPWDlg", [&form, caption] {
      EXPECT_EQ(form->pw_dlg().windowTitle(), caption);
      EXPECT_EQ(form->pw_dlg().Password->text(), "");
      // Wide enough for the whole caption beside the title bar's buttons.
      const QFontMetrics metrics(form->pw_dlg().font());
      EXPECT_GE(form->pw_dlg().minimumWidth(),
                metrics.horizontalAdvance(caption) + 140);
      form->pw_dlg().Password->setText("Tally1");
      return kModalOk;
    });
  }
  ui.messages.ExpectMessage(
      "Your new password is set. You will need to enter it EXACTLY as you "
      "typed it next time you want to access the system.")
      .WithCaption("Password Setup");
  form->RunCommand(CommandId::kPasswordSetup);
  EXPECT_EQ(ReadStoredPassword(*app).password, "Tally1");
}

TEST_F(MainFormTest, ClosingAsksAboutQueuedLabelsAndShutsTheStoreDown) {
  auto form = MakeForm();
  int backups = 0;
  form->set_backup_on_exit([&] { ++backups; });
  app->CurrentCompany.BackupPromptOnExit.Set("Y");
  app->label_queue_pending = true;
  ui.messages.ExpectMessage(kLabelQueueQuestion, Answer::kNo);
  form->RunCommand(CommandId::kExit);
  EXPECT_FALSE(form->shut_down());
  EXPECT_TRUE(app->engine().IsStarted());

  ui.messages.ExpectMessage(kLabelQueueQuestion, Answer::kYes);
  form->RunCommand(CommandId::kExit);
  EXPECT_TRUE(form->shut_down());
  EXPECT_EQ(backups, 1);
  EXPECT_FALSE(app->engine().IsStarted());
  EXPECT_EQ(ui.help.close_count(), 1);
}

// A loop that lets input through, as aging, rebuild, purge and backup do.
void RunLongLoop(App& app, int steps) {
  BusyGuard busy(app);
  app.services().progress.SetCancellable(true);
  app.services().progress.Show();
  for (int i = 0; i < steps && !app.services().progress.CancelRequested();
       ++i) {
    app.services().progress.ProcessPendingInput();
  }
  app.services().progress.Hide();
}

TEST_F(MainFormTest, ACloseDuringTheStartUpLoopWaitsForIt) {
  auto form = MakeForm();
  int inputs = 0;
  bool store_alive_throughout = true;
  bool commands_off = true;
  bool close_waited = false;
  ui.progress.SetInputHook([&] {
    ++inputs;
    if (inputs == 1) {
      form->close();
      close_waited = form->close_pending() && !form->shut_down();
    }
    store_alive_throughout = store_alive_throughout && app->engine().IsStarted();
    commands_off = commands_off &&
                   !form->MenuAction(CommandId::kCompanyManager)->isEnabled() &&
                   !form->ToolButton(CommandId::kBackupDataFiles)->isEnabled() &&
                   !form->BackupButton->isEnabled();
  });
  form->set_aging_runner([](App& app) { RunLongLoop(app, 5); });
  EXPECT_TRUE(form->FormShow());
  // The close pressed Cancel: the loop stopped at its next step.
  EXPECT_EQ(inputs, 1);
  EXPECT_TRUE(store_alive_throughout);
  EXPECT_TRUE(commands_off);
  EXPECT_TRUE(close_waited);
  EXPECT_TRUE(app->engine().IsStarted());
  EXPECT_TRUE(form->IsCommandEnabled(CommandId::kCompanyManager));

  // Once the loop has ended the waiting close goes through the exit.
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->shut_down());
  EXPECT_FALSE(app->engine().IsStarted());
}

TEST_F(MainFormTest, CommandsArriveNowhereWhileALoopRuns) {
  auto form = MakeForm();
  int runs = 0;
  form->SetCommand(CommandId::kCustomerManager, [&] { ++runs; });
  ui.progress.SetInputHook([&] {
    form->RunCommand(CommandId::kCustomerManager);
    form->MenuAction(CommandId::kCustomerManager)->trigger();
  });
  RunLongLoop(*app, 3);
  EXPECT_EQ(runs, 0);
  form->RunCommand(CommandId::kCustomerManager);
  EXPECT_EQ(runs, 1);
  // A handler given while busy stays off until the loop ends.
  {
    BusyGuard busy(*app);
    form->SetCommand(CommandId::kProductManager, [] {});
    EXPECT_FALSE(form->MenuAction(CommandId::kProductManager)->isEnabled());
  }
  EXPECT_TRUE(form->MenuAction(CommandId::kProductManager)->isEnabled());
}

TEST_F(MainFormTest, CompanyChangeRefreshesLabelRadioAndAges) {
  auto form = MakeForm();
  EXPECT_TRUE(form->FormShow());
  EXPECT_EQ(aging_runs, 1);
  CompanyRecord second = FirstCompanyRecord("2", "Second Shop");
  second.DefaultToEMail.Set("Y");
  second.LastAgingDate.Set("04/03/2024");
  form->CompanyChanged(second, false);
  EXPECT_EQ(form->CompanyLabel->text(), "Second Shop\n     Number: 2");
  EXPECT_TRUE(form->EMDef->isChecked());
  EXPECT_EQ(aging_runs, 1);  // already aged today
  CompanyRecord third = FirstCompanyRecord("3", "Third");
  form->CompanyChanged(third, false);
  EXPECT_EQ(aging_runs, 2);
  EXPECT_TRUE(form->PrinDef->isChecked());
}

}  // namespace
}  // namespace tallybook::company::ui
