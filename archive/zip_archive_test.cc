#include "archive/zip_archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "platform/testing/temp_dir.h"

namespace tallybook::archive {
namespace {

namespace fs = std::filesystem;
using platform::testing::NoiseBytes;
using platform::testing::ReadFileBytes;
using platform::testing::TempDir;
using platform::testing::WriteFileBytes;

class ZipArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    root_ = temp_.path();
    src_ = root_ / "src";
    out_ = root_ / "out";
    fs::create_directories(src_);
    fs::create_directories(out_);
  }

  // Writes src/name for each (name, bytes) and archives them at zip_path.
  ArchiveStatus Archive(const fs::path& zip_path,
                        const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, bytes] : files) WriteFileBytes(src_ / name, bytes);
    ZipWriter writer;
    ArchiveStatus st = writer.Create(zip_path.string());
    if (!st.ok()) return st;
    for (const auto& [name, bytes] : files) {
      st = writer.AddFile(src_.string(), name);
      if (!st.ok()) return st;
    }
    return writer.Close(nullptr);
  }

  // Archive made directly with libzip, for names our writer refuses.
  void RawArchive(const fs::path& zip_path,
                  const std::vector<std::pair<std::string, std::string>>& entries) {
    int code = 0;
    zip_t* z = zip_open(zip_path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, bytes] : entries) {
      zip_source_t* s = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
      ASSERT_NE(s, nullptr);
      ASSERT_GE(zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_RAW), 0) << name;
    }
    ASSERT_EQ(zip_close(z), 0);
  }

  std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir temp_{"zip_archive_test"};
  fs::path root_, src_, out_;
};

TEST(EntryNameTest, OnlyPlainFileNamesAreAccepted) {
  EXPECT_TRUE(IsPlainEntryName("1P.DAT"));
  EXPECT_TRUE(IsPlainEntryName("LastCo.Dat"));
  EXPECT_TRUE(IsPlainEntryName("my letter.rtf"));
  EXPECT_TRUE(IsPlainEntryName("..hidden"));
  for (const char* bad : {"", ".", "..", "../1P.DAT", "sub/1P.DAT", "/etc/passwd",
                          "sub\\1P.DAT", "C:1P.DAT", "dir/", "a\tb", "a\x7f"}) {
    EXPECT_FALSE(IsPlainEntryName(bad)) << bad;
  }
}

TEST_F(ZipArchiveTest, FilesComeBackByteForByte) {
  std::vector<std::pair<std::string, std::string>> files = {
      {"1P.DAT", NoiseBytes(200000, 1)},
      {"empty.LST", ""},
      {"Company.DAT", std::string(5000, 'A') + std::string("\0\xff\x80", 3)}};
  fs::path zip = root_ / "a.zip";
  ASSERT_TRUE(Archive(zip, files).ok());

  ZipReader reader;
  ASSERT_TRUE(reader.Open(zip.string()).ok());
  ASSERT_EQ(reader.Count(), 3);
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(reader.entries()[i].name, files[i].first);
    EXPECT_EQ(reader.entries()[i].size, files[i].second.size());
  }
  EXPECT_TRUE(reader.Verify(nullptr).ok());
  ASSERT_TRUE(reader.ExtractAll(out_.string(), nullptr).ok());
  EXPECT_EQ(Listing(out_), (std::vector<std::string>{"1P.DAT", "Company.DAT", "empty.LST"}));
  for (const auto& [name, bytes] : files) EXPECT_EQ(ReadFileBytes(out_ / name), bytes) << name;

  // The entries are deflated: compression method 8 in the first local header.
  std::string raw = ReadFileBytes(zip);
  ASSERT_GE(raw.size(), 30u);
  EXPECT_EQ(raw.substr(0, 4), std::string("PK\x03\x04", 4));
  EXPECT_EQ(static_cast<unsigned char>(raw[8]), 8);
  EXPECT_EQ(raw[9], 0);
}

TEST_F(ZipArchiveTest, ProgressFollowsEveryEntryFromZeroToHundred) {
  fs::path zip = root_ / "a.zip";
  WriteFileBytes(src_ / "a.DAT", NoiseBytes(300000, 2));
  WriteFileBytes(src_ / "b.IX", "b");
  ZipWriter writer;
  ASSERT_TRUE(writer.Create(zip.string()).ok());
  ASSERT_TRUE(writer.AddFile(src_.string(), "a.DAT").ok());
  ASSERT_TRUE(writer.AddFile(src_.string(), "b.IX").ok());
  std::vector<std::tuple<std::string, int, int, int>> calls;
  ItemProgress record = [&](const std::string& name, int n, int m, int p) {
    calls.emplace_back(name, n, m, p);
  };
  ASSERT_TRUE(writer.Close(record).ok());

  // Entries in order, each from 0 up to 100, told finished exactly once.
  auto check = [&](const char* what) {
    SCOPED_TRACE(what);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), std::make_tuple(std::string("a.DAT"), 1, 2, 0));
    EXPECT_EQ(calls.back(), std::make_tuple(std::string("b.IX"), 2, 2, 100));
    int finished[3] = {0, 0, 0};
    for (size_t k = 1; k < calls.size(); ++k) {
      auto [name, n, m, p] = calls[k];
      auto [prev_name, prev_n, prev_m, prev_p] = calls[k - 1];
      EXPECT_TRUE(n > prev_n || (n == prev_n && p >= prev_p)) << name << " " << p;
      if (p == 100) ++finished[n];
    }
    EXPECT_EQ(finished[1], 1);
    EXPECT_EQ(finished[2], 1);
  };
  check("writing");

  ZipReader reader;
  ASSERT_TRUE(reader.Open(zip.string()).ok());
  calls.clear();
  ASSERT_TRUE(reader.Verify(record).ok());
  check("checking");
  calls.clear();
  ASSERT_TRUE(reader.ExtractAll(out_.string(), record).ok());
  check("extracting");
}

TEST_F(ZipArchiveTest, WriterRefusesBadAdditionsWithTheFileNamed) {
  fs::path zip = root_ / "a.zip";
  WriteFileBytes(src_ / "1P.DAT", "data");
  ZipWriter writer;
  ASSERT_TRUE(writer.Create(zip.string()).ok());
  EXPECT_EQ(writer.AddFile(src_.string(), "nope.DAT").message,
            "Unable to read \"" + (src_ / "nope.DAT").string() +
                "\": No such file or directory");
  EXPECT_EQ(writer.AddFile(src_.string(), "../1P.DAT").message,
            "Unable to add \"../1P.DAT\": not a plain file name");
  fs::create_directories(src_ / "dir.DAT");
  EXPECT_EQ(writer.AddFile(src_.string(), "dir.DAT").message,
            "Unable to read \"" + (src_ / "dir.DAT").string() + "\": not a regular file");
  ASSERT_TRUE(writer.AddFile(src_.string(), "1P.DAT").ok());
  EXPECT_EQ(writer.AddFile(src_.string(), "1P.DAT").message,
            "Unable to add \"1P.DAT\": the archive already holds it");
  // The refusals did not spoil the archive.
  ASSERT_TRUE(writer.Close(nullptr).ok());
  ZipReader reader;
  ASSERT_TRUE(reader.Open(zip.string()).ok());
  EXPECT_EQ(reader.Count(), 1);
}

TEST_F(ZipArchiveTest, CreateInAMissingOrImpossibleFolderFails) {
  ZipWriter writer;
  std::string missing = (root_ / "no-such-dir" / "a.zip").string();
  EXPECT_EQ(writer.Create(missing).message,
            "Unable to create \"" + missing + "\": No such file or directory");
  WriteFileBytes(root_ / "plain", "x");
  std::string under_file = (root_ / "plain" / "a.zip").string();
  EXPECT_EQ(writer.Create(under_file, "shown.zip").message,
            "Unable to create \"shown.zip\": Not a directory");
}

TEST_F(ZipArchiveTest, FailedCloseLeavesThePreviousArchiveUntouched) {
  fs::path zip = root_ / "a.zip";
  ASSERT_TRUE(Archive(zip, {{"old.DAT", "old contents"}}).ok());
  std::string before = ReadFileBytes(zip);

  {  // A file that disappears before it is read.
    WriteFileBytes(src_ / "1P.DAT", "one");
    WriteFileBytes(src_ / "2P.DAT", "two");
    ZipWriter writer;
    ASSERT_TRUE(writer.Create(zip.string()).ok());
    ASSERT_TRUE(writer.AddFile(src_.string(), "1P.DAT").ok());
    ASSERT_TRUE(writer.AddFile(src_.string(), "2P.DAT").ok());
    fs::remove(src_ / "2P.DAT");
    EXPECT_EQ(writer.Close(nullptr).message,
              "Unable to read \"" + (src_ / "2P.DAT").string() +
                  "\": No such file or directory");
  }
  {  // A file that shrinks between adding and reading.
    WriteFileBytes(src_ / "1P.DAT", NoiseBytes(10000, 3));
    ZipWriter writer;
    ASSERT_TRUE(writer.Create(zip.string()).ok());
    ASSERT_TRUE(writer.AddFile(src_.string(), "1P.DAT").ok());
    WriteFileBytes(src_ / "1P.DAT", "short");
    EXPECT_EQ(writer.Close(nullptr).message,
              "Unable to read \"" + (src_ / "1P.DAT").string() +
                  "\": the file changed while it was being archived");
  }
  {  // Nothing added at all.
    ZipWriter writer;
    ASSERT_TRUE(writer.Create(zip.string()).ok());
    EXPECT_EQ(writer.Close(nullptr).message,
              "Unable to write \"" + zip.string() + "\": there are no files to archive");
  }
  EXPECT_EQ(ReadFileBytes(zip), before);
  EXPECT_EQ(Listing(root_), (std::vector<std::string>{"a.zip", "out", "src"}));
}

TEST_F(ZipArchiveTest, ReaderRefusesMissingForeignAndTruncatedArchives) {
  ZipReader reader;
  std::string missing = (root_ / "none.zip").string();
  EXPECT_EQ(reader.Open(missing).message,
            "Unable to open \"" + missing + "\": No such file or directory");

  WriteFileBytes(root_ / "text.zip", "this is not an archive at all, just some words");
  EXPECT_EQ(reader.Open((root_ / "text.zip").string()).message,
            "Unable to open \"" + (root_ / "text.zip").string() + "\": Not a zip archive");

  WriteFileBytes(root_ / "empty.zip", "");
  EXPECT_EQ(reader.Open((root_ / "empty.zip").string()).message,
            "Unable to open \"" + (root_ / "empty.zip").string() + "\": Not a zip archive");

  fs::path zip = root_ / "a.zip";
  ASSERT_TRUE(Archive(zip, {{"1P.DAT", NoiseBytes(5000, 4)}, {"2P.DAT", NoiseBytes(5000, 5)}}).ok());
  std::string whole = ReadFileBytes(zip);
  for (size_t cut : {whole.size() - 1, whole.size() - 30, whole.size() / 2, size_t{10}}) {
    WriteFileBytes(zip, whole.substr(0, cut));
    ArchiveStatus st = reader.Open(zip.string());
    EXPECT_FALSE(st.ok()) << "cut at " << cut;
    EXPECT_EQ(st.message.rfind("Unable to open \"" + zip.string() + "\": ", 0), 0u)
        << st.message;
    EXPECT_EQ(reader.Count(), 0);
  }
}

TEST_F(ZipArchiveTest, DamagedEntryDataIsCaughtAndReplacesNothing) {
  fs::path zip = root_ / "a.zip";
  std::string good = NoiseBytes(20000, 6);
  ASSERT_TRUE(Archive(zip, {{"1P.DAT", good}}).ok());
  std::string raw = ReadFileBytes(zip);
  size_t name_len = static_cast<unsigned char>(raw[26]) | static_cast<unsigned char>(raw[27]) << 8;
  size_t extra_len = static_cast<unsigned char>(raw[28]) | static_cast<unsigned char>(raw[29]) << 8;
  size_t data = 30 + name_len + extra_len;
  raw[data + 5000] ^= 0x5a;
  raw[data + 5001] ^= 0xa5;
  WriteFileBytes(zip, raw);

  WriteFileBytes(out_ / "1P.DAT", "current data");
  ZipReader reader;
  ASSERT_TRUE(reader.Open(zip.string()).ok());  // the directory is intact
  ArchiveStatus st = reader.Verify(nullptr);
  EXPECT_EQ(st.message.rfind("Unable to read \"1P.DAT\" in \"" + zip.string() + "\": ", 0), 0u)
      << st.message;
  EXPECT_FALSE(reader.ExtractAll(out_.string(), nullptr).ok());
  EXPECT_EQ(ReadFileBytes(out_ / "1P.DAT"), "current data");
  EXPECT_EQ(Listing(out_), std::vector<std::string>{"1P.DAT"});
}

TEST_F(ZipArchiveTest, EntryNamesThatEscapeTheFolderRefuseTheWholeExtraction) {
  for (const char* bad : {"../evil.DAT", "/tmp/abs.DAT"}) {
    SCOPED_TRACE(bad);
    fs::path zip = root_ / "slip.zip";
    RawArchive(zip, {{"first.DAT", "fine"}, {bad, "payload"}});
    ZipReader reader;
    ASSERT_TRUE(reader.Open(zip.string()).ok());
    EXPECT_EQ(reader.ExtractAll(out_.string(), nullptr).message,
              "Unable to extract \"" + zip.string() + "\": the entry name \"" +
                  std::string(bad) + "\" is not a plain file name");
    EXPECT_TRUE(Listing(out_).empty());
    EXPECT_FALSE(fs::exists(root_ / "evil.DAT"));
  }
  // libzip will not write two entries of one name; rename the second in
  // both its local and its central header. Such an archive is refused as a
  // whole: which of the two would be the data file?
  fs::path zip = root_ / "twice.zip";
  RawArchive(zip, {{"1P.DAT", "one"}, {"2P.DAT", "two"}});
  std::string raw = ReadFileBytes(zip);
  for (size_t at = raw.find("2P.DAT"); at != std::string::npos; at = raw.find("2P.DAT"))
    raw[at] = '1';
  WriteFileBytes(zip, raw);
  ZipReader reader;
  ArchiveStatus st = reader.Open(zip.string());
  if (st.ok()) st = reader.ExtractAll(out_.string(), nullptr);
  EXPECT_EQ(st.message.rfind("Unable to ", 0), 0u) << st.message;
  EXPECT_NE(st.message.find(zip.string()), std::string::npos) << st.message;
  EXPECT_TRUE(Listing(out_).empty());
}

}  // namespace
}  // namespace tallybook::archive
