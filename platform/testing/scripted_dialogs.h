// Scripted common dialogs for tests: each test queues the dialogs it expects,
// in order, with the choice to return (std::nullopt: the user cancelled).
// A dialog that is not the next expected one fails the test (ADD_FAILURE,
// naming the dialog and its caption) and returns "cancelled"; expected
// dialogs never shown fail the test in Verify(), which the destructor calls.
#ifndef TALLYBOOK_PLATFORM_TESTING_SCRIPTED_DIALOGS_H_
#define TALLYBOOK_PLATFORM_TESTING_SCRIPTED_DIALOGS_H_

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace tallybook::platform::testing {

class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { kOpenFile, kSaveFile, kChooseFolder, kChooseFont };

  ScriptedDialogs() = default;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;
  ~ScriptedDialogs() override;

  void ExpectOpenFile(std::optional<std::string> path);
  void ExpectSaveFile(std::optional<std::string> path);
  void ExpectChooseFolder(std::optional<std::string> path);
  void ExpectChooseFont(std::optional<Font> font);

  std::optional<std::string> OpenFile(
      const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(
      const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(
      const std::string& caption, const std::string& start_folder) override;
  std::optional<Font> ChooseFont(const Font& initial) override;

  void Verify();

  // The requests of the file dialogs shown, in order (folder dialogs record
  // caption and start folder as caption and directory).
  const std::vector<FileDialogRequest>& file_requests() const {
    return file_requests_;
  }
  // The starting fonts of the font dialogs shown.
  const std::vector<Font>& font_requests() const { return font_requests_; }

 private:
  struct Expected {
    Kind kind;
    std::optional<std::string> path;
    std::optional<Font> font;
  };
  // Pops the next expectation when it is of `kind`; fails the test otherwise.
  std::optional<Expected> Take(Kind kind, const std::string& caption);

  std::deque<Expected> expected_;
  std::vector<FileDialogRequest> file_requests_;
  std::vector<Font> font_requests_;
};

const char* ToString(ScriptedDialogs::Kind kind);

}  // namespace tallybook::platform::testing

#endif  // TALLYBOOK_PLATFORM_TESTING_SCRIPTED_DIALOGS_H_
