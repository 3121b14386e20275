#include "mail/mail_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/testing/temp_dir.h"

namespace tallybook::mail {
namespace {

using platform::testing::ReadFileBytes;
using platform::testing::TempDir;
using platform::testing::WriteFileBytes;

class MailSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp_.ok()); }
  std::string Path() const { return (temp_.path() / kMailSettingsFileName).string(); }
  TempDir temp_{"mailset"};
};

TEST_F(MailSettingsTest, RoundTripWritesAPrivateFile) {
  const mode_t old_mask = ::umask(022);
  MailSettings s{"joe", "p=ss word", "/etc/ca.pem", false};
  std::string error;
  ASSERT_TRUE(WriteMailSettings(Path(), s, &error)) << error;
  ::umask(old_mask);
  struct stat st;
  ASSERT_EQ(::stat(Path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(ReadFileBytes(Path()),
            "user=joe\npassword=p=ss word\nca_file=/etc/ca.pem\n"
            "attach_pdf=N\nallow_unencrypted=N\n");
  MailSettings read;
  EXPECT_EQ(ReadMailSettings(Path(), &read), SettingsRead::kOk);
  EXPECT_EQ(read, s);
  EXPECT_FALSE(std::filesystem::exists(Path() + ".new"));
}

TEST_F(MailSettingsTest, UnencryptedLeaveRoundTripsAndOldFilesReadAsNo) {
  MailSettings s;
  s.allow_unencrypted = true;
  ASSERT_TRUE(WriteMailSettings(Path(), s));
  MailSettings read;
  ASSERT_EQ(ReadMailSettings(Path(), &read), SettingsRead::kOk);
  EXPECT_TRUE(read.allow_unencrypted);
  // A file of the version before the option.
  WriteFileBytes(Path(), "user=joe\r\npassword=x\r\nattach_pdf=N\r\n");
  ASSERT_EQ(ReadMailSettings(Path(), &read), SettingsRead::kOk);
  EXPECT_EQ(read, (MailSettings{"joe", "x", "", false, false}));
}

TEST_F(MailSettingsTest, MissingFileGivesDefaults) {
  MailSettings read;
  read.user = "kept";
  EXPECT_EQ(ReadMailSettings(Path(), &read), SettingsRead::kMissing);
  EXPECT_EQ(read.user, "kept");
  EXPECT_TRUE(MailSettings{}.attach_pdf);
}

TEST_F(MailSettingsTest, DamagedFileIsReportedAndChangesNothing) {
  WriteFileBytes(Path(), "user=joe\r\nthis line is wrong\r\n");
  MailSettings read;
  read.user = "before";
  std::string error;
  EXPECT_EQ(ReadMailSettings(Path(), &read, &error), SettingsRead::kDamaged);
  EXPECT_EQ(read.user, "before");
  EXPECT_EQ(error, "The mail settings file " + Path() +
                       " is damaged (line 2).");
}

TEST_F(MailSettingsTest, FolderOrFifoInPlaceOfTheFileIsReportedNotWaitedOn) {
  // A folder used to throw out of the reader, a FIFO to block it forever.
  ASSERT_EQ(::mkdir(Path().c_str(), 0700), 0);
  MailSettings read;
  read.user = "before";
  std::string error;
  EXPECT_EQ(ReadMailSettings(Path(), &read, &error), SettingsRead::kDamaged);
  EXPECT_EQ(error, "Cannot read the mail settings file " + Path() +
                       ": it is a folder.");
  ASSERT_EQ(::rmdir(Path().c_str()), 0);
  ASSERT_EQ(::mkfifo(Path().c_str(), 0600), 0);
  EXPECT_EQ(ReadMailSettings(Path(), &read, &error), SettingsRead::kDamaged);
  EXPECT_EQ(error, "Cannot read the mail settings file " + Path() +
                       ": it is not a regular file.");
  EXPECT_EQ(read.user, "before");
}

TEST_F(MailSettingsTest, ValueWithLineBreakIsRefusedAndOldFileKept) {
  ASSERT_TRUE(WriteMailSettings(Path(), MailSettings{"joe", "x", "", true}));
  std::string error;
  EXPECT_FALSE(WriteMailSettings(
      Path(), MailSettings{"joe\nuser=eve", "x", "", true}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFileBytes(Path()),
            "user=joe\npassword=x\nattach_pdf=Y\nallow_unencrypted=N\n");
}

TEST_F(MailSettingsTest, UnwritableFolderFailsWithReason) {
  std::string error;
  EXPECT_FALSE(WriteMailSettings((temp_.path() / "no" / "such").string(),
                                 MailSettings{}, &error));
  EXPECT_NE(error.find("Cannot write"), std::string::npos);
}

}  // namespace
}  // namespace tallybook::mail
