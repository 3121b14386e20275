#include "company/calendar.h"

#include <cstdio>

#include "company/text.h"

namespace tallybook::company {

namespace {

constexpr const char* kMonths[] = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday",
                                     "Wednesday", "Thursday", "Friday",
                                     "Saturday"};

}  // namespace

const char* MonthName(int month) {
  return month >= 1 && month <= 12 ? kMonths[month - 1] : "";
}

const char* WeekdayName(int day_of_week) {
  return day_of_week >= 0 && day_of_week <= 6 ? kWeekdays[day_of_week] : "";
}

std::string ChosenDateText(const Date& date, DateOrder order) {
  return FormatDisplayDate(date, order);
}

std::string LongDateText(const Date& date) {
  std::string text = WeekdayName(platform::DayOfWeek(date.year, date.month, date.day));
  text += ", ";
  text += MonthName(date.month);
  text += " " + std::to_string(date.day) + ", ";
  char year[8];
  std::snprintf(year, sizeof(year), "%04d", date.year);
  return text + year;
}

std::string ClockText(const platform::DateTime& now) {
  Date date{now.year, now.month, now.day};
  if (!date.IsValid()) return "";
  int hour12 = now.hour % 12;
  if (hour12 == 0) hour12 = 12;
  char time[16];
  std::snprintf(time, sizeof(time), "%02d:%02d %s", hour12, now.minute % 60,
                now.hour < 12 ? "AM" : "PM");
  return LongDateText(date) + ", " + time;
}

std::vector<int> YearList(int year) {
  std::vector<int> years;
  for (int y = year - kYearListSpan; y <= year + kYearListSpan; ++y) {
    if (y >= 1 && y <= 9999) years.push_back(y);
  }
  return years;
}

Date WithMonth(const Date& date, int month) {
  if (month < 1 || month > 12) return date;
  return Date{date.year, month, 1};
}

Date WithYearText(const Date& date, std::string_view year_text) {
  int32_t year = 0;
  if (!ParseWholeNumber(year_text, &year) || year < 1 || year > 9999) {
    return date;
  }
  Date moved{year, date.month, date.day};
  const int last = DaysInMonth(year, date.month);
  if (moved.day > last) moved.day = last;
  return moved.IsValid() ? moved : date;
}

Date StartingDate(std::string_view field_text, DateOrder order,
                  const Date& today) {
  std::optional<Date> parsed = ParseDisplayDate(Trim(field_text), order);
  return parsed ? *parsed : today;
}

}  // namespace tallybook::company
