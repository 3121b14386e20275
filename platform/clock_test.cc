#include "platform/clock.h"

#include <gtest/gtest.h>

#include "platform/gauge_window.h"

namespace tallybook::platform {
namespace {

TEST(Calendar, DayOfWeekOfKnownDates) {
  EXPECT_EQ(DayOfWeek(2024, 1, 1), 1);    // Monday
  EXPECT_EQ(DayOfWeek(2000, 2, 29), 2);   // Tuesday
  EXPECT_EQ(DayOfWeek(1995, 1, 1), 0);    // Sunday
  EXPECT_EQ(DayOfWeek(2023, 12, 31), 0);  // Sunday
  EXPECT_EQ(DayOfWeek(1900, 3, 1), 4);    // Thursday
}

TEST(Calendar, LeapYearsAndMonthEnds) {
  EXPECT_TRUE(IsValidDate(2024, 2, 29));
  EXPECT_FALSE(IsValidDate(2023, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_FALSE(IsValidDate(2024, 4, 31));
  EXPECT_FALSE(IsValidDate(2024, 13, 1));
  EXPECT_FALSE(IsValidDate(2024, 0, 1));
  EXPECT_FALSE(IsValidDate(0, 1, 1));
}

TEST(FixedClockTest, SaysWhatItWasSetToWithItsWeekday) {
  FixedClock clock;
  ASSERT_TRUE(clock.Set(2024, 2, 29, 15, 4, 5));
  EXPECT_EQ(clock.Now(), (DateTime{2024, 2, 29, 15, 4, 5, 4}));
}

TEST(FixedClockTest, InvalidTimeIsRefusedAndKeepsTheOldTime) {
  FixedClock clock;
  ASSERT_TRUE(clock.Set(2024, 3, 1));
  const DateTime before = clock.Now();
  EXPECT_FALSE(clock.Set(2023, 2, 29));
  EXPECT_FALSE(clock.Set(2024, 3, 1, 24, 0, 0));
  EXPECT_FALSE(clock.Set(2024, 3, 1, 12, 60, 0));
  EXPECT_EQ(clock.Now(), before);
}

TEST(SystemClockTest, GivesAConsistentLocalDate) {
  const DateTime now = SystemClock().Now();
  EXPECT_TRUE(IsValidDate(now.year, now.month, now.day));
  EXPECT_EQ(now.day_of_week, DayOfWeek(now.year, now.month, now.day));
  EXPECT_GE(now.hour, 0);
  EXPECT_LE(now.second, 59);
}

TEST(Percent, ClampsAndNeverDividesByZero) {
  EXPECT_EQ(PercentOf(0, 0), 0);
  EXPECT_EQ(PercentOf(5, -1), 0);
  EXPECT_EQ(PercentOf(1, 3), 33);
  EXPECT_EQ(PercentOf(3, 3), 100);
  EXPECT_EQ(PercentOf(7, 3), 100);
  EXPECT_EQ(PercentOf(-2, 3), 0);
  const long long huge = 1LL << 60;
  EXPECT_EQ(PercentOf(huge / 2, huge), 49);
  EXPECT_EQ(ClampPercent(-5), 0);
  EXPECT_EQ(ClampPercent(150), 100);
}

}  // namespace
}  // namespace tallybook::platform
