#include "billing/repeat_setup.h"

#include "billing/invoice_bookkeeping.h"
#include "billing/repeat_files.h"
#include "billing/repeat_schedule.h"
#include "billing/type_codes.h"
#include "billing/write_log.h"
#include "company/format.h"
#include "company/money.h"
#include "company/op_journal.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::billing {

using company::App;
using company::Cents;
using company::CentsOf;
using company::Date;
using company::TransactionRecord;
using company::Trim;

namespace {

void Refuse(App& app, const char* caption, const char* text) {
  platform::Inform(app.services().messages, caption, text);
}

// The rest of a new master's setup: its amounts leave the customer and the
// company, its lines become master lines. False after a failed write.
bool TakeOutOfReceivables(App& app, RepeatFiles& files, WriteLog& log,
                          const TransactionRecord& master) {
  const Cents total = CentsOf(master.GrandTotal.View());
  const Cents open = total - CentsOf(master.PaidAmount.View());
  int32_t rec_no = 0;
  if (files.FindCustomer(master.CustomerNo.View(), &rec_no)) {
    const company::CustomerRecord before = files.customers.rec();
    company::CustomerRecord& customer = files.customers.rec();
    AddCentsTo(customer.Balance, -total);
    AddCentsTo(AgingField(customer,
                          AgingBucketOf(app, AgingDateOf(app, master))),
               -open);
    if (!log.Modify(files.customers, rec_no, &before)) return false;
  }
  if (!files.FindCompany(&rec_no)) return false;
  const company::CompanyRecord company_before = files.companies.rec();
  AddCentsTo(files.companies.rec().ReceivablesBalance, -total);
  if (!log.Modify(files.companies, rec_no, &company_before)) return false;

  for (const int32_t line_no : files.LinesOf(master.InvoiceNo.View())) {
    if (!files.lines.GetRecord(line_no)) return false;
    const company::LineRecord before = files.lines.rec();
    files.lines.rec().LineKind.Set(std::string(1, kTypeRepeatMaster));
    if (!log.Modify(files.lines, line_no, &before)) return false;
  }
  return true;
}

}  // namespace

std::optional<RepeatSetupForm> PrepareRepeatSetup(
    App& app, int32_t rec_no, const TransactionRecord& record) {
  const char type = TypeOf(record);
  if (type == kTypeInvoice && CentsOf(record.PaidAmount.View()) > 0) {
    Refuse(app, kPaymentActivityCaption, kPaymentActivityText);
    return std::nullopt;
  }
  if (type != kTypeInvoice && type != kTypeRepeatMaster) {
    Refuse(app, kTransactionTypeCaption, kTransactionTypeText);
    return std::nullopt;
  }
  const std::string invoice_no = Trim(record.InvoiceNo.View());
  if (static_cast<int>(invoice_no.size()) > kMaxMasterNoLength) {
    Refuse(app, kRepeatSetupCaption, kNumberTooLongText);
    return std::nullopt;
  }

  RepeatSetupForm form;
  form.rec_no = rec_no;
  form.record = record;
  form.new_master = type == kTypeInvoice;
  form.invoice_label = "Invoice Number: " + invoice_no;
  const Date date{company::WholeNumberOr(record.Year.View(), 0),
                  company::WholeNumberOr(record.Month.View(), 0),
                  company::WholeNumberOr(record.Day.View(), 0)};
  form.date_label = date.IsValid() ? app.FormatDate(date)
                                   : Trim(record.DateText.View());
  form.name_label = "Short Name: " + Trim(record.ShortName.View()) +
                    "      Customer#: " + Trim(record.CustomerNo.View());
  const std::optional<int> interval =
      ScheduleNumber(record.RepeatInterval.View());
  form.count = ScheduleNumber(record.RepeatCount.View()).value_or(0);
  if (form.new_master) {
    form.generate = false;
    form.generate_enabled = true;
    form.next_date = Trim(record.DateText.View());
    form.months = true;
    form.interval = "1";
  } else {
    form.generate = true;
    form.generate_enabled = false;
    form.next_date =
        NextDueDateShown(record.NextDueDate.View(), app.short_date_order());
    form.months = IsMonthlyUnit(record.RepeatUnit.View());
    form.interval = interval ? std::to_string(*interval)
                             : Trim(record.RepeatInterval.View());
  }
  form.panel_visible = form.count == 0;
  form.count_label = form.count == 0 ? std::string()
                                     : kGeneratedToDatePrefix +
                                           std::to_string(form.count);
  return form;
}

RepeatSetupField CheckRepeatSetup(App& app, const RepeatSetupForm& form) {
  platform::Messages& messages = app.services().messages;
  const std::string interval = Trim(form.interval);
  if (interval.empty()) {
    platform::Inform(messages, kIntervalCaption, kIntervalBlankText);
    return RepeatSetupField::kInterval;
  }
  const std::optional<int> number = ScheduleNumber(interval);
  if (!number || interval.size() > 3) {
    platform::Inform(messages, kIntervalCaption, kIntervalNotNumberText);
    return RepeatSetupField::kInterval;
  }
  if (form.generate && *number < 1) {
    platform::Inform(messages, kIntervalCaption, kIntervalBlankText);
    return RepeatSetupField::kInterval;
  }
  const std::string date = Trim(form.next_date);
  if (date.size() != 10 || !app.ParseDate(date)) {
    platform::Inform(messages, kStartDateCaption, kInvalidDateText);
    return RepeatSetupField::kNextDate;
  }
  return RepeatSetupField::kNone;
}

RepeatSetupOutcome SaveRepeatSetup(App& app, const RepeatSetupForm& form) {
  RepeatSetupOutcome out;
  const auto finish = [&] {
    out.company_name = Trim(app.CurrentCompany.CompanyName.View());
    out.receivables =
        company::FormatMoneyText(app.CurrentCompany.ReceivablesBalance.View());
    return out;
  };
  const std::optional<Date> next = app.ParseDate(Trim(form.next_date));
  const std::optional<int> interval = ScheduleNumber(form.interval);
  if (!form.generate || !next || !interval || *interval < 1) return finish();

  const std::string invoice_no = Trim(form.record.InvoiceNo.View());
  company::JournalScope journal(app, "Repeat billing setup " + invoice_no);
  if (!journal.ok()) return finish();
  RepeatFiles files(app);
  const auto fail = [&](const char* text) {
    platform::ShowError(app.services().messages, kRepeatSetupCaption, text);
  };
  if (!files.Open()) {
    fail(company::kModifyFailed);
    return finish();
  }

  WriteLog log;
  bool ok = files.transactions.GetRecord(form.rec_no);
  if (ok) {
    TransactionRecord& record = files.transactions.rec();
    record.TypeCode.Set(std::string(1, kTypeRepeatMaster));
    record.RepeatInterval.Set(std::to_string(*interval));
    record.RepeatUnit.Set(form.months ? kRepeatMonths : kRepeatDays);
    if (Trim(record.RepeatCount.View()).empty()) record.RepeatCount.Set("0");
    record.AmountDue.Set("0.00");
    record.NextDueDate.Set(NextDueDateText(*next));
    out.record = record;
    // The guarded modify refuses a record changed since it was read.
    ok = log.Modify(files.transactions, form.rec_no, &form.record);
  }
  if (ok && form.new_master) {
    ok = TakeOutOfReceivables(app, files, log, form.record);
  }
  if (!ok) {
    log.Undo();
    fail(company::kModifyFailed);
  }
  company::CompanyRecord company;
  int32_t company_no = 0;
  const bool company_read = files.FindCompany(&company_no);
  if (company_read) company = files.companies.rec();
  int32_t customer_no = 0;
  if (files.FindCustomer(form.record.CustomerNo.View(), &customer_no) &&
      Trim(app.CurrentCustomer.CustomerNo.View()) ==
          Trim(form.record.CustomerNo.View())) {
    app.CurrentCustomer = files.customers.rec();
  }
  if (!files.Close()) fail(company::kModifyFailed);
  if (company_read) app.CurrentCompany = company;
  out.changed = ok;
  return finish();
}

}  // namespace tallybook::billing
