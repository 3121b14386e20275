// A company on disk with invoices, for the invoice output tests: customer
// "C1" (with addresses, e-mail and aging), company options set for output,
// and helpers that add line-item, memo and payment records through the
// data-access layer as the bookkeeping writes them.
#ifndef TALLYBOOK_OUTPUT_OUTPUT_TEST_SUPPORT_H_
#define TALLYBOOK_OUTPUT_OUTPUT_TEST_SUPPORT_H_

#include <string>
#include <vector>

#include "company/aging_test_support.h"
#include "company/text.h"

namespace tallybook::output::testing {

class InvoiceCompany : public company::testing::CompanyOnDisk {
 protected:
  void SetUp() override {
    CompanyOnDisk::SetUp();
    if (HasFatalFailure()) return;
    company::CompanyRecord co = app_->CurrentCompany;
    co.CompanyName.Set("Acme Supply");
    co.CompanyAddress1.Set("1 Main Street");
    co.CompanyAddress2.Set("Springfield");
    co.CompanyAddress3.Set("");
    co.CompanyAddress4.Set("");
    co.CompanyAddress5.Set("");
    co.InvoiceCaption.Set("INVOICE");
    co.PackingSlipCaption.Set("PACKING SLIP");
    co.FileCopyCaption.Set("FILE COPY");
    co.ProductCodeHeading.Set("Code");
    co.QuantityHeading.Set("Qty");
    co.DescriptionHeading.Set("Description");
    co.UnitPriceHeading.Set("Unit Cost");
    co.ExtensionHeading.Set("Amount");
    co.TaxHeading.Set("Tax:");
    co.MemoHeader.Set("Services rendered");
    co.ShippingCaption.Set("Deliver To:");
    co.ReplyEMailAddress.Set("billing@acme.example");
    co.SmtpServer.Set("127.0.0.1:1");
    co.EMailLines.Set("Y");
    co.EMailIncludeAll.Set("N");
    co.PrintDuplicateMark = 1;
    co.PrintPackingSlip = 0;
    co.PrintFileCopy = 0;
    co.PrintCustomerAging = 0;
    co.PrintSalesMessage = 0;
    co.PrintProductCodes = 1;
    co.LetterheadStyle = 0;
    co.LabelOnBatchPrint.Set("N");
    co.Copies.Set("1");
    co.DateOrder.Set("M");
    StoreCompany(co);
    AddFullCustomer("C1", "Joe's Hardware", "joe@customer.example");
  }

  void AddFullCustomer(const std::string& no, const std::string& name,
                       const std::string& email) {
    company::CustomerAccess customers(*app_);
    ASSERT_TRUE(customers.OpenCompanyFile());
    customers.ClearRecord();
    company::CustomerRecord& c = customers.rec();
    c.CustomerNo.Set(no);
    c.CustomerName.Set(name);
    c.Balance.Set("0.00");
    c.BillAddress1.Set("PO Box 9");
    c.BillAddress2.Set("Shelbyville");
    c.ShipAddress1.Set("22 Dock Road");
    c.ShipAddress2.Set("Shelbyville");
    c.AgingCurrent.Set("1234.5");
    c.Aging2.Set("0.00");
    c.Aging3.Set("10");
    c.Aging4.Set("0.00");
    c.EMailAddress.Set(email);
    c.MailListCode.Set("ZONE1");
    c.CustomerType.Set("Retail");
    c.NotesOnInvoices.Set("N");
    int32_t rec_no = 0;
    ASSERT_TRUE(customers.AddWithKeys(rec_no));
    customers.Close();
  }

  // Adds a transaction record; returns its record number.
  int32_t AddInvoice(const std::string& no, const std::string& kind,
                     const std::string& type, const std::string& grand,
                     const std::string& tax, const std::string& paid = "0.00",
                     const std::string& printed = "N",
                     const std::string& customer = "C1") {
    company::TransactionAccess t(*app_);
    EXPECT_TRUE(t.OpenCompanyFile());
    t.ClearRecord();
    company::TransactionRecord& r = t.rec();
    r.InvoiceNo.Set(no);
    r.TypeCode.Set(type);
    r.KeyCode.Set("None");
    r.CustomerNo.Set(customer);
    r.CompanyNo.Set("1");
    r.DateText.Set("06/01/2024");
    r.SortDate.Set("2024/06/01");
    r.PrintedFlag.Set(printed);
    r.InvoiceNotes.Set("PO 77");
    r.InvoiceTerms.Set("Net 30 Days");
    r.InvoiceKind.Set(kind);
    r.GrandTotal.Set(grand);
    r.TaxAmount.Set(tax);
    r.NetAmount.Set("0.00");
    r.PaidAmount.Set(paid);
    r.AmountDue.Set(grand);
    r.PaidSortDate.Set(" ");
    r.PaidStatus.Set(" ");
    int32_t rec_no = 0;
    EXPECT_TRUE(t.AddWithKeys(rec_no));
    t.Close();
    return rec_no;
  }

  // A payment record under an invoice number as posting writes it: the
  // payment's date (07/15/2024), no terms or reference, not printed.
  int32_t AddPaymentRecord(const std::string& no, const std::string& type,
                           const std::string& paid) {
    const int32_t rec_no = AddInvoice(no, "P", type, "0.00", "0.00", paid);
    company::TransactionAccess t(*app_);
    EXPECT_TRUE(t.OpenCompanyFile());
    EXPECT_TRUE(t.GetRecord(rec_no));
    const company::TransactionRecord before = t.rec();
    company::TransactionRecord& r = t.rec();
    r.DateText.Set("07/15/2024");
    r.SortDate.Set("2024/07/15");
    r.PaidSortDate.Set("2024/07/15");
    r.InvoiceNotes.Set("");
    r.InvoiceTerms.Set("");
    r.AmountDue.Set("0.00");
    EXPECT_TRUE(t.ModifyWithKeys(rec_no, before));
    t.Close();
    return rec_no;
  }

  // A line: quantity, description, unit price, tax flag, amount as the
  // editor stores them in LineText.
  void AddLine(const std::string& no, const std::string& code,
               const std::string& qty, const std::string& desc,
               const std::string& price, const std::string& tax,
               const std::string& amount) {
    company::LineAccess lines(*app_);
    EXPECT_TRUE(lines.OpenCompanyFile());
    lines.ClearRecord();
    company::LineRecord& l = lines.rec();
    std::string text = company::PadRight(qty, 10).substr(0, 10) +
                       company::PadRight(desc, 32).substr(0, 32) +
                       company::PadRight(price, 10).substr(0, 10) +
                       company::PadRight(tax, 1).substr(0, 1) +
                       company::PadRight(amount, 10).substr(0, 10);
    l.LineText.Set(text);
    l.LineKind.Set("P");
    l.CompanyNo.Set("1");
    l.InvoiceNo.Set(no);
    l.InvoiceSortDate.Set("2024/06/01");
    l.LineProductCode.Set(code);
    l.CustomerNo.Set("C1");
    int32_t rec_no = 0;
    EXPECT_TRUE(lines.AddWithKeys(rec_no));
    lines.Close();
  }

  void AddMemo(const std::string& no, const std::vector<std::string>& text) {
    company::MemoAccess memos(*app_);
    EXPECT_TRUE(memos.OpenCompanyFile());
    memos.ClearRecord();
    memos.rec().InvoiceNo.Set(no);
    for (size_t i = 0; i < text.size() && i < 25; ++i) {
      memos.rec().MemoLines[i].Set(text[i]);
    }
    int32_t rec_no = 0;
    EXPECT_TRUE(memos.AddWithKeys(rec_no));
    memos.Close();
  }

  // A two-line invoice 1001: 1.5 x widget at 1234, 2 x bolt at 2.125.
  void AddStandardInvoice(const std::string& no = "1001",
                          const std::string& printed = "N") {
    AddInvoice(no, "P", "I", "1855.25", "4.00", "0.00", printed);
    AddLine(no, "WID-1", "1.5", "Widget, large", "1234", "Y", "1851.00");
    AddLine(no, "BLT", "2", "Bolt", "2.125", "N", "4.25");
  }

  company::TransactionRecord Transaction(int32_t rec_no) {
    return Read<company::TransactionAccess>(rec_no);
  }
};

}  // namespace tallybook::output::testing

#endif  // TALLYBOOK_OUTPUT_OUTPUT_TEST_SUPPORT_H_
