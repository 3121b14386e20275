// tallybook-admin demo: the demo installation is complete, sound, the same
// on every run for one date, and its books balance.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_demo_company.h"
#include "app/admin_test_util.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "company/startup.h"
#include "company/text.h"
#include "gmock/gmock.h"
#include "gtest/gtest.h"
#include "platform/testing/recording_progress.h"
#include "platform/testing/scripted_messages.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::admin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::RunCaptured;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// One demo installation made for 15 March 2026, shared by the tests.
class DemoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    temp_ = new platform::testing::TempDir("demo");
    const testing::AdminRun run = RunCaptured(
        {"demo", (temp_->path() / "a").string(), "--today", "2026-03-15"});
    code_ = run.code;
    out_ = run.out;
    err_ = run.err;
  }
  static void TearDownTestSuite() {
    delete temp_;
    temp_ = nullptr;
  }
  static fs::path Dir() { return temp_->path() / "a"; }

  static platform::testing::TempDir* temp_;
  static int code_;
  static std::string out_, err_;
};

platform::testing::TempDir* DemoTest::temp_ = nullptr;
int DemoTest::code_ = -1;
std::string DemoTest::out_;
std::string DemoTest::err_;

TEST_F(DemoTest, MakesTheWholeCompanyWithoutComplaint) {
  ASSERT_EQ(code_, kExitOk) << err_;
  EXPECT_EQ(err_, "");
  EXPECT_THAT(out_, HasSubstr("40 customers, 30 products, 300 invoices"));
  for (const char* file : {"LastCo.Dat", "TLTERMS.DAT", "Company.DAT", "1C.DAT",
                           "1P.DAT", "1I.DAT", "1D.DAT", "1M.DAT"}) {
    EXPECT_TRUE(fs::exists(Dir() / file)) << file;
  }
}

TEST_F(DemoTest, EveryFilePassesTheCompanyFileCheck) {
  ASSERT_EQ(code_, kExitOk) << err_;
  for (const char* file : {"Company", "1C", "1P", "1I", "1D", "1M"}) {
    const testing::AdminRun run = RunCaptured({"check", Dir().string(), file});
    EXPECT_EQ(run.code, kExitOk) << file << ": " << run.out << run.err;
  }
}

TEST_F(DemoTest, TwoRunsForTheSameDateWriteIdenticalFiles) {
  ASSERT_EQ(code_, kExitOk) << err_;
  const fs::path second = temp_->path() / "b";
  const testing::AdminRun run =
      RunCaptured({"demo", second.string(), "--today", "2026-03-15"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  int compared = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(Dir())) {
    const fs::path other = second / entry.path().filename();
    ASSERT_TRUE(fs::exists(other)) << other;
    EXPECT_TRUE(ReadFile(entry.path()) == ReadFile(other)) << entry.path().filename();
    ++compared;
  }
  EXPECT_EQ(compared, static_cast<int>(std::distance(fs::directory_iterator(second),
                                                     fs::directory_iterator())));
  EXPECT_GE(compared, 14);
}

TEST_F(DemoTest, EveryCustomerBalanceIsTheSumOfItsOpenAmounts) {
  ASSERT_EQ(code_, kExitOk) << err_;
  platform::testing::ScriptedMessages messages;
  platform::testing::RecordingProgressWindow progress;
  store::Engine engine;
  ASSERT_TRUE(engine.StoreStartup(0, 30));
  {
    company::TransactionAccess t(engine, messages, progress, Dir().string(), "1");
    company::CustomerAccess c(engine, messages, progress, Dir().string(), "1");
    ASSERT_TRUE(t.OpenCompanyFile());
    ASSERT_TRUE(c.OpenCompanyFile());
    std::map<std::string, double> open;
    int printed = 0, paid = 0, memo = 0, records = 0;
    double receivables = 0;
    int32_t rec_no = 0;
    while (engine.NextUsedRecord(t.handle(), rec_no)) {
      ASSERT_TRUE(t.GetRecord(rec_no));
      const company::TransactionRecord& r = t.rec();
      ++records;
      if (r.TypeCode.View() != "R") {
        open[company::Trim(r.CustomerNo.View())] +=
            company::MoneyToDouble(r.AmountDue.View());
        receivables += company::MoneyToDouble(r.AmountDue.View());
      }
      printed += r.PrintedFlag.View() == "Y";
      paid += r.PaidStatus.View() == "P";
      memo += r.InvoiceKind.View() == "M";
    }
    EXPECT_GE(records, 300);
    EXPECT_GT(printed, records / 2);
    EXPECT_GT(memo, 10);
    EXPECT_GT(paid, records / 3);
    rec_no = 0;
    int customers = 0, with_mail = 0;
    while (engine.NextUsedRecord(c.handle(), rec_no)) {
      ASSERT_TRUE(c.GetRecord(rec_no));
      const company::CustomerRecord& r = c.rec();
      ++customers;
      with_mail += !company::Trim(r.EMailAddress.View()).empty();
      const std::string no = company::Trim(r.CustomerNo.View());
      const double balance = company::MoneyToDouble(r.Balance.View());
      EXPECT_NEAR(balance, open[no], 0.005) << no;
      const double aged = company::MoneyToDouble(r.AgingCurrent.View()) +
                          company::MoneyToDouble(r.Aging2.View()) +
                          company::MoneyToDouble(r.Aging3.View()) +
                          company::MoneyToDouble(r.Aging4.View());
      EXPECT_NEAR(aged, balance, 0.005) << no;
    }
    EXPECT_EQ(customers, kDemoCustomers);
    EXPECT_GT(with_mail, kDemoCustomers * 3 / 4);
    EXPECT_LT(with_mail, kDemoCustomers);

    company::CompanyRecord last;
    ASSERT_EQ(company::ReadLastCompany((Dir() / "LastCo.Dat").string(), &last),
              company::LastCompanyRead::kOk);
    EXPECT_EQ(company::Trim(last.CompanyName.View()), kDemoCompanyName);
    EXPECT_EQ(company::Trim(last.LastAgingDate.View()), "03/15/2026");
    EXPECT_NEAR(company::MoneyToDouble(last.ReceivablesBalance.View()), receivables,
                0.005);
  }
  engine.StoreShutdown();
}

// The demo promised a deposit offset against an invoice and wrote none.
TEST_F(DemoTest, OneDepositIsOffsetAgainstInvoicesThroughAT) {
  ASSERT_EQ(code_, kExitOk) << err_;
  EXPECT_THAT(out_, HasSubstr(", 1 deposit offset against invoices\n"));
  platform::testing::ScriptedMessages messages;
  platform::testing::RecordingProgressWindow progress;
  store::Engine engine;
  ASSERT_TRUE(engine.StoreStartup(0, 30));
  {
    company::TransactionAccess t(engine, messages, progress, Dir().string(), "1");
    ASSERT_TRUE(t.OpenCompanyFile());
    std::map<std::string, std::vector<company::TransactionRecord>> by_number;
    int32_t rec_no = 0;
    while (engine.NextUsedRecord(t.handle(), rec_no)) {
      ASSERT_TRUE(t.GetRecord(rec_no));
      by_number[company::Trim(t.rec().InvoiceNo.View())].push_back(t.rec());
    }
    int taken = 0, deposits = 0;
    for (const auto& [number, records] : by_number) {
      for (const company::TransactionRecord& r : records) {
        deposits += r.TypeCode.View() == "D";
        if (r.TypeCode.View() != "T") continue;
        ++taken;
        EXPECT_EQ(number.rfind("DP", 0), 0u) << number;
        // The deposit it takes is closed, and what was taken is the whole
        // deposit.
        const company::TransactionRecord& d = records.front();
        EXPECT_EQ(d.TypeCode.View(), "D");
        EXPECT_EQ(d.PaidStatus.View(), "P");
        EXPECT_EQ(company::MoneyToDouble(d.AmountDue.View()), 0.0);
        EXPECT_EQ(company::MoneyToDouble(r.PaidAmount.View()),
                  -company::MoneyToDouble(d.PaidAmount.View()));
      }
    }
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(deposits, 3);
  }
  engine.StoreShutdown();
}

TEST(DemoCommandTest, RefusesAnInstallationAndABadDate) {
  platform::testing::TempDir temp("demo_refuse");
  const testing::AdminRun bad =
      RunCaptured({"demo", (temp.path() / "x").string(), "--today", "2026-02-30"});
  EXPECT_EQ(bad.code, kExitFailed);
  EXPECT_THAT(bad.err, HasSubstr("\"2026-02-30\" is not a date of the form YYYY-MM-DD"));
  EXPECT_FALSE(fs::exists(temp.path() / "x"));

  fs::create_directories(temp.path() / "y");
  std::ofstream(temp.path() / "y" / "LastCo.Dat") << "keep";
  const testing::AdminRun over =
      RunCaptured({"demo", (temp.path() / "y").string(), "--today", "2026-03-15"});
  EXPECT_EQ(over.code, kExitFailed);
  EXPECT_EQ(ReadFile(temp.path() / "y" / "LastCo.Dat"), "keep");
}

TEST(DemoRandomTest, SameSeedSameSequenceAndBoundsHold) {
  DemoRandom a(42), b(42);
  for (int i = 0; i < 1000; ++i) {
    const int x = a.Between(3, 9);
    EXPECT_EQ(x, b.Between(3, 9));
    EXPECT_GE(x, 3);
    EXPECT_LE(x, 9);
  }
  EXPECT_EQ(a.Between(5, 5), 5);
}

}  // namespace
}  // namespace tallybook::admin
