// The seven reports of the report wizard: what each is called and shows,
// and the building of its rows from the company's transaction and line
// files. Nothing is written to the company files.
//
// A report is a header and data rows of cells, one cell per column, the
// columns of fixed widths. Text cells are left-aligned; amounts are shown
// with the ",0.00" pattern (",0.000" for the Sales Report's unit price and
// quantity); counts and ages ("#Created", "Aging") are right-aligned in
// their widths so that sorting by their text orders them by value. The
// last column of every report but the Sales Report is the type code.
//
// Report               selection (range = from .. to, "YYYY/MM/DD", inclusive)
// Invoice Register     key 3 (sortable date) in range; no "R", no blank
//                      invoice number; total not zero or type "I"
// Payment Register     key 6 (paid date) in range, then key 3 in range with
//                      paid amount and balance due non-zero and type not
//                      "D", dated by their paid date when it has five
//                      characters or more, else their sortable date
// Accounts Receivable  key 6 blank (open items; no "R", no blank invoice
//                      number), then every deposit (key 5 "D...") not paid;
//                      aged from the date text to today. Refused while the
//                      company's receivables balance is zero.
// Sales Report         line key 1 (invoice date) in range, no "R" lines;
//                      quantity, description, unit price and amount from
//                      the line text
// Key Code Inquiry     as the Invoice Register, total not zero
// Tax Report           the Payment Register's two passes
// Repeat Billing List  every "R" (key 5 "R...") with an invoice number
#ifndef TALLYBOOK_RECEIVABLES_REPORT_H_
#define TALLYBOOK_RECEIVABLES_REPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "company/app.h"
#include "company/format.h"
#include "platform/clock.h"

namespace tallybook::receivables {

inline constexpr char kReportWizardCaption[] = "Report Wizard";
inline constexpr char kReportWizardHelpTopic[] = "ReportWizard";
inline constexpr char kNoMatchingRecords[] =
    "No matching records found for the dates entered.";
inline constexpr char kReceivablesZero[] =
    "Your Accounts Receivable balance is zero for this company. There are no "
    "outstanding items.";
inline constexpr char kReceivablesZeroCaption[] = "Account Receivable Report";
inline constexpr char kNoRepeatMasters[] =
    "No repeat billing master invoices were found.";
inline constexpr char kNoRepeatMastersCaption[] = "Repeat Billing List";
inline constexpr char kAllUnpaidSelected[] = "All unpaid records selected.";
inline constexpr char kMasterRepeatList[] = "Master Repeat Billing List";
inline constexpr char kSearchesAllDates[] = "Searches all dates...";
inline constexpr char kNoKeyCode[] = "*none*";
inline constexpr char kNoProduct[] = "*None*";

enum class ReportKind {
  kInvoiceRegister,
  kPaymentRegister,
  kAccountsReceivable,
  kSalesReport,
  kKeyCodeInquiry,
  kTaxReport,
  kRepeatBillingList,
};

// What a column holds, which decides its alignment and its totals.
enum class ColumnKind {
  kText,      // left-aligned
  kCount,     // right-aligned in its width, not summed
  kMoney,     // ",0.00", summed
  kQuantity,  // ",0.000", summed with three decimals
  kPrice,     // ",0.000", not summed (a sum of unit prices means nothing)
};

struct ReportColumn {
  const char* header;
  int width;
  ColumnKind kind;
};

struct ReportDefinition {
  ReportKind kind;
  const char* name;         // the wizard's list
  const char* description;  // shown when the report is chosen
  const char* admin_name;   // tallybook-admin report NAME
  const char* caption;      // the viewer's window caption
  const char* empty_caption;  // caption of kNoMatchingRecords
  bool uses_range;          // false: all dates
  int last_sortable;        // columns 0..last_sortable sort
  std::vector<ReportColumn> columns;

  // The column just left of the first summed or priced column, which
  // holds the labels of total rows.
  int LabelColumn() const;
  // Whether column holds dates (its header has "Date" or "Year/Mo").
  bool IsDateColumn(int column) const;
  bool IsSortable(int column) const {
    return column >= 0 && column <= last_sortable;
  }
  bool IsAmount(int column) const;
};

// The seven reports, in the wizard's order.
const std::vector<ReportDefinition>& Reports();
const ReportDefinition& ReportOf(ReportKind kind);
// The report whose admin_name is name; nullptr when none is.
const ReportDefinition* FindReportByAdminName(std::string_view name);

using ReportRow = std::vector<std::string>;

struct Report {
  const ReportDefinition* definition = nullptr;
  std::string heading1;  // the company name
  std::string heading2;  // "Date: " + now
  std::string heading3;  // the selection
  std::vector<ReportRow> rows;  // the data rows

  ReportRow Header() const;
};

struct ReportRequest {
  ReportKind kind = ReportKind::kInvoiceRegister;
  // The range as checked (CheckReportDates) and as the user typed it.
  company::Date from;
  company::Date to;
  std::string from_text;
  std::string to_text;
};

enum class ReportOutcome {
  kOk,          // rows built
  kRefused,     // message + caption say why (an information box)
  kNoRecords,   // no data row; message + caption to show
  kFileFailed,  // a file could not be read; message says which
};

struct ReportResult {
  ReportOutcome outcome = ReportOutcome::kOk;
  std::string message;
  std::string caption;
};

// "Date: " + now as "dddd, mmmm d, yyyy, hh:mm AM/PM".
std::string ReportDateHeading(const platform::DateTime& now);

// Builds the report of request on the app's current company. The files
// are opened read only for the call (a file the company does not have yet
// holds no records) and closed after it.
ReportResult BuildReport(company::App& app, const ReportRequest& request,
                         Report* report);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_REPORT_H_
