// Customer and product lists as CSV files (UTF-8, a header row, RFC 4180
// quoting), for a user bringing their lists from another program and for
// taking them out again.
//
// Customer columns: number, name, address1..address4, ship1..ship4, phone1,
// phone2, email, terms, type, credit_limit, tax_exempt, short_name,
// mail_code, notes, credit_hold, notes_on_invoices, notes_on_statements.
// Product columns: code, description, price, taxable, notes. An import takes any subset in any order (header names compared
// without regard to case); number and name (code and description) are
// required. Export writes every column in that order.
//
// Every row passes the checks of the customer or product dialog (missing
// name, bad e-mail, duplicates - against the file and against the rows
// before it -, bad amounts), and besides: a text the records cannot hold
// (too long, characters outside Windows-1252, or control characters - only
// the notes may hold line breaks and tabs), a Y/N field holding anything
// else, an amount that is not plain decimal digits (an exponent such as
// "1e3", or more than two decimals; a unit price may have four), and a row
// with more or fewer fields than the header are refused.
//
// Export guards spreadsheet formulas (GuardFormula of csv_file.h: a cell
// beginning with '=', '+', '-', '@', a tab or a CR gets a leading
// apostrophe) and import takes the guard off again, so exporting what an
// import of an export wrote gives the same bytes. A refused row is reported with the line it starts on. Unless
// skip_bad is set, nothing of the file is written when any row is refused;
// with it the sound rows are written and the others listed. A store failure
// while writing takes back the rows already written by this import.
//
// Short names follow the dialog's rule when not given; terms default to the
// company's when the column is absent; a customer number that is a plain
// integer moves the company's next customer number past it.
#ifndef TALLYBOOK_BILLING_CSV_RECORDS_H_
#define TALLYBOOK_BILLING_CSV_RECORDS_H_

#include <string>
#include <string_view>
#include <vector>

#include "company/app.h"

namespace tallybook::billing {

inline constexpr char kCustomerCsvColumns[] =
    "number,name,address1,address2,address3,address4,ship1,ship2,ship3,ship4,"
    "phone1,phone2,email,terms,type,credit_limit,tax_exempt,short_name,"
    "mail_code,notes,credit_hold,notes_on_invoices,notes_on_statements";
inline constexpr char kProductCsvColumns[] =
    "code,description,price,taxable,notes";

struct CsvImportResult {
  // The file as a whole could not be taken (unreadable CSV, missing or
  // unknown column, no rows, a file that cannot be opened): why.
  std::string error;
  // Rows refused, each "line N: reason".
  std::vector<std::string> bad_rows;
  // Rows written.
  int written = 0;
  // True when bad rows kept the whole file out (skip_bad not set).
  bool refused = false;

  bool ok() const { return error.empty() && !refused; }
};

// Imports into the current company of app (its store started). Messages
// of the data-access layer go through app's platform.
CsvImportResult ImportCustomersCsv(company::App& app, std::string_view csv,
                                   bool skip_bad);
CsvImportResult ImportProductsCsv(company::App& app, std::string_view csv,
                                  bool skip_bad);

// The current company's customers (by number) or products (by code) as CSV
// text. False, with *error, when the file cannot be opened or read.
bool ExportCustomersCsv(company::App& app, std::string* csv,
                        std::string* error);
bool ExportProductsCsv(company::App& app, std::string* csv, std::string* error);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_CSV_RECORDS_H_
