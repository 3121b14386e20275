#include "billing/ui/choosers.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <QApplication>
#include <QTest>

#include "billing/customer_product_test_support.h"
#include "billing/ui/customer_manager_window.h"
#include "billing/ui/product_manager_window.h"
#include "company/ui/find_box.h"
#include "company/ui/ui_test_support.h"

namespace tallybook::billing::ui {
namespace {

using platform::kModalCancel;

// The manager a chooser has open (it has no parent, so it is top level).
template <class W>
W* OpenWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<W*>(widget)) return window;
  }
  ADD_FAILURE() << "no window open";
  return nullptr;
}

class ChooserTest : public testing::CompanyFixture {
 protected:
  void SetUp() override {
    CompanyFixture::SetUp();
    app_->status_sink = [this](const std::string& text) {
      statuses_.push_back(text);
    };
    CustomerManager customers(*app_);
    ASSERT_TRUE(customers.Open());
    for (const auto& [number, name] :
         {std::pair{"1", "Alpha"}, {"2", "Beta"}, {"3", "Gamma"}}) {
      CustomerForm form;
      form.number = number;
      form.name = name;
      customers.customers().SetRecord(NewCustomerRecord(form));
      int32_t rec_no = 0;
      ASSERT_TRUE(customers.customers().AddWithKeys(rec_no));
    }
    ProductManager products(*app_);
    ASSERT_TRUE(products.Open());
    for (const auto& [code, description] :
         {std::pair{"A", "Anvil"}, {"B", "Bolt"}, {"C", "Chain"}}) {
      ProductForm form;
      form.code = code;
      form.description = description;
      products.products().SetRecord(NewProductRecord(form, "04/03/2024"));
      int32_t rec_no = 0;
      ASSERT_TRUE(products.products().AddWithKeys(rec_no));
    }
  }
  // Shows the window so that its rows are laid out, as exec would.
  template <class W>
  W* Shown() {
    W* window = OpenWindow<W>();
    if (window != nullptr) {
      window->show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    return window;
  }

  std::vector<std::string> statuses_;
};

TEST_F(ChooserTest, EnterChoosesTheCustomerTheManagerOpenedOn) {
  app_->CurrentCustomer.CustomerName.Set("beta");
  bool mode_while_open = false;
  ui_->windows.ExpectWindow(kDemoFormName, [&] {
    TDemoForm* form = Shown<TDemoForm>();
    mode_while_open = app_->customer_selection_mode;
    EXPECT_EQ(form->windowTitle().toStdString(), "Customer Manager");
    EXPECT_EQ(form->StatusPanel0->text().toStdString(), "Customers: 3");
    QTest::keyClick(form->Browser, Qt::Key_Return);
    return form->result();
  });
  EXPECT_TRUE(ChooseCustomer(*app_, nullptr));
  EXPECT_TRUE(mode_while_open);
  EXPECT_FALSE(app_->customer_selection_mode);
  EXPECT_EQ(app_->CurrentCustomer.CustomerName.Get(), "Beta");
  EXPECT_EQ(app_->CurrentCustomer.CustomerNo.Get(), "2");
  EXPECT_EQ(statuses_, (std::vector<std::string>{
                           "Double-click or press <enter> to select.",
                           "Right-click mouse or select from menu bar."}));
}

TEST_F(ChooserTest, DoubleClickChoosesTheRowUnderThePointer) {
  ui_->windows.ExpectWindow(kDemoFormName, [&] {
    TDemoForm* form = Shown<TDemoForm>();
    // By name the third row is Gamma.
    const QPoint row3 = form->Browser->RowRect(3).center();
    QTest::mouseClick(form->Browser->viewport(), Qt::LeftButton, {}, row3);
    QTest::mouseDClick(form->Browser->viewport(), Qt::LeftButton, {}, row3);
    return form->result();
  });
  EXPECT_TRUE(ChooseCustomer(*app_, nullptr));
  EXPECT_EQ(app_->CurrentCustomer.CustomerName.Get(), "Gamma");
}

TEST_F(ChooserTest, CloseChoosesNoCustomerAndKeepsTheCallersRecord) {
  app_->CurrentCustomer.CustomerName.Set("Typed");
  ui_->windows.ExpectWindow(kDemoFormName, [&] {
    TDemoForm* form = Shown<TDemoForm>();
    form->Close1->trigger();
    return form->result();
  });
  EXPECT_FALSE(ChooseCustomer(*app_, nullptr));
  EXPECT_EQ(app_->CurrentCustomer.CustomerName.Get(), "Typed");
  EXPECT_FALSE(app_->customer_selection_mode);
}

TEST_F(ChooserTest, AFailedPositioningSearchIsNamedAndTheListStartsAtTheTop) {
  app_->CurrentCustomer.CustomerName.Set("Gamma");
  app_->customer_selection_mode = true;
  TDemoForm form(*app_);
  ASSERT_TRUE(form.manager().Open());
  // The first page the search reads fails; the list is filled afterwards.
  bool failed_once = false;
  app_->engine().SetFaultHook([&](store::OsOperation op, const std::string&) {
    if (op != store::OsOperation::kRead || failed_once) return 0;
    failed_once = true;
    return EIO;
  });
  ui_->messages.ExpectMessage(kCustomerSearchFailed)
      .WithCaption("Customer Manager")
      .WithKind(platform::MessageKind::kError);
  EXPECT_TRUE(form.FormShow());
  app_->engine().SetFaultHook({});
  EXPECT_TRUE(failed_once);
  EXPECT_EQ(form.Browser->CurrentRef(), 1);
  app_->customer_selection_mode = false;
}

TEST_F(ChooserTest, AStoreErrorWhileBrowsingIsAnErrorMessageOfTheProgram) {
  TDemoForm form(*app_);
  ASSERT_TRUE(form.FormShow());
  ui_->messages.ExpectMessage("Class 4 error.  Isam Error 10164")
      .WithCaption("Vk Tallybook Pro")
      .WithKind(platform::MessageKind::kError);
  form.Browser->SetKeyNumber(7);  // the customer file has two keys
  EXPECT_EQ(form.Browser->CurrentKeyNumber(), kCustomerNameKey);
}

TEST_F(ChooserTest, ProductChooserOpensOnTheLinesCodeAndEnterChoosesIt) {
  app_->ChosenProduct.ProductCode.Set("b");
  ui_->windows.ExpectWindow(kEditProdName, [&] {
    TEditProd* form = Shown<TEditProd>();
    EXPECT_TRUE(app_->product_selection_mode);
    EXPECT_EQ(form->StatusPanel0->text().toStdString(), "Products: 3");
    QTest::keyClick(form->Browser, Qt::Key_Return);
    return form->result();
  });
  EXPECT_TRUE(ChooseProduct(*app_, nullptr));
  EXPECT_TRUE(app_->product_chosen);
  EXPECT_EQ(app_->ChosenProduct.ProductDescription.Get(), "Bolt");
  EXPECT_FALSE(app_->product_selection_mode);
}

TEST_F(ChooserTest, ClosingTheProductManagerLeavesNothingChosen) {
  app_->product_chosen = true;
  ui_->windows.ExpectWindow(kEditProdName, [&] {
    TEditProd* form = Shown<TEditProd>();
    form->SpeedButton2->click();
    return form->result();
  });
  EXPECT_FALSE(ChooseProduct(*app_, nullptr));
  EXPECT_FALSE(app_->product_chosen);
}

TEST_F(ChooserTest, RightClickSelectsTheRowBeforeItsMenuActs) {
  ui_->windows.ExpectWindow(kEditProdName, [&] {
    TEditProd* form = Shown<TEditProd>();
    const QPoint row3 = form->Browser->RowRect(3).center();
    QTest::mousePress(form->Browser->viewport(), Qt::RightButton, {}, row3);
    QTest::mouseRelease(form->Browser->viewport(), Qt::RightButton, {}, row3);
    QContextMenuEvent event(QContextMenuEvent::Mouse, row3,
                            form->Browser->viewport()->mapToGlobal(row3));
    QApplication::sendEvent(form->Browser->viewport(), &event);
    EXPECT_TRUE(form->PopupMenu->isVisible());
    form->PopupMenu->hide();
    ui_->messages.ExpectMessage("Are you sure you want to delete this product?",
                                platform::Answer::kNo)
        .WithCaption("Delete Product Code: C");
    form->Delete2->trigger();
    return kModalCancel;
  });
  EXPECT_FALSE(ChooseProduct(*app_, nullptr));
}

TEST_F(ChooserTest, ViewChosenInTheManagerIsKeptForTheNextOpening) {
  ui_->windows.ExpectWindow(kDemoFormName, [&] {
    TDemoForm* form = Shown<TDemoForm>();
    form->ByNumber1->trigger();
    return kModalCancel;
  });
  ChooseCustomer(*app_, nullptr);
  EXPECT_EQ(app_->customer_view_key, kCustomerNoKey);
  ui_->windows.ExpectWindow(kDemoFormName, [&] {
    TDemoForm* form = Shown<TDemoForm>();
    EXPECT_TRUE(form->ByNumber1->isChecked());
    EXPECT_FALSE(form->View2->isEnabled());
    EXPECT_FALSE(form->StmtPrin->isEnabled());
    return kModalCancel;
  });
  ChooseCustomer(*app_, nullptr);
}

TEST_F(ChooserTest, FindListsTheProductsContainingTheTextAndPositionsOnOne) {
  std::vector<std::string> rows_found;
  ui_->windows.ExpectWindow(kEditProdName, [&] {
    TEditProd* form = Shown<TEditProd>();
    ui_->windows.ExpectWindow(company::ui::kFindBoxName, [&] {
      auto* find = form->findChild<company::ui::TFindBox*>();
      find->show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(find));
      EXPECT_EQ(find->windowTitle().toStdString(), "Find Product");
      // Anvil and Bolt hold an "l", Chain does not.
      find->FindEdit->setText("L");
      find->FindEditChange();
      store::BrowseList* list = find->FindBrowser->browse_list();
      for (int row = 1; row <= list->FilledRows(); ++row) {
        rows_found.push_back(list->RowAt(row).Row[0].substr(0, 10));
      }
      QTest::keyClick(find->FindBrowser, Qt::Key_Down);
      find->OKButtonClick();
      return find->result();
    });
    form->Search1->trigger();
    QTest::keyClick(form->Browser, Qt::Key_Return);
    return form->result();
  });
  EXPECT_TRUE(ChooseProduct(*app_, nullptr));
  EXPECT_EQ(rows_found, (std::vector<std::string>{"A         ", "B         "}));
  EXPECT_EQ(app_->ChosenProduct.ProductDescription.Get(), "Bolt");
}

}  // namespace
}  // namespace tallybook::billing::ui
