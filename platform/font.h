// A font as the company options and the printed pages describe it: face
// name, size in points, colour and style bits.
#ifndef TALLYBOOK_PLATFORM_FONT_H_
#define TALLYBOOK_PLATFORM_FONT_H_

#include <cstdint>
#include <string>

namespace tallybook::platform {

// A colour as a Windows RGB value: red in the low byte, then green, then
// blue (0x00BBGGRR).
using Color = std::uint32_t;

inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;

inline constexpr Color MakeColor(int red, int green, int blue) {
  return static_cast<Color>((red & 0xFF) | ((green & 0xFF) << 8) |
                            ((blue & 0xFF) << 16));
}
inline constexpr int RedOf(Color c) { return c & 0xFF; }
inline constexpr int GreenOf(Color c) { return (c >> 8) & 0xFF; }
inline constexpr int BlueOf(Color c) { return (c >> 16) & 0xFF; }

// Style bits of Font::style.
inline constexpr std::uint8_t kFontBold = 1 << 0;
inline constexpr std::uint8_t kFontItalic = 1 << 1;
inline constexpr std::uint8_t kFontUnderline = 1 << 2;
inline constexpr std::uint8_t kFontStrikeOut = 1 << 3;

struct Font {
  std::string name = "Arial";  // Windows-1252 face name
  int size_points = 10;
  Color color = kBlack;
  std::uint8_t style = 0;  // kFont* bits

  bool bold() const { return style & kFontBold; }
  bool italic() const { return style & kFontItalic; }
  bool underline() const { return style & kFontUnderline; }
  bool strike_out() const { return style & kFontStrikeOut; }

  bool operator==(const Font&) const = default;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_FONT_H_
