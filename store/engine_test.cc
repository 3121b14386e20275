// The engine as a whole: start-up, status, handles, creating, opening and
// closing file blocks, and the open path's refusal of damaged files.
#include "store/engine.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "store/errors.h"
#include "store/store_test_util.h"

namespace tallybook::store {
namespace {

using testing::Int32At;
using testing::ReadBytes;
using testing::Record;
using testing::ScratchDir;
using testing::SetInt16At;
using testing::SetInt32At;
using testing::WriteBytes;

TEST(EngineStartupTest, StartupRulesAndNotStartedRefusals) {
  Engine engine;
  FileHandle h = kNoFileHandle;
  EXPECT_FALSE(engine.OpenFileBlock(h, "/nonexistent/X", false));
  EXPECT_EQ(engine.StoreError(), kErrNotStarted);
  EXPECT_FALSE(engine.StoreShutdown());
  EXPECT_EQ(engine.StoreError(), kErrNotStarted);
  EXPECT_FALSE(engine.CheckFileBlock(1));
  EXPECT_EQ(engine.StoreError(), kErrNotStarted);

  EXPECT_FALSE(engine.StoreStartup(0, 7));
  EXPECT_EQ(engine.StoreError(), kErrTooFewBuffers);
  EXPECT_FALSE(engine.IsStarted());
  EXPECT_TRUE(engine.StoreStartup(0, 8));
  EXPECT_TRUE(engine.StoreOK());
  EXPECT_FALSE(engine.StoreStartup(0, 30));
  EXPECT_EQ(engine.StoreError(), kErrAlreadyStarted);
  EXPECT_TRUE(engine.StoreShutdown());
  EXPECT_FALSE(engine.IsStarted());
  EXPECT_TRUE(engine.StoreStartup(0, 30));
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine_.StoreStartup(0, 30));
    base_ = dir_.File("C1I");
  }
  void CreateTwoKeys() {
    ASSERT_TRUE(engine_.CreateFileBlock(base_, 50, {{10, false}, {9, true}}));
  }
  std::string Ix() const { return base_ + ".IX"; }
  std::string Dat() const { return base_ + ".DAT"; }

  ScratchDir dir_;
  Engine engine_;
  std::string base_;
};

TEST_F(EngineTest, CreateRefusesBadGeometryAndLeavesNoFiles) {
  EXPECT_FALSE(engine_.CreateFileBlock(base_, 20, {}));
  EXPECT_EQ(engine_.StoreError(), kErrRecordTooShort);
  std::vector<KeyDescriptor> many(101, KeyDescriptor{5, false});
  EXPECT_FALSE(engine_.CreateFileBlock(base_, 50, many));
  EXPECT_EQ(engine_.StoreError(), kErrTooManyKeysCreate);
  EXPECT_FALSE(engine_.CreateFileBlock(base_, 50, {{5, false}, {31, false}}));
  EXPECT_EQ(engine_.StoreError(), kErrBadKeyLengthCreate);
  EXPECT_FALSE(engine_.CreateFileBlock(base_, 50, {{0, false}}));
  EXPECT_EQ(engine_.StoreError(), kErrBadKeyLengthCreate);
  EXPECT_FALSE(std::filesystem::exists(Dat()));
  EXPECT_FALSE(std::filesystem::exists(Ix()));
}

TEST_F(EngineTest, FreshIndexFileHoldsOneHeaderPerKeyInSlotZero) {
  CreateTwoKeys();
  std::vector<uint8_t> ix = ReadBytes(Ix());
  ASSERT_EQ(ix.size(), 2306u);  // 1,184 + 1,122
  for (size_t offset : {size_t{0}, size_t{1184}}) {
    EXPECT_EQ(Int32At(ix, offset + 0), -1);
    EXPECT_EQ(Int32At(ix, offset + 4), 0);
    EXPECT_EQ(Int32At(ix, offset + 8), 0);
    EXPECT_EQ(Int32At(ix, offset + 16), 0);
    EXPECT_EQ(ix[offset + 21], 0);
    EXPECT_EQ(Int32At(ix, offset + 22), 0);
    EXPECT_EQ(testing::Int16At(ix, offset + 26), 62);
  }
  EXPECT_EQ(Int32At(ix, 12), 1184);
  EXPECT_EQ(Int32At(ix, 1184 + 12), 1122);
  EXPECT_EQ(ix[20], 0);
  EXPECT_EQ(ix[1184 + 20], 1);
  std::vector<uint8_t> dat = ReadBytes(Dat());
  ASSERT_EQ(dat.size(), 50u);
  EXPECT_EQ(Int32At(dat, 16), 2);

  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_EQ(engine_.KeyCountOf(h), 2);
  EXPECT_EQ(engine_.KeyDescriptorOf(h, 2).length, 9);
  EXPECT_TRUE(engine_.KeyDescriptorOf(h, 2).allow_duplicates);
  EXPECT_FALSE(engine_.KeyDescriptorOf(h, 1).allow_duplicates);
}

TEST_F(EngineTest, CreateWithAnotherDataExtensionLeavesTheDataFileAlone) {
  CreateTwoKeys();
  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  int32_t n = 0;
  auto rec = Record(50, "keep");
  ASSERT_TRUE(engine_.AddRecord(h, n, rec.data()));
  ASSERT_TRUE(engine_.CloseFileBlock(h));
  std::vector<uint8_t> before = ReadBytes(Dat());
  ASSERT_TRUE(engine_.CreateFileBlock(base_, 50, {{10, false}}, "MSG"));
  EXPECT_EQ(ReadBytes(Dat()), before);
  EXPECT_EQ(ReadBytes(Ix()).size(), 1184u);
  EXPECT_TRUE(std::filesystem::exists(base_ + ".MSG"));
}

TEST_F(EngineTest, SecondOpenOfTheSameFileBlockGetsTheSharingFailure) {
  CreateTwoKeys();
  FileHandle first = kNoFileHandle, second = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(first, base_, false));
  EXPECT_FALSE(engine_.OpenFileBlock(second, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_EQ(engine_.ErrorClass(), 4);
  EXPECT_EQ(second, kNoFileHandle);
  // Nor may the open block's files be recreated or erased under it.
  EXPECT_FALSE(engine_.CreateFileBlock(base_, 50, {}));
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_FALSE(engine_.EraseFileBlock(base_));
  EXPECT_TRUE(std::filesystem::exists(Dat()));
  EXPECT_TRUE(engine_.IsFileBlockOpen(first));
  ASSERT_TRUE(engine_.CloseFileBlock(first));
  EXPECT_TRUE(engine_.OpenFileBlock(second, base_, false));
}

TEST_F(EngineTest, HandlesAreCheckedAndNeverReused) {
  CreateTwoKeys();
  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  const FileHandle old = h;
  EXPECT_TRUE(engine_.CheckFileBlock(h));
  ASSERT_TRUE(engine_.CloseFileBlock(h));
  EXPECT_EQ(h, kNoFileHandle);
  EXPECT_FALSE(engine_.IsFileBlockOpen(old));
  EXPECT_FALSE(engine_.CheckFileBlock(old));
  EXPECT_EQ(engine_.StoreError(), kErrNotFileBlock);
  FileHandle stale = old;
  EXPECT_FALSE(engine_.CloseFileBlock(stale));
  EXPECT_EQ(engine_.StoreError(), kErrCloseNotOpen);
  int32_t n = 0;
  auto rec = Record(50, "x");
  EXPECT_FALSE(engine_.AddRecord(old, n, rec.data()));
  EXPECT_EQ(engine_.StoreError(), kErrNotFileBlock);
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_NE(h, old);
  EXPECT_FALSE(engine_.AddKey(h, 0, 1, "A"));
  EXPECT_EQ(engine_.StoreError(), kErrBadKeyNumber);
  EXPECT_FALSE(engine_.AddKey(h, 3, 1, "A"));
  EXPECT_EQ(engine_.StoreError(), kErrBadKeyNumber);
}

TEST_F(EngineTest, EraseDeletesAllThreeFilesAndMissingOnesAreNoError) {
  CreateTwoKeys();
  WriteBytes(base_ + ".DIA", {1, 2, 3});
  ASSERT_TRUE(engine_.EraseFileBlock(base_));
  EXPECT_FALSE(std::filesystem::exists(Dat()));
  EXPECT_FALSE(std::filesystem::exists(Ix()));
  EXPECT_FALSE(std::filesystem::exists(base_ + ".DIA"));
  EXPECT_TRUE(engine_.EraseFileBlock(base_));
}

TEST_F(EngineTest, JournalFoundAtOpenIsDeleted) {
  CreateTwoKeys();
  WriteBytes(base_ + ".DIA", {1, 2, 3});
  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_FALSE(std::filesystem::exists(base_ + ".DIA"));
}

TEST_F(EngineTest, MissingFilesGiveTheirErrors) {
  FileHandle h = kNoFileHandle;
  EXPECT_FALSE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrFileNotFound);
  EXPECT_EQ(engine_.ErrorClass(), 1);
  CreateTwoKeys();
  std::filesystem::remove(Ix());
  EXPECT_FALSE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrNotClosedCleanly);
}

TEST_F(EngineTest, EngineDestructionClosesOpenBlocksCleanly) {
  CreateTwoKeys();
  {
    Engine other;
    ASSERT_TRUE(other.StoreStartup(0, 8));
    FileHandle h = kNoFileHandle;
    ASSERT_TRUE(other.OpenFileBlock(h, base_, false));
    int32_t n = 0;
    auto rec = Record(50, "live");
    ASSERT_TRUE(other.AddRecord(h, n, rec.data()));
    for (int i = 0; i < 200; ++i) {
      ASSERT_TRUE(other.AddKey(h, 1, n, "K" + std::to_string(1000 + i)));
    }
    EXPECT_EQ(ReadBytes(Dat())[20], 1);
  }
  EXPECT_EQ(ReadBytes(Dat())[20], 0);
  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_EQ(engine_.CountKeys(h, 1), 200);
  EXPECT_EQ(engine_.CountUsedRecords(h), 1);
  EXPECT_TRUE(engine_.CheckInvariants(h).empty());
}

TEST_F(EngineTest, NormalExitClosesTheBlocksOfAnEngineNeverDestroyed) {
  CreateTwoKeys();
  EXPECT_EXIT(
      {
        auto* leaked = new Engine;
        leaked->StoreStartup(0, 8);
        FileHandle h = kNoFileHandle;
        leaked->OpenFileBlock(h, base_, false);
        for (int i = 0; i < 100; ++i) leaked->AddKey(h, 1, 1, std::to_string(i));
        std::exit(ReadBytes(Dat())[20] == 1 ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadBytes(Dat())[20], 0);
  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_EQ(engine_.CountKeys(h, 1), 100);
  EXPECT_TRUE(engine_.CheckInvariants(h).empty());
}

TEST_F(EngineTest, FailedWriteAtCloseKeepsTheBlockOpen) {
  CreateTwoKeys();
  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  ASSERT_TRUE(engine_.AddKey(h, 1, 1, "KEY"));
  engine_.SetFaultHook([](OsOperation op, const std::string&) {
    return op == OsOperation::kWrite ? EIO : 0;
  });
  EXPECT_FALSE(engine_.CloseFileBlock(h));
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_EQ(engine_.StoreOSError(), EIO);
  EXPECT_NE(h, kNoFileHandle);
  EXPECT_TRUE(engine_.IsFileBlockOpen(h));
  engine_.SetFaultHook(nullptr);
  ASSERT_TRUE(engine_.CloseFileBlock(h));
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  int32_t ref = 0;
  std::string key = "KEY";
  EXPECT_TRUE(engine_.SearchKey(h, 1, ref, key));
  EXPECT_EQ(ref, 1);
}

TEST_F(EngineTest, ShutdownThatCannotWriteBackReportsItAndLeavesTheFlagSet) {
  CreateTwoKeys();
  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  ASSERT_TRUE(engine_.AddKey(h, 1, 1, "KEY"));
  engine_.SetFaultHook([](OsOperation op, const std::string&) {
    return op == OsOperation::kWrite ? EIO : 0;
  });
  EXPECT_FALSE(engine_.StoreShutdown());
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_FALSE(engine_.IsStarted());
  EXPECT_FALSE(engine_.IsFileBlockOpen(h));
  engine_.SetFaultHook(nullptr);
  ASSERT_TRUE(engine_.StoreStartup(0, 8));
  EXPECT_FALSE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrNotClosedCleanly);
}

// ---- Damaged files at open: each gives its error and touches nothing.

class DamagedOpenTest : public EngineTest {
 protected:
  // A block with one record and enough keys for a two-level tree.
  void SetUp() override {
    EngineTest::SetUp();
    CreateTwoKeys();
    FileHandle h = kNoFileHandle;
    ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
    int32_t n = 0;
    auto rec = Record(50, "data");
    ASSERT_TRUE(engine_.AddRecord(h, n, rec.data()));
    for (int i = 0; i < 100; ++i) {
      ASSERT_TRUE(engine_.AddKey(h, 1, n, "K" + std::to_string(100 + i)));
    }
    ASSERT_TRUE(engine_.CloseFileBlock(h));
    dat_ = ReadBytes(Dat());
    ix_ = ReadBytes(Ix());
  }

  // Opens, expects the error, and checks both files are as they were.
  void ExpectOpenFails(int error) {
    std::vector<uint8_t> dat = ReadBytes(Dat()), ix = ReadBytes(Ix());
    FileHandle h = kNoFileHandle;
    EXPECT_FALSE(engine_.OpenFileBlock(h, base_, false));
    EXPECT_EQ(engine_.StoreError(), error);
    EXPECT_EQ(h, kNoFileHandle);
    EXPECT_EQ(ReadBytes(Dat()), dat);
    EXPECT_EQ(ReadBytes(Ix()), ix);
  }

  // Opens (which must succeed) and walks key 1 to its end; returns the
  // error that stopped the walk.
  int WalkKeyOne() {
    FileHandle h = kNoFileHandle;
    EXPECT_TRUE(engine_.OpenFileBlock(h, base_, false));
    int32_t ref = 0;
    std::string key;
    int steps = 0;
    while (engine_.NextKey(h, 1, ref, key) && steps < 1000) ++steps;
    int err = engine_.StoreError();
    EXPECT_FALSE(engine_.CheckInvariants(h).empty());
    return err;
  }

  std::vector<uint8_t> dat_, ix_;
};

TEST_F(DamagedOpenTest, TruncatedDataHeader) {
  dat_.resize(10);
  WriteBytes(Dat(), dat_);
  ExpectOpenFails(kErrDataHeaderDamaged);
}

TEST_F(DamagedOpenTest, DataFileShorterThanItsHeaderSays) {
  SetInt32At(dat_, 12, 80);  // record length 80 over a file of 50-byte slots
  WriteBytes(Dat(), dat_);
  ExpectOpenFails(kErrDataHeaderDamaged);
}

TEST_F(DamagedOpenTest, NegativeHighestOrBadFreeHead) {
  SetInt32At(dat_, 8, -3);
  WriteBytes(Dat(), dat_);
  ExpectOpenFails(kErrDataHeaderDamaged);
  SetInt32At(dat_, 8, 1);
  SetInt32At(dat_, 0, 5);
  SetInt32At(dat_, 4, 1);
  WriteBytes(Dat(), dat_);
  ExpectOpenFails(kErrDataHeaderDamaged);
}

TEST_F(DamagedOpenTest, TooManyKeysInTheHeader) {
  SetInt32At(dat_, 16, 101);
  WriteBytes(Dat(), dat_);
  ExpectOpenFails(kErrTooManyKeysHeader);
}

TEST_F(DamagedOpenTest, InUpdateFlagSet) {
  dat_[20] = 1;
  WriteBytes(Dat(), dat_);
  ExpectOpenFails(kErrNotClosedCleanly);
}

TEST_F(DamagedOpenTest, IndexGeometryErrors) {
  std::vector<uint8_t> ix = ix_;
  SetInt32At(ix, 12, 1185);  // (1185 - 6) / 62 is no whole number
  WriteBytes(Ix(), ix);
  ExpectOpenFails(kErrIndexGeometry);
  ix = ix_;
  SetInt32At(ix, 12, 6 + 62 * (31 + 9));  // key length 31
  WriteBytes(Ix(), ix);
  ExpectOpenFails(kErrIndexKeyLength);
  ix = ix_;
  SetInt16At(ix, 26, 63);
  WriteBytes(Ix(), ix);
  ExpectOpenFails(kErrIndexCapacity);
}

// A damaged key header makes the index untrustworthy, which the open
// reports as 10010 so that the rebuild is offered.
TEST_F(DamagedOpenTest, KeyHeaderRootPastTheEnd) {
  SetInt32At(ix_, 16, 99);
  WriteBytes(Ix(), ix_);
  ExpectOpenFails(kErrNotClosedCleanly);
}

TEST_F(DamagedOpenTest, IndexFileTruncated) {
  ix_.resize(ix_.size() - 100);
  WriteBytes(Ix(), ix_);
  ExpectOpenFails(kErrNotClosedCleanly);
}

TEST_F(DamagedOpenTest, PageWithACountOf200IsReportedNotFollowed) {
  const int32_t root = Int32At(ix_, 16);
  SetInt16At(ix_, static_cast<size_t>(root) * 2306, 200);
  WriteBytes(Ix(), ix_);
  EXPECT_EQ(WalkKeyOne(), kErrIndexDamaged);
}

TEST_F(DamagedOpenTest, ChildPointerPastTheEndIsReportedNotFollowed) {
  const int32_t root = Int32At(ix_, 16);
  SetInt32At(ix_, static_cast<size_t>(root) * 2306 + 2, 77);
  WriteBytes(Ix(), ix_);
  EXPECT_EQ(WalkKeyOne(), kErrIndexDamaged);
}

TEST_F(DamagedOpenTest, ChildPointingBackAtTheRootDoesNotLoop) {
  const int32_t root = Int32At(ix_, 16);
  SetInt32At(ix_, static_cast<size_t>(root) * 2306 + 2, root);
  WriteBytes(Ix(), ix_);
  EXPECT_EQ(WalkKeyOne(), kErrIndexDamaged);
}

TEST_F(DamagedOpenTest, DamagedPageFreeChain) {
  // Give key 1 a free chain whose head is a page in use; the next page
  // allocation must refuse it rather than hand out a live page.
  SetInt32At(ix_, 0, Int32At(ix_, 16));
  SetInt32At(ix_, 4, 1);
  WriteBytes(Ix(), ix_);
  FileHandle h = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, base_, false));
  EXPECT_FALSE(engine_.CheckInvariants(h).empty());
  bool refused = false;
  for (int i = 0; i < 200 && !refused; ++i) {
    if (!engine_.AddKey(h, 1, 1, "Z" + std::to_string(100 + i))) {
      refused = true;
      EXPECT_EQ(engine_.StoreError(), kErrFreeChainDamaged);
    }
  }
  EXPECT_TRUE(refused);
}

}  // namespace
}  // namespace tallybook::store
