#include "billing/ui/q_view.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"

namespace tallybook::billing::ui {

using platform::qt::ToQString;

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

}  // namespace

TQView::TQView(company::App& app, const CustomerDataView& view, QWidget* parent)
    : QDialog(parent), app_(app) {
  setWindowTitle(kCustomerDataCaption);
  auto label = [this](const std::string& text) {
    auto* l = new QLabel(ToQString(text), this);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
  };
  Legend = label(JoinLines(view.legend));
  InvoiceLabel = label(view.invoice_line);
  DateLabel = label(view.date_line);
  RepeatMark = label(kRepeatMark);
  RepeatMark->setVisible(view.repeat);
  TotalLabel = label(view.total);
  PaidLabel = label(view.paid);
  DueLabel = label(view.balance_due);
  PrintedLabel = label(view.printed);
  CustName = label(view.customer_name);
  CustNo = label(view.customer_no);
  CustBalance = label(view.account_balance);
  CustPhone = label(view.phone);
  LastPayment = label(view.last_payment);
  LastInvoice = label(view.last_invoice);
  for (size_t i = 0; i < Aging.size(); ++i) Aging[i] = label(view.aging[i]);

  auto* invoice = new QGroupBox("Invoice", this);
  auto* invoice_form = new QFormLayout(invoice);
  invoice_form->addRow("Invoice#:", InvoiceLabel);
  invoice_form->addRow("Date:", DateLabel);
  invoice_form->addRow("", RepeatMark);
  invoice_form->addRow("Invoice Total:", TotalLabel);
  invoice_form->addRow("Paid Amount:", PaidLabel);
  invoice_form->addRow("Balance Due:", DueLabel);
  invoice_form->addRow("", PrintedLabel);

  auto* customer = new QGroupBox("Customer", this);
  auto* customer_form = new QFormLayout(customer);
  customer_form->addRow("Name:", CustName);
  customer_form->addRow("Customer#:", CustNo);
  customer_form->addRow("Balance:", CustBalance);
  customer_form->addRow("Phone:", CustPhone);
  customer_form->addRow("Last Payment:", LastPayment);
  customer_form->addRow("Last Invoice:", LastInvoice);
  for (size_t i = 0; i < Aging.size(); ++i) {
    customer_form->addRow(kAgingBucketLabels[i], Aging[i]);
  }

  OKButton = new QPushButton("OK", this);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* columns = new QHBoxLayout;
  columns->addWidget(invoice, 1);
  columns->addWidget(customer, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Legend);
  layout->addLayout(columns);
  layout->addLayout(buttons);
}

int TQView::Execute() {
  return app_.services().windows.RunModal(kQViewName, [this] { return exec(); });
}

}  // namespace tallybook::billing::ui
