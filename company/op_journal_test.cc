#include "company/op_journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "company/aging_test_support.h"
#include "company/file_key_check.h"
#include "company/money.h"
#include "company/reconcile.h"

namespace tallybook::company {
namespace {

class JournalTest : public testing::CompanyOnDisk {
 protected:
  std::string JournalPath() { return app_->PathOf(kJournalFileName); }

  // Starts an operation that will never finish: its journal stays behind as
  // a killed process leaves it.
  void BeginUnfinished(const std::string& name) {
    journal_ = std::make_unique<OperationJournal>(JournalPath());
    std::string error;
    ASSERT_TRUE(journal_->Begin(name, "1", &error)) << error;
    app_->set_op_journal(journal_.get());
  }
  void Kill() {
    app_->set_op_journal(nullptr);
    journal_.reset();  // closes without removing the file
  }

  CustomerRecord CustomerAt(int32_t rec_no) { return Read<CustomerAccess>(rec_no); }

  void ExpectSound() {
    for (const FileDescription* file :
         {&CompanyListFile(), &CustomerFile(), &TransactionFile()}) {
      EXPECT_EQ(CheckCompanyFileBlock(*file, FilePathOf(*file, dir_, "1")),
                std::vector<std::string>{});
    }
  }

  std::unique_ptr<OperationJournal> journal_;
};

TEST_F(JournalTest, PlaybackTakesBackAddsRewritesAndDeletesNewestFirst) {
  const int32_t kept = AddCustomer("C1", "Kept", "0.00");
  const int32_t gone = AddCustomer("C2", "Deleted meanwhile", "0.00");
  AddTransaction("100", "C1", DaysAgo(0), "25.00");
  ReconcileBalances(*app_, "1");
  const std::string before = FileBytes("1C.DAT");
  const CustomerRecord c1 = CustomerAt(kept);

  BeginUnfinished("Add invoice 101");
  AddTransaction("101", "C1", DaysAgo(0), "75.00");
  {
    CustomerAccess customers(*app_);
    ASSERT_TRUE(customers.OpenCompanyFile());
    ASSERT_TRUE(customers.GetRecord(kept));
    customers.rec().Balance.Set("100.00");
    ASSERT_TRUE(customers.ModifyWithKeys(kept, c1));
    ASSERT_TRUE(customers.GetRecord(gone));
    ASSERT_TRUE(customers.DeleteWithKeys(gone));
    // The freed slot is taken again by the next add.
    customers.ClearRecord();
    customers.rec().CustomerNo.Set("C3");
    customers.rec().CustomerName.Set("Added in the freed slot");
    int32_t rec_no = 0;
    ASSERT_TRUE(customers.AddWithKeys(rec_no));
    EXPECT_EQ(rec_no, gone);
    ASSERT_TRUE(customers.Close());
  }
  Kill();

  ui_->messages.ExpectMessage(
      "The last operation (Add invoice 101) was cut short and has been taken "
      "back whole: 4 record(s) restored. Files rebuilt: 1C, 1I. The balances "
      "agree with the transactions.");
  const PlaybackResult played = PlayBackJournal(*app_);
  EXPECT_TRUE(played.played);
  EXPECT_FALSE(std::filesystem::exists(JournalPath()));
  // The rebuilt file holds the same records; only the order of the slots
  // may differ, so compare what each customer holds.
  EXPECT_EQ(FileBytes("1C.DAT").size(), before.size());
  EXPECT_EQ(CentsOf(CustomerAt(kept).Balance.View()), 2500);
  EXPECT_EQ(CustomerAt(gone).CustomerName.Get(), "Deleted meanwhile");
  EXPECT_EQ(CentsOf(StoredCompany().ReceivablesBalance.View()), 2500);
  int count = 0;
  {
    TransactionAccess t(*app_);
    ASSERT_TRUE(t.OpenCompanyFile());
    count = t.engine().CountUsedRecords(t.handle());
    t.Close();
  }
  EXPECT_EQ(count, 1);
  ExpectSound();
  // Nothing left to play back.
  EXPECT_FALSE(PlayBackJournal(*app_).found);
}

TEST_F(JournalTest, TornAndDamagedJournals) {
  AddCustomer("C1", "Kept", "0.00");
  BeginUnfinished("Post payment");
  AddTransaction("100", "C1", DaysAgo(0), "25.00");
  Kill();
  std::vector<JournalEntry> entries;
  std::string error;
  ASSERT_TRUE(ReadJournal(JournalPath(), &entries, &error));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].operation, "Post payment");
  EXPECT_EQ(entries[1].kind, JournalKind::kAdd);

  // A last entry cut short announced a write that never happened.
  const auto size = std::filesystem::file_size(JournalPath());
  std::filesystem::resize_file(JournalPath(), size - 3);
  entries.clear();
  ASSERT_TRUE(ReadJournal(JournalPath(), &entries, &error));
  EXPECT_EQ(entries.size(), 1u);

  // Not a journal at all: told, and nothing is touched.
  {
    std::ofstream out(JournalPath(), std::ios::binary | std::ios::trunc);
    out << "garbage that is no journal";
  }
  const std::string data = FileBytes("1I.DAT");
  ui_->messages.ExpectMessage("The operation journal " + JournalPath() +
                              " is not a journal.");
  const PlaybackResult played = PlayBackJournal(*app_);
  EXPECT_FALSE(played.played);
  EXPECT_EQ(FileBytes("1I.DAT"), data);

  // While it is there, no new operation starts.
  ui_->messages.ExpectMessage(
      "An earlier operation was not finished (" + JournalPath() +
      " is there). Restart the program, or run \"tallybook-admin "
      "reconcile\", to take it back first. Nothing was changed.");
  JournalScope scope(*app_, "Add invoice 5");
  EXPECT_FALSE(scope.ok());
}

TEST_F(JournalTest, ReconcileSetsEveryFigureFromTheTransactions) {
  AddCustomer("C1", "Owes", "10.00");
  AddCustomer("C2", "Shown zero", "0.00");
  AddTransaction("1", "C1", DaysAgo(5), "40.00");
  AddTransaction("2", "C1", DaysAgo(30), "-15.50");  // a deposit
  AddTransaction("3", "C2", DaysAgo(100), "7.25");
  const ReconcileResult first = ReconcileBalances(*app_, "1");
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(first.changes,
            (std::vector<std::string>{
                "Customer C1: Balance 10.00 -> 24.50",
                "Customer C1: Current 0.00 -> 40.00",
                "Customer C1: Aging 2 0.00 -> -15.50",
                "Customer C2: Balance 0.00 -> 7.25",
                "Customer C2: Aging 4 0.00 -> 7.25",
                "Company 1: Receivables 100.00 -> 31.75"}));
  EXPECT_EQ(app_->CurrentCompany.ReceivablesBalance.Get(), "31.75");
  EXPECT_TRUE(ReconcileBalances(*app_, "1").changes.empty());
}

}  // namespace
}  // namespace tallybook::company
