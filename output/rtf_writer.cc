#include "output/rtf_writer.h"

#include <cstdint>
#include <map>

#include "company/text.h"

namespace tallybook::output {

namespace {

// The code points Windows-1252 holds above 0x7F, with their bytes.
const std::map<uint32_t, unsigned char>& Cp1252Bytes() {
  static const std::map<uint32_t, unsigned char> bytes = [] {
    std::map<uint32_t, unsigned char> m;
    for (int b = 0x80; b <= 0xFF; ++b) {
      const std::string utf8 = company::Cp1252ToUtf8(std::string(1, char(b)));
      const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
      uint32_t cp = 0;
      if (utf8.size() == 2) cp = ((u[0] & 0x1F) << 6) | (u[1] & 0x3F);
      if (utf8.size() == 3) {
        cp = ((u[0] & 0x0F) << 12) | ((u[1] & 0x3F) << 6) | (u[2] & 0x3F);
      }
      if (cp != 0) m[cp] = static_cast<unsigned char>(b);
    }
    return m;
  }();
  return bytes;
}

// Next code point of UTF-8 text at *i; a malformed byte gives U+FFFD.
uint32_t NextCodePoint(const std::string& s, size_t* i) {
  const unsigned char c = s[*i];
  int more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2
                          : (c & 0xF8) == 0xF0 ? 3 : -1;
  if (more < 0 || *i + more >= s.size()) {
    ++*i;
    return more == 0 ? c : 0xFFFD;
  }
  uint32_t cp = more == 0 ? c : c & (0x3F >> more);
  for (int k = 1; k <= more; ++k) {
    const unsigned char d = s[*i + k];
    if ((d & 0xC0) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (d & 0x3F);
  }
  *i += more + 1;
  return cp;
}

void AppendHex(unsigned char b, std::string* out) {
  static const char kHex[] = "0123456789abcdef";
  *out += "\\'";
  *out += kHex[b >> 4];
  *out += kHex[b & 0xF];
}

void AppendUnicode(uint32_t cp, std::string* out) {
  auto one = [out](uint32_t unit) {
    const int v = unit > 32767 ? static_cast<int>(unit) - 65536
                               : static_cast<int>(unit);
    // The fallback as an escape: some readers skip one character too many
    // after a literal one.
    *out += "\\u" + std::to_string(v) + "\\'3f";
  };
  if (cp >= 0x10000) {
    cp -= 0x10000;
    one(0xD800 + (cp >> 10));
    one(0xDC00 + (cp & 0x3FF));
  } else {
    one(cp);
  }
}

void AppendText(const std::string& text, std::string* out) {
  size_t i = 0;
  while (i < text.size()) {
    const uint32_t cp = NextCodePoint(text, &i);
    if (cp == '\\' || cp == '{' || cp == '}') {
      *out += '\\';
      *out += static_cast<char>(cp);
    } else if (cp == '\t') {
      *out += "\\tab ";
    } else if (cp == '\n') {
      *out += "\\line ";
    } else if (cp < 0x20) {
      continue;  // no other control character belongs in a letter
    } else if (cp < 0x80) {
      *out += static_cast<char>(cp);
    } else if (auto it = Cp1252Bytes().find(cp); it != Cp1252Bytes().end()) {
      AppendHex(it->second, out);
    } else {
      AppendUnicode(cp, out);
    }
  }
}

template <class T>
int IndexOf(std::vector<T>& list, const T& value) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == value) return static_cast<int>(i);
  }
  list.push_back(value);
  return static_cast<int>(list.size() - 1);
}

}  // namespace

std::string WriteRtf(const LetterDocument& doc) {
  std::vector<std::string> fonts{CharFormat{}.font};
  std::vector<platform::Color> colors;
  for (const Paragraph& p : doc.paragraphs) {
    for (const TextRun& run : p.runs) {
      IndexOf(fonts, run.format.font);
      if (run.format.color != platform::kBlack) IndexOf(colors, run.format.color);
    }
  }
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
  for (size_t i = 0; i < fonts.size(); ++i) {
    out += "{\\f" + std::to_string(i) + "\\fnil ";
    // A face name cannot hold the table's own delimiters.
    std::string name = fonts[i];
    std::erase_if(name, [](char c) {
      return c == ';' || c == '{' || c == '}' || c == '\\' ||
             static_cast<unsigned char>(c) < 0x20;
    });
    AppendText(name, &out);
    out += ";}";
  }
  out += "}\r\n{\\colortbl;";
  for (platform::Color c : colors) {
    out += "\\red" + std::to_string(platform::RedOf(c)) + "\\green" +
           std::to_string(platform::GreenOf(c)) + "\\blue" +
           std::to_string(platform::BlueOf(c)) + ";";
  }
  out += "}\r\n";
  for (size_t n = 0; n < doc.paragraphs.size(); ++n) {
    const Paragraph& p = doc.paragraphs[n];
    if (p.page_break_before) out += "\\page\r\n";
    out += "\\pard";
    switch (p.alignment) {
      case Alignment::kLeft: out += "\\ql"; break;
      case Alignment::kCenter: out += "\\qc"; break;
      case Alignment::kRight: out += "\\qr"; break;
      case Alignment::kJustify: out += "\\qj"; break;
    }
    if (p.first_indent != 0) out += "\\fi" + std::to_string(p.first_indent);
    if (p.left_indent != 0) out += "\\li" + std::to_string(p.left_indent);
    if (p.right_indent != 0) out += "\\ri" + std::to_string(p.right_indent);
    for (int tab : p.tab_stops) out += "\\tx" + std::to_string(tab);
    if (p.bullet) {
      out += "{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'95}}{\\pntext\\'95\\tab}";
    }
    for (const TextRun& run : p.runs) {
      const CharFormat& f = run.format;
      out += "\\plain\\f" + std::to_string(IndexOf(fonts, f.font)) + "\\fs" +
             std::to_string(f.half_points);
      if (f.color != platform::kBlack) {
        out += "\\cf" + std::to_string(IndexOf(colors, f.color) + 1);
      }
      if (f.bold) out += "\\b";
      if (f.italic) out += "\\i";
      if (f.underline) out += "\\ul";
      out += ' ';
      AppendText(run.text, &out);
    }
    // The last paragraph ends with the file; an empty one needs its \par to
    // be there at all.
    if (n + 1 < doc.paragraphs.size() || p.runs.empty()) out += "\\par";
    out += "\r\n";
  }
  out += "}\r\n";
  return out;
}

}  // namespace tallybook::output
