// Tinvlist ("Invoice Manager"): lists the current company's transaction
// file in one of six orders, narrows it to one customer, and starts the
// invoice operations on the current row.
//
// Menu "&Invoice": "&New", "&Edit", "&Delete", "&Find", "&View",
// "C&ustomer Data", "&Print", "&Batch Print", "&Repeat Billing Setup"
// (TRepeatForm on the current record), "&Close".
// Menu "&Display": the six views and "Print &Window". Menu "&Help":
// "&Overview". The toolbar and the right-click menu (which first selects the
// row under the pointer) reach the same commands; the Delete key anywhere in
// the window deletes, Enter and a double click open Customer Data, Escape
// closes.
//
// Every command on the current record re-reads it through the browser first
// and does nothing when there is none or it cannot be read.
//
// The transaction, line item and memo files are open while the window is
// shown (Execute). The view and the filter value live in App for the rest of
// the run; the filter itself is off on every showing.
#ifndef TALLYBOOK_BILLING_UI_INVOICE_MANAGER_H_
#define TALLYBOOK_BILLING_UI_INVOICE_MANAGER_H_

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "billing/invoice_bookkeeping.h"
#include "billing/invoice_manager_logic.h"
#include "billing/ui/invoice_editor.h"
#include "company/app.h"
#include "company/data_access.h"
#include "output/invoice_image.h"
#include "store/ui/fvc_browser.h"

namespace tallybook::billing::ui {

inline constexpr char kInvlistName[] = "Tinvlist";
// Execute()'s result when the company's files could not be opened: the
// program ends.
inline constexpr int kInvlistOpenFailed = 2;

class Tinvlist : public QDialog {
  Q_OBJECT

 public:
  explicit Tinvlist(company::App& app, QWidget* parent = nullptr);
  ~Tinvlist() override;

  // Opens the files, shows the window modally and closes the files:
  // platform::kModalCancel when closed, kInvlistOpenFailed when the files
  // could not be opened ("Unable to open databases: " was shown).
  int Execute();

  // Opens the three files and fills the window (Execute does this first).
  // False after kUnableToOpenDatabases.
  bool FormShow();
  // Closes the three files.
  void FormClose();

  // Shows the invoice editor for Add and Edit; tests play the user here.
  void set_invoice_editor(billing::RunInvoiceEditor run) {
    invoice_editor_ = std::move(run);
  }

  // The open files, for the operations the window starts.
  company::TransactionAccess& transactions() { return *transactions_; }
  company::LineAccess& lines() { return *lines_; }
  company::MemoAccess& memos() { return *memos_; }

  // Controls.
  store::ui::TFvcBrowser* InvBrowser1;
  QLabel* CName;
  QLabel* ARBal;
  QLabel* CFilter;
  std::array<QLabel*, 3> StatusBar1;  // panels 0 count, 1 messages, 2 timer
  QAction* Add1;
  QAction* Edit1;
  QAction* Delete1;
  QAction* Search1;
  QAction* PreViewSaveAs1;
  QAction* CustomerData1;
  QAction* Print1;
  QAction* BatchPrint1;
  QAction* RepeatBillingSetup1;
  QAction* Close1;
  QAction* PrintWindow1;
  QAction* CreatingInvoices1;
  std::array<QAction*, 6> ViewItems;  // in the order of kInvoiceViews
  QMenu* PopupMenu1;
  QAction* Add2;
  QAction* Edit2;
  QAction* Delete2;
  QAction* Search2;
  QAction* View2;
  QAction* CustomerData2;
  QAction* Print2;
  QAction* Close2;
  QToolButton* AddInvoice;
  QToolButton* EditInvoice;
  QToolButton* InvDelete;
  QToolButton* SpeedButton1;  // Find
  QToolButton* InvPrint;      // View
  QToolButton* CustDataButn;
  QToolButton* ToPrinterButn;
  QToolButton* BatchPrinButn;
  QToolButton* SpeedButton3;  // Close
  QToolButton* SpeedButton2;  // Filter On/Off
  QToolButton* SpeedButton4;  // Help

  // Handlers.
  void AddClick();
  void EditClick();
  void DeleteClick();
  void FindClick();
  void ViewClick();
  void CustomerDataClick();
  void PrintClick();
  void BatchPrintClick();
  void RepeatBillingSetupClick();
  void FilterButtonClick();
  void CFilterClick();
  void PrintWindowClick();
  void HelpClick();
  // Chooses the view of key key_no (1..6).
  void ChooseView(int key_no);

  // State for tests and the operations.
  bool print_mode() const { return print_mode_; }
  bool batch_mode() const { return batch_mode_; }
  // Panel 1 of the status bar.
  void ShowMessage(const std::string& text);
  // Refreshes CName, ARBal and panel 0 from App and the open file.
  void RefreshLabels();
  // Makes record rec_no current under the present view (when it cannot be
  // read, refreshes around the current row).
  void PositionOn(int32_t rec_no);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Opens the three files and binds the browser to the transaction file in
  // the current view and filter state; false (files closed) when one could
  // not be opened.
  bool OpenFiles();
  // Runs an operation that opens the company's files itself (the store
  // opens a file only once): the window's files are closed around it and
  // opened again after, the browser re-bound. When they cannot be opened
  // again, "Unable to open databases: " is shown and the window closes with
  // kInvlistOpenFailed; the result is then false.
  bool WithFilesReleased(const std::function<void()>& operation);
  // Shows what an Add, Edit or Delete did and re-positions the browser.
  void ApplyOutcome(const billing::InvoiceOutcome& outcome, int32_t ref_before,
                    const std::string& key_before, bool deleted);
  void ShowUnableToOpen(int error);
  // The window's open files, for invoice output.
  output::InvoiceFiles Files();
  void BuildCommands();
  void BuildToolbar(QWidget* host);
  void ApplyFilterDisplay(bool on);
  void SetWindowShade(bool shadow);
  // Re-reads the current row into record_; false when there is none.
  bool RereadCurrent();
  // Positions on the entry nearest after invoice number invoice_no.
  void PositionOnInvoiceNo(const std::string& invoice_no);
  void InvBrowser1BuildRow(store::RowRec& rr);
  void InvBrowser1PerformFilter(store::RowRec& rr, bool& use_it);
  void InvBrowser1KeyPress(char& key);

  company::App& app_;
  std::unique_ptr<company::TransactionAccess> transactions_;
  std::unique_ptr<company::LineAccess> lines_;
  std::unique_ptr<company::MemoAccess> memos_;
  company::TransactionRecord row_record_;  // the browse list's buffer
  company::TransactionRecord record_;      // the re-read current record
  // The invoice editor, made once and reused for every Add and Edit; it
  // chooses customers and products through their managers.
  TProdInv* editor_ = nullptr;
  billing::RunInvoiceEditor invoice_editor_;
  QActionGroup* view_group_ = nullptr;
  QMenuBar* menu_bar_ = nullptr;
  bool print_mode_ = false;
  bool batch_mode_ = false;
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_INVOICE_MANAGER_H_
