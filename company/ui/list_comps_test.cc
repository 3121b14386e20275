#include "company/ui/list_comps.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>
#include <filesystem>
#include <fstream>

#include "company/company_defaults.h"
#include "company/installation.h"
#include "company/ui/find_box.h"
#include "company/ui/list_window.h"
#include "company/ui/ui_test_support.h"
#include "platform/qt/text_codec.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company::ui {
namespace {

namespace fs = std::filesystem;
using platform::Answer;

class TListCompsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path();
    ASSERT_TRUE(CreateInstallation(dir_.string()).ok);
    ui_.clock.Set(2024, 4, 3, 9, 30);
    app_ = std::make_unique<App>(dir_.string(), ui_.services());
    ASSERT_TRUE(app_->engine().StoreStartup(0, kPageBuffers));
    app_->CurrentCompany = FirstCompanyRecord("1", kFirstCompanyName);
    window_ = std::make_unique<TListComps>(*app_, NoPrompt());
    window_->resize(640, 400);
    ASSERT_TRUE(window_->FormShow());
    window_->show();
    // The dialog the tests script: name and number as given.
    window_->set_options_dialog([this](CompanyRecord& r, OptionsMode mode) {
      last_mode_ = mode;
      if (next_name_.empty()) return false;
      r.CompanyName.Set(next_name_);
      if (!next_number_.empty()) r.CompanyNo.Set(next_number_);
      r.MainBitmapOn = 0;
      r.MainBitmapFile.Set("");
      return true;
    });
  }
  void TearDown() override {
    window_.reset();
    ui_.Verify();
    app_.reset();
  }
  static PasswordPrompt NoPrompt() {
    return [](const std::string&) -> std::optional<std::string> {
      ADD_FAILURE() << "password asked";
      return std::nullopt;
    };
  }
  void Add(const std::string& number, const std::string& name) {
    next_number_ = number;
    next_name_ = name;
    window_->AddClick();
  }
  std::string CurrentRow() {
    store::BrowseList* list = window_->CompBrowser->browse_list();
    return list->RowAt(list->CurrentRow()).Row[0];
  }

  platform::testing::ScriptedPlatform ui_;
  platform::testing::TempDir temp_{"listcomps"};
  fs::path dir_;
  std::unique_ptr<App> app_;
  std::unique_ptr<TListComps> window_;
  std::string next_name_, next_number_;
  OptionsMode last_mode_ = OptionsMode::kEdit;
};

TEST_F(TListCompsTest, ShowsCompaniesWithHeaderCountAndMenus) {
  EXPECT_EQ(window_->windowTitle(), "Company Manager");
  EXPECT_EQ(window_->CompBrowser->Header(),
            "Company Name                        Number      Balance");
  EXPECT_EQ(CurrentRow(),
            "My Company                          1              0.00");
  EXPECT_EQ(window_->StatusCount->text(), "Companies: 1");
  EXPECT_EQ(window_->SetDefaultItem->text(), "&Set As Default");
  EXPECT_EQ(window_->ByNameItem->text(), "By N&ame");
  EXPECT_EQ(window_->PrintWindowItem->text(), "Print &Window");
  EXPECT_EQ(window_->ListButton->text(), "Company List");
  EXPECT_EQ(window_->PopupMenu->actions().size(), 7);
  EXPECT_EQ(window_->CompBrowser->font().family(), "Courier New");
}

TEST_F(TListCompsTest, AddPositionsOnTheNewCompanyAndCountsIt) {
  Add("2", "Acme Tools");
  EXPECT_EQ(last_mode_, OptionsMode::kNew);
  EXPECT_EQ(window_->StatusCount->text(), "Companies: 2");
  EXPECT_EQ(CurrentRow().substr(0, 10), "Acme Tools");
  window_->ByNameClick();
  EXPECT_EQ(window_->CompBrowser->CurrentKeyNumber(), 2);
  EXPECT_EQ(CurrentRow().substr(0, 10), "Acme Tools");
  EXPECT_EQ(window_->CompBrowser->browse_list()->CurrentRow(), 1);
}

TEST_F(TListCompsTest, DeleteKeyDeletesAndEnterSetsAsDefault) {
  Add("2", "Acme Tools");
  ui_.messages.ExpectMessage(kDeleteCompanyQuestion, Answer::kYes);
  QTest::keyClick(window_->CompBrowser, Qt::Key_Delete);
  EXPECT_EQ(window_->StatusCount->text(), "Companies: 1");
  EXPECT_EQ(CurrentRow().substr(0, 10), "My Company");

  QTest::keyClick(window_->CompBrowser, Qt::Key_Return);
  EXPECT_EQ(window_->result(), QDialog::Accepted);
  ASSERT_TRUE(window_->chosen().has_value());
  EXPECT_EQ(window_->chosen()->CompanyNo.Get(), "1");
}

TEST_F(TListCompsTest, PopUpMenuActsOnTheRowRightClicked) {
  Add("2", "Acme Tools");
  window_->CompBrowser->SetAndUpdate("1", 0);
  ASSERT_EQ(CurrentRow().substr(0, 10), "My Company");
  // Company 2 is the second row by number.
  const QPoint at = window_->CompBrowser->RowRect(2).center();
  QTest::mousePress(window_->CompBrowser->viewport(), Qt::RightButton, {}, at);
  QTest::mouseRelease(window_->CompBrowser->viewport(), Qt::RightButton, {}, at);
  ui_.messages.ExpectMessage(kDeleteCompanyQuestion, Answer::kYes);
  window_->DeleteItem->trigger();
  EXPECT_EQ(window_->StatusCount->text(), "Companies: 1");
  EXPECT_EQ(CurrentRow().substr(0, 10), "My Company");
}

TEST_F(TListCompsTest, EscapeInTheListClosesTheManager) {
  window_->CompBrowser->setFocus();
  QTest::keyClick(window_->CompBrowser, Qt::Key_Escape);
  EXPECT_FALSE(window_->isVisible());
  EXPECT_EQ(window_->result(), QDialog::Rejected);
  EXPECT_FALSE(window_->chosen().has_value());
}

TEST_F(TListCompsTest, ToolButtonsCarryThemeIcons) {
  if (!std::filesystem::exists("/usr/share/icons/Adwaita/index.theme")) {
    GTEST_SKIP() << "no Adwaita icon theme";
  }
  for (QToolButton* b : {window_->NewButton, window_->EditButton,
                         window_->DeleteButton, window_->FindButton,
                         window_->ListButton, window_->CloseButton,
                         window_->HelpButton}) {
    EXPECT_FALSE(b->icon().isNull()) << b->text().toStdString();
    EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
  }
}

TEST_F(TListCompsTest, EditOfTheCurrentCompanyClosesWithOk) {
  Add("2", "Acme Tools");
  next_number_.clear();
  next_name_ = "Acme Renamed";
  window_->EditClick();  // Acme is current: not the current company
  EXPECT_EQ(last_mode_, OptionsMode::kEdit);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(CurrentRow().substr(0, 12), "Acme Renamed");

  window_->CompBrowser->SetAndUpdate("1", 0);
  next_name_ = "Mine";
  window_->EditClick();
  EXPECT_EQ(window_->result(), QDialog::Accepted);
  EXPECT_TRUE(window_->reload_current());
  EXPECT_FALSE(window_->chosen().has_value());
}

TEST_F(TListCompsTest, CompanyListIsShownByNameAndRemovedAfter) {
  Add("2", "Acme Tools");
  std::string caption, text;
  window_->set_list_window([&](const std::string& path, const std::string& c,
                               const std::string& name) {
    TListWindow list(*app_);
    list.SetCaption(c);
    list.SetListName(name);
    ASSERT_TRUE(list.LoadFile(path));
    caption = c;
    text = list.text();
  });
  ui_.messages.ExpectMessage(kCompanyListQuestion, Answer::kNo);
  window_->CompanyListClick();
  EXPECT_EQ(caption, "Company List by Name");
  EXPECT_EQ(text,
            "Tallybook Company List\r\n"
            "Date: Wednesday, April 3, 2024, 09:30 AM\r\n"
            "Acme Tools    Number: 2    A/R: 0.00\r\n"
            "My Company    Number: 1    A/R: 0.00\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "TXTTEMP.TXT"));
}

TEST_F(TListCompsTest, FindPositionsOnTheChosenCompany) {
  Add("2", "Acme Tools");
  window_->CompBrowser->SetAndUpdate("1", 0);
  ASSERT_EQ(CurrentRow().substr(0, 10), "My Company");
  ui_.windows.ExpectWindow("TFindBox", [this] {
    auto* find = window_->findChild<TFindBox*>();
    EXPECT_NE(find, nullptr);
    if (find == nullptr) return platform::kModalCancel;
    find->FindEdit->setText("Acme");
    find->FindEditChange();
    find->OKButtonClick();
    EXPECT_EQ(find->chosen_first_column(), "2");
    return find->result() == QDialog::Accepted ? platform::kModalOk
                                               : platform::kModalCancel;
  });
  window_->FindClick();
  EXPECT_EQ(CurrentRow().substr(0, 10), "Acme Tools");

  // Cancel leaves the list where it was.
  ui_.windows.ExpectWindow("TFindBox", platform::kModalCancel);
  window_->FindClick();
  EXPECT_EQ(CurrentRow().substr(0, 10), "Acme Tools");
}

TEST_F(TListCompsTest, PrintWindowPrintsOneJob) {
  window_->PrintWindowClick();
  ASSERT_EQ(ui_.printer.jobs().size(), 1u);
  EXPECT_EQ(ui_.printer.last_job().title, "Company Manager");
  EXPECT_TRUE(ui_.printer.last_job().ended);
  EXPECT_EQ(window_->StatusHint->text(), "Sent to printer: Recording printer");
}

TEST_F(TListCompsTest, PrintWindowWithoutAPrinterSaysWhereThePdfWent) {
  ui_.printer.SaveAsPdfIn("/home/user/Documents/Tallybook");
  std::string status;
  app_->status_sink = [&](const std::string& text) { status = text; };
  window_->PrintWindowClick();
  EXPECT_EQ(window_->StatusHint->text().toStdString(),
            "Saved as PDF: /home/user/Documents/Tallybook/Company Manager.pdf");
  EXPECT_EQ(status,
            "Saved as PDF: /home/user/Documents/Tallybook/Company Manager.pdf");
}

}  // namespace
}  // namespace tallybook::company::ui
