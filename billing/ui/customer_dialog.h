// TEditDlg: the customer dialog ("Add Customer" / "Edit Customer") over a
// CustomerForm. OK copies the controls into the form and runs the manager's
// checks; a failed check keeps the dialog open with the focus in its field.
// Leaving the name fills an empty short name; the address buttons copy or
// clear the shipping lines, and while "&Auto-Copy to Shipping" is ticked
// each billing line is copied as it is typed.
#ifndef TALLYBOOK_BILLING_UI_CUSTOMER_DIALOG_H_
#define TALLYBOOK_BILLING_UI_CUSTOMER_DIALOG_H_

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>

#include "billing/customer_manager.h"
#include "company/app.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

inline constexpr char kEditDlgName[] = "TEditDlg";

class TEditDlg : public QDialog {
  Q_OBJECT

 public:
  TEditDlg(company::App& app, CustomerForm& form, CustomerCheck check,
           QWidget* parent = nullptr);

  // Shows the dialog modally through the platform; true after OK.
  bool Execute();

  QLineEdit* CNo;
  QLineEdit* CName;
  QComboBox* CTerms;
  QLineEdit* CustType;
  QLineEdit* CTE;
  QLineEdit* CLimit;
  std::array<QLineEdit*, 4> CAddEdit;  // CAdd1Edit..CAdd4Edit
  std::array<QLineEdit*, 4> CShip;     // CShip1..CShip4
  QLineEdit* CPhone1;
  QLineEdit* CPhone2;
  QLineEdit* ShortName;
  QLineEdit* MListCode;
  QLineEdit* EMadd;
  QPlainTextEdit* CstNote;
  QCheckBox* CRHold;
  QCheckBox* NotesOnInv;
  QCheckBox* NotesOnStmnt;
  QLabel* CBal;
  QCheckBox* CheckBox1;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  void OKButtonClick();
  void CNameExit();
  void Button1Click();
  void Button2Click();

  // Escape, Cancel and the close button ask before discarding changes.
  void reject() override;

 private:
  void ReadControls();

  company::App& app_;
  CustomerForm& form_;
  CustomerCheck check_;
  platform::qt::FormChanges changes_{this};
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_CUSTOMER_DIALOG_H_
