#include "company/ui/comp_set.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>
#include <filesystem>
#include <set>

#include "company/company_defaults.h"
#include "company/installation.h"
#include "company/ui/header_form.h"
#include "company/ui/ui_test_support.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company::ui {
namespace {

namespace fs = std::filesystem;
using platform::MessageKind;

class TCompSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path();
    ASSERT_TRUE(CreateInstallation(dir_.string()).ok);
    app_ = std::make_unique<App>(dir_.string(), ui_.services());
    record_ = FirstCompanyRecord("7", "Acme Tools");
  }
  void TearDown() override {
    dialog_.reset();
    ui_.Verify();
    app_.reset();
  }
  TCompSet& Open(OptionsMode mode) {
    dialog_ = std::make_unique<TCompSet>(
        *app_, record_, mode,
        [](const std::string& n) { return n == "1" || n == "2"; });
    dialog_->show();
    return *dialog_;
  }

  platform::testing::ScriptedPlatform ui_;
  platform::testing::TempDir temp_{"compset"};
  fs::path dir_;
  std::unique_ptr<App> app_;
  CompanyRecord record_;
  std::unique_ptr<TCompSet> dialog_;
};

TEST_F(TCompSetTest, OpensOnAddressPageWithNameFocusedAndTermsLoaded) {
  TCompSet& d = Open(OptionsMode::kNew);
  EXPECT_EQ(d.windowTitle(), "New Company");
  EXPECT_EQ(d.Pages->count(), 8);
  EXPECT_EQ(d.Pages->tabText(4), "Envelopes/Aging");
  EXPECT_EQ(d.CurrentPage(), OptionsPage::kAddressTaxes);
  EXPECT_EQ(d.focusWidget(), d.CompName);
  EXPECT_TRUE(d.CompNo->isEnabled());
  EXPECT_EQ(d.DefaultTerms->count(), 9);
  EXPECT_EQ(d.DefaultTerms->currentText(), "Net 30 Days");
}

TEST_F(TCompSetTest, EditDisablesTheNumber) {
  TCompSet& d = Open(OptionsMode::kEdit);
  EXPECT_EQ(d.windowTitle(), "Edit Company");
  EXPECT_FALSE(d.CompNo->isEnabled());
}

TEST_F(TCompSetTest, EachFailureShowsItsPageWithTheFieldFocused) {
  struct Case {
    std::function<void(TCompSet&)> change;
    const char* text;
    OptionsPage page;
    std::function<QWidget*(TCompSet&)> field;
  } cases[] = {
      {[](TCompSet& d) { d.ReplyEMail->setText("billing"); }, kBadEMailText,
       OptionsPage::kEMail, [](TCompSet& d) { return d.ReplyEMail; }},
      {[](TCompSet& d) { d.CompName->setText("  "); }, kNameRequiredText,
       OptionsPage::kAddressTaxes, [](TCompSet& d) { return d.CompName; }},
      {[](TCompSet& d) { d.CompNo->setText("abc"); }, kNumberNotNumericText,
       OptionsPage::kAddressTaxes, [](TCompSet& d) { return d.CompNo; }},
      {[](TCompSet& d) { d.CompNo->setText("32001"); }, kNumberOutOfRangeText,
       OptionsPage::kAddressTaxes, [](TCompSet& d) { return d.CompNo; }},
      {[](TCompSet& d) { d.CompNo->setText("2"); }, kNumberExistsText,
       OptionsPage::kAddressTaxes, [](TCompSet& d) { return d.CompNo; }},
      {[](TCompSet& d) { d.AgingDays[1]->setText("31"); }, kAging2Text,
       OptionsPage::kEnvelopesAging, [](TCompSet& d) { return d.AgingDays[1]; }},
      {[](TCompSet& d) { d.AgingDays[2]->setText("61"); }, kAging3Text,
       OptionsPage::kEnvelopesAging, [](TCompSet& d) { return d.AgingDays[2]; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TCompSet& d = Open(OptionsMode::kNew);
    d.Pages->setCurrentIndex(static_cast<int>(OptionsPage::kSalesMessage));
    c.change(d);
    ui_.messages.ExpectMessage(c.text).WithKind(MessageKind::kWarning);
    d.OKButtonClick();
    ui_.messages.Verify();
    EXPECT_EQ(d.CurrentPage(), c.page);
    EXPECT_EQ(d.focusWidget(), c.field(d));
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(record_.CompanyName.Get(), "Acme Tools");  // nothing stored
  }
}

TEST_F(TCompSetTest, EmptyNumberIsShownAsZeroWhenRefused) {
  TCompSet& d = Open(OptionsMode::kNew);
  d.CompNo->clear();
  ui_.messages.ExpectMessage(kNumberOutOfRangeText);
  d.OKButtonClick();
  EXPECT_EQ(d.CompNo->text(), "0");
}

TEST_F(TCompSetTest, SavingStoresTheControlsWithTheirEncodings) {
  TCompSet& d = Open(OptionsMode::kNew);
  d.CompName->setText("Bolt Works");
  d.Copies->setText("7");
  d.AddressShift->clear();
  d.TaxRate->clear();
  d.DayFirst->setChecked(true);
  d.EnvelopeLandscape->setChecked(true);
  d.EnvelopeShipTo->setChecked(true);
  d.MemoInvoice->setChecked(true);
  d.AgingDays[0]->setText("30");
  d.AgingDays[1]->setText("32");
  d.AgingDays[2]->setText("34");
  d.OKButtonClick();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(record_.CompanyName.Get(), "Bolt Works");
  EXPECT_EQ(record_.Copies.Get(), "1");
  EXPECT_EQ(record_.AddressShift.Get(), "0");
  EXPECT_EQ(record_.TaxRate.Get(), "0.000");
  EXPECT_EQ(record_.DateOrder.Get(), "D");
  EXPECT_EQ(record_.EnvelopeOrientation.Get(), "L");
  EXPECT_EQ(record_.EnvelopeAddress.Get(), "S");
  EXPECT_EQ(record_.DefaultInvoiceKind.Get(), "M");
  EXPECT_EQ(record_.AgingDays3.Get(), "34");
}

TEST_F(TCompSetTest, HelpFollowsTheVisiblePage) {
  TCompSet& d = Open(OptionsMode::kEdit);
  d.Pages->setCurrentIndex(static_cast<int>(OptionsPage::kFormsSetup));
  d.HelpButtonClick();
  d.Pages->setCurrentIndex(static_cast<int>(OptionsPage::kEMail));
  d.HelpButtonClick();
  EXPECT_EQ(ui_.help.topics(), (std::vector<std::string>{"formlayout", "EMMode"}));
}

TEST_F(TCompSetTest, FontsAndBitmapsComeFromTheirDialogs) {
  TCompSet& d = Open(OptionsMode::kEdit);
  platform::Font mono{"DejaVu Sans Mono", 11, 0x0000FF, platform::kFontBold};
  ui_.dialogs.ExpectChooseFont(mono);
  d.ManagersFontButtonClick();
  ui_.dialogs.ExpectChooseFont(std::nullopt);  // cancelled: unchanged
  d.EditorFontButtonClick();
  ui_.dialogs.ExpectOpenFile("/pictures/back.bmp");
  d.MainBitmapButtonClick();
  ASSERT_EQ(ui_.dialogs.file_requests().size(), 1u);
  EXPECT_EQ(ui_.dialogs.file_requests()[0].filters[0].description, "Bitmap File");
  EXPECT_EQ(ui_.dialogs.file_requests()[0].filters[0].patterns, "*.bmp");
  d.OKButtonClick();
  EXPECT_EQ(record_.ManagerFontName.Get(), "DejaVu Sans Mono");
  EXPECT_EQ(record_.ManagerFontSize, 11);
  EXPECT_EQ(record_.ManagerFontColor, 0x0000FF);
  EXPECT_EQ(record_.ManagerFontStyle, platform::kFontBold);
  EXPECT_EQ(record_.EditorFontName.Get(), "Arial");
  EXPECT_EQ(record_.MainBitmapFile.Get(), "/pictures/back.bmp");
  EXPECT_EQ(record_.MainBitmapOn, 1);
}

TEST_F(TCompSetTest, ThePicturesFileNameCanBeCleared) {
  TCompSet& d = Open(OptionsMode::kEdit);
  ASSERT_EQ(d.MainBitmapFile->text(), "vkt8.bmp");
  d.MainBitmapClear->click();
  d.OKButtonClick();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(record_.MainBitmapFile.Get(), "");
}

TEST_F(TCompSetTest, NumberFieldsRefuseLettersAsTheyAreTyped) {
  TCompSet& d = Open(OptionsMode::kNew);
  struct Case {
    QLineEdit* edit;
    const char* typed;
    const char* kept;
  } cases[] = {
      {d.TaxRate, "8.1x5z", "8.15"},
      {d.DefaultQuantity, "x1.5", "1.5"},
      {d.NextInvoiceNo, "100abc", "100"},
      {d.NextCustomerNo, "7a", "7"},
      {d.TopFormMargin, "abc", ""},
      {d.EnvelopeSendLeft, "12.5", "125"},
      {d.CompNo, "4b", "4"},
      {d.Copies, "x", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    c.edit->clear();
    c.edit->setFocus();
    QTest::keyClicks(c.edit, c.typed);
    EXPECT_EQ(c.edit->text().toStdString(), c.kept);
  }
}

TEST_F(TCompSetTest, AStoredTextThatIsNotANumberIsRefusedOnSaving) {
  // Typing cannot put letters in, but an older record may hold them.
  record_.LeftFormMargin.Set("ab");
  record_.TaxRate.Set("8.1x5z");
  TCompSet& d = Open(OptionsMode::kEdit);
  ui_.messages
      .ExpectMessage("The Tax Rate field must hold a number, such as 8.125.")
      .WithCaption("Invalid Number")
      .WithKind(MessageKind::kWarning);
  d.OKButtonClick();
  EXPECT_EQ(d.CurrentPage(), OptionsPage::kAddressTaxes);
  EXPECT_EQ(d.focusWidget(), d.TaxRate);
  d.TaxRate->setText("8.125");
  ui_.messages
      .ExpectMessage("The Left Margin field must hold a number (digits only).")
      .WithCaption("Invalid Number");
  d.OKButtonClick();
  EXPECT_EQ(d.CurrentPage(), OptionsPage::kFormsSetup);
  EXPECT_EQ(d.focusWidget(), d.LeftFormMargin);
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(record_.TaxRate.Get(), "8.1x5z");  // nothing stored yet
  d.LeftFormMargin->setText("5");
  d.OKButtonClick();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(record_.TaxRate.Get(), "8.125");
  EXPECT_EQ(record_.LeftFormMargin.Get(), "5");
}

TEST_F(TCompSetTest, CancelLeavesTheRecordEvenAfterHeadersWereEdited) {
  const CompanyRecord before = record_;
  TCompSet& d = Open(OptionsMode::kEdit);
  ui_.windows.ExpectWindow("THeaderForm", platform::kModalOk);
  d.HeadersButtonClick();
  d.CompName->setText("Changed");
  d.reject();
  EXPECT_EQ(std::memcmp(&before, &record_, sizeof(record_)), 0);
}

TEST_F(TCompSetTest, HeadersDialogStoresTextsAndFontsOnOkOnly) {
  CompanyRecord record = record_;
  {
    THeaderForm headers(*app_, record);
    EXPECT_EQ(headers.windowTitle(), "Headers, Fonts and Colors");
    EXPECT_EQ(headers.FontButtons[3]->text(), "Customer Address");
    headers.ShippingCaption->setText("Ship To:");
    ui_.dialogs.ExpectChooseFont(
        platform::Font{"Times New Roman", 9, 0x00FF00, platform::kFontItalic});
    headers.FontButtonClick(kAgingAnalysisFont);
    headers.reject();
  }
  EXPECT_EQ(record.ShippingCaption.Get(), record_.ShippingCaption.Get());
  {
    THeaderForm headers(*app_, record);
    headers.ShippingCaption->setText("Ship To:");
    headers.MemoHeader->setText(QString(100, 'm'));  // cut to the field
    ui_.dialogs.ExpectChooseFont(
        platform::Font{"Times New Roman", 9, 0x00FF00, platform::kFontItalic});
    headers.FontButtonClick(kAgingAnalysisFont);
    headers.OKButtonClick();
  }
  EXPECT_EQ(record.ShippingCaption.Get(), "Ship To:");
  EXPECT_EQ(record.MemoHeader.Get(), std::string(80, 'm'));
  const FontBlock& aging = record.FormFonts[kAgingAnalysisFont];
  EXPECT_EQ(aging.Name.Get(), "Times New Roman");
  EXPECT_EQ(aging.Size, 9);
  EXPECT_EQ(aging.Color, 0x00FF00);
  EXPECT_EQ(aging.Style, platform::kFontItalic);
  EXPECT_EQ(ui_.dialogs.font_requests().size(), 2u);
}

TEST_F(TCompSetTest, HeadersDialogSaysWhenAFormFontWasNeverChosen) {
  CompanyRecord record = record_;
  record.FormFonts[kAgingAnalysisFont] = FontBlock{};
  THeaderForm headers(*app_, record);
  EXPECT_EQ(headers.FontSamples[kAgingAnalysisFont]->text(), "(not chosen)");
  ui_.dialogs.ExpectChooseFont(
      platform::Font{"Times New Roman", 9, 0x00FF00, platform::kFontItalic});
  headers.FontButtonClick(kAgingAnalysisFont);
  EXPECT_EQ(headers.FontSamples[kAgingAnalysisFont]->text(), "Times New Roman 9");
  headers.reject();
}

}  // namespace
}  // namespace tallybook::company::ui
