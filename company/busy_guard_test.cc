// The long loops of the shell hold the App's busy guard while they run, so
// that the main window keeps its commands off and its close waiting.
#include <gtest/gtest.h>

#include <vector>

#include "company/aging.h"
#include "company/aging_test_support.h"
#include "company/app.h"
#include "company/purge.h"
#include "company/rebuild_all.h"

namespace tallybook::company {
namespace {

class BusyGuardTest : public testing::CompanyOnDisk {
 protected:
  void SetUp() override {
    CompanyOnDisk::SetUp();
    app_->busy_changed = [this](bool busy) { changes_.push_back(busy); };
    ui_->progress.SetInputHook([this] { busy_at_input_.push_back(app_->busy()); });
  }
  std::vector<bool> changes_;
  std::vector<bool> busy_at_input_;
};

TEST_F(BusyGuardTest, GuardsNestAndReportOnlyTheOuterChange) {
  {
    BusyGuard outer(*app_);
    EXPECT_TRUE(app_->busy());
    {
      BusyGuard inner(*app_);
      EXPECT_TRUE(app_->busy());
    }
    EXPECT_TRUE(app_->busy());
  }
  EXPECT_FALSE(app_->busy());
  EXPECT_EQ(changes_, (std::vector<bool>{true, false}));
}

TEST_F(BusyGuardTest, AgingHoldsTheGuardWhileItLetsInputThrough) {
  AddCustomer("100", "Baker", "50.00");
  AddTransaction("1001", "100", DaysAgo(10), "50.00");
  CalculateAging(*app_);
  ASSERT_FALSE(busy_at_input_.empty());
  EXPECT_EQ(busy_at_input_, std::vector<bool>(busy_at_input_.size(), true));
  EXPECT_EQ(changes_, (std::vector<bool>{true, false}));
  EXPECT_FALSE(app_->busy());
}

TEST_F(BusyGuardTest, RebuildHoldsTheGuardForEveryFile) {
  AddCustomer("100", "Baker");
  ui_->messages.ExpectMessage(kRebuildDone);
  RebuildDataFiles(*app_);
  ASSERT_FALSE(busy_at_input_.empty());
  EXPECT_EQ(busy_at_input_, std::vector<bool>(busy_at_input_.size(), true));
  EXPECT_EQ(changes_, (std::vector<bool>{true, false}));
}

TEST_F(BusyGuardTest, PurgeHoldsTheGuard) {
  AddCustomer("100", "Baker");
  AddTransaction("1001", "100", DaysAgo(900), "0.00", "P");
  EXPECT_EQ(PurgePaidRecords(*app_, "2024/01/01"), 1);
  EXPECT_EQ(changes_, (std::vector<bool>{true, false}));
  EXPECT_FALSE(app_->busy());
}

}  // namespace
}  // namespace tallybook::company
