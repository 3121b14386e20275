#include "company/ui/vk_bk_up.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "archive/zip_archive.h"
#include "company/backup.h"
#include "company/installation.h"
#include "company/ui/main_commands.h"
#include "company/ui/main_form.h"
#include "company/ui/ui_test_support.h"
#include "platform/testing/scripted_platform.h"
#include "platform/qt/text_codec.h"

namespace tallybook::company::ui {
namespace {

namespace fs = std::filesystem;
using platform::Answer;
using platform::Buttons;
using platform::kModalOk;
using platform::MessageKind;

class TVkBkUpTest : public ::testing::Test, public ShellFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dest_dir_.ok());
    dest_ = dest_dir_.path();
    // A second company's files, which a backup must carry as well.
    WriteFile(dir / "2P.DAT", "second company");
    std::string error;
    files_ = ListBackupFiles(dir.string(), &error);
    ASSERT_TRUE(error.empty()) << error;
  }
  void TearDown() override {
    ui.Verify();
  }

  static void WriteFile(const fs::path& path, const std::string& bytes) {
    platform::testing::WriteFileBytes(path, bytes);
  }
  static std::string ReadFile(const fs::path& path) {
    return platform::testing::ReadFileBytes(path);
  }
  // The window with dest_ offered first, as the last destination used.
  std::unique_ptr<TVkBkUp> ShownWindow() {
    std::string error;
    EXPECT_TRUE(SaveLastBackupDestination(dir.string(), dest_.string(), &error)) << error;
    auto window = std::make_unique<TVkBkUp>(*app, std::vector<std::string>{});
    window->FormShow();
    return window;
  }
  void ExpectBackupConfirm(Answer answer) {
    ui.messages.ExpectMessage("Ready to backup files to folder " + dest_.string() + "?", answer)
        .WithCaption("Please Confirm")
        .WithButtons(Buttons::kOkCancel);
  }
  void ExpectRestoreConfirm(Answer answer) {
    ui.messages
        .ExpectMessage("Ready to RESTORE files from backup disk in folder " + dest_.string() +
                           ". WARNING!! Your data files will be over-written by the backup "
                           "files! Continue?",
                       answer)
        .WithCaption("Restore")
        .WithButtons(Buttons::kOkCancel);
  }
  static void ExpectIdle(const TVkBkUp& window) {
    EXPECT_TRUE(window.DriveList->isEnabled());
    EXPECT_TRUE(window.BackupBtn->isEnabled());
    EXPECT_TRUE(window.RestoreBtn->isEnabled());
    EXPECT_TRUE(window.ExitBtn->isEnabled());
    EXPECT_EQ(window.StatusLabel->text(), "Ready. Select backup or restore button...");
  }
  fs::path Archive() const { return dest_ / "VkBackup.zip"; }

  platform::testing::TempDir dest_dir_{"vk_bk_up_dest"};
  fs::path dest_;
  std::vector<std::string> files_;
};

TEST_F(TVkBkUpTest, ShowOffersTheLastFolderThenChooseFolder) {
  auto window = ShownWindow();
  EXPECT_EQ(window->windowTitle(), "Vk Tallybook PRO Backup");
  ASSERT_EQ(window->DriveList->count(), 2);
  EXPECT_EQ(platform::qt::PathFromQString(window->DriveList->itemText(0)), dest_.string());
  EXPECT_EQ(window->DriveList->itemText(1), "Choose folder...");
  EXPECT_EQ(window->SelectedDestination(), dest_.string());
  EXPECT_EQ(window->BackupBtn->text(), "&Backup");
  EXPECT_EQ(window->RestoreBtn->text(), "&Restore");
  EXPECT_EQ(window->ExitBtn->text(), "Exit Backup");
  ExpectIdle(*window);
  window->HelpBtnClick();
  EXPECT_EQ(ui.help.topics(), std::vector<std::string>{"backupdata"});
}

TEST_F(TVkBkUpTest, BackupArchivesEveryDataFileAndClosesWithTheCount) {
  auto window = ShownWindow();
  ExpectBackupConfirm(Answer::kOk);
  ui.messages
      .ExpectMessage("Backup complete. " + std::to_string(files_.size()) + " files were copied.")
      .WithCaption("Vk Backup")
      .WithKind(MessageKind::kInformation);
  window->BackupBtnClick();
  EXPECT_EQ(window->result(), kModalOk);

  archive::ZipReader reader;
  ASSERT_TRUE(reader.Open(Archive().string()).ok());
  ASSERT_EQ(reader.Count(), static_cast<int>(files_.size()));
  std::vector<std::string> names;
  for (const auto& entry : reader.entries()) names.push_back(entry.name);
  EXPECT_NE(std::find(names.begin(), names.end(), "2P.DAT"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "TLTERMS.DAT"), names.end());

  EXPECT_EQ(ui.gauge.caption(), "Vk Tallybook PRO Backup");
  EXPECT_NE(std::find(ui.gauge.percents().begin(), ui.gauge.percents().end(), 100),
            ui.gauge.percents().end());
  EXPECT_EQ(ui.gauge.statuses().front(), "Backing up your files...");
  EXPECT_FALSE(ui.gauge.visible());
  EXPECT_GT(ui.gauge.input_count(), 0);
}

TEST_F(TVkBkUpTest, CancelAtTheConfirmationDoesNothing) {
  auto window = ShownWindow();
  ExpectBackupConfirm(Answer::kCancel);
  window->BackupBtnClick();
  ExpectRestoreConfirm(Answer::kCancel);
  window->RestoreBtnClick();
  EXPECT_FALSE(fs::exists(Archive()));
  EXPECT_NE(window->result(), kModalOk);
  EXPECT_TRUE(ui.gauge.percents().empty());
  ExpectIdle(*window);
}

TEST_F(TVkBkUpTest, RestorePutsTheFilesBackAndTellsToRebuild) {
  ASSERT_TRUE(RunBackup(dir.string(), dest_.string(), nullptr).ok);
  const std::string terms = ReadFile(dir / "TLTERMS.DAT");
  WriteFile(dir / "TLTERMS.DAT", "Changed since the backup\r\n");

  auto window = ShownWindow();
  ExpectRestoreConfirm(Answer::kOk);
  ui.messages
      .ExpectMessage("Restore files operation complete. You should now run the \"rebuild "
                     "data files\" option on the Tools Menu to update your data files.")
      .WithCaption("Restore Complete");
  window->RestoreBtnClick();
  EXPECT_EQ(window->result(), kModalOk);
  EXPECT_EQ(ReadFile(dir / "TLTERMS.DAT"), terms);
  EXPECT_EQ(ui.gauge.statuses().front(), "Restoring your files...");
}

TEST_F(TVkBkUpTest, RestoreWithoutAnArchiveSaysSoAndStaysOpen) {
  const std::string terms = ReadFile(dir / "TLTERMS.DAT");
  auto window = ShownWindow();
  ExpectRestoreConfirm(Answer::kOk);
  ui.messages.ExpectMessage("Unable to locate the backup files.").WithCaption("Restore");
  window->RestoreBtnClick();
  EXPECT_NE(window->result(), kModalOk);
  EXPECT_EQ(ReadFile(dir / "TLTERMS.DAT"), terms);
  ExpectIdle(*window);
}

TEST_F(TVkBkUpTest, FailedBackupShowsTheReasonAndStaysOpen) {
  auto window = ShownWindow();
  fs::remove_all(dest_);  // the volume went away after the window was shown
  ExpectBackupConfirm(Answer::kOk);
  ui.messages
      .ExpectMessage("Unable to create \"" + Archive().string() +
                     "\": No such file or directory")
      .WithCaption("Vk Backup")
      .WithKind(MessageKind::kError);
  window->BackupBtnClick();
  EXPECT_NE(window->result(), kModalOk);
  ExpectIdle(*window);
}

TEST_F(TVkBkUpTest, ChooseFolderAddsTheFolderAndCancelKeepsTheSelection) {
  TVkBkUp window(*app, {});
  window.FormShow();
  ASSERT_EQ(window.DriveList->count(), 1);  // only "Choose folder..."
  EXPECT_EQ(window.SelectedDestination(), "");

  // Backup with nothing chosen asks for the folder first.
  ui.dialogs.ExpectChooseFolder(dest_.string());
  ExpectBackupConfirm(Answer::kCancel);
  window.BackupBtnClick();
  EXPECT_EQ(window.SelectedDestination(), dest_.string());
  ASSERT_EQ(window.DriveList->count(), 2);

  ui.dialogs.ExpectChooseFolder(std::nullopt);
  window.DriveList->setCurrentIndex(1);
  window.DriveListChange(1);
  EXPECT_EQ(window.SelectedDestination(), dest_.string());
  EXPECT_EQ(window.DriveList->count(), 2);
}

// A gauge whose user presses Escape in the backup window at every chance.
class EscapingGauge : public platform::testing::RecordingGaugeWindow {
 public:
  void ProcessPendingInput() override {
    RecordingGaugeWindow::ProcessPendingInput();
    window->reject();
    if (!window->isVisible()) ++closed_while_working;
  }
  QDialog* window = nullptr;
  int closed_while_working = 0;
};

TEST_F(TVkBkUpTest, EscapeWhileWorkingDoesNotCloseTheWindow) {
  EscapingGauge gauge;
  App escaping(dir.string(), platform::Services{ui.messages, ui.progress, gauge, ui.windows,
                                                 ui.dialogs, ui.printer, ui.help, ui.desktop,
                                                 ui.clock});
  std::string error;
  ASSERT_TRUE(SaveLastBackupDestination(dir.string(), dest_.string(), &error)) << error;
  TVkBkUp window(escaping, {});
  gauge.window = &window;
  window.FormShow();
  window.show();
  ExpectBackupConfirm(Answer::kOk);
  ui.messages.ExpectMessage("Backup complete. " + std::to_string(files_.size()) +
                            " files were copied.");
  window.BackupBtnClick();
  EXPECT_GT(gauge.input_count(), 0);
  EXPECT_EQ(gauge.closed_while_working, 0);
  EXPECT_EQ(window.result(), kModalOk);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(TVkBkUpTest, MainWindowOpensTheBackupAndTermsWindowsAndOffersTheBackupAtExit) {
  TMainForm form(*app);
  ASSERT_TRUE(form.FormCreate());
  WireMainCommands(form, *app);
  ui.windows.ExpectWindow("TVkBkUp", platform::kModalCancel);
  form.RunCommand(CommandId::kBackupDataFiles);
  ui.windows.ExpectWindow("TVkBkUp", platform::kModalCancel);
  form.BackupButton->click();
  ui.windows.ExpectWindow("TTermEdit", kModalOk);
  form.RunCommand(CommandId::kEditPaymentTerms);

  app->CurrentCompany.BackupPromptOnExit.Set("Y");
  ui.windows.ExpectWindow("TVkBkUp", platform::kModalCancel);
  form.RunCommand(CommandId::kExit);
  EXPECT_TRUE(form.shut_down());
  EXPECT_EQ(ui.windows.opened(),
            (std::vector<std::string>{"TVkBkUp", "TVkBkUp", "TTermEdit", "TVkBkUp"}));
}

}  // namespace
}  // namespace tallybook::company::ui
