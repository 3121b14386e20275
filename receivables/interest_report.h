// The Interest Charges Report: the grid of an interest run printed as one
// job titled "Interest Charges", in the grid's font with a pen 3 dots wide.
//
// Each page, from the top margin down:
//   the company name; "Interest Charges Report"; "Page " + n near the right
//   edge; "Date: " + now as "dddd, mmmm d, yyyy, hh:mm AM/PM";
//   "Created Invoices Dated: " + date + either " and charged a flat rate
//   of " + rate + " as fee." or " and charged " + percentage +
//   " percent interest.";
//   a rule across the page; the column headings.
// Then the rows, the totals row last: column 0 as wide as 33 "X", the
// others as wide as 11 "X"; a cell of column 2 or beyond that holds a
// decimal point is right-aligned within the width of 10 "X". A line that
// would pass the page height less 200 dots ends the page with "Continued
// on page " + n + " ..." 100 dots above the bottom; the next page repeats
// the heading and the column headings. The report ends with "Report
// Complete. " + count + " records printed.".
#ifndef TALLYBOOK_RECEIVABLES_INTEREST_REPORT_H_
#define TALLYBOOK_RECEIVABLES_INTEREST_REPORT_H_

#include <string>
#include <vector>

#include "company/app.h"
#include "platform/canvas.h"
#include "platform/font.h"
#include "platform/printer.h"
#include "receivables/interest_run.h"

namespace tallybook::receivables {

inline constexpr char kInterestJobTitle[] = "Interest Charges";
inline constexpr char kInterestReportHeading[] = "Interest Charges Report";
inline constexpr char kInterestReportSent[] =
    "Interest Report sent to print queue.";
inline constexpr char kInterestPrintErrorCaption[] = "Interest Charges Report";
// Rows stop this many dots above the page bottom.
inline constexpr int kInterestBottomReserve = 200;

struct InterestReport {
  std::string company_name;
  std::string now;           // "Monday, March 4, 2024, 02:05 PM"
  std::string invoice_date;  // as typed
  bool flat = false;
  std::string flat_rate;
  std::string percent;
  // The heading row, the customer rows, the totals row.
  std::vector<GridLine> lines;
  int count = 0;  // customer rows
};

// The report of a run: the scan's grid and the settings it ran with; now
// from the App's clock.
InterestReport MakeInterestReport(company::App& app,
                                  const InterestSettings& settings,
                                  const InterestScan& scan);

// "Created Invoices Dated: ..." with the flat-fee or percentage ending.
std::string InterestReportSentence(const InterestReport& report);
// "Report Complete. " + count + " records printed."
std::string ReportCompleteText(int count);

// Draws every page of the report on canvas.
void DrawInterestReport(platform::Canvas& canvas, const InterestReport& report,
                        const platform::Font& font = {});

// One print job titled kInterestJobTitle; the status says where it went,
// or why it failed.
platform::PrintJobStatus PrintInterestReport(platform::Printer& printer,
                                             const InterestReport& report,
                                             const platform::Font& font = {});

// The end of a run: asks RunCompleteQuestion; Yes prints the report. The
// text for the main window's status panel (kInterestReportSent and where
// the job went), or empty when nothing was printed (a failure is shown).
std::string FinishInterestRun(company::App& app,
                              const InterestRunResult& result,
                              const InterestReport& report,
                              const platform::Font& font = {});

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_INTEREST_REPORT_H_
