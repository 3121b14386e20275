#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/admin_commands.h"
#include "app/admin_console_platform.h"
#include "company/company_files.h"
#include "company/data_access.h"
#include "company/format.h"
#include "company/installation.h"
#include "company/startup.h"
#include "platform/clock.h"

namespace tallybook::admin {
namespace {

namespace fs = std::filesystem;
using company::Date;

class AdminAgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "admin_age.XXXXXX").string();
    ASSERT_NE(::mkdtemp(templ.data()), nullptr);
    dir_ = templ;
    company::CreateInstallation(dir_);
    platform::DateTime now = platform::SystemClock().Now();
    today_ = Date{now.year, now.month, now.day};
  }
  void TearDown() override { fs::remove_all(dir_); }

  // One customer owing amount, dated age days back, through the data-access
  // layer; the company's receivables say so.
  void AddOpenInvoice(int age, const std::string& amount) {
    // The new-file notices of the set-up are not the command's output.
    std::ostringstream notices;
    ConsolePlatform platform(notices);
    platform::Services services = platform.services();
    store::Engine engine;
    ASSERT_TRUE(engine.StoreStartup(0, company::kPageBuffers));
    {
      company::CustomerAccess customers(engine, services.messages,
                                        services.progress, dir_, "1");
      ASSERT_TRUE(customers.OpenCompanyFile());
      customers.ClearRecord();
      customers.rec().CustomerNo.Set("7");
      customers.rec().CustomerName.Set("Seven Seas");
      customers.rec().Balance.Set(amount);
      customers.rec().ShortName.Set("SEVEN");
      int32_t rec_no = 0;
      ASSERT_TRUE(customers.AddWithKeys(rec_no));
      company::TransactionAccess trans(engine, services.messages,
                                       services.progress, dir_, "1");
      ASSERT_TRUE(trans.OpenCompanyFile());
      trans.ClearRecord();
      const Date date = today_.AddDays(-age);
      trans.rec().InvoiceNo.Set("100");
      trans.rec().TypeCode.Set("I");
      trans.rec().CustomerNo.Set("7");
      trans.rec().DateText.Set(
          company::FormatDisplayDate(date, company::DateOrder::kMonthFirst));
      trans.rec().SortDate.Set(company::SortableDate(date));
      trans.rec().AmountDue.Set(amount);
      ASSERT_TRUE(trans.AddWithKeys(rec_no));
      company::CompanyListAccess list(engine, services.messages,
                                      services.progress, dir_, "");
      ASSERT_TRUE(list.OpenCompanyFile());
      ASSERT_TRUE(list.FindByKey(1, "1    ", rec_no));
      ASSERT_TRUE(list.GetRecord(rec_no));
      const company::CompanyRecord before = list.rec();
      list.rec().ReceivablesBalance.Set(amount);
      ASSERT_TRUE(list.ModifyWithKeys(rec_no, before));
    }
    ASSERT_TRUE(engine.StoreShutdown());
  }

  std::string dir_;
  Date today_;
  std::ostringstream out_, err_;
};

TEST_F(AdminAgeTest, AgesTheCurrentCompanyAndPrintsTheTotals) {
  AddOpenInvoice(45, "1234.50");
  ASSERT_EQ(RunAdmin({"age", dir_}, out_, err_), kExitOk) << err_.str();
  const std::string today_text =
      company::FormatDisplayDate(today_, company::DateOrder::kMonthFirst);
  EXPECT_EQ(out_.str(),
            "Company 1: " + std::string("My Company") + ", aged to " +
                today_text +
                "\n"
                "Current:                    0.00\n"
                "31-60:                  1,234.50\n"
                "61-90:                      0.00\n"
                "Over 90 Days:               0.00\n"
                "Total A/R:              1,234.50\n"
                "1 customers updated\n");
  EXPECT_EQ(err_.str(), "");
  company::CompanyRecord last;
  ASSERT_EQ(company::ReadLastCompany(dir_ + "/LastCo.Dat", &last),
            company::LastCompanyRead::kOk);
  EXPECT_EQ(last.LastAgingDate.Get(), today_text);
}

TEST_F(AdminAgeTest, AMissingOrDamagedInstallationIsRefused) {
  fs::remove(dir_ + "/LastCo.Dat");
  EXPECT_EQ(RunAdmin({"age", dir_}, out_, err_), kExitFailed);
  EXPECT_NE(err_.str().find("LastCo.Dat: no such file"), std::string::npos)
      << err_.str();
  std::ofstream(dir_ + "/LastCo.Dat") << "short";
  EXPECT_EQ(RunAdmin({"age", dir_}, out_, err_), kExitFailed);
  EXPECT_EQ(out_.str(), "");
}

TEST_F(AdminAgeTest, AMissingTransactionsFileIsToldAndNothingIsWritten) {
  AddOpenInvoice(10, "5.00");
  fs::remove(dir_ + "/1I.DAT");
  std::ifstream in(dir_ + "/1C.DAT", std::ios::binary);
  const std::string before((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(RunAdmin({"age", dir_}, out_, err_), kExitFailed);
  EXPECT_EQ(err_.str(),
            "Aging: Unable to open or write the data file 1I (error 9903). "
            "Aging was not calculated.\n"
            "tallybook-admin: aging was not calculated\n");
  std::ifstream again(dir_ + "/1C.DAT", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), before);
}

TEST_F(AdminAgeTest, FreshInstallationHasNothingToAge) {
  std::ifstream in(dir_ + "/LastCo.Dat", std::ios::binary);
  const std::string before((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(RunAdmin({"age", dir_}, out_, err_), kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "Company 1: nothing to age (no customers yet)\n");
  EXPECT_EQ(err_.str(), "");
  EXPECT_FALSE(fs::exists(dir_ + "/1C.DAT"));
  std::ifstream again(dir_ + "/LastCo.Dat", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), before);
}

TEST_F(AdminAgeTest, CompanyNumberThatIsNoNumberIsRefused) {
  company::CompanyRecord last;
  ASSERT_EQ(company::ReadLastCompany(dir_ + "/LastCo.Dat", &last),
            company::LastCompanyRead::kOk);
  last.CompanyNo.Set("../z");
  ASSERT_TRUE(company::WriteLastCompany(dir_ + "/LastCo.Dat", last));
  EXPECT_EQ(RunAdmin({"age", dir_}, out_, err_), kExitFailed);
  EXPECT_EQ(err_.str(),
            "tallybook-admin: " +
                company::InvalidCompanyNoText("../z", "LastCo.Dat") + "\n");
  EXPECT_EQ(out_.str(), "");
  EXPECT_FALSE(fs::exists(fs::path(dir_).parent_path() / "zC.DAT"));
}

}  // namespace
}  // namespace tallybook::admin

namespace tallybook::admin {
namespace {

// reconcile lists every figure that did not follow the transactions, sets
// it, and finds nothing the second time; an operation journal left behind
// is played back first.
TEST_F(AdminAgeTest, ReconcileSetsFiguresFromTheTransactionsAndPlaysBack) {
  AddOpenInvoice(45, "1234.50");
  ASSERT_EQ(RunAdmin({"reconcile", dir_}, out_, err_), kExitFailed);
  EXPECT_EQ(out_.str(),
            "Customer 7: Aging 2 0.00 -> 1,234.50\n"
            "Company 1: balances reconciled\n");
  out_.str("");
  ASSERT_EQ(RunAdmin({"reconcile", dir_}, out_, err_), kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "Company 1: balances agree\n");

  // A journal that is not one stops the command and is left for a look.
  {
    std::ofstream journal(dir_ + "/OpJournal.tlj", std::ios::binary);
    journal << "not a journal";
  }
  out_.str("");
  err_.str("");
  EXPECT_EQ(RunAdmin({"check", dir_, "1I"}, out_, err_), kExitFailed);
  EXPECT_NE(err_.str().find("is not a journal"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ + "/OpJournal.tlj"));
  // An empty one (cut before its header) announced nothing.
  fs::resize_file(dir_ + "/OpJournal.tlj", 0);
  out_.str("");
  EXPECT_EQ(RunAdmin({"reconcile", dir_}, out_, err_), kExitOk);
  EXPECT_FALSE(fs::exists(dir_ + "/OpJournal.tlj"));
}

}  // namespace
}  // namespace tallybook::admin
