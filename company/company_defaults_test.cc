#include "company/company_defaults.h"

#include <gtest/gtest.h>

#include "company/keys.h"

namespace tallybook::company {
namespace {

TEST(NewCompanyDefaultsTest, ListedOptionsAreSetOthersInherited) {
  CompanyRecord r;
  r.CompanyNo.Set("4");
  r.CompanyName.Set("Old Name");
  r.CompanyAddress3.Set("Old street");
  r.SalesMessage2.Set("Old message");
  r.ReceivablesBalance.Set("1500.00");
  r.InvoiceCaption.Set("INVOICE");
  r.YearMonthPrefix.Set("Y");
  r.LabelOnNewInvoice.Set("Y");
  r.AgingDays2.Set("45");
  r.CalcTaxes = 0;
  r.PrintLogo = 1;
  r.LogoFile.Set("logo.bmp");
  r.DateOrder.Set("D");
  r.AuditTrail.Set("Y");

  ApplyNewCompanyDefaults(r);

  // Inherited from the record it was applied to.
  EXPECT_EQ(r.CompanyNo.Get(), "4");
  EXPECT_EQ(r.InvoiceCaption.Get(), "INVOICE");
  EXPECT_EQ(r.YearMonthPrefix.Get(), "Y");
  EXPECT_EQ(r.LabelOnNewInvoice.Get(), "Y");

  // Cleared or set.
  EXPECT_EQ(r.CompanyName.Get(), "");
  EXPECT_EQ(r.CompanyAddress3.Get(), "");
  EXPECT_EQ(r.SalesMessage2.Get(), "");
  EXPECT_EQ(r.ReceivablesBalance.Get(), "0.00");
  EXPECT_EQ(r.MainBitmapOn, 1);
  EXPECT_EQ(r.MainBitmapFile.Get(), "vkt8.bmp");
  EXPECT_EQ(r.TaxRate.Get(), "0.000");
  EXPECT_EQ(r.CalcTaxes, 1);
  EXPECT_EQ(r.DefaultTerms.Get(), "Net 30 Days");
  EXPECT_EQ(r.NextInvoiceNo.Get(), "100");
  EXPECT_EQ(r.DefaultQuantity.Get(), "1.00");
  EXPECT_EQ(r.PrintDuplicateMark, 0);
  EXPECT_EQ(r.DateOrder.Get(), "M");
  EXPECT_EQ(r.NewInvoicePrintFlag, 0);
  EXPECT_EQ(r.NextCustomerNo.Get(), "1");
  EXPECT_EQ(r.EditorFontName.Get(), "Arial");
  EXPECT_EQ(r.EditorFontSize, 10);
  EXPECT_EQ(r.EditorFontStyle, kFontBold);
  EXPECT_EQ(r.EditorFontColor, 0xFF0000);
  EXPECT_EQ(r.ManagerFontName.Get(), "Courier New");
  EXPECT_EQ(r.ManagerFontSize, 10);
  EXPECT_EQ(r.ManagerFontStyle, 0);
  EXPECT_EQ(r.ManagerFontColor, 0);
  EXPECT_EQ(r.ShowButtonHints, 1);
  EXPECT_EQ(r.DefaultInvoiceKind.Get(), "P");
  EXPECT_EQ(r.AutoCopyShipping, 1);
  EXPECT_EQ(r.ShowAgingChart, 1);
  EXPECT_EQ(r.PrintLogo, 0);
  EXPECT_EQ(r.LogoFile.Get(), "");
  EXPECT_EQ(r.PrintPackingSlip, 0);
  EXPECT_EQ(r.PrintFileCopy, 0);
  EXPECT_EQ(r.Copies.Get(), "1");
  EXPECT_EQ(r.PrintReturnAddress.Get(), "Y");
  EXPECT_EQ(r.OmitCompanyOnForm.Get(), "N");
  EXPECT_EQ(r.AddressShift.Get(), "0");
  EXPECT_EQ(r.AuditTrail.Get(), "N");
  EXPECT_EQ(r.ReplyEMailAddress.Get(), "");
  EXPECT_EQ(r.SmtpServer.Get(), "");
  EXPECT_EQ(r.DefaultToEMail.Get(), "N");
  EXPECT_EQ(r.EMailLines.Get(), "Y");
  EXPECT_EQ(r.ShippingCaption.Get(), "Deliver To:");
  EXPECT_EQ(r.NoLargeInvoiceNo.Get(), "N");
  EXPECT_EQ(r.AgingDays1.Get(), "30");
  EXPECT_EQ(r.AgingDays2.Get(), "60");
  EXPECT_EQ(r.AgingDays3.Get(), "90");
  EXPECT_EQ(r.AgingCaption1.Get(), "Current:");
  EXPECT_EQ(r.AgingCaption2.Get(), "31-60:");
  EXPECT_EQ(r.AgingCaption3.Get(), "61-90:");
  EXPECT_EQ(r.EMailIncludeAll.Get(), "N");
  EXPECT_EQ(r.StatementNoteText.Get(), " ");
  EXPECT_EQ(r.LastAgingDate.Get(), " ");
  EXPECT_EQ(r.LastBatchPrintDate.Get(), " ");
  EXPECT_EQ(r.LastRepeatDate.Get(), " ");
  EXPECT_EQ(r.LastInterestDate.Get(), " ");
}

TEST(NewCompanyDefaultsTest, FirstCompanyIsCompleteAndKeyed) {
  const CompanyRecord r = FirstCompanyRecord("1", "My Company");
  EXPECT_EQ(r.DeleteMark, 0);
  EXPECT_EQ(r.CompanyNo.Get(), "1");
  EXPECT_EQ(r.CompanyName.Get(), "My Company");
  EXPECT_EQ(BuildKey(r, 1), "1    ");
  EXPECT_EQ(BuildKey(r, 2), "MY COMPANY" + std::string(20, ' '));
  // The program's own picture, as for every new company.
  EXPECT_EQ(r.MainBitmapOn, 1);
  EXPECT_EQ(r.MainBitmapFile.Get(), "vkt8.bmp");
  EXPECT_EQ(r.YearMonthPrefix.Get(), "N");
  EXPECT_EQ(r.LabelOnNewInvoice.Get(), "N");
  EXPECT_EQ(r.LabelOnBatchPrint.Get(), "N");
  EXPECT_EQ(r.BackupPromptOnExit.Get(), "N");
  EXPECT_EQ(r.EnvelopeOrientation.Get(), "P");
  EXPECT_EQ(r.EnvelopeAddress.Get(), "B");
  EXPECT_EQ(r.DefaultTerms.Get(), "Net 30 Days");
  EXPECT_EQ(r.ReceivablesBalance.Get(), "0.00");
  // Ready to bill: captions, headings, fonts, envelope and form settings.
  EXPECT_EQ(r.InvoiceCaption.Get(), "INVOICE");
  EXPECT_EQ(r.StatementCaption.Get(), "STATEMENT");
  EXPECT_EQ(r.PackingSlipCaption.Get(), "PACKING SLIP");
  EXPECT_EQ(r.FileCopyCaption.Get(), "FILE COPY");
  EXPECT_EQ(r.DescriptionHeading.Get(), "Description");
  EXPECT_EQ(r.ExtensionHeading.Get(), "Amount");
  for (const FontBlock& font : r.FormFonts) {
    EXPECT_EQ(font.Name.Get(), "Arial");
    EXPECT_GT(font.Size, 0);
  }
  EXPECT_EQ(r.FormFonts[kCaptionHeadersFont].Style, kFontBold);
  EXPECT_EQ(r.EnvelopeFontName.Get(), "Arial");
  EXPECT_EQ(r.EnvelopeFontSize, 12);
  EXPECT_EQ(r.EnvelopeLineSpacing.Get(), "60");
  EXPECT_EQ(r.EnvelopeSendLeft.Get(), "1200");
  EXPECT_EQ(r.LineWidth.Get(), "1");
  EXPECT_EQ(r.TopFormMargin.Get(), "0");
  EXPECT_EQ(r.MaxLines.Get(), "40");
  EXPECT_EQ(r.BoxInvoices, 1);
}

TEST(NewCompanyDefaultsTest, NewCompanyGetsFormSettingsOnlyWhereBlank) {
  // A current company from an older installation: some settings kept, the
  // rest never filled in.
  CompanyRecord r;
  r.InvoiceCaption.Set("BILL");
  r.FormFonts[kBodyTextFont].Name.Set("Times New Roman");
  r.FormFonts[kBodyTextFont].Size = 11;
  r.EnvelopeLeftMargin.Set("75");
  ApplyNewCompanyDefaults(r);
  EXPECT_EQ(r.InvoiceCaption.Get(), "BILL");
  EXPECT_EQ(r.FormFonts[kBodyTextFont].Name.Get(), "Times New Roman");
  EXPECT_EQ(r.FormFonts[kBodyTextFont].Size, 11);
  EXPECT_EQ(r.EnvelopeLeftMargin.Get(), "75");
  EXPECT_EQ(r.StatementCaption.Get(), "STATEMENT");
  EXPECT_EQ(r.QuantityHeading.Get(), "Quantity");
  EXPECT_EQ(r.FormFonts[kSalesMessageFont].Name.Get(), "Arial");
  EXPECT_EQ(r.EnvelopeTopMargin.Get(), "150");
  EXPECT_EQ(r.MaxLines.Get(), "40");
}

}  // namespace
}  // namespace tallybook::company
