// TBatchStWin ("Batch Print Statements"): the batch size dialog of a batch
// run. Shows how many statements the selection holds and takes how many to
// output before each pause (EMBNum, four digits, preset to the count).
// "&Print" ("&E-Mail" in e-mail mode) has the focus; a blank number is
// refused with kBatchNumberMissing and the dialog stays open.
#ifndef TALLYBOOK_RECEIVABLES_UI_BATCH_ST_WIN_H_
#define TALLYBOOK_RECEIVABLES_UI_BATCH_ST_WIN_H_

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "company/app.h"
#include "receivables/statement_output.h"

namespace tallybook::receivables::ui {

inline constexpr char kBatchStWinName[] = "TBatchStWin";
inline constexpr char kBatchSizeLabel[] = "Print in &batches of:";
inline constexpr char kBatchPauseNote[] =
    "The run pauses after each batch until you continue.";

class TBatchStWin : public QDialog {
  Q_OBJECT

 public:
  TBatchStWin(company::App& app, const BatchSizeText& text,
              QWidget* parent = nullptr);

  // The number entered; nullopt while the field is blank.
  std::optional<int> Number() const;

  // Shows the dialog modally through the platform ("TBatchStWin"); the
  // number entered, or nullopt when cancelled.
  static std::optional<int> Ask(company::App& app, const BatchSizeText& text,
                                QWidget* parent = nullptr);

  void PrintBtnClick();

  QLabel* CountLabel;
  QLabel* InfoLabel;
  QLineEdit* EMBNum;
  QPushButton* PrintBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;

 private:
  company::App& app_;
};

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_BATCH_ST_WIN_H_
