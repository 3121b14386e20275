#include "company/startup.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "company/background.h"
#include "company/company_defaults.h"
#include "company/company_files.h"
#include "company/installation.h"
#include "company/keys.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company {
namespace {

namespace fs = std::filesystem;
using platform::testing::ReadFileBytes;
using platform::Answer;
using platform::MessageKind;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path();
    ASSERT_TRUE(CreateInstallation(dir_.string()).ok);
    ui_.clock.Set(2024, 4, 3);
    app_ = std::make_unique<App>(dir_.string(), ui_.services());
  }
  void TearDown() override {
    ui_.Verify();
    app_.reset();
  }

  // Replaces the stored record of company_no in the company list (key 1
  // stays valid as long as the number is unchanged).
  void StoreInList(const CompanyRecord& record) {
    store::Engine engine;
    ASSERT_TRUE(engine.StoreStartup(0, kPageBuffers));
    store::FileHandle h = store::kNoFileHandle;
    ASSERT_TRUE(engine.OpenFileBlock(h, DataPath(dir_.string(), "Company"), false));
    int32_t ref = 0;
    std::string key = BuildKey(record, 1);
    ASSERT_TRUE(engine.SearchKey(h, 1, ref, key));
    ASSERT_TRUE(engine.PutRecord(h, ref, &record));
    ASSERT_TRUE(engine.CloseFileBlock(h));
  }
  // Adds a second company to the list.
  void AddToList(const CompanyRecord& record) {
    store::Engine engine;
    ASSERT_TRUE(engine.StoreStartup(0, kPageBuffers));
    store::FileHandle h = store::kNoFileHandle;
    ASSERT_TRUE(engine.OpenFileBlock(h, DataPath(dir_.string(), "Company"), false));
    int32_t ref = 0;
    ASSERT_TRUE(engine.AddRecord(h, ref, &record));
    ASSERT_TRUE(engine.AddKey(h, 1, ref, BuildKey(record, 1)));
    ASSERT_TRUE(engine.AddKey(h, 2, ref, BuildKey(record, 2)));
    ASSERT_TRUE(engine.CloseFileBlock(h));
  }
  CompanyRecord First() const { return FirstCompanyRecord("1", kFirstCompanyName); }
  std::string LastCoBytes() const { return ReadFileBytes(dir_ / "LastCo.Dat"); }
  static std::string Bytes(const CompanyRecord& r) {
    return std::string(reinterpret_cast<const char*>(&r), sizeof(r));
  }

  platform::testing::ScriptedPlatform ui_;
  platform::testing::TempDir temp_{"startup"};
  fs::path dir_;
  std::unique_ptr<App> app_;
};

// ---- the creation step

TEST_F(StartupTest, MissingLastCompanyFileEndsWithTheDataFilesMessage) {
  fs::remove(dir_ / "LastCo.Dat");
  ui_.messages.ExpectMessage(
      "I do not find the billing data files. The data files must be in the "
      "same directory as the billing program.")
      .WithCaption("Vk Tallybook Pro")
      .WithKind(MessageKind::kWarning);
  EXPECT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kEnd);
  EXPECT_FALSE(app_->engine().IsStarted());
}

TEST_F(StartupTest, ShortLastCompanyFileEndsAndIsKept) {
  const std::string short_bytes = LastCoBytes().substr(0, 100);
  std::ofstream(dir_ / "LastCo.Dat", std::ios::binary | std::ios::trunc)
      << short_bytes;
  ui_.messages.ExpectMessage(
      "The file " + (dir_ / "LastCo.Dat").string() +
      " is damaged or cannot be read, so the current company is not known. "
      "Restore it from a backup.")
      .WithCaption("Vk Tallybook Pro");
  EXPECT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kEnd);
  EXPECT_EQ(LastCoBytes(), short_bytes);
}

TEST_F(StartupTest, CompanyOptionsComeFromTheListNotFromLastCompany) {
  CompanyRecord stored = First();
  stored.CompanyName.Set("Acme Supply");
  stored.ShowButtonHints = 0;
  stored.EditorFontName.Set("Courier New");
  stored.EditorFontSize = 12;
  stored.EditorFontColor = 0x0000FF;
  stored.EditorFontStyle = platform::kFontItalic;
  StoreInList(stored);
  app_->label_queue_pending = true;

  StartupResult result = MainWindowCreation(*app_);
  ASSERT_EQ(result.outcome, StartupOutcome::kReady);
  EXPECT_TRUE(app_->engine().IsStarted());
  EXPECT_FALSE(app_->label_queue_pending);
  EXPECT_EQ(app_->CurrentCompany.CompanyName.Get(), "Acme Supply");
  EXPECT_FALSE(result.show_hints);
  EXPECT_EQ(result.display.name_label, "Acme Supply\n     Number: 1");
  EXPECT_TRUE(result.display.use_editor_font);
  EXPECT_EQ(result.display.editor_font,
            (platform::Font{"Courier New", 12, 0x0000FF, platform::kFontItalic}));
  // The installation's own background picture.
  EXPECT_TRUE(result.display.bitmap_on);
  EXPECT_EQ(app_->TodayText, "04/03/2024");
  // The list's options are not written back to "LastCo.Dat" at start.
  EXPECT_EQ(LastCoBytes(), Bytes(First()));
}

TEST_F(StartupTest, CompanyMissingFromTheListKeepsTheRememberedCopy) {
  CompanyRecord other = First();
  other.CompanyNo.Set("77");
  other.CompanyName.Set("Gone Ltd");
  ASSERT_TRUE(WriteLastCompany((dir_ / "LastCo.Dat").string(), other));
  StartupResult result = MainWindowCreation(*app_);
  ASSERT_EQ(result.outcome, StartupOutcome::kReady);
  EXPECT_EQ(result.display.name_label, "Gone Ltd\n     Number: 77");
}

TEST_F(StartupTest, ListLookupTakesOnlyTheCompanyOfThatNumber) {
  CompanyRecord third = First();
  third.CompanyNo.Set("3");
  third.CompanyName.Set("Third Trading");
  AddToList(third);
  // Company 2 is gone from the list; the search for it lands on company 3,
  // which must not become current in its place.
  CompanyRecord remembered = First();
  remembered.CompanyNo.Set("2");
  remembered.CompanyName.Set("Second Shop");
  ASSERT_TRUE(WriteLastCompany((dir_ / "LastCo.Dat").string(), remembered));
  StartupResult result = MainWindowCreation(*app_);
  ASSERT_EQ(result.outcome, StartupOutcome::kReady);
  EXPECT_EQ(app_->CurrentCompanyNo(), "2");
  EXPECT_EQ(result.display.name_label, "Second Shop\n     Number: 2");
}

TEST_F(StartupTest, CompanyNumberThatIsNoNumberNamesNoFile) {
  const fs::path outside = dir_.parent_path() / "zC.DAT";
  fs::remove(outside);
  for (const char* number : {"../z", "/q", "", "0"}) {
    SCOPED_TRACE(number);
    CompanyRecord remembered = First();
    remembered.CompanyNo.Set(number);
    remembered.LastAgingDate.Set("01/01/2024");
    ASSERT_TRUE(WriteLastCompany((dir_ / "LastCo.Dat").string(), remembered));
    ui_.messages
        .ExpectMessage("The company number \"" + std::string(number) +
                       "\" in LastCo.Dat is not a number from 1 to 32000, so "
                       "no file is opened for it. Choose another company in "
                       "the Company Manager, or restore the data files from a "
                       "backup.")
        .WithCaption("Vk Tallybook Pro")
        .WithKind(MessageKind::kWarning);
    StartupResult result = MainWindowCreation(*app_);
    EXPECT_EQ(result.outcome, StartupOutcome::kNoCompany);
    EXPECT_EQ(app_->CurrentCompanyNo(), "");
    // The daily aging has no company to run for.
    EXPECT_FALSE(AgingDue(*app_));
    EXPECT_TRUE(MainWindowShown(
        *app_, [](const std::string&) { return std::optional<std::string>(); },
        DefaultAgingRunner()));
    ui_.Verify();
  }
  EXPECT_FALSE(fs::exists(outside));
  EXPECT_FALSE(fs::exists("/qC.DAT"));
}

TEST_F(StartupTest, ChosenCompanyWhoseNumberIsNoNumberIsNotMadeCurrent) {
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  const std::string before = LastCoBytes();
  CompanyRecord bad = First();
  bad.CompanyNo.Set("../z");
  ui_.messages.ExpectMessage(InvalidCompanyNoText("../z", kCompanyListSource))
      .WithKind(MessageKind::kError);
  CompanyDisplay display;
  EXPECT_FALSE(ChangeCompany(*app_, bad, false, &display));
  EXPECT_EQ(app_->CurrentCompanyNo(), "1");
  EXPECT_EQ(LastCoBytes(), before);
  EXPECT_EQ(display.name_label,
            std::string(kFirstCompanyName) + "\n     Number: 1");
}

TEST_F(StartupTest, DateBeforeNineteenNinetyFiveIsWarnedAbout) {
  ui_.clock.Set(1994, 12, 31);
  ui_.messages.ExpectMessage(
      "The date on your computer appears to be incorrect. This will effect "
      "program calculations. Please verify your computer is using the "
      "correct date.")
      .WithCaption("Computer Date");
  EXPECT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  EXPECT_EQ(app_->TodayText, "12/31/1994");
}

TEST_F(StartupTest, FirstOfJanuaryNineteenNinetyFiveIsPlausible) {
  ui_.clock.Set(1995, 1, 1);
  EXPECT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  EXPECT_TRUE(ui_.messages.shown().empty());
}

TEST_F(StartupTest, DayFirstCompanyGetsDayFirstDates) {
  CompanyRecord stored = First();
  stored.DateOrder.Set("D");
  StoreInList(stored);
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  EXPECT_EQ(app_->TodayText, "03/04/2024");
  EXPECT_EQ(app_->ParseDate("03/04/2024"), (Date{2024, 4, 3}));
}

TEST_F(StartupTest, NameShorterThanTwoAsksForSetupAndWritesNothing) {
  CompanyRecord stored = First();
  stored.CompanyName.Set(" x ");
  stored.MainBitmapOn = 1;
  stored.MainBitmapFile.Set("missing.bmp");
  StoreInList(stored);
  const std::string list_before = ReadFileBytes(dir_ / "Company.DAT");

  StartupResult result = MainWindowCreation(*app_);
  ASSERT_EQ(result.outcome, StartupOutcome::kReady);
  EXPECT_EQ(result.display.name_label, "Please Setup Your Company.");
  EXPECT_FALSE(result.display.use_editor_font);
  EXPECT_FALSE(result.display.bitmap_on);
  EXPECT_EQ(app_->CurrentCompany.CompanyName.Get(), "Please Setup Your Company.");
  EXPECT_EQ(app_->CurrentCompany.MainBitmapOn, 0);
  // No bitmap message: the bitmap is not looked at for an unnamed company.
  EXPECT_TRUE(ui_.messages.shown().empty());
  EXPECT_EQ(ReadFileBytes(dir_ / "Company.DAT"), list_before);
  EXPECT_EQ(LastCoBytes(), Bytes(First()));
}

TEST_F(StartupTest, MissingBitmapSwitchesTheBackgroundOffInMemoryOnly) {
  CompanyRecord stored = First();
  stored.MainBitmapOn = 1;
  stored.MainBitmapFile.Set("my logo.bmp");
  StoreInList(stored);
  const std::string list_before = ReadFileBytes(dir_ / "Company.DAT");
  ui_.messages.ExpectMessage(
      "Background bitmap image no longer exists. Unable to load background "
      "picture.")
      .WithKind(MessageKind::kWarning);
  StartupResult result = MainWindowCreation(*app_);
  EXPECT_FALSE(result.display.bitmap_on);
  EXPECT_EQ(app_->CurrentCompany.MainBitmapOn, 0);
  EXPECT_EQ(ReadFileBytes(dir_ / "Company.DAT"), list_before);
}

TEST_F(StartupTest, MissingBitmapIsNotMentionedWhileTheBackgroundIsOff) {
  CompanyRecord stored = First();
  stored.MainBitmapOn = 0;
  stored.MainBitmapFile.Set("my logo.bmp");
  StoreInList(stored);
  StartupResult result = MainWindowCreation(*app_);
  EXPECT_FALSE(result.display.bitmap_on);
  EXPECT_TRUE(ui_.messages.shown().empty());
}

TEST_F(StartupTest, TheProgramsOwnPictureIsPutBackWhenMissing) {
  CompanyRecord stored = First();
  stored.MainBitmapOn = 1;
  stored.MainBitmapFile.Set(kDefaultBackgroundFile);
  StoreInList(stored);
  std::filesystem::remove(dir_ / kDefaultBackgroundFile);
  StartupResult result = MainWindowCreation(*app_);
  EXPECT_TRUE(ui_.messages.shown().empty());
  EXPECT_TRUE(result.display.bitmap_on);
  EXPECT_EQ(ReadFileBytes(dir_ / kDefaultBackgroundFile),
            DefaultBackgroundBitmap());
}

TEST_F(StartupTest, PresentBitmapIsTiledFromTheDataDirectory) {
  std::ofstream(dir_ / "vkt8.bmp") << "BM";
  CompanyRecord stored = First();
  stored.MainBitmapOn = 1;
  stored.MainBitmapFile.Set("vkt8.bmp");
  StoreInList(stored);
  StartupResult result = MainWindowCreation(*app_);
  EXPECT_TRUE(result.display.bitmap_on);
  EXPECT_EQ(result.display.bitmap_path, (dir_ / "vkt8.bmp").string());
}

// ---- first showing and the daily aging

struct AgingCounter {
  int runs = 0;
  AgingRunner Runner() {
    return [this](App& app) {
      ++runs;
      app.CurrentCompany.LastAgingDate.Set(app.TodayText);
    };
  }
};

TEST_F(StartupTest, AgingRunsOnTheFirstShowingOfEachDayOnly) {
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  AgingCounter aging;
  auto no_password = [](const std::string&) -> std::optional<std::string> {
    ADD_FAILURE() << "no password is set";
    return std::nullopt;
  };
  EXPECT_TRUE(AgingDue(*app_));
  EXPECT_TRUE(MainWindowShown(*app_, no_password, aging.Runner()));
  EXPECT_EQ(aging.runs, 1);
  EXPECT_FALSE(AgingDue(*app_));
  EXPECT_TRUE(MainWindowShown(*app_, no_password, aging.Runner()));
  EXPECT_EQ(aging.runs, 1);

  ui_.clock.Set(2024, 4, 4);
  app_->RefreshTodayText();
  EXPECT_TRUE(AgingDue(*app_));
  RunAgingWhenDue(*app_, aging.Runner());
  EXPECT_EQ(aging.runs, 2);
}

TEST_F(StartupTest, StoredAgingDateOfTodayNeedsNoAging) {
  CompanyRecord stored = First();
  stored.LastAgingDate.Set("04/03/2024");
  StoreInList(stored);
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  EXPECT_FALSE(AgingDue(*app_));
}

TEST_F(StartupTest, WrongPasswordEndsBeforeOutputAndAging) {
  std::ofstream(dir_ / "tl1confg.dat", std::ios::binary)
      << PasswordRecord("Secret");
  CompanyRecord stored = First();
  stored.DefaultToEMail.Set("Y");
  StoreInList(stored);
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  AgingCounter aging;
  // Three wrong tries end it.
  for (int i = 0; i < kStartupPasswordTries; ++i) {
    ui_.messages.ExpectMessage("You did not enter the correct password.");
  }
  EXPECT_FALSE(MainWindowShown(
      *app_, [](const std::string&) { return std::optional<std::string>("no"); },
      aging.Runner()));
  EXPECT_EQ(aging.runs, 0);
  EXPECT_EQ(app_->output_mode, OutputMode::kPrinter);

  EXPECT_TRUE(MainWindowShown(
      *app_, [](const std::string&) { return std::optional<std::string>("Secret"); },
      aging.Runner()));
  EXPECT_EQ(app_->output_mode, OutputMode::kEMail);
  EXPECT_EQ(aging.runs, 1);
}

// ---- company change

TEST_F(StartupTest, ChangingCompanyRewritesLastCompanyAndDates) {
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  CompanyRecord second = First();
  second.CompanyNo.Set("2");
  second.CompanyName.Set("Second Shop");
  second.DateOrder.Set("D");
  second.DefaultToEMail.Set("Y");
  AddToList(second);

  CompanyDisplay display;
  EXPECT_TRUE(ChangeCompany(*app_, second, false, &display));
  EXPECT_EQ(app_->CurrentCompanyNo(), "2");
  EXPECT_EQ(LastCoBytes(), Bytes(second));
  EXPECT_EQ(app_->TodayText, "03/04/2024");
  EXPECT_EQ(app_->output_mode, OutputMode::kEMail);
  EXPECT_EQ(display.output_mode, OutputMode::kEMail);
  EXPECT_EQ(display.name_label, "Second Shop\n     Number: 2");
  EXPECT_FALSE(fs::exists(dir_ / "LastCo.Dat.new"));
}

TEST_F(StartupTest, ChangedOptionsOfTheCurrentCompanyAreReloaded) {
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  CompanyRecord edited = First();
  edited.CompanyName.Set("Renamed Inc");
  StoreInList(edited);
  CompanyRecord stale = First();
  CompanyDisplay display;
  EXPECT_TRUE(ChangeCompany(*app_, stale, true, &display));
  EXPECT_EQ(app_->CurrentCompany.CompanyName.Get(), "Renamed Inc");
  EXPECT_EQ(LastCoBytes(), Bytes(edited));
}

TEST_F(StartupTest, UnwritableLastCompanyIsReportedAndTheOldFileKept) {
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  fs::create_directory(dir_ / "LastCo.Dat.new");
  std::ofstream(dir_ / "LastCo.Dat.new" / "block") << "x";
  CompanyRecord second = First();
  second.CompanyNo.Set("2");
  ui_.messages.ExpectMessage("Unable to write " + (dir_ / "LastCo.Dat").string() +
                             ". The company chosen now will not be current at "
                             "the next start.")
      .WithKind(MessageKind::kError);
  CompanyDisplay display;
  EXPECT_FALSE(ChangeCompany(*app_, second, false, &display));
  EXPECT_EQ(app_->CurrentCompanyNo(), "2");
  EXPECT_EQ(LastCoBytes(), Bytes(First()));
}

// ---- exit

TEST_F(StartupTest, LabelQueueQuestionCanKeepTheProgramRunning) {
  EXPECT_TRUE(ConfirmExit(*app_));
  app_->label_queue_pending = true;
  const char* question =
      "You have labels in the print queue that you have not printed or saved "
      "to a file. Exit anyway?";
  ui_.messages.ExpectMessage(question, Answer::kNo).WithKind(MessageKind::kQuestion);
  EXPECT_FALSE(ConfirmExit(*app_));
  ui_.messages.ExpectMessage(question, Answer::kYes);
  EXPECT_TRUE(ConfirmExit(*app_));
}

TEST_F(StartupTest, ShutDownOffersBackupOnlyWhenAskedAndClosesTheFiles) {
  ASSERT_EQ(MainWindowCreation(*app_).outcome, StartupOutcome::kReady);
  int backups = 0;
  auto backup = [&] { ++backups; };
  ShutDown(*app_, backup);
  EXPECT_EQ(backups, 0);
  EXPECT_FALSE(app_->engine().IsStarted());
  EXPECT_EQ(ui_.help.close_count(), 1);

  ASSERT_TRUE(app_->engine().StoreStartup(0, kPageBuffers));
  app_->CurrentCompany.BackupPromptOnExit.Set("Y");
  ShutDown(*app_, backup);
  EXPECT_EQ(backups, 1);
  ShutDown(*app_, nullptr);
  EXPECT_EQ(ui_.help.close_count(), 3);
}

TEST(LastCompanyFile, ReadsExactlyOneRecordAndRefusesLess) {
  platform::testing::TempDir temp("lastco");
  ASSERT_TRUE(temp.ok());
  const std::string path = (temp.path() / "LastCo.Dat").string();
  CompanyRecord record = FirstCompanyRecord("12", "Twelve");
  CompanyRecord read;
  EXPECT_EQ(ReadLastCompany(path, &read), LastCompanyRead::kMissing);
  std::ofstream(path, std::ios::binary) << "";
  EXPECT_EQ(ReadLastCompany(path, &read), LastCompanyRead::kDamaged);
  ASSERT_TRUE(WriteLastCompany(path, record));
  EXPECT_EQ(fs::file_size(path), 2736u);
  ASSERT_EQ(ReadLastCompany(path, &read), LastCompanyRead::kOk);
  EXPECT_EQ(std::memcmp(&read, &record, sizeof(read)), 0);
}

}  // namespace
}  // namespace tallybook::company
