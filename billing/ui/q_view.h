// TQView ("Customer Data"): what one transaction is and where its customer
// stands - the type legend, the invoice's number, kind, date, amounts and
// printed mark, and the customer's name, number, balance, phone, last
// payment, last invoice and four aging amounts. Read only; OK, Enter or
// Escape close it.
#ifndef TALLYBOOK_BILLING_UI_Q_VIEW_H_
#define TALLYBOOK_BILLING_UI_Q_VIEW_H_

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "billing/invoice_manager_logic.h"
#include "company/app.h"

namespace tallybook::billing::ui {

inline constexpr char kQViewName[] = "TQView";

class TQView : public QDialog {
  Q_OBJECT

 public:
  TQView(company::App& app, const CustomerDataView& view,
         QWidget* parent = nullptr);

  // Shows the window modally through the platform.
  int Execute();

  QLabel* Legend;
  QLabel* InvoiceLabel;
  QLabel* DateLabel;
  QLabel* RepeatMark;
  QLabel* TotalLabel;
  QLabel* PaidLabel;
  QLabel* DueLabel;
  QLabel* PrintedLabel;
  QLabel* CustName;
  QLabel* CustNo;
  QLabel* CustBalance;
  QLabel* CustPhone;
  QLabel* LastPayment;
  QLabel* LastInvoice;
  std::array<QLabel*, 4> Aging;
  QPushButton* OKButton;

 private:
  company::App& app_;
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_Q_VIEW_H_
