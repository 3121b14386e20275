#include "platform/qt/qt_desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/qt/text_codec.h"

namespace tallybook::platform::qt {

QStringList QtDesktop::DefaultCalculators() {
  return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
          QStringLiteral("galculator"),       QStringLiteral("mate-calc"),
          QStringLiteral("xcalc"),            QStringLiteral("qalculate-gtk")};
}

bool QtDesktop::StartCalculator() {
  for (const QString& program : calculators_) {
    // Looking the program up first keeps a missing one from being tried.
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) continue;
    if (QProcess::startDetached(path, {})) return true;
  }
  return false;
}

bool QtDesktop::OpenUrl(const std::string& url) {
  const QUrl parsed(ToQString(url), QUrl::StrictMode);
  if (!parsed.isValid() || parsed.scheme().isEmpty()) return false;
  return QDesktopServices::openUrl(parsed);
}

}  // namespace tallybook::platform::qt
