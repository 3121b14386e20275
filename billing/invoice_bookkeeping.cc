#include "billing/invoice_bookkeeping.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "billing/type_codes.h"
#include "company/aging.h"
#include "company/data_access.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/money.h"
#include "company/op_journal.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::billing {

using company::App;
using company::Cents;
using company::CentsOf;
using company::CentsText;
using company::CompanyListAccess;
using company::CompanyRecord;
using company::CustomerAccess;
using company::CustomerRecord;
using company::Date;
using company::FormatMoney;
using company::FormatMoneyText;
using company::KeyText;
using company::LineAccess;
using company::LineRecord;
using company::MemoAccess;
using company::MemoRecord;
using company::MoneyToStore;
using company::TransactionAccess;
using company::TransactionRecord;
using company::Trim;
using company::UpperCase1252;

namespace {

// ---- Small readers of the records.

char TypeOf(const TransactionRecord& record) {
  const std::string code = Trim(record.TypeCode.View());
  return code.empty() ? '\0' : UpperCase1252(code)[0];
}

bool IsMemoInvoice(const TransactionRecord& record) {
  return Trim(record.InvoiceKind.View()) == "M";
}

// The date of a stored transaction: its display date, else its sort date.
std::optional<Date> DateOfRecord(const App& app,
                                 const TransactionRecord& record) {
  if (auto d = app.ParseDate(record.DateText.View())) return d;
  return company::ParseSortableDate(record.SortDate.View());
}

int BucketOfRecord(const App& app, const TransactionRecord& record) {
  return AgingBucketOf(app, DateOfRecord(app, record).value_or(app.Today()));
}

company::PString<10>* BucketField(CustomerRecord& customer, int bucket) {
  switch (bucket) {
    case 0: return &customer.AgingCurrent;
    case 1: return &customer.Aging2;
    case 2: return &customer.Aging3;
    default: return &customer.Aging4;
  }
}

template <class Field>
void AddTo(Field& field, Cents amount) {
  field.Set(CentsText(CentsOf(field.View()) + amount));
}

void ShowFailure(App& app, const std::string& text) {
  platform::ShowError(app.services().messages, kInvoiceErrorCaption, text);
}

void Inform(App& app, const char* caption, const char* text) {
  platform::Inform(app.services().messages, caption, text);
}

void FillLabels(const App& app, InvoiceOutcome& out) {
  out.company_name = Trim(app.CurrentCompany.CompanyName.View());
  out.receivables =
      FormatMoneyText(app.CurrentCompany.ReceivablesBalance.View());
}

// ---- Customer and company updates.

// Finds the customer by number (key 2) and reads it; rec_no receives its
// record number. False when there is no such customer.
bool FindCustomer(CustomerAccess& customers, const std::string& customer_no,
                  int32_t& rec_no) {
  const std::string key = KeyText(customer_no, company::kCustomerNoKeyLength);
  std::string found;
  return customers.FindByKey(2, key, rec_no, &found) && found == key &&
         customers.GetRecord(rec_no);
}

// Whether the customer is on file (false also when the customers file
// cannot be read: nothing is billed to a customer that cannot be found).
bool CustomerOnFile(App& app, const std::string& customer_no) {
  CustomerAccess customers(app);
  if (!customers.OpenCompanyFile()) return false;
  int32_t rec_no = 0;
  const bool found = FindCustomer(customers, customer_no, rec_no);
  customers.Close();
  return found;
}

// Reads the customer, lets change alter it and stores it back with the
// guarded modify. Shows kModifyFailed when the customer cannot be stored; a
// customer that is not on file is left alone.
template <class Change>
void UpdateCustomer(App& app, const std::string& customer_no, Change change) {
  CustomerAccess customers(app);
  if (!customers.OpenCompanyFile()) {
    ShowFailure(app, company::kModifyFailed);
    return;
  }
  int32_t rec_no = 0;
  if (FindCustomer(customers, customer_no, rec_no)) {
    const CustomerRecord before = customers.rec();
    change(customers.rec());
    if (!customers.ModifyWithKeys(rec_no, before)) {
      ShowFailure(app, company::kModifyFailed);
    }
  }
  customers.Close();
}

// The same for the current company's record in the company list; on
// success App::CurrentCompany takes the stored record.
template <class Change>
void UpdateCompany(App& app, Change change) {
  CompanyListAccess list(app);
  bool stored = false;
  if (list.OpenCompanyFile()) {
    const std::string key =
        KeyText(app.CurrentCompanyNo(), company::kCompanyNoKeyLength);
    int32_t rec_no = 0;
    std::string found;
    if (list.FindByKey(1, key, rec_no, &found) && found == key &&
        list.GetRecord(rec_no)) {
      const CompanyRecord before = list.rec();
      change(list.rec());
      stored = list.ModifyWithKeys(rec_no, before);
      if (stored) app.CurrentCompany = list.rec();
    }
    list.Close();
  }
  if (!stored) {
    // The running totals in memory still follow the invoice, so that what
    // the window shows is right until the next aging run re-sums them.
    change(app.CurrentCompany);
    ShowFailure(app, company::kModifyFailed);
  }
}

void MoveReceivables(App& app, Cents amount) {
  UpdateCompany(app, [&](CompanyRecord& company) {
    AddTo(company.ReceivablesBalance, amount);
  });
}

// ---- The transaction record from the form.

// Fills the fields that Add and Edit take from the editor.
void FillFromForm(App& app, const InvoiceForm& form,
                  TransactionRecord& record) {
  record.InvoiceNo.Set(UpperCase1252(Trim(form.invoice_no)));
  record.DateText.Set(form.date);
  app.last_invoice_date = form.date;
  if (auto d = app.ParseDate(form.date)) {
    const std::string sortable = company::SortableDate(*d);
    record.Year.Set(sortable.substr(0, 4));
    record.Month.Set(sortable.substr(5, 2));
    record.Day.Set(sortable.substr(8, 2));
    record.SortDate.Set(sortable);
  }
  record.InvoiceNotes.Set(form.notes);
  record.InvoiceTerms.Set(form.terms);
  record.StatementNote.Set(form.statement_note);
  record.CustomerNo.Set(form.customer_no);
  record.ShortName.Set(form.short_name);
  record.KeyCode.Set(form.key_code);
  // Amounts are stored in whole cents without separators, so that a net of
  // a million keeps its cents in the ten characters of the field.
  record.NetAmount.Set(CentsText(CentsOf(form.net)));
  record.TaxAmount.Set(CentsText(CentsOf(form.tax)));
  record.GrandTotal.Set(CentsText(CentsOf(form.total)));
  record.PaidAmount.Set(CentsText(CentsOf(form.paid)));
  record.AmountDue.Set(CentsText(CentsOf(form.total) - CentsOf(form.paid)));
}

// What the invoice still owes: total - paid.
Cents OpenAmount(const TransactionRecord& record) {
  return CentsOf(record.GrandTotal.View()) - CentsOf(record.PaidAmount.View());
}

// ---- Lines.

// Row 1 of a memo invoice stands for the whole body.
void SetMemoRow(InvoiceForm& form, bool whole_row) {
  InvoiceLine& row = form.lines[0];
  if (whole_row) {
    row.product = kMemoProduct;
    row.flag = kMemoFlag;
  }
  row.quantity = form.memo_quantity;
  row.description = form.memo_description;
  row.unit_price = form.net;
  row.extension = form.net;
}

void FillLineRecord(const InvoiceLine& row, const TransactionRecord& record,
                    const char* kind, LineRecord& line) {
  line.LineText.Set(BuildLineText(row));
  line.LineKind.Set(kind);
  line.CompanyNo.Set(record.CompanyNo.View());
  line.InvoiceNo.Set(record.InvoiceNo.View());
  line.InvoiceSortDate.Set(record.SortDate.View());
  line.LineProductCode.Set(Trim(row.product));
  line.CustomerNo.Set(record.CustomerNo.View());
  line.LineShortName.Set(record.ShortName.View());
}

// Record numbers of the lines of invoice_no in key order, at most 99.
std::vector<int32_t> LinesOf(LineAccess& lines, std::string_view invoice_no) {
  return LineRecordsOf(lines, invoice_no, kGridLines);
}

void FillMemoRecord(const InvoiceForm& form, const std::string& invoice_no,
                    MemoRecord& memo) {
  memo.InvoiceNo.Set(invoice_no);
  const std::vector<std::string> lines = MemoLines(form.memo);
  for (int i = 0; i < company::kMemoLineCount; ++i) {
    memo.MemoLines[i].Set(i < static_cast<int>(lines.size()) ? lines[i] : "");
  }
}

std::string CustomerAmount(std::string_view stored) {
  return FormatMoneyText(stored);
}

}  // namespace

std::vector<int32_t> LineRecordsOf(company::LineAccess& lines,
                                   std::string_view invoice_no,
                                   size_t limit) {
  std::vector<int32_t> found;
  const std::string key =
      KeyText(invoice_no, company::kLineInvoiceNoKeyLength);
  store::Engine& engine = lines.engine();
  int32_t ref = 0;
  std::string at = key;
  bool ok = engine.SearchKey(lines.handle(), 2, ref, at);
  while (ok && at == key && found.size() < limit) {
    found.push_back(ref);
    ok = engine.NextKey(lines.handle(), 2, ref, at);
  }
  return found;
}

// ---- Texts.

std::string AddInvoiceCaption(const CompanyRecord& company) {
  return "Add Invoice - Company: " + Trim(company.CompanyName.View()) +
         " - #" + Trim(company.CompanyNo.View());
}

std::string CustomerNotOnFileText(const std::string& customer_no) {
  return "Customer " + Trim(customer_no) +
         " is not on file. The invoice was not added.";
}

std::string AddedStatusText(const std::string& invoice_no, int line_count) {
  return "Added invoice " + invoice_no + " containing " +
         std::to_string(line_count) + " line item(s).";
}

std::string EditedStatusText(const std::string& invoice_no) {
  return "Editing invoice " + invoice_no + " completed.";
}

std::string DeletedStatusText(const std::string& invoice_no, int line_count,
                              bool memo) {
  if (memo) return "Deleted memo invoice " + invoice_no + ".";
  return "Deleted invoice " + invoice_no + " containing " +
         std::to_string(line_count) + " line item(s).";
}

int AgingBucketOf(const App& app, const Date& date) {
  const CompanyRecord& c = app.CurrentCompany;
  const int l1 = company::WholeNumberOr(c.AgingDays1.View(), 30);
  const int l2 = company::WholeNumberOr(c.AgingDays2.View(), 60);
  const int l3 = company::WholeNumberOr(c.AgingDays3.View(), 90);
  if (!date.IsValid()) return 0;
  return company::AgingCategory(company::AgeInDays(date, app.Today()), l1, l2,
                                l3);
}

// ---- Add.

InvoiceForm PrepareNewInvoice(App& app) {
  const CompanyRecord& company = app.CurrentCompany;
  app.invoice_editing = false;
  app.invoice_no_at_open = "0";
  app.invoice_total_at_open = kZeroAmount;
  InvoiceForm form;
  ResetGrid(form, company);
  form.date = app.last_invoice_date.empty() ? app.TodayText
                                            : app.last_invoice_date;
  form.key_code = kNoKeyCode;
  form.kind = Trim(company.DefaultInvoiceKind.View()) == "P"
                  ? InvoiceKind::kLineItems
                  : InvoiceKind::kMemo;
  form.invoice_no =
      ProposedInvoiceNumber(company, form.date, app.short_date_order());
  form.terms = Trim(company.DefaultTerms.View());
  form.print = company.NewInvoicePrintFlag != 0;
  form.calc_tax = company.CalcTaxes != 0;
  return form;
}

InvoiceOutcome AddInvoice(App& app, const RunInvoiceEditor& run) {
  InvoiceOutcome out;
  FillLabels(app, out);
  InvoiceForm form = PrepareNewInvoice(app);
  if (!run(form)) return out;
  if (!CustomerOnFile(app, form.customer_no)) {
    platform::Inform(app.services().messages, kInvoiceErrorCaption,
                     CustomerNotOnFileText(form.customer_no));
    return out;
  }
  company::JournalScope journal(app, "Add invoice " + Trim(form.invoice_no));
  if (!journal.ok()) return out;

  TransactionAccess transactions(app);
  if (!transactions.OpenCompanyFile()) {
    ShowFailure(app, company::kAddFailed);
    return out;
  }
  transactions.ClearRecord();
  TransactionRecord& record = transactions.rec();
  FillFromForm(app, form, record);
  record.TypeCode.Set(std::string(1, kTypeInvoice));
  if (OpenAmount(record) == 0) {
    record.PaidStatus.Set("P");
    record.PaidSortDate.Set(record.SortDate.View());
  }
  record.CompanyNo.Set(app.CurrentCompanyNo());
  const bool memo = form.kind == InvoiceKind::kMemo;
  record.InvoiceKind.Set(memo ? "M" : "P");
  int32_t rec_no = 0;
  if (!transactions.AddWithKeys(rec_no)) {
    transactions.Close();
    ShowFailure(app, company::kAddFailed);
    return out;
  }
  transactions.Close();
  out.changed = true;
  out.rec_no = rec_no;
  out.record = record;
  const std::string invoice_no = record.InvoiceNo.Get();

  if (memo) SetMemoRow(form, /*whole_row=*/true);
  {
    LineAccess lines(app);
    const bool open = lines.OpenCompanyFile();
    for (const InvoiceLine& row : form.lines) {
      if (!row.IsInvoiceLine()) continue;
      bool added = false;
      if (open) {
        lines.ClearRecord();
        FillLineRecord(row, record, memo ? "M" : "P", lines.rec());
        int32_t line_no = 0;
        added = lines.AddWithKeys(line_no);
      }
      if (added) {
        ++out.line_count;
      } else {
        ShowFailure(app, kDetailAddFailed);
      }
    }
    lines.Close();
  }

  const Cents amount = OpenAmount(record);
  const Cents paid = CentsOf(record.PaidAmount.View());
  const int bucket = BucketOfRecord(app, record);
  const std::string customer_no = record.CustomerNo.Get();
  std::optional<CustomerRecord> customer;
  UpdateCustomer(app, customer_no, [&](CustomerRecord& c) {
    AddTo(c.Balance, amount);
    c.LastInvoiceNo.Set(invoice_no);
    if (paid > 0) c.LastPaymentDate.Set(record.DateText.View());
    AddTo(*BucketField(c, bucket), amount);
    customer = c;
  });

  if (customer && company::IsYes(app.CurrentCompany.LabelOnNewInvoice.View())) {
    app.label_queue.push_back({Trim(customer->CustomerNo.View()),
                               Trim(customer->CustomerName.View()),
                               Trim(customer->MailListCode.View()),
                               Trim(customer->CustomerType.View())});
  }

  UpdateCompany(app, [&](CompanyRecord& company) {
    AddTo(company.ReceivablesBalance, amount);
    company.NextInvoiceNo.Set(NextInvoiceNumberAfter(
        invoice_no, company::IsYes(company.YearMonthPrefix.View())));
    company.LastInvoiceNo.Set(invoice_no);
  });
  FillLabels(app, out);

  if (memo) {
    MemoAccess memos(app);
    bool added = false;
    if (memos.OpenCompanyFile()) {
      memos.ClearRecord();
      FillMemoRecord(form, invoice_no, memos.rec());
      int32_t memo_no = 0;
      added = memos.AddWithKeys(memo_no);
      memos.Close();
    }
    if (!added) {
      ShowFailure(app, kMemoAddFailed);
      return out;
    }
  }
  out.status_text = AddedStatusText(invoice_no, out.line_count);
  out.print = form.print;
  return out;
}

// ---- Edit.

InvoiceForm FormFromRecord(App& app, const TransactionRecord& record) {
  const CompanyRecord& company = app.CurrentCompany;
  InvoiceForm form;
  ResetGrid(form, company);
  form.invoice_no = record.InvoiceNo.Get();
  const Date date{company::WholeNumberOr(record.Year.View(), 0),
                  company::WholeNumberOr(record.Month.View(), 0),
                  company::WholeNumberOr(record.Day.View(), 0)};
  form.date = date.IsValid()
                  ? company::FormatDisplayDate(date, app.short_date_order())
                  : record.DateText.Get();
  form.notes = record.InvoiceNotes.Get();
  form.terms = record.InvoiceTerms.Get();
  form.statement_note = record.StatementNote.Get();
  form.customer_no = record.CustomerNo.Get();
  form.short_name = record.ShortName.Get();
  form.key_code = record.KeyCode.Get();
  form.paid = record.PaidAmount.Get();
  form.net = record.NetAmount.Get();
  form.tax = record.TaxAmount.Get();
  form.total = FormatMoneyText(record.GrandTotal.View());
  form.balance_due = FormatMoneyText(record.AmountDue.View());
  form.kind = IsMemoInvoice(record) ? InvoiceKind::kMemo
                                    : InvoiceKind::kLineItems;
  // The tax box shows what the stored invoice carries, whatever the
  // company's setting is today: Edit never re-taxes an invoice by itself.
  form.calc_tax = CentsOf(record.TaxAmount.View()) != 0;

  {
    CustomerAccess customers(app);
    int32_t rec_no = 0;
    if (customers.OpenCompanyFile() &&
        FindCustomer(customers, form.customer_no, rec_no)) {
      const CustomerRecord& c = customers.rec();
      form.customer_name = c.CustomerName.Get();
      form.credit_limit = CustomerAmount(c.CreditLimit.View());
      form.customer_balance = CustomerAmount(c.Balance.View());
      form.aging = {CustomerAmount(c.AgingCurrent.View()),
                    CustomerAmount(c.Aging2.View()),
                    CustomerAmount(c.Aging3.View()),
                    CustomerAmount(c.Aging4.View())};
      form.tax_exempt = company::IsYes(c.TaxExempt.View());
    }
    customers.Close();
  }

  {
    LineAccess lines(app);
    if (lines.OpenCompanyFile()) {
      const std::vector<int32_t> found = LinesOf(lines, form.invoice_no);
      for (size_t i = 0; i < found.size(); ++i) {
        if (lines.GetRecord(found[i])) {
          form.lines[i] = LineFromRecord(lines.rec());
        }
      }
    }
    lines.Close();
  }

  if (form.kind == InvoiceKind::kMemo) {
    form.memo_description = form.lines[0].description;
    form.memo_quantity = form.lines[0].quantity;
    MemoAccess memos(app);
    const std::string key =
        KeyText(form.invoice_no, company::kMemoInvoiceNoKeyLength);
    int32_t rec_no = 0;
    std::string found;
    if (memos.OpenCompanyFile() && memos.FindByKey(1, key, rec_no, &found) &&
        found == key && memos.GetRecord(rec_no)) {
      std::vector<std::string> body;
      for (const auto& line : memos.rec().MemoLines) body.push_back(line.Get());
      while (!body.empty() && body.back().empty()) body.pop_back();
      for (size_t i = 0; i < body.size(); ++i) {
        if (i > 0) form.memo += '\n';
        form.memo += body[i];
      }
    } else {
      ShowFailure(app, kMemoReadError);
    }
    memos.Close();
  }
  return form;
}

InvoiceOutcome EditInvoice(App& app, int32_t rec_no,
                           const TransactionRecord& current,
                           const RunInvoiceEditor& run) {
  InvoiceOutcome out;
  FillLabels(app, out);
  const char type = TypeOf(current);
  const Cents old_paid = CentsOf(current.PaidAmount.View());
  const Cents old_total = CentsOf(current.GrandTotal.View());
  if (company::IsYes(app.CurrentCompany.AuditTrail.View())) {
    Inform(app, kAuditTrailCaption, kAuditNoEdit);
    return out;
  }
  if (type == kTypePartialInvoice || type == kTypePartialPayment) {
    Inform(app, kPartialPaymentsCaption, kPartialNoEdit);
    return out;
  }
  const bool master = type == kTypeRepeatMaster;
  if (master) Inform(app, kPleaseNoteCaption, kRepeatMasterEditNote);
  if (Trim(current.PaidStatus.View()) == "P" && old_paid > 0 &&
      old_paid != old_total) {
    Inform(app, kPaidItemCaption, kPaidNoEdit);
    return out;
  }
  if (type == kTypeDeposit) {
    Inform(app, kDepositCaption, kDepositNoEdit);
    return out;
  }
  if (type == kTypeDepositTaken) {
    Inform(app, kDepositTakenCaption, kDepositTakenNoEdit);
    return out;
  }
  if (company::IsYes(current.PrintedFlag.View()) &&
      !platform::Confirm(app.services().messages, kPrintedCaption,
                         kPrintedQuestion)) {
    return out;
  }

  InvoiceForm form = FormFromRecord(app, current);
  app.invoice_no_at_open = Trim(current.InvoiceNo.View());
  app.invoice_total_at_open = MoneyToStore(current.GrandTotal.View());
  app.invoice_editing = true;
  const bool ok = run(form);
  app.invoice_editing = false;
  if (!ok) return out;
  company::JournalScope journal(app,
                               "Edit invoice " + Trim(current.InvoiceNo.View()));
  if (!journal.ok()) return out;

  TransactionRecord record = current;
  FillFromForm(app, form, record);
  if (record.AmountDue == kZeroAmount) {
    record.PaidStatus.Set("P");
    record.PaidSortDate.Set(record.SortDate.View());
  } else {
    record.PaidStatus.Set(" ");
    record.PaidSortDate.Set(" ");
  }
  if (master) {
    record.AmountDue.Set(kZeroAmount);
    record.PaidAmount.Set(kZeroAmount);
    record.PaidStatus.Set(" ");
    record.PaidSortDate.Set(" ");
  }
  {
    TransactionAccess transactions(app);
    bool stored = false;
    if (transactions.OpenCompanyFile()) {
      transactions.SetRecord(record);
      stored = transactions.ModifyWithKeys(rec_no, current);
      transactions.Close();
    }
    if (!stored) {
      ShowFailure(app, company::kModifyFailed);
      return out;
    }
  }
  out.changed = true;
  out.rec_no = rec_no;
  out.record = record;
  const std::string invoice_no = record.InvoiceNo.Get();
  const bool memo = IsMemoInvoice(record);

  if (memo) {
    if (Trim(form.memo_quantity).empty()) form.memo_quantity = "1";
    if (Trim(form.memo_description).empty()) {
      form.memo_description = kDefaultMemoDescription;
    }
    SetMemoRow(form, /*whole_row=*/false);
  }
  // A memo invoice keeps its "M" line, which tells reports and output that
  // the body is in the memo file.
  const char* kind = master ? "R" : memo ? "M" : "P";
  bool lines_ok = true;
  {
    LineAccess lines(app);
    std::vector<int32_t> existing;
    if (lines.OpenCompanyFile()) {
      existing = LinesOf(lines, current.InvoiceNo.View());
    } else {
      lines_ok = false;
      ShowFailure(app, company::kModifyFailed);
    }
    for (int i = 0; lines_ok && i < kGridLines; ++i) {
      const InvoiceLine& row = form.lines[i];
      if (i < static_cast<int>(existing.size())) {
        const int32_t line_no = existing[i];
        if (!lines.GetRecord(line_no)) {
          lines_ok = false;
          ShowFailure(app, company::kModifyFailed);
        } else if (row.IsInvoiceLine()) {
          FillLineRecord(row, record, kind, lines.rec());
          if (lines.ModifyWithKeys(line_no)) {
            ++out.line_count;
          } else {
            lines_ok = false;
            ShowFailure(app, company::kModifyFailed);
          }
        } else if (!lines.DeleteWithKeys(line_no)) {
          lines_ok = false;
          ShowFailure(app, kDetailDeleteFailed);
        }
      } else if (row.IsInvoiceLine()) {
        lines.ClearRecord();
        FillLineRecord(row, record, kind, lines.rec());
        int32_t line_no = 0;
        if (lines.AddWithKeys(line_no)) {
          ++out.line_count;
        } else {
          ShowFailure(app, kDetailAddFailed);
        }
      }
    }
    lines.Close();
  }

  // The balances follow the stored transaction even when its lines could
  // not all be rewritten: they count amounts due, not lines.
  if (!master) {
    const Cents new_paid = CentsOf(record.PaidAmount.View());
    const Cents old_amount = old_total - old_paid;
    const Cents new_amount = OpenAmount(record);
    const int old_bucket = BucketOfRecord(app, current);
    const int new_bucket = BucketOfRecord(app, record);
    const std::optional<Date> invoice_date = DateOfRecord(app, record);
    UpdateCustomer(app, current.CustomerNo.Get(), [&](CustomerRecord& c) {
      AddTo(c.Balance, new_amount - old_amount);
      if (new_paid > 0 && invoice_date) {
        const auto last = app.ParseDate(c.LastPaymentDate.View());
        if (!last || *last < *invoice_date) {
          c.LastPaymentDate.Set(record.DateText.View());
        }
      }
      AddTo(*BucketField(c, old_bucket), -old_amount);
      AddTo(*BucketField(c, new_bucket), new_amount);
    });
    MoveReceivables(app, new_amount - old_amount);
  }
  FillLabels(app, out);
  if (!lines_ok) return out;

  if (memo) {
    MemoAccess memos(app);
    const std::string key =
        KeyText(current.InvoiceNo.View(), company::kMemoInvoiceNoKeyLength);
    int32_t memo_no = 0;
    std::string found;
    bool replaced = true;
    if (!memos.OpenCompanyFile()) {
      replaced = false;
    } else if (memos.FindByKey(1, key, memo_no, &found) && found == key &&
               memos.GetRecord(memo_no)) {
      FillMemoRecord(form, invoice_no, memos.rec());
      replaced = memos.ModifyWithKeys(memo_no);
    }
    memos.Close();
    if (!replaced) {
      ShowFailure(app, kMemoReplaceFailed);
      return out;
    }
  }
  out.status_text = EditedStatusText(invoice_no);
  return out;
}

// ---- Delete.

InvoiceOutcome DeleteInvoice(App& app, int32_t rec_no,
                             const TransactionRecord& current) {
  InvoiceOutcome out;
  FillLabels(app, out);
  platform::Messages& messages = app.services().messages;
  const char type = TypeOf(current);
  const Cents paid = CentsOf(current.PaidAmount.View());
  if (company::IsYes(app.CurrentCompany.AuditTrail.View())) {
    Inform(app, kAuditTrailCaption, kAuditNoDelete);
    return out;
  }
  if (type == kTypePartialInvoice || type == kTypePartialPayment) {
    Inform(app, kPartialItemCaption, kPartialNoDelete);
    return out;
  }
  if (Trim(current.PaidStatus.View()) == "P" && paid != 0) {
    Inform(app, kPaidItemCaption, kPaidNoDelete);
    return out;
  }
  if (paid != 0) Inform(app, kPleaseNoteCaption, kPaymentActivityNote);
  const bool master = type == kTypeRepeatMaster;
  if (master) Inform(app, kPleaseNoteCaption, kRepeatMasterDeleteNote);
  if (type == kTypeDeposit &&
      !platform::Confirm(messages, kPleaseConfirmCaption,
                         kDepositDeleteQuestion)) {
    return out;
  }
  const std::string invoice_no = current.InvoiceNo.Get();
  if (!platform::ConfirmDefaultNo(messages, kDeleteCaptionPrefix + invoice_no,
                                  kDeleteQuestion)) {
    return out;
  }
  company::JournalScope journal(app, "Delete invoice " + Trim(invoice_no));
  if (!journal.ok()) return out;

  {
    TransactionAccess transactions(app);
    bool deleted = false;
    if (transactions.OpenCompanyFile() && transactions.GetRecord(rec_no)) {
      // The keys to remove are built from the stored record; one that no
      // longer is the record the window showed is not deleted.
      if (transactions.rec().DeleteMark != 0 ||
          std::memcmp(&transactions.rec(), &current, sizeof current) != 0) {
        platform::ShowError(messages, kInvoiceErrorCaption,
                            company::kRecordChanged);
      } else {
        deleted = transactions.DeleteWithKeys(rec_no);
      }
    }
    transactions.Close();
    if (!deleted) {
      ShowFailure(app, company::kDeleteFailed);
      return out;
    }
  }
  out.changed = true;
  out.rec_no = rec_no;
  out.record = current;

  bool lines_ok = true;
  {
    LineAccess lines(app);
    if (lines.OpenCompanyFile()) {
      const std::string key =
          KeyText(invoice_no, company::kLineInvoiceNoKeyLength);
      int32_t line_no = 0;
      std::string found;
      // Each delete removes the entry the search stood on, so the search
      // starts again for the next line.
      while (lines_ok && lines.FindByKey(2, key, line_no, &found) &&
             found == key) {
        if (lines.GetRecord(line_no) && lines.DeleteWithKeys(line_no)) {
          ++out.line_count;
        } else {
          lines_ok = false;
        }
      }
    } else {
      lines_ok = false;
    }
    lines.Close();
    if (!lines_ok) ShowFailure(app, kDeleteDetailsFailed);
  }

  if (!master) {
    const Cents amount = OpenAmount(current);
    const int bucket = BucketOfRecord(app, current);
    UpdateCustomer(app, current.CustomerNo.Get(), [&](CustomerRecord& c) {
      AddTo(c.Balance, -amount);
      AddTo(*BucketField(c, bucket), -amount);
    });
    MoveReceivables(app, -amount);
  }
  FillLabels(app, out);
  if (!lines_ok) return out;

  const bool memo = IsMemoInvoice(current);
  if (memo) {
    MemoAccess memos(app);
    const std::string key =
        KeyText(invoice_no, company::kMemoInvoiceNoKeyLength);
    int32_t memo_no = 0;
    std::string found;
    if (memos.OpenCompanyFile() && memos.FindByKey(1, key, memo_no, &found) &&
        found == key && memos.GetRecord(memo_no) &&
        !memos.DeleteWithKeys(memo_no)) {
      ShowFailure(app, kMemoDeleteFailed);
    }
    memos.Close();
  }
  out.status_text = DeletedStatusText(invoice_no, out.line_count, memo);
  return out;
}

}  // namespace tallybook::billing
