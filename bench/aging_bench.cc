// The aging calculation over a large company (bench_company.h: 10,000
// customers, 200,000 transactions) beside two SQLite programs:
//
//   same work   an SQLite database on disk (exclusive locking mode,
//               synchronous off) holding the same customers and
//               transactions, each row with its record's bytes; the program
//               walks the customers in row order, decides with the same
//               tests which to age, reads each one's transactions through an
//               index on the customer number, parses their amounts and dates
//               with the program's own conversions, and writes every aged
//               customer back, then the company's total, in one transaction.
//   GROUP BY    one query over an in-memory table summing the four periods
//               per customer; it writes nothing and parses nothing, so it is
//               a floor rather than a fair match.
//
// The store side is the program's CalculateAging. Each of the three runs
// --runs times (default 5), turn about; the medians of CPU and wall time
// and both ratios are printed.
//
//   aging_bench [--runs=N]
#include <sqlite3.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_console_platform.h"
#include "bench/bench_company.h"
#include "bench/bench_sqlite.h"
#include "bench/bench_timing.h"
#include "company/aging.h"
#include "company/app.h"
#include "company/format.h"
#include "company/text.h"

namespace tallybook::bench {
namespace {

struct Fixture {
  std::string dir;
  company::Date today;
  sqlite3* disk = nullptr;    // the same-work database
  sqlite3* memory = nullptr;  // the GROUP BY table
};
Fixture fixture;

bool BuildSqlite(const company::Date& today) {
  const std::string path = fixture.dir + "/aging.sqlite";
  if (sqlite3_open(path.c_str(), &fixture.disk) != SQLITE_OK ||
      sqlite3_open(":memory:", &fixture.memory) != SQLITE_OK) {
    return false;
  }
  sqlite3* disk = fixture.disk;
  if (!Exec(disk, "PRAGMA synchronous=OFF") ||
      !Exec(disk, "PRAGMA locking_mode=EXCLUSIVE") ||
      !Exec(disk,
            "CREATE TABLE customers (customer_no TEXT, short_name TEXT, "
            "balance TEXT, aging_current TEXT, aging2 TEXT, aging3 TEXT, "
            "aging4 TEXT, rec BLOB)") ||
      !Exec(disk,
            "CREATE TABLE trans (customer_no TEXT, date_text TEXT, "
            "amount_due TEXT, rec BLOB)") ||
      !Exec(disk,
            "CREATE TABLE company (company_no TEXT PRIMARY KEY, "
            "last_aging_date TEXT, receivables TEXT)") ||
      !Exec(disk, "INSERT INTO company VALUES ('1', '', '1.00')") ||
      !Exec(fixture.memory,
            "CREATE TABLE trans (customer_no TEXT, day INTEGER, "
            "amount_due REAL)") ||
      !Exec(disk, "BEGIN") || !Exec(fixture.memory, "BEGIN")) {
    return false;
  }
  Statement customer(disk,
                     "INSERT INTO customers VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  Statement trans(disk, "INSERT INTO trans VALUES (?, ?, ?, ?)");
  Statement flat(fixture.memory, "INSERT INTO trans VALUES (?, ?, ?)");
  if (!customer || !trans || !flat) return false;
  const int64_t today_day = today.ToDays();
  for (int c = 0; c < kCustomers; ++c) {
    const company::CustomerRecord cr = MakeCustomer(c);
    BindText(customer.get(), 1, cr.CustomerNo.View());
    BindText(customer.get(), 2, cr.ShortName.View());
    BindText(customer.get(), 3, cr.Balance.View());
    BindText(customer.get(), 4, cr.AgingCurrent.View());
    BindText(customer.get(), 5, cr.Aging2.View());
    BindText(customer.get(), 6, cr.Aging3.View());
    BindText(customer.get(), 7, cr.Aging4.View());
    sqlite3_bind_blob(customer.get(), 8, &cr, sizeof cr, SQLITE_TRANSIENT);
    if (sqlite3_step(customer.get()) != SQLITE_DONE) return false;
    sqlite3_reset(customer.get());
    for (int k = 0; k < kPerCustomer; ++k) {
      const company::TransactionRecord tr = MakeTransaction(c, k, today);
      BindText(trans.get(), 1, tr.CustomerNo.View());
      BindText(trans.get(), 2, tr.DateText.View());
      BindText(trans.get(), 3, tr.AmountDue.View());
      sqlite3_bind_blob(trans.get(), 4, &tr, sizeof tr, SQLITE_TRANSIENT);
      if (sqlite3_step(trans.get()) != SQLITE_DONE) return false;
      sqlite3_reset(trans.get());
      BindText(flat.get(), 1, tr.CustomerNo.View());
      sqlite3_bind_int64(flat.get(), 2, today_day - AgeOf(c, k));
      sqlite3_bind_double(flat.get(), 3, Amount(c, k));
      if (sqlite3_step(flat.get()) != SQLITE_DONE) return false;
      sqlite3_reset(flat.get());
    }
  }
  return Exec(disk, "COMMIT") && Exec(fixture.memory, "COMMIT") &&
         Exec(disk, "CREATE INDEX trans_customer ON trans(customer_no)") &&
         Exec(fixture.memory,
              "CREATE INDEX trans_customer ON trans(customer_no)");
}

bool ContainsZeroAmount(std::string_view text) {
  return company::Trim(text).find("0.00") != std::string::npos;
}

// The program's aging over the SQLite tables: the same tests, conversions
// and writes. Returns the total, or nullopt on an SQLite failure.
std::optional<double> SameWorkAging(const company::App& app, int l1, int l2,
                                    int l3) {
  sqlite3* db = fixture.disk;
  Statement customers(db,
                      "SELECT rowid, customer_no, short_name, balance, "
                      "aging_current, aging2, aging3, aging4 FROM customers");
  Statement trans(db,
                  "SELECT date_text, amount_due FROM trans "
                  "WHERE customer_no = ?");
  Statement update(db,
                   "UPDATE customers SET short_name = ?, balance = ?, "
                   "aging_current = ?, aging2 = ?, aging3 = ?, aging4 = ? "
                   "WHERE rowid = ?");
  Statement company(db,
                    "UPDATE company SET last_aging_date = ?, receivables = ? "
                    "WHERE company_no = '1'");
  if (!customers || !trans || !update || !company || !Exec(db, "BEGIN")) {
    return std::nullopt;
  }
  const company::Date today = app.Today();
  double grand[4] = {0, 0, 0, 0};
  while (sqlite3_step(customers.get()) == SQLITE_ROW) {
    sqlite3_stmt* c = customers.get();
    std::string short_name(ColumnText(c, 2));
    bool marked = false;
    if (company::Trim(short_name).empty()) {
      short_name = company::kNoShortName;
      marked = true;
    }
    for (int i = 3; i <= 7; ++i) {
      if (!ContainsZeroAmount(ColumnText(c, i))) marked = true;
    }
    if (company::MoneyToDouble(ColumnText(c, 3)) != 0) marked = true;
    if (!marked) continue;
    double sums[4] = {0, 0, 0, 0};
    BindText(trans.get(), 1, ColumnText(c, 1));
    while (sqlite3_step(trans.get()) == SQLITE_ROW) {
      const double due = company::MoneyToDouble(ColumnText(trans.get(), 1));
      if (due == 0) continue;
      std::optional<company::Date> date = app.ParseDate(ColumnText(trans.get(), 0));
      if (!date) continue;
      sums[company::AgingCategory(company::AgeInDays(*date, today), l1, l2,
                                  l3)] += due;
    }
    sqlite3_reset(trans.get());
    BindText(update.get(), 1, short_name);
    BindText(update.get(), 2,
             company::MoneyText(sums[0] + sums[1] + sums[2] + sums[3]));
    for (int i = 0; i < 4; ++i) {
      BindText(update.get(), 3 + i, company::MoneyText(sums[i]));
      grand[i] += sums[i];
    }
    sqlite3_bind_int64(update.get(), 7, sqlite3_column_int64(c, 0));
    if (sqlite3_step(update.get()) != SQLITE_DONE) return std::nullopt;
    sqlite3_reset(update.get());
  }
  const double total = grand[0] + grand[1] + grand[2] + grand[3];
  BindText(company.get(), 1, app.TodayText);
  BindText(company.get(), 2, company::MoneyText(total));
  if (sqlite3_step(company.get()) != SQLITE_DONE || !Exec(db, "COMMIT")) {
    return std::nullopt;
  }
  return total;
}

std::optional<double> GroupByAging(const company::Date& today) {
  Statement query(
      fixture.memory,
      "SELECT customer_no,"
      " SUM(CASE WHEN ?1 - day <= 30 THEN amount_due ELSE 0 END),"
      " SUM(CASE WHEN ?1 - day > 30 AND ?1 - day <= 60 THEN amount_due "
      "ELSE 0 END),"
      " SUM(CASE WHEN ?1 - day > 60 AND ?1 - day <= 90 THEN amount_due "
      "ELSE 0 END),"
      " SUM(CASE WHEN ?1 - day > 90 THEN amount_due ELSE 0 END)"
      " FROM trans WHERE amount_due <> 0 GROUP BY customer_no");
  if (!query) return std::nullopt;
  sqlite3_bind_int64(query.get(), 1, today.ToDays());
  double sums[4] = {0, 0, 0, 0};
  while (sqlite3_step(query.get()) == SQLITE_ROW) {
    for (int i = 0; i < 4; ++i) {
      sums[i] += sqlite3_column_double(query.get(), i + 1);
    }
  }
  return sums[0] + sums[1] + sums[2] + sums[3];
}

int Days(std::string_view text) {
  return std::atoi(company::Trim(text).c_str());
}

int Run(int runs) {
  std::ostringstream messages;
  admin::ConsolePlatform platform(messages);
  company::App app(fixture.dir, platform.services());
  if (!OpenBenchCompany(app, fixture.dir)) {
    std::cerr << "aging_bench: cannot open the company\n";
    return 1;
  }
  app.aging_chart_requested = true;
  const int l1 = Days(app.CurrentCompany.AgingDays1.View());
  const int l2 = Days(app.CurrentCompany.AgingDays2.View());
  const int l3 = Days(app.CurrentCompany.AgingDays3.View());

  std::vector<Spent> spent[3];
  double totals[3] = {0, 0, 0};
  const char* const names[3] = {"store aging", "SQLite same work",
                                "SQLite GROUP BY"};
  for (int run = 1; run <= runs; ++run) {
    for (int which = 0; which < 3; ++which) {
      Stopwatch watch;
      std::optional<double> total;
      if (which == 0) {
        company::AgingResult result = company::CalculateAging(app);
        if (result.outcome == company::AgingOutcome::kDone) {
          total = result.totals.Total();
        }
      } else if (which == 1) {
        total = SameWorkAging(app, l1, l2, l3);
      } else {
        total = GroupByAging(app.Today());
      }
      const Spent s = watch.Elapsed();
      if (!total) {
        std::cerr << "aging_bench: " << names[which] << " failed "
                  << messages.str() << "\n";
        return 1;
      }
      totals[which] = *total;
      spent[which].push_back(s);
      std::printf("run %d %-18s %8.1f ms cpu %8.1f ms wall\n", run,
                  names[which], s.cpu * 1000, s.wall * 1000);
      std::fflush(stdout);
    }
  }
  app.engine().StoreShutdown();

  const Spent store = MedianOf(spent[0]);
  const Spent same = MedianOf(spent[1]);
  const Spent group = MedianOf(spent[2]);
  std::printf("\n%d customers x %d transactions, medians of %d runs\n",
              kCustomers, kPerCustomer, runs);
  std::printf("%-18s %10s %10s\n", "", "cpu ms", "wall ms");
  std::printf("%-18s %10.1f %10.1f\n", names[0], store.cpu * 1000,
              store.wall * 1000);
  std::printf("%-18s %10.1f %10.1f\n", names[1], same.cpu * 1000,
              same.wall * 1000);
  std::printf("%-18s %10.1f %10.1f\n", names[2], group.cpu * 1000,
              group.wall * 1000);
  std::printf("ratio store / SQLite same work: %.2f cpu, %.2f wall\n",
              Ratio(store.cpu, same.cpu), Ratio(store.wall, same.wall));
  std::printf("ratio store / SQLite GROUP BY:  %.2f cpu, %.2f wall\n",
              Ratio(store.cpu, group.cpu), Ratio(store.wall, group.wall));
  const bool agree = std::abs(totals[0] - totals[1]) < 0.005 &&
                     std::abs(totals[0] - totals[2]) < 0.005;
  std::printf("totals agree: %s (%.2f / %.2f / %.2f)\n", agree ? "yes" : "NO",
              totals[0], totals[1], totals[2]);
  return agree ? 0 : 1;
}

}  // namespace
}  // namespace tallybook::bench

int main(int argc, char** argv) {
  using tallybook::bench::fixture;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) {
      runs = std::max(1, std::atoi(arg.c_str() + 7));
    } else {
      std::fprintf(stderr, "aging_bench: unknown option %s\n", arg.c_str());
      return 2;
    }
  }
  std::string templ =
      (std::filesystem::temp_directory_path() / "aging_bench.XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) {
    std::perror("aging_bench: mkdtemp");
    return 1;
  }
  fixture.dir = templ;
  std::cout << "building 10,000 customers and 200,000 transactions...\n";
  // The dates only need to spread over the periods; the same fixed day
  // keeps both databases alike.
  fixture.today = tallybook::company::Date{2024, 6, 15};
  int status = 1;
  if (!tallybook::bench::BuildCompany(fixture.dir, fixture.today) ||
      !tallybook::bench::BuildSqlite(fixture.today)) {
    std::cerr << "aging_bench: could not build the company in " << fixture.dir
              << "\n";
  } else {
    status = tallybook::bench::Run(runs);
  }
  sqlite3_close(fixture.disk);
  sqlite3_close(fixture.memory);
  std::filesystem::remove_all(fixture.dir);
  return status;
}
