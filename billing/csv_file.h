// Comma-separated values as RFC 4180 has them: records end with CR LF (a
// bare LF is taken too), fields are separated by commas, a field holding a
// comma, a quote or a line break is quoted and its quotes doubled.
//
// Used by the customer and product import and export of tallybook-admin.
// The text handled here is UTF-8; conversion to and from the records'
// Windows-1252 happens in the importers.
#ifndef TALLYBOOK_BILLING_CSV_FILE_H_
#define TALLYBOOK_BILLING_CSV_FILE_H_

#include <string>
#include <string_view>
#include <vector>

namespace tallybook::billing {

struct CsvRecord {
  int line = 0;  // the line the record starts on, from 1
  std::vector<std::string> fields;
};

// Splits text into records. A UTF-8 byte order mark at the start is
// skipped; an empty last line is not a record. False, with *error naming
// the line, for a quote inside an unquoted field, text after a closing
// quote, or a quoted field that never ends; records then holds those read
// before.
bool ParseCsv(std::string_view text, std::vector<CsvRecord>* records,
              std::string* error);

// One field as written: quoted when it holds a comma, a quote, CR or LF, or
// starts or ends with a blank.
std::string CsvField(std::string_view value);
// The fields, each guarded against spreadsheet formulas (GuardFormula),
// joined by commas and ended with CR LF.
std::string CsvLine(const std::vector<std::string>& fields);

// A spreadsheet takes a cell that begins with '=', '+', '-', '@', a tab or
// a CR as a formula. Such a value is written with a leading apostrophe -
// and so is one that already begins with apostrophes followed by one of
// those, so that UnguardFormula gives back exactly what was guarded.
std::string GuardFormula(std::string_view value);
// Takes back GuardFormula: one leading apostrophe goes when apostrophes
// and then a formula character begin the value; anything else is kept.
std::string UnguardFormula(std::string_view value);

// The UTF-8 byte order mark spreadsheet programs look for.
inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_CSV_FILE_H_
