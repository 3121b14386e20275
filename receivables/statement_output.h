// Statement output: printing or e-mailing one statement, the statement
// window's Print / E-Mail button, and the batch run over every customer
// chosen by balance and age. Which of printer and e-mail is used follows
// App::output_mode; e-mail goes through App::mail_transport, with the
// printed statement as a PDF attachment when the mail settings ask for it
// (as invoices do).
//
// Nothing counts as sent that the server did not accept or the printer did
// not take. The batch writes the company's last-statement date only when
// the whole run is done and every statement went; a run stopped at a
// pause, by a failed print job or by a lost mail connection writes
// nothing.
#ifndef TALLYBOOK_RECEIVABLES_STATEMENT_OUTPUT_H_
#define TALLYBOOK_RECEIVABLES_STATEMENT_OUTPUT_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "company/app.h"
#include "receivables/statement.h"

namespace tallybook::receivables {

// ---- Texts of statement output.
inline constexpr char kEmailStatementCaption[] = "E-Mail Statement";
inline constexpr char kStatementSentText[] = "Statement sent by e-mail.";
inline constexpr char kStatementSelectionCaption[] = "Statement Selection";
inline constexpr char kBatchStatementsCaption[] = "Batch Print Statements";
inline constexpr char kNoStatementsCaption[] = "Batch Print - Statements";
inline constexpr char kNoStatementsText[] =
    "There are no customers with a non-zero balance that meet your aging "
    "selection. There are no statements to print.";
inline constexpr char kBatchNumberCaption[] = "Number to Batch Print";
inline constexpr char kBatchNumberMissing[] =
    "You must enter the number of statements to print in this batch.";
inline constexpr char kBatchPauseCaption[] = "Batch Job Pause...";
inline constexpr char kBatchPausing[] =
    "Pausing batch job. Select Yes when ready to continue...";
inline constexpr char kBatchCanceled[] = "Batch job canceled.";
inline constexpr char kPrinterModeText[] = "Printer Mode";
inline constexpr char kEmailModeText[] = "E-Mail Mode";
inline constexpr char kStatementMailErrorCaption[] = "E-Mail Error";
inline constexpr char kStatementPrintErrorCaption[] = "Print Statement";

// How outputting one statement ended.
struct StatementSent {
  bool done = false;     // printed, or the message accepted
  bool emailed = false;  // went by e-mail (else to the printer)
  // The mail connection was lost, or the print job failed: a batch stops.
  bool stop = false;
  std::string recipient;     // e-mail: the address it was sent to
  std::string server_reply;  // e-mail: the server's last answer
  std::string error;         // why it failed, already shown; empty when done
  std::string where;         // printing: PrintedWhereText of the job
};

// Prints or e-mails st now, by app.output_mode. A failure is shown in a
// message box. For e-mail, output::CheckEmailReadiness must have
// succeeded first.
StatementSent OutputStatement(company::App& app, const Statement& st);

// The statement window's Print / E-Mail button over st: in e-mail mode the
// readiness check first (nothing happens when it fails), then the output
// and, for e-mail, "Statement sent by e-mail.". Returns the window's status
// text: "Statement for NAME sent by e-mail.", "Statement for NAME sent to
// print queue. " + where the job went, or "Statement for NAME was not
// sent by e-mail." / "... was not printed."; empty when nothing was done.
std::string PrintStatementCommand(company::App& app, const Statement& st);

// ---- The batch run.

enum class BalanceSelection { kNonZero, kOver30, kOver60, kOver90 };

// What the selection dialog (TSelStmnt) returns.
struct StatementSelection {
  BalanceSelection balance = BalanceSelection::kNonZero;
  StatementDetail detail = StatementDetail::kUnpaidOnly;
};

// Whether the balance choice selects a customer, by its stored balance and
// aging amounts (periods 2, 3 and beyond 3).
bool SelectsCustomer(BalanceSelection balance,
                     const company::CustomerRecord& customer);

// Customer numbers selected, in the order of the customer file's name
// key; nullopt when the file cannot be read. customers is the customer
// file when the caller holds it open (else it is opened for the call).
std::optional<std::vector<std::string>> SelectStatementCustomers(
    company::App& app, BalanceSelection balance,
    company::CompanyFileAccess* customers = nullptr);

// What the batch size dialog (TBatchStWin) shows.
struct BatchSizeText {
  std::string count_line;  // "There are 3 statements to be printed."
  std::string button;      // "&Print" or "&E-Mail"
  std::string caption;     // kBatchStatementsCaption
  int count = 0;           // the field starts here
};
BatchSizeText MakeBatchSizeText(const company::App& app, int count);

// The batch size as the run uses it: at least 1, at most count.
int BoundBatchSize(int entered, int count);

// "Spooling statement K of N (batches of S) ...".
std::string SpoolingText(int k, int count, int size);
// S + " statements processed during this cycle. There are " + R + "
// statements remaining. Do you want to continue?".
std::string BatchPauseQuestion(int size, int remaining);

// The dialogs of the run: nullopt for Cancel.
using SelectionDialog = std::function<std::optional<StatementSelection>()>;
using BatchSizeDialog = std::function<std::optional<int>(const BatchSizeText&)>;

// One statement of a batch run.
struct BatchLine {
  std::string customer_no;
  std::string recipient;  // e-mail address, or where the job went
  bool sent = false;
  std::string answer;     // the server's answer, or why it failed
};

struct BatchOutcome {
  int selected = 0;
  int sent = 0;
  bool completed = false;     // every selected statement was attempted
  bool date_written = false;  // the last-statement date was stored
  std::vector<BatchLine> lines;
  std::string status;         // the main status panel's last text
};

// The batch run. Asks select, collects the customers (kNoStatementsText
// when none), asks size, then (in e-mail mode after the readiness check)
// outputs the statements under the busy guard and the progress window,
// pausing after every batch of the chosen size with BatchPauseQuestion (No
// ends the run). When every statement went, the last-statement date is
// written (WriteLastStatementDate); the status panel then reads "Batch
// complete. N statements sent by e-mail." (and "E-mail operation
// complete." is shown) or "Batch Print complete. N statements sent to
// spooler.". A run that ends otherwise says how many went.
// customers is the customer file when the caller holds it open.
BatchOutcome BatchStatementsCommand(
    company::App& app, const SelectionDialog& select,
    const BatchSizeDialog& size,
    company::CompanyFileAccess* customers = nullptr);

// The one write of a batch run, done at its completion: the company
// record's last-statement date becomes today (App::TodayText) in the
// company list, and CurrentCompany takes the stored record. False, after
// telling the user, when the record could not be stored.
bool WriteLastStatementDate(company::App& app);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_STATEMENT_OUTPUT_H_
