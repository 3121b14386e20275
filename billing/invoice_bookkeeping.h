// The bookkeeping of the invoice manager's Add, Edit and Delete.
//
// Each operation does what happens before the invoice editor opens (the
// refusals and notices of the type codes, filling the editor) and
// everything written after it closes with OK: the transaction record with
// its line and memo records, the customer's balance, last invoice, last
// payment date and aging bucket, and the company's receivables and invoice
// numbering. The invoice manager window calls them on its current record
// and shows what they return; tests call them directly.
//
// The editor is run through a callback, so that the window can show
// TProdInv modally and a test can play the user:
//   RunInvoiceEditor run = [&](InvoiceForm& form) {
//     editor.Load(form); if (!editor.Exec()) return false;
//     editor.Store(form); return true; };
// The callback gets the prepared form (App::invoice_editing,
// invoice_no_at_open and invoice_total_at_open are set for it) and returns
// true when the user left the editor with OK, form then holding what the
// editor held. The editor's own OK checks (invoice_checks.h) are the
// callback's business.
//
// Messages, questions and failures go through app.services().messages
// (store failures as errors captioned kInvoiceErrorCaption). A
// failure of the store while the transaction record is written stops the
// operation and leaves every file as it was; after that record is written,
// later failures do not undo it (the texts below say which stop and which
// are only shown). Every operation opens the files it needs and closes them
// again before it returns.
#ifndef TALLYBOOK_BILLING_INVOICE_BOOKKEEPING_H_
#define TALLYBOOK_BILLING_INVOICE_BOOKKEEPING_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "billing/invoice_form.h"
#include "company/app.h"
#include "company/data_access.h"
#include "company/records.h"

namespace tallybook::billing {

// Runs the editor modally on form; true for OK (form holds the result),
// false for Cancel.
using RunInvoiceEditor = std::function<bool(InvoiceForm& form)>;

// What an operation did, for the invoice manager window.
struct InvoiceOutcome {
  // True when the transaction file was changed (the record added, stored
  // or deleted), even when a later step failed. False after a refusal, a
  // No, a Cancel or a failure of the transaction record itself.
  bool changed = false;
  // Record number and contents of the transaction written (Add, Edit) or
  // deleted (Delete); the browser re-positions on it.
  int32_t rec_no = 0;
  company::TransactionRecord record;
  // Line item records written or deleted.
  int line_count = 0;
  // Status bar panel 1 ("Added invoice ..."); empty when nothing was done.
  std::string status_text;
  // The labels CName and ARBal: company name and receivables (",0.00"),
  // from App::CurrentCompany after the operation.
  std::string company_name;
  std::string receivables;
  // Add only: the editor's "P&rint Invoice" was ticked; the window runs its
  // Print command for the new invoice.
  bool print = false;
};

// Caption of the editor in each mode.
std::string AddInvoiceCaption(const company::CompanyRecord& company);
inline constexpr char kEditInvoiceCaption[] = "Edit Invoice";

// Add (New). Prepares a fresh form (PrepareNewInvoice), runs the editor
// and, on OK, adds the transaction record, its lines and memo, updates the
// customer and the company (App::CurrentCompany too), queues the customer
// for labels when the company asks for it, and remembers the invoice date
// as App::last_invoice_date. An invoice for a customer that is not on file
// is refused (CustomerNotOnFileText) before anything is written. The writes
// run under the operation journal, so a killed process leaves the invoice
// whole or not there at all. Stops with "Add operation failed" when the
// record cannot be added (nothing written), and with "memo add operation
// failed" after it; "detail add failed." is shown per line and the other
// lines are still written.
InvoiceOutcome AddInvoice(company::App& app, const RunInvoiceEditor& run);

// The form of a new invoice as the editor first shows it: the last invoice
// date used, key code "None", paid "0.00", memo quantity "1", the kind by
// DefaultInvoiceKind, the proposed number, the default terms and print
// flag, the tax box by CalcTaxes, a reset grid. Sets App::invoice_editing
// false and the number and total at opening to "0" and "0.00".
InvoiceForm PrepareNewInvoice(company::App& app);

// Edit of the transaction `current` at rec_no (as the window has just read
// it). Refusals and notices first, in their order (audit trail, partial
// payments, repeat master notice, paid item, deposit, deposit taken,
// printed question). Then the form is filled from the record, its lines,
// memo and customer, the editor runs with App::invoice_editing set (cleared
// again when it closes) and, on OK, the record is stored with the guarded
// modify (kRecordChanged, then "Modify operation failed", when it changed
// meanwhile: nothing is stored), the lines are rewritten in place, and the
// customer and company balances move by the difference (not for a repeat
// master).
InvoiceOutcome EditInvoice(company::App& app, int32_t rec_no,
                           const company::TransactionRecord& current,
                           const RunInvoiceEditor& run);

// The form Edit shows for `record` (lines, memo and customer read from
// their files). Shows "Error reading memo data." when a memo invoice has no
// memo record. Exposed for the window's tests.
InvoiceForm FormFromRecord(company::App& app,
                           const company::TransactionRecord& record);

// Delete of the transaction `current` at rec_no. Refusals, notices and the
// confirmation questions first; then the record and its keys, its lines,
// the balances (not for a repeat master) and the memo record.
InvoiceOutcome DeleteInvoice(company::App& app, int32_t rec_no,
                             const company::TransactionRecord& current);

// The aging bucket (0..3) of an amount dated `date` for the company's
// three aging periods, counted to App::Today(): up to p1 days old (or in
// the future) 0, up to p2 1, up to p3 2, older 3. A date that cannot be
// read counts as today.
int AgingBucketOf(const company::App& app, const company::Date& date);

// Record numbers of the lines of invoice_no in key order, at most limit.
std::vector<int32_t> LineRecordsOf(company::LineAccess& lines,
                                   std::string_view invoice_no,
                                   size_t limit = SIZE_MAX);

// ---- Texts.
inline constexpr char kInvoiceErrorCaption[] = "Invoice Manager";
inline constexpr char kDetailAddFailed[] = "detail add failed.";
inline constexpr char kDetailDeleteFailed[] = "Detail delete operation failed.";
inline constexpr char kDeleteDetailsFailed[] = "Delete detail recs failed";
inline constexpr char kMemoAddFailed[] = "memo add operation failed";
inline constexpr char kMemoReplaceFailed[] = "memo replace operation failed";
inline constexpr char kMemoDeleteFailed[] = "Memo record deletion failed";
inline constexpr char kMemoReadError[] = "Error reading memo data.";

inline constexpr char kAuditTrailCaption[] = "Audit Trail";
inline constexpr char kAuditNoEdit[] =
    "The audit trail feature is turned on. Unable to modify record.";
inline constexpr char kAuditNoDelete[] =
    "The audit trail feature is turned on. Unable to delete record.";
inline constexpr char kPartialPaymentsCaption[] = "Partial Payments";
inline constexpr char kPartialNoEdit[] =
    "This record is part of a partial-payment record and may not be edited.";
inline constexpr char kPartialItemCaption[] = "Partial Payment Item";
inline constexpr char kPartialNoDelete[] =
    "This record is associated with a partial payment (type X or Z). Unable "
    "to delete this item.";
inline constexpr char kPleaseNoteCaption[] = "Please Note";
inline constexpr char kRepeatMasterEditNote[] =
    "This is a repeat billing master record.  Changes to this record will be "
    "reflected in future generated invoices.";
inline constexpr char kRepeatMasterDeleteNote[] =
    "This is a repeat billing master record. If you delete this master "
    "record, no further invoices will be generated.";
inline constexpr char kPaidItemCaption[] = "Paid Item";
inline constexpr char kPaidNoEdit[] =
    "This record has been paid. You may not edit this record. You can use "
    "the Invoice-View menu option to look at this invoice.";
inline constexpr char kPaidNoDelete[] =
    "This record has been paid and may not be deleted. It will be deleted "
    "when you remove paid records.";
inline constexpr char kPaymentActivityNote[] =
    "This record has payment activity. If you delete this record the payment "
    "data will also be removed.";
inline constexpr char kDepositCaption[] = "Deposit on Account";
inline constexpr char kDepositNoEdit[] =
    "This record is a deposit. You may not edit this record, however, you "
    "can delete it.";
inline constexpr char kDepositTakenCaption[] = "Deposit Taken";
inline constexpr char kDepositTakenNoEdit[] =
    "This record is a deposit which has been previously offset (taken). "
    "Unable to edit this record.";
inline constexpr char kPrintedCaption[] = "Printed Invoice";
inline constexpr char kPrintedQuestion[] =
    "This invoice has been printed. Are you sure you want to edit this "
    "record?";
inline constexpr char kPleaseConfirmCaption[] = "Please Confirm";
inline constexpr char kDepositDeleteQuestion[] =
    "You are about to delete a payment you posted as a Deposit on Account. "
    "Are you sure?";
inline constexpr char kDeleteQuestion[] =
    "Are you sure you want to delete this record?";
inline constexpr char kDeleteCaptionPrefix[] = "Delete Invoice#: ";

// The refusal of an invoice for a customer that is no longer on file.
std::string CustomerNotOnFileText(const std::string& customer_no);

// Status texts (panel 1).
std::string AddedStatusText(const std::string& invoice_no, int line_count);
std::string EditedStatusText(const std::string& invoice_no);
std::string DeletedStatusText(const std::string& invoice_no, int line_count,
                              bool memo);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_INVOICE_BOOKKEEPING_H_
