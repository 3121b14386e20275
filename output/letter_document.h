// LetterDocument: a form letter as the letter window edits it and the merge
// prints it - paragraphs of runs of equally formatted text.
//
// Text is UTF-8 (letters may hold characters beyond Windows-1252); inside a
// run '\t' is a tab and '\n' a line break within the paragraph. Lengths are
// twips (1/20 point), sizes half points, as a letter file stores them.
//
// Letters are kept as rich text (".RTF", rtf_reader.h / rtf_writer.h) or
// plain text (".TXT": one paragraph a line, read as UTF-8 when it is valid
// UTF-8 and as Windows-1252 otherwise, written as UTF-8).
#ifndef TALLYBOOK_OUTPUT_LETTER_DOCUMENT_H_
#define TALLYBOOK_OUTPUT_LETTER_DOCUMENT_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font.h"

namespace tallybook::output {

// The font, size, emphasis and colour of a run.
struct CharFormat {
  std::string font = "Arial";
  int half_points = 20;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  platform::Color color = platform::kBlack;
  bool operator==(const CharFormat&) const = default;
};

struct TextRun {
  CharFormat format;
  std::string text;  // UTF-8; '\t' tab, '\n' line break
  bool operator==(const TextRun&) const = default;
};

enum class Alignment { kLeft, kCenter, kRight, kJustify };

struct Paragraph {
  Alignment alignment = Alignment::kLeft;
  int first_indent = 0;  // twips, from the left indent (negative: hanging)
  int left_indent = 0;   // twips
  int right_indent = 0;  // twips
  bool bullet = false;
  bool page_break_before = false;
  std::vector<int> tab_stops;  // twips from the left margin, ascending
  std::vector<TextRun> runs;
  // The paragraph's text, its runs joined.
  std::string Text() const;
  bool operator==(const Paragraph&) const = default;
};

struct LetterDocument {
  std::vector<Paragraph> paragraphs;
  // True when the letter has no text at all (the merge refuses to print).
  bool IsEmpty() const;
  // The whole text, paragraphs separated by '\n'.
  std::string Text() const;
  bool operator==(const LetterDocument&) const = default;
};

// Joins neighbouring runs of the same format and drops empty runs, so
// equal letters compare equal however they were built.
void Normalize(LetterDocument* doc);

// Largest letter file read (a letter is a few pages; this keeps a stray
// huge file from exhausting memory).
inline constexpr size_t kMaxLetterFileBytes = 16 * 1024 * 1024;

// Plain text as a letter: one paragraph a line ("\r\n", "\n" or "\r"), each
// in the default format. UTF-8 when valid, else Windows-1252.
LetterDocument ReadPlainText(std::string_view bytes);
// The letter's text, one line a paragraph, "\n" line ends, UTF-8.
std::string WritePlainText(const LetterDocument& doc);

// True when name ends in ".TXT" (any case): such letters are plain text,
// every other letter rich text.
bool IsPlainTextName(std::string_view name);

// Reads the letter at path, rich or plain text by its name. nullopt and
// *error (a reason for the user) when it is missing, not a regular file,
// too large or not a readable letter.
std::optional<LetterDocument> LoadLetterFile(const std::string& path,
                                             std::string* error);
// Writes the letter to path through a side file, rich or plain text by its
// name; false and *error when it could not be written (path unchanged).
bool SaveLetterFile(const std::string& path, const LetterDocument& doc,
                    std::string* error);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LETTER_DOCUMENT_H_
