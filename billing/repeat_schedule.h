// The schedule of a repeat billing master: how its next due date moves on,
// how that date is written, and how its generated invoices are numbered.
//
// A master (type "R") carries its schedule in four fields of its
// transaction record: RepeatUnit ("M" months, anything else days),
// RepeatInterval (at least 1), NextDueDate (always "mm/dd/yyyy", whatever
// the company's date order) and RepeatCount (invoices generated so far).
// Its generated invoices are numbered master + "G" + count, which must fit
// the nine characters of an invoice number: a master number has at most
// five characters and the count at most three digits.
#ifndef TALLYBOOK_BILLING_REPEAT_SCHEDULE_H_
#define TALLYBOOK_BILLING_REPEAT_SCHEDULE_H_

#include <optional>
#include <string>
#include <string_view>

#include "company/format.h"

namespace tallybook::billing {

// The longest master number, and the largest generated count (the count
// field holds three digits).
inline constexpr int kMaxMasterNoLength = 5;
inline constexpr int kMaxRepeatCount = 999;

inline constexpr char kRepeatMonths[] = "M";
inline constexpr char kRepeatDays[] = "D";

// The stored next due date "mm/dd/yyyy" read month first; nullopt when it
// is not a real date.
std::optional<company::Date> ParseNextDueDate(std::string_view text);
// The date written as the next due date: "mm/dd/yyyy".
// Precondition: date.IsValid().
std::string NextDueDateText(const company::Date& date);

// The stored next due date in the company's order, for the list and the
// setup window (day first for a day-first company). A date that cannot be
// read is shown as stored.
std::string NextDueDateShown(std::string_view stored, company::DateOrder order);

// date moved on by `months` months: the month steps up one at a time,
// rolling over into January of the next year, and the day stays the same
// unless the month reached is shorter, where it becomes that month's last
// day (January 31 + 1 month is February 28, or 29 in a leap year).
// nullopt when the result would lie beyond the year 9999.
// Preconditions: date.IsValid(), months >= 0.
std::optional<company::Date> AddMonthsKeepingDay(const company::Date& date,
                                                 int months);

// The next due date after `due`: `interval` months on for unit "M", else
// `interval` days on. nullopt when it would lie beyond the year 9999.
// Preconditions: due.IsValid(), interval >= 1.
std::optional<company::Date> StepDueDate(const company::Date& due,
                                         std::string_view unit, int interval);

// Whether the stored unit means months ("M", blanks and case ignored).
bool IsMonthlyUnit(std::string_view unit);

// The number of the count-th invoice generated from master_no:
// trimmed, upper-cased master + "G" + count ("1001G1").
std::string GeneratedInvoiceNo(std::string_view master_no, int count);

// The interval or count text as a number: blank is 0; nullopt when it is
// not a whole number.
std::optional<int> ScheduleNumber(std::string_view text);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_REPEAT_SCHEDULE_H_
