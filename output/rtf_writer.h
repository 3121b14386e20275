// Writes a LetterDocument as rich text (RTF) that ReadRtf reads back to an
// equal document and that other word processors open.
//
// The file declares Windows-1252 (\ansicpg1252); characters of that code
// page are written as themselves or \'hh, every other character as \uN
// with '?' as the fallback (\uc1). Bulleted paragraphs carry both the old
// bullet description (\pn, for readers that lay bullets out) and the
// bullet's text in a \pntext group (for readers that show only text).
#ifndef TALLYBOOK_OUTPUT_RTF_WRITER_H_
#define TALLYBOOK_OUTPUT_RTF_WRITER_H_

#include <string>

#include "output/letter_document.h"

namespace tallybook::output {

std::string WriteRtf(const LetterDocument& doc);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_RTF_WRITER_H_
