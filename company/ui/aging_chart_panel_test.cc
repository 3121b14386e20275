#include "company/ui/aging_chart_panel.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "company/ui/main_commands.h"
#include "company/ui/main_form.h"
#include "company/ui/ui_test_support.h"

namespace tallybook::company::ui {
namespace {

class AgingChartPanelTest : public ::testing::Test, public ShellFixture {
 protected:
  AgingChartPanelTest() {
    app->status_sink = [this](const std::string& text) {
      statuses.push_back(text);
    };
    // A host as the main window makes it: hidden, a help button at the
    // bottom of a vertical layout.
    host = std::make_unique<QFrame>();
    auto* layout = new QVBoxLayout(host.get());
    layout->addStretch();
    layout->addWidget(new QPushButton("Help", host.get()));
    host->hide();
    panel = new TAgingChartPanel(*app, host.get());
    app->CurrentCompany.AgingCaption1.Set("Current:");
    app->CurrentCompany.AgingCaption2.Set("31-60:");
    app->CurrentCompany.AgingCaption3.Set("61-90:");
    app->CurrentCompany.AgingDays3.Set("90");
  }

  std::unique_ptr<QFrame> host;
  TAgingChartPanel* panel;
  std::vector<std::string> statuses;
};

TEST_F(AgingChartPanelTest, ShowingPlacesTheBarsAndTheirHints) {
  EXPECT_FALSE(panel->IsShowing());
  AgingTotals totals;
  totals.category = {250.0, 749.0, 991.0, 10.0};

  panel->ShowChart(totals);

  EXPECT_TRUE(panel->IsShowing());
  EXPECT_FALSE(host->isHidden());
  EXPECT_EQ(panel->AgingLabel->text(), "Aging");
  EXPECT_EQ(panel->ChartLabel->text(), "Chart");
  EXPECT_EQ(panel->CloseChart->text(), "Close Chart");
  // Frame 200 high: 13 %, 37 %, 50 % and 1 % (raised to 4 pixels).
  const int heights[] = {26, 74, 100, 4};
  const int tops[] = {0, 26, 100, 200};
  for (int i = 0; i < kAgingCategories; ++i) {
    EXPECT_EQ(panel->Bars[i]->geometry(),
              QRect(0, tops[i], TAgingChartPanel::kFrameWidth, heights[i]))
        << i;
  }
  EXPECT_EQ(panel->Bars[0]->toolTip(), "Current: 250.00");
  EXPECT_EQ(panel->Bars[1]->toolTip(), "31-60: 749.00");
  EXPECT_EQ(panel->Bars[2]->toolTip(), "61-90: 991.00");
  EXPECT_EQ(panel->Bars[3]->toolTip(), "Over 90 Days: 10.00");
  EXPECT_EQ(host->toolTip(), "Total A/R: 2,000.00");
  EXPECT_EQ(statuses, (std::vector<std::string>{
                          "Hold mouse over color to see aging amount..."}));
}

TEST_F(AgingChartPanelTest, AnEmptyCategoryHasNoBar) {
  AgingTotals totals;
  totals.category = {100.0, 0.0, 0.0, 0.0};
  panel->ShowChart(totals);
  EXPECT_FALSE(panel->Bars[0]->isHidden());
  EXPECT_EQ(panel->Bars[0]->height(), 200);
  EXPECT_TRUE(panel->Bars[1]->isHidden());
  EXPECT_EQ(panel->Bars[1]->toolTip(), "31-60: 0.00");
}

TEST_F(AgingChartPanelTest, CloseChartHidesItAndSaysReady) {
  AgingTotals totals;
  totals.category = {1.0, 0.0, 0.0, 0.0};
  panel->ShowChart(totals);
  panel->CloseChart->click();
  EXPECT_FALSE(panel->IsShowing());
  EXPECT_EQ(statuses.back(), "Ready.");
}

TEST_F(AgingChartPanelTest, TheCommandRefusesWithoutReceivablesOrWhileShowing) {
  app->CurrentCompany.ReceivablesBalance.Set("0.00");
  ui.messages.ExpectMessage("You do not have any open invoices.")
      .WithCaption("Aging Chart");
  AgingChartClick(*app, *panel);
  EXPECT_FALSE(panel->IsShowing());

  app->CurrentCompany.ReceivablesBalance.Set("5.00");
  AgingTotals totals;
  totals.category = {5.0, 0.0, 0.0, 0.0};
  panel->ShowChart(totals);
  ui.messages.ExpectMessage("The Aging Chart is currently showing.")
      .WithCaption("Aging Chart");
  AgingChartClick(*app, *panel);
  EXPECT_TRUE(panel->IsShowing());
}

TEST_F(AgingChartPanelTest, TheMainWindowHostsTheChartAndHidesItForManagers) {
  TMainForm form(*app);
  ASSERT_TRUE(form.FormCreate());
  WireMainCommands(form, *app);
  auto* chart = form.aging_panel_host()->findChild<TAgingChartPanel*>();
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(form.IsCommandEnabled(CommandId::kAgingChart));
  AgingTotals totals;
  totals.category = {5.0, 0.0, 0.0, 0.0};
  chart->ShowChart(totals);
  EXPECT_TRUE(chart->IsShowing());
  // Opening a manager hides the chart first (the command itself is not
  // wired here, so nothing else opens).
  form.SetCommand(CommandId::kInvoiceManager, [] {});
  form.RunCommand(CommandId::kInvoiceManager);
  EXPECT_FALSE(chart->IsShowing());
  if (app->engine().IsStarted()) app->engine().StoreShutdown();
}

}  // namespace
}  // namespace tallybook::company::ui
