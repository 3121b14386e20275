#include "receivables/report_dates.h"

#include <gtest/gtest.h>

namespace tallybook::receivables {
namespace {

using company::Date;
using company::DateOrder;

std::string Range(const char* preset, Date today) {
  const std::optional<DateRange> r = PresetRange(preset, today);
  if (!r) return "none";
  return company::SortableDate(r->from) + "-" + company::SortableDate(r->to);
}

TEST(ReportDates, PresetsFollowTheCalendar) {
  const Date today{2024, 6, 15};
  EXPECT_EQ(Range(kPresetMonthToDate, today), "2024/06/01-2024/06/15");
  EXPECT_EQ(Range(kPresetYearToDate, today), "2024/01/01-2024/06/15");
  EXPECT_EQ(Range(kPresetLast30Days, today), "2024/05/16-2024/06/15");
  EXPECT_EQ(Range(kPresetLast60Days, today), "2024/04/16-2024/06/15");
  EXPECT_EQ(Range(kPresetLast90Days, today), "2024/03/17-2024/06/15");
  EXPECT_EQ(Range(kPresetLast12Months, today), "2023/06/15-2024/06/15");
  EXPECT_EQ(Range(kPresetCurrentYear, today), "2024/01/01-2024/12/31");
  EXPECT_EQ(Range(kPresetPreviousYear, today), "2023/01/01-2023/12/31");
  EXPECT_EQ(Range(kPresetCurrentMonth, today), "2024/06/01-2024/06/30");
  EXPECT_EQ(Range(kPresetPreviousMonth, today), "2024/05/01-2024/05/31");
  EXPECT_EQ(Range(kPresetCustomDates, today), "none");
  EXPECT_EQ(DatePresets().size(), 11u);
  EXPECT_TRUE(std::is_sorted(DatePresets().begin(), DatePresets().end()));
}

TEST(ReportDates, PresetsAcrossYearEndsAndFebruary) {
  EXPECT_EQ(Range(kPresetPreviousMonth, {2024, 1, 10}), "2023/12/01-2023/12/31");
  EXPECT_EQ(Range(kPresetLast30Days, {2024, 1, 10}), "2023/12/11-2024/01/10");
  EXPECT_EQ(Range(kPresetCurrentMonth, {2024, 2, 3}), "2024/02/01-2024/02/29");
  EXPECT_EQ(Range(kPresetCurrentMonth, {2023, 2, 3}), "2023/02/01-2023/02/28");
  EXPECT_EQ(Range(kPresetCurrentMonth, {2100, 2, 3}), "2100/02/01-2100/02/28");
  EXPECT_EQ(Range(kPresetPreviousMonth, {2000, 3, 31}), "2000/02/01-2000/02/29");
  EXPECT_EQ(Range(kPresetLast12Months, {2024, 2, 29}), "2023/02/28-2024/02/29");
  EXPECT_EQ(Range(kPresetLast30Days, {2024, 3, 1}), "2024/01/31-2024/03/01");
}

TEST(ReportDates, ChecksRunInOrderAndAcceptTheSameDay) {
  DateCheck c = CheckReportDates("06/15/2024", "06/15/2024", DateOrder::kMonthFirst);
  EXPECT_EQ(c.field, DateField::kNone);
  EXPECT_EQ(c.range.from, (Date{2024, 6, 15}));
  c = CheckReportDates("06/15/2024", "06/14/2024", DateOrder::kMonthFirst);
  EXPECT_EQ(c.field, DateField::kFrom);
  EXPECT_STREQ(c.text, kToBeforeFrom);
  EXPECT_STREQ(c.caption, "FROM Date");
  c = CheckReportDates("  /  /    ", "bad", DateOrder::kMonthFirst);
  EXPECT_EQ(c.field, DateField::kFrom);
  EXPECT_STREQ(c.text, kInvalidFromDate);
  c = CheckReportDates("02/29/2024", "02/30/2024", DateOrder::kMonthFirst);
  EXPECT_EQ(c.field, DateField::kTo);
  EXPECT_STREQ(c.text, kInvalidToDate);
  EXPECT_STREQ(c.caption, "TO Date");
  // Day first: 13/01 is January 13; 01/13 is no date.
  c = CheckReportDates("13/01/2024", "31/01/2024", DateOrder::kDayFirst);
  EXPECT_EQ(c.field, DateField::kNone);
  EXPECT_EQ(c.range.to, (Date{2024, 1, 31}));
  c = CheckReportDates("01/13/2024", "31/01/2024", DateOrder::kDayFirst);
  EXPECT_EQ(c.field, DateField::kFrom);
}

}  // namespace
}  // namespace tallybook::receivables
