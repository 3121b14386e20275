// The texts of date selection and of the main window's clock: the chosen
// date in the company's order, its long form, the clock line, the month
// and year lists, and how a month or year choice moves the calendar.
#ifndef TALLYBOOK_COMPANY_CALENDAR_H_
#define TALLYBOOK_COMPANY_CALENDAR_H_

#include <string>
#include <string_view>
#include <vector>

#include "company/format.h"
#include "platform/clock.h"

namespace tallybook::company {

// Years the year list holds on each side of the calendar's year.
inline constexpr int kYearListSpan = 3;

// "January" .. "December" for 1..12; "" for any other month.
const char* MonthName(int month);
// "Sunday" .. "Saturday" for 0..6; "" for any other day.
const char* WeekdayName(int day_of_week);

// The chosen-date line: zero-padded two-digit month and day and a four-
// digit year in the given order ("04/03/2024" month first, "03/04/2024"
// day first). Precondition: date.IsValid().
std::string ChosenDateText(const Date& date, DateOrder order);

// The long line, "dddd, mmmm d, yyyy": "Wednesday, April 3, 2024".
// Precondition: date.IsValid().
std::string LongDateText(const Date& date);

// The clock panel, "dddd, mmmm d, yyyy, hh:mm AM/PM": the hour on the
// twelve-hour dial, two digits ("Wednesday, April 3, 2024, 02:05 PM";
// midnight is "12:00 AM", noon "12:00 PM"). An invalid date gives "".
std::string ClockText(const platform::DateTime& now);

// The year list around `year`: the three years before it, it, and the
// three after, in ascending order, kept within 1..9999.
std::vector<int> YearList(int year);

// The date a month choice moves the calendar to: the day becomes 1 first,
// then the month (1..12) is set. A month outside 1..12 leaves date as it is.
Date WithMonth(const Date& date, int month);

// The date a year choice moves the calendar to. A text that is not a whole
// number of a year 1..9999 leaves the date as it is (the caller puts the
// calendar's year back into the field). On 29 February into a common year
// the day becomes the 28th, so the result is always a real date.
Date WithYearText(const Date& date, std::string_view year_text);

// The date the calendar starts on: the field's text read in the given
// order, or today when it does not hold a valid date.
Date StartingDate(std::string_view field_text, DateOrder order,
                  const Date& today);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_CALENDAR_H_
