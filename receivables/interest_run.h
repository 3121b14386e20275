// Finance charges on overdue balances: the interest wizard's scan and its
// generation of interest invoices.
//
// The scan reads every customer in name order (key 1 of the customer file)
// and sums the aging amounts the customer record keeps (the last aging run
// or payment posting set them; nothing is re-aged here):
//
//   CHOICE   CODE  OVERDUE AMOUNT
//   first    "3"   Aging2 + Aging3 + Aging4   (past aging limit 1)
//   second   "6"   Aging3 + Aging4            (past aging limit 2)
//   third    "9"   Aging4                     (past aging limit 3)
//
// A customer whose overdue amount is above zero is charged the flat rate,
// or the percentage of the overdue amount rounded to whole cents (the one
// rounding function). The minimum is a threshold, never a rounding up: a
// charge below it is not listed. A charge that comes to 0.00 is not listed
// either (there is nothing to bill). With the flat fee the minimum is not
// used.
//
// Generation writes, for each listed customer top to bottom, one interest
// invoice numbered with the company's next invoice number followed by "I"
// (consecutive numbers, the date prefix of the invoice editor is not used)
// with one line item "Interest Charges", and charges the customer: its
// balance, last invoice and the aging amount of the period the invoice date
// falls in. The company's receivables grow by the charges written, its
// counter steps past every number of the run, and it keeps the wizard's
// choices for the next run.
//
// Failures. The whole run holds the operation journal, so a killed process
// leaves it whole or not there at all. Before anything is written the
// invoice numbers are reserved in the company record; a failure there
// writes nothing. A customer's invoice, line item and customer record are
// written together or not at all: when the line or the customer cannot be
// written, what was written for that customer is taken back and the run
// goes on with the next one. The customer and the company therefore change
// only by the invoices actually on file, and the result says how many of
// how many were created.
//
// Messages go through the App's platform services.
#ifndef TALLYBOOK_RECEIVABLES_INTEREST_RUN_H_
#define TALLYBOOK_RECEIVABLES_INTEREST_RUN_H_

#include <optional>
#include <string>
#include <vector>

#include "company/app.h"
#include "company/money.h"
#include "company/records.h"
#include "platform/message.h"

namespace tallybook::receivables {

// ---- Texts.
inline constexpr char kInterestWizardCaption[] = "Interest Wizard";
inline constexpr char kInterestHelpTopic[] = "InterestWizard";
inline constexpr char kInterestChargesText[] = "Interest Charges";
inline constexpr char kInterestKeyCode[] = "Interest";
inline constexpr char kInterestNumberSuffix[] = "I";
inline constexpr char kDefaultInterestPercent[] = "1.50";
inline constexpr char kDefaultInterestMinimum[] = ".10";
inline constexpr char kDefaultFlatRate[] = "0.00";
inline constexpr char kLastInterestPrefix[] = "Last Interest Invoices: ";
inline constexpr char kEnterOptionsPrompt[] =
    "Enter above options then select scan button...";
inline constexpr char kScanningPrompt[] = "Scanning...";
inline constexpr char kNoRecordsFoundPrompt[] = "No records found.";
inline constexpr char kNoRecordsFound[] = "No records were found.";
inline constexpr char kFlatRateFeeCaption[] = "Flat Rate Fee";
inline constexpr char kNoFlatRate[] = "No flat rate is specified.";
inline constexpr char kFlatRateAmountCaption[] = "Flat Rate Amount";
inline constexpr char kNegativeFlatRate[] =
    "You should not enter a negative number in the flat rate box.";
inline constexpr char kInvalidFlatRateCaption[] = "Invalid Flat Rate Amount";
inline constexpr char kFlatRateNotNumeric[] =
    "The flat rate must be a numeric value.";
inline constexpr char kInvoiceDateCaption[] = "Invoice Date";
inline constexpr char kInvalidInvoiceDate[] =
    "You have an invalid invoice date. You can clear the date and then "
    "select the calendar button.";
inline constexpr char kAddLateFeeFailed[] = "Add Late Fee Failed.";
inline constexpr char kInterestLineFailed[] = "TDtl add failed.";
inline constexpr char kOperationCompleteCaption[] = "Operation Complete";
inline constexpr char kPercentFieldName[] = "Monthly Percentage Rate";
inline constexpr char kMinimumFieldName[] = "Minimum Interest Charge";
// Grid headings.
inline constexpr char kCustomerNameHeading[] = "Customer Name";
inline constexpr char kCustomerNoHeading[] = "Customer#";
inline constexpr char kInterestChargeHeading[] = "Interest Chg.";
inline constexpr char kInvoiceNoHeading[] = "Invoice#";
inline constexpr char kTotalsText[] = "Totals:";
// The Invoice# cell of a customer whose invoice was not written.
inline constexpr char kNotCreatedText[] = "not created";

// Widths of the kept settings in the company record.
inline constexpr int kInterestPercentLength = 5;
inline constexpr int kInterestMinimumLength = 5;
inline constexpr int kFlatRateLength = 6;
inline constexpr int kInterestCommentsLength = 80;
inline constexpr int kInterestTermsLength = 35;

// Which aging amounts count as overdue.
enum class InterestAging { kOverLimit1, kOverLimit2, kOverLimit3 };

// The code a choice is kept as ("3", "6", "9"), and the choice a kept code
// names (the first for anything else).
std::string AgingChoiceCode(InterestAging aging);
InterestAging AgingChoiceOf(std::string_view code);
// "Over " + the company's aging limit + " Days".
std::string AgingChoiceCaption(const company::CompanyRecord& company,
                               InterestAging aging);

// What the wizard's controls hold.
struct InterestSettings {
  InterestAging aging = InterestAging::kOverLimit1;
  std::string percent = kDefaultInterestPercent;
  std::string minimum = kDefaultInterestMinimum;
  bool flat = false;
  std::string flat_rate = kDefaultFlatRate;
  bool mark_printed = false;
  std::string invoice_date;  // display date in the company's order
  std::string comments = kInterestChargesText;
  std::string terms;
  std::string statement_note = kInterestChargesText;
};

// The settings the wizard opens with: the kept aging choice, percentage,
// minimum (defaults when the kept text is shorter than 2 characters),
// printed flag and terms; the invoice date today_text.
InterestSettings StoredInterestSettings(const company::CompanyRecord& company,
                                        const std::string& today_text);
// "Last Interest Invoices: " + the date of the last run.
std::string LastInterestText(const company::CompanyRecord& company);

// Which field a refusal concerns (the window puts the focus there).
enum class InterestField { kNone, kPercent, kMinimum, kFlatRate, kInvoiceDate };

struct InterestRefusal {
  InterestField field = InterestField::kNone;
  std::string caption;
  std::string text;
  platform::MessageKind kind = platform::MessageKind::kWarning;
};

// The flat rate box's own checks: a minus sign, or text that is not an
// amount of at most two decimals. nullopt when the text passes (blank
// passes: it reads as "0.00").
std::optional<InterestRefusal> CheckFlatRateText(std::string_view text);

// The refusal of a percentage or minimum that is not a number, naming the
// field.
std::string NotAPercentageText(std::string_view text);

// One customer of the grid.
struct InterestRow {
  std::string customer_no;
  std::string name;
  company::Cents overdue = 0;
  company::Cents charge = 0;
  // Set by generation: the invoice number given and whether the invoice
  // was written.
  std::string invoice_no;
  bool created = false;
};

struct InterestScan {
  InterestAging aging = InterestAging::kOverLimit1;
  std::string aging_caption;
  std::vector<InterestRow> rows;
  company::Cents total_overdue = 0;
  company::Cents total_charge = 0;
  bool generated = false;  // the rows carry invoice numbers
};

enum class ScanOutcome {
  kFound,         // at least one row
  kNothingFound,  // kNoRecordsFound was shown
  kRefused,       // a setting was refused (InterestScanResult::refusal)
  kFileFailed,    // the customer file could not be read; the user was told
};

struct InterestScanResult {
  ScanOutcome outcome = ScanOutcome::kRefused;
  InterestScan scan;
  std::optional<InterestRefusal> refusal;
};

// The scan for the App's current company. Settings are checked first, in
// the wizard's order (percentage and minimum unless the flat fee is used,
// then the flat rate); a refusal is shown and nothing is read.
InterestScanResult ScanInterest(company::App& app,
                                const InterestSettings& settings);

// The grid: the heading row, one row per customer, the totals row; the
// fifth column "Invoice#" once the scan was generated.
using GridLine = std::vector<std::string>;
GridLine InterestGridHeader(const InterestScan& scan);
GridLine InterestGridRow(const InterestScan& scan, const InterestRow& row);
GridLine InterestTotalsRow(const InterestScan& scan);
std::vector<GridLine> InterestGridLines(const InterestScan& scan);
// The prompt after a scan that found rows.
std::string FoundPromptText(int count);

enum class RunOutcome {
  kDone,        // every listed customer got its invoice
  kIncomplete,  // some did not (each failure was shown)
  kRefused,     // nothing was written (the reason was shown)
};

struct InterestRunResult {
  RunOutcome outcome = RunOutcome::kRefused;
  std::optional<InterestRefusal> refusal;  // the invalid date
  int created = 0;
  int rows = 0;
  company::Cents charged = 0;
};

// Writes the interest invoices of scan (its rows get their invoice numbers
// and created flags) and stores the company's totals and the settings.
// Refused, nothing written, when the invoice date is not a date, the aging
// limits are not numbers, the numbers of the run would not fit the invoice
// number field, the files do not open, or the numbers cannot be reserved.
InterestRunResult GenerateInterest(company::App& app,
                                   const InterestSettings& settings,
                                   InterestScan* scan);

// The question asked when a run ends: count + " invoices were created.
// Would you like to send a report to the printer?", with "created of rows"
// when some were not.
std::string RunCompleteQuestion(const InterestRunResult& result);

// Texts of failures beyond the wizard's own.
std::string InterestCustomerMissingText(const std::string& customer_no);
std::string InterestChargeTooLargeText(const std::string& customer_no);
std::string InterestNumbersTooLongText(const std::string& last_number);
std::string InterestTotalsNotStoredText();
std::string InterestFilesNotClosedText(int store_error);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_INTEREST_RUN_H_
