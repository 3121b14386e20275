// TCalForm: the date selection window shared by every window with a date
// button ("..." beside a date field) and by the main window's View Calendar.
//
// A month calendar, a month list, a year list around the calendar's year,
// the chosen date in the company's order and its long form. Double-clicking
// a day or "&Ok" closes with OK; the caller then takes ChosenText().
#ifndef TALLYBOOK_COMPANY_UI_CAL_FORM_H_
#define TALLYBOOK_COMPANY_UI_CAL_FORM_H_

#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <optional>
#include <string>
#include <string_view>

#include "company/app.h"
#include "company/format.h"

namespace tallybook::company::ui {

inline constexpr char kDateSelectionCaption[] = "Date Selection";
inline constexpr char kViewCalendarCaption[] = "View Calendar";
inline constexpr char kCalendarHelpTopic[] = "VkCalendar";

class TCalForm : public QDialog {
  Q_OBJECT

 public:
  TCalForm(App& app, QWidget* parent = nullptr);

  // Puts the calendar on date (a valid date) and refreshes both lines.
  void SetDate(const Date& date);
  // The calendar's date.
  Date CurrentDate() const;
  // The chosen-date line ("mm/dd/yyyy" or "dd/mm/yyyy" by the short date
  // format), Windows-1252.
  std::string ChosenText() const;

  // Controls, named as the window's own.
  QCalendarWidget* Calendar1;
  QComboBox* MonthList;
  QComboBox* YearList;
  QLabel* ChosenDate;
  QLabel* LongDate;
  QPushButton* OkButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  // Handlers.
  void Calendar1Change();
  void MonthListChange(int index);
  void YearListChange();
  void HelpButtonClick();

 private:
  // Refills the year list around the calendar's year and writes both lines.
  void Refresh();

  App& app_;
  bool refreshing_ = false;
};

// Lets the user pick a date for a date field: the window starts on the
// field's date (today when the field holds none), shown through the
// platform as "TCalForm" under caption. The chosen-date text on OK,
// nullopt on Cancel. The window is a child of parent while it is shown (a
// scripted test finds it there) and is gone afterwards.
std::optional<std::string> PickDate(App& app, QWidget* parent,
                                    std::string_view field_text,
                                    const std::string& caption =
                                        kDateSelectionCaption);

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_CAL_FORM_H_
