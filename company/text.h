// Text layout helpers used by every list and text output, and the
// Windows-1252 text handling of record fields.
//
// Record text is Windows-1252 bytes held in std::string. The helpers here
// work on bytes; "blank" is the space character and "control character" is
// any byte below 32. Conversion to UTF-8 happens only at the edges (windows,
// e-mail).
#ifndef TALLYBOOK_COMPANY_TEXT_H_
#define TALLYBOOK_COMPANY_TEXT_H_

#include <string>
#include <string_view>

namespace tallybook::company {

// text followed by blanks up to width characters; a longer text is returned
// whole (never cut).
std::string PadRight(std::string_view text, int width);

// text trimmed (see Trim), then preceded by blanks up to width characters;
// a trimmed text longer than width is cut to its first width characters.
std::string RightAlign(std::string_view text, int width);

// text without its leading and trailing blanks and control characters
// (every byte of code 32 or below).
std::string Trim(std::string_view text);

// text with every comma removed ("1,234.50" -> "1234.50").
std::string RemoveCommas(std::string_view text);

// The Windows-1252 upper case of one byte: a-z, the accented small letters
// 0xE0-0xFE (except the division sign 0xF7) to 0xC0-0xDE, and 0x9A, 0x9C,
// 0x9E, 0xFF to 0x8A, 0x8C, 0x8E, 0x9F. Sharp s (0xDF) and every other byte
// are unchanged.
char UpperChar1252(char c);
// text with UpperChar1252 applied to every byte.
std::string UpperCase1252(std::string_view text);

// Windows-1252 bytes as UTF-8. The five bytes that have no character in the
// code page (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of
// the same number, as the platform's own conversion does, so that a
// round trip keeps them.
std::string Cp1252ToUtf8(std::string_view text);

// UTF-8 as Windows-1252 bytes. A character the code page cannot hold, and
// each malformed byte of the input, becomes '?'.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_TEXT_H_
