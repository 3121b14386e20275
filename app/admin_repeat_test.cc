// tallybook-admin repeat-setup and repeat-run on a company on disk.
#include <gtest/gtest.h>

#include "app/admin_test_util.h"
#include "billing/repeat_test_support.h"

namespace tallybook::admin {
namespace {

using testing::AdminRun;
using testing::RunCaptured;

class AdminRepeatTest : public billing::testing::RepeatOnDisk {
 protected:
  void SetUp() override {
    RepeatOnDisk::SetUp();
    AddCustomer("C1", "First Customer");
    AddBilled("1001", "C1", "05/31/2024", {"60", "40"});
    AddBilled("1002", "C1", "05/31/2024", {"5"});
  }

  std::vector<company::TransactionRecord> Generated() {
    std::vector<company::TransactionRecord> found;
    for (const auto& [no, t] :
         billing::testing::AllRecords<company::TransactionAccess>(*app_)) {
      if (company::Trim(t.TypeCode.View()) == "G") found.push_back(t);
    }
    return found;
  }

  AdminRun Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, dir_);
    return RunCaptured(args);
  }
};

TEST_F(AdminRepeatTest, SetUpListAndBillThroughADate) {
  AdminRun run = Run({"repeat-setup", "1001", "--every", "1", "--months",
                      "--next", "05/31/2024"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out,
            "Master 1001: every 1 month(s), next 05/31/2024, generated 0\n"
            "Receivables: 5.00\n");
  EXPECT_EQ(Customer("C1").Balance.Get(), "5.00");

  run = Run({"repeat-run", "--through", "06/29/2024", "--list"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out,
            "1001      SNC1             100.00 05/31/2024 C1            0\n"
            "There are 1 invoices selected totaling 100.00.\n");
  EXPECT_TRUE(Generated().empty());

  run = Run({"repeat-run", "--through", "06/29/2024", "--date", "07/01/2024",
             "--reference", "June service"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out,
            "1001G1    SNC1             100.00\n"
            "1 invoices were generated. 1 Monthly Setups and 0 Daily "
            "Setups.\n");
  EXPECT_EQ(Transaction("1001G1").DateText.Get(), "07/01/2024");
  EXPECT_EQ(Transaction("1001G1").InvoiceNotes.Get(), "June service");
  EXPECT_EQ(LinesOf("1001G1").size(), 2u);
  // February-like lowering: May 31 + 1 month is June 30.
  EXPECT_EQ(Transaction("1001").NextDueDate.Get(), "06/30/2024");

  // Nothing more is due through the same date: exit 1.
  run = Run({"repeat-run", "--through", "06/29/2024"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out,
            "There are no repeat billings due through the date you "
            "selected.\n");
  // The date defaults to the through-date, the reference to its default.
  run = Run({"repeat-run", "--through", "06/30/2024"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Transaction("1001G2").DateText.Get(), "06/30/2024");
  EXPECT_EQ(Transaction("1001G2").InvoiceNotes.Get(), "Monthly Service");
  app_->CurrentCompany = StoredCompany();
  ExpectFilesSound();

  // Once it has billed, the interval stays; the next date may change.
  run = Run({"repeat-setup", "1001", "--every", "2", "--months", "--next",
             "08/01/2024"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("its interval cannot be changed"), std::string::npos);
  run = Run({"repeat-setup", "1001", "--every", "1", "--days", "--next",
             "08/01/2024"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Transaction("1001").RepeatUnit.Get(), "D");
  EXPECT_EQ(Transaction("1001").NextDueDate.Get(), "08/01/2024");
}

TEST_F(AdminRepeatTest, BadInputIsRefusedAndChangesNothing) {
  const std::string before = FileBytes("1I.DAT") + FileBytes("1C.DAT");
  const struct {
    std::vector<std::string> args;
    const char* err;
  } cases[] = {
      {{"repeat-setup", "9999", "--every", "1", "--months", "--next",
        "05/31/2024"},
       "invoice 9999 is not on file"},
      {{"repeat-setup", "1001", "--every", "x", "--months", "--next",
        "05/31/2024"},
       "You must enter a valid NUMBER of days/months."},
      {{"repeat-setup", "1001", "--every", "0", "--days", "--next",
        "05/31/2024"},
       "You must enter the number of days/months in order to generate"},
      {{"repeat-setup", "1001", "--every", "1", "--days", "--next",
        "02/30/2024"},
       "You must enter a valid date."},
      {{"repeat-setup", "1001", "--every", "1", "--next", "05/31/2024"},
       "usage: repeat-setup"},
      {{"repeat-setup", "1001", "--every", "1", "--days", "--months",
        "--next", "05/31/2024"},
       "usage: repeat-setup"},
      {{"repeat-run", "--through", "junk"}, "You must enter a valid date."},
      {{"repeat-run", "--through", "06/30/2024", "--bogus"},
       "unknown option --bogus"},
      {{"repeat-run", "--date", "06/30/2024"}, "usage: repeat-run"},
      {{"repeat-run", "--through", "06/30/2024", "--reference",
        std::string(61, 'x')},
       "at most 60 characters"},
  };
  for (const auto& c : cases) {
    const AdminRun run = Run(c.args);
    EXPECT_EQ(run.code, 1) << c.err;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  // An invoice date that is not a date bills nothing.
  ASSERT_EQ(Run({"repeat-setup", "1002", "--every", "1", "--days", "--next",
                 "05/31/2024"})
                .code,
            0);
  const std::string set_up = FileBytes("1I.DAT") + FileBytes("1C.DAT");
  EXPECT_NE(set_up, before);
  const AdminRun run =
      Run({"repeat-run", "--through", "06/30/2024", "--date", "06/31/2024"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("Invoice Date: You must enter a valid date."),
            std::string::npos)
      << run.err;
  EXPECT_EQ(FileBytes("1I.DAT") + FileBytes("1C.DAT"), set_up);
}

TEST_F(AdminRepeatTest, TheProgramRunsTheCommands) {
  const auto run = testing::RunAdminBinary(
      "repeat-setup " + dir_ + " 1001 --every 14 --days --next 05/31/2024");
  EXPECT_EQ(run.code, 0) << run.out;
  const auto listed =
      testing::RunAdminBinary("repeat-run " + dir_ + " --through 05/31/2024");
  EXPECT_EQ(listed.code, 0) << listed.out;
  EXPECT_NE(listed.out.find("1001G1"), std::string::npos);
}

}  // namespace
}  // namespace tallybook::admin

namespace tallybook::admin {
namespace {

// The demo company has three masters and what they generated, its books
// balance, and they bill again through the command.
TEST(AdminRepeatDemoTest, DemoHasMastersThatHaveBilled) {
  platform::testing::TempDir temp("demo_repeat");
  const std::string dir = (temp.path() / "d").string();
  ASSERT_EQ(RunCaptured({"demo", dir, "--today", "2026-03-15"}).code, 0);
  // Aging follows the computer's clock here; balances must not move.
  const auto balances_agree = [&] {
    const AdminRun reconcile = RunCaptured({"reconcile", dir});
    EXPECT_EQ(reconcile.out.find(": Balance "), std::string::npos)
        << reconcile.out;
    EXPECT_EQ(reconcile.out.find(": Receivables "), std::string::npos)
        << reconcile.out;
  };
  balances_agree();
  const AdminRun listed =
      RunCaptured({"repeat-run", dir, "--through", "12/31/2026", "--list"});
  ASSERT_EQ(listed.code, 0) << listed.err;
  EXPECT_NE(listed.out.find("There are 3 invoices selected"), std::string::npos)
      << listed.out;
  // Already generated from: no master still has a count of 0.
  EXPECT_EQ(listed.out.find("     0\n"), std::string::npos) << listed.out;
  const AdminRun run =
      RunCaptured({"repeat-run", dir, "--through", "04/30/2026"});
  EXPECT_EQ(run.code, 0) << run.err;
  balances_agree();
}

}  // namespace
}  // namespace tallybook::admin
