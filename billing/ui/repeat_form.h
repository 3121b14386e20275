// TRepeatForm: "Repeat Invoice Setup", opened by the invoice manager's
// "&Repeat Billing Setup" on its current record. It shows the form
// PrepareRepeatSetup filled (billing/repeat_setup.h) and on OK runs
// CheckRepeatSetup (the dialog stays open on a failure, the cursor in the
// field concerned) and SaveRepeatSetup. OK and the interval are enabled
// only while "Generate Invoices from this master record" is ticked.
#ifndef TALLYBOOK_BILLING_UI_REPEAT_FORM_H_
#define TALLYBOOK_BILLING_UI_REPEAT_FORM_H_

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "billing/repeat_setup.h"
#include "company/app.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

class TRepeatForm : public QDialog {
 public:
  TRepeatForm(company::App& app, RepeatSetupForm form,
              QWidget* parent = nullptr);

  // Runs the dialog modally (as "TRepeatForm"): QDialog::Accepted after
  // the setup was stored.
  int Execute();
  const RepeatSetupOutcome& outcome() const { return outcome_; }

  QLabel* Label1;  // invoice number
  QLabel* Label2;  // invoice date
  QLabel* Label3;  // short name and customer number
  QWidget* Panel1;
  QCheckBox* CheckBox1;
  QLineEdit* NumDays;
  QRadioButton* RBDays;
  QRadioButton* RBMonths;
  QLineEdit* EndDate;
  QPushButton* CalendarBtn;
  QLabel* Label8;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  void CheckBox1Click();
  void CalendarBtnClick();
  void OKButtonClick();
  void HelpButtonClick();
  void reject() override;

 private:
  company::App& app_;
  RepeatSetupForm form_;
  RepeatSetupOutcome outcome_;
  platform::qt::FormChanges changes_{this};
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_REPEAT_FORM_H_
