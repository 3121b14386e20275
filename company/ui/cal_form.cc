#include "company/ui/cal_form.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTextCharFormat>
#include <QVBoxLayout>

#include "company/calendar.h"
#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

namespace {

using platform::qt::FromQString;
using platform::qt::ToQString;

Date FromQDate(const QDate& d) { return Date{d.year(), d.month(), d.day()}; }
QDate ToQDate(const Date& d) { return QDate(d.year, d.month, d.day); }

}  // namespace

TCalForm::TCalForm(App& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("TCalForm");
  setWindowTitle(kDateSelectionCaption);
  Calendar1 = new QCalendarWidget(this);
  Calendar1->setObjectName("Calendar1");
  Calendar1->setNavigationBarVisible(false);
  Calendar1->setGridVisible(true);
  MonthList = new QComboBox(this);
  MonthList->setObjectName("MonthList");
  for (int m = 1; m <= 12; ++m) MonthList->addItem(MonthName(m));
  YearList = new QComboBox(this);
  YearList->setObjectName("YearList");
  YearList->setEditable(true);
  YearList->setInsertPolicy(QComboBox::NoInsert);
  ChosenDate = new QLabel(this);
  ChosenDate->setObjectName("ChosenDate");
  LongDate = new QLabel(this);
  LongDate->setObjectName("LongDate");
  OkButton = new QPushButton("&Ok", this);
  OkButton->setObjectName("OkButton");
  OkButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  CancelButton->setObjectName("CancelButton");
  HelpButton = new QPushButton("Help", this);
  HelpButton->setObjectName("HelpButton");

  auto* lists = new QHBoxLayout;
  lists->addWidget(MonthList, 2);
  lists->addWidget(YearList, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists);
  layout->addWidget(Calendar1);
  layout->addWidget(ChosenDate);
  layout->addWidget(LongDate);
  layout->addLayout(buttons);

  connect(Calendar1, &QCalendarWidget::selectionChanged, this,
          [this] { Calendar1Change(); });
  connect(Calendar1, &QCalendarWidget::currentPageChanged, this,
          [this](int year, int month) {
            // Paging the grid moves the chosen date along, day kept.
            if (refreshing_) return;
            Date d = CurrentDate();
            Date moved{year, month, d.day};
            if (moved.day > DaysInMonth(year, month)) moved.day = DaysInMonth(year, month);
            SetDate(moved);
          });
  connect(Calendar1, &QCalendarWidget::activated, this, [this] { accept(); });
  connect(MonthList, &QComboBox::activated, this,
          [this](int index) { MonthListChange(index); });
  connect(YearList, &QComboBox::activated, this, [this] { YearListChange(); });
  connect(YearList->lineEdit(), &QLineEdit::editingFinished, this,
          [this] { YearListChange(); });
  connect(OkButton, &QPushButton::clicked, this, [this] { accept(); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { reject(); });
  connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
  platform::qt::HelpOnF1(this, [this] { HelpButton->click(); });

  SetDate(app_.Today());
}

void TCalForm::SetDate(const Date& date) {
  if (!date.IsValid()) return;
  refreshing_ = true;
  Calendar1->setSelectedDate(ToQDate(date));
  Calendar1->setCurrentPage(date.year, date.month);
  refreshing_ = false;
  Refresh();
}

Date TCalForm::CurrentDate() const {
  return FromQDate(Calendar1->selectedDate());
}

std::string TCalForm::ChosenText() const {
  return FromQString(ChosenDate->text());
}

void TCalForm::Calendar1Change() {
  if (refreshing_) return;
  Refresh();
}

void TCalForm::MonthListChange(int index) {
  SetDate(WithMonth(CurrentDate(), index + 1));
}

void TCalForm::YearListChange() {
  // WithYearText keeps the date for a text that is no year; Refresh then
  // puts the calendar's year back into the field.
  SetDate(WithYearText(CurrentDate(), FromQString(YearList->currentText())));
}

void TCalForm::HelpButtonClick() {
  app_.services().help.ShowHelp(kCalendarHelpTopic);
}

void TCalForm::Refresh() {
  refreshing_ = true;
  const Date date = CurrentDate();
  MonthList->setCurrentIndex(date.month - 1);
  YearList->clear();
  for (int year : company::YearList(date.year)) {
    YearList->addItem(QString::number(year));
  }
  YearList->setCurrentText(QString::number(date.year));
  ChosenDate->setText(ToQString(ChosenDateText(date, app_.short_date_order())));
  LongDate->setText(ToQString(LongDateText(date)));
  refreshing_ = false;
}

std::optional<std::string> PickDate(App& app, QWidget* parent,
                                    std::string_view field_text,
                                    const std::string& caption) {
  TCalForm form(app, parent);
  form.setWindowTitle(ToQString(caption));
  form.SetDate(StartingDate(field_text, app.short_date_order(), app.Today()));
  if (parent) {
    form.adjustSize();
    QRect frame = parent->window()->geometry();
    form.move(frame.center() - form.rect().center());
  }
  const int result =
      app.services().windows.RunModal("TCalForm", [&] { return form.exec(); });
  form.setWindowTitle(kDateSelectionCaption);
  if (result != platform::kModalOk) return std::nullopt;
  return form.ChosenText();
}

}  // namespace tallybook::company::ui
