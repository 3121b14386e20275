#include "billing/ui/invoice_editor.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "billing/invoice_lookups.h"
#include "billing/invoice_test_support.h"
#include "billing/saved_lines.h"
#include "company/ui/ui_test_support.h"
#include "platform/qt/text_codec.h"

namespace tallybook::billing::ui {
namespace {

using platform::Answer;
using platform::kModalOk;

class InvoiceEditorTest : public testing::InvoiceOnDisk {
 protected:
  void SetUp() override {
    InvoiceOnDisk::SetUp();
    AddCustomer("C1", "First Customer");
    ASSERT_TRUE(company::SaveTerms(
        *app_, company::TermList(company::DefaultTerms())));
    editor_ = std::make_unique<TProdInv>(*app_);
    editor_->choose_customer = [this] {
      app_->CurrentCustomer = chosen_;
      return true;
    };
    editor_->choose_product = [this] {
      app_->ChosenProduct = product_;
      app_->product_chosen = true;
      return true;
    };
    chosen_ = Customer("C1");
  }
  void TearDown() override {
    editor_.reset();
    InvoiceOnDisk::TearDown();
  }

  void SetCell(int row, int column, const char* text) {
    editor_->StringGrid1->item(row, column)->setText(text);
  }
  std::string Cell(int row, int column) {
    return editor_->StringGrid1->item(row, column)->text().toStdString();
  }

  std::unique_ptr<TProdInv> editor_;
  company::CustomerRecord chosen_;
  company::ProductRecord product_;
};

TEST_F(InvoiceEditorTest, AddThroughTheWindowComputesAndSaves) {
  ui_->windows.ExpectWindow(kProdInvName, [&] {
    EXPECT_EQ(editor_->windowTitle().toStdString(),
              "Add Invoice - Company: Acme Supply - #1");
    EXPECT_EQ(editor_->IMode->text().toStdString(), "Add Mode");
    EXPECT_EQ(editor_->INum->text().toStdString(), "100");
    editor_->BitBtn3Click();
    EXPECT_EQ(editor_->ICustName->text().toStdString(), "First Customer");
    SetCell(0, kColQuantity, "3");
    SetCell(0, kColUnitPrice, "0.333");
    SetCell(0, kColDescription, "Thirds");
    EXPECT_EQ(Cell(0, kColExtension), "1.00");
    SetCell(1, kColQuantity, "-3");
    SetCell(1, kColUnitPrice, "0.333");
    SetCell(1, kColDescription, "Credit");
    EXPECT_EQ(Cell(1, kColExtension), "-1.00");
    SetCell(2, kColQuantity, "2");
    SetCell(2, kColUnitPrice, "0.125");
    SetCell(2, kColDescription, "Eighths");
    EXPECT_EQ(Cell(2, kColExtension), "0.25");
    EXPECT_EQ(editor_->ITotal->text().toStdString(), "0.25");
    editor_->IPaid->setText("1");
    editor_->AmountChanged();
    EXPECT_TRUE(editor_->BalanceDueRed());
    ui_->messages.ExpectMessage(kPaidExceedsTotal);
    editor_->OKButtonClick();
    EXPECT_TRUE(editor_->IPaid->hasFocus() || !editor_->isVisible());
    editor_->IPaid->setText("0.25");
    editor_->AmountChanged();
    EXPECT_FALSE(editor_->BalanceDueRed());
    editor_->OKButtonClick();
    return editor_->result();
  });
  const InvoiceOutcome out = AddInvoice(*app_, editor_->Runner());
  ASSERT_TRUE(out.changed);
  const auto t = Transaction("100");
  EXPECT_EQ(t.GrandTotal.Get(), "0.25");
  EXPECT_EQ(t.PaidStatus.Get(), "P");
  EXPECT_EQ(LinesOf("100").size(), 3u);
}

TEST_F(InvoiceEditorTest, EveryCaptionWithAMnemonicFocusesItsField) {
  int mnemonics = 0;
  for (QLabel* label : editor_->findChildren<QLabel*>()) {
    if (!label->text().contains('&')) continue;
    ++mnemonics;
    EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
  }
  EXPECT_GE(mnemonics, 3);  // Net, Tax, Paid Amount
}

TEST_F(InvoiceEditorTest, UntickingTheTaxBoxDropsTheTax) {
  company::CompanyRecord c = app_->CurrentCompany;
  c.CalcTaxes = 1;
  c.TaxRate.Set("7");
  StoreCompany(c);
  editor_->Load(PrepareNewInvoice(*app_));
  EXPECT_EQ(editor_->CheckBox2->text().toStdString(), "Calc. Tax at 7%");
  SetCell(0, kColFlag, "Y");
  SetCell(0, kColUnitPrice, "10");
  SetCell(1, kColFlag, "Y");
  SetCell(1, kColUnitPrice, "5");
  SetCell(2, kColQuantity, "2");
  SetCell(2, kColUnitPrice, "10");
  EXPECT_EQ(editor_->INet->text().toStdString(), "35.00");
  EXPECT_EQ(editor_->ITax->text().toStdString(), "1.05");
  EXPECT_EQ(editor_->ITotal->text().toStdString(), "36.05");
  editor_->CheckBox2->click();
  EXPECT_EQ(editor_->ITax->text().toStdString(), "0.00");
  EXPECT_EQ(editor_->ITotal->text().toStdString(), "35.00");
}

// A stored invoice opens with its stored totals, even when the company's
// rate has changed since; only a change of a line re-taxes it.
TEST_F(InvoiceEditorTest, EditShowsTheStoredTaxUntilALineChanges) {
  company::CompanyRecord c = app_->CurrentCompany;
  c.CalcTaxes = 1;
  c.TaxRate.Set("5");
  StoreCompany(c);
  AddInvoice(*app_, Editor([&](InvoiceForm& form) {
    form.invoice_no = "E1";
    FillInvoice(form, "C1", {Line("W1", "1", "Widget", "100", "Y")});
  }));
  c = StoredCompany();
  c.TaxRate.Set("8");
  StoreCompany(c);
  app_->invoice_editing = true;
  editor_->Load(FormFromRecord(*app_, Transaction("E1")));
  EXPECT_TRUE(editor_->CheckBox2->isChecked());
  EXPECT_EQ(editor_->ITax->text().toStdString(), "5.00");
  EXPECT_EQ(editor_->ITotal->text().toStdString(), "105.00");
  SetCell(0, kColQuantity, "2");
  EXPECT_EQ(editor_->ITax->text().toStdString(), "16.00");
  app_->invoice_editing = false;
}

TEST_F(InvoiceEditorTest, ChosenCustomerOnHoldIsWarnedAndTaxExemptDisablesTax) {
  company::CompanyRecord c = app_->CurrentCompany;
  c.CalcTaxes = 1;
  c.TaxRate.Set("5");
  StoreCompany(c);
  editor_->Load(PrepareNewInvoice(*app_));
  chosen_.CreditHold.Set("Y");
  chosen_.TaxExempt.Set("Y");
  ui_->messages.ExpectMessage(kCreditHold).WithCaption("Warning");
  editor_->BitBtn3Click();
  EXPECT_FALSE(editor_->CheckBox2->isEnabled());
  EXPECT_FALSE(editor_->CheckBox2->isChecked());
  EXPECT_EQ(editor_->CheckBox2->text().toStdString(), "Tax Exempt");
}

TEST_F(InvoiceEditorTest, EditModeLocksARepeatNumberAndTheKind) {
  app_->invoice_editing = true;
  InvoiceForm form = PrepareNewInvoice(*app_);
  app_->invoice_editing = true;
  form.invoice_no = "G12";
  editor_->Load(form);
  EXPECT_EQ(editor_->windowTitle().toStdString(), "Edit Invoice");
  EXPECT_EQ(editor_->IMode->text().toStdString(), "Edit Mode");
  EXPECT_FALSE(editor_->INum->isEnabled());
  EXPECT_FALSE(editor_->RadioButton1->isEnabled());
  EXPECT_FALSE(editor_->BitBtn3->isEnabled());
  app_->invoice_editing = false;
}

TEST_F(InvoiceEditorTest, MemoLayoutAndSuggestedTax) {
  company::CompanyRecord c = app_->CurrentCompany;
  c.CalcTaxes = 1;
  c.TaxRate.Set("10");
  StoreCompany(c);
  editor_->Load(PrepareNewInvoice(*app_));
  editor_->RadioButton2->click();
  EXPECT_TRUE(editor_->StringGrid1->isHidden());
  EXPECT_FALSE(editor_->INet->isReadOnly());
  EXPECT_FALSE(editor_->SpeedButton2->isEnabled());
  editor_->INet->setText("200");
  editor_->ITax->setText("");
  editor_->AmountChanged();
  EXPECT_EQ(editor_->ITax->text().toStdString(), "0.00");
  EXPECT_EQ(editor_->TaxLbl->text().toStdString(), "Tax on 200.00 is 20.00.");
  EXPECT_EQ(editor_->ITotal->text().toStdString(), "200.00");
  editor_->RadioButton1->click();
  EXPECT_TRUE(editor_->INet->isReadOnly());
}

TEST_F(InvoiceEditorTest, ProductByCodeAndTheFinder) {
  {
    company::ProductAccess products(*app_);
    ASSERT_TRUE(products.OpenCompanyFile());
    products.ClearRecord();
    products.rec().ProductCode.Set("W1");
    products.rec().ProductDescription.Set("Widget");
    products.rec().SalesPrice.Set("2.50");
    products.rec().Taxable = 1;
    int32_t rec_no = 0;
    ASSERT_TRUE(products.AddWithKeys(rec_no));
    products.Close();
  }
  editor_->Load(PrepareNewInvoice(*app_));
  SetCell(0, kColQuantity, "4");
  SetCell(0, kColProduct, " w1 ");
  editor_->StringGrid1->setCurrentCell(0, kColProduct);
  editor_->StringGrid1KeyEnter();
  EXPECT_EQ(Cell(0, kColDescription), "Widget");
  EXPECT_EQ(Cell(0, kColFlag), "Y");
  EXPECT_EQ(Cell(0, kColExtension), "10.00");

  SetCell(1, kColProduct, "NOPE");
  editor_->StringGrid1->setCurrentCell(1, kColProduct);
  ui_->messages.ExpectMessage(kProductNotFound, Answer::kNo)
      .WithCaption("Product Code");
  editor_->StringGrid1KeyEnter();
  EXPECT_EQ(Cell(1, kColDescription), "");

  product_.ProductCode.Set("P9");
  product_.ProductDescription.Set("Chosen");
  product_.SalesPrice.Set(" 3 ");
  editor_->SpeedButton2Click();
  EXPECT_EQ(Cell(1, kColProduct), "P9");
  EXPECT_EQ(Cell(1, kColQuantity), "1.00");
  EXPECT_EQ(Cell(1, kColFlag), "N");
  EXPECT_EQ(Cell(1, kColExtension), "3.00");
  EXPECT_EQ(editor_->INet->text().toStdString(), "13.00");
}

TEST_F(InvoiceEditorTest, LineCommandsAndSavedLines) {
  editor_->Load(PrepareNewInvoice(*app_));
  SetCell(4, kColDescription, "x");
  SetCell(4, kColUnitPrice, "9");
  editor_->StringGrid1->setCurrentCell(4, kColQuantity);
  editor_->MakeNoteClick();
  EXPECT_EQ(Cell(4, kColQuantity), " ");
  EXPECT_EQ(Cell(4, kColExtension), "0.00");
  EXPECT_EQ(editor_->StringGrid1->currentColumn(), kColDescription);
  editor_->DeleteLineClick();
  EXPECT_EQ(Cell(4, kColQuantity), "1.00");

  SetCell(0, kColDescription, "Saved");
  SetCell(0, kColUnitPrice, "7");
  ui_->messages.ExpectMessage(kSavedLinesReplaced);
  editor_->ExportButnClick();
  editor_->UndoAllClick();
  EXPECT_EQ(editor_->INet->text().toStdString(), "0.00");
  editor_->ImportButnClick();
  EXPECT_EQ(Cell(0, kColDescription), "Saved");
  EXPECT_EQ(editor_->INet->text().toStdString(), "7.00");
}

TEST_F(InvoiceEditorTest, TimerKeepsRunningAcrossOpenings) {
  ASSERT_TRUE(ui_->clock.Set(2024, 6, 15, 9, 0, 0));
  editor_->Load(PrepareNewInvoice(*app_));
  EXPECT_EQ(editor_->StartTime->text().toStdString(), "");
  editor_->TimeBtnClick();
  EXPECT_EQ(editor_->TimeBtn->text().toStdString(), kStopTimer);
  EXPECT_EQ(editor_->StartTime->text().toStdString(), "09:00:00");
  ASSERT_TRUE(ui_->clock.Set(2024, 6, 15, 10, 30, 36));
  editor_->Load(PrepareNewInvoice(*app_));
  EXPECT_EQ(editor_->ElapsedTime->text().toStdString(), "01:30:36");
  EXPECT_EQ(editor_->ToHours->text().toStdString(), "01.510");
  editor_->TimeBtnClick();
  EXPECT_EQ(editor_->ElapsedTime->text().toStdString(), "");
}

}  // namespace
}  // namespace tallybook::billing::ui
