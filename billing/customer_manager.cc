#include "billing/customer_manager.h"

#include <cctype>
#include <cstdlib>

#include "billing/customer_product_support.h"
#include "company/company_options.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::billing {

using company::App;
using company::FormatMoneyText;
using company::PadRight;
using company::RightAlign;
using company::Trim;

namespace {

std::string Cut(std::string_view text, int width) {
  return std::string(text.substr(0, static_cast<size_t>(width)));
}

std::string NumberKey(std::string_view number) {
  return company::KeyText(number, company::kCustomerNoKeyLength);
}

}  // namespace

std::string CustomerHeader() {
  return PadRight(PadRight("Name", 35) + " " + PadRight("Number", 8) + " " +
                      RightAlign("Balance", 12) + " " +
                      PadRight("Last Pmt.", 10) + " " +
                      PadRight("Last Inv.", 9) + " " +
                      PadRight("Phone Number(s)", 25),
                  kManagerRowWidth);
}

std::string CustomerRow(const CustomerRecord& record) {
  return PadRight(Cut(PadRight(record.CustomerName.View(), 35), 35) + " " +
                      PadRight(Trim(record.CustomerNo.View()), 8) + " " +
                      RightAlign(FormatMoneyText(record.Balance.View()), 12) +
                      " " + PadRight(record.LastPaymentDate.View(), 10) + " " +
                      PadRight(record.LastInvoiceNo.View(), 9) + " " +
                      PadRight(record.Phone1.View(), 25),
                  kManagerRowWidth);
}

std::string CustomersStatusText(int count) {
  return kCustomersStatusPrefix + std::to_string(count);
}

std::string CustomerListEntry(const CustomerRecord& record,
                              bool with_addresses) {
  std::string text;
  AppendListLine(text, PadRight(record.CustomerName.View(), 35) +
                           "     Number: " +
                           PadRight(record.CustomerNo.View(), 8) +
                           "    Balance: " +
                           FormatMoneyText(record.Balance.View()));
  AppendListLine(text, "Short Name: " + PadRight(record.ShortName.View(), 10) +
                           "    Type: " +
                           PadRight(record.CustomerType.View(), 25) +
                           "   Last Pmt: " + record.LastPaymentDate.Get());
  AppendListLine(
      text, "Credit Limit: " +
                PadRight(FormatMoneyText(record.CreditLimit.View()), 12) +
                "    Last Invoice: " + PadRight(record.LastInvoiceNo.View(), 10) +
                "   Tax Exempt: " + record.TaxExempt.Get());
  AppendListLine(text, "Phone1: " + PadRight(record.Phone1.View(), 25) +
                           "     Phone2: " + record.Phone2.Get());
  AppendListLine(text, Cut("Payment Terms: " + record.Terms.Get(), 50));
  if (with_addresses) {
    AppendListLine(text,
                   PadRight("Billing Address:", 35) + "     Shipping Address:");
    const CustomerForm form = CustomerFormFor(record);
    for (int n = 0; n < 4; ++n) {
      AppendListLine(text, PadRight(form.bill[n], 35) + "     " + form.ship[n]);
    }
  }
  AppendListRule(text);
  return text;
}

std::string ShortNameFor(std::string_view name) {
  const std::string trimmed = Trim(name);
  const size_t blank = trimmed.find(' ');
  if (blank == std::string::npos) return Cut(trimmed, 10);
  return Cut(trimmed.substr(0, 1) + trimmed.substr(blank + 1, 9), 10);
}

std::string NumberAsKey(std::string_view number) {
  return company::UpperCase1252(Trim(number));
}

std::string NextCustomerNumberAfter(std::string_view number) {
  // The lenient conversion: the leading integer of the trimmed text.
  const std::string text = Trim(number);
  size_t end = 0;
  if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
  const size_t digits_start = end;
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) {
    ++end;
  }
  long long value = 0;
  if (end > digits_start && end - digits_start < 18) {
    value = std::strtoll(text.substr(0, end).c_str(), nullptr, 10);
  }
  return std::to_string(value + 1);
}

bool CustomerMatches(const CustomerRecord& record, const std::string& typed) {
  for (std::string_view field :
       {record.CustomerNo.View(), record.CustomerName.View(),
        record.Phone1.View(), record.BillAddress1.View(),
        record.BillAddress2.View(), record.BillAddress3.View(),
        record.BillAddress4.View()}) {
    if (ContainsIgnoringCase(field, typed)) return true;
  }
  return false;
}

CustomerForm NewCustomerForm(const App& app) {
  CustomerForm form;
  form.caption = kAddCustomerCaption;
  form.number = app.CurrentCompany.NextCustomerNo.Get();
  form.terms = app.CurrentCompany.DefaultTerms.Get();
  form.tax_exempt = "N";
  form.credit_limit = "0.00";
  form.balance = "0.00";
  form.auto_copy = app.CurrentCompany.AutoCopyShipping != 0;
  return form;
}

CustomerForm CustomerFormFor(const CustomerRecord& r) {
  CustomerForm form;
  form.caption = kEditCustomerCaption;
  form.number = r.CustomerNo.Get();
  form.name = r.CustomerName.Get();
  form.terms = r.Terms.Get();
  form.customer_type = r.CustomerType.Get();
  form.tax_exempt = r.TaxExempt.Get();
  form.credit_limit =
      r.CreditLimit.Empty() ? std::string("0.00") : r.CreditLimit.Get();
  form.bill = {r.BillAddress1.Get(), r.BillAddress2.Get(), r.BillAddress3.Get(),
               r.BillAddress4.Get()};
  form.ship = {r.ShipAddress1.Get(), r.ShipAddress2.Get(), r.ShipAddress3.Get(),
               r.ShipAddress4.Get()};
  form.phone1 = r.Phone1.Get();
  form.phone2 = r.Phone2.Get();
  form.short_name = r.ShortName.Get();
  form.mail_code = r.MailListCode.Get();
  form.email = r.EMailAddress.Get();
  form.notes = r.CustomerNotes.Get();
  form.credit_hold = r.CreditHold == "Y";
  form.notes_on_invoices = r.NotesOnInvoices == "Y";
  form.notes_on_statements = r.NotesOnStatements == "Y";
  form.balance = FormatMoneyText(r.Balance.View());
  return form;
}

void StoreCustomerForm(const CustomerForm& form, CustomerRecord& r) {
  r.CustomerNo.Set(form.number);
  r.CustomerName.Set(form.name);
  r.Terms.Set(form.terms);
  r.CustomerType.Set(form.customer_type);
  r.TaxExempt.Set(company::UpperCase1252(form.tax_exempt));
  r.CreditLimit.Set(company::MoneyToStore(form.credit_limit));
  r.BillAddress1.Set(form.bill[0]);
  r.BillAddress2.Set(form.bill[1]);
  r.BillAddress3.Set(form.bill[2]);
  r.BillAddress4.Set(form.bill[3]);
  r.ShipAddress1.Set(form.ship[0]);
  r.ShipAddress2.Set(form.ship[1]);
  r.ShipAddress3.Set(form.ship[2]);
  r.ShipAddress4.Set(form.ship[3]);
  r.Phone1.Set(form.phone1);
  r.Phone2.Set(form.phone2);
  r.ShortName.Set(form.short_name);
  r.MailListCode.Set(form.mail_code);
  r.EMailAddress.Set(form.email);
  r.CustomerNotes.Set(form.notes);
  r.CreditHold.Set(company::YesNo(form.credit_hold));
  r.NotesOnInvoices.Set(company::YesNo(form.notes_on_invoices));
  r.NotesOnStatements.Set(company::YesNo(form.notes_on_statements));
}

void DrawEnvelope(platform::Canvas& canvas, const CompanyRecord& co,
                  const CustomerRecord& customer) {
  const int h = company::WholeNumberOr(Trim(co.EnvelopeLineSpacing.View()), 0);
  const int t = company::WholeNumberOr(Trim(co.EnvelopeTopMargin.View()), 0);
  const int r = company::WholeNumberOr(Trim(co.EnvelopeLeftMargin.View()), 0);
  const int s = company::WholeNumberOr(Trim(co.EnvelopeSendLeft.View()), 0);
  canvas.SetFont(company::EnvelopeFontOf(co));
  if (company::IsYes(co.PrintReturnAddress.View())) {
    const std::string lines[5] = {
        co.CompanyName.Get(), co.CompanyAddress1.Get(),
        co.CompanyAddress2.Get(), co.CompanyAddress3.Get(),
        co.CompanyAddress4.Get()};
    for (int n = 0; n < 5; ++n) canvas.TextOut(r, t + n * h, lines[n]);
  }
  const CustomerForm form = CustomerFormFor(customer);
  const bool ship = Trim(co.EnvelopeAddress.View()) == "S";
  const std::array<std::string, 4>& address = ship ? form.ship : form.bill;
  canvas.TextOut(s, t + 8 * h, form.name);
  for (int n = 0; n < 4; ++n) canvas.TextOut(s, t + (9 + n) * h, address[n]);
}

CustomerManager::CustomerManager(App& app) : app_(app), customers_(app) {}

bool CustomerManager::Open() {
  return OpenManagerFile(app_, customers_, kCustomerManagerCaption);
}

int CustomerManager::Count(int key_no) {
  return CountOpenEntries(customers_, key_no);
}

bool CustomerManager::Read(int32_t rec_no, CustomerRecord& record) {
  return ReadOpenRecord(customers_, rec_no, record);
}

int32_t CustomerManager::FindCustomer(const std::string& number) {
  if (!customers_.IsOpen()) return 0;
  int32_t rec_no = 0;
  if (!customers_.FindByKey(kCustomerNoKey, NumberKey(number), rec_no)) return 0;
  CustomerRecord record;
  if (!Read(rec_no, record) ||
      NumberAsKey(record.CustomerNo.View()) != NumberAsKey(number)) {
    return 0;
  }
  return rec_no;
}

CustomerField CustomerManager::CheckCustomerForm(
    CustomerForm& form, const std::optional<std::string>& number_at_open) {
  return ShowProblem(app_.services().messages,
                     FindCustomerProblem(form, number_at_open));
}

std::string NameKeyTakenText(std::string_view other_name,
                             std::string_view other_number) {
  return "The first 30 characters of that name are those of customer " +
         Trim(other_number) + " (" + Trim(other_name) +
         "). Names must differ within their first 30 characters.";
}

FormProblem<CustomerField> CustomerManager::FindCustomerProblem(
    CustomerForm& form, const std::optional<std::string>& number_at_open) {
  using Problem = FormProblem<CustomerField>;
  const auto info = platform::MessageKind::kInformation;
  if (Trim(form.name).empty()) {
    return Problem{CustomerField::kName, platform::MessageKind::kWarning,
                   kCustomerNameCaption, kNeedCustomerName};
  }
  if (Trim(form.short_name).empty()) form.short_name = ShortNameFor(form.name);
  if (!Trim(form.email).empty() && form.email.find('@') == std::string::npos) {
    return Problem{CustomerField::kEMail, info, kCustomerEMailCaption,
                   kBadCustomerEMail};
  }
  if (!number_at_open && NumberAsKey(form.number).empty()) {
    return Problem{CustomerField::kNumber, info, kCustomerNumberCaption,
                   kNeedCustomerNumber};
  }
  if (NumberAsKey(form.number) != number_at_open &&
      FindCustomer(form.number) != 0) {
    return Problem{CustomerField::kNumber, info, kCustomerNumberCaption,
                   kCustomerNumberExists};
  }
  int32_t rec_no = 0;
  CustomerRecord other;
  const std::string name_key =
      company::KeyText(form.name, company::kCustomerNameKeyLength);
  std::string found_key;
  if (customers_.FindByKey(kCustomerNameKey, name_key, rec_no, &found_key) &&
      Read(rec_no, other) &&
      NumberAsKey(other.CustomerNo.View()) != number_at_open) {
    if (company::UpperCase1252(Trim(other.CustomerName.View())) ==
        company::UpperCase1252(Trim(form.name))) {
      return Problem{CustomerField::kName, info, kDuplicateNameCaption,
                     kCustomerNameExists};
    }
    if (found_key == name_key) {
      return Problem{CustomerField::kName, info, kDuplicateNameCaption,
                     NameKeyTakenText(other.CustomerName.View(),
                                      other.CustomerNo.View())};
    }
  }
  const std::string limit = Trim(company::RemoveCommas(form.credit_limit));
  double value = 0;
  if (!limit.empty() && !company::ParseMoney(limit, &value)) {
    return Problem{CustomerField::kCreditLimit, info, company::kProductTitle,
                   kBadCreditLimit};
  }
  return Problem{};
}

CustomerRecord NewCustomerRecord(const CustomerForm& form) {
  CustomerRecord record;
  StoreCustomerForm(form, record);
  record.Balance.Set("0.00");
  for (auto* amount : {&record.AgingCurrent, &record.Aging2, &record.Aging3,
                       &record.Aging4}) {
    amount->Set("0.00");
  }
  return record;
}

std::optional<int32_t> CustomerManager::AddCustomer(
    const CustomerDialogRunner& dialog) {
  CustomerForm form = NewCustomerForm(app_);
  const CustomerCheck check = [this](CustomerForm& f) {
    return CheckCustomerForm(f, kAddingCustomer);
  };
  if (!dialog(form, check)) return std::nullopt;
  customers_.SetRecord(NewCustomerRecord(form));
  int32_t rec_no = 0;
  if (!customers_.AddWithKeys(rec_no)) {
    platform::ShowError(app_.services().messages, kCustomerManagerCaption,
                        company::kAddFailed);
    return std::nullopt;
  }
  SetNextCustomerNo(NextCustomerNumberAfter(form.number));
  return rec_no;
}

void CustomerManager::SetNextCustomerNo(const std::string& next) {
  app_.CurrentCompany.NextCustomerNo.Set(next);
  company::CompanyListAccess list(app_);
  int32_t rec_no = 0;
  CompanyRecord before;
  if (!list.OpenCompanyFile() ||
      !list.FindByKey(1, company::KeyText(app_.CurrentCompanyNo(),
                                          company::kCompanyNoKeyLength),
                      rec_no) ||
      !ReadLiveRecord(list.engine(), list.handle(), rec_no, before) ||
      !company::SameCompanyNo(before.CompanyNo.View(),
                              app_.CurrentCompanyNo())) {
    platform::ShowError(app_.services().messages, kCustomerManagerCaption,
                        company::kModifyFailed);
    return;
  }
  CompanyRecord after = before;
  after.NextCustomerNo.Set(next);
  list.SetRecord(after);
  if (!list.ModifyWithKeys(rec_no, before) && !list.engine().StoreOK()) {
    platform::ShowError(app_.services().messages, kCustomerManagerCaption,
                        company::kModifyFailed);
  }
  list.Close();
}

bool CustomerManager::EditCustomer(int32_t rec_no,
                                   const CustomerDialogRunner& dialog) {
  CustomerRecord before;
  if (!Read(rec_no, before)) return false;
  CustomerForm form = CustomerFormFor(before);
  const std::string number_at_open = NumberAsKey(before.CustomerNo.View());
  const CustomerCheck check = [this, &number_at_open](CustomerForm& f) {
    return CheckCustomerForm(f, number_at_open);
  };
  if (!dialog(form, check)) return false;
  CustomerRecord edited = before;
  StoreCustomerForm(form, edited);
  customers_.SetRecord(edited);
  if (!customers_.ModifyWithKeys(rec_no, before)) {
    // A record changed meanwhile was told by the data-access layer; the
    // transactions are then left alone.
    if (!customers_.engine().StoreOK()) {
      platform::ShowError(app_.services().messages, kCustomerManagerCaption,
                          company::kModifyFailed);
    }
    return false;
  }
  if (NumberAsKey(form.number) != number_at_open) {
    const std::optional<int> count =
        RenumberTransactions(before.CustomerNo.Get(), Trim(form.number));
    if (count && *count > 0) {
      platform::Inform(app_.services().messages, kCustomerNumberChangedCaption,
                       kRenumberedPrefix + std::to_string(*count) +
                           kRenumberedSuffix);
    }
  }
  return true;
}

std::optional<int> CustomerManager::RenumberTransactions(
    const std::string& old_number, const std::string& new_number) {
  company::BusyGuard busy(app_);
  company::TransactionAccess transactions(app_);
  if (!transactions.OpenCompanyFile()) {
    platform::ShowError(app_.services().messages, kCustomerManagerCaption,
                        company::kModifyFailed);
    return std::nullopt;
  }
  const std::string old_key = NumberKey(old_number);
  int count = 0;
  // Each changed record leaves the old number's run of key 2, so the search
  // for the old number finds the next one until none is left.
  for (;;) {
    int32_t rec_no = 0;
    std::string found_key;
    if (!transactions.FindByKey(kTransactionCustomerKey, old_key, rec_no,
                                &found_key) ||
        found_key != old_key) {
      break;
    }
    TransactionRecord before;
    if (!ReadLiveRecord(transactions.engine(), transactions.handle(), rec_no,
                        before)) {
      platform::ShowError(app_.services().messages, kCustomerManagerCaption,
                          company::kModifyFailed);
      return std::nullopt;
    }
    TransactionRecord after = before;
    after.CustomerNo.Set(new_number);
    transactions.SetRecord(after);
    if (!transactions.ModifyWithKeys(rec_no, before)) {
      platform::ShowError(app_.services().messages, kCustomerManagerCaption,
                          company::kModifyFailed);
      return std::nullopt;
    }
    ++count;
  }
  transactions.Close();
  return count;
}

std::optional<bool> CustomerManager::HasTransactions(const std::string& number) {
  company::TransactionAccess transactions(app_);
  if (!transactions.OpenCompanyFile()) return std::nullopt;
  int32_t rec_no = 0;
  std::string found_key;
  const std::string key = NumberKey(number);
  const bool found =
      transactions.FindByKey(kTransactionCustomerKey, key, rec_no, &found_key) &&
      found_key == key;
  transactions.Close();
  return found;
}

bool CustomerManager::DeleteCustomer(int32_t rec_no) {
  CustomerRecord record;
  if (!Read(rec_no, record)) return false;
  platform::Messages& messages = app_.services().messages;
  if (company::MoneyToDouble(record.Balance.View()) != 0) {
    platform::Warn(messages, kDeleteCustomerCaption, kCustomerHasBalance);
    return false;
  }
  const std::optional<bool> has = HasTransactions(record.CustomerNo.Get());
  if (!has) {
    platform::ShowError(messages, kDeleteCustomerCaption, kCustomerDeleteFailed);
    return false;
  }
  if (*has) {
    platform::Inform(messages, kDeleteCustomerCaption, kCustomerHasInvoices);
    return false;
  }
  if (!platform::Confirm(messages,
                         kDeleteCustomerQuestionCaptionPrefix +
                             Trim(record.CustomerNo.View()),
                         kDeleteCustomerQuestion)) {
    return false;
  }
  customers_.SetRecord(record);
  if (!customers_.DeleteWithKeys(rec_no)) {
    platform::ShowError(messages, kCustomerManagerCaption, kCustomerDeleteFailed);
    return false;
  }
  return true;
}

bool CustomerManager::BuildCustomerList(int key_no, bool with_addresses,
                                        std::string& text) {
  text = ListHeading(kCustomerListTitlePrefix, app_, kCustomerListTitleWidth);
  return ForEachByKey<CustomerRecord>(
      customers_.engine(), customers_.handle(), key_no,
      [&](const CustomerRecord& record) {
        if (Trim(record.CustomerNo.View()).empty()) return;
        text += CustomerListEntry(record, with_addresses);
      });
}

bool CustomerManager::CustomerList(const company::ListWindowRunner& show_list) {
  platform::Messages& messages = app_.services().messages;
  const platform::Answer addresses = platform::AskYesNoCancel(
      messages, kCustomerListCaption, kCustomerListAddressQuestion);
  if (addresses == platform::Answer::kCancel) return false;
  const bool by_number = platform::ConfirmDefaultNo(
      messages, kCustomerSortCaption, kCustomerSortQuestion);
  return ShowTextList(
      app_, kCustomerListCaption,
      [&](std::string& text) {
        return BuildCustomerList(by_number ? kCustomerNoKey : kCustomerNameKey,
                                 addresses == platform::Answer::kYes, text);
      },
      by_number ? kCustomerListByNumber : kCustomerListByName,
      kCustomerListName, show_list);
}

std::string CustomerManager::AddToLabelQueue(int32_t rec_no) {
  CustomerRecord record;
  if (!Read(rec_no, record)) return std::string();
  app_.label_queue.push_back(company::LabelQueueRow{
      record.CustomerNo.Get(), record.CustomerName.Get(),
      record.MailListCode.Get(), record.CustomerType.Get()});
  app_.label_queue_pending = true;
  return record.CustomerName.Get() + kAddedToLabelQueue;
}

std::string CustomerManager::PrintEnvelope(int32_t rec_no) {
  CustomerRecord record;
  if (!Read(rec_no, record)) return std::string();
  platform::Printer& printer = app_.services().printer;
  platform::Messages& messages = app_.services().messages;
  const bool landscape =
      Trim(app_.CurrentCompany.EnvelopeOrientation.View()) == "L";
  printer.SetOrientation(landscape ? platform::PageOrientation::kLandscape
                                   : platform::PageOrientation::kPortrait);
  std::unique_ptr<platform::Canvas> canvas = printer.BeginJob(kEnvelopeJobTitle);
  printer.SetOrientation(platform::PageOrientation::kPortrait);
  if (!canvas) {
    platform::ShowError(messages, kCustomerManagerCaption,
                        kEnvelopeFailed + printer.LastError());
    return std::string();
  }
  DrawEnvelope(*canvas, app_.CurrentCompany, record);
  const platform::PrintJobStatus status = canvas->EndJob();
  if (!status.ok) {
    platform::ShowError(messages, kCustomerManagerCaption,
                        kEnvelopeFailed + status.error);
    return std::string();
  }
  const std::string name = record.CustomerName.Get();
  if (status.to_file) {
    return kEnvelopeForPrefix + name + kEnvelopeWrittenInfix +
           status.destination + ".";
  }
  return kEnvelopeForPrefix + name + kEnvelopeSentSuffix;
}

bool CustomerManager::Choose(int32_t rec_no) {
  CustomerRecord record;
  if (!Read(rec_no, record)) return false;
  app_.CurrentCustomer = record;
  return true;
}

}  // namespace tallybook::billing
