#include "receivables/payment_posting.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "company/aging.h"
#include "receivables/payment_lines.h"
#include "receivables/payment_test_support.h"

namespace tallybook::receivables {
namespace {

using company::CustomerRecord;
using company::MoneyText;
using company::TransactionRecord;
using platform::Answer;
using testing::AnyMessages;
using testing::PaymentFixture;

class PostPaymentTest : public PaymentFixture {
 protected:
  void SetUp() override {
    PaymentFixture::SetUp();
    AddCustomer("C1", "Acme Widget Company");
    AddCustomer("C2", "Birch Supply");
  }

  std::string Bytes() {
    return FileBytes("1I.DAT") + FileBytes("1I.IX") + FileBytes("1C.DAT") +
           FileBytes("Company.DAT");
  }
};

TEST_F(PostPaymentTest, InvoiceWithoutPaidAmountIsClosedInPlace) {
  AddOpen("1001", "C1", "150.00", 40);
  AddOpen("1002", "C1", "50.00", 10);
  const PostingResult result =
      PostPayment(*app_, Posting("C1", {Whole("1001", 150)}, "Check 553"));
  ASSERT_EQ(result.outcome, PostingOutcome::kPosted);
  EXPECT_EQ(result.items_posted, 1);

  const std::vector<TransactionRecord> paid = Under("1001");
  ASSERT_EQ(paid.size(), 1u);  // no payment record
  EXPECT_EQ(paid[0].TypeCode.Get(), "I");
  EXPECT_EQ(paid[0].PaidStatus.Get(), "P");
  EXPECT_EQ(paid[0].AmountDue.Get(), "0.00");
  EXPECT_EQ(paid[0].PaidAmount.Get(), "150.00");
  EXPECT_EQ(paid[0].PaidSortDate.Get(), "2024/06/15");
  EXPECT_EQ(paid[0].StatementNote.Get(), "Check 553");

  const CustomerRecord c = Customer("C1");
  EXPECT_EQ(c.Balance.Get(), "50.00");
  EXPECT_EQ(c.LastPaymentDate.Get(), "06/15/2024");
  EXPECT_EQ(c.AgingCurrent.Get(), "50.00");
  EXPECT_EQ(c.Aging2.Get(), "0.00");
  EXPECT_EQ(c.Aging4.Get(), "0.00");
  EXPECT_EQ(app_->CurrentCustomer.Balance.Get(), "50.00");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "50.00");
  EXPECT_EQ(app_->CurrentCompany.ReceivablesBalance.Get(), "50.00");
  ExpectBooksBalance({"C1", "C2"});
}

TEST_F(PostPaymentTest, InvoiceCarryingPaidAmountGetsPaymentRecordAndTurnsZ) {
  AddOpen("1003", "C1", "80.00", 50, "20.00");
  ASSERT_EQ(PostPayment(*app_, Posting("C1", {Whole("1003", 80)})).outcome,
            PostingOutcome::kPosted);
  const std::vector<TransactionRecord> records = Under("1003");
  ASSERT_EQ(records.size(), 2u);
  const TransactionRecord& invoice = records[0];
  EXPECT_EQ(invoice.TypeCode.Get(), "Z");
  EXPECT_EQ(invoice.PaidStatus.Get(), "P");
  EXPECT_EQ(invoice.AmountDue.Get(), "0.00");
  EXPECT_EQ(invoice.PaidAmount.Get(), "20.00");
  // Closed as of its own date.
  EXPECT_EQ(invoice.PaidSortDate.Get(), invoice.SortDate.Get());
  const TransactionRecord& payment = records[1];
  EXPECT_EQ(payment.TypeCode.Get(), "X");
  EXPECT_EQ(payment.PaidAmount.Get(), "80.00");
  EXPECT_EQ(payment.GrandTotal.Get(), "0.00");
  EXPECT_EQ(payment.AmountDue.Get(), "0.00");
  EXPECT_EQ(payment.PaidStatus.Get(), "P");
  EXPECT_EQ(payment.DateText.Get(), "06/15/2024");
  EXPECT_EQ(payment.SortDate.Get(), "2024/06/15");
  EXPECT_EQ(payment.KeyCode.Get(), "None");  // as read
  EXPECT_EQ(Customer("C1").Balance.Get(), "0.00");
  ExpectBooksBalance({"C1", "C2"});
}

TEST_F(PostPaymentTest, PartialPaymentsThenTheRestCloseTheInvoice) {
  AddOpen("1004", "C1", "100.00", 30);
  ASSERT_EQ(PostPayment(*app_, Posting("C1", {Partial("1004", 30)})).outcome,
            PostingOutcome::kPosted);
  std::vector<TransactionRecord> records = Under("1004");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].TypeCode.Get(), "Z");
  EXPECT_EQ(records[0].AmountDue.Get(), "70.00");
  EXPECT_EQ(records[0].PaidStatus.Get(), " ");
  EXPECT_EQ(records[1].TypeCode.Get(), "X");
  EXPECT_EQ(records[1].KeyCode.Get(), "Partial");
  EXPECT_EQ(records[1].PaidAmount.Get(), "30.00");
  EXPECT_EQ(records[1].InvoiceKind.Get(), "P");
  EXPECT_EQ(records[1].PaidStatus.Get(), "P");
  EXPECT_EQ(Customer("C1").Balance.Get(), "70.00");
  // The partly paid invoice is listed with its marker.
  std::vector<std::string> lines;
  ASSERT_TRUE(LoadOpenItems(*app_, "C1", &lines));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "1004      05/16/24        70.00P");

  ASSERT_EQ(PostPayment(*app_, Posting("C1", ItemsOfLines(lines))).outcome,
            PostingOutcome::kPosted);
  records = Under("1004");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].AmountDue.Get(), "0.00");
  EXPECT_EQ(records[0].PaidStatus.Get(), "P");
  EXPECT_EQ(records[0].PaidSortDate.Get(), "2024/06/15");
  EXPECT_EQ(records[2].PaidAmount.Get(), "70.00");
  EXPECT_EQ(Customer("C1").Balance.Get(), "0.00");
  ExpectBooksBalance({"C1", "C2"});
}

TEST_F(PostPaymentTest, DepositAloneMayTakeTheBalanceBelowZero) {
  AddOpen("1001", "C1", "10.00");
  const PostingResult result =
      PostPayment(*app_, Posting("C1", {Deposit(25)}, "On account"));
  ASSERT_EQ(result.outcome, PostingOutcome::kPosted);
  ASSERT_EQ(result.deposit_numbers, std::vector<std::string>{"DP2"});
  const std::vector<TransactionRecord> records = Under("DP2");
  ASSERT_EQ(records.size(), 1u);
  const TransactionRecord& d = records[0];
  EXPECT_EQ(d.TypeCode.Get(), "D");
  EXPECT_EQ(d.KeyCode.Get(), "Deposit");
  EXPECT_EQ(d.InvoiceKind.Get(), "D");
  EXPECT_EQ(d.PaidAmount.Get(), "25.00");
  EXPECT_EQ(d.AmountDue.Get(), "-25.00");
  EXPECT_EQ(d.PaidStatus.Get(), "");
  EXPECT_EQ(d.PaidSortDate.Get(), "2024/06/15");
  EXPECT_EQ(d.DateText.Get(), "06/15/2024");
  EXPECT_EQ(d.Month.Get() + d.Day.Get() + d.Year.Get(), "06152024");
  EXPECT_EQ(d.CompanyNo.Get(), "1");
  EXPECT_EQ(d.CustomerNo.Get(), "C1");
  EXPECT_EQ(d.ShortName.Get(), "SHORT");
  EXPECT_EQ(d.StatementNote.Get(), "On account");
  EXPECT_EQ(d.GrandTotal.Get(), "0.00");
  EXPECT_EQ(Customer("C1").Balance.Get(), "-15.00");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "-15.00");
  ExpectBooksBalance({"C1", "C2"});
}

TEST_F(PostPaymentTest, DepositsPostedTogetherGetConsecutiveNumbers) {
  AddOpen("1001", "C1", "10.00");
  const PostingResult result =
      PostPayment(*app_, Posting("C1", {Deposit(10), Deposit(20)}));
  ASSERT_EQ(result.outcome, PostingOutcome::kPosted);
  EXPECT_EQ(result.deposit_numbers, (std::vector<std::string>{"DP2", "DP3"}));
  ExpectBooksBalance({"C1", "C2"});
}

TEST_F(PostPaymentTest, DepositNumberStepsPastNumbersOnFile) {
  // Two records in use, one of them already DP3 (numbered before a purge).
  AddOpen("DP2", "C2", "-5.00", 3, "5.00", "D");
  AddOpen("DP3", "C2", "-6.00", 2, "6.00", "D");
  const PostingResult result = PostPayment(*app_, Posting("C1", {Deposit(7)}));
  ASSERT_EQ(result.outcome, PostingOutcome::kPosted);
  EXPECT_EQ(result.deposit_numbers, std::vector<std::string>{"DP4"});
  EXPECT_EQ(Under("DP3").size(), 1u);
  ExpectBooksBalance({"C1", "C2"});
}

TEST_F(PostPaymentTest, DepositOffsetAgainstEqualInvoiceLeavesBalance) {
  ASSERT_EQ(PostPayment(*app_, Posting("C1", {Deposit(100)})).outcome,
            PostingOutcome::kPosted);
  AddOpen("1005", "C1", "100.00", 5);
  ASSERT_EQ(Customer("C1").Balance.Get(), "0.00");

  std::vector<std::string> lines;
  ASSERT_TRUE(LoadOpenItems(*app_, "C1", &lines));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(MoneyText(PostedTotal(lines)), "0.00");
  ASSERT_EQ(PostPayment(*app_, Posting("C1", ItemsOfLines(lines))).outcome,
            PostingOutcome::kPosted);

  const std::vector<TransactionRecord> deposit = Under("DP1");
  ASSERT_EQ(deposit.size(), 2u);
  EXPECT_EQ(deposit[0].TypeCode.Get(), "D");
  EXPECT_EQ(deposit[0].PaidStatus.Get(), "P");
  EXPECT_EQ(deposit[0].AmountDue.Get(), "0.00");
  EXPECT_EQ(deposit[1].TypeCode.Get(), "T");
  EXPECT_EQ(deposit[1].PaidAmount.Get(), "-100.00");
  EXPECT_EQ(deposit[1].PaidSortDate.Get(), "2024/06/15");
  const std::vector<TransactionRecord> invoice = Under("1005");
  ASSERT_EQ(invoice.size(), 1u);
  EXPECT_EQ(invoice[0].PaidStatus.Get(), "P");
  EXPECT_EQ(invoice[0].PaidAmount.Get(), "100.00");
  EXPECT_EQ(Customer("C1").Balance.Get(), "0.00");
  EXPECT_EQ(Customer("C1").LastPaymentDate.Get(), "06/15/2024");
  ExpectBooksBalance({"C1", "C2"});
}

TEST_F(PostPaymentTest, AnItemThatNoLongerMatchesStopsThePostingUnwritten) {
  AddOpen("1001", "C1", "40.00");
  AddOpen("1002", "C1", "60.00");
  AddOpen("1003", "C2", "70.00");
  ASSERT_EQ(PostPayment(*app_, Posting("C1", {Whole("1002", 60)})).outcome,
            PostingOutcome::kPosted);
  const std::string before = Bytes();

  struct Case {
    std::vector<PaymentItem> items;
    std::string text;
  };
  const Case cases[] = {
      // Already paid: the first item is good, the second stops it all.
      {{Whole("1001", 40), Whole("1002", 60)}, ItemNotOpenText("1002")},
      {{Whole("1001", 45)}, ItemAmountChangedText("1001")},
      {{Whole("1003", 70)}, ItemNotOpenText("1003")},  // another customer's
      {{Whole("9999", 1)}, ItemNotOpenText("9999")},
      {{Partial("1001", 41)}, ItemAmountChangedText("1001")},
      {{Partial("1001", 0)}, ItemAmountNotAboveZeroText("1001")},
      // Paid whole, then a part of it again.
      {{Whole("1001", 40), Partial("1001", 5)}, ItemNotOpenText("1001")},
      {{Deposit(0)}, ItemAmountNotAboveZeroText(kDepositLineNo)},
  };
  for (const Case& c : cases) {
    ui_->messages.ExpectMessage(c.text)
        .WithCaption(kPaymentWizardCaption)
        .WithKind(platform::MessageKind::kWarning);
    EXPECT_EQ(PostPayment(*app_, Posting("C1", c.items)).outcome,
              PostingOutcome::kRefused)
        << c.text;
    EXPECT_EQ(Bytes(), before) << c.text;
  }
}

TEST_F(PostPaymentTest, TwoPartsOfOneInvoiceAreJudgedInTurn) {
  AddOpen("1001", "C1", "100.00");
  ASSERT_EQ(PostPayment(*app_, Posting("C1", {Partial("1001", 30),
                                              Whole("1001", 70)}))
                .outcome,
            PostingOutcome::kPosted);
  const std::vector<TransactionRecord> records = Under("1001");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].PaidStatus.Get(), "P");
  EXPECT_EQ(records[0].AmountDue.Get(), "0.00");
  ExpectBooksBalance({"C1", "C2"});
}

TEST_F(PostPaymentTest, BadAgingDaysRefuseBeforeWriting) {
  AddOpen("1001", "C1", "40.00");
  company::CompanyRecord company = StoredCompany();
  company.AgingDays2.Set("");
  StoreCompany(company);
  const std::string before = Bytes();
  ui_->messages.ExpectMessage(company::kBadAgingDays);
  EXPECT_EQ(PostPayment(*app_, Posting("C1", {Whole("1001", 40)})).outcome,
            PostingOutcome::kRefused);
  EXPECT_EQ(Bytes(), before);
}

// Each write of the posting fails in turn. Whatever is left written, the
// balances follow the items written, and a failure is never a posting.
TEST_F(PostPaymentTest, AStoreFailureAnywhereKeepsTheBooksBalanced) {
  AddOpen("1001", "C1", "40.00");
  AddOpen("1002", "C1", "60.00", 0, "10.00");
  AddOpen("1003", "C1", "90.00");
  SaveFilesAside();
  AnyMessages messages;
  const platform::Services services = ServicesWith(messages);
  bool failed_once = false;
  for (int fail_at = 0; fail_at < 200; ++fail_at) {
    RestoreSavedFiles();
    Restart(services);
    messages.texts.clear();
    int writes = 0;
    FailWrite(fail_at, &writes, "1I.");
    const PostingResult result = PostPayment(
        *app_, Posting("C1", {Whole("1001", 40), Partial("1003", 25),
                              Whole("1002", 60), Deposit(5)}));
    app_->engine().SetFaultHook({});
    if (writes <= fail_at) {
      // Every write ran: the last round posted everything.
      EXPECT_EQ(result.outcome, PostingOutcome::kPosted);
      EXPECT_TRUE(failed_once);
      break;
    }
    failed_once = true;
    SCOPED_TRACE("write " + std::to_string(fail_at) + " failed");
    EXPECT_EQ(result.outcome, PostingOutcome::kIncomplete);
    ASSERT_FALSE(messages.texts.empty());
    if (result.items_posted < 4) {
      EXPECT_EQ(messages.texts.back(),
                IncompletePostingText(result.items_posted, 4,
                                      result.amount_posted));
    } else {
      // Every item is in the records; the index pages written at the close
      // are what failed, and the file is rebuilt when next opened.
      EXPECT_EQ(messages.texts.back().rfind(
                    "The invoice file could not be closed", 0),
                0u);
    }
    ExpectBooksBalance({"C1", "C2"});
    app_->engine().StoreShutdown();
    app_.reset();
  }
  // The App must not outlive the messages it was given.
  app_.reset();
}

// Random invoices, partial payments, deposits and offsets: after every
// posting the books balance.
TEST_F(PostPaymentTest, RandomPaymentsKeepTheBooksBalanced) {
  AddCustomer("C3", "Cedar Hall");
  const std::vector<std::string> customers = {"C1", "C2", "C3"};
  std::mt19937 random(20240615);
  auto pick = [&](int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(random);
  };
  int next_invoice = 1000;
  int postings = 0;
  for (int step = 0; step < 60; ++step) {
    const std::string customer = customers[pick(3)];
    if (pick(3) == 0) {
      const int cents = 100 + pick(50000);
      AddOpen(std::to_string(++next_invoice), customer,
              MoneyText(cents / 100.0), pick(120),
              pick(4) == 0 ? "5.00" : "0.00");
      continue;
    }
    std::vector<std::string> source;
    ASSERT_TRUE(LoadOpenItems(*app_, customer, &source));
    std::vector<std::string> destination;
    for (const std::string& line : source) {
      if (pick(2) == 0) continue;
      const ItemLine item = ParseItemLine(line);
      if (CanPayPartly(item) && item.amount >= 0.02 && pick(3) == 0) {
        const int64_t due = std::llround(item.amount * 100);
        const double part = (1 + pick(static_cast<int>(due - 1))) / 100.0;
        destination.push_back(BuildItemLine(item.invoice_no, item.date, part,
                                            true));
        if (pick(2) == 0) {
          destination.push_back(BuildItemLine(
              item.invoice_no, item.date,
              company::MoneyToDouble(MoneyText(item.amount - part)), false));
        }
      } else {
        destination.push_back(line);
      }
    }
    if (pick(4) == 0) {
      destination.push_back(BuildItemLine(kDepositLineNo, "06/15/24",
                                          (1 + pick(30000)) / 100.0, false));
    }
    if (destination.empty()) continue;
    SCOPED_TRACE("step " + std::to_string(step));
    const PostingResult result =
        PostPayment(*app_, Posting(customer, ItemsOfLines(destination)));
    ASSERT_EQ(result.outcome, PostingOutcome::kPosted);
    EXPECT_EQ(MoneyText(result.amount_posted),
              MoneyText(PostedTotal(destination)));
    ++postings;
    ExpectBooksBalance(customers);
    if (HasFatalFailure() || HasFailure()) break;
  }
  EXPECT_GT(postings, 20);
}

}  // namespace
}  // namespace tallybook::receivables
