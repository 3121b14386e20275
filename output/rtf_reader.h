// Reads rich-text (RTF) letters into a LetterDocument.
//
// What a letter uses is kept: paragraphs, fonts and sizes, bold, italic,
// underline, text colour, alignment, first-line, left and right indents,
// bullets (the \pn and \ls forms), tab stops, tabs, line breaks, page
// breaks, Windows-1252 escapes (\'hh) and Unicode (\uN, its fallback
// skipped by \ucN). Everything else is passed over without losing the text
// around it: groups marked \*, pictures, objects, headers and footers,
// style sheets, document information and field instructions (a field's
// shown result is kept); table cells become tabs, rows paragraphs.
//
// The input is untrusted. A file that does not start as RTF, a control word
// longer than kMaxRtfWordLength letters, a number longer than
// kMaxRtfNumberDigits digits or groups nested deeper than kMaxRtfDepth are
// refused with a reason; a file that ends before its groups are closed is
// read up to its end, and whatever follows the closing of the outermost
// group is ignored. Reading is linear in the input's length.
#ifndef TALLYBOOK_OUTPUT_RTF_READER_H_
#define TALLYBOOK_OUTPUT_RTF_READER_H_

#include <string>
#include <string_view>

#include "output/letter_document.h"

namespace tallybook::output {

inline constexpr int kMaxRtfDepth = 200;
inline constexpr int kMaxRtfWordLength = 32;
inline constexpr int kMaxRtfNumberDigits = 10;

// Reads rtf into *doc (normalized: see Normalize). False and *error (words
// that follow "is not a letter that can be read: ") when refused; *doc is
// then empty.
bool ReadRtf(std::string_view rtf, LetterDocument* doc, std::string* error);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_RTF_READER_H_
