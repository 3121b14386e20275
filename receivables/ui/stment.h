// TStment ("Customer Statement", "Customer Statement - (E-Mail Mode)" while
// the output goes to e-mail): one customer's statement in a grid of seven
// columns with the account totals last, the customer's name, address,
// number, e-mail address, memo and aging above it. The check box "Show
// Unpaid Records Only" rebuilds the grid in that detail; Print (E-Mail in
// e-mail mode) prints or sends the statement as shown.
//
// The statement itself is receivables/statement.h; printing and e-mail are
// receivables/statement_output.h. The window only shows them.
#ifndef TALLYBOOK_RECEIVABLES_UI_STMENT_H_
#define TALLYBOOK_RECEIVABLES_UI_STMENT_H_

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <string>

#include "company/app.h"
#include "receivables/statement.h"

namespace tallybook::receivables::ui {

inline constexpr char kStmentName[] = "TStment";

class TStment : public QDialog {
  Q_OBJECT

 public:
  // files: those the caller holds open (the customer manager's customer
  // file), used for every build of the statement.
  TStment(company::App& app, StatementDetail detail,
          const StatementFiles& files = {}, QWidget* parent = nullptr);

  // Builds the statement of customer_no in the window's detail and fills
  // the header and grid. The read's outcome; nothing is shown for a
  // failure.
  StatementRead Load(const std::string& customer_no);
  const Statement& statement() const { return statement_; }
  StatementDetail detail() const { return detail_; }

  // Caption, print button, check box, fonts and column widths.
  void FormShow();
  // Shows the window modally through the platform ("TStment").
  int Execute();

  void CheckBox1Click();
  void PrintButtonClick();

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* CNoLabel;
  QLabel* EMailLabel;
  QPlainTextEdit* MemoText;
  QLabel* AgingLabel[4];
  QTableWidget* StringGrid1;
  QCheckBox* CheckBox1;
  QPushButton* PrintButton;
  QPushButton* CloseButton;
  QPushButton* HelpButton;
  QLabel* StatusBar1;

 private:
  void Fill();
  void FitColumns();

  company::App& app_;
  StatementDetail detail_;
  StatementFiles files_;
  Statement statement_;
};

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_STMENT_H_
