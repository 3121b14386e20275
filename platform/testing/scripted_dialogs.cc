#include "platform/testing/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace tallybook::platform::testing {

const char* ToString(ScriptedDialogs::Kind kind) {
  switch (kind) {
    case ScriptedDialogs::Kind::kOpenFile:
      return "open-file dialog";
    case ScriptedDialogs::Kind::kSaveFile:
      return "save-file dialog";
    case ScriptedDialogs::Kind::kChooseFolder:
      return "choose-folder dialog";
    case ScriptedDialogs::Kind::kChooseFont:
      return "font dialog";
  }
  return "?";
}

ScriptedDialogs::~ScriptedDialogs() { Verify(); }

void ScriptedDialogs::ExpectOpenFile(std::optional<std::string> path) {
  expected_.push_back({Kind::kOpenFile, std::move(path), std::nullopt});
}

void ScriptedDialogs::ExpectSaveFile(std::optional<std::string> path) {
  expected_.push_back({Kind::kSaveFile, std::move(path), std::nullopt});
}

void ScriptedDialogs::ExpectChooseFolder(std::optional<std::string> path) {
  expected_.push_back({Kind::kChooseFolder, std::move(path), std::nullopt});
}

void ScriptedDialogs::ExpectChooseFont(std::optional<Font> font) {
  expected_.push_back({Kind::kChooseFont, std::nullopt, std::move(font)});
}

std::optional<ScriptedDialogs::Expected> ScriptedDialogs::Take(
    Kind kind, const std::string& caption) {
  if (expected_.empty()) {
    ADD_FAILURE() << "Unexpected " << ToString(kind) << " \"" << caption
                  << "\"";
    return std::nullopt;
  }
  if (expected_.front().kind != kind) {
    ADD_FAILURE() << "Expected a " << ToString(expected_.front().kind)
                  << " but a " << ToString(kind) << " \"" << caption
                  << "\" was shown";
    return std::nullopt;
  }
  Expected next = std::move(expected_.front());
  expected_.pop_front();
  return next;
}

std::optional<std::string> ScriptedDialogs::OpenFile(
    const FileDialogRequest& request) {
  file_requests_.push_back(request);
  auto next = Take(Kind::kOpenFile, request.caption);
  return next ? next->path : std::nullopt;
}

std::optional<std::string> ScriptedDialogs::SaveFile(
    const FileDialogRequest& request) {
  file_requests_.push_back(request);
  auto next = Take(Kind::kSaveFile, request.caption);
  return next ? next->path : std::nullopt;
}

std::optional<std::string> ScriptedDialogs::ChooseFolder(
    const std::string& caption, const std::string& start_folder) {
  FileDialogRequest request;
  request.caption = caption;
  request.directory = start_folder;
  file_requests_.push_back(request);
  auto next = Take(Kind::kChooseFolder, caption);
  return next ? next->path : std::nullopt;
}

std::optional<Font> ScriptedDialogs::ChooseFont(const Font& initial) {
  font_requests_.push_back(initial);
  auto next = Take(Kind::kChooseFont, initial.name);
  return next ? next->font : std::nullopt;
}

void ScriptedDialogs::Verify() {
  for (const Expected& missing : expected_) {
    ADD_FAILURE() << "Expected " << ToString(missing.kind)
                  << " never shown";
  }
  expected_.clear();
}

}  // namespace tallybook::platform::testing
