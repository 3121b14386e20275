// Delete Paid Invoices: removes closed transactions older than a chosen date
// together with their invoice lines and memo bodies.
//
// A transaction is removed when its PaidStatus is "P" and its SortDate lies
// strictly before the cut-off date, whatever its type code. Balances, aged
// amounts and the company's receivables are not touched: a paid record no
// longer counts in them.
//
// The scan first lists the records to remove in one physical pass and only
// then deletes them, so deleting never moves the scan past a record or back
// over one. Lines and the memo body belong to an invoice number, which a
// partial payment (type X) shares with its invoice: they are removed once no
// transaction with that number is left, so purging an old payment never
// strips the lines of an invoice that is still open.
#ifndef TALLYBOOK_COMPANY_PURGE_H_
#define TALLYBOOK_COMPANY_PURGE_H_

#include <functional>
#include <optional>
#include <string>

#include "company/app.h"
#include "company/format.h"
#include "company/password.h"

namespace tallybook::company {

inline constexpr char kPurgeCaption[] = "Delete Paid Invoices";
inline constexpr char kPurgeWarning[] =
    "This option will remove only PAID transactions older than the date you "
    "select. Once removed, they will no longer appear on any reports or "
    "system options. We suggest you leave 3 years on file and print reports "
    "for what you are about to remove. Continue?";
inline constexpr char kPurgeDateCaption[] = "Delete Date Selection";
inline constexpr char kPleaseConfirm[] = "Please Confirm";
inline constexpr char kRemovingRecords[] = "Removing Records...";
inline constexpr char kRecordsRemovedCaption[] = "Records Removed";
inline constexpr char kPurgeDeleteFailed[] = "Delete Failed.";
inline constexpr char kDetailDeleteFailed[] = "Delete detail recs failed";
inline constexpr char kMemoSearchFailed[] = "Memo search failed";
inline constexpr char kMemoDeleteFailed[] = "Memo record deletion failed";

// Shows the date selection window captioned `caption`, set to `preset`;
// the chosen date, or nullopt when the user cancelled.
using PurgeDatePicker = std::function<std::optional<Date>(
    const Date& preset, const std::string& caption)>;

// "All paid records older than 06/15/2022 will be removed. Continue?"
std::string PurgeQuestion(const std::string& date_text);
// "3 paid records older than 06/15/2022 were removed."
std::string PurgeReport(int count, const std::string& date_text);
// "3 records were removed."
std::string PurgeStatus(int count);

// The date the selection window starts at: today's month and day two years
// back (28 February for a 29th that the earlier year lacks).
Date PurgePresetDate(const Date& today);

// Removes the paid transactions of the current company with a SortDate
// before cutoff ("YYYY/MM/DD"), their lines and memo bodies. Per-record
// failures are shown (kPurgeDeleteFailed, kDetailDeleteFailed,
// kMemoSearchFailed, kMemoDeleteFailed) and the rest goes on. Returns the
// number of transactions removed, or -1 after telling the user that a file
// could not be opened or read (then nothing is removed). The files are
// opened as they are: a missing one is not created (no notice) and holds
// nothing to remove. The short date
// format is year first while the files are open and follows the company's
// DateOrder again afterwards.
int PurgePaidRecords(App& app, const std::string& cutoff);

struct PurgeResult {
  bool ran = false;        // the user went through to the removal
  int removed = 0;
  std::string date_text;   // the chosen date as shown
};

// The whole command: password check, the warning, the date selection
// window (kPurgeDateCaption, PurgePresetDate), the confirmation, the
// removal and its report (PurgeReport in a box captioned
// kRecordsRemovedCaption, PurgeStatus in the status bar).
PurgeResult DeletePaidInvoices(App& app, const PasswordPrompt& password,
                               const PurgeDatePicker& pick_date);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_PURGE_H_
