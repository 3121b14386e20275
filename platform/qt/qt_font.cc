#include "platform/qt/qt_font.h"

#include "platform/qt/text_codec.h"

namespace tallybook::platform::qt {

QColor ToQColor(Color color) {
  return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

Color FromQColor(const QColor& color) {
  return MakeColor(color.red(), color.green(), color.blue());
}

QFont ToQFont(const Font& font) {
  QFont result(ToQString(font.name));
  // Sizes from option records may be zero or absurd; keep them readable.
  int size = font.size_points;
  if (size < 1) size = 10;
  if (size > 500) size = 500;
  result.setPointSize(size);
  result.setBold(font.bold());
  result.setItalic(font.italic());
  result.setUnderline(font.underline());
  result.setStrikeOut(font.strike_out());
  return result;
}

Font FromQFont(const QFont& font, const QColor& color) {
  Font result;
  result.name = FromQString(font.family());
  result.size_points = font.pointSize() > 0 ? font.pointSize() : 10;
  result.color = FromQColor(color);
  result.style = 0;
  if (font.bold()) result.style |= kFontBold;
  if (font.italic()) result.style |= kFontItalic;
  if (font.underline()) result.style |= kFontUnderline;
  if (font.strikeOut()) result.style |= kFontStrikeOut;
  return result;
}

}  // namespace tallybook::platform::qt
