// Posting a payment: the money the payment wizard records for one customer,
// written to the transaction, customer and company files.
//
// The caller (the payment wizard, or the demo company of tallybook-admin)
// gives plain data: the customer, the payment date, the statement note and
// the items settled, in order. Each item is one of:
//
//   KIND      WRITES
//   deposit   a new "D" record numbered "DP" + n, amount due minus the
//             amount, key code "Deposit", invoice kind "D"
//   partial   the invoice's first "I", "Z" or "G" record (key 1) loses the
//             amount from its amount due and becomes "Z" (status "P" and
//             the paid date when that reaches 0.00); a new "X" record,
//             key code "Partial", carries the amount
//   whole     the first record under the invoice number is closed: paid in
//             place when it carries no paid amount; otherwise an "X" record
//             (a "T" record for a deposit "DP...") carries the amount and
//             every open record under the number is closed ("Z", or "D"
//             for a deposit)
//
// A deposit is offset against invoices by posting it whole (its amount is
// the negative amount due) together with the invoices; the amounts then sum
// to what changed hands, 0.00 for a pure offset.
//
// Contract:
//   - Nothing is written unless every item passes its check first: a
//     deposit's amount is above zero; a partial or whole item's invoice
//     exists for this customer and is open; a whole item's amount is the
//     invoice's amount due; a partial item's amount is above zero and not
//     above the amount due. The first item that fails is named in the
//     refusal message (caption kPaymentWizardCaption) and the result is
//     kRefused.
//   - Each item is written whole or not at all: a store failure part-way
//     through an item undoes what that item wrote, tells the user
//     (kAddingDepositFailed, kAddingPartialFailed, kAddingRegularFailed or
//     the data-access layer's failure text) and posting goes on with the
//     next item. The result is then kIncomplete, never kPosted.
//   - The customer is re-aged from its open amounts due (company aging
//     days); its balance and the company's receivables balance are lowered
//     by the sum of the amounts of the items actually posted; the customer's
//     last payment date becomes the payment date text. App::CurrentCustomer
//     and App::CurrentCompany are replaced by the stored records.
//   - A new deposit's number is "DP" followed by the count of records in
//     use plus one, stepped up while that number is already on file, so two
//     deposits posted together get consecutive numbers.
//
// Messages go through the App's platform services; the transaction file is
// opened for the posting and closed again before returning.
#ifndef TALLYBOOK_RECEIVABLES_PAYMENT_POSTING_H_
#define TALLYBOOK_RECEIVABLES_PAYMENT_POSTING_H_

#include <string>
#include <vector>

#include "company/app.h"
#include "company/format.h"
#include "company/records.h"

namespace tallybook::receivables {

// The invoice number of a new deposit line, and the prefix of every deposit
// record's number.
inline constexpr char kDepositLineNo[] = "DEPOSIT";
inline constexpr char kDepositNumberPrefix[] = "DP";
inline constexpr char kDepositKeyCode[] = "Deposit";
inline constexpr char kPartialKeyCode[] = "Partial";

inline constexpr char kPaymentWizardCaption[] = "Payment Wizard";
inline constexpr char kAddingDepositFailed[] = "Adding deposit failed.";
inline constexpr char kAddingPartialFailed[] = "Adding partial pmt failed.";
inline constexpr char kAddingRegularFailed[] = "Adding reg pmt failed.";

enum class PaymentItemKind { kDeposit, kPartial, kWhole };

struct PaymentItem {
  PaymentItemKind kind = PaymentItemKind::kWhole;
  // The invoice settled; ignored for a deposit.
  std::string invoice_no;
  // The amount of the item, two decimals; negative for a deposit or credit
  // settled whole.
  double amount = 0;
};

struct PaymentPosting {
  // The chosen customer: its number and short name are copied into the
  // records written.
  std::string customer_no;
  std::string short_name;
  // The payment date as typed (the date text of new records, the
  // customer's last payment date) and as a date.
  std::string date_text;
  company::Date date;
  // The statement note.
  std::string note;
  std::vector<PaymentItem> items;
};

enum class PostingOutcome {
  kPosted,      // every item written, balances lowered by their sum
  kRefused,     // an item failed its check or a file would not open;
                // nothing was written
  kIncomplete,  // a store failure part-way: only some items were written
                // and the balances were lowered by those items alone; or
                // the transaction file could not be closed, or the
                // balances themselves could not be stored
};

struct PostingResult {
  PostingOutcome outcome = PostingOutcome::kRefused;
  // Items written, and the sum of their amounts.
  int items_posted = 0;
  double amount_posted = 0;
  // The numbers given to new deposits, in order.
  std::vector<std::string> deposit_numbers;
};

// The refusal texts of the checks made before anything is written.
std::string ItemNotOpenText(const std::string& invoice_no);
std::string ItemAmountChangedText(const std::string& invoice_no);
std::string ItemAmountNotAboveZeroText(const std::string& invoice_no);
// What the user is told when posting stopped part-way.
std::string IncompletePostingText(int posted, int items, double amount);
// What the user is told when the transaction file could not be closed
// after the items were written (its index may lack what was written last).
std::string TransactionsNotClosedText(int store_error);
// What the user is told when the customer or company balance could not be
// stored after the items were written.
std::string BalancesNotStoredText(const std::string& customer_no);

// Posts the payment for the App's current company. Preconditions: the store
// is started; posting.date is valid; the items were built by the wizard's
// rules (see the contract above for what is checked again here).
PostingResult PostPayment(company::App& app, const PaymentPosting& posting);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_PAYMENT_POSTING_H_
