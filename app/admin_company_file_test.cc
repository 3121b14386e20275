// The commands on one company file of a data directory: rebuild DIR FILE and
// check DIR FILE.
#include <filesystem>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "app/admin_company_file.h"
#include "app/admin_test_util.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "gmock/gmock.h"
#include "gtest/gtest.h"
#include "platform/testing/recording_progress.h"
#include "platform/testing/scripted_messages.h"
#include "store/store_test_util.h"

namespace tallybook::admin {
namespace {

using ::testing::HasSubstr;
using testing::AdminRun;
using testing::RunCaptured;
using store::testing::ReadBytes;
using store::testing::ScratchDir;
using store::testing::WriteBytes;

class CompanyFileCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine_.StoreStartup(0, 30));
    ASSERT_TRUE(company::CreateCustomerFile(engine_, dir_, "1"));
    ASSERT_TRUE(customers_.OpenCompanyFile());
  }
  int32_t AddCustomer(const std::string& name, const std::string& no) {
    customers_.ClearRecord();
    customers_.rec().CustomerName.Set(name);
    customers_.rec().CustomerNo.Set(no);
    int32_t rec_no = 0;
    EXPECT_TRUE(customers_.AddWithKeys(rec_no));
    return rec_no;
  }
  std::string base() const { return dir_ + "/1C"; }

  ScratchDir scratch_;
  std::string dir_ = scratch_.File("").substr(0, scratch_.File("").size() - 1);
  // The setup must not ask the user anything: no message is expected.
  platform::testing::ScriptedMessages messages_;
  platform::testing::RecordingProgressWindow progress_;
  store::Engine engine_;
  company::CustomerAccess customers_{engine_, messages_, progress_, dir_, "1"};
};

TEST(CompanyFileArgumentTest, NamesMapToTheirFiles) {
  std::string problem;
  auto company = ParseCompanyFileArgument("/d", "Company", &problem);
  ASSERT_TRUE(company);
  EXPECT_EQ(company->file->file, company::CompanyFile::kCompanyList);
  EXPECT_EQ(company->base_path, "/d/Company");
  auto invoices = ParseCompanyFileArgument("/d", "12i", &problem);
  ASSERT_TRUE(invoices);
  EXPECT_EQ(invoices->file->file, company::CompanyFile::kTransactions);
  EXPECT_EQ(invoices->company_no, "12");
  EXPECT_EQ(invoices->base_path, "/d/12I");
  for (const char* bad : {"1X", "C", "", "../1C", "123456789C"}) {
    EXPECT_FALSE(ParseCompanyFileArgument("/d", bad, &problem)) << bad;
    EXPECT_THAT(problem, HasSubstr("is no company file")) << bad;
  }
}

TEST_F(CompanyFileCommandTest, RebuildPrintsProgressAndLeavesASoundFile) {
  for (int i = 0; i < 60; ++i) {
    AddCustomer("Customer " + std::to_string(i), std::to_string(i));
  }
  ASSERT_TRUE(customers_.Close());
  std::vector<uint8_t> dat = ReadBytes(base() + ".DAT");
  dat.at(20) = 1;  // not closed after changes
  WriteBytes(base() + ".DAT", dat);

  AdminRun r = RunCaptured({"rebuild", dir_, "1C"});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Customers\n"
            "  Key number: 0  Records read: 50  Records written: 50\n"
            "  Key number: 1  Records read: 50  Records written: 50\n"
            "  Key number: 2  Records read: 50  Records written: 50\n" +
                base() + ": rebuilt, 60 records\n");

  r = RunCaptured({"check", dir_, "1C"});
  EXPECT_EQ(r.code, kExitOk) << r.out;
  EXPECT_EQ(r.out, base() + ": sound\n");
}

TEST_F(CompanyFileCommandTest, RebuildReportsTheDumpOfRejectedDuplicates) {
  AddCustomer("Acme", "A1");
  // A second record with the same unique name, written past the keys.
  customers_.rec().CustomerNo.Set("A2");
  int32_t rec_no = 0;
  ASSERT_TRUE(engine_.AddRecord(customers_.handle(), rec_no, customers_.data()));
  ASSERT_TRUE(customers_.Close());

  AdminRun r = RunCaptured({"rebuild", dir_, "1C"});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_THAT(r.out, HasSubstr(base() + ".MSG: dump file written"));
  EXPECT_THAT(r.out, HasSubstr(base() + ": rebuilt, 1 records\n"));
  EXPECT_TRUE(std::filesystem::exists(base() + ".MSG"));
}

TEST_F(CompanyFileCommandTest, RebuildOfAMissingOrUnknownFileFails) {
  AdminRun r = RunCaptured({"rebuild", dir_, "7C"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_EQ(r.err, "tallybook-admin: " + dir_ + "/7C.DAT: no such file\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/7C.DAT"));
  r = RunCaptured({"rebuild", dir_, "1Q"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_THAT(r.err, HasSubstr("\"1Q\" is no company file"));
}

TEST_F(CompanyFileCommandTest, RebuildCutShortIsResumedOnlyWithTheOption) {
  for (int i = 1; i <= 4; ++i) {
    AddCustomer("Customer " + std::to_string(i), std::to_string(i));
  }
  ASSERT_TRUE(customers_.Close());
  // A crash while the new data file was being written: the complete old
  // file is 1C.SAV, a partial 1C.DAT stands beside it.
  std::filesystem::rename(base() + ".DAT", base() + ".SAV");
  std::vector<uint8_t> partial = ReadBytes(base() + ".SAV");
  partial.resize(2 * 1008);
  partial[20] = 1;
  WriteBytes(base() + ".DAT", partial);

  AdminRun r = RunCaptured({"rebuild", dir_, "1C"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_THAT(r.err, HasSubstr(company::InterruptedRebuildText("1C", "1C.PAR")));
  EXPECT_THAT(r.err,
              HasSubstr(base() + ": rebuild failed: store error 10465; "
                                 "nothing was changed. Run again with "
                                 "--resume to set " +
                        base() + ".DAT aside and finish the rebuild from " +
                        base() + ".SAV\n"));
  EXPECT_EQ(ReadBytes(base() + ".DAT"), partial);
  EXPECT_FALSE(std::filesystem::exists(base() + ".PAR"));

  r = RunCaptured({"rebuild", dir_, "1C", "--resume"});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_THAT(r.out, HasSubstr(base() + ".DAT: set aside as " + base() +
                               ".PAR\n"));
  EXPECT_THAT(r.out, HasSubstr(base() + ": rebuilt, 4 records\n"));
  EXPECT_EQ(ReadBytes(base() + ".PAR"), partial);
  EXPECT_FALSE(std::filesystem::exists(base() + ".SAV"));

  r = RunCaptured({"rebuild", dir_, "1C", "--resume"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_EQ(r.err, "tallybook-admin: nothing to resume: there is no work "
                   "copy " + base() + ".SAV\n");
  r = RunCaptured({"rebuild", dir_, "1C", "--force"});
  EXPECT_EQ(r.code, kExitFailed);
}

TEST_F(CompanyFileCommandTest, CheckFindsKeysThatDoNotMatchTheirRecords) {
  const int32_t acme = AddCustomer("Acme", "A1");
  const int32_t best = AddCustomer("Best", "B1");
  const int32_t gone = AddCustomer("Gone", "G1");
  // Acme renamed behind the keys' back.
  ASSERT_TRUE(customers_.GetRecord(acme));
  customers_.rec().CustomerName.Set("Zeta");
  ASSERT_TRUE(engine_.PutRecord(customers_.handle(), acme, customers_.data()));
  // Best lost its customer number entry.
  ASSERT_TRUE(engine_.DeleteKey(customers_.handle(), 2, best,
                                company::KeyText("B1", 8)));
  // Gone deleted without its keys.
  ASSERT_TRUE(engine_.DeleteRecord(customers_.handle(), gone));
  ASSERT_TRUE(customers_.Close());
  const std::vector<uint8_t> dat = ReadBytes(base() + ".DAT");

  AdminRun r = RunCaptured({"check", dir_, "1C"});
  EXPECT_EQ(r.code, kExitFailed);
  const std::string acme_key = "\"ACME" + std::string(26, ' ') + "\"";
  const std::string zeta_key = "\"ZETA" + std::string(26, ' ') + "\"";
  EXPECT_THAT(r.out, HasSubstr("key 1: entry " + acme_key + " of record 1 "
                               "should be " + zeta_key + "\n"));
  EXPECT_THAT(r.out, HasSubstr("key 1: record 1 has no entry " + zeta_key));
  EXPECT_THAT(r.out, HasSubstr("key 2: record 2 has no entry \"B1      \"\n"));
  EXPECT_THAT(r.out, HasSubstr("key 1: entry \"GONE" + std::string(26, ' ') +
                               "\" points at record 3, which is not in use\n"));
  EXPECT_THAT(r.out, HasSubstr("key 2: entry \"G1      \" points at record 3"));
  EXPECT_EQ(ReadBytes(base() + ".DAT"), dat) << "the check changed the file";
}

TEST_F(CompanyFileCommandTest, CheckOfADamagedOrMissingFileFailsClearly) {
  AddCustomer("Acme", "A1");
  ASSERT_TRUE(customers_.Close());
  std::vector<uint8_t> dat = ReadBytes(base() + ".DAT");
  dat.resize(10);
  WriteBytes(base() + ".DAT", dat);
  AdminRun r = RunCaptured({"check", dir_, "1C"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_THAT(r.err, ::testing::StartsWith("tallybook-admin: " + base()));
  EXPECT_EQ(ReadBytes(base() + ".DAT"), dat);

  r = RunCaptured({"check", dir_, "Company"});
  EXPECT_EQ(r.code, kExitFailed);
  EXPECT_THAT(r.err, HasSubstr("Company.DAT"));
}

TEST_F(CompanyFileCommandTest, CheckWithOneArgumentIsStillTheRawCheck) {
  AddCustomer("Acme", "A1");
  ASSERT_TRUE(customers_.Close());
  AdminRun r = RunCaptured({"check", base()});
  EXPECT_EQ(r.code, kExitOk) << r.out << r.err;
  EXPECT_EQ(r.out, base() + ": sound\n");
}

}  // namespace
}  // namespace tallybook::admin
