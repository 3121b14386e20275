// Windows-1252 <-> QString. Record texts, captions and messages are
// Windows-1252 bytes everywhere below the windows; these two functions are
// the only crossing into Qt's UTF-16 strings.
#ifndef TALLYBOOK_PLATFORM_QT_TEXT_CODEC_H_
#define TALLYBOOK_PLATFORM_QT_TEXT_CODEC_H_

#include <QString>
#include <string>

namespace tallybook::platform::qt {

// Every byte maps to one character. The five bytes Windows-1252 leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters
// of the same value, so any byte string survives a round trip.
QString ToQString(const std::string& cp1252);

// Characters without a Windows-1252 byte become '?'.
std::string FromQString(const QString& text);

// A path in the file system's own encoding, to and from QString.
QString PathToQString(const std::string& native_path);
std::string PathFromQString(const QString& path);

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_TEXT_CODEC_H_
