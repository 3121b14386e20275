// Saved lines: one set of invoice lines (and one memo body) that the user
// keeps for reuse, shared by every company, in two plain text files of the
// data directory. Every line ends with CR LF.
//
// "SAVELINE.SAV", 101 lines. Lines 1-100 hold grid rows 1-100 (row 100 does
// not exist: its line holds empty fields), each in the row layout:
//   COLUMNS  CONTENT
//   1-2      line number, padded with blanks to 2
//   4-13     product code, padded to 10
//   15-24    rate/quantity, padded to 10
//   26-57    description, padded to 32
//   59-68    unit price, padded to 10
//   70       first character of the flag
//   72-83    extension, padded to 12
// with one blank between columns. A longer value is written whole and
// shifts the rest of the line; the line is cut to 85 characters. Line 101
// holds the notes padded to 60, the statement note padded to 25 and the key
// code.
//
// "SAVEMEMO.SAV", 28 lines: 1-26 the first 26 lines of the memo body
// (missing lines empty), 27 the notes line as above, 28 grid row 1 in the
// row layout, carrying the memo's description and quantity.
#ifndef TALLYBOOK_BILLING_SAVED_LINES_H_
#define TALLYBOOK_BILLING_SAVED_LINES_H_

#include <string>
#include <string_view>

#include "billing/invoice_form.h"
#include "company/app.h"

namespace tallybook::billing {

inline constexpr char kSavedLinesFileName[] = "SAVELINE.SAV";
inline constexpr char kSavedMemoFileName[] = "SAVEMEMO.SAV";
inline constexpr int kSavedLinesLineCount = 101;
inline constexpr int kSavedMemoLineCount = 28;

inline constexpr char kSavedLinesCaption[] = "Saved Lines File";
inline constexpr char kSavedLinesReplaced[] =
    "The saved lines file has been replaced with the current invoice lines.";
inline constexpr char kLoadSavedLinesCaption[] = "Load Saved Lines";
inline constexpr char kNoSavedLines[] =
    "You have not created a saved lines file.";
inline constexpr char kLoadSavedMemoCaption[] = "Load Saved Memo";
inline constexpr char kNoSavedMemo[] = "You have not created a saved memo file.";

// One row in the row layout (without the line end).
std::string SavedRowLine(std::string_view number, const InvoiceLine& row);
// The whole file of each kind, CR LF line ends.
std::string SavedLinesText(const InvoiceForm& form);
std::string SavedMemoText(const InvoiceForm& form);

// Fills form from the file's text as loading does. Rows are filled as far
// as the text has lines; returns false when it has fewer lines than its
// layout holds (what was read stays in the form).
bool ApplySavedLines(std::string_view text, InvoiceForm& form);
bool ApplySavedMemo(std::string_view text, InvoiceForm& form,
                    const company::CompanyRecord& company);

// Writes the file for the form's kind and tells the user; a file that
// cannot be written is reported instead. True when it was written.
bool SaveInvoiceLines(company::App& app, const InvoiceForm& form);
// Loads the file for the form's kind into form, telling the user when it
// is missing, unreadable or short. True when form was changed (the caller
// recomputes the totals).
bool LoadInvoiceLines(company::App& app, InvoiceForm& form);

// The texts of the failures the saved-lines files can have.
std::string SavedFileShortText(const std::string& name, int lines, int needed);
std::string SavedFileUnwritableText(const std::string& name);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_SAVED_LINES_H_
