#include "receivables/ui/receivables_commands.h"

#include <gtest/gtest.h>

#include "company/ui/main_form.h"
#include "company/ui/ui_test_support.h"

namespace tallybook::receivables::ui {
namespace {

using company::ui::CommandId;

class ReceivablesCommandsTest : public ::testing::Test,
                                public company::ui::ShellFixture {};

TEST_F(ReceivablesCommandsTest, PaymentsCommandOpensTheWizard) {
  company::ui::TMainForm form(*app);
  ASSERT_TRUE(form.FormCreate());
  EXPECT_FALSE(form.IsCommandEnabled(CommandId::kPaymentWizard));
  WireReceivablesCommands(form, *app);
  EXPECT_TRUE(form.IsCommandEnabled(CommandId::kPaymentWizard));
  form.ShowStatus("Calculating Aging Totals...");
  ui.windows.ExpectWindow("TPayBox", platform::kModalCancel);
  form.RunCommand(CommandId::kPaymentWizard);
  EXPECT_EQ(form.MessagePanel->text(), company::kReadyText);
}

TEST_F(ReceivablesCommandsTest, InterestWizardCommandOpensTheWizard) {
  company::ui::TMainForm form(*app);
  ASSERT_TRUE(form.FormCreate());
  EXPECT_FALSE(form.IsCommandEnabled(CommandId::kInterestWizard));
  WireReceivablesCommands(form, *app);
  EXPECT_TRUE(form.IsCommandEnabled(CommandId::kInterestWizard));
  // Cancelled: nothing was generated, so nothing is asked.
  ui.windows.ExpectWindow("TInterestWiz", platform::kModalCancel);
  form.RunCommand(CommandId::kInterestWizard);
}

TEST_F(ReceivablesCommandsTest, ReportWizardCommandOpensTheWizard) {
  company::ui::TMainForm form(*app);
  ASSERT_TRUE(form.FormCreate());
  EXPECT_FALSE(form.IsCommandEnabled(CommandId::kReportWizard));
  WireReceivablesCommands(form, *app);
  EXPECT_TRUE(form.IsCommandEnabled(CommandId::kReportWizard));
  ui.windows.ExpectWindow("TRptSelect", platform::kModalCancel);
  form.RunCommand(CommandId::kReportWizard);
}

}  // namespace
}  // namespace tallybook::receivables::ui
