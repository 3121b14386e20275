#include "billing/ui/select_repeat.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "billing/repeat_run.h"
#include "billing/repeat_setup.h"
#include "company/text.h"
#include "company/ui/cal_form.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

// Both date fields: two, two and four digits, blanks shown as "_".
constexpr char kDateMask[] = "99/99/9999;_";

// The list's column captions, over the columns of RepeatListLine.
constexpr char kColumnCaptions[] =
    "Master#   Short Name  Invoice Total Next Due   Customer# Created";

}  // namespace

TSelectRepeat::TSelectRepeat(company::App& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("TSelectRepeat"));
  setWindowTitle(QString::fromLatin1(kRepeatWizardCaption));
  EndDate = new QLineEdit(this);
  EndDate->setInputMask(QString::fromLatin1(kDateMask));
  CalendarBtn1 = new QPushButton(QStringLiteral("..."), this);
  NewInvDate = new QLineEdit(this);
  NewInvDate->setInputMask(QString::fromLatin1(kDateMask));
  CalendarBtn2 = new QPushButton(QStringLiteral("..."), this);
  InvComm = new QLineEdit(this);
  InvComm->setMaxLength(kReferenceWidth);
  const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  ColumnCaptions = new QLabel(QString::fromLatin1(kColumnCaptions), this);
  ColumnCaptions->setFont(mono);
  ListBox1 = new QListWidget(this);
  ListBox1->setFont(mono);
  ListBox1->setSelectionMode(QAbstractItemView::NoSelection);
  ListBox1->setMinimumWidth(
      QFontMetrics(mono).horizontalAdvance(QString(70, QChar('M'))));
  ProgressBar1 = new QProgressBar(this);
  StatusLabel = new QLabel(this);
  SearchBtn = new QPushButton(QStringLiteral("&Search"), this);
  CreateBtn = new QPushButton(QStringLiteral("Create In&voices"), this);
  CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
  HelpBtn = new QPushButton(QStringLiteral("Help"), this);
  for (QPushButton* b :
       {CalendarBtn1, CalendarBtn2, CreateBtn, CancelBtn, HelpBtn}) {
    b->setAutoDefault(false);
  }
  SearchBtn->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  auto* fields = new QGridLayout;
  fields->addWidget(
      new QLabel(QStringLiteral(
                     "Search for invoices due to be created through this date:"),
                 this),
      0, 0);
  fields->addWidget(EndDate, 0, 1);
  fields->addWidget(CalendarBtn1, 0, 2);
  fields->addWidget(new QLabel(QStringLiteral("Invoice Date:"), this), 1, 0);
  fields->addWidget(NewInvDate, 1, 1);
  fields->addWidget(CalendarBtn2, 1, 2);
  fields->addWidget(new QLabel(QStringLiteral("Billing Reference/Comments:"), this),
                    2, 0);
  fields->addWidget(InvComm, 2, 1, 1, 2);
  layout->addLayout(fields);
  layout->addWidget(ColumnCaptions);
  layout->addWidget(ListBox1);
  layout->addWidget(ProgressBar1);
  layout->addWidget(StatusLabel);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {SearchBtn, CreateBtn, CancelBtn, HelpBtn}) {
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  connect(SearchBtn, &QPushButton::clicked, this, &TSelectRepeat::SearchBtnClick);
  connect(CalendarBtn1, &QPushButton::clicked, this,
          &TSelectRepeat::CalendarBtn1Click);
  connect(CalendarBtn2, &QPushButton::clicked, this,
          &TSelectRepeat::CalendarBtn2Click);
  connect(CreateBtn, &QPushButton::clicked, this, &TSelectRepeat::CreateBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, &TSelectRepeat::HelpBtnClick);
  platform::qt::UseFormKeys(this, nullptr, [this] { HelpBtnClick(); });
  InvComm->setText(QString::fromLatin1(kDefaultReference));
}

int TSelectRepeat::Execute() {
  FormShow();
  return app_.services().windows.RunModal("TSelectRepeat",
                                          [this] { return exec(); });
}

void TSelectRepeat::FormShow() {
  EndDate->setText(ToQString(app_.TodayText));
  NewInvDate->setText(ToQString(app_.TodayText));
  ListBox1->clear();
  StatusLabel->setText(ToQString(LastGeneratedText(app_.CurrentCompany)));
  CreateBtn->setEnabled(false);
  ProgressBar1->reset();
}

void TSelectRepeat::SearchBtnClick() {
  const std::string through_text = FromQString(EndDate->text());
  const std::optional<company::Date> through = app_.ParseDate(through_text);
  if (!through) {
    platform::Warn(app_.services().messages, kRepeatWizardCaption,
                   kInvalidDateText);
    EndDate->setFocus();
    return;
  }
  StatusLabel->setText(QString::fromLatin1(kWorkingText));
  ListBox1->clear();
  const RepeatSearch search = SearchDueMasters(app_, *through);
  for (const std::string& line : search.lines) {
    ListBox1->addItem(ToQString(line));
  }
  StatusLabel->setText(
      ToQString(SelectedText(search.lines.size(), search.sum)));
  NewInvDate->setText(ToQString(through_text));
  CreateBtn->setEnabled(!search.lines.empty());
  if (search.lines.empty()) {
    platform::Inform(app_.services().messages, kNothingDueCaption,
                     kNothingDueText);
  }
}

void TSelectRepeat::CalendarBtn1Click() {
  const std::optional<std::string> chosen =
      company::ui::PickDate(app_, this, FromQString(EndDate->text()));
  if (!chosen) return;
  EndDate->setText(ToQString(*chosen));
  SearchBtnClick();
}

void TSelectRepeat::CalendarBtn2Click() {
  const std::optional<std::string> chosen =
      company::ui::PickDate(app_, this, FromQString(NewInvDate->text()));
  if (chosen) NewInvDate->setText(ToQString(*chosen));
}

void TSelectRepeat::CreateBtnClick() {
  RepeatRunRequest request;
  request.invoice_date = FromQString(NewInvDate->text());
  request.reference = FromQString(InvComm->text());
  for (int i = 0; i < ListBox1->count(); ++i) {
    request.masters.push_back(
        MasterNoOfLine(FromQString(ListBox1->item(i)->text())));
  }
  if (!app_.ParseDate(request.invoice_date)) {
    platform::Warn(app_.services().messages, kInvoiceDateCaption,
                   kInvalidDateText);
    NewInvDate->setFocus();
    return;
  }
  CreateBtn->setEnabled(false);
  ProgressBar1->setRange(0, static_cast<int>(request.masters.size()));
  ProgressBar1->setValue(0);
  StatusLabel->setText(QString::fromLatin1(kWorkingText));
  const RepeatRunResult result =
      CreateRepeatInvoices(app_, request, [this](int done) {
        ProgressBar1->setValue(done);
        QApplication::processEvents();
      });
  StatusLabel->setText(QString::fromLatin1(kCompleteStatus));
  ProgressBar1->setValue(ProgressBar1->maximum());
  ShowRunComplete(app_, result);
  accept();
}

void TSelectRepeat::HelpBtnClick() {
  app_.services().help.ShowHelp(kRepeatWizardHelp);
}

}  // namespace tallybook::billing::ui
