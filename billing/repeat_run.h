// Repeat billing generation: the search for the masters due through a
// date and the creation of one invoice from each, for the main window's
// "Repeat Billing &Wizard..." (window TSelectRepeat) and
// `tallybook-admin repeat-run`.
//
// For each master the run writes, as one unit: the generated invoice
// (type "G", numbered master + "G" + the new count, the master's amounts,
// customer, terms and kind, dated the invoice date, open), its copy of the
// master's memo or of every master line (line kind "G"), the master
// advanced by one interval with its count raised, the customer charged
// (balance, the aging amount of the invoice date's period, last invoice)
// and the company's receivables raised with its last repeat date set.
// A write the store refuses is reported and takes the whole unit back, so
// the master stays due and nobody is charged for an invoice that is not
// there; the run goes on with the next master. The run is one operation
// under the operation journal.
//
// A master that has generated kMaxRepeatCount invoices has no number left
// for another; it is refused with kRepeatCountFullText and nothing is
// written for it.
#ifndef TALLYBOOK_BILLING_REPEAT_RUN_H_
#define TALLYBOOK_BILLING_REPEAT_RUN_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "company/app.h"
#include "company/format.h"
#include "company/money.h"
#include "company/records.h"

namespace tallybook::billing {

// ---- The search.

struct RepeatSearch {
  // False when the transaction file could not be read (nothing listed).
  bool ok = true;
  // One list line per due master, in key order (master number).
  std::vector<std::string> lines;
  company::Cents sum = 0;
};

// The masters whose next due date is on or before `through`. A master
// whose next due date cannot be read is never due.
RepeatSearch SearchDueMasters(company::App& app, const company::Date& through);

// The list line of a master: number (9), short name (10), total (",0.00"
// right-aligned in 12), next due date in the company's order, customer
// number (9), generated count (right-aligned in 5), one blank between.
std::string RepeatListLine(const company::TransactionRecord& master,
                           company::DateOrder order);
// The master number of a list line: its first ten columns, trimmed.
std::string MasterNoOfLine(std::string_view line);

// "There are 3 invoices selected totaling 1,250.00."
std::string SelectedText(size_t count, company::Cents sum);
// "Last generated invoices were dated: " + the company's last repeat date.
std::string LastGeneratedText(const company::CompanyRecord& company);

// ---- The creation.

struct RepeatRunRequest {
  // The invoice date as typed, in the company's order; must be a date.
  std::string invoice_date;
  // Comments and statement note of every invoice.
  std::string reference = "Monthly Service";
  // Master numbers, in order (MasterNoOfLine of the list lines).
  std::vector<std::string> masters;
};

struct RepeatRunResult {
  int generated = 0;  // invoices created
  int monthly = 0;    // of them, from monthly masters
  int daily = 0;      // from masters counted in days
  int attempted = 0;  // masters tried
  company::Cents sum = 0;
  // "1001G3  Acme  100.00" per invoice created, in order.
  std::vector<std::string> created;
  // False when a file would not open or close cleanly, or an invoice could
  // not be taken back whole (the balances were then recomputed).
  bool files_ok = true;
  bool complete() const { return files_ok && generated == attempted; }
};

// Called after each master with the number done so far.
using RepeatRunProgress = std::function<void(int done)>;

// Creates the invoices. An invoice date that is not a date is refused
// (kInvalidDateText, caption kInvoiceDateCaption) before anything is
// written. Failures are shown as they happen (caption kRepeatWizardCaption).
// App::CurrentCompany takes the stored company record.
RepeatRunResult CreateRepeatInvoices(company::App& app,
                                     const RepeatRunRequest& request,
                                     const RepeatRunProgress& progress = {});

// The closing message: "3 invoices were generated. 2 Monthly Setups and
// 1 Daily Setups." when every master was billed; otherwise it says how
// many of how many were created.
std::string RunCompleteText(const RepeatRunResult& result);
// Shows it (kRunCompleteCaption, information; a warning after a failure).
void ShowRunComplete(company::App& app, const RepeatRunResult& result);

// ---- Texts.
inline constexpr char kRepeatWizardCaption[] = "Repeat Billing Wizard";
inline constexpr char kRepeatWizardHelp[] = "GetRepeat";
inline constexpr char kDefaultReference[] = "Monthly Service";
inline constexpr int kReferenceWidth = 60;
inline constexpr char kWorkingText[] = "Working...";
inline constexpr char kCompleteStatus[] = "Complete.";
inline constexpr char kNothingDueCaption[] = "Repeat Billings";
inline constexpr char kNothingDueText[] =
    "There are no repeat billings due through the date you selected.";
inline constexpr char kRunCompleteCaption[] = "Operation Complete!";
inline constexpr char kInvoiceDateCaption[] = "Invoice Date";
inline constexpr char kHeaderAddFailed[] = "Adding repeat header failed";
inline constexpr char kMemoNotFound[] = "Memo data not added";
inline constexpr char kMemoCopyFailed[] = "Adding memo record failed";
inline constexpr char kDetailCopyFailed[] = "Repeat detail add record failed";
inline constexpr char kFilesNotOpenedText[] =
    "The invoice files could not be opened. No invoice was created.";
inline constexpr char kFilesNotClosedText[] =
    "The invoice files could not be closed after the invoices were written. "
    "You will be asked to rebuild them when they are next opened.";
inline constexpr char kBalancesRecomputedText[] =
    "A failed invoice could not be taken back whole. The run was stopped "
    "and the balances were recomputed from the invoices on file.";

// The reasons a master is passed over, naming it.
std::string RepeatCountFullText(const std::string& master_no);
std::string MasterNotOnFileText(const std::string& master_no);
std::string ScheduleUnreadableText(const std::string& master_no);
std::string NotCreatedText(const std::string& master_no);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_REPEAT_RUN_H_
