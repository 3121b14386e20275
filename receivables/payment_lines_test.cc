#include "receivables/payment_lines.h"

#include <gtest/gtest.h>

#include "receivables/payment_test_support.h"

namespace tallybook::receivables {
namespace {

using company::DateOrder;
using company::TransactionRecord;

TEST(ItemLineTest, ColumnsOfAnOpenItemAndOfAPartialPayment) {
  //                    1........10........20........30..
  EXPECT_EQ(BuildItemLine("1001", "04/03/24", 1234.5, false),
            "1001      04/03/24     1,234.50");
  EXPECT_EQ(BuildItemLine("DP12", "04/03/24", -100, true),
            "DP12      04/03/24      -100.00P");
  // Too wide with separators: written without them; wider still, cut.
  EXPECT_EQ(BuildItemLine("1", "", -99999999.99, false),
            "1" + std::string(18, ' ') + "-99999999.99");
  EXPECT_EQ(BuildItemLine("1", "", -123456789, false),
            "1" + std::string(18, ' ') + "-123456789.0");
}

TEST(ItemLineTest, ReadsBackWhatItWrote) {
  const ItemLine line =
      ParseItemLine(BuildItemLine("A-77", "12/31/23", 9876543.21, true));
  EXPECT_EQ(line.invoice_no, "A-77");
  EXPECT_EQ(line.date, "12/31/23");
  EXPECT_DOUBLE_EQ(line.amount, 9876543.21);
  EXPECT_TRUE(line.partial);
  const ItemLine short_line = ParseItemLine("1001");
  EXPECT_EQ(short_line.invoice_no, "1001");
  EXPECT_EQ(short_line.amount, 0);
  EXPECT_FALSE(short_line.partial);
}

TEST(ItemLineTest, DatesFollowTheCompanyOrder) {
  TransactionRecord r;
  r.Month.Set("4");
  r.Day.Set("03");
  r.Year.Set("2024");
  EXPECT_EQ(ItemDate(r, DateOrder::kMonthFirst), "04/03/24");
  EXPECT_EQ(ItemDate(r, DateOrder::kDayFirst), "03/04/24");
  EXPECT_EQ(DepositLineDate("06/15/2024"), "06/15/24");
  EXPECT_EQ(DepositLineDate("06/15/"), "06/15/");
}

TEST(PostRuleTest, PaidMustEqualPostedAndSomethingMustBePosted) {
  const std::vector<std::string> lines = {
      BuildItemLine("1001", "04/03/24", 1200, false),
      BuildItemLine("DP1", "04/03/24", -200.5, false),
      BuildItemLine("1002", "04/03/24", 0.5, true)};
  EXPECT_DOUBLE_EQ(PostedTotal(lines), 1000);
  EXPECT_TRUE(PostAllowed(1000, "1000", false));
  EXPECT_TRUE(PostAllowed(1000, "1000.004", false));
  EXPECT_FALSE(PostAllowed(1000, "1000.01", false));
  EXPECT_FALSE(PostAllowed(0, "0.00", true));
  EXPECT_TRUE(PostAllowed(PostedTotal({BuildItemLine("DP1", "", -100, false),
                                       BuildItemLine("7", "", 100, false)}),
                          "0.00", false));
  EXPECT_TRUE(PaidIsBalance("12.5", "12.50"));
  EXPECT_FALSE(PaidIsBalance("12.5", "12.51"));
}

TEST(PostRuleTest, OnlyPositiveInvoicesArePaidInPart) {
  EXPECT_TRUE(CanPayPartly(ParseItemLine(BuildItemLine("1", "x", 5, false))));
  EXPECT_FALSE(CanPayPartly(ParseItemLine(BuildItemLine("1", "x", -5, false))));
  EXPECT_FALSE(CanPayPartly(ParseItemLine(BuildItemLine("1", "x", 0, false))));
  EXPECT_FALSE(
      CanPayPartly(ParseItemLine(BuildItemLine("DEPOSIT", "x", 5, false))));
}

TEST(AmountCheckTest, PaidAmountWhileTyping) {
  double value = -1;
  EXPECT_EQ(CheckPaidAmount("", &value), PaidAmountCheck::kEmpty);
  EXPECT_EQ(CheckPaidAmount("  ", &value), PaidAmountCheck::kEmpty);
  EXPECT_EQ(CheckPaidAmount("-", &value), PaidAmountCheck::kNegative);
  EXPECT_EQ(CheckPaidAmount("5-", &value), PaidAmountCheck::kNegative);
  EXPECT_EQ(CheckPaidAmount("1,000", &value), PaidAmountCheck::kNotNumeric);
  EXPECT_EQ(CheckPaidAmount("12a", &value), PaidAmountCheck::kNotNumeric);
  EXPECT_EQ(CheckPaidAmount("1e3", &value), PaidAmountCheck::kNotNumeric);
  EXPECT_EQ(CheckPaidAmount("1.2.3", &value), PaidAmountCheck::kNotNumeric);
  EXPECT_EQ(CheckPaidAmount("10.005", &value),
            PaidAmountCheck::kTooManyDecimals);
  EXPECT_EQ(value, -1);
  EXPECT_EQ(CheckPaidAmount("12.", &value), PaidAmountCheck::kOk);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(CheckPaidAmount(".5", &value), PaidAmountCheck::kOk);
  EXPECT_EQ(value, 0.5);
}

TEST(AmountCheckTest, PartialMustLieBetweenZeroAndTheAmountDue) {
  double value = 0;
  EXPECT_EQ(CheckDialogAmount("0.00", "50.00", false, &value),
            DialogAmountCheck::kNotAboveZero);
  // A third decimal is refused, never rounded.
  EXPECT_EQ(CheckDialogAmount("0.004", "50.00", false, &value),
            DialogAmountCheck::kTooManyDecimals);
  EXPECT_EQ(CheckDialogAmount("1e1", "50.00", false, &value),
            DialogAmountCheck::kNotNumeric);
  EXPECT_EQ(CheckDialogAmount("-3", "50.00", false, &value),
            DialogAmountCheck::kNotAboveZero);
  EXPECT_EQ(CheckDialogAmount("50", "50.00", false, &value),
            DialogAmountCheck::kNotBelowDue);
  EXPECT_EQ(CheckDialogAmount("49.999", "50.00", false, &value),
            DialogAmountCheck::kTooManyDecimals);
  EXPECT_EQ(CheckDialogAmount("1,0", "50.00", false, &value),
            DialogAmountCheck::kNotNumeric);
  EXPECT_EQ(CheckDialogAmount("abc", "50.00", false, &value),
            DialogAmountCheck::kNotNumeric);
  EXPECT_EQ(CheckDialogAmount("49.99", "50.00", false, &value),
            DialogAmountCheck::kOk);
  EXPECT_DOUBLE_EQ(value, 49.99);
  // A deposit knows no amount due.
  EXPECT_EQ(CheckDialogAmount("5000", "0", true, &value),
            DialogAmountCheck::kOk);
  EXPECT_EQ(CheckDialogAmount("0", "0", true, &value),
            DialogAmountCheck::kNotAboveZero);
}

class OpenItemsTest : public testing::PaymentFixture {};

TEST_F(OpenItemsTest, SourceListShowsOnlyWhatIsOpen) {
  AddCustomer("C1", "Acme");
  AddCustomer("C10", "Other");
  AddOpen("1001", "C1", "25.00", 3);
  AddOpen("1002", "C1", "0.00", 3);               // zero, not partly paid
  AddOpen("1003", "C1", "0.00", 3, "0.00", "Z");  // partly paid, listed
  AddOpen("1004", "C1", "99.00", 3, "0.00", "R");  // repeat master
  AddOpen("1005", "C10", "12.00", 3);              // another customer
  AddOpen("DP7", "c1", "-40.00", 3, "40.00", "D");
  AddOpen("1006", "C1", "30.00", 3);
  // Paid since.
  company::TransactionAccess t(*app_);
  ASSERT_TRUE(t.OpenCompanyFile());
  int32_t rec_no = 0;
  ASSERT_TRUE(t.FindByKey(1, company::KeyText("1006", 9), rec_no));
  ASSERT_TRUE(t.GetRecord(rec_no));
  const TransactionRecord before = t.rec();
  t.rec().PaidStatus.Set("P");
  ASSERT_TRUE(t.ModifyWithKeys(rec_no, before));
  t.Close();

  std::vector<std::string> lines;
  ASSERT_TRUE(LoadOpenItems(*app_, " c1 ", &lines));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "1001      06/12/24        25.00",
                       "1003      06/12/24         0.00P",
                       "DP7       06/12/24       -40.00"}));
}

}  // namespace
}  // namespace tallybook::receivables
