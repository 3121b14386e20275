// The common dialogs: open file, save file, choose folder, choose font.
//
// Each returns the user's choice, or std::nullopt when the user cancelled.
// Captions and filter texts are Windows-1252 like every other text. Paths,
// in both directions, are the file system's own bytes, ready for open():
// a path the user picked must open the very file they picked, whatever
// characters its name holds.
#ifndef TALLYBOOK_PLATFORM_DIALOGS_H_
#define TALLYBOOK_PLATFORM_DIALOGS_H_

#include <optional>
#include <string>
#include <vector>

#include "platform/font.h"

namespace tallybook::platform {

struct FileFilter {
  std::string description;  // "Label Files (*.LBL)"
  std::string patterns;     // "*.LBL", several separated by blanks
};

struct FileDialogRequest {
  std::string caption;
  std::string directory;          // start folder; empty: the data directory
  std::string file_name;          // proposed name (save) or selection (open)
  std::vector<FileFilter> filters;
  std::string default_suffix;     // added by Save when the name has none
  // Save only: false when the caller asks its own overwrite question.
  bool confirm_overwrite = true;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Path of an existing file the user chose.
  virtual std::optional<std::string> OpenFile(
      const FileDialogRequest& request) = 0;
  // Path the user chose to write; the dialog has asked before overwriting
  // unless the request says the caller does.
  virtual std::optional<std::string> SaveFile(
      const FileDialogRequest& request) = 0;
  // Path of the folder the user chose, starting at `start_folder`.
  virtual std::optional<std::string> ChooseFolder(
      const std::string& caption, const std::string& start_folder) = 0;
  // The font the user chose, starting from `initial`.
  virtual std::optional<Font> ChooseFont(const Font& initial) = 0;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_DIALOGS_H_
