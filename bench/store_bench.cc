// store_bench: the record store side by side with SQLite on one workload
// shaped like the transaction file.
//
//   records   360 bytes each, six keys, all allowing duplicates:
//             1 invoice number, 9 digits, ascending
//             2 customer number, 8 characters, over 5,000 customers
//             3 sort date "YYYY/MM/DD"
//             4 key code, 8 characters, one of a few short codes
//             5 type letter + invoice number (10)
//             6 paid flag + date "YYYYMMDD" (10, blank-padded)
//   phases    bulk add (record and six keys, then close), search by key 1
//             (with the record read), a key-order walk of key 2 (every
//             record read), deleting 10% of the records at random (record
//             and six keys, then close).
//
// SQLite gets one table with the same six indexes, its default cache,
// synchronous off, the exclusive locking mode (the store holds its files
// exclusively too) and one transaction per 1,000 rows. Each engine runs the
// whole workload --runs times, turn about; the table at the end prints the
// median CPU and wall time of each phase, per operation, and the ratio
// store/SQLite. After each of the store's runs the file block is verified
// with the independent checker (outside the timing).
//
// Options: --records=N (default 100000, up to 1000000), --runs=N (default
// 3), --dir=PATH for the files (default: a fresh folder under $TMPDIR or
// /tmp, removed afterwards), --only=store or --only=sqlite to run one side
// (for profiling; no ratios are printed then).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "store/engine.h"
#include "store/file_check.h"

namespace {

using tallybook::store::Engine;
using tallybook::store::FileHandle;
using tallybook::store::KeyDescriptor;
using tallybook::bench::Spent;
using tallybook::bench::Stopwatch;

constexpr int kRecordLength = 360;
constexpr int kKeys = 6;
constexpr int kKeyLengths[kKeys] = {9, 8, 10, 8, 10, 10};
constexpr int kCustomers = 5000;
constexpr int kRowsPerTransaction = 1000;

constexpr int kMaxRecords = 1000000;

int g_records = 100000;
int g_runs = 3;
std::string g_dir;
std::string g_only;

struct Row {
  std::string keys[kKeys];
  std::vector<uint8_t> record;
};

std::string Padded(std::string text, int length) {
  text.resize(static_cast<size_t>(length), ' ');
  return text;
}

// The same rows for both engines: a fixed seed.
std::vector<Row> MakeRows(int count) {
  static const char* kCodes[] = {"SALES", "SERVICE", "PARTS", "LABOR",
                                 "RENT", "FREIGHT", "MISC", "TAX"};
  static const char kTypes[] = {'I', 'I', 'I', 'I', 'R', 'G', 'D', 'T'};
  std::mt19937 random(20240601);
  std::vector<Row> rows(static_cast<size_t>(count));
  char text[32];
  for (int i = 0; i < count; ++i) {
    Row& row = rows[static_cast<size_t>(i)];
    int year = 2019 + static_cast<int>(random() % 6);
    int month = 1 + static_cast<int>(random() % 12);
    int day = 1 + static_cast<int>(random() % 28);
    std::snprintf(text, sizeof text, "%09d", i + 1);
    std::string invoice = text;
    row.keys[0] = invoice;
    std::snprintf(text, sizeof text, "C%07d",
                  static_cast<int>(random() % kCustomers));
    row.keys[1] = text;
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", year, month, day);
    row.keys[2] = text;
    row.keys[3] = Padded(kCodes[random() % 8], 8);
    row.keys[4] = std::string(1, kTypes[random() % 8]) + invoice;
    std::snprintf(text, sizeof text, "%c%04d%02d%02d",
                  random() % 3 == 0 ? 'Y' : 'N', year, month, day);
    row.keys[5] = Padded(text, 10);

    row.record.assign(kRecordLength, ' ');
    std::memset(row.record.data(), 0, 4);  // delete mark: in use
    size_t at = 4;
    for (const std::string& key : row.keys) {
      std::memcpy(row.record.data() + at, key.data(), key.size());
      at += key.size() + 1;
    }
  }
  return rows;
}

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = MakeRows(g_records);
  return rows;
}

// Invoice numbers looked up by the search phase, and records deleted by the
// delete phase (distinct), drawn once for both engines.
struct Picks {
  std::vector<int> searched;
  std::vector<int> deleted;
};

const Picks& GetPicks() {
  static const Picks picks = [] {
    Picks p;
    std::mt19937 random(7);
    for (int i = 0; i < g_records / 2; ++i) {
      p.searched.push_back(static_cast<int>(random() % g_records));
    }
    std::vector<int> all(static_cast<size_t>(g_records));
    for (int i = 0; i < g_records; ++i) all[static_cast<size_t>(i)] = i;
    std::shuffle(all.begin(), all.end(), random);
    all.resize(static_cast<size_t>(g_records / 10));
    p.deleted = std::move(all);
    return p;
  }();
  return picks;
}

enum Phase { kAdd, kSearch, kWalk, kDelete, kPhases };
const char* const kPhaseNames[kPhases] = {"bulk add", "search by key 1",
                                          "key-order walk of key 2",
                                          "delete 10% at random"};

// Operations each phase does, for the per-operation figures.
int OperationsOf(int phase) {
  switch (phase) {
    case kAdd: return g_records;
    case kSearch: return g_records / 2;
    case kWalk: return g_records;
    default: return g_records / 10;
  }
}

struct Figures {
  Spent spent[kPhases];
};

std::string FreshPath(const std::string& name) {
  std::string path = g_dir + "/" + name;
  std::filesystem::remove(path + ".DAT");
  std::filesystem::remove(path + ".IX");
  std::filesystem::remove(path);
  return path;
}

// ---- The record store.

bool StoreWorkload(Figures* f, std::string* error) {
  const std::vector<Row>& rows = Rows();
  const Picks& picks = GetPicks();
  Engine engine;
  auto failed = [&](const char* what) {
    *error = std::string(what) + " failed with store error " +
             std::to_string(engine.StoreError());
    return false;
  };
  if (!engine.StoreStartup(0, 30)) return failed("StoreStartup");
  const std::string base = FreshPath("BENCHI");
  std::vector<KeyDescriptor> keys;
  for (int length : kKeyLengths) keys.push_back({length, true});
  if (!engine.CreateFileBlock(base, kRecordLength, keys)) {
    return failed("CreateFileBlock");
  }
  FileHandle handle = tallybook::store::kNoFileHandle;
  if (!engine.OpenFileBlock(handle, base, false)) return failed("OpenFileBlock");

  std::vector<int32_t> numbers(rows.size());
  {
    Stopwatch watch;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!engine.AddRecord(handle, numbers[i], rows[i].record.data())) {
        return failed("AddRecord");
      }
      for (int k = 0; k < kKeys; ++k) {
        if (!engine.AddKey(handle, k + 1, numbers[i], rows[i].keys[k])) {
          return failed("AddKey");
        }
      }
    }
    if (!engine.CloseFileBlock(handle)) return failed("CloseFileBlock");
    f->spent[kAdd] = watch.Elapsed();
  }
  if (!engine.OpenFileBlock(handle, base, false)) return failed("OpenFileBlock");

  std::vector<uint8_t> record(kRecordLength);
  {
    Stopwatch watch;
    for (int i : picks.searched) {
      int32_t ref = 0;
      std::string key = rows[static_cast<size_t>(i)].keys[0];
      if (!engine.SearchKey(handle, 1, ref, key) ||
          !engine.GetRecord(handle, ref, record.data())) {
        return failed("SearchKey");
      }
      benchmark::DoNotOptimize(record.data());
    }
    f->spent[kSearch] = watch.Elapsed();
  }
  {
    Stopwatch watch;
    engine.ResetKeyPosition(handle, 2);
    int32_t ref = 0;
    std::string key;
    size_t walked = 0;
    while (engine.NextKey(handle, 2, ref, key)) {
      if (!engine.GetRecord(handle, ref, record.data())) {
        return failed("GetRecord");
      }
      ++walked;
    }
    if (engine.StoreError() != tallybook::store::kErrNoNextKey) {
      return failed("NextKey");
    }
    f->spent[kWalk] = watch.Elapsed();
    if (walked != rows.size()) {
      *error = "the walk of key 2 met " + std::to_string(walked) +
               " entries, expected " + std::to_string(rows.size());
      return false;
    }
  }
  {
    Stopwatch watch;
    for (int i : picks.deleted) {
      const Row& row = rows[static_cast<size_t>(i)];
      int32_t ref = numbers[static_cast<size_t>(i)];
      for (int k = 0; k < kKeys; ++k) {
        if (!engine.DeleteKey(handle, k + 1, ref, row.keys[k])) {
          return failed("DeleteKey");
        }
      }
      if (!engine.DeleteRecord(handle, ref)) return failed("DeleteRecord");
    }
    if (!engine.CloseFileBlock(handle)) return failed("CloseFileBlock");
    f->spent[kDelete] = watch.Elapsed();
  }
  engine.StoreShutdown();

  std::vector<std::string> defects =
      tallybook::store::CheckFileBlockFiles(base);
  if (!defects.empty()) {
    *error = "the file block is not sound afterwards: " + defects.front();
    return false;
  }
  return true;
}

// ---- SQLite.

bool SqliteWorkload(Figures* f, std::string* error) {
  const std::vector<Row>& rows = Rows();
  const Picks& picks = GetPicks();
  const std::string path = FreshPath("bench.sqlite");
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
    *error = "sqlite3_open failed";
    sqlite3_close(db);
    return false;
  }
  auto exec = [&](const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
      *error = std::string(sql) + ": " + (message ? message : "?");
      sqlite3_free(message);
      return false;
    }
    return true;
  };
  struct Closer {
    sqlite3* db;
    ~Closer() { sqlite3_close(db); }
  } closer{db};
  if (!exec("PRAGMA synchronous=OFF") ||
      !exec("PRAGMA locking_mode=EXCLUSIVE") ||
      !exec("CREATE TABLE t(id INTEGER PRIMARY KEY, k1 TEXT, k2 TEXT, "
            "k3 TEXT, k4 TEXT, k5 TEXT, k6 TEXT, rec BLOB)")) {
    return false;
  }
  for (int k = 1; k <= kKeys; ++k) {
    std::string sql = "CREATE INDEX i" + std::to_string(k) + " ON t(k" +
                      std::to_string(k) + ")";
    if (!exec(sql.c_str())) return false;
  }
  auto prepare = [&](const char* sql, sqlite3_stmt** stmt) {
    if (sqlite3_prepare_v2(db, sql, -1, stmt, nullptr) != SQLITE_OK) {
      *error = std::string(sql) + ": " + sqlite3_errmsg(db);
      return false;
    }
    return true;
  };
  sqlite3_stmt* insert = nullptr;
  sqlite3_stmt* search = nullptr;
  sqlite3_stmt* walk = nullptr;
  sqlite3_stmt* remove = nullptr;
  struct Finalizer {
    sqlite3_stmt** stmts[4];
    ~Finalizer() {
      for (auto* s : stmts) sqlite3_finalize(*s);
    }
  } finalizer{{&insert, &search, &walk, &remove}};
  if (!prepare("INSERT INTO t(id,k1,k2,k3,k4,k5,k6,rec) "
               "VALUES(?,?,?,?,?,?,?,?)", &insert) ||
      !prepare("SELECT rec FROM t WHERE k1 >= ? ORDER BY k1 LIMIT 1",
               &search) ||
      !prepare("SELECT rec FROM t INDEXED BY i2 ORDER BY k2, id", &walk) ||
      !prepare("DELETE FROM t WHERE id = ?", &remove)) {
    return false;
  }
  auto step_done = [&](sqlite3_stmt* stmt) {
    int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
      *error = std::string("sqlite3_step: ") + sqlite3_errmsg(db);
      return false;
    }
    return true;
  };

  {
    Stopwatch watch;
    if (!exec("BEGIN")) return false;
    for (size_t i = 0; i < rows.size(); ++i) {
      sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(i + 1));
      for (int k = 0; k < kKeys; ++k) {
        sqlite3_bind_text(insert, k + 2, rows[i].keys[k].data(),
                          static_cast<int>(rows[i].keys[k].size()),
                          SQLITE_STATIC);
      }
      sqlite3_bind_blob(insert, 8, rows[i].record.data(), kRecordLength,
                        SQLITE_STATIC);
      if (!step_done(insert)) return false;
      if ((i + 1) % kRowsPerTransaction == 0 &&
          (!exec("COMMIT") || !exec("BEGIN"))) {
        return false;
      }
    }
    if (!exec("COMMIT")) return false;
    f->spent[kAdd] = watch.Elapsed();
  }
  {
    Stopwatch watch;
    for (int i : picks.searched) {
      const std::string& key = rows[static_cast<size_t>(i)].keys[0];
      sqlite3_bind_text(search, 1, key.data(), static_cast<int>(key.size()),
                        SQLITE_STATIC);
      if (sqlite3_step(search) != SQLITE_ROW) {
        *error = "search missed " + key;
        return false;
      }
      benchmark::DoNotOptimize(sqlite3_column_blob(search, 0));
      sqlite3_reset(search);
    }
    f->spent[kSearch] = watch.Elapsed();
  }
  {
    Stopwatch watch;
    size_t walked = 0;
    while (sqlite3_step(walk) == SQLITE_ROW) {
      benchmark::DoNotOptimize(sqlite3_column_blob(walk, 0));
      ++walked;
    }
    sqlite3_reset(walk);
    f->spent[kWalk] = watch.Elapsed();
    if (walked != rows.size()) {
      *error = "the walk of k2 met " + std::to_string(walked) + " rows";
      return false;
    }
  }
  {
    Stopwatch watch;
    if (!exec("BEGIN")) return false;
    size_t n = 0;
    for (int i : picks.deleted) {
      sqlite3_bind_int64(remove, 1, i + 1);
      if (!step_done(remove)) return false;
      if (++n % kRowsPerTransaction == 0 && (!exec("COMMIT") || !exec("BEGIN"))) {
        return false;
      }
    }
    if (!exec("COMMIT")) return false;
    f->spent[kDelete] = watch.Elapsed();
  }
  return true;
}

using Workload = bool (*)(Figures*, std::string*);

void PrintComparison(const std::vector<Figures>& store,
                     const std::vector<Figures>& sqlite) {
  using tallybook::bench::MedianOf;
  using tallybook::bench::Ratio;
  std::printf("\n%d records of %d bytes, six keys; medians of %d runs\n",
              g_records, kRecordLength, g_runs);
  std::printf("%-24s %10s %10s %8s   %10s %10s %8s\n", "", "store", "SQLite",
              "", "store", "SQLite", "");
  std::printf("%-24s %10s %10s %8s   %10s %10s %8s\n", "phase", "cpu us/op",
              "cpu us/op", "ratio", "wall us/op", "wall us/op", "ratio");
  for (int p = 0; p < kPhases; ++p) {
    std::vector<Spent> a, b;
    for (const Figures& f : store) a.push_back(f.spent[p]);
    for (const Figures& f : sqlite) b.push_back(f.spent[p]);
    const Spent sa = MedianOf(a), sb = MedianOf(b);
    const double per_op = 1e6 / OperationsOf(p);
    std::printf("%-24s %10.2f %10.2f %8.2f   %10.2f %10.2f %8.2f\n",
                kPhaseNames[p], sa.cpu * per_op, sb.cpu * per_op,
                Ratio(sa.cpu, sb.cpu), sa.wall * per_op, sb.wall * per_op,
                Ratio(sa.wall, sb.wall));
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool own_dir = true;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--records=", 0) == 0) {
      g_records = std::clamp(std::atoi(arg.c_str() + 10), 10, kMaxRecords);
    } else if (arg.rfind("--runs=", 0) == 0) {
      g_runs = std::clamp(std::atoi(arg.c_str() + 7), 1, 99);
    } else if (arg.rfind("--only=", 0) == 0) {
      g_only = arg.substr(7);
      if (g_only != "store" && g_only != "sqlite") {
        std::fprintf(stderr, "store_bench: --only takes store or sqlite\n");
        return 2;
      }
    } else if (arg.rfind("--dir=", 0) == 0) {
      g_dir = arg.substr(6);
      own_dir = false;
    } else {
      std::fprintf(stderr, "store_bench: unknown option %s\n", arg.c_str());
      return 2;
    }
  }
  if (own_dir) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/storebenchXXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("store_bench: mkdtemp");
      return 1;
    }
    g_dir = pattern;
  }
  Rows();  // build the rows before the first timing
  GetPicks();
  std::vector<Figures> results[2];
  const struct {
    const char* name;
    Workload workload;
  } engines[2] = {{"store", StoreWorkload}, {"SQLite", SqliteWorkload}};
  int status = 0;
  for (int run = 1; run <= g_runs && status == 0; ++run) {
    for (int e = 0; e < 2; ++e) {
      if (!g_only.empty() && g_only != (e == 0 ? "store" : "sqlite")) continue;
      Figures figures;
      std::string error;
      if (!engines[e].workload(&figures, &error)) {
        std::fprintf(stderr, "store_bench: %s: %s\n", engines[e].name,
                     error.c_str());
        status = 1;
        break;
      }
      std::printf("run %d %-6s", run, engines[e].name);
      for (int p = 0; p < kPhases; ++p) {
        std::printf("  %s %.0f ms cpu / %.0f ms", kPhaseNames[p],
                    figures.spent[p].cpu * 1000, figures.spent[p].wall * 1000);
      }
      std::printf("\n");
      std::fflush(stdout);
      results[e].push_back(figures);
    }
  }
  if (status == 0 && g_only.empty()) PrintComparison(results[0], results[1]);
  if (own_dir) std::filesystem::remove_all(g_dir);
  return status;
}
