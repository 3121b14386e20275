// TPayBox: the payment wizard. Records money received from one customer:
// the user picks the customer, moves the open items being settled from the
// source list to the destination list (whole, in part, or a new deposit on
// account), types the amount received and posts. Post is enabled exactly
// when the amount received equals the total of the destination list.
//
// The window only holds the lists; the item lines, the checks and the
// posting are receivables/payment_lines.h and payment_posting.h.
//
// TPPmtDialog: the small amount dialog of a partial payment or a deposit on
// account. TPayBox makes it once and shows it through the platform as
// "TPPmtDialog".
#ifndef TALLYBOOK_RECEIVABLES_UI_PAY_BOX_H_
#define TALLYBOOK_RECEIVABLES_UI_PAY_BOX_H_

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "company/app.h"
#include "platform/message.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::receivables::ui {

inline constexpr char kPayBoxCaptionPrefix[] = "Payment Wizard - ";
inline constexpr char kPaymentWizardHelpTopic[] = "PaymentWizard";
inline constexpr char kPostRuleText[] =
    "The Post Button will activate when the PAID amount equals the POSTED "
    "amount.";
inline constexpr char kNothingToMoveRight[] =
    "There are no records to move to the right (post) box.";
inline constexpr char kNothingToMoveLeft[] =
    "There are no records to move to the left box.";
inline constexpr char kNoBalanceDue[] =
    "This customer does not have a balance due. You can only record deposits "
    "on account or clear offsetting invoices and credits.";
inline constexpr char kNoBalanceDueCaption[] = "Please Note";
inline constexpr char kInvalidPaymentDate[] =
    "You have an invalid payment date. You can clear the date and then "
    "select the calendar button.";
inline constexpr char kPaymentDateCaption[] = "Payment Date";
inline constexpr char kPartialPaymentCaption[] = "Partial Payment";
inline constexpr char kDepositCaption[] = "Deposit on Account";
inline constexpr char kSourceListCaption[] = "Open Invoices / Deposits:";
inline constexpr char kDestinationListCaption[] =
    "Items you are posting as paid:";
// The date box's edit mask.
inline constexpr char kPaymentDateMask[] = "99/99/9999;_";

class TPPmtDialog : public QDialog {
  Q_OBJECT

 public:
  TPPmtDialog(platform::Messages& messages, QWidget* parent = nullptr);

  // Readies the dialog for one run: caption, information label, the amount
  // due of the line ("0" in deposit mode) and the mode. The amount starts
  // as "0.00" and has the focus.
  void Prepare(const std::string& caption, const std::string& info,
               const std::string& amount_due, bool deposit_mode);
  // The amount accepted by OK.
  double amount() const { return amount_; }

  QLabel* InfoLabel;
  QLineEdit* PPAmt;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // Accepts a valid amount; otherwise warns, focuses the amount and stays.
  void OKBtnClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  platform::Messages& messages_;
  std::string amount_due_;
  bool deposit_mode_ = false;
  double amount_ = 0;
};

class TPayBox : public QDialog {
  Q_OBJECT

 public:
  // choose_customer opens the customer manager for choosing (normally
  // billing::ui::ChooseCustomer); true when a customer was chosen into
  // App::CurrentCustomer.
  TPayBox(company::App& app, std::function<bool()> choose_customer,
          QWidget* parent = nullptr);

  // Opening (FormShow) and the modal run through the platform as
  // "TPayBox"; kModalOk after a posting.
  int Execute();
  void FormShow();

  // Controls.
  QToolButton* CustomerBtn;
  QLabel* PCustName;
  QLabel* PCustNum;
  QLabel* PCustBal;
  QLabel* PCustPhone;
  QLabel* Sname;
  QListWidget* SrcList;
  QListWidget* DstList;
  QPushButton* IncludeBtn;
  QPushButton* IncAllBtn;
  QPushButton* ExcludeBtn;
  QPushButton* ExAllBtn;
  QPushButton* PPmtBtn;
  QPushButton* AccountDep;
  QLineEdit* PmtDate;
  QPushButton* CalendarBtn;
  QLineEdit* PAmt;
  QLineEdit* PNotes;
  QLabel* IPostedAmt;
  QLabel* PostRule;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;
  TPPmtDialog* PPmtDialog;

  // Handlers.
  void CustomerBtnClick();
  void IncludeBtnClick();
  void IncAllBtnClick();
  void ExcludeBtnClick();
  void ExAllBtnClick();
  void SrcListClick();
  void PPmtBtnClick();
  void AccountDepClick();
  void PAmtChange();
  void CalendarBtnClick();
  void OKBtnClick();
  void HelpBtnClick();

  // The lines of a list, in list order (for tests and the posting).
  static std::vector<std::string> Lines(const QListWidget* list);

  // Escape, Cancel and the close button ask before lists or amounts the
  // user made are discarded.
  void reject() override;

 private:
  platform::Messages& messages() { return app_.services().messages; }
  void BuildControls();
  void ClearCustomer();
  void ResetEntry();
  // Moves the selected lines, or all of them, from one list to the other.
  void MoveSelected(QListWidget* from, QListWidget* to, const char* empty_text);
  void MoveAll(QListWidget* from, QListWidget* to, const char* empty_text);
  // Buttons, posted total and the Post rule after a change of the lists.
  void UpdateButtons();

  company::App& app_;
  std::function<bool()> choose_customer_;
  std::string customer_no_;
  std::string short_name_;
  std::string balance_;
  platform::qt::FormChanges changes_{this};
};

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_PAY_BOX_H_
