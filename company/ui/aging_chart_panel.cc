#include "company/ui/aging_chart_panel.h"

#include <QBoxLayout>
#include <QColor>
#include <QPalette>

#include "company/text.h"

namespace tallybook::company::ui {
namespace {

// Current to oldest: green, yellow, orange, red.
const QColor kBarColors[kAgingCategories] = {
    QColor(0, 160, 0), QColor(230, 210, 0), QColor(240, 130, 0),
    QColor(210, 0, 0)};

QString FromRecordText(const std::string& text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

}  // namespace

TAgingChartPanel::TAgingChartPanel(App& app, QWidget* host)
    : QWidget(host), app_(app), host_(host) {
  setObjectName("AgingChartPanel");
  AgingLabel = new QLabel("Aging", this);
  AgingLabel->setObjectName("AgingLabel");
  ChartLabel = new QLabel("Chart", this);
  ChartLabel->setObjectName("ChartLabel");
  QFont bold = AgingLabel->font();
  bold.setBold(true);
  AgingLabel->setFont(bold);
  ChartLabel->setFont(bold);

  ChartFrame = new QFrame(this);
  ChartFrame->setObjectName("ChartFrame");
  ChartFrame->setFrameShape(QFrame::Box);
  ChartFrame->setFixedSize(kFrameWidth, kFrameHeight);
  for (int i = 0; i < kAgingCategories; ++i) {
    QFrame* bar = new QFrame(ChartFrame);
    bar->setObjectName(QString("Bar%1").arg(i + 1));
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, kBarColors[i]);
    bar->setPalette(palette);
    bar->hide();
    Bars[i] = bar;
  }

  CloseChart = new QPushButton("Close Chart", this);
  CloseChart->setObjectName("CloseChart");
  connect(CloseChart, &QPushButton::clicked, this,
          [this] { CloseChartClick(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(AgingLabel, 0, Qt::AlignHCenter);
  layout->addWidget(ChartLabel, 0, Qt::AlignHCenter);
  layout->addWidget(ChartFrame, 0, Qt::AlignHCenter);
  layout->addWidget(CloseChart);

  if (auto* host_layout = qobject_cast<QBoxLayout*>(host->layout())) {
    host_layout->insertWidget(0, this);
  } else {
    // A host without a box layout still shows the panel, from its corner.
    move(0, 0);
  }
}

void TAgingChartPanel::ShowChart(const AgingTotals& totals) {
  AgingChartLayout chart =
      LayoutAgingChart(totals, app_.CurrentCompany, ChartFrame->height());
  const QString panel_hint = FromRecordText(chart.panel_hint);
  setToolTip(panel_hint);
  host_->setToolTip(panel_hint);
  for (int i = 0; i < kAgingCategories; ++i) {
    const ChartBar& bar = chart.bars[i];
    Bars[i]->setGeometry(0, bar.top, ChartFrame->width(), bar.height);
    Bars[i]->setToolTip(FromRecordText(bar.hint));
    Bars[i]->setVisible(bar.height > 0);
  }
  host_->show();
  host_->raise();
  app_.ShowStatus(kChartStatus);
}

bool TAgingChartPanel::IsShowing() const { return !host_->isHidden(); }

void TAgingChartPanel::HideChart() { host_->hide(); }

void TAgingChartPanel::CloseChartClick() {
  HideChart();
  app_.ShowStatus(kReadyText);
}

void ShowChartOf(const AgingResult& result, TAgingChartPanel& panel) {
  if (result.show_chart) panel.ShowChart(result.totals);
}

AgingRunner ChartingAgingRunner(TAgingChartPanel& panel) {
  return [&panel](App& app) { ShowChartOf(RunAgingIfDue(app), panel); };
}

void AgingChartClick(App& app, TAgingChartPanel& panel) {
  ShowChartOf(AgingChartCommand(app, panel.IsShowing()), panel);
}

}  // namespace tallybook::company::ui
