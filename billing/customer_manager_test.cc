#include "billing/customer_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "billing/customer_product_test_support.h"
#include "company/keys.h"
#include "company/text.h"

namespace tallybook::billing {
namespace {

using platform::Answer;
using testing::P;
using platform::MessageKind;
using testing::CustomerDialog;

class CustomerManagerTest : public testing::ManagerFixture<CustomerManager> {
 protected:
  int32_t Add(const std::string& number, const std::string& name,
              std::function<void(CustomerForm&)> more = nullptr) {
    CustomerDialog dialog;
    dialog.edit = [&](CustomerForm& f) {
      f.number = number;
      f.name = name;
      if (more) more(f);
    };
    return manager_->AddCustomer(dialog.Runner()).value_or(0);
  }
  bool Edit(int32_t rec_no, std::function<void(CustomerForm&)> edit) {
    CustomerDialog dialog;
    dialog.edit = std::move(edit);
    return manager_->EditCustomer(rec_no, dialog.Runner());
  }
  CustomerRecord Get(int32_t rec_no) {
    CustomerRecord record;
    EXPECT_TRUE(manager_->Read(rec_no, record));
    return record;
  }
  // Stores a balance straight into the file, as invoices would.
  void SetBalance(int32_t rec_no, const std::string& balance) {
    CustomerRecord before = Get(rec_no);
    CustomerRecord after = before;
    after.Balance.Set(balance);
    manager_->customers().SetRecord(after);
    ASSERT_TRUE(manager_->customers().ModifyWithKeys(rec_no, before));
  }
};

TEST(ShortNameTest, FirstLetterAndTheWordsAfterTheFirstBlank) {
  EXPECT_EQ(ShortNameFor("John Smith"), "JSmith");
  EXPECT_EQ(ShortNameFor("Acme Widget Company"), "AWidget Co");
  EXPECT_EQ(ShortNameFor("Acme"), "Acme");
  EXPECT_EQ(ShortNameFor("Internationalised"), "Internatio");
  EXPECT_EQ(ShortNameFor("  John Smith  "), "JSmith");
}

TEST(NextCustomerNumberTest, LeadingIntegerPlusOne) {
  EXPECT_EQ(NextCustomerNumberAfter("100"), "101");
  EXPECT_EQ(NextCustomerNumberAfter(" 7 "), "8");
  EXPECT_EQ(NextCustomerNumberAfter("12AB"), "13");
  EXPECT_EQ(NextCustomerNumberAfter("C100"), "1");
  EXPECT_EQ(NextCustomerNumberAfter(""), "1");
}

TEST(CustomerRowTest, ColumnsOfRowAndHeader) {
  CustomerRecord r;
  r.CustomerNo.Set(" 100");
  r.CustomerName.Set("Acme Widget Company");
  r.Balance.Set("-1500");
  r.LastPaymentDate.Set("03/01/2024");
  r.LastInvoiceNo.Set("1001");
  r.Phone1.Set("555-1212");
  const std::string row = CustomerRow(r);
  EXPECT_EQ(row.size(), 128u);
  EXPECT_EQ(row, P(P("Acme Widget Company", 35) + " " + P("100", 8) + " " +
                      "   -1,500.00 03/01/2024 " + P("1001", 9) + " " +
                      P("555-1212", 25),
                    128));
  EXPECT_EQ(CustomerHeader(),
            P(P("Name", 35) + " " + P("Number", 8) + " " + "     Balance " +
                  P("Last Pmt.", 10) + " " + P("Last Inv.", 9) + " " +
                  P("Phone Number(s)", 25),
              128));
}

TEST_F(CustomerManagerTest, AddFillsDefaultsAndAdvancesTheNextNumber) {
  app_->CurrentCompany.NextCustomerNo.Set("100");
  app_->CurrentCompany.DefaultTerms.Set("Net 30 Days");
  app_->CurrentCompany.AutoCopyShipping = 1;
  CustomerDialog dialog;
  dialog.edit = [](CustomerForm& f) {
    f.name = "John Smith";
    f.tax_exempt = "y";
    f.credit_limit = "1,500";
  };
  const std::optional<int32_t> rec_no = manager_->AddCustomer(dialog.Runner());
  ASSERT_TRUE(rec_no);
  EXPECT_EQ(dialog.opened.caption, "Add Customer");
  EXPECT_EQ(dialog.opened.number, "100");
  EXPECT_EQ(dialog.opened.terms, "Net 30 Days");
  EXPECT_EQ(dialog.opened.tax_exempt, "N");
  EXPECT_EQ(dialog.opened.credit_limit, "0.00");
  EXPECT_TRUE(dialog.opened.auto_copy);
  const CustomerRecord r = Get(*rec_no);
  EXPECT_EQ(r.CustomerNo.Get(), "100");
  EXPECT_EQ(r.ShortName.Get(), "JSmith");
  EXPECT_EQ(r.TaxExempt.Get(), "Y");
  EXPECT_EQ(r.CreditLimit.Get(), "1500");
  EXPECT_EQ(r.Balance.Get(), "0.00");
  EXPECT_EQ(r.Aging4.Get(), "0.00");
  EXPECT_EQ(r.CreditHold.Get(), "N");
  // The company list and the current company both move on.
  EXPECT_EQ(app_->CurrentCompany.NextCustomerNo.Get(), "101");
  company::CompanyListAccess list(*app_);
  ASSERT_TRUE(list.OpenCompanyFile());
  int32_t company_rec = 0;
  ASSERT_TRUE(list.FindByKey(1, company::KeyText("1", 5), company_rec));
  ASSERT_TRUE(list.GetRecord(company_rec));
  EXPECT_EQ(list.rec().NextCustomerNo.Get(), "101");
}

TEST_F(CustomerManagerTest, DialogChecksInTheirOrder) {
  const int32_t first = Add("100", "Acme");
  ASSERT_NE(first, 0);
  CustomerDialog dialog;

  messages().ExpectMessage("You must enter a customer name.")
      .WithCaption("Customer Name").WithKind(MessageKind::kWarning);
  dialog.edit = [](CustomerForm& f) { f.number = "200"; f.email = "bad"; };
  EXPECT_FALSE(manager_->AddCustomer(dialog.Runner()));
  EXPECT_EQ(dialog.field, CustomerField::kName);

  messages().ExpectMessage(kBadCustomerEMail).WithCaption("Customer E-Mail Address");
  dialog.edit = [](CustomerForm& f) {
    f.number = "100";
    f.name = "Acme";
    f.email = "nobody.example.com";
  };
  EXPECT_FALSE(manager_->AddCustomer(dialog.Runner()));
  EXPECT_EQ(dialog.field, CustomerField::kEMail);
  // The short name was filled before the e-mail check stopped.
  EXPECT_EQ(dialog.seen.short_name, "Acme");

  messages().ExpectMessage(kCustomerNumberExists).WithCaption("Customer Number");
  dialog.edit = [](CustomerForm& f) { f.number = " 100 "; f.name = "Other"; };
  EXPECT_FALSE(manager_->AddCustomer(dialog.Runner()));
  EXPECT_EQ(dialog.field, CustomerField::kNumber);

  messages().ExpectMessage(kCustomerNameExists).WithCaption("Duplicate Customer Name");
  dialog.edit = [](CustomerForm& f) { f.number = "200"; f.name = "ACME "; };
  EXPECT_FALSE(manager_->AddCustomer(dialog.Runner()));
  EXPECT_EQ(dialog.field, CustomerField::kName);

  messages().ExpectMessage("The CREDIT LIMIT amount has an invalid value.");
  dialog.edit = [](CustomerForm& f) {
    f.number = "200";
    f.name = "Beta";
    f.email = "";
    f.credit_limit = "lots";
  };
  EXPECT_FALSE(manager_->AddCustomer(dialog.Runner()));
  EXPECT_EQ(dialog.field, CustomerField::kCreditLimit);
  EXPECT_EQ(manager_->Count(kCustomerNameKey), 1);
}

// Adding: "0" was once the number at opening, so a second customer "0"
// slipped past the duplicate check; a name sharing its first 30
// characters with another got past the dialog and failed in the store,
// losing what was typed.
TEST_F(CustomerManagerTest, AddingChecksEveryNumberAndTheNameKeyBeforeClosing) {
  ASSERT_NE(Add("0", "Zero Holdings"), 0);
  const std::string long_name = "Northern Lights Trading Company Ltd";
  ASSERT_NE(Add("5", long_name), 0);
  CustomerDialog dialog;

  messages().ExpectMessage(kCustomerNumberExists).WithCaption("Customer Number");
  dialog.edit = [](CustomerForm& f) { f.number = " 0"; f.name = "Another"; };
  EXPECT_FALSE(manager_->AddCustomer(dialog.Runner()));
  EXPECT_EQ(dialog.field, CustomerField::kNumber);

  messages().ExpectMessage(kNeedCustomerNumber).WithCaption("Customer Number");
  dialog.edit = [](CustomerForm& f) { f.number = "  "; f.name = "Nameless"; };
  EXPECT_FALSE(manager_->AddCustomer(dialog.Runner()));
  EXPECT_EQ(dialog.field, CustomerField::kNumber);

  messages()
      .ExpectMessage(NameKeyTakenText(long_name, "5"))
      .WithCaption("Duplicate Customer Name");
  dialog.edit = [](CustomerForm& f) {
    f.number = "6";
    f.name = "northern lights trading company Inc";
  };
  EXPECT_FALSE(manager_->AddCustomer(dialog.Runner()));
  EXPECT_EQ(dialog.field, CustomerField::kName);
  EXPECT_EQ(dialog.seen.name, "northern lights trading company Inc");
  EXPECT_EQ(manager_->Count(kCustomerNameKey), 2);

  // The customer's own name key is no obstacle to editing it.
  const int32_t five = manager_->FindCustomer("5");
  EXPECT_TRUE(Edit(five, [](CustomerForm& f) {
    f.name = "Northern Lights Trading Company Inc";
  }));
  EXPECT_EQ(Get(five).CustomerName.Get(), "Northern Lights Trading Company Inc");
}

TEST_F(CustomerManagerTest, OwnNumberInAnotherCaseIsAccepted) {
  const int32_t a = Add("ab1", "Alpha");
  Add("XY", "Other");
  EXPECT_TRUE(Edit(a, [](CustomerForm& f) { f.number = "AB1"; f.phone1 = "555"; }));
  EXPECT_EQ(Get(a).CustomerNo.Get(), "AB1");
  EXPECT_EQ(Get(a).Phone1.Get(), "555");
  messages().ExpectMessage(kCustomerNumberExists);
  EXPECT_FALSE(Edit(a, [](CustomerForm& f) { f.number = "xy"; }));
}

TEST_F(CustomerManagerTest, EditKeepsWhatTheDialogDoesNotShow) {
  const int32_t rec_no = Add("5", "Five");
  SetBalance(rec_no, "12.50");
  CustomerDialog dialog;
  dialog.edit = [](CustomerForm& f) { f.credit_limit = ""; f.credit_hold = true; };
  ASSERT_TRUE(manager_->EditCustomer(rec_no, dialog.Runner()));
  EXPECT_EQ(dialog.opened.caption, "Edit Customer");
  EXPECT_EQ(dialog.opened.balance, "12.50");
  const CustomerRecord r = Get(rec_no);
  EXPECT_EQ(r.Balance.Get(), "12.50");
  EXPECT_EQ(r.CreditLimit.Get(), "0.00");
  EXPECT_EQ(r.CreditHold.Get(), "Y");
}

TEST_F(CustomerManagerTest, RenumberingChangesEveryTransactionAndCountsThem) {
  const int32_t rec_no = Add("100", "Acme");
  AddTransaction("1001", "100");
  AddTransaction("1002", "99");
  AddTransaction("1003", "100");
  AddTransaction("1004", "100");
  messages().ExpectMessage(
      "This customer has 3 record(s) on file. All have been changed to "
      "reflect the new customer number.")
      .WithCaption("Customer Number Changed")
      .WithKind(MessageKind::kInformation);
  ASSERT_TRUE(Edit(rec_no, [](CustomerForm& f) { f.number = " 200"; }));
  EXPECT_EQ(TransactionCustomers(),
            (std::vector<std::string>{"200", "99", "200", "200"}));
  // Key 2 of the transactions follows.
  company::TransactionAccess transactions(*app_);
  ASSERT_TRUE(transactions.OpenCompanyFile());
  EXPECT_EQ(app_->engine().CountKeys(transactions.handle(), 2), 4);
  int32_t ref = 0;
  std::string key;
  EXPECT_TRUE(transactions.FindByKey(2, company::KeyText("200", 8), ref, &key));
  EXPECT_EQ(key, company::KeyText("200", 8));
}

TEST_F(CustomerManagerTest, RenumberingWithoutTransactionsIsSilent) {
  const int32_t rec_no = Add("100", "Acme");
  ASSERT_TRUE(Edit(rec_no, [](CustomerForm& f) { f.number = "300"; }));
  EXPECT_EQ(Get(rec_no).CustomerNo.Get(), "300");
}

TEST_F(CustomerManagerTest, DeleteRefusesBalancesAndTransactionsThenAsks) {
  const int32_t owing = Add("1", "Owing");
  SetBalance(owing, "0.01");
  messages().ExpectMessage("This customer has a balance due. Unable to delete.")
      .WithCaption("Delete Customer").WithKind(MessageKind::kWarning);
  EXPECT_FALSE(manager_->DeleteCustomer(owing));

  // Paid up, but a paid invoice is still on file.
  const int32_t paid = Add("2", "Paid Up");
  AddTransaction("500", "2");
  messages().ExpectMessage(kCustomerHasInvoices).WithCaption("Delete Customer");
  EXPECT_FALSE(manager_->DeleteCustomer(paid));

  const int32_t clean = Add(" 3", "Clean");
  messages().ExpectMessage("Are you sure you want to delete this customer?",
                           Answer::kNo)
      .WithCaption("Delete Customer#: 3");
  EXPECT_FALSE(manager_->DeleteCustomer(clean));
  messages().ExpectMessage("Are you sure you want to delete this customer?",
                           Answer::kYes);
  EXPECT_TRUE(manager_->DeleteCustomer(clean));
  EXPECT_EQ(manager_->Count(kCustomerNameKey), 2);
  EXPECT_EQ(manager_->Count(kCustomerNoKey), 2);
  EXPECT_EQ(manager_->FindCustomer("3"), 0);
}

std::string ShownList(CustomerManager& manager, std::string* title) {
  std::string text;
  manager.CustomerList([&](const std::string& path, const std::string& t,
                           const std::string&) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    text = s.str();
    *title = t;
  });
  return text;
}

TEST_F(CustomerManagerTest, CustomerListTextWithAndWithoutAddresses) {
  Add("20", "Zeta Traders", [](CustomerForm& f) {
    f.customer_type = "Retail";
    f.phone1 = "555-0100";
    f.phone2 = "555-0101";
    f.terms = "Net 30 Days";
    f.bill = {"1 Main St", "Springfield", "", ""};
    f.ship = {"Dock 4", "", "", ""};
  });
  Add("10", "Alpha Co", [](CustomerForm& f) {
    f.credit_limit = "2500";
    f.terms = "";
  });
  const std::string rule = std::string(80, '-') + "\r\n";
  const std::string heading =
      "Customer List for Acme Supply\r\n"
      "Date: Wednesday, April 3, 2024, 02:05 PM\r\n" + rule;
  const std::string zeta =
      P("Zeta Traders", 35) + "     Number: " + P("20", 8) +
      "    Balance: 0.00\r\n"
      "Short Name: " + P("ZTraders", 10) + "    Type: " + P("Retail", 25) +
      "   Last Pmt: \r\n"
      "Credit Limit: " + P("0.00", 12) + "    Last Invoice: " + P("", 10) +
      "   Tax Exempt: N\r\n"
      "Phone1: " + P("555-0100", 25) + "     Phone2: 555-0101\r\n"
      "Payment Terms: Net 30 Days\r\n";
  const std::string alpha =
      P("Alpha Co", 35) + "     Number: " + P("10", 8) +
      "    Balance: 0.00\r\n"
      "Short Name: " + P("ACo", 10) + "    Type: " + P("", 25) +
      "   Last Pmt: \r\n"
      "Credit Limit: " + P("2,500.00", 12) + "    Last Invoice: " + P("", 10) +
      "   Tax Exempt: N\r\n"
      "Phone1: " + P("", 25) + "     Phone2: \r\n"
      "Payment Terms: \r\n";
  std::string title;
  messages().ExpectMessage(kCustomerListAddressQuestion, Answer::kNo)
      .WithCaption("Customer List").WithButtons(platform::Buttons::kYesNoCancel);
  messages().ExpectMessage(kCustomerSortQuestion, Answer::kYes)
      .WithCaption("Customer Sort").WithButtons(platform::Buttons::kYesNo);
  EXPECT_EQ(ShownList(*manager_, &title),
            heading + alpha + rule + zeta + rule);
  EXPECT_EQ(title, "Customer List by Number");

  messages().ExpectMessage(kCustomerListAddressQuestion, Answer::kYes);
  messages().ExpectMessage(kCustomerSortQuestion, Answer::kNo);
  const std::string blank4 = std::string(35, ' ') + "     \r\n";
  EXPECT_EQ(ShownList(*manager_, &title),
            heading + alpha +
                P("Billing Address:", 35) + "     Shipping Address:\r\n" +
                blank4 + blank4 + blank4 + blank4 + rule + zeta +
                P("Billing Address:", 35) + "     Shipping Address:\r\n" +
                P("1 Main St", 40) + "Dock 4\r\n" + P("Springfield", 40) +
                "\r\n" +
                blank4 + blank4 + rule);
  EXPECT_EQ(title, "Customer List by Name");
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf("TXTTEMP.TXT")));
}

TEST_F(CustomerManagerTest, LabelQueueGetsTheCustomersRow) {
  const int32_t rec_no = Add("7", "Seven Seas", [](CustomerForm& f) {
    f.mail_code = "ZIP9";
    f.customer_type = "Wholesale";
  });
  ASSERT_FALSE(app_->label_queue_pending);
  EXPECT_EQ(manager_->AddToLabelQueue(rec_no),
            "Seven Seas added to label queue.");
  ASSERT_EQ(app_->label_queue.size(), 1u);
  EXPECT_EQ(app_->label_queue[0].customer_no, "7");
  EXPECT_EQ(app_->label_queue[0].mail_code, "ZIP9");
  EXPECT_EQ(app_->label_queue[0].customer_type, "Wholesale");
  // The exit question protects the queue.
  EXPECT_TRUE(app_->label_queue_pending);
}

TEST_F(CustomerManagerTest, EnvelopeIsDrawnAtTheCompanysPositions) {
  const int32_t rec_no = Add("7", "Seven Seas", [](CustomerForm& f) {
    f.bill = {"B1", "B2", "B3", "B4"};
    f.ship = {"S1", "S2", "S3", "S4"};
  });
  CompanyRecord& c = app_->CurrentCompany;
  c.CompanyName.Set("Acme Supply");
  c.CompanyAddress1.Set("A1");
  c.CompanyAddress2.Set("A2");
  c.CompanyAddress3.Set("A3");
  c.CompanyAddress4.Set("A4");
  c.EnvelopeLineSpacing.Set("50");
  c.EnvelopeTopMargin.Set("100");
  c.EnvelopeLeftMargin.Set("75");
  c.EnvelopeSendLeft.Set("1200");
  c.EnvelopeOrientation.Set("L");
  c.EnvelopeAddress.Set("S");
  c.PrintReturnAddress.Set("Y");
  c.EnvelopeFontName.Set("Times New Roman");
  c.EnvelopeFontSize = 14;

  EXPECT_EQ(manager_->PrintEnvelope(rec_no),
            "Envelope for Seven Seas sent to printer.");
  const platform::testing::RecordedJob& job = ui_->printer.last_job();
  EXPECT_EQ(job.title, "Envelope");
  EXPECT_EQ(job.orientation, platform::PageOrientation::kLandscape);
  EXPECT_EQ(ui_->printer.orientation(), platform::PageOrientation::kPortrait);
  std::vector<std::tuple<int, int, std::string>> drawn;
  for (const auto& call : job.calls) {
    if (call.op != platform::testing::DrawOp::kText) continue;
    drawn.emplace_back(call.x1, call.y1, call.text);
    EXPECT_EQ(call.font.name, "Times New Roman");
    EXPECT_EQ(call.font.size_points, 14);
  }
  EXPECT_EQ(drawn, (std::vector<std::tuple<int, int, std::string>>{
                       {75, 100, "Acme Supply"}, {75, 150, "A1"},
                       {75, 200, "A2"}, {75, 250, "A3"}, {75, 300, "A4"},
                       {1200, 500, "Seven Seas"}, {1200, 550, "S1"},
                       {1200, 600, "S2"}, {1200, 650, "S3"},
                       {1200, 700, "S4"}}));

  // Billing address, no return address, portrait.
  c.EnvelopeAddress.Set("B");
  c.PrintReturnAddress.Set("N");
  c.EnvelopeOrientation.Set("P");
  manager_->PrintEnvelope(rec_no);
  const platform::testing::RecordedJob& second = ui_->printer.last_job();
  EXPECT_EQ(second.orientation, platform::PageOrientation::kPortrait);
  EXPECT_EQ(second.Texts(),
            (std::vector<std::string>{"Seven Seas", "B1", "B2", "B3", "B4"}));
}

TEST_F(CustomerManagerTest, EnvelopeThatCannotStartSaysWhy) {
  const int32_t rec_no = Add("7", "Seven");
  ui_->printer.FailJobsWith("no paper");
  messages().ExpectMessage("The envelope could not be printed: no paper")
      .WithKind(MessageKind::kError);
  EXPECT_EQ(manager_->PrintEnvelope(rec_no), "");
}

TEST_F(CustomerManagerTest, ChoosingCopiesTheCustomer) {
  const int32_t rec_no = Add("7", "Seven");
  EXPECT_TRUE(manager_->Choose(rec_no));
  EXPECT_EQ(app_->CurrentCustomer.CustomerName.Get(), "Seven");
}

TEST(CustomerMatchesTest, NumberNamePhoneAndBillingLines) {
  CustomerRecord r;
  r.CustomerNo.Set("C-77");
  r.CustomerName.Set("Acme");
  r.Phone1.Set("555-1212");
  r.BillAddress3.Set("Springfield");
  r.ShipAddress1.Set("Shelbyville");
  EXPECT_TRUE(CustomerMatches(r, "c-7"));
  EXPECT_TRUE(CustomerMatches(r, "1212"));
  EXPECT_TRUE(CustomerMatches(r, "SPRING"));
  EXPECT_FALSE(CustomerMatches(r, "shelby"));
}

}  // namespace
}  // namespace tallybook::billing
