// A large company for the benchmarks, built straight through the store:
// 10,000 customers with 20 transactions each (200,000), dated 0..149 days
// before `today`, one in five paid (amount due 0). The records are appended
// in bulk and the indexes made by the rebuild, so building takes seconds.
// Company "1" in the given directory, with its LastCo.Dat.
#ifndef TALLYBOOK_BENCH_BENCH_COMPANY_H_
#define TALLYBOOK_BENCH_BENCH_COMPANY_H_

#include <cstring>
#include <string>
#include <vector>

#include "company/app.h"
#include "company/company_defaults.h"
#include "company/company_files.h"
#include "company/data_access.h"
#include "company/format.h"
#include "company/records.h"
#include "company/startup.h"
#include "store/engine.h"
#include "store/rebuild.h"

namespace tallybook::bench {

inline constexpr int kCustomers = 10000;
inline constexpr int kPerCustomer = 20;
inline constexpr int kDaysSpread = 150;

// Starts app's store and reads its current company from dir's LastCo.Dat,
// as the program does when it starts; false when either fails.
inline bool OpenBenchCompany(company::App& app, const std::string& dir) {
  if (!app.engine().StoreStartup(0, company::kPageBuffers) ||
      company::ReadLastCompany(dir + "/LastCo.Dat", &app.CurrentCompany) !=
          company::LastCompanyRead::kOk) {
    return false;
  }
  app.SetShortDateFromCompany();
  app.RefreshTodayText();
  return true;
}

inline std::string CustomerNo(int i) { return std::to_string(i + 1); }

inline double Amount(int customer, int k) {
  if ((customer + k) % 5 == 0) return 0;  // paid
  return ((customer * 7 + k * 13) % 500) / 4.0 + 1.0;
}

inline int AgeOf(int customer, int k) {
  return (customer * 31 + k * 17) % kDaysSpread;
}

inline company::CustomerRecord MakeCustomer(int c) {
  company::CustomerRecord cr;
  cr.CustomerNo.Set(CustomerNo(c));
  cr.CustomerName.Set("Customer " + CustomerNo(c));
  cr.ShortName.Set("C" + CustomerNo(c));
  double balance = 0;
  for (int k = 0; k < kPerCustomer; ++k) balance += Amount(c, k);
  cr.Balance.Set(company::MoneyText(balance));
  return cr;
}

inline company::TransactionRecord MakeTransaction(int c, int k,
                                                  const company::Date& today) {
  const int t = c * kPerCustomer + k;
  company::TransactionRecord tr;
  const company::Date date = today.AddDays(-AgeOf(c, k));
  tr.InvoiceNo.Set(std::to_string(100000 + t));
  tr.TypeCode.Set("I");
  tr.KeyCode.Set("None");
  tr.CustomerNo.Set(CustomerNo(c));
  tr.CompanyNo.Set("1");
  tr.DateText.Set(
      company::FormatDisplayDate(date, company::DateOrder::kMonthFirst));
  tr.SortDate.Set(company::SortableDate(date));
  tr.AmountDue.Set(company::MoneyText(Amount(c, k)));
  tr.PaidStatus.Set(Amount(c, k) == 0 ? "P" : " ");
  tr.PaidSortDate.Set(" ");
  return tr;
}

// Creates the company file, appends count records and builds its keys.
inline bool BuildCompanyFile(store::Engine& engine,
                             const company::FileDescription& file,
                             const std::string& dir,
                             const std::vector<uint8_t>& records,
                             int32_t count) {
  if (!company::CreateCompanyFile(engine, file, dir, "1")) return false;
  const std::string base = company::FilePathOf(file, dir, "1");
  store::FileHandle handle = store::kNoFileHandle;
  if (!engine.OpenFileBlock(handle, base, false)) return false;
  const bool appended = engine.AppendRecords(handle, records.data(), count);
  if (!engine.CloseFileBlock(handle) || !appended) return false;
  bool dump = false;
  return store::RebuildIndex(engine, base, file.keys, 0, store::NoRecordHook,
                             &dump, true, company::StoreKeyBuilder(file));
}

// The customers, transactions, company list and LastCo.Dat of company "1".
inline bool BuildCompany(const std::string& dir, const company::Date& today) {
  store::Engine engine;
  if (!engine.StoreStartup(0, company::kPageBuffers)) return false;
  std::vector<uint8_t> customers(sizeof(company::CustomerRecord) * kCustomers);
  std::vector<uint8_t> trans(sizeof(company::TransactionRecord) * kCustomers *
                             kPerCustomer);
  for (int c = 0; c < kCustomers; ++c) {
    const company::CustomerRecord cr = MakeCustomer(c);
    std::memcpy(&customers[sizeof cr * c], &cr, sizeof cr);
    for (int k = 0; k < kPerCustomer; ++k) {
      const company::TransactionRecord tr = MakeTransaction(c, k, today);
      std::memcpy(&trans[sizeof tr * (c * kPerCustomer + k)], &tr, sizeof tr);
    }
  }
  if (!BuildCompanyFile(engine, company::CustomerFile(), dir, customers,
                        kCustomers) ||
      !BuildCompanyFile(engine, company::TransactionFile(), dir, trans,
                        kCustomers * kPerCustomer)) {
    return false;
  }
  company::CompanyRecord co = company::FirstCompanyRecord("1", "Bench Co");
  co.ReceivablesBalance.Set("1.00");
  std::vector<uint8_t> list(sizeof co);
  std::memcpy(list.data(), &co, sizeof co);
  if (!BuildCompanyFile(engine, company::CompanyListFile(), dir, list, 1)) {
    return false;
  }
  if (!company::WriteLastCompany(dir + "/LastCo.Dat", co)) return false;
  return engine.StoreShutdown();
}

}  // namespace tallybook::bench

#endif  // TALLYBOOK_BENCH_BENCH_COMPANY_H_
