#include "platform/qt/qt_dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QStringList>

#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"

namespace tallybook::platform::qt {

int QtModalWindows::RunModal(const std::string& /*window_name*/,
                             std::function<int()> exec) {
  return exec ? exec() : kModalCancel;
}

QString FilterString(const std::vector<FileFilter>& filters) {
  QStringList parts;
  for (const FileFilter& filter : filters) {
    QStringList patterns;
    const QStringList given =
        ToQString(filter.patterns).split(' ', Qt::SkipEmptyParts);
    for (const QString& pattern : given) {
      for (const QString& variant :
           {pattern, pattern.toUpper(), pattern.toLower()}) {
        if (!patterns.contains(variant)) patterns << variant;
      }
    }
    QString description = ToQString(filter.description);
    // A description that already names its patterns is kept as it is; Qt
    // reads the patterns from the last parentheses.
    const int open = description.lastIndexOf('(');
    if (open >= 0) description = description.left(open).trimmed();
    parts << QStringLiteral("%1 (%2)").arg(description, patterns.join(' '));
  }
  return parts.join(QStringLiteral(";;"));
}

QtDialogs::QtDialogs(std::string default_directory, QWidget* parent)
    : default_directory_(std::move(default_directory)), parent_(parent) {}

QString QtDialogs::StartPath(const FileDialogRequest& request) const {
  QString folder = PathToQString(
      request.directory.empty() ? default_directory_ : request.directory);
  if (request.file_name.empty()) return folder;
  const QString name = PathToQString(request.file_name);
  if (QFileInfo(name).isAbsolute()) return name;
  return QDir(folder).filePath(name);
}

std::optional<std::string> QtDialogs::OpenFile(
    const FileDialogRequest& request) {
  const QString path = QFileDialog::getOpenFileName(
      parent_, ToQString(request.caption), StartPath(request),
      FilterString(request.filters));
  if (path.isEmpty()) return std::nullopt;
  return PathFromQString(path);
}

std::optional<std::string> QtDialogs::SaveFile(
    const FileDialogRequest& request) {
  QFileDialog dialog(parent_, ToQString(request.caption), StartPath(request),
                     FilterString(request.filters));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite,
                   !request.confirm_overwrite);
  if (!request.default_suffix.empty()) {
    dialog.setDefaultSuffix(ToQString(request.default_suffix));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return PathFromQString(dialog.selectedFiles().first());
}

std::optional<std::string> QtDialogs::ChooseFolder(
    const std::string& caption, const std::string& start_folder) {
  const QString path = QFileDialog::getExistingDirectory(
      parent_, ToQString(caption),
      PathToQString(start_folder.empty() ? default_directory_ : start_folder));
  if (path.isEmpty()) return std::nullopt;
  return PathFromQString(path);
}

std::optional<Font> QtDialogs::ChooseFont(const Font& initial) {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, ToQFont(initial), parent_);
  if (!ok) return std::nullopt;
  // Qt's font dialog has no colour; the colour dialog follows it, and
  // cancelling that keeps the colour the font had.
  QColor color = QColorDialog::getColor(ToQColor(initial.color), parent_);
  if (!color.isValid()) color = ToQColor(initial.color);
  return FromQFont(font, color);
}

}  // namespace tallybook::platform::qt
