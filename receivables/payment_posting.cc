#include "receivables/payment_posting.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

#include "billing/type_codes.h"
#include "company/aging.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "company/money.h"
#include "company/op_journal.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::receivables {
namespace {

using company::CompanyListAccess;
using company::CustomerAccess;
using company::MoneyText;
using company::MoneyToDouble;
using company::TransactionAccess;
using company::TransactionRecord;

constexpr char kPaid[] = "P";

// Amounts are compared and summed in whole cents, as they are shown.
using company::CentsOf;
int64_t Cents(double amount) { return company::CentsOf(amount); }

std::string Upper(std::string_view text) {
  return company::UpperCase1252(company::Trim(text));
}

bool IsPaid(const TransactionRecord& r) {
  return company::Trim(r.PaidStatus.View()) == kPaid;
}
bool IsDepositNumber(std::string_view invoice_no) {
  return Upper(invoice_no).rfind(kDepositNumberPrefix, 0) == 0;
}
bool HasType(const TransactionRecord& r, char code) {
  const std::string type = company::Trim(r.TypeCode.View());
  return type.size() == 1 && company::UpperChar1252(type[0]) == code;
}
bool IsInvoiceType(const TransactionRecord& r) {
  return HasType(r, billing::kTypeInvoice) ||
         HasType(r, billing::kTypePartialInvoice) ||
         HasType(r, billing::kTypeGenerated);
}

std::string ZeroPadded(int value, size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

// The payment date in the fields every new or closed record carries.
void SetPaymentDate(TransactionRecord& r, const PaymentPosting& posting) {
  const company::Date& d = posting.date;
  r.DateText.Set(posting.date_text);
  r.Month.Set(ZeroPadded(d.month, 2));
  r.Day.Set(ZeroPadded(d.day, 2));
  r.Year.Set(ZeroPadded(d.year, 4));
  r.SortDate.Set(company::SortableDate(d));
}

// Record numbers of every transaction under invoice_no (key 1), in key
// order. False on a store failure other than the end of the range.
bool RecordsOfInvoice(TransactionAccess& file, const std::string& invoice_no,
                      std::vector<int32_t>* out) {
  store::Engine& engine = file.engine();
  const std::string wanted =
      company::KeyText(invoice_no, company::kTransInvoiceNoKeyLength);
  std::string key = wanted;
  int32_t ref = 0;
  bool ok = engine.SearchKey(file.handle(), 1, ref, key);
  while (ok && key == wanted) {
    out->push_back(ref);
    ok = engine.NextKey(file.handle(), 1, ref, key);
  }
  return ok || engine.ErrorClass() == 1;
}

// Reads the record an item settles: for a partial item the first "I", "Z"
// or "G" record under the number, for a whole item the first record.
// nullopt when there is none (or it cannot be read).
std::optional<int32_t> TargetOf(TransactionAccess& file,
                                const PaymentItem& item) {
  std::vector<int32_t> records;
  if (!RecordsOfInvoice(file, item.invoice_no, &records)) return std::nullopt;
  for (int32_t rec_no : records) {
    if (!file.GetRecord(rec_no)) return std::nullopt;
    if (item.kind == PaymentItemKind::kWhole || IsInvoiceType(file.rec())) {
      return rec_no;
    }
  }
  return std::nullopt;
}

// The check of every item before anything is written. The invoices' amounts
// due are followed through the items in order, so an invoice settled by two
// items is judged on what the first leaves. Empty when all pass, else the
// refusal text for the first that fails.
std::string CheckItems(TransactionAccess& file, const PaymentPosting& posting) {
  struct Open {
    int64_t due = 0;
    bool open = false;
  };
  std::map<std::string, Open> followed;
  const std::string customer = Upper(posting.customer_no);
  for (const PaymentItem& item : posting.items) {
    const int64_t amount = Cents(item.amount);
    if (item.kind == PaymentItemKind::kDeposit) {
      if (amount <= 0) return ItemAmountNotAboveZeroText(kDepositLineNo);
      continue;
    }
    const std::string number = Upper(item.invoice_no);
    auto it = followed.find(number);
    if (it == followed.end()) {
      Open state;
      if (std::optional<int32_t> rec_no = TargetOf(file, item)) {
        const TransactionRecord& r = file.rec();
        state.open = !IsPaid(r) && !HasType(r, billing::kTypeRepeatMaster) &&
                     Upper(r.CustomerNo.View()) == customer;
        state.due = CentsOf(r.AmountDue.View());
      }
      it = followed.emplace(number, state).first;
    }
    Open& state = it->second;
    if (!state.open) return ItemNotOpenText(item.invoice_no);
    if (item.kind == PaymentItemKind::kWhole) {
      if (amount != state.due) return ItemAmountChangedText(item.invoice_no);
      state.due = 0;
      state.open = false;
    } else {
      // The whole remaining amount may be paid as a partial item (a "Z"
      // line); anything else must lie strictly between zero and it.
      if (amount != state.due && (amount <= 0 || amount > state.due)) {
        return amount <= 0 ? ItemAmountNotAboveZeroText(item.invoice_no)
                           : ItemAmountChangedText(item.invoice_no);
      }
      state.due -= amount;
      if (state.due == 0) state.open = false;
    }
  }
  return {};
}

// What one item has written, so that a failure part-way can take it back.
class ItemJournal {
 public:
  explicit ItemJournal(TransactionAccess& file) : file_(file) {}

  // Adds the current record; remembered for undoing.
  bool Add(int32_t* rec_no) {
    if (!file_.AddWithKeys(*rec_no)) return false;
    steps_.push_back({*rec_no, true, {}});
    return true;
  }
  // Replaces record rec_no (read as before) by the current record.
  bool Modify(int32_t rec_no, const TransactionRecord& before) {
    if (!file_.ModifyWithKeys(rec_no, before)) return false;
    steps_.push_back({rec_no, false, before});
    return true;
  }
  // Takes back every step, newest first. False when one could not be.
  bool Undo() {
    bool ok = true;
    for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
      if (!file_.GetRecord(it->rec_no)) {
        ok = false;
        continue;
      }
      if (it->added) {
        ok = file_.DeleteWithKeys(it->rec_no) && ok;
      } else {
        const TransactionRecord now = file_.rec();
        file_.SetRecord(it->before);
        ok = file_.ModifyWithKeys(it->rec_no, now) && ok;
      }
    }
    steps_.clear();
    return ok;
  }

 private:
  struct Step {
    int32_t rec_no;
    bool added;
    TransactionRecord before;
  };
  TransactionAccess& file_;
  std::vector<Step> steps_;
};

class Poster {
 public:
  Poster(company::App& app, TransactionAccess& file,
         const PaymentPosting& posting, PostingResult& result)
      : app_(app), file_(file), posting_(posting), result_(result),
        messages_(app.services().messages) {}

  // Writes one item whole, or tells the user and writes nothing.
  bool Post(const PaymentItem& item) {
    ItemJournal journal(file_);
    bool ok = false;
    switch (item.kind) {
      case PaymentItemKind::kDeposit:
        ok = PostDeposit(item, journal);
        break;
      case PaymentItemKind::kPartial:
        ok = PostPartial(item, journal);
        break;
      case PaymentItemKind::kWhole:
        ok = PostWhole(item, journal);
        break;
    }
    if (!ok) journal.Undo();
    return ok;
  }

 private:
  void Tell(const char* text) {
    platform::ShowError(messages_, kPaymentWizardCaption, text);
  }

  // A record of this payment, from an all-zero record.
  TransactionRecord& NewPaymentRecord() {
    file_.ClearRecord();
    TransactionRecord& r = file_.rec();
    SetPaymentDate(r, posting_);
    r.PaidSortDate.Set(company::SortableDate(posting_.date));
    r.StatementNote.Set(posting_.note);
    r.CustomerNo.Set(company::Trim(posting_.customer_no));
    r.ShortName.Set(posting_.short_name);
    r.NetAmount.Set("0.00");
    r.TaxAmount.Set("0.00");
    r.GrandTotal.Set("0.00");
    r.CompanyNo.Set(app_.CurrentCompanyNo());
    return r;
  }

  // "DP" + the count of records in use + 1, stepped up past every number
  // already on file: after deletes the count alone repeats numbers.
  std::optional<std::string> NextDepositNumber() {
    store::Engine& engine = file_.engine();
    int64_t n = static_cast<int64_t>(engine.CountUsedRecords(file_.handle())) + 1;
    if (!engine.StoreOK()) return std::nullopt;
    for (;; ++n) {
      const std::string number = kDepositNumberPrefix + std::to_string(n);
      const std::string key =
          company::KeyText(number, company::kTransInvoiceNoKeyLength);
      int32_t rec_no = 0;
      std::string found;
      if (file_.FindByKey(1, key, rec_no, &found)) {
        if (found != key) return number;
      } else if (engine.ErrorClass() == 1) {
        return number;
      } else {
        return std::nullopt;
      }
    }
  }

  bool PostDeposit(const PaymentItem& item, ItemJournal& journal) {
    std::optional<std::string> number = NextDepositNumber();
    if (!number) {
      Tell(kAddingDepositFailed);
      return false;
    }
    TransactionRecord& r = NewPaymentRecord();
    r.InvoiceNo.Set(*number);
    r.TypeCode.Set(std::string(1, billing::kTypeDeposit));
    r.PaidAmount.Set(MoneyText(item.amount));
    r.AmountDue.Set(MoneyText(-item.amount));
    r.InvoiceKind.Set(std::string(1, billing::kTypeDeposit));
    r.KeyCode.Set(kDepositKeyCode);
    int32_t rec_no = 0;
    if (!journal.Add(&rec_no)) {
      Tell(kAddingDepositFailed);
      return false;
    }
    result_.deposit_numbers.push_back(*number);
    return true;
  }

  bool PostPartial(const PaymentItem& item, ItemJournal& journal) {
    std::optional<int32_t> rec_no = TargetOf(file_, item);
    if (!rec_no) {
      Tell(company::kModifyFailed);
      return false;
    }
    const TransactionRecord before = file_.rec();
    TransactionRecord& r = file_.rec();
    const double balance = company::CentsToDouble(
        CentsOf(r.AmountDue.View()) - Cents(item.amount));
    if (Cents(balance) == 0) {
      r.PaidStatus.Set(kPaid);
      r.PaidSortDate.Set(company::SortableDate(posting_.date));
    }
    r.AmountDue.Set(MoneyText(balance));
    r.TypeCode.Set(std::string(1, billing::kTypePartialInvoice));
    const std::string kind = r.InvoiceKind.Get();
    if (!journal.Modify(*rec_no, before)) {
      Tell(company::kModifyFailed);
      return false;
    }
    TransactionRecord& x = NewPaymentRecord();
    x.InvoiceNo.Set(Upper(item.invoice_no));
    x.TypeCode.Set(std::string(1, billing::kTypePartialPayment));
    x.AmountDue.Set("0.00");
    x.PaidAmount.Set(MoneyText(item.amount));
    x.InvoiceKind.Set(kind);
    x.KeyCode.Set(kPartialKeyCode);
    x.PaidStatus.Set(kPaid);
    int32_t added = 0;
    if (!journal.Add(&added)) {
      Tell(kAddingPartialFailed);
      return false;
    }
    return true;
  }

  bool PostWhole(const PaymentItem& item, ItemJournal& journal) {
    std::optional<int32_t> rec_no = TargetOf(file_, item);
    if (!rec_no) {
      Tell(company::kModifyFailed);
      return false;
    }
    const TransactionRecord before = file_.rec();
    TransactionRecord& r = file_.rec();
    const std::string paid_date = company::SortableDate(posting_.date);
    r.PaidSortDate.Set(paid_date);
    r.PaidStatus.Set(kPaid);
    r.StatementNote.Set(posting_.note);
    r.AmountDue.Set("0.00");
    if (MoneyToDouble(before.PaidAmount.View()) == 0) {
      // Nothing was paid on it before: it is paid in place.
      r.PaidAmount.Set(MoneyText(item.amount));
      if (!journal.Modify(*rec_no, before)) {
        Tell(company::kModifyFailed);
        return false;
      }
      return true;
    }

    // It carries a paid amount already: the changed copy becomes the
    // payment record, and the records under the number are closed.
    const bool deposit = IsDepositNumber(before.InvoiceNo.View());
    SetPaymentDate(r, posting_);
    r.PaidAmount.Set(MoneyText(item.amount));
    r.GrandTotal.Set("0.00");
    r.TaxAmount.Set("0.00");
    r.TypeCode.Set(std::string(
        1, deposit ? billing::kTypeDepositTaken : billing::kTypePartialPayment));
    int32_t added = 0;
    if (!journal.Add(&added)) {
      Tell(kAddingRegularFailed);
      return false;
    }
    std::vector<int32_t> records;
    if (!RecordsOfInvoice(file_, before.InvoiceNo.Get(), &records)) {
      Tell(company::kModifyFailed);
      return false;
    }
    for (int32_t number : records) {
      if (number == added) continue;
      if (!file_.GetRecord(number)) {
        Tell(company::kModifyFailed);
        return false;
      }
      if (IsPaid(file_.rec())) continue;
      const TransactionRecord open = file_.rec();
      TransactionRecord& c = file_.rec();
      c.PaidStatus.Set(kPaid);
      c.AmountDue.Set("0.00");
      c.TypeCode.Set(std::string(
          1, deposit ? billing::kTypeDeposit : billing::kTypePartialInvoice));
      // Closed as of its own date; a date that does not read keeps the
      // sortable date it was filed under.
      std::string own = company::DisplayToSortable(
          open.DateText.View(), app_.short_date_order());
      c.PaidSortDate.Set(own.empty() ? open.SortDate.Get() : own);
      if (!journal.Modify(number, open)) {
        Tell(company::kModifyFailed);
        return false;
      }
    }
    return true;
  }

  company::App& app_;
  TransactionAccess& file_;
  const PaymentPosting& posting_;
  PostingResult& result_;
  platform::Messages& messages_;
};

// Reads the record of the file whose key key_no is key, changes it and
// stores it back (the guarded modify); *shared takes the stored record.
// True when stored and the file closed.
template <class Access, class Change>
bool ChangeStoredRecord(company::App& app, int key_no, const std::string& key,
                        Change change, typename Access::RecordType* shared) {
  Access access(app);
  int32_t rec_no = 0;
  std::string found;
  bool ok = false;
  if (access.OpenCompanyFile() &&
      access.FindByKey(key_no, key, rec_no, &found) && found == key &&
      access.GetRecord(rec_no)) {
    const typename Access::RecordType before = access.rec();
    change(access.rec());
    ok = access.ModifyWithKeys(rec_no, before);
    if (ok) *shared = access.rec();
  }
  return access.Close() && ok;
}

// Re-ages the customer and lowers its balance and the company's by amount.
// False after telling the user when either record could not be stored;
// *closed false after telling the user the transaction file did not close.
bool StoreBalances(company::App& app, const PaymentPosting& posting,
                   int32_t l1, int32_t l2, int32_t l3, double amount,
                   bool* closed) {
  platform::Messages& messages = app.services().messages;
  const std::string failed = BalancesNotStoredText(posting.customer_no);

  company::CustomerAging aged;
  {
    TransactionAccess file(app);
    if (!file.OpenCompanyFile() ||
        !company::AgeCustomer(app, file.handle(), posting.customer_no,
                              app.Today(), l1, l2, l3, &aged)) {
      platform::ShowError(messages, kPaymentWizardCaption, failed);
      return false;
    }
    if (!file.Close()) {
      platform::ShowError(
          messages, kPaymentWizardCaption,
          TransactionsNotClosedText(app.engine().StoreError()));
      *closed = false;
    }
  }

  const bool stored =
      ChangeStoredRecord<CustomerAccess>(
          app, 2, company::KeyText(posting.customer_no,
                                   company::kCustomerNoKeyLength),
          [&](company::CustomerRecord& c) {
            c.Balance.Set(company::CentsText(CentsOf(c.Balance.View()) -
                                             Cents(amount)));
            c.LastPaymentDate.Set(posting.date_text);
            c.AgingCurrent.Set(MoneyText(aged.totals.category[0]));
            c.Aging2.Set(MoneyText(aged.totals.category[1]));
            c.Aging3.Set(MoneyText(aged.totals.category[2]));
            c.Aging4.Set(MoneyText(aged.totals.category[3]));
          },
          &app.CurrentCustomer) &&
      ChangeStoredRecord<CompanyListAccess>(
          app, 1, company::KeyText(app.CurrentCompanyNo(),
                                   company::kCompanyNoKeyLength),
          [&](company::CompanyRecord& c) {
            c.ReceivablesBalance.Set(company::CentsText(
                CentsOf(c.ReceivablesBalance.View()) - Cents(amount)));
          },
          &app.CurrentCompany);
  if (!stored) {
    platform::ShowError(messages, kPaymentWizardCaption, failed);
    return false;
  }
  return true;
}

}  // namespace

std::string ItemNotOpenText(const std::string& invoice_no) {
  return "Invoice " + company::Trim(invoice_no) +
         " is no longer open for this customer. Nothing was posted. Choose "
         "the customer again to see the open items.";
}

std::string ItemAmountChangedText(const std::string& invoice_no) {
  return "The amount of invoice " + company::Trim(invoice_no) +
         " does not match its balance due. Nothing was posted. Choose the "
         "customer again to see the open items.";
}

std::string ItemAmountNotAboveZeroText(const std::string& invoice_no) {
  return "The amount of " + company::Trim(invoice_no) +
         " must be greater than zero. Nothing was posted.";
}

std::string IncompletePostingText(int posted, int items, double amount) {
  return "The payment was not posted completely: " + std::to_string(posted) +
         " of " + std::to_string(items) +
         " items were posted, and the balances were lowered by " +
         company::FormatMoney(amount) +
         " only. Choose the customer again to see what is still open.";
}

std::string TransactionsNotClosedText(int store_error) {
  return "The invoice file could not be closed after the payment was written "
         "(error " + std::to_string(store_error) +
         "). You will be asked to rebuild it when it is next opened.";
}

std::string BalancesNotStoredText(const std::string& customer_no) {
  return "The payment items were posted, but the balances of customer " +
         company::Trim(customer_no) +
         " and of the company could not be stored. Run the Aging Chart "
         "command to recalculate them.";
}

PostingResult PostPayment(company::App& app, const PaymentPosting& posting) {
  PostingResult result;
  platform::Messages& messages = app.services().messages;

  int32_t l1 = 0, l2 = 0, l3 = 0;
  if (!company::ReadAgingDays(app.CurrentCompany, &l1, &l2, &l3)) {
    platform::Warn(messages, kPaymentWizardCaption, company::kBadAgingDays);
    return result;
  }

  // The items, the customer and the company are written whole or not at
  // all, should the process be killed part-way.
  company::JournalScope journal(
      app, "Post payment of customer " + company::Trim(posting.customer_no));
  if (!journal.ok()) return result;

  int64_t posted_cents = 0;
  bool closed = true;
  {
    TransactionAccess file(app);
    if (!file.OpenCompanyFile()) return result;
    if (std::string refusal = CheckItems(file, posting); !refusal.empty()) {
      platform::Warn(messages, kPaymentWizardCaption, refusal);
      return result;
    }
    Poster poster(app, file, posting, result);
    for (const PaymentItem& item : posting.items) {
      if (!poster.Post(item)) continue;
      ++result.items_posted;
      posted_cents += Cents(item.amount);
    }
    // Index pages still in memory are written now; a file left unclosed is
    // offered for rebuild when next opened, which keeps the records written.
    if (!file.Close()) {
      closed = false;
      platform::ShowError(
          messages, kPaymentWizardCaption,
          TransactionsNotClosedText(app.engine().StoreError()));
    }
  }
  result.amount_posted = company::CentsToDouble(posted_cents);
  const int items = static_cast<int>(posting.items.size());

  bool balances = true;
  if (result.items_posted > 0) {
    balances = StoreBalances(app, posting, l1, l2, l3, result.amount_posted,
                             &closed);
  }
  if (result.items_posted == items && balances && closed) {
    result.outcome = PostingOutcome::kPosted;
    return result;
  }
  result.outcome = PostingOutcome::kIncomplete;
  if (result.items_posted < items) {
    platform::ShowError(messages, kPaymentWizardCaption,
                        IncompletePostingText(result.items_posted, items,
                                              result.amount_posted));
  }
  return result;
}

}  // namespace tallybook::receivables
