// App: the process-wide state of one run of the program.
//
// One App is made by main() (or by a test, over a temporary data directory
// and the scripted platform) and passed by reference to every window and to
// the logic. There are no mutable globals: what the program remembers
// between windows lives here.
//
// Ownership: the App owns the record store engine; the platform services are
// owned by whoever made the App (the Qt platform or the test's scripted
// platform) and must outlive it.
#ifndef TALLYBOOK_COMPANY_APP_H_
#define TALLYBOOK_COMPANY_APP_H_

#include <functional>
#include <string>

#include "company/format.h"
#include "company/records.h"
#include "platform/services.h"
#include "store/engine.h"

namespace tallybook::company {

// Which output the main window's radio buttons choose.
enum class OutputMode { kPrinter, kEMail };

// The product's title, used as the main window's caption and in messages.
inline constexpr char kProductTitle[] = "Vk Tallybook Pro";
// Index page buffers the program asks the store for.
inline constexpr int kPageBuffers = 30;
// What the status bar shows when no work is under way.
inline constexpr char kReadyText[] = "Ready.";

class App {
 public:
  App(std::string data_dir, platform::Services services);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // The data directory; every file name is joined to it.
  const std::string& data_dir() const { return data_dir_; }
  // data_dir joined with a file name ("LastCo.Dat" -> "/dir/LastCo.Dat").
  std::string PathOf(const std::string& file_name) const;

  store::Engine& engine() { return engine_; }
  platform::Services& services() { return services_; }

  // The in-memory record of the current company, holding all its options.
  CompanyRecord CurrentCompany;
  // Today's date as a display date in the short date format.
  std::string TodayText;
  // The default output (the main window's radio buttons).
  OutputMode output_mode = OutputMode::kPrinter;
  // Set by the label wizard while labels wait in the print queue.
  bool label_queue_pending = false;
  // True while the aging calculation runs for the explicit chart command.
  bool aging_chart_requested = false;

  // The CompanyNo field of CurrentCompany, as stored (file names trim it).
  std::string CurrentCompanyNo() const { return CurrentCompany.CompanyNo.Get(); }

  // The process-wide short date format. Follows the current company's
  // DateOrder (SetShortDateFromCompany); a scan of sortable dates switches
  // it to year first for its duration.
  DateOrder short_date_order() const { return short_date_order_; }
  void SetShortDateOrder(DateOrder order) { short_date_order_ = order; }
  void SetShortDateFromCompany();

  // Today from the platform clock.
  Date Today() const;
  // TodayText := today in the short date format.
  void RefreshTodayText();
  // A date as a display date in the short date format, and the reverse.
  std::string FormatDate(const Date& date) const;
  std::optional<Date> ParseDate(std::string_view text) const;

  // The main window's status bar (second panel); the shell installs it.
  // Logic that reports progress there calls ShowStatus.
  std::function<void(const std::string&)> status_sink;
  void ShowStatus(const std::string& text) const {
    if (status_sink) status_sink(text);
  }

 private:
  std::string data_dir_;
  platform::Services services_;
  store::Engine engine_;
  DateOrder short_date_order_ = DateOrder::kMonthFirst;
};

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_APP_H_
