#include "output/record_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/temp_dir.h"

namespace tallybook::output {
namespace {

using company::LabelQueueRow;
using platform::testing::ReadFileBytes;
using platform::testing::TempDir;
using platform::testing::WriteFileBytes;

bool SameRows(const std::vector<LabelQueueRow>& a,
              const std::vector<LabelQueueRow>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].customer_no != b[i].customer_no || a[i].name != b[i].name ||
        a[i].mail_code != b[i].mail_code ||
        a[i].customer_type != b[i].customer_type) {
      return false;
    }
  }
  return true;
}

class RecordListTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.ok()); }
  std::string PathOf(const std::string& name) const {
    return (dir_.path() / name).string();
  }
  TempDir dir_{"record_list_test"};
};

TEST_F(RecordListTest, FullWidthFieldsComeBackInTheirColumns) {
  const std::vector<LabelQueueRow> rows = {
      {"12345678", std::string(34, 'N') + "Z", std::string(14, 'S') + "Z",
       std::string(24, 'T') + "Z"},
      {"7", "Joe's Hardware", "", "Retail"},
      {"7", "Joe's Hardware", "", "Retail"},  // duplicates are kept
      {"C\xE9", "Caf\xE9 M\xFCller", "ZIP 9", "Wholesale"}};
  const std::string path = PathOf("queue.LST");
  std::string error;
  ASSERT_TRUE(WriteRecordList(path, rows, &error)) << error;

  const std::string bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 4u * 88u);
  EXPECT_EQ(bytes.substr(0, 88),
            "12345678 " + std::string(34, 'N') + "Z " +
                std::string(14, 'S') + "Z " + std::string(24, 'T') + "Z\r\n");
  EXPECT_EQ(bytes.substr(88, 88),
            "7        Joe's Hardware" + std::string(21, ' ') + " " +
                std::string(15, ' ') + " Retail" + std::string(19, ' ') +
                "\r\n");

  auto back = ReadRecordList(path, &error);
  ASSERT_TRUE(back.has_value()) << error;
  EXPECT_TRUE(SameRows(*back, rows));
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));
}

TEST_F(RecordListTest, OverlongFieldsAreCutSoLaterColumnsStayInPlace) {
  const std::vector<LabelQueueRow> rows = {
      {"123456789", std::string(40, 'N'), std::string(20, 'S'), "Type"}};
  const std::string path = PathOf("long.LST");
  ASSERT_TRUE(WriteRecordList(path, rows, nullptr));
  auto back = ReadRecordList(path, nullptr);
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->size(), 1u);
  EXPECT_EQ((*back)[0].customer_no, "12345678");
  EXPECT_EQ((*back)[0].name, std::string(35, 'N'));
  EXPECT_EQ((*back)[0].mail_code, std::string(15, 'S'));
  EXPECT_EQ((*back)[0].customer_type, "Type");
}

TEST_F(RecordListTest, ReadsListsOfOtherHandsLeniently) {
  // LF line ends, no end on the last line, blank lines, a short line, and a
  // line longer than 90 characters whose tail is ignored.
  const std::string text =
      "A1       Short\n"
      "\n"
      "   \r\n"
      "B2       Name two" + std::string(27, ' ') + " ZONE" +
      std::string(11, ' ') + " Retail" + std::string(19, ' ') + "XXXXXXXXXX\n"
      "C3";
  auto rows = ParseRecordList(text, nullptr);
  ASSERT_TRUE(rows.has_value());
  ASSERT_EQ(rows->size(), 3u);
  EXPECT_TRUE(SameRows(*rows, {{"A1", "Short", "", ""},
                               {"B2", "Name two", "ZONE", "Retail"},
                               {"C3", "", "", ""}}));
}

TEST_F(RecordListTest, DamagedOrMissingListsGiveClearErrors) {
  std::string error;
  EXPECT_FALSE(ReadRecordList(PathOf("none.LST"), &error).has_value());
  EXPECT_EQ(error, "The record list " + PathOf("none.LST") +
                       " could not be read: it does not exist.");

  WriteFileBytes(PathOf("binary.LST"), std::string("MZ\0\0\x90", 5));
  EXPECT_FALSE(ReadRecordList(PathOf("binary.LST"), &error).has_value());
  EXPECT_EQ(error, "The record list " + PathOf("binary.LST") +
                       " could not be read: it is not a record list.");

  std::filesystem::create_directory(PathOf("folder.LST"));
  EXPECT_FALSE(ReadRecordList(PathOf("folder.LST"), &error).has_value());
  EXPECT_EQ(error, "The record list " + PathOf("folder.LST") +
                       " could not be read: it is a folder.");

  auto empty = ParseRecordList("", nullptr);
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
}

TEST_F(RecordListTest, AFailedWriteLeavesTheOldListAsItWas) {
  const std::string path = PathOf("kept.LST");
  ASSERT_TRUE(WriteRecordList(path, {{"1", "One", "", ""}}, nullptr));
  const std::string before = ReadFileBytes(path);
  // A folder that is not empty where the side file goes: the write fails
  // before the list is touched.
  std::filesystem::create_directories(path + ".new/inside");
  std::string error;
  EXPECT_FALSE(WriteRecordList(path, {{"2", "Two", "", ""}}, &error));
  EXPECT_EQ(error.rfind("The record list " + path + " could not be written: ",
                        0),
            0u)
      << error;
  EXPECT_EQ(ReadFileBytes(path), before);
}

}  // namespace
}  // namespace tallybook::output
