#include "platform/qt/text_codec.h"

#include <QFile>

namespace tallybook::platform::qt {

namespace {

// Unicode of bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString ToQString(const std::string& cp1252) {
  QString result;
  result.reserve(static_cast<qsizetype>(cp1252.size()));
  for (char c : cp1252) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 && byte <= 0x9F) {
      result.append(QChar(kHigh[byte - 0x80]));
    } else {
      result.append(QChar(static_cast<char16_t>(byte)));
    }
  }
  return result;
}

std::string FromQString(const QString& text) {
  std::string result;
  result.reserve(static_cast<std::size_t>(text.size()));
  for (QChar ch : text) {
    const char16_t code = ch.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      result.push_back(static_cast<char>(code));
      continue;
    }
    char byte = '?';
    for (int i = 0; i < 32; ++i) {
      if (kHigh[i] == code) {
        byte = static_cast<char>(0x80 + i);
        break;
      }
    }
    result.push_back(byte);
  }
  return result;
}

QString PathToQString(const std::string& native_path) {
  return QFile::decodeName(QByteArray::fromStdString(native_path));
}

std::string PathFromQString(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace tallybook::platform::qt
