#include "company/installation.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "company/background.h"
#include "company/company_defaults.h"
#include "company/company_files.h"
#include "company/keys.h"
#include "company/startup.h"
#include "platform/testing/temp_dir.h"
#include "store/engine.h"

namespace tallybook::company {
namespace {

namespace fs = std::filesystem;
using platform::testing::ReadFileBytes;

class InstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    root_ = temp_.path();
  }
  platform::testing::TempDir temp_{"install"};
  fs::path root_;
};

TEST_F(InstallationTest, MakesCompanyListLastCompanyAndTermsInANewDirectory) {
  const fs::path dir = root_ / "data" / "deeper";
  InstallationResult result = CreateInstallation(dir.string());
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(result.message, "A new Tallybook installation was made in " +
                                dir.string() + " with company 1.");

  EXPECT_EQ(ReadFileBytes(dir / "TLTERMS.DAT"),
            "1% 10 Net 30\r\n2% 10 Net 30\r\nCredit Card - American Express\r\n"
            "Credit Card - Master Card\r\nCredit Card - Visa\r\n"
            "Due On Receipt\r\nNet 10 Days\r\nNet 20 Days\r\nNet 30 Days\r\n");

  // The first company's background is there, so it shows at the first
  // start without a complaint.
  EXPECT_EQ(ReadFileBytes(dir / "vkt8.bmp"), DefaultBackgroundBitmap());

  const CompanyRecord expected = FirstCompanyRecord("1", kFirstCompanyName);
  const std::string last_co = ReadFileBytes(dir / "LastCo.Dat");
  ASSERT_EQ(last_co.size(), 2736u);
  EXPECT_EQ(std::memcmp(last_co.data(), &expected, sizeof(expected)), 0);

  // The company list holds that record once, under both keys, and was
  // closed cleanly.
  store::Engine engine;
  ASSERT_TRUE(engine.StoreStartup(0, kPageBuffers));
  store::FileHandle h = store::kNoFileHandle;
  ASSERT_TRUE(engine.OpenFileBlock(h, DataPath(dir.string(), "Company"), true));
  EXPECT_EQ(engine.CountUsedRecords(h), 1);
  int32_t ref = 0;
  std::string key = BuildKey(expected, 1);
  ASSERT_TRUE(engine.SearchKey(h, 1, ref, key));
  EXPECT_EQ(key, BuildKey(expected, 1));
  CompanyRecord stored;
  ASSERT_TRUE(engine.GetRecord(h, ref, &stored));
  EXPECT_EQ(std::memcmp(&stored, &expected, sizeof(stored)), 0);
  EXPECT_EQ(engine.CountKeys(h, 2), 1);
  EXPECT_TRUE(engine.CheckInvariants(h).empty());
  ASSERT_TRUE(engine.CloseFileBlock(h));
}

TEST_F(InstallationTest, NewDataDirectoryIsPrivate) {
  const fs::path dir = root_ / "private";
  ASSERT_TRUE(CreateInstallation(dir.string()).ok);
  EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all,
            fs::perms::owner_all);
}

TEST_F(InstallationTest, RefusesADirectoryThatHoldsAnyDataAndChangesNothing) {
  for (const char* name : {"LastCo.Dat", "Company.DAT", "Company.IX",
                           "TLTERMS.DAT"}) {
    const fs::path dir = root_ / name;
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << "keep me";
    InstallationResult result = CreateInstallation(dir.string());
    EXPECT_FALSE(result.ok) << name;
    EXPECT_EQ(result.message, dir.string() + " already holds Tallybook data (" +
                                  name + "). Nothing was changed.");
    EXPECT_EQ(ReadFileBytes(dir / name), "keep me");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 1) << name;
  }
}

TEST_F(InstallationTest, SecondInstallationIsRefused) {
  const std::string dir = (root_ / "twice").string();
  ASSERT_TRUE(CreateInstallation(dir).ok);
  const std::string before = ReadFileBytes(fs::path(dir) / "LastCo.Dat");
  InstallationResult again = CreateInstallation(dir);
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.message,
            dir + " already holds Tallybook data (LastCo.Dat). Nothing was "
                  "changed.");
  EXPECT_EQ(ReadFileBytes(fs::path(dir) / "LastCo.Dat"), before);
}

TEST_F(InstallationTest, PlainFileInsteadOfDirectoryIsRefused) {
  const fs::path file = root_ / "plain";
  std::ofstream(file) << "x";
  InstallationResult result = CreateInstallation(file.string());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, file.string() + " is not a directory. Nothing was changed.");
  EXPECT_EQ(ReadFileBytes(file), "x");
  EXPECT_FALSE(CreateInstallation("").ok);
}

}  // namespace
}  // namespace tallybook::company
