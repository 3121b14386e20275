#include "output/invoice_print.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "output/output_test_support.h"

namespace tallybook::output {
namespace {

using platform::testing::RecordedJob;

class InvoicePrintTest : public testing::InvoiceCompany {
 protected:
  const RecordedJob& Print(const std::string& no, PrintMode mode) {
    InvoiceImage image;
    EXPECT_EQ(BuildInvoiceImage(*app_, no, &image), ImageRead::kOk);
    const platform::PrintJobStatus status = PrintInvoiceCopy(
        ui_->printer, app_->CurrentCompany, image, mode, dir_);
    EXPECT_TRUE(status.ok) << status.error;
    return ui_->printer.last_job();
  }
  static bool Has(const RecordedJob& job, const std::string& text,
                  int page = 0) {
    const std::vector<std::string> texts = job.Texts(page);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
};

TEST_F(InvoicePrintTest, InvoiceShowsCaptionAddressesTableAndTotals) {
  AddStandardInvoice();
  const RecordedJob& job = Print("1001", PrintMode::kInvoice);
  EXPECT_EQ(job.title, "Invoice - 1001");
  EXPECT_EQ(job.pages, 1);
  for (const char* text :
       {"INVOICE", "Acme Supply", "1 Main Street", "Joe's Hardware",
        "Deliver To:", "22 Dock Road", "Date: 06/01/2024", "Number: 1001",
        "Account Number: C1", "Payment Terms: Net 30 Days", "Reference: PO 77",
        "Code", "Qty", "Description", "Unit Cost", "T", "Amount", "WID-1",
        "1.5", "Widget, large", "1,234", "1,851.00", "2.125", "4.25",
        "Total:", "1,851.25", "Tax:", "4.00", "Grand Total:", "1,855.25",
        "Paid Amount:", "0.00", "Balance Due:"}) {
    EXPECT_TRUE(Has(job, text)) << text;
  }
  EXPECT_FALSE(Has(job, kDuplicateBanner));
  EXPECT_FALSE(Has(job, kCreditBanner));
  // The unit price is drawn right of the description, in the same row.
  const platform::testing::DrawCall* desc = job.FindText("Widget, large");
  const platform::testing::DrawCall* price = job.FindText("1,234");
  ASSERT_TRUE(desc && price);
  EXPECT_EQ(desc->y1, price->y1);
  EXPECT_GT(price->x1, desc->x1);
}

TEST_F(InvoicePrintTest, DuplicateBannerOnlyOnReprint) {
  AddStandardInvoice("1001", "N");
  AddStandardInvoice("1002", "Y");
  EXPECT_FALSE(Has(Print("1001", PrintMode::kInvoice), kDuplicateBanner));
  EXPECT_TRUE(Has(Print("1002", PrintMode::kInvoice), kDuplicateBanner));
  company::CompanyRecord co = app_->CurrentCompany;
  co.PrintDuplicateMark = 0;
  StoreCompany(co);
  EXPECT_FALSE(Has(Print("1002", PrintMode::kInvoice), kDuplicateBanner));
}

TEST_F(InvoicePrintTest, PartPaidReprintShowsTheInvoicesDateAndTheBanner) {
  AddInvoice("1001", "P", "Z", "1855.25", "4.00", "0.00", "Y");
  AddLine("1001", "WID-1", "1.5", "Widget, large", "1234", "Y", "1851.00");
  AddPaymentRecord("1001", "X", "55.25");
  const RecordedJob& job = Print("1001", PrintMode::kInvoice);
  EXPECT_TRUE(Has(job, kDuplicateBanner));
  EXPECT_TRUE(Has(job, "Date: 06/01/2024"));
  EXPECT_TRUE(Has(job, "Payment Terms: Net 30 Days"));
  EXPECT_TRUE(Has(job, "Reference: PO 77"));
  EXPECT_TRUE(Has(job, "Widget, large"));
}

// Cells once ran into the next column when their text was wider.
TEST_F(InvoicePrintTest, TableCellsStayInsideTheirColumns) {
  AddInvoice("1001", "P", "I", "10.00", "0.00");
  AddLine("1001", "BULK-SAND1", "1234567.5", "Sand, washed, by the tonne, dry",
          "1234567.89", "Y", "9999999.99");
  const RecordedJob& job = Print("1001", PrintMode::kInvoice);
  const platform::testing::DrawCall* desc =
      job.FindText("Sand, washed, by the tonne, dry");
  ASSERT_NE(desc, nullptr);
  std::vector<const platform::testing::DrawCall*> row;
  for (const platform::testing::DrawCall& call : job.calls) {
    if (call.op == platform::testing::DrawOp::kText && call.y1 == desc->y1) {
      row.push_back(&call);
    }
  }
  ASSERT_EQ(row.size(), 6u);
  std::sort(row.begin(), row.end(),
            [](auto* a, auto* b) { return a->x1 < b->x1; });
  for (size_t i = 0; i + 1 < row.size(); ++i) {
    EXPECT_LT(row[i]->x2, row[i + 1]->x1)
        << row[i]->text << " runs into " << row[i + 1]->text;
  }
  // Numbers too wide for their column lose their separators, never digits.
  EXPECT_EQ(row[1]->text, "1234567.5");
  EXPECT_EQ(row[3]->text, "1234567.89");
  EXPECT_EQ(row[5]->text, "9,999,999.99");
}

TEST_F(InvoicePrintTest, PackingSlipMasksAmountsAndHasNoTotals) {
  AddStandardInvoice();
  company::CompanyRecord co = app_->CurrentCompany;
  co.PrintCustomerAging = 1;
  StoreCompany(co);
  const RecordedJob& job = Print("1001", PrintMode::kPackingSlip);
  EXPECT_EQ(job.title, "Packing Slip - 1001");
  EXPECT_TRUE(Has(job, "PACKING SLIP"));
  EXPECT_FALSE(Has(job, "INVOICE"));
  const std::vector<std::string> texts = job.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), kMaskedAmount), 4);
  EXPECT_TRUE(Has(job, kPackingSlipNote));
  for (const char* gone : {"Total:", "Grand Total:", "Balance Due:",
                           "1,234", "1,851.00", kAccountStatus}) {
    EXPECT_FALSE(Has(job, gone)) << gone;
  }
}

TEST_F(InvoicePrintTest, NegativeBalancePrintsTheCreditBanner) {
  AddInvoice("C9", "P", "I", "10.00", "0.00", "25.00");
  AddLine("C9", "X1", "1", "Returned goods", "10", "N", "10.00");
  const RecordedJob& job = Print("C9", PrintMode::kInvoice);
  EXPECT_TRUE(Has(job, kCreditBanner));
  EXPECT_FALSE(Has(job, "INVOICE"));
  EXPECT_TRUE(Has(job, "-15.00"));
  // The file copy keeps its own caption.
  EXPECT_TRUE(Has(Print("C9", PrintMode::kFileCopy), "FILE COPY"));
}

TEST_F(InvoicePrintTest, SixtyLinesBreakPagesWithTheContinuationLine) {
  AddInvoice("L60", "P", "I", "60.00", "0.00");
  for (int i = 1; i <= 60; ++i) {
    char code[8];
    std::snprintf(code, sizeof(code), "P%02d", i);
    AddLine("L60", code, "1", std::string("Item ") + code, "1", "N", "1.00");
  }
  const RecordedJob& job = Print("L60", PrintMode::kInvoice);
  ASSERT_GE(job.pages, 2);
  EXPECT_TRUE(Has(job, "Continued on page number 2 ...", 1));
  EXPECT_TRUE(Has(job, "page number 2", 2));
  EXPECT_TRUE(Has(job, "INVOICE", 2));  // the header again
  EXPECT_TRUE(Has(job, "Item P01", 1));
  EXPECT_TRUE(Has(job, "Item P60", job.pages));
  EXPECT_FALSE(Has(job, "Item P60", 1));
  // Every line printed once, and the totals only at the end.
  const std::vector<std::string> texts = job.Texts();
  for (int i = 1; i <= 60; ++i) {
    char desc[16];
    std::snprintf(desc, sizeof(desc), "Item P%02d", i);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), desc), 1) << desc;
  }
  EXPECT_FALSE(Has(job, "Grand Total:", 1));
  EXPECT_TRUE(Has(job, "Grand Total:", job.pages));
  // Nothing is drawn below the page.
  for (const auto& call : job.calls) {
    EXPECT_LT(call.y1, platform::testing::RecordingCanvas::kPageHeight)
        << call.text;
  }
}

TEST_F(InvoicePrintTest, LetterheadStyleLeavesTheHeaderEmpty) {
  company::CompanyRecord co = app_->CurrentCompany;
  co.LetterheadStyle = 1;
  StoreCompany(co);
  AddStandardInvoice();
  const RecordedJob& normal = Print("1001", PrintMode::kInvoice);
  EXPECT_FALSE(Has(normal, "INVOICE"));
  EXPECT_FALSE(Has(normal, "Acme Supply"));
  EXPECT_FALSE(Has(normal, "1 Main Street"));
  EXPECT_TRUE(Has(normal, "Joe's Hardware"));
  // The address block starts nine body lines down all the same.
  const int line = platform::testing::RecordingCanvas::LineHeight(
      normal.FindText("Date: 06/01/2024")->font);
  EXPECT_GE(normal.FindText("Joe's Hardware")->y1, 9 * line);

  AddInvoice("R1", "P", "R", "5.00", "0.00");
  EXPECT_TRUE(Has(Print("R1", PrintMode::kInvoice), kRepeatMasterTitle));
}

TEST_F(InvoicePrintTest, OmittedCompanyAndCodelessTable) {
  company::CompanyRecord co = app_->CurrentCompany;
  co.OmitCompanyOnForm.Set("Y");
  co.PrintProductCodes = 0;
  StoreCompany(co);
  AddStandardInvoice();
  const RecordedJob& job = Print("1001", PrintMode::kInvoice);
  EXPECT_TRUE(Has(job, "INVOICE"));
  EXPECT_FALSE(Has(job, "Acme Supply"));
  EXPECT_FALSE(Has(job, "WID-1"));
  EXPECT_FALSE(Has(job, "Code"));
  EXPECT_TRUE(Has(job, "Widget, large"));
}

TEST_F(InvoicePrintTest, MemoInvoicePrintsMemoLinesAndMovesTotalsDown) {
  AddInvoice("M2", "M", "I", "80.00", "0.00");
  AddMemo("M2", {"Consulting, May", "Second line"});
  const RecordedJob& job = Print("M2", PrintMode::kInvoice);
  EXPECT_TRUE(Has(job, "Services rendered"));
  const platform::testing::DrawCall* memo = job.FindText("Consulting, May");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->font.size_points,
            job.FindText("Date: 06/01/2024")->font.size_points + 2);
  const platform::testing::DrawCall* total = job.FindText("Grand Total:");
  ASSERT_NE(total, nullptr);
  const int line = platform::testing::RecordingCanvas::LineHeight(total->font);
  EXPECT_GE(total->y1, platform::testing::RecordingCanvas::kPageHeight -
                           (14 * line + 100));
}

}  // namespace
}  // namespace tallybook::output
