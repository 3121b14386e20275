#include "output/invoice_email.h"

#include <gtest/gtest.h>

#include "output/output_test_support.h"

namespace tallybook::output {
namespace {

const std::string kDashes(82, '-');

class InvoiceEmailTest : public testing::InvoiceCompany {
 protected:
  InvoiceImage Image(const std::string& no) {
    InvoiceImage image;
    EXPECT_EQ(BuildInvoiceImage(*app_, no, &image), ImageRead::kOk);
    return image;
  }
};

TEST_F(InvoiceEmailTest, LineItemInvoiceTextLineForLine) {
  AddStandardInvoice();
  const InvoiceEmail mail = ComposeInvoiceEmail(app_->CurrentCompany, Image("1001"));
  ASSERT_TRUE(mail.send);
  EXPECT_EQ(mail.from, "billing@acme.example");
  EXPECT_EQ(mail.to, "joe@customer.example");
  EXPECT_EQ(mail.subject, "INVOICE - 1001");
  const std::vector<std::string> expected = {
      " ",
      "Acme Supply                            INVOICE",
      "1 Main Street",
      "Springfield",
      kDashes,
      "Joe's Hardware                        Deliver To:",
      "PO Box 9                              22 Dock Road",
      "Shelbyville                           Shelbyville",
      "                                      ",
      "                                      ",
      kDashes,
      "Date: 06/01/2024",
      "Number: 1001",
      "Account Number: C1",
      "Payment Terms: Net 30 Days",
      "Reference: PO 77",
      kDashes,
      "Code       Qty        Description                      Unit Cost   T     Extended",
      "---------- ---------- -------------------------------- ----------- - ------------",
      "WID-1             1.5 Widget, large                          1,234 Y     1,851.00",
      "BLT                 2 Bolt                                   2.125 N         4.25",
      kDashes,
      "Total:     1,851.25",
      "Tax:         4.00",
      "Grand Total:     1,855.25",
      "Paid Amount:         0.00",
      "Balance Due:     1,855.25",
  };
  EXPECT_EQ(mail.lines, expected);
}

TEST_F(InvoiceEmailTest, MemoInvoiceWithOptionsTextLineForLine) {
  company::CompanyRecord co = app_->CurrentCompany;
  co.EMailLines.Set("N");
  co.TaxHeading.Set("");
  co.PrintSalesMessage = 1;
  co.SalesMessage1.Set("Thank you!");
  co.SalesMessage2.Set("");
  co.SalesMessage3.Set("Ask about our spring sale.");
  co.SalesMessage4.Set("");
  co.PrintCustomerAging = 1;
  co.AgingCaption1.Set("Current:");
  co.AgingCaption2.Set("31-60:");
  co.AgingCaption3.Set("61-90:");
  co.AgingDays3.Set("90");
  StoreCompany(co);
  // Reprinted (duplicate banner) with a payment larger than the total
  // (credit banner), and a paid date in the company's order.
  AddInvoice("M7", "M", "I", "100.00", "0.00", "150.00", "Y");
  AddMemo("M7", {"Consulting, May", "", "Travel", "x"});
  InvoiceImage image = Image("M7");
  image.paid_date = "06/10/2024";
  const InvoiceEmail mail = ComposeInvoiceEmail(app_->CurrentCompany, image);
  const std::vector<std::string> expected = {
      "C R E D I T",
      " ",
      "** DUPLICATE INVOICE **",
      " ",
      "Acme Supply                            INVOICE",
      "1 Main Street",
      "Springfield",
      " ",
      "Joe's Hardware                        Deliver To:",
      "PO Box 9                              22 Dock Road",
      "Shelbyville                           Shelbyville",
      "                                      ",
      "                                      ",
      " ",
      "Date: 06/01/2024",
      "Number: M7",
      "Account Number: C1",
      "Payment Terms: Net 30 Days",
      "Reference: PO 77",
      " ",
      "Services rendered",
      " ",
      "Consulting, May",
      "",
      "Travel",
      // "x" holds only one character, so the text ends before it.
      " ",
      "Total:       100.00",
      "Grand Total:       100.00",
      "Paid Date: 06/10/2024",
      "Paid Amount:       150.00",
      "Balance Due:       -50.00",
      " ",
      "Thank you!",
      "Ask about our spring sale.",
      " ",
      "Account Status:",
      "  Current: 1,234.50    ",
      "    31-60: 0.00        ",
      "    61-90: 10.00       ",
      "  Over 90: 0.00        ",
  };
  EXPECT_EQ(mail.lines, expected);
}

TEST_F(InvoiceEmailTest, CustomerWithoutAddress) {
  AddFullCustomer("C2", "No Mail Inc", "");
  AddInvoice("2001", "P", "I", "10.00", "0.00", "0.00", "N", "C2");
  EXPECT_FALSE(ComposeInvoiceEmail(app_->CurrentCompany, Image("2001")).send);

  company::CompanyRecord co = app_->CurrentCompany;
  co.EMailIncludeAll.Set("Y");
  StoreCompany(co);
  const InvoiceEmail mail = ComposeInvoiceEmail(app_->CurrentCompany, Image("2001"));
  ASSERT_TRUE(mail.send);
  EXPECT_TRUE(mail.bad_address);
  EXPECT_EQ(mail.subject, "BAD CUSTOMER E-MAIL ADDRESS");
  EXPECT_EQ(mail.to, "billing@acme.example");
}

}  // namespace
}  // namespace tallybook::output
