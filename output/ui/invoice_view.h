// Trtedit: the View Invoice window, "View Invoice# " + number. Shows the
// print image read-only: the customer's addresses, the invoice's date,
// number, account, terms and reference, the lines (line-item invoice) or
// the memo text, the billing note and the totals. Double-clicking anywhere
// or pressing any key closes it.
#ifndef TALLYBOOK_OUTPUT_UI_INVOICE_VIEW_H_
#define TALLYBOOK_OUTPUT_UI_INVOICE_VIEW_H_

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "output/invoice_view_model.h"

namespace tallybook::output::ui {

class Trtedit : public QDialog {
  Q_OBJECT

 public:
  explicit Trtedit(const InvoiceViewModel& model, QWidget* parent = nullptr);

  // Controls.
  QLabel* NamePanel;      // name and billing lines
  QLabel* ShipPanel;      // shipping caption and lines
  QLabel* InfoPanel;      // date, number, account, terms, reference
  QLabel* TitleLabel;     // "Product Code Invoice" / "Memo Invoice"
  QTreeWidget* LineList;  // line-item invoice
  QPlainTextEdit* MemoText;  // other kinds
  QLabel* NoteLabel;
  QLabel* TotalsPanel;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_INVOICE_VIEW_H_
