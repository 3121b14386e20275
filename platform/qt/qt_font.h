// The platform's plain Font and Color as Qt's QFont and QColor, for windows
// that show text in a company's chosen font and for the print canvas.
#ifndef TALLYBOOK_PLATFORM_QT_QT_FONT_H_
#define TALLYBOOK_PLATFORM_QT_QT_FONT_H_

#include <QColor>
#include <QFont>

#include "platform/font.h"

namespace tallybook::platform::qt {

QColor ToQColor(Color color);
Color FromQColor(const QColor& color);
// The face, size and style of `font` (the colour is separate in Qt).
QFont ToQFont(const Font& font);
Font FromQFont(const QFont& font, const QColor& color);

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_QT_FONT_H_
