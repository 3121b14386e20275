// A company on disk for the aging, purge and rebuild tests: a temporary
// data directory with the company list holding company "1", "LastCo.Dat",
// empty customer, transaction, line, memo and product files, and an App
// over the scripted platform with the clock at 2024-06-15. Records are
// added through the data-access layer, as the program's windows add them.
#ifndef TALLYBOOK_COMPANY_AGING_TEST_SUPPORT_H_
#define TALLYBOOK_COMPANY_AGING_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "company/app.h"
#include "company/company_defaults.h"
#include "company/company_files.h"
#include "company/data_access.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/op_journal.h"
#include "company/startup.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company::testing {

// Answers every message (Yes to questions), keeping the texts.
class AnyMessages : public platform::Messages {
 public:
  platform::Answer Show(const platform::Message& m) override {
    texts.push_back(m.text);
    return m.buttons == platform::Buttons::kYesNo ? platform::Answer::kYes
                                                   : platform::Answer::kOk;
  }
  std::vector<std::string> texts;
};

class CompanyOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path().string();
    ui_ = std::make_unique<platform::testing::ScriptedPlatform>();
    ASSERT_TRUE(ui_->clock.Set(2024, 6, 15));
    app_ = std::make_unique<App>(dir_, ui_->services());
    app_->status_sink = [this](const std::string& text) {
      statuses_.push_back(text);
    };
    ASSERT_TRUE(app_->engine().StoreStartup(0, kPageBuffers));

    CompanyRecord company = FirstCompanyRecord("1", "Acme Supply");
    company.AgingDays1.Set("20");
    company.AgingDays2.Set("45");
    company.AgingDays3.Set("70");
    company.AgingCaption1.Set("Current:");
    company.AgingCaption2.Set("21-45:");
    company.AgingCaption3.Set("46-70:");
    company.ReceivablesBalance.Set("100.00");
    company.LastAgingDate.Set("06/14/2024");
    company.ShowAgingChart = 1;
    store::Engine& engine = app_->engine();
    ASSERT_TRUE(CreateCompanyListFile(engine, dir_));
    for (auto create : {&CreateCustomerFile, &CreateTransactionFile,
                        &CreateLineFile, &CreateMemoFile, &CreateProductFile}) {
      ASSERT_TRUE(create(engine, dir_, "1"));
    }
    {
      CompanyListAccess list(*app_);
      ASSERT_TRUE(list.OpenCompanyFile());
      list.SetRecord(company);
      int32_t rec_no = 0;
      ASSERT_TRUE(list.AddWithKeys(rec_no));
      ASSERT_TRUE(list.Close());
    }
    ASSERT_TRUE(WriteLastCompany(app_->PathOf(kLastCompanyFileName), company));
    app_->CurrentCompany = company;
    app_->SetShortDateFromCompany();
    app_->RefreshTodayText();
  }

  void TearDown() override {
    app_.reset();
    ui_.reset();
  }

  // The date `days` before the clock's today.
  static Date DaysAgo(int days) { return Date{2024, 6, 15}.AddDays(-days); }

  // Adds a customer; returns its record number.
  int32_t AddCustomer(const std::string& no, const std::string& name,
                      const std::string& balance = "0.00",
                      const std::string& short_name = "SHORT") {
    CustomerAccess customers(*app_);
    EXPECT_TRUE(customers.OpenCompanyFile());
    customers.ClearRecord();
    CustomerRecord& c = customers.rec();
    c.CustomerNo.Set(no);
    c.CustomerName.Set(name);
    c.Balance.Set(balance);
    c.ShortName.Set(short_name);
    for (auto* field : {&c.AgingCurrent, &c.Aging2, &c.Aging3, &c.Aging4}) {
      field->Set("0.00");
    }
    c.CreditLimit.Set("0.00");
    int32_t rec_no = 0;
    EXPECT_TRUE(customers.AddWithKeys(rec_no));
    customers.Close();
    return rec_no;
  }

  // Adds a transaction; returns its record number. date_text overrides the
  // display date made from date when not empty.
  int32_t AddTransaction(const std::string& invoice_no,
                         const std::string& customer_no, const Date& date,
                         const std::string& amount_due,
                         const std::string& paid_status = " ",
                         const std::string& kind = "P",
                         const std::string& type = "I",
                         const std::string& date_text = "") {
    TransactionAccess transactions(*app_);
    EXPECT_TRUE(transactions.OpenCompanyFile());
    transactions.ClearRecord();
    TransactionRecord& r = transactions.rec();
    r.InvoiceNo.Set(invoice_no);
    r.TypeCode.Set(type);
    r.KeyCode.Set("None");
    r.CustomerNo.Set(customer_no);
    r.CompanyNo.Set("1");
    r.DateText.Set(date_text.empty() ? app_->FormatDate(date) : date_text);
    r.SortDate.Set(SortableDate(date));
    r.InvoiceKind.Set(kind);
    r.GrandTotal.Set(amount_due);
    r.PaidAmount.Set("0.00");
    r.AmountDue.Set(amount_due);
    r.PaidStatus.Set(paid_status);
    r.PaidSortDate.Set(paid_status == "P" ? SortableDate(date) : " ");
    int32_t rec_no = 0;
    EXPECT_TRUE(transactions.AddWithKeys(rec_no));
    transactions.Close();
    return rec_no;
  }

  // Reads record rec_no of a file of company "1".
  template <class Access>
  typename Access::RecordType Read(int32_t rec_no) {
    Access access(*app_);
    EXPECT_TRUE(access.OpenCompanyFile());
    EXPECT_TRUE(access.GetRecord(rec_no));
    typename Access::RecordType record = access.rec();
    access.Close();
    return record;
  }

  // The stored record of company "1" in the company list.
  CompanyRecord StoredCompany() {
    CompanyListAccess list(*app_);
    EXPECT_TRUE(list.OpenCompanyFile());
    int32_t rec_no = 0;
    EXPECT_TRUE(list.FindByKey(1, KeyText("1", kCompanyNoKeyLength), rec_no));
    EXPECT_TRUE(list.GetRecord(rec_no));
    CompanyRecord record = list.rec();
    list.Close();
    return record;
  }

  // Replaces the stored record of company "1" and the current company by
  // record.
  void StoreCompany(const CompanyRecord& record) {
    CompanyListAccess list(*app_);
    ASSERT_TRUE(list.OpenCompanyFile());
    int32_t rec_no = 0;
    ASSERT_TRUE(list.FindByKey(1, KeyText("1", kCompanyNoKeyLength), rec_no));
    ASSERT_TRUE(list.GetRecord(rec_no));
    const CompanyRecord before = list.rec();
    list.SetRecord(record);
    ASSERT_TRUE(list.ModifyWithKeys(rec_no, before));
    list.Close();
    app_->CurrentCompany = record;
  }

  std::string FileBytes(const std::string& name) const {
    std::ifstream in(app_->PathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // ---- Failure injection: a run tried once for each of its writes with
  // that write failing, every try starting from the same files.
  // Copies the data files to dir_/saved (the store shut down first, so
  // that they are whole), and back over the data files.
  void SaveFilesAside() {
    namespace fs = std::filesystem;
    if (app_ && app_->engine().IsStarted()) app_->engine().StoreShutdown();
    const fs::path saved = fs::path(dir_) / "saved";
    fs::create_directory(saved);
    for (const fs::directory_entry& e : fs::directory_iterator(dir_)) {
      if (e.is_regular_file()) {
        fs::copy_file(e.path(), saved / e.path().filename(),
                      fs::copy_options::overwrite_existing);
      }
    }
  }
  void RestoreSavedFiles() {
    namespace fs = std::filesystem;
    for (const fs::directory_entry& e :
         fs::directory_iterator(fs::path(dir_) / "saved")) {
      fs::copy_file(e.path(), fs::path(dir_) / e.path().filename(),
                    fs::copy_options::overwrite_existing);
    }
  }
  // A fresh App on the data files, as after a restart: the store started
  // and the current company read from the company list.
  void Restart(const platform::Services& services) {
    if (app_ && app_->engine().IsStarted()) app_->engine().StoreShutdown();
    app_ = std::make_unique<App>(dir_, services);
    ASSERT_TRUE(app_->engine().StoreStartup(0, kPageBuffers));
    ASSERT_TRUE(ReadCompanyFromList(*app_, "1", &app_->CurrentCompany));
    app_->SetShortDateFromCompany();
    app_->RefreshTodayText();
  }
  // The scripted platform's services with other messages.
  platform::Services ServicesWith(platform::Messages& messages) {
    platform::testing::ScriptedPlatform& ui = *ui_;
    return platform::Services{messages,   ui.progress, ui.gauge,
                              ui.windows, ui.dialogs,  ui.printer,
                              ui.help,    ui.desktop,  ui.clock};
  }
  // Fails write number fail_at (from 0) of the store to the files whose
  // path holds `only` (any file when empty), never counting the operation
  // journal's writes; *writes counts the writes seen. Clear the hook with
  // app_->engine().SetFaultHook({}).
  void FailWrite(int fail_at, int* writes, const std::string& only = "") {
    app_->engine().SetFaultHook(
        [fail_at, writes, only](store::OsOperation op,
                                const std::string& path) {
          if (op != store::OsOperation::kWrite) return 0;
          if (path.find(kJournalFileName) != std::string::npos) return 0;
          if (!only.empty() && path.find(only) == std::string::npos) return 0;
          return (*writes)++ == fail_at ? EIO : 0;
        });
  }

  platform::testing::TempDir temp_{"aging"};
  std::string dir_;
  std::unique_ptr<platform::testing::ScriptedPlatform> ui_;
  std::unique_ptr<App> app_;
  std::vector<std::string> statuses_;
};

}  // namespace tallybook::company::testing

#endif  // TALLYBOOK_COMPANY_AGING_TEST_SUPPORT_H_
