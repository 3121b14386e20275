#include "company/calendar.h"

#include <gtest/gtest.h>

namespace tallybook::company {
namespace {

TEST(ChosenDateText, FollowsTheCompanyOrderWithPaddedParts) {
  EXPECT_EQ(ChosenDateText(Date{2024, 4, 3}, DateOrder::kMonthFirst),
            "04/03/2024");
  EXPECT_EQ(ChosenDateText(Date{2024, 4, 3}, DateOrder::kDayFirst),
            "03/04/2024");
  EXPECT_EQ(ChosenDateText(Date{987, 12, 31}, DateOrder::kMonthFirst),
            "12/31/0987");
}

TEST(ChosenDateText, DayFirstTextReadsBackAsTheThirdOfApril) {
  std::optional<Date> date = ParseDisplayDate("03/04/2024", DateOrder::kDayFirst);
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(*date, (Date{2024, 4, 3}));
  EXPECT_EQ(LongDateText(*date), "Wednesday, April 3, 2024");
  EXPECT_EQ(StartingDate("03/04/2024", DateOrder::kDayFirst, Date{2000, 1, 1}),
            (Date{2024, 4, 3}));
  EXPECT_EQ(StartingDate("03/04/2024", DateOrder::kMonthFirst,
                         Date{2000, 1, 1}),
            (Date{2024, 3, 4}));
}

TEST(LongDateText, NamesWeekdayAndMonthWithoutPaddingTheDay) {
  EXPECT_EQ(LongDateText(Date{2000, 1, 1}), "Saturday, January 1, 2000");
  EXPECT_EQ(LongDateText(Date{2023, 12, 25}), "Monday, December 25, 2023");
  EXPECT_EQ(LongDateText(Date{2024, 2, 29}), "Thursday, February 29, 2024");
}

TEST(ClockText, UsesTheTwelveHourDialWithTwoDigitHours) {
  platform::DateTime t{2024, 4, 3, 14, 5, 59, 3};
  EXPECT_EQ(ClockText(t), "Wednesday, April 3, 2024, 02:05 PM");
  t.hour = 0;
  t.minute = 0;
  EXPECT_EQ(ClockText(t), "Wednesday, April 3, 2024, 12:00 AM");
  t.hour = 12;
  EXPECT_EQ(ClockText(t), "Wednesday, April 3, 2024, 12:00 PM");
  t.hour = 11;
  t.minute = 59;
  EXPECT_EQ(ClockText(t), "Wednesday, April 3, 2024, 11:59 AM");
  t.hour = 23;
  EXPECT_EQ(ClockText(t), "Wednesday, April 3, 2024, 11:59 PM");
  t.month = 2;
  t.day = 30;
  EXPECT_EQ(ClockText(t), "");
}

TEST(YearList, HoldsThreeYearsOnEachSide) {
  EXPECT_EQ(YearList(2024),
            (std::vector<int>{2021, 2022, 2023, 2024, 2025, 2026, 2027}));
  EXPECT_EQ(YearList(2), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(YearList(9998), (std::vector<int>{9995, 9996, 9997, 9998, 9999}));
}

TEST(MonthAndYearChoice, MonthSetsDayToOneFirst) {
  // Without the day going to 1 first, 31 January into April (or February)
  // would be no date at all.
  EXPECT_EQ(WithMonth(Date{2024, 1, 31}, 4), (Date{2024, 4, 1}));
  EXPECT_EQ(WithMonth(Date{2024, 1, 31}, 2), (Date{2024, 2, 1}));
  EXPECT_EQ(WithMonth(Date{2024, 1, 31}, 13), (Date{2024, 1, 31}));
  EXPECT_EQ(WithMonth(Date{2024, 1, 31}, 0), (Date{2024, 1, 31}));
}

TEST(MonthAndYearChoice, InvalidYearTextKeepsTheCalendarsYear) {
  const Date d{2024, 5, 17};
  EXPECT_EQ(WithYearText(d, "2026"), (Date{2026, 5, 17}));
  EXPECT_EQ(WithYearText(d, " 2021 "), (Date{2021, 5, 17}));
  EXPECT_EQ(WithYearText(d, "20x6"), d);
  EXPECT_EQ(WithYearText(d, ""), d);
  EXPECT_EQ(WithYearText(d, "0"), d);
  EXPECT_EQ(WithYearText(d, "10000"), d);
  EXPECT_EQ(WithYearText(d, "-5"), d);
  EXPECT_EQ(WithYearText(Date{2024, 2, 29}, "2023"), (Date{2023, 2, 28}));
}

TEST(StartingDate, FieldWithoutAValidDateStartsOnToday) {
  const Date today{2024, 6, 9};
  EXPECT_EQ(StartingDate("", DateOrder::kMonthFirst, today), today);
  EXPECT_EQ(StartingDate("13/01/2024", DateOrder::kMonthFirst, today), today);
  EXPECT_EQ(StartingDate("02/30/2024", DateOrder::kMonthFirst, today), today);
  EXPECT_EQ(StartingDate(" 12/01/2023 ", DateOrder::kMonthFirst, today),
            (Date{2023, 12, 1}));
}

}  // namespace
}  // namespace tallybook::company
