#include "platform/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/testing/temp_dir.h"

namespace tallybook::platform {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

class RegularFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(temp_.ok()); }
  std::string PathOf(const std::string& name) const {
    return (temp_.path() / name).string();
  }
  TempDir temp_{"regfile"};
};

TEST_F(RegularFileTest, ReadsOnlyRegularFilesUpToTheLimit) {
  std::string bytes = "kept";
  std::string reason;
  EXPECT_EQ(ReadRegularFile(PathOf("none"), 10, &bytes, &reason),
            FileRead::kMissing);
  EXPECT_EQ(ReadRegularFile(PathOf("none/deeper"), 10, &bytes),
            FileRead::kMissing);

  EXPECT_EQ(ReadRegularFile(temp_.path().string(), 10, &bytes, &reason),
            FileRead::kNotRegular);
  EXPECT_EQ(reason, "it is a folder");
  ASSERT_EQ(::mkfifo(PathOf("fifo").c_str(), 0600), 0);
  EXPECT_EQ(ReadRegularFile(PathOf("fifo"), 10, &bytes, &reason),
            FileRead::kNotRegular);
  EXPECT_EQ(reason, "it is not a regular file");
  EXPECT_EQ(bytes, "kept");

  WriteFileBytes(PathOf("ten"), "0123456789");
  EXPECT_EQ(ReadRegularFile(PathOf("ten"), 9, &bytes, &reason),
            FileRead::kTooLarge);
  EXPECT_EQ(reason, "it is too large");
  EXPECT_EQ(bytes, "kept");
  EXPECT_EQ(ReadRegularFile(PathOf("ten"), 10, &bytes), FileRead::kOk);
  EXPECT_EQ(bytes, "0123456789");
}

TEST_F(RegularFileTest, SideFileNeverWritesThroughAPlantedLink) {
  // The side file's name is predictable; a link planted there, or a side
  // file left by an earlier run, is replaced, never written through.
  const std::string victim = PathOf("victim");
  WriteFileBytes(victim, "not yours");
  const std::string target = PathOf("out.pdf");
  std::filesystem::create_symlink(victim, target + ".part");
  ASSERT_TRUE(ReplaceThroughSideFile(target, target + ".part", "%PDF"));
  EXPECT_EQ(ReadFileBytes(victim), "not yours");
  EXPECT_EQ(ReadFileBytes(target), "%PDF");
  EXPECT_FALSE(std::filesystem::exists(target + ".part"));

  WriteFileBytes(target + ".part", "stale and longer");
  ASSERT_TRUE(ReplaceThroughSideFile(target, target + ".part", "new"));
  EXPECT_EQ(ReadFileBytes(target), "new");
}

TEST_F(RegularFileTest, FailedReplaceLeavesTheFileAndNoSideFile) {
  const std::string target = PathOf("list.csv");
  WriteFileBytes(target, "old");
  // The side file cannot be made in a folder that is not there.
  const std::string side = PathOf("no/such/list.csv.tmp");
  errno = 0;
  EXPECT_FALSE(ReplaceThroughSideFile(target, side, "new"));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(ReadFileBytes(target), "old");
  // A folder in the target's place makes the rename fail.
  const std::string folder = PathOf("folder");
  std::filesystem::create_directories(folder + "/inside");
  EXPECT_FALSE(ReplaceThroughSideFile(folder, folder + ".tmp", "new"));
  EXPECT_FALSE(std::filesystem::exists(folder + ".tmp"));
  EXPECT_TRUE(std::filesystem::is_directory(folder + "/inside"));
}

}  // namespace
}  // namespace tallybook::platform
