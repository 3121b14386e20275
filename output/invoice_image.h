// The invoice print image: everything the View window, the printed invoice
// and the e-mail text show of one invoice, gathered from the transaction,
// customer, line and memo files of the current company. Rebuilt for every
// invoice.
//
// Body line of a line-item invoice (fixed columns, 1-based):
//   1-10  product code, left      12-21 quantity, right (decimal-preserving)
//   23-55 description, left       57-66 unit price, right, as stored
//   68    taxable flag            70-81 extension, right, as stored
// Renderers read them back as product code 1-10, quantity 11-22,
// description 23-54, unit price 55-66, taxable flag 68, extension 70-81,
// each trimmed (BodyColumns).
#ifndef TALLYBOOK_OUTPUT_INVOICE_IMAGE_H_
#define TALLYBOOK_OUTPUT_INVOICE_IMAGE_H_

#include <array>
#include <string>
#include <string_view>

#include "company/app.h"
#include "company/data_access.h"
#include "company/records.h"

namespace tallybook::output {

inline constexpr int kBodyLineCount = 99;
inline constexpr char kMemoReadError[] = "Error reading memo data.";

struct InvoiceImage {
  std::string bill_to_name;
  std::array<std::string, 4> billing;
  std::array<std::string, 4> shipping;
  std::string account_no;
  std::string invoice_no;
  std::string date;
  std::string reference;
  std::string terms;
  std::string type_code;
  std::string invoice_kind;
  std::string printed_flag;
  // ",0.00" right-justified in 12.
  std::string total, tax, grand_total, paid, balance_due;
  double balance_due_value = 0;
  double tax_value = 0;
  std::string paid_date;
  std::string customer_notes;
  std::string notes_on_invoices;
  std::string email_address;
  // For the label queue row of a batch run.
  std::string mail_list_code;
  std::string customer_type;
  // ",0.00" left-justified in 12.
  std::array<std::string, 4> aging;
  bool memo = false;
  bool memo_missing = false;
  // Line-item invoice: one per line record; memo invoice: lines 1-25.
  std::array<std::string, kBodyLineCount> body;
  // The number of body lines filled.
  int body_count = 0;
  // Set when BuildInvoiceImage gives kFileFailed: the file that failed
  // ("1D.DAT", "1I.IX") and the store's error number, kept before the files
  // are closed again.
  std::string failed_file;
  int store_error = 0;
};

// Decimal-preserving number format: a text with a point shows thousands
// separators and as many decimals as it has after the point (1 to 4); one
// without a point shows ",0". "1.5" -> "1.5", "1234" -> "1,234",
// "2.125" -> "2.125". Text that is not a number is shown trimmed as it is.
std::string DecimalPreserving(std::string_view text);

// A number right-aligned in width. One that does not fit loses its
// thousands separators, and when it still does not fit shows as '#'
// marks: cutting it would show another number.
std::string NumberInWidth(std::string_view number, int width);

// Formats one line record as a body line.
std::string FormatBodyLine(const company::LineRecord& line);

// The columns of a body line, trimmed.
struct BodyColumns {
  std::string product_code, quantity, description, unit_price, taxable,
      extension;
};
BodyColumns ReadBodyColumns(std::string_view body_line);

// The invoice files a caller already holds open (the invoice manager keeps
// transactions, lines and memos open while it is shown; the store opens a
// file only once). A null member is opened, and closed again, by the call
// that needs it.
struct InvoiceFiles {
  company::TransactionAccess* transactions = nullptr;
  company::LineAccess* lines = nullptr;
  company::MemoAccess* memos = nullptr;
};

enum class ImageRead {
  kOk,
  kNotFound,     // no transaction record has this invoice number
  kFileFailed,   // a company file could not be opened or read
};

// Whether a record of this type is the invoice's own record - the one
// that carries its date, terms, reference, kind, type and printed flag:
// "I", "Z", "G", "M", "R" or "D". Payments under the number ("X", "T")
// carry the payment's date and no terms or reference.
bool IsInvoiceOwnRecord(std::string_view type_code);

// Builds the image of invoice_no from the current company's files: the
// amounts summed over every record under the number, the header fields
// from the invoice's own record (the first under the number; the first
// record when none is), the paid date from the last record. A memo
// invoice whose memo record is missing gets empty memo lines and
// memo_missing set (the caller shows kMemoReadError). A customer that
// cannot be found leaves the customer fields empty. A company file that is
// missing or cannot be read gives kFileFailed with failed_file and
// store_error set; no file is ever created.
ImageRead BuildInvoiceImage(company::App& app, const std::string& invoice_no,
                            InvoiceImage* image,
                            const InvoiceFiles& files = {});

// What the user is told of a kFileFailed image: "The invoice files could not
// be read: 1D.DAT (error 9903)."
std::string FileFailedText(const InvoiceImage& image);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_INVOICE_IMAGE_H_
