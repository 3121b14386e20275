#include "billing/repeat_schedule.h"

#include <gtest/gtest.h>

namespace tallybook::billing {
namespace {

using company::Date;
using company::DateOrder;

Date Step(const Date& from, const char* unit, int interval) {
  const std::optional<Date> next = StepDueDate(from, unit, interval);
  EXPECT_TRUE(next.has_value());
  return next.value_or(Date{});
}

TEST(RepeatScheduleTest, MonthsKeepTheDayLoweredToTheEndOfShorterMonths) {
  // Leap year: January 31 gives February 29, which then stays on 29.
  Date d = Step({2024, 1, 31}, "M", 1);
  EXPECT_EQ(d, (Date{2024, 2, 29}));
  EXPECT_EQ(Step(d, "M", 1), (Date{2024, 3, 29}));
  // Common year: February 28, and day 28 from there on.
  d = Step({2023, 1, 31}, "M", 1);
  EXPECT_EQ(d, (Date{2023, 2, 28}));
  EXPECT_EQ(Step(d, "M", 1), (Date{2023, 3, 28}));
  // Gregorian rule: 2100 is not a leap year, 2000 is.
  EXPECT_EQ(Step({2100, 1, 31}, "M", 1), (Date{2100, 2, 28}));
  EXPECT_EQ(Step({2000, 1, 31}, "M", 1), (Date{2000, 2, 29}));
  // Over the year's end.
  EXPECT_EQ(Step({2024, 11, 15}, "M", 3), (Date{2025, 2, 15}));
  EXPECT_EQ(Step({2024, 12, 31}, "m", 1), (Date{2025, 1, 31}));
  EXPECT_EQ(Step({2024, 8, 31}, " M", 25), (Date{2026, 9, 30}));
}

TEST(RepeatScheduleTest, AnyOtherUnitCountsDays) {
  EXPECT_EQ(Step({2024, 12, 25}, "D", 14), (Date{2025, 1, 8}));
  EXPECT_EQ(Step({2024, 2, 28}, "D", 1), (Date{2024, 2, 29}));
  EXPECT_EQ(Step({2024, 2, 28}, "", 2), (Date{2024, 3, 1}));
  EXPECT_FALSE(StepDueDate({9999, 12, 31}, "D", 1));
  EXPECT_FALSE(StepDueDate({9999, 12, 1}, "M", 1));
}

TEST(RepeatScheduleTest, NextDueDateIsMonthFirstWhateverTheCompanyOrder) {
  EXPECT_EQ(NextDueDateText({2024, 2, 5}), "02/05/2024");
  EXPECT_EQ(ParseNextDueDate("02/05/2024"), (Date{2024, 2, 5}));
  EXPECT_FALSE(ParseNextDueDate("13/05/2024"));
  EXPECT_FALSE(ParseNextDueDate(""));
  EXPECT_EQ(NextDueDateShown("02/05/2024", DateOrder::kDayFirst), "05/02/2024");
  EXPECT_EQ(NextDueDateShown("02/05/2024", DateOrder::kMonthFirst),
            "02/05/2024");
  EXPECT_EQ(NextDueDateShown("junk", DateOrder::kDayFirst), "junk");
}

TEST(RepeatScheduleTest, GeneratedNumbersFitNineCharacters) {
  EXPECT_EQ(GeneratedInvoiceNo("1001", 1), "1001G1");
  EXPECT_EQ(GeneratedInvoiceNo(" ab12c ", kMaxRepeatCount), "AB12CG999");
  EXPECT_EQ(GeneratedInvoiceNo("AB12C", kMaxRepeatCount).size(), 9u);
  EXPECT_EQ(ScheduleNumber(""), 0);
  EXPECT_EQ(ScheduleNumber(" 12 "), 12);
  EXPECT_FALSE(ScheduleNumber("1x"));
}

}  // namespace
}  // namespace tallybook::billing
