// Printing a plain text as one job: the text list window's "Print".
//
// The text is set line by line in one font from the top-left corner of the
// printable area, a half-inch margin on every side, starting a new page
// whenever the next line would cross the bottom margin. Tabs advance to
// the next multiple of eight characters; other control characters are not
// printed.
#ifndef TALLYBOOK_COMPANY_TEXT_PRINT_H_
#define TALLYBOOK_COMPANY_TEXT_PRINT_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/printer.h"

namespace tallybook::company {

inline constexpr int kTextMarginDots = 150;  // half an inch

// The text's lines (CR LF, LF or CR end a line; a final line end starts no
// further line), tabs expanded, control characters removed.
std::vector<std::string> PrintableLines(std::string_view text);

// Draws the lines on canvas in font, breaking pages as above.
void DrawTextPages(platform::Canvas& canvas, std::string_view text,
                   const platform::Font& font);

// Prints text as one job titled title. The status tells where it went; when
// no job could be started, ok is false and error holds the printer's
// reason.
platform::PrintJobStatus PrintText(platform::Printer& printer,
                                   const std::string& title,
                                   std::string_view text,
                                   const platform::Font& font);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_TEXT_PRINT_H_
