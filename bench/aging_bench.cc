// The aging calculation over a large company, beside the same computation
// as one SQL query in SQLite.
//
// The company (10,000 customers, 200,000 transactions, 20 per customer,
// dated 0..149 days back, one in five paid) is built once per run in a
// temporary directory straight through the store: the records are appended
// in bulk and the indexes made by the rebuild. The aging run is the
// program's CalculateAging (one physical pass over the customers, one key 2
// range per customer, every customer written back, the company record
// stored); the SQL side is one GROUP BY query over the same rows with an
// index on the customer number, its per-customer rows summed in C++.
//
//   aging_bench [--benchmark_* flags]
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_console_platform.h"
#include "company/aging.h"
#include "company/app.h"
#include "company/company_defaults.h"
#include "company/company_files.h"
#include "company/data_access.h"
#include "company/format.h"
#include "company/startup.h"
#include "store/engine.h"
#include "store/rebuild.h"

namespace tallybook {
namespace {

constexpr int kCustomers = 10000;
constexpr int kPerCustomer = 20;
constexpr int kDaysSpread = 150;

struct Fixture {
  std::string dir;
  company::Date today;
  sqlite3* db = nullptr;
  double store_seconds = 0;   // mean per run
  double sqlite_seconds = 0;
  double store_total = 0;
  double sqlite_total = 0;
};
Fixture fixture;

std::string CustomerNo(int i) { return std::to_string(i + 1); }

double Amount(int customer, int k) {
  if ((customer + k) % 5 == 0) return 0;  // paid
  return ((customer * 7 + k * 13) % 500) / 4.0 + 1.0;
}

int AgeOf(int customer, int k) { return (customer * 31 + k * 17) % kDaysSpread; }

bool BuildFile(store::Engine& engine, const company::FileDescription& file,
               const std::string& dir, const std::vector<uint8_t>& records,
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

bool BuildCompany() {
  std::string templ =
      (std::filesystem::temp_directory_path() / "aging_bench.XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) return false;
  fixture.dir = templ;
  fixture.today = company::Date{2024, 6, 15};

  store::Engine engine;
  if (!engine.StoreStartup(0, company::kPageBuffers)) return false;

  std::vector<uint8_t> customers(sizeof(company::CustomerRecord) * kCustomers);
  std::vector<uint8_t> trans(sizeof(company::TransactionRecord) * kCustomers *
                             kPerCustomer);
  for (int c = 0; c < kCustomers; ++c) {
    company::CustomerRecord cr;
    cr.CustomerNo.Set(CustomerNo(c));
    cr.CustomerName.Set("Customer " + CustomerNo(c));
    cr.ShortName.Set("C" + CustomerNo(c));
    double balance = 0;
    for (int k = 0; k < kPerCustomer; ++k) {
      const int t = c * kPerCustomer + k;
      company::TransactionRecord tr;
      const company::Date date = fixture.today.AddDays(-AgeOf(c, k));
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
      balance += Amount(c, k);
      std::memcpy(&trans[sizeof tr * t], &tr, sizeof tr);
    }
    cr.Balance.Set(company::MoneyText(balance));
    std::memcpy(&customers[sizeof cr * c], &cr, sizeof cr);
  }
  if (!BuildFile(engine, company::CustomerFile(), fixture.dir, customers,
                 kCustomers) ||
      !BuildFile(engine, company::TransactionFile(), fixture.dir, trans,
                 kCustomers * kPerCustomer)) {
    return false;
  }

  company::CompanyRecord co = company::FirstCompanyRecord("1", "Bench Co");
  co.ReceivablesBalance.Set("1.00");
  std::vector<uint8_t> list(sizeof co);
  std::memcpy(list.data(), &co, sizeof co);
  if (!BuildFile(engine, company::CompanyListFile(), fixture.dir, list, 1)) {
    return false;
  }
  if (!company::WriteLastCompany(fixture.dir + "/LastCo.Dat", co)) return false;
  if (!engine.StoreShutdown()) return false;

  // The same rows in SQLite, dates as day numbers.
  if (sqlite3_open(":memory:", &fixture.db) != SQLITE_OK) return false;
  sqlite3_exec(fixture.db,
               "CREATE TABLE trans (customer_no TEXT, day INTEGER, "
               "amount_due REAL);",
               nullptr, nullptr, nullptr);
  sqlite3_exec(fixture.db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(fixture.db, "INSERT INTO trans VALUES (?, ?, ?)", -1,
                     &insert, nullptr);
  const int64_t today_day = fixture.today.ToDays();
  for (int c = 0; c < kCustomers; ++c) {
    for (int k = 0; k < kPerCustomer; ++k) {
      const std::string no = CustomerNo(c);
      sqlite3_bind_text(insert, 1, no.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int64(insert, 2, today_day - AgeOf(c, k));
      sqlite3_bind_double(insert, 3, Amount(c, k));
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
  }
  sqlite3_finalize(insert);
  sqlite3_exec(fixture.db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_exec(fixture.db, "CREATE INDEX trans_customer ON trans(customer_no)",
               nullptr, nullptr, nullptr);
  return true;
}

void BM_StoreAging(benchmark::State& state) {
  std::ostringstream messages;
  admin::ConsolePlatform platform(messages);
  company::App app(fixture.dir, platform.services());
  if (!app.engine().StoreStartup(0, company::kPageBuffers) ||
      company::ReadLastCompany(fixture.dir + "/LastCo.Dat",
                               &app.CurrentCompany) !=
          company::LastCompanyRead::kOk) {
    state.SkipWithError("cannot open the company");
    return;
  }
  app.SetShortDateFromCompany();
  app.RefreshTodayText();
  app.aging_chart_requested = true;
  double total = 0;
  int runs = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    company::AgingResult result = company::CalculateAging(app);
    if (result.outcome != company::AgingOutcome::kDone) {
      state.SkipWithError(messages.str().c_str());
      break;
    }
    total = result.totals.Total();
    ++runs;
  }
  const std::chrono::duration<double> spent =
      std::chrono::steady_clock::now() - start;
  if (runs > 0) fixture.store_seconds = spent.count() / runs;
  fixture.store_total = total;
  state.counters["total"] = total;
  app.engine().StoreShutdown();
}

void BM_SqliteAging(benchmark::State& state) {
  const int64_t today_day = fixture.today.ToDays();
  const std::string sql =
      "SELECT customer_no,"
      " SUM(CASE WHEN ?1 - day <= 30 THEN amount_due ELSE 0 END),"
      " SUM(CASE WHEN ?1 - day > 30 AND ?1 - day <= 60 THEN amount_due ELSE 0 "
      "END),"
      " SUM(CASE WHEN ?1 - day > 60 AND ?1 - day <= 90 THEN amount_due ELSE 0 "
      "END),"
      " SUM(CASE WHEN ?1 - day > 90 THEN amount_due ELSE 0 END)"
      " FROM trans WHERE amount_due <> 0 GROUP BY customer_no";
  sqlite3_stmt* query = nullptr;
  if (sqlite3_prepare_v2(fixture.db, sql.c_str(), -1, &query, nullptr) !=
      SQLITE_OK) {
    state.SkipWithError(sqlite3_errmsg(fixture.db));
    return;
  }
  double total = 0;
  int runs = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    sqlite3_bind_int64(query, 1, today_day);
    double sums[4] = {0, 0, 0, 0};
    while (sqlite3_step(query) == SQLITE_ROW) {
      for (int i = 0; i < 4; ++i) sums[i] += sqlite3_column_double(query, i + 1);
    }
    sqlite3_reset(query);
    total = sums[0] + sums[1] + sums[2] + sums[3];
    ++runs;
  }
  const std::chrono::duration<double> spent =
      std::chrono::steady_clock::now() - start;
  if (runs > 0) fixture.sqlite_seconds = spent.count() / runs;
  fixture.sqlite_total = total;
  state.counters["total"] = total;
  sqlite3_finalize(query);
}

BENCHMARK(BM_StoreAging)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteAging)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallybook

int main(int argc, char** argv) {
  using tallybook::fixture;
  benchmark::Initialize(&argc, argv);
  std::cout << "building 10,000 customers and 200,000 transactions...\n";
  if (!tallybook::BuildCompany()) {
    std::cerr << "aging_bench: could not build the company in " << fixture.dir
              << "\n";
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (fixture.store_seconds > 0 && fixture.sqlite_seconds > 0) {
    std::printf(
        "aging run (store): %.1f ms   one SQL query (SQLite): %.1f ms   "
        "ratio store/SQLite: %.1f\n"
        "totals agree: %s (%.2f / %.2f)\n",
        fixture.store_seconds * 1000, fixture.sqlite_seconds * 1000,
        fixture.store_seconds / fixture.sqlite_seconds,
        std::abs(fixture.store_total - fixture.sqlite_total) < 0.005 ? "yes"
                                                                    : "NO",
        fixture.store_total, fixture.sqlite_total);
  }
  sqlite3_close(fixture.db);
  std::filesystem::remove_all(fixture.dir);
  return 0;
}
