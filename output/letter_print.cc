#include "output/letter_print.h"

#include <algorithm>

#include "company/text.h"

namespace tallybook::output {

namespace {

// One piece of a paragraph as it is laid out: a word, a run of blanks, a
// tab or a line break, in its font and measured.
struct Piece {
  enum Kind { kWord, kSpace, kTab, kBreak } kind = kWord;
  std::string text;  // Windows-1252
  platform::Font font;
  int width = 0;
  int height = 0;
};

class LetterLayout {
 public:
  explicit LetterLayout(platform::Canvas& canvas)
      : canvas_(canvas),
        top_(kLetterMarginDots),
        bottom_(std::max(canvas.PageHeight() - kLetterMarginDots,
                         kLetterMarginDots + 1)),
        y_(top_) {}

  void Paragraph(const output::Paragraph& p) {
    if (p.page_break_before && y_ > top_) NewPage();
    std::vector<Piece> pieces = Pieces(p);
    const platform::Font first_font =
        FontOf(p.runs.empty() ? CharFormat{} : p.runs.front().format);
    const int margin_left = kLetterMarginDots + TwipsToDots(p.left_indent);
    const int right = std::max(
        canvas_.PageWidth() - kLetterMarginDots - TwipsToDots(p.right_indent),
        margin_left + 60);
    size_t i = 0;
    bool first_line = true;
    do {
      int left = margin_left + (first_line ? TwipsToDots(p.first_indent) : 0);
      left = std::clamp(left, 0, right - 60);
      int bullet_x = -1;
      if (p.bullet && first_line) {
        bullet_x = left;
        canvas_.SetFont(first_font);
        left = std::max(margin_left, bullet_x + canvas_.TextWidth("\x95  "));
      }
      struct Placed {
        const Piece* piece;
        int x;
      };
      std::vector<Placed> line;
      int x = left;
      int end_x = left;
      bool has_word = false;
      while (i < pieces.size()) {
        Piece& piece = pieces[i];
        if (piece.kind == Piece::kBreak) {
          ++i;
          break;
        }
        if (piece.kind == Piece::kTab) {
          const int next = NextTab(p, x);
          if (next > right && has_word) break;
          x = end_x = std::min(next, right);
          ++i;
          continue;
        }
        if (piece.kind == Piece::kSpace) {
          if (has_word || !line.empty() || first_line) x += piece.width;
          ++i;
          continue;
        }
        if (x + piece.width > right) {
          if (has_word) break;
          // A word wider than the line is broken where the line ends.
          const Piece rest = SplitToFit(&piece, right - x);
          if (!rest.text.empty()) pieces.insert(pieces.begin() + i + 1, rest);
        }
        line.push_back({&pieces[i], x});
        x += pieces[i].width;
        end_x = x;
        has_word = true;
        ++i;
      }
      int height = 0;
      for (const Placed& placed : line) {
        height = std::max(height, placed.piece->height);
      }
      if (height == 0) {
        canvas_.SetFont(first_font);
        height = canvas_.TextHeight("");
      }
      if (y_ + height > bottom_ && y_ > top_) NewPage();
      int shift = 0;
      if (p.alignment == Alignment::kCenter) shift = (right - end_x) / 2;
      if (p.alignment == Alignment::kRight) shift = right - end_x;
      shift = std::max(shift, 0);
      if (bullet_x >= 0) {
        canvas_.SetFont(first_font);
        canvas_.TextOut(bullet_x, y_ + height - canvas_.TextHeight("\x95"),
                        "\x95");
      }
      for (const Placed& placed : line) {
        canvas_.SetFont(placed.piece->font);
        canvas_.TextOut(placed.x + shift, y_ + height - placed.piece->height,
                        placed.piece->text);
      }
      y_ += height;
      first_line = false;
      // Pieces may have moved when a word was split: line is done with.
    } while (i < pieces.size());
  }

 private:
  void NewPage() {
    canvas_.NewPage();
    y_ = top_;
  }

  std::vector<Piece> Pieces(const output::Paragraph& p) {
    std::vector<Piece> pieces;
    for (const TextRun& run : p.runs) {
      const platform::Font font = FontOf(run.format);
      const std::string text = company::Utf8ToCp1252(run.text);
      size_t k = 0;
      while (k < text.size()) {
        Piece piece;
        piece.font = font;
        const char c = text[k];
        if (c == '\t' || c == '\n') {
          piece.kind = c == '\t' ? Piece::kTab : Piece::kBreak;
          ++k;
        } else {
          const bool blank = c == ' ';
          size_t end = k;
          while (end < text.size() && text[end] != '\t' && text[end] != '\n' &&
                 (text[end] == ' ') == blank) {
            ++end;
          }
          piece.kind = blank ? Piece::kSpace : Piece::kWord;
          piece.text = text.substr(k, end - k);
          k = end;
        }
        Measure(&piece);
        pieces.push_back(std::move(piece));
      }
    }
    return pieces;
  }

  void Measure(Piece* piece) {
    canvas_.SetFont(piece->font);
    const platform::Size size = canvas_.TextExtent(piece->text);
    piece->width = size.width;
    piece->height = size.height;
  }

  // Keeps in *piece as much of its text as fits in width (at least one
  // character) and returns the rest.
  Piece SplitToFit(Piece* piece, int width) {
    size_t keep = 1;
    canvas_.SetFont(piece->font);
    while (keep < piece->text.size() &&
           canvas_.TextWidth(piece->text.substr(0, keep + 1)) <= width) {
      ++keep;
    }
    Piece rest = *piece;
    rest.text = piece->text.substr(keep);
    piece->text.resize(keep);
    Measure(piece);
    if (!rest.text.empty()) Measure(&rest);
    return rest;
  }

  int NextTab(const output::Paragraph& p, int x) const {
    for (int stop : p.tab_stops) {
      const int at = kLetterMarginDots + TwipsToDots(stop);
      if (at > x) return at;
    }
    const int step = TwipsToDots(kDefaultTabTwips);
    const int from_margin = std::max(x - kLetterMarginDots, 0);
    return kLetterMarginDots + (from_margin / step + 1) * step;
  }

  platform::Canvas& canvas_;
  const int top_;
  const int bottom_;
  int y_;
};

}  // namespace

int TwipsToDots(int twips) {
  return static_cast<int>(static_cast<int64_t>(twips) *
                          platform::kPrinterDotsPerInch / 1440);
}

platform::Font FontOf(const CharFormat& format) {
  platform::Font font;
  font.name = company::Utf8ToCp1252(format.font);
  font.size_points = std::max(1, (format.half_points + 1) / 2);
  font.color = format.color;
  font.style = (format.bold ? platform::kFontBold : 0) |
               (format.italic ? platform::kFontItalic : 0) |
               (format.underline ? platform::kFontUnderline : 0);
  return font;
}

void DrawLetter(platform::Canvas& canvas, const LetterDocument& doc) {
  LetterLayout layout(canvas);
  for (const Paragraph& p : doc.paragraphs) layout.Paragraph(p);
}

}  // namespace tallybook::output
