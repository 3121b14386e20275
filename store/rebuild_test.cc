#include "store/rebuild.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "store/errors.h"
#include "store/file_check.h"

namespace tallybook::store {
namespace {

// Test records: delete mark, a 10-byte code (key 1) and a 10-byte name
// (key 2), padded to kLength.
constexpr int kLength = 30;

std::string Record(int32_t mark, const std::string& code,
                   const std::string& name, int length = kLength) {
  std::string r(length, '\0');
  for (int i = 0; i < 4; ++i)
    r[i] = static_cast<char>((mark >> (8 * i)) & 0xff);
  r.replace(4, code.size(), code);
  r.replace(14, name.size(), name);
  return r;
}

std::string Int32Bytes(int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xff);
  return s;
}

int32_t Int32At(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) {
    v = v << 8 | static_cast<uint8_t>(bytes[offset + i]);
  }
  return static_cast<int32_t>(v);
}

std::string Header(int length, int32_t free_head, int32_t free_count,
                   int32_t highest, int32_t keys, uint8_t in_update) {
  std::string h = Int32Bytes(free_head) + Int32Bytes(free_count) +
                  Int32Bytes(highest) + Int32Bytes(length) + Int32Bytes(keys);
  h += static_cast<char>(in_update);
  h.resize(length, '\0');
  return h;
}

std::string TrimmedField(const uint8_t* p) {
  std::string s(reinterpret_cast<const char*>(p), 10);
  s.erase(std::find(s.begin(), s.end(), '\0'), s.end());
  return s;
}

bool BuildTestKey(const uint8_t* record, int key_no, std::string* key) {
  *key = TrimmedField(record + (key_no == 1 ? 4 : 14));
  return true;
}

const std::vector<KeyDescriptor> kUniqueKeys = {{10, false}, {10, false}};

class RebuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/rebuild_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    base_ = dir_ + "/TST";
    ASSERT_TRUE(engine_.StoreStartup(0, 30));
  }
  void TearDown() override {
    engine_.SetFaultHook(nullptr);
    engine_.StoreShutdown();
    std::filesystem::remove_all(dir_);
  }

  std::string Path(const std::string& ext) const {
    return WithExtension(base_, ext);
  }
  bool Exists(const std::string& ext) const { return FileExists(Path(ext)); }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string Read(const std::string& ext) const { return ReadFile(Path(ext)); }

  // A data file as a crashed or a clean run left it.
  std::string WriteData(const std::string& ext, const std::string& header,
                        const std::vector<std::string>& records) {
    std::string bytes = header;
    for (const std::string& r : records) bytes += r;
    WriteFile(Path(ext), bytes);
    return bytes;
  }

  bool Reorganize(int new_length = kLength, int old_length = kLength,
                  const KeepRecordTest& keep = DefaultKeepRecord,
                  const RecordHook& hook = NoRecordHook,
                  const RebuildAllocator& allocator = {}) {
    return ReorganizeDataFile(engine_, base_, new_length, old_length, 0, hook,
                              keep, allocator);
  }
  bool Rebuild(bool* dump_written, bool remove = true,
               const KeyBuilder& builder = BuildTestKey,
               const std::vector<KeyDescriptor>& keys = kUniqueKeys) {
    return RebuildIndex(engine_, base_, keys, 0, NoRecordHook, dump_written,
                        remove, builder);
  }

  // Record i (1-based) of a data file's bytes.
  static std::string Slot(const std::string& bytes, int i,
                          int length = kLength) {
    return bytes.substr(static_cast<size_t>(i) * length, length);
  }

  // Opens the file block cleanly and checks that every key holds exactly
  // the entries the key builder gives for the records in use, and that the
  // raw files are sound.
  void ExpectSoundIndex(const std::vector<KeyDescriptor>& keys) {
    const std::string data = Read("DAT");
    const int length = Int32At(data, 12);
    ASSERT_EQ(data[20], 0) << "in-update flag left set";
    ASSERT_EQ(Int32At(data, 16), static_cast<int32_t>(keys.size()));

    FileHandle handle = kNoFileHandle;
    ASSERT_TRUE(engine_.OpenFileBlock(handle, base_, false))
        << engine_.StoreError();
    EXPECT_TRUE(engine_.CheckInvariants(handle).empty());
    for (int k = 1; k <= static_cast<int>(keys.size()); ++k) {
      std::vector<std::pair<std::string, int32_t>> expected, actual;
      for (size_t i = 1; (i + 1) * length <= data.size(); ++i) {
        const auto* record =
            reinterpret_cast<const uint8_t*>(data.data() + i * length);
        if (Int32At(data, i * length) != 0) continue;
        std::string key;
        BuildTestKey(record, k, &key);
        expected.emplace_back(key, static_cast<int32_t>(i));
      }
      std::sort(expected.begin(), expected.end());
      ASSERT_TRUE(engine_.ResetKeyPosition(handle, k));
      int32_t ref = 0;
      std::string key;
      while (engine_.NextKey(handle, k, ref, key))
        actual.emplace_back(key, ref);
      EXPECT_EQ(engine_.StoreError(), kErrNoNextKey);
      EXPECT_EQ(actual, expected) << "key " << k;
      EXPECT_EQ(engine_.CountKeys(handle, k),
                static_cast<int32_t>(expected.size()));
    }
    ASSERT_TRUE(engine_.CloseFileBlock(handle));
    EXPECT_EQ(CheckFileBlockFiles(base_), std::vector<std::string>{});
  }

  // Fails the next write to path once armed.
  void FailWritesTo(const std::string& path, const bool* armed, int error) {
    engine_.SetFaultHook(
        [path, armed, error](OsOperation op, const std::string& p) {
          return (*armed && op == OsOperation::kWrite && p == path) ? error : 0;
        });
  }

  Engine engine_;
  std::string dir_;
  std::string base_;
};

// ---------------------------------------------------------------------------
// Reorganising the data file.

using ReorganizeTest = RebuildTest;

TEST_F(ReorganizeTest, DropsDeletedRecordsAndNumbersTheRestInOrder) {
  // Records 2 and 4 are deleted: chain 4 -> 2 -> end.
  std::vector<std::string> records = {
      Record(0, "A1", "one"), Record(-1, "B2", "two"), Record(0, "C3", "three"),
      Record(2, "D4", "four"), Record(0, "E5", "five")};
  WriteData("DAT", Header(kLength, 4, 2, 5, 2, 1), records);
  WriteFile(Path("IX"), "stale index");

  ASSERT_TRUE(Reorganize()) << engine_.StoreError();

  std::string data = Read("DAT");
  EXPECT_EQ(data, Header(kLength, -1, 0, 3, 0, 0) + records[0] + records[2] +
                      records[4]);
  EXPECT_FALSE(Exists("SAV"));
  EXPECT_FALSE(Exists("IX"));
}

TEST_F(ReorganizeTest, HeaderNeverWrittenBackStillCopiesEveryRecordInUse) {
  // The crashed run had added four records but its header still says one;
  // a half-written fifth slot trails the file.
  std::vector<std::string> records = {Record(0, "A", "a"), Record(0, "B", "b"),
                                      Record(0, "C", "c"), Record(0, "D", "d")};
  std::string old = WriteData("DAT", Header(kLength, -1, 0, 1, 2, 1), records);
  WriteFile(Path("DAT"), old + "partial");

  ASSERT_TRUE(Reorganize()) << engine_.StoreError();

  std::string data = Read("DAT");
  ASSERT_EQ(data.size(), 5u * kLength);
  EXPECT_EQ(Int32At(data, 8), 4);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(Slot(data, i), records[i - 1]);
}

TEST_F(ReorganizeTest, RecordsCrossingBufferBoundariesKeepTheirOrder) {
  // 32768 / 30 = 1092 records per buffer: three read-aheads and three
  // write-behind flushes, the last one partial.
  std::vector<std::string> records;
  for (int i = 0; i < 2500; ++i) {
    records.push_back(Record(i % 7 == 3 ? -1 : 0, std::to_string(i), "x"));
  }
  WriteData("DAT", Header(kLength, -1, 0, 2500, 0, 0), records);
  int32_t last_written = 0;
  engine_.SetProgressCallback(
      [&](int key_no, int32_t, int32_t written, int, const uint8_t*) {
        EXPECT_EQ(key_no, 0);
        last_written = written;
        return true;
      });

  ASSERT_TRUE(Reorganize()) << engine_.StoreError();

  std::string data = Read("DAT");
  int n = 0;
  for (const std::string& r : records) {
    if (Int32At(r, 0) != 0) continue;
    ++n;
    ASSERT_EQ(Slot(data, n), r) << "record " << n;
  }
  EXPECT_EQ(data.size(), static_cast<size_t>(n + 1) * kLength);
  EXPECT_EQ(Int32At(data, 8), n);
  EXPECT_EQ(last_written, n);
}

TEST_F(ReorganizeTest, RecordsLongerThanTheBuffersAreCopiedOneByOne) {
  const int length = 20000;
  std::vector<std::string> records = {Record(0, "A", "a", length),
                                      Record(-1, "B", "b", length),
                                      Record(0, "C", "c", length)};
  WriteData("DAT", Header(length, 2, 1, 3, 0, 0), records);

  ASSERT_TRUE(Reorganize(length, length)) << engine_.StoreError();

  EXPECT_EQ(Read("DAT"),
            Header(length, -1, 0, 2, 0, 0) + records[0] + records[2]);
}

TEST_F(ReorganizeTest, LoneWorkCopyOfAnInterruptedRunIsFinished) {
  std::vector<std::string> records = {Record(0, "A", "a"), Record(-1, "B", "b"),
                                      Record(0, "C", "c")};
  WriteData("SAV", Header(kLength, 2, 1, 3, 2, 1), records);

  ASSERT_TRUE(Reorganize()) << engine_.StoreError();

  EXPECT_EQ(Read("DAT"),
            Header(kLength, -1, 0, 2, 0, 0) + records[0] + records[2]);
  EXPECT_FALSE(Exists("SAV"));
}

TEST_F(ReorganizeTest, WorkCopyBesideTheDataFileIsRefusedAndNothingChanges) {
  std::string dat = WriteData("DAT", Header(kLength, -1, 0, 1, 0, 0),
                              {Record(0, "NEW", "n")});
  std::string sav = WriteData("SAV", Header(kLength, -1, 0, 1, 0, 0),
                              {Record(0, "OLD", "o")});
  WriteFile(Path("IX"), "index");

  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrWorkCopyExists);
  EXPECT_EQ(Read("DAT"), dat);
  EXPECT_EQ(Read("SAV"), sav);
  EXPECT_EQ(Read("IX"), "index");
}

TEST_F(ReorganizeTest, DamagedHeaderRecordLengthDoesNotKeepRecordsFromRecovery) {
  std::vector<std::string> records = {Record(0, "A", "a"), Record(-1, "B", "b"),
                                      Record(0, "C", "c"), Record(0, "D", "d")};
  for (int32_t damaged : {0, 7, kLength + 1, 1000000}) {
    SCOPED_TRACE(damaged);
    std::string header = Header(kLength, 2, 1, 4, 2, 1);
    header.replace(12, 4, Int32Bytes(damaged));
    WriteData("DAT", header, records);

    ASSERT_TRUE(Reorganize()) << engine_.StoreError();
    bool dumped = true;
    ASSERT_TRUE(Rebuild(&dumped)) << engine_.StoreError();

    EXPECT_FALSE(dumped);
    EXPECT_EQ(Read("DAT"), Header(kLength, -1, 0, 3, 2, 0) + records[0] +
                               records[2] + records[3]);
    ExpectSoundIndex(kUniqueKeys);
  }
}

TEST_F(ReorganizeTest, PartialDataFileIsSetAsideAndTheRunResumed) {
  const std::string partial = WriteData(
      "DAT", Header(kLength, -1, 0, 1, 0, 1), {Record(0, "A", "a")});
  const std::vector<std::string> records = {
      Record(0, "A", "a"), Record(-1, "B", "b"), Record(0, "C", "c")};
  const std::string sav = WriteData("SAV", Header(kLength, 2, 1, 3, 2, 0),
                                    records);
  ASSERT_FALSE(Reorganize());
  ASSERT_EQ(engine_.StoreError(), kErrWorkCopyExists);

  EXPECT_EQ(PartialDataFileAsidePath(base_), Path("PAR"));
  std::string aside;
  ASSERT_TRUE(SetAsidePartialDataFile(engine_, base_, &aside));
  EXPECT_EQ(aside, Path("PAR"));
  EXPECT_EQ(Read("PAR"), partial);
  EXPECT_FALSE(Exists("DAT"));
  EXPECT_EQ(Read("SAV"), sav);

  ASSERT_TRUE(Reorganize()) << engine_.StoreError();
  EXPECT_EQ(Read("DAT"),
            Header(kLength, -1, 0, 2, 0, 0) + records[0] + records[2]);
  EXPECT_FALSE(Exists("SAV"));
  EXPECT_EQ(Read("PAR"), partial);

  // A second interrupted run never replaces what was set aside before.
  WriteData("SAV", Header(kLength, -1, 0, 1, 0, 0), {records[0]});
  ASSERT_TRUE(SetAsidePartialDataFile(engine_, base_, &aside));
  EXPECT_EQ(aside, Path("PAR") + "2");
  EXPECT_EQ(Read("PAR"), partial);
}

TEST_F(ReorganizeTest, NothingIsSetAsideWithoutAWorkCopyToResumeFrom) {
  const std::string dat =
      WriteData("DAT", Header(kLength, -1, 0, 1, 0, 0), {Record(0, "A", "a")});
  std::string aside = "x";
  EXPECT_FALSE(SetAsidePartialDataFile(engine_, base_, &aside));
  EXPECT_EQ(engine_.StoreError(), kErrNoDataFile);
  EXPECT_EQ(aside, "");
  EXPECT_EQ(Read("DAT"), dat);
  EXPECT_FALSE(Exists("PAR"));
}

TEST_F(ReorganizeTest, BadArgumentsAreRefusedBeforeAnyFileIsTouched) {
  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrNoDataFile);
  EXPECT_EQ(engine_.ErrorClass(), 1);

  std::string dat =
      WriteData("DAT", Header(kLength, -1, 0, 1, 0, 0), {Record(0, "A", "a")});
  EXPECT_FALSE(Reorganize(65536, kLength));
  EXPECT_EQ(engine_.StoreError(), kErrRecordTooLong);
  EXPECT_FALSE(Reorganize(kLength, 65536));
  EXPECT_EQ(engine_.StoreError(), kErrRecordTooLong);
  EXPECT_FALSE(Reorganize(20, kLength));
  EXPECT_EQ(engine_.StoreError(), kErrRecordTooShort);

  EXPECT_EQ(Read("DAT"), dat);
  EXPECT_FALSE(Exists("SAV"));

  Engine stopped;
  EXPECT_FALSE(ReorganizeDataFile(stopped, base_, kLength, kLength, 0,
                                  NoRecordHook, DefaultKeepRecord));
  EXPECT_EQ(stopped.StoreError(), kErrNotStarted);
  EXPECT_EQ(Read("DAT"), dat);
}

TEST_F(ReorganizeTest, FailedRenameGives10399AndLeavesTheDataFile) {
  std::string dat =
      WriteData("DAT", Header(kLength, -1, 0, 1, 0, 0), {Record(0, "A", "a")});
  engine_.SetFaultHook([](OsOperation op, const std::string&) {
    return op == OsOperation::kRename ? EBUSY : 0;
  });

  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrRenameFailed);
  EXPECT_EQ(engine_.ErrorClass(), 2);
  EXPECT_EQ(Read("DAT"), dat);
  EXPECT_FALSE(Exists("SAV"));
}

// Many records, so that a failure can be made to strike in the middle.
class ReorganizeFailureTest : public RebuildTest {
 protected:
  void SetUp() override {
    RebuildTest::SetUp();
    std::vector<std::string> records;
    for (int i = 0; i < 3000; ++i) {
      records.push_back(Record(i % 5 == 0 ? -1 : 0, std::to_string(i), "r"));
    }
    old_ = WriteData("DAT", Header(kLength, -1, 0, 3000, 2, 1), records);
  }
  // Arms *flag once 1500 records were read.
  void ArmAtHalfway(bool* flag) {
    engine_.SetProgressCallback(
        [flag](int, int32_t read, int32_t, int, const uint8_t*) {
          if (read == 1500) *flag = true;
          return true;
        });
  }
  std::string old_;
};

TEST_F(ReorganizeFailureTest, FailedWriteBringsTheOldDataBackByteForByte) {
  bool armed = false;
  ArmAtHalfway(&armed);
  FailWritesTo(Path("DAT"), &armed, EIO);

  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_EQ(engine_.StoreOSError(), EIO);
  EXPECT_EQ(engine_.StoreOSOperation(),
            static_cast<uint16_t>(OsOperation::kWrite));
  EXPECT_TRUE(Read("DAT") == old_) << "old data not restored";
  EXPECT_FALSE(Exists("SAV"));
}

TEST_F(ReorganizeFailureTest, OldDataIsCopiedBackWhenRenamingBackFails) {
  bool armed = false;
  ArmAtHalfway(&armed);
  const std::string dat = Path("DAT");
  bool renaming_back = false;
  // The run's writes fail until the old data is being put back; then only
  // the rename fails, and the copy must do.
  engine_.SetFaultHook([&](OsOperation op, const std::string& p) {
    if (!armed) return 0;
    if (op == OsOperation::kRename) {
      renaming_back = true;
      return EBUSY;
    }
    return op == OsOperation::kWrite && p == dat && !renaming_back ? EIO : 0;
  });

  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_EQ(engine_.StoreOSError(), EIO);
  EXPECT_TRUE(Read("DAT") == old_) << "old data not restored";
  EXPECT_FALSE(Exists("SAV"));
}

TEST_F(ReorganizeFailureTest, CancelGives10460AndBringsTheOldDataBack) {
  std::vector<int32_t> reads;
  engine_.SetProgressCallback([&](int key_no, int32_t read, int32_t written,
                                  int length, const uint8_t* record) {
    EXPECT_EQ(key_no, 0);
    EXPECT_EQ(length, kLength);
    EXPECT_NE(record, nullptr);
    EXPECT_LE(written, read);
    reads.push_back(read);
    return read < 10;
  });

  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrCancelled);
  EXPECT_EQ(reads, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_TRUE(Read("DAT") == old_) << "old data not restored";
  EXPECT_FALSE(Exists("SAV"));
}

TEST_F(ReorganizeFailureTest, UnreadableWorkCopyIsNeverDeleted) {
  const std::string sav = Path("SAV");
  engine_.SetFaultHook([&](OsOperation op, const std::string& p) {
    return op == OsOperation::kRead && p == sav ? EIO : 0;
  });

  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_EQ(engine_.StoreOSError(), EIO);
  EXPECT_TRUE(Read("DAT") == old_) << "old data not restored";
}

TEST_F(ReorganizeFailureTest, FailedResumeKeepsTheWorkCopyForTheNextRun) {
  std::filesystem::rename(Path("DAT"), Path("SAV"));
  engine_.SetProgressCallback(
      [](int, int32_t read, int32_t, int, const uint8_t*) { return read < 3; });

  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrCancelled);
  EXPECT_FALSE(Exists("DAT"));
  EXPECT_TRUE(Read("SAV") == old_) << "work copy changed";

  engine_.SetProgressCallback(nullptr);
  ASSERT_TRUE(Reorganize()) << engine_.StoreError();
  EXPECT_EQ(Int32At(Read("DAT"), 8), 2400);
  EXPECT_FALSE(Exists("SAV"));
}

TEST_F(ReorganizeFailureTest, WorkCopyThatCannotBeDeletedIsReportedAndKept) {
  const std::string sav = Path("SAV");
  engine_.SetFaultHook([&](OsOperation op, const std::string& p) {
    return op == OsOperation::kDelete && p == sav ? EACCES : 0;
  });

  EXPECT_FALSE(Reorganize());
  EXPECT_EQ(engine_.StoreError(), kErrOsFailure);
  EXPECT_EQ(Int32At(Read("DAT"), 8), 2400);
  EXPECT_TRUE(Read("SAV") == old_) << "work copy changed";
}

TEST_F(ReorganizeFailureTest, NoMemoryForWorkAreasGives10411) {
  auto no_work_area = [](size_t bytes) { return bytes != kLength; };

  EXPECT_FALSE(Reorganize(kLength, kLength, DefaultKeepRecord, NoRecordHook,
                          no_work_area));
  EXPECT_EQ(engine_.StoreError(), kErrNoWorkMemory);
  EXPECT_TRUE(Read("DAT") == old_) << "old data not restored";
  EXPECT_FALSE(Exists("SAV"));
}

TEST_F(ReorganizeTest, HookAndKeepTestSeeEveryRecordAndShapeTheNewOnes) {
  std::vector<std::string> records = {Record(0, "A", "a"), Record(-1, "B", "b"),
                                      Record(0, "C", "c")};
  WriteData("DAT", Header(kLength, 2, 1, 3, 0, 0), records);
  std::vector<std::pair<int, int>> calls;  // direction, length
  auto hook = [&](uint8_t* record, int length, int direction, int32_t user) {
    EXPECT_EQ(user, 7);
    calls.emplace_back(direction, length);
    if (direction == 0) record[length - 1] = '!';
  };

  ASSERT_TRUE(ReorganizeDataFile(engine_, base_, 40, kLength, 7, hook,
                                 DefaultKeepRecord));

  // The longer records are the old ones padded with zero bytes.
  std::string padded0 = records[0] + std::string(9, '\0') + "!";
  std::string padded2 = records[2] + std::string(9, '\0') + "!";
  EXPECT_EQ(Read("DAT"), Header(40, -1, 0, 2, 0, 0) + padded0 + padded2);
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{
                       {1, 30}, {0, 40}, {1, 30}, {1, 30}, {0, 40}}));
}

TEST_F(ReorganizeTest, FailingKeepTestGives10475AndBringsTheOldDataBack) {
  std::string old = WriteData("DAT", Header(kLength, -1, 0, 2, 0, 0),
                              {Record(0, "A", "a"), Record(0, "B", "b")});
  auto fails_on_b = [](const uint8_t* old_record, uint8_t* new_record,
                       int* new_length, bool* failed) {
    *failed = old_record[4] == 'B';
    std::memcpy(new_record, old_record, *new_length);
    return !*failed;
  };
  EXPECT_FALSE(Reorganize(kLength, kLength, fails_on_b));
  EXPECT_EQ(engine_.StoreError(), kErrKeepTestFailed);
  EXPECT_EQ(Read("DAT"), old);
  EXPECT_FALSE(Exists("SAV"));

  // A record longer than the new record length does not fit its slot.
  auto too_long = [](const uint8_t*, uint8_t*, int* new_length, bool*) {
    *new_length += 1;
    return true;
  };
  EXPECT_FALSE(Reorganize(kLength, kLength, too_long));
  EXPECT_EQ(engine_.StoreError(), kErrKeepTestFailed);
  EXPECT_EQ(Read("DAT"), old);
}

// ---------------------------------------------------------------------------
// Rebuilding the index.

using RebuildIndexTest = RebuildTest;

TEST_F(RebuildIndexTest, EveryKeyHoldsTheBuiltKeysOfTheRecordsInUse) {
  std::vector<std::string> records;
  for (int i = 0; i < 400; ++i) {
    // Key 1 unique; key 2 unique too, in another order.
    records.push_back(Record(0, "C" + std::to_string(1000 - i),
                             "N" + std::to_string(i * 7919 % 400)));
  }
  WriteData("DAT", Header(kLength, -1, 0, 400, 0, 0), records);
  WriteFile(Path("IX"), "garbage of an old index");
  std::vector<int> keys_seen;
  engine_.SetProgressCallback(
      [&](int key_no, int32_t read, int32_t added, int, const uint8_t*) {
        if (read == 400) keys_seen.push_back(key_no);
        EXPECT_EQ(read, added);
        return true;
      });
  bool dumped = true;

  ASSERT_TRUE(Rebuild(&dumped)) << engine_.StoreError();

  EXPECT_FALSE(dumped);
  EXPECT_FALSE(Exists("MSG"));
  EXPECT_EQ(keys_seen, (std::vector<int>{1, 2}));
  ExpectSoundIndex(kUniqueKeys);
}

TEST_F(RebuildIndexTest, PassesReadTheDataFileThroughTheReadAheadBuffer) {
  // 32,768 div 30 = 1,092 records a buffer: 2,500 records take three reads
  // a pass, where reading one by one would take 2,500.
  std::vector<std::string> records;
  for (int i = 0; i < 2500; ++i) {
    records.push_back(Record(i % 5 == 0 ? -1 : 0, "C" + std::to_string(i),
                             "N" + std::to_string(i)));
  }
  WriteData("DAT", Header(kLength, -1, 0, 2500, 0, 0), records);
  const std::string data_path = Path("DAT");
  int data_reads = 0;
  engine_.SetFaultHook([&](OsOperation op, const std::string& p) {
    if (op == OsOperation::kRead && p == data_path) ++data_reads;
    return 0;
  });
  bool dumped = true;

  ASSERT_TRUE(Rebuild(&dumped)) << engine_.StoreError();

  engine_.SetFaultHook(nullptr);
  EXPECT_LE(data_reads, 20);
  ExpectSoundIndex(kUniqueKeys);
}

TEST_F(RebuildIndexTest, RecordRemovedInOnePassIsSkippedAcrossBufferBoundaries) {
  // Records 1,500 and 2,000 repeat key 2 of record 10 and are removed in the
  // second pass; they lie in later read-ahead buffers than record 10.
  std::vector<std::string> records;
  for (int i = 1; i <= 2200; ++i) {
    std::string name = (i == 1500 || i == 2000) ? "N10" : "N" + std::to_string(i);
    records.push_back(Record(0, "C" + std::to_string(i), name));
  }
  WriteData("DAT", Header(kLength, -1, 0, 2200, 0, 0), records);
  bool dumped = false;

  ASSERT_TRUE(Rebuild(&dumped)) << engine_.StoreError();

  EXPECT_TRUE(dumped);
  const std::string data = Read("DAT");
  EXPECT_NE(Int32At(data, 1500 * kLength), 0);
  EXPECT_NE(Int32At(data, 2000 * kLength), 0);
  EXPECT_EQ(Int32At(data, 10 * kLength), 0);
  ExpectSoundIndex(kUniqueKeys);
}

TEST_F(RebuildIndexTest, SecondRecordWithAUniqueKeyIsDumpedAndRemoved) {
  std::vector<std::string> records = {
      Record(0, "A", "X"),  // 1
      Record(0, "B", "X"),  // 2: name repeats record 1 (key 2)
      Record(0, "A", "Y"),  // 3: code repeats record 1 (key 1)
      Record(0, "C", "Z"),  // 4
  };
  WriteData("DAT", Header(kLength, -1, 0, 4, 0, 0), records);
  WriteFile(Path("MSG"), "dump of an earlier run");
  bool dumped = false;

  ASSERT_TRUE(Rebuild(&dumped)) << engine_.StoreError();

  EXPECT_TRUE(dumped);
  EXPECT_EQ(Read("MSG"),
            "Key:<A> KeyNr: 1 Ref: 3 not added\r\n"
            "Data record deleted - Dump follows\r\n" +
                records[2] + "\r\n\r\n" +
                "Key:<X> KeyNr: 2 Ref: 2 not added\r\n"
                "Data record deleted - Dump follows\r\n" +
                records[1] + "\r\n\r\n");
  std::string data = Read("DAT");
  EXPECT_NE(Int32At(data, 2 * kLength), 0);
  EXPECT_NE(Int32At(data, 3 * kLength), 0);
  EXPECT_EQ(Int32At(data, 4), 2);  // free count
  // Record 2 was taken out of key 1 again, record 3 never reached key 2.
  ExpectSoundIndex(kUniqueKeys);

  FileHandle handle = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(handle, base_, false));
  EXPECT_EQ(engine_.CountUsedRecords(handle), 2);
  EXPECT_EQ(engine_.CountKeys(handle, 1), 2);
  EXPECT_EQ(engine_.CountKeys(handle, 2), 2);
  ASSERT_TRUE(engine_.CloseFileBlock(handle));
}

TEST_F(RebuildIndexTest, RejectedRecordStaysWhenRemovalIsNotAsked) {
  std::vector<std::string> records = {Record(0, "A", "X"), Record(0, "B", "X")};
  WriteData("DAT", Header(kLength, -1, 0, 2, 0, 0), records);
  bool dumped = false;

  ASSERT_TRUE(Rebuild(&dumped, false)) << engine_.StoreError();

  EXPECT_TRUE(dumped);
  EXPECT_EQ(Read("MSG"), "Key:<X> KeyNr: 2 Ref: 2 not added\r\n");
  std::string data = Read("DAT");
  EXPECT_EQ(Slot(data, 2), records[1]);
  FileHandle handle = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(handle, base_, false));
  EXPECT_EQ(engine_.CountKeys(handle, 1), 2);
  EXPECT_EQ(engine_.CountKeys(handle, 2), 1);
  ASSERT_TRUE(engine_.CloseFileBlock(handle));
}

TEST_F(RebuildIndexTest, DuplicatesAllowedKeyTakesEveryRecord) {
  std::vector<std::string> records = {Record(0, "A", "X"), Record(0, "B", "X"),
                                      Record(0, "C", "")};
  WriteData("DAT", Header(kLength, -1, 0, 3, 0, 0), records);
  const std::vector<KeyDescriptor> keys = {{10, false}, {10, true}};
  bool dumped = true;

  ASSERT_TRUE(Rebuild(&dumped, true, BuildTestKey, keys));

  EXPECT_FALSE(dumped);
  ExpectSoundIndex(keys);  // the empty name of record 3 is a key too
}

TEST_F(RebuildIndexTest, UnwritableDumpGives9500PlusCodeAndRemovesNothing) {
  std::string old = WriteData("DAT", Header(kLength, -1, 0, 2, 0, 0),
                              {Record(0, "A", "X"), Record(0, "A", "Y")});
  const std::string msg = Path("MSG");
  int creates = 0;  // the first makes the throw-away data file
  engine_.SetFaultHook([&](OsOperation op, const std::string& p) {
    return op == OsOperation::kCreate && p == msg && ++creates == 2 ? EACCES
                                                                    : 0;
  });
  bool dumped = true;

  EXPECT_FALSE(Rebuild(&dumped));
  EXPECT_EQ(engine_.StoreError(), kErrDumpFileBase + EACCES);
  EXPECT_FALSE(dumped);
  std::string data = Read("DAT");
  EXPECT_EQ(Slot(data, 2), Slot(old, 2)) << "record removed without its dump";

  engine_.SetFaultHook(nullptr);
  FileHandle handle = kNoFileHandle;
  EXPECT_FALSE(engine_.OpenFileBlock(handle, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrNotClosedCleanly);
}

TEST_F(RebuildIndexTest, FailedPassLeavesTheFileToBeRebuiltAgain) {
  WriteData("DAT", Header(kLength, -1, 0, 3, 0, 0),
            {Record(0, "A", "X"), Record(0, "B", "Y"), Record(0, "C", "Z")});
  auto fails_on_b = [](const uint8_t* record, int key_no, std::string* key) {
    BuildTestKey(record, key_no, key);
    return *key != "Y";
  };
  bool dumped = true;
  EXPECT_FALSE(Rebuild(&dumped, true, fails_on_b));
  EXPECT_EQ(engine_.StoreError(), kErrKeyBuilderFailed);

  FileHandle handle = kNoFileHandle;
  EXPECT_FALSE(engine_.OpenFileBlock(handle, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrNotClosedCleanly);

  engine_.SetProgressCallback([](int key_no, int32_t, int32_t, int,
                                 const uint8_t*) { return key_no < 2; });
  EXPECT_FALSE(Rebuild(&dumped));
  EXPECT_EQ(engine_.StoreError(), kErrCancelled);
  EXPECT_FALSE(engine_.OpenFileBlock(handle, base_, false));
  EXPECT_EQ(engine_.StoreError(), kErrNotClosedCleanly);

  engine_.SetProgressCallback(nullptr);
  ASSERT_TRUE(Rebuild(&dumped)) << engine_.StoreError();
  ExpectSoundIndex(kUniqueKeys);
}

TEST_F(RebuildIndexTest, DamagedHeaderIsRefusedAndNothingChanges) {
  WriteFile(Path("IX"), "old index");
  struct Case {
    const char* what;
    std::string bytes;
    int error;
  };
  std::string one_record = Record(0, "A", "a");
  std::vector<Case> cases = {
      {"record length 0",
       Header(kLength, -1, 0, 1, 2, 1).replace(12, 4, 4, '\0') + one_record,
       kErrNoWorkMemory},
      {"length not dividing the size",
       Header(kLength, -1, 0, 1, 2, 1) + one_record + "x", kErrNoWorkMemory},
      {"length below 21",
       Header(kLength, -1, 0, 1, 2, 1).replace(12, 4, Int32Bytes(10)) +
           one_record,
       kErrNoWorkMemory},
      {"shorter than a header", std::string(10, '\0'), kErrNoWorkMemory},
      {"record length above 65,535",
       Header(kLength, -1, 0, 1, 2, 1).replace(12, 4, Int32Bytes(70000)) +
           std::string(70000 * 2 - kLength, '\0'),
       kErrRecordTooLong},
  };
  for (const Case& c : cases) {
    WriteFile(Path("DAT"), c.bytes);
    bool dumped = true;
    EXPECT_FALSE(Rebuild(&dumped)) << c.what;
    EXPECT_EQ(engine_.StoreError(), c.error) << c.what;
    EXPECT_FALSE(dumped);
    EXPECT_EQ(Read("DAT"), c.bytes) << c.what;
    EXPECT_EQ(Read("IX"), "old index") << c.what;
  }

  std::filesystem::remove(Path("DAT"));
  bool dumped = true;
  EXPECT_FALSE(Rebuild(&dumped));
  EXPECT_EQ(engine_.StoreError(), kErrFileNotFound);
  EXPECT_EQ(Read("IX"), "old index");

  EXPECT_FALSE(Rebuild(&dumped, true, BuildTestKey, {{31, false}}));
  EXPECT_EQ(engine_.StoreError(), kErrBadKeyLengthCreate);
  EXPECT_EQ(Read("IX"), "old index");
}

TEST_F(RebuildIndexTest, HeaderThatDoesNotDescribeTheFileIsMended) {
  std::vector<std::string> records = {Record(0, "A", "a"), Record(-1, "B", "b"),
                                      Record(0, "C", "c"), Record(0, "D", "d"),
                                      Record(7, "E", "e")};
  struct Case {
    const char* what;
    std::string header;
  };
  std::vector<Case> cases = {
      {"highest below the records", Header(kLength, -1, 0, 2, 0, 0)},
      {"highest above the records", Header(kLength, -1, 0, 9, 0, 0)},
      {"free chain into a record in use", Header(kLength, 3, 1, 5, 0, 0)},
  };
  for (const Case& c : cases) {
    WriteData("DAT", c.header, records);
    bool dumped = true;
    ASSERT_TRUE(Rebuild(&dumped)) << c.what << ": " << engine_.StoreError();

    // Records 2 and 5 are the deleted ones: chain 5 -> 2 -> end.
    std::string data = Read("DAT");
    EXPECT_EQ(data.substr(0, 21), Header(kLength, 5, 2, 5, 2, 0).substr(0, 21))
        << c.what;
    EXPECT_EQ(Slot(data, 5).substr(4), records[4].substr(4));
    ExpectSoundIndex(kUniqueKeys);

    FileHandle handle = kNoFileHandle;
    ASSERT_TRUE(engine_.OpenFileBlock(handle, base_, false));
    std::string fresh = Record(0, "F", "f");
    std::vector<int32_t> numbers(3);
    for (int32_t& n : numbers) {
      ASSERT_TRUE(engine_.AddRecord(handle, n, fresh.data())) << c.what;
    }
    EXPECT_EQ(numbers, (std::vector<int32_t>{5, 2, 6})) << c.what;
    ASSERT_TRUE(engine_.CloseFileBlock(handle));
  }
}

TEST_F(RebuildIndexTest, FileLeftInUpdateIsRecoveredByBothSteps) {
  // A file block written by the engine, then left as a crash leaves it.
  ASSERT_TRUE(engine_.CreateFileBlock(base_, kLength, kUniqueKeys));
  FileHandle handle = kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(handle, base_, false));
  for (int i = 0; i < 150; ++i) {
    std::string r = Record(0, "K" + std::to_string(i), "N" + std::to_string(i));
    int32_t rec_no = 0;
    ASSERT_TRUE(engine_.AddRecord(handle, rec_no, r.data()));
    std::string key;
    BuildTestKey(reinterpret_cast<const uint8_t*>(r.data()), 1, &key);
    ASSERT_TRUE(engine_.AddKey(handle, 1, rec_no, key));
  }
  for (int32_t rec_no : {3, 70, 71, 150}) {
    ASSERT_TRUE(engine_.DeleteRecord(handle, rec_no));
  }
  ASSERT_TRUE(engine_.CloseFileBlock(handle));
  std::string data = Read("DAT");
  data[20] = 1;
  WriteFile(Path("DAT"), data);
  ASSERT_FALSE(engine_.OpenFileBlock(handle, base_, false));
  ASSERT_EQ(engine_.StoreError(), kErrNotClosedCleanly);

  ASSERT_TRUE(Reorganize()) << engine_.StoreError();
  bool dumped = true;
  ASSERT_TRUE(Rebuild(&dumped)) << engine_.StoreError();

  EXPECT_FALSE(dumped);
  std::string rebuilt = Read("DAT");
  EXPECT_EQ(Int32At(rebuilt, 8), 146);
  EXPECT_EQ(Slot(rebuilt, 3), Slot(data, 4));
  ExpectSoundIndex(kUniqueKeys);
}

// ---------------------------------------------------------------------------
// Work memory.

TEST(RebuildMemoryTest, BuffersHold32768BytesOfRecordsUpTo16384Bytes) {
  RebuildMemory memory;
  ASSERT_EQ(memory.Allocate(100, 200, true, 200, {}), 0);
  EXPECT_EQ(memory.read_ahead_records(), 327);
  EXPECT_EQ(memory.write_behind_records(), 163);
  ASSERT_NE(memory.old_record(), nullptr);
  EXPECT_EQ(memory.old_record()[199], 0);

  ASSERT_EQ(memory.Allocate(16384, 16385, true, 16385, {}), 0);
  EXPECT_EQ(memory.read_ahead_records(), 2);
  EXPECT_EQ(memory.write_behind_records(), 0);

  ASSERT_EQ(memory.Allocate(100, 100, false, 100, {}), 0);
  EXPECT_EQ(memory.write_behind_records(), 0);
}

TEST(RebuildMemoryTest, BufferOneRecordSmallerIsTriedUntilItFits) {
  RebuildMemory memory;
  auto small = [](size_t bytes) { return bytes <= 20000; };
  ASSERT_EQ(memory.Allocate(100, 100, true, 100, small), 0);
  EXPECT_EQ(memory.read_ahead_records(), 200);
  EXPECT_EQ(memory.write_behind_records(), 200);

  auto tiny = [](size_t bytes) { return bytes < 200; };
  ASSERT_EQ(memory.Allocate(100, 100, true, 100, tiny), 0);
  EXPECT_EQ(memory.read_ahead_records(), 0) << "below 2 records: no buffer";
  EXPECT_EQ(memory.write_behind_records(), 0);
}

TEST(RebuildMemoryTest, WorkAreasShrinkTheBuffersBy1024BytesAtATime) {
  RebuildMemory memory;
  int refusals = 3;
  auto short_at_first = [&](size_t bytes) {
    return bytes != 100 || refusals-- <= 0;
  };
  ASSERT_EQ(memory.Allocate(100, 100, true, 100, short_at_first), 0);
  EXPECT_EQ(memory.read_ahead_records(), 327 - 3 * 10);
  EXPECT_EQ(memory.write_behind_records(), 327 - 3 * 10);

  auto never = [](size_t bytes) { return bytes != 100; };
  EXPECT_EQ(memory.Allocate(100, 100, true, 100, never), kErrNoWorkMemory);
  EXPECT_EQ(memory.read_ahead_records(), 0);
  EXPECT_EQ(memory.old_record(), nullptr);
}

}  // namespace
}  // namespace tallybook::store
