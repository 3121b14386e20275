#include "company/ui/list_window.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTextCursor>
#include <filesystem>
#include <fstream>

#include "company/company_defaults.h"
#include "company/rich_text.h"
#include "company/ui/find_box.h"
#include "company/ui/ui_test_support.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company::ui {
namespace {

namespace fs = std::filesystem;
using platform::MessageKind;

class TListWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path();
    app_ = std::make_unique<App>(dir_.string(), ui_.services());
    app_->CurrentCompany = FirstCompanyRecord("1", "Acme");
    std::ofstream(dir_ / "TXTTEMP.TXT", std::ios::binary)
        << "Tallybook Company List\r\nCaf\xE9 {A}    Number: 1\r\n";
  }
  void TearDown() override {
    ui_.Verify();
    app_.reset();
  }

  platform::testing::ScriptedPlatform ui_;
  platform::testing::TempDir temp_{"listwin"};
  fs::path dir_;
  std::unique_ptr<App> app_;
};

TEST_F(TListWindowTest, ShowsTheFileReadOnlyUnwrappedInTheManagersFont) {
  TListWindow w(*app_);
  w.SetCaption("Company List by Number");
  ASSERT_TRUE(w.LoadFile((dir_ / "TXTTEMP.TXT").string()));
  EXPECT_EQ(w.windowTitle(), "Company List by Number");
  EXPECT_TRUE(w.RichEdit1->isReadOnly());
  EXPECT_EQ(w.RichEdit1->lineWrapMode(), QTextEdit::NoWrap);
  EXPECT_EQ(w.RichEdit1->toPlainText(),
            QString::fromUtf8("Tallybook Company List\nCaf\u00e9 {A}    Number: 1\n"));
  EXPECT_EQ(w.RichEdit1->textCursor().position(), 0);
  EXPECT_EQ(w.text_font().name, "Courier New");
  EXPECT_EQ(w.RichEdit1->font().family(), "Courier New");
  EXPECT_EQ(w.PrintButton->text(), "Print");
  EXPECT_EQ(w.FontButton->text(), "Font/Color");
  EXPECT_EQ(w.SaveButton->text(), "Save to File");
}

TEST_F(TListWindowTest, MissingFileIsReportedAndShowsNothing) {
  TListWindow w(*app_);
  w.SetCaption("Company List by Name");
  const std::string missing = (dir_ / "NONE.TXT").string();
  ui_.messages.ExpectMessage(std::string(kUnableToReadList) + missing)
      .WithKind(MessageKind::kError)
      .WithCaption("Company List by Name");
  EXPECT_FALSE(w.LoadFile(missing));
  EXPECT_TRUE(w.RichEdit1->toPlainText().isEmpty());
}

TEST_F(TListWindowTest, PrintIsOneJobTitledWithTheCaption) {
  TListWindow w(*app_);
  w.SetCaption("Company List by Name");
  ASSERT_TRUE(w.LoadFile((dir_ / "TXTTEMP.TXT").string()));
  w.PrintButtonClick();
  ASSERT_EQ(ui_.printer.jobs().size(), 1u);
  const auto& job = ui_.printer.last_job();
  EXPECT_EQ(job.title, "Company List by Name");
  EXPECT_EQ(job.Texts(), (std::vector<std::string>{
                             "Tallybook Company List",
                             "Caf\xE9 {A}    Number: 1"}));
  EXPECT_EQ(w.StatusLine->text(), "Sent to printer: Recording printer");
  ui_.printer.SaveAsPdfIn("/tmp/out");
  w.PrintButtonClick();
  EXPECT_EQ(w.StatusLine->text(),
            "Saved as PDF: /tmp/out/Company List by Name.pdf");
  ui_.printer.FailJobsWith("No printer.");
  ui_.messages.ExpectMessage("No printer.").WithKind(MessageKind::kError);
  w.PrintButtonClick();
}

TEST_F(TListWindowTest, SaveWritesRichTextInTheChosenFont) {
  TListWindow w(*app_);
  w.SetListName("Company");
  ASSERT_TRUE(w.LoadFile((dir_ / "TXTTEMP.TXT").string()));
  platform::Font font{"DejaVu Sans Mono", 12, 0x0000FF, 0};
  ui_.dialogs.ExpectChooseFont(font);
  w.FontButtonClick();
  const fs::path target = dir_ / "Company.RTF";
  ui_.dialogs.ExpectSaveFile(target.string());
  w.SaveButtonClick();
  ASSERT_EQ(ui_.dialogs.file_requests().size(), 1u);
  const auto& request = ui_.dialogs.file_requests()[0];
  EXPECT_EQ(request.caption, "Save As");
  EXPECT_EQ(request.file_name, "Company.RTF");
  EXPECT_EQ(request.default_suffix, "RTF");
  EXPECT_EQ(request.filters[0].description, "Rich Text File");
  EXPECT_EQ(request.filters[0].patterns, "*.RTF");
  std::ifstream in(target, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            RichTextFromPlain(w.text(), font));

  ui_.dialogs.ExpectSaveFile((dir_ / "no" / "x.RTF").string());
  ui_.messages.ExpectMessage(std::string(kUnableToSaveList) +
                             (dir_ / "no" / "x.RTF").string());
  w.SaveButtonClick();
}

TEST(FindBoxTest, FirstColumnIsTheTrimmedNumber) {
  EXPECT_EQ(FirstColumnOf("12     Acme", 6), "12");
  EXPECT_EQ(FirstColumnOf("", 6), "");
  FindMode mode = CompanyFindMode();
  EXPECT_EQ(mode.caption, "Find Company");
  EXPECT_EQ(mode.search_key("  acme"), "ACME");
  CompanyRecord r;
  r.CompanyNo.Set("12");
  r.CompanyName.Set("Acme");
  EXPECT_EQ(mode.build_row(reinterpret_cast<const uint8_t*>(&r)), "12     Acme");
}

}  // namespace
}  // namespace tallybook::company::ui
