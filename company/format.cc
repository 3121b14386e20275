#include "company/format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>

#include "company/text.h"

namespace tallybook::company {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

// True when s is [+-]digits[.digits][(e|E)[+-]digits] with at least one
// mantissa digit.
bool IsDecimalNumber(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t mantissa_digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++mantissa_digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  return i == s.size();
}

int ToInt(std::string_view digits) {
  int v = 0;
  for (char c : digits) v = v * 10 + (c - '0');
  return v;
}

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof(buf), "%02d", v);
  return buf;
}

std::string FourDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof(buf), "%04d", v);
  return buf;
}

}  // namespace

// ---- Money and numbers.

std::string MoneyToStore(std::string_view text) {
  std::string out = RemoveCommas(Trim(text));
  // Removing commas can expose blanks that sat between them and the ends.
  out = Trim(out);
  return out.empty() ? std::string("0.00") : out;
}

bool ParseMoney(std::string_view text, double* value) {
  std::string s = Trim(RemoveCommas(Trim(text)));
  if (!IsDecimalNumber(s)) return false;
  std::string_view digits = s;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double parsed = 0;
  const auto [ptr, ec] =
      std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (ec != std::errc() || ptr != digits.data() + digits.size()) return false;
  if (!std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}

double MoneyToDouble(std::string_view text) {
  double value = 0;
  return ParseMoney(text, &value) ? value : 0.0;
}

std::string FormatNumber(double value, int decimals, bool thousands) {
  if (decimals < 0) decimals = 0;
  if (decimals > 9) decimals = 9;
  if (!std::isfinite(value)) value = 0;

  // The shortest decimal text that reads back as value; rounding that text
  // rounds the number the user sees, not its binary neighbour.
  char buf[512];
  const auto [end, ec] =
      std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed);
  std::string text = ec == std::errc() ? std::string(buf, end) : "0";

  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.erase(0, 1);
  }
  const size_t dot = text.find('.');
  std::string whole = dot == std::string::npos ? text : text.substr(0, dot);
  std::string frac = dot == std::string::npos ? "" : text.substr(dot + 1);
  if (whole.empty()) whole = "0";

  bool round_up = frac.size() > static_cast<size_t>(decimals) &&
                  frac[decimals] >= '5';
  frac.resize(decimals, '0');
  if (round_up) {
    // Carry through the fraction, then the whole part.
    std::string digits = whole + frac;
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0) {
      if (digits[i] == '9') {
        digits[i] = '0';
        --i;
      } else {
        ++digits[i];
        break;
      }
    }
    if (i < 0) digits.insert(digits.begin(), '1');
    whole = digits.substr(0, digits.size() - decimals);
    frac = digits.substr(digits.size() - decimals);
  }

  bool is_zero = true;
  for (char c : whole + frac) {
    if (c != '0') is_zero = false;
  }

  std::string grouped;
  if (thousands) {
    const size_t n = whole.size();
    for (size_t i = 0; i < n; ++i) {
      if (i > 0 && (n - i) % 3 == 0) grouped.push_back(',');
      grouped.push_back(whole[i]);
    }
  } else {
    grouped = whole;
  }

  std::string out;
  if (negative && !is_zero) out.push_back('-');
  out += grouped;
  if (decimals > 0) {
    out.push_back('.');
    out += frac;
  }
  return out;
}

std::string FormatMoney(double value) { return FormatNumber(value, 2, true); }

std::string FormatMoneyText(std::string_view text) {
  return FormatMoney(MoneyToDouble(text));
}

std::string MoneyText(double value) { return FormatNumber(value, 2, false); }

bool ParseWholeNumber(std::string_view text, int32_t* value) {
  std::string s = Trim(text);
  std::string_view digits = s;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (!AllDigits(digits)) return false;
  int64_t parsed = 0;
  for (char c : digits) {
    parsed = parsed * 10 + (c - '0');
    if (parsed > int64_t{INT32_MAX} + 1) return false;
  }
  if (negative) parsed = -parsed;
  if (parsed < INT32_MIN || parsed > INT32_MAX) return false;
  *value = static_cast<int32_t>(parsed);
  return true;
}

int32_t WholeNumberOr(std::string_view text, int32_t fallback) {
  int32_t value = fallback;
  return ParseWholeNumber(text, &value) ? value : fallback;
}

// ---- Yes/no flags.

bool IsYes(std::string_view flag) {
  const std::string t = Trim(flag);
  return t == "Y" || t == "y";
}

std::string YesNo(bool yes) { return yes ? "Y" : "N"; }

// ---- Dates.

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30,
                                    31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool Date::IsValid() const {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

// Day counting over 400-year eras, after the well-known civil-calendar
// algorithms: March is month 0 of the shifted year so that the leap day
// ends it.
int64_t Date::ToDays() const {
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t mp = (month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Date Date::FromDays(int64_t days) {
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  return Date{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

Date Date::AddDays(int64_t n) const { return FromDays(ToDays() + n); }

DateOrder DateOrderFromField(std::string_view date_order) {
  return Trim(date_order) == "D" ? DateOrder::kDayFirst
                                 : DateOrder::kMonthFirst;
}

std::optional<Date> ParseDisplayDate(std::string_view text, DateOrder order) {
  const std::string s = Trim(text);
  std::string_view parts[3];
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t slash = s.find('/', start);
    if (i < 2) {
      if (slash == std::string::npos) return std::nullopt;
      parts[i] = std::string_view(s).substr(start, slash - start);
      start = slash + 1;
    } else {
      if (slash != std::string::npos) return std::nullopt;
      parts[i] = std::string_view(s).substr(start);
    }
  }
  for (const auto& p : parts) {
    if (!AllDigits(p)) return std::nullopt;
  }
  std::string_view month_text, day_text, year_text;
  switch (order) {
    case DateOrder::kMonthFirst:
      month_text = parts[0], day_text = parts[1], year_text = parts[2];
      break;
    case DateOrder::kDayFirst:
      day_text = parts[0], month_text = parts[1], year_text = parts[2];
      break;
    case DateOrder::kYearFirst:
      year_text = parts[0], month_text = parts[1], day_text = parts[2];
      break;
  }
  if (month_text.size() > 2 || day_text.size() > 2) return std::nullopt;
  if (year_text.size() == 3 || year_text.size() > 4) return std::nullopt;
  Date date{ToInt(year_text), ToInt(month_text), ToInt(day_text)};
  if (year_text.size() <= 2) {
    date.year += date.year < 50 ? 2000 : 1900;
  }
  if (!date.IsValid()) return std::nullopt;
  return date;
}

std::string FormatDisplayDate(const Date& date, DateOrder order) {
  const std::string mm = TwoDigits(date.month);
  const std::string dd = TwoDigits(date.day);
  const std::string yyyy = FourDigits(date.year);
  switch (order) {
    case DateOrder::kDayFirst: return dd + "/" + mm + "/" + yyyy;
    case DateOrder::kYearFirst: return yyyy + "/" + mm + "/" + dd;
    case DateOrder::kMonthFirst: break;
  }
  return mm + "/" + dd + "/" + yyyy;
}

std::string SortableDate(const Date& date) {
  return FourDigits(date.year) + "/" + TwoDigits(date.month) + "/" +
         TwoDigits(date.day);
}

std::optional<Date> ParseSortableDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '/' || text[7] != '/') {
    return std::nullopt;
  }
  const std::string_view y = text.substr(0, 4);
  const std::string_view m = text.substr(5, 2);
  const std::string_view d = text.substr(8, 2);
  if (!AllDigits(y) || !AllDigits(m) || !AllDigits(d)) return std::nullopt;
  Date date{ToInt(y), ToInt(m), ToInt(d)};
  if (!date.IsValid()) return std::nullopt;
  return date;
}

std::string DisplayToSortable(std::string_view text, DateOrder order) {
  const std::optional<Date> date = ParseDisplayDate(text, order);
  return date ? SortableDate(*date) : std::string();
}

int DayOfWeek(const Date& date) {
  // 1970-01-01 was a Thursday.
  const int64_t d = date.ToDays();
  return static_cast<int>(((d % 7) + 7 + 4) % 7);
}

std::string FormatLongDate(const Date& date) {
  static constexpr const char* kDays[7] = {"Sunday",   "Monday", "Tuesday",
                                           "Wednesday", "Thursday", "Friday",
                                           "Saturday"};
  static constexpr const char* kMonths[12] = {
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  const int month = date.month >= 1 && date.month <= 12 ? date.month : 1;
  return std::string(kDays[DayOfWeek(date)]) + ", " + kMonths[month - 1] +
         " " + std::to_string(date.day) + ", " + std::to_string(date.year);
}

std::string FormatLongDateTime(const Date& date, int hour, int minute) {
  const bool pm = hour >= 12;
  int h12 = hour % 12;
  if (h12 == 0) h12 = 12;
  return FormatLongDate(date) + ", " + TwoDigits(h12) + ":" +
         TwoDigits(minute) + (pm ? " PM" : " AM");
}

int64_t AgeInDays(const Date& from, const Date& to) {
  return to.ToDays() - from.ToDays();
}

}  // namespace tallybook::company
