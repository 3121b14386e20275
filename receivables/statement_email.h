// The plain-text e-mail of a statement, line by line, and who it goes to.
//
// Body, one line per item ("separator" is 82 "-" when the company's "Lines
// On E-Mail Invoices" option is on, else one blank):
//   company name + statement heading right-aligned in 35; each company
//   address line that is not blank; separator;
//   the customer's name and address lines that are not blank; separator;
//   "Statement Date: " + today; "Account Number: " + customer number; the
//   statement note line; separator;
//   the grid as text (StatementTextRow), the dash line after the header
//   row, the totals row last; separator;
//   with "Sales Message": the four sales message lines joined into one;
//   with "Customer Aging": a blank line, "Account Status:" and the four
//   aging lines (caption right-aligned in 10, a blank, the amount).
// From the company's address to the customer's; subject: statement heading
// + " - " + customer name. A customer address shorter than 2 characters
// sends the message to the company's own address with the subject prefixed
// by "BAD CUSTOMER E-MAIL: ".
#ifndef TALLYBOOK_RECEIVABLES_STATEMENT_EMAIL_H_
#define TALLYBOOK_RECEIVABLES_STATEMENT_EMAIL_H_

#include <string>
#include <vector>

#include "company/records.h"
#include "receivables/statement.h"

namespace tallybook::receivables {

inline constexpr char kBadCustomerEmailPrefix[] = "BAD CUSTOMER E-MAIL: ";
inline constexpr char kStatementDashLine[] =
    "---------- --------- -------------------- ------------ ----------- "
    "----------- -";

struct StatementEmail {
  std::string from;
  std::string to;
  std::string subject;
  // True when the customer's address was too short and the message goes
  // to the company's own address instead.
  bool bad_address = false;
  std::vector<std::string> lines;  // Windows-1252, one per body line
};

// The statement heading of the company's options, trimmed.
std::string StatementHeading(const company::CompanyRecord& company);

// One grid row as a text line: date (10) + invoice number (9) + reference
// (20, not cut) + total (12) + paid (11) + balance (11) + type code, single
// blanks between; amounts right-aligned and never cut.
std::string StatementTextRow(const StatementRow& row);

// The e-mail of st; today is the statement date as shown.
StatementEmail ComposeStatementEmail(const company::CompanyRecord& company,
                                     const Statement& st,
                                     const std::string& today);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_STATEMENT_EMAIL_H_
