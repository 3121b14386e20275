#include "company/ui/cal_form.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "company/ui/ui_test_support.h"
#include "platform/qt/text_codec.h"

namespace tallybook::company::ui {
namespace {

using platform::kModalCancel;
using platform::kModalOk;

class CalFormTest : public ::testing::Test, public ShellFixture {};

TEST_F(CalFormTest, LinesFollowTheCompanyDateOrder) {
  TCalForm form(*app);
  EXPECT_EQ(form.windowTitle(), "Date Selection");
  form.SetDate(Date{2024, 4, 3});
  EXPECT_EQ(form.ChosenText(), "04/03/2024");
  EXPECT_EQ(form.LongDate->text(), "Wednesday, April 3, 2024");
  EXPECT_EQ(form.MonthList->currentText(), "April");
  EXPECT_EQ(form.YearList->currentText(), "2024");

  app->SetShortDateOrder(DateOrder::kDayFirst);
  TCalForm day_first(*app);
  day_first.SetDate(Date{2024, 4, 3});
  EXPECT_EQ(day_first.ChosenText(), "03/04/2024");
}

TEST_F(CalFormTest, MonthAndYearListsMoveTheCalendar) {
  TCalForm form(*app);
  ASSERT_EQ(form.MonthList->count(), 12);
  EXPECT_EQ(form.MonthList->itemText(0), "January");
  EXPECT_EQ(form.MonthList->itemText(11), "December");
  form.SetDate(Date{2024, 1, 31});
  ASSERT_EQ(form.YearList->count(), 7);
  EXPECT_EQ(form.YearList->itemText(0), "2021");
  EXPECT_EQ(form.YearList->itemText(6), "2027");

  form.MonthListChange(1);  // February: the 31st would be no date
  EXPECT_EQ(form.ChosenText(), "02/01/2024");
  EXPECT_EQ(form.LongDate->text(), "Thursday, February 1, 2024");

  form.YearList->setEditText("2026");
  form.YearListChange();
  EXPECT_EQ(form.ChosenText(), "02/01/2026");
  EXPECT_EQ(form.YearList->itemText(0), "2023");

  form.YearList->setEditText("20z6");
  form.YearListChange();
  EXPECT_EQ(form.ChosenText(), "02/01/2026");
  EXPECT_EQ(form.YearList->currentText(), "2026");
}

TEST_F(CalFormTest, DoubleClickOnADayClosesWithOk) {
  TCalForm form(*app);
  QSignalSpy accepted(&form, &QDialog::accepted);
  emit form.Calendar1->activated(QDate(2024, 4, 3));
  EXPECT_EQ(accepted.count(), 1);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.OkButton->text(), "&Ok");
  EXPECT_EQ(form.CancelButton->text(), "&Cancel");
  form.HelpButtonClick();
  EXPECT_EQ(ui.help.topics(), std::vector<std::string>{"VkCalendar"});
}

TEST_F(CalFormTest, PickDateStartsOnTheFieldAndReturnsTheChoice) {
  QWidget parent;
  ui.windows.ExpectWindow("TCalForm", [&] {
    auto* form = parent.findChild<TCalForm*>();
    EXPECT_NE(form, nullptr);
    if (!form) return kModalCancel;
    EXPECT_EQ(form->windowTitle(), "Date Selection");
    EXPECT_EQ(form->ChosenText(), "12/25/2023");
    form->MonthListChange(2);
    return kModalOk;
  });
  EXPECT_EQ(PickDate(*app, &parent, "12/25/2023"), "03/01/2023");

  ui.windows.ExpectWindow("TCalForm", kModalCancel);
  EXPECT_EQ(PickDate(*app, &parent, "12/25/2023"), std::nullopt);
  EXPECT_EQ(parent.findChild<TCalForm*>(), nullptr);
}

TEST_F(CalFormTest, PickDateOnAFieldWithoutADateStartsOnToday) {
  QWidget parent;
  app->SetShortDateOrder(DateOrder::kDayFirst);
  ui.windows.ExpectWindow("TCalForm", [&] {
    auto* form = parent.findChild<TCalForm*>();
    EXPECT_EQ(form->windowTitle(), "Pick");
    EXPECT_EQ(form->ChosenText(), "03/04/2024");
    EXPECT_EQ(form->LongDate->text(), "Wednesday, April 3, 2024");
    return kModalOk;
  });
  EXPECT_EQ(PickDate(*app, &parent, "31/02/2024", "Pick"), "03/04/2024");
}

TEST_F(CalFormTest, DayFirstFieldTextIsReadAsDayFirst) {
  QWidget parent;
  app->SetShortDateOrder(DateOrder::kDayFirst);
  ui.windows.ExpectWindow("TCalForm", [&] {
    auto* form = parent.findChild<TCalForm*>();
    EXPECT_EQ(form->CurrentDate(), (Date{2024, 4, 3}));
    return kModalOk;
  });
  EXPECT_EQ(PickDate(*app, &parent, "03/04/2024"), "03/04/2024");
}

}  // namespace
}  // namespace tallybook::company::ui
