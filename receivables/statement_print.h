// The printed statement: one print job titled "Statement", drawn on a
// platform canvas with the company's form fonts, margins and options.
//
// Page layout, top to bottom (L = line height of "MXjpy" in the body font;
// margins in tenths of an inch from the company's form options):
//   with "Box around statements" a frame 20 dots inside the page edges;
//   the logo ("Print bitmap logo" and its file exists) at the top left;
//   the statement heading centred in the caption font; the company name
//   and address lines unless "Don't Print Company Name and Address" is on;
//   "Page Number: " + n centred; the customer's name and address block
//   (with a rule below it when "Horizontal Lines" is on);
//   "Statement Date: ", "Account Number: ", the statement note line;
//   the column headings "Date", "Invoice#", "Reference/Comments",
//   "Total Amount", "Paid Amount", " Balance Due", "C" at widths measured
//   from sample texts, amounts aligned on the decimal point;
//   the rows, the totals row last. A row that would pass the page height
//   less 250 dots ends the page with "Continued on page N ..." 100 dots
//   above the bottom and the next page repeats the header and headings;
//   a rule across the page below the totals;
//   with "Sales Message" and room for seven lines plus 100 dots: the four
//   sales message lines in their font, just above the bottom block;
//   with "Customer Aging", at the bottom of the last page in the aging
//   font (on a shaded band with "Shading"): "Account Status:" and the four
//   entries at the left edge and at one, two and three quarters of the
//   page width.
#ifndef TALLYBOOK_RECEIVABLES_STATEMENT_PRINT_H_
#define TALLYBOOK_RECEIVABLES_STATEMENT_PRINT_H_

#include <string>

#include "company/records.h"
#include "platform/canvas.h"
#include "platform/printer.h"
#include "receivables/statement.h"

namespace tallybook::receivables {

inline constexpr char kStatementJobTitle[] = "Statement";
inline constexpr char kContinuedOnPage[] = "Continued on page ";
inline constexpr char kPageNumberPrefix[] = "Page Number: ";
inline constexpr char kStatementAccountStatus[] = "Account Status:";
// Rows stop this many dots above the page bottom.
inline constexpr int kStatementBottomReserve = 250;

// Draws every page of st on canvas (NewPage between them). today is the
// statement date as shown; data_dir resolves a relative logo file name.
void DrawStatement(platform::Canvas& canvas,
                   const company::CompanyRecord& company, const Statement& st,
                   const std::string& today, const std::string& data_dir);

// One print job titled kStatementJobTitle. The status says where it went,
// or why it failed (also when no job could be started).
platform::PrintJobStatus PrintStatement(platform::Printer& printer,
                                        const company::CompanyRecord& company,
                                        const Statement& st,
                                        const std::string& today,
                                        const std::string& data_dir);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_STATEMENT_PRINT_H_
