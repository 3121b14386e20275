// The aging chart: four stacked bars, one per age category, and the hints
// that tell their amounts. This file only computes; the panel widget on the
// main window (company/ui/aging_chart_panel.h) draws what it returns.
//
// Geometry: the bars fill the frame's width and stack from the frame's top,
// category 1 first. A bar's height is p * frame height / 100 (integer
// division) where p is the category's share of the total in percent,
// rounded to a whole number; a bar with a non-zero amount is at least
// kMinBarHeight pixels high, so even a tiny amount can be pointed at.
#ifndef TALLYBOOK_COMPANY_AGING_CHART_H_
#define TALLYBOOK_COMPANY_AGING_CHART_H_

#include <array>
#include <string>

#include "company/records.h"

namespace tallybook::company {

inline constexpr int kAgingCategories = 4;
inline constexpr int kMinBarHeight = 4;

inline constexpr char kTotalHintPrefix[] = "Total A/R: ";
inline constexpr char kChartStatus[] =
    "Hold mouse over color to see aging amount...";

// The four grand totals of an aging run, category 1 (current) first.
struct AgingTotals {
  std::array<double, kAgingCategories> category = {0, 0, 0, 0};

  double Total() const {
    return category[0] + category[1] + category[2] + category[3];
  }
};

struct ChartBar {
  int top = 0;     // pixels from the frame's top
  int height = 0;  // pixels; 0 for an empty category
  std::string hint;
};

struct AgingChartLayout {
  std::string panel_hint;  // "Total A/R: 1,234.50"
  std::array<ChartBar, kAgingCategories> bars;
};

// The caption of category `index` (0..3): the company's AgingCaption1..3
// for the first three, "Over " + AgingDays3 + " Days: " for the fourth.
std::string CategoryCaption(const CompanyRecord& company, int index);

// The hint of one bar: caption, a blank and the amount (",0.00") for
// categories 1-3; the caption directly followed by the amount for the
// fourth, whose caption ends in ": ".
std::string BarHint(const CompanyRecord& company, int index, double amount);

// The bars and hints for the totals in a frame frame_height pixels high.
// A total of 0 gives four empty bars (the chart is not shown then).
AgingChartLayout LayoutAgingChart(const AgingTotals& totals,
                                  const CompanyRecord& company,
                                  int frame_height);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_AGING_CHART_H_
