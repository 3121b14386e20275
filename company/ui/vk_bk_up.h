// TVkBkUp: the backup window, "Vk Tallybook PRO Backup". It backs up every
// data file of the installation into "VkBackup.zip" in a chosen folder and
// restores them from it; the work itself is RunBackup and RunRestore
// (company/backup.h), whose texts the window shows as they are.
//
// The destination list offers the last folder used and the folders of the
// mounted removable volumes, then "Choose folder..." for any other folder.
// While a backup or restore runs, the list and buttons are disabled and the
// platform's gauge window shows each file's progress. On success the window
// closes and then tells the outcome; on failure it shows the reason and
// stays open as it was.
#ifndef TALLYBOOK_COMPANY_UI_VK_BK_UP_H_
#define TALLYBOOK_COMPANY_UI_VK_BK_UP_H_

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <optional>
#include <string>
#include <vector>

#include "company/app.h"

namespace tallybook::company::ui {

inline constexpr char kChooseFolderItem[] = "Choose folder...";
inline constexpr char kChooseBackupFolderCaption[] = "Backup Folder";

class TVkBkUp : public QDialog {
  Q_OBJECT

 public:
  // roots: where removable volumes are mounted (RemovableVolumeRoots() in
  // the program; a test gives its own).
  TVkBkUp(App& app, std::vector<std::string> roots, QWidget* parent = nullptr);

  // FormShow, then the window modally through the platform ("TVkBkUp").
  // Returns kModalOk after a completed backup or restore, else kModalCancel.
  int Execute();

  // Handlers.
  // Enables every control, fills the destination list and selects its
  // first entry, status "Ready. Select backup or restore button...".
  void FormShow();
  // The user picked entry index of the list; "Choose folder..." opens the
  // folder dialog, whose folder joins the list (Cancel: back to the entry
  // chosen before).
  void DriveListChange(int index);
  void BackupBtnClick();
  void RestoreBtnClick();
  void HelpBtnClick();

  // The destination selected ("" when "Choose folder..." is).
  std::string SelectedDestination() const;

  // Controls.
  QComboBox* DriveList;
  QLabel* StatusLabel;
  QPushButton* BackupBtn;
  QPushButton* RestoreBtn;
  QPushButton* ExitBtn;
  QPushButton* HelpBtn;

 public slots:
  // Escape and the close box close the window, except while a backup or
  // restore runs: the window lets input through then, and must not close
  // under the work.
  void reject() override;

 private:
  // The destination to use: the selected one, or the folder dialog's
  // choice when "Choose folder..." is selected; nullopt when cancelled.
  std::optional<std::string> Destination();
  // Runs the folder dialog and selects its folder; false on Cancel.
  bool ChooseFolder();
  void SetControlsEnabled(bool enabled);

  App& app_;
  std::vector<std::string> roots_;
  int previous_index_ = 0;
  bool working_ = false;
};

// Opens the backup window over parent: the "&Backup Data Files" command,
// the "Backup Files" tool button and the backup offered at exit.
void BackupDataFiles(App& app, QWidget* parent);

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_VK_BK_UP_H_
