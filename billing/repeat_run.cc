#include "billing/repeat_run.h"

#include <optional>

#include "billing/invoice_bookkeeping.h"
#include "billing/repeat_files.h"
#include "billing/repeat_schedule.h"
#include "billing/repeat_setup.h"
#include "billing/type_codes.h"
#include "billing/write_log.h"
#include "company/keys.h"
#include "company/op_journal.h"
#include "company/reconcile.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::billing {

using company::App;
using company::Cents;
using company::CentsOf;
using company::Date;
using company::FormatCents;
using company::PadRight;
using company::RightAlign;
using company::TransactionRecord;
using company::Trim;

// ---- The search.

std::string RepeatListLine(const TransactionRecord& master,
                           company::DateOrder order) {
  return PadRight(Trim(master.InvoiceNo.View()), 9) + " " +
         PadRight(Trim(master.ShortName.View()), 10) + " " +
         RightAlign(FormatCents(CentsOf(master.GrandTotal.View())), 12) +
         " " + NextDueDateShown(master.NextDueDate.View(), order) + " " +
         PadRight(Trim(master.CustomerNo.View()), 9) + " " +
         RightAlign(Trim(master.RepeatCount.View()), 5);
}

std::string MasterNoOfLine(std::string_view line) {
  return Trim(line.substr(0, 10));
}

std::string SelectedText(size_t count, Cents sum) {
  return "There are " + std::to_string(count) + " invoices selected totaling " +
         FormatCents(sum) + ".";
}

std::string LastGeneratedText(const company::CompanyRecord& company) {
  return "Last generated invoices were dated: " +
         Trim(company.LastRepeatDate.View());
}

RepeatSearch SearchDueMasters(App& app, const Date& through) {
  RepeatSearch search;
  company::TransactionAccess transactions(app);
  if (!transactions.OpenCompanyFile()) {
    search.ok = false;
    return search;
  }
  store::Engine& engine = transactions.engine();
  int32_t ref = 0;
  std::string key(1, kTypeRepeatMaster);
  bool more = engine.SearchKey(transactions.handle(), 5, ref, key);
  while (more) {
    if (!key.empty() && key[0] > kTypeRepeatMaster) break;  // past the masters
    if (transactions.GetRecord(ref) &&
        TypeOf(transactions.rec()) == kTypeRepeatMaster) {
      const TransactionRecord& master = transactions.rec();
      const std::optional<Date> due =
          ParseNextDueDate(master.NextDueDate.View());
      if (due && *due <= through) {
        search.lines.push_back(
            RepeatListLine(master, app.short_date_order()));
        search.sum += CentsOf(master.GrandTotal.View());
      }
    }
    more = engine.NextKey(transactions.handle(), 5, ref, key);
  }
  transactions.Close();
  return search;
}

// ---- The creation.

std::string RepeatCountFullText(const std::string& master_no) {
  return "Repeat master " + master_no + " has generated " +
         std::to_string(kMaxRepeatCount) +
         " invoices, the most its invoice numbers allow. No invoice was "
         "created from it.";
}

std::string MasterNotOnFileText(const std::string& master_no) {
  return "Repeat master " + master_no +
         " is no longer on file. No invoice was created from it.";
}

std::string ScheduleUnreadableText(const std::string& master_no) {
  return "The schedule of repeat master " + master_no +
         " cannot be read (next due date, interval or count). No invoice was "
         "created from it.";
}

std::string NotCreatedText(const std::string& master_no) {
  return "The invoice from repeat master " + master_no +
         " was not created; the master stays due.";
}

std::string RunCompleteText(const RepeatRunResult& result) {
  const std::string setups = std::to_string(result.monthly) +
                             " Monthly Setups and " +
                             std::to_string(result.daily) + " Daily Setups.";
  if (result.complete()) {
    return std::to_string(result.generated) + " invoices were generated. " +
           setups;
  }
  return std::to_string(result.generated) + " of " +
         std::to_string(result.attempted) +
         " invoices were generated. " + setups;
}

void ShowRunComplete(App& app, const RepeatRunResult& result) {
  if (result.complete()) {
    platform::Inform(app.services().messages, kRunCompleteCaption,
                     RunCompleteText(result));
  } else {
    platform::Warn(app.services().messages, kRunCompleteCaption,
                   RunCompleteText(result));
  }
}

namespace {

// Creates the invoice of one master as one unit of writes.
class Generator {
 public:
  Generator(App& app, RepeatFiles& files, const RepeatRunRequest& request,
            const Date& invoice_date, RepeatRunResult& result)
      : app_(app), files_(files), request_(request),
        invoice_date_(invoice_date), result_(result) {}

  // False when the unit failed; *taken_back false when it could not even
  // be taken back whole.
  bool Generate(const std::string& master_no, bool* taken_back) {
    *taken_back = true;
    WriteLog log;
    const char* failure = nullptr;
    if (!Write(master_no, log, &failure)) {
      if (failure) Tell(failure);
      *taken_back = log.Undo();
      Tell(NotCreatedText(master_no));
      return false;
    }
    log.Forget();
    // The chosen customer's shared copy follows only a charge that stays.
    if (Trim(app_.CurrentCustomer.CustomerNo.View()) ==
        Trim(charged_.CustomerNo.View())) {
      app_.CurrentCustomer = charged_;
    }
    return true;
  }

 private:
  void Tell(const std::string& text) {
    platform::ShowError(app_.services().messages, kRepeatWizardCaption, text);
  }

  // The writes of one master, through log. On failure *failure names the
  // message to show (nullptr when already shown).
  bool Write(const std::string& master_no, WriteLog& log,
             const char** failure) {
    int32_t master_rec = 0;
    if (!files_.FindTransaction(master_no, kTypeRepeatMaster, &master_rec)) {
      Tell(MasterNotOnFileText(master_no));
      return false;
    }
    const TransactionRecord master = files_.transactions.rec();
    const std::optional<Date> due = ParseNextDueDate(master.NextDueDate.View());
    const std::optional<int> interval =
        ScheduleNumber(master.RepeatInterval.View());
    const std::optional<int> count = ScheduleNumber(master.RepeatCount.View());
    if (!due || !interval || *interval < 1 || !count || *count < 0) {
      Tell(ScheduleUnreadableText(master_no));
      return false;
    }
    if (*count >= kMaxRepeatCount) {
      Tell(RepeatCountFullText(master_no));
      return false;
    }
    const std::string number = GeneratedInvoiceNo(master_no, *count + 1);
    const std::optional<Date> next =
        StepDueDate(*due, master.RepeatUnit.View(), *interval);
    if (!next || static_cast<int>(number.size()) > 9) {
      Tell(ScheduleUnreadableText(master_no));
      return false;
    }

    TransactionRecord updated = master;
    updated.NextDueDate.Set(NextDueDateText(*next));
    updated.RepeatCount.Set(std::to_string(*count + 1));

    // The invoice: the advanced master, billed on the invoice date.
    TransactionRecord invoice = updated;
    const std::string sortable = company::SortableDate(invoice_date_);
    const Cents total = CentsOf(master.GrandTotal.View());
    invoice.InvoiceNo.Set(number);
    invoice.AmountDue.Set(company::CentsText(total));
    invoice.TypeCode.Set(std::string(1, kTypeGenerated));
    invoice.DateText.Set(Trim(request_.invoice_date));
    invoice.Year.Set(sortable.substr(0, 4));
    invoice.Month.Set(sortable.substr(5, 2));
    invoice.Day.Set(sortable.substr(8, 2));
    invoice.SortDate.Set(sortable);
    invoice.InvoiceNotes.Set(request_.reference);
    invoice.StatementNote.Set(request_.reference);
    invoice.PrintedFlag.Set("N");
    invoice.PaidStatus.Set(" ");
    invoice.PaidSortDate.Set(" ");
    files_.transactions.SetRecord(invoice);
    int32_t rec_no = 0;
    if (!log.Add(files_.transactions, &rec_no)) {
      *failure = kHeaderAddFailed;
      return false;
    }

    if (Trim(master.InvoiceKind.View()) == "M" &&
        !CopyMemo(master_no, number, log, failure)) {
      return false;
    }
    if (!CopyLines(master_no, number, sortable, log, failure)) return false;

    files_.transactions.SetRecord(updated);
    if (!log.Modify(files_.transactions, master_rec, &master)) {
      *failure = company::kModifyFailed;
      return false;
    }
    if (!Charge(invoice, total, log)) {
      *failure = company::kModifyFailed;
      return false;
    }

    ++result_.generated;
    ++(IsMonthlyUnit(master.RepeatUnit.View()) ? result_.monthly
                                               : result_.daily);
    result_.sum += total;
    result_.created.push_back(PadRight(number, 9) + " " +
                              PadRight(Trim(master.ShortName.View()), 10) +
                              " " + RightAlign(FormatCents(total), 12));
    return true;
  }

  bool CopyMemo(const std::string& master_no, const std::string& number,
                WriteLog& log, const char** failure) {
    const std::string key =
        company::KeyText(master_no, company::kMemoInvoiceNoKeyLength);
    int32_t memo_rec = 0;
    std::string found;
    if (!files_.memos.FindByKey(1, key, memo_rec, &found) || found != key ||
        !files_.memos.GetRecord(memo_rec)) {
      *failure = kMemoNotFound;
      return false;
    }
    files_.memos.rec().InvoiceNo.Set(number);
    int32_t added = 0;
    if (!log.Add(files_.memos, &added)) {
      *failure = kMemoCopyFailed;
      return false;
    }
    return true;
  }

  bool CopyLines(const std::string& master_no, const std::string& number,
                 const std::string& sortable, WriteLog& log,
                 const char** failure) {
    // Read every master line first: the copies go under another number,
    // but adding them while walking the key could move the walk.
    std::vector<company::LineRecord> copies;
    for (const int32_t line_no : files_.LinesOf(master_no)) {
      if (!files_.lines.GetRecord(line_no)) {
        *failure = kDetailCopyFailed;
        return false;
      }
      copies.push_back(files_.lines.rec());
    }
    for (company::LineRecord& line : copies) {
      line.InvoiceNo.Set(number);
      line.InvoiceSortDate.Set(sortable);
      line.LineKind.Set(std::string(1, kTypeGenerated));
      files_.lines.SetRecord(line);
      int32_t added = 0;
      if (!log.Add(files_.lines, &added)) {
        *failure = kDetailCopyFailed;
        return false;
      }
    }
    return true;
  }

  // The customer and the company pay for the invoice.
  bool Charge(const TransactionRecord& invoice, Cents total, WriteLog& log) {
    int32_t rec_no = 0;
    if (!files_.FindCustomer(invoice.CustomerNo.View(), &rec_no)) {
      Tell(CustomerNotOnFileText(invoice.CustomerNo.Get()));
      return false;
    }
    const company::CustomerRecord before = files_.customers.rec();
    company::CustomerRecord& customer = files_.customers.rec();
    AddCentsTo(customer.Balance, total);
    AddCentsTo(AgingField(customer, AgingBucketOf(app_, invoice_date_)),
               total);
    customer.LastInvoiceNo.Set(invoice.InvoiceNo.View());
    if (!log.Modify(files_.customers, rec_no, &before)) return false;
    charged_ = customer;

    if (!files_.FindCompany(&rec_no)) return false;
    const company::CompanyRecord company_before = files_.companies.rec();
    company::CompanyRecord& company = files_.companies.rec();
    AddCentsTo(company.ReceivablesBalance, total);
    company.LastRepeatDate.Set(Trim(request_.invoice_date));
    return log.Modify(files_.companies, rec_no, &company_before);
  }

  App& app_;
  RepeatFiles& files_;
  const RepeatRunRequest& request_;
  const Date invoice_date_;
  RepeatRunResult& result_;
  company::CustomerRecord charged_;
};

}  // namespace

RepeatRunResult CreateRepeatInvoices(App& app, const RepeatRunRequest& request,
                                     const RepeatRunProgress& progress) {
  RepeatRunResult result;
  const std::string date_text = Trim(request.invoice_date);
  const std::optional<Date> invoice_date = app.ParseDate(date_text);
  if (!invoice_date) {
    platform::Warn(app.services().messages, kInvoiceDateCaption,
                   kInvalidDateText);
    result.files_ok = false;
    return result;
  }
  company::BusyGuard busy(app);
  bool undo_failed = false;
  {
    company::JournalScope journal(app, "Repeat billing run");
    if (!journal.ok()) {
      result.files_ok = false;
      return result;
    }
    RepeatFiles files(app);
    if (!files.Open()) {
      platform::ShowError(app.services().messages, kRepeatWizardCaption,
                          kFilesNotOpenedText);
      result.files_ok = false;
      return result;
    }
    Generator generator(app, files, request, *invoice_date, result);
    for (const std::string& master_no : request.masters) {
      ++result.attempted;
      bool taken_back = true;
      generator.Generate(company::UpperCase1252(Trim(master_no)),
                         &taken_back);
      if (progress) progress(result.attempted);
      if (!taken_back) {
        // The files are not as the run believes; stop and let the
        // balances be recomputed from the records.
        undo_failed = true;
        break;
      }
    }
    int32_t company_rec = 0;
    if (files.FindCompany(&company_rec)) {
      app.CurrentCompany = files.companies.rec();
    }
    if (!files.Close()) {
      platform::ShowError(app.services().messages, kRepeatWizardCaption,
                          kFilesNotClosedText);
      result.files_ok = false;
    }
  }
  if (undo_failed) {
    result.files_ok = false;
    company::ReconcileBalances(app, app.CurrentCompanyNo());
    platform::ShowError(app.services().messages, kRepeatWizardCaption,
                        kBalancesRecomputedText);
  }
  return result;
}

}  // namespace tallybook::billing
