// TSelectRepeat: the "Repeat Billing Wizard" of the main window. It finds
// the repeat masters due through a date ("&Search", also run after a date
// is picked with the first calendar button), lists them, and "Create
// In&voices" creates one invoice from each (billing/repeat_run.h), then
// shows the closing message and closes.
#ifndef TALLYBOOK_BILLING_UI_SELECT_REPEAT_H_
#define TALLYBOOK_BILLING_UI_SELECT_REPEAT_H_

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "company/app.h"

namespace tallybook::billing::ui {

class TSelectRepeat : public QDialog {
 public:
  explicit TSelectRepeat(company::App& app, QWidget* parent = nullptr);

  // Fills the window (FormShow) and runs it modally as "TSelectRepeat".
  int Execute();

  QLineEdit* EndDate;
  QPushButton* CalendarBtn1;
  QLineEdit* NewInvDate;
  QPushButton* CalendarBtn2;
  QLineEdit* InvComm;
  QLabel* ColumnCaptions;
  QListWidget* ListBox1;
  QProgressBar* ProgressBar1;
  QLabel* StatusLabel;
  QPushButton* SearchBtn;
  QPushButton* CreateBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;

  void FormShow();
  void SearchBtnClick();
  void CalendarBtn1Click();
  void CalendarBtn2Click();
  void CreateBtnClick();
  void HelpBtnClick();

 private:
  company::App& app_;
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_SELECT_REPEAT_H_
