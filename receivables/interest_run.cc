#include "receivables/interest_run.h"

#include <algorithm>
#include <cstdint>

#include "billing/invoice_form.h"
#include "company/aging.h"
#include "company/data_access.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/op_journal.h"
#include "company/text.h"
#include "store/errors.h"

namespace tallybook::receivables {

using company::App;
using company::Cents;
using company::CentsOf;
using company::CentsText;
using company::CompanyListAccess;
using company::CompanyRecord;
using company::CustomerAccess;
using company::CustomerRecord;
using company::LineAccess;
using company::TransactionAccess;
using company::TransactionRecord;
using company::Trim;

namespace {

// A percentage above this is refused: no finance charge is larger than the
// amount it is charged on, and the product must stay within whole cents.
constexpr int64_t kMaxPercent = 100;
// The widest amount an invoice's money fields and line columns hold.
constexpr size_t kAmountWidth = 10;
// The widest invoice number.
constexpr size_t kInvoiceNoWidth = 9;

std::string ZeroPadded(int value, size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

InterestRefusal Refusal(
    InterestField field, std::string caption, std::string text,
    platform::MessageKind kind = platform::MessageKind::kWarning) {
  return InterestRefusal{field, std::move(caption), std::move(text), kind};
}

void Show(App& app, const InterestRefusal& refusal) {
  platform::Message m;
  m.kind = refusal.kind;
  m.caption = refusal.caption;
  m.text = refusal.text;
  app.services().messages.Show(m);
}

void ShowError(App& app, const std::string& text) {
  platform::ShowError(app.services().messages, kInterestWizardCaption, text);
}

// The percentage as an exact decimal, or the refusal naming the field.
std::optional<InterestRefusal> ReadPercent(const std::string& text,
                                           company::Decimal* rate) {
  std::optional<company::Decimal> d = company::ParseDecimal(text);
  if (!d || d->units < 0) {
    return Refusal(InterestField::kPercent, kInterestWizardCaption,
                   NotAPercentageText(text));
  }
  // units / 10^scale > 100 exactly when units > 100 * 10^scale.
  __int128 limit = kMaxPercent;
  for (int i = 0; i < d->scale; ++i) limit *= 10;
  if (d->units > limit) {
    return Refusal(InterestField::kPercent, kInterestWizardCaption,
                   NotAPercentageText(text));
  }
  *rate = *d;
  return std::nullopt;
}

std::optional<InterestRefusal> ReadMinimum(const std::string& text,
                                           Cents* minimum) {
  const company::MoneyFieldCheck check =
      company::CheckMoneyField(text, minimum);
  if (check != company::MoneyFieldCheck::kOk) {
    return Refusal(InterestField::kMinimum, kInterestWizardCaption,
                   company::MoneyFieldMessage(kMinimumFieldName, text, check));
  }
  if (*minimum < 0) {
    return Refusal(InterestField::kMinimum, kInterestWizardCaption,
                   std::string(kMinimumFieldName) + ": " + Trim(text) +
                       " must not be negative.");
  }
  return std::nullopt;
}

// The overdue amount of a customer for the choice.
Cents OverdueOf(const CustomerRecord& c, InterestAging aging) {
  Cents sum = CentsOf(c.Aging4.View());
  if (aging != InterestAging::kOverLimit3) sum += CentsOf(c.Aging3.View());
  if (aging == InterestAging::kOverLimit1) sum += CentsOf(c.Aging2.View());
  return sum;
}

company::PString<10>* BucketField(CustomerRecord& c, int bucket) {
  switch (bucket) {
    case 0:
      return &c.AgingCurrent;
    case 1:
      return &c.Aging2;
    case 2:
      return &c.Aging3;
    default:
      return &c.Aging4;
  }
}

// Finds the customer by number (key 2) and reads it into the current
// record; false when it is not on file or cannot be read.
bool FindCustomer(CustomerAccess& customers, const std::string& customer_no,
                  int32_t* rec_no) {
  const std::string key =
      company::KeyText(customer_no, company::kCustomerNoKeyLength);
  std::string found;
  return customers.FindByKey(2, key, *rec_no, &found) && found == key &&
         customers.GetRecord(*rec_no);
}

// Reads the current company's record from the company list, lets change
// alter it and stores it back (the guarded modify). On success
// App::CurrentCompany takes the stored record.
template <class Change>
bool ChangeCompany(App& app, Change change) {
  CompanyListAccess list(app);
  bool stored = false;
  if (list.OpenCompanyFile()) {
    const std::string key =
        company::KeyText(app.CurrentCompanyNo(), company::kCompanyNoKeyLength);
    int32_t rec_no = 0;
    std::string found;
    if (list.FindByKey(1, key, rec_no, &found) && found == key &&
        list.GetRecord(rec_no)) {
      const CompanyRecord before = list.rec();
      change(list.rec());
      stored = list.ModifyWithKeys(rec_no, before);
      if (stored) app.CurrentCompany = list.rec();
    }
  }
  return list.Close() && stored;
}

// The counter's numeric value, read as the program has always read it
// (blanks and commas ignored, text that is no number counts 0).
int64_t CounterValue(std::string_view text) {
  const Cents cents = CentsOf(text);
  return cents / 100;
}

// The invoice number of counter value n.
std::string InterestNumber(int64_t n) {
  return std::to_string(n) + kInterestNumberSuffix;
}

// The open files of a run.
struct RunFiles {
  explicit RunFiles(App& app) : lines(app), customers(app), transactions(app) {}
  LineAccess lines;
  CustomerAccess customers;
  TransactionAccess transactions;
};

// What one customer's invoice needs besides the row.
struct InvoiceContext {
  const InterestSettings& settings;
  company::Date date;
  int bucket = 0;
  std::string company_no;
};

void FillInvoice(const InvoiceContext& ctx, const InterestRow& row,
                 const CustomerRecord& customer, TransactionRecord& r) {
  const std::string amount = CentsText(row.charge);
  r.InvoiceNo.Set(row.invoice_no);
  r.TypeCode.Set("I");
  if (ctx.settings.mark_printed) r.PrintedFlag.Set("Y");
  r.DateText.Set(ctx.settings.invoice_date);
  r.Month.Set(ZeroPadded(ctx.date.month, 2));
  r.Day.Set(ZeroPadded(ctx.date.day, 2));
  r.Year.Set(ZeroPadded(ctx.date.year, 4));
  r.SortDate.Set(company::SortableDate(ctx.date));
  r.InvoiceNotes.Set(ctx.settings.comments);
  r.InvoiceTerms.Set(ctx.settings.terms);
  r.StatementNote.Set(ctx.settings.statement_note);
  r.CustomerNo.Set(Trim(customer.CustomerNo.View()));
  r.ShortName.Set(customer.ShortName.View());
  r.KeyCode.Set(kInterestKeyCode);
  r.NetAmount.Set(amount);
  r.TaxAmount.Set(billing::kZeroAmount);
  r.GrandTotal.Set(amount);
  r.PaidAmount.Set(billing::kZeroAmount);
  r.AmountDue.Set(amount);
  r.CompanyNo.Set(ctx.company_no);
  r.InvoiceKind.Set("P");
}

void FillLine(const TransactionRecord& invoice, company::LineRecord& line) {
  billing::InvoiceLine row;
  row.product = kInterestKeyCode;
  row.quantity = "1";
  row.description = kInterestChargesText;
  row.unit_price = invoice.GrandTotal.Get();
  row.flag = "N";
  row.extension = invoice.GrandTotal.Get();
  line.LineText.Set(billing::BuildLineText(row));
  line.LineKind.Set("P");
  line.CompanyNo.Set(invoice.CompanyNo.View());
  line.InvoiceNo.Set(invoice.InvoiceNo.View());
  line.InvoiceSortDate.Set(invoice.SortDate.View());
  line.LineProductCode.Set(kInterestKeyCode);
  line.CustomerNo.Set(invoice.CustomerNo.View());
  line.LineShortName.Set(invoice.ShortName.View());
}

// Writes one customer's invoice, line and charge, or nothing. True when the
// invoice is on file and charged.
bool ChargeCustomer(App& app, RunFiles& files, const InvoiceContext& ctx,
                    const InterestRow& row) {
  int32_t customer_rec = 0;
  if (!FindCustomer(files.customers, row.customer_no, &customer_rec)) {
    ShowError(app, InterestCustomerMissingText(row.customer_no));
    return false;
  }
  const CustomerRecord customer = files.customers.rec();

  files.transactions.ClearRecord();
  FillInvoice(ctx, row, customer, files.transactions.rec());
  const TransactionRecord invoice = files.transactions.rec();
  int32_t invoice_rec = 0;
  if (!files.transactions.AddWithKeys(invoice_rec)) {
    ShowError(app, kAddLateFeeFailed);
    return false;
  }
  // Takes the invoice back; when even that fails it stays on file, and
  // the customer is charged for it so that the books follow the records.
  auto take_back_invoice = [&] {
    files.transactions.SetRecord(invoice);
    return files.transactions.DeleteWithKeys(invoice_rec);
  };

  files.lines.ClearRecord();
  FillLine(invoice, files.lines.rec());
  const company::LineRecord line = files.lines.rec();
  int32_t line_rec = 0;
  const bool line_added = files.lines.AddWithKeys(line_rec);
  if (!line_added) {
    ShowError(app, kInterestLineFailed);
    if (take_back_invoice()) return false;
  }

  CustomerRecord& c = files.customers.rec();
  c.Balance.Set(CentsText(CentsOf(c.Balance.View()) + row.charge));
  c.LastInvoiceNo.Set(row.invoice_no);
  company::PString<10>* bucket = BucketField(c, ctx.bucket);
  bucket->Set(CentsText(CentsOf(bucket->View()) + row.charge));
  if (files.customers.ModifyWithKeys(customer_rec, customer)) return true;
  ShowError(app, company::kModifyFailed);
  if (line_added) {
    files.lines.SetRecord(line);
    if (!files.lines.DeleteWithKeys(line_rec)) return false;
  }
  take_back_invoice();
  return false;
}

}  // namespace

// ---- Settings.

std::string AgingChoiceCode(InterestAging aging) {
  switch (aging) {
    case InterestAging::kOverLimit2:
      return "6";
    case InterestAging::kOverLimit3:
      return "9";
    default:
      return "3";
  }
}

InterestAging AgingChoiceOf(std::string_view code) {
  const std::string c = Trim(code);
  if (c == "6") return InterestAging::kOverLimit2;
  if (c == "9") return InterestAging::kOverLimit3;
  return InterestAging::kOverLimit1;
}

std::string AgingChoiceCaption(const CompanyRecord& company,
                               InterestAging aging) {
  const company::PString<3>* limit = &company.AgingDays1;
  if (aging == InterestAging::kOverLimit2) limit = &company.AgingDays2;
  if (aging == InterestAging::kOverLimit3) limit = &company.AgingDays3;
  return "Over " + Trim(limit->View()) + " Days";
}

InterestSettings StoredInterestSettings(const CompanyRecord& company,
                                        const std::string& today_text) {
  InterestSettings s;
  s.aging = AgingChoiceOf(company.InterestAgingChoice.View());
  // A kept text shorter than two characters was never set.
  if (company.InterestPercent.View().size() >= 2) {
    s.percent = company.InterestPercent.Get();
  }
  if (company.InterestMinimum.View().size() >= 2) {
    s.minimum = company.InterestMinimum.Get();
  }
  s.mark_printed = company.InterestMarkPrinted != 0;
  s.terms = company.InterestTerms.Get();
  s.invoice_date = today_text;
  return s;
}

std::string LastInterestText(const CompanyRecord& company) {
  return kLastInterestPrefix + Trim(company.LastInterestDate.View());
}

std::optional<InterestRefusal> CheckFlatRateText(std::string_view text) {
  const std::string t = Trim(text);
  if (t.find('-') != std::string::npos) {
    return Refusal(InterestField::kFlatRate, kFlatRateAmountCaption,
                   kNegativeFlatRate);
  }
  if (t.empty()) return std::nullopt;
  Cents cents = 0;
  const company::MoneyFieldCheck check = company::CheckMoneyField(t, &cents);
  if (check == company::MoneyFieldCheck::kTooManyDecimals) {
    return Refusal(InterestField::kFlatRate, kInvalidFlatRateCaption,
                   company::MoneyFieldMessage("Flat Rate", t, check));
  }
  // Digits with one point only: no sign, no separators.
  const bool plain = std::all_of(t.begin(), t.end(), [](char ch) {
    return (ch >= '0' && ch <= '9') || ch == '.';
  });
  if (check != company::MoneyFieldCheck::kOk || !plain) {
    return Refusal(InterestField::kFlatRate, kInvalidFlatRateCaption,
                   kFlatRateNotNumeric);
  }
  return std::nullopt;
}

std::string NotAPercentageText(std::string_view text) {
  return std::string(kPercentFieldName) + ": \"" + Trim(text) +
         "\" is not a percentage. Enter a number from 0 to 100, such as "
         "1.50.";
}

// ---- Scan.

InterestScanResult ScanInterest(App& app, const InterestSettings& settings) {
  InterestScanResult result;
  company::Decimal rate;
  Cents minimum = 0;
  Cents flat = 0;
  std::optional<InterestRefusal> refusal;
  if (!settings.flat) {
    refusal = ReadPercent(settings.percent, &rate);
    if (!refusal) refusal = ReadMinimum(settings.minimum, &minimum);
  } else {
    refusal = CheckFlatRateText(settings.flat_rate);
    if (!refusal) {
      const std::string text = Trim(settings.flat_rate).empty()
                                   ? kDefaultFlatRate
                                   : Trim(settings.flat_rate);
      company::CheckMoneyField(text, &flat);
      if (flat == 0) {
        refusal = Refusal(InterestField::kFlatRate, kFlatRateFeeCaption,
                          kNoFlatRate, platform::MessageKind::kInformation);
      }
    }
  }
  if (refusal) {
    Show(app, *refusal);
    result.refusal = refusal;
    return result;
  }

  company::BusyGuard busy(app);
  InterestScan& scan = result.scan;
  scan.aging = settings.aging;
  scan.aging_caption = AgingChoiceCaption(app.CurrentCompany, settings.aging);
  CustomerAccess customers(app);
  store::Engine& engine = app.engine();
  // A company without a customers file has nobody to charge; the scan
  // does not make the file.
  const bool opened = customers.OpenExistingCompanyFile();
  const bool no_file =
      !opened && engine.StoreError() == store::kErrFileNotFound;
  bool read_ok = opened && engine.ResetKeyPosition(customers.handle(), 1);
  int32_t ref = 0;
  std::string key;
  while (read_ok && engine.NextKey(customers.handle(), 1, ref, key)) {
    if (!customers.GetRecord(ref)) {
      read_ok = false;
      break;
    }
    const CustomerRecord& c = customers.rec();
    if (c.DeleteMark != 0) continue;
    const Cents overdue = OverdueOf(c, settings.aging);
    if (overdue <= 0) continue;
    const Cents charge =
        settings.flat ? flat : company::PercentOfCents(overdue, rate);
    // The minimum is a threshold; a charge of nothing is never billed.
    if (charge <= 0 || charge < minimum) continue;
    if (CentsText(charge).size() > kAmountWidth) {
      refusal = Refusal(InterestField::kPercent, kInterestWizardCaption,
                        InterestChargeTooLargeText(c.CustomerNo.Get()));
      Show(app, *refusal);
      result.refusal = refusal;
      result.scan = InterestScan{};
      return result;
    }
    InterestRow row;
    row.customer_no = Trim(c.CustomerNo.View());
    row.name = Trim(c.CustomerName.View());
    row.overdue = overdue;
    row.charge = charge;
    scan.rows.push_back(row);
    scan.total_overdue += overdue;
    scan.total_charge += charge;
  }
  // The walk ends on "no next key"; anything else is a failure.
  if (!no_file && (!read_ok || engine.ErrorClass() != 1)) {
    const int error = engine.StoreError();
    customers.Close();
    ShowError(app, company::AgingFileErrorText(
                       company::BaseNameOf(company::CustomerFile(),
                                           app.CurrentCompanyNo()),
                       error));
    result.outcome = ScanOutcome::kFileFailed;
    result.scan = InterestScan{};
    return result;
  }
  customers.Close();
  if (scan.rows.empty()) {
    platform::Inform(app.services().messages, kInterestWizardCaption,
                     kNoRecordsFound);
    result.outcome = ScanOutcome::kNothingFound;
    return result;
  }
  result.outcome = ScanOutcome::kFound;
  return result;
}

// ---- The grid.

GridLine InterestGridHeader(const InterestScan& scan) {
  GridLine line = {kCustomerNameHeading, kCustomerNoHeading, scan.aging_caption,
                   kInterestChargeHeading};
  if (scan.generated) line.push_back(kInvoiceNoHeading);
  return line;
}

GridLine InterestGridRow(const InterestScan& scan, const InterestRow& row) {
  GridLine line = {row.name, row.customer_no, company::FormatCents(row.overdue),
                   company::FormatCents(row.charge)};
  if (scan.generated) {
    line.push_back(row.created ? row.invoice_no : kNotCreatedText);
  }
  return line;
}

GridLine InterestTotalsRow(const InterestScan& scan) {
  GridLine line = {kTotalsText, "", company::FormatCents(scan.total_overdue),
                   company::FormatCents(scan.total_charge)};
  if (scan.generated) line.push_back("");
  return line;
}

std::vector<GridLine> InterestGridLines(const InterestScan& scan) {
  std::vector<GridLine> lines;
  lines.push_back(InterestGridHeader(scan));
  for (const InterestRow& row : scan.rows) {
    lines.push_back(InterestGridRow(scan, row));
  }
  lines.push_back(InterestTotalsRow(scan));
  return lines;
}

std::string FoundPromptText(int count) {
  return std::to_string(count) +
         " found. Complete data below then select generate button...";
}

// ---- Generation.

InterestRunResult GenerateInterest(App& app, const InterestSettings& settings,
                                   InterestScan* scan) {
  InterestRunResult result;
  result.rows = static_cast<int>(scan->rows.size());
  platform::Messages& messages = app.services().messages;
  const std::optional<company::Date> date =
      app.ParseDate(settings.invoice_date);
  if (!date) {
    result.refusal = Refusal(InterestField::kInvoiceDate, kInvoiceDateCaption,
                             kInvalidInvoiceDate);
    Show(app, *result.refusal);
    return result;
  }
  int32_t l1 = 0, l2 = 0, l3 = 0;
  if (!company::ReadAgingDays(app.CurrentCompany, &l1, &l2, &l3)) {
    platform::Warn(messages, kInterestWizardCaption, company::kBadAgingDays);
    return result;
  }
  const int64_t first = CounterValue(app.CurrentCompany.NextInvoiceNo.View());
  const int64_t next = first + result.rows;
  if (result.rows > 0 && InterestNumber(next - 1).size() > kInvoiceNoWidth) {
    ShowError(app, InterestNumbersTooLongText(InterestNumber(next - 1)));
    return result;
  }

  company::BusyGuard busy(app);
  company::JournalScope journal(app, "Interest invoices");
  if (!journal.ok()) return result;
  RunFiles files(app);
  if (!files.lines.OpenCompanyFile() || !files.customers.OpenCompanyFile() ||
      !files.transactions.OpenCompanyFile()) {
    return result;
  }
  // The numbers of the run are taken before any invoice carries one, so
  // that no later run can give them again.
  const std::string next_text = std::to_string(next);
  if (!ChangeCompany(
          app, [&](CompanyRecord& c) { c.NextInvoiceNo.Set(next_text); })) {
    ShowError(app, company::kModifyFailed);
    return result;
  }

  scan->generated = true;
  InvoiceContext ctx{settings, *date,
                     company::AgingCategory(
                         company::AgeInDays(*date, app.Today()), l1, l2, l3),
                     app.CurrentCompanyNo()};
  int64_t last_created = 0;
  for (int i = 0; i < result.rows; ++i) {
    InterestRow& row = scan->rows[static_cast<size_t>(i)];
    row.invoice_no = InterestNumber(first + i);
    row.created = ChargeCustomer(app, files, ctx, row);
    if (!row.created) continue;
    ++result.created;
    result.charged += row.charge;
    last_created = first + i;
  }
  bool closed = files.transactions.Close();
  closed = files.lines.Close() && closed;
  closed = files.customers.Close() && closed;
  if (!closed) {
    ShowError(app, InterestFilesNotClosedText(app.engine().StoreError()));
  }

  const Cents charged = result.charged;
  auto totals = [&](CompanyRecord& c) {
    c.ReceivablesBalance.Set(
        CentsText(CentsOf(c.ReceivablesBalance.View()) + charged));
    if (last_created > 0) c.LastInvoiceNo.Set(std::to_string(last_created));
    c.NextInvoiceNo.Set(next_text);
    c.InterestAgingChoice.Set(AgingChoiceCode(settings.aging));
    c.InterestPercent.Set(settings.percent);
    c.InterestMinimum.Set(settings.minimum);
    c.InterestMarkPrinted = settings.mark_printed ? 1 : 0;
    c.InterestTerms.Set(settings.terms);
    c.LastInterestDate.Set(settings.invoice_date);
  };
  if (!ChangeCompany(app, totals)) {
    // What the window shows follows the invoices written until the next
    // aging run re-sums the receivables.
    totals(app.CurrentCompany);
    ShowError(app, InterestTotalsNotStoredText());
  }
  result.outcome = result.created == result.rows ? RunOutcome::kDone
                                                 : RunOutcome::kIncomplete;
  return result;
}

std::string RunCompleteQuestion(const InterestRunResult& result) {
  std::string count = std::to_string(result.created);
  if (result.created != result.rows) {
    count += " of " + std::to_string(result.rows);
  }
  return count +
         " invoices were created. Would you like to send a report to the "
         "printer?";
}

std::string InterestCustomerMissingText(const std::string& customer_no) {
  return "Customer " + Trim(customer_no) +
         " is no longer on file. No interest invoice was created for it.";
}

std::string InterestChargeTooLargeText(const std::string& customer_no) {
  return "The interest charge of customer " + Trim(customer_no) +
         " is too large for an invoice. Check the percentage rate.";
}

std::string InterestNumbersTooLongText(const std::string& last_number) {
  return "The interest invoices would be numbered up to " + last_number +
         ", longer than the 9 characters of an invoice number. Set a smaller "
         "next invoice number in the company options. No invoice was "
         "created.";
}

std::string InterestTotalsNotStoredText() {
  return "The interest invoices were created, but the company's receivables "
         "and interest settings could not be stored. Run the Aging Chart "
         "command to recalculate the receivables.";
}

std::string InterestFilesNotClosedText(int store_error) {
  return "The invoice files could not be closed after the interest invoices "
         "were written (error " +
         std::to_string(store_error) +
         "). You will be asked to rebuild them when they are next opened.";
}

}  // namespace tallybook::receivables
