#include "company/app.h"

#include <utility>

namespace tallybook::company {

App::App(std::string data_dir, platform::Services services)
    : data_dir_(std::move(data_dir)), services_(services) {}

std::string App::PathOf(const std::string& file_name) const {
  if (data_dir_.empty()) return file_name;
  if (data_dir_.back() == '/') return data_dir_ + file_name;
  return data_dir_ + "/" + file_name;
}

void App::SetShortDateFromCompany() {
  short_date_order_ = DateOrderFromField(CurrentCompany.DateOrder.View());
}

Date App::Today() const {
  platform::DateTime now = services_.clock.Now();
  return Date{now.year, now.month, now.day};
}

void App::RefreshTodayText() { TodayText = FormatDate(Today()); }

std::string App::FormatDate(const Date& date) const {
  return FormatDisplayDate(date, short_date_order_);
}

std::optional<Date> App::ParseDate(std::string_view text) const {
  return ParseDisplayDate(text, short_date_order_);
}

}  // namespace tallybook::company
