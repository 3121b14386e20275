// TEditProd ("Product Manager"): lists the company's products by code or by
// description and adds, edits, deletes, finds and lists them over
// ProductManager. It is also the product chooser of the invoice editor:
// double-click or Enter on a row copies the product into App's
// chosen-product record, sets the chosen flag and closes the window.
//
// Menu "&Product" (Add1, Edit1, Delete1, Search1, ProductList1, Close2),
// menu "&Display" (Code1, ByDescription1, PrintWindow1), menu "&Help"
// (New1); tool buttons NewProd, EditInvoice, InvDelete, SpeedButton1,
// ProdListButn, SpeedButton2, SpeedButton3; right-click menu Add2, Edit2,
// Delete2, Search2. The Delete key deletes. The view (App's
// product_view_key) is kept for the rest of the run.
#ifndef TALLYBOOK_BILLING_UI_PRODUCT_MANAGER_WINDOW_H_
#define TALLYBOOK_BILLING_UI_PRODUCT_MANAGER_WINDOW_H_

#include "billing/product_manager.h"
#include "billing/ui/customer_product_window.h"

namespace tallybook::billing::ui {

inline constexpr char kEditProdName[] = "TEditProd";
// Execute()'s result when the product file could not be opened.
inline constexpr int kManagerOpenFailed = 2;

class TEditProd : public TManagerWindow {
  Q_OBJECT

 public:
  explicit TEditProd(company::App& app, QWidget* parent = nullptr);
  ~TEditProd() override;

  // Opens the file, shows the window modally through the platform, closes
  // the file. platform::kModalOk after a choice, kModalCancel, or
  // kManagerOpenFailed.
  int Execute();
  // Opens the file and fills the window (Execute does this first).
  bool FormShow();

  // The product dialog the commands open; tests replace it.
  void set_product_dialog(ProductDialogRunner runner) {
    product_dialog_ = std::move(runner);
  }
  ProductManager& manager() { return manager_; }

  QLabel* Label1;
  QAction* Add1;
  QAction* Edit1;
  QAction* Delete1;
  QAction* Search1;
  QAction* ProductList1;
  QAction* Close2;
  QAction* Code1;
  QAction* ByDescription1;
  QAction* PrintWindow1;
  QAction* New1;
  QAction* Add2;
  QAction* Edit2;
  QAction* Delete2;
  QAction* Search2;
  QToolButton* NewProd;
  QToolButton* EditInvoice;
  QToolButton* InvDelete;
  QToolButton* SpeedButton1;
  QToolButton* ProdListButn;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;

  void AddClick();
  void EditClick();
  void DeleteClick();
  void FindClick();
  void ProductListClick();
  void ByCodeClick();
  void ByDescriptionClick();
  void ChooseRow() override;

 protected:
  void DeleteRow() override { DeleteClick(); }

 private:
  void PositionOn(int32_t rec_no);
  void SwitchKey(int key_no);
  void UpdateCount();

  ProductManager manager_;
  ProductRecord row_record_;  // the browse list's record buffer
  ProductDialogRunner product_dialog_;
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_PRODUCT_MANAGER_WINDOW_H_
