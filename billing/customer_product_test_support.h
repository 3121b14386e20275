// For the tests of the customer and product managers: a data directory
// holding company "1" with empty product, customer and transaction files,
// an App over it with the scripted platform (clock: 3 April 2024, 2:05 PM),
// and scripted dialogs that type given values and press OK once.
#ifndef TALLYBOOK_BILLING_CUSTOMER_PRODUCT_TEST_SUPPORT_H_
#define TALLYBOOK_BILLING_CUSTOMER_PRODUCT_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "billing/customer_manager.h"
#include "billing/product_manager.h"
#include "company/app.h"
#include "company/company_defaults.h"
#include "company/company_files.h"
#include "company/data_access.h"
#include "company/startup.h"
#include "company/text.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::billing::testing {

// A data directory holding company "1" ("Acme Supply") with empty product,
// customer and transaction files, and an App over it with its store
// started (the platform is the caller's).
inline void MakeCompany(company::App& app) {
  CompanyRecord record = company::FirstCompanyRecord("1", "Acme Supply");
  store::Engine& engine = app.engine();
  ASSERT_TRUE(engine.StoreStartup(0, company::kPageBuffers));
  ASSERT_TRUE(company::CreateCompanyListFile(engine, app.data_dir()));
  for (auto create : {&company::CreateCustomerFile,
                      &company::CreateTransactionFile,
                      &company::CreateProductFile}) {
    ASSERT_TRUE(create(engine, app.data_dir(), "1"));
  }
  company::CompanyListAccess list(app);
  ASSERT_TRUE(list.OpenCompanyFile());
  list.SetRecord(record);
  int32_t rec_no = 0;
  ASSERT_TRUE(list.AddWithKeys(rec_no));
  ASSERT_TRUE(list.Close());
  app.CurrentCompany = record;
  app.SetShortDateFromCompany();
  app.RefreshTodayText();
}

class CompanyFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path().string();
    ui_ = std::make_unique<platform::testing::ScriptedPlatform>();
    ASSERT_TRUE(ui_->clock.Set(2024, 4, 3, 14, 5, 0));
    app_ = std::make_unique<company::App>(dir_, ui_->services());
    MakeCompany(*app_);
  }
  void TearDown() override {
    ui_->Verify();
    app_.reset();
  }

  // Adds a transaction of customer_no to the company's transaction file.
  void AddTransaction(const std::string& invoice_no,
                      const std::string& customer_no) {
    company::TransactionAccess transactions(*app_);
    ASSERT_TRUE(transactions.OpenCompanyFile());
    TransactionRecord record;
    record.InvoiceNo.Set(invoice_no);
    record.TypeCode.Set("I");
    record.CustomerNo.Set(customer_no);
    record.CompanyNo.Set("1");
    transactions.SetRecord(record);
    int32_t rec_no = 0;
    ASSERT_TRUE(transactions.AddWithKeys(rec_no));
    ASSERT_TRUE(transactions.Close());
  }
  // The customer numbers of every transaction, in invoice number order.
  std::vector<std::string> TransactionCustomers() {
    std::vector<std::string> numbers;
    company::TransactionAccess transactions(*app_);
    EXPECT_TRUE(transactions.OpenCompanyFile());
    store::Engine& engine = app_->engine();
    engine.ResetKeyPosition(transactions.handle(), 1);
    int32_t ref = 0;
    std::string key;
    TransactionRecord record;
    while (engine.NextKey(transactions.handle(), 1, ref, key)) {
      engine.GetRecord(transactions.handle(), ref, &record);
      numbers.push_back(record.CustomerNo.Get());
    }
    transactions.Close();
    return numbers;
  }

  platform::testing::ScriptedMessages& messages() { return ui_->messages; }

  platform::testing::TempDir temp_{"billing"};
  std::string dir_;
  std::unique_ptr<platform::testing::ScriptedPlatform> ui_;
  std::unique_ptr<company::App> app_;
};

// A company with the manager of one file (CustomerManager, ProductManager)
// open on it.
template <class Manager>
class ManagerFixture : public CompanyFixture {
 protected:
  void SetUp() override {
    CompanyFixture::SetUp();
    manager_ = std::make_unique<Manager>(*app_);
    ASSERT_TRUE(manager_->Open());
  }
  void TearDown() override {
    manager_.reset();
    CompanyFixture::TearDown();
  }

  std::unique_ptr<Manager> manager_;
};

// text followed by blanks up to width, never cut: a column of a list.
inline std::string P(const std::string& text, int width) {
  return company::PadRight(text, width);
}

// A dialog that applies `edit` to the form and presses OK once: true when
// the checks passed, false (as Cancel after the failure) otherwise.
template <class Form, class Field>
struct ScriptedFormDialog {
  std::function<void(Form&)> edit;
  Form opened;  // as the dialog was given
  Form seen;    // after the edit and the checks
  Field field{};
  int runs = 0;
  auto Runner() {
    return [this](Form& form,
                  const std::function<Field(Form&)>& check) {
      ++runs;
      opened = form;
      if (edit) edit(form);
      field = check(form);
      seen = form;
      return field == Field::kNone;
    };
  }
};

using ProductDialog = ScriptedFormDialog<ProductForm, ProductField>;
using CustomerDialog = ScriptedFormDialog<CustomerForm, CustomerField>;

}  // namespace tallybook::billing::testing

#endif  // TALLYBOOK_BILLING_CUSTOMER_PRODUCT_TEST_SUPPORT_H_
