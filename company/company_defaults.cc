#include "company/company_defaults.h"

namespace tallybook::company {

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
  r.MainBitmapFile.Set("vkt8.bmp");
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
}

CompanyRecord FirstCompanyRecord(std::string_view company_no,
                                 std::string_view company_name) {
  CompanyRecord r;
  ApplyNewCompanyDefaults(r);
  r.CompanyNo.Set(company_no);
  r.CompanyName.Set(company_name);
  r.MainBitmapOn = 0;
  r.MainBitmapFile.Set("");
  r.YearMonthPrefix.Set("N");
  r.LabelOnNewInvoice.Set("N");
  r.LabelOnBatchPrint.Set("N");
  r.BackupPromptOnExit.Set("N");
  r.EnvelopeOrientation.Set("P");
  r.EnvelopeAddress.Set("B");
  return r;
}

}  // namespace tallybook::company
