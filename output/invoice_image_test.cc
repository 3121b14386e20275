#include "output/invoice_image.h"

#include <gtest/gtest.h>

#include <fstream>

#include "output/output_test_support.h"
#include "store/data_file.h"

namespace tallybook::output {
namespace {

TEST(DecimalPreservingTest, KeepsTheDecimalsAsEntered) {
  EXPECT_EQ(DecimalPreserving("1.5"), "1.5");
  EXPECT_EQ(DecimalPreserving("1234"), "1,234");
  EXPECT_EQ(DecimalPreserving("2.125"), "2.125");
  EXPECT_EQ(DecimalPreserving(" 1,234.50 "), "1,234.50");
  EXPECT_EQ(DecimalPreserving("0.12345"), "0.1235");
  EXPECT_EQ(DecimalPreserving("7."), "7.0");
  EXPECT_EQ(DecimalPreserving("-3"), "-3");
  EXPECT_EQ(DecimalPreserving("n/a"), "n/a");
  EXPECT_EQ(DecimalPreserving(""), "");
}

class InvoiceImageTest : public testing::InvoiceCompany {};

TEST_F(InvoiceImageTest, PartialPaymentsOfTheSameNumberAreSummed) {
  AddStandardInvoice();
  AddInvoice("1001", "P", "X", "0.00", "0.00", "55.25");
  AddInvoice("1001", "P", "X", "0.00", "0.00", "100.00");
  InvoiceImage image;
  ASSERT_EQ(BuildInvoiceImage(*app_, " 1001 ", &image), ImageRead::kOk);
  EXPECT_EQ(image.paid, "      155.25");
  EXPECT_EQ(image.balance_due, "    1,700.00");
  EXPECT_EQ(image.grand_total, "    1,855.25");
  EXPECT_EQ(image.total, "    1,851.25");
  EXPECT_EQ(image.tax, "        4.00");
}

// The header once came from the last record under the number: a part-paid
// invoice showed its payment's date, blank terms and reference, the
// payment's type and printed flag (so a reprint had no duplicate banner).
TEST_F(InvoiceImageTest, HeaderFieldsComeFromTheInvoicesOwnRecord) {
  AddInvoice("1001", "P", "Z", "1855.25", "4.00", "0.00", "Y");
  AddPaymentRecord("1001", "X", "55.25");
  InvoiceImage image;
  ASSERT_EQ(BuildInvoiceImage(*app_, "1001", &image), ImageRead::kOk);
  EXPECT_EQ(image.type_code, "Z");
  EXPECT_EQ(image.date, "06/01/2024");
  EXPECT_EQ(image.terms, "Net 30 Days");
  EXPECT_EQ(image.reference, "PO 77");
  EXPECT_EQ(image.invoice_kind, "P");
  EXPECT_EQ(image.printed_flag, "Y");
  EXPECT_EQ(image.paid, "       55.25");
  // The paid date stays the last record's.
  EXPECT_EQ(image.paid_date, "07/15/2024");

  // A deposit taken under its number: the deposit is the record's own.
  AddInvoice("DP1", "D", "D", "0.00", "0.00", "250.00", "N");
  AddPaymentRecord("DP1", "T", "-250.00");
  ASSERT_EQ(BuildInvoiceImage(*app_, "DP1", &image), ImageRead::kOk);
  EXPECT_EQ(image.type_code, "D");
  EXPECT_EQ(image.date, "06/01/2024");

  // Only payments under a number: the first of them.
  AddPaymentRecord("ORPHAN", "X", "5.00");
  ASSERT_EQ(BuildInvoiceImage(*app_, "ORPHAN", &image), ImageRead::kOk);
  EXPECT_EQ(image.type_code, "X");
  EXPECT_EQ(image.date, "07/15/2024");
}

TEST(NumberInWidthTest, SeparatorsGoBeforeDigitsDo) {
  EXPECT_EQ(NumberInWidth("1,234.5", 10), "   1,234.5");
  EXPECT_EQ(NumberInWidth("1,234,567.5", 10), " 1234567.5");
  EXPECT_EQ(NumberInWidth("12,345,678,901", 10), "##########");
}

TEST_F(InvoiceImageTest, LongQuantityKeepsItsDigitsInTheBodyLine) {
  AddInvoice("1003", "P", "I", "10.00", "0.00");
  AddLine("1003", "BULK", "1234567.5", "Sand", "0.01", "N", "12345.68");
  InvoiceImage image;
  ASSERT_EQ(BuildInvoiceImage(*app_, "1003", &image), ImageRead::kOk);
  EXPECT_EQ(ReadBodyColumns(image.body[0]).quantity, "1234567.5");
}

TEST_F(InvoiceImageTest, BodyLinesAndCustomerFields) {
  AddStandardInvoice();
  InvoiceImage image;
  ASSERT_EQ(BuildInvoiceImage(*app_, "1001", &image), ImageRead::kOk);
  ASSERT_EQ(image.body_count, 2);
  EXPECT_EQ(image.body[0],
            "WID-1             1.5 Widget, large                           "
            "1234 Y      1851.00");
  const BodyColumns c = ReadBodyColumns(image.body[1]);
  EXPECT_EQ(c.product_code, "BLT");
  EXPECT_EQ(c.quantity, "2");
  EXPECT_EQ(c.description, "Bolt");
  EXPECT_EQ(c.unit_price, "2.125");
  EXPECT_EQ(c.taxable, "N");
  EXPECT_EQ(c.extension, "4.25");
  EXPECT_EQ(image.bill_to_name, "Joe's Hardware");
  EXPECT_EQ(image.shipping[0], "22 Dock Road");
  EXPECT_EQ(image.aging[0], "1,234.50    ");
  EXPECT_EQ(image.email_address, "joe@customer.example");
}

TEST_F(InvoiceImageTest, PaidDateFollowsTheCompanyDateOrder) {
  const int32_t rec = AddInvoice("1002", "P", "I", "10.00", "0.00", "10.00");
  company::TransactionAccess t(*app_);
  ASSERT_TRUE(t.OpenCompanyFile());
  ASSERT_TRUE(t.GetRecord(rec));
  const company::TransactionRecord before = t.rec();
  t.rec().PaidSortDate.Set("2024/06/09");
  ASSERT_TRUE(t.ModifyWithKeys(rec, before));
  t.Close();
  InvoiceImage image;
  ASSERT_EQ(BuildInvoiceImage(*app_, "1002", &image), ImageRead::kOk);
  EXPECT_EQ(image.paid_date, "06/09/2024");
  app_->CurrentCompany.DateOrder.Set("D");
  ASSERT_EQ(BuildInvoiceImage(*app_, "1002", &image), ImageRead::kOk);
  EXPECT_EQ(image.paid_date, "09/06/2024");
}

TEST_F(InvoiceImageTest, MissingInvoiceAndMissingMemo) {
  InvoiceImage image;
  EXPECT_EQ(BuildInvoiceImage(*app_, "404", &image), ImageRead::kNotFound);
  AddInvoice("M1", "M", "I", "10.00", "0.00");
  ASSERT_EQ(BuildInvoiceImage(*app_, "m1", &image), ImageRead::kOk);
  EXPECT_TRUE(image.memo);
  EXPECT_TRUE(image.memo_missing);
  EXPECT_EQ(image.body[0], "");
}

TEST_F(InvoiceImageTest, StoreErrorOfAFailedFileOutlivesClosingTheFiles) {
  // The files are closed before the caller sees the failure, and a clean
  // close resets the store's status: the image keeps the error ("error 0"
  // reached the user before).
  AddStandardInvoice();
  {
    std::fstream dat(app_->PathOf("1D.DAT"),
                     std::ios::binary | std::ios::in | std::ios::out);
    dat.seekp(store::kInUpdateOffset);
    dat.put(1);
  }
  ui_->messages.ExpectMessage(company::kIndexDefective, platform::Answer::kNo);
  InvoiceImage image;
  ASSERT_EQ(BuildInvoiceImage(*app_, "1001", &image), ImageRead::kFileFailed);
  EXPECT_EQ(image.store_error, 10010);
  EXPECT_EQ(FileFailedText(image),
            "The invoice files could not be read: 1D.DAT (error 10010).");
}

TEST_F(InvoiceImageTest, AtMostNinetyNineLinesTakePart) {
  AddInvoice("BIG", "P", "I", "0.00", "0.00");
  for (int i = 0; i < 101; ++i) {
    AddLine("BIG", "P" + std::to_string(i), "1", "Item", "1", "N", "1.00");
  }
  InvoiceImage image;
  ASSERT_EQ(BuildInvoiceImage(*app_, "BIG", &image), ImageRead::kOk);
  EXPECT_EQ(image.body_count, 99);
}

}  // namespace
}  // namespace tallybook::output
