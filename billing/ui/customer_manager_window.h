// TDemoForm ("Customer Manager", "Customer Manager - (E-Mail Mode)" while
// the output goes to e-mail): lists the company's customers by name or by
// number and adds, edits, deletes, finds and lists them over
// CustomerManager; queues labels and prints envelopes. It is also the
// customer chooser of the invoice editor and the payment wizard:
// double-click or Enter on a row copies the customer into App's
// current-customer record and closes the window.
//
// The statement commands (View / Print, Statement, Batch Print) run the
// App's view_statement and batch_statements, which the receivables windows
// install; without them the commands are disabled. The view (App's
// customer_view_key) is kept for the rest of the run.
#ifndef TALLYBOOK_BILLING_UI_CUSTOMER_MANAGER_WINDOW_H_
#define TALLYBOOK_BILLING_UI_CUSTOMER_MANAGER_WINDOW_H_

#include "billing/customer_manager.h"
#include "billing/ui/customer_product_window.h"

namespace tallybook::billing::ui {

inline constexpr char kDemoFormName[] = "TDemoForm";

class TDemoForm : public TManagerWindow {
  Q_OBJECT

 public:
  explicit TDemoForm(company::App& app, QWidget* parent = nullptr);
  ~TDemoForm() override;

  // Opens the file, shows the window modally through the platform, closes
  // the file. platform::kModalOk after a choice, kModalCancel, or
  // kManagerOpenFailed (product_manager_window.h).
  int Execute();
  bool FormShow();

  // The customer dialog the commands open; tests replace it.
  void set_customer_dialog(CustomerDialogRunner runner) {
    customer_dialog_ = std::move(runner);
  }
  CustomerManager& manager() { return manager_; }

  QLabel* Label1;
  QAction* Add1;
  QAction* Edit1;
  QAction* Delete1;
  QAction* Search1;
  QAction* CustomerList1;
  QAction* AddtoLabelQueue2;
  QAction* PrintEnvelope1;
  QAction* Close1;
  QAction* View2;
  QAction* BatchPrint1;
  QAction* ByName1;
  QAction* ByNumber1;
  QAction* PrintWindow1;
  QAction* AddingRecords1;
  QAction* A1;
  QAction* EditCustomer1;
  QAction* D1;
  QAction* Search2;
  QAction* CustomerList2;
  QAction* AddtoLabelQueue1;
  QAction* PrintEnvelope2;
  QAction* Statement1;
  QAction* Close2;
  QToolButton* NewCustButn;
  QToolButton* EditCustButn;
  QToolButton* DeleteCustButn;
  QToolButton* FinCustButn;
  QToolButton* CustBookButn;
  QToolButton* PrintEnvButn;
  QToolButton* StmtPrin;
  QToolButton* BatchPrinButn;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;

  void AddClick();
  void EditClick();
  void DeleteClick();
  void FindClick();
  void CustomerListClick();
  void AddToLabelQueueClick();
  void PrintEnvelopeClick();
  void StatementClick();
  void BatchPrintClick();
  void ByNameClick();
  void ByNumberClick();
  void ChooseRow() override;

 protected:
  void DeleteRow() override { DeleteClick(); }

 private:
  void PositionOn(int32_t rec_no);
  void SwitchKey(int key_no);
  void UpdateCount();

  CustomerManager manager_;
  CustomerRecord row_record_;  // the browse list's record buffer
  CustomerDialogRunner customer_dialog_;
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_CUSTOMER_MANAGER_WINDOW_H_
