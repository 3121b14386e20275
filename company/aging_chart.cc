#include "company/aging_chart.h"

#include <cmath>

#include "company/format.h"
#include "company/text.h"

namespace tallybook::company {
namespace {

// Sums of two-decimal amounts carry binary residue (0.1 + 0.2 - 0.3); an
// amount that shows as 0.00 counts as no amount.
bool ShowsAsZero(double amount) { return std::fabs(amount) < 0.005; }

}  // namespace

std::string CategoryCaption(const CompanyRecord& company, int index) {
  switch (index) {
    case 0:
      return company.AgingCaption1.Get();
    case 1:
      return company.AgingCaption2.Get();
    case 2:
      return company.AgingCaption3.Get();
    default:
      return "Over " + Trim(company.AgingDays3.View()) + " Days: ";
  }
}

std::string BarHint(const CompanyRecord& company, int index, double amount) {
  std::string caption = CategoryCaption(company, index);
  if (index < 3) caption += " ";
  return caption + FormatMoney(amount);
}

AgingChartLayout LayoutAgingChart(const AgingTotals& totals,
                                  const CompanyRecord& company,
                                  int frame_height) {
  AgingChartLayout layout;
  const double total = totals.Total();
  layout.panel_hint = kTotalHintPrefix + FormatMoney(total);
  if (frame_height < 0) frame_height = 0;
  int top = 0;
  for (int i = 0; i < kAgingCategories; ++i) {
    const double amount = totals.category[i];
    ChartBar& bar = layout.bars[i];
    bar.top = top;
    bar.hint = BarHint(company, i, amount);
    int height = 0;
    if (!ShowsAsZero(total)) {
      const long percent = std::lround(amount / total * 100.0);
      // A credit in one category of a positive total has a negative share;
      // it gets the minimum bar, not a negative height.
      if (percent > 0) {
        height = static_cast<int>(percent * frame_height / 100);
      }
    }
    if (!ShowsAsZero(amount) && height < kMinBarHeight) height = kMinBarHeight;
    bar.height = height;
    top += height;
  }
  return layout;
}

}  // namespace tallybook::company
