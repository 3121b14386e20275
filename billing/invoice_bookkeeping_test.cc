#include "billing/invoice_bookkeeping.h"

#include <gtest/gtest.h>

#include "billing/invoice_test_support.h"
#include "company/data_access.h"
#include "company/money.h"

namespace tallybook::billing {
namespace {

using company::CustomerAccess;
using company::CustomerRecord;
using company::TransactionRecord;
using platform::Answer;
using testing::AllRecords;
using platform::MessageKind;

class BookkeepingTest : public testing::InvoiceOnDisk {
 protected:
  void SetUp() override {
    InvoiceOnDisk::SetUp();
    AddCustomer("C1", "First Customer");
    AddCustomer("C2", "Second Customer");
  }

  // Adds a product invoice of C1 with the given lines; returns the outcome.
  InvoiceOutcome AddProductInvoice(const std::string& customer_no,
                                   const std::vector<InvoiceLine>& lines,
                                   const std::string& paid = "0.00",
                                   const std::string& date = "") {
    return AddInvoice(*app_, Editor([&](InvoiceForm& form) {
      form.kind = InvoiceKind::kLineItems;
      FillInvoice(form, customer_no, lines, paid, date);
    }));
  }
};

TEST_F(BookkeepingTest, AddWritesRecordLinesCustomerCompanyAndLabelQueue) {
  company::CompanyRecord c = app_->CurrentCompany;
  c.LabelOnNewInvoice.Set("Y");
  c.CalcTaxes = 1;
  c.TaxRate.Set("7");
  StoreCompany(c);
  const InvoiceOutcome out = AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    EXPECT_EQ(form.invoice_no, "100");
    EXPECT_EQ(form.key_code, "None");
    EXPECT_EQ(form.date, "06/15/2024");
    EXPECT_TRUE(form.calc_tax);
    form.invoice_no = "a100";
    form.notes = "Rush order";
    form.statement_note = "PO 12";
    form.terms = "Net 30 Days";
    FillInvoice(form, "C1",
                {Line("W1", "1", "Widget", "10", "Y"),
                 Line("", " ", "Handle with care", "", " "),
                 Line("W2", "1", "Gadget", "5", "Y"),
                 Line("W3", "2", "Gizmo", "10.00", "N")},
                "6.05", "06/10/2024");
  }));
  ASSERT_TRUE(out.changed);
  EXPECT_EQ(out.line_count, 4);
  EXPECT_EQ(out.status_text, "Added invoice A100 containing 4 line item(s).");
  EXPECT_EQ(out.receivables, "30.00");
  EXPECT_EQ(out.company_name, "Acme Supply");

  int32_t rec_no = 0;
  const auto t = Transaction("A100", &rec_no);
  EXPECT_EQ(rec_no, out.rec_no);
  EXPECT_EQ(t.TypeCode.Get(), "I");
  EXPECT_EQ(t.DateText.Get(), "06/10/2024");
  EXPECT_EQ(t.Month.Get() + t.Day.Get() + t.Year.Get(), "06102024");
  EXPECT_EQ(t.SortDate.Get(), "2024/06/10");
  EXPECT_EQ(t.InvoiceNotes.Get(), "Rush order");
  EXPECT_EQ(t.StatementNote.Get(), "PO 12");
  EXPECT_EQ(t.InvoiceTerms.Get(), "Net 30 Days");
  EXPECT_EQ(t.KeyCode.Get(), "None");
  EXPECT_EQ(t.ShortName.Get(), "SNC1");
  EXPECT_EQ(t.NetAmount.Get(), "35.00");
  EXPECT_EQ(t.TaxAmount.Get(), "1.05");
  EXPECT_EQ(t.GrandTotal.Get(), "36.05");
  EXPECT_EQ(t.PaidAmount.Get(), "6.05");
  EXPECT_EQ(t.AmountDue.Get(), "30.00");
  EXPECT_EQ(t.PaidStatus.Get(), "");
  EXPECT_EQ(t.PaidSortDate.Get(), "");
  EXPECT_EQ(t.CompanyNo.Get(), "1");
  EXPECT_EQ(t.InvoiceKind.Get(), "P");
  EXPECT_EQ(app_->last_invoice_date, "06/10/2024");

  const auto lines = LinesOf("A100");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].LineText.Get(),
            "1         Widget                          10        Y10.00     ");
  EXPECT_EQ(lines[1].LineText.Get(),
            "          Handle with care                           0.00      ");
  EXPECT_EQ(lines[0].LineKind.Get(), "P");
  EXPECT_EQ(lines[0].LineProductCode.Get(), "W1");
  EXPECT_EQ(lines[0].InvoiceSortDate.Get(), "2024/06/10");
  EXPECT_EQ(lines[0].CustomerNo.Get(), "C1");
  EXPECT_EQ(lines[0].LineShortName.Get(), "SNC1");
  EXPECT_EQ(lines[0].CompanyNo.Get(), "1");

  const CustomerRecord customer = Customer("C1");
  EXPECT_EQ(customer.Balance.Get(), "30.00");
  EXPECT_EQ(customer.AgingCurrent.Get(), "30.00");
  EXPECT_EQ(customer.LastInvoiceNo.Get(), "A100");
  EXPECT_EQ(customer.LastPaymentDate.Get(), "06/10/2024");
  const company::CompanyRecord stored = StoredCompany();
  EXPECT_EQ(stored.ReceivablesBalance.Get(), "30.00");
  EXPECT_EQ(stored.LastInvoiceNo.Get(), "A100");
  // The counter reads "A100" leniently: not a number.
  EXPECT_EQ(stored.NextInvoiceNo.Get(), "1");
  ASSERT_EQ(app_->label_queue.size(), 1u);
  EXPECT_EQ(app_->label_queue[0].customer_no, "C1");
  EXPECT_EQ(app_->label_queue[0].name, "First Customer");
  ExpectFilesSound();
}

TEST_F(BookkeepingTest, CancelWritesNothing) {
  const InvoiceOutcome out = AddInvoice(*app_, &Cancel);
  EXPECT_FALSE(out.changed);
  EXPECT_TRUE(AllRecords<company::TransactionAccess>(*app_).empty());
  EXPECT_EQ(StoredCompany().NextInvoiceNo.Get(), "100");
}

TEST_F(BookkeepingTest, PrefixedNumbersCountOnFromTheirLastFiveCharacters) {
  company::CompanyRecord c = app_->CurrentCompany;
  c.YearMonthPrefix.Set("Y");
  c.NextInvoiceNo.Set("57");
  StoreCompany(c);
  app_->last_invoice_date = "03/20/2024";
  std::string proposed;
  AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    proposed = form.invoice_no;
    FillInvoice(form, "C1", {Line("", "1", "Work", "10", "N")});
  }));
  EXPECT_EQ(proposed, "240357");
  EXPECT_EQ(StoredCompany().NextInvoiceNo.Get(), "58");
  EXPECT_EQ(app_->CurrentCompany.NextInvoiceNo.Get(), "58");
}

TEST_F(BookkeepingTest, PaidInFullInvoiceIsClosedAndLeavesBalance) {
  AddProductInvoice("C1", {Line("", "2", "Work", "12.50", "N")}, "25");
  const auto t = Transaction("100");
  EXPECT_EQ(t.PaidStatus.Get(), "P");
  EXPECT_EQ(t.AmountDue.Get(), "0.00");
  EXPECT_EQ(t.PaidSortDate.Get(), "2024/06/15");
  EXPECT_EQ(Customer("C1").Balance.Get(), "0.00");
  EXPECT_EQ(Customer("C1").LastPaymentDate.Get(), "06/15/2024");
  ExpectBalancesAgree();
}

TEST_F(BookkeepingTest, AgingBucketsAtTheirBoundaries) {
  // Periods 20, 45, 70.
  AddProductInvoice("C1", {Line("", "1", "a", "1", "N")}, "0", DaysAgoText(20));
  AddProductInvoice("C1", {Line("", "1", "b", "2", "N")}, "0", DaysAgoText(21));
  AddProductInvoice("C1", {Line("", "1", "c", "4", "N")}, "0", DaysAgoText(70));
  AddProductInvoice("C1", {Line("", "1", "d", "8", "N")}, "0", DaysAgoText(71));
  AddProductInvoice("C1", {Line("", "1", "e", "16", "N")}, "0",
                    DaysAgoText(-5));
  const CustomerRecord c = Customer("C1");
  EXPECT_EQ(c.AgingCurrent.Get(), "17.00");
  EXPECT_EQ(c.Aging2.Get(), "2.00");
  EXPECT_EQ(c.Aging3.Get(), "4.00");
  EXPECT_EQ(c.Aging4.Get(), "8.00");
  EXPECT_EQ(c.Balance.Get(), "31.00");
  ExpectBalancesAgree();
}

TEST_F(BookkeepingTest, EditMovesAmountAcrossAgingBoundaryAndRewritesLines) {
  AddProductInvoice("C1",
                    {Line("", "1", "a", "10", "N"), Line("", "1", "b", "5", "N"),
                     Line("", "1", "c", "1", "N")},
                    "0", DaysAgoText(20));
  int32_t rec_no = 0;
  const auto before = Transaction("100", &rec_no);
  const InvoiceOutcome out =
      EditInvoice(*app_, rec_no, before, Editor([&](InvoiceForm& form) {
        EXPECT_TRUE(app_->invoice_editing);
        EXPECT_EQ(app_->invoice_no_at_open, "100");
        EXPECT_EQ(app_->invoice_total_at_open, "16.00");
        EXPECT_EQ(form.customer_name, "First Customer");
        EXPECT_EQ(form.lines[1].description, "b");
        EXPECT_EQ(form.lines[1].extension, "5.00");
        form.date = DaysAgoText(21);
        form.lines[1] = ResetLine(app_->CurrentCompany);  // deleted
        form.lines[0].unit_price = "20";
        UpdateExtension(form.lines[0]);
        form.lines[3] = Line("", "1", "d", "3", "N");  // added
        ComputeTotals(form, "0", false);
      }));
  EXPECT_FALSE(app_->invoice_editing);
  ASSERT_TRUE(out.changed);
  EXPECT_EQ(out.status_text, "Editing invoice 100 completed.");
  const auto t = Transaction("100");
  EXPECT_EQ(t.GrandTotal.Get(), "24.00");
  EXPECT_EQ(t.AmountDue.Get(), "24.00");
  EXPECT_EQ(t.PaidStatus.Get(), " ");
  EXPECT_EQ(t.PaidSortDate.Get(), " ");
  const auto lines = LinesOf("100");
  ASSERT_EQ(lines.size(), 3u);
  const CustomerRecord c = Customer("C1");
  EXPECT_EQ(c.AgingCurrent.Get(), "0.00");
  EXPECT_EQ(c.Aging2.Get(), "24.00");
  EXPECT_EQ(c.Balance.Get(), "24.00");
  ExpectBalancesAgree();
  ExpectFilesSound();
}

TEST_F(BookkeepingTest, EditRefusalsComeInOrder) {
  AddProductInvoice("C1", {Line("", "1", "a", "10", "N")});
  int32_t rec_no = 0;
  auto t = Transaction("100", &rec_no);
  auto never = [](InvoiceForm&) -> bool {
    ADD_FAILURE() << "the editor opened";
    return false;
  };
  company::CompanyRecord c = app_->CurrentCompany;
  c.AuditTrail.Set("Y");
  app_->CurrentCompany = c;
  ui_->messages.ExpectMessage(kAuditNoEdit).WithCaption("Audit Trail");
  EXPECT_FALSE(EditInvoice(*app_, rec_no, t, never).changed);
  c.AuditTrail.Set("N");
  app_->CurrentCompany = c;

  auto as = [&](const char* type, const char* paid_status, const char* paid) {
    TransactionRecord copy = t;
    copy.TypeCode.Set(type);
    copy.PaidStatus.Set(paid_status);
    copy.PaidAmount.Set(paid);
    return copy;
  };
  ui_->messages.ExpectMessage(kPartialNoEdit).WithCaption("Partial Payments");
  EditInvoice(*app_, rec_no, as("Z", " ", "0.00"), never);
  ui_->messages.ExpectMessage(kPartialNoEdit);
  EditInvoice(*app_, rec_no, as("X", " ", "0.00"), never);
  ui_->messages.ExpectMessage(kPaidNoEdit).WithCaption("Paid Item");
  EditInvoice(*app_, rec_no, as("I", "P", "4.00"), never);
  ui_->messages.ExpectMessage(kDepositNoEdit)
      .WithCaption("Deposit on Account")
      .WithKind(MessageKind::kInformation);
  EditInvoice(*app_, rec_no, as("D", " ", "0.00"), never);
  ui_->messages.ExpectMessage(kDepositTakenNoEdit).WithCaption("Deposit Taken");
  EditInvoice(*app_, rec_no, as("T", " ", "0.00"), never);
  TransactionRecord printed = t;
  printed.PrintedFlag.Set("Y");
  ui_->messages.ExpectMessage(kPrintedQuestion, Answer::kNo)
      .WithCaption("Printed Invoice");
  EditInvoice(*app_, rec_no, printed, never);
  // Paid in full (paid = total) passes the paid-item guard.
  TransactionRecord paid = as("I", "P", "10.00");
  paid.GrandTotal.Set("10.00");
  int opened = 0;
  EditInvoice(*app_, rec_no, paid, [&](InvoiceForm&) { return ++opened, false; });
  EXPECT_EQ(opened, 1);
}

TEST_F(BookkeepingTest, EditOfRecordChangedMeanwhileStoresNothing) {
  AddProductInvoice("C1", {Line("", "1", "a", "10", "N")});
  int32_t rec_no = 0;
  TransactionRecord stale = Transaction("100", &rec_no);
  stale.InvoiceNotes.Set("as the window once read it");
  ui_->messages.ExpectMessage(company::kRecordChanged);
  ui_->messages.ExpectMessage(company::kModifyFailed)
      .WithKind(MessageKind::kError);
  const InvoiceOutcome out =
      EditInvoice(*app_, rec_no, stale, Editor([](InvoiceForm& form) {
        form.lines[0].unit_price = "99";
        UpdateExtension(form.lines[0]);
        ComputeTotals(form, "0", false);
      }));
  EXPECT_FALSE(out.changed);
  EXPECT_EQ(Transaction("100").GrandTotal.Get(), "10.00");
  EXPECT_EQ(Customer("C1").Balance.Get(), "10.00");
  ExpectBalancesAgree();
}

TEST_F(BookkeepingTest, RepeatMasterEditAndDeleteLeaveBalancesAlone) {
  AddProductInvoice("C1", {Line("", "1", "a", "10", "N"),
                           Line("", "1", "b", "5", "N")});
  int32_t rec_no = 0;
  TransactionRecord master = Transaction("100", &rec_no);
  // Repeat billing set-up turns the invoice into a master and takes it out
  // of the balances.
  {
    company::TransactionAccess t(*app_);
    ASSERT_TRUE(t.OpenCompanyFile());
    t.SetRecord(master);
    t.rec().TypeCode.Set("R");
    ASSERT_TRUE(t.ModifyWithKeys(rec_no, master));
    master = t.rec();
    t.Close();
  }
  const std::string balance = Customer("C1").Balance.Get();
  const std::string receivables = StoredCompany().ReceivablesBalance.Get();

  ui_->messages.ExpectMessage(kRepeatMasterEditNote).WithCaption("Please Note");
  ASSERT_TRUE(EditInvoice(*app_, rec_no, master, Editor([](InvoiceForm& form) {
                form.lines[0].unit_price = "30";
                UpdateExtension(form.lines[0]);
                form.paid = "3";
                ComputeTotals(form, "0", false);
              })).changed);
  const auto edited = Transaction("100");
  EXPECT_EQ(edited.GrandTotal.Get(), "35.00");
  EXPECT_EQ(edited.AmountDue.Get(), "0.00");
  EXPECT_EQ(edited.PaidAmount.Get(), "0.00");
  EXPECT_EQ(edited.PaidStatus.Get(), " ");
  for (const auto& line : LinesOf("100")) EXPECT_EQ(line.LineKind.Get(), "R");
  EXPECT_EQ(Customer("C1").Balance.Get(), balance);
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), receivables);

  ui_->messages.ExpectMessage(kRepeatMasterDeleteNote);
  ui_->messages.ExpectMessage(kDeleteQuestion, Answer::kYes)
      .WithCaption("Delete Invoice#: 100");
  const InvoiceOutcome out = DeleteInvoice(*app_, rec_no, edited);
  ASSERT_TRUE(out.changed);
  EXPECT_EQ(out.line_count, 2);
  EXPECT_TRUE(LinesOf("100").empty());
  EXPECT_EQ(Customer("C1").Balance.Get(), balance);
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), receivables);
  ExpectFilesSound();
}

TEST_F(BookkeepingTest, DeleteTakesAmountOutOfItsBucket) {
  AddProductInvoice("C1", {Line("", "1", "a", "10", "N")}, "0",
                    DaysAgoText(46));
  // The date of the last invoice is offered again; this one is today's.
  AddProductInvoice("C1", {Line("", "1", "b", "5", "N")}, "1",
                    app_->TodayText);
  EXPECT_EQ(Customer("C1").Aging3.Get(), "10.00");
  int32_t rec_no = 0;
  const auto t = Transaction("100", &rec_no);
  ui_->messages.ExpectMessage(kDeleteQuestion, Answer::kNo);
  EXPECT_FALSE(DeleteInvoice(*app_, rec_no, t).changed);
  ui_->messages.ExpectMessage(kDeleteQuestion, Answer::kYes);
  const InvoiceOutcome out = DeleteInvoice(*app_, rec_no, t);
  EXPECT_EQ(out.status_text, "Deleted invoice 100 containing 1 line item(s).");
  const CustomerRecord c = Customer("C1");
  EXPECT_EQ(c.Aging3.Get(), "0.00");
  EXPECT_EQ(c.Balance.Get(), "4.00");
  // The partly paid one: a notice first.
  const auto second = Transaction("101", &rec_no);
  ui_->messages.ExpectMessage(kPaymentActivityNote).WithCaption("Please Note");
  ui_->messages.ExpectMessage(kDeleteQuestion, Answer::kYes);
  DeleteInvoice(*app_, rec_no, second);
  EXPECT_EQ(Customer("C1").Balance.Get(), "0.00");
  ExpectBalancesAgree();
  ExpectFilesSound();
}

TEST_F(BookkeepingTest, DeleteRefusalsAndDepositQuestions) {
  AddProductInvoice("C1", {Line("", "1", "a", "10", "N")}, "10");
  int32_t rec_no = 0;
  const auto paid = Transaction("100", &rec_no);
  ui_->messages.ExpectMessage(kPaidNoDelete).WithCaption("Paid Item");
  EXPECT_FALSE(DeleteInvoice(*app_, rec_no, paid).changed);
  TransactionRecord z = paid;
  z.TypeCode.Set("Z");
  ui_->messages.ExpectMessage(kPartialNoDelete)
      .WithCaption("Partial Payment Item");
  DeleteInvoice(*app_, rec_no, z);

  // A deposit on account: amount due minus the deposit.
  const int32_t deposit_no =
      AddTransaction("DP1", "C2", DaysAgo(3), "-50.00", " ", "D", "D");
  TransactionRecord deposit = Read<company::TransactionAccess>(deposit_no);
  {
    CustomerAccess customers(*app_);
    ASSERT_TRUE(customers.OpenCompanyFile());
    int32_t c2 = 0;
    ASSERT_TRUE(customers.FindByKey(2, company::KeyText("C2", 8), c2));
    ASSERT_TRUE(customers.GetRecord(c2));
    const CustomerRecord before = customers.rec();
    customers.rec().Balance.Set("-50.00");
    customers.rec().AgingCurrent.Set("-50.00");
    ASSERT_TRUE(customers.ModifyWithKeys(c2, before));
    customers.Close();
  }
  ui_->messages.ExpectMessage(kDepositDeleteQuestion, Answer::kNo)
      .WithCaption("Please Confirm");
  EXPECT_FALSE(DeleteInvoice(*app_, deposit_no, deposit).changed);
  ui_->messages.ExpectMessage(kDepositDeleteQuestion, Answer::kYes);
  ui_->messages.ExpectMessage(kDeleteQuestion, Answer::kYes)
      .WithCaption("Delete Invoice#: DP1");
  EXPECT_TRUE(DeleteInvoice(*app_, deposit_no, deposit).changed);
  EXPECT_EQ(Customer("C2").Balance.Get(), "0.00");
}

TEST_F(BookkeepingTest, MemoInvoiceKeepsItsBodyThroughEditAndDelete) {
  std::string body;
  for (int i = 1; i <= 27; ++i) body += "Line " + std::to_string(i) + "\n";
  AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    form.kind = InvoiceKind::kMemo;
    form.customer_no = "C1";
    form.memo = body;
    form.memo_description = "Consulting";
    form.memo_quantity = "3";
    form.net = "300";
    form.tax = "10";
    ComputeTotals(form, "0", false);
  }));
  const auto t = Transaction("100");
  EXPECT_EQ(t.InvoiceKind.Get(), "M");
  EXPECT_EQ(t.GrandTotal.Get(), "310.00");
  auto lines = LinesOf("100");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].LineKind.Get(), "M");
  EXPECT_EQ(lines[0].LineProductCode.Get(), "Memo");
  EXPECT_EQ(lines[0].LineText.Get(),
            "3         Consulting                      300       M300       ");
  const auto memos = AllRecords<company::MemoAccess>(*app_);
  ASSERT_EQ(memos.size(), 1u);
  EXPECT_EQ(memos.begin()->second.MemoLines[24].Get(), "Line 25");

  int32_t rec_no = 0;
  Transaction("100", &rec_no);
  EditInvoice(*app_, rec_no, t, Editor([](InvoiceForm& form) {
    EXPECT_EQ(form.memo_description, "Consulting");
    EXPECT_EQ(form.memo_quantity, "3");
    EXPECT_EQ(form.memo.substr(0, 14), "Line 1\nLine 2\n");
    form.invoice_no = "100B";
    form.memo = "Short";
    form.memo_description = "";
    form.memo_quantity = "";
  }));
  lines = LinesOf("100B");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].LineKind.Get(), "M");
  EXPECT_EQ(lines[0].LineText.Get().substr(0, 22), "1         Memo Invoice");
  const auto memo = AllRecords<company::MemoAccess>(*app_).begin()->second;
  EXPECT_EQ(memo.InvoiceNo.Get(), "100B");
  EXPECT_EQ(memo.MemoLines[0].Get(), "Short");
  EXPECT_EQ(memo.MemoLines[1].Get(), "");

  const auto edited = Transaction("100B", &rec_no);
  ui_->messages.ExpectMessage(kDeleteQuestion, Answer::kYes);
  EXPECT_EQ(DeleteInvoice(*app_, rec_no, edited).status_text,
            "Deleted memo invoice 100B.");
  EXPECT_TRUE(AllRecords<company::MemoAccess>(*app_).empty());
  EXPECT_TRUE(AllRecords<company::LineAccess>(*app_).empty());
  ExpectFilesSound();
}

TEST_F(BookkeepingTest, MissingMemoIsReportedAndEditingGoesOn) {
  const int32_t rec_no =
      AddTransaction("7", "C1", DaysAgo(1), "10.00", " ", "M");
  const auto t = Read<company::TransactionAccess>(rec_no);
  ui_->messages.ExpectMessage(kMemoReadError);
  const InvoiceOutcome out = EditInvoice(*app_, rec_no, t, &Cancel);
  EXPECT_FALSE(out.changed);
}

}  // namespace
}  // namespace tallybook::billing

namespace tallybook::billing {
namespace {

class MoneyBookkeepingTest : public testing::InvoiceOnDisk {
 protected:
  void SetUp() override {
    InvoiceOnDisk::SetUp();
    AddCustomer("C1", "First Customer");
  }
};

TEST_F(MoneyBookkeepingTest, EditOpensTheTaxBoxAsTheStoredInvoiceCarriesTax) {
  company::CompanyRecord c = app_->CurrentCompany;
  c.CalcTaxes = 1;
  c.TaxRate.Set("10");
  StoreCompany(c);
  AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    form.invoice_no = "T1";
    form.calc_tax = false;
    FillInvoice(form, "C1", {Line("W1", "1", "Widget", "10", "Y")});
    form.calc_tax = false;
    ComputeTotals(form, "10", true);
  }));
  AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    form.invoice_no = "T2";
    FillInvoice(form, "C1", {Line("W1", "1", "Widget", "10", "Y")});
  }));
  // The company stops taxing; the taxed invoice still opens ticked, with
  // its stored tax, and the untaxed one unticked.
  c = StoredCompany();
  c.CalcTaxes = 0;
  c.TaxRate.Set("25");
  StoreCompany(c);
  const InvoiceForm untaxed = FormFromRecord(*app_, Transaction("T1"));
  EXPECT_FALSE(untaxed.calc_tax);
  EXPECT_EQ(untaxed.tax, "0.00");
  const InvoiceForm taxed = FormFromRecord(*app_, Transaction("T2"));
  EXPECT_TRUE(taxed.calc_tax);
  EXPECT_EQ(taxed.tax, "1.00");
}

TEST_F(MoneyBookkeepingTest, NetOfAMillionKeepsItsCentsAndTiesRoundAway) {
  AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    form.invoice_no = "M1";
    form.kind = InvoiceKind::kMemo;
    form.customer_no = "C1";
    form.memo = "Building work";
    form.net = "1,234,567.89";
    ComputeTotals(form, "0", false);
  }));
  const TransactionRecord memo = Transaction("M1");
  EXPECT_EQ(memo.NetAmount.Get(), "1234567.89");
  EXPECT_EQ(memo.GrandTotal.Get(), "1234567.89");
  EXPECT_EQ(memo.AmountDue.Get(), "1234567.89");

  // Half-cent extensions and a half-cent tax, each rounded away from zero.
  company::CompanyRecord c = app_->CurrentCompany;
  c.CalcTaxes = 1;
  c.TaxRate.Set("5");
  StoreCompany(c);
  AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    form.invoice_no = "P1";
    FillInvoice(form, "C1",
                {Line("", "0.5", "Half", "2.01", "Y"),      // 1.005 -> 1.01
                 Line("", "7", "Seven", "0.145", "Y"),      // 1.015 -> 1.02
                 Line("", "1", "Odd", "8.47", "Y")});       // taxable 10.50
  }));
  const TransactionRecord lines = Transaction("P1");
  EXPECT_EQ(lines.NetAmount.Get(), "10.50");
  EXPECT_EQ(lines.TaxAmount.Get(), "0.53");
  EXPECT_EQ(lines.GrandTotal.Get(), "11.03");
  EXPECT_EQ(company::CentsOf(Customer("C1").Balance.View()),
            123456789 + 1103);
}

TEST_F(MoneyBookkeepingTest, InvoiceForACustomerNoLongerOnFileWritesNothing) {
  const std::string before = FileBytes("1I.DAT") + FileBytes("Company.DAT") +
                             FileBytes("1D.DAT") + FileBytes("1C.DAT");
  ui_->messages.ExpectMessage(CustomerNotOnFileText("GONE"));
  const InvoiceOutcome out = AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    FillInvoice(form, "GONE", {Line("W1", "1", "Widget", "10", "N")});
  }));
  EXPECT_FALSE(out.changed);
  EXPECT_EQ(FileBytes("1I.DAT") + FileBytes("Company.DAT") +
                FileBytes("1D.DAT") + FileBytes("1C.DAT"),
            before);
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf("OpJournal.tlj")));
}

}  // namespace
}  // namespace tallybook::billing
