#include "company/company_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "company/company_defaults.h"

namespace tallybook::company {
namespace {

// A form that passes every check: companies 1 and 2 exist.
CompanyOptionsForm ValidForm() {
  CompanyOptionsForm f = LoadCompanyOptions(FirstCompanyRecord("7", "Acme"));
  return f;
}

CompanyNumberExists ExistingOneAndTwo() {
  return [](const std::string& n) {
    static const std::set<std::string> existing = {"1", "2"};
    return existing.count(n) > 0;
  };
}

std::string BytesAt(const CompanyRecord& r, size_t offset, size_t n) {
  return std::string(reinterpret_cast<const char*>(&r) + offset, n);
}
std::string PStr(std::string_view s) {
  return std::string(1, static_cast<char>(s.size())) + std::string(s);
}

// ---- validation

TEST(CompanyOptionsValidationTest, NumberSevenIsAcceptedBesideOneAndTwo) {
  CompanyOptionsForm f = ValidForm();
  EXPECT_EQ(ValidateCompanyOptions(f, true, ExistingOneAndTwo()), std::nullopt);
}

TEST(CompanyOptionsValidationTest, NumberFieldsHoldingLettersAreRefusedInPageOrder) {
  CompanyOptionsForm f = ValidForm();
  f.default_quantity = "x1.5";
  f.envelope_top_margin = "abc";
  f.tax_rate = " 8.125 ";  // blanks around a number are fine
  f.address_shift = "";     // empty means 0
  std::optional<OptionsFailure> failure =
      ValidateCompanyOptions(f, true, ExistingOneAndTwo());
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->caption, "Invalid Number");
  EXPECT_EQ(failure->text,
            "The Default Invoice Quantity field must hold a number, such as "
            "8.125.");
  EXPECT_EQ(failure->page, OptionsPage::kInvoices);
  EXPECT_EQ(failure->field, OptionsField::kDefaultQuantity);

  f.default_quantity = "1.5";
  failure = ValidateCompanyOptions(f, true, ExistingOneAndTwo());
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->text,
            "The Envelope Top Margin field must hold a number (digits only).");
  EXPECT_EQ(failure->page, OptionsPage::kEnvelopesAging);

  // Two decimal points, or one in a whole-number field, are no number.
  f.envelope_top_margin = "150";
  for (auto [field, text] : {std::pair{&CompanyOptionsForm::tax_rate, "8.1.2"},
                             std::pair{&CompanyOptionsForm::next_invoice_no, "1.0"},
                             std::pair{&CompanyOptionsForm::max_lines, "-4"}}) {
    CompanyOptionsForm g = f;
    g.*field = text;
    EXPECT_TRUE(ValidateCompanyOptions(g, true, ExistingOneAndTwo()).has_value())
        << text;
  }
  EXPECT_EQ(ValidateCompanyOptions(f, true, ExistingOneAndTwo()), std::nullopt);

  // The checks with a message of their own come first.
  f.company_no = "abc";
  f.tax_rate = "8.1x5z";
  failure = ValidateCompanyOptions(f, true, ExistingOneAndTwo());
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->text, kNumberNotNumericText);
}

TEST(CompanyOptionsValidationTest, BadNumbersAreRefusedWithTheirMessages) {
  struct Case {
    const char* typed;
    const char* caption;
    const char* text;
  } cases[] = {
      {"0", "Invalid Company Number",
       "The Company number must be between 0 and 32001."},
      {"32001", "Invalid Company Number",
       "The Company number must be between 0 and 32001."},
      {"abc", "Invalid Company Number",
       "The company number field is numeric and valid values are 1 to 32000."},
      {"1.5", "Invalid Company Number",
       "The company number field is numeric and valid values are 1 to 32000."},
      {"-3", "Invalid Company Number",
       "The Company number must be between 0 and 32001."},
      {"2", "Company Number",
       "This Company number already exists. Enter another number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    CompanyOptionsForm f = ValidForm();
    f.company_no = c.typed;
    auto failure = ValidateCompanyOptions(f, true, ExistingOneAndTwo());
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->caption, c.caption);
    EXPECT_EQ(failure->text, c.text);
    EXPECT_EQ(failure->page, OptionsPage::kAddressTaxes);
    EXPECT_EQ(failure->field, OptionsField::kCompanyNo);
  }
}

TEST(CompanyOptionsValidationTest, EmptyNumberBecomesZeroAndIsRefused) {
  CompanyOptionsForm f = ValidForm();
  f.company_no = "  ";
  auto failure = ValidateCompanyOptions(f, true, ExistingOneAndTwo());
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(f.company_no, "0");
  EXPECT_EQ(failure->text, kNumberOutOfRangeText);
}

TEST(CompanyOptionsValidationTest, ExistingNumberIsOnlyCheckedForNewCompanies) {
  CompanyOptionsForm f = ValidForm();
  f.company_no = "2";
  bool asked = false;
  auto exists = [&](const std::string&) { return asked = true; };
  EXPECT_EQ(ValidateCompanyOptions(f, false, exists), std::nullopt);
  EXPECT_FALSE(asked);
}

TEST(CompanyOptionsValidationTest, ChecksRunInOrderEMailFirst) {
  CompanyOptionsForm f = ValidForm();
  f.reply_email_address = "billing.example.com";
  f.company_name = "   ";
  f.company_no = "abc";
  auto failure = ValidateCompanyOptions(f, true, ExistingOneAndTwo());
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->caption, "Company E-Mail Address");
  EXPECT_EQ(failure->text,
            "Your company e-mail address does not have the @ sign included. "
            "Bad e-mail address.");
  EXPECT_EQ(failure->page, OptionsPage::kEMail);
  EXPECT_EQ(failure->field, OptionsField::kReplyEMailAddress);

  f.reply_email_address = "billing@example.com";
  failure = ValidateCompanyOptions(f, true, ExistingOneAndTwo());
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->caption, "Invalid Company Name");
  EXPECT_EQ(failure->text, "A company name is required.");
  EXPECT_EQ(failure->field, OptionsField::kCompanyName);
  EXPECT_EQ(failure->page, OptionsPage::kAddressTaxes);
}

TEST(CompanyOptionsValidationTest, AgingDaysMustRiseByTwo) {
  struct Case {
    const char* d1;
    const char* d2;
    const char* d3;
    std::optional<OptionsField> failing;
  } cases[] = {
      {"30", "31", "90", OptionsField::kAgingDays2},
      {"30", "32", "34", std::nullopt},
      {"30", "60", "61", OptionsField::kAgingDays3},
      {"30", "60", "62", std::nullopt},
      {"", "", "5", OptionsField::kAgingDays2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.d1) + "/" + c.d2 + "/" + c.d3);
    CompanyOptionsForm f = ValidForm();
    f.aging_days = {c.d1, c.d2, c.d3};
    auto failure = ValidateCompanyOptions(f, true, ExistingOneAndTwo());
    if (!c.failing) {
      EXPECT_EQ(failure, std::nullopt);
      continue;
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->field, *c.failing);
    EXPECT_EQ(failure->page, OptionsPage::kEnvelopesAging);
    if (*c.failing == OptionsField::kAgingDays2) {
      EXPECT_EQ(failure->caption, "Aging Category 2");
      EXPECT_EQ(failure->text,
                "The aging days for category 2 must be greater than category "
                "1 by at least 2 days.");
    } else {
      EXPECT_EQ(failure->caption, "Aging Category 3");
      EXPECT_EQ(failure->text,
                "The aging days for category 3 must be greater than category "
                "2 by at least 2 days.");
    }
  }
}

TEST(CompanyOptionsValidationTest, EmptyAgingDaysAreShownAsZero) {
  CompanyOptionsForm f = ValidForm();
  f.aging_days = {"", "10", "20"};
  EXPECT_EQ(ValidateCompanyOptions(f, true, ExistingOneAndTwo()), std::nullopt);
  EXPECT_EQ(f.aging_days[0], "0");
}

// ---- stored encodings

TEST(CompanyOptionsStoreTest, SavedRecordHoldsTheEncodedBytes) {
  CompanyRecord r = FirstCompanyRecord("1", "Acme");
  r.ReceivablesBalance.Set("120.00");
  r.InvoiceCaption.Set("INVOICE");
  CompanyOptionsForm f = LoadCompanyOptions(r);
  f.copies = "7";
  f.address_shift = "";
  f.tax_rate = " ";
  f.day_first = true;
  f.envelope_landscape = true;
  f.envelope_ship_to = true;
  f.memo_invoice = true;
  f.vertical_lines = true;
  f.horizontal_lines = false;
  f.audit_trail = true;
  f.year_month_prefix = false;
  f.print_logo = true;
  StoreCompanyOptions(f, r);

  EXPECT_EQ(BytesAt(r, 2127, 2), PStr("1"));        // Copies
  EXPECT_EQ(BytesAt(r, 2129, 2), PStr("0"));        // AddressShift
  EXPECT_EQ(BytesAt(r, 874, 6), PStr("0.000"));     // TaxRate
  EXPECT_EQ(BytesAt(r, 917, 2), PStr("D"));         // DateOrder
  EXPECT_EQ(BytesAt(r, 2119, 2), PStr("L"));        // EnvelopeOrientation
  EXPECT_EQ(BytesAt(r, 2121, 2), PStr("S"));        // EnvelopeAddress
  EXPECT_EQ(BytesAt(r, 951, 2), PStr("M"));         // DefaultInvoiceKind
  EXPECT_EQ(BytesAt(r, 1005, 2), std::string("\x01\x00", 2));  // line flags
  EXPECT_EQ(BytesAt(r, 1026, 1), "\x01");           // PrintLogo
  EXPECT_EQ(BytesAt(r, 2156, 2), PStr("Y"));        // AuditTrail
  EXPECT_EQ(BytesAt(r, 919, 2), PStr("N"));         // YearMonthPrefix
  // Not the dialog's to change.
  EXPECT_EQ(r.ReceivablesBalance.Get(), "120.00");
  EXPECT_EQ(r.InvoiceCaption.Get(), "INVOICE");

  f.copies = "3";
  f.day_first = false;
  f.envelope_landscape = false;
  f.envelope_ship_to = false;
  f.memo_invoice = false;
  f.address_shift = "1.5";
  f.tax_rate = "8.125";
  StoreCompanyOptions(f, r);
  EXPECT_EQ(BytesAt(r, 2127, 2), PStr("3"));
  EXPECT_EQ(BytesAt(r, 917, 2), PStr("M"));
  EXPECT_EQ(BytesAt(r, 2119, 2), PStr("P"));
  EXPECT_EQ(BytesAt(r, 2121, 2), PStr("B"));
  EXPECT_EQ(BytesAt(r, 951, 2), PStr("P"));
  EXPECT_EQ(BytesAt(r, 2129, 4), PStr("1.5"));
  EXPECT_EQ(BytesAt(r, 874, 6), PStr("8.125"));
}

TEST(CompanyOptionsStoreTest, EveryControlSurvivesSaveAndLoad) {
  // Each control set to a value unlike its default, so a control stored in
  // the wrong field or not at all shows up as a difference.
  CompanyOptionsForm f;
  f.company_name = "Name";
  f.company_no = "12";
  f.address = {"a1", "a2", "a3", "a4", "a5"};
  f.calc_taxes = true;
  f.tax_rate = "8.125";
  f.tax_heading = "VAT";
  f.next_invoice_no = "1001";
  f.default_quantity = "2.00";
  f.default_terms = "Net 10 Days";
  f.print_duplicate_mark = true;
  f.year_month_prefix = true;
  f.new_invoice_print_flag = true;
  f.memo_invoice = true;
  f.print_packing_slip = true;
  f.print_file_copy = true;
  f.copies = "4";
  f.label_on_new_invoice = true;
  f.label_on_batch_print = true;
  f.no_large_invoice_no = true;
  f.next_customer_no = "77";
  f.day_first = true;
  f.show_aging_chart = true;
  f.show_button_hints = true;
  f.auto_copy_shipping = true;
  f.audit_trail = true;
  f.backup_prompt_on_exit = true;
  f.vertical_lines = f.horizontal_lines = f.shading = f.letterhead_style = true;
  f.box_invoices = f.box_statements = f.product_codes = true;
  f.move_down_totals = f.customer_aging = f.sales_message = true;
  f.line_width = "3";
  f.box_top = "12";
  f.top_form_margin = "4";
  f.left_form_margin = "5";
  f.max_lines = "40";
  f.print_logo = true;
  f.logo_file = "logo.bmp";
  f.omit_company_on_form = true;
  f.address_shift = "0.5";
  f.envelope_font = {"Times New Roman", 14, 0x0000FF, platform::kFontItalic};
  f.envelope_line_spacing = "1.5";
  f.envelope_left_margin = "4.0";
  f.envelope_top_margin = "2.5";
  f.envelope_send_left = "3.5";
  f.envelope_landscape = true;
  f.envelope_ship_to = true;
  f.print_return_address = true;
  f.aging_days = {"15", "45", "75"};
  f.aging_captions = {"Now:", "16-45:", "46-75:"};
  f.reply_email_address = "me@example.com";
  f.smtp_server = "smtp.example.com";
  f.default_to_email = true;
  f.email_lines = true;
  f.email_include_all = true;
  f.sales_message_lines = {"s1", "s2", "s3", "s4"};
  f.main_bitmap_on = true;
  f.main_bitmap_file = "back.bmp";
  f.editor_font = {"Arial", 12, 0xFF0000, platform::kFontBold};
  f.managers_font = {"Courier New", 9, 0x00FF00, platform::kFontUnderline};

  CompanyRecord r;
  StoreCompanyOptions(f, r);
  EXPECT_EQ(LoadCompanyOptions(r), f);

  // And all off: the false side of every check box.
  CompanyOptionsForm off = f;
  off.calc_taxes = off.print_duplicate_mark = off.year_month_prefix = false;
  off.new_invoice_print_flag = off.memo_invoice = off.print_packing_slip = false;
  off.print_file_copy = off.label_on_new_invoice = false;
  off.label_on_batch_print = off.no_large_invoice_no = off.day_first = false;
  off.show_aging_chart = off.show_button_hints = off.auto_copy_shipping = false;
  off.audit_trail = off.backup_prompt_on_exit = off.vertical_lines = false;
  off.horizontal_lines = off.shading = off.letterhead_style = false;
  off.box_invoices = off.box_statements = off.product_codes = false;
  off.move_down_totals = off.customer_aging = off.sales_message = false;
  off.print_logo = off.omit_company_on_form = off.envelope_landscape = false;
  off.envelope_ship_to = off.print_return_address = false;
  off.default_to_email = off.email_lines = off.email_include_all = false;
  off.main_bitmap_on = false;
  StoreCompanyOptions(off, r);
  EXPECT_EQ(LoadCompanyOptions(r), off);
}

TEST(CompanyOptionsStoreTest, LongTextsAreCutToTheirFields) {
  CompanyRecord r;
  CompanyOptionsForm f = LoadCompanyOptions(r);
  f.company_name = std::string(50, 'N');
  f.aging_days = {"12345", "2", "3"};
  StoreCompanyOptions(f, r);
  EXPECT_EQ(r.CompanyName.Get(), std::string(35, 'N'));
  EXPECT_EQ(r.AgingDays1.Get(), "123");
  // The field after the name is untouched by the long text.
  EXPECT_EQ(r.CompanyNo.Get(), "");
}

TEST(CompanyOptionsStoreTest, FontBlocksCarryNameSizeColourAndStyle) {
  FontBlock block;
  StoreFont({"Courier New", 11, 0x123456, platform::kFontBold |
                                              platform::kFontStrikeOut},
            block);
  EXPECT_EQ(block.Name.Get(), "Courier New");
  EXPECT_EQ(block.Size, 11);
  EXPECT_EQ(block.Color, 0x123456);
  EXPECT_EQ(block.Style, platform::kFontBold | platform::kFontStrikeOut);
  EXPECT_EQ(FontOf(block).name, "Courier New");
  uint8_t zero[3] = {};
  EXPECT_EQ(std::memcmp(block.Reserved33, zero, 3), 0);
}

// ---- pages and new companies

TEST(CompanyOptionsPagesTest, EachPageOpensItsHelpTopic) {
  const std::pair<OptionsPage, const char*> topics[] = {
      {OptionsPage::kEMail, "EMMode"},
      {OptionsPage::kSalesMessage, "SalesMsg"},
      {OptionsPage::kInvoices, "invoptions"},
      {OptionsPage::kAddressTaxes, "CompanyAddress"},
      {OptionsPage::kEnvelopesAging, "prnenv"},
      {OptionsPage::kFormsSetup, "formlayout"},
      {OptionsPage::kGeneral, "GeneralOpts"},
      {OptionsPage::kSystemGraphics, "SysGraphics"},
  };
  for (const auto& [page, topic] : topics) {
    EXPECT_STREQ(HelpTopicFor(page), topic);
    EXPECT_STREQ(HelpTopicForIndex(static_cast<int>(page)), topic);
  }
  EXPECT_STREQ(HelpTopicForIndex(-1), "Company");
  EXPECT_STREQ(HelpTopicForIndex(kOptionsPageCount), "Company");
  EXPECT_STREQ(PageTitle(OptionsPage::kEnvelopesAging), "Envelopes/Aging");
}

TEST(NewCompanyRecordTest, ProposesNextNumberAndInheritsOptions) {
  CompanyRecord current = FirstCompanyRecord("1", "Acme");
  current.DeleteMark = 5;
  current.InvoiceCaption.Set("BILL");
  current.ReceivablesBalance.Set("99.00");
  CompanyRecord r = NewCompanyRecord(current, 2);
  EXPECT_EQ(r.CompanyNo.Get(), "3");
  EXPECT_EQ(r.DeleteMark, 0);
  EXPECT_EQ(r.CompanyName.Get(), "");
  EXPECT_EQ(r.ReceivablesBalance.Get(), "0.00");
  EXPECT_EQ(r.InvoiceCaption.Get(), "BILL");
}

TEST(NewCompanyRecordTest, NumbersCompareTrimmedAndUpperCased) {
  EXPECT_TRUE(SameCompanyNo(" 7 ", "7"));
  EXPECT_TRUE(SameCompanyNo("ab", "AB"));
  EXPECT_FALSE(SameCompanyNo("7", "07"));
}

}  // namespace
}  // namespace tallybook::company
