// TInterestWiz ("Interest Wizard"): finance charges on overdue balances.
// The user sets the aging choice, the percentage and minimum or a flat fee,
// scans the customers ("Scan File"), completes the invoice data and
// generates one interest invoice per customer listed ("Generate
// Invoices"); the wizard then closes and RunInterestWizard asks whether to
// print the Interest Charges Report.
//
// Enabling: a change of the percentage, the minimum, an aging choice, the
// flat-fee box or the flat rate enables "Scan File"; a scan disables it
// until the next change (a refused scan leaves it enabled). The flat-fee
// box enables the flat rate and disables the percentage and minimum.
//
// The scan, the generation and the report are receivables/interest_run.h
// and interest_report.h; the window only shows them.
#ifndef TALLYBOOK_RECEIVABLES_UI_INTEREST_WIZ_H_
#define TALLYBOOK_RECEIVABLES_UI_INTEREST_WIZ_H_

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <optional>
#include <string>

#include "company/app.h"
#include "receivables/interest_run.h"

namespace tallybook::receivables::ui {

inline constexpr char kInterestWizName[] = "TInterestWiz";
// The edit masks of the percentage, minimum and date boxes.
inline constexpr char kPercentMask[] = "9.999; ";
inline constexpr char kMinimumMask[] = "9.99; ";
inline constexpr char kInterestDateMask[] = "99/99/9999; ";

class TInterestWiz : public QDialog {
  Q_OBJECT

 public:
  explicit TInterestWiz(company::App& app, QWidget* parent = nullptr);

  // The opening (captions, kept settings, defaults, empty grid).
  void FormShow();
  // FormShow and the modal run through the platform ("TInterestWiz").
  int Execute();

  // Handlers.
  void Button1Click();  // Scan File
  void GenInvClick();   // Generate Invoices
  void FlatCBClick();
  void SettingChanged();
  void FlatRateExit();
  void CalendarBtnClick();
  void HelpBtnClick();

  // What the controls hold.
  InterestSettings Settings() const;
  // The run the wizard generated, with the grid it wrote; empty until then.
  const std::optional<InterestRunResult>& run() const { return run_; }
  const InterestScan& scan() const { return scan_; }
  // The settings the run was made with (the scan's rate, the invoice data).
  const InterestSettings& run_settings() const { return scanned_with_; }

  QGroupBox* AgingGroup;
  QRadioButton* days30;
  QRadioButton* days60;
  QRadioButton* days90;
  QLineEdit* IPct;
  QLineEdit* MinChg;
  QCheckBox* FlatCB;
  QLineEdit* FlatRate;
  QCheckBox* IPrin;
  QLineEdit* IDate;
  QPushButton* CalendarBtn;
  QLabel* LastDate;
  QLineEdit* InvComm;
  QComboBox* ITerms;
  QLineEdit* StmntNote;
  QTableWidget* CustGrid;
  QLabel* Prompt;
  QPushButton* Button1;
  QPushButton* GenInv;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;

 private:
  void BuildControls();
  void FillGrid();
  void FocusField(InterestField field);
  void ApplyFlatState();

  company::App& app_;
  InterestScan scan_;
  InterestSettings scanned_with_;
  std::optional<InterestRunResult> run_;
};

// The main window's "&Interest Wizard..." command: the wizard, then, after
// a run, the question about the report and its printing (the main status
// panel tells where it went).
void RunInterestWizard(company::App& app, QWidget* parent);

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_INTEREST_WIZ_H_
