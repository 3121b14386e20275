#include "receivables/report_output.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "billing/csv_file.h"
#include "company/text.h"
#include "receivables/report_cells.h"

namespace tallybook::receivables {

using company::PadRight;
using company::Trim;

std::string ReportFileName(const ReportDefinition& def) {
  return std::string(def.name) + ".TXT";
}

std::string ReportCaption(const Report& report) {
  return report.definition->caption;
}

std::string ReportTextLine(const ReportDefinition& def, const ReportRow& row) {
  const bool sales = def.kind == ReportKind::kSalesReport;
  std::string line;
  for (size_t c = 0; c < row.size(); ++c) {
    const std::string cell = Trim(row[c]);
    if (IsDecimalCell(cell)) {
      line += company::RightAlign(cell, 12);
    } else {
      line += PadRight(cell, sales && c == 0 ? 32 : 12);
    }
    line += ' ';
  }
  return line;
}

std::string ReportText(const ReportView& view) {
  const Report& report = view.report();
  std::string text = ReportCaption(report) + "\n" + report.heading1 + "\n" +
                     report.heading2 + "\n" + report.heading3 + "\n\n";
  text += ReportTextLine(*report.definition, report.Header()) + "\n";
  for (const ViewRow& row : view.rows()) {
    text += ReportTextLine(*report.definition, view.Cells(row));
    text += '\n';
  }
  return text;
}

std::string ReportCsv(const ReportView& view) {
  const ReportDefinition& def = *view.report().definition;
  std::string csv = billing::kUtf8ByteOrderMark;
  auto put = [&](const ReportRow& row) {
    for (size_t c = 0; c < row.size(); ++c) {
      if (c > 0) csv += ',';
      const std::string cell = Trim(row[c]);
      const bool number = def.IsAmount(static_cast<int>(c)) &&
                          IsDecimalCell(cell);
      csv += billing::CsvField(
          number ? company::RemoveCommas(cell)
                 : billing::GuardFormula(company::Cp1252ToUtf8(cell)));
    }
    csv += "\r\n";
  };
  put(view.report().Header());
  for (const ViewRow& row : view.rows()) put(view.Cells(row));
  return csv;
}

platform::Font DefaultReportFont() {
  platform::Font font;
  font.name = "Arial";
  font.size_points = 10;
  font.style = platform::kFontBold;
  return font;
}

namespace {

class ReportPages {
 public:
  ReportPages(platform::Canvas& canvas, const ReportView& view)
      : canvas_(canvas), view_(view), report_(view.report()),
        def_(*report_.definition) {}

  void Draw(const platform::Font& font) {
    canvas_.SetFont(font);
    line_ = canvas_.TextHeight("AbgXy") + 3;
    Measure();
    bottom_ = canvas_.PageHeight() - kReportPageMargin - 2 * line_;
    Headings();
    for (const ViewRow& row : view_.rows()) {
      if (y_ + line_ > bottom_) {
        canvas_.TextOut(x0_, y_ + line_,
                        kReportContinued +
                            std::to_string(canvas_.PageNumber() + 1) + " ...");
        canvas_.NewPage();
        Headings();
      }
      Row(row);
    }
    y_ += line_;
    canvas_.TextOut(x0_, y_,
                    kReportComplete + std::to_string(view_.DataRowCount()) +
                        " records printed.");
  }

 private:
  // Numbers are right-aligned: cells with a decimal point, and the columns
  // between the last sortable one and the last amount column.
  bool IsNumberColumn(int c) const {
    if (def_.IsAmount(c)) return true;
    int last_amount = -1;
    for (size_t k = 0; k < def_.columns.size(); ++k) {
      if (def_.IsAmount(static_cast<int>(k))) last_amount = static_cast<int>(k);
    }
    return c > def_.last_sortable && c <= last_amount;
  }

  void Measure() {
    const int n = static_cast<int>(def_.columns.size());
    const int gap = canvas_.TextWidth("Xx");
    const int number = canvas_.TextWidth(kWidestNumber);
    x0_ = kReportPageMargin;
    left_.assign(n, 0);
    width_.assign(n, 0);
    number_.assign(n, false);
    std::vector<int> widest(n, 0);
    for (int c = 0; c < n; ++c) {
      number_[c] = IsNumberColumn(c);
      widest[c] = canvas_.TextWidth(def_.columns[c].header);
    }
    for (const ViewRow& row : view_.rows()) {
      for (int c = 0; c < n; ++c) {
        if (number_[c]) continue;
        widest[c] = std::max(widest[c], canvas_.TextWidth(Trim(view_.Cell(row, c))));
      }
    }
    int x = x0_;
    for (int c = 0; c < n; ++c) {
      left_[c] = x;
      width_[c] = number_[c] ? number : widest[c];
      x += width_[c] + gap;
    }
    right_ = x - gap;
  }

  void Headings() {
    y_ = kReportPageMargin;
    const int page_right = canvas_.PageWidth() - kReportPageMargin;
    auto right = [&](const std::string& text) {
      canvas_.TextOut(page_right - canvas_.TextWidth(text), y_, text);
    };
    canvas_.TextOut(x0_, y_, report_.heading1);
    right(kPagePrefix + std::to_string(canvas_.PageNumber()));
    y_ += line_;
    canvas_.TextOut(x0_, y_, ReportCaption(report_));
    right(report_.heading2);
    y_ += line_;
    canvas_.TextOut(x0_, y_, report_.heading3);
    y_ += 2 * line_;
    for (size_t c = 0; c < def_.columns.size(); ++c) {
      Cell(static_cast<int>(c), def_.columns[c].header);
    }
    y_ += line_;
    canvas_.SetPen(3, platform::kBlack);
    canvas_.Line(x0_, y_, right_, y_);
    canvas_.SetPen(1, platform::kBlack);
    y_ += 5;
  }

  void Cell(int c, const std::string& text) {
    if (number_[c] || IsDecimalCell(text)) {
      canvas_.TextOut(left_[c] + width_[c] - canvas_.TextWidth(text), y_, text);
    } else {
      canvas_.TextOut(left_[c], y_, text);
    }
  }

  void Row(const ViewRow& row) {
    const int n = static_cast<int>(def_.columns.size());
    if (row.kind != RowKind::kData) {
      for (int c = 0; c < n; ++c) {
        if (def_.IsAmount(c) && !view_.Cell(row, c).empty()) {
          canvas_.Line(left_[c], y_, left_[c] + width_[c], y_);
        }
      }
    }
    for (int c = 0; c < n; ++c) {
      const std::string text = Trim(view_.Cell(row, c));
      if (!text.empty()) Cell(c, text);
    }
    y_ += line_;
  }

  platform::Canvas& canvas_;
  const ReportView& view_;
  const Report& report_;
  const ReportDefinition& def_;
  int line_ = 0;
  int x0_ = 0;
  int y_ = 0;
  int bottom_ = 0;
  int right_ = 0;
  std::vector<int> left_, width_;
  std::vector<bool> number_;
};

}  // namespace

void DrawReport(platform::Canvas& canvas, const ReportView& view,
                const platform::Font& font) {
  ReportPages(canvas, view).Draw(font);
}

platform::PrintJobStatus PrintReport(platform::Printer& printer,
                                     const ReportView& view,
                                     const platform::Font& font) {
  const platform::PageOrientation before = printer.orientation();
  printer.SetOrientation(platform::PageOrientation::kLandscape);
  std::unique_ptr<platform::Canvas> canvas =
      printer.BeginJob(ReportCaption(view.report()));
  printer.SetOrientation(before);
  if (!canvas) {
    platform::PrintJobStatus failed;
    failed.error = printer.LastError();
    return failed;
  }
  DrawReport(*canvas, view, font);
  return canvas->EndJob();
}

}  // namespace tallybook::receivables
