#include "company/ui/vk_bk_up.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cstdlib>

#include "company/backup.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

using platform::qt::PathFromQString;
using platform::qt::PathToQString;
using platform::qt::ToQString;

namespace {

// Passes the backup's progress to the window's status line and to the
// platform's gauge, which it shows at the first report, and lets input
// through between reports so the program stays responsive.
class GaugeObserver : public BackupObserver {
 public:
  GaugeObserver(platform::GaugeWindow& gauge, QLabel* status)
      : gauge_(gauge), status_(status) {}
  ~GaugeObserver() override {
    if (shown_) gauge_.Hide();
  }

  void StatusChanged(const std::string& text) override {
    ShowGauge();
    status_->setText(ToQString(text));
    gauge_.SetStatus(text);
    gauge_.SetPercent(0);
    gauge_.ProcessPendingInput();
  }
  void FileProgress(const std::string& name, int number, int count,
                    int percent) override {
    ShowGauge();
    gauge_.SetStatus(name + "  (" + std::to_string(number) + " of " +
                     std::to_string(count) + ")");
    gauge_.SetPercent(percent);
    gauge_.ProcessPendingInput();
  }

 private:
  void ShowGauge() {
    if (shown_) return;
    gauge_.SetCaption(kBackupWindowCaption);
    gauge_.SetPercent(0);
    gauge_.Show();
    shown_ = true;
  }

  platform::GaugeWindow& gauge_;
  QLabel* status_;
  bool shown_ = false;
};

// The hourglass for as long as it lives.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

QPushButton* MakeButton(const char* text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TVkBkUp::TVkBkUp(App& app, std::vector<std::string> roots, QWidget* parent)
    : QDialog(parent), app_(app), roots_(std::move(roots)) {
  setObjectName("TVkBkUp");
  setWindowTitle(kBackupWindowCaption);

  DriveList = new QComboBox(this);
  DriveList->setObjectName("DriveList");
  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName("StatusLabel");
  BackupBtn = MakeButton(kBackupButtonText, "BackupBtn", this);
  RestoreBtn = MakeButton(kRestoreButtonText, "RestoreBtn", this);
  ExitBtn = MakeButton(kExitBackupButtonText, "ExitBtn", this);
  HelpBtn = MakeButton("Help", "HelpBtn", this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BackupBtn);
  buttons->addWidget(RestoreBtn);
  buttons->addStretch();
  buttons->addWidget(ExitBtn);
  buttons->addWidget(HelpBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(DriveList);
  layout->addWidget(StatusLabel);
  layout->addLayout(buttons);

  connect(DriveList, &QComboBox::activated, this, [this](int index) { DriveListChange(index); });
  connect(BackupBtn, &QPushButton::clicked, this, [this] { BackupBtnClick(); });
  connect(RestoreBtn, &QPushButton::clicked, this, [this] { RestoreBtnClick(); });
  connect(ExitBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
  platform::qt::HelpOnF1(this, [this] { HelpBtn->click(); });
  resize(460, 140);
}

int TVkBkUp::Execute() {
  FormShow();
  return app_.services().windows.RunModal("TVkBkUp", [this] { return exec(); });
}

void TVkBkUp::FormShow() {
  SetControlsEnabled(true);
  {
    const QSignalBlocker blocker(DriveList);
    DriveList->clear();
    for (const std::string& folder : ListBackupDestinations(
             roots_, LoadLastBackupDestination(app_.data_dir()))) {
      DriveList->addItem(PathToQString(folder));
    }
    DriveList->addItem(kChooseFolderItem);
    DriveList->setCurrentIndex(0);
  }
  previous_index_ = 0;
  StatusLabel->setText(kBackupReadyStatus);
}

std::string TVkBkUp::SelectedDestination() const {
  int index = DriveList->currentIndex();
  if (index < 0 || index == DriveList->count() - 1) return "";
  return PathFromQString(DriveList->itemText(index));
}

void TVkBkUp::DriveListChange(int index) {
  if (index == DriveList->count() - 1) {
    if (!ChooseFolder()) {
      const QSignalBlocker blocker(DriveList);
      DriveList->setCurrentIndex(previous_index_);
    }
    return;
  }
  previous_index_ = index;
}

bool TVkBkUp::ChooseFolder() {
  std::string start = SelectedDestination();
  if (start.empty()) {
    const char* home = std::getenv("HOME");
    start = home ? home : "/";
  }
  std::optional<std::string> folder =
      app_.services().dialogs.ChooseFolder(kChooseBackupFolderCaption, start);
  if (!folder || folder->empty()) return false;
  const QSignalBlocker blocker(DriveList);
  int index = DriveList->findText(PathToQString(*folder));
  if (index < 0 || index == DriveList->count() - 1) {
    DriveList->insertItem(0, PathToQString(*folder));
    index = 0;
  }
  DriveList->setCurrentIndex(index);
  previous_index_ = index;
  return true;
}

std::optional<std::string> TVkBkUp::Destination() {
  std::string destination = SelectedDestination();
  if (!destination.empty()) return destination;
  if (!ChooseFolder()) return std::nullopt;
  return SelectedDestination();
}

void TVkBkUp::reject() {
  if (!working_) QDialog::reject();
}

void TVkBkUp::SetControlsEnabled(bool enabled) {
  working_ = !enabled;
  for (QWidget* w : {static_cast<QWidget*>(DriveList), static_cast<QWidget*>(BackupBtn),
                     static_cast<QWidget*>(RestoreBtn), static_cast<QWidget*>(ExitBtn),
                     static_cast<QWidget*>(HelpBtn)}) {
    w->setEnabled(enabled);
  }
}

void TVkBkUp::BackupBtnClick() {
  std::optional<std::string> destination = Destination();
  if (!destination) return;
  platform::Messages& messages = app_.services().messages;
  if (!platform::ConfirmOkCancel(messages, kBackupConfirmCaption,
                                 BackupConfirmText(*destination))) {
    return;
  }
  SetControlsEnabled(false);
  BackupOutcome outcome;
  {
    BusyGuard guard(app_);
    BusyCursor busy;
    GaugeObserver observer(app_.services().gauge, StatusLabel);
    outcome = RunBackup(app_.data_dir(), *destination, &observer);
  }
  SetControlsEnabled(true);
  StatusLabel->setText(kBackupReadyStatus);
  if (!outcome.ok) {
    platform::ShowError(messages, kBackupCompleteCaption, outcome.message);
    return;
  }
  done(platform::kModalOk);
  platform::Inform(messages, kBackupCompleteCaption, outcome.message);
}

void TVkBkUp::RestoreBtnClick() {
  std::optional<std::string> source = Destination();
  if (!source) return;
  platform::Messages& messages = app_.services().messages;
  if (!platform::ConfirmOkCancel(messages, kRestoreCaption, RestoreConfirmText(*source))) {
    return;
  }
  SetControlsEnabled(false);
  BackupOutcome outcome;
  {
    BusyGuard guard(app_);
    BusyCursor busy;
    GaugeObserver observer(app_.services().gauge, StatusLabel);
    outcome = RunRestore(app_.data_dir(), *source, &observer);
  }
  SetControlsEnabled(true);
  StatusLabel->setText(kBackupReadyStatus);
  if (!outcome.ok) {
    if (outcome.message == kBackupNotFoundText) {
      platform::Warn(messages, kRestoreCaption, outcome.message);
    } else {
      platform::ShowError(messages, kRestoreCaption, outcome.message);
    }
    return;
  }
  done(platform::kModalOk);
  platform::Inform(messages, kRestoreCompleteCaption, outcome.message);
}

void TVkBkUp::HelpBtnClick() { app_.services().help.ShowHelp(kBackupHelpTopic); }

void BackupDataFiles(App& app, QWidget* parent) {
  TVkBkUp window(app, RemovableVolumeRoots(), parent);
  window.Execute();
}

}  // namespace tallybook::company::ui
