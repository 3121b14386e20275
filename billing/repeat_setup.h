// Repeat billing setup: turning an invoice into a repeat billing master,
// or changing the schedule of a master, for the invoice manager's "&Repeat
// Billing Setup" (window TRepeatForm) and `tallybook-admin repeat-setup`.
//
//   PrepareRepeatSetup   the refusals, then what the window shows
//   CheckRepeatSetup     the checks of OK, in their order
//   SaveRepeatSetup      the writes
//
// A new master (the record was type "I") leaves the receivables: its
// customer's balance and the aging amount of its date's period go down by
// its total, so does the company's receivables balance, and its lines get
// the line kind "R". The record itself becomes type "R" with a balance due
// of 0.00 and the schedule. All of it is one operation under the operation
// journal, and a store failure part-way takes back what was written.
#ifndef TALLYBOOK_BILLING_REPEAT_SETUP_H_
#define TALLYBOOK_BILLING_REPEAT_SETUP_H_

#include <cstdint>
#include <optional>
#include <string>

#include "company/app.h"
#include "company/records.h"

namespace tallybook::billing {

// What TRepeatForm shows and the user changes.
struct RepeatSetupForm {
  int32_t rec_no = 0;
  company::TransactionRecord record;  // as read when the setup began
  bool new_master = false;            // the record is an invoice ("I")

  std::string invoice_label;  // "Invoice Number: 1001"
  std::string date_label;     // the invoice date, company order
  std::string name_label;     // "Short Name: ...      Customer#: ..."

  bool generate = false;          // CheckBox1
  bool generate_enabled = false;  // CheckBox1 can be changed
  bool months = true;             // RBMonths, else RBDays
  std::string interval;           // NumDays
  std::string next_date;          // EndDate, company order
  int count = 0;                  // invoices generated so far
  bool panel_visible = true;      // the check box and the interval show
  std::string count_label;        // Label8
};

// The checks before the window opens, in their order (payment activity,
// type, number length); each refusal is shown and gives nullopt. Otherwise
// the form as the window first shows it.
std::optional<RepeatSetupForm> PrepareRepeatSetup(
    company::App& app, int32_t rec_no, const company::TransactionRecord& record);

// The field OK's checks put the cursor in.
enum class RepeatSetupField { kNone, kInterval, kNextDate };

// The checks of OK: shows the first failure and names its field;
// kNone when the form may be stored.
RepeatSetupField CheckRepeatSetup(company::App& app,
                                  const RepeatSetupForm& form);

struct RepeatSetupOutcome {
  bool changed = false;
  company::TransactionRecord record;  // as stored
  // The main window's company name and receivables (",0.00").
  std::string company_name;
  std::string receivables;
};

// Stores the checked form. The record is re-read and must still be as it
// was read (else kRecordChanged, nothing written). Any failed write is
// shown (kRepeatSetupCaption) and takes back what was written; changed is
// then false. App::CurrentCompany (and App::CurrentCustomer when it is the
// master's customer) take the stored records.
RepeatSetupOutcome SaveRepeatSetup(company::App& app,
                                   const RepeatSetupForm& form);

// ---- Texts.
inline constexpr char kRepeatFormCaption[] = "Repeat Invoice Setup";
inline constexpr char kRepeatSetupHelp[] = "SetRepeat";
inline constexpr char kGenerateCheckCaption[] =
    "Generate Invoices from this master record";
inline constexpr char kPaymentActivityCaption[] = "Payment Acivity";
inline constexpr char kPaymentActivityText[] =
    "This invoice has payment activity. To create a repeat billing, the "
    "invoice must not have any payments.";
inline constexpr char kTransactionTypeCaption[] = "Transaction Type";
inline constexpr char kTransactionTypeText[] =
    "This record must be Type Code \"I\" or \"R\" in order to change repeat "
    "billing information.";
inline constexpr char kRepeatSetupCaption[] = "Repeat Billing Setup";
inline constexpr char kNumberTooLongText[] =
    "The invoice number is too long. A repeat billing invoice number must be "
    "5 or less characters. Please change the invoice number and try again.";
inline constexpr char kIntervalCaption[] = "Number of Days/Months";
inline constexpr char kIntervalBlankText[] =
    "You must enter the number of days/months in order to generate invoices.";
inline constexpr char kIntervalNotNumberText[] =
    "You must enter a valid NUMBER of days/months.";
inline constexpr char kStartDateCaption[] = "Start Date";
inline constexpr char kInvalidDateText[] = "You must enter a valid date.";
inline constexpr char kGeneratedToDatePrefix[] = "Invoices Generated to Date: ";

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_REPEAT_SETUP_H_
