#include "billing/invoice_manager_logic.h"

#include <gtest/gtest.h>

#include "company/text.h"


namespace tallybook::billing {
namespace {

using company::CustomerRecord;
using company::TransactionRecord;

TransactionRecord Invoice() {
  TransactionRecord r;
  r.InvoiceNo.Set("1042");
  r.TypeCode.Set("I");
  r.KeyCode.Set("None");
  r.CustomerNo.Set(" C17 ");
  r.CompanyNo.Set("1");
  r.DateText.Set("03/04/2024");
  r.SortDate.Set("2024/03/04");
  r.ShortName.Set("ACME");
  r.GrandTotal.Set("1234.5");
  r.AmountDue.Set("1000");
  r.PaidAmount.Set("234.50");
  r.PaidSortDate.Set("");
  r.InvoiceKind.Set("P");
  return r;
}

TEST(InvoiceListTest, HeaderAndRowLineUpInTheirColumns) {
  const std::string header = InvoiceListHeader();
  EXPECT_EQ(header.size(), 128u);
  EXPECT_EQ(header,
            company::PadRight("Year/Mo/Dy T Invoice#  Cust#    Short Name  "
                              "Grand Total   Amount Due  Paid Amount Key Code "
                              "Date Paid  CO#",
                              128));
  const std::string row = InvoiceRow(Invoice());
  EXPECT_EQ(row.size(), 128u);
  EXPECT_EQ(row,
            company::PadRight("2024/03/04 I 1042      C17      ACME        "
                              "   1,234.50     1,000.00       234.50 None  "
                              "              1",
                              128));
  // Each column starts under its title.
  EXPECT_EQ(header.find("CO#"), row.find(" 1 ") + 1);
}

TEST(InvoiceListTest, BlankAmountShowsTheRecordAsDamaged) {
  TransactionRecord r = Invoice();
  r.AmountDue.Set("  ");
  ASSERT_TRUE(IsDamagedTransaction(r));
  const std::string row = InvoiceRow(r);
  EXPECT_EQ(row.substr(0, 81),
            "2024/03/04 I DELETE ME C17      BAD RECORD         0.00         "
            "0.00         0.00");
  // A zero amount is not damage.
  EXPECT_FALSE(IsDamagedTransaction(Invoice()));
}

TEST(InvoiceListTest, UnreadableRowShowsItsKey) {
  std::string expected = "****  1042     ";
  expected.append(113, ' ');
  EXPECT_EQ(UnreadableInvoiceRow("1042     "), expected);
}

TEST(InvoiceListTest, HugeAmountIsCutToTwelveCharactersAndRowStaysInWidth) {
  TransactionRecord r = Invoice();
  r.GrandTotal.Set("9999999999");
  r.SortDate.Set("2024/03/04XYZ");
  const std::string row = InvoiceRow(r);
  EXPECT_EQ(row.size(), 128u);
  EXPECT_EQ(row.substr(0, 11), "2024/03/04 ");
  EXPECT_EQ(row.substr(43, 12), "9,999,999,99");
}

TEST(InvoiceFilterTest, AcceptsExactlyTheTrimmedCustomerNumber) {
  const TransactionRecord r = Invoice();
  EXPECT_EQ(FilterValueOf(r), "C17");
  EXPECT_TRUE(CustomerFilterAccepts(r, "C17"));
  EXPECT_FALSE(CustomerFilterAccepts(r, "C1"));
  EXPECT_FALSE(CustomerFilterAccepts(r, "c17"));
  const FilterDisplay on = FilterDisplayFor(true, "C17");
  EXPECT_EQ(on.label, "Filtering Customer#: C17");
  EXPECT_TRUE(on.red);
  EXPECT_TRUE(on.shadow);
  EXPECT_EQ(on.hint, "Click filter button again to clear filter.");
  const FilterDisplay off = FilterDisplayFor(false, "C17");
  EXPECT_EQ(off.label, "Filter Closed");
  EXPECT_FALSE(off.red);
  EXPECT_FALSE(off.shadow);
  EXPECT_EQ(off.hint, "Filter closed.");
}

TEST(InvoiceViewTest, UnknownViewFallsBackToInvoiceDate) {
  EXPECT_EQ(ValidInvoiceView(6), 6);
  EXPECT_EQ(ValidInvoiceView(0), kInvoiceDateView);
  EXPECT_EQ(ValidInvoiceView(7), kInvoiceDateView);
}

TEST(CustomerDataTest, PartialInvoiceShowsTotalLessAmountDueAsPaid) {
  TransactionRecord r = Invoice();
  r.TypeCode.Set("Z");
  r.PaidAmount.Set("0.00");  // the X records carry the payments
  r.PrintedFlag.Set("Y");
  CustomerRecord c;
  c.CustomerName.Set("Acme Tools");
  c.CustomerNo.Set("C17");
  c.Balance.Set("5000");
  c.Aging3.Set("12.5");
  const CustomerDataView view =
      BuildCustomerData(r, &c, company::DateOrder::kMonthFirst);
  EXPECT_EQ(view.invoice_line, "1042   (Product Invoice)");
  EXPECT_EQ(view.paid, "234.50");
  EXPECT_EQ(view.balance_due, "1,000.00");
  EXPECT_EQ(view.total, "1,234.50");
  EXPECT_EQ(view.printed, "*Printed*");
  EXPECT_EQ(view.account_balance, "5,000.00");
  EXPECT_EQ(view.aging[2], "12.50");
  ASSERT_EQ(view.legend.size(), 7u);
  EXPECT_EQ(view.legend[3], "Z - Invoice has Partial Payment(s) of Type X");
  EXPECT_FALSE(view.repeat);
}

TEST(CustomerDataTest, RepeatMasterShowsNextDueInTheCompanysOrder) {
  TransactionRecord r = Invoice();
  r.TypeCode.Set("R");
  r.DateText.Set("04/03/2024");
  r.NextDueDate.Set("05/01/2024");
  r.RepeatCount.Set("3");
  const CustomerDataView view =
      BuildCustomerData(r, nullptr, company::DateOrder::kDayFirst);
  EXPECT_TRUE(view.repeat);
  EXPECT_EQ(view.date_line, "04/03/2024 - Next Due: 01/05/2024");
  EXPECT_EQ(view.legend[1], "R - Repeat Billing Master Record (Created: 3)");
  EXPECT_EQ(view.customer_name, "");
}

TEST(CustomerDataTest, KindLabelsAndTheEMailNote) {
  TransactionRecord r = Invoice();
  r.InvoiceKind.Set("M");
  EXPECT_EQ(KindLabel(r), "(Memo Invoice)");
  r.TypeCode.Set("D");
  EXPECT_EQ(KindLabel(r), "(Payment Record)");
  r.TypeCode.Set("X");
  EXPECT_EQ(KindLabel(r), "(Payment Record)");
  r.TypeCode.Set("T");
  EXPECT_EQ(KindLabel(r), "(Applied Deposit)");
  r.EMailNote.Set("12/01/2024");
  EXPECT_EQ(BuildCustomerData(r, nullptr, company::DateOrder::kMonthFirst).printed,
            "E-Mailed: 12/01/2024");
  r.EMailNote.Set("ab");
  EXPECT_EQ(BuildCustomerData(r, nullptr, company::DateOrder::kMonthFirst).printed,
            "");
}

TEST(InvoiceFindTest, MatchesAnyListedFieldIgnoringCase) {
  TransactionRecord r = Invoice();
  r.InvoiceNotes.Set("Spring order, blue widgets");
  r.StatementNote.Set("see letter");
  EXPECT_TRUE(InvoiceFindMatches(r, "BLUE"));
  EXPECT_TRUE(InvoiceFindMatches(r, "letter"));
  EXPECT_TRUE(InvoiceFindMatches(r, "c17"));
  EXPECT_TRUE(InvoiceFindMatches(r, "2024/03"));
  EXPECT_TRUE(InvoiceFindMatches(r, "acm"));
  EXPECT_TRUE(InvoiceFindMatches(r, ""));
  EXPECT_FALSE(InvoiceFindMatches(r, "red"));
  // Terms are not searched.
  r.InvoiceTerms.Set("Net 30 Days");
  EXPECT_FALSE(InvoiceFindMatches(r, "Net 30"));
  EXPECT_EQ(InvoiceFindRow(r).substr(0, 10), "1042      ");
}

}  // namespace
}  // namespace tallybook::billing
