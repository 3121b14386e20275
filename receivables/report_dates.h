// The report wizard's dates: the presets of its date list and the checks
// of View.
//
// Presets are computed from today. Every date is a calendar date shown in
// the company's order (mm/dd/yyyy or dd/mm/yyyy):
//   "Month to Date"   the first of this month .. today
//   "Year to Date"    January 1 .. today
//   "Last 30 Days"    today - 30 days .. today (60, 90 alike)
//   "Last 12 Months"  the same day a year back .. today (February 29 goes
//                     back to February 28, a day that exists)
//   "Current Year"    January 1 .. December 31 of this year
//   "Previous Year"   the same for last year
//   "Current Month"   the first .. the last day of this month
//   "Previous Month"  the first .. the last day of the month before
//                     (December of last year in January)
//   "Custom Dates"    no dates: the fields keep what they hold
#ifndef TALLYBOOK_RECEIVABLES_REPORT_DATES_H_
#define TALLYBOOK_RECEIVABLES_REPORT_DATES_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "company/format.h"

namespace tallybook::receivables {

inline constexpr char kPresetCurrentMonth[] = "Current Month";
inline constexpr char kPresetCurrentYear[] = "Current Year";
inline constexpr char kPresetCustomDates[] = "Custom Dates";
inline constexpr char kPresetLast12Months[] = "Last 12 Months";
inline constexpr char kPresetLast30Days[] = "Last 30 Days";
inline constexpr char kPresetLast60Days[] = "Last 60 Days";
inline constexpr char kPresetLast90Days[] = "Last 90 Days";
inline constexpr char kPresetMonthToDate[] = "Month to Date";
inline constexpr char kPresetPreviousMonth[] = "Previous Month";
inline constexpr char kPresetPreviousYear[] = "Previous Year";
inline constexpr char kPresetYearToDate[] = "Year to Date";

// The checks of View: each a warning that keeps the wizard open with the
// field named focused.
inline constexpr char kInvalidFromDate[] =
    "You have an invalid beginning date. You can clear the date and then "
    "select the calendar button.";
inline constexpr char kInvalidToDate[] =
    "You have an invalid ending date. You can clear the date and then select "
    "the calendar button.";
inline constexpr char kToBeforeFrom[] =
    "Your beginning date is not older than your ending date.";
inline constexpr char kFromDateCaption[] = "FROM Date";
inline constexpr char kToDateCaption[] = "TO Date";

// The preset list in the order it shows (sorted by name).
const std::vector<std::string>& DatePresets();

struct DateRange {
  company::Date from;
  company::Date to;
};

// The dates of preset `name` for today; nullopt for "Custom Dates" and for
// a name that is no preset. Precondition: today.IsValid().
std::optional<DateRange> PresetRange(std::string_view name,
                                     const company::Date& today);

// Which field a failed check concerns.
enum class DateField { kNone, kFrom, kTo };

struct DateCheck {
  DateField field = DateField::kNone;  // kNone: the dates are good
  const char* text = nullptr;          // the warning
  const char* caption = nullptr;
  DateRange range;                     // the dates, when good
};

// The three checks of View, in order: the from date reads as a date in the
// given order, the to date does, and the to date is not before the from
// date (the same day is accepted).
DateCheck CheckReportDates(std::string_view from, std::string_view to,
                           company::DateOrder order);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_REPORT_DATES_H_
