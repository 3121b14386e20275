// Moves a letter between its plain form (LetterDocument) and the letter
// window's editor (QTextDocument). Indents go from twips to the editor's
// pixels by the ruler's scale (ruler_scale.h); line breaks are the
// editor's line separators; bullets are disc lists.
#ifndef TALLYBOOK_OUTPUT_UI_LETTER_RICH_TEXT_H_
#define TALLYBOOK_OUTPUT_UI_LETTER_RICH_TEXT_H_

#include <QTextCharFormat>

#include "output/letter_document.h"

class QTextDocument;

namespace tallybook::output::ui {

// Replaces the contents of editor_doc by doc.
void PutLetter(const LetterDocument& doc, QTextDocument* editor_doc);
// The letter the editor holds.
LetterDocument TakeLetter(const QTextDocument& editor_doc);

QTextCharFormat ToQt(const CharFormat& format);
CharFormat FromQt(const QTextCharFormat& format);

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_LETTER_RICH_TEXT_H_
