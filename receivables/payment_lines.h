// The item lines of the payment wizard's two lists, and the rules the
// wizard applies to them and to the amounts typed beside them.
//
// Both lists hold fixed-width text lines; the wizard reads the invoice
// number, amount and marker back from them by column (counted from 1):
//
//   COLUMNS  CONTENT
//   1-9      invoice number, left-aligned, padded with blanks
//   10       blank
//   11-18    date, 8 characters ("MM/DD/YY" or "DD/MM/YY" by the company's
//            date order), padded with blanks
//   19       blank
//   20-31    amount, ",0.00" pattern right-aligned in 12 (cut to 12)
//   32       "P" for a partial payment or a partly paid invoice; absent
//            otherwise
//
// An amount whose ",0.00" text is wider than 12 is written without its
// thousands separators; one wider still is cut, and posting then refuses
// it as not matching its invoice.
#ifndef TALLYBOOK_RECEIVABLES_PAYMENT_LINES_H_
#define TALLYBOOK_RECEIVABLES_PAYMENT_LINES_H_

#include <string>
#include <string_view>
#include <vector>

#include "company/app.h"
#include "company/format.h"
#include "company/records.h"
#include "receivables/payment_posting.h"

namespace tallybook::receivables {

inline constexpr int kInvoiceColumns = 9;
inline constexpr int kDateColumns = 8;
inline constexpr int kAmountColumns = 12;
inline constexpr char kPartialMarker = 'P';

// Texts of the wizard's checks, with their captions.
inline constexpr char kNegativePaidAmount[] =
    "You should not enter a negative number in the payment box. Create a "
    "credit invoice if you are trying to give the customer credit.";
inline constexpr char kPaidAmountCaption[] = "Paid Amount";
inline constexpr char kNotNumericAmount[] =
    "The payment amount must be a numeric value.";
inline constexpr char kNotNumericCaption[] = "Invalid Payment Amount";
inline constexpr char kNotAboveZero[] =
    "The payment amount must be greater than zero.";
inline constexpr char kNotAboveZeroCaption[] = "Payment Amount";
inline constexpr char kNotBelowDue[] =
    "The partial payment amount must be less than amount due.";
inline constexpr char kNotBelowDueCaption[] = "Partial Payment Amount";

// One line read back by column.
struct ItemLine {
  std::string invoice_no;  // columns 1-9, trimmed
  std::string date;        // columns 11-18, trimmed
  double amount = 0;       // columns 20-31, commas removed; 0 if unreadable
  bool partial = false;    // column 32 is "P"
};

// The 8-character date of an open item from its month, day and year fields.
std::string ItemDate(const company::TransactionRecord& record,
                     company::DateOrder order);
// The date of a deposit line, cut from the payment-date box text:
// characters 1-6 followed by characters 9-10.
std::string DepositLineDate(std::string_view payment_date_text);

std::string BuildItemLine(std::string_view invoice_no, std::string_view date,
                          double amount, bool partial);
ItemLine ParseItemLine(std::string_view line);

// The sum of columns 19-31 of every line (blanks and commas removed).
double PostedTotal(const std::vector<std::string>& lines);
// Post is enabled exactly when the posted total and the paid amount, both
// in the "0.00" pattern, are the same text and there is something to post.
// An unreadable paid amount reads as 0.
bool PostAllowed(double posted_total, std::string_view paid_amount_text,
                 bool destination_empty);
// Whether the paid amount, in the "0.00" pattern, is the customer's balance.
bool PaidIsBalance(std::string_view paid_amount_text,
                   std::string_view balance_text);

// Whether a source line may be paid in part: its amount is above zero and it
// is not a deposit line.
bool CanPayPartly(const ItemLine& line);

// The verdict on the paid-amount box after a change.
enum class PaidAmountCheck {
  kEmpty,       // blank: nothing to do
  kNegative,    // holds a minus sign: kNegativePaidAmount
  kNotNumeric,  // kNotNumericAmount
  kTooManyDecimals,  // company::MoneyFieldMessage("Paid Amount", ...)
  kOk,
};
// Digits with at most one decimal point and two decimals, as the box takes
// while typing; thousands separators are refused. *value is set when kOk.
PaidAmountCheck CheckPaidAmount(std::string_view text, double* value);

// The verdict on the amount dialog's OK.
enum class DialogAmountCheck {
  kNotNumeric,    // kNotNumericAmount
  kNotAboveZero,  // kNotAboveZero
  kNotBelowDue,   // kNotBelowDue (partial payments only)
  kTooManyDecimals,  // company::MoneyFieldMessage("Amount", ...)
  kOk,
};
// An exponent form ("1e3") is not a number; a third decimal is refused,
// never rounded. In deposit mode the amount due is taken as 0, so only the
// "greater than zero" rule applies. *value is set when kOk.
DialogAmountCheck CheckDialogAmount(std::string_view text,
                                    std::string_view amount_due_text,
                                    bool deposit_mode, double* value);

// The open items of the customer, one source line each, in key 2 order:
// paid records ("P") and repeat masters are left out; a "Z" record is listed
// with the "P" marker; any other record with a zero amount due is left out.
// False when the transactions file could not be read (the user has been
// told by the data-access layer or is told here); *lines then holds what
// was read.
bool LoadOpenItems(company::App& app, std::string_view customer_no,
                   std::vector<std::string>* lines);

// The destination lines as posting items: "DEPOSIT" lines are deposits,
// marked lines partial items, the rest whole items.
std::vector<PaymentItem> ItemsOfLines(const std::vector<std::string>& lines);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_PAYMENT_LINES_H_
