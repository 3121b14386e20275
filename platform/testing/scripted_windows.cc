#include "platform/testing/scripted_windows.h"

#include <gtest/gtest.h>

namespace tallybook::platform::testing {

ScriptedWindows::~ScriptedWindows() { Verify(); }

void ScriptedWindows::ExpectWindow(std::string window_name, Handler handler) {
  expected_.push_back({std::move(window_name), std::move(handler)});
}

void ScriptedWindows::ExpectWindow(std::string window_name, int result) {
  ExpectWindow(std::move(window_name), [result] { return result; });
}

void ScriptedWindows::OnWindow(std::string window_name, Handler handler) {
  standing_[std::move(window_name)] = std::move(handler);
}

void ScriptedWindows::OnWindow(std::string window_name, int result) {
  OnWindow(std::move(window_name), [result] { return result; });
}

int ScriptedWindows::RunModal(const std::string& window_name,
                              std::function<int()> /*exec*/) {
  opened_.push_back(window_name);
  if (!expected_.empty() && expected_.front().name == window_name) {
    // Taken off the queue before running, so a handler may open (and
    // expect) further windows itself.
    Handler handler = std::move(expected_.front().handler);
    expected_.pop_front();
    return handler ? handler() : kModalCancel;
  }
  auto standing = standing_.find(window_name);
  if (standing != standing_.end()) {
    return standing->second ? standing->second() : kModalCancel;
  }
  if (expected_.empty()) {
    ADD_FAILURE() << "Unexpected window: " << window_name;
  } else {
    ADD_FAILURE() << "Expected window " << expected_.front().name
                  << " but " << window_name << " was opened";
  }
  return kModalCancel;
}

void ScriptedWindows::Verify() {
  for (const Expected& missing : expected_) {
    ADD_FAILURE() << "Expected window never opened: " << missing.name;
  }
  expected_.clear();
}

}  // namespace tallybook::platform::testing
