#include "company/company_defaults.h"

#include "company/background.h"
#include "company/text.h"

namespace tallybook::company {

namespace {

template <int N>
void SetWhenBlank(PString<N>& field, std::string_view value) {
  if (Trim(field.View()).empty()) field.Set(value);
}

void SetFontWhenBlank(FontBlock& font, std::string_view name, int32_t size,
                      uint8_t style) {
  if (!Trim(font.Name.View()).empty() && font.Size > 0) return;
  font.Name.Set(name);
  font.Size = size;
  font.Color = kColorBlack;
  font.Style = style;
}

}  // namespace

void ApplyNewCompanyDefaults(CompanyRecord& r) {
  r.ReceivablesBalance.Set("0.00");
  r.CompanyName.Set("");
  r.CompanyAddress1.Set("");
  r.CompanyAddress2.Set("");
  r.CompanyAddress3.Set("");
  r.CompanyAddress4.Set("");
  r.CompanyAddress5.Set("");
  r.SalesMessage1.Set("");
  r.SalesMessage2.Set("");
  r.SalesMessage3.Set("");
  r.SalesMessage4.Set("");
  r.MainBitmapOn = 1;
  r.MainBitmapFile.Set(kDefaultBackgroundFile);
  r.TaxRate.Set("0.000");
  r.CalcTaxes = 1;
  r.DefaultTerms.Set("Net 30 Days");
  r.NextInvoiceNo.Set("100");
  r.DefaultQuantity.Set("1.00");
  r.PrintDuplicateMark = 0;
  r.DateOrder.Set("M");
  r.NewInvoicePrintFlag = 0;
  r.NextCustomerNo.Set("1");

  r.EditorFontName.Set("Arial");
  r.EditorFontSize = 10;
  r.EditorFontStyle = kFontBold;
  r.EditorFontColor = kColorBlue;
  r.ManagerFontName.Set("Courier New");
  r.ManagerFontSize = 10;
  r.ManagerFontStyle = 0;
  r.ManagerFontColor = kColorBlack;

  r.ShowButtonHints = 1;
  r.DefaultInvoiceKind.Set("P");
  r.AutoCopyShipping = 1;
  r.ShowAgingChart = 1;
  r.PrintLogo = 0;
  r.LogoFile.Set("");
  r.PrintPackingSlip = 0;
  r.PrintFileCopy = 0;
  r.Copies.Set("1");
  r.PrintReturnAddress.Set("Y");
  r.OmitCompanyOnForm.Set("N");
  r.AddressShift.Set("0");
  r.AuditTrail.Set("N");
  r.ReplyEMailAddress.Set("");
  r.SmtpServer.Set("");
  r.DefaultToEMail.Set("N");
  r.EMailLines.Set("Y");
  r.ShippingCaption.Set("Deliver To:");
  r.NoLargeInvoiceNo.Set("N");
  r.AgingDays1.Set("30");
  r.AgingDays2.Set("60");
  r.AgingDays3.Set("90");
  r.AgingCaption1.Set("Current:");
  r.AgingCaption2.Set("31-60:");
  r.AgingCaption3.Set("61-90:");
  r.EMailIncludeAll.Set("N");
  r.StatementNoteText.Set(" ");
  r.LastAgingDate.Set(" ");
  r.LastBatchPrintDate.Set(" ");
  r.LastRepeatDate.Set(" ");
  r.LastInterestDate.Set(" ");
  FillBlankFormSettings(r);
}

void FillBlankFormSettings(CompanyRecord& r) {
  SetWhenBlank(r.InvoiceCaption, "INVOICE");
  SetWhenBlank(r.StatementCaption, "STATEMENT");
  SetWhenBlank(r.PackingSlipCaption, "PACKING SLIP");
  SetWhenBlank(r.FileCopyCaption, "FILE COPY");
  SetWhenBlank(r.ProductCodeHeading, "Product Code");
  SetWhenBlank(r.QuantityHeading, "Quantity");
  SetWhenBlank(r.DescriptionHeading, "Description");
  SetWhenBlank(r.UnitPriceHeading, "Unit Price");
  SetWhenBlank(r.ExtensionHeading, "Amount");
  SetWhenBlank(r.TaxHeading, "Sales Tax");
  SetWhenBlank(r.MemoHeader, "Description");
  SetWhenBlank(r.ShippingCaption, "Deliver To:");

  SetFontWhenBlank(r.FormFonts[kBodyTextFont], "Arial", 10, 0);
  SetFontWhenBlank(r.FormFonts[kCaptionHeadersFont], "Arial", 16, kFontBold);
  SetFontWhenBlank(r.FormFonts[kCompanyAddressFont], "Arial", 11, kFontBold);
  SetFontWhenBlank(r.FormFonts[kCustomerAddressFont], "Arial", 10, 0);
  SetFontWhenBlank(r.FormFonts[kAgingAnalysisFont], "Arial", 9, 0);
  SetFontWhenBlank(r.FormFonts[kSalesMessageFont], "Arial", 10, kFontItalic);

  // Envelope and form positions are in printer dots (300 to the inch).
  if (Trim(r.EnvelopeFontName.View()).empty() || r.EnvelopeFontSize <= 0) {
    r.EnvelopeFontName.Set("Arial");
    r.EnvelopeFontSize = 12;
    r.EnvelopeFontColor = kColorBlack;
    r.EnvelopeFontStyle = 0;
  }
  SetWhenBlank(r.EnvelopeLineSpacing, "60");
  SetWhenBlank(r.EnvelopeLeftMargin, "150");
  SetWhenBlank(r.EnvelopeTopMargin, "150");
  SetWhenBlank(r.EnvelopeSendLeft, "1200");
  SetWhenBlank(r.EnvelopeOrientation, "P");
  SetWhenBlank(r.EnvelopeAddress, "B");

  SetWhenBlank(r.LineWidth, "1");
  SetWhenBlank(r.BoxTop, "0");
  SetWhenBlank(r.TopFormMargin, "0");
  SetWhenBlank(r.LeftFormMargin, "0");
  SetWhenBlank(r.MaxLines, "40");
}

CompanyRecord FirstCompanyRecord(std::string_view company_no,
                                 std::string_view company_name) {
  CompanyRecord r;
  ApplyNewCompanyDefaults(r);
  r.CompanyNo.Set(company_no);
  r.CompanyName.Set(company_name);
  r.YearMonthPrefix.Set("N");
  r.LabelOnNewInvoice.Set("N");
  r.LabelOnBatchPrint.Set("N");
  r.BackupPromptOnExit.Set("N");
  r.EnvelopeOrientation.Set("P");
  r.EnvelopeAddress.Set("B");
  r.PrintVerticalLines = 1;
  r.BoxInvoices = 1;
  r.BoxStatements = 1;
  r.PrintProductCodes = 1;
  r.PrintCustomerAging = 1;
  r.PrintSalesMessage = 1;
  return r;
}

}  // namespace tallybook::company
