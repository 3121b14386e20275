#include "store/ui/fvc_browser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QContextMenuEvent>
#include <QDialog>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "store/engine.h"

namespace tallybook::store::ui {
namespace {

namespace fs = std::filesystem;

constexpr int kRecLen = 24;

// One application for the whole program, taken down before exit: Qt must
// not be torn down by the C++ exit handlers.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "fvc_browser_test";
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

::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class FvcBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("fvc_browser_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ASSERT_TRUE(engine_.StoreStartup(0, 30));
    std::string base = (dir_ / "FVC").string();
    ASSERT_TRUE(engine_.CreateFileBlock(base, kRecLen, {{8, false}}));
    ASSERT_TRUE(engine_.OpenFileBlock(handle_, base, false));
    for (int id = 1; id <= 100; ++id) {
      char name[16];
      std::snprintf(name, sizeof name, "R%04d", id);
      std::vector<uint8_t> rec(kRecLen, 0);
      std::memcpy(&rec[4], name, 5);
      int32_t ref = 0;
      ASSERT_TRUE(engine_.AddRecord(handle_, ref, rec.data()));
      ASSERT_TRUE(engine_.AddKey(handle_, 1, ref, name));
    }
    buffer_.assign(kRecLen, 0);
    browser_ = std::make_unique<TFvcBrowser>();
    browser_->OnBuildRow = [this](RowRec& rr) {
      rr.Row[0] = std::string(reinterpret_cast<char*>(&buffer_[4]));
      return 0;
    };
    browser_->OnRowChanged = [this] { ++row_changes_; };
    browser_->OnError = [this](const std::string& t) { errors_.push_back(t); };
  }
  void TearDown() override {
    browser_.reset();
    engine_.StoreShutdown();
    fs::remove_all(dir_);
  }

  void Attach(int width = 300, int height = 200) {
    browser_->resize(width, height);
    browser_->AttachBrowseList(std::make_unique<BrowseList>(
        engine_, handle_, 1, std::span<uint8_t>(buffer_), "", ""));
    browser_->browse_list()->SetSleep([](int) {});
    browser_->SetAndUpdate("", 0);
  }

  fs::path dir_;
  Engine engine_;
  FileHandle handle_ = kNoFileHandle;
  std::vector<uint8_t> buffer_;
  std::unique_ptr<TFvcBrowser> browser_;
  int row_changes_ = 0;
  std::vector<std::string> errors_;
};

TEST_F(FvcBrowserTest, NewControlIs200By100AndIdleWithoutList) {
  EXPECT_EQ(browser_->size(), QSize(200, 100));
  EXPECT_EQ(browser_->CurrentKeyNumber(), 65535);
  EXPECT_EQ(browser_->CurrentRef(), 0);
  EXPECT_EQ(browser_->CurrentKey(), "");
  bool changed = true;
  EXPECT_EQ(browser_->RereadCurrentRow(changed), 5);
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  browser_->SetAndUpdate("R0005", 0);
  EXPECT_EQ(row_changes_, 0);
  EXPECT_EQ(browser_->verticalScrollBar()->maximum(), 63);
}

TEST_F(FvcBrowserTest, KeysMoveTheCurrentRow) {
  Attach();
  EXPECT_EQ(browser_->CurrentKey(), "R0001");
  int rows = browser_->Geometry().rows_per_page;
  ASSERT_GT(rows, 2);
  int changes = row_changes_;
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  EXPECT_EQ(browser_->CurrentKey(), "R0002");
  EXPECT_EQ(row_changes_, changes + 1);
  QTest::keyClick(browser_.get(), Qt::Key_PageDown);
  char expected[16];
  std::snprintf(expected, sizeof expected, "R%04d", 2 + rows);
  EXPECT_EQ(browser_->CurrentKey(), expected);
  QTest::keyClick(browser_.get(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(browser_->CurrentKey(), "R0100");
  EXPECT_EQ(browser_->verticalScrollBar()->value(), 63);
  changes = row_changes_;
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  EXPECT_EQ(row_changes_, changes) << "nothing after the last row";
  QTest::keyClick(browser_.get(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(browser_->CurrentKey(), "R0001");
  EXPECT_EQ(browser_->verticalScrollBar()->value(), 0);
}

TEST_F(FvcBrowserTest, TypedCharacterGoesThroughOnKeyPress) {
  Attach();
  std::vector<char> seen;
  browser_->OnKeyPress = [&](char& key) {
    seen.push_back(key);
    if (key == 'x') key = 0;  // swallowed
  };
  browser_->SetKeyNumber(1);
  QTest::keyClicks(browser_.get(), "x");
  EXPECT_EQ(browser_->CurrentKey(), "R0001");
  QTest::keyClicks(browser_.get(), "S");
  EXPECT_EQ(browser_->CurrentKey(), "R0100") << "nothing at or after S";
  EXPECT_EQ(seen, (std::vector<char>{'x', 'S'}));
}

TEST_F(FvcBrowserTest, SideKeysScrollByCharacterSteps) {
  Attach(200, 200);
  const BrowseGeometry& geo = browser_->Geometry();
  ASSERT_GT(geo.horiz_range, 10 * geo.horiz_step);
  QTest::keyClick(browser_.get(), Qt::Key_Right);
  EXPECT_EQ(browser_->HorizOfs(), geo.horiz_step);
  QTest::keyClick(browser_.get(), Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(browser_->HorizOfs(), 11 * geo.horiz_step);
  QTest::keyClick(browser_.get(), Qt::Key_End);
  EXPECT_EQ(browser_->HorizOfs(), geo.horiz_range);
  EXPECT_EQ(browser_->horizontalScrollBar()->value(), geo.horiz_range);
  QTest::keyClick(browser_.get(), Qt::Key_Home);
  EXPECT_EQ(browser_->HorizOfs(), 0);
}

TEST_F(FvcBrowserTest, HeaderAndFooterTakeARowEach) {
  Attach();
  int rows = browser_->Geometry().rows_per_page;
  browser_->SetHeader("Name");
  EXPECT_EQ(browser_->Geometry().rows_per_page, rows - 1);
  browser_->SetFooter("End");
  EXPECT_EQ(browser_->Geometry().rows_per_page, rows - 2);
  EXPECT_EQ(browser_->browse_list()->FilledRows(), rows - 2);
  EXPECT_EQ(browser_->RowRect(1).top(), browser_->Geometry().row_height);
}

TEST_F(FvcBrowserTest, CurrentRowIsDrawnInHighlightColour) {
  Attach();
  browser_->SetHighlightColor(QColor(255, 0, 0));
  browser_->SetColor(QColor(255, 255, 255));
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  ASSERT_EQ(browser_->browse_list()->CurrentRow(), 3);
  QImage image(browser_->viewport()->size(), QImage::Format_RGB32);
  browser_->viewport()->render(&image);
  QRect current = browser_->RowRect(3);
  QRect other = browser_->RowRect(1);
  QPoint probe(current.right() - 2, current.center().y());
  EXPECT_EQ(image.pixelColor(probe), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(QPoint(other.right() - 2, other.center().y())),
            QColor(255, 255, 255));
}

TEST_F(FvcBrowserTest, ClickSelectsTheRowUnderThePointer) {
  Attach();
  QPoint at = browser_->RowRect(4).center();
  QTest::mouseClick(browser_->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(browser_->CurrentKey(), "R0004");
}

TEST_F(FvcBrowserTest, RightClickSelectsTheRowBeforeThePopUpMenuActs) {
  Attach();
  std::string key_at_menu;
  browser_->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(browser_.get(), &QWidget::customContextMenuRequested,
                   [&] { key_at_menu = browser_->CurrentKey(); });
  const QPoint at = browser_->RowRect(3).center();
  QTest::mousePress(browser_->viewport(), Qt::RightButton, {}, at);
  EXPECT_EQ(browser_->CurrentKey(), "R0003");
  QContextMenuEvent menu(QContextMenuEvent::Mouse, at,
                         browser_->viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(browser_->viewport(), &menu);
  EXPECT_EQ(key_at_menu, "R0003");
  QTest::mouseRelease(browser_->viewport(), Qt::RightButton, {}, at);
}

TEST_F(FvcBrowserTest, EscapeReachesTheWindowHoldingTheList) {
  QDialog dialog;
  browser_->setParent(&dialog);
  Attach();
  dialog.show();
  int typed = 0;
  browser_->OnKeyPress = [&](char&) { ++typed; };
  QTest::keyClick(browser_.get(), Qt::Key_Escape);
  EXPECT_EQ(typed, 1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  // The dialog owns the control now; the fixture must not free it twice.
  browser_.release();
}

TEST_F(FvcBrowserTest, ScrollBarActionsMoveAsTheKeysDo) {
  Attach();
  QScrollBar* bar = browser_->verticalScrollBar();
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(browser_->CurrentKey(), "R0002");
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(browser_->CurrentKey(), "R0100");
  EXPECT_EQ(bar->value(), 63);
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(browser_->CurrentKey(), "R0001");
  // A dragged thumb is applied when it is let go.
  bar->setSliderDown(true);
  bar->setSliderPosition(32);
  EXPECT_EQ(browser_->CurrentKey(), "R0001");
  bar->setSliderDown(false);
  EXPECT_NE(browser_->CurrentKey(), "R0001");
  EXPECT_NEAR(bar->value(), 32, 1);
}

TEST_F(FvcBrowserTest, StoreFailureReachesOnError) {
  Attach();
  browser_->SetKeyNumber(7);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Class 4 error.  Isam Error 10164");
  EXPECT_EQ(browser_->CurrentKeyNumber(), 1);
  EXPECT_EQ(browser_->CurrentKey(), "R0001");
}

}  // namespace
}  // namespace tallybook::store::ui
