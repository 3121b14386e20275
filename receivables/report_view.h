// The viewer's sort and totals over a report's rows.
//
// A pass runs on one column, which must be one of the report's sortable
// columns. The data rows are sorted by the text of that column, ties
// ordered by the remaining cells from left to right. Walking the sorted
// rows, the summed columns (amounts and quantities) are added up; with
// sub-totals on, a "** Totals" row follows each run of rows with the same
// text in the sort column, and on a date column a "Month Total" row
// follows each run of the same year and month. A "Grand Total" row with
// the sums of all rows ends the view. A total row's label sits in the
// report's label column, its sums in the summed columns, and every other
// cell is empty.
#ifndef TALLYBOOK_RECEIVABLES_REPORT_VIEW_H_
#define TALLYBOOK_RECEIVABLES_REPORT_VIEW_H_

#include <string>
#include <string_view>
#include <vector>

#include "receivables/report.h"

namespace tallybook::receivables {

inline constexpr char kSubTotalLabel[] = "** Totals";
inline constexpr char kMonthTotalLabel[] = "Month Total";
inline constexpr char kGrandTotalLabel[] = "Grand Total";

// The "Sort on Column:" choices, counted from 1.
inline constexpr int kFirstSortColChoice = 2;
inline constexpr int kLastSortColChoice = 4;
inline constexpr char kDefaultSortColText[] = "3";
const std::vector<std::string>& SortColChoices();
// The text "Sort on Column:" keeps: text when it is a whole number from 2
// to 4, else "3".
std::string CheckedSortColText(std::string_view text);
// The column (from 0) a checked SortCol text names.
int SortColumnOfText(std::string_view text);

enum class RowKind { kData, kSubTotal, kMonthTotal, kGrandTotal };

struct ViewRow {
  RowKind kind = RowKind::kData;
  int data = -1;       // kData: the index into Report::rows
  ReportRow totals;    // total rows: their cells
};

class ReportView {
 public:
  explicit ReportView(Report* report) : report_(report) {}

  // Sorts the report's data rows on column and rebuilds the rows shown.
  // False, nothing changed, when the column is not sortable.
  bool SortAndTotal(int column, bool subtotals);

  const Report& report() const { return *report_; }
  const std::vector<ViewRow>& rows() const { return rows_; }
  int sort_column() const { return sort_column_; }
  bool subtotals() const { return subtotals_; }
  // The cells of a row shown.
  const ReportRow& Cells(const ViewRow& row) const {
    return row.kind == RowKind::kData ? report_->rows[row.data] : row.totals;
  }
  // The cell shown at row, column (the empty text outside the row).
  const std::string& Cell(const ViewRow& row, int column) const;
  // The rows shown, header first, as cells.
  std::vector<ReportRow> ShownRows() const;
  // Data rows shown (total rows left out).
  size_t DataRowCount() const { return report_->rows.size(); }

 private:
  Report* report_;
  std::vector<ViewRow> rows_;
  int sort_column_ = 0;
  bool subtotals_ = true;
};

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_REPORT_VIEW_H_
