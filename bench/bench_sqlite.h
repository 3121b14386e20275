// SQLite helpers shared by the benchmark programs that set the store
// beside an SQLite database: running a statement, a prepared statement
// finalized on every way out, binding and reading text.
#ifndef TALLYBOOK_BENCH_BENCH_SQLITE_H_
#define TALLYBOOK_BENCH_BENCH_SQLITE_H_

#include <sqlite3.h>

#include <iostream>
#include <string_view>

namespace tallybook::bench {

// Runs sql; false after telling why on standard error.
inline bool Exec(sqlite3* db, const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::cerr << "bench: " << sql << ": " << (message ? message : "?") << "\n";
    sqlite3_free(message);
    return false;
  }
  return true;
}

// Finalizes on every way out.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
      std::cerr << "bench: " << sql << ": " << sqlite3_errmsg(db) << "\n";
      stmt_ = nullptr;
    }
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* get() const { return stmt_; }
  explicit operator bool() const { return stmt_ != nullptr; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

inline void BindText(sqlite3_stmt* stmt, int i, std::string_view text) {
  sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()),
                    SQLITE_TRANSIENT);
}

inline std::string_view ColumnText(sqlite3_stmt* stmt, int i) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
  return p ? std::string_view(p, static_cast<size_t>(
                                     sqlite3_column_bytes(stmt, i)))
           : std::string_view();
}

}  // namespace tallybook::bench

#endif  // TALLYBOOK_BENCH_BENCH_SQLITE_H_
