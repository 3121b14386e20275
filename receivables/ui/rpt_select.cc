#include "receivables/ui/rpt_select.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "company/text.h"
#include "company/ui/cal_form.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"
#include "receivables/report_dates.h"
#include "receivables/ui/rt_report.h"

namespace tallybook::receivables::ui {

using platform::qt::ToQString;

namespace {

std::string FromQ(const QString& text) {
  return company::Utf8ToCp1252(text.toStdString());
}

}  // namespace

TRptSelect::TRptSelect(company::App& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setWindowTitle(kReportWizardCaption);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Select a Report Type:", this));
  ListBox1 = new QListWidget(this);
  for (const ReportDefinition& d : Reports()) ListBox1->addItem(d.name);
  layout->addWidget(ListBox1);
  RType = new QLabel(this);
  RType->setWordWrap(true);
  RType->setMinimumHeight(RType->fontMetrics().height() * 3);
  layout->addWidget(RType);

  DateLabel = new QLabel(kDateSelectionLabel, this);
  layout->addWidget(DateLabel);
  ComboBox1 = new QComboBox(this);
  for (const std::string& preset : DatePresets()) {
    ComboBox1->addItem(ToQString(preset));
  }
  layout->addWidget(ComboBox1);
  auto* dates = new QGridLayout;
  FromLabel = new QLabel(kFromLabel, this);
  ToLabel = new QLabel("To:", this);
  IDate = new QLineEdit(this);
  EndDt = new QLineEdit(this);
  IDateButton = new QPushButton("...", this);
  EndDtButton = new QPushButton("...", this);
  for (QLineEdit* field : {IDate, EndDt}) field->setInputMask("99/99/9999; ");
  dates->addWidget(FromLabel, 0, 0);
  dates->addWidget(IDate, 0, 1);
  dates->addWidget(IDateButton, 0, 2);
  dates->addWidget(ToLabel, 1, 0);
  dates->addWidget(EndDt, 1, 1);
  dates->addWidget(EndDtButton, 1, 2);
  layout->addLayout(dates);

  auto* buttons = new QHBoxLayout;
  Button1 = new QPushButton("View", this);
  Button1->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  HelpButton = new QPushButton("Help", this);
  platform::qt::SetThemeIcon(HelpButton, {"help-contents"});
  buttons->addStretch(1);
  for (QPushButton* b : {Button1, CancelButton, HelpButton}) {
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  connect(ListBox1, &QListWidget::currentRowChanged, this,
          [this] { ListBox1Click(); });
  connect(ListBox1, &QListWidget::itemDoubleClicked, this,
          [this] { Button1Click(); });
  connect(ComboBox1, &QComboBox::activated, this,
          [this] { ComboBox1Change(); });
  connect(IDateButton, &QPushButton::clicked, this, [this] { PickInto(IDate); });
  connect(EndDtButton, &QPushButton::clicked, this,
          [this] { PickInto(EndDt); });
  connect(Button1, &QPushButton::clicked, this, &TRptSelect::Button1Click);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] {
    app_.services().help.ShowHelp(kReportWizardHelpTopic);
  });
  platform::qt::HelpOnF1(this, [button = HelpButton] { button->click(); });
  resize(460, 480);
}

const ReportDefinition& TRptSelect::Chosen() const {
  const int row = ListBox1->currentRow();
  return Reports()[row < 0 ? 0 : static_cast<size_t>(row)];
}

void TRptSelect::FormShow() {
  DateLabel->setText(app_.short_date_order() == company::DateOrder::kDayFirst
                         ? kDateSelectionDayFirst
                         : kDateSelectionLabel);
  ComboBox1->setCurrentText(kPresetMonthToDate);
  ComboBox1Change();
  ListBox1->setCurrentRow(0);
  ListBox1Click();
  ListBox1->setFocus();
}

int TRptSelect::Execute() {
  FormShow();
  return app_.services().windows.RunModal(kRptSelectName,
                                          [this] { return exec(); });
}

void TRptSelect::ComboBox1Change() {
  const std::optional<DateRange> range =
      PresetRange(FromQ(ComboBox1->currentText()), app_.Today());
  if (!range) return;
  IDate->setText(ToQString(app_.FormatDate(range->from)));
  EndDt->setText(ToQString(app_.FormatDate(range->to)));
}

void TRptSelect::ListBox1Click() {
  const ReportDefinition& def = Chosen();
  RType->setText(def.description);
  const bool dates = def.uses_range;
  FromLabel->setText(dates ? kFromLabel : kSearchesAllDates);
  for (QWidget* w : std::initializer_list<QWidget*>{
           IDate, IDateButton, ToLabel, EndDt, EndDtButton, ComboBox1}) {
    w->setVisible(dates);
  }
}

void TRptSelect::PickInto(QLineEdit* field) {
  if (std::optional<std::string> date =
          company::ui::PickDate(app_, this, FromQ(field->text()))) {
    field->setText(ToQString(*date));
    ComboBox1->setCurrentText(kPresetCustomDates);
  }
}

void TRptSelect::Button1Click() {
  const ReportDefinition& def = Chosen();
  platform::Messages& messages = app_.services().messages;
  ReportRequest request;
  request.kind = def.kind;
  if (def.uses_range) {
    request.from_text = company::Trim(FromQ(IDate->text()));
    request.to_text = company::Trim(FromQ(EndDt->text()));
    const DateCheck check = CheckReportDates(request.from_text,
                                             request.to_text,
                                             app_.short_date_order());
    if (check.field != DateField::kNone) {
      platform::Warn(messages, check.caption, check.text);
      (check.field == DateField::kTo ? EndDt : IDate)->setFocus();
      return;
    }
    request.from = check.range.from;
    request.to = check.range.to;
  }
  Report report;
  ReportResult result;
  {
    company::BusyGuard busy(app_);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    result = BuildReport(app_, request, &report);
    QApplication::restoreOverrideCursor();
  }
  if (result.outcome != ReportOutcome::kOk) {
    platform::Inform(messages, result.caption, result.message);
    if (def.uses_range) IDate->setFocus();
    return;
  }
  Trtreport viewer(app_, std::move(report), this);
  viewer.Execute();
}

}  // namespace tallybook::receivables::ui
