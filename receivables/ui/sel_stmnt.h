// TSelStmnt ("Statement Selection"): the first dialog of a batch run. It
// chooses the customers by balance and age and the detail of each
// statement, and shows whether the run prints or e-mails. Opened per run,
// with "All non-zero balances" and "Only Unpaid Transactions" chosen.
#ifndef TALLYBOOK_RECEIVABLES_UI_SEL_STMNT_H_
#define TALLYBOOK_RECEIVABLES_UI_SEL_STMNT_H_

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "company/app.h"
#include "receivables/statement_output.h"

namespace tallybook::receivables::ui {

inline constexpr char kSelStmntName[] = "TSelStmnt";

class TSelStmnt : public QDialog {
  Q_OBJECT

 public:
  explicit TSelStmnt(company::App& app, QWidget* parent = nullptr);

  // The choices as they stand.
  StatementSelection Selection() const;

  // Shows the dialog modally through the platform ("TSelStmnt"); the
  // choices, or nullopt when cancelled.
  static std::optional<StatementSelection> Ask(company::App& app,
                                               QWidget* parent = nullptr);

  QRadioButton* AllBalances;
  QRadioButton* Over30;
  QRadioButton* Over60;
  QRadioButton* Over90;
  QRadioButton* AllActivity;
  QRadioButton* UnpaidOnly;
  QLabel* ModeLabel;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;
};

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_SEL_STMNT_H_
