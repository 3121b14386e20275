// For the window tests of this folder: the one QApplication the test
// program shares, and a data directory with a fresh installation under the
// scripted platform.
#ifndef TALLYBOOK_COMPANY_UI_UI_TEST_SUPPORT_H_
#define TALLYBOOK_COMPANY_UI_UI_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "company/app.h"
#include "company/installation.h"
#include "platform/qt/window_patterns.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company::ui {

// Makes the application before the first test, unless another environment
// already made one, and takes it down after the last: Qt must not be torn
// down by the C++ exit handlers.
class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "company_ui_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
    platform::qt::UseDesktopIconTheme();
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

inline ::testing::Environment* const kQtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// A temporary data directory holding a new installation, and an App over it
// with the scripted platform; the clock says 3 April 2024, 2:05 PM.
class ShellFixture {
 public:
  ShellFixture() {
    if (!temp.ok()) std::abort();
    dir = temp.path();
    CreateInstallation(dir.string());
    ui.clock.Set(2024, 4, 3, 14, 5, 0);
    app = std::make_unique<App>(dir.string(), ui.services());
  }
  // The App goes before the directory it works in.
  ~ShellFixture() { app.reset(); }

  platform::testing::ScriptedPlatform ui;
  platform::testing::TempDir temp{"shell_ui"};
  std::filesystem::path dir;
  std::unique_ptr<App> app;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_UI_TEST_SUPPORT_H_
