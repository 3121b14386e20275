#include "billing/invoice_form.h"

#include <gtest/gtest.h>

namespace tallybook::billing {
namespace {

company::CompanyRecord Company() {
  company::CompanyRecord c;
  c.DefaultQuantity.Set(" 1.00 ");
  c.NextInvoiceNo.Set("57");
  return c;
}

InvoiceLine Line(std::string quantity, std::string price, std::string flag,
                 std::string description = "Item") {
  InvoiceLine line{"", quantity, description, price, flag, ""};
  UpdateExtension(line);
  return line;
}

TEST(LineExtension, RoundsCentsHalfAwayFromZero) {
  EXPECT_EQ(LineExtension("3", "0.333"), "1.00");
  EXPECT_EQ(LineExtension("-3", "0.333"), "-1.00");
  EXPECT_EQ(LineExtension("2", "0.125"), "0.25");
  EXPECT_EQ(LineExtension("1,000", "1,234.5"), "1,234,500.00");
  // Text that is not a number counts as 0 while typing.
  EXPECT_EQ(LineExtension("abc", "5"), "0.00");
  EXPECT_EQ(LineExtension("", ""), "0.00");
  // Ties of the decimal product, which binary doubles put below the tie.
  EXPECT_EQ(LineExtension("0.5", "2.01"), "1.01");
  EXPECT_EQ(LineExtension("-0.5", "2.01"), "-1.01");
  EXPECT_EQ(LineExtension("1", "0.285"), "0.29");
  EXPECT_EQ(LineExtension("7", "0.145"), "1.02");
  EXPECT_EQ(LineExtension("1", "1.005"), "1.01");
  EXPECT_EQ(LineExtension("2.125", "3"), "6.38");
}

TEST(ProductTotals, TaxesOnlyTickedTaxableLines) {
  InvoiceForm form;
  ResetGrid(form, Company());
  form.lines[0] = Line("1", "10", "Y");
  form.lines[1] = Line("1", "5", "Y");
  form.lines[2] = Line("2", "10", "N");
  form.lines[3] = Line("1", "100", "y");  // only an exact "Y" is taxed
  form.calc_tax = true;
  form.paid = "";
  ComputeProductTotals(form, "7");
  EXPECT_EQ(form.net, "135.00");
  EXPECT_EQ(form.tax, "1.05");
  EXPECT_EQ(form.total, "136.05");
  EXPECT_EQ(form.paid, "0.00");
  EXPECT_EQ(form.balance_due, "136.05");

  // Unticking the box drops even a tax the user typed.
  form.calc_tax = false;
  form.tax = "9.99";
  ComputeProductTotals(form, "7");
  EXPECT_EQ(form.tax, "0.00");
  EXPECT_EQ(form.total, "135.00");
}

TEST(ProductTotals, PaidAboveTotalTurnsBalanceNegative) {
  InvoiceForm form;
  ResetGrid(form, Company());
  form.lines[0] = Line("1", "1,000.00", "N");
  form.paid = "1,200.50";
  ComputeProductTotals(form, "5");
  EXPECT_EQ(form.balance_due, "-200.50");
  EXPECT_TRUE(BalanceDueIsNegative(form));
}

TEST(MemoTotals, KeepTypedTaxAndSuggestOne) {
  InvoiceForm form;
  form.kind = InvoiceKind::kMemo;
  form.net = "";
  form.tax = "3";
  form.paid = "1";
  EXPECT_EQ(ComputeTotals(form, "6.5", true), "Tax on 0.00 is 0.00.");
  EXPECT_EQ(form.net, "0.00");
  form.net = "1,000";
  EXPECT_EQ(ComputeTotals(form, "6.5", true), "Tax on 1,000.00 is 65.00.");
  EXPECT_EQ(form.tax, "3");
  EXPECT_EQ(form.total, "1,003.00");
  EXPECT_EQ(form.balance_due, "1,002.00");
  EXPECT_EQ(ComputeTotals(form, "6.5", false), "");
}

TEST(GridLines, ResetAndCommentLines) {
  const InvoiceLine reset = ResetLine(Company());
  EXPECT_EQ(reset, (InvoiceLine{"", "1.00", "", "0.00", "N", "0.00"}));
  EXPECT_FALSE(reset.IsInvoiceLine());
  const InvoiceLine comment = CommentLine();
  EXPECT_EQ(comment, (InvoiceLine{"", " ", "", "", " ", "0.00"}));
  InvoiceLine described = comment;
  described.description = "Thank you";
  EXPECT_TRUE(described.IsInvoiceLine());
}

TEST(LineText, FixedColumnsWithoutCommasAndBack) {
  InvoiceLine line{"WIDGET-1", "1,000", "Blue widget", "1,234.50", "Y",
                   "1,234,500.00"};
  const std::string text = BuildLineText(line);
  EXPECT_EQ(text,
            "1000      Blue widget                     1234.50   Y1234500.00");
  company::LineRecord record;
  record.LineText.Set(text);
  record.LineProductCode.Set("WIDGET-1");
  EXPECT_EQ(LineFromRecord(record),
            (InvoiceLine{"WIDGET-1", "1000", "Blue widget", "1234.50", "Y",
                         "1234500.00"}));
  // A comment line keeps its blank flag.
  record.LineText.Set(BuildLineText(InvoiceLine{"", " ", "Note", "", " ",
                                                "0.00"}));
  EXPECT_EQ(LineFromRecord(record).flag, " ");
  // An over-long column is cut to its width and the columns after it stay
  // where readers take them.
  line.quantity = "123456789012";
  line.description = "A description longer than thirty-two characters";
  const std::string cut = BuildLineText(line);
  EXPECT_EQ(cut.size(), 63u);
  record.LineText.Set(cut);
  EXPECT_EQ(LineFromRecord(record),
            (InvoiceLine{"WIDGET-1", "1234567890",
                         "A description longer than thirty", "1234.50", "Y",
                         "1234500.00"}));
  // A short (damaged) line text gives what is there.
  record.LineText.Set("5");
  EXPECT_EQ(LineFromRecord(record).quantity, "5");
  EXPECT_EQ(LineFromRecord(record).extension, "");
}

TEST(InvoiceNumbers, PrefixAndCounter) {
  company::CompanyRecord c = Company();
  EXPECT_EQ(ProposedInvoiceNumber(c, "03/15/2024",
                                  company::DateOrder::kMonthFirst),
            "57");
  c.YearMonthPrefix.Set("Y");
  EXPECT_EQ(ProposedInvoiceNumber(c, "03/15/2024",
                                  company::DateOrder::kMonthFirst),
            "240357");
  EXPECT_EQ(ProposedInvoiceNumber(c, "15/03/2024",
                                  company::DateOrder::kDayFirst),
            "240357");
  EXPECT_EQ(ProposedInvoiceNumber(c, "__/__/____",
                                  company::DateOrder::kMonthFirst),
            "57");
  EXPECT_EQ(NextInvoiceNumberAfter("240357", true), "58");
  EXPECT_EQ(NextInvoiceNumberAfter("1001", false), "1002");
  EXPECT_EQ(NextInvoiceNumberAfter("2403", true), "1");
  EXPECT_EQ(NextInvoiceNumberAfter("A100", false), "1");
}

TEST(MemoLinesSplit, KeepsEmptyInnerLines) {
  EXPECT_EQ(MemoLines("a\r\n\nb\n"),
            (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(MemoLines(""), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace tallybook::billing

namespace tallybook::billing {
namespace {

TEST(ChosenCustomer, FillsFormAndWarnsInOrder) {
  company::CompanyRecord company = Company();
  company.CalcTaxes = 1;
  company::CustomerRecord c;
  c.CustomerNo.Set("C9");
  c.CustomerName.Set("Nine");
  c.ShortName.Set("NINE");
  c.CreditLimit.Set("");
  c.Balance.Set("1500");
  c.AgingCurrent.Set("1500");
  c.Terms.Set("Net 10 Days");
  InvoiceForm form;
  form.terms = "Due On Receipt";
  EXPECT_TRUE(ApplyChosenCustomer(form, c, company).empty());
  EXPECT_EQ(form.credit_limit, "0.00");
  EXPECT_EQ(form.customer_balance, "1,500.00");
  EXPECT_EQ(form.aging[0], "1,500.00");
  EXPECT_EQ(form.terms, "Net 10 Days");
  EXPECT_TRUE(form.calc_tax);

  c.CreditLimit.Set("1000");
  c.CreditHold.Set("Y");
  c.TaxExempt.Set("Y");
  c.Terms.Set(" ");
  EXPECT_EQ(ApplyChosenCustomer(form, c, company),
            (std::vector<std::string>{kOverCreditLimit, kCreditHold}));
  EXPECT_FALSE(form.calc_tax);
  EXPECT_TRUE(form.tax_exempt);
  EXPECT_EQ(form.terms, "Net 10 Days");
}

TEST(Timer, ClockAndHours) {
  EXPECT_EQ(ClockText(3 * 3600 + 7 * 60 + 5), "03:07:05");
  EXPECT_EQ(HoursText(1 * 3600 + 30 * 60 + 36), "01.510");
  EXPECT_EQ(HoursText(0), "00.000");
}

}  // namespace
}  // namespace tallybook::billing
