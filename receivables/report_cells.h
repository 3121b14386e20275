// The cells of report rows: how amounts, quantities and counts are shown,
// read back for totals, and recognised as numbers.
#ifndef TALLYBOOK_RECEIVABLES_REPORT_CELLS_H_
#define TALLYBOOK_RECEIVABLES_REPORT_CELLS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "company/records.h"
#include "receivables/report.h"

namespace tallybook::receivables {

// Thousandths, the unit of quantities and unit prices (",0.000").
using Thousandths = int64_t;

// A quantity or price text as thousandths: blanks and commas ignored, an
// empty or non-numeric text counts 0, a fourth decimal rounds half away
// from zero.
Thousandths ThousandthsOf(std::string_view text);
// Thousandths in the ",0.000" pattern: "1,234.500", "-0.250".
std::string FormatThousandths(Thousandths value);

// text right-aligned in width (blanks before it, never cut): counts and
// ages, so that their texts sort by value.
std::string CountCell(std::string_view text, int width);

// A Sales Report row from a line record: description (characters 11-42 of
// the line text), product code ("*None*" when blank), the line's sortable
// date, invoice number, short name, customer number, unit price (43-52)
// and quantity (1-10) with three decimals, line amount (54-63).
ReportRow SalesRow(const company::LineRecord& line);

// Whether a cell shows a number with a decimal point ("1,234.50",
// "-3.000"): such cells are aligned on the point and totalled.
bool IsDecimalCell(std::string_view cell);

// The amount of a cell of a summed column in its unit: cents for kMoney,
// thousandths for kQuantity and kPrice.
int64_t CellUnits(std::string_view cell, ColumnKind kind);
// Units of kind as a cell shows them.
std::string FormatUnits(int64_t units, ColumnKind kind);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_REPORT_CELLS_H_
