#include "store/file_check.h"

#include <stdlib.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "gmock/gmock.h"
#include "gtest/gtest.h"
#include "store/engine.h"

namespace tallybook::store {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

void Put32(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
  auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

void Put16(std::vector<uint8_t>& bytes, size_t at, int16_t value) {
  auto v = static_cast<uint16_t>(value);
  bytes.at(at) = static_cast<uint8_t>(v);
  bytes.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

struct EntrySpec {
  std::string key;
  int32_t ref = 0;
  int32_t child = 0;
};

struct PageSpec {
  int32_t leftmost = 0;
  std::vector<EntrySpec> entries;
  std::optional<int32_t> free_link;  // set for a page on the free chain
};

struct KeySpec {
  int length = 0;
  bool duplicates = false;
  int32_t root = 0;
  int32_t free_head = -1;
  int32_t free_count = 0;
  std::vector<PageSpec> pages;  // pages[0] is page 1
  int32_t EntryCount() const {
    int32_t n = 0;
    for (const PageSpec& p : pages) {
      if (!p.free_link) n += static_cast<int32_t>(p.entries.size());
    }
    return n;
  }
  int32_t PageSize() const { return 6 + 62 * (length + 9); }
};

// Lays out a file block byte by byte, as the engine would leave it after a
// clean close.
struct BlockSpec {
  int32_t record_length = 24;
  std::vector<int32_t> marks;  // marks[0] is record 1's delete mark
  int32_t free_head = -1;
  int32_t free_count = 0;
  std::vector<KeySpec> keys;

  int64_t SlotSize() const {
    int64_t s = 0;
    for (const KeySpec& k : keys) s += k.PageSize();
    return s;
  }

  std::vector<uint8_t> DataBytes() const {
    std::vector<uint8_t> b((marks.size() + 1) * record_length, 0);
    Put32(b, 0, free_head);
    Put32(b, 4, free_count);
    Put32(b, 8, static_cast<int32_t>(marks.size()));
    Put32(b, 12, record_length);
    Put32(b, 16, static_cast<int32_t>(keys.size()));
    for (size_t r = 1; r <= marks.size(); ++r) {
      Put32(b, r * record_length, marks[r - 1]);
      b[r * record_length + 4] = static_cast<uint8_t>('a' + r % 26);
    }
    return b;
  }

  std::vector<uint8_t> IndexBytes() const {
    size_t slots = 1;
    for (const KeySpec& k : keys) slots = std::max(slots, k.pages.size() + 1);
    const int64_t slot = SlotSize();
    std::vector<uint8_t> b(slots * slot, 0);
    int64_t offset = 0;
    for (const KeySpec& k : keys) {
      Put32(b, offset + 0, k.free_head);
      Put32(b, offset + 4, k.free_count);
      Put32(b, offset + 8, static_cast<int32_t>(k.pages.size()));
      Put32(b, offset + 12, k.PageSize());
      Put32(b, offset + 16, k.root);
      b[offset + 20] = k.duplicates ? 1 : 0;
      Put32(b, offset + 22, k.EntryCount());
      Put16(b, offset + 26, 62);
      for (size_t p = 0; p < k.pages.size(); ++p) {
        const PageSpec& page = k.pages[p];
        size_t at = (p + 1) * slot + offset;
        if (page.free_link) {
          Put32(b, at, *page.free_link);
          continue;
        }
        Put16(b, at, static_cast<int16_t>(page.entries.size()));
        Put32(b, at + 2, page.leftmost);
        size_t e = at + 6;
        for (const EntrySpec& entry : page.entries) {
          Put32(b, e, entry.ref);
          Put32(b, e + 4, entry.child);
          b[e + 8] = static_cast<uint8_t>(entry.key.size());
          std::copy(entry.key.begin(), entry.key.end(), b.begin() + e + 9);
          e += k.length + 9;
        }
      }
      offset += k.PageSize();
    }
    return b;
  }
};

std::string KeyText(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "A%03d", n);
  return text;
}

// The sound fixture:
//   records 1..63 in use, 64 and 65 deleted (free chain 65 -> 64 -> -1);
//   key 1 (length 4, unique): root page 1 holds "A031" with child page 3,
//     leftmost child page 2; page 2 holds A000..A030, page 3 A032..A062;
//     entry "Annn" refers to record n + 1; page 4 is free;
//   key 2 (length 2, duplicates): a single leaf page 1 holding
//     ("X", 3), ("X", 5), ("Y", 1).
// Slot size 812 + 688 = 1500; the index file has 5 slots.
BlockSpec SoundBlock() {
  BlockSpec block;
  block.marks.assign(63, 0);
  block.marks.push_back(-1);  // record 64, end of the free chain
  block.marks.push_back(64);  // record 65, the free head
  block.free_head = 65;
  block.free_count = 2;

  KeySpec k1;
  k1.length = 4;
  k1.root = 1;
  k1.free_head = 4;
  k1.free_count = 1;
  PageSpec root{2, {{KeyText(31), 32, 3}}, std::nullopt};
  PageSpec left, right;
  for (int i = 0; i <= 30; ++i) left.entries.push_back({KeyText(i), i + 1, 0});
  for (int i = 32; i <= 62; ++i) right.entries.push_back({KeyText(i), i + 1, 0});
  PageSpec free_page;
  free_page.free_link = -1;
  k1.pages = {root, left, right, free_page};

  KeySpec k2;
  k2.length = 2;
  k2.duplicates = true;
  k2.root = 1;
  k2.pages = {PageSpec{0, {{"X", 3, 0}, {"X", 5, 0}, {"Y", 1, 0}}, std::nullopt}};
  block.keys = {k1, k2};
  return block;
}

constexpr int64_t kSlot = 1500;
constexpr int64_t kKey2Offset = 812;
constexpr int64_t kKey1Entry = 13;
// Byte offset of entry i (0-based) of key 1's page p.
int64_t Key1Entry(int page, int i) { return page * kSlot + 6 + i * kKey1Entry; }

class FileCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::path(::testing::TempDir()) / "filecheckXXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    base_ = dir_ + "/CUST";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Write(const BlockSpec& block) {
    WriteFile(base_ + ".DAT", block.DataBytes());
    if (!block.keys.empty()) WriteFile(base_ + ".IX", block.IndexBytes());
  }
  static void WriteFile(const std::string& path, const std::vector<uint8_t>& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()),
              static_cast<std::streamsize>(b.size()));
  }
  static std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Damages the file in place: bytes at offset take value (little-endian).
  void Patch32(const std::string& ext, int64_t at, int32_t value) {
    auto b = ReadFile(base_ + ext);
    Put32(b, static_cast<size_t>(at), value);
    WriteFile(base_ + ext, b);
  }
  void Patch16(const std::string& ext, int64_t at, int16_t value) {
    auto b = ReadFile(base_ + ext);
    Put16(b, static_cast<size_t>(at), value);
    WriteFile(base_ + ext, b);
  }
  void PatchByte(const std::string& ext, int64_t at, uint8_t value) {
    auto b = ReadFile(base_ + ext);
    b.at(static_cast<size_t>(at)) = value;
    WriteFile(base_ + ext, b);
  }
  void Truncate(const std::string& ext, size_t size) {
    auto b = ReadFile(base_ + ext);
    b.resize(size);
    WriteFile(base_ + ext, b);
  }

  std::string dir_;
  std::string base_;
};

TEST_F(FileCheckTest, SoundTwoLevelTreeHasNoDefects) {
  Write(SoundBlock());
  EXPECT_THAT(CheckFileBlockFiles(base_), IsEmpty());
}

TEST_F(FileCheckTest, LayoutReadsEveryHeaderField) {
  Write(SoundBlock());
  FileBlockLayout layout;
  ASSERT_EQ(ReadFileBlockLayout(base_, &layout), "");
  EXPECT_EQ(layout.data.free_head, 65);
  EXPECT_EQ(layout.data.free_count, 2);
  EXPECT_EQ(layout.data.highest, 65);
  EXPECT_EQ(layout.data.record_length, 24);
  EXPECT_EQ(layout.data.key_count, 2);
  EXPECT_EQ(layout.data.in_update, 0);
  EXPECT_EQ(layout.data_file_size, 66 * 24);
  EXPECT_EQ(layout.slot_size, kSlot);
  EXPECT_EQ(layout.index_file_size, 5 * kSlot);
  ASSERT_EQ(layout.keys.size(), 2u);
  const KeyHeader& k1 = layout.keys[0];
  EXPECT_EQ(k1.free_head, 4);
  EXPECT_EQ(k1.free_count, 1);
  EXPECT_EQ(k1.highest, 4);
  EXPECT_EQ(k1.page_size, 812);
  EXPECT_EQ(k1.root, 1);
  EXPECT_EQ(k1.allow_duplicates, 0);
  EXPECT_EQ(k1.entries, 63);
  EXPECT_EQ(k1.capacity, 62);
  EXPECT_EQ(k1.key_length, 4);
  EXPECT_EQ(k1.offset_in_slot, 0);
  const KeyHeader& k2 = layout.keys[1];
  EXPECT_EQ(k2.page_size, 688);
  EXPECT_EQ(k2.key_length, 2);
  EXPECT_EQ(k2.allow_duplicates, 1);
  EXPECT_EQ(k2.offset_in_slot, kKey2Offset);
}

TEST_F(FileCheckTest, ZeroCapacityReadsAsSixtyTwo) {
  Write(SoundBlock());
  Patch16(".IX", kKey2Offset + 26, 0);
  FileBlockLayout layout;
  ASSERT_EQ(ReadFileBlockLayout(base_, &layout), "");
  EXPECT_EQ(layout.keys[1].capacity_field, 0);
  EXPECT_EQ(layout.keys[1].capacity, 62);
  EXPECT_THAT(CheckFileBlockFiles(base_), IsEmpty());
}

TEST_F(FileCheckTest, WalkReturnsEntriesInKeyOrder) {
  Write(SoundBlock());
  std::vector<KeyEntry> entries;
  ASSERT_EQ(WalkKeyEntries(base_, 1, &entries), "");
  ASSERT_EQ(entries.size(), 63u);
  for (int i = 0; i < 63; ++i) {
    EXPECT_EQ(entries[i].key, KeyText(i));
    EXPECT_EQ(entries[i].reference, i + 1);
  }
  ASSERT_EQ(WalkKeyEntries(base_, 2, &entries), "");
  std::vector<std::pair<std::string, int32_t>> got;
  for (const KeyEntry& e : entries) got.emplace_back(e.key, e.reference);
  EXPECT_THAT(got, ElementsAre(std::pair<std::string, int32_t>{"X", 3},
                               std::pair<std::string, int32_t>{"X", 5},
                               std::pair<std::string, int32_t>{"Y", 1}));
}

TEST_F(FileCheckTest, WalkRefusesKeyNumbersOutsideTheBlock) {
  Write(SoundBlock());
  std::vector<KeyEntry> entries;
  EXPECT_EQ(WalkKeyEntries(base_, 3, &entries),
            base_ + ": no key 3 (the file block has keys 1..2)");
  EXPECT_EQ(WalkKeyEntries(base_, 0, &entries),
            base_ + ": no key 0 (the file block has keys 1..2)");
  BlockSpec no_keys;
  no_keys.marks = {0};
  Write(no_keys);
  EXPECT_EQ(WalkKeyEntries(base_, 1, &entries),
            base_ + ": the file block has no keys");
}

TEST_F(FileCheckTest, WalkOfDamagedTreeNamesTheFirstDefect) {
  Write(SoundBlock());
  Patch32(".IX", 1 * kSlot + 2, 999);  // root's leftmost child
  std::vector<KeyEntry> entries;
  EXPECT_EQ(WalkKeyEntries(base_, 1, &entries),
            base_ + ": key 1: page 1 leftmost child points to page 999 "
                    "(outside 1..4)");
  // The right half is still walked.
  EXPECT_EQ(entries.size(), 32u);
}

TEST_F(FileCheckTest, BlockWithoutKeysNeedsNoIndexFile) {
  BlockSpec block;
  block.marks = {0, -1, 0};
  block.free_head = 2;
  block.free_count = 1;
  Write(block);
  EXPECT_THAT(CheckFileBlockFiles(base_), IsEmpty());
}

// ---- Files that cannot be read at all give one clear message.

TEST_F(FileCheckTest, MissingDataFileIsReported) {
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre(base_ + ".DAT: file not found"));
}

TEST_F(FileCheckTest, MissingIndexFileIsReported) {
  Write(SoundBlock());
  std::filesystem::remove(base_ + ".IX");
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre(base_ + ".IX: file not found (the data header "
                                  "lists 2 keys)"));
}

TEST_F(FileCheckTest, UnreadableHeadersAreReported) {
  Write(SoundBlock());
  Truncate(".DAT", 20);
  FileBlockLayout layout;
  EXPECT_EQ(ReadFileBlockLayout(base_, &layout),
            base_ + ".DAT: 20 bytes, too short for the 21-byte header");

  Write(SoundBlock());
  Patch32(".DAT", 12, 20);
  EXPECT_EQ(ReadFileBlockLayout(base_, &layout),
            base_ + ".DAT: record length 20 in the header (at least 21)");

  Write(SoundBlock());
  Patch32(".DAT", 16, 101);
  EXPECT_EQ(ReadFileBlockLayout(base_, &layout),
            base_ + ".DAT: 101 keys in the header (0..100)");

  Write(SoundBlock());
  Truncate(".IX", 830);  // key 2's header starts at 812
  EXPECT_EQ(ReadFileBlockLayout(base_, &layout),
            base_ + ".IX: 830 bytes, too short for the header of key 2");
}

TEST_F(FileCheckTest, InconsistentKeyGeometryIsReported) {
  FileBlockLayout layout;
  Write(SoundBlock());
  Patch32(".IX", 12, 1000);
  EXPECT_EQ(ReadFileBlockLayout(base_, &layout),
            base_ + ".IX: key 1 header: page size 1000 and capacity 62 give "
                    "no whole key length");
  Write(SoundBlock());
  Patch16(".IX", 26, 63);
  EXPECT_EQ(ReadFileBlockLayout(base_, &layout),
            base_ + ".IX: key 1 header: page capacity 63 (1..62)");
  Write(SoundBlock());
  Patch32(".IX", 12, 6 + 62 * 40);  // key length 31
  EXPECT_EQ(ReadFileBlockLayout(base_, &layout),
            base_ + ".IX: key 1 header: key length 31 (1..30)");
}

TEST_F(FileCheckTest, FileHeldByTheEngineIsRefused) {
  Write(SoundBlock());
  int fd = ::open((base_ + ".DAT").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre(base_ + ".DAT: in use by another program"));
  ::close(fd);
}

TEST_F(FileCheckTest, CheckingChangesNothing) {
  Write(SoundBlock());
  Patch16(".IX", 2 * kSlot, 200);
  auto data = ReadFile(base_ + ".DAT");
  auto index = ReadFile(base_ + ".IX");
  EXPECT_THAT(CheckFileBlockFiles(base_), Not(IsEmpty()));
  EXPECT_EQ(ReadFile(base_ + ".DAT"), data);
  EXPECT_EQ(ReadFile(base_ + ".IX"), index);
}

// ---- Data file defects.

TEST_F(FileCheckTest, DataHeaderDefects) {
  Write(SoundBlock());
  PatchByte(".DAT", 20, 1);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("data file: not closed after changes (in-update "
                          "flag is 1)"));

  Write(SoundBlock());
  Truncate(".DAT", 66 * 24 - 1);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              Contains("data file: 1583 bytes, expected 1584 for 65 records "
                       "of 24 bytes"));
}

TEST_F(FileCheckTest, DataFileShorterThanHighestRecord) {
  Write(SoundBlock());
  Truncate(".DAT", 40 * 24);  // slots 0..39 remain
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("data file: 960 bytes, expected 1584 for 65 "
                                "records of 24 bytes"));
  EXPECT_THAT(defects, Contains("data file: free chain: the free head links "
                                "to record 65 past the end of the file"));
  EXPECT_THAT(defects, Contains("key 1: page 3 entry 8 refers to record 40 "
                                "past the end of the data file"));
  EXPECT_THAT(defects, Not(Contains(HasSubstr("refers to record 39 "))));
}

TEST_F(FileCheckTest, RecordFreeChainDefects) {
  Write(SoundBlock());
  Patch32(".DAT", 64 * 24, 65);  // 65 -> 64 -> 65
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("data file: free chain: record 64 links back to "
                          "record 65 (a cycle)"));
  Write(SoundBlock());
  Patch32(".DAT", 64 * 24, 66);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("data file: free chain: record 64 links to 66 "
                          "(outside -1..65)"));
  Write(SoundBlock());
  Patch32(".DAT", 0, -7);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("data file: free chain: the free head links to -7 "
                          "(outside -1..65)"));
  Write(SoundBlock());
  Patch32(".DAT", 4, 3);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("data file: free chain holds 2 records, the header "
                          "says 3"));
  Write(SoundBlock());
  Patch32(".DAT", 0, 5);  // record 5 is in use (mark 0)
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("data file: free chain: record 5 is on the chain "
                          "but its delete mark is 0"));
}

// ---- B-tree defects.

TEST_F(FileCheckTest, PageCountBeyondCapacityIsReported) {
  Write(SoundBlock());
  Patch16(".IX", 2 * kSlot, 200);
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("key 1: page 2 holds 200 entries (more than "
                                "62)"));
  EXPECT_THAT(defects, Contains("key 1: the tree holds 32 entries, the header "
                                "says 63"));
}

TEST_F(FileCheckTest, UnderfullPageIsReported) {
  Write(SoundBlock());
  Patch16(".IX", 3 * kSlot, 30);
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, ElementsAre("key 1: page 3 holds 30 entries (fewer "
                                   "than 31)",
                                   "key 1: the tree holds 62 entries, the "
                                   "header says 63"));
}

TEST_F(FileCheckTest, ChildPastTheEndIsReported) {
  Write(SoundBlock());
  Patch32(".IX", Key1Entry(1, 0) + 4, 5);  // highest page is 4
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("key 1: page 1 entry 1 points to page 5 "
                                "(outside 1..4)"));
  EXPECT_THAT(defects, Contains("key 1: page 3 is neither in the tree nor on "
                                "the free chain"));
}

TEST_F(FileCheckTest, HighestPageBeyondTheFileIsReported) {
  Write(SoundBlock());
  Truncate(".IX", 4 * kSlot);  // page 4 (free) is cut off
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("index file: 6000 bytes, expected 7500 for 4 "
                                "slots of 1500 bytes"));
  EXPECT_THAT(defects, Contains("key 1: highest page 4 lies past the end of "
                                "the index file (3 pages)"));
}

TEST_F(FileCheckTest, PageReachedTwiceIsReported) {
  Write(SoundBlock());
  Patch32(".IX", Key1Entry(1, 0) + 4, 2);  // both children are page 2
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("key 1: page 2 is reached twice in the tree"));
  EXPECT_THAT(defects, Contains("key 1: page 3 is neither in the tree nor on "
                                "the free chain"));
}

TEST_F(FileCheckTest, TreeCycleEndsTheWalk) {
  Write(SoundBlock());
  Patch32(".IX", 2 * kSlot + 2, 1);  // leaf 2 points back at the root
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("key 1: page 1 is reached twice in the tree"));
  EXPECT_THAT(defects, Contains("key 1: page 2 mixes leaf and inner entries"));
}

TEST_F(FileCheckTest, LeavesAtDifferentDepthsAreReported) {
  BlockSpec block = SoundBlock();
  // Page 3 becomes an inner page over page 4, a leaf one level deeper.
  KeySpec& k1 = block.keys[0];
  PageSpec deep;
  for (int i = 32; i <= 62; ++i) deep.entries.push_back({KeyText(i), i + 1, 0});
  k1.pages[2] = PageSpec{4, {}, std::nullopt};
  k1.pages[3] = deep;
  k1.free_head = -1;
  k1.free_count = 0;
  Write(block);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 1: page 3 holds 0 entries (fewer than 31)",
                          "key 1: page 4 is a leaf at depth 3, the first leaf "
                          "is at depth 2"));
}

TEST_F(FileCheckTest, WrongEntryCountIsReported) {
  Write(SoundBlock());
  Patch32(".IX", kKey2Offset + 22, 4);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 2: the tree holds 3 entries, the header says "
                          "4"));
}

TEST_F(FileCheckTest, OutOfOrderKeysAreReported) {
  Write(SoundBlock());
  // Page 3's first key "A032" becomes "A000", below the root's "A031".
  PatchByte(".IX", Key1Entry(3, 0) + 9 + 2, '0');
  PatchByte(".IX", Key1Entry(3, 0) + 9 + 3, '0');
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 1: page 3 entry 1 (\"A000\", record 33) is out "
                          "of order after \"A031\", record 32"));
}

TEST_F(FileCheckTest, ShorterKeySortsFirst) {
  Write(SoundBlock());
  // "A030" (page 2's last) shortened to "A03" still sorts after "A029"
  // and before "A031"; shortening "A031" to "A03" puts it below "A030".
  PatchByte(".IX", Key1Entry(2, 30) + 8, 3);
  EXPECT_THAT(CheckFileBlockFiles(base_), IsEmpty());
  PatchByte(".IX", Key1Entry(1, 0) + 8, 3);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 1: page 1 entry 1 (\"A03\", record 32) repeats "
                          "the entry before it"));
}

TEST_F(FileCheckTest, DuplicatesOrderByReferenceOnlyWhenAllowed) {
  Write(SoundBlock());
  Patch32(".IX", 1 * kSlot + kKey2Offset + 6, 6);  // ("X", 6) before ("X", 5)
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 2: page 1 entry 2 (\"X\", record 5) is out of "
                          "order after \"X\", record 6"));
  BlockSpec block = SoundBlock();
  block.keys[1].duplicates = false;
  Write(block);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 2: page 1 entry 2 (\"X\", record 5) repeats "
                          "the entry before it"));
}

TEST_F(FileCheckTest, OverlongKeyStringIsReported) {
  Write(SoundBlock());
  PatchByte(".IX", Key1Entry(2, 5) + 8, 200);
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("key 1: page 2 entry 6 key length 200 exceeds "
                                "4"));
}

TEST_F(FileCheckTest, ReferenceToDeletedRecordIsReported) {
  Write(SoundBlock());
  Patch32(".IX", Key1Entry(2, 0), 64);
  Patch32(".IX", Key1Entry(3, 1), 0);
  Patch32(".IX", 1 * kSlot + kKey2Offset + 6 + 2 * 11, 66);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 1: page 2 entry 1 refers to deleted record 64",
                          "key 1: page 3 entry 2 refers to record 0 (outside "
                          "1..65)",
                          "key 2: page 1 entry 3 refers to record 66 (outside "
                          "1..65)"));
}

TEST_F(FileCheckTest, PageFreeChainDefects) {
  Write(SoundBlock());
  Patch32(".IX", 4 * kSlot, 4);  // free page 4 links to itself
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 1: page free chain: page 4 links back to page "
                          "4 (a cycle)"));

  Write(SoundBlock());
  Patch32(".IX", 4 * kSlot, 0);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 1: page free chain: page 4 links to 0"));

  Write(SoundBlock());
  Patch32(".IX", 0, 2);  // free head is a tree page; page 2's first bytes
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("key 1: page 2 is both in the tree and on the "
                                "free chain"));

  Write(SoundBlock());
  Patch32(".IX", 0, -1);
  Patch32(".IX", 4, 0);
  EXPECT_THAT(CheckFileBlockFiles(base_),
              ElementsAre("key 1: page 4 is neither in the tree nor on the "
                          "free chain"));
}

TEST_F(FileCheckTest, RootOutsideThePagesIsReported) {
  Write(SoundBlock());
  Patch32(".IX", 16, 9);
  auto defects = CheckFileBlockFiles(base_);
  EXPECT_THAT(defects, Contains("key 1: root page 9 is outside 1..4"));
  EXPECT_THAT(defects, Contains("key 1: the tree holds 0 entries, the header "
                                "says 63"));
}

TEST_F(FileCheckTest, ManyDefectsAreCut) {
  BlockSpec block;
  block.marks.assign(3000, 0);
  KeySpec k;
  k.length = 1;
  // 3000 unreachable, never-freed pages.
  k.pages.assign(3000, PageSpec{});
  block.keys = {k};
  Write(block);
  auto defects = CheckFileBlockFiles(base_);
  ASSERT_EQ(defects.size(), 1001u);
  EXPECT_EQ(defects.front(),
            "key 1: page 1 is neither in the tree nor on the free chain");
  EXPECT_EQ(defects.back(), "(further defects not listed)");
}

TEST(KeyStringOrder, BytewiseUnsignedShorterFirst) {
  EXPECT_LT(CompareKeyStrings("AB", "ABC"), 0);
  EXPECT_GT(CompareKeyStrings("B", "ABC"), 0);
  EXPECT_EQ(CompareKeyStrings("", ""), 0);
  EXPECT_LT(CompareKeyStrings("A\x7f", "A\xe9"), 0);  // 0xE9 above 0x7F
  EXPECT_EQ(PrintableKey("a\"b\\\x01\xe9"), "a\\x22b\\x5C\\x01\xe9");
}

// ---- Files the engine wrote.

TEST_F(FileCheckTest, EngineFileBlockIsSoundAfterRandomChanges) {
  Engine engine;
  ASSERT_TRUE(engine.StoreStartup(0, 8));
  ASSERT_TRUE(engine.CreateFileBlock(base_, 40, {{6, false}, {3, true}}));
  FileHandle handle = kNoFileHandle;
  ASSERT_TRUE(engine.OpenFileBlock(handle, base_, false));

  // The model: live records and the key-order set of each key.
  std::map<int32_t, std::pair<std::string, std::string>> live;
  std::set<std::pair<std::string, int32_t>> key1, key2;
  std::mt19937 random(99);
  std::vector<uint8_t> record(40, 0);
  int next = 0;
  for (int step = 0; step < 6000; ++step) {
    if (live.empty() || random() % 10 < 6) {
      char text[16];
      std::snprintf(text, sizeof text, "%06d", (next++ * 7919) % 1000003);
      std::string k1 = text;
      std::string k2(1 + random() % 3, static_cast<char>('A' + random() % 4));
      int32_t ref = 0;
      ASSERT_TRUE(engine.AddRecord(handle, ref, record.data()));
      ASSERT_TRUE(engine.AddKey(handle, 1, ref, k1));
      ASSERT_TRUE(engine.AddKey(handle, 2, ref, k2));
      live[ref] = {k1, k2};
      key1.insert({k1, ref});
      key2.insert({k2, ref});
    } else {
      auto it = live.begin();
      std::advance(it, random() % live.size());
      auto [ref, keys] = *it;
      ASSERT_TRUE(engine.DeleteKey(handle, 1, ref, keys.first));
      ASSERT_TRUE(engine.DeleteKey(handle, 2, ref, keys.second));
      ASSERT_TRUE(engine.DeleteRecord(handle, ref));
      key1.erase({keys.first, ref});
      key2.erase({keys.second, ref});
      live.erase(it);
    }
  }
  ASSERT_TRUE(engine.CloseFileBlock(handle));

  FileBlockLayout layout;
  ASSERT_EQ(ReadFileBlockLayout(base_, &layout), "");
  EXPECT_GT(layout.keys[0].highest, 20);  // a tree of several levels
  EXPECT_GT(layout.data.free_count, 0);
  EXPECT_THAT(CheckFileBlockFiles(base_), IsEmpty());
  for (int k = 1; k <= 2; ++k) {
    std::vector<KeyEntry> entries;
    ASSERT_EQ(WalkKeyEntries(base_, k, &entries), "");
    std::vector<std::pair<std::string, int32_t>> walked;
    for (const KeyEntry& e : entries) walked.emplace_back(e.key, e.reference);
    const auto& model = k == 1 ? key1 : key2;
    std::vector<std::pair<std::string, int32_t>> expected(model.begin(),
                                                          model.end());
    EXPECT_EQ(walked, expected) << "key " << k;
  }
}

}  // namespace
}  // namespace tallybook::store
