#include "receivables/interest_run.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "company/op_journal.h"
#include "company/reconcile.h"
#include "company/startup.h"
#include "receivables/interest_test_support.h"

namespace tallybook::receivables {
namespace {

using company::CentsOf;
using company::CustomerRecord;
using company::TransactionRecord;
using platform::Answer;
using platform::MessageKind;

class InterestRunTest : public testing::InterestFixture {};

TEST_F(InterestRunTest, MinimumIsAThresholdAndOnlyOverdueAmountsAreCharged) {
  // Limits 20/45/70: the four amounts are current, 21-45, 46-70, over 70.
  AddAged("A", "Alder", {"0", "10.00", "0", "0"});     // 1.5% = 0.15
  AddAged("B", "Birch", {"0", "6.00", "0", "0"});      // 0.09 < 0.10
  AddAged("D", "Dogwood", {"0", "0", "0", "101.00"});  // 1.515 -> 1.52
  AddAged("C", "Cedar", {"0", "-50.00", "0", "0"});    // a credit
  AddAged("E", "Elm", {"500.00", "0", "0", "0"});      // not overdue
  AddAged("F", "Fir", {"0", "-20.00", "0", "25.00"});  // nets to 5.00
  AddAged("G", "Gum", {"0", "0", "0.20", "0"});        // 0.003 -> 0.00

  InterestSettings s = Settings();
  InterestScanResult r = ScanInterest(*app_, s);
  ASSERT_EQ(r.outcome, ScanOutcome::kFound);
  // Name order (key 1); B's charge is below the minimum and is not raised
  // to it.
  EXPECT_EQ(Charged(r.scan), (std::vector<std::string>{"A 0.15", "D 1.52"}));
  EXPECT_EQ(r.scan.total_overdue, 11100);
  EXPECT_EQ(r.scan.total_charge, 167);
  EXPECT_EQ(InterestGridLines(r.scan),
            (std::vector<GridLine>{
                {"Customer Name", "Customer#", "Over 20 Days", "Interest Chg."},
                {"Alder", "A", "10.00", "0.15"},
                {"Dogwood", "D", "101.00", "1.52"},
                {"Totals:", "", "111.00", "1.67"}}));

  // A minimum of nothing still bills no charge of nothing.
  s.minimum = "0.00";
  EXPECT_EQ(Charged(ScanInterest(*app_, s).scan),
            (std::vector<std::string>{"A 0.15", "B 0.09", "D 1.52", "F 0.08"}));

  // The second and third choices count fewer periods.
  s.aging = InterestAging::kOverLimit2;
  r = ScanInterest(*app_, s);
  EXPECT_EQ(r.scan.aging_caption, "Over 45 Days");
  EXPECT_EQ(Charged(r.scan), (std::vector<std::string>{"D 1.52", "F 0.38"}));
  s.aging = InterestAging::kOverLimit3;
  EXPECT_EQ(Charged(ScanInterest(*app_, s).scan),
            (std::vector<std::string>{"D 1.52", "F 0.38"}));

  // The flat fee ignores the minimum and charges every overdue customer.
  s.aging = InterestAging::kOverLimit1;
  s.flat = true;
  s.flat_rate = "5";
  s.minimum = "9.99";
  EXPECT_EQ(Charged(ScanInterest(*app_, s).scan),
            (std::vector<std::string>{"A 5.00", "B 5.00", "D 5.00", "F 5.00",
                                      "G 5.00"}));

  // Nothing found is told.
  s.flat = false;
  s.percent = "0.001";
  ui_->messages.ExpectMessage(kNoRecordsFound)
      .WithCaption(kInterestWizardCaption)
      .WithKind(MessageKind::kInformation);
  EXPECT_EQ(ScanInterest(*app_, s).outcome, ScanOutcome::kNothingFound);
}

TEST_F(InterestRunTest, ACompanyWithoutACustomersFileFindsNobody) {
  app_->engine().StoreShutdown();
  for (const char* ext : {".DAT", ".IX"}) {
    std::filesystem::remove(std::filesystem::path(dir_) /
                            ("1C" + std::string(ext)));
  }
  ASSERT_TRUE(app_->engine().StoreStartup(0, company::kPageBuffers));
  ui_->messages.ExpectMessage(kNoRecordsFound);
  EXPECT_EQ(ScanInterest(*app_, Settings()).outcome,
            ScanOutcome::kNothingFound);
  // The scan made no file.
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(dir_) / "1C.DAT"));
}

TEST_F(InterestRunTest, SettingsThatAreNoNumbersAreRefusedBeforeTheScan) {
  AddAged("A", "Alder", {"0", "100.00", "0", "0"});
  InterestSettings s = Settings();
  const struct {
    std::string percent, minimum;
    InterestField field;
    std::string text;
  } cases[] = {
      {"abc", ".10", InterestField::kPercent, NotAPercentageText("abc")},
      {"-1.5", ".10", InterestField::kPercent, NotAPercentageText("-1.5")},
      {"101", ".10", InterestField::kPercent, NotAPercentageText("101")},
      {"1.50", "x.10", InterestField::kMinimum,
       "Minimum Interest Charge: x.10 is not an amount."},
      {"1.50", "0.105", InterestField::kMinimum,
       "Minimum Interest Charge: 0.105 has more than two decimals."},
  };
  for (const auto& c : cases) {
    s.percent = c.percent;
    s.minimum = c.minimum;
    ui_->messages.ExpectMessage(c.text).WithKind(MessageKind::kWarning);
    const InterestScanResult r = ScanInterest(*app_, s);
    EXPECT_EQ(r.outcome, ScanOutcome::kRefused) << c.text;
    ASSERT_TRUE(r.refusal) << c.text;
    EXPECT_EQ(r.refusal->field, c.field) << c.text;
    EXPECT_TRUE(r.scan.rows.empty());
  }
  // With the flat fee the percentage and minimum are not used; the flat
  // rate is checked instead.
  s.flat = true;
  const struct {
    std::string rate, caption, text;
  } flat[] = {
      {"", kFlatRateFeeCaption, kNoFlatRate},
      {"0.00", kFlatRateFeeCaption, kNoFlatRate},
      {"-5", kFlatRateAmountCaption, kNegativeFlatRate},
      {"5x", kInvalidFlatRateCaption, kFlatRateNotNumeric},
      {"1,000", kInvalidFlatRateCaption, kFlatRateNotNumeric},
      {"1.2.3", kInvalidFlatRateCaption, kFlatRateNotNumeric},
  };
  for (const auto& f : flat) {
    s.flat_rate = f.rate;
    ui_->messages.ExpectMessage(f.text).WithCaption(f.caption);
    const InterestScanResult r = ScanInterest(*app_, s);
    EXPECT_EQ(r.outcome, ScanOutcome::kRefused) << f.rate;
    ASSERT_TRUE(r.refusal);
    EXPECT_EQ(r.refusal->field, InterestField::kFlatRate);
  }
  s.flat_rate = "2.5";
  EXPECT_EQ(Charged(ScanInterest(*app_, s).scan),
            (std::vector<std::string>{"A 2.50"}));
}

TEST_F(InterestRunTest, GenerationWritesConsecutiveInvoicesAndTheTotals) {
  AddAged("A", "Alder", {"0", "10.00", "0", "0"});
  AddAged("B", "Birch", {"40.00", "0", "0", "101.00"});
  AddAged("C", "Cedar", {"0", "0", "200.00", "0"});
  InterestSettings s = Settings();
  s.mark_printed = true;
  s.invoice_date = "05/01/2024";  // 45 days before today: period 2
  s.comments = "Late fees";
  s.statement_note = "Finance charge";
  InterestScanResult scanned = ScanInterest(*app_, s);
  ASSERT_EQ(scanned.outcome, ScanOutcome::kFound);
  InterestScan scan = scanned.scan;
  const company::Cents receivables_before =
      CentsOf(StoredCompany().ReceivablesBalance.View());

  const InterestRunResult run = GenerateInterest(*app_, s, &scan);
  EXPECT_EQ(run.outcome, RunOutcome::kDone);
  EXPECT_EQ(run.created, 3);
  EXPECT_EQ(run.charged, 15 + 152 + 300);
  EXPECT_EQ(RunCompleteQuestion(run),
            "3 invoices were created. Would you like to send a report to the "
            "printer?");
  EXPECT_EQ(InterestGridLines(scan).back(),
            (GridLine{"Totals:", "", "311.00", "4.67", ""}));
  EXPECT_EQ(InterestGridLines(scan)[2],
            (GridLine{"Birch", "B", "101.00", "1.52", "1006I"}));

  const std::vector<TransactionRecord> inv = Under("1006I");
  ASSERT_EQ(inv.size(), 1u);
  const TransactionRecord& r = inv[0];
  EXPECT_EQ(r.TypeCode.Get(), "I");
  EXPECT_EQ(r.PrintedFlag.Get(), "Y");
  EXPECT_EQ(r.DateText.Get(), "05/01/2024");
  EXPECT_EQ(r.SortDate.Get(), "2024/05/01");
  EXPECT_EQ(r.Month.Get() + r.Day.Get() + r.Year.Get(), "05012024");
  EXPECT_EQ(r.InvoiceNotes.Get(), "Late fees");
  EXPECT_EQ(r.InvoiceTerms.Get(), "Net 30");
  EXPECT_EQ(r.StatementNote.Get(), "Finance charge");
  EXPECT_EQ(r.CustomerNo.Get(), "B");
  EXPECT_EQ(r.ShortName.Get(), "SHORT");
  EXPECT_EQ(r.KeyCode.Get(), "Interest");
  EXPECT_EQ(r.NetAmount.Get(), "1.52");
  EXPECT_EQ(r.TaxAmount.Get(), "0.00");
  EXPECT_EQ(r.GrandTotal.Get(), "1.52");
  EXPECT_EQ(r.PaidAmount.Get(), "0.00");
  EXPECT_EQ(r.AmountDue.Get(), "1.52");
  EXPECT_EQ(r.CompanyNo.Get(), "1");
  EXPECT_EQ(r.InvoiceKind.Get(), "P");

  company::LineAccess lines(*app_);
  ASSERT_TRUE(lines.OpenCompanyFile());
  int32_t rec_no = 0;
  std::vector<company::LineRecord> found;
  while (lines.engine().NextUsedRecord(lines.handle(), rec_no)) {
    ASSERT_TRUE(lines.GetRecord(rec_no));
    found.push_back(lines.rec());
  }
  lines.Close();
  ASSERT_EQ(found.size(), 3u);
  const company::LineRecord& line = found[1];
  EXPECT_EQ(line.InvoiceNo.Get(), "1006I");
  EXPECT_EQ(line.LineText.Get(),
            "1         Interest Charges                1.52      N1.52      ");
  EXPECT_EQ(line.LineKind.Get(), "P");
  EXPECT_EQ(line.LineProductCode.Get(), "Interest");
  EXPECT_EQ(line.InvoiceSortDate.Get(), "2024/05/01");
  EXPECT_EQ(line.CustomerNo.Get(), "B");
  EXPECT_EQ(line.CompanyNo.Get(), "1");

  const CustomerRecord b = Customer("B");
  EXPECT_EQ(b.Balance.Get(), "142.52");
  EXPECT_EQ(b.LastInvoiceNo.Get(), "1006I");
  EXPECT_EQ(b.Aging2.Get(), "1.52");
  EXPECT_EQ(Customer("C").LastInvoiceNo.Get(), "1007I");

  const company::CompanyRecord co = StoredCompany();
  EXPECT_EQ(CentsOf(co.ReceivablesBalance.View()), receivables_before + 467);
  EXPECT_EQ(co.NextInvoiceNo.Get(), "1008");
  EXPECT_EQ(co.LastInvoiceNo.Get(), "1007");
  EXPECT_EQ(co.InterestAgingChoice.Get(), "3");
  EXPECT_EQ(co.InterestPercent.Get(), "1.50");
  EXPECT_EQ(co.InterestMinimum.Get(), ".10");
  EXPECT_EQ(co.InterestMarkPrinted, 1);
  EXPECT_EQ(co.InterestTerms.Get(), "Net 30");
  EXPECT_EQ(co.LastInterestDate.Get(), "05/01/2024");
  EXPECT_EQ(LastInterestText(co), "Last Interest Invoices: 05/01/2024");
  EXPECT_EQ(std::memcmp(&co, &app_->CurrentCompany, sizeof co), 0);
  ExpectBooksAgree("after the run");

  // The kept choices come back the next time.
  const InterestSettings again = StoredInterestSettings(co, "06/15/2024");
  EXPECT_TRUE(again.mark_printed);
  EXPECT_EQ(again.terms, "Net 30");
  EXPECT_EQ(again.invoice_date, "06/15/2024");
  EXPECT_EQ(again.comments, "Interest Charges");
}

TEST_F(InterestRunTest, DatePrefixedCompaniesKeepAPlainCounter) {
  company::CompanyRecord co = StoredCompany();
  co.YearMonthPrefix.Set("Y");
  co.NextInvoiceNo.Set("57");
  StoreCompany(co);
  AddAged("A", "Alder", {"0", "10.00", "0", "0"});
  AddAged("B", "Birch", {"0", "10.00", "0", "0"});
  InterestSettings s = Settings();
  InterestScan scan = ScanInterest(*app_, s).scan;
  EXPECT_EQ(GenerateInterest(*app_, s, &scan).created, 2);
  EXPECT_EQ(InterestInvoices(),
            (std::map<std::string, std::string>{{"57I", "A"}, {"58I", "B"}}));
  // The counter goes on after the run (never back to 0 from characters
  // 5-9 of a short number).
  EXPECT_EQ(StoredCompany().NextInvoiceNo.Get(), "59");
}

TEST_F(InterestRunTest, RefusedRunsWriteNothing) {
  AddAged("A", "Alder", {"0", "10.00", "0", "0"});
  InterestSettings s = Settings();
  InterestScan scan = ScanInterest(*app_, s).scan;
  const company::CompanyRecord before = StoredCompany();

  s.invoice_date = "13/45/2024";
  ui_->messages.ExpectMessage(kInvalidInvoiceDate)
      .WithCaption(kInvoiceDateCaption)
      .WithKind(MessageKind::kWarning);
  InterestRunResult r = GenerateInterest(*app_, s, &scan);
  EXPECT_EQ(r.outcome, RunOutcome::kRefused);
  ASSERT_TRUE(r.refusal);
  EXPECT_EQ(r.refusal->field, InterestField::kInvoiceDate);

  s.invoice_date = "06/15/2024";
  company::CompanyRecord co = before;
  co.NextInvoiceNo.Set("999999999");
  StoreCompany(co);
  ui_->messages.ExpectMessage(InterestNumbersTooLongText("999999999I"))
      .WithKind(MessageKind::kError);
  EXPECT_EQ(GenerateInterest(*app_, s, &scan).outcome, RunOutcome::kRefused);
  EXPECT_TRUE(InterestInvoices().empty());
  EXPECT_EQ(StoredCompany().NextInvoiceNo.Get(), "999999999");
  EXPECT_FALSE(scan.generated);
}

// A store failure at each write of the run: the customers and the company
// change only by the invoices on file, the run counts them, and the
// counter never falls back on a number that was given.
TEST_F(InterestRunTest, AStoreFailureAtEachWriteKeepsTheBooksAgreeing) {
  AddAged("A", "Alder", {"0", "10.00", "0", "0"});
  AddAged("B", "Birch", {"0", "0", "0", "101.00"});
  AddAged("C", "Cedar", {"0", "0", "300.00", "0"});
  testing::AnyMessages messages;
  const platform::Services services = ServicesWith(messages);
  Restart(services);
  SaveFilesAside();
  bool failed_once = false;
  int partly = 0;
  for (int fail_at = 0; fail_at < 300; ++fail_at) {
    RestoreSavedFiles();
    Restart(services);
    InterestSettings s = Settings();
    InterestScan scan = ScanInterest(*app_, s).scan;
    ASSERT_EQ(scan.rows.size(), 3u);
    messages.texts.clear();
    int writes = 0;
    FailWrite(fail_at, &writes);
    const InterestRunResult run = GenerateInterest(*app_, s, &scan);
    app_->engine().SetFaultHook({});
    const std::string when = "write " + std::to_string(fail_at) + " failed";
    SCOPED_TRACE(when);
    // A fresh start, as the user would see the books next.
    Restart(services);
    const std::map<std::string, std::string> on_file = InterestInvoices();
    const bool totals_lost =
        std::count(messages.texts.begin(), messages.texts.end(),
                   InterestTotalsNotStoredText()) > 0;
    if (totals_lost) {
      // Only the receivables are behind; the recalculation the message
      // asks for mends them.
      company::ReconcileBalances(*app_, "1");
    }
    ExpectBooksAgree(when);
    if (run.outcome != RunOutcome::kRefused) {
      if (run.created > 0 && run.created < run.rows) ++partly;
      EXPECT_EQ(static_cast<int>(on_file.size()), run.created);
      EXPECT_GE(company::WholeNumberOr(StoredCompany().NextInvoiceNo.View(), 0),
                1008);
    } else {
      EXPECT_TRUE(on_file.empty());
    }
    for (const InterestRow& row : scan.rows) {
      EXPECT_EQ(on_file.count(row.invoice_no) > 0, row.created)
          << row.invoice_no;
    }
    if (writes <= fail_at) {
      EXPECT_EQ(run.outcome, RunOutcome::kDone);
      EXPECT_TRUE(failed_once);
      break;
    }
    failed_once = true;
    EXPECT_FALSE(messages.texts.empty());
    if (HasFailure()) break;
  }
  // Failures part-way left some customers billed and others not.
  EXPECT_GT(partly, 0);
  app_->engine().StoreShutdown();
  // The App must not outlive the messages it was given.
  app_.reset();
}

// A process killed at any write of a run leaves the books as before the
// run once its journal is played back: no interest invoice, no charge, the
// counter where it was.
TEST_F(InterestRunTest, AKilledRunIsTakenBackWhole) {
  AddAged("A", "Alder", {"0", "10.00", "0", "0"});
  AddAged("B", "Birch", {"0", "0", "0", "101.00"});
  testing::AnyMessages messages;
  const platform::Services services = ServicesWith(messages);
  Restart(services);
  const company::CompanyRecord before = StoredCompany();
  int taken_back = 0;
  for (int kill_at = 1; kill_at < 40; ++kill_at) {
    app_->engine().StoreShutdown();
    const pid_t pid = fork();
    if (pid == 0) {
      int entries = 0;
      company::OperationJournal::AfterEntryHook() = [&](int) {
        if (++entries == kill_at) raise(SIGKILL);
      };
      Restart(services);
      InterestSettings s = Settings();
      InterestScan scan = ScanInterest(*app_, s).scan;
      GenerateInterest(*app_, s, &scan);
      app_->engine().StoreShutdown();
      _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Restart(services);
    if (!WIFSIGNALED(status)) {
      // The run finished before the kill: both invoices stand.
      EXPECT_EQ(InterestInvoices().size(), 2u);
      break;
    }
    const std::string when = "killed at entry " + std::to_string(kill_at);
    const company::PlaybackResult played =
        company::PlayBackJournal(*app_, true);
    ASSERT_TRUE(played.played) << when << ": " << played.error;
    ++taken_back;
    EXPECT_EQ(played.changes, std::vector<std::string>{}) << when;
    EXPECT_TRUE(InterestInvoices().empty()) << when;
    EXPECT_EQ(StoredCompany().NextInvoiceNo.Get(), before.NextInvoiceNo.Get())
        << when;
    ExpectBooksAgree(when);
    if (HasFailure()) break;
  }
  EXPECT_GE(taken_back, 4);
  app_->engine().StoreShutdown();
  app_.reset();
}

// Random books: after any scan and generation every customer's balance is
// the sum of its open amounts, its aging amounts sum to it, and the
// company's receivables are the sum of the balances.
TEST_F(InterestRunTest, RandomBooksStayBalancedAfterARun) {
  std::mt19937 random(20240615);
  auto pick = [&](int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(random);
  };
  for (int c = 0; c < 8; ++c) {
    const std::string no = "K" + std::to_string(c);
    AddCustomer(no, "Customer " + std::string(1, static_cast<char>('H' - c)));
    for (int i = 0, n = pick(5); i < n; ++i) {
      const int cents = pick(4) == 0 ? -(1 + pick(5000)) : 1 + pick(90000);
      AddOpen(no + "-" + std::to_string(i), no, company::CentsText(cents),
              pick(150));
    }
  }
  company::CalculateAging(*app_);
  testing::AnyMessages messages;
  Restart(ServicesWith(messages));
  int runs = 0;
  for (int round = 0; round < 6; ++round) {
    InterestSettings s = Settings();
    s.aging = static_cast<InterestAging>(pick(3));
    s.flat = pick(4) == 0;
    s.flat_rate = company::CentsText(1 + pick(2000));
    s.percent = std::to_string(pick(3)) + "." + std::to_string(pick(1000));
    s.minimum = company::CentsText(pick(200));
    s.invoice_date = app_->FormatDate(DaysAgo(pick(100)));
    InterestScanResult scanned = ScanInterest(*app_, s);
    if (scanned.outcome != ScanOutcome::kFound) continue;
    const int next =
        company::WholeNumberOr(app_->CurrentCompany.NextInvoiceNo.View(), 0);
    const InterestRunResult run = GenerateInterest(*app_, s, &scanned.scan);
    ++runs;
    EXPECT_EQ(run.created, run.rows);
    EXPECT_EQ(company::WholeNumberOr(StoredCompany().NextInvoiceNo.View(), 0),
              next + run.rows);
    const std::string when = "round " + std::to_string(round);
    ExpectBooksAgree(when);
    EXPECT_EQ(company::ReconcileBalances(*app_, "1").changes,
              std::vector<std::string>{})
        << when;
  }
  EXPECT_GE(runs, 3);
  app_->engine().StoreShutdown();
  app_.reset();
}

}  // namespace
}  // namespace tallybook::receivables
