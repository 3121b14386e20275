// TRptSelect ("Report Wizard"): the list of the seven reports, the date
// presets and the from and to dates. View checks the dates, builds the
// chosen report and shows it in the report viewer (Trtreport).
//
// The reports themselves are receivables/report.h, the presets and checks
// receivables/report_dates.h; the window only shows them.
#ifndef TALLYBOOK_RECEIVABLES_UI_RPT_SELECT_H_
#define TALLYBOOK_RECEIVABLES_UI_RPT_SELECT_H_

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "company/app.h"
#include "receivables/report.h"

namespace tallybook::receivables::ui {

inline constexpr char kRptSelectName[] = "TRptSelect";
inline constexpr char kDateSelectionLabel[] = "Date Selection:";
inline constexpr char kDateSelectionDayFirst[] = "Date Selection (dd/mm/yyyy):";
inline constexpr char kFromLabel[] = "From:";

class TRptSelect : public QDialog {
  Q_OBJECT

 public:
  explicit TRptSelect(company::App& app, QWidget* parent = nullptr);

  // The date label, the preset "Month to Date" with its dates, the first
  // report chosen.
  void FormShow();
  // Shows the wizard modally through the platform ("TRptSelect").
  int Execute();

  void ComboBox1Change();
  void ListBox1Click();
  // View: the date checks, then the report in the viewer.
  void Button1Click();

  // The chosen report.
  const ReportDefinition& Chosen() const;

  QListWidget* ListBox1;
  QLabel* RType;
  QLabel* DateLabel;
  QComboBox* ComboBox1;
  QLabel* FromLabel;
  QLineEdit* IDate;
  QPushButton* IDateButton;
  QLabel* ToLabel;
  QLineEdit* EndDt;
  QPushButton* EndDtButton;
  QPushButton* Button1;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

 private:
  void PickInto(QLineEdit* field);

  company::App& app_;
};

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_RPT_SELECT_H_
