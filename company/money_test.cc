#include "company/money.h"

#include <gtest/gtest.h>

#include <random>

namespace tallybook::company {
namespace {

Decimal D(std::string_view text) {
  auto d = ParseDecimal(text);
  EXPECT_TRUE(d.has_value()) << text;
  return d.value_or(Decimal{});
}

TEST(MoneyTest, ProductsRoundHalfAwayFromZeroOnTheDecimalValue) {
  // Each of these products is a tie (or just above one) in decimal, and
  // the double product lies on the wrong side of it.
  EXPECT_EQ(MultiplyToCents(D("0.5"), D("2.01")), 101);
  EXPECT_EQ(MultiplyToCents(D("-0.5"), D("2.01")), -101);
  EXPECT_EQ(MultiplyToCents(D("1"), D("0.285")), 29);
  EXPECT_EQ(MultiplyToCents(D("7"), D("0.145")), 102);
  EXPECT_EQ(MultiplyToCents(D("1"), D("1.005")), 101);
  EXPECT_EQ(MultiplyToCents(D("1.5"), D("0.01")), 2);
  EXPECT_EQ(MultiplyToCents(D("2.125"), D("3")), 638);
  EXPECT_EQ(MultiplyToCents(D("0.001"), D("4.99")), 0);
  EXPECT_EQ(MultiplyToCents(D("9999999.999"), D("9999999.99")),
            9999999989000000);  // the product needs more than 64 bits
}

TEST(MoneyTest, TaxTiesRoundAwayFromZero) {
  EXPECT_EQ(PercentOfCents(1050, D("5")), 53);     // 52.5 cents
  EXPECT_EQ(PercentOfCents(-1050, D("5")), -53);
  EXPECT_EQ(PercentOfCents(1000, D("7.25")), 73);  // 72.5 cents
  EXPECT_EQ(PercentOfCents(1999, D("8.875")), 177);
  EXPECT_EQ(PercentOfCents(0, D("8.875")), 0);
}

TEST(MoneyTest, RoundingMatchesAnExactModelOnRandomProducts) {
  // Model: integers in thousandths x hundredths, rounded by hand.
  std::mt19937 rng(42);
  std::uniform_int_distribution<int64_t> qty(-99999, 99999);
  std::uniform_int_distribution<int64_t> price(-999999, 999999);
  for (int i = 0; i < 20000; ++i) {
    const int64_t q = qty(rng), p = price(rng);
    const int64_t product = q * p;  // units of 1e-5
    const int64_t mag = product < 0 ? -product : product;
    int64_t cents = mag / 1000 + (mag % 1000 >= 500 ? 1 : 0);
    if (product < 0) cents = -cents;
    ASSERT_EQ(MultiplyToCents(Decimal{q, 3}, Decimal{p, 2}), cents)
        << q << " x " << p;
  }
}

TEST(MoneyTest, TextsReadExactlyAndLeniently) {
  EXPECT_EQ(CentsOf("1,234,567.89"), 123456789);
  EXPECT_EQ(CentsOf(" -0.05 "), -5);
  EXPECT_EQ(CentsOf("10.005"), 1001);
  EXPECT_EQ(CentsOf(""), 0);
  EXPECT_EQ(CentsOf("abc"), 0);
  EXPECT_EQ(CentsOf("1e3"), 100000);
  EXPECT_EQ(CentsOf(0.285), 29);
  EXPECT_EQ(CentsOf(2.675), 268);
  EXPECT_FALSE(ParseDecimal("1e3").has_value());
  EXPECT_FALSE(ParseDecimal("1.2.3").has_value());
  EXPECT_FALSE(ParseDecimal("-").has_value());
  EXPECT_FALSE(ParseDecimal("1234567890123456789").has_value());
}

TEST(MoneyTest, CentsPrintAsStoredAndAsShown) {
  EXPECT_EQ(CentsText(123456789), "1234567.89");
  EXPECT_EQ(CentsText(-5), "-0.05");
  EXPECT_EQ(CentsText(0), "0.00");
  EXPECT_EQ(FormatCents(123456789), "1,234,567.89");
  EXPECT_EQ(FormatCents(-100000), "-1,000.00");
  EXPECT_EQ(FormatCents(99), "0.99");
  EXPECT_DOUBLE_EQ(CentsToDouble(1001), 10.01);
}

TEST(MoneyTest, MoneyFieldsRefuseThirdDecimalsAndExponents) {
  Cents c = -1;
  EXPECT_EQ(CheckMoneyField("10.005", &c), MoneyFieldCheck::kTooManyDecimals);
  EXPECT_EQ(CheckMoneyField("1e3", &c), MoneyFieldCheck::kNotANumber);
  EXPECT_EQ(CheckMoneyField("", &c), MoneyFieldCheck::kNotANumber);
  EXPECT_EQ(c, -1);
  EXPECT_EQ(CheckMoneyField("1,000.50", &c), MoneyFieldCheck::kOk);
  EXPECT_EQ(c, 100050);
  EXPECT_EQ(CheckMoneyField("10.500", &c), MoneyFieldCheck::kOk);
  EXPECT_EQ(c, 1050);
  EXPECT_EQ(MoneyFieldMessage("Paid Amount", "10.005",
                              MoneyFieldCheck::kTooManyDecimals),
            "Paid Amount: 10.005 has more than two decimals.");
  EXPECT_EQ(MoneyFieldMessage("Amount", "1e3", MoneyFieldCheck::kNotANumber),
            "Amount: 1e3 is not an amount.");
}

}  // namespace
}  // namespace tallybook::company
