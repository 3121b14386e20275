#include "output/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "company/text.h"

namespace tallybook::output {

namespace {

enum class Dest { kText, kSkip, kFontTable, kColorTable };

struct ParaProps {
  Alignment alignment = Alignment::kLeft;
  int first_indent = 0;
  int left_indent = 0;
  int right_indent = 0;
  bool bullet = false;
  std::vector<int> tab_stops;
};

// What a group inherits from the group around it.
struct State {
  Dest dest = Dest::kText;
  int font = -1;  // -1: the default font (\deff)
  int half_points = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int color = 0;
  int uc = 1;  // fallback characters after \uN
  bool star = false;  // the group began with \*
  bool first_word = true;  // no control word seen yet in this group
  ParaProps para;
};

// Limits that keep a hostile file from growing the document without bound
// in ways its size does not already bound.
constexpr int kMaxTabStops = 64;
constexpr int kMaxIndentTwips = 31680;  // 22 inches
constexpr int kMaxHalfPoints = 3276;

const std::set<std::string, std::less<>>& SkippedDestinations() {
  static const std::set<std::string, std::less<>> names = {
      "author", "buptim", "comment", "creatim", "doccomm", "footer",
      "footerf", "footerl", "footerr", "footnote", "header", "headerf",
      "headerl", "headerr", "info", "keywords", "listtext", "nonshppict",
      "object", "operator", "pict", "pntext", "printim", "revtim",
      "stylesheet", "subject", "title", "fldinst", "xe", "tc", "txe",
      "listtable", "listoverridetable", "rsidtbl", "themedata",
      "colorschememapping", "datastore", "latentstyles", "xmlnstbl",
      "generator", "filetbl", "revtbl", "private", "bkmkstart", "bkmkend",
      "template", "userprops", "docvar", "sp", "sn", "sv"};
  return names;
}

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xE0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (cp >> 18));
    *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  explicit Reader(std::string_view rtf) : in_(rtf) {}

  bool Read(LetterDocument* doc, std::string* error) {
    size_t start = 0;
    if (in_.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
    while (start < in_.size() &&
           (in_[start] == ' ' || in_[start] == '\r' || in_[start] == '\n' ||
            in_[start] == '\t')) {
      ++start;
    }
    if (in_.substr(start, 5) != "{\\rtf") {
      *error = "it is not a rich text file";
      return false;
    }
    pos_ = start;
    if (!Run(error)) return false;
    FinishParagraph(/*at_end=*/true);
    Normalize(&doc_);
    *doc = std::move(doc_);
    return true;
  }

 private:
  State& state() { return stack_.back(); }

  bool Run(std::string* error) {
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      if (c == '{') {
        if (static_cast<int>(stack_.size()) >= kMaxRtfDepth) {
          *error = "its groups are nested too deeply";
          return false;
        }
        skip_ = 0;
        stack_.push_back(stack_.empty() ? State{} : state());
        state().star = false;
        state().first_word = true;
      } else if (c == '}') {
        skip_ = 0;
        if (stack_.empty()) return true;
        stack_.pop_back();
        if (stack_.empty()) return true;  // the document's own group closed
      } else if (stack_.empty()) {
        continue;  // nothing is read outside the outermost group
      } else if (c == '\\') {
        if (!ControlSequence(error)) return false;
      } else if (c == '\r' || c == '\n' || c == '\0') {
        continue;
      } else {
        if (skip_ > 0) {
          --skip_;
          continue;
        }
        Byte(static_cast<unsigned char>(c));
      }
    }
    return true;
  }

  // After a backslash.
  bool ControlSequence(std::string* error) {
    if (pos_ >= in_.size()) return true;
    const char c = in_[pos_];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter) {
      ++pos_;
      if (c == '\'') {
        const int hi = pos_ < in_.size() ? HexValue(in_[pos_]) : -1;
        const int lo = pos_ + 1 < in_.size() ? HexValue(in_[pos_ + 1]) : -1;
        if (hi < 0 || lo < 0) {  // a broken escape is dropped
          if (hi >= 0) ++pos_;
          return true;
        }
        pos_ += 2;
        if (skip_ > 0) {
          --skip_;
          return true;
        }
        Byte(static_cast<unsigned char>(hi * 16 + lo));
        return true;
      }
      if (skip_ > 0) {
        --skip_;
        return true;
      }
      switch (c) {
        case '\\':
        case '{':
        case '}':
          Byte(static_cast<unsigned char>(c));
          break;
        case '~':
          Char(0xA0);
          break;
        case '_':
          Char(0x2011);
          break;
        case '*':
          state().star = true;
          break;
        case '\r':
        case '\n':
          Word("par", false, 0);
          break;
        default:
          break;  // \- \: \| and unknown symbols carry no text
      }
      return true;
    }
    const size_t word_start = pos_;
    while (pos_ < in_.size() && ((in_[pos_] >= 'a' && in_[pos_] <= 'z') ||
                                 (in_[pos_] >= 'A' && in_[pos_] <= 'Z'))) {
      ++pos_;
      if (pos_ - word_start > static_cast<size_t>(kMaxRtfWordLength)) {
        *error = "a control word is too long";
        return false;
      }
    }
    const std::string_view word = in_.substr(word_start, pos_ - word_start);
    bool has_param = false;
    bool negative = false;
    int64_t param = 0;
    if (pos_ < in_.size() && in_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    const size_t digits_start = pos_;
    while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
      param = param * 10 + (in_[pos_] - '0');
      ++pos_;
      if (pos_ - digits_start > static_cast<size_t>(kMaxRtfNumberDigits)) {
        *error = "a number is too long";
        return false;
      }
    }
    has_param = pos_ > digits_start;
    if (negative) param = -param;
    param = std::clamp<int64_t>(param, INT32_MIN, INT32_MAX);
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    if (word == "bin") {
      // Binary data: its bytes are passed over whatever they hold.
      const size_t n = static_cast<size_t>(std::max<int64_t>(param, 0));
      pos_ += std::min(n, in_.size() - pos_);
      return true;
    }
    if (skip_ > 0 && word != "u") {
      --skip_;
      return true;
    }
    if (skip_ > 0) --skip_;  // a \u in place of a fallback character
    Word(word, has_param, static_cast<int>(param));
    return true;
  }

  void Word(std::string_view word, bool has_param, int param) {
    State& s = state();
    const bool first = s.first_word;
    s.first_word = false;
    if (s.dest == Dest::kSkip) return;
    if (first && s.star) {
      // An optional destination: only the old bullet description is read.
      if (word == "pn" && stack_.size() >= 2) {
        stack_[stack_.size() - 2].para.bullet = true;
      }
      s.dest = Dest::kSkip;
      return;
    }
    if (first && SkippedDestinations().count(word)) {
      s.dest = Dest::kSkip;
      return;
    }
    const int on = has_param ? param : 1;
    if (word == "fonttbl") {
      s.dest = Dest::kFontTable;
    } else if (word == "colortbl") {
      s.dest = Dest::kColorTable;
      colors_.clear();
      red_ = green_ = blue_ = 0;
      color_set_ = false;
    } else if (s.dest == Dest::kFontTable) {
      if (word == "f") {
        font_no_ = param;
        font_name_.clear();
      }
    } else if (s.dest == Dest::kColorTable) {
      const int v = std::clamp(param, 0, 255);
      if (word == "red") red_ = v, color_set_ = true;
      if (word == "green") green_ = v, color_set_ = true;
      if (word == "blue") blue_ = v, color_set_ = true;
    } else if (word == "par") {
      FinishParagraph(false);
    } else if (word == "row") {
      FinishParagraph(false);
    } else if (word == "sect") {
      if (!current_.runs.empty()) FinishParagraph(false);
    } else if (word == "page") {
      if (!current_.runs.empty()) FinishParagraph(false);
      page_break_ = true;
    } else if (word == "line") {
      Char('\n');
    } else if (word == "tab" || word == "cell") {
      Char('\t');
    } else if (word == "u") {
      uint32_t cp = static_cast<uint32_t>(param < 0 ? param + 65536 : param);
      cp &= 0xFFFF;
      skip_ = s.uc;
      if (cp >= 0xD800 && cp <= 0xDBFF) {
        high_surrogate_ = cp;
      } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
        if (high_surrogate_ != 0) {
          Char(0x10000 + ((high_surrogate_ - 0xD800) << 10) + (cp - 0xDC00));
        }
        high_surrogate_ = 0;
      } else {
        Char(cp);
      }
    } else if (word == "uc") {
      s.uc = std::clamp(param, 0, 8);
    } else if (word == "deff") {
      default_font_ = param;
    } else if (word == "plain") {
      const State fresh;
      s.font = fresh.font;
      s.half_points = fresh.half_points;
      s.bold = s.italic = s.underline = false;
      s.color = 0;
    } else if (word == "pard") {
      s.para = ParaProps{};
    } else if (word == "f") {
      s.font = param;
    } else if (word == "fs") {
      if (has_param) s.half_points = std::clamp(param, 2, kMaxHalfPoints);
    } else if (word == "b") {
      s.bold = on != 0;
    } else if (word == "i") {
      s.italic = on != 0;
    } else if (word == "ul" || word == "uld" || word == "uldb" ||
               word == "ulw" || word == "uldash" || word == "ulth") {
      s.underline = on != 0;
    } else if (word == "ulnone") {
      s.underline = false;
    } else if (word == "cf") {
      s.color = param;
    } else if (word == "ql") {
      s.para.alignment = Alignment::kLeft;
    } else if (word == "qc") {
      s.para.alignment = Alignment::kCenter;
    } else if (word == "qr") {
      s.para.alignment = Alignment::kRight;
    } else if (word == "qj") {
      s.para.alignment = Alignment::kJustify;
    } else if (word == "fi") {
      s.para.first_indent = std::clamp(param, -kMaxIndentTwips, kMaxIndentTwips);
    } else if (word == "li") {
      s.para.left_indent = std::clamp(param, -kMaxIndentTwips, kMaxIndentTwips);
    } else if (word == "ri") {
      s.para.right_indent = std::clamp(param, -kMaxIndentTwips, kMaxIndentTwips);
    } else if (word == "tx" || word == "tb") {
      if (has_param && param >= 0 && param <= kMaxIndentTwips &&
          static_cast<int>(s.para.tab_stops.size()) < kMaxTabStops) {
        auto& tabs = s.para.tab_stops;
        auto at = std::lower_bound(tabs.begin(), tabs.end(), param);
        if (at == tabs.end() || *at != param) tabs.insert(at, param);
      }
    } else if (word == "ls") {
      s.para.bullet = true;
    } else if (word == "emdash") {
      Char(0x2014);
    } else if (word == "endash") {
      Char(0x2013);
    } else if (word == "bullet") {
      Char(0x2022);
    } else if (word == "lquote") {
      Char(0x2018);
    } else if (word == "rquote") {
      Char(0x2019);
    } else if (word == "ldblquote") {
      Char(0x201C);
    } else if (word == "rdblquote") {
      Char(0x201D);
    } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
      Char(' ');
    }
  }

  // A byte of text: Windows-1252.
  void Byte(unsigned char b) {
    if (b < 0x80) {
      Char(b);
      return;
    }
    const std::string utf8 = company::Cp1252ToUtf8(std::string(1, char(b)));
    Text(utf8);
  }

  void Char(uint32_t cp) {
    // No control character but tab and line break belongs in a letter.
    if (cp < 0x20 && cp != '\t' && cp != '\n') return;
    std::string utf8;
    AppendUtf8(cp, &utf8);
    Text(utf8);
  }

  void Text(const std::string& utf8) {
    State& s = state();
    switch (s.dest) {
      case Dest::kSkip:
        return;
      case Dest::kFontTable:
        if (utf8 == ";") {
          // The writer could not put the table's delimiters back.
          std::erase_if(font_name_, [](char c) {
            return c == '\\' || c == '{' || c == '}' ||
                   static_cast<unsigned char>(c) < 0x20;
          });
          fonts_[font_no_] = company::Trim(font_name_);
          font_name_.clear();
        } else {
          font_name_ += utf8;
        }
        return;
      case Dest::kColorTable:
        if (utf8 == ";") {
          colors_.push_back(color_set_
                                ? platform::MakeColor(red_, green_, blue_)
                                : platform::kBlack);
          red_ = green_ = blue_ = 0;
          color_set_ = false;
        }
        return;
      case Dest::kText:
        break;
    }
    CharFormat format;
    const int font = s.font >= 0 ? s.font : default_font_;
    if (auto it = fonts_.find(font); it != fonts_.end() && !it->second.empty()) {
      format.font = it->second;
    }
    format.half_points = s.half_points;
    format.bold = s.bold;
    format.italic = s.italic;
    format.underline = s.underline;
    if (s.color > 0 && s.color < static_cast<int>(colors_.size())) {
      format.color = colors_[s.color];
    }
    current_props_ = s.para;
    if (current_.runs.empty() || !(current_.runs.back().format == format)) {
      current_.runs.push_back({format, {}});
    }
    current_.runs.back().text += utf8;
  }

  void FinishParagraph(bool at_end) {
    // The last paragraph of a file has no \par when it holds text.
    if (at_end && current_.runs.empty()) return;
    const ParaProps& p = at_end ? current_props_ : state().para;
    current_.alignment = p.alignment;
    current_.first_indent = p.first_indent;
    current_.left_indent = p.left_indent;
    current_.right_indent = p.right_indent;
    current_.bullet = p.bullet;
    current_.tab_stops = p.tab_stops;
    current_.page_break_before = page_break_;
    page_break_ = false;
    doc_.paragraphs.push_back(std::move(current_));
    current_ = Paragraph{};
  }

  std::string_view in_;
  size_t pos_ = 0;
  std::vector<State> stack_;
  LetterDocument doc_;
  Paragraph current_;
  ParaProps current_props_;  // in effect at the last character
  bool page_break_ = false;
  int skip_ = 0;  // fallback characters still to pass over
  uint32_t high_surrogate_ = 0;
  int default_font_ = 0;
  std::map<int, std::string> fonts_;
  int font_no_ = 0;
  std::string font_name_;
  std::vector<platform::Color> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool color_set_ = false;
};

}  // namespace

bool ReadRtf(std::string_view rtf, LetterDocument* doc, std::string* error) {
  *doc = LetterDocument{};
  Reader reader(rtf);
  return reader.Read(doc, error);
}

}  // namespace tallybook::output
