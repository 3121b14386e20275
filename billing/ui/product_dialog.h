// TUpdProd: the product dialog ("Add Product" / "Edit Product") over a
// ProductForm. OK copies the controls into the form and runs the manager's
// checks; a failed check keeps the dialog open with the focus in its field.
#ifndef TALLYBOOK_BILLING_UI_PRODUCT_DIALOG_H_
#define TALLYBOOK_BILLING_UI_PRODUCT_DIALOG_H_

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "billing/product_manager.h"
#include "company/app.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

inline constexpr char kUpdProdName[] = "TUpdProd";

class TUpdProd : public QDialog {
  Q_OBJECT

 public:
  TUpdProd(company::App& app, ProductForm& form, ProductCheck check,
           QWidget* parent = nullptr);

  // Shows the dialog modally through the platform; true after OK.
  bool Execute();

  QLineEdit* PNum;
  QLineEdit* PDesc;
  QLineEdit* PSell;
  QCheckBox* CheckBox1;
  QPlainTextEdit* PNote;
  QLabel* StatusPanel0;
  QLabel* StatusPanel1;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  void OKButtonClick();
  // Escape, Cancel and the close button ask before discarding changes.
  void reject() override;

 private:
  company::App& app_;
  ProductForm& form_;
  ProductCheck check_;
  platform::qt::FormChanges changes_{this};
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_PRODUCT_DIALOG_H_
