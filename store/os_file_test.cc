// OsFile's reads and rewrites through the memory map: they must give and
// leave exactly the bytes the plain file calls would, follow a growing file,
// still consult the fault hook, and turn a file cut short behind the store's
// back into a short read or write rather than a signal.
#include "store/os_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "store/errors.h"
#include "store/store_test_util.h"

namespace tallybook::store {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(seed + i * 7);
  return v;
}

class OsFileTest : public ::testing::Test {
 protected:
  // A file of three 4 KiB pages of a known pattern, open read-write.
  void SetUp() override {
    path_ = dir_.File("F.DAT");
    bytes_ = Pattern(3 * 4096, 1);
    ASSERT_EQ(file_.Open(path_, OpenMode::kCreate), 0);
    ASSERT_EQ(file_.Write(0, bytes_.data(), bytes_.size()), 0);
  }

  ScratchDir dir_;
  std::string path_;
  std::vector<uint8_t> bytes_;
  IoContext io_;
  OsFile file_{&io_};
};

TEST_F(OsFileTest, RewritesInPlaceAndExtensionsReachTheFileAsWritten) {
  std::vector<uint8_t> got(100);
  ASSERT_EQ(file_.Read(4000, got.data(), got.size()), 0);
  EXPECT_EQ(0, std::memcmp(got.data(), bytes_.data() + 4000, got.size()));

  // A rewrite across a page boundary, and an extension past the end.
  const std::vector<uint8_t> patch = Pattern(300, 99);
  ASSERT_EQ(file_.Write(4000, patch.data(), patch.size()), 0);
  std::memcpy(bytes_.data() + 4000, patch.data(), patch.size());
  const std::vector<uint8_t> tail = Pattern(500, 42);
  ASSERT_EQ(file_.Write(bytes_.size() - 100, tail.data(), tail.size()), 0);
  bytes_.resize(bytes_.size() - 100);
  bytes_.insert(bytes_.end(), tail.begin(), tail.end());

  // The engine reads its own writes, and so does anyone reading the file.
  got.assign(bytes_.size(), 0);
  ASSERT_EQ(file_.Read(0, got.data(), got.size()), 0);
  EXPECT_EQ(got, bytes_);
  EXPECT_EQ(ReadBytes(path_), bytes_);
  size_t some = 0;
  got.assign(1000, 0);
  ASSERT_EQ(file_.ReadSome(bytes_.size() - 10, got.data(), 1000, &some), 0);
  EXPECT_EQ(some, 10u);
  EXPECT_EQ(file_.Read(bytes_.size() - 10, got.data(), 11), kErrShortRead);
  ASSERT_EQ(file_.Close(), 0);
  EXPECT_EQ(ReadBytes(path_), bytes_);
}

TEST_F(OsFileTest, FileGrowingFarPastItsMapIsFollowed) {
  uint8_t b = 0;
  ASSERT_EQ(file_.Read(0, &b, 1), 0);
  // Far past anything mapped at the start: the map is made again.
  const int64_t far = int64_t{40} << 20;
  const std::vector<uint8_t> page = Pattern(4096, 5);
  ASSERT_EQ(file_.Write(far, page.data(), page.size()), 0);
  std::vector<uint8_t> got(4096);
  ASSERT_EQ(file_.Read(far, got.data(), got.size()), 0);
  EXPECT_EQ(got, page);
  const std::vector<uint8_t> patch = Pattern(16, 77);
  ASSERT_EQ(file_.Write(far + 8, patch.data(), patch.size()), 0);
  ASSERT_EQ(file_.Read(far + 8, got.data(), patch.size()), 0);
  EXPECT_EQ(0, std::memcmp(got.data(), patch.data(), patch.size()));
  ASSERT_EQ(file_.Read(0, got.data(), 16), 0);
  EXPECT_EQ(0, std::memcmp(got.data(), bytes_.data(), 16));
}

TEST_F(OsFileTest, FaultHookIsAskedForMappedReadsAndWritesToo) {
  uint8_t b = 0;
  ASSERT_EQ(file_.Read(10, &b, 1), 0);  // mapped from here on
  int reads = 0, writes = 0;
  io_.fault_hook = [&](OsOperation op, const std::string&) {
    if (op == OsOperation::kRead) return ++reads == 2 ? EIO : 0;
    if (op == OsOperation::kWrite) return ++writes == 1 ? ENOSPC : 0;
    return 0;
  };
  EXPECT_EQ(file_.Read(20, &b, 1), 0);
  EXPECT_EQ(file_.Read(20, &b, 1), kErrOsFailure);
  const uint8_t x = 0xAB;
  EXPECT_EQ(file_.Write(30, &x, 1), kErrShortWrite);
  EXPECT_EQ(io_.first_os_error, EIO);
  EXPECT_EQ(ReadBytes(path_)[30], bytes_[30]) << "the failed write wrote";
  EXPECT_EQ(file_.Write(30, &x, 1), 0);
  EXPECT_EQ(ReadBytes(path_)[30], 0xAB);
}

TEST_F(OsFileTest, FileCutShortBehindTheStoreGivesShortReadAndWrite) {
  std::vector<uint8_t> got(16);
  ASSERT_EQ(file_.Read(8192, got.data(), got.size()), 0);
  ASSERT_EQ(::truncate(path_.c_str(), 100), 0);
  EXPECT_EQ(file_.Read(8192, got.data(), got.size()), kErrShortRead);
  EXPECT_EQ(file_.Write(8192, got.data(), got.size()), kErrShortWrite);
  // What is still there still reads.
  ASSERT_EQ(file_.Read(0, got.data(), got.size()), 0);
  EXPECT_EQ(0, std::memcmp(got.data(), bytes_.data(), got.size()));
}

TEST_F(OsFileTest, ReadOnlyFileReadsThroughTheMapButIsNeverWritten) {
  ASSERT_EQ(file_.Close(), 0);
  ASSERT_EQ(file_.Open(path_, OpenMode::kReadOnly), 0);
  std::vector<uint8_t> got(bytes_.size());
  ASSERT_EQ(file_.Read(0, got.data(), got.size()), 0);
  EXPECT_EQ(got, bytes_);
  const uint8_t x = 0;
  EXPECT_NE(file_.Write(5, &x, 1), 0);
  EXPECT_EQ(ReadBytes(path_), bytes_);
}

}  // namespace
}  // namespace tallybook::store
