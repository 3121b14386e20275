#include "company/company_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "company/keys.h"
#include "store/errors.h"

namespace tallybook::company {
namespace {

namespace fs = std::filesystem;

TEST(CompanyFileNameTest, TrimmedNumberPlusLetterCutToEight) {
  EXPECT_EQ(CompanyFileName("1", 'P'), "1P");
  EXPECT_EQ(CompanyFileName("  1 ", 'P'), "1P");
  EXPECT_EQ(CompanyFileName("32000", 'I'), "32000I");
  EXPECT_EQ(CompanyFileName("1234567", 'C'), "1234567C");
  // A number longer than 7 characters loses its letter first.
  EXPECT_EQ(CompanyFileName("12345678", 'C'), "12345678");
  EXPECT_EQ(CompanyFileName("123456789", 'C'), "12345678");
  EXPECT_EQ(BaseNameOf(CompanyListFile(), "7"), "Company");
  EXPECT_EQ(BaseNameOf(MemoFile(), " 7 "), "7M");
  EXPECT_EQ(DataPath("/data/tb", "1D"), "/data/tb/1D");
  EXPECT_EQ(FilePathOf(ProductFile(), "/data/tb/", " 3"), "/data/tb/3P");
}

TEST(CompanyNumberTest, OnlyNumbersFromOneTo32000NameFiles) {
  for (const char* good : {"1", " 7 ", "32000", "007", "12"}) {
    EXPECT_TRUE(IsValidCompanyNo(good)) << good;
  }
  for (const char* bad : {"../z", "/q", "", "  ", "0", "32001", "-3", "1/2",
                          "7a", "a7", "1 2", "..", "\t1\n2"}) {
    EXPECT_FALSE(IsValidCompanyNo(bad)) << bad;
  }
  EXPECT_EQ(InvalidCompanyNoText("../z\x01", kCompanyListSource),
            "The company number \"../z?\" in the company list (Company.DAT) "
            "is not a number from 1 to 32000, so no file is opened for it. "
            "Choose another company in the Company Manager, or restore the "
            "data files from a backup.");
}

TEST(FileDescriptionTest, EachFileHasItsLengthKeysAndTexts) {
  struct Expected {
    CompanyFile file;
    char letter;
    int record_length;
    std::vector<std::pair<int, bool>> keys;
    std::vector<int> modify_order;
    std::string notice;
    std::string caption;
    ModifyKind modify;
  };
  const std::vector<Expected> table = {
      {CompanyFile::kCompanyList, 0, 2736, {{5, false}, {30, true}}, {1, 2},
       "I am going to create a new, empty company file.", "Companies",
       ModifyKind::kGuarded},
      {CompanyFile::kProducts, 'P', 300, {{10, false}, {30, true}}, {1, 2},
       "I am going to create a new, empty product file for this company.",
       "Products", ModifyKind::kGuarded},
      {CompanyFile::kCustomers, 'C', 1008, {{30, false}, {8, true}}, {1, 2},
       "I am going to create a new, empty customer file for this company.",
       "Customers", ModifyKind::kGuarded},
      {CompanyFile::kLines, 'D', 132, {{10, true}, {9, true}}, {1, 2}, "",
       "Detail Records", ModifyKind::kPlain},
      {CompanyFile::kTransactions, 'I', 360,
       {{9, true}, {8, true}, {10, true}, {8, true}, {10, true}, {10, true}},
       {1, 3, 4, 5, 6, 2},
       "I am going to create a new, empty invoice file for this company.",
       "Invoices", ModifyKind::kGuarded},
      {CompanyFile::kMemos, 'M', 1892, {{9, false}}, {1}, "", "Memo Records",
       ModifyKind::kPlain},
  };
  for (const Expected& e : table) {
    const FileDescription& d = DescriptionOf(e.file);
    SCOPED_TRACE(d.rebuild_caption);
    EXPECT_EQ(d.file, e.file);
    EXPECT_EQ(d.letter, e.letter);
    EXPECT_EQ(d.record_length, e.record_length);
    ASSERT_EQ(d.KeyCount(), static_cast<int>(e.keys.size()));
    for (size_t k = 0; k < e.keys.size(); ++k) {
      EXPECT_EQ(d.keys[k].length, e.keys[k].first) << "key " << k + 1;
      EXPECT_EQ(d.keys[k].allow_duplicates, e.keys[k].second) << "key " << k + 1;
    }
    EXPECT_EQ(d.modify_key_order, e.modify_order);
    EXPECT_EQ(std::string(d.new_file_notice), e.notice);
    EXPECT_EQ(std::string(d.rebuild_caption), e.caption);
    EXPECT_EQ(d.modify_kind, e.modify);
  }
  EXPECT_STREQ(kNewCompanyCaption, "New Company");
}

TEST(FileDescriptionTest, RawKeyBuildersMatchTheRecordBuildersAndFitTheKeys) {
  TransactionRecord t;
  t.InvoiceNo.Set("123456789");
  t.TypeCode.Set("x");
  t.CustomerNo.Set("abcdefgh");
  t.SortDate.Set("2024/12/31");
  t.KeyCode.Set("deposit");
  t.PaidSortDate.Set("2025/01/02");
  // An odd offset: the store's buffers carry no alignment promise.
  std::vector<uint8_t> buffer(sizeof(t) + 1);
  std::memcpy(buffer.data() + 1, &t, sizeof(t));
  const FileDescription& d = TransactionFile();
  for (int k = 1; k <= d.KeyCount(); ++k) {
    const std::string key = d.build_key(buffer.data() + 1, k);
    EXPECT_EQ(key, BuildKey(t, k));
    EXPECT_LE(static_cast<int>(key.size()), d.keys[k - 1].length);
  }
  EXPECT_EQ(d.build_key(buffer.data() + 1, 7), "");

  store::KeyBuilder builder = StoreKeyBuilder(d);
  std::string key = "unchanged";
  EXPECT_TRUE(builder(buffer.data() + 1, 5, &key));
  EXPECT_EQ(key, "X123456789");
  EXPECT_FALSE(builder(buffer.data() + 1, 0, &key));
  EXPECT_FALSE(builder(buffer.data() + 1, 7, &key));

  // The widest texts each file allows still give keys of the declared
  // lengths, so the store never refuses one as too long.
  CompanyRecord c;
  c.CompanyNo.Set(std::string(5, 'n'));
  c.CompanyName.Set(std::string(35, 'n'));
  CustomerRecord cu;
  cu.CustomerNo.Set(std::string(8, 'n'));
  cu.CustomerName.Set(std::string(35, 'n'));
  ProductRecord p;
  p.ProductCode.Set(std::string(10, 'n'));
  p.ProductDescription.Set(std::string(32, 'n'));
  for (int k = 1; k <= 2; ++k) {
    EXPECT_EQ(static_cast<int>(BuildKey(c, k).size()),
              CompanyListFile().keys[k - 1].length);
    EXPECT_EQ(static_cast<int>(BuildKey(cu, k).size()),
              CustomerFile().keys[k - 1].length);
    EXPECT_EQ(static_cast<int>(BuildKey(p, k).size()),
              ProductFile().keys[k - 1].length);
  }
}

class CompanyFileCreationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tallybook_company_files_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ASSERT_TRUE(engine_.StoreStartup(0, 30));
  }
  void TearDown() override {
    engine_.StoreShutdown();
    fs::remove_all(dir_);
  }

  std::string dir() const { return dir_.string(); }

  fs::path dir_;
  store::Engine engine_;
};

TEST_F(CompanyFileCreationTest, CreatesEveryFileWithItsLayout) {
  ASSERT_TRUE(CreateCompanyListFile(engine_, dir()));
  ASSERT_TRUE(CreateProductFile(engine_, dir(), " 1 "));
  ASSERT_TRUE(CreateCustomerFile(engine_, dir(), "1"));
  ASSERT_TRUE(CreateLineFile(engine_, dir(), "1"));
  ASSERT_TRUE(CreateTransactionFile(engine_, dir(), "1"));
  ASSERT_TRUE(CreateMemoFile(engine_, dir(), "1"));
  for (const char* name : {"Company", "1P", "1C", "1D", "1I", "1M"}) {
    EXPECT_TRUE(fs::exists(dir_ / (std::string(name) + ".DAT"))) << name;
    EXPECT_TRUE(fs::exists(dir_ / (std::string(name) + ".IX"))) << name;
  }
  for (CompanyFile f : {CompanyFile::kCompanyList, CompanyFile::kProducts,
                        CompanyFile::kCustomers, CompanyFile::kLines,
                        CompanyFile::kTransactions, CompanyFile::kMemos}) {
    const FileDescription& d = DescriptionOf(f);
    store::FileHandle h = store::kNoFileHandle;
    ASSERT_TRUE(engine_.OpenFileBlock(h, FilePathOf(d, dir(), "1"), false))
        << d.rebuild_caption << " error " << engine_.StoreError();
    EXPECT_EQ(engine_.RecordLengthOf(h), d.record_length);
    ASSERT_EQ(engine_.KeyCountOf(h), d.KeyCount());
    for (int k = 1; k <= d.KeyCount(); ++k) {
      const store::KeyDescriptor kd = engine_.KeyDescriptorOf(h, k);
      EXPECT_EQ(kd.length, d.keys[k - 1].length);
      EXPECT_EQ(kd.allow_duplicates, d.keys[k - 1].allow_duplicates);
    }
    EXPECT_EQ(engine_.CountUsedRecords(h), 0);
    EXPECT_TRUE(engine_.CloseFileBlock(h));
  }
}

TEST_F(CompanyFileCreationTest, MissingDataDirectoryFailsWithAStatus) {
  const std::string missing = (dir_ / "no" / "such").string();
  EXPECT_FALSE(CreateProductFile(engine_, missing, "1"));
  EXPECT_FALSE(engine_.StoreOK());
  EXPECT_NE(engine_.StoreError(), 0);
  EXPECT_FALSE(fs::exists(dir_ / "no"));
}

TEST_F(CompanyFileCreationTest, OtherCompaniesFilesAreLeftAlone) {
  ASSERT_TRUE(CreateCustomerFile(engine_, dir(), "1"));
  ASSERT_TRUE(CreateCustomerFile(engine_, dir(), "2"));
  store::FileHandle h = store::kNoFileHandle;
  const std::string path = FilePathOf(CustomerFile(), dir(), "1");
  ASSERT_TRUE(engine_.OpenFileBlock(h, path, false));
  CustomerRecord c;
  c.CustomerNo.Set("1");
  c.CustomerName.Set("Kept");
  int32_t rec = 0;
  ASSERT_TRUE(engine_.AddRecord(h, rec, &c));
  ASSERT_TRUE(engine_.CloseFileBlock(h));
  // Re-creating company 2's file does not touch company 1's.
  ASSERT_TRUE(CreateCustomerFile(engine_, dir(), "2"));
  ASSERT_TRUE(engine_.OpenFileBlock(h, path, false));
  EXPECT_EQ(engine_.CountUsedRecords(h), 1);
  EXPECT_TRUE(engine_.CloseFileBlock(h));
}

TEST_F(CompanyFileCreationTest, RebuiltIndexFindsRecordsByTheirKeys) {
  const FileDescription& d = TransactionFile();
  ASSERT_TRUE(CreateTransactionFile(engine_, dir(), "1"));
  const std::string path = FilePathOf(d, dir(), "1");
  store::FileHandle h = store::kNoFileHandle;
  ASSERT_TRUE(engine_.OpenFileBlock(h, path, false));
  for (const char* inv : {"1002", "1001", "1003"}) {
    TransactionRecord t;
    t.InvoiceNo.Set(inv);
    t.TypeCode.Set("I");
    t.CustomerNo.Set("c1");
    t.SortDate.Set("2024/03/04");
    t.KeyCode.Set("None");
    t.PaidSortDate.Set(" ");
    int32_t rec = 0;
    ASSERT_TRUE(engine_.AddRecord(h, rec, &t));
  }
  ASSERT_TRUE(engine_.CloseFileBlock(h));

  bool dumped = false;
  ASSERT_TRUE(store::RebuildIndex(engine_, path, d.keys, 0,
                                  store::NoRecordHook, &dumped, false,
                                  StoreKeyBuilder(d)))
      << engine_.StoreError();
  EXPECT_FALSE(dumped);

  ASSERT_TRUE(engine_.OpenFileBlock(h, path, false));
  int32_t ref = 0;
  std::string key = "I1001     ";
  ASSERT_TRUE(engine_.SearchKey(h, 5, ref, key));
  EXPECT_EQ(key, "I1001     ");
  TransactionRecord found;
  ASSERT_TRUE(engine_.GetRecord(h, ref, &found));
  EXPECT_EQ(found.InvoiceNo.Get(), "1001");
  EXPECT_EQ(engine_.CountKeys(h, 2), 3);
  EXPECT_TRUE(engine_.CheckInvariants(h).empty());
  EXPECT_TRUE(engine_.CloseFileBlock(h));
}

}  // namespace
}  // namespace tallybook::company
