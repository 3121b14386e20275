// Modal windows and the common dialogs on Qt: RunModal simply runs the
// window's exec(); file, folder and font choices use Qt's dialogs.
#ifndef TALLYBOOK_PLATFORM_QT_QT_DIALOGS_H_
#define TALLYBOOK_PLATFORM_QT_QT_DIALOGS_H_

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/dialogs.h"
#include "platform/modal_windows.h"

namespace tallybook::platform::qt {

class QtModalWindows : public ModalWindows {
 public:
  int RunModal(const std::string& window_name,
               std::function<int()> exec) override;
};

class QtDialogs : public Dialogs {
 public:
  // `default_directory` (a native path) is where file dialogs start when a
  // request names no folder: the data directory.
  QtDialogs(std::string default_directory, QWidget* parent = nullptr);
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<std::string> OpenFile(
      const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(
      const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(
      const std::string& caption, const std::string& start_folder) override;
  std::optional<Font> ChooseFont(const Font& initial) override;

 private:
  QString StartPath(const FileDialogRequest& request) const;

  std::string default_directory_;
  QPointer<QWidget> parent_;
};

// The filter string of a Qt file dialog: "Label Files (*.LBL *.lbl);;...".
// Patterns match in either case, as the file names on disk may have either.
QString FilterString(const std::vector<FileFilter>& filters);

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_QT_DIALOGS_H_
