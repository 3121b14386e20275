// What the invoice manager shows and decides, as plain text and data: the
// header and row texts of its list of transactions, the six views, the
// customer filter, the status texts, the Customer Data window's lines and
// the find rows.
//
// Row layout (one blank between columns, the whole padded to 128):
//
//   COLUMN        WIDTH  ALIGN   FROM
//   sort date     10     left    SortDate, cut to 10
//   type          1      -       TypeCode
//   invoice#      9      left    InvoiceNo, trimmed  ("DELETE ME" if damaged)
//   cust#         8      left    CustomerNo, trimmed
//   short name    10     left    ShortName, trimmed  ("BAD RECORD" if damaged)
//   grand total   12     right   GrandTotal ",0.00"  ("0" amounts if damaged)
//   amount due    12     right   AmountDue ",0.00"
//   paid amount   12     right   PaidAmount ",0.00"
//   key code      8      left    KeyCode, trimmed
//   date paid     10     left    PaidSortDate, trimmed
//   co#           5      left    CompanyNo, trimmed
//
// A record is damaged when any of its three amounts is blank; a row whose
// record cannot be read shows "****  " and the row's key.
#ifndef TALLYBOOK_BILLING_INVOICE_MANAGER_LOGIC_H_
#define TALLYBOOK_BILLING_INVOICE_MANAGER_LOGIC_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "billing/customer_product_support.h"
#include "billing/invoice_form.h"
#include "company/format.h"
#include "company/records.h"

namespace tallybook::billing {

// ---- Window texts.
inline constexpr char kInvoiceManagerCaption[] = "Invoice Manager";
inline constexpr char kInvoiceManagerEMailCaption[] =
    "Invoice Manager - (E-Mail Mode)";
inline constexpr char kInvoiceManagerHelpTopic[] = "InvoiceManager";
inline constexpr char kReceivablesLabel[] = "A/R:";
inline constexpr char kRecordsPrefix[] = "Records: ";
inline constexpr char kUnableToOpenDatabases[] = "Unable to open databases: ";
inline constexpr char kFilterClosedLabel[] = "Filter Closed";
inline constexpr char kFilteringCustomer[] = "Filtering Customer#: ";
inline constexpr char kFilterOnHint[] =
    "Click filter button again to clear filter.";
inline constexpr char kFilterOffHint[] = "Filter closed.";
inline constexpr char kDamagedInvoiceNo[] = "DELETE ME";
inline constexpr char kDamagedShortName[] = "BAD RECORD";
inline constexpr char kFindInvoiceCaption[] = "Find Invoice/Payment";
// The longest filter value and find text.
inline constexpr int kFilterValueMax = 10;
inline constexpr int kFindTextMax = 10;

// "Records: " + count.
std::string RecordsText(int32_t count);

// ---- Views: the six keys of the transaction file.
struct InvoiceView {
  int key_no;
  const char* action_name;  // the menu item's object name
  const char* caption;      // the menu item's text
};
inline constexpr int kInvoiceNoView = 1;
inline constexpr int kCustomerNoView = 2;
inline constexpr int kInvoiceDateView = 3;
inline constexpr int kKeyCodeView = 4;
inline constexpr int kTypeView = 5;
inline constexpr int kDatePaidView = 6;
inline constexpr std::array<InvoiceView, 6> kInvoiceViews = {{
    {kInvoiceNoView, "ByInvoiceNumber1", "By Invoice &Number"},
    {kCustomerNoView, "ByCustomerNumber1", "By &Customer Number"},
    {kInvoiceDateView, "ByInvoiceDate1", "By Invoice &Date"},
    {kKeyCodeView, "ByKeyCode1", "By &Key Code"},
    {kTypeView, "ByType1", "By &Transaction Type"},
    {kDatePaidView, "byDatePaid1", "By Date &Paid"},
}};
// view_key when it is one of the six, else By Invoice Date.
int ValidInvoiceView(int view_key);

// ---- Rows.
std::string InvoiceListHeader();
// The row of a record that was read.
std::string InvoiceRow(const company::TransactionRecord& record);
// The row of an entry whose record could not be read.
std::string UnreadableInvoiceRow(std::string_view key);
// True when any of total, amount due and paid amount is blank.
bool IsDamagedTransaction(const company::TransactionRecord& record);

// ---- The customer filter.
// The filter value taken from a record: its customer number, trimmed.
std::string FilterValueOf(const company::TransactionRecord& record);
// True when the record's trimmed customer number equals the value.
bool CustomerFilterAccepts(const company::TransactionRecord& record,
                           std::string_view filter_value);

// What the window shows for the filter's state.
struct FilterDisplay {
  std::string label;  // CFilter's text
  bool red = false;   // CFilter's colour: red, else black
  std::string hint;   // status panel 1
  bool shadow = false;  // window colour: button shadow, else button face
};
FilterDisplay FilterDisplayFor(bool filter_on, std::string_view value);

// ---- Customer Data.
inline constexpr char kCustomerDataCaption[] = "Customer Data";
inline constexpr char kProductInvoiceLabel[] = "(Product Invoice)";
inline constexpr char kMemoInvoiceLabel[] = "(Memo Invoice)";
inline constexpr char kPaymentRecordLabel[] = "(Payment Record)";
inline constexpr char kAppliedDepositLabel[] = "(Applied Deposit)";
inline constexpr char kNextDueText[] = " - Next Due: ";
inline constexpr char kRepeatMark[] = "* Repeat *";
inline constexpr char kPrintedMark[] = "*Printed*";
inline constexpr char kEMailedPrefix[] = "E-Mailed: ";
inline constexpr std::array<const char*, 4> kAgingBucketLabels = {
    "00 - 30 Days:", "31 - 60 Days:", "61 - 90 Days:", "Over 90 Days:"};

// The texts of the Customer Data window for one transaction and its
// customer (customer_found false when it could not be read).
struct CustomerDataView {
  std::vector<std::string> legend;  // one line per type code
  std::string invoice_line;         // number, three blanks, kind label
  std::string date_line;            // date as entered [+ next due]
  bool repeat = false;              // the "* Repeat *" mark shows
  std::string total;
  std::string paid;
  std::string balance_due;
  std::string printed;              // "*Printed*", "E-Mailed: ..." or ""
  std::string customer_name;
  std::string customer_no;
  std::string account_balance;
  std::string phone;
  std::string last_payment;
  std::string last_invoice;
  std::array<std::string, 4> aging;
};
CustomerDataView BuildCustomerData(const company::TransactionRecord& record,
                                   const company::CustomerRecord* customer,
                                   company::DateOrder date_order);
// "(Product Invoice)", "(Memo Invoice)", "(Payment Record)" or
// "(Applied Deposit)" for the record.
std::string KindLabel(const company::TransactionRecord& record);

// ---- Find.
// The find window's row of a record: invoice number first (10 wide), then
// type, customer number, sort date, key code, short name and notes.
std::string InvoiceFindRow(const company::TransactionRecord& record);
inline constexpr int kInvoiceFindFirstColumn = 10;
std::string InvoiceFindHeader();
// True when typed (trimmed; empty matches everything) is contained,
// ignoring case, in the customer number, sort date, statement note, notes,
// invoice number, key code or short name.
bool InvoiceFindMatches(const company::TransactionRecord& record,
                        std::string_view typed);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_INVOICE_MANAGER_LOGIC_H_
