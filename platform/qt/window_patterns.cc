#include "platform/qt/window_patterns.h"

#include <QApplication>
#include <QFontMetrics>
#include <QDir>
#include <QShortcut>
#include <QStringList>
#include <algorithm>

namespace tallybook::platform::qt {

void UseDesktopIconTheme() {
  // Without a desktop (the offscreen platform, a bare X session) Qt does
  // not know where themes live; the freedesktop places are these.
  QStringList paths = QIcon::themeSearchPaths();
  QStringList data_dirs =
      qEnvironmentVariable("XDG_DATA_DIRS").split(':', Qt::SkipEmptyParts);
  if (data_dirs.isEmpty()) {
    data_dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
  }
  data_dirs.prepend(QDir::homePath() + QStringLiteral("/.local/share"));
  for (const QString& dir : data_dirs) {
    const QString icons = dir + QStringLiteral("/icons");
    if (!paths.contains(icons) && QDir(icons).exists()) paths.append(icons);
  }
  QIcon::setThemeSearchPaths(paths);
  if (QIcon::fallbackThemeName().isEmpty() ||
      QIcon::fallbackThemeName() == QStringLiteral("hicolor")) {
    QIcon::setFallbackThemeName(kFallbackIconTheme);
  }
  // Without a desktop the theme is empty and even the fallback is not
  // searched.
  if (QIcon::themeName().isEmpty()) QIcon::setThemeName(kFallbackIconTheme);
}

QIcon ThemeIcon(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const QString theme_name = QString::fromLatin1(name);
    if (QIcon::hasThemeIcon(theme_name)) return QIcon::fromTheme(theme_name);
  }
  return QIcon();
}

bool SetThemeIcon(QAbstractButton* button,
                  std::initializer_list<const char*> names) {
  const QIcon icon = ThemeIcon(names);
  if (icon.isNull()) return false;
  button->setIcon(icon);
  return true;
}

void CloseOnEscape(QWidget* window) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  escape->setContext(Qt::WindowShortcut);
  QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

void FitWidthToTitle(QWidget* window) {
  // Title bars use a bolder, often larger face than the window's text.
  QFont title_font = QApplication::font("QMdiSubWindowTitleBar");
  title_font.setBold(true);
  title_font.setPointSizeF(title_font.pointSizeF() * 1.2);
  const int title = QFontMetrics(title_font).horizontalAdvance(window->windowTitle());
  window->setMinimumWidth(std::max(window->minimumWidth(),
                                   title + kTitleBarButtonsWidth));
}

}  // namespace tallybook::platform::qt
