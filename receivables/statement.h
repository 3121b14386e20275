// A customer's statement: the customer's transactions as rows of a seven
// column grid with their totals, the account totals, and the customer's
// header (name, address, number, e-mail, memo, stored aging amounts).
//
// Grid columns:
//   0 "Date"              sortable date "YYYY/MM/DD"
//   1 "Invoice#"          invoice number
//   2 "Reference/Comment" statement note, or the label of the type code
//   3 "Total Amount"      ",0.00"
//   4 "Paid Amount"       ",0.00"
//   5 "Balance Due"       ",0.00"
//   6 "C"                 type code
//
// The transactions are read through the customer-number key of the
// transaction file. All activity lists every record (repeat masters
// included); unpaid only leaves out repeat masters and records with
// nothing due, and shows for a partly paid invoice (type Z) what has been
// paid on it so far (total minus balance due). The data rows are sorted by
// their cells in column order: by date, then invoice number, then the rest.
//
// The totals are sums of the cells shown, kept in whole cents so that a
// long statement adds up exactly.
#ifndef TALLYBOOK_RECEIVABLES_STATEMENT_H_
#define TALLYBOOK_RECEIVABLES_STATEMENT_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "company/app.h"
#include "company/data_access.h"

namespace tallybook::receivables {

// ---- Texts of statements.
inline constexpr char kStatementCaption[] = "Customer Statement";
inline constexpr char kStatementEmailCaption[] =
    "Customer Statement - (E-Mail Mode)";
inline constexpr char kNoActivityText[] =
    "There is no activity for this customer.";
inline constexpr char kNoActivityCaptionPrefix[] = "Customer: ";
inline constexpr char kAccountTotals[] = "*** Account Totals:";
inline constexpr char kShowUnpaidOnly[] = "&Show Unpaid Records Only";
inline constexpr char kViewStatementHelpTopic[] = "ViewStatement";
inline constexpr char kGetStatementHelpTopic[] = "GetStatement";

inline constexpr int kStatementColumns = 7;
using StatementRow = std::array<std::string, kStatementColumns>;

// Which transactions a statement lists; one choice shared by the statement
// window, the single statement and the batch run.
enum class StatementDetail { kAllActivity, kUnpaidOnly };

struct Statement {
  std::string customer_no;  // CNoLabel
  std::string name;         // Label1
  std::string address[4];   // Label2 .. Label5
  std::string email;
  std::string memo;         // the customer's notes
  // The stored aging amounts, ",0.00": periods 1-3 and beyond period 3.
  std::string aging[4];
  std::vector<StatementRow> rows;  // the data rows, sorted
  StatementRow totals;             // "*** Account Totals:" and the sums
  int64_t total_cents = 0;
  int64_t paid_cents = 0;
  int64_t balance_cents = 0;

  // False when the customer has no transaction listed.
  bool HasActivity() const { return !rows.empty(); }
};

// The header row of the grid.
StatementRow StatementHeader();
// The label column 2 shows for a type code when the statement note is
// blank ("Invoice", "Partial Payment Made", ...); empty for an unknown code.
std::string TypeLabel(std::string_view type_code);
// "There are N records selected." for the data rows of st.
std::string StatementStatusText(const Statement& st);
// "Customer: " + the customer's name, the caption of kNoActivityText.
std::string NoActivityCaption(const Statement& st);

// Files a caller holds open (the customer manager holds the customer
// file); the others are opened for the call and closed after it. Records
// are read into local buffers, so the caller's current records and
// positions in its own keys are left alone.
struct StatementFiles {
  company::CompanyFileAccess* customers = nullptr;  // the customer file
  company::TransactionAccess* transactions = nullptr;
};

enum class StatementRead { kOk, kNoCustomer, kFileFailed };

// Builds the statement of the customer numbered customer_no (as typed) in
// the given detail. kNoCustomer when no customer has that number,
// kFileFailed when a file cannot be opened or read (the data-access layer
// has told the user why, or the store's status says it).
StatementRead BuildStatement(company::App& app, const std::string& customer_no,
                             StatementDetail detail, Statement* st,
                             const StatementFiles& files = {});


}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_STATEMENT_H_
