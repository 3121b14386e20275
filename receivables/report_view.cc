#include "receivables/report_view.h"

#include <algorithm>

#include "company/format.h"
#include "receivables/report_cells.h"

namespace tallybook::receivables {

const std::vector<std::string>& SortColChoices() {
  static const std::vector<std::string> choices = {"2", "3", "4"};
  return choices;
}

std::string CheckedSortColText(std::string_view text) {
  int32_t n = 0;
  if (company::ParseWholeNumber(text, &n) && n >= kFirstSortColChoice &&
      n <= kLastSortColChoice) {
    return std::to_string(n);
  }
  return kDefaultSortColText;
}

int SortColumnOfText(std::string_view text) {
  return company::WholeNumberOr(CheckedSortColText(text), 3) - 1;
}

namespace {

// The running sums of the summed columns.
class Sums {
 public:
  explicit Sums(const ReportDefinition& def) : def_(def) {
    for (size_t c = 0; c < def.columns.size(); ++c) {
      const ColumnKind k = def.columns[c].kind;
      if (k == ColumnKind::kMoney || k == ColumnKind::kQuantity) {
        summed_.push_back(static_cast<int>(c));
      }
    }
    units_.assign(summed_.size(), 0);
  }
  void Add(const ReportRow& row) {
    for (size_t i = 0; i < summed_.size(); ++i) {
      const int c = summed_[i];
      if (static_cast<size_t>(c) < row.size()) {
        units_[i] += CellUnits(row[c], def_.columns[c].kind);
      }
    }
  }
  ViewRow Row(RowKind kind, const char* label) const {
    ViewRow row;
    row.kind = kind;
    row.totals.assign(def_.columns.size(), std::string());
    row.totals[def_.LabelColumn()] = label;
    for (size_t i = 0; i < summed_.size(); ++i) {
      const int c = summed_[i];
      row.totals[c] = FormatUnits(units_[i], def_.columns[c].kind);
    }
    return row;
  }
  void Clear() { std::fill(units_.begin(), units_.end(), 0); }

 private:
  const ReportDefinition& def_;
  std::vector<int> summed_;
  std::vector<int64_t> units_;
};

// "YYYY/MM" of a sortable date cell.
std::string_view MonthOf(const std::string& cell) {
  return std::string_view(cell).substr(0, 7);
}

}  // namespace

bool ReportView::SortAndTotal(int column, bool subtotals) {
  const ReportDefinition& def = *report_->definition;
  if (!def.IsSortable(column)) return false;
  sort_column_ = column;
  subtotals_ = subtotals;
  std::vector<ReportRow>& data = report_->rows;
  std::sort(data.begin(), data.end(),
            [column](const ReportRow& a, const ReportRow& b) {
              if (int c = a[column].compare(b[column]); c != 0) return c < 0;
              for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
                if (static_cast<int>(i) == column) continue;
                if (int c = a[i].compare(b[i]); c != 0) return c < 0;
              }
              return a.size() < b.size();
            });

  rows_.clear();
  rows_.reserve(data.size() + 1);
  const bool by_month = def.IsDateColumn(column);
  Sums group(def), month(def), grand(def);
  for (size_t i = 0; i < data.size(); ++i) {
    const ReportRow& row = data[i];
    if (subtotals && i > 0) {
      const ReportRow& before = data[i - 1];
      if (row[column] != before[column]) {
        rows_.push_back(group.Row(RowKind::kSubTotal, kSubTotalLabel));
        group.Clear();
      }
      if (by_month && MonthOf(row[column]) != MonthOf(before[column])) {
        rows_.push_back(month.Row(RowKind::kMonthTotal, kMonthTotalLabel));
        month.Clear();
      }
    }
    rows_.push_back(ViewRow{RowKind::kData, static_cast<int>(i), {}});
    group.Add(row);
    month.Add(row);
    grand.Add(row);
  }
  if (subtotals && !data.empty()) {
    rows_.push_back(group.Row(RowKind::kSubTotal, kSubTotalLabel));
    if (by_month) {
      rows_.push_back(month.Row(RowKind::kMonthTotal, kMonthTotalLabel));
    }
  }
  rows_.push_back(grand.Row(RowKind::kGrandTotal, kGrandTotalLabel));
  return true;
}

const std::string& ReportView::Cell(const ViewRow& row, int column) const {
  static const std::string empty;
  const ReportRow& cells = Cells(row);
  if (column < 0 || static_cast<size_t>(column) >= cells.size()) return empty;
  return cells[column];
}

std::vector<ReportRow> ReportView::ShownRows() const {
  std::vector<ReportRow> shown;
  shown.reserve(rows_.size() + 1);
  shown.push_back(report_->Header());
  for (const ViewRow& row : rows_) {
    shown.push_back(Cells(row));
  }
  return shown;
}

}  // namespace tallybook::receivables
