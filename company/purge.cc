#include "company/purge.h"

#include <map>
#include <vector>

#include "company/aging.h"
#include "company/company_files.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "company/text.h"
#include "platform/message.h"
#include "store/errors.h"

namespace tallybook::company {
namespace {

// Year-first dates while the files are open; the company's order after.
class YearFirstDates {
 public:
  explicit YearFirstDates(App& app) : app_(app) {
    app_.SetShortDateOrder(DateOrder::kYearFirst);
  }
  ~YearFirstDates() { app_.SetShortDateFromCompany(); }
  YearFirstDates(const YearFirstDates&) = delete;
  YearFirstDates& operator=(const YearFirstDates&) = delete;

 private:
  App& app_;
};

std::string FileErrorText(const std::string& base, int error) {
  return "Unable to open or read the data file " + base + " (error " +
         std::to_string(error) + "). No records were removed.";
}

bool IsPurged(const TransactionRecord& trans, const std::string& cutoff) {
  // A damaged sort date is no date at all: never old enough.
  if (!ParseSortableDate(trans.SortDate.View())) return false;
  return trans.SortDate.Get() < cutoff && Trim(trans.PaidStatus.View()) == "P";
}

// Deletes every line of the invoice (key 2). False after kDetailDeleteFailed.
bool DeleteLines(LineAccess& lines, const std::string& key) {
  int32_t rec_no = 0;
  std::string found;
  // Each delete takes the key the search stands on, so the search starts
  // again for the next line rather than stepping from a removed entry.
  while (lines.FindByKey(2, key, rec_no, &found) && found == key) {
    if (!lines.GetRecord(rec_no) || !lines.DeleteWithKeys(rec_no)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string PurgeQuestion(const std::string& date_text) {
  return "All paid records older than " + date_text +
         " will be removed. Continue?";
}

std::string PurgeReport(int count, const std::string& date_text) {
  return std::to_string(count) + " paid records older than " + date_text +
         " were removed.";
}

std::string PurgeStatus(int count) {
  return std::to_string(count) + " records were removed.";
}

Date PurgePresetDate(const Date& today) {
  Date preset{today.year - 2, today.month, today.day};
  const int last = DaysInMonth(preset.year, preset.month);
  if (preset.day > last) preset.day = last;
  return preset;
}

int PurgePaidRecords(App& app, const std::string& cutoff) {
  BusyGuard busy(app);
  platform::Messages& messages = app.services().messages;
  MemoAccess memos(app);
  TransactionAccess transactions(app);
  LineAccess lines(app);
  const std::string company_no = app.CurrentCompanyNo();
  // The files are taken as they are: one the company never made holds
  // nothing to remove and is not created here.
  for (CompanyFileAccess* file :
       std::initializer_list<CompanyFileAccess*>{&memos, &transactions,
                                                 &lines}) {
    if (!file->OpenExistingCompanyFile() &&
        app.engine().StoreError() != store::kErrFileNotFound) {
      platform::ShowError(messages, kPurgeCaption,
                          FileErrorText(BaseNameOf(file->file(), company_no),
                                        app.engine().StoreError()));
      return -1;
    }
  }
  if (!transactions.IsOpen()) return 0;
  YearFirstDates dates(app);
  store::Engine& engine = app.engine();

  // First pass: which records go.
  std::vector<int32_t> doomed;
  int32_t rec_no = 0;
  TransactionRecord trans;
  while (engine.NextUsedRecord(transactions.handle(), rec_no)) {
    if (!engine.GetRecord(transactions.handle(), rec_no, &trans)) break;
    if (IsPurged(trans, cutoff)) doomed.push_back(rec_no);
  }
  if (engine.StoreError() != store::kErrNoUsedRecord) {
    platform::ShowError(
        messages, kPurgeCaption,
        FileErrorText(BaseNameOf(TransactionFile(), company_no),
                      engine.StoreError()));
    return -1;
  }

  // Second pass: the transactions, noting each invoice number removed and
  // whether a memo invoice carried it.
  int removed = 0;
  std::map<std::string, bool> numbers;
  for (int32_t doomed_no : doomed) {
    if (!transactions.GetRecord(doomed_no)) {
      platform::ShowError(messages, kPurgeCaption, kPurgeDeleteFailed);
      continue;
    }
    const TransactionRecord& t = transactions.rec();
    const std::string invoice_no = Trim(UpperCase1252(t.InvoiceNo.View()));
    const bool memo = Trim(t.InvoiceKind.View()) == "M";
    if (!transactions.DeleteWithKeys(doomed_no)) {
      platform::ShowError(messages, kPurgeCaption, kPurgeDeleteFailed);
      continue;
    }
    ++removed;
    numbers[invoice_no] = numbers[invoice_no] || memo;
  }

  // Then the lines and memo bodies of every number no transaction holds.
  for (const auto& [invoice_no, memo] : numbers) {
    const std::string trans_key = KeyText(invoice_no, kTransInvoiceNoKeyLength);
    int32_t ref = 0;
    std::string found;
    if (transactions.FindByKey(1, trans_key, ref, &found) &&
        found == trans_key) {
      continue;
    }
    if (lines.IsOpen() &&
        !DeleteLines(lines, KeyText(invoice_no, kLineInvoiceNoKeyLength))) {
      platform::ShowError(messages, kPurgeCaption, kDetailDeleteFailed);
    }
    if (memo) {
      const std::string memo_key =
          KeyText(invoice_no, kMemoInvoiceNoKeyLength);
      if (!memos.IsOpen() || !memos.FindByKey(1, memo_key, ref, &found) ||
          found != memo_key ||
          !memos.GetRecord(ref)) {
        platform::ShowError(messages, kPurgeCaption, kMemoSearchFailed);
      } else if (!memos.DeleteWithKeys(ref)) {
        platform::ShowError(messages, kPurgeCaption, kMemoDeleteFailed);
      }
    }
  }
  memos.Close();
  transactions.Close();
  lines.Close();
  return removed;
}

PurgeResult DeletePaidInvoices(App& app, const PasswordPrompt& password,
                               const PurgeDatePicker& pick_date) {
  PurgeResult result;
  platform::Messages& messages = app.services().messages;
  if (!CheckPassword(app, password)) return result;
  if (!platform::Confirm(messages, kPurgeCaption, kPurgeWarning)) {
    return result;
  }
  std::optional<Date> chosen =
      pick_date(PurgePresetDate(app.Today()), kPurgeDateCaption);
  if (!chosen || !chosen->IsValid()) return result;
  result.date_text = app.FormatDate(*chosen);
  if (!platform::Confirm(messages, kPleaseConfirm,
                         PurgeQuestion(result.date_text))) {
    return result;
  }
  app.ShowStatus(kRemovingRecords);
  const int removed = PurgePaidRecords(app, SortableDate(*chosen));
  if (removed < 0) {
    app.ShowStatus(kReadyText);
    return result;
  }
  result.ran = true;
  result.removed = removed;
  platform::Inform(messages, kRecordsRemovedCaption,
                   PurgeReport(removed, result.date_text));
  app.ShowStatus(PurgeStatus(removed));
  return result;
}

}  // namespace tallybook::company
