// The printed invoice: one print job per copy, drawn on a platform canvas
// from the print image, in one of three modes (invoice, packing slip, file
// copy), with the company's form fonts, margins and rule-line options.
//
// Page layout, top to bottom (L = line height of "MXjpy" in the body font):
//   header block, nine lines: logo and company name and address at the
//     left, the title at the right ("C  R  E  D  I  T" centred), the
//     duplicate banner four lines down; with the letterhead style only
//     "REPEAT MASTER SETUP" for a repeat master, the block left empty;
//   address block: bill-to at the left, ship-to at the middle, both moved
//     right by the address shift, in the customer-address font;
//   "Date: " / "Number: " (centred) / "Account Number: ", then
//     "Payment Terms: " and "Reference: ";
//   the line table (centred, 84 or 74 "X" wide) or the memo lines (80);
//     a page that has fewer than ten lines left below a row that is not
//     the last ends with "Continued on page number N ..." and the next
//     starts with the header block and "page number N";
//   totals (or the packing-slip note), sales message, account status at
//     110 dots above the bottom.
// Margins, the box top and the address shift are in tenths of an inch; the
// line width digit gives the pen width in dots (times two).
#ifndef TALLYBOOK_OUTPUT_INVOICE_PRINT_H_
#define TALLYBOOK_OUTPUT_INVOICE_PRINT_H_

#include <string>

#include "company/records.h"
#include "output/invoice_image.h"
#include "output/invoice_output.h"
#include "platform/canvas.h"
#include "platform/printer.h"

namespace tallybook::output {

inline constexpr char kCreditBanner[] = "C  R  E  D  I  T";
inline constexpr char kRepeatMasterTitle[] = "REPEAT MASTER SETUP";
inline constexpr char kDuplicateBanner[] = "** Duplicate Invoice **";
inline constexpr char kContinuedText[] = "Continued on page number ";
inline constexpr char kPageNumberText[] = "page number ";
inline constexpr char kPackingSlipNote[] =
    "This is a packing slip. Please pay from invoice.";
inline constexpr char kMaskedAmount[] = "xxxxxxxxxx";
inline constexpr char kAccountStatus[] = "Account Status:";
inline constexpr char kDefaultPackingSlipCaption[] = "PACKING SLIP";
inline constexpr char kDefaultFileCopyCaption[] = "FILE COPY";

// A length option of the company's forms in tenths of an inch ("15"), as
// printer dots within [0, limit_tenths]; 0 for a text that is not a number.
int FormTenthsOption(std::string_view text, int limit_tenths);
// A form font block of the company, with the platform's default name and
// size where the block has none.
platform::Font FormFontOf(const company::FontBlock& block);

// Draws the whole invoice on canvas (every page, NewPage between them).
// data_dir resolves a relative logo file name.
void DrawInvoice(platform::Canvas& canvas,
                 const company::CompanyRecord& company,
                 const InvoiceImage& image, PrintMode mode,
                 const std::string& data_dir);

// One print job titled JobTitle(mode, invoice number). The status says
// where it went, or why it failed (also when no job could be started).
platform::PrintJobStatus PrintInvoiceCopy(
    platform::Printer& printer, const company::CompanyRecord& company,
    const InvoiceImage& image, PrintMode mode, const std::string& data_dir);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_INVOICE_PRINT_H_
