// The company options dialog without its window: the values of its
// controls as plain data, how they are read from and stored into a company
// record, the checks made when the dialog is saved, and the help topic of
// each page.
//
// The dialog (TCompSet) copies its controls into a CompanyOptionsForm,
// calls ValidateCompanyOptions, and on success StoreCompanyOptions into its
// working record. A failure names the page to show and the field to put
// the cursor in, with the message to show first.
//
// Stored encodings: check boxes over byte fields store 0/1, over Y/N
// fields "Y"/"N"; DateOrder "M"/"D"; DefaultInvoiceKind "P"/"M";
// EnvelopeOrientation "L"/"P"; EnvelopeAddress "S"/"B"; Copies keeps
// "2".."5" and is "1" otherwise; an empty AddressShift is "0" and an empty
// tax rate "0.000". Texts longer than their field are cut on storing.
#ifndef TALLYBOOK_COMPANY_COMPANY_OPTIONS_H_
#define TALLYBOOK_COMPANY_COMPANY_OPTIONS_H_

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "company/records.h"
#include "platform/font.h"

namespace tallybook::company {

// Captions of the dialog.
inline constexpr char kCompanyOptionsCaption[] = "Company Options";
inline constexpr char kNewCompanyDialogCaption[] = "New Company";
inline constexpr char kEditCompanyCaption[] = "Edit Company";

// The pages, in the order the dialog shows their tabs.
enum class OptionsPage {
  kAddressTaxes,
  kInvoices,
  kGeneral,
  kFormsSetup,
  kEnvelopesAging,
  kEMail,
  kSalesMessage,
  kSystemGraphics,
};
inline constexpr int kOptionsPageCount = 8;

// The tab text of a page ("Address/Taxes", "E-Mail", ...).
const char* PageTitle(OptionsPage page);
// The help topic the help button opens while the page is visible.
const char* HelpTopicFor(OptionsPage page);
// The topic for a page index the dialog does not know.
inline constexpr char kCompanyHelpTopic[] = "Company";
const char* HelpTopicForIndex(int page_index);

// Everything the dialog's controls hold. Texts are Windows-1252.
struct CompanyOptionsForm {
  // Address/Taxes
  std::string company_name;
  std::string company_no;
  std::array<std::string, 5> address;  // CompanyAddress1..5
  bool calc_taxes = false;
  std::string tax_rate;
  std::string tax_heading;
  // Invoices
  std::string next_invoice_no;
  std::string default_quantity;
  std::string default_terms;
  bool print_duplicate_mark = false;
  bool year_month_prefix = false;
  bool new_invoice_print_flag = false;
  bool memo_invoice = false;  // " Default New Invoice Type": "Memo Invoice"
  bool print_packing_slip = false;
  bool print_file_copy = false;
  std::string copies;
  bool label_on_new_invoice = false;
  bool label_on_batch_print = false;
  bool no_large_invoice_no = false;
  // General
  std::string next_customer_no;
  bool day_first = false;  // "DD/MM/YY"
  bool show_aging_chart = false;
  bool show_button_hints = false;
  bool auto_copy_shipping = false;
  bool audit_trail = false;
  bool backup_prompt_on_exit = false;
  // Forms Setup
  bool vertical_lines = false;
  bool horizontal_lines = false;
  bool shading = false;
  bool letterhead_style = false;
  bool box_invoices = false;
  bool box_statements = false;
  bool product_codes = false;
  bool move_down_totals = false;
  bool customer_aging = false;
  bool sales_message = false;
  std::string line_width;
  std::string box_top;
  std::string top_form_margin;
  std::string left_form_margin;
  std::string max_lines;
  bool print_logo = false;
  std::string logo_file;
  bool omit_company_on_form = false;
  std::string address_shift;
  // Envelopes/Aging
  platform::Font envelope_font;
  std::string envelope_line_spacing;
  std::string envelope_left_margin;
  std::string envelope_top_margin;
  std::string envelope_send_left;
  bool envelope_landscape = false;
  bool envelope_ship_to = false;
  bool print_return_address = false;
  std::array<std::string, 3> aging_days;
  std::array<std::string, 3> aging_captions;
  // E-Mail
  std::string reply_email_address;
  std::string smtp_server;
  bool default_to_email = false;
  bool email_lines = false;
  bool email_include_all = false;
  // Sales Message
  std::array<std::string, 4> sales_message_lines;
  // System Graphics
  bool main_bitmap_on = false;
  std::string main_bitmap_file;
  platform::Font editor_font;
  platform::Font managers_font;

  bool operator==(const CompanyOptionsForm&) const = default;
};

// The controls as the record sets them.
CompanyOptionsForm LoadCompanyOptions(const CompanyRecord& record);

// Stores every control into the record with the encodings above. Fields
// the dialog does not edit (balance, counters, dates, the headers dialog's
// texts and fonts) are left as they are.
void StoreCompanyOptions(const CompanyOptionsForm& form,
                         CompanyRecord& record);

// The font fields of the record as a font, and back.
platform::Font FontOf(const FontBlock& block);
void StoreFont(const platform::Font& font, FontBlock& block);
// (The editor font is startup.h's EditorFontOf.)
platform::Font ManagersFontOf(const CompanyRecord& record);
platform::Font EnvelopeFontOf(const CompanyRecord& record);

// The field a failed check puts the cursor in.
enum class OptionsField {
  kReplyEMailAddress,
  kCompanyName,
  kCompanyNo,
  kAgingDays2,
  kAgingDays3,
  // The number fields without a check of their own (NumberFieldsOf).
  kTaxRate,
  kNextInvoiceNo,
  kDefaultQuantity,
  kCopies,
  kNextCustomerNo,
  kLineWidth,
  kBoxTop,
  kTopFormMargin,
  kLeftFormMargin,
  kMaxLines,
  kAddressShift,
  kEnvelopeLineSpacing,
  kEnvelopeLeftMargin,
  kEnvelopeTopMargin,
  kEnvelopeSendLeft,
};

// A field of the dialog whose record value is a number: the dialog gives it
// a validator, and saving refuses a text that is still not a number.
struct NumberField {
  OptionsField field;
  OptionsPage page;
  // What the field is called in the refusal.
  const char* label;
  // Whether a decimal point is allowed (tax rate, quantity).
  bool decimal;
  // The most characters the record field holds.
  int width;
  std::string CompanyOptionsForm::*value;
};

// Every such field, in the order the pages show them.
const std::vector<NumberField>& NumberFieldsOf();

// Why the dialog cannot be saved: the box to show (a warning), then the
// page to make current and the field to focus.
struct OptionsFailure {
  std::string caption;
  std::string text;
  OptionsPage page;
  OptionsField field;
};

// Messages of the checks.
inline constexpr char kBadEMailCaption[] = "Company E-Mail Address";
inline constexpr char kBadEMailText[] =
    "Your company e-mail address does not have the @ sign included. Bad "
    "e-mail address.";
inline constexpr char kNameRequiredCaption[] = "Invalid Company Name";
inline constexpr char kNameRequiredText[] = "A company name is required.";
inline constexpr char kBadNumberCaption[] = "Invalid Company Number";
inline constexpr char kNumberNotNumericText[] =
    "The company number field is numeric and valid values are 1 to 32000.";
inline constexpr char kNumberOutOfRangeText[] =
    "The Company number must be between 0 and 32001.";
inline constexpr char kNumberExistsCaption[] = "Company Number";
inline constexpr char kNumberExistsText[] =
    "This Company number already exists. Enter another number.";
inline constexpr char kAging2Caption[] = "Aging Category 2";
inline constexpr char kAging2Text[] =
    "The aging days for category 2 must be greater than category 1 by at "
    "least 2 days.";
inline constexpr char kAging3Caption[] = "Aging Category 3";
inline constexpr char kAging3Text[] =
    "The aging days for category 3 must be greater than category 2 by at "
    "least 2 days.";

inline constexpr char kNotANumberCaption[] = "Invalid Number";
// "The <label> field must hold a number, such as 8.125." and the like.
std::string NotANumberText(const NumberField& field);

inline constexpr int kLowestCompanyNo = 1;
inline constexpr int kHighestCompanyNo = 32000;
// An aging category must reach at least this many days past the one before.
inline constexpr int kAgingDaysStep = 2;

// Tells whether a company with this number (as typed) is in the company
// list already.
using CompanyNumberExists = std::function<bool(const std::string& number)>;

// The checks made when the dialog is saved, in order: the reply e-mail
// address holds "@" when given; the trimmed name is not empty; the number
// is a whole number (an empty one counts as "0") from 1 to 32000; a new
// company's number is not in the list (number_exists is asked only then);
// the aging days rise by at least 2 per category (empty days count as "0");
// then every other number field (NumberFieldsOf) is empty or a number
// (digits, and for a decimal field at most one decimal point). The first
// failure is returned. The form is normalised as the dialog
// shows it: an empty number and empty aging days become "0".
//
// The aging fields take digits only in the dialog; a text that is still not
// a whole number is compared as 0.
std::optional<OptionsFailure> ValidateCompanyOptions(
    CompanyOptionsForm& form, bool new_company,
    const CompanyNumberExists& number_exists);

// The record a new company starts from: a copy of the current company with
// the new-company defaults, the delete mark clear, and the number proposed
// as the number of companies in the list + 1.
CompanyRecord NewCompanyRecord(const CompanyRecord& current,
                               int company_count);

// True when two company numbers name the same company: compared trimmed
// and upper-cased, as key 1 compares them.
bool SameCompanyNo(std::string_view a, std::string_view b);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_COMPANY_OPTIONS_H_
