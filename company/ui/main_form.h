// TMainForm: the main window. Every manager, wizard and tool is opened from
// its menus and tool buttons; it shows the current company's name over the
// background picture, the default output radios, the status bar (clock and
// message panels) and hosts the aging chart panel.
//
// Commands: each menu item and tool button stands for a CommandId. What a
// command does is given with SetCommand (main_commands.cc wires them all in
// one place); a command without a handler stays present but disabled.
//
// Life: construct, FormCreate (the creation step; false means the program
// ends), show; the first showing runs FormShow (password, default output,
// daily aging); closing runs the exit sequence.
#ifndef TALLYBOOK_COMPANY_UI_MAIN_FORM_H_
#define TALLYBOOK_COMPANY_UI_MAIN_FORM_H_

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "company/app.h"
#include "company/startup.h"
#include "company/ui/pw_dlg.h"

namespace tallybook::company::ui {

enum class CommandId {
  kCompanyManager,
  kCustomerManager,
  kProductManager,
  kInvoiceManager,
  kPrinterSetup,
  kEditPaymentTerms,
  kExit,
  kPaymentWizard,
  kReportWizard,
  kInterestWizard,
  kLabelWizard,
  kRepeatBillingWizard,
  kFormLetterWizard,
  kSendEMailMessage,
  kAgingChart,
  kCalculator,
  kViewCalendar,
  kPasswordSetup,
  kDeletePaidInvoices,
  kBackupDataFiles,
  kRebuildDataFiles,
  kHelpTopics,
  kHowToUseHelp,
  kFrequentAskedQuestions,
  kAbout,
  kHome,
};

// One row of the command table.
struct CommandInfo {
  CommandId id;
  // "&File", "&Tools" or "&Help"; nullptr for a tool button only.
  const char* menu;
  // The menu item's caption; nullptr when the command has no menu item.
  const char* caption;
  // The tool button's hint (or caption, when it has an accelerator);
  // nullptr when the command has no tool button.
  const char* tool;
  // Opening this window hides the aging chart and shows "Ready." first.
  bool hides_aging_chart;
};

// The command table in menu order, the Home button last.
const std::vector<CommandInfo>& CommandTable();

inline constexpr char kPrinterModeLabel[] = "System Mode: Printer / Fax";
inline constexpr char kEMailModeLabel[] = "System Mode: E-Mail";
inline constexpr char kBackupHelpTopicName[] = "backupdata";
inline constexpr char kAgingChartHelpTopic[] = "AgingChart";
inline constexpr char kOutputHelpTopic[] = "EMMode";

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(App& app, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The creation step (startup.h MainWindowCreation) applied to the
  // window. False when the program must end.
  bool FormCreate();
  // The first showing: password check (false: the program must end), the
  // default output radio, the daily aging.
  bool FormShow();

  // Gives command id its handler; an empty function disables it again.
  void SetCommand(CommandId id, std::function<void()> handler);
  // Runs the command as its menu item would; nothing when disabled or
  // while a long loop holds the App busy.
  void RunCommand(CommandId id);
  // Whether the command has a handler and no long loop is running.
  bool IsCommandEnabled(CommandId id) const;
  // The menu item and tool button of a command (nullptr when it has none).
  QAction* MenuAction(CommandId id) const;
  QToolButton* ToolButton(CommandId id) const;

  // Company change after the company manager closed with OK (startup.h
  // ChangeCompany), then the display refresh and the aging when due.
  void CompanyChanged(const CompanyRecord& chosen, bool reload_current);
  // Shows a company's display: name label, background, output radio.
  void ApplyCompanyDisplay(const CompanyDisplay& display);
  // Tool button hints on or off.
  void SetHintsShown(bool shown);

  // The second status bar panel (App::status_sink writes here).
  void ShowStatus(const std::string& text);

  // The exit sequence's backup (filled by the backup window's wiring) and
  // the aging calculation run on the first showing and on company change.
  void set_backup_on_exit(std::function<void()> backup) {
    backup_on_exit_ = std::move(backup);
  }
  void set_aging_runner(AgingRunner runner) { aging_runner_ = std::move(runner); }

  // The aging chart panel: hidden and empty but for its help button at the
  // bottom of its vertical layout; the chart goes in above it.
  QWidget* aging_panel_host() const { return AgingPanel; }
  // The password dialog, made with the window and kept for the whole run.
  TPWDlg& pw_dlg() { return *PWDlg; }
  PasswordPrompt password_prompt();
  App& app() { return app_; }

  // Controls.
  QLabel* CompanyLabel;
  QRadioButton* PrinDef;
  QRadioButton* EMDef;
  QLabel* ModeLabel;
  QPushButton* OutputHelp;
  QPushButton* BackupButton;
  QPushButton* BackupHelp;
  QWidget* AgingPanel;
  QPushButton* AgingHelp;
  QLabel* ClockPanel;
  QLabel* MessagePanel;
  TPWDlg* PWDlg;

  // Handlers.
  void PrinDefClick();
  void EMDefClick();
  void Timer1Timer();

  // True once the exit sequence has run.
  bool shut_down() const { return shut_down_; }
  // True while a close request waits for a long loop to end.
  bool close_pending() const { return close_pending_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  struct Command {
    QAction* action = nullptr;
    QToolButton* button = nullptr;
    std::function<void()> handler;
    bool hides_aging_chart = false;
  };
  void BuildMenusAndTools();
  void BuildPanels();
  void SetOutputMode(OutputMode mode);
  // App::busy_changed: commands off while a long loop runs; a close that
  // waited for the loop goes ahead once it ends.
  void BusyChanged(bool busy);
  void UpdateCommandEnabled(Command& command, CommandId id);
  // Ends the program without the exit questions (failed start).
  void EndProgram();

  App& app_;
  std::map<CommandId, Command> commands_;
  QWidget* background_ = nullptr;
  QTimer* Timer1 = nullptr;
  std::function<void()> backup_on_exit_;
  AgingRunner aging_runner_;
  bool shown_once_ = false;
  bool shut_down_ = false;
  bool close_pending_ = false;
  // Set while the exit sequence runs (its backup lets input through).
  bool closing_ = false;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_MAIN_FORM_H_
