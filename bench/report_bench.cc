// Two reports over a large company beside SQLite doing the same selection,
// sort and formatting:
//
//   Invoice Register  the 200,000 transactions of bench_company.h (every
//                     one in the range), sorted on the customer number with
//                     sub-totals per customer and the grand total;
//   Sales Report      500,000 invoice lines dated as their invoices, sorted
//                     on the product description with sub-totals.
//
// The store side is the program's BuildReport, ReportView::SortAndTotal
// and ReportText. The SQLite side is a database on disk (exclusive locking
// mode, synchronous off) with the same fields as text columns and an index
// on the date; one query selects the range with the same tests and sorts
// (ORDER BY the sort column, then the other cells), and the program's own
// conversions format the rows, add the totals and lay out the same text.
// Each side runs --runs times (default 5), turn about; the medians of CPU
// and wall time and their ratio are printed, and whether both texts agree.
//
//   report_bench [--runs=N]
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_console_platform.h"
#include "bench/bench_company.h"
#include "bench/bench_sqlite.h"
#include "bench/bench_timing.h"
#include "billing/invoice_form.h"
#include "company/app.h"
#include "company/money.h"
#include "company/text.h"
#include "receivables/report.h"
#include "receivables/report_cells.h"
#include "receivables/report_output.h"
#include "receivables/report_view.h"

namespace tallybook::bench {
namespace {

using receivables::ReportKind;
using receivables::ReportRow;

constexpr int kTransactions = kCustomers * kPerCustomer;
constexpr int kLines = 500000;
constexpr int kProducts = 250;

company::TransactionRecord ReportTransaction(int c, int k,
                                             const company::Date& today) {
  company::TransactionRecord tr = MakeTransaction(c, k, today);
  tr.ShortName.Set("C" + CustomerNo(c));
  tr.NetAmount.Set(tr.AmountDue.View());
  tr.TaxAmount.Set("0.00");
  tr.GrandTotal.Set(tr.AmountDue.View());
  return tr;
}

company::LineRecord MakeLine(int j, const company::Date& today) {
  const int t = j % kTransactions;
  const company::TransactionRecord tr =
      ReportTransaction(t / kPerCustomer, t % kPerCustomer, today);
  billing::InvoiceLine parts;
  parts.product = "P" + std::to_string(j % kProducts);
  parts.quantity = std::to_string(j % 9 + 1);
  parts.description = "Product number " + std::to_string(j % kProducts);
  const company::Cents price = 100 + (j % kProducts) * 25;
  parts.unit_price = company::CentsText(price);
  parts.flag = "Y";
  parts.extension = company::CentsText(price * (j % 9 + 1));
  company::LineRecord line;
  line.LineText.Set(billing::BuildLineText(parts));
  line.LineKind.Set("P");
  line.CompanyNo.Set("1");
  line.InvoiceNo.Set(tr.InvoiceNo.View());
  line.InvoiceSortDate.Set(tr.SortDate.View());
  line.LineProductCode.Set(parts.product);
  line.CustomerNo.Set(tr.CustomerNo.View());
  line.LineShortName.Set(tr.ShortName.View());
  return line;
}

struct Fixture {
  std::string dir;
  company::Date today;
  sqlite3* db = nullptr;
};
Fixture fixture;

bool BuildStore() {
  const company::Date& today = fixture.today;
  if (!BuildCompany(fixture.dir, today)) return false;
  store::Engine engine;
  if (!engine.StoreStartup(0, company::kPageBuffers)) return false;
  std::vector<uint8_t> trans(sizeof(company::TransactionRecord) * kTransactions);
  for (int t = 0; t < kTransactions; ++t) {
    const company::TransactionRecord tr =
        ReportTransaction(t / kPerCustomer, t % kPerCustomer, today);
    std::memcpy(&trans[sizeof tr * t], &tr, sizeof tr);
  }
  std::vector<uint8_t> lines(sizeof(company::LineRecord) * kLines);
  for (int j = 0; j < kLines; ++j) {
    const company::LineRecord line = MakeLine(j, today);
    std::memcpy(&lines[sizeof line * j], &line, sizeof line);
  }
  return BuildCompanyFile(engine, company::TransactionFile(), fixture.dir,
                          trans, kTransactions) &&
         BuildCompanyFile(engine, company::LineFile(), fixture.dir, lines,
                          kLines) &&
         engine.StoreShutdown();
}

bool BuildSqlite() {
  const std::string path = fixture.dir + "/report.sqlite";
  if (sqlite3_open(path.c_str(), &fixture.db) != SQLITE_OK) return false;
  sqlite3* db = fixture.db;
  if (!Exec(db, "PRAGMA synchronous=OFF") ||
      !Exec(db, "PRAGMA locking_mode=EXCLUSIVE") ||
      !Exec(db,
            "CREATE TABLE trans (sort_date TEXT, invoice TEXT, short TEXT, "
            "customer TEXT, net TEXT, tax TEXT, total TEXT, type TEXT)") ||
      !Exec(db,
            "CREATE TABLE lines (sort_date TEXT, line_text TEXT, kind TEXT, "
            "invoice TEXT, product TEXT, customer TEXT, short TEXT)") ||
      !Exec(db, "BEGIN")) {
    return false;
  }
  Statement trans(db, "INSERT INTO trans VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  Statement lines(db, "INSERT INTO lines VALUES (?, ?, ?, ?, ?, ?, ?)");
  if (!trans || !lines) return false;
  for (int t = 0; t < kTransactions; ++t) {
    const company::TransactionRecord tr =
        ReportTransaction(t / kPerCustomer, t % kPerCustomer, fixture.today);
    const std::string_view fields[] = {
        tr.SortDate.View(),  tr.InvoiceNo.View(), tr.ShortName.View(),
        tr.CustomerNo.View(), tr.NetAmount.View(), tr.TaxAmount.View(),
        tr.GrandTotal.View(), tr.TypeCode.View()};
    for (int i = 0; i < 8; ++i) BindText(trans.get(), i + 1, fields[i]);
    if (sqlite3_step(trans.get()) != SQLITE_DONE) return false;
    sqlite3_reset(trans.get());
  }
  for (int j = 0; j < kLines; ++j) {
    const company::LineRecord l = MakeLine(j, fixture.today);
    const std::string_view fields[] = {
        l.InvoiceSortDate.View(), l.LineText.View(), l.LineKind.View(),
        l.InvoiceNo.View(),       l.LineProductCode.View(),
        l.CustomerNo.View(),      l.LineShortName.View()};
    for (int i = 0; i < 7; ++i) BindText(lines.get(), i + 1, fields[i]);
    if (sqlite3_step(lines.get()) != SQLITE_DONE) return false;
    sqlite3_reset(lines.get());
  }
  return Exec(db, "COMMIT") &&
         Exec(db, "CREATE INDEX trans_date ON trans(sort_date)") &&
         Exec(db, "CREATE INDEX lines_date ON lines(sort_date)");
}

receivables::ReportRequest Request(ReportKind kind, const company::App& app) {
  receivables::ReportRequest request;
  request.kind = kind;
  request.from = fixture.today.AddDays(-kDaysSpread);
  request.to = fixture.today;
  request.from_text = app.FormatDate(request.from);
  request.to_text = app.FormatDate(request.to);
  return request;
}

// The store side: the report as the viewer shows and saves it.
std::optional<std::string> StoreReport(company::App& app, ReportKind kind,
                                       int column) {
  receivables::Report report;
  if (receivables::BuildReport(app, Request(kind, app), &report).outcome !=
      receivables::ReportOutcome::kOk) {
    return std::nullopt;
  }
  receivables::ReportView view(&report);
  view.SortAndTotal(column, true);
  return receivables::ReportText(view);
}

// The SQLite side: rows of the query, in its order, made into cells by
// make_row (nullopt leaves a row out), with the viewer's totals and text.
std::optional<std::string> SqliteReport(
    company::App& app, ReportKind kind, int column, const char* sql,
    const std::function<std::optional<ReportRow>(sqlite3_stmt*)>& make_row) {
  const receivables::ReportDefinition& def = receivables::ReportOf(kind);
  Statement query(fixture.db, sql);
  if (!query) return std::nullopt;
  const receivables::ReportRequest request = Request(kind, app);
  const std::string from = company::SortableDate(request.from);
  const std::string to = company::SortableDate(request.to);
  BindText(query.get(), 1, from);
  BindText(query.get(), 2, to);

  receivables::Report heading;
  heading.definition = &def;
  heading.heading1 = company::Trim(app.CurrentCompany.CompanyName.View());
  heading.heading2 =
      receivables::ReportDateHeading(app.services().clock.Now());
  heading.heading3 = "Selected records from " + request.from_text + " to " +
                     request.to_text;
  std::string text = receivables::ReportCaption(heading) + "\n" +
                     heading.heading1 + "\n" + heading.heading2 + "\n" +
                     heading.heading3 + "\n\n" +
                     receivables::ReportTextLine(def, heading.Header()) + "\n";
  std::vector<int> summed;
  for (size_t c = 0; c < def.columns.size(); ++c) {
    const receivables::ColumnKind k = def.columns[c].kind;
    if (k == receivables::ColumnKind::kMoney ||
        k == receivables::ColumnKind::kQuantity) {
      summed.push_back(static_cast<int>(c));
    }
  }
  std::vector<int64_t> group(summed.size()), grand(summed.size());
  auto total_line = [&](std::vector<int64_t>& sums, const char* label) {
    ReportRow row(def.columns.size());
    row[def.LabelColumn()] = label;
    for (size_t i = 0; i < summed.size(); ++i) {
      row[summed[i]] =
          receivables::FormatUnits(sums[i], def.columns[summed[i]].kind);
      sums[i] = 0;
    }
    text += receivables::ReportTextLine(def, row) + "\n";
  };
  std::string last;
  bool any = false;
  int step;
  while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
    const std::optional<ReportRow> row = make_row(query.get());
    if (!row) continue;
    if (any && (*row)[column] != last) {
      total_line(group, receivables::kSubTotalLabel);
    }
    any = true;
    last = (*row)[column];
    for (size_t i = 0; i < summed.size(); ++i) {
      const int64_t units = receivables::CellUnits(
          (*row)[summed[i]], def.columns[summed[i]].kind);
      group[i] += units;
      grand[i] += units;
    }
    text += receivables::ReportTextLine(def, *row) + "\n";
  }
  if (step != SQLITE_DONE) return std::nullopt;
  if (any) total_line(group, receivables::kSubTotalLabel);
  total_line(grand, receivables::kGrandTotalLabel);
  return text;
}

std::string Trimmed(sqlite3_stmt* stmt, int i) {
  return company::Trim(ColumnText(stmt, i));
}

std::optional<std::string> SqliteInvoiceRegister(company::App& app) {
  return SqliteReport(
      app, ReportKind::kInvoiceRegister, 3,
      "SELECT sort_date, invoice, short, customer, net, tax, total, type "
      "FROM trans WHERE sort_date BETWEEN ?1 AND ?2 AND type <> 'R' AND "
      "trim(invoice) <> '' ORDER BY customer, sort_date, invoice, short",
      [](sqlite3_stmt* s) -> std::optional<ReportRow> {
        const company::Cents total = company::CentsOf(ColumnText(s, 6));
        const std::string type = Trimmed(s, 7);
        if (total == 0 && type != "I") return std::nullopt;
        return ReportRow{Trimmed(s, 0),
                         Trimmed(s, 1),
                         Trimmed(s, 2),
                         Trimmed(s, 3),
                         company::FormatCents(company::CentsOf(ColumnText(s, 4))),
                         company::FormatCents(company::CentsOf(ColumnText(s, 5))),
                         company::FormatCents(total),
                         type};
      });
}

std::optional<std::string> SqliteSalesReport(company::App& app) {
  return SqliteReport(
      app, ReportKind::kSalesReport, 0,
      "SELECT line_text, product, sort_date, invoice, short, customer "
      "FROM lines WHERE sort_date BETWEEN ?1 AND ?2 AND kind <> 'R' "
      "ORDER BY trim(substr(line_text, 11, 32)), product, sort_date, "
      "invoice, short, customer, trim(substr(line_text, 43, 10)), "
      "trim(substr(line_text, 1, 10))",
      [](sqlite3_stmt* s) -> std::optional<ReportRow> {
        company::LineRecord line;
        line.LineText.Set(ColumnText(s, 0));
        line.LineProductCode.Set(ColumnText(s, 1));
        line.InvoiceSortDate.Set(ColumnText(s, 2));
        line.InvoiceNo.Set(ColumnText(s, 3));
        line.LineShortName.Set(ColumnText(s, 4));
        line.CustomerNo.Set(ColumnText(s, 5));
        return receivables::SalesRow(line);
      });
}

int Run(int runs) {
  std::ostringstream messages;
  admin::ConsolePlatform platform(messages);
  company::App app(fixture.dir, platform.services());
  if (!OpenBenchCompany(app, fixture.dir)) {
    std::cerr << "report_bench: cannot open the company\n";
    return 1;
  }

  struct Case {
    const char* name;
    std::function<std::optional<std::string>()> store, sqlite;
  };
  const Case cases[] = {
      {"Invoice Register",
       [&] { return StoreReport(app, ReportKind::kInvoiceRegister, 3); },
       [&] { return SqliteInvoiceRegister(app); }},
      {"Sales Report",
       [&] { return StoreReport(app, ReportKind::kSalesReport, 0); },
       [&] { return SqliteSalesReport(app); }},
  };
  bool all_agree = true;
  for (const Case& c : cases) {
    std::vector<Spent> spent[2];
    std::optional<std::string> texts[2];
    for (int run = 1; run <= runs; ++run) {
      for (int which = 0; which < 2; ++which) {
        Stopwatch watch;
        texts[which] = which == 0 ? c.store() : c.sqlite();
        const Spent s = watch.Elapsed();
        if (!texts[which]) {
          std::cerr << "report_bench: " << c.name << " failed "
                    << messages.str() << "\n";
          return 1;
        }
        spent[which].push_back(s);
        std::printf("run %d %-16s %-7s %8.1f ms cpu %8.1f ms wall\n", run,
                    c.name, which == 0 ? "store" : "SQLite", s.cpu * 1000,
                    s.wall * 1000);
        std::fflush(stdout);
      }
    }
    const Spent store = MedianOf(spent[0]);
    const Spent sqlite = MedianOf(spent[1]);
    const bool agree = *texts[0] == *texts[1];
    all_agree = all_agree && agree;
    std::printf("\n%s, medians of %d runs: store %.1f ms cpu %.1f ms wall, "
                "SQLite %.1f ms cpu %.1f ms wall\n",
                c.name, runs, store.cpu * 1000, store.wall * 1000,
                sqlite.cpu * 1000, sqlite.wall * 1000);
    std::printf("ratio store / SQLite: %.2f cpu, %.2f wall; texts agree: %s "
                "(%zu bytes)\n\n",
                Ratio(store.cpu, sqlite.cpu), Ratio(store.wall, sqlite.wall),
                agree ? "yes" : "NO", texts[0]->size());
  }
  app.engine().StoreShutdown();
  return all_agree ? 0 : 1;
}

}  // namespace
}  // namespace tallybook::bench

int main(int argc, char** argv) {
  using tallybook::bench::fixture;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) {
      runs = std::max(1, std::atoi(arg.c_str() + 7));
    } else {
      std::cerr << "usage: report_bench [--runs=N]\n";
      return 2;
    }
  }
  char pattern[] = "/tmp/report_bench.XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  fixture.dir = pattern;
  fixture.today = tallybook::company::Date{2024, 6, 15};
  std::printf("building %d transactions and %d lines...\n",
              tallybook::bench::kTransactions, tallybook::bench::kLines);
  std::fflush(stdout);
  int code = 1;
  if (tallybook::bench::BuildStore() && tallybook::bench::BuildSqlite()) {
    code = tallybook::bench::Run(runs);
  } else {
    std::cerr << "report_bench: building the company failed\n";
  }
  sqlite3_close(fixture.db);
  std::filesystem::remove_all(fixture.dir);
  return code;
}
