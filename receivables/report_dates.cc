#include "receivables/report_dates.h"

namespace tallybook::receivables {

using company::Date;

const std::vector<std::string>& DatePresets() {
  static const std::vector<std::string> presets = {
      kPresetCurrentMonth,  kPresetCurrentYear,   kPresetCustomDates,
      kPresetLast12Months,  kPresetLast30Days,    kPresetLast60Days,
      kPresetLast90Days,    kPresetMonthToDate,   kPresetPreviousMonth,
      kPresetPreviousYear,  kPresetYearToDate};
  return presets;
}

namespace {

Date LastOfMonth(int year, int month) {
  return {year, month, company::DaysInMonth(year, month)};
}

}  // namespace

std::optional<DateRange> PresetRange(std::string_view name,
                                     const Date& today) {
  const int y = today.year;
  const int m = today.month;
  if (name == kPresetMonthToDate) return DateRange{{y, m, 1}, today};
  if (name == kPresetYearToDate) return DateRange{{y, 1, 1}, today};
  if (name == kPresetLast30Days) return DateRange{today.AddDays(-30), today};
  if (name == kPresetLast60Days) return DateRange{today.AddDays(-60), today};
  if (name == kPresetLast90Days) return DateRange{today.AddDays(-90), today};
  if (name == kPresetLast12Months) {
    Date back{y - 1, m, today.day};
    if (!back.IsValid()) back = LastOfMonth(y - 1, m);
    return DateRange{back, today};
  }
  if (name == kPresetCurrentYear) return DateRange{{y, 1, 1}, {y, 12, 31}};
  if (name == kPresetPreviousYear) {
    return DateRange{{y - 1, 1, 1}, {y - 1, 12, 31}};
  }
  if (name == kPresetCurrentMonth) {
    return DateRange{{y, m, 1}, LastOfMonth(y, m)};
  }
  if (name == kPresetPreviousMonth) {
    const int py = m == 1 ? y - 1 : y;
    const int pm = m == 1 ? 12 : m - 1;
    return DateRange{{py, pm, 1}, LastOfMonth(py, pm)};
  }
  return std::nullopt;
}

DateCheck CheckReportDates(std::string_view from, std::string_view to,
                           company::DateOrder order) {
  DateCheck check;
  const std::optional<Date> f = company::ParseDisplayDate(from, order);
  if (!f) {
    check.field = DateField::kFrom;
    check.text = kInvalidFromDate;
    check.caption = kFromDateCaption;
    return check;
  }
  const std::optional<Date> t = company::ParseDisplayDate(to, order);
  if (!t) {
    check.field = DateField::kTo;
    check.text = kInvalidToDate;
    check.caption = kToDateCaption;
    return check;
  }
  if (*t < *f) {
    check.field = DateField::kFrom;
    check.text = kToBeforeFrom;
    check.caption = kFromDateCaption;
    return check;
  }
  check.range = {*f, *t};
  return check;
}

}  // namespace tallybook::receivables
