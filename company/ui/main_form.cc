#include "company/ui/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "company/calendar.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

namespace {

using platform::qt::PathToQString;
using platform::qt::ToQString;

// The client area: tiles the background picture from the top-left corner
// while one is set.
class TBackground : public QWidget {
 public:
  explicit TBackground(QWidget* parent) : QWidget(parent) {
    setObjectName("Background");
    setAutoFillBackground(true);
  }
  void SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
  }
  bool HasPicture() const { return !picture_.isNull(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (picture_.isNull()) return;
    QPainter p(this);
    p.drawTiledPixmap(rect(), picture_);
  }

 private:
  QPixmap picture_;
};

// The tool button's icon from the desktop's theme (freedesktop names, the
// better fitting first).
QIcon ToolIconOf(CommandId id) {
  using platform::qt::ThemeIcon;
  using C = CommandId;
  switch (id) {
    case C::kCompanyManager: return ThemeIcon({"preferences-system"});
    case C::kCustomerManager: return ThemeIcon({"system-users", "contact-new"});
    case C::kProductManager: return ThemeIcon({"package-x-generic"});
    case C::kInvoiceManager: return ThemeIcon({"x-office-document"});
    case C::kPrinterSetup: return ThemeIcon({"printer", "document-print"});
    case C::kExit: return ThemeIcon({"window-close", "application-exit"});
    case C::kPaymentWizard: return ThemeIcon({"mail-send-receive"});
    case C::kReportWizard: return ThemeIcon({"x-office-spreadsheet"});
    case C::kInterestWizard: return ThemeIcon({"appointment-soon"});
    case C::kLabelWizard: return ThemeIcon({"x-office-address-book"});
    case C::kRepeatBillingWizard: return ThemeIcon({"view-refresh"});
    case C::kFormLetterWizard: return ThemeIcon({"accessories-text-editor"});
    case C::kSendEMailMessage: return ThemeIcon({"mail-message-new"});
    case C::kAgingChart: return ThemeIcon({"x-office-presentation"});
    case C::kCalculator: return ThemeIcon({"accessories-calculator"});
    case C::kViewCalendar: return ThemeIcon({"x-office-calendar"});
    case C::kPasswordSetup: return ThemeIcon({"dialog-password"});
    case C::kBackupDataFiles:
      return ThemeIcon({"drive-removable-media", "document-save"});
    case C::kHelpTopics: return ThemeIcon({"help-contents", "help-browser"});
    case C::kHome: return ThemeIcon({"go-home"});
    default: return QIcon();
  }
}

QString WithoutAccelerator(const char* text) {
  QString s = QString::fromLatin1(text);
  s.remove('&');
  return s;
}

}  // namespace

const std::vector<CommandInfo>& CommandTable() {
  static const std::vector<CommandInfo> table = {
      {CommandId::kCompanyManager, "&File", "Co&mpany Manager...",
       "Companies/System Options", true},
      {CommandId::kCustomerManager, "&File", "&Customer Manager...",
       "&Customers", false},
      {CommandId::kProductManager, "&File", "&Product Manager...", "&Products",
       false},
      {CommandId::kInvoiceManager, "&File", "&Invoice Manager...", "&Invoices",
       true},
      {CommandId::kPrinterSetup, "&File", "P&rinter Setup...", "Printer Setup",
       false},
      {CommandId::kEditPaymentTerms, "&File", "&Edit Payment Terms...", nullptr,
       false},
      {CommandId::kExit, "&File", "E&xit", "Close", false},
      {CommandId::kPaymentWizard, "&Tools", "&Payment Wizard...", "Pay&ments",
       true},
      {CommandId::kReportWizard, "&Tools", "&Report  Wizard...", "&Reports",
       false},
      {CommandId::kInterestWizard, "&Tools", "&Interest Wizard...",
       "Interest Wizard", true},
      {CommandId::kLabelWizard, "&Tools", "&Label Wizard...", "Label Wizard",
       false},
      {CommandId::kRepeatBillingWizard, "&Tools", "Repeat Billing &Wizard...",
       "Repeat Billing Wizard", true},
      {CommandId::kFormLetterWizard, "&Tools", "Form L&etter Wizard...",
       "Form Letter Wizard", false},
      {CommandId::kSendEMailMessage, "&Tools", "Send E-Mail &Message",
       "Send E-mail Message", false},
      {CommandId::kAgingChart, "&Tools", "&Aging Chart", "Aging Chart", false},
      {CommandId::kCalculator, "&Tools", "Windows &Calculator", "Calculator",
       false},
      {CommandId::kViewCalendar, "&Tools", "&View Calendar", "View Calendar",
       false},
      {CommandId::kPasswordSetup, "&Tools", "Password &Setup", "Password Setup",
       false},
      {CommandId::kDeletePaidInvoices, "&Tools", "&Delete Paid Invoices",
       nullptr, false},
      {CommandId::kBackupDataFiles, "&Tools", "&Backup Data Files",
       "Backup Files", false},
      {CommandId::kRebuildDataFiles, "&Tools", "Rebuild Data &Files", nullptr,
       false},
      {CommandId::kHelpTopics, "&Help", "&Topics", "Help", false},
      {CommandId::kHowToUseHelp, "&Help", "&How to use Help", nullptr, false},
      {CommandId::kFrequentAskedQuestions, "&Help",
       "&Frequent Asked Questions", nullptr, false},
      {CommandId::kAbout, "&Help", "&About", nullptr, false},
      {CommandId::kHome, nullptr, nullptr, "Home", false},
  };
  return table;
}

TMainForm::TMainForm(App& app, QWidget* parent)
    : QMainWindow(parent), app_(app), aging_runner_(DefaultAgingRunner()) {
  setObjectName("TMainForm");
  setWindowTitle(kProductTitle);
  BuildMenusAndTools();
  BuildPanels();
  PWDlg = new TPWDlg(this);

  ClockPanel = new QLabel(this);
  ClockPanel->setObjectName("ClockPanel");
  ClockPanel->setMinimumWidth(300);
  MessagePanel = new QLabel(kReadyText, this);
  MessagePanel->setObjectName("MessagePanel");
  statusBar()->addWidget(ClockPanel);
  statusBar()->addWidget(MessagePanel, 1);
  app_.status_sink = [this](const std::string& text) { ShowStatus(text); };
  app_.busy_changed = [this](bool busy) { BusyChanged(busy); };

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer1Timer();
  Timer1->start();
}

TMainForm::~TMainForm() {
  app_.status_sink = nullptr;
  app_.busy_changed = nullptr;
}

void TMainForm::BuildMenusAndTools() {
  // The tool buttons fill two rows, so that a screen 1280 pixels wide shows
  // every one of them; the second row starts with the messages tool.
  auto make_tool_bar = [this](const char* name) {
    QToolBar* bar = addToolBar(name);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return bar;
  };
  QToolBar* tools = make_tool_bar("ToolBar1");
  std::map<std::string, QMenu*> menus;
  for (const char* title : {"&File", "&Tools", "&Help"}) {
    menus[title] = menuBar()->addMenu(title);
  }
  for (const CommandInfo& info : CommandTable()) {
    Command& command = commands_[info.id];
    command.hides_aging_chart = info.hides_aging_chart;
    const CommandId id = info.id;
    if (info.caption) {
      command.action = menus[info.menu]->addAction(info.caption);
      connect(command.action, &QAction::triggered, this,
              [this, id] { RunCommand(id); });
      command.action->setEnabled(false);
    }
    if (info.id == CommandId::kSendEMailMessage) {
      addToolBarBreak();
      tools = make_tool_bar("ToolBar2");
    }
    if (info.tool) {
      auto* button = new QToolButton(tools);
      button->setText(info.tool);
      button->setIcon(ToolIconOf(info.id));
      button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
      button->setToolTip(WithoutAccelerator(info.tool));
      button->setEnabled(false);
      button->setAutoRaise(true);
      connect(button, &QToolButton::clicked, this, [this, id] { RunCommand(id); });
      tools->addWidget(button);
      command.button = button;
    }
  }
  platform::qt::SetStandardKeys(MenuAction(CommandId::kHelpTopics),
                                platform::qt::StandardKey::kHelp);
  // Break the menu items into the groups the user sees.
  menus["&File"]->insertSeparator(MenuAction(CommandId::kPrinterSetup));
  menus["&File"]->insertSeparator(MenuAction(CommandId::kExit));
  menus["&Tools"]->insertSeparator(MenuAction(CommandId::kAgingChart));
  menus["&Tools"]->insertSeparator(MenuAction(CommandId::kDeletePaidInvoices));
  menus["&Help"]->insertSeparator(MenuAction(CommandId::kAbout));
}

void TMainForm::BuildPanels() {
  auto* background = new TBackground(this);
  background_ = background;
  setCentralWidget(background);

  CompanyLabel = new QLabel(background);
  CompanyLabel->setObjectName("CompanyLabel");
  CompanyLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  CompanyLabel->setAutoFillBackground(false);

  auto* output = new QFrame(background);
  output->setObjectName("OutputPanel");
  output->setFrameShape(QFrame::StyledPanel);
  output->setAutoFillBackground(true);
  PrinDef = new QRadioButton("Pri&nter or Fax", output);
  PrinDef->setObjectName("PrinDef");
  EMDef = new QRadioButton("&E-Mail", output);
  EMDef->setObjectName("EMDef");
  ModeLabel = new QLabel(kPrinterModeLabel, output);
  ModeLabel->setObjectName("ModeLabel");
  OutputHelp = new QPushButton("Help", output);
  OutputHelp->setObjectName("OutputHelp");
  auto* output_layout = new QGridLayout(output);
  output_layout->addWidget(new QLabel("Default Output", output), 0, 0, 1, 2);
  output_layout->addWidget(PrinDef, 1, 0);
  output_layout->addWidget(EMDef, 1, 1);
  output_layout->addWidget(ModeLabel, 2, 0, 1, 2);
  output_layout->addWidget(OutputHelp, 3, 1);
  connect(PrinDef, &QRadioButton::clicked, this, [this] { PrinDefClick(); });
  connect(EMDef, &QRadioButton::clicked, this, [this] { EMDefClick(); });
  connect(OutputHelp, &QPushButton::clicked, this,
          [this] { app_.services().help.ShowHelp(kOutputHelpTopic); });
  PrinDef->setChecked(true);

  auto* backup = new QFrame(background);
  backup->setObjectName("BackupPanel");
  backup->setFrameShape(QFrame::StyledPanel);
  backup->setAutoFillBackground(true);
  BackupButton = new QPushButton("&Backup Data Files", backup);
  BackupButton->setObjectName("BackupButton");
  BackupButton->setEnabled(false);
  BackupHelp = new QPushButton("Help", backup);
  BackupHelp->setObjectName("BackupHelp");
  auto* backup_layout = new QVBoxLayout(backup);
  backup_layout->addWidget(new QLabel("Protect your data", backup));
  backup_layout->addWidget(BackupButton);
  backup_layout->addWidget(BackupHelp);
  connect(BackupButton, &QPushButton::clicked, this,
          [this] { RunCommand(CommandId::kBackupDataFiles); });
  connect(BackupHelp, &QPushButton::clicked, this,
          [this] { app_.services().help.ShowHelp(kBackupHelpTopicName); });

  AgingPanel = new QFrame(background);
  AgingPanel->setObjectName("AgingPanel");
  AgingPanel->setAutoFillBackground(true);
  AgingHelp = new QPushButton("Help", AgingPanel);
  AgingHelp->setObjectName("AgingHelp");
  auto* aging_layout = new QVBoxLayout(AgingPanel);
  aging_layout->addStretch();
  aging_layout->addWidget(AgingHelp);
  connect(AgingHelp, &QPushButton::clicked, this,
          [this] { app_.services().help.ShowHelp(kAgingChartHelpTopic); });
  AgingPanel->hide();

  auto* side = new QVBoxLayout;
  side->addWidget(output);
  side->addWidget(backup);
  side->addStretch();
  auto* grid = new QGridLayout(background);
  grid->addWidget(CompanyLabel, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  grid->addWidget(AgingPanel, 1, 0, Qt::AlignLeft | Qt::AlignTop);
  grid->addLayout(side, 0, 1, 2, 1);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(1, 1);
}

bool TMainForm::FormCreate() {
  StartupResult result = MainWindowCreation(app_);
  if (result.outcome == StartupOutcome::kEnd) return false;
  // The window takes the work area the way the desktop maximises windows,
  // title bar and frame included; a window sized to the work area would
  // push its title bar off the screen. Restoring it gives a window a little
  // smaller than the work area, centred.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    resize(area.size() * 4 / 5);
    move(area.center() - rect().center());
  }
  setWindowState(windowState() | Qt::WindowMaximized);
  if (result.outcome == StartupOutcome::kReady) {
    SetHintsShown(result.show_hints);
    ApplyCompanyDisplay(result.display);
  }
  return true;
}

bool TMainForm::FormShow() {
  if (!MainWindowShown(app_, password_prompt(), aging_runner_)) return false;
  SetOutputMode(app_.output_mode);
  return true;
}

PasswordPrompt TMainForm::password_prompt() {
  return MakePasswordPrompt(app_, *PWDlg);
}

void TMainForm::SetCommand(CommandId id, std::function<void()> handler) {
  Command& command = commands_[id];
  command.handler = std::move(handler);
  UpdateCommandEnabled(command, id);
}

void TMainForm::UpdateCommandEnabled(Command& command, CommandId id) {
  const bool enabled = static_cast<bool>(command.handler) && !app_.busy();
  if (command.action) command.action->setEnabled(enabled);
  if (command.button) command.button->setEnabled(enabled);
  if (id == CommandId::kBackupDataFiles) BackupButton->setEnabled(enabled);
}

void TMainForm::BusyChanged(bool busy) {
  for (auto& [id, command] : commands_) UpdateCommandEnabled(command, id);
  if (!busy && close_pending_) {
    close_pending_ = false;
    // Not from inside the guard's destructor: the loop's caller is still
    // unwinding.
    QTimer::singleShot(0, this, [this] { close(); });
  }
}

void TMainForm::RunCommand(CommandId id) {
  if (app_.busy()) return;
  auto it = commands_.find(id);
  if (it == commands_.end() || !it->second.handler) return;
  if (it->second.hides_aging_chart) {
    AgingPanel->hide();
    ShowStatus(kReadyText);
  }
  // The handler may replace itself; run a copy.
  std::function<void()> handler = it->second.handler;
  handler();
}

bool TMainForm::IsCommandEnabled(CommandId id) const {
  auto it = commands_.find(id);
  return it != commands_.end() && static_cast<bool>(it->second.handler) &&
         !app_.busy();
}

QAction* TMainForm::MenuAction(CommandId id) const {
  auto it = commands_.find(id);
  return it == commands_.end() ? nullptr : it->second.action;
}

QToolButton* TMainForm::ToolButton(CommandId id) const {
  auto it = commands_.find(id);
  return it == commands_.end() ? nullptr : it->second.button;
}

void TMainForm::CompanyChanged(const CompanyRecord& chosen,
                               bool reload_current) {
  CompanyDisplay display;
  ChangeCompany(app_, chosen, reload_current, &display);
  ApplyCompanyDisplay(display);
  RunAgingWhenDue(app_, aging_runner_);
}

void TMainForm::ApplyCompanyDisplay(const CompanyDisplay& display) {
  CompanyLabel->setText(ToQString(display.name_label));
  if (display.use_editor_font) {
    CompanyLabel->setFont(platform::qt::ToQFont(display.editor_font));
    QPalette palette = CompanyLabel->palette();
    palette.setColor(QPalette::WindowText,
                     platform::qt::ToQColor(display.editor_font.color));
    CompanyLabel->setPalette(palette);
  } else {
    CompanyLabel->setFont(font());
    CompanyLabel->setPalette(palette());
  }
  auto* background = static_cast<TBackground*>(background_);
  QPixmap picture;
  if (display.bitmap_on) picture.load(PathToQString(display.bitmap_path));
  background->SetPicture(picture);
  SetOutputMode(display.output_mode);
  update();
}

void TMainForm::SetHintsShown(bool shown) {
  for (const CommandInfo& info : CommandTable()) {
    if (QToolButton* button = ToolButton(info.id)) {
      button->setToolTip(shown ? WithoutAccelerator(info.tool) : QString());
    }
  }
}

void TMainForm::ShowStatus(const std::string& text) {
  MessagePanel->setText(ToQString(text));
}

void TMainForm::SetOutputMode(OutputMode mode) {
  app_.output_mode = mode;
  if (mode == OutputMode::kEMail) {
    EMDef->setChecked(true);
    ModeLabel->setText(kEMailModeLabel);
  } else {
    PrinDef->setChecked(true);
    ModeLabel->setText(kPrinterModeLabel);
  }
}

void TMainForm::PrinDefClick() { SetOutputMode(OutputMode::kPrinter); }

void TMainForm::EMDefClick() { SetOutputMode(OutputMode::kEMail); }

void TMainForm::Timer1Timer() {
  ClockPanel->setText(ToQString(ClockText(app_.services().clock.Now())));
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_once_) return;
  shown_once_ = true;
  QTimer::singleShot(0, this, [this] {
    if (!FormShow()) EndProgram();
  });
}

void TMainForm::EndProgram() {
  if (app_.engine().IsStarted()) app_.engine().StoreShutdown();
  app_.services().help.CloseHelp();
  shut_down_ = true;
  QCoreApplication::exit(0);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (shut_down_) {
    event->accept();
    return;
  }
  event->ignore();
  // A second close while the exit sequence runs (its backup lets input
  // through) changes nothing.
  if (closing_) return;
  if (app_.busy()) {
    // The store must outlive the running loop: the close waits for it, and
    // a loop that can stop is asked to.
    close_pending_ = true;
    app_.services().progress.RequestCancel();
    app_.services().gauge.RequestCancel();
    return;
  }
  closing_ = true;
  if (!ConfirmExit(app_)) {
    closing_ = false;
    return;
  }
  ShutDown(app_, backup_on_exit_);
  closing_ = false;
  shut_down_ = true;
  event->accept();
}

}  // namespace tallybook::company::ui
