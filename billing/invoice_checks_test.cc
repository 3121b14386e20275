#include "billing/invoice_checks.h"

#include <gtest/gtest.h>

#include "billing/invoice_test_support.h"

namespace tallybook::billing {
namespace {

using platform::Answer;
using platform::MessageKind;

class InvoiceChecksTest : public testing::InvoiceOnDisk {
 protected:
  void SetUp() override {
    InvoiceOnDisk::SetUp();
    terms_ = company::TermList(company::DefaultTerms());
    form_ = PrepareNewInvoice(*app_);
    FillInvoice(form_, "C1", {Line("", "2", "Work", "5", "N")});
    form_.terms = "net 30 days";  // listed, case aside
  }
  InvoiceCheckResult Check(const std::vector<std::string>& on_file = {}) {
    return CheckInvoiceForOk(*app_, form_, terms_,
                             [&](const std::string& number) {
                               return std::find(on_file.begin(), on_file.end(),
                                                number) != on_file.end();
                             });
  }

  company::TermList terms_;
  InvoiceForm form_;
};

TEST_F(InvoiceChecksTest, AGoodInvoicePassesAndEmptyPaidBecomesZero) {
  form_.paid = "";
  EXPECT_TRUE(Check().ok);
  EXPECT_EQ(form_.paid, "0.00");
}

TEST_F(InvoiceChecksTest, HeaderChecksComeFirstInOrder) {
  form_.invoice_no = " ";
  form_.customer_no = "";
  ui_->messages.ExpectMessage(kNeedInvoiceNumber)
      .WithCaption("Invoice Number")
      .WithKind(MessageKind::kWarning);
  EXPECT_EQ(Check().focus, InvoiceField::kInvoiceNo);
  form_.invoice_no = "5";
  ui_->messages.ExpectMessage(kNeedCustomer)
      .WithCaption("Customer Required")
      .WithKind(MessageKind::kInformation);
  EXPECT_EQ(Check().focus, InvoiceField::kCustomerButton);
  form_.customer_no = "C1";
  form_.date = "02/30/2024";
  ui_->messages.ExpectMessage(kInvalidInvoiceDate).WithCaption("Invoice Date");
  EXPECT_EQ(Check().focus, InvoiceField::kDate);
}

TEST_F(InvoiceChecksTest, LettersGAndIAreRefusedUnlessTheNumberHadThem) {
  form_.invoice_no = "12g";
  ui_->messages.ExpectMessage(kNoLetterG);
  EXPECT_FALSE(Check().ok);
  form_.invoice_no = "i12";
  ui_->messages.ExpectMessage(kNoLetterI);
  EXPECT_FALSE(Check().ok);
  // Editing a generated invoice keeps its G.
  app_->invoice_no_at_open = "G100";
  form_.invoice_no = "G100";
  EXPECT_TRUE(Check({"G100"}).ok);
}

TEST_F(InvoiceChecksTest, LineChecksNameTheLineAndTheCell) {
  form_.lines[2] = InvoiceLine{"", "1x", "Bad", "1", "N", "0.00"};
  ui_->messages.ExpectMessage(InvalidQuantityText(3));
  EXPECT_EQ(Check().focus, InvoiceField::kQuantity);
  form_.lines[2] = InvoiceLine{"", "", "No qty", "1", "N", "0.00"};
  ui_->messages.ExpectMessage("Line 3 has a unit price but no quantity.");
  auto r = Check();
  EXPECT_EQ(r.focus, InvoiceField::kQuantity);
  EXPECT_EQ(r.line, 3);
  form_.lines[2] = InvoiceLine{"", "1", "No price", "", "N", "0.00"};
  ui_->messages.ExpectMessage("Line 3 has a quantity but no unit price.");
  EXPECT_EQ(Check().focus, InvoiceField::kUnitPrice);
  form_.lines[2] = InvoiceLine{"", "1", "Bad price", "1,2x", "N", "0.00"};
  ui_->messages.ExpectMessage("Line 3 has an invalid UNIT PRICE value.");
  EXPECT_EQ(Check().focus, InvoiceField::kUnitPrice);
  // A comment line: description only.
  form_.lines[2] = InvoiceLine{"", " ", "Comment", "", " ", "0.00"};
  EXPECT_TRUE(Check().ok);

  ResetGrid(form_, app_->CurrentCompany);
  ComputeTotals(form_, "0", false);
  ui_->messages.ExpectMessage(kNeedDescription)
      .WithCaption("Description Required");
  EXPECT_FALSE(Check().ok);
}

TEST_F(InvoiceChecksTest, MemoChecks) {
  form_.kind = InvoiceKind::kMemo;
  form_.memo_description = "";
  ui_->messages.ExpectMessage(kNeedMemoDescription)
      .WithCaption("Product Description");
  EXPECT_EQ(Check().focus, InvoiceField::kMemoDescription);
  form_.memo_description = "Service";
  form_.memo_quantity = "lots";
  form_.memo = " \n \n";
  ui_->messages.ExpectMessage(kNeedMemoText).WithCaption("Memo Invoice Text");
  EXPECT_EQ(Check().focus, InvoiceField::kMemo);
  EXPECT_EQ(form_.memo_quantity, "1");
}

TEST_F(InvoiceChecksTest, DuplicateNumberUnlessItIsTheOneBeingEdited) {
  form_.invoice_no = "a7";
  ui_->messages.ExpectMessage(kDuplicateInvoice)
      .WithCaption("Duplicate Invoice: A7");
  EXPECT_EQ(Check({"A7"}).focus, InvoiceField::kInvoiceNo);
  app_->invoice_no_at_open = "A7";
  EXPECT_TRUE(Check({"A7"}).ok);
}

TEST_F(InvoiceChecksTest, AmountsTotalsPaidAndCreditLimit) {
  form_.paid = "abc";
  ui_->messages.ExpectMessage(kInvalidPaid);
  EXPECT_EQ(Check().focus, InvoiceField::kPaid);
  // An exponent is no amount; a third decimal would leave the balance a
  // cent away from the open items.
  form_.paid = "1e1";
  ui_->messages.ExpectMessage(kInvalidPaid);
  EXPECT_EQ(Check().focus, InvoiceField::kPaid);
  form_.paid = "10.005";
  ui_->messages.ExpectMessage("Paid Amount: 10.005 has more than two decimals.");
  EXPECT_EQ(Check().focus, InvoiceField::kPaid);

  form_.paid = "11";
  ComputeTotals(form_, "0", false);
  ui_->messages.ExpectMessage(kPaidExceedsTotal).WithCaption("Payment Amount");
  EXPECT_EQ(Check().focus, InvoiceField::kPaid);

  form_.paid = "0";
  form_.lines[0].unit_price = "0";
  UpdateExtension(form_.lines[0]);
  ComputeTotals(form_, "0", false);
  ui_->messages.ExpectMessage(kNoChargeQuestion, Answer::kNo)
      .WithCaption("Please Confirm");
  EXPECT_FALSE(Check().ok);
  ui_->messages.ExpectMessage(kNoChargeQuestion, Answer::kYes);
  EXPECT_TRUE(Check().ok);

  // Balance 90 + 20 due - 10 the invoice had at opening = 100: at the
  // limit, not over it; 20.01 due goes over.
  form_.lines[0].unit_price = "10";
  UpdateExtension(form_.lines[0]);
  ComputeTotals(form_, "0", false);
  form_.credit_limit = "100.00";
  form_.customer_balance = "90.00";
  app_->invoice_total_at_open = "10.00";
  EXPECT_TRUE(Check().ok);
  form_.lines[1] = InvoiceLine{"", "1", "Cent", "0.01", "N", "0.01"};
  ComputeTotals(form_, "0", false);
  ui_->messages.ExpectMessage(kOverCreditQuestion, Answer::kNo);
  EXPECT_FALSE(Check().ok);
}

TEST_F(InvoiceChecksTest, NewTermsAreOfferedForTheTermsFile) {
  form_.terms = "Net 45";
  ui_->messages.ExpectMessage(company::kNewTermQuestion, Answer::kCancel)
      .WithCaption("Terms: Net 45");
  EXPECT_EQ(Check().focus, InvoiceField::kTerms);
  ui_->messages.ExpectMessage(company::kNewTermQuestion, Answer::kYes);
  EXPECT_TRUE(Check().ok);
  EXPECT_TRUE(terms_.ContainsIgnoringCase("net 45"));
  EXPECT_NE(FileBytes("TLTERMS.DAT").find("Net 45\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tallybook::billing
