// The customer and product choosers other windows use (the invoice editor,
// the payment wizard).
//
//   app.CurrentCustomer.CustomerName.Set(typed_name);   // where to open
//   if (ChooseCustomer(app, this)) use(app.CurrentCustomer);
//
// Each sets the manager's selection mode and the main window's hint
// "Double-click or press <enter> to select.", shows the manager through
// app.services().windows.RunModal ("TDemoForm" / "TEditProd", so tests
// script it), then clears the selection mode and puts back the hint
// "Right-click mouse or select from menu bar.".
#ifndef TALLYBOOK_BILLING_UI_CHOOSERS_H_
#define TALLYBOOK_BILLING_UI_CHOOSERS_H_

#include <QWidget>

#include "company/app.h"

namespace tallybook::billing::ui {

// Opens the customer manager in selection mode on App::CurrentCustomer's
// name/number; true when a row was chosen (App::CurrentCustomer holds it).
// When nothing was chosen App::CurrentCustomer is left as the caller set it.
bool ChooseCustomer(company::App& app, QWidget* parent);

// Opens the product manager in selection mode on App::ChosenProduct's
// code/description; true when a product was chosen (App::product_chosen,
// App::ChosenProduct holds it). When nothing was chosen the flag is false.
bool ChooseProduct(company::App& app, QWidget* parent);

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_CHOOSERS_H_
