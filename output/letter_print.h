// Lays a letter out on printed pages.
//
// Pages have margins of kLetterMarginDots on every side. Paragraphs follow
// one another without extra space; lines are filled word by word and broken
// at blanks (a word wider than the line is broken where it must), a line
// break ends a line, a tab moves to the paragraph's next tab stop or to the
// next multiple of half an inch, and a page break before a paragraph starts
// a new page unless the page is still empty. Justified paragraphs are laid
// out as left-aligned ones. Text is drawn in Windows-1252, as the canvas
// takes it: characters beyond it print as '?'.
#ifndef TALLYBOOK_OUTPUT_LETTER_PRINT_H_
#define TALLYBOOK_OUTPUT_LETTER_PRINT_H_

#include "output/letter_document.h"
#include "platform/canvas.h"

namespace tallybook::output {

inline constexpr int kLetterMarginDots = 300;  // one inch
inline constexpr int kDefaultTabTwips = 720;   // half an inch

// Printer dots of a length in twips.
int TwipsToDots(int twips);

// The canvas font of a run's format.
platform::Font FontOf(const CharFormat& format);

// Draws doc on canvas from its first page.
void DrawLetter(platform::Canvas& canvas, const LetterDocument& doc);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LETTER_PRINT_H_
