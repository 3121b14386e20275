// Repeat billing: the setup of masters and the generation of invoices, on
// a company on disk, through the same functions the windows and
// tallybook-admin call.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "billing/repeat_schedule.h"
#include "billing/repeat_test_support.h"
#include "company/keys.h"

namespace tallybook::billing {
namespace {

using company::Date;
using company::TransactionRecord;
using testing::AllRecords;

// Answers every message (Yes to questions), keeping the texts.
using company::testing::AnyMessages;

class RepeatTest : public testing::RepeatOnDisk {
 protected:
  void SetUp() override {
    RepeatOnDisk::SetUp();
    AddCustomer("C1", "First Customer");
    AddCustomer("C2", "Second Customer");
  }

  std::vector<TransactionRecord> Generated(const std::string& master) {
    std::vector<TransactionRecord> found;
    for (const auto& [no, t] : AllRecords<company::TransactionAccess>(*app_)) {
      if (company::Trim(t.InvoiceNo.View()).rfind(master + "G", 0) == 0) {
        found.push_back(t);
      }
    }
    return found;
  }

  std::string Books() {
    std::string bytes;
    for (const char* name : {"1I.DAT", "1D.DAT", "1M.DAT", "1C.DAT",
                             "Company.DAT"}) {
      bytes += FileBytes(name);
    }
    return bytes;
  }
};

TEST_F(RepeatTest, SetupRefusesPaymentsOtherTypesAndLongNumbers) {
  AddBilled("100", "C1", "06/01/2024", {"10"});
  int32_t rec_no = 0;
  const TransactionRecord invoice = Transaction("100", &rec_no);

  TransactionRecord paid = invoice;
  paid.PaidAmount.Set("0.01");
  ui_->messages.ExpectMessage(kPaymentActivityText)
      .WithCaption("Payment Acivity")
      .WithKind(platform::MessageKind::kInformation);
  EXPECT_FALSE(PrepareRepeatSetup(*app_, rec_no, paid));

  // Only an invoice is refused for its payments; other types for the type.
  for (const char* type : {"G", "Z", "X", "D", "T"}) {
    TransactionRecord other = paid;
    other.TypeCode.Set(type);
    ui_->messages.ExpectMessage(kTransactionTypeText)
        .WithCaption("Transaction Type");
    EXPECT_FALSE(PrepareRepeatSetup(*app_, rec_no, other)) << type;
  }

  TransactionRecord long_no = invoice;
  long_no.InvoiceNo.Set("123456");
  ui_->messages.ExpectMessage(kNumberTooLongText)
      .WithCaption("Repeat Billing Setup");
  EXPECT_FALSE(PrepareRepeatSetup(*app_, rec_no, long_no));
  long_no.InvoiceNo.Set(" 12345 ");
  EXPECT_TRUE(PrepareRepeatSetup(*app_, rec_no, long_no));
}

TEST_F(RepeatTest, SetupFormOfAnInvoiceAndOfAMaster) {
  AddBilled("100", "C1", "06/01/2024", {"10"});
  // The record first: it sets rec_no, which the call then reads.
  int32_t rec_no = 0;
  const TransactionRecord invoice = Transaction("100", &rec_no);
  std::optional<RepeatSetupForm> form =
      PrepareRepeatSetup(*app_, rec_no, invoice);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->invoice_label, "Invoice Number: 100");
  EXPECT_EQ(form->date_label, "06/01/2024");
  EXPECT_EQ(form->name_label, "Short Name: SNC1      Customer#: C1");
  EXPECT_FALSE(form->generate);
  EXPECT_TRUE(form->generate_enabled);
  EXPECT_TRUE(form->months);
  EXPECT_EQ(form->interval, "1");
  EXPECT_EQ(form->next_date, "06/01/2024");
  EXPECT_TRUE(form->panel_visible);
  EXPECT_EQ(form->count_label, "");
  // OK is only for a ticked box: unticked, nothing is stored.
  EXPECT_FALSE(SaveRepeatSetup(*app_, *form).changed);
  EXPECT_EQ(Transaction("100").TypeCode.Get(), "I");

  ASSERT_TRUE(SetUpMaster("100", 14, false, "07/04/2024"));
  form = PrepareRepeatSetup(*app_, rec_no, Transaction("100"));
  ASSERT_TRUE(form);
  EXPECT_TRUE(form->generate);
  EXPECT_FALSE(form->generate_enabled);
  EXPECT_FALSE(form->months);
  EXPECT_EQ(form->interval, "14");
  EXPECT_EQ(form->next_date, "07/04/2024");

  // Once it has generated, the count shows and the interval panel hides;
  // a day-first company sees the stored month-first date day first.
  RunThrough({2024, 7, 4}, "07/04/2024");
  company::CompanyRecord c = StoredCompany();
  c.DateOrder.Set("D");
  StoreCompany(c);
  app_->SetShortDateFromCompany();
  form = PrepareRepeatSetup(*app_, rec_no, Transaction("100"));
  ASSERT_TRUE(form);
  EXPECT_EQ(Transaction("100").NextDueDate.Get(), "07/18/2024");
  EXPECT_EQ(form->next_date, "18/07/2024");
  EXPECT_EQ(form->date_label, "01/06/2024");
  EXPECT_FALSE(form->panel_visible);
  EXPECT_EQ(form->count_label, "Invoices Generated to Date: 1");
  // The date is entered day first and stored month first.
  form->next_date = "01/09/2024";
  EXPECT_EQ(CheckRepeatSetup(*app_, *form), RepeatSetupField::kNone);
  ASSERT_TRUE(SaveRepeatSetup(*app_, *form).changed);
  EXPECT_EQ(Transaction("100").NextDueDate.Get(), "09/01/2024");
}

TEST_F(RepeatTest, SetupChecksIntervalThenDate) {
  AddBilled("100", "C1", "06/01/2024", {"10"});
  // The record first: it sets rec_no, which the call then reads.
  int32_t rec_no = 0;
  const TransactionRecord invoice = Transaction("100", &rec_no);
  std::optional<RepeatSetupForm> form =
      PrepareRepeatSetup(*app_, rec_no, invoice);
  ASSERT_TRUE(form);
  form->generate = true;
  const auto check = [&](const std::string& interval, const std::string& date,
                         const char* text, const char* caption,
                         RepeatSetupField field) {
    form->interval = interval;
    form->next_date = date;
    ui_->messages.ExpectMessage(text).WithCaption(caption).WithKind(
        platform::MessageKind::kInformation);
    EXPECT_EQ(CheckRepeatSetup(*app_, *form), field) << interval << date;
  };
  check(" ", "bad", kIntervalBlankText, "Number of Days/Months",
        RepeatSetupField::kInterval);
  check("1x", "bad", kIntervalNotNumberText, "Number of Days/Months",
        RepeatSetupField::kInterval);
  check("0", "bad", kIntervalBlankText, "Number of Days/Months",
        RepeatSetupField::kInterval);
  check("2", "6/1/2024", kInvalidDateText, "Start Date",
        RepeatSetupField::kNextDate);
  check("2", "02/30/2024", kInvalidDateText, "Start Date",
        RepeatSetupField::kNextDate);
  const std::string before = Books();
  // A record changed since it was read is not stored over.
  form->next_date = "07/01/2024";
  form->record.ShortName.Set("OTHER");
  ui_->messages.ExpectMessage(company::kRecordChanged);
  ui_->messages.ExpectMessage(company::kModifyFailed)
      .WithCaption("Repeat Billing Setup");
  EXPECT_FALSE(SaveRepeatSetup(*app_, *form).changed);
  EXPECT_EQ(Books(), before);
}

TEST_F(RepeatTest, ConvertingTakesTheInvoiceOutOfTheBooksAndEachRunBillsIt) {
  AddBilled("1001", "C1", DaysAgoText(30), {"60", "40"});
  EXPECT_EQ(Customer("C1").Aging2.Get(), "100.00");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "100.00");

  ASSERT_TRUE(SetUpMaster("1001", 1, true, "06/30/2024"));
  const TransactionRecord master = Transaction("1001");
  EXPECT_EQ(master.TypeCode.Get(), "R");
  EXPECT_EQ(master.AmountDue.Get(), "0.00");
  EXPECT_EQ(master.GrandTotal.Get(), "100.00");
  EXPECT_EQ(master.NextDueDate.Get(), "06/30/2024");
  EXPECT_EQ(master.RepeatUnit.Get(), "M");
  EXPECT_EQ(master.RepeatInterval.Get(), "1");
  EXPECT_EQ(master.RepeatCount.Get(), "0");
  for (const auto& line : LinesOf("1001")) EXPECT_EQ(line.LineKind.Get(), "R");
  EXPECT_EQ(Customer("C1").Balance.Get(), "0.00");
  EXPECT_EQ(Customer("C1").Aging2.Get(), "0.00");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "0.00");
  EXPECT_EQ(app_->CurrentCompany.ReceivablesBalance.Get(), "0.00");
  {
    // Key 5 (type + number) follows the new type.
    company::TransactionAccess t(*app_);
    ASSERT_TRUE(t.OpenCompanyFile());
    int32_t rec_no = 0;
    std::string found;
    ASSERT_TRUE(t.FindByKey(5, "R1001     ", rec_no, &found));
    EXPECT_EQ(found, "R1001     ");
    t.Close();
  }
  ExpectBalancesAgree();

  // Due on the through-date itself, not the day before.
  EXPECT_TRUE(SearchDueMasters(*app_, {2024, 6, 29}).lines.empty());
  const RepeatSearch search = SearchDueMasters(*app_, {2024, 6, 30});
  ASSERT_EQ(search.lines.size(), 1u);
  EXPECT_EQ(search.lines[0],
            "1001      SNC1             100.00 06/30/2024 C1            0");
  EXPECT_EQ(SelectedText(search.lines.size(), search.sum),
            "There are 1 invoices selected totaling 100.00.");

  RepeatRunResult run = RunThrough({2024, 6, 30}, "07/01/2024");
  EXPECT_TRUE(run.complete());
  EXPECT_EQ(RunCompleteText(run),
            "1 invoices were generated. 1 Monthly Setups and 0 Daily Setups.");
  const TransactionRecord g = Transaction("1001G1");
  EXPECT_EQ(g.TypeCode.Get(), "G");
  EXPECT_EQ(g.DateText.Get(), "07/01/2024");
  EXPECT_EQ(g.SortDate.Get(), "2024/07/01");
  EXPECT_EQ(g.Month.Get() + g.Day.Get() + g.Year.Get(), "07012024");
  EXPECT_EQ(g.GrandTotal.Get(), "100.00");
  EXPECT_EQ(g.AmountDue.Get(), "100.00");
  EXPECT_EQ(g.InvoiceNotes.Get(), "Monthly Service");
  EXPECT_EQ(g.StatementNote.Get(), "Monthly Service");
  EXPECT_EQ(g.PrintedFlag.Get(), "N");
  EXPECT_EQ(g.PaidStatus.Get(), " ");
  EXPECT_EQ(g.CustomerNo.Get(), "C1");
  const auto lines = LinesOf("1001G1");
  ASSERT_EQ(lines.size(), 2u);
  for (const auto& line : lines) {
    EXPECT_EQ(line.LineKind.Get(), "G");
    EXPECT_EQ(line.InvoiceSortDate.Get(), "2024/07/01");
  }
  EXPECT_EQ(LinesOf("1001").size(), 2u);
  EXPECT_EQ(Transaction("1001").NextDueDate.Get(), "07/30/2024");
  EXPECT_EQ(Transaction("1001").RepeatCount.Get(), "1");
  const company::CustomerRecord c1 = Customer("C1");
  EXPECT_EQ(c1.Balance.Get(), "100.00");
  EXPECT_EQ(c1.AgingCurrent.Get(), "100.00");
  EXPECT_EQ(c1.LastInvoiceNo.Get(), "1001G1");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "100.00");
  EXPECT_EQ(StoredCompany().LastRepeatDate.Get(), "07/01/2024");
  EXPECT_EQ(LastGeneratedText(app_->CurrentCompany),
            "Last generated invoices were dated: 07/01/2024");

  run = RunThrough({2024, 7, 30}, "07/30/2024");
  EXPECT_EQ(run.generated, 1);
  EXPECT_EQ(Transaction("1001G2").AmountDue.Get(), "100.00");
  EXPECT_EQ(Customer("C1").Balance.Get(), "200.00");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "200.00");
  ExpectBalancesAgree();
  ExpectFilesSound();
}

TEST_F(RepeatTest, MemoAndDailyMastersAndOneIntervalPerRun) {
  AddBilled("M1", "C2", "06/01/2024", {"25"}, "Lawn care\nEdges trimmed");
  ASSERT_TRUE(SetUpMaster("M1", 14, false, "05/01/2024"));
  // Several intervals behind, it still bills once per run.
  const RepeatRunResult run = RunThrough({2024, 6, 15}, "06/15/2024");
  EXPECT_EQ(run.generated, 1);
  EXPECT_EQ(RunCompleteText(run),
            "1 invoices were generated. 0 Monthly Setups and 1 Daily Setups.");
  EXPECT_EQ(Transaction("M1").NextDueDate.Get(), "05/15/2024");
  const auto memos = AllRecords<company::MemoAccess>(*app_);
  bool copied = false;
  for (const auto& [no, m] : memos) {
    if (m.InvoiceNo.Get() != "M1G1") continue;
    copied = true;
    EXPECT_EQ(m.MemoLines[0].Get(), "Lawn care");
    EXPECT_EQ(m.MemoLines[1].Get(), "Edges trimmed");
  }
  EXPECT_TRUE(copied);
  EXPECT_EQ(memos.size(), 2u);
  ASSERT_EQ(LinesOf("M1G1").size(), 1u);
  EXPECT_EQ(LinesOf("M1G1")[0].LineKind.Get(), "G");
  EXPECT_EQ(Customer("C2").Balance.Get(), "25.00");
  ExpectBalancesAgree();

  // A memo master whose memo is gone bills nothing and stays due.
  {
    company::MemoAccess m(*app_);
    ASSERT_TRUE(m.OpenCompanyFile());
    for (const auto& [no, memo] : memos) {
      if (memo.InvoiceNo.Get() != "M1") continue;
      ASSERT_TRUE(m.GetRecord(no));
      ASSERT_TRUE(m.DeleteWithKeys(no));
    }
    m.Close();
  }
  const std::string before = Books();
  ui_->messages.ExpectMessage(kMemoNotFound).WithCaption(kRepeatWizardCaption);
  ui_->messages.ExpectMessage(NotCreatedText("M1"));
  const RepeatRunResult failed = RunThrough({2024, 6, 15}, "06/15/2024");
  EXPECT_FALSE(failed.complete());
  EXPECT_EQ(RunCompleteText(failed),
            "0 of 1 invoices were generated. 0 Monthly Setups and 0 Daily "
            "Setups.");
  EXPECT_EQ(Transaction("M1").NextDueDate.Get(), "05/15/2024");
  EXPECT_EQ(Generated("M1").size(), 1u);
  EXPECT_EQ(Customer("C2").Balance.Get(), "25.00");
  ExpectBalancesAgree();
  ExpectFilesSound();
  (void)before;
}

TEST_F(RepeatTest, TheLastCountFillsNineCharactersAndTheNextIsRefused) {
  AddBilled("AB12C", "C1", "06/01/2024", {"10"});
  ASSERT_TRUE(SetUpMaster("AB12C", 1, false, "06/01/2024"));
  {
    int32_t rec_no = 0;
    TransactionRecord master = Transaction("AB12C", &rec_no);
    company::TransactionAccess t(*app_);
    ASSERT_TRUE(t.OpenCompanyFile());
    t.SetRecord(master);
    t.rec().RepeatCount.Set("998");
    ASSERT_TRUE(t.ModifyWithKeys(rec_no, master));
    t.Close();
  }
  EXPECT_EQ(RunThrough({2024, 6, 1}, "06/01/2024").generated, 1);
  EXPECT_EQ(Transaction("AB12CG999").InvoiceNo.Get(), "AB12CG999");
  EXPECT_EQ(Transaction("AB12C").RepeatCount.Get(), "999");

  const std::string before = Books();
  ui_->messages.ExpectMessage(RepeatCountFullText("AB12C"));
  ui_->messages.ExpectMessage(NotCreatedText("AB12C"));
  const RepeatRunResult run = RunThrough({2024, 6, 2}, "06/02/2024");
  EXPECT_EQ(run.generated, 0);
  EXPECT_EQ(run.attempted, 1);
  EXPECT_EQ(Books(), before);
}

TEST_F(RepeatTest, AnInvoiceDateThatIsNoDateWritesNothing) {
  AddBilled("100", "C1", "06/01/2024", {"10"});
  ASSERT_TRUE(SetUpMaster("100", 1, true, "06/01/2024"));
  const std::string before = Books();
  ui_->messages.ExpectMessage(kInvalidDateText)
      .WithCaption("Invoice Date")
      .WithKind(platform::MessageKind::kWarning);
  EXPECT_FALSE(RunThrough({2024, 6, 1}, "13/45/2024").complete());
  EXPECT_EQ(Books(), before);
}

// Each write of a run fails in turn. Whatever fails, every invoice there
// is whole, each master's count says how many it billed, and the books
// balance.
TEST_F(RepeatTest, AFailedWriteTakesItsInvoiceBackWhole) {
  AddBilled("1001", "C1", "06/01/2024", {"60", "40"});
  AddBilled("M1", "C2", "06/01/2024", {"25"}, "Lawn care");
  AddBilled("1002", "C2", "06/01/2024", {"5", "6", "7"});
  ASSERT_TRUE(SetUpMaster("1001", 1, true, "06/01/2024"));
  ASSERT_TRUE(SetUpMaster("M1", 7, false, "06/02/2024"));
  ASSERT_TRUE(SetUpMaster("1002", 2, true, "06/03/2024"));
  SaveFilesAside();
  AnyMessages messages;
  const platform::Services services = ServicesWith(messages);
  bool failed_once = false;
  for (int fail_at = 0; fail_at < 400; ++fail_at) {
    RestoreSavedFiles();
    Restart(services);
    messages.texts.clear();
    RepeatRunRequest request;
    request.invoice_date = "06/03/2024";
    for (const std::string& line : SearchDueMasters(*app_, {2024, 6, 3}).lines) {
      request.masters.push_back(MasterNoOfLine(line));
    }
    ASSERT_EQ(request.masters.size(), 3u);
    int writes = 0;
    FailWrite(fail_at, &writes);
    const RepeatRunResult run = CreateRepeatInvoices(*app_, request);
    app_->engine().SetFaultHook({});
    if (writes <= fail_at) {
      EXPECT_TRUE(run.complete());
      EXPECT_EQ(run.generated, 3);
      EXPECT_TRUE(failed_once);
      break;
    }
    failed_once = true;
    SCOPED_TRACE("write " + std::to_string(fail_at) + " failed");
    EXPECT_FALSE(run.complete());
    EXPECT_FALSE(messages.texts.empty());
    int billed = 0;
    for (const auto& [master, lines] :
         std::vector<std::pair<std::string, size_t>>{
             {"1001", 2}, {"M1", 1}, {"1002", 3}}) {
      const std::vector<TransactionRecord> made = Generated(master);
      const TransactionRecord m = Transaction(master);
      EXPECT_EQ(m.RepeatCount.Get(), std::to_string(made.size())) << master;
      for (const TransactionRecord& g : made) {
        EXPECT_EQ(LinesOf(g.InvoiceNo.Get()).size(), lines) << master;
      }
      billed += static_cast<int>(made.size());
    }
    if (run.files_ok) {
      EXPECT_EQ(billed, run.generated);
    }
    ExpectBalancesAgree();
    ExpectFilesSound();
    if (HasFailure()) break;
    app_->engine().StoreShutdown();
    app_.reset();
  }
  app_.reset();
}

// Random invoices, setups and runs: after each step every customer's
// balance is the sum of its open amounts and the receivables their sum.
TEST_F(RepeatTest, RandomSetupsAndRunsKeepTheBooksBalanced) {
  AddCustomer("C3", "Third Customer");
  std::mt19937 random(20240615);
  const auto pick = [&](int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(random);
  };
  const Date today{2024, 6, 15};
  std::vector<std::string> invoices;
  int runs = 0;
  for (int step = 0; step < 40; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const int what = pick(3);
    if (what == 0 || invoices.empty()) {
      const std::string no = std::to_string(2000 + step);
      const std::string customer = "C" + std::to_string(1 + pick(3));
      const std::string date = app_->FormatDate(today.AddDays(-pick(90)));
      const std::string price =
          std::to_string(1 + pick(500)) + "." + std::to_string(10 + pick(90));
      if (pick(3) == 0) {
        AddBilled(no, customer, date, {price}, "Memo " + no);
      } else {
        AddBilled(no, customer, date, {price, "1.05"});
      }
      invoices.push_back(no);
    } else if (what == 1) {
      const std::string no = invoices[pick(static_cast<int>(invoices.size()))];
      SetUpMaster(no, 1 + pick(3), pick(2) == 0,
                  app_->FormatDate(today.AddDays(pick(60) - 30)));
    } else {
      const Date through = today.AddDays(pick(90) - 30);
      const RepeatRunResult run =
          RunThrough(through, app_->FormatDate(through));
      EXPECT_TRUE(run.complete());
      ++runs;
    }
    ExpectBalancesAgree();
    if (HasFailure()) break;
  }
  EXPECT_GT(runs, 5);
  ExpectFilesSound();
}

}  // namespace
}  // namespace tallybook::billing
