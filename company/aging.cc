#include "company/aging.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include "company/company_files.h"
#include "company/data_access.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/startup.h"
#include "company/text.h"
#include "platform/message.h"
#include "store/engine.h"
#include "store/errors.h"
#include "store/os_file.h"

namespace tallybook::company {
namespace {

// True when the text holds "0.00" somewhere: the quick test for a field
// that aging has already written as zero.
bool ContainsZeroAmount(std::string_view text) {
  return Trim(text).find("0.00") != std::string::npos;
}

// Whether the customer's balance or any of its four aged fields is not
// plainly zero.
bool CarriesAmounts(const CustomerRecord& customer) {
  return !ContainsZeroAmount(customer.Balance.View()) ||
         !ContainsZeroAmount(customer.AgingCurrent.View()) ||
         !ContainsZeroAmount(customer.Aging2.View()) ||
         !ContainsZeroAmount(customer.Aging3.View()) ||
         !ContainsZeroAmount(customer.Aging4.View()) ||
         MoneyToDouble(customer.Balance.View()) != 0;
}

// Whether the customer needs its aged amounts worked out again. Sets the
// "*NONE*" short name on the way, which alone marks it.
bool MarkForAging(CustomerRecord& customer) {
  bool marked = false;
  if (Trim(customer.ShortName.View()).empty()) {
    customer.ShortName.Set(kNoShortName);
    marked = true;
  }
  return CarriesAmounts(customer) || marked;
}

std::string CustomerKeyValue(std::string_view customer_no) {
  return Trim(UpperCase1252(customer_no));
}

// Hides the progress window and puts "Ready." in the status bar whichever
// way the calculation ends once they were shown.
class ProgressScope {
 public:
  explicit ProgressScope(App& app) : app_(app) {
    platform::ProgressWindow& progress = app_.services().progress;
    progress.SetCaption(kAgingCaption);
    progress.ClearLines();
    progress.SetLine(1, kCalculatingAging);
    progress.SetCancellable(false);
    progress.Show();
    app_.ShowStatus(kCalculatingTotals);
  }
  ~ProgressScope() {
    app_.services().progress.Hide();
    app_.ShowStatus(kReadyText);
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  App& app_;
};

// Closes a file block opened here on every way out.
class OpenBlock {
 public:
  explicit OpenBlock(store::Engine& engine) : engine_(engine) {}
  ~OpenBlock() { Close(); }
  OpenBlock(const OpenBlock&) = delete;
  OpenBlock& operator=(const OpenBlock&) = delete;

  bool Open(const std::string& path) {
    return engine_.OpenFileBlock(handle_, path, /*read_only=*/false);
  }
  bool Close() {
    if (handle_ == store::kNoFileHandle) return true;
    return engine_.CloseFileBlock(handle_);
  }
  store::FileHandle handle() const { return handle_; }

 private:
  store::Engine& engine_;
  store::FileHandle handle_ = store::kNoFileHandle;
};

// Stores the aging date and total in "LastCo.Dat", the company list and
// CurrentCompany. False after telling the user what could not be written.
bool StoreCompanyTotals(App& app, double total) {
  platform::Messages& messages = app.services().messages;
  CompanyRecord last = app.CurrentCompany;
  last.LastAgingDate.Set(app.TodayText);
  if (!WriteLastCompany(app.PathOf(kLastCompanyFileName), last)) {
    platform::ShowError(messages, kAgingCaption,
                        UnwritableLastCompanyText(
                            app.PathOf(kLastCompanyFileName)));
  }

  CompanyListAccess list(app);
  bool stored = false;
  bool missing = false;
  const std::string company_no = app.CurrentCompanyNo();
  if (list.OpenCompanyFile()) {
    const std::string key = KeyText(company_no, kCompanyNoKeyLength);
    int32_t rec_no = 0;
    std::string found;
    const bool found_key = list.FindByKey(1, key, rec_no, &found);
    // A search that lands on another company, or past the last one, means
    // the list has no record of this company: no store error to name.
    missing = (found_key && found != key) ||
              (!found_key && app.engine().ErrorClass() == 1);
    if (found_key && !missing && list.GetRecord(rec_no)) {
      const CompanyRecord before = list.rec();
      list.rec().LastAgingDate.Set(app.TodayText);
      list.rec().ReceivablesBalance.Set(MoneyText(total));
      stored = list.ModifyWithKeys(rec_no, before);
      app.CurrentCompany = list.rec();
    }
    list.Close();
  }
  if (!stored) {
    // The run is still today's: keep the figures in memory so the main
    // window shows them, and say that the company list did not take them.
    app.CurrentCompany.LastAgingDate.Set(app.TodayText);
    app.CurrentCompany.ReceivablesBalance.Set(MoneyText(total));
    platform::ShowError(
        messages, kAgingCaption,
        missing ? AgingCompanyMissingText(company_no)
                : AgingFileErrorText(kCompanyListName,
                                     app.engine().StoreError()));
  }
  return stored;
}

}  // namespace

std::string UndatedTransactionsText(int count) {
  return std::to_string(count) +
         (count == 1 ? " transaction has" : " transactions have") +
         " a date that is not valid and " +
         (count == 1 ? "was" : "were") +
         " left out of the aging. Correct the date in the Invoice Manager.";
}

std::string AgingFileErrorText(const std::string& base, int store_error) {
  if (store_error == store::kErrIndexDamaged ||
      store_error == store::kErrNotClosedCleanly) {
    return "The data file " + base + " must be rebuilt (error " +
           std::to_string(store_error) +
           "). Aging was not calculated. Use Rebuild Data Files on the Tools "
           "menu, or answer Yes when the program offers to rebuild the file.";
  }
  return "Unable to open or write the data file " + base +
         " (error " + std::to_string(store_error) +
         "). Aging was not calculated.";
}

std::string AgingCompanyMissingText(const std::string& company_no) {
  return "The company list holds no company " + Trim(company_no) +
         ", so the aging totals were not stored. Choose the company again in "
         "the Company Manager.";
}

bool AgeCustomer(App& app, store::FileHandle transactions,
                 std::string_view customer_no, const Date& today, int l1,
                 int l2, int l3, CustomerAging* out) {
  store::Engine& engine = app.engine();
  const std::string wanted = CustomerKeyValue(customer_no);
  std::string key = KeyText(customer_no, kTransCustomerNoKeyLength);
  int32_t ref = 0;
  bool ok = engine.SearchKey(transactions, 2, ref, key);
  TransactionRecord trans;
  while (ok && CustomerKeyValue(key) == wanted) {
    if (!engine.GetRecord(transactions, ref, &trans)) return false;
    const double due = MoneyToDouble(trans.AmountDue.View());
    if (due != 0) {
      std::optional<Date> date = app.ParseDate(trans.DateText.View());
      if (!date) {
        ++out->undated;
      } else {
        const int64_t age = AgeInDays(*date, today);
        out->totals.category[AgingCategory(age, l1, l2, l3)] += due;
      }
    }
    ok = engine.NextKey(transactions, 2, ref, key);
  }
  // Running off the end of the key, or a search past every key, ends the
  // range; anything else is a failure of the file.
  return ok || engine.ErrorClass() == 1;
}

bool ReadAgingDays(const CompanyRecord& company, int32_t* l1, int32_t* l2,
                   int32_t* l3) {
  int32_t a = 0, b = 0, c = 0;
  if (!ParseWholeNumber(company.AgingDays1.View(), &a) ||
      !ParseWholeNumber(company.AgingDays2.View(), &b) ||
      !ParseWholeNumber(company.AgingDays3.View(), &c)) {
    return false;
  }
  *l1 = a;
  *l2 = b;
  *l3 = c;
  return true;
}

int AgingCategory(int64_t age_days, int l1, int l2, int l3) {
  if (age_days <= l1) return 0;
  if (age_days <= l2) return 1;
  if (age_days <= l3) return 2;
  return 3;
}

AgingResult CalculateAging(App& app) {
  // The scan lets input through: the program must not close the store
  // under it.
  BusyGuard busy(app);
  AgingResult result;
  CompanyRecord& company = app.CurrentCompany;
  platform::Messages& messages = app.services().messages;

  // An empty or non-numeric limit cannot be aged against.
  int32_t l1 = 0, l2 = 0, l3 = 0;
  if (!ReadAgingDays(company, &l1, &l2, &l3)) {
    platform::Warn(messages, kAgingCaption, kBadAgingDays);
    result.outcome = AgingOutcome::kBadAgingDays;
    return result;
  }
  if (MoneyToDouble(company.ReceivablesBalance.View()) == 0 &&
      !app.aging_chart_requested) {
    result.outcome = AgingOutcome::kNotNeeded;
    return result;
  }

  const Date today = app.Today();
  const std::string company_no = app.CurrentCompanyNo();
  if (!IsValidCompanyNo(company_no)) {
    platform::ShowError(messages, kAgingCaption,
                        InvalidCompanyNoText(company_no, kCompanyListSource));
    result.outcome = AgingOutcome::kFileError;
    return result;
  }
  const std::string customer_path =
      FilePathOf(CustomerFile(), app.data_dir(), company_no);
  const std::string trans_path =
      FilePathOf(TransactionFile(), app.data_dir(), company_no);
  const std::string customer_base = BaseNameOf(CustomerFile(), company_no);
  const std::string trans_base = BaseNameOf(TransactionFile(), company_no);
  store::Engine& engine = app.engine();

  {
    ProgressScope progress(app);
    OpenBlock customers(engine);
    OpenBlock transactions(engine);
    std::string failed_file;
    int failed_error = 0;
    // A file that was never made (a new company) holds nothing to age; a
    // missing data file beside a rebuild's work copy is no such file.
    auto never_made = [&](const std::string& path) {
      return engine.StoreError() == store::kErrFileNotFound &&
             !store::FileExists(store::WithExtension(path, "SAV"));
    };
    bool no_transactions = false;
    if (!customers.Open(customer_path)) {
      if (never_made(customer_path)) {
        result.nothing_to_age = true;
        return result;
      }
      failed_file = customer_base;
      failed_error = engine.StoreError();
    } else if (!transactions.Open(trans_path)) {
      if (never_made(trans_path)) {
        no_transactions = true;
      } else {
        failed_file = trans_base;
        failed_error = engine.StoreError();
      }
    }

    int32_t rec_no = 0;
    CustomerRecord customer;
    while (failed_file.empty()) {
      if (!engine.NextUsedRecord(customers.handle(), rec_no)) {
        if (engine.StoreError() != store::kErrNoUsedRecord) {
          failed_file = customer_base;
          failed_error = engine.StoreError();
        }
        break;
      }
      app.services().progress.ProcessPendingInput();
      if (!engine.GetRecord(customers.handle(), rec_no, &customer)) {
        failed_file = customer_base;
        failed_error = engine.StoreError();
        break;
      }
      if (!MarkForAging(customer)) continue;

      CustomerAging aged;
      if (no_transactions) {
        // Amounts on a customer and no invoice file: not a thing to age
        // away to zero. Without amounts there is nothing to add up.
        if (CarriesAmounts(customer)) {
          failed_file = trans_base;
          failed_error = store::kErrFileNotFound;
          break;
        }
      } else if (!AgeCustomer(app, transactions.handle(),
                              customer.CustomerNo.View(), today, l1, l2, l3,
                              &aged)) {
        failed_file = trans_base;
        failed_error = engine.StoreError();
        break;
      }
      const AgingTotals& t = aged.totals;
      customer.AgingCurrent.Set(MoneyText(t.category[0]));
      customer.Aging2.Set(MoneyText(t.category[1]));
      customer.Aging3.Set(MoneyText(t.category[2]));
      customer.Aging4.Set(MoneyText(t.category[3]));
      customer.Balance.Set(MoneyText(t.Total()));
      if (!engine.PutRecord(customers.handle(), rec_no, &customer)) {
        failed_file = customer_base;
        failed_error = engine.StoreError();
        break;
      }
      ++result.customers_updated;
      result.undated_skipped += aged.undated;
      for (int i = 0; i < kAgingCategories; ++i) {
        result.totals.category[i] += t.category[i];
      }
    }

    const bool closed_customers = customers.Close();
    if (failed_file.empty() && !closed_customers) {
      failed_file = customer_base;
      failed_error = engine.StoreError();
    }
    transactions.Close();

    if (!failed_file.empty()) {
      // Totals of a partial scan would misstate the receivables: the
      // company keeps its figures and its old aging date.
      platform::ShowError(messages, kAgingCaption,
                          AgingFileErrorText(failed_file, failed_error));
      result.outcome = AgingOutcome::kFileError;
      return result;
    }

    // Round the grand total to cents before it is judged, so that residue
    // of adding two-decimal amounts is not taken for a balance.
    const double total = MoneyToDouble(MoneyText(result.totals.Total()));
    if (!StoreCompanyTotals(app, total)) {
      result.outcome = AgingOutcome::kFileError;
      return result;
    }
    result.outcome = AgingOutcome::kDone;
  }

  if (result.undated_skipped > 0) {
    platform::Warn(messages, kAgingCaption,
                   UndatedTransactionsText(result.undated_skipped));
  }
  const double total = MoneyToDouble(MoneyText(result.totals.Total()));
  if (total < 0) {
    platform::Inform(messages, kAgingCaption, kCreditBalance);
  } else if (total > 0 &&
             (company.ShowAgingChart != 0 || app.aging_chart_requested)) {
    result.show_chart = true;
  }
  return result;
}

AgingResult RunAgingIfDue(App& app) {
  if (!IsValidCompanyNo(app.CurrentCompanyNo()) ||
      Trim(app.CurrentCompany.LastAgingDate.View()) == Trim(app.TodayText)) {
    return AgingResult{};
  }
  return CalculateAging(app);
}

AgingResult AgingChartCommand(App& app, bool chart_showing) {
  platform::Messages& messages = app.services().messages;
  if (MoneyToDouble(app.CurrentCompany.ReceivablesBalance.View()) == 0) {
    platform::Inform(messages, kAgingChartCaption, kNoOpenInvoices);
    return AgingResult{};
  }
  if (chart_showing) {
    platform::Inform(messages, kAgingChartCaption, kChartShowing);
    return AgingResult{};
  }
  app.aging_chart_requested = true;
  AgingResult result = CalculateAging(app);
  app.aging_chart_requested = false;
  return result;
}

}  // namespace tallybook::company
