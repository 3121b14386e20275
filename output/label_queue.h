// The label print queue: the customers that labels, form letters and
// e-mail messages go to. The queue itself (App::label_queue) and its
// queue-changed flag (App::label_queue_pending) live in App; these are the
// ways the label wizard and tallybook-admin fill, thin and sort it.
//
// The queue-changed flag is set whenever entries are added or the list
// changes, and cleared when the queue is saved to a file, cleared or
// printed.
#ifndef TALLYBOOK_OUTPUT_LABEL_QUEUE_H_
#define TALLYBOOK_OUTPUT_LABEL_QUEUE_H_

#include <array>
#include <optional>
#include <string>

#include "company/app.h"
#include "company/data_access.h"
#include "company/records.h"

namespace tallybook::output {

// ---- Texts of the queue commands.
inline constexpr char kSelectedSuffix[] = " records are selected.";
inline constexpr char kAddedSuffix[] = " records were added.";
inline constexpr char kNoRecordsFound[] = "No records were found.";
inline constexpr char kDeleteRecordCaption[] = "Delete Record";
inline constexpr char kNothingSelectedText[] =
    "You have not selected a record for deletion. To select a record, click "
    "on column 1 (Customer Number) of that record to hilite it and then "
    "select the delete option.";
inline constexpr char kPleaseConfirmCaption[] = "Please Confirm";
inline constexpr char kClearQueueQuestion[] =
    "This will clear all records in the print queue. Continue?";
inline constexpr char kQueueCleared[] =
    "All records were removed from the queue.";
inline constexpr char kSaveRecordsCaption[] = "Save Records";
inline constexpr char kNothingToSaveText[] =
    "You do not have any customer records to save.";
inline constexpr char kRecordsSavedPrefix[] = "Records saved to file: ";
inline constexpr char kLoadRecordsCaption[] = "Load Records";
inline constexpr char kOverPrefix[] = "Over ";

// The queue row of a customer record.
company::LabelQueueRow QueueRowOf(const company::CustomerRecord& customer);

// Appends row and sets the queue-changed flag.
void AppendToQueue(company::App& app, const company::LabelQueueRow& row);

// The captions of the four aging buttons: AgingCaption1..3 when set, else
// AgingDays1..3; the fourth "Over " + AgingDays3.
std::array<std::string, 4> AgingButtonCaptions(
    const company::CompanyRecord& company);

// Load All Customers: appends every customer of the current company, in
// record order, whose name is not empty. The number added, or nullopt when
// the customer file cannot be read (the data-access layer said why).
std::optional<int> LoadAllCustomers(company::App& app);

// How an aging button ended.
struct AgingLoad {
  int added = 0;
  // Set, and shown to the user, when the category's day value is empty
  // ("Category 1 has a bad value ...") or the customer file failed.
  std::string refusal;
};
// The aging button `button` (1..4): appends every customer whose stored
// aging amount of that period is not zero. Shows the bad-value refusal
// when the period's day value (AgingDays1..3; the fourth button reads
// AgingDays3) is empty, and kNoRecordsFound with the button's caption when
// nothing was added.
AgingLoad LoadAgingCustomers(company::App& app, int button);
// "Category K has a bad value in your aging days (Company Setup). Unable
// to process.".
std::string BadAgingDaysText(int category);

// Delete Record over the selected row (nullopt: none selected, which is
// refused with kNothingSelectedText). True when a row was removed.
bool DeleteQueueEntry(company::App& app, std::optional<size_t> selected);

// Clear All Records.
enum class QueueClear { kEmpty, kKept, kCleared };
// kEmpty (nothing asked: the window beeps) for an empty queue; otherwise
// asks kClearQueueQuestion and, on Yes, empties the queue and clears the
// queue-changed flag.
QueueClear ClearQueue(company::App& app);

// Sorts the queue by column (0 number, 1 name, 2 sort code, 3 type),
// ascending, ignoring case; rows with equal texts keep their order.
void SortQueue(company::App& app, int column);

// Reads the customer numbered customer_no (customer key 2) from the open
// customer file into *customer.
enum class CustomerLookup { kFound, kMissing, kFailed };
CustomerLookup FindQueuedCustomer(company::App& app,
                                  company::CompanyFileAccess& customers,
                                  const std::string& customer_no,
                                  company::CustomerRecord* customer);

// "The customer file could not be read (store error N)." after the file
// failed to open or read.
std::string CustomerFileFailedText(company::App& app);

// The status text after a queue change: the count + kSelectedSuffix.
std::string SelectedText(const company::App& app);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LABEL_QUEUE_H_
