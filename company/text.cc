#include "company/text.h"

#include <cstdint>

namespace tallybook::company {
namespace {

// Unicode code points of the bytes 0x80..0x9F. The five bytes the code page
// leaves undefined map to the C1 control of the same number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The Windows-1252 byte of a code point, or '?' when it has none.
char ToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string PadRight(std::string_view text, int width) {
  std::string out(text);
  if (width > 0 && out.size() < static_cast<size_t>(width)) {
    out.append(static_cast<size_t>(width) - out.size(), ' ');
  }
  return out;
}

std::string RightAlign(std::string_view text, int width) {
  if (width <= 0) return std::string();
  std::string trimmed = Trim(text);
  const size_t w = static_cast<size_t>(width);
  if (trimmed.size() >= w) return trimmed.substr(0, w);
  return std::string(w - trimmed.size(), ' ') + trimmed;
}

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string RemoveCommas(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ',') out.push_back(c);
  }
  return out;
}

char UpperChar1252(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 0x20);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 0x20);
  switch (u) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return c;
  }
}

std::string UpperCase1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar1252(c);
  return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x80 && u < 0xA0) {
      AppendUtf8(out, kHighControls[u - 0x80]);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
      cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
      cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      // A stray continuation byte or an invalid lead byte.
      out.push_back('?');
      ++i;
      continue;
    }
    int got = 0;
    while (got < extra && i + 1 + got < n &&
           IsContinuation(static_cast<unsigned char>(text[i + 1 + got]))) {
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + 1 + got]) & 0x3F);
      ++got;
    }
    if (got < extra) {
      // Truncated sequence: one '?' for the bytes consumed.
      out.push_back('?');
      i += 1 + got;
      continue;
    }
    i += 1 + extra;
    const bool overlong = (extra == 2 && cp < 0x800) ||
                          (extra == 3 && cp < 0x10000);
    const bool invalid = overlong || cp > 0x10FFFF ||
                         (cp >= 0xD800 && cp <= 0xDFFF);
    out.push_back(invalid ? '?' : ToCp1252(cp));
  }
  return out;
}

}  // namespace tallybook::company
