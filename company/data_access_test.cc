#include "company/data_access.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "company/keys.h"
#include "platform/testing/scripted_platform.h"
#include "store/file_check.h"
#include "store/store_test_util.h"

namespace tallybook::company {
namespace {

using platform::Answer;
using platform::MessageKind;
using store::OsOperation;
using store::testing::Int32At;
using store::testing::ReadBytes;
using store::testing::ScratchDir;
using store::testing::WriteBytes;

// Records in use (number -> bytes) and every key's entries (key, reference)
// of a closed file block, read from the raw files.
struct FileState {
  std::map<int32_t, std::vector<uint8_t>> records;
  std::vector<std::vector<std::pair<std::string, int32_t>>> keys;
  bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& base, int key_count) {
  FileState state;
  const std::vector<uint8_t> dat = ReadBytes(base + ".DAT");
  const int32_t length = Int32At(dat, 12);
  const int32_t highest = Int32At(dat, 8);
  for (int32_t r = 1; r <= highest; ++r) {
    const size_t at = static_cast<size_t>(r) * length;
    if (at + length > dat.size()) break;
    if (Int32At(dat, at) != 0) continue;
    state.records[r].assign(dat.begin() + at, dat.begin() + at + length);
  }
  for (int k = 1; k <= key_count; ++k) {
    std::vector<store::KeyEntry> entries;
    EXPECT_EQ(store::WalkKeyEntries(base, k, &entries), "") << "key " << k;
    auto& list = state.keys.emplace_back();
    for (const auto& e : entries) list.emplace_back(e.key, e.reference);
  }
  return state;
}

TransactionRecord Invoice(const std::string& no, const std::string& customer,
                          const std::string& sort_date) {
  TransactionRecord t;
  t.InvoiceNo.Set(no);
  t.TypeCode.Set("I");
  t.CustomerNo.Set(customer);
  t.SortDate.Set(sort_date);
  t.KeyCode.Set("None");
  t.PaidSortDate.Set(" ");
  t.GrandTotal.Set("10.00");
  t.AmountDue.Set("10.00");
  return t;
}

class DataAccessTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(engine_.StoreStartup(0, 30)); }

  template <class Access>
  Access Make(const std::string& company_no = "1") {
    return Access(engine_, ui_.messages, ui_.progress, dir_path(), company_no);
  }
  std::string dir_path() const { return dir_.File("").substr(0, dir_.File("").size() - 1); }
  std::string Base(const FileDescription& file) const {
    return FilePathOf(file, dir_path(), "1");
  }
  // Marks a closed file as not closed after changes, as a crash leaves it.
  void SetInUpdateFlag(const std::string& base) {
    std::vector<uint8_t> dat = ReadBytes(base + ".DAT");
    dat.at(20) = 1;
    WriteBytes(base + ".DAT", dat);
  }
  int32_t AddInvoice(TransactionAccess& t, const std::string& no,
                     const std::string& customer = "C1",
                     const std::string& date = "2024/01/15") {
    t.rec() = Invoice(no, customer, date);
    int32_t rec_no = 0;
    EXPECT_TRUE(t.AddWithKeys(rec_no)) << no;
    return rec_no;
  }

  ScratchDir dir_;
  platform::testing::ScriptedPlatform ui_;
  store::Engine engine_;
};

// ---- Opening.

TEST_F(DataAccessTest, MissingFilesAreCreatedWithTheirNotice) {
  ui_.messages
      .ExpectMessage(
          "I am going to create a new, empty invoice file for this company.")
      .WithCaption("New Company")
      .WithKind(MessageKind::kInformation);
  ui_.messages.ExpectMessage(
      "I am going to create a new, empty customer file for this company.");
  ui_.messages.ExpectMessage(
      "I am going to create a new, empty product file for this company.");
  ui_.messages.ExpectMessage("I am going to create a new, empty company file.");
  auto invoices = Make<TransactionAccess>();
  auto lines = Make<LineAccess>();
  auto memos = Make<MemoAccess>();
  auto customers = Make<CustomerAccess>();
  auto products = Make<ProductAccess>();
  auto companies = Make<CompanyListAccess>();
  // Lines and memos are created without a word.
  EXPECT_TRUE(lines.OpenCompanyFile());
  EXPECT_TRUE(memos.OpenCompanyFile());
  EXPECT_EQ(ui_.messages.shown().size(), 0u);
  EXPECT_TRUE(invoices.OpenCompanyFile());
  EXPECT_TRUE(customers.OpenCompanyFile());
  EXPECT_TRUE(products.OpenCompanyFile());
  EXPECT_TRUE(companies.OpenCompanyFile());
  EXPECT_EQ(engine_.KeyCountOf(invoices.handle()), 6);
  EXPECT_EQ(engine_.RecordLengthOf(memos.handle()), 1892);
  EXPECT_TRUE(std::filesystem::exists(dir_.File("1D.DAT")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("1M.IX")));
  EXPECT_TRUE(std::filesystem::exists(dir_.File("Company.DAT")));
  // A second open of an existing file asks nothing.
  ASSERT_TRUE(invoices.Close());
  EXPECT_TRUE(invoices.OpenCompanyFile());
}

TEST_F(DataAccessTest, FilesOfANumberThatIsNoCompanyNumberAreRefused) {
  const std::string outside =
      std::filesystem::path(dir_path()).parent_path().string() + "/zC";
  for (const char* number : {"../z", "/q", ""}) {
    auto c = Make<CustomerAccess>(number);
    EXPECT_FALSE(c.OpenCompanyFile()) << number;
    EXPECT_EQ(engine_.StoreError(), store::kErrAccessDenied);
    EXPECT_FALSE(c.OpenCompanyFileReadOnly());
    EXPECT_FALSE(c.CreateCompanyFile());
    EXPECT_FALSE(c.RebuildCompanyFile());
    EXPECT_EQ(engine_.StoreError(), store::kErrAccessDenied);
  }
  EXPECT_FALSE(std::filesystem::exists(outside + ".DAT"));
  EXPECT_FALSE(std::filesystem::exists("/qC.DAT"));
  EXPECT_FALSE(ui_.progress.visible());
  // The company list has a fixed name: no number is asked of it.
  auto list = Make<CompanyListAccess>("../z");
  ui_.messages.ExpectMessage("I am going to create a new, empty company file.");
  EXPECT_TRUE(list.OpenCompanyFile());
}

TEST_F(DataAccessTest, FailingCreationEndsTheOpenWithFailure) {
  auto lines = LineAccess(engine_, ui_.messages, ui_.progress,
                          dir_.File("no-such-folder"), "1");
  EXPECT_FALSE(lines.OpenCompanyFile());
  EXPECT_FALSE(lines.IsOpen());
}

TEST_F(DataAccessTest, NoToRebuildLeavesTheFileClosed) {
  {
    auto t = Make<TransactionAccess>();
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    ASSERT_TRUE(t.OpenCompanyFile());
    AddInvoice(t, "1001");
  }
  SetInUpdateFlag(Base(TransactionFile()));
  ui_.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kNo)
      .WithKind(MessageKind::kQuestion);
  auto t = Make<TransactionAccess>();
  EXPECT_FALSE(t.OpenCompanyFile());
  EXPECT_FALSE(t.IsOpen());
  EXPECT_EQ(engine_.StoreError(), store::kErrNotClosedCleanly);
  EXPECT_EQ(ui_.progress.show_count(), 0);
}

TEST_F(DataAccessTest, YesToRebuildRebuildsAndOpens) {
  {
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    auto t = Make<TransactionAccess>();
    ASSERT_TRUE(t.OpenCompanyFile());
    for (int i = 0; i < 120; ++i) AddInvoice(t, std::to_string(1000 + i));
  }
  const FileState before = StateOf(Base(TransactionFile()), 6);
  SetInUpdateFlag(Base(TransactionFile()));
  ui_.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kYes);
  auto t = Make<TransactionAccess>();
  ASSERT_TRUE(t.OpenCompanyFile());
  ASSERT_TRUE(t.Close());
  EXPECT_EQ(StateOf(Base(TransactionFile()), 6), before);
  EXPECT_TRUE(store::CheckFileBlockFiles(Base(TransactionFile())).empty());

  EXPECT_EQ(ui_.progress.caption(), "Invoices");
  EXPECT_EQ(ui_.progress.show_count(), 1);
  EXPECT_EQ(ui_.progress.hide_count(), 1);
  EXPECT_FALSE(ui_.progress.visible());
  // The lines at the last multiple of 50 of the last key's pass.
  EXPECT_EQ(ui_.progress.line(0), "Key number: 6");
  EXPECT_EQ(ui_.progress.line(1), "Records read: 100");
  EXPECT_EQ(ui_.progress.line(2), "Records written: 100");
  // Every record let pending input through: 120 per pass, 7 passes.
  EXPECT_EQ(ui_.progress.input_count(), 7 * 120);
}

TEST_F(DataAccessTest, TruncatedIndexIsOfferedForRebuildAndNothingIsLost) {
  {
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    auto t = Make<TransactionAccess>();
    ASSERT_TRUE(t.OpenCompanyFile());
    for (int i = 0; i < 80; ++i) AddInvoice(t, std::to_string(2000 + i));
  }
  const FileState before = StateOf(Base(TransactionFile()), 6);
  std::filesystem::resize_file(dir_.File("1I.IX"), 20);
  ui_.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kYes);
  auto t = Make<TransactionAccess>();
  ASSERT_TRUE(t.OpenCompanyFile());
  ASSERT_TRUE(t.Close());
  EXPECT_EQ(StateOf(Base(TransactionFile()), 6), before);
  EXPECT_TRUE(store::CheckFileBlockFiles(Base(TransactionFile())).empty());
}

TEST_F(DataAccessTest, FailingRebuildEndsTheOpenLoop) {
  ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
  const std::string base = Base(TransactionFile());
  SetInUpdateFlag(base);
  // A work copy beside the data file makes the reorganisation refuse, and
  // the user declines to set the data file aside.
  std::filesystem::copy_file(base + ".DAT", base + ".SAV");
  const std::vector<uint8_t> dat = ReadBytes(base + ".DAT");
  ui_.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kYes);
  ui_.messages
      .ExpectMessage(
          "A rebuild of the data file 1I was cut short: 1I.SAV holds its "
          "records as they were, and 1I.DAT beside it may be incomplete. Set "
          "1I.DAT aside as 1I.PAR (it is kept, not deleted) and finish the "
          "rebuild from 1I.SAV? No leaves both files as they are.",
          Answer::kNo)
      .WithKind(MessageKind::kQuestion);
  auto t = Make<TransactionAccess>();
  EXPECT_FALSE(t.OpenCompanyFile());
  EXPECT_FALSE(t.IsOpen());
  EXPECT_EQ(engine_.StoreError(), store::kErrWorkCopyExists);
  EXPECT_FALSE(ui_.progress.visible());
  EXPECT_EQ(ReadBytes(base + ".DAT"), dat);
  EXPECT_TRUE(std::filesystem::exists(base + ".SAV"));
  EXPECT_FALSE(std::filesystem::exists(base + ".PAR"));
}

TEST_F(DataAccessTest, RebuildCutShortIsResumedFromItsWorkCopyOnYes) {
  {
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    auto t = Make<TransactionAccess>();
    ASSERT_TRUE(t.OpenCompanyFile());
    for (int i = 0; i < 5; ++i) AddInvoice(t, std::to_string(3000 + i));
  }
  const std::string base = Base(TransactionFile());
  const FileState before = StateOf(base, 6);
  // The crash came while the new data file was being written: the complete
  // old file is the work copy, a partial one (here: empty) stands beside it.
  std::filesystem::rename(base + ".DAT", base + ".SAV");
  ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
  SetInUpdateFlag(base);
  const std::vector<uint8_t> partial = ReadBytes(base + ".DAT");
  ui_.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kYes);
  ui_.messages.ExpectMessage(
      InterruptedRebuildText("1I", "1I.PAR"), Answer::kYes);
  auto t = Make<TransactionAccess>();
  ASSERT_TRUE(t.OpenCompanyFile()) << engine_.StoreError();
  ASSERT_TRUE(t.Close());
  EXPECT_EQ(StateOf(base, 6), before);
  EXPECT_EQ(ReadBytes(base + ".PAR"), partial);
  EXPECT_FALSE(std::filesystem::exists(base + ".SAV"));
}

TEST_F(DataAccessTest, RebuildRecoversAFileWhoseHeaderRecordLengthIsDamaged) {
  {
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    auto t = Make<TransactionAccess>();
    ASSERT_TRUE(t.OpenCompanyFile());
    for (int i = 0; i < 7; ++i) AddInvoice(t, std::to_string(4000 + i));
  }
  const std::string base = Base(TransactionFile());
  const FileState before = StateOf(base, 6);
  std::vector<uint8_t> dat = ReadBytes(base + ".DAT");
  store::testing::SetInt32At(dat, 12, 359);  // the record length field only
  WriteBytes(base + ".DAT", dat);

  auto t = Make<TransactionAccess>();
  ASSERT_TRUE(t.RebuildCompanyFile()) << engine_.StoreError();
  ASSERT_TRUE(t.OpenCompanyFile());
  EXPECT_EQ(engine_.CountUsedRecords(t.handle()), 7);
  ASSERT_TRUE(t.Close());
  EXPECT_EQ(StateOf(base, 6), before);
}

TEST_F(DataAccessTest, ProgressLinesAreRefreshedEveryFiftyRecords) {
  {
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    auto t = Make<TransactionAccess>();
    ASSERT_TRUE(t.OpenCompanyFile());
    for (int i = 0; i < 120; ++i) AddInvoice(t, std::to_string(5000 + i));
  }
  auto t = Make<TransactionAccess>();
  ASSERT_TRUE(t.RebuildCompanyFile());
  // The states the user saw, each once: the counters at 50 and 100 of the
  // reorganisation (key 0) and of each of the six key passes.
  std::vector<std::string> seen;
  for (const auto& shot : ui_.progress.history()) {
    const std::string state =
        shot.lines[0] + " | " + shot.lines[1] + " | " + shot.lines[2];
    if (seen.empty() || seen.back() != state) seen.push_back(state);
  }
  std::vector<std::string> expected = {" |  | "};
  for (int key = 0; key <= 6; ++key) {
    for (int read : {50, 100}) {
      expected.push_back("Key number: " + std::to_string(key) +
                         " | Records read: " + std::to_string(read) +
                         " | Records written: " + std::to_string(read));
    }
  }
  EXPECT_EQ(seen, expected);
}

TEST_F(DataAccessTest, WalkIntoADamagedIndexGetsTheFileOfferedForRebuild) {
  const std::string base = Base(TransactionFile());
  {
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    auto t = Make<TransactionAccess>();
    ASSERT_TRUE(t.OpenCompanyFile());
    for (int i = 0; i < 70; ++i) AddInvoice(t, std::to_string(6000 + i));
  }
  const FileState before = StateOf(base, 6);
  // Key 1 (invoice number, 9 characters) comes first in a slot.
  int slot = 0;
  for (const store::KeyDescriptor& k : TransactionFile().keys) {
    slot += 6 + 62 * (k.length + 9);
  }
  store::testing::ShareFirstRootChild(base + ".IX", 0, slot);

  auto t = Make<TransactionAccess>();
  ASSERT_TRUE(t.OpenCompanyFile());
  int32_t ref = 0;
  std::string key;
  int walked = 0;
  while (engine_.NextKey(t.handle(), 1, ref, key)) ++walked;
  EXPECT_EQ(engine_.StoreError(), store::kErrIndexDamaged);
  EXPECT_LT(walked, 70);
  ASSERT_TRUE(t.Close());

  ui_.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kYes);
  ASSERT_TRUE(t.OpenCompanyFile());
  walked = 0;
  while (engine_.NextKey(t.handle(), 1, ref, key)) ++walked;
  EXPECT_EQ(engine_.StoreError(), store::kErrNoNextKey);
  EXPECT_EQ(walked, 70);
  ASSERT_TRUE(t.Close());
  EXPECT_EQ(StateOf(base, 6), before);
}

TEST_F(DataAccessTest, DataFileMissingBesideItsWorkCopyIsRebuiltNotRecreated) {
  {
    ASSERT_TRUE(CreateCustomerFile(engine_, dir_path(), "1"));
    auto c = Make<CustomerAccess>();
    ASSERT_TRUE(c.OpenCompanyFile());
    c.rec().CustomerName.Set("Acme");
    c.rec().CustomerNo.Set("A1");
    int32_t rec_no = 0;
    ASSERT_TRUE(c.AddWithKeys(rec_no));
  }
  const std::string base = Base(CustomerFile());
  // A rebuild that was cut off right after moving the data file aside.
  std::filesystem::rename(base + ".DAT", base + ".SAV");
  ui_.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kYes);
  auto c = Make<CustomerAccess>();
  ASSERT_TRUE(c.OpenCompanyFile());
  int32_t rec_no = 0;
  ASSERT_TRUE(c.FindByKey(1, KeyText("ACME", 30), rec_no));
  ASSERT_TRUE(c.GetRecord(rec_no));
  EXPECT_EQ(c.rec().CustomerNo.Get(), "A1");
  EXPECT_FALSE(std::filesystem::exists(base + ".SAV"));
}

TEST_F(DataAccessTest, CompanyListRebuildShowsWorkingAndCancelStopsIt) {
  {
    auto c = Make<CompanyListAccess>();
    ASSERT_TRUE(c.CreateCompanyFile());
    ASSERT_TRUE(c.OpenCompanyFile());
    c.rec().CompanyNo.Set("1");
    c.rec().CompanyName.Set("First");
    int32_t rec_no = 0;
    ASSERT_TRUE(c.AddWithKeys(rec_no));
  }
  ui_.progress.SetLine(0, "left over");
  auto c = Make<CompanyListAccess>();
  ui_.progress.CancelAfterInputs(1);
  EXPECT_FALSE(c.RebuildCompanyFile());
  EXPECT_EQ(engine_.StoreError(), store::kErrCancelled);
  EXPECT_EQ(ui_.progress.caption(), "Companies");
  ASSERT_FALSE(ui_.progress.history().empty());
  EXPECT_EQ(ui_.progress.history().front().lines[0], "");
  EXPECT_EQ(ui_.progress.history().front().lines[1], "Working...");
  // The cancelled reorganisation put the old data back.
  ui_.progress.CancelAfterInputs(0);
  EXPECT_TRUE(c.RebuildCompanyFile());
  ASSERT_TRUE(c.OpenCompanyFile());
  EXPECT_EQ(engine_.CountUsedRecords(c.handle()), 1);
}

// ---- Add, find, modify, delete.

class OpenInvoicesTest : public DataAccessTest {
 protected:
  void SetUp() override {
    DataAccessTest::SetUp();
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    ASSERT_TRUE(t_.OpenCompanyFile());
  }
  FileState Closed() {
    EXPECT_TRUE(t_.Close());
    FileState s = StateOf(Base(TransactionFile()), 6);
    EXPECT_TRUE(store::CheckFileBlockFiles(Base(TransactionFile())).empty());
    EXPECT_TRUE(t_.OpenCompanyFile());
    return s;
  }

  TransactionAccess t_{engine_, ui_.messages, ui_.progress,
                       dir_.File("").substr(0, dir_.File("").size() - 1), "1"};
};

TEST_F(OpenInvoicesTest, AddedRecordIsFoundByEveryKey) {
  const int32_t rec_no = AddInvoice(t_, "1001", "C7", "2024/03/02");
  const TransactionRecord added = t_.rec();
  for (int k = 1; k <= 6; ++k) {
    int32_t found = 0;
    ASSERT_TRUE(t_.FindByKey(k, BuildKey(added, k), found)) << k;
    EXPECT_EQ(found, rec_no) << k;
  }
  t_.ClearRecord();
  ASSERT_TRUE(t_.GetRecord(rec_no));
  EXPECT_EQ(std::memcmp(&t_.rec(), &added, sizeof added), 0);
}

TEST_F(OpenInvoicesTest, ModifyWithoutKeyChangeTouchesNoIndex) {
  const int32_t rec_no = AddInvoice(t_, "1001");
  AddInvoice(t_, "1002");
  const FileState before = Closed();
  ASSERT_TRUE(t_.GetRecord(rec_no));
  const TransactionRecord read = t_.rec();
  t_.rec().InvoiceNotes.Set("call before delivery");
  int index_writes = 0;
  engine_.SetFaultHook([&](OsOperation op, const std::string& path) {
    if (op == OsOperation::kWrite && path.ends_with(".IX")) {
      ++index_writes;
      return EIO;
    }
    return 0;
  });
  EXPECT_TRUE(t_.ModifyWithKeys(rec_no, read));
  engine_.SetFaultHook({});
  EXPECT_EQ(index_writes, 0);
  const FileState after = Closed();
  EXPECT_EQ(after.keys, before.keys);
  EXPECT_EQ(after.records.at(rec_no).at(76), 'c');
}

TEST_F(OpenInvoicesTest, ModifyMovesChangedKeysOnly) {
  const int32_t rec_no = AddInvoice(t_, "1001", "C1");
  const FileState before = Closed();
  ASSERT_TRUE(t_.GetRecord(rec_no));
  const TransactionRecord read = t_.rec();
  t_.rec().InvoiceNo.Set("2002");
  t_.rec().CustomerNo.Set("C9");
  ASSERT_TRUE(t_.ModifyWithKeys(rec_no, read));
  const FileState after = Closed();
  const TransactionRecord now = t_.rec();
  for (int k = 1; k <= 6; ++k) {
    ASSERT_EQ(after.keys[k - 1].size(), 1u) << k;
    EXPECT_EQ(after.keys[k - 1][0].first, BuildKey(now, k)) << k;
  }
  EXPECT_EQ(after.keys[2], before.keys[2]);  // the date did not change
  EXPECT_EQ(after.keys[0][0].first, "2002     ");
  EXPECT_EQ(after.keys[4][0].first, "I2002     ");
}

TEST_F(OpenInvoicesTest, UnchangedSaveWritesNothing) {
  const int32_t rec_no = AddInvoice(t_, "1001");
  ASSERT_TRUE(t_.GetRecord(rec_no));
  const TransactionRecord read = t_.rec();
  int writes = 0;
  engine_.SetFaultHook([&](OsOperation op, const std::string&) {
    if (op == OsOperation::kWrite) ++writes;
    return op == OsOperation::kWrite ? EIO : 0;
  });
  EXPECT_TRUE(t_.ModifyWithKeys(rec_no, read));
  engine_.SetFaultHook({});
  EXPECT_EQ(writes, 0);
}

TEST_F(OpenInvoicesTest, RecordChangedMeanwhileIsRefused) {
  const int32_t rec_no = AddInvoice(t_, "1001");
  ASSERT_TRUE(t_.GetRecord(rec_no));
  const TransactionRecord read = t_.rec();
  // Another step changes the stored record.
  TransactionRecord other = read;
  other.PaidAmount.Set("5.00");
  ASSERT_TRUE(engine_.PutRecord(t_.handle(), rec_no, &other));
  const FileState before = Closed();

  t_.rec() = read;
  t_.rec().InvoiceNo.Set("1009");
  ui_.messages.ExpectMessage("The record has changed in the meantime.")
      .WithKind(MessageKind::kInformation)
      .WithCaption(kProductTitle);
  EXPECT_FALSE(t_.ModifyWithKeys(rec_no, read));
  EXPECT_EQ(Closed(), before);
}

TEST_F(OpenInvoicesTest, GuardedModifyOfDeletedRecordFails) {
  const int32_t rec_no = AddInvoice(t_, "1001");
  const TransactionRecord read = t_.rec();
  ASSERT_TRUE(t_.DeleteWithKeys(rec_no));
  t_.rec() = read;
  t_.rec().InvoiceNo.Set("1009");
  EXPECT_FALSE(t_.ModifyWithKeys(rec_no, read));
  const FileState after = Closed();
  EXPECT_TRUE(after.records.empty());
  for (const auto& key : after.keys) EXPECT_TRUE(key.empty());
}

TEST_F(OpenInvoicesTest, DeleteRemovesRecordAndEveryKey) {
  const int32_t first = AddInvoice(t_, "1001");
  const int32_t second = AddInvoice(t_, "1002");
  ASSERT_TRUE(t_.GetRecord(first));
  ASSERT_TRUE(t_.DeleteWithKeys(first));
  const FileState after = Closed();
  ASSERT_EQ(after.records.size(), 1u);
  EXPECT_TRUE(after.records.count(second));
  for (const auto& key : after.keys) {
    ASSERT_EQ(key.size(), 1u);
    EXPECT_EQ(key[0].second, second);
  }
}

TEST_F(OpenInvoicesTest, DeleteAttemptsEveryStepAndReportsAMissingKey) {
  const int32_t rec_no = AddInvoice(t_, "1001");
  // Key 2 entry lost by some earlier fault.
  ASSERT_TRUE(engine_.DeleteKey(t_.handle(), 2, rec_no, t_.BuildKey(2)));
  EXPECT_FALSE(t_.DeleteWithKeys(rec_no));
  EXPECT_EQ(engine_.StoreError(), store::kErrDeleteKeyNotFound);
  const FileState after = Closed();
  EXPECT_TRUE(after.records.empty());
  for (const auto& key : after.keys) EXPECT_TRUE(key.empty());
}

TEST_F(OpenInvoicesTest, DuplicateUniqueKeyFailsTheAddAndLeavesNothing) {
  auto c = Make<CustomerAccess>();
  ui_.messages.ExpectMessage(
      "I am going to create a new, empty customer file for this company.");
  ASSERT_TRUE(c.OpenCompanyFile());
  c.rec().CustomerName.Set("Acme");
  c.rec().CustomerNo.Set("A1");
  int32_t rec_no = 0;
  ASSERT_TRUE(c.AddWithKeys(rec_no));
  c.rec().CustomerName.Set("ACME");  // the same key 1
  c.rec().CustomerNo.Set("A2");
  int32_t second = 0;
  EXPECT_FALSE(c.AddWithKeys(second));
  EXPECT_EQ(engine_.StoreError(), store::kErrDuplicateKey);
  ASSERT_TRUE(c.Close());
  const FileState after = StateOf(Base(CustomerFile()), 2);
  EXPECT_EQ(after.records.size(), 1u);
  EXPECT_EQ(after.keys[0].size(), 1u);
  EXPECT_EQ(after.keys[1].size(), 1u);
}

// ---- Plain modify of lines.

TEST_F(DataAccessTest, PlainModifyOfADeletedLineDoesNothingAndSucceeds) {
  auto lines = Make<LineAccess>();
  ASSERT_TRUE(lines.OpenCompanyFile());
  lines.rec().InvoiceNo.Set("1001");
  lines.rec().InvoiceSortDate.Set("2024/01/15");
  int32_t rec_no = 0;
  ASSERT_TRUE(lines.AddWithKeys(rec_no));
  ASSERT_TRUE(lines.DeleteWithKeys(rec_no));
  lines.rec().InvoiceNo.Set("1002");
  EXPECT_TRUE(lines.ModifyWithKeys(rec_no));
  ASSERT_TRUE(lines.Close());
  const FileState after = StateOf(Base(LineFile()), 2);
  EXPECT_TRUE(after.records.empty());
  EXPECT_TRUE(after.keys[0].empty());
  EXPECT_TRUE(after.keys[1].empty());
}

TEST_F(DataAccessTest, PlainModifyRewritesLineAndMovesItsKey) {
  auto lines = Make<LineAccess>();
  ASSERT_TRUE(lines.OpenCompanyFile());
  lines.rec().InvoiceNo.Set("1001");
  lines.rec().InvoiceSortDate.Set("2024/01/15");
  int32_t rec_no = 0;
  ASSERT_TRUE(lines.AddWithKeys(rec_no));
  lines.rec().InvoiceNo.Set("1002");
  ASSERT_TRUE(lines.ModifyWithKeys(rec_no));
  int32_t found = 0;
  std::string key;
  ASSERT_TRUE(lines.FindByKey(2, KeyText("1002", 9), found, &key));
  EXPECT_EQ(found, rec_no);
  EXPECT_EQ(key, "1002     ");
  ASSERT_TRUE(lines.Close());
  EXPECT_EQ(StateOf(Base(LineFile()), 2).keys[1].size(), 1u);
}

TEST_F(DataAccessTest, AbortAtFilesInUseFailsEveryChange) {
  auto lines = Make<LineAccess>();  // never opened: the check fails
  for (int i = 0; i < 3; ++i) {
    ui_.messages.ExpectMessage("The files are in use.  Abort?", Answer::kNo)
        .WithKind(MessageKind::kQuestion);
    ui_.messages.ExpectMessage("The files are in use.  Abort?", Answer::kYes);
  }
  int32_t rec_no = 0;
  EXPECT_FALSE(lines.AddWithKeys(rec_no));
  // The plain modify must not report a change that was never made.
  EXPECT_FALSE(lines.ModifyWithKeys(1));
  EXPECT_FALSE(lines.DeleteWithKeys(1));
  EXPECT_EQ(engine_.StoreError(), store::kErrNotFileBlock);
  // Nor the guarded one.
  auto customers = Make<CustomerAccess>();
  const CustomerRecord before_edit = customers.rec();
  customers.rec().CustomerName.Set("Changed");
  ui_.messages.ExpectMessage("The files are in use.  Abort?", Answer::kYes);
  EXPECT_FALSE(customers.ModifyWithKeys(1, before_edit));
  EXPECT_EQ(engine_.StoreError(), store::kErrNotFileBlock);
}

TEST_F(DataAccessTest, KeyMoveAddsTheNewKeyBeforeDeletingTheOld) {
  ASSERT_TRUE(CreateProductFile(engine_, dir_path(), "1"));
  auto p = Make<ProductAccess>();
  ASSERT_TRUE(p.OpenCompanyFile());
  int32_t first = 0, second = 0;
  p.rec().ProductCode.Set("W1");
  p.rec().ProductDescription.Set("Widget");
  ASSERT_TRUE(p.AddWithKeys(first));
  p.rec().ProductCode.Set("W2");
  p.rec().ProductDescription.Set("Gadget");
  ASSERT_TRUE(p.AddWithKeys(second));
  ASSERT_TRUE(p.Close());
  const FileState before = StateOf(Base(ProductFile()), 2);

  // The new code is taken (key 1 is unique): its add fails first, so the
  // old key was never touched and both products keep their keys.
  ASSERT_TRUE(p.OpenCompanyFile());
  ASSERT_TRUE(p.GetRecord(first));
  const ProductRecord read = p.rec();
  p.rec().ProductCode.Set("W2");
  EXPECT_FALSE(p.ModifyWithKeys(first, read));
  EXPECT_EQ(engine_.StoreError(), store::kErrDuplicateKey);
  ASSERT_TRUE(p.Close());
  EXPECT_EQ(StateOf(Base(ProductFile()), 2), before);
}

// ---- Lock retry.

TEST_F(DataAccessTest, LockClassErrorAsksAndRetriesUntilAbort) {
  ASSERT_TRUE(CreateProductFile(engine_, dir_path(), "1"));
  auto p = Make<ProductAccess>();
  ASSERT_TRUE(p.OpenCompanyFileReadOnly());
  p.rec().ProductCode.Set("W1");
  // A read-only file block refuses changes with 10065, a lock class error.
  ui_.messages.ExpectMessage("Cannot get a lock.  Abort?", Answer::kNo)
      .WithKind(MessageKind::kQuestion);
  ui_.messages.ExpectMessage("Cannot get a lock.  Abort?", Answer::kNo);
  ui_.messages.ExpectMessage("Cannot get a lock.  Abort?", Answer::kYes);
  int32_t rec_no = 0;
  EXPECT_FALSE(p.AddWithKeys(rec_no));
  EXPECT_EQ(engine_.StoreError(), store::kErrReadOnly);
  ASSERT_TRUE(p.Close());
  EXPECT_TRUE(StateOf(Base(ProductFile()), 2).records.empty());
}

TEST_F(DataAccessTest, LockClassErrorRetriedWithNoSucceedsOnceFree) {
  ASSERT_TRUE(CreateProductFile(engine_, dir_path(), "1"));
  auto p = Make<ProductAccess>();
  ASSERT_TRUE(p.OpenCompanyFile());
  p.rec().ProductCode.Set("W1");
  p.rec().ProductDescription.Set("Widget");
  int32_t rec_no = 0;
  ASSERT_TRUE(p.AddWithKeys(rec_no));
  ASSERT_TRUE(p.Close());
  ASSERT_TRUE(p.OpenCompanyFile());
  // The first read of the index fails as "path not found" (9900, lock
  // class); the retry after No finds the file there again.
  int index_reads = 0;
  engine_.SetFaultHook([&](OsOperation op, const std::string& path) {
    if (op == OsOperation::kRead && path.ends_with(".IX")) {
      return ++index_reads == 1 ? ENOTDIR : 0;
    }
    return 0;
  });
  ui_.messages.ExpectMessage("Cannot get a lock.  Abort?", Answer::kNo);
  int32_t found = 0;
  EXPECT_TRUE(p.FindByKey(1, KeyText("W1", 10), found));
  engine_.SetFaultHook({});
  EXPECT_EQ(found, rec_no);
  EXPECT_GE(index_reads, 2);
}

// ---- Faults at the file layer.

// Fails the nth write of any file (1 = the first) with EIO once armed.
class NthWriteFault {
 public:
  explicit NthWriteFault(int n) : n_(n) {}
  int operator()(OsOperation op, const std::string&) {
    if (op != OsOperation::kWrite) return 0;
    return ++*seen_ == n_ ? EIO : 0;
  }
  int seen() const { return *seen_; }

 private:
  int n_;
  std::shared_ptr<int> seen_ = std::make_shared<int>(0);
};

class FaultedChangeTest : public DataAccessTest {
 protected:
  void SetUp() override {
    // Few page buffers, so that key pages are written during the change.
    ASSERT_TRUE(engine_.StoreStartup(0, 8));
    ASSERT_TRUE(CreateTransactionFile(engine_, dir_path(), "1"));
    auto t = Make<TransactionAccess>();
    ASSERT_TRUE(t.OpenCompanyFile());
    for (int i = 0; i < 400; ++i) {
      AddInvoice(t, std::to_string(10000 + i * 7 % 400),
                 "C" + std::to_string(i % 37),
                 "2024/01/" + std::to_string(10 + i % 20));
    }
  }
  std::string base() const { return Base(TransactionFile()); }

  // Runs a change of the file with its nth write failing, for n = 1, 2, ...
  // until the change gets through. prepare fills the record to write (after
  // the file is open, before the fault is armed), change makes it. After
  // every failed try, record and keys must be exactly as they were and the
  // files sound. Returns the number of writes that could fail.
  int FailEachWriteInTurn(const std::function<void(TransactionAccess&)>& prepare,
                          const std::function<bool(TransactionAccess&)>& change,
                          const char* what) {
    const FileState before = StateOf(base(), 6);
    int n = 1;
    for (;; ++n) {
      if (n >= 500) {
        ADD_FAILURE() << "the " << what << " never got through";
        return n;
      }
      auto t = Make<TransactionAccess>();
      EXPECT_TRUE(t.OpenCompanyFile());
      prepare(t);
      NthWriteFault fault(n);
      engine_.SetFaultHook(fault);
      const bool ok = change(t);
      engine_.SetFaultHook({});
      if (ok) {
        EXPECT_LT(fault.seen(), n) << "a failed write was reported as success";
        break;
      }
      EXPECT_TRUE(t.Close()) << "write " << n;
      EXPECT_EQ(StateOf(base(), 6), before) << "write " << n;
      EXPECT_EQ(store::CheckFileBlockFiles(base()),
                std::vector<std::string>{}) << "write " << n;
    }
    RecordProperty("faulted_writes", n - 1);
    return n;
  }
};

TEST_F(FaultedChangeTest, FailedAddLeavesNeitherRecordNorKey) {
  const int n = FailEachWriteInTurn(
      [](TransactionAccess& t) {
        t.rec() = Invoice("10055", "C5", "2024/01/12");
      },
      [](TransactionAccess& t) {
        int32_t rec_no = 0;
        return t.AddWithKeys(rec_no);
      },
      "add");
  EXPECT_GT(n, 2) << "the add wrote nothing that could fail";
}

TEST_F(FaultedChangeTest, FailedModifyLeavesRecordAndKeysAsTheyWere) {
  const int32_t rec_no = 200;
  TransactionRecord read;
  const int n = FailEachWriteInTurn(
      [&](TransactionAccess& t) {
        ASSERT_TRUE(t.GetRecord(rec_no));
        read = t.rec();
        t.rec().InvoiceNo.Set("99999");
        t.rec().CustomerNo.Set("NEW");
        t.rec().SortDate.Set("2025/12/31");
        t.rec().KeyCode.Set("Partial");
      },
      [&](TransactionAccess& t) { return t.ModifyWithKeys(rec_no, read); },
      "modify");
  EXPECT_GT(n, 2) << "the modify wrote nothing that could fail";
}

}  // namespace
}  // namespace tallybook::company
