// The QApplication the window tests of this folder share: made once for
// the test program unless another environment already made one.
#ifndef TALLYBOOK_COMPANY_UI_UI_TEST_ENV_H_
#define TALLYBOOK_COMPANY_UI_UI_TEST_ENV_H_

#include <gtest/gtest.h>

#include <QApplication>

namespace tallybook::company::ui::testing {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "company_ui_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
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

}  // namespace tallybook::company::ui::testing

#endif  // TALLYBOOK_COMPANY_UI_UI_TEST_ENV_H_
