#include "company/backup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "company/company_defaults.h"
#include "company/records.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company {
namespace {

namespace fs = std::filesystem;
using platform::testing::NoiseBytes;
using platform::testing::ReadFileBytes;
using platform::testing::TempDir;
using platform::testing::WriteFileBytes;

// Every entry of a folder (files and folders) with the files' bytes.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(dir)) {
    files[e.path().filename()] = e.is_directory() ? "<dir>" : ReadFileBytes(e.path());
  }
  return files;
}

// Runs a command and returns its exit status and standard output.
std::pair<int, std::string> RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, ""};
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  return {::pclose(pipe), out};
}

class RecordingObserver : public BackupObserver {
 public:
  void StatusChanged(const std::string& text) override { statuses.push_back(text); }
  void FileProgress(const std::string& name, int number, int count, int percent) override {
    if (percent == 100) finished[name] = count;
    if (on_progress) on_progress(number);
    last_number = number;
  }
  std::vector<std::string> statuses;
  std::map<std::string, int> finished;  // name -> count told
  std::function<void(int)> on_progress;
  int last_number = 0;
};

class BackupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    root_ = temp_.path();
    data_ = root_ / "data";
    dest_ = root_ / "dest";
    fresh_ = root_ / "fresh";
    for (const fs::path& p : {data_, dest_, fresh_}) fs::create_directories(p);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(root_ / "locked", fs::perms::owner_all, ec);
  }

  // Two companies' files, the shared files, and files that are not data.
  void MakeCompanies() {
    uint32_t seed = 1;
    for (const char* name : kBackedUp) {
      WriteFileBytes(data_ / name, NoiseBytes(1000 + 700 * seed, seed));
      ++seed;
    }
    // "LastCo.Dat" names the current company; a restore checks its number.
    WriteFileBytes(data_ / "LastCo.Dat", LastCompanyBytes("1"));
    WriteFileBytes(data_ / "notes.txt", "not a data file");
    WriteFileBytes(data_ / "1P.DAT.bak", "an old copy");
    fs::create_directories(data_ / "folder.DAT");
  }

  std::string Archive() const { return (dest_ / kBackupArchiveName).string(); }

  static std::string LastCompanyBytes(const std::string& company_no) {
    CompanyRecord record = FirstCompanyRecord(company_no, "Noise Ltd");
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
  }

  static constexpr const char* kBackedUp[] = {
      "1C.IX", "1P.DAT", "2I.DAT", "Company.DAT", "LastCo.Dat",
      "a.rtf", "logo.BMP", "tl1confg.dat", "x.lbl"};

  TempDir temp_{"backup_test"};
  fs::path root_, data_, dest_, fresh_;
};

TEST(BackupTextTest, MessagesAreTheWindowsOwn) {
  EXPECT_EQ(BackupCompleteText(9), "Backup complete. 9 files were copied.");
  EXPECT_EQ(BackupConfirmText("/media/ann/USB"),
            "Ready to backup files to folder /media/ann/USB?");
  EXPECT_EQ(RestoreConfirmText("/media/ann/USB"),
            "Ready to RESTORE files from backup disk in folder /media/ann/USB. WARNING!! "
            "Your data files will be over-written by the backup files! Continue?");
  EXPECT_STREQ(kRestoreCompleteText,
               "Restore files operation complete. You should now run the \"rebuild data "
               "files\" option on the Tools Menu to update your data files.");
  EXPECT_STREQ(kBackupNotFoundText, "Unable to locate the backup files.");
}

TEST(BackupPatternTest, DataFilesMatchWhateverTheirCase) {
  for (const char* name : {"tl1confg.dat", "LastCo.Dat", "Company.DAT", "1C.IX", "1c.ix",
                           "SAVELINE.SAV", "a.lst", "x.lbl", "Letter.Rtf", "logo.BMP", ".DAT"}) {
    EXPECT_TRUE(MatchesBackupPattern(name)) << name;
  }
  for (const char* name : {"notes.txt", "1P.DAT.bak", "1P.DATA", "1PDAT", "VkBackup.zip",
                           kLastBackupFileName, "1P.MSG", "x.TXT", ""}) {
    EXPECT_FALSE(MatchesBackupPattern(name)) << name;
  }
}

TEST_F(BackupTest, BackupOfTwoCompaniesRestoresByteForByte) {
  MakeCompanies();
  RecordingObserver seen;
  BackupOutcome backup = RunBackup(data_.string(), dest_.string(), &seen);
  ASSERT_TRUE(backup.ok) << backup.message;
  EXPECT_EQ(backup.file_count, 9);
  EXPECT_EQ(backup.message, "Backup complete. 9 files were copied.");
  EXPECT_EQ(seen.statuses,
            (std::vector<std::string>{kBackingUpStatus, kCheckingArchiveStatus}));
  EXPECT_EQ(seen.finished.size(), 9u);
  for (const auto& [name, count] : seen.finished) EXPECT_EQ(count, 9) << name;
  // Nothing but the archive is left in the destination.
  EXPECT_EQ(Snapshot(dest_).size(), 1u);

  // An independent reader agrees: every entry's CRC and the exact names.
  auto [test_rc, test_out] = RunCommand("/usr/bin/unzip -tq '" + Archive() + "' 2>&1");
  EXPECT_EQ(test_rc, 0) << test_out;
  auto [list_rc, listing] = RunCommand("/usr/bin/unzip -Z1 '" + Archive() + "' 2>&1");
  EXPECT_EQ(list_rc, 0);
  EXPECT_EQ(listing,
            "1C.IX\n1P.DAT\n2I.DAT\nCompany.DAT\nLastCo.Dat\na.rtf\nlogo.BMP\n"
            "tl1confg.dat\nx.lbl\n");

  RecordingObserver restored;
  BackupOutcome restore = RunRestore(fresh_.string(), dest_.string(), &restored);
  ASSERT_TRUE(restore.ok) << restore.message;
  EXPECT_EQ(restore.message, kRestoreCompleteText);
  EXPECT_EQ(restore.file_count, 9);
  EXPECT_EQ(restored.statuses, std::vector<std::string>{kRestoringStatus});

  std::map<std::string, std::string> expected;
  for (const char* name : kBackedUp) expected[name] = ReadFileBytes(data_ / name);
  EXPECT_EQ(Snapshot(fresh_), expected);  // byte for byte, and no work folders left
}

TEST_F(BackupTest, RestoreOverwritesDataFilesAndAcceptsTheArchivePath) {
  MakeCompanies();
  ASSERT_TRUE(RunBackup(data_.string(), dest_.string(), nullptr).ok);
  std::string saved = ReadFileBytes(data_ / "1P.DAT");
  WriteFileBytes(data_ / "1P.DAT", "changed since the backup");
  WriteFileBytes(data_ / "3P.DAT", "a company made since");
  BackupOutcome restore = RunRestore(data_.string(), Archive(), nullptr);
  ASSERT_TRUE(restore.ok) << restore.message;
  EXPECT_EQ(ReadFileBytes(data_ / "1P.DAT"), saved);
  EXPECT_EQ(ReadFileBytes(data_ / "3P.DAT"), "a company made since");
  EXPECT_EQ(ReadFileBytes(data_ / "notes.txt"), "not a data file");
}

TEST_F(BackupTest, SecondBackupReplacesTheFirst) {
  MakeCompanies();
  ASSERT_TRUE(RunBackup(data_.string(), dest_.string(), nullptr).ok);
  fs::remove(data_ / "x.lbl");
  WriteFileBytes(data_ / "1P.DAT", "new invoices");
  BackupOutcome second = RunBackup(data_.string(), dest_.string(), nullptr);
  ASSERT_TRUE(second.ok) << second.message;
  EXPECT_EQ(second.message, "Backup complete. 8 files were copied.");

  auto [rc, listing] = RunCommand("/usr/bin/unzip -Z1 '" + Archive() + "' 2>&1");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(listing.find("x.lbl"), std::string::npos) << listing;
  ASSERT_TRUE(RunRestore(fresh_.string(), dest_.string(), nullptr).ok);
  EXPECT_EQ(ReadFileBytes(fresh_ / "1P.DAT"), "new invoices");
  EXPECT_FALSE(fs::exists(fresh_ / "x.lbl"));
  EXPECT_EQ(Snapshot(dest_).size(), 1u);
}

TEST_F(BackupTest, ArchiveIsPrivateToTheUser) {
  MakeCompanies();
  // An earlier archive readable by all is replaced by a private one: the
  // archive carries the password file.
  WriteFileBytes(Archive(), "old");
  fs::permissions(Archive(), fs::perms::all);
  const mode_t mask = ::umask(0);
  BackupOutcome outcome = RunBackup(data_.string(), dest_.string(), nullptr);
  ::umask(mask);
  ASSERT_TRUE(outcome.ok) << outcome.message;
  EXPECT_EQ(fs::status(Archive()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(BackupTest, DamagedArchiveChangesNoDataFile) {
  MakeCompanies();
  ASSERT_TRUE(RunBackup(data_.string(), dest_.string(), nullptr).ok);
  const std::string good = ReadFileBytes(Archive());
  for (const char* name : kBackedUp) WriteFileBytes(data_ / name, std::string("current ") + name);
  const auto before = Snapshot(data_);

  // Bytes flipped inside the data of the second entry ("1P.DAT").
  std::string flipped = good;
  size_t at = flipped.find("1P.DAT");  // its local header's name
  ASSERT_NE(at, std::string::npos);
  flipped[at + 6 + 800] ^= 0x55;
  flipped[at + 6 + 801] ^= 0xaa;

  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"truncated", good.substr(0, good.size() / 2)},
      {"missing its end", good.substr(0, good.size() - 10)},
      {"flipped", flipped},
      {"not an archive", "plain text, no zip here"},
      {"empty", ""}};
  for (const auto& [what, bytes] : damaged) {
    SCOPED_TRACE(what);
    WriteFileBytes(Archive(), bytes);
    BackupOutcome restore = RunRestore(data_.string(), dest_.string(), nullptr);
    EXPECT_FALSE(restore.ok);
    EXPECT_NE(restore.message.find(Archive()), std::string::npos) << restore.message;
    EXPECT_NE(restore.message, kRestoreCompleteText);
    EXPECT_EQ(Snapshot(data_), before);
  }
}

TEST_F(BackupTest, BackupNamingNoCompanyNumberIsNotRestored) {
  MakeCompanies();
  WriteFileBytes(data_ / "LastCo.Dat", LastCompanyBytes("../z"));
  ASSERT_TRUE(RunBackup(data_.string(), dest_.string(), nullptr).ok);
  WriteFileBytes(data_ / "LastCo.Dat", LastCompanyBytes("1"));
  WriteFileBytes(data_ / "1P.DAT", "current products");
  const auto before = Snapshot(data_);
  BackupOutcome restore = RunRestore(data_.string(), dest_.string(), nullptr);
  EXPECT_FALSE(restore.ok);
  EXPECT_EQ(restore.message,
            "The company number \"../z\" in LastCo.Dat of the backup is not a "
            "number from 1 to 32000. Nothing was restored.");
  EXPECT_EQ(Snapshot(data_), before);
}

TEST_F(BackupTest, MissingArchiveIsReportedAndChangesNothing) {
  MakeCompanies();
  const auto before = Snapshot(data_);
  for (const fs::path& source : {dest_, root_ / "no-such-folder", dest_ / "VkBackup.zip",
                                 data_ / "notes.txt" / "VkBackup.zip"}) {
    BackupOutcome restore = RunRestore(data_.string(), source.string(), nullptr);
    EXPECT_FALSE(restore.ok);
    EXPECT_EQ(restore.message, "Unable to locate the backup files.") << source;
  }
  EXPECT_EQ(Snapshot(data_), before);
}

TEST_F(BackupTest, UnwritableDestinationFailsAndKeepsThePreviousArchive) {
  MakeCompanies();
  std::string under_file = (data_ / "notes.txt").string();
  BackupOutcome bad = RunBackup(data_.string(), under_file, nullptr);
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.message, "Unable to create \"" + under_file + "/VkBackup.zip\": Not a directory");
  std::string missing = (root_ / "unplugged").string();
  bad = RunBackup(data_.string(), missing, nullptr);
  EXPECT_EQ(bad.message,
            "Unable to create \"" + missing + "/VkBackup.zip\": No such file or directory");
  EXPECT_FALSE(fs::exists(missing));

  ASSERT_TRUE(RunBackup(data_.string(), dest_.string(), nullptr).ok);
  const auto previous = Snapshot(dest_);
  // A data file that goes away while the archive is being written.
  RecordingObserver observer;
  observer.on_progress = [&](int) { fs::remove(data_ / "x.lbl"); };
  bad = RunBackup(data_.string(), dest_.string(), &observer);
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.message, "Unable to read \"" + (data_ / "x.lbl").string() +
                             "\": No such file or directory");
  EXPECT_EQ(Snapshot(dest_), previous);
}

TEST_F(BackupTest, ReadOnlyDestinationFailsAndKeepsThePreviousArchive) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  MakeCompanies();
  fs::path locked = root_ / "locked";
  fs::create_directories(locked);
  ASSERT_TRUE(RunBackup(data_.string(), locked.string(), nullptr).ok);
  const std::string previous = ReadFileBytes(locked / kBackupArchiveName);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  BackupOutcome bad = RunBackup(data_.string(), locked.string(), nullptr);
  EXPECT_EQ(bad.message, "Unable to create \"" + (locked / kBackupArchiveName).string() +
                             "\": Permission denied");
  EXPECT_EQ(ReadFileBytes(locked / kBackupArchiveName), previous);
}

TEST_F(BackupTest, NothingToBackUpIsRefused) {
  WriteFileBytes(data_ / "notes.txt", "no data files here");
  BackupOutcome bad = RunBackup(data_.string(), dest_.string(), nullptr);
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.message, "There are no data files to back up in " + data_.string() + ".");
  EXPECT_TRUE(Snapshot(dest_).empty());

  std::string missing = (root_ / "none").string();
  EXPECT_EQ(RunBackup(missing, dest_.string(), nullptr).message,
            "Unable to read the folder \"" + missing + "\": No such file or directory");
}

TEST_F(BackupTest, EntryNamesOutsideTheDataFolderRefuseTheRestore) {
  MakeCompanies();
  const auto before = Snapshot(data_);
  for (const char* bad : {"../evil.DAT", "sub/1P.DAT", "/tmp/abs.DAT", "C:1P.DAT", "..\\w.DAT"}) {
    SCOPED_TRACE(bad);
    int code = 0;
    zip_t* z = zip_open(Archive().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(z, nullptr);
    static const char kGood[] = "good data", kEvil[] = "evil data";
    ASSERT_GE(zip_file_add(z, "1P.DAT", zip_source_buffer(z, kGood, 9, 0), 0), 0);
    ASSERT_GE(zip_file_add(z, bad, zip_source_buffer(z, kEvil, 9, 0), ZIP_FL_ENC_RAW), 0);
    ASSERT_EQ(zip_close(z), 0);

    BackupOutcome restore = RunRestore(data_.string(), dest_.string(), nullptr);
    EXPECT_FALSE(restore.ok);
    EXPECT_EQ(restore.message, "Unable to extract \"" + Archive() + "\": the entry name \"" +
                                   bad + "\" is not a plain file name");
    EXPECT_EQ(Snapshot(data_), before);
    EXPECT_FALSE(fs::exists(root_ / "evil.DAT"));
  }
}

TEST_F(BackupTest, DestinationsAreTheLastUsedThenEveryMountedVolume) {
  fs::path media = root_ / "media" / "ann", run = root_ / "run" / "media" / "ann";
  for (const fs::path& p : {media / "USB2", media / "USB1", run / "CARD"}) fs::create_directories(p);
  WriteFileBytes(media / "not-a-volume", "");
  std::vector<std::string> roots = {media.string(), run.string(), (root_ / "absent").string()};

  EXPECT_EQ(ListBackupDestinations(roots, dest_.string()),
            (std::vector<std::string>{dest_.string(), (media / "USB1").string(),
                                      (media / "USB2").string(), (run / "CARD").string()}));
  // The last one used is not offered twice, nor when it is gone.
  EXPECT_EQ(ListBackupDestinations(roots, (media / "USB2/").string()).size(), 3u);
  EXPECT_EQ(ListBackupDestinations(roots, (root_ / "gone").string()),
            (std::vector<std::string>{(media / "USB1").string(), (media / "USB2").string(),
                                      (run / "CARD").string()}));
}

TEST_F(BackupTest, LastDestinationIsRememberedAndDamageForgetsIt) {
  EXPECT_EQ(LoadLastBackupDestination(data_.string()), "");
  MakeCompanies();
  ASSERT_TRUE(RunBackup(data_.string(), dest_.string(), nullptr).ok);
  EXPECT_EQ(LoadLastBackupDestination(data_.string()), dest_.string());
  EXPECT_EQ(ReadFileBytes(data_ / kLastBackupFileName), dest_.string() + "\n");

  fs::path file = data_ / kLastBackupFileName;
  for (const std::string& damage :
       {std::string("a\0b\n", 4), std::string(5000, 'x'), std::string("two\nlines\n"),
        std::string("\n")}) {
    WriteFileBytes(file, damage);
    EXPECT_EQ(LoadLastBackupDestination(data_.string()), "");
  }
  std::string error;
  EXPECT_FALSE(SaveLastBackupDestination((root_ / "none").string(), "/x", &error));
  EXPECT_EQ(error.rfind("Unable to write \"", 0), 0u) << error;
}

}  // namespace
}  // namespace tallybook::company
