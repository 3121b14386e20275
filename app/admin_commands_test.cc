#include "app/admin_commands.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_test_util.h"
#include "gmock/gmock.h"
#include "gtest/gtest.h"

namespace tallybook::admin {
namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing::AdminRun;
using testing::RunCaptured;

void Put32(std::vector<uint8_t>& b, size_t at, int32_t value) {
  auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

void Put16(std::vector<uint8_t>& b, size_t at, int16_t value) {
  b.at(at) = static_cast<uint8_t>(value);
  b.at(at + 1) = static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()),
            static_cast<std::streamsize>(b.size()));
}

// A small sound file block: records of 30 bytes, 1..3 in use, 4 deleted and
// the free head; key 1 (length 8, unique) is one leaf page holding
// ALPHA -> 2, BRAVO -> 1, CHARLIE -> 3. Page size 6 + 62 * 17 = 1060.
constexpr int kRecordLength = 30;
constexpr int kPageSize = 1060;

void WriteSoundBlock(const std::string& base) {
  std::vector<uint8_t> data(5 * kRecordLength, 0);
  Put32(data, 0, 4);   // free head
  Put32(data, 4, 1);   // free count
  Put32(data, 8, 4);   // highest
  Put32(data, 12, kRecordLength);
  Put32(data, 16, 1);  // keys
  Put32(data, 4 * kRecordLength, -1);
  WriteFile(base + ".DAT", data);

  std::vector<uint8_t> index(2 * kPageSize, 0);
  Put32(index, 0, -1);
  Put32(index, 4, 0);
  Put32(index, 8, 1);
  Put32(index, 12, kPageSize);
  Put32(index, 16, 1);
  Put32(index, 22, 3);
  Put16(index, 26, 62);
  const std::vector<std::pair<std::string, int32_t>> entries = {
      {"ALPHA", 2}, {"BRAVO", 1}, {"CHARLIE", 3}};
  Put16(index, kPageSize, 3);
  size_t at = kPageSize + 6;
  for (const auto& [key, ref] : entries) {
    Put32(index, at, ref);
    index[at + 8] = static_cast<uint8_t>(key.size());
    std::copy(key.begin(), key.end(), index.begin() + at + 9);
    at += 17;
  }
  WriteFile(base + ".IX", index);
}

void Damage(const std::string& path, size_t at, uint8_t value) {
  std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
  f.seekp(static_cast<std::streamoff>(at));
  f.put(static_cast<char>(value));
}

class AdminTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::path(::testing::TempDir()) / "adminXXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    base_ = dir_ + "/00001C";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string dir_;
  std::string base_;
};

TEST_F(AdminTest, InfoPrintsEveryHeaderField) {
  WriteSoundBlock(base_);
  AdminRun r = RunCaptured({"info", base_});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "data file " + base_ + ".DAT (150 bytes)\n"
            "  free head       4\n"
            "  free count      1\n"
            "  highest record  4\n"
            "  record length   30\n"
            "  keys            1\n"
            "  in-update flag  0\n"
            "index file " + base_ + ".IX (2120 bytes, slot size 1060)\n"
            "key 1\n"
            "  free head       -1\n"
            "  free count      0\n"
            "  highest page    1\n"
            "  page size       1060\n"
            "  root page       1\n"
            "  duplicates      0\n"
            "  reserved        0\n"
            "  entries         3\n"
            "  capacity        62\n"
            "  key length      8\n"
            "  offset in slot  0\n");
}

TEST_F(AdminTest, KeysListsEntriesInKeyOrder) {
  WriteSoundBlock(base_);
  AdminRun r = RunCaptured({"keys", base_, "1"});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, "ALPHA\t2\nBRAVO\t1\nCHARLIE\t3\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(AdminTest, KeysRefusesBadKeyNumbers) {
  WriteSoundBlock(base_);
  AdminRun r = RunCaptured({"keys", base_, "x1"});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_EQ(r.err,
            "tallybook-admin: key number \"x1\" is not a number from 1 to "
            "100\n");
  r = RunCaptured({"keys", base_, "2"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "tallybook-admin: " + base_ +
                       ": no key 2 (the file block has keys 1..1)\n");
}

TEST_F(AdminTest, KeysOfDamagedTreeFailsWithTheDefect) {
  WriteSoundBlock(base_);
  Damage(base_ + ".IX", kPageSize + 6 + 17 + 8, 20);  // BRAVO's length byte
  AdminRun r = RunCaptured({"keys", base_, "1"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_EQ(r.err, "tallybook-admin: " + base_ +
                       ": key 1: page 1 entry 2 key length 20 exceeds 8\n");
}

TEST_F(AdminTest, CheckOfSoundBlockSaysSo) {
  WriteSoundBlock(base_);
  AdminRun r = RunCaptured({"check", base_});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, base_ + ": sound\n");
}

TEST_F(AdminTest, CheckListsEveryDefect) {
  WriteSoundBlock(base_);
  Damage(base_ + ".IX", kPageSize + 6, 4);  // ALPHA refers to deleted 4
  Damage(base_ + ".IX", 22, 9);             // entry count 9
  AdminRun r = RunCaptured({"check", base_});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_EQ(r.out,
            "key 1: page 1 entry 1 refers to deleted record 4\n"
            "key 1: the tree holds 3 entries, the header says 9\n");
}

TEST_F(AdminTest, MissingOrTruncatedFilesFailWithOneLine) {
  for (const char* command : {"info", "check"}) {
    AdminRun r = RunCaptured({command, base_});
    EXPECT_EQ(r.code, kExitFailed) << command;
    EXPECT_EQ(r.err, "tallybook-admin: " + base_ + ".DAT: file not found\n")
        << command;
  }
  WriteFile(base_ + ".DAT", std::vector<uint8_t>(7, 0));
  AdminRun r = RunCaptured({"keys", base_, "1"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_EQ(r.err, "tallybook-admin: " + base_ +
                       ".DAT: 7 bytes, too short for the 21-byte header\n");
}

TEST_F(AdminTest, UsageForMissingUnknownOrMalformedCommands) {
  AdminRun r = RunCaptured({});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_THAT(r.err, StartsWith("usage: tallybook-admin COMMAND ARGUMENTS\n"));
  // The summaries line up after the longest command.
  EXPECT_THAT(r.err, ContainsRegex("\n  keys BASE K +entries of key K in key order\n"));
  EXPECT_THAT(r.err, ContainsRegex("\n  import-products DIR FILE.csv \\[--skip-bad\\]  +add"));

  r = RunCaptured({"frobnicate"});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_THAT(r.err, StartsWith("tallybook-admin: unknown command "
                                "\"frobnicate\"\nusage: "));

  r = RunCaptured({"keys", base_});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_THAT(r.err, StartsWith("tallybook-admin: wrong number of arguments "
                                "for keys\n"));

  r = RunCaptured({"help"});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_THAT(r.out, StartsWith("usage: "));
}

// ---- The built program.

AdminRun RunBinary(const std::string& arguments) {
  const char* bin = std::getenv("TALLYBOOK_BINARY_DIR");
  std::string program =
      std::string(bin ? bin : "..") + "/app/tallybook-admin";
  std::string command = program + " " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, "", "popen failed"};
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, ""};
}

TEST_F(AdminTest, BinaryChecksGoodAndDamagedFiles) {
  WriteSoundBlock(base_);
  AdminRun r = RunBinary("check " + base_);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, base_ + ": sound\n");

  Damage(base_ + ".IX", kPageSize, 200);  // page 1 holds 200 entries
  r = RunBinary("check " + base_);
  EXPECT_EQ(r.code, 1);
  EXPECT_THAT(r.out, HasSubstr("key 1: page 1 holds 200 entries (more than "
                               "62)\n"));

  r = RunBinary("check " + dir_ + "/NOFILE");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "tallybook-admin: " + dir_ + "/NOFILE.DAT: file not found\n");

  r = RunBinary("");
  EXPECT_EQ(r.code, 2);
  EXPECT_THAT(r.out, StartsWith("usage: "));
}

}  // namespace
}  // namespace tallybook::admin
