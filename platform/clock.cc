#include "platform/clock.h"

#include <ctime>

namespace tallybook::platform {

namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30,
                                  31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) {
    return false;
  }
  return day <= DaysInMonth(year, month);
}

int DayOfWeek(int year, int month, int day) {
  // Sakamoto's method.
  static constexpr int kOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + kOffset[month - 1] +
          day) %
         7;
}

DateTime SystemClock::Now() const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  DateTime result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  // A leap second shows as :59 rather than an impossible :60.
  result.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  result.day_of_week = local.tm_wday;
  return result;
}

FixedClock::FixedClock() { Set(2024, 1, 1, 12, 0, 0); }

bool FixedClock::Set(int year, int month, int day, int hour, int minute,
                     int second) {
  if (!IsValidDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59) {
    return false;
  }
  now_ = DateTime{year, month, day, hour, minute, second,
                  DayOfWeek(year, month, day)};
  return true;
}

}  // namespace tallybook::platform
