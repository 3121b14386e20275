#include "billing/ui/choosers.h"

#include "billing/customer_product_support.h"
#include "billing/ui/customer_manager_window.h"
#include "billing/ui/product_manager_window.h"
#include "platform/modal_windows.h"

namespace tallybook::billing::ui {

namespace {

// Holds a manager's selection mode and the main window's hint for the
// time a chooser is open.
class SelectionScope {
 public:
  SelectionScope(company::App& app, bool& mode) : app_(app), mode_(mode) {
    mode_ = true;
    app_.ShowStatus(kSelectHint);
  }
  ~SelectionScope() {
    mode_ = false;
    app_.ShowStatus(kIdleHint);
  }
  SelectionScope(const SelectionScope&) = delete;
  SelectionScope& operator=(const SelectionScope&) = delete;

 private:
  company::App& app_;
  bool& mode_;
};

}  // namespace

bool ChooseCustomer(company::App& app, QWidget* parent) {
  const CustomerRecord before = app.CurrentCustomer;
  int result = platform::kModalCancel;
  {
    SelectionScope scope(app, app.customer_selection_mode);
    TDemoForm form(app, parent);
    result = form.Execute();
  }
  if (result == platform::kModalOk) return true;
  app.CurrentCustomer = before;
  return false;
}

bool ChooseProduct(company::App& app, QWidget* parent) {
  app.product_chosen = false;
  {
    SelectionScope scope(app, app.product_selection_mode);
    TEditProd form(app, parent);
    if (form.Execute() != platform::kModalOk) app.product_chosen = false;
  }
  return app.product_chosen;
}

}  // namespace tallybook::billing::ui
