#include "company/company_options.h"

#include "company/company_defaults.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/startup.h"
#include "company/text.h"

namespace tallybook::company {
namespace {

struct PageInfo {
  const char* title;
  const char* help_topic;
};

// Indexed by OptionsPage.
constexpr PageInfo kPages[kOptionsPageCount] = {
    {"Address/Taxes", "CompanyAddress"},
    {"Invoices", "invoptions"},
    {"General", "GeneralOpts"},
    {"Forms Setup", "formlayout"},
    {"Envelopes/Aging", "prnenv"},
    {"E-Mail", "EMMode"},
    {"Sales Message", "SalesMsg"},
    {"System Graphics", "SysGraphics"},
};

bool Flag(uint8_t byte) { return byte != 0; }
uint8_t Byte(bool on) { return on ? 1 : 0; }

template <int N>
bool YesFlag(const PString<N>& field) {
  return IsYes(field.View());
}

platform::Font MakeFont(std::string name, int32_t size, int32_t color,
                        uint8_t style) {
  platform::Font font;
  font.name = std::move(name);
  font.size_points = size;
  font.color = static_cast<platform::Color>(color);
  font.style = style;
  return font;
}

// The copies a form may ask for; anything else prints one.
std::string CopiesToStore(std::string_view typed) {
  const std::string t = Trim(typed);
  if (t == "2" || t == "3" || t == "4" || t == "5") return t;
  return "1";
}

std::string EmptyAs(std::string_view typed, const char* empty_value) {
  return Trim(typed).empty() ? std::string(empty_value) : std::string(typed);
}

OptionsFailure Failure(const char* caption, const char* text,
                       OptionsPage page, OptionsField field) {
  return OptionsFailure{caption, text, page, field};
}

// Digits, with at most one decimal point when decimal; blanks around the
// text are ignored. No sign: none of the fields takes a negative value.
bool IsPlainNumber(std::string_view text, bool decimal) {
  const std::string trimmed = Trim(text);
  int digits = 0;
  int points = 0;
  for (char ch : trimmed) {
    if (ch >= '0' && ch <= '9') {
      ++digits;
    } else if (ch == '.' && decimal) {
      ++points;
    } else {
      return false;
    }
  }
  return digits > 0 && points <= 1;
}

}  // namespace

const std::vector<NumberField>& NumberFieldsOf() {
  using F = CompanyOptionsForm;
  using P = OptionsPage;
  using O = OptionsField;
  static const std::vector<NumberField> fields = {
      {O::kTaxRate, P::kAddressTaxes, "Tax Rate", true, 6, &F::tax_rate},
      {O::kNextInvoiceNo, P::kInvoices, "Next Invoice Number", false, 9,
       &F::next_invoice_no},
      {O::kDefaultQuantity, P::kInvoices, "Default Invoice Quantity", true, 9,
       &F::default_quantity},
      {O::kCopies, P::kInvoices, "Number copies", false, 1, &F::copies},
      {O::kNextCustomerNo, P::kGeneral, "Next Customer Number", false, 8,
       &F::next_customer_no},
      {O::kLineWidth, P::kFormsSetup, "Line Widths", false, 1, &F::line_width},
      {O::kBoxTop, P::kFormsSetup, "Box Top", false, 2, &F::box_top},
      {O::kTopFormMargin, P::kFormsSetup, "Top Margin", false, 2,
       &F::top_form_margin},
      {O::kLeftFormMargin, P::kFormsSetup, "Left Margin", false, 2,
       &F::left_form_margin},
      {O::kMaxLines, P::kFormsSetup, "Max Lines", false, 2, &F::max_lines},
      {O::kAddressShift, P::kFormsSetup,
       "Move Addresses to Right an Additional", false, 10, &F::address_shift},
      {O::kEnvelopeLineSpacing, P::kEnvelopesAging, "Envelope Line Spacing",
       false, 3, &F::envelope_line_spacing},
      {O::kEnvelopeLeftMargin, P::kEnvelopesAging, "Envelope Left Margin",
       false, 4, &F::envelope_left_margin},
      {O::kEnvelopeTopMargin, P::kEnvelopesAging, "Envelope Top Margin",
       false, 4, &F::envelope_top_margin},
      {O::kEnvelopeSendLeft, P::kEnvelopesAging, "Send Address Left", false, 4,
       &F::envelope_send_left},
  };
  return fields;
}

std::string NotANumberText(const NumberField& field) {
  return std::string("The ") + field.label + " field must hold a number" +
         (field.decimal ? ", such as 8.125." : " (digits only).");
}

const char* PageTitle(OptionsPage page) {
  return kPages[static_cast<int>(page)].title;
}

const char* HelpTopicFor(OptionsPage page) {
  return kPages[static_cast<int>(page)].help_topic;
}

const char* HelpTopicForIndex(int page_index) {
  if (page_index < 0 || page_index >= kOptionsPageCount) {
    return kCompanyHelpTopic;
  }
  return kPages[page_index].help_topic;
}

platform::Font FontOf(const FontBlock& block) {
  return MakeFont(block.Name.Get(), block.Size, block.Color, block.Style);
}

void StoreFont(const platform::Font& font, FontBlock& block) {
  block.Name.Set(font.name);
  block.Size = font.size_points;
  block.Color = static_cast<int32_t>(font.color);
  block.Style = font.style;
}

platform::Font ManagersFontOf(const CompanyRecord& r) {
  return MakeFont(r.ManagerFontName.Get(), r.ManagerFontSize,
                  r.ManagerFontColor, r.ManagerFontStyle);
}

platform::Font EnvelopeFontOf(const CompanyRecord& r) {
  return MakeFont(r.EnvelopeFontName.Get(), r.EnvelopeFontSize,
                  r.EnvelopeFontColor, r.EnvelopeFontStyle);
}

CompanyOptionsForm LoadCompanyOptions(const CompanyRecord& r) {
  CompanyOptionsForm f;
  f.company_name = r.CompanyName.Get();
  f.company_no = r.CompanyNo.Get();
  f.address = {r.CompanyAddress1.Get(), r.CompanyAddress2.Get(),
               r.CompanyAddress3.Get(), r.CompanyAddress4.Get(),
               r.CompanyAddress5.Get()};
  f.calc_taxes = Flag(r.CalcTaxes);
  f.tax_rate = r.TaxRate.Get();
  f.tax_heading = r.TaxHeading.Get();

  f.next_invoice_no = r.NextInvoiceNo.Get();
  f.default_quantity = r.DefaultQuantity.Get();
  f.default_terms = r.DefaultTerms.Get();
  f.print_duplicate_mark = Flag(r.PrintDuplicateMark);
  f.year_month_prefix = YesFlag(r.YearMonthPrefix);
  f.new_invoice_print_flag = Flag(r.NewInvoicePrintFlag);
  f.memo_invoice = Trim(r.DefaultInvoiceKind.View()) == "M";
  f.print_packing_slip = Flag(r.PrintPackingSlip);
  f.print_file_copy = Flag(r.PrintFileCopy);
  f.copies = r.Copies.Get();
  f.label_on_new_invoice = YesFlag(r.LabelOnNewInvoice);
  f.label_on_batch_print = YesFlag(r.LabelOnBatchPrint);
  f.no_large_invoice_no = YesFlag(r.NoLargeInvoiceNo);

  f.next_customer_no = r.NextCustomerNo.Get();
  f.day_first = Trim(r.DateOrder.View()) == "D";
  f.show_aging_chart = Flag(r.ShowAgingChart);
  f.show_button_hints = Flag(r.ShowButtonHints);
  f.auto_copy_shipping = Flag(r.AutoCopyShipping);
  f.audit_trail = YesFlag(r.AuditTrail);
  f.backup_prompt_on_exit = YesFlag(r.BackupPromptOnExit);

  f.vertical_lines = Flag(r.PrintVerticalLines);
  f.horizontal_lines = Flag(r.PrintHorizontalLines);
  f.shading = Flag(r.Shading);
  f.letterhead_style = Flag(r.LetterheadStyle);
  f.box_invoices = Flag(r.BoxInvoices);
  f.box_statements = Flag(r.BoxStatements);
  f.product_codes = Flag(r.PrintProductCodes);
  f.move_down_totals = Flag(r.MoveDownTotals);
  f.customer_aging = Flag(r.PrintCustomerAging);
  f.sales_message = Flag(r.PrintSalesMessage);
  f.line_width = r.LineWidth.Get();
  f.box_top = r.BoxTop.Get();
  f.top_form_margin = r.TopFormMargin.Get();
  f.left_form_margin = r.LeftFormMargin.Get();
  f.max_lines = r.MaxLines.Get();
  f.print_logo = Flag(r.PrintLogo);
  f.logo_file = r.LogoFile.Get();
  f.omit_company_on_form = YesFlag(r.OmitCompanyOnForm);
  f.address_shift = r.AddressShift.Get();

  f.envelope_font = EnvelopeFontOf(r);
  f.envelope_line_spacing = r.EnvelopeLineSpacing.Get();
  f.envelope_left_margin = r.EnvelopeLeftMargin.Get();
  f.envelope_top_margin = r.EnvelopeTopMargin.Get();
  f.envelope_send_left = r.EnvelopeSendLeft.Get();
  f.envelope_landscape = Trim(r.EnvelopeOrientation.View()) == "L";
  f.envelope_ship_to = Trim(r.EnvelopeAddress.View()) == "S";
  f.print_return_address = YesFlag(r.PrintReturnAddress);
  f.aging_days = {r.AgingDays1.Get(), r.AgingDays2.Get(), r.AgingDays3.Get()};
  f.aging_captions = {r.AgingCaption1.Get(), r.AgingCaption2.Get(),
                      r.AgingCaption3.Get()};

  f.reply_email_address = r.ReplyEMailAddress.Get();
  f.smtp_server = r.SmtpServer.Get();
  f.default_to_email = YesFlag(r.DefaultToEMail);
  f.email_lines = YesFlag(r.EMailLines);
  f.email_include_all = YesFlag(r.EMailIncludeAll);

  f.sales_message_lines = {r.SalesMessage1.Get(), r.SalesMessage2.Get(),
                           r.SalesMessage3.Get(), r.SalesMessage4.Get()};

  f.main_bitmap_on = Flag(r.MainBitmapOn);
  f.main_bitmap_file = r.MainBitmapFile.Get();
  f.editor_font = EditorFontOf(r);
  f.managers_font = ManagersFontOf(r);
  return f;
}

void StoreCompanyOptions(const CompanyOptionsForm& f, CompanyRecord& r) {
  r.CompanyName.Set(f.company_name);
  r.CompanyNo.Set(f.company_no);
  r.CompanyAddress1.Set(f.address[0]);
  r.CompanyAddress2.Set(f.address[1]);
  r.CompanyAddress3.Set(f.address[2]);
  r.CompanyAddress4.Set(f.address[3]);
  r.CompanyAddress5.Set(f.address[4]);
  r.CalcTaxes = Byte(f.calc_taxes);
  r.TaxRate.Set(EmptyAs(f.tax_rate, "0.000"));
  r.TaxHeading.Set(f.tax_heading);

  r.NextInvoiceNo.Set(f.next_invoice_no);
  r.DefaultQuantity.Set(f.default_quantity);
  r.DefaultTerms.Set(f.default_terms);
  r.PrintDuplicateMark = Byte(f.print_duplicate_mark);
  r.YearMonthPrefix.Set(YesNo(f.year_month_prefix));
  r.NewInvoicePrintFlag = Byte(f.new_invoice_print_flag);
  r.DefaultInvoiceKind.Set(f.memo_invoice ? "M" : "P");
  r.PrintPackingSlip = Byte(f.print_packing_slip);
  r.PrintFileCopy = Byte(f.print_file_copy);
  r.Copies.Set(CopiesToStore(f.copies));
  r.LabelOnNewInvoice.Set(YesNo(f.label_on_new_invoice));
  r.LabelOnBatchPrint.Set(YesNo(f.label_on_batch_print));
  r.NoLargeInvoiceNo.Set(YesNo(f.no_large_invoice_no));

  r.NextCustomerNo.Set(f.next_customer_no);
  r.DateOrder.Set(f.day_first ? "D" : "M");
  r.ShowAgingChart = Byte(f.show_aging_chart);
  r.ShowButtonHints = Byte(f.show_button_hints);
  r.AutoCopyShipping = Byte(f.auto_copy_shipping);
  r.AuditTrail.Set(YesNo(f.audit_trail));
  r.BackupPromptOnExit.Set(YesNo(f.backup_prompt_on_exit));

  r.PrintVerticalLines = Byte(f.vertical_lines);
  r.PrintHorizontalLines = Byte(f.horizontal_lines);
  r.Shading = Byte(f.shading);
  r.LetterheadStyle = Byte(f.letterhead_style);
  r.BoxInvoices = Byte(f.box_invoices);
  r.BoxStatements = Byte(f.box_statements);
  r.PrintProductCodes = Byte(f.product_codes);
  r.MoveDownTotals = Byte(f.move_down_totals);
  r.PrintCustomerAging = Byte(f.customer_aging);
  r.PrintSalesMessage = Byte(f.sales_message);
  r.LineWidth.Set(f.line_width);
  r.BoxTop.Set(f.box_top);
  r.TopFormMargin.Set(f.top_form_margin);
  r.LeftFormMargin.Set(f.left_form_margin);
  r.MaxLines.Set(f.max_lines);
  r.PrintLogo = Byte(f.print_logo);
  r.LogoFile.Set(f.logo_file);
  r.OmitCompanyOnForm.Set(YesNo(f.omit_company_on_form));
  r.AddressShift.Set(EmptyAs(f.address_shift, "0"));

  r.EnvelopeFontName.Set(f.envelope_font.name);
  r.EnvelopeFontSize = f.envelope_font.size_points;
  r.EnvelopeFontColor = static_cast<int32_t>(f.envelope_font.color);
  r.EnvelopeFontStyle = f.envelope_font.style;
  r.EnvelopeLineSpacing.Set(f.envelope_line_spacing);
  r.EnvelopeLeftMargin.Set(f.envelope_left_margin);
  r.EnvelopeTopMargin.Set(f.envelope_top_margin);
  r.EnvelopeSendLeft.Set(f.envelope_send_left);
  r.EnvelopeOrientation.Set(f.envelope_landscape ? "L" : "P");
  r.EnvelopeAddress.Set(f.envelope_ship_to ? "S" : "B");
  r.PrintReturnAddress.Set(YesNo(f.print_return_address));
  r.AgingDays1.Set(f.aging_days[0]);
  r.AgingDays2.Set(f.aging_days[1]);
  r.AgingDays3.Set(f.aging_days[2]);
  r.AgingCaption1.Set(f.aging_captions[0]);
  r.AgingCaption2.Set(f.aging_captions[1]);
  r.AgingCaption3.Set(f.aging_captions[2]);

  r.ReplyEMailAddress.Set(f.reply_email_address);
  r.SmtpServer.Set(f.smtp_server);
  r.DefaultToEMail.Set(YesNo(f.default_to_email));
  r.EMailLines.Set(YesNo(f.email_lines));
  r.EMailIncludeAll.Set(YesNo(f.email_include_all));

  r.SalesMessage1.Set(f.sales_message_lines[0]);
  r.SalesMessage2.Set(f.sales_message_lines[1]);
  r.SalesMessage3.Set(f.sales_message_lines[2]);
  r.SalesMessage4.Set(f.sales_message_lines[3]);

  r.MainBitmapOn = Byte(f.main_bitmap_on);
  r.MainBitmapFile.Set(f.main_bitmap_file);
  r.EditorFontName.Set(f.editor_font.name);
  r.EditorFontSize = f.editor_font.size_points;
  r.EditorFontColor = static_cast<int32_t>(f.editor_font.color);
  r.EditorFontStyle = f.editor_font.style;
  r.ManagerFontName.Set(f.managers_font.name);
  r.ManagerFontSize = f.managers_font.size_points;
  r.ManagerFontColor = static_cast<int32_t>(f.managers_font.color);
  r.ManagerFontStyle = f.managers_font.style;
}

std::optional<OptionsFailure> ValidateCompanyOptions(
    CompanyOptionsForm& f, bool new_company,
    const CompanyNumberExists& number_exists) {
  if (!Trim(f.reply_email_address).empty() &&
      f.reply_email_address.find('@') == std::string::npos) {
    return Failure(kBadEMailCaption, kBadEMailText, OptionsPage::kEMail,
                   OptionsField::kReplyEMailAddress);
  }
  if (Trim(f.company_name).empty()) {
    return Failure(kNameRequiredCaption, kNameRequiredText,
                   OptionsPage::kAddressTaxes, OptionsField::kCompanyName);
  }
  if (Trim(f.company_no).empty()) f.company_no = "0";
  int32_t number = 0;
  if (!ParseWholeNumber(f.company_no, &number)) {
    return Failure(kBadNumberCaption, kNumberNotNumericText,
                   OptionsPage::kAddressTaxes, OptionsField::kCompanyNo);
  }
  if (number < kLowestCompanyNo || number > kHighestCompanyNo) {
    return Failure(kBadNumberCaption, kNumberOutOfRangeText,
                   OptionsPage::kAddressTaxes, OptionsField::kCompanyNo);
  }
  if (new_company && number_exists && number_exists(f.company_no)) {
    return Failure(kNumberExistsCaption, kNumberExistsText,
                   OptionsPage::kAddressTaxes, OptionsField::kCompanyNo);
  }
  int32_t days[3];
  for (int i = 0; i < 3; ++i) {
    if (Trim(f.aging_days[i]).empty()) f.aging_days[i] = "0";
    days[i] = WholeNumberOr(f.aging_days[i], 0);
  }
  if (days[1] < days[0] + kAgingDaysStep) {
    return Failure(kAging2Caption, kAging2Text, OptionsPage::kEnvelopesAging,
                   OptionsField::kAgingDays2);
  }
  if (days[2] < days[1] + kAgingDaysStep) {
    return Failure(kAging3Caption, kAging3Text, OptionsPage::kEnvelopesAging,
                   OptionsField::kAgingDays3);
  }
  for (const NumberField& number : NumberFieldsOf()) {
    const std::string& text = f.*number.value;
    if (!Trim(text).empty() && !IsPlainNumber(text, number.decimal)) {
      return OptionsFailure{kNotANumberCaption, NotANumberText(number),
                            number.page, number.field};
    }
  }
  return std::nullopt;
}

CompanyRecord NewCompanyRecord(const CompanyRecord& current,
                               int company_count) {
  CompanyRecord r = current;
  r.DeleteMark = 0;
  ApplyNewCompanyDefaults(r);
  r.CompanyNo.Set(std::to_string(company_count + 1));
  return r;
}

bool SameCompanyNo(std::string_view a, std::string_view b) {
  return UpperCase1252(Trim(a)) == UpperCase1252(Trim(b));
}

}  // namespace tallybook::company
