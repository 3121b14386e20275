// TAgingChartPanel: the aging chart on the main window. Two labels, "Aging"
// and "Chart", a frame holding the four stacked bars (current at the top),
// and the "Close Chart" button. It lives in the main window's aging panel
// host (TMainForm::aging_panel_host), above the host's help button; showing
// the chart shows the host and hiding the host hides the chart.
//
// The bars' geometry and hints come from LayoutAgingChart (aging_chart.h);
// this window only places them. Pointing at a bar shows its category and
// amount, pointing at the panel the total.
#ifndef TALLYBOOK_COMPANY_UI_AGING_CHART_PANEL_H_
#define TALLYBOOK_COMPANY_UI_AGING_CHART_PANEL_H_

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "company/aging.h"
#include "company/aging_chart.h"
#include "company/app.h"
#include "company/startup.h"

namespace tallybook::company::ui {

class TAgingChartPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFrameWidth = 60;
  static constexpr int kFrameHeight = 200;

  // Puts the panel at the top of host's layout (a QVBoxLayout). The host
  // owns the panel.
  TAgingChartPanel(App& app, QWidget* host);

  // Lays the bars out for totals with the current company's captions,
  // shows the host and puts the chart hint in the status bar.
  void ShowChart(const AgingTotals& totals);
  // True while the host is not hidden.
  bool IsShowing() const;
  // Hides the host (and so the chart).
  void HideChart();

  // Controls.
  QLabel* AgingLabel;
  QLabel* ChartLabel;
  QFrame* ChartFrame;
  std::array<QFrame*, kAgingCategories> Bars;
  QPushButton* CloseChart;

  // Handlers.
  // Hides the chart; the status bar shows "Ready.".
  void CloseChartClick();

 private:
  App& app_;
  QWidget* host_;
};

// Shows the chart of a finished aging run when the run asks for it.
void ShowChartOf(const AgingResult& result, TAgingChartPanel& panel);

// The daily aging of the main window (TMainForm::set_aging_runner): the
// once-a-day run, then its chart when due.
AgingRunner ChartingAgingRunner(TAgingChartPanel& panel);

// The "&Aging Chart" command: its refusals, the run with the chart asked
// for, and the chart.
void AgingChartClick(App& app, TAgingChartPanel& panel);

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_AGING_CHART_PANEL_H_
