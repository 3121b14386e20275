// Rich text (RTF) from plain text: the form in which the text list window
// saves a list, and later the form letters write their merged letters.
//
// The writer takes Windows-1252 text and one font for the whole document
// and produces a minimal RTF 1 document that word processors open:
//   {\rtf1\ansi\ansicpg1252\deff0
//   {\fonttbl{\f0\fmodern\fcharset0 Courier New;}}
//   {\colortbl ;\red0\green0\blue0;}
//   \pard\plain\f0\fs20\cf1 <text>}
// Line ends (CR LF, a lone LF or a lone CR) become \par, a tab \tab; the
// characters \ { } are escaped, bytes 0x80-0xFF are written as \'hh so the
// output is pure 7-bit ASCII, and other control characters are dropped.
#ifndef TALLYBOOK_COMPANY_RICH_TEXT_H_
#define TALLYBOOK_COMPANY_RICH_TEXT_H_

#include <string>
#include <string_view>

#include "platform/font.h"

namespace tallybook::company {

// The RTF document holding `text` in `font` (face, size, colour, style).
// A face name loses the characters RTF cannot hold in a font table
// (";", "{", "}", "\" and control characters); an empty one becomes
// "Courier New". Sizes below 1 point are written as 1 point.
std::string RichTextFromPlain(std::string_view text,
                              const platform::Font& font);

// Writes RichTextFromPlain(text, font) to `path`, replacing the file. True
// when every byte was written and the file closed; on failure the file is
// removed so no partial document is left behind, and the result is false.
bool SaveRichText(const std::string& path, std::string_view text,
                  const platform::Font& font);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_RICH_TEXT_H_
