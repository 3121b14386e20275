#include "company/aging_chart.h"

#include <gtest/gtest.h>

#include "company/company_defaults.h"

namespace tallybook::company {
namespace {

CompanyRecord Company() {
  CompanyRecord company = FirstCompanyRecord("1", "Acme");
  company.AgingCaption1.Set("Current:");
  company.AgingCaption2.Set("31-60:");
  company.AgingCaption3.Set("61-90:");
  company.AgingDays3.Set("90");
  return company;
}

TEST(AgingChartTest, BarHeightsAreRoundedSharesOfTheFrameStackedFromTheTop) {
  AgingTotals totals;
  // Shares 12.5 %, 37.45 %, 49.55 %, 0.5 % of 2,000.00.
  totals.category = {250.0, 749.0, 991.0, 10.0};
  AgingChartLayout layout = LayoutAgingChart(totals, Company(), 150);

  // round(12.5) = 13 -> 13*150/100 = 19; round(37.45) = 37 -> 55;
  // round(49.55) = 50 -> 75; round(0.5) = 1 -> 1, raised to 4.
  EXPECT_EQ(layout.bars[0].height, 19);
  EXPECT_EQ(layout.bars[1].height, 55);
  EXPECT_EQ(layout.bars[2].height, 75);
  EXPECT_EQ(layout.bars[3].height, 4);
  EXPECT_EQ(layout.bars[0].top, 0);
  EXPECT_EQ(layout.bars[1].top, 19);
  EXPECT_EQ(layout.bars[2].top, 74);
  EXPECT_EQ(layout.bars[3].top, 149);
}

TEST(AgingChartTest, EmptyCategoriesHaveNoBarAndTinyOnesTheMinimum) {
  AgingTotals totals;
  totals.category = {1000000.0, 0.0, 0.01, 0.0};
  AgingChartLayout layout = LayoutAgingChart(totals, Company(), 200);
  EXPECT_EQ(layout.bars[0].height, 200);  // round(99.999999) = 100
  EXPECT_EQ(layout.bars[1].height, 0);
  EXPECT_EQ(layout.bars[2].height, kMinBarHeight);
  EXPECT_EQ(layout.bars[3].height, 0);
  EXPECT_EQ(layout.bars[3].top, 204);

  // A credit in one category of a positive total still gets a bar to hold
  // its hint.
  totals.category = {100.0, -20.0, 0.0, 0.0};
  layout = LayoutAgingChart(totals, Company(), 100);
  EXPECT_EQ(layout.bars[0].height, 125);
  EXPECT_EQ(layout.bars[1].height, kMinBarHeight);

  // Residue of two-decimal sums is no amount.
  totals.category = {50.0, 0.1 + 0.2 - 0.3, 0.0, 0.0};
  layout = LayoutAgingChart(totals, Company(), 100);
  EXPECT_EQ(layout.bars[1].height, 0);
}

TEST(AgingChartTest, HintsNameCaptionAndAmount) {
  AgingTotals totals;
  totals.category = {1234.5, 0.0, 20.0, 1000000.0};
  AgingChartLayout layout = LayoutAgingChart(totals, Company(), 100);
  EXPECT_EQ(layout.panel_hint, "Total A/R: 1,001,254.50");
  EXPECT_EQ(layout.bars[0].hint, "Current: 1,234.50");
  EXPECT_EQ(layout.bars[1].hint, "31-60: 0.00");
  EXPECT_EQ(layout.bars[2].hint, "61-90: 20.00");
  EXPECT_EQ(layout.bars[3].hint, "Over 90 Days: 1,000,000.00");

  CompanyRecord company = Company();
  company.AgingDays3.Set("70");
  company.AgingCaption2.Set("21-45:");
  EXPECT_EQ(BarHint(company, 1, -3.0), "21-45: -3.00");
  EXPECT_EQ(BarHint(company, 3, 5.0), "Over 70 Days: 5.00");
}

}  // namespace
}  // namespace tallybook::company
