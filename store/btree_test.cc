// The key operations: insert, split and redistribution, delete with its
// repairs, stepping, searching, the page bytes on disk and scroll positions.
#include "store/btree.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "store/engine.h"
#include "store/errors.h"
#include "store/store_test_util.h"

namespace tallybook::store {
namespace {

using testing::Int16At;
using testing::Int32At;
using testing::ReadBytes;
using testing::ScratchDir;

std::string Num(int i) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04d", i);
  return buf;
}

class BTreeTest : public ::testing::Test {
 protected:
  // Key 1: length 10, unique. Key 2: length 9, duplicates allowed.
  // Key 3: length 30, unique.
  void SetUp() override {
    ASSERT_TRUE(engine_.StoreStartup(0, 8));
    base_ = dir_.File("T1");
    ASSERT_TRUE(engine_.CreateFileBlock(
        base_, 30, {{10, false}, {9, true}, {30, false}}));
    Open();
  }
  void Open() { ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false)); }
  void Reopen() {
    ASSERT_TRUE(engine_.CloseFileBlock(h_));
    Open();
  }
  void Add(int key_no, int32_t ref, const std::string& key) {
    ASSERT_TRUE(engine_.AddKey(h_, key_no, ref, key))
        << key << " error " << engine_.StoreError();
  }
  void Sound() {
    std::vector<std::string> defects = engine_.CheckInvariants(h_);
    EXPECT_TRUE(defects.empty()) << defects.front();
  }
  // Every entry of key_no in order, as "key/ref".
  std::vector<std::string> Walk(int key_no) {
    std::vector<std::string> out;
    engine_.ResetKeyPosition(h_, key_no);
    int32_t ref = 0;
    std::string key;
    while (engine_.NextKey(h_, key_no, ref, key)) {
      out.push_back(key + "/" + std::to_string(ref));
    }
    EXPECT_EQ(engine_.StoreError(), kErrNoNextKey);
    return out;
  }
  int32_t KeyHeaderField(int key_no, int offset) {
    std::vector<uint8_t> ix = ReadBytes(base_ + ".IX");
    const int key_offsets[] = {0, 0, 1184, 1184 + 1122};
    return Int32At(ix, static_cast<size_t>(key_offsets[key_no] + offset));
  }

  ScratchDir dir_;
  Engine engine_;
  std::string base_;
  FileHandle h_ = kNoFileHandle;
};

constexpr int kSlot = 1184 + 1122 + 2424;

TEST_F(BTreeTest, SixtyThirdAscendingEntrySplitsTheRoot) {
  for (int i = 1; i <= 62; ++i) Add(1, i, Num(i));
  Reopen();
  EXPECT_EQ(KeyHeaderField(1, 8), 1) << "62 entries fit one page";
  Add(1, 63, Num(63));
  Sound();
  Reopen();
  EXPECT_EQ(KeyHeaderField(1, 8), 3);   // two leaves and a new root
  EXPECT_EQ(KeyHeaderField(1, 16), 3);  // root
  EXPECT_EQ(KeyHeaderField(1, 22), 63);
  std::vector<uint8_t> ix = ReadBytes(base_ + ".IX");
  ASSERT_EQ(ix.size(), 4u * kSlot) << "one slot per page, plus slot 0";
  const size_t root = 3 * kSlot, left = 1 * kSlot, right = 2 * kSlot;
  EXPECT_EQ(Int16At(ix, root), 1);
  EXPECT_EQ(Int32At(ix, root + 2), 1);          // leftmost child
  EXPECT_EQ(Int32At(ix, root + 6), 32);         // promoted entry's ref
  EXPECT_EQ(Int32At(ix, root + 10), 2);         // its child
  EXPECT_EQ(ix[root + 14], 4);
  EXPECT_EQ(std::string(ix.begin() + root + 15, ix.begin() + root + 19),
            "0032");
  EXPECT_EQ(Int16At(ix, left), 31);
  EXPECT_EQ(Int16At(ix, right), 31);
  EXPECT_EQ(Int32At(ix, right + 6), 33);
  EXPECT_EQ(Walk(1).size(), 63u);
}

TEST_F(BTreeTest, OnlyTheUsedPartOfAPageIsWritten) {
  for (int i = 1; i <= 3; ++i) Add(1, i, Num(i));
  Reopen();
  std::vector<uint8_t> before = ReadBytes(base_ + ".IX");
  ASSERT_TRUE(engine_.DeleteKey(h_, 1, 3, Num(3)));
  Reopen();
  std::vector<uint8_t> after = ReadBytes(base_ + ".IX");
  const size_t page = kSlot;
  EXPECT_EQ(Int16At(after, page), 2);
  // The third entry's old bytes (6 + 2 * 19 onwards) are left as they were.
  EXPECT_EQ(std::vector<uint8_t>(after.begin() + page + 44,
                                 after.begin() + page + 63),
            std::vector<uint8_t>(before.begin() + page + 44,
                                 before.begin() + page + 63));
  EXPECT_EQ(Int32At(after, page + 44), 3);
}

TEST_F(BTreeTest, FullLeafPassesEntriesToItsSiblingBeforeSplitting) {
  for (int i = 1; i <= 63; ++i) Add(1, i, Num(i * 10));
  // The left leaf (keys below 0320) fills to 62, then overflows into the
  // right leaf, which has room: no new page.
  for (int i = 1; i <= 32; ++i) Add(1, 1000 + i, Num(i * 10 - 5));
  Sound();
  Reopen();
  EXPECT_EQ(KeyHeaderField(1, 8), 3);
  std::vector<uint8_t> ix = ReadBytes(base_ + ".IX");
  // T = 63 + 31: the overflowing left page keeps 47, the right one 47.
  EXPECT_EQ(Int16At(ix, 1 * kSlot), 47);
  EXPECT_EQ(Int16At(ix, 2 * kSlot), 47);
  EXPECT_EQ(Int16At(ix, 3 * kSlot), 1);
  EXPECT_EQ(Walk(1).size(), 95u);
  Sound();
}

TEST_F(BTreeTest, DeleteMergesAndCollapsesTheRoot) {
  for (int i = 1; i <= 63; ++i) Add(1, i, Num(i));
  ASSERT_TRUE(engine_.DeleteKey(h_, 1, 1, Num(1)));
  Sound();
  Reopen();
  // 30 + separator + 31 merge into one leaf, which becomes the root.
  EXPECT_EQ(KeyHeaderField(1, 16), 1);
  EXPECT_EQ(KeyHeaderField(1, 22), 62);
  EXPECT_EQ(KeyHeaderField(1, 4), 2) << "the right leaf and old root freed";
  std::vector<uint8_t> ix = ReadBytes(base_ + ".IX");
  EXPECT_EQ(Int16At(ix, kSlot), 62);
  // Freed pages are reused before the file grows.
  Add(1, 100, Num(100));
  Sound();
  Reopen();
  EXPECT_EQ(KeyHeaderField(1, 8), 3);
  EXPECT_EQ(KeyHeaderField(1, 4), 0);
  EXPECT_EQ(Walk(1).size(), 63u);
}

TEST_F(BTreeTest, ShortPageBorrowsFromARichSibling) {
  for (int i = 1; i <= 63; ++i) Add(1, i, Num(i * 10));
  for (int i = 1; i <= 9; ++i) Add(1, 100 + i, Num(700 + i));  // right: 40
  ASSERT_TRUE(engine_.DeleteKey(h_, 1, 1, Num(10)));
  Sound();
  Reopen();
  std::vector<uint8_t> ix = ReadBytes(base_ + ".IX");
  // k = (40 - 31 + 1) div 2 = 5: the short leaf gets 30 + 5.
  EXPECT_EQ(Int16At(ix, 1 * kSlot), 35);
  EXPECT_EQ(Int16At(ix, 2 * kSlot), 35);
  EXPECT_EQ(KeyHeaderField(1, 8), 3);
  EXPECT_EQ(KeyHeaderField(1, 4), 0);
}

TEST_F(BTreeTest, DeletingAnInnerEntryUsesItsPredecessor) {
  for (int i = 1; i <= 63; ++i) Add(1, i, Num(i));
  for (int i = 64; i <= 80; ++i) Add(1, i, Num(i));
  ASSERT_TRUE(engine_.DeleteKey(h_, 1, 32, Num(32)));  // the root's entry
  Sound();
  std::vector<std::string> all = Walk(1);
  ASSERT_EQ(all.size(), 79u);
  EXPECT_EQ(all[30], "0031/31");
  EXPECT_EQ(all[31], "0033/33");
  for (int i = 1; i <= 80; ++i) {
    if (i != 32) {
      ASSERT_TRUE(engine_.DeleteKey(h_, 1, i, Num(i))) << i;
    }
    Sound();
  }
  EXPECT_TRUE(Walk(1).empty());
  EXPECT_EQ(engine_.CountKeys(h_, 1), 0);
  Reopen();
  EXPECT_EQ(KeyHeaderField(1, 16), 0);
  EXPECT_EQ(KeyHeaderField(1, 4), KeyHeaderField(1, 8)) << "all pages free";
  Sound();
}

TEST_F(BTreeTest, DuplicatesAreOrderedByReference) {
  Add(2, 5, "A");
  Add(2, 3, "A");
  EXPECT_FALSE(engine_.AddKey(h_, 2, 3, "A"));
  EXPECT_EQ(engine_.StoreError(), kErrDuplicateKey);
  EXPECT_EQ(Walk(2), (std::vector<std::string>{"A/3", "A/5"}));
  // SearchKey with a complete key finds the first of its duplicates.
  int32_t ref = 99;
  std::string key = "A";
  ASSERT_TRUE(engine_.SearchKey(h_, 2, ref, key));
  EXPECT_EQ(ref, 3);
  EXPECT_FALSE(engine_.DeleteKey(h_, 2, 4, "A"));
  EXPECT_EQ(engine_.StoreError(), kErrDeleteKeyNotFound);
  ASSERT_TRUE(engine_.DeleteKey(h_, 2, 5, "A"));
  EXPECT_EQ(Walk(2), (std::vector<std::string>{"A/3"}));
}

TEST_F(BTreeTest, UniqueKeysIgnoreTheReference) {
  Add(1, 5, "A");
  EXPECT_FALSE(engine_.AddKey(h_, 1, 7, "A"));
  EXPECT_EQ(engine_.StoreError(), kErrDuplicateKey);
  EXPECT_EQ(engine_.ErrorClass(), 1);
  int32_t ref = 123;
  std::string key = "A";
  ASSERT_TRUE(engine_.FindKeyAndRef(h_, 1, ref, 0, key));
  EXPECT_EQ(ref, 5) << "an exact match returns the entry's reference";
  ASSERT_TRUE(engine_.DeleteKey(h_, 1, 9, "A"));
  EXPECT_TRUE(Walk(1).empty());
}

TEST_F(BTreeTest, SteppingOffEitherEndStartsOverFromTheOtherSide) {
  for (const char* k : {"B", "C", "D"}) Add(1, 1, k);
  int32_t ref = 0;
  std::string key;
  for (const char* want : {"B", "C", "D"}) {
    ASSERT_TRUE(engine_.NextKey(h_, 1, ref, key));
    EXPECT_EQ(key, want);
  }
  EXPECT_FALSE(engine_.NextKey(h_, 1, ref, key));
  EXPECT_EQ(engine_.StoreError(), kErrNoNextKey);
  EXPECT_EQ(key, "D") << "a failed step leaves the caller's buffers";
  ASSERT_TRUE(engine_.NextKey(h_, 1, ref, key));
  EXPECT_EQ(key, "B");
  EXPECT_FALSE(engine_.PrevKey(h_, 1, ref, key));
  EXPECT_EQ(engine_.StoreError(), kErrNoPrevKey);
  ASSERT_TRUE(engine_.PrevKey(h_, 1, ref, key));
  EXPECT_EQ(key, "D");
  ASSERT_TRUE(engine_.ResetKeyPosition(h_, 1));
  ASSERT_TRUE(engine_.PrevKey(h_, 1, ref, key));
  EXPECT_EQ(key, "D");
}

TEST_F(BTreeTest, SteppingAfterChangesContinuesFromTheCallersEntry) {
  for (int i = 0; i < 200; i += 2) Add(1, i, Num(i));
  int32_t ref = 0;
  std::string key = Num(100);
  ASSERT_TRUE(engine_.SearchKey(h_, 1, ref, key));
  ASSERT_EQ(key, Num(100));
  Add(1, 101, Num(101));
  Add(1, 1, Num(1));
  ASSERT_TRUE(engine_.NextKey(h_, 1, ref, key));
  EXPECT_EQ(key, Num(101));
  // Delete the entry the caller holds; stepping back finds its neighbour.
  ASSERT_TRUE(engine_.DeleteKey(h_, 1, 101, Num(101)));
  ASSERT_TRUE(engine_.PrevKey(h_, 1, ref, key));
  EXPECT_EQ(key, Num(100));
  ASSERT_TRUE(engine_.DeleteKey(h_, 1, 100, Num(100)));
  ref = 100;
  key = Num(100);
  ASSERT_TRUE(engine_.NextKey(h_, 1, ref, key));
  EXPECT_EQ(key, Num(102));
}

TEST_F(BTreeTest, SearchAndFindPositionByDirection) {
  for (const char* k : {"BB", "DD", "FF"}) Add(1, 7, k);
  int32_t ref = 0;
  std::string key = "C";
  ASSERT_TRUE(engine_.SearchKey(h_, 1, ref, key));
  EXPECT_EQ(key, "DD");
  key = "G";
  EXPECT_FALSE(engine_.SearchKey(h_, 1, ref, key));
  EXPECT_EQ(engine_.StoreError(), kErrSearchNotFound);

  key = "E";
  ref = 0;
  EXPECT_FALSE(engine_.FindKeyAndRef(h_, 1, ref, 0, key));
  EXPECT_EQ(engine_.StoreError(), kErrFindNotFound);
  EXPECT_EQ(key, "E");
  // Stepping after a miss goes either way from the sought place.
  std::string up = key, down = key;
  int32_t r1 = ref, r2 = ref;
  ASSERT_TRUE(engine_.PrevKey(h_, 1, r2, down));
  EXPECT_EQ(down, "DD");
  EXPECT_FALSE(engine_.FindKeyAndRef(h_, 1, r1, 0, up));
  ASSERT_TRUE(engine_.NextKey(h_, 1, r1, up));
  EXPECT_EQ(up, "FF");

  key = "E";
  ASSERT_TRUE(engine_.FindKeyAndRef(h_, 1, ref, +1, key));
  EXPECT_EQ(key, "FF");
  key = "E";
  ASSERT_TRUE(engine_.FindKeyAndRef(h_, 1, ref, -1, key));
  EXPECT_EQ(key, "DD");
  key = "A";
  EXPECT_FALSE(engine_.FindKeyAndRef(h_, 1, ref, -1, key));
  EXPECT_EQ(engine_.StoreError(), kErrNoPrevKey);
  key = "Z";
  EXPECT_FALSE(engine_.FindKeyAndRef(h_, 1, ref, +1, key));
  EXPECT_EQ(engine_.StoreError(), kErrNoNextKey);
}

TEST_F(BTreeTest, KeysAreCutToThirtyThenCheckedAgainstTheKeyLength) {
  const std::string long_key(31, 'x');
  Add(3, 1, long_key);
  std::vector<std::string> all = Walk(3);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0], std::string(30, 'x') + "/1");
  EXPECT_FALSE(engine_.AddKey(h_, 1, 1, "ABCDEFGHIJK"));
  EXPECT_EQ(engine_.StoreError(), kErrKeyTooLong);
  ASSERT_TRUE(engine_.DeleteKey(h_, 3, 1, long_key + "yy"));
}

TEST_F(BTreeTest, KeysCompareBytewiseUnsignedShorterFirst) {
  for (const std::string& k :
       {std::string("\xe4", 1), std::string("AB"), std::string("A"),
        std::string(""), std::string("A\0", 2), std::string("\x7f", 1)}) {
    Add(1, 1, k);
  }
  std::vector<std::string> keys;
  for (const std::string& e : Walk(1)) keys.push_back(e.substr(0, e.size() - 2));
  EXPECT_EQ(keys, (std::vector<std::string>{"", "A", std::string("A\0", 2),
                                            "AB", "\x7f", "\xe4"}));
}

TEST_F(BTreeTest, ReadOnlyBlockRefusesKeyChangesButSteps) {
  Add(1, 1, "A");
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, true));
  EXPECT_FALSE(engine_.AddKey(h_, 1, 2, "B"));
  EXPECT_EQ(engine_.StoreError(), kErrReadOnly);
  EXPECT_FALSE(engine_.DeleteKey(h_, 1, 1, "A"));
  EXPECT_EQ(Walk(1), (std::vector<std::string>{"A/1"}));
}

TEST_F(BTreeTest, ScrollPositionsOfASmallTree) {
  int32_t pos = -1, ref = 0;
  std::string key;
  EXPECT_FALSE(engine_.KeyToScrollPos(h_, 1, pos, 0, "A", 63));
  EXPECT_EQ(engine_.StoreError(), kErrKeyPosEmptyIndex);
  EXPECT_FALSE(engine_.ScrollPosToKey(h_, 1, 0, ref, key, 63));
  EXPECT_EQ(engine_.StoreError(), kErrPosEmptyIndex);
  for (const char* k : {"A", "B", "C"}) Add(1, 1, k);
  EXPECT_FALSE(engine_.KeyToScrollPos(h_, 1, pos, 1, "A", 0));
  EXPECT_EQ(engine_.StoreError(), kErrBadScale);
  EXPECT_FALSE(engine_.ScrollPosToKey(h_, 1, 64, ref, key, 63));
  EXPECT_EQ(engine_.StoreError(), kErrBadPosition);
  // A root leaf of 3: entry p sits at p * (N + 1) div 4.
  ASSERT_TRUE(engine_.KeyToScrollPos(h_, 1, pos, 1, "B", 63));
  EXPECT_EQ(pos, 32);
  ASSERT_TRUE(engine_.KeyToScrollPos(h_, 1, pos, 1, "C", 63));
  EXPECT_EQ(pos, 48);
  ASSERT_TRUE(engine_.KeyToScrollPos(h_, 1, pos, 1, "0", 63));
  EXPECT_EQ(pos, 0);
  // And back: position P names root entry P div 16, 0 the empty key.
  ASSERT_TRUE(engine_.ScrollPosToKey(h_, 1, 63, ref, key, 63));
  EXPECT_EQ(key, "C");
  ASSERT_TRUE(engine_.ScrollPosToKey(h_, 1, 20, ref, key, 63));
  EXPECT_EQ(key, "A");
  ASSERT_TRUE(engine_.ScrollPosToKey(h_, 1, 0, ref, key, 63));
  EXPECT_EQ(key, "");
  EXPECT_EQ(ref, 0);
}

TEST_F(BTreeTest, ScrollPositionsOfARootOverTwoLeaves) {
  // Root "0032" over leaves 0001..0031 and 0033..0063.
  for (int i = 1; i <= 63; ++i) Add(1, i, Num(i));
  auto pos_of = [&](int i) {
    int32_t pos = -1;
    EXPECT_TRUE(engine_.KeyToScrollPos(h_, 1, pos, i, Num(i), 63));
    return pos;
  };
  EXPECT_EQ(pos_of(1), 0);    // first entry of the first leaf: l = 1
  EXPECT_EQ(pos_of(16), 16);  // m = 16 * 96 div 31 = 49, l = 49 - 24
  EXPECT_EQ(pos_of(32), 32);  // the root entry: l = 48
  EXPECT_EQ(pos_of(63), 63);  // l = 96 + 48 - 48, capped at the scale
  auto key_at = [&](int p) {
    int32_t ref = 0;
    std::string key;
    EXPECT_TRUE(engine_.ScrollPosToKey(h_, 1, p, ref, key, 63));
    EXPECT_EQ(key, ref == 0 ? "" : Num(ref));
    return key;
  };
  EXPECT_EQ(key_at(0), Num(1));
  EXPECT_EQ(key_at(16), Num(16));
  EXPECT_EQ(key_at(32), Num(33));
  EXPECT_EQ(key_at(63), Num(63));
}

TEST_F(BTreeTest, TwoFileBlocksShareTheSmallPoolWithoutMixingPages) {
  FileHandle other = kNoFileHandle;
  const std::string other_base = dir_.File("T2");
  ASSERT_TRUE(engine_.CreateFileBlock(other_base, 30, {{10, false}}));
  ASSERT_TRUE(engine_.OpenFileBlock(other, other_base, false));
  for (int i = 0; i < 600; ++i) {
    Add(1, i + 1, Num(i));
    ASSERT_TRUE(engine_.AddKey(other, 1, i + 1, Num(599 - i) + "x"));
  }
  ASSERT_TRUE(engine_.CloseFileBlock(other));
  for (int i = 0; i < 600; i += 2) {
    ASSERT_TRUE(engine_.DeleteKey(h_, 1, i + 1, Num(i)));
  }
  Sound();
  ASSERT_TRUE(engine_.OpenFileBlock(other, other_base, false));
  EXPECT_EQ(engine_.CountKeys(other, 1), 600);
  EXPECT_TRUE(engine_.CheckInvariants(other).empty());
  int32_t ref = 0;
  std::string key;
  ASSERT_TRUE(engine_.NextKey(other, 1, ref, key));
  EXPECT_EQ(key, Num(0) + "x");
  std::vector<std::string> mine = Walk(1);
  ASSERT_EQ(mine.size(), 300u);
  EXPECT_EQ(mine.front(), Num(1) + "/2");
}

TEST_F(BTreeTest, ScrollPositionsOfATwoLevelTreeRiseWithTheKey) {
  for (int i = 1; i <= 500; ++i) Add(1, i, Num(i));
  int32_t last = -1;
  for (int i = 1; i <= 500; i += 7) {
    int32_t pos = 0;
    ASSERT_TRUE(engine_.KeyToScrollPos(h_, 1, pos, i, Num(i), 63));
    EXPECT_GE(pos, last) << i;
    EXPECT_LE(pos, 63);
    last = pos;
  }
  EXPECT_GE(last, 55);
  int32_t ref = 0;
  std::string key;
  std::string prev;
  for (int p = 1; p <= 63; ++p) {
    ASSERT_TRUE(engine_.ScrollPosToKey(h_, 1, p, ref, key, 63));
    EXPECT_GE(key, prev) << p;
    prev = key;
  }
}

// Index files written byte by byte, with pages that are each valid on their
// own (ordered keys, counts in range) but do not make a tree.
class DamagedTreeTest : public ::testing::Test {
 protected:
  static constexpr int kKeyLength = 10;
  static constexpr int kPageSize = 6 + 62 * (kKeyLength + 9);  // 1184

  struct HandPage {
    int32_t leftmost = 0;
    std::vector<int32_t> children;  // one per entry; empty in a leaf
    std::vector<std::string> keys;
  };

  void SetUp() override {
    ASSERT_TRUE(engine_.StoreStartup(0, 8));
    base_ = dir_.File("D1");
  }

  // Makes the file block afresh with pages 1..n (page 1 the root) and a key
  // header counting `entries`, and opens it.
  void WriteIndex(const std::vector<HandPage>& pages, int32_t entries) {
    if (h_ != kNoFileHandle) {
      ASSERT_TRUE(engine_.CloseFileBlock(h_));
    }
    ASSERT_TRUE(engine_.CreateFileBlock(base_, 30, {{kKeyLength, false}}));
    std::vector<uint8_t> ix((pages.size() + 1) * kPageSize, 0);
    testing::SetInt32At(ix, 0, -1);  // no free page
    testing::SetInt32At(ix, 8, static_cast<int32_t>(pages.size()));
    testing::SetInt32At(ix, 12, kPageSize);
    testing::SetInt32At(ix, 16, 1);
    testing::SetInt32At(ix, 22, entries);
    testing::SetInt16At(ix, 26, 62);
    for (size_t n = 0; n < pages.size(); ++n) {
      const HandPage& p = pages[n];
      const size_t at = (n + 1) * kPageSize;
      testing::SetInt16At(ix, at, static_cast<int16_t>(p.keys.size()));
      testing::SetInt32At(ix, at + 2, p.leftmost);
      for (size_t i = 0; i < p.keys.size(); ++i) {
        const size_t e = at + 6 + i * (kKeyLength + 9);
        testing::SetInt32At(ix, e, static_cast<int32_t>(n * 100 + i + 1));
        testing::SetInt32At(ix, e + 4, p.children.empty() ? 0 : p.children[i]);
        ix[e + 8] = static_cast<uint8_t>(p.keys[i].size());
        for (size_t c = 0; c < p.keys[i].size(); ++c) {
          ix[e + 9 + c] = static_cast<uint8_t>(p.keys[i][c]);
        }
      }
    }
    testing::WriteBytes(base_ + ".IX", ix);
    ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false));
  }

  // `levels` pages of 62 entries; every child of page n is page n + 1, so
  // a walk that follows the children visits 63^(levels-1) leaves.
  void WriteSharedChain(int levels) {
    std::vector<HandPage> pages;
    for (int n = 1; n <= levels; ++n) {
      HandPage p;
      for (int i = 1; i <= 62; ++i) p.keys.push_back(Num(n * 100 + i));
      if (n < levels) {
        p.leftmost = n + 1;
        p.children.assign(62, n + 1);
      }
      pages.push_back(p);
    }
    WriteIndex(pages, 62 * levels);
  }

  // Steps with NextKey (PrevKey for direction -1) until a failure; returns
  // the number of entries returned, at most `limit`.
  int WalkAll(int direction, int limit) {
    int32_t ref = 0;
    std::string key;
    int steps = 0;
    while (steps < limit && (direction > 0
                                 ? engine_.NextKey(h_, 1, ref, key)
                                 : engine_.PrevKey(h_, 1, ref, key))) {
      ++steps;
    }
    return steps;
  }

  ScratchDir dir_;
  Engine engine_;
  std::string base_;
  FileHandle h_ = kNoFileHandle;
};

TEST_F(DamagedTreeTest, WalkOverSharedChildrenStopsWithinOnePass) {
  // Followed blindly this tree holds 63^3 * 62 entries (minutes of walking);
  // its pages hold 248.
  WriteSharedChain(4);
  EXPECT_LE(WalkAll(+1, 1000000), 248);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
  EXPECT_LE(WalkAll(-1, 1000000), 248);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
  // Deeper than the path can hold: refused on the way down.
  WriteSharedChain(9);
  EXPECT_EQ(WalkAll(+1, 1000000), 0);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
}

TEST_F(DamagedTreeTest, RevisitedSubtreeStopsTheWalkAtItsFirstEntry) {
  // The root's leftmost child and its first entry both lead to page 2; the
  // header counts what a blind walk returns (31 + 1 + 31 + 1 + 31), so only
  // the order tells.
  HandPage root{2, {2, 3}, {"M", "N"}};
  HandPage left, right;
  for (int i = 1; i <= 31; ++i) {
    left.keys.push_back("A" + Num(i));
    right.keys.push_back("Z" + Num(i));
  }
  WriteIndex({root, left, right}, 95);
  int32_t ref = 0;
  std::string key;
  EXPECT_EQ(WalkAll(+1, 1000), 31 + 1);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
  // A range walk that starts from a search meets it too.
  key = "A0020";
  ASSERT_TRUE(engine_.SearchKey(h_, 1, ref, key));
  EXPECT_EQ(WalkAll(+1, 1000), 11 + 1);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
  // After the failure a walk back starts over at the last entry and stops
  // where it would climb back up to M.
  EXPECT_EQ(WalkAll(-1, 1000), 31 + 1 + 31);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
}

TEST_F(DamagedTreeTest, ChildPointingBackUpIsRefusedOnTheWayDown) {
  // Entry 1 of the root leads back to the root itself.
  HandPage root{2, {1}, {"M"}};
  HandPage leaf;
  for (int i = 1; i <= 31; ++i) leaf.keys.push_back("A" + Num(i));
  WriteIndex({root, leaf}, 32);
  EXPECT_EQ(WalkAll(+1, 1000), 32);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
  int32_t ref = 0;
  std::string key = "Z";
  EXPECT_FALSE(engine_.SearchKey(h_, 1, ref, key));
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
}

TEST_F(DamagedTreeTest, MoreEntriesThanTheHeaderCountsStopTheWalk) {
  HandPage leaf;
  for (int i = 1; i <= 40; ++i) leaf.keys.push_back(Num(i));
  WriteIndex({leaf}, 25);
  EXPECT_EQ(WalkAll(+1, 1000), 25);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
  EXPECT_EQ(WalkAll(-1, 1000), 25);
  EXPECT_EQ(engine_.StoreError(), kErrIndexDamaged);
}

TEST_F(DamagedTreeTest, DamagedIndexIsOfferedForRebuildAtTheNextOpen) {
  WriteSharedChain(3);
  WalkAll(+1, 1000000);
  ASSERT_EQ(engine_.StoreError(), kErrIndexDamaged);
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  EXPECT_FALSE(engine_.OpenFileBlock(h_, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrNotClosedCleanly);
}

TEST_F(BTreeTest, SoundWalksBackAndForthAreNotTakenForDamage) {
  for (int i = 1; i <= 200; ++i) Add(1, i, Num(i));
  Reopen();
  int32_t ref = 0;
  std::string key;
  engine_.ResetKeyPosition(h_, 1);
  // Up and down across page boundaries many times over: far more steps in
  // all than there are entries, but never more in a row.
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 150; ++i) ASSERT_TRUE(engine_.NextKey(h_, 1, ref, key));
    for (int i = 0; i < 140; ++i) ASSERT_TRUE(engine_.PrevKey(h_, 1, ref, key));
  }
  EXPECT_EQ(Walk(1).size(), 200u);
  // Stepping on past the end wraps to the first entry as before.
  key = Num(200);
  ASSERT_TRUE(engine_.SearchKey(h_, 1, ref, key));
  EXPECT_FALSE(engine_.NextKey(h_, 1, ref, key));
  EXPECT_EQ(engine_.StoreError(), kErrNoNextKey);
  ASSERT_TRUE(engine_.NextKey(h_, 1, ref, key));
  EXPECT_EQ(key, Num(1));
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  Open();  // closed cleanly
}

}  // namespace
}  // namespace tallybook::store
