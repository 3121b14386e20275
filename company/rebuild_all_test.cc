#include "company/rebuild_all.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "company/aging_test_support.h"
#include "store/errors.h"
#include "store/file_check.h"

namespace tallybook::company {
namespace {

using platform::MessageKind;

class RebuildAllTest : public testing::CompanyOnDisk {
 protected:
  void SetUp() override {
    CompanyOnDisk::SetUp();
    for (int i = 0; i < 60; ++i) {
      const std::string no = std::to_string(i + 1);
      AddCustomer(no, "Customer " + no, "1.00");
      AddTransaction("T" + no, no, DaysAgo(i), "1.00");
    }
    ProductAccess products(*app_);
    ASSERT_TRUE(products.OpenCompanyFile());
    products.ClearRecord();
    products.rec().ProductCode.Set("W1");
    products.rec().ProductDescription.Set("Widget");
    int32_t rec_no = 0;
    ASSERT_TRUE(products.AddWithKeys(rec_no));
    products.Close();
  }

  void ExpectAllSound() {
    for (const char* base : {"Company", "1C", "1I", "1D", "1M", "1P"}) {
      if (!std::filesystem::exists(app_->PathOf(std::string(base) + ".DAT"))) {
        continue;
      }
      EXPECT_EQ(store::CheckFileBlockFiles(app_->PathOf(base)),
                std::vector<std::string>{})
          << base;
    }
  }

  // Whether the customer named name is found by key 1.
  bool CustomerFound(const std::string& name) {
    CustomerAccess customers(*app_);
    EXPECT_TRUE(customers.OpenCompanyFile());
    const std::string key = KeyText(name, kCustomerNameKeyLength);
    int32_t ref = 0;
    std::string found;
    const bool ok = customers.FindByKey(1, key, ref, &found) && found == key;
    customers.Close();
    return ok;
  }
};

TEST_F(RebuildAllTest, EveryFileIsRebuiltInOrderAndLeftSound) {
  // A lost index is made anew from the records.
  std::filesystem::remove(app_->PathOf("1C.IX"));
  ui_->messages.ExpectMessage("The data files have been rebuilt.")
      .WithCaption("Rebuild Complete")
      .WithKind(MessageKind::kInformation);

  RebuildAllResult result = RebuildDataFiles(*app_);

  EXPECT_EQ(result.rebuilt,
            (std::vector<std::string>{"Companies", "Customers", "Invoices",
                                      "Detail Records", "Memo Records",
                                      "Products"}));
  EXPECT_TRUE(result.failed.empty());
  EXPECT_EQ(ui_->progress.show_count(), 6);
  EXPECT_FALSE(ui_->progress.visible());
  ExpectAllSound();
  EXPECT_TRUE(CustomerFound("Customer 37"));
  EXPECT_EQ(StoredCompany().CompanyName.Get(), "Acme Supply");
}

TEST_F(RebuildAllTest, CancelledFilesAreNamedAndTheOthersStillRebuild) {
  // The progress window lets input through once per record and key: the
  // company list and products (one record each) finish before the 100th
  // input, customers and transactions (60 records) are cancelled at it.
  ui_->progress.CancelAfterInputs(100);
  std::filesystem::remove(app_->PathOf("1P.IX"));
  ui_->messages
      .ExpectMessage("These data files were not rebuilt: Customers "
                     "(cancelled), Invoices (cancelled). The other data files "
                     "have been rebuilt. Run Rebuild Data Files again for "
                     "the files not rebuilt.")
      .WithCaption("Rebuild Incomplete")
      .WithKind(MessageKind::kWarning);

  RebuildAllResult result = RebuildDataFiles(*app_);

  EXPECT_EQ(result.rebuilt,
            (std::vector<std::string>{"Companies", "Detail Records",
                                      "Memo Records", "Products"}));
  // A cancelled file stays marked for rebuilding; running the command
  // again finishes it with every record there.
  ui_->progress.CancelAfterInputs(0);
  ui_->messages.ExpectMessage("The data files have been rebuilt.");
  EXPECT_EQ(RebuildDataFiles(*app_).rebuilt.size(), 6u);
  ExpectAllSound();
  EXPECT_TRUE(CustomerFound("Customer 1"));
  EXPECT_TRUE(CustomerFound("Customer 60"));
}

TEST_F(RebuildAllTest, FilesTheCompanyHasNotMadeYetArePassedOver) {
  ASSERT_TRUE(app_->engine().EraseFileBlock(app_->PathOf("1M")));
  ui_->messages.ExpectMessage("The data files have been rebuilt.");
  RebuildAllResult result = RebuildDataFiles(*app_);
  EXPECT_EQ(result.missing, (std::vector<std::string>{"Memo Records"}));
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf("1M.DAT")));
  EXPECT_EQ(ui_->progress.show_count(), 5);
}

TEST_F(RebuildAllTest, ARebuildCutShortIsFinishedFromItsWorkCopy) {
  // A rebuild stopped after the customers data file became its work copy
  // N.SAV: the records are only in 1C.SAV until a rebuild resumes it.
  std::filesystem::rename(app_->PathOf("1C.DAT"), app_->PathOf("1C.SAV"));
  ui_->messages.ExpectMessage("The data files have been rebuilt.");

  RebuildAllResult result = RebuildDataFiles(*app_);

  EXPECT_TRUE(result.missing.empty());
  EXPECT_EQ(result.rebuilt.size(), 6u);
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf("1C.SAV")));
  ExpectAllSound();
  EXPECT_TRUE(CustomerFound("Customer 1"));
  EXPECT_TRUE(CustomerFound("Customer 60"));
}

TEST_F(RebuildAllTest, AFileInUseIsReportedWithItsErrorAndKept) {
  // Another program holds the transactions file open.
  store::Engine other;
  ASSERT_TRUE(other.StoreStartup(0, kPageBuffers));
  store::FileHandle held = store::kNoFileHandle;
  ASSERT_TRUE(other.OpenFileBlock(held, app_->PathOf("1I"), false));
  const std::string before = FileBytes("1I.DAT");
  ui_->messages
      .ExpectMessage("These data files were not rebuilt: Invoices (error "
                     "10140). The other data files have been rebuilt. Run "
                     "Rebuild Data Files again for the files not rebuilt.")
      .WithCaption("Rebuild Incomplete");

  RebuildAllResult result = RebuildDataFiles(*app_);

  ASSERT_EQ(result.failed.size(), 1u);
  EXPECT_EQ(result.rebuilt.size(), 5u);
  ASSERT_TRUE(other.CloseFileBlock(held));
  EXPECT_EQ(FileBytes("1I.DAT"), before);
  ExpectAllSound();
}

}  // namespace
}  // namespace tallybook::company
