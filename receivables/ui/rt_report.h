// Trtreport: the report viewer, a maximised window with the report's
// headings above a grid. The grid is a table view over ReportModel, which
// reads the cells of the report view as they are painted, so a report of
// a hundred thousand rows opens and re-sorts at once.
//
// "Sort on Column:" (2 to 4) and a double-click on a sortable column re-run
// the sort and totals; "&Sub-Totals" turns the group and month totals on
// and off (sorting on the first column again). Numbers are aligned on
// their decimal point; total rows have a rule above their amounts. Print,
// Fonts/Colors, Printer Setup, Save to File (text) and Save as CSV put the
// report out as shown.
#ifndef TALLYBOOK_RECEIVABLES_UI_RT_REPORT_H_
#define TALLYBOOK_RECEIVABLES_UI_RT_REPORT_H_

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "company/app.h"
#include "platform/font.h"
#include "receivables/report.h"
#include "receivables/report_view.h"

namespace tallybook::receivables::ui {

inline constexpr char kRtReportName[] = "Trtreport";
inline constexpr char kCsvFileFilter[] = "CSV File|*.csv";

// The rows shown by a ReportView as a table model; Qt::UserRole gives
// whether a row is a total row.
class ReportModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ReportModel(const ReportView* view, QObject* parent = nullptr)
      : QAbstractTableModel(parent), view_(view) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;
  // Tells the views that every row changed (after a sort).
  void Reset();

 private:
  const ReportView* view_;
};

class Trtreport : public QDialog {
  Q_OBJECT

 public:
  Trtreport(company::App& app, Report report, QWidget* parent = nullptr);

  // Caption, headings, font, row height and the first sort-and-totals pass.
  void FormShow();
  // Shows the viewer modally through the platform ("Trtreport").
  int Execute();

  void stotalsClick();
  void SortColChange();
  // A double-click on a cell of column `column`.
  void RptGridDblClick(int column);
  void PrintClick();
  void FontsClick();
  void PrinterSetupClick();
  void SaveClick();
  void SaveCsvClick();

  const ReportView& view() const { return view_; }
  ReportModel* model() { return model_; }

  QLabel* Heading1;
  QLabel* Heading2;
  QLabel* Heading3;
  QComboBox* SortCol;
  QCheckBox* stotals;
  QTableView* RptGrid;
  QPushButton* PrintButton;
  QPushButton* FontButton;
  QPushButton* SetupButton;
  QPushButton* SaveButton;
  QPushButton* CsvButton;
  QPushButton* CloseButton;
  QPushButton* HelpButton;
  QLabel* StatusBar1;

 private:
  // The sort-and-totals pass on column; a beep when it is not sortable.
  void Resort(int column);
  void ApplyFont();
  // Writes bytes to the file the save dialog gives; the status tells where.
  void SaveAs(const std::string& caption, const std::string& file_name,
              const std::string& filter, const std::string& suffix,
              const std::string& bytes);

  company::App& app_;
  Report report_;
  ReportView view_;
  ReportModel* model_;
  platform::Font font_;
};

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_RT_REPORT_H_
