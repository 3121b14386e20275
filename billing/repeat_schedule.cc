#include "billing/repeat_schedule.h"

#include <cstdio>

#include "company/text.h"

namespace tallybook::billing {

using company::Date;

std::optional<Date> ParseNextDueDate(std::string_view text) {
  return company::ParseDisplayDate(text, company::DateOrder::kMonthFirst);
}

std::string NextDueDateText(const Date& date) {
  return company::FormatDisplayDate(date, company::DateOrder::kMonthFirst);
}

std::string NextDueDateShown(std::string_view stored,
                             company::DateOrder order) {
  const std::optional<Date> date = ParseNextDueDate(stored);
  if (!date) return company::Trim(stored);
  return company::FormatDisplayDate(*date, order);
}

std::optional<Date> AddMonthsKeepingDay(const Date& date, int months) {
  // Whole years first, so that a long interval costs nothing.
  int64_t month_index = static_cast<int64_t>(date.year) * 12 +
                        (date.month - 1) + months;
  const int64_t year = month_index / 12;
  if (year > 9999) return std::nullopt;
  Date result{static_cast<int>(year), static_cast<int>(month_index % 12) + 1,
              date.day};
  const int last = company::DaysInMonth(result.year, result.month);
  if (result.day > last) result.day = last;
  return result;
}

std::optional<Date> StepDueDate(const Date& due, std::string_view unit,
                                int interval) {
  if (IsMonthlyUnit(unit)) return AddMonthsKeepingDay(due, interval);
  const Date next = due.AddDays(interval);
  if (!next.IsValid()) return std::nullopt;
  return next;
}

bool IsMonthlyUnit(std::string_view unit) {
  return company::UpperCase1252(company::Trim(unit)) == kRepeatMonths;
}

std::string GeneratedInvoiceNo(std::string_view master_no, int count) {
  return company::UpperCase1252(company::Trim(master_no)) + "G" +
         std::to_string(count);
}

std::optional<int> ScheduleNumber(std::string_view text) {
  const std::string trimmed = company::Trim(text);
  if (trimmed.empty()) return 0;
  int32_t value = 0;
  if (!company::ParseWholeNumber(trimmed, &value)) return std::nullopt;
  return value;
}

}  // namespace tallybook::billing
