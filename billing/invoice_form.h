// InvoiceForm: what the invoice editor holds, as plain data, and the
// computations the editor runs over it while the user types.
//
// The editor window (TProdInv) copies its controls into an InvoiceForm,
// calls these functions and puts the results back; the bookkeeping of Add
// and Edit fills a form before the editor opens and reads it after OK. All
// texts are Windows-1252 bytes, as the records hold them; amounts are the
// texts the user sees (",0.00" with thousands separators) until they are
// stored.
#ifndef TALLYBOOK_BILLING_INVOICE_FORM_H_
#define TALLYBOOK_BILLING_INVOICE_FORM_H_

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "company/format.h"
#include "company/records.h"

namespace tallybook::billing {

// Rows of the line grid.
inline constexpr int kGridLines = company::kMaxInvoiceLines;

// Widths of the grid's columns (the longest text a cell takes).
inline constexpr int kProductWidth = 10;
inline constexpr int kQuantityWidth = 10;
inline constexpr int kDescriptionWidth = 32;
inline constexpr int kUnitPriceWidth = 10;

// Header field lengths.
inline constexpr int kInvoiceNoLength = 9;
inline constexpr int kDateLength = 10;
inline constexpr int kTermsLength = 35;
inline constexpr int kStatementNoteLength = 35;
inline constexpr int kNotesLength = 80;
inline constexpr int kKeyCodeLength = 8;
inline constexpr int kAmountLength = 10;
// An amount field of the editor shows the ",0.00" pattern: a ten-character
// stored amount with its thousands separators and sign.
inline constexpr int kAmountShownLength = 14;
inline constexpr int kMemoTextLength = 1850;

// Texts the bookkeeping puts into a fresh form.
inline constexpr char kNoKeyCode[] = "None";
inline constexpr char kZeroAmount[] = "0.00";
inline constexpr char kMemoProduct[] = "Memo";
inline constexpr char kMemoFlag[] = "M";
inline constexpr char kDefaultMemoDescription[] = "Memo Invoice";

// One row of the grid: the texts of columns 1-6.
struct InvoiceLine {
  std::string product;
  std::string quantity;  // rate or quantity
  std::string description;
  std::string unit_price;
  std::string flag;  // "Y" taxable, "N" not; a single blank on a comment line
  std::string extension;

  bool operator==(const InvoiceLine&) const = default;
  // For test failure messages.
  friend std::ostream& operator<<(std::ostream& out, const InvoiceLine& l) {
    return out << '{' << l.product << '|' << l.quantity << '|'
               << l.description << '|' << l.unit_price << '|' << l.flag << '|'
               << l.extension << '}';
  }
  // A row whose product and description are both blank is not an invoice
  // line and is never stored.
  bool IsInvoiceLine() const;
};

enum class InvoiceKind { kLineItems, kMemo };

struct InvoiceForm {
  // Header.
  std::string invoice_no;      // INum
  std::string date;            // IDate, a display date
  std::string terms;           // ITerms
  std::string statement_note;  // IStmntNote
  std::string notes;           // INVNOTES
  std::string key_code;        // KeyCode

  // The customer, display only (filled by the chooser or from the record).
  std::string customer_name;
  std::string customer_no;
  std::string short_name;
  std::string customer_balance;  // ",0.00"
  std::string credit_limit;      // ",0.00"
  std::array<std::string, 4> aging;
  bool tax_exempt = false;

  // Amounts as shown.
  std::string net = kZeroAmount;
  std::string tax = kZeroAmount;
  std::string paid = kZeroAmount;
  std::string total = kZeroAmount;
  std::string balance_due = kZeroAmount;

  bool calc_tax = false;  // CheckBox2 ticked
  bool print = false;     // PrintFlag
  InvoiceKind kind = InvoiceKind::kLineItems;

  std::array<InvoiceLine, kGridLines> lines;  // lines[0] is line 1

  // Memo invoices: the body (lines separated by '\n'), description and
  // quantity.
  std::string memo;
  std::string memo_description;
  std::string memo_quantity = "1";
};

// ---- Lines and totals.

// The values of a reset line: empty product, the company's default
// quantity (trimmed), empty description, unit price "0.00", flag "N",
// extension "0.00".
InvoiceLine ResetLine(const company::CompanyRecord& company);
// Every line of the grid reset.
void ResetGrid(InvoiceForm& form, const company::CompanyRecord& company);
// A comment line: product empty, quantity a single blank, description and
// unit price empty, flag a single blank, extension "0.00".
InvoiceLine CommentLine();

// The extension of a line: quantity x unit price, each read as an exact
// decimal (leniently with separators removed; non-numbers count 0), the
// product rounded to cents half away from zero, as ",0.00".
std::string LineExtension(std::string_view quantity,
                          std::string_view unit_price);
// Recomputes line.extension from its quantity and unit price.
void UpdateExtension(InvoiceLine& line);

// Totals of a product invoice, with the tax rate as a percentage text
// (TaxRate), in whole cents: the tax is the rate of the taxable sum rounded
// half away from zero. Fills net, tax, total and balance due (",0.00"); an empty
// paid amount becomes "0.00". Only lines flagged exactly "Y" are taxed,
// and only while calc_tax is ticked.
void ComputeProductTotals(InvoiceForm& form, std::string_view tax_rate);
// Totals of a memo invoice: an empty net becomes "0.00"; total and balance
// due follow net + tax - paid; the tax stays what the user typed. Returns
// the suggested-tax label, "Tax on N is T." when calc_taxes, else "".
std::string ComputeMemoTotals(InvoiceForm& form, std::string_view tax_rate,
                              bool calc_taxes);
// Totals by the form's kind; returns the memo label (empty for line items).
std::string ComputeTotals(InvoiceForm& form, std::string_view tax_rate,
                          bool calc_taxes);
// True when the balance due is negative (shown in red).
bool BalanceDueIsNegative(const InvoiceForm& form);

// The caption of the tax box: "Calc. Tax at " + rate (trimmed) + "%".
std::string CalcTaxCaption(std::string_view tax_rate);
inline constexpr char kTaxExemptCaption[] = "Tax Exempt";

// ---- Line records.

// The LineText of a row: quantity (10), description (32), unit price (10),
// flag (1), extension (10), each padded with blanks and cut to its width,
// money columns with commas removed.
std::string BuildLineText(const InvoiceLine& line);
// count characters of text from column `from` (1-based), fewer or none
// when the text is shorter.
std::string TextColumns(std::string_view text, size_t from, size_t count);
// The row a line record gives back: product code, then from the line text
// quantity (1-10), description (11-42), unit price (43-52), flag (53, not
// trimmed) and extension (54-63); the others trimmed.
InvoiceLine LineFromRecord(const company::LineRecord& record);

// ---- Invoice numbers.

// The number proposed for a new invoice: the company's NextInvoiceNo, or
// with YearMonthPrefix "Y" the last two digits of the year and the
// two-digit month of `date` followed by it ("24" + "03" + "57"). A date
// that does not parse gives the number without prefix.
std::string ProposedInvoiceNumber(const company::CompanyRecord& company,
                                  std::string_view date,
                                  company::DateOrder order);
// The company's next invoice number after saving invoice_no: its numeric
// value + 1 without decimals (characters 5-9 only when prefixed), read
// leniently; "1" when that is not a number.
std::string NextInvoiceNumberAfter(std::string_view invoice_no, bool prefixed);

// ---- The customer chosen for a new invoice.

inline constexpr char kWarningCaption[] = "Warning";
inline constexpr char kOverCreditLimit[] =
    "This customer is over their credit limit.";
inline constexpr char kCreditHold[] =
    "This customer is placed on inactive/credit hold status.";

// Puts the chosen customer on the form: name, number, short name, credit
// limit (",0.00", empty counts 0), balance and aging buckets (",0.00"), the
// customer's terms when it has any, and the tax box (ticked when the
// company calculates taxes, unticked for a tax-exempt customer). Returns
// the warnings to show, in order: over the credit limit, on credit hold.
std::vector<std::string> ApplyChosenCustomer(
    InvoiceForm& form, const company::CustomerRecord& customer,
    const company::CompanyRecord& company);

// A product put on a line: code, description, sales price as unit price,
// "Y"/"N" by taxable, and the extension; the quantity becomes the
// company's DefaultQuantity when with_default_quantity (the finder), else
// it stays.
void ApplyProduct(InvoiceLine& line, const company::ProductRecord& product,
                  const company::CompanyRecord& company,
                  bool with_default_quantity);

// ---- The timer.

// "hh:mm:ss" of a count of seconds (hours past 99 keep their digits).
std::string ClockText(int64_t seconds);
// Elapsed seconds as hours, "00.000" (for pasting into a quantity).
std::string HoursText(int64_t seconds);
// The invoice manager's status panel 2 after the editor closes.
inline constexpr char kTimerRunning[] = "Timer running...";
inline constexpr char kTimerOff[] = "Timer off";

// The memo body split into lines (at '\n', a '\r' before it dropped).
std::vector<std::string> MemoLines(std::string_view memo);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_INVOICE_FORM_H_
