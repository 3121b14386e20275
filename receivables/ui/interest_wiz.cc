#include "receivables/ui/interest_wiz.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "company/terms.h"
#include "company/text.h"
#include "company/ui/cal_form.h"
#include "platform/modal_windows.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"
#include "receivables/interest_report.h"
#include "receivables/ui/grid_cells.h"

namespace tallybook::receivables::ui {
namespace {

using platform::qt::FromQString;
using platform::qt::ToQString;

constexpr int kFirstAmountColumn = 2;

// The text of a masked box without the mask's blanks.
std::string Unmasked(const QLineEdit* edit) {
  std::string text = FromQString(edit->text());
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

QPushButton* Button(const char* caption,
                    std::initializer_list<const char*> icon, QWidget* parent) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  platform::qt::SetThemeIcon(b, icon);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TInterestWiz::TInterestWiz(company::App& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  BuildControls();
}

void TInterestWiz::BuildControls() {
  setWindowTitle(QString::fromLatin1(kInterestWizardCaption));
  AgingGroup = new QGroupBox(" Calculate for Accounts Over ", this);
  days30 = new QRadioButton(AgingGroup);
  days60 = new QRadioButton(AgingGroup);
  days90 = new QRadioButton(AgingGroup);
  auto* aging = new QVBoxLayout(AgingGroup);
  for (QRadioButton* r : {days30, days60, days90}) aging->addWidget(r);

  IPct = new QLineEdit(this);
  IPct->setInputMask(QString::fromLatin1(kPercentMask));
  MinChg = new QLineEdit(this);
  MinChg->setInputMask(QString::fromLatin1(kMinimumMask));
  FlatCB = new QCheckBox("Use Flat Fee for Charges", this);
  FlatRate = new QLineEdit(this);
  FlatRate->setMaxLength(kFlatRateLength);
  FlatRate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Digits, points and a minus reach the box; its checks on leaving it
  // tell what is wrong with them.
  FlatRate->setValidator(new QRegularExpressionValidator(
      QRegularExpression("[-0-9.]*"), FlatRate));
  IPrin = new QCheckBox("Mark Invoices as Printed", this);
  IDate = new QLineEdit(this);
  IDate->setInputMask(QString::fromLatin1(kInterestDateMask));
  CalendarBtn = Button("...", {}, this);
  LastDate = new QLabel(this);
  InvComm = new QLineEdit(this);
  InvComm->setMaxLength(kInterestCommentsLength);
  ITerms = new QComboBox(this);
  ITerms->setEditable(true);
  ITerms->lineEdit()->setMaxLength(kInterestTermsLength);
  ITerms->setInsertPolicy(QComboBox::NoInsert);
  StmntNote = new QLineEdit(this);
  StmntNote->setMaxLength(kInterestTermsLength);

  CustGrid = new QTableWidget(this);
  CustGrid->setObjectName("CustGrid");
  CustGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  CustGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  CustGrid->verticalHeader()->hide();
  // Data cells of columns 2 and beyond are drawn aligned on the decimal
  // point.
  CustGrid->setItemDelegate(new DecimalPointDelegate(
      [](int column) { return column >= kFirstAmountColumn; }, CustGrid));
  Prompt = new QLabel(this);

  Button1 = Button("Scan File", {"edit-find", "system-search"}, this);
  GenInv = Button("Generate Invoices", {"document-new"}, this);
  CancelBtn = Button("&Cancel", {"dialog-cancel", "window-close"}, this);
  HelpBtn = Button("Help", {"help-contents"}, this);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(AgingGroup);
  auto* rates = new QGridLayout;
  rates->addWidget(new QLabel("Monthly Percentage Rate:", this), 0, 0);
  rates->addWidget(IPct, 0, 1);
  rates->addWidget(new QLabel("Minimum Interest Charge:", this), 1, 0);
  rates->addWidget(MinChg, 1, 1);
  rates->addWidget(FlatCB, 2, 0, 1, 2);
  rates->addWidget(new QLabel("Flat Rate:", this), 3, 0);
  rates->addWidget(FlatRate, 3, 1);
  rates->addWidget(new QLabel("(flat fee overrides above settings)", this), 4,
                   0, 1, 2);
  top->addLayout(rates);
  auto* invoice = new QGridLayout;
  invoice->addWidget(IPrin, 0, 0, 1, 3);
  invoice->addWidget(new QLabel("Invoice Date:", this), 1, 0);
  invoice->addWidget(IDate, 1, 1);
  invoice->addWidget(CalendarBtn, 1, 2);
  invoice->addWidget(LastDate, 2, 0, 1, 3);
  top->addLayout(invoice);
  layout->addLayout(top);
  auto* texts = new QGridLayout;
  texts->addWidget(new QLabel("Invoice Comments/Reference:", this), 0, 0);
  texts->addWidget(InvComm, 0, 1);
  texts->addWidget(new QLabel("Payment Terms:", this), 1, 0);
  texts->addWidget(ITerms, 1, 1);
  texts->addWidget(new QLabel("Statement Note:", this), 2, 0);
  texts->addWidget(StmntNote, 2, 1);
  layout->addLayout(texts);
  layout->addWidget(CustGrid, 1);
  layout->addWidget(Prompt);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {Button1, GenInv, CancelBtn, HelpBtn}) {
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  connect(Button1, &QPushButton::clicked, this, &TInterestWiz::Button1Click);
  connect(GenInv, &QPushButton::clicked, this, &TInterestWiz::GenInvClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, &TInterestWiz::HelpBtnClick);
  connect(CalendarBtn, &QPushButton::clicked, this,
          &TInterestWiz::CalendarBtnClick);
  connect(FlatCB, &QCheckBox::clicked, this, &TInterestWiz::FlatCBClick);
  for (QRadioButton* r : {days30, days60, days90}) {
    connect(r, &QRadioButton::clicked, this, &TInterestWiz::SettingChanged);
  }
  for (QLineEdit* e : {IPct, MinChg, FlatRate}) {
    connect(e, &QLineEdit::textEdited, this, &TInterestWiz::SettingChanged);
  }
  connect(FlatRate, &QLineEdit::editingFinished, this,
          &TInterestWiz::FlatRateExit);
  platform::qt::UseFormKeys(this, nullptr, [this] { HelpBtnClick(); });
  resize(820, 560);
}

void TInterestWiz::FormShow() {
  const company::CompanyRecord& co = app_.CurrentCompany;
  days30->setText(
      ToQString(AgingChoiceCaption(co, InterestAging::kOverLimit1)));
  days60->setText(
      ToQString(AgingChoiceCaption(co, InterestAging::kOverLimit2)));
  days90->setText(
      ToQString(AgingChoiceCaption(co, InterestAging::kOverLimit3)));
  const InterestSettings s = StoredInterestSettings(co, app_.TodayText);
  days30->setChecked(true);
  if (s.aging == InterestAging::kOverLimit2) days60->setChecked(true);
  if (s.aging == InterestAging::kOverLimit3) days90->setChecked(true);
  IPct->setText(ToQString(s.percent));
  // A kept ".10" fills the box from its point.
  MinChg->setText(
      ToQString(s.minimum.rfind('.', 0) == 0 ? " " + s.minimum : s.minimum));
  FlatCB->setChecked(false);
  FlatRate->setText(ToQString(s.flat_rate));
  IPrin->setChecked(s.mark_printed);
  IDate->setText(ToQString(s.invoice_date));
  LastDate->setText(ToQString(LastInterestText(co)));
  InvComm->setText(ToQString(s.comments));
  StmntNote->setText(ToQString(s.statement_note));
  company::TermList terms;
  company::LoadTerms(app_, &terms);
  ITerms->clear();
  for (const std::string& term : terms.terms())
    ITerms->addItem(ToQString(term));
  ITerms->setEditText(ToQString(s.terms));
  ApplyFlatState();

  scan_ = InterestScan{};
  scan_.aging = s.aging;
  scan_.aging_caption = AgingChoiceCaption(co, s.aging);
  run_.reset();
  FillGrid();
  CustGrid->setRowCount(0);
  Button1->setEnabled(true);
  GenInv->setEnabled(false);
  Prompt->setText(QString::fromLatin1(kEnterOptionsPrompt));
}

int TInterestWiz::Execute() {
  FormShow();
  return app_.services().windows.RunModal(kInterestWizName,
                                          [this] { return exec(); });
}

InterestSettings TInterestWiz::Settings() const {
  InterestSettings s;
  s.aging = days90->isChecked()   ? InterestAging::kOverLimit3
            : days60->isChecked() ? InterestAging::kOverLimit2
                                  : InterestAging::kOverLimit1;
  s.percent = Unmasked(IPct);
  s.minimum = Unmasked(MinChg);
  s.flat = FlatCB->isChecked();
  s.flat_rate = FromQString(FlatRate->text());
  s.mark_printed = IPrin->isChecked();
  s.invoice_date = Unmasked(IDate);
  s.comments = FromQString(InvComm->text());
  s.terms = FromQString(ITerms->currentText());
  s.statement_note = FromQString(StmntNote->text());
  return s;
}

void TInterestWiz::FillGrid() {
  const std::vector<GridLine> lines = InterestGridLines(scan_);
  const GridLine& head = lines.front();
  CustGrid->clear();
  CustGrid->setColumnCount(static_cast<int>(head.size()));
  QStringList labels;
  for (const std::string& text : head) labels << ToQString(text);
  CustGrid->setHorizontalHeaderLabels(labels);
  CustGrid->setRowCount(static_cast<int>(lines.size()) - 1);
  for (size_t r = 1; r < lines.size(); ++r) {
    for (size_t c = 0; c < lines[r].size(); ++c) {
      CustGrid->setItem(static_cast<int>(r) - 1, static_cast<int>(c),
                        new QTableWidgetItem(ToQString(lines[r][c])));
    }
  }
  // Widths from sample texts: 34, 13 and 13 "X", the rest for the last.
  const QFontMetrics metrics(CustGrid->font());
  const int widths[] = {metrics.horizontalAdvance(QString(34, 'X')),
                        metrics.horizontalAdvance(QString(13, 'X')),
                        metrics.horizontalAdvance(QString(13, 'X'))};
  for (int c = 0; c < 3; ++c) CustGrid->setColumnWidth(c, widths[c]);
  CustGrid->horizontalHeader()->setStretchLastSection(true);
}

void TInterestWiz::ApplyFlatState() {
  const bool flat = FlatCB->isChecked();
  FlatRate->setEnabled(flat);
  IPct->setEnabled(!flat);
  MinChg->setEnabled(!flat);
}

void TInterestWiz::FlatCBClick() {
  ApplyFlatState();
  SettingChanged();
}

void TInterestWiz::SettingChanged() { Button1->setEnabled(true); }

void TInterestWiz::FlatRateExit() {
  if (!FlatRate->isEnabled()) return;
  if (std::optional<InterestRefusal> refusal =
          CheckFlatRateText(FromQString(FlatRate->text()))) {
    platform::Warn(app_.services().messages, refusal->caption, refusal->text);
    FlatRate->setFocus();
  }
}

void TInterestWiz::FocusField(InterestField field) {
  switch (field) {
    case InterestField::kPercent:
      IPct->setFocus();
      break;
    case InterestField::kMinimum:
      MinChg->setFocus();
      break;
    case InterestField::kFlatRate:
      FlatRate->setFocus();
      break;
    case InterestField::kInvoiceDate:
      IDate->setFocus();
      break;
    case InterestField::kNone:
      break;
  }
}

void TInterestWiz::Button1Click() {
  Prompt->setText(QString::fromLatin1(kScanningPrompt));
  Button1->setEnabled(false);
  GenInv->setEnabled(false);
  CustGrid->setRowCount(0);
  const InterestSettings settings = Settings();
  InterestScanResult result;
  {
    WaitCursor wait;
    result = ScanInterest(app_, settings);
  }
  scan_ = result.scan;
  scan_.aging_caption = AgingChoiceCaption(app_.CurrentCompany, settings.aging);
  scanned_with_ = settings;
  FillGrid();
  switch (result.outcome) {
    case ScanOutcome::kFound:
      GenInv->setEnabled(true);
      Prompt->setText(
          ToQString(FoundPromptText(static_cast<int>(scan_.rows.size()))));
      break;
    case ScanOutcome::kNothingFound:
      Prompt->setText(QString::fromLatin1(kNoRecordsFoundPrompt));
      break;
    case ScanOutcome::kRefused:
    case ScanOutcome::kFileFailed:
      // Nothing was scanned: the user mends the setting and scans again.
      Button1->setEnabled(true);
      CustGrid->setRowCount(0);
      Prompt->setText(QString::fromLatin1(kEnterOptionsPrompt));
      if (result.refusal) FocusField(result.refusal->field);
      break;
  }
}

void TInterestWiz::GenInvClick() {
  // The grid of the last scan is what is billed; the invoice data are
  // taken as they are now.
  InterestSettings settings = Settings();
  settings.aging = scanned_with_.aging;
  settings.percent = scanned_with_.percent;
  settings.minimum = scanned_with_.minimum;
  settings.flat = scanned_with_.flat;
  settings.flat_rate = scanned_with_.flat_rate;
  InterestRunResult result;
  {
    WaitCursor wait;
    result = GenerateInterest(app_, settings, &scan_);
  }
  if (result.outcome == RunOutcome::kRefused) {
    if (result.refusal) FocusField(result.refusal->field);
    return;
  }
  GenInv->setEnabled(false);
  FillGrid();
  scanned_with_ = settings;
  run_ = result;
  accept();
}

void TInterestWiz::CalendarBtnClick() {
  std::optional<std::string> chosen =
      company::ui::PickDate(app_, this, Unmasked(IDate));
  if (chosen) IDate->setText(ToQString(*chosen));
}

void TInterestWiz::HelpBtnClick() {
  app_.services().help.ShowHelp(kInterestHelpTopic);
}

void RunInterestWizard(company::App& app, QWidget* parent) {
  TInterestWiz wizard(app, parent);
  wizard.Execute();
  if (!wizard.run()) return;
  const InterestReport report =
      MakeInterestReport(app, wizard.run_settings(), wizard.scan());
  const std::string status = FinishInterestRun(
      app, *wizard.run(), report,
      platform::qt::FromQFont(wizard.CustGrid->font(), Qt::black));
  if (!status.empty()) app.ShowStatus(status);
}

}  // namespace tallybook::receivables::ui
