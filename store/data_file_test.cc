// Records, the free chain, the data header on disk and the physical scans,
// through the engine's public operations.
#include "store/data_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <filesystem>

#include "store/engine.h"
#include "store/errors.h"
#include "store/store_test_util.h"

namespace tallybook::store {
namespace {

using testing::Int32At;
using testing::ReadBytes;
using testing::Record;
using testing::ScratchDir;
using testing::WriteBytes;

constexpr int kLen = 40;

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine_.StoreStartup(0, 30));
    base_ = dir_.File("C1C");
    ASSERT_TRUE(engine_.CreateFileBlock(base_, kLen, {}));
    ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false));
  }

  int32_t Add(const std::string& tag) {
    int32_t n = 0;
    auto rec = Record(kLen, tag);
    EXPECT_TRUE(engine_.AddRecord(h_, n, rec.data())) << engine_.StoreError();
    return n;
  }

  std::string Body(int32_t rec_no) {
    std::vector<uint8_t> rec(kLen);
    EXPECT_TRUE(engine_.GetRecord(h_, rec_no, rec.data()));
    return std::string(rec.begin() + 4, rec.begin() + 8);
  }

  std::string Dat() const { return base_ + ".DAT"; }

  ScratchDir dir_;
  Engine engine_;
  std::string base_;
  FileHandle h_ = kNoFileHandle;
};

TEST_F(DataFileTest, NewFileBlockIsOneHeaderSlotWithExactHeaderBytes) {
  EXPECT_EQ(engine_.CountUsedRecords(h_), 0);
  EXPECT_EQ(engine_.RecordSlotCount(h_), 1);
  EXPECT_EQ(engine_.RecordLengthOf(h_), kLen);
  std::vector<uint8_t> bytes = ReadBytes(Dat());
  ASSERT_EQ(bytes.size(), static_cast<size_t>(kLen));
  std::vector<uint8_t> expected(kLen, 0);
  const uint8_t header[21] = {0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0, 0, 0, 0,
                              0,    kLen, 0,    0,    0, 0, 0, 0, 0, 0};
  std::copy(std::begin(header), std::end(header), expected.begin());
  EXPECT_EQ(bytes, expected);
  EXPECT_FALSE(std::filesystem::exists(base_ + ".IX"));
}

TEST_F(DataFileTest, FreeChainIsAStackOfDeletedRecords) {
  EXPECT_EQ(Add("aaaa"), 1);
  EXPECT_EQ(Add("bbbb"), 2);
  EXPECT_EQ(Add("cccc"), 3);
  ASSERT_TRUE(engine_.DeleteRecord(h_, 2));
  EXPECT_EQ(engine_.CountUsedRecords(h_), 2);
  EXPECT_EQ(Add("dddd"), 2);
  ASSERT_TRUE(engine_.DeleteRecord(h_, 1));
  ASSERT_TRUE(engine_.DeleteRecord(h_, 3));
  EXPECT_EQ(Add("eeee"), 3);
  EXPECT_EQ(Add("ffff"), 1);
  EXPECT_EQ(Add("gggg"), 4);
  EXPECT_EQ(Body(2), "dddd");
  EXPECT_EQ(Body(1), "ffff");
  EXPECT_TRUE(engine_.CheckInvariants(h_).empty());
}

TEST_F(DataFileTest, DeletedRecordKeepsItsBodyAndLinksTheOldHead) {
  Add("aaaa");
  Add("bbbb");
  ASSERT_TRUE(engine_.DeleteRecord(h_, 1));
  ASSERT_TRUE(engine_.DeleteRecord(h_, 2));
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  EXPECT_EQ(h_, kNoFileHandle);
  std::vector<uint8_t> bytes = ReadBytes(Dat());
  ASSERT_EQ(bytes.size(), 3u * kLen);
  EXPECT_EQ(Int32At(bytes, 0), 2);       // free head
  EXPECT_EQ(Int32At(bytes, 4), 2);       // free count
  EXPECT_EQ(Int32At(bytes, 8), 2);       // highest
  EXPECT_EQ(Int32At(bytes, kLen), -1);   // record 1: end of chain
  EXPECT_EQ(Int32At(bytes, 2 * kLen), 1);
  EXPECT_EQ(bytes[2 * kLen + 4], 'b');
}

TEST_F(DataFileTest, RecordNumbersOutOfRangeAreRefusedAndChangeNothing) {
  Add("aaaa");
  EXPECT_FALSE(engine_.DeleteRecord(h_, 0));
  EXPECT_EQ(engine_.StoreError(), kErrDeleteOutOfRange);
  EXPECT_FALSE(engine_.DeleteRecord(h_, 2));
  EXPECT_EQ(engine_.StoreError(), kErrDeleteOutOfRange);
  EXPECT_EQ(engine_.CountUsedRecords(h_), 1);

  auto rec = Record(kLen, "zzzz");
  EXPECT_FALSE(engine_.PutRecord(h_, 0, rec.data()));
  EXPECT_EQ(engine_.StoreError(), kErrPutRecordZero);
  EXPECT_FALSE(engine_.PutRecord(h_, 2, rec.data()));
  EXPECT_EQ(engine_.StoreError(), kErrRecordOutOfRange);
  EXPECT_FALSE(engine_.GetRecord(h_, 0, rec.data()));
  EXPECT_EQ(engine_.StoreError(), kErrRecordOutOfRange);
  EXPECT_EQ(Body(1), "aaaa");
  EXPECT_EQ(engine_.RecordSlotCount(h_), 2);
}

TEST_F(DataFileTest, DeletingARecordTwiceIsRefusedSoNoSlotIsHandedOutTwice) {
  Add("aaaa");
  Add("bbbb");
  ASSERT_TRUE(engine_.DeleteRecord(h_, 1));
  EXPECT_FALSE(engine_.DeleteRecord(h_, 1));
  EXPECT_EQ(engine_.StoreError(), kErrRecordAlreadyDeleted);
  EXPECT_EQ(Add("cccc"), 1);
  EXPECT_EQ(Add("dddd"), 3);
  EXPECT_TRUE(engine_.CheckInvariants(h_).empty());
}

TEST_F(DataFileTest, PutRecordRewritesInPlace) {
  Add("aaaa");
  auto rec = Record(kLen, "xyzw");
  ASSERT_TRUE(engine_.PutRecord(h_, 1, rec.data()));
  EXPECT_EQ(Body(1), "xyzw");
  EXPECT_EQ(engine_.CountUsedRecords(h_), 1);
}

TEST_F(DataFileTest, PhysicalScansSkipRecordsWithANonZeroDeleteMark) {
  for (const char* t : {"r1..", "r2..", "r3..", "r4..", "r5.."}) Add(t);
  ASSERT_TRUE(engine_.DeleteRecord(h_, 2));
  ASSERT_TRUE(engine_.DeleteRecord(h_, 5));
  auto marked = Record(kLen, "mark");
  marked[0] = 7;  // a caller's record whose first bytes are not zero
  int32_t n = 0;
  ASSERT_TRUE(engine_.AddRecord(h_, n, marked.data()));
  ASSERT_EQ(n, 5);

  std::vector<int32_t> forward;
  for (int32_t r = 0; engine_.NextUsedRecord(h_, r);) forward.push_back(r);
  EXPECT_EQ(engine_.StoreError(), kErrNoUsedRecord);
  EXPECT_EQ(forward, (std::vector<int32_t>{1, 3, 4}));

  std::vector<int32_t> backward;
  for (int32_t r = 1000; engine_.PrevUsedRecord(h_, r);) backward.push_back(r);
  EXPECT_EQ(backward, (std::vector<int32_t>{4, 3, 1}));

  int32_t r = 2;
  EXPECT_FALSE(engine_.CheckUsedRecord(h_, r, 0));
  EXPECT_EQ(engine_.StoreError(), kErrNoUsedRecord);
  EXPECT_TRUE(engine_.CheckUsedRecord(h_, r, +1));
  EXPECT_EQ(r, 3);
  r = 3;
  EXPECT_TRUE(engine_.CheckUsedRecord(h_, r, 0));
  r = 2;
  EXPECT_TRUE(engine_.CheckUsedRecord(h_, r, -1));
  EXPECT_EQ(r, 1);
  r = 5;
  EXPECT_FALSE(engine_.CheckUsedRecord(h_, r, +1));
  EXPECT_EQ(engine_.StoreError(), kErrNoUsedRecord);
}

TEST_F(DataFileTest, ScanOfAFileWithEveryRecordDeletedFindsNothing) {
  Add("aaaa");
  Add("bbbb");
  ASSERT_TRUE(engine_.DeleteRecord(h_, 1));
  ASSERT_TRUE(engine_.DeleteRecord(h_, 2));
  int32_t r = 0;
  EXPECT_FALSE(engine_.NextUsedRecord(h_, r));
  EXPECT_EQ(engine_.StoreError(), kErrNoUsedRecord);
  EXPECT_EQ(engine_.ErrorClass(), 1);
}

TEST_F(DataFileTest, ScansFromTheExtremeRecordNumbersEndAsNotFound) {
  Add("aaaa");
  Add("bbbb");
  // Below record 1 nothing lies before; the backward scan must not wrap
  // round to the far end of the number range and read past the file.
  int32_t r = INT32_MIN;
  EXPECT_FALSE(engine_.PrevUsedRecord(h_, r));
  EXPECT_EQ(engine_.StoreError(), kErrNoUsedRecord);
  EXPECT_EQ(r, INT32_MIN);
  r = INT32_MAX;
  EXPECT_FALSE(engine_.NextUsedRecord(h_, r));
  EXPECT_EQ(engine_.StoreError(), kErrNoUsedRecord);
  r = INT32_MAX;
  ASSERT_TRUE(engine_.PrevUsedRecord(h_, r));
  EXPECT_EQ(r, 2);
  r = INT32_MIN;
  ASSERT_TRUE(engine_.NextUsedRecord(h_, r));
  EXPECT_EQ(r, 1);
}

TEST_F(DataFileTest, ScanSpanningManyChunksFindsTheOnlyUsedRecord) {
  // More records than one 64 KiB read covers, all deleted but one.
  for (int i = 0; i < 4000; ++i) Add("many");
  for (int32_t i = 1; i <= 4000; ++i) {
    if (i != 2500) {
      ASSERT_TRUE(engine_.DeleteRecord(h_, i));
    }
  }
  int32_t r = 0;
  ASSERT_TRUE(engine_.NextUsedRecord(h_, r));
  EXPECT_EQ(r, 2500);
  EXPECT_FALSE(engine_.NextUsedRecord(h_, r));
  r = 4001;
  ASSERT_TRUE(engine_.PrevUsedRecord(h_, r));
  EXPECT_EQ(r, 2500);
  EXPECT_FALSE(engine_.PrevUsedRecord(h_, r));
}

TEST_F(DataFileTest, InUpdateFlagIsWrittenOnceBeforeTheFirstChange) {
  Add("aaaa");
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false));
  auto rec = Record(kLen, "put.");
  ASSERT_TRUE(engine_.PutRecord(h_, 1, rec.data()));
  EXPECT_EQ(ReadBytes(Dat())[20], 0) << "a rewrite is not a change";
  Add("bbbb");
  std::vector<uint8_t> bytes = ReadBytes(Dat());
  EXPECT_EQ(bytes[20], 1);
  EXPECT_EQ(Int32At(bytes, 8), 1) << "the header proper waits for close";
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  bytes = ReadBytes(Dat());
  EXPECT_EQ(bytes[20], 0);
  EXPECT_EQ(Int32At(bytes, 8), 2);
}

TEST_F(DataFileTest, FileLeftInUpdateRefusesToOpenWith10010) {
  Add("aaaa");
  // A copy taken while the block is open is what a crash leaves behind.
  std::vector<uint8_t> crashed = ReadBytes(Dat());
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  WriteBytes(Dat(), crashed);
  FileHandle h = kNoFileHandle;
  EXPECT_FALSE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrNotClosedCleanly);
  EXPECT_EQ(h, kNoFileHandle);
  EXPECT_EQ(ReadBytes(Dat()), crashed) << "a refused open changes nothing";
}

TEST_F(DataFileTest, WriteFailureDuringAddRestoresTheAllocation) {
  Add("aaaa");
  ASSERT_TRUE(engine_.DeleteRecord(h_, 1));
  int calls = 0;
  engine_.SetFaultHook([&](OsOperation op, const std::string&) {
    return op == OsOperation::kWrite && ++calls == 1 ? EIO : 0;
  });
  int32_t n = 0;
  auto rec = Record(kLen, "bbbb");
  EXPECT_FALSE(engine_.AddRecord(h_, n, rec.data()));
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_EQ(engine_.StoreOSError(), EIO);
  EXPECT_EQ(engine_.StoreOSOperation(),
            static_cast<uint16_t>(OsOperation::kWrite));
  engine_.SetFaultHook(nullptr);
  ASSERT_TRUE(engine_.AddRecord(h_, n, rec.data()));
  EXPECT_EQ(n, 1) << "the free record was not lost";
  EXPECT_EQ(engine_.StoreOSError(), 0) << "status is reset by every call";
  EXPECT_TRUE(engine_.CheckInvariants(h_).empty());
}

TEST_F(DataFileTest, DamagedFreeChainIsReportedAndNothingIsOverwritten) {
  Add("aaaa");
  Add("bbbb");
  ASSERT_TRUE(engine_.DeleteRecord(h_, 2));
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  std::vector<uint8_t> bytes = ReadBytes(Dat());
  testing::SetInt32At(bytes, 0, 1);  // free head -> record 1, which is in use
  WriteBytes(Dat(), bytes);
  ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false));
  EXPECT_FALSE(engine_.CheckInvariants(h_).empty());
  int32_t n = 0;
  auto rec = Record(kLen, "cccc");
  EXPECT_FALSE(engine_.AddRecord(h_, n, rec.data()));
  EXPECT_EQ(engine_.StoreError(), kErrFreeChainDamaged);
  EXPECT_EQ(Body(1), "aaaa");
}

TEST_F(DataFileTest, AppendRecordsWritesAfterTheHighestInOnePiece) {
  Add("aaaa");
  std::vector<uint8_t> two = Record(kLen, "app1");
  std::vector<uint8_t> second = Record(kLen, "app2");
  two.insert(two.end(), second.begin(), second.end());
  ASSERT_TRUE(engine_.AppendRecords(h_, two.data(), 2));
  EXPECT_EQ(engine_.RecordSlotCount(h_), 4);
  EXPECT_EQ(Body(3), "app2");
  ASSERT_TRUE(engine_.DeleteRecord(h_, 1));
  EXPECT_FALSE(engine_.AppendRecords(h_, two.data(), 2));
  EXPECT_EQ(engine_.StoreError(), kErrFreeChainDamaged);
}

TEST_F(DataFileTest, RecordScrollPositionsAreProportional) {
  for (int i = 0; i < 9; ++i) Add("ssss");  // highest 9: 10 slots
  EXPECT_EQ(engine_.RecordToScrollPos(h_, 0, 63), 0);
  EXPECT_EQ(engine_.RecordToScrollPos(h_, 5, 63), 32);   // 64 * 5 / 10
  EXPECT_EQ(engine_.RecordToScrollPos(h_, 99, 63), 64);  // clamped to 10
  EXPECT_EQ(engine_.RecordToScrollPos(h_, 5, 0), 0);
  EXPECT_EQ(engine_.StoreError(), kErrBadScale);
  // d = 10, l = 10 / 64 = 0: the result is 10 * p / 64.
  EXPECT_EQ(engine_.ScrollPosToRecord(h_, 32, 63), 5);
  EXPECT_EQ(engine_.ScrollPosToRecord(h_, 63, 63), 9);
  engine_.ScrollPosToRecord(h_, 64, 63);
  EXPECT_EQ(engine_.StoreError(), kErrBadPosition);
}

TEST_F(DataFileTest, RecordScrollPositionsOfMoreThan65535Records) {
  // A header naming 200,000 records over a file of that size (its records
  // are zeros: in use, which the conversions do not look at).
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  std::vector<uint8_t> header = ReadBytes(Dat());
  testing::SetInt32At(header, 8, 200000);
  WriteBytes(Dat(), header);
  std::filesystem::resize_file(Dat(), 200001ull * kLen);
  ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false)) << engine_.StoreError();
  // 65,536 x 100,000 does not fit 32 bits: record and slot count lose one
  // bit first, 65,536 x 50,000 / 100,000 (exactly it would be 32,767).
  EXPECT_EQ(engine_.RecordToScrollPos(h_, 100000, 65535), 32768);
  // Two bits for the last slot: 65,536 x 50,000 / 50,000.
  EXPECT_EQ(engine_.RecordToScrollPos(h_, 200001, 65535), 65536);
  EXPECT_EQ(engine_.RecordToScrollPos(h_, 20000, 65535), 6553);
  // d = 200,001, l = 3. d x 10,000 fits: 3 + 2,000,010,000 / 65,536 - 1.
  EXPECT_EQ(engine_.ScrollPosToRecord(h_, 10000, 65535), 30519);
  // d x 32,768 does not: 3 + 32,768 x 3 - 1.
  EXPECT_EQ(engine_.ScrollPosToRecord(h_, 32768, 65535), 98306);
  EXPECT_EQ(engine_.ScrollPosToRecord(h_, 65535, 65535), 196607);
}

TEST_F(DataFileTest, ReadOnlyBlockRefusesChanges) {
  Add("aaaa");
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false, true, false, true));
  int32_t n = 0;
  auto rec = Record(kLen, "bbbb");
  EXPECT_FALSE(engine_.AddRecord(h_, n, rec.data()));
  EXPECT_EQ(engine_.StoreError(), kErrReadOnly);
  EXPECT_EQ(engine_.ErrorClass(), 2);
  EXPECT_FALSE(engine_.DeleteRecord(h_, 1));
  EXPECT_FALSE(engine_.PutRecord(h_, 1, rec.data()));
  EXPECT_EQ(Body(1), "aaaa");
  ASSERT_TRUE(engine_.CloseFileBlock(h_));
  EXPECT_EQ(ReadBytes(Dat()).size(), 2u * kLen);
}

}  // namespace
}  // namespace tallybook::store
