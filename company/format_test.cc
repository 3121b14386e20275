#include "company/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tallybook::company {
namespace {

TEST(MoneyTextTest, StoredTextIsTrimmedWithoutCommasAndNeverEmpty) {
  EXPECT_EQ(MoneyToStore("  1,234.50 "), "1234.50");
  EXPECT_EQ(MoneyToStore("1,000,000"), "1000000");
  EXPECT_EQ(MoneyToStore(""), "0.00");
  EXPECT_EQ(MoneyToStore("   "), "0.00");
  EXPECT_EQ(MoneyToStore(","), "0.00");
  EXPECT_EQ(MoneyToStore("-5"), "-5");
}

TEST(MoneyTextTest, LenientConversionGivesZeroForEmptyOrGarbage) {
  EXPECT_DOUBLE_EQ(MoneyToDouble("1234.50"), 1234.5);
  EXPECT_DOUBLE_EQ(MoneyToDouble(" 1,234.50 "), 1234.5);
  EXPECT_DOUBLE_EQ(MoneyToDouble("-12.25"), -12.25);
  EXPECT_DOUBLE_EQ(MoneyToDouble("+3"), 3.0);
  EXPECT_DOUBLE_EQ(MoneyToDouble(""), 0.0);
  EXPECT_DOUBLE_EQ(MoneyToDouble("abc"), 0.0);
  EXPECT_DOUBLE_EQ(MoneyToDouble("12abc"), 0.0);
  EXPECT_DOUBLE_EQ(MoneyToDouble("1e999"), 0.0);
}

TEST(MoneyTextTest, StrictConversionReportsFailureAndLeavesValue) {
  double v = 7.0;
  EXPECT_TRUE(ParseMoney("0.5", &v));
  EXPECT_DOUBLE_EQ(v, 0.5);
  EXPECT_TRUE(ParseMoney(".5", &v));
  EXPECT_DOUBLE_EQ(v, 0.5);
  EXPECT_TRUE(ParseMoney("5.", &v));
  EXPECT_DOUBLE_EQ(v, 5.0);
  EXPECT_TRUE(ParseMoney("1.5e2", &v));
  EXPECT_DOUBLE_EQ(v, 150.0);
  EXPECT_TRUE(ParseMoney("2,500.75", &v));
  EXPECT_DOUBLE_EQ(v, 2500.75);

  v = 7.0;
  for (const char* bad : {"", " ", "abc", "1.2.3", "12x", ".", "-", "1e",
                          "$5", "1 2", "nan", "inf", "1e400"}) {
    EXPECT_FALSE(ParseMoney(bad, &v)) << bad;
    EXPECT_DOUBLE_EQ(v, 7.0) << bad;
  }
}

TEST(FormatMoneyTest, ThousandsSeparatorsAndTwoDecimals) {
  EXPECT_EQ(FormatMoney(0), "0.00");
  EXPECT_EQ(FormatMoney(5), "5.00");
  EXPECT_EQ(FormatMoney(999.999), "1,000.00");
  EXPECT_EQ(FormatMoney(1234.5), "1,234.50");
  EXPECT_EQ(FormatMoney(123456.78), "123,456.78");
  EXPECT_EQ(FormatMoney(1234567.891), "1,234,567.89");
  EXPECT_EQ(FormatMoney(-1234.5), "-1,234.50");
  EXPECT_EQ(FormatMoney(-0.5), "-0.50");
  EXPECT_EQ(FormatMoney(0.1 + 0.2), "0.30");
}

TEST(FormatMoneyTest, RoundsHalfAwayFromZeroOnTheDecimalValue) {
  // 2.675 and 1.005 are stored just below the half; they still round up.
  EXPECT_EQ(FormatMoney(2.675), "2.68");
  EXPECT_EQ(FormatMoney(1.005), "1.01");
  EXPECT_EQ(FormatMoney(-2.675), "-2.68");
  EXPECT_EQ(FormatMoney(0.125), "0.13");
  EXPECT_EQ(FormatMoney(0.124), "0.12");
  EXPECT_EQ(FormatMoney(99999.995), "100,000.00");
}

TEST(FormatMoneyTest, ValuesThatRoundToZeroHaveNoSign) {
  EXPECT_EQ(FormatMoney(-0.004), "0.00");
  EXPECT_EQ(FormatMoney(-0.0), "0.00");
  EXPECT_EQ(FormatMoney(std::numeric_limits<double>::quiet_NaN()), "0.00");
  EXPECT_EQ(FormatMoney(std::numeric_limits<double>::infinity()), "0.00");
}

TEST(FormatMoneyTest, OtherPatternsAndStoredText) {
  EXPECT_EQ(MoneyText(1234.5), "1234.50");
  EXPECT_EQ(MoneyText(-0.001), "0.00");
  EXPECT_EQ(FormatNumber(8.1255, 3, false), "8.126");
  EXPECT_EQ(FormatNumber(0, 3, false), "0.000");
  EXPECT_EQ(FormatNumber(1234.5, 0, true), "1,235");
  EXPECT_EQ(FormatMoneyText("1234.5"), "1,234.50");
  EXPECT_EQ(FormatMoneyText(""), "0.00");
  EXPECT_EQ(FormatMoneyText("garbage"), "0.00");
}

TEST(WholeNumberTest, StrictParseRefusesAnythingButAnInteger) {
  int32_t v = -1;
  EXPECT_TRUE(ParseWholeNumber("32000", &v));
  EXPECT_EQ(v, 32000);
  EXPECT_TRUE(ParseWholeNumber(" 7 ", &v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseWholeNumber("-12", &v));
  EXPECT_EQ(v, -12);
  EXPECT_TRUE(ParseWholeNumber("007", &v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseWholeNumber("2147483647", &v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(ParseWholeNumber("-2147483648", &v));
  EXPECT_EQ(v, INT32_MIN);

  v = 99;
  for (const char* bad : {"", "  ", "abc", "1.5", "12x", "+", "-", "1 2",
                          "2147483648", "99999999999999999999"}) {
    EXPECT_FALSE(ParseWholeNumber(bad, &v)) << bad;
    EXPECT_EQ(v, 99) << bad;
  }
  EXPECT_EQ(WholeNumberOr("abc", 30), 30);
  EXPECT_EQ(WholeNumberOr("60", 30), 60);
}

TEST(FlagTest, YesIsOnlyY) {
  EXPECT_TRUE(IsYes("Y"));
  EXPECT_TRUE(IsYes("y"));
  EXPECT_TRUE(IsYes(" Y"));
  EXPECT_FALSE(IsYes("N"));
  EXPECT_FALSE(IsYes(""));
  EXPECT_FALSE(IsYes("YES"));
  EXPECT_EQ(YesNo(true), "Y");
  EXPECT_EQ(YesNo(false), "N");
}

TEST(DisplayDateTest, OrderDecidesWhichPartIsTheMonth) {
  const auto m = ParseDisplayDate("03/04/2024", DateOrder::kMonthFirst);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(*m, (Date{2024, 3, 4}));
  const auto d = ParseDisplayDate("03/04/2024", DateOrder::kDayFirst);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(*d, (Date{2024, 4, 3}));
  const auto y = ParseDisplayDate("2024/04/03", DateOrder::kYearFirst);
  ASSERT_TRUE(y.has_value());
  EXPECT_EQ(*y, (Date{2024, 4, 3}));
  EXPECT_EQ(DateOrderFromField("D"), DateOrder::kDayFirst);
  EXPECT_EQ(DateOrderFromField("M"), DateOrder::kMonthFirst);
  EXPECT_EQ(DateOrderFromField(""), DateOrder::kMonthFirst);
}

TEST(DisplayDateTest, ShortFormsAreAccepted) {
  EXPECT_EQ(ParseDisplayDate("3/4/2024", DateOrder::kMonthFirst),
            (Date{2024, 3, 4}));
  EXPECT_EQ(ParseDisplayDate(" 12/31/99 ", DateOrder::kMonthFirst),
            (Date{1999, 12, 31}));
  EXPECT_EQ(ParseDisplayDate("1/2/49", DateOrder::kMonthFirst),
            (Date{2049, 1, 2}));
  EXPECT_EQ(ParseDisplayDate("1/2/50", DateOrder::kMonthFirst),
            (Date{1950, 1, 2}));
  EXPECT_EQ(ParseDisplayDate("29/2/0", DateOrder::kDayFirst),
            (Date{2000, 2, 29}));
}

TEST(DisplayDateTest, InvalidDatesAreRefused) {
  for (const char* bad :
       {"", "13/01/2024", "00/10/2024", "02/30/2024", "02/29/2023",
        "04/31/2024", "1/1", "1/1/2024/5", "a/b/c", "01-02-2024",
        "01/02/202", "01/02/20245", "001/02/2024", "01/02/0000", "1//2024",
        "01/02/ 2024", "01/02/-2024"}) {
    EXPECT_FALSE(ParseDisplayDate(bad, DateOrder::kMonthFirst).has_value())
        << bad;
  }
  EXPECT_FALSE(ParseDisplayDate("31/04/2024", DateOrder::kDayFirst));
  EXPECT_TRUE(ParseDisplayDate("29/02/2000", DateOrder::kDayFirst));
  EXPECT_FALSE(ParseDisplayDate("29/02/1900", DateOrder::kDayFirst));
}

TEST(DisplayDateTest, FormattingPadsAndFollowsTheOrder) {
  const Date date{2024, 3, 4};
  EXPECT_EQ(FormatDisplayDate(date, DateOrder::kMonthFirst), "03/04/2024");
  EXPECT_EQ(FormatDisplayDate(date, DateOrder::kDayFirst), "04/03/2024");
  EXPECT_EQ(FormatDisplayDate(date, DateOrder::kYearFirst), "2024/03/04");
  EXPECT_EQ(FormatDisplayDate(Date{987, 12, 25}, DateOrder::kMonthFirst),
            "12/25/0987");
}

TEST(SortableDateTest, RoundTripsAndRefusesOtherForms) {
  EXPECT_EQ(SortableDate(Date{2024, 3, 4}), "2024/03/04");
  EXPECT_EQ(ParseSortableDate("2024/03/04"), (Date{2024, 3, 4}));
  EXPECT_FALSE(ParseSortableDate("2024/3/4"));
  EXPECT_FALSE(ParseSortableDate("2023/02/29"));
  EXPECT_FALSE(ParseSortableDate(" "));
  EXPECT_FALSE(ParseSortableDate("2024-03-04"));
  EXPECT_EQ(DisplayToSortable("04/03/2024", DateOrder::kDayFirst),
            "2024/03/04");
  EXPECT_EQ(DisplayToSortable("3/4/24", DateOrder::kMonthFirst), "2024/03/04");
  EXPECT_EQ(DisplayToSortable("13/13/2024", DateOrder::kMonthFirst), "");
}

TEST(DateArithmeticTest, DayCountsAgreeWithTheCalendar) {
  EXPECT_EQ((Date{1970, 1, 1}).ToDays(), 0);
  EXPECT_EQ((Date{2000, 3, 1}).ToDays(), 11017);
  EXPECT_EQ((Date{1969, 12, 31}).ToDays(), -1);
  EXPECT_EQ(Date::FromDays(11017), (Date{2000, 3, 1}));
  EXPECT_EQ((Date{2024, 2, 28}).AddDays(1), (Date{2024, 2, 29}));
  EXPECT_EQ((Date{2023, 2, 28}).AddDays(1), (Date{2023, 3, 1}));
  EXPECT_EQ((Date{2024, 12, 31}).AddDays(1), (Date{2025, 1, 1}));
  EXPECT_EQ((Date{2024, 1, 1}).AddDays(-1), (Date{2023, 12, 31}));
  EXPECT_EQ((Date{2024, 1, 31}).AddDays(30), (Date{2024, 3, 1}));
  // Every day of four centuries turns back into itself.
  for (int64_t d = (Date{1900, 1, 1}).ToDays();
       d <= (Date{2300, 12, 31}).ToDays(); ++d) {
    const Date date = Date::FromDays(d);
    ASSERT_TRUE(date.IsValid()) << d;
    ASSERT_EQ(date.ToDays(), d);
  }
}

TEST(DateArithmeticTest, AgeInWholeDaysAcrossBoundaries) {
  EXPECT_EQ(AgeInDays(Date{2024, 5, 1}, Date{2024, 5, 1}), 0);
  EXPECT_EQ(AgeInDays(Date{2024, 1, 31}, Date{2024, 2, 1}), 1);
  EXPECT_EQ(AgeInDays(Date{2023, 12, 31}, Date{2024, 1, 1}), 1);
  EXPECT_EQ(AgeInDays(Date{2024, 2, 1}, Date{2024, 3, 1}), 29);
  EXPECT_EQ(AgeInDays(Date{2023, 2, 1}, Date{2023, 3, 1}), 28);
  EXPECT_EQ(AgeInDays(Date{2024, 1, 1}, Date{2025, 1, 1}), 366);
  EXPECT_EQ(AgeInDays(Date{2023, 1, 1}, Date{2024, 1, 1}), 365);
  EXPECT_EQ(AgeInDays(Date{1999, 12, 1}, Date{2000, 3, 1}), 91);
  EXPECT_EQ(AgeInDays(Date{2024, 3, 10}, Date{2024, 3, 1}), -9);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
  EXPECT_EQ(DaysInMonth(2024, 13), 0);
}

TEST(LongDateTest, WeekdayMonthNameAndTwelveHourClock) {
  EXPECT_EQ(FormatLongDate(Date{2024, 3, 4}), "Monday, March 4, 2024");
  EXPECT_EQ(FormatLongDate(Date{2000, 2, 29}), "Tuesday, February 29, 2000");
  EXPECT_EQ(FormatLongDate(Date{1969, 12, 31}),
            "Wednesday, December 31, 1969");
  EXPECT_EQ(FormatLongDateTime(Date{2024, 3, 4}, 14, 5),
            "Monday, March 4, 2024, 02:05 PM");
  EXPECT_EQ(FormatLongDateTime(Date{2024, 3, 4}, 0, 0),
            "Monday, March 4, 2024, 12:00 AM");
  EXPECT_EQ(FormatLongDateTime(Date{2024, 3, 4}, 12, 30),
            "Monday, March 4, 2024, 12:30 PM");
  EXPECT_EQ(FormatLongDateTime(Date{2024, 3, 4}, 23, 59),
            "Monday, March 4, 2024, 11:59 PM");
}

}  // namespace
}  // namespace tallybook::company
