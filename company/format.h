// Numbers, money, flags and dates as the records hold them and as the
// program shows them. One place for all of it: windows and reports never
// hand-roll these conversions.
//
// Money and quantities are stored as text ("1234.50": trimmed, no commas,
// "0.00" when empty), computed in double and shown with the ",0.00" pattern
// ("1,234.50"). The process-wide separators are fixed: thousands ",",
// decimal ".", date "/".
//
// Display dates follow the company's DateOrder: "M" gives mm/dd/yyyy, "D"
// gives dd/mm/yyyy. Sortable dates are "YYYY/MM/DD".
#ifndef TALLYBOOK_COMPANY_FORMAT_H_
#define TALLYBOOK_COMPANY_FORMAT_H_

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallybook::company {

// ---- Money and numbers.

// The text to store in a money or quantity field for what the user typed or
// a computation produced: trimmed, every comma removed, "0.00" when that
// leaves nothing. The text is not checked to be a number.
std::string MoneyToStore(std::string_view text);

// The platform's lenient text-to-number conversion as the program uses it
// on stored amounts: blanks around the text and commas are ignored; an
// empty or non-numeric text gives 0.
double MoneyToDouble(std::string_view text);

// Strict conversion: true and *value when text (trimmed, commas ignored) is
// a whole decimal number: optional sign, digits with an optional decimal
// point, optional exponent ("1e3"). False, *value untouched, for empty
// text, garbage, trailing characters, or a value out of range.
bool ParseMoney(std::string_view text, double* value);

// value rounded half away from zero to `decimals` places (0..9) on its
// shortest decimal form, so 2.675 gives 2.68 although the double is just
// below it. With thousands, groups of three digits are separated by commas.
// A result that rounds to zero is never shown with a minus sign; NaN and
// infinities give zero.
std::string FormatNumber(double value, int decimals, bool thousands);

// The ",0.00" pattern: FormatNumber(value, 2, true), e.g. "-1,234.50".
std::string FormatMoney(double value);
// FormatMoney(MoneyToDouble(text)): a stored amount as shown.
std::string FormatMoneyText(std::string_view text);
// The "0.00" pattern without separators, for storing a computed amount:
// FormatNumber(value, 2, false), e.g. "1234.50".
std::string MoneyText(double value);

// Strict whole-number conversion (blanks around the text are ignored; an
// optional sign, then digits only). True and *value on success; false for
// "", "abc", "1.5", "12x" or a value outside int32. *value is untouched on
// failure.
bool ParseWholeNumber(std::string_view text, int32_t* value);
// ParseWholeNumber, or fallback when the text is not a whole number.
int32_t WholeNumberOr(std::string_view text, int32_t fallback);

// ---- Yes/no flags.

// True when the flag text is "Y" (blanks around it ignored, either case).
bool IsYes(std::string_view flag);
// "Y" or "N".
std::string YesNo(bool yes);

// ---- Dates.

// A civil (proleptic Gregorian) date. A default Date is 0000-00-00, which is
// not valid.
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;

  // True for a real calendar date in years 1..9999.
  bool IsValid() const;
  // Days since 1970-01-01 (negative before it). Precondition: IsValid().
  int64_t ToDays() const;
  // The date that lies `days` after 1970-01-01.
  static Date FromDays(int64_t days);
  // This date moved by n days (negative moves back). Precondition: IsValid().
  Date AddDays(int64_t n) const;

  auto operator<=>(const Date&) const = default;
};

// Number of days in month of year, 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
bool IsLeapYear(int year);

// The order of the parts of a display date.
enum class DateOrder {
  kMonthFirst,  // mm/dd/yyyy, DateOrder "M"
  kDayFirst,    // dd/mm/yyyy, DateOrder "D"
  kYearFirst,   // yyyy/mm/dd, used while scanning sortable dates
};

// The order a company's DateOrder field names: "D" is day first, anything
// else month first.
DateOrder DateOrderFromField(std::string_view date_order);

// Parses a display date in the given order. The rule, which is that of a
// short-date parser: blanks around the text are ignored; exactly three
// parts separated by "/", each one or more digits; month and day have one
// or two digits; the year has one, two or four digits, and a one- or
// two-digit year yy means 20yy when yy < 50 and 19yy otherwise; the result
// must be a real calendar date. Anything else returns nullopt.
std::optional<Date> ParseDisplayDate(std::string_view text, DateOrder order);

// The display date with zero-padded two-digit month and day and a
// four-digit year in the given order ("03/04/2024"). Precondition: IsValid().
std::string FormatDisplayDate(const Date& date, DateOrder order);

// "YYYY/MM/DD". Precondition: IsValid().
std::string SortableDate(const Date& date);
// Parses "YYYY/MM/DD" strictly (exactly that form, a real date).
std::optional<Date> ParseSortableDate(std::string_view text);
// The sortable form of a display date, or empty when it does not parse.
std::string DisplayToSortable(std::string_view text, DateOrder order);

// Day of the week, 0 = Sunday .. 6 = Saturday. Precondition: IsValid().
int DayOfWeek(const Date& date);

// The long form "dddd, mmmm d, yyyy", e.g. "Monday, March 4, 2024".
// Precondition: IsValid().
std::string FormatLongDate(const Date& date);
// "dddd, mmmm d, yyyy, hh:mm AM/PM" with a 12-hour clock, e.g.
// "Monday, March 4, 2024, 02:05 PM"; hour 0..23, minute 0..59.
std::string FormatLongDateTime(const Date& date, int hour, int minute);

// Whole days from `from` to `to`: 0 for the same day, negative when `to`
// lies before `from`. Preconditions: both IsValid().
int64_t AgeInDays(const Date& from, const Date& to);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_FORMAT_H_
