#include "platform/qt/qt_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
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

std::vector<std::string> QtDesktop::CalculatorPrograms() const {
  std::vector<std::string> programs;
  for (const QString& program : calculators_) {
    programs.push_back(FromQString(program));
  }
  return programs;
}

void QtDesktop::OfferSavedFile(const SavedFileNotice& notice) {
  QMessageBox box(QMessageBox::Information, ToQString(notice.caption),
                  ToQString(notice.text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  const QString path = ToQString(notice.path);
  QPushButton* open =
      notice.folder ? nullptr : box.addButton(QStringLiteral("&Open"), QMessageBox::AcceptRole);
  QPushButton* folder =
      box.addButton(QStringLiteral("Show &folder"), QMessageBox::ActionRole);
  QPushButton* close = box.addButton(QStringLiteral("&Close"), QMessageBox::RejectRole);
  box.setDefaultButton(open != nullptr ? open : close);
  box.setEscapeButton(close);
  box.exec();
  if (open != nullptr && box.clickedButton() == open) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  } else if (box.clickedButton() == folder) {
    const QString dir = notice.folder ? path : QFileInfo(path).absolutePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(dir));
  }
}

bool QtDesktop::OpenUrl(const std::string& url) {
  const QUrl parsed(ToQString(url), QUrl::StrictMode);
  if (!parsed.isValid() || parsed.scheme().isEmpty()) return false;
  return QDesktopServices::openUrl(parsed);
}

}  // namespace tallybook::platform::qt
