// The checks the invoice editor runs when the user presses OK, in their
// order. The first that fails tells the user (through the app's messages),
// names the control to focus, and keeps the editor open; questions the user
// answers No (or Cancel) keep it open too.
#ifndef TALLYBOOK_BILLING_INVOICE_CHECKS_H_
#define TALLYBOOK_BILLING_INVOICE_CHECKS_H_

#include <functional>
#include <string>

#include "billing/invoice_form.h"
#include "billing/product_manager.h"
#include "company/app.h"
#include "company/terms.h"

namespace tallybook::billing {

// The control the editor focuses after a failed check.
enum class InvoiceField {
  kNone,
  kInvoiceNo,
  kCustomerButton,
  kDate,
  kMemoDescription,
  kMemo,
  kQuantity,   // of line `line`
  kUnitPrice,  // of line `line`
  kNet,
  kTax,
  kPaid,
  kTerms,
};

struct InvoiceCheckResult {
  bool ok = false;
  InvoiceField focus = InvoiceField::kNone;
  int line = 0;  // 1..99 for kQuantity and kUnitPrice
};

// Whether a transaction with this number (trimmed, upper-cased) is on file.
using NumberOnFile = std::function<bool(const std::string& number)>;

// True when the current company's transaction file holds a record whose
// number (trimmed, upper-cased) equals `number`. A file that cannot be
// opened holds none.
bool InvoiceNumberOnFile(company::App& app, const std::string& number);

// Runs every check on form (which it may change: an empty paid amount
// becomes "0.00", an empty or non-numeric memo quantity "1"). terms is the
// editor's terms list; a new term the user agrees to add is added to it and
// saved. The number and total at opening come from App.
InvoiceCheckResult CheckInvoiceForOk(company::App& app, InvoiceForm& form,
                                     company::TermList& terms,
                                     const NumberOnFile& number_on_file);

// ---- Texts.
inline constexpr char kInvoiceNumberCaption[] = "Invoice Number";
inline constexpr char kNeedInvoiceNumber[] = "You need an invoice number.";
inline constexpr char kCustomerRequiredCaption[] = "Customer Required";
inline constexpr char kNeedCustomer[] = "You need to select a customer.";
inline constexpr char kInvoiceDateCaption[] = "Invoice Date";
inline constexpr char kInvalidInvoiceDate[] =
    "You have an invalid invoice date. You can clear the date and then "
    "select the calendar button.";
inline constexpr char kNoLetterG[] =
    "Please do not use the letter \"G\" in your invoice numbers. This is "
    "reserved for repeat billings. You must change this invoice number.";
inline constexpr char kNoLetterI[] =
    "Please do not use the letter \"I\" in your invoice numbers. This is "
    "reserved for Interest Wizard. You must change this invoice number.";
inline constexpr char kNeedMemoDescription[] =
    "You do not have a product description entered. This description is "
    "used on your Sales Report to show the item sold.";
inline constexpr char kMemoTextCaption[] = "Memo Invoice Text";
inline constexpr char kNeedMemoText[] =
    "You do not have any text entered in the body of your invoice.";
inline constexpr char kDescriptionRequiredCaption[] = "Description Required";
inline constexpr char kNeedDescription[] =
    "You do not have a description on any of your line items. At least one "
    "description field is required or you have nothing to invoice.";
inline constexpr char kDuplicateInvoiceCaptionPrefix[] = "Duplicate Invoice: ";
inline constexpr char kDuplicateInvoice[] =
    "This invoice number currently exists. Please enter another one.";
inline constexpr char kInvalidNet[] = "The NET amount has an invalid value.";
inline constexpr char kInvalidTax[] = "The TAX amount has an invalid value.";
inline constexpr char kInvalidPaid[] = "The PAID amount has an invalid value.";
inline constexpr char kNoChargeQuestion[] = "Is this a no-charge invoice?";
// An amount too large for the ten characters the invoice file keeps.
inline std::string AmountTooLargeText(const std::string& name,
                                      const std::string& amount) {
  return name + " " + amount +
         " is too large: an amount of an invoice may be at most 9,999,999.99.";
}
inline constexpr char kConfirmCaption[] = "Please Confirm";
inline constexpr char kPaymentAmountCaption[] = "Payment Amount";
inline constexpr char kPaidExceedsTotal[] =
    "The paid amount cannot exceed the invoice total amount.";
inline constexpr char kOverCreditQuestion[] =
    "This invoice will cause this customer to be over their credit limit.  "
    "Do you want to proceed anyway?";

// "Line " + n + " has an invalid QUANTITY value." and its three siblings.
std::string InvalidQuantityText(int line);
std::string PriceWithoutQuantityText(int line);
std::string QuantityWithoutPriceText(int line);
std::string InvalidUnitPriceText(int line);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_INVOICE_CHECKS_H_
