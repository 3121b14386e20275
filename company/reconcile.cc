#include "company/reconcile.h"

#include <array>

#include "company/aging.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "company/money.h"
#include "company/text.h"

namespace tallybook::company {

namespace {

template <class Access>
Access FileOf(App& app, const std::string& company_no) {
  return Access(app.engine(), app.services().messages,
                app.services().progress, app.data_dir(), company_no);
}

std::string StoreFailure(const char* what, App& app) {
  return std::string(what) + " (store error " +
         std::to_string(app.engine().StoreError()) + ")";
}

// Sets field to cents when it differs, adding the change line.
template <class Field>
bool Settle(Field& field, Cents cents, const std::string& who,
            const char* name, std::vector<std::string>* changes) {
  const Cents stored = CentsOf(field.View());
  if (stored == cents) return false;
  changes->push_back(who + ": " + name + " " + FormatCents(stored) + " -> " +
                     FormatCents(cents));
  field.Set(CentsText(cents));
  return true;
}

}  // namespace

ReconcileResult ReconcileBalances(App& app, const std::string& company_no) {
  ReconcileResult result;
  auto fail = [&](std::string error) {
    result.ok = false;
    result.error = std::move(error);
    return result;
  };

  CompanyListAccess list = FileOf<CompanyListAccess>(app, company_no);
  if (!list.OpenExistingCompanyFile()) {
    return fail(StoreFailure("The company list could not be opened", app));
  }
  const std::string company_key = KeyText(company_no, kCompanyNoKeyLength);
  int32_t company_rec = 0;
  std::string found;
  if (!list.FindByKey(1, company_key, company_rec, &found) ||
      found != company_key || !list.GetRecord(company_rec)) {
    return fail("Company " + Trim(company_no) + " is not in the company list");
  }
  const CompanyRecord company_before = list.rec();
  int32_t l1 = 0, l2 = 0, l3 = 0;
  if (!ReadAgingDays(company_before, &l1, &l2, &l3)) {
    return fail(kBadAgingDays);
  }

  CustomerAccess customers = FileOf<CustomerAccess>(app, company_no);
  TransactionAccess transactions = FileOf<TransactionAccess>(app, company_no);
  Cents receivables = 0;
  if (customers.OpenExistingCompanyFile()) {
    if (!transactions.OpenExistingCompanyFile()) {
      // No transactions file: every customer owes nothing. Any other
      // failure stops here.
      if (app.engine().StoreError() != 9903) {
        return fail(StoreFailure("The transactions file could not be opened",
                                 app));
      }
    }
    // Dates of the transactions are read in the company's own order.
    const DateOrder saved_order = app.short_date_order();
    app.SetShortDateOrder(DateOrderFromField(company_before.DateOrder.View()));
    const Date today = app.Today();
    store::Engine& engine = app.engine();
    int32_t rec_no = 0;
    while (engine.NextUsedRecord(customers.handle(), rec_no)) {
      if (!customers.GetRecord(rec_no)) {
        result.ok = false;
        result.error = StoreFailure("A customer could not be read", app);
        break;
      }
      const CustomerRecord before = customers.rec();
      CustomerAging aged;
      if (transactions.IsOpen() &&
          !AgeCustomer(app, transactions.handle(), before.CustomerNo.View(),
                       today, l1, l2, l3, &aged)) {
        result.ok = false;
        result.error = StoreFailure("The transactions could not be read", app);
        break;
      }
      std::array<Cents, 4> bucket{};
      Cents balance = 0;
      for (int i = 0; i < 4; ++i) {
        bucket[i] = CentsOf(aged.totals.category[i]);
        balance += bucket[i];
      }
      CustomerRecord& c = customers.rec();
      const std::string who = "Customer " + Trim(c.CustomerNo.View());
      bool changed = false;
      changed |= Settle(c.Balance, balance, who, "Balance", &result.changes);
      changed |= Settle(c.AgingCurrent, bucket[0], who, "Current",
                        &result.changes);
      changed |= Settle(c.Aging2, bucket[1], who, "Aging 2", &result.changes);
      changed |= Settle(c.Aging3, bucket[2], who, "Aging 3", &result.changes);
      changed |= Settle(c.Aging4, bucket[3], who, "Aging 4", &result.changes);
      if (changed && !customers.ModifyWithKeys(rec_no, before)) {
        result.ok = false;
        result.error = StoreFailure("A customer could not be written", app);
        break;
      }
      receivables += balance;
    }
    app.SetShortDateOrder(saved_order);
    transactions.Close();
    customers.Close();
    if (!result.ok) return result;
  } else if (app.engine().StoreError() != 9903) {
    return fail(StoreFailure("The customers file could not be opened", app));
  }

  CompanyRecord& company = list.rec();
  if (Settle(company.ReceivablesBalance, receivables,
             "Company " + Trim(company_no), "Receivables", &result.changes)) {
    if (!list.ModifyWithKeys(company_rec, company_before)) {
      return fail(StoreFailure("The company record could not be written", app));
    }
  }
  if (Trim(app.CurrentCompanyNo()) == Trim(company_no)) {
    app.CurrentCompany = list.rec();
  }
  list.Close();
  return result;
}

}  // namespace tallybook::company
