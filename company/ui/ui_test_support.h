// For the window tests: one QApplication for the whole test program, and a
// data directory with a fresh installation under the scripted platform.
#ifndef TALLYBOOK_COMPANY_UI_UI_TEST_SUPPORT_H_
#define TALLYBOOK_COMPANY_UI_UI_TEST_SUPPORT_H_

#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>

#include "company/app.h"
#include "company/installation.h"
#include "platform/testing/scripted_platform.h"

namespace tallybook::company::ui {

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "company_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

// A temporary data directory holding a new installation, and an App over it
// with the scripted platform; the clock says 3 April 2024, 2:05 PM.
class ShellFixture {
 public:
  ShellFixture() {
    TestApplication();
    std::string templ =
        (std::filesystem::temp_directory_path() / "shell_ui.XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) std::abort();
    dir = templ;
    CreateInstallation(dir.string());
    ui.clock.Set(2024, 4, 3, 14, 5, 0);
    app = std::make_unique<App>(dir.string(), ui.services());
  }
  ~ShellFixture() {
    app.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  platform::testing::ScriptedPlatform ui;
  std::filesystem::path dir;
  std::unique_ptr<App> app;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_UI_TEST_SUPPORT_H_
