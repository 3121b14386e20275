#include "billing/ui/repeat_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "company/ui/cal_form.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/number_fields.h"
#include "platform/qt/text_codec.h"

namespace tallybook::billing::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

// The next creation date's mask: two, two and four digits, blanks shown as
// spaces, the slashes kept in the text.
inline constexpr char kEndDateMask[] = "99/99/9999; ";

TRepeatForm::TRepeatForm(company::App& app, RepeatSetupForm form,
                         QWidget* parent)
    : QDialog(parent), app_(app), form_(std::move(form)) {
  setObjectName(QStringLiteral("TRepeatForm"));
  setWindowTitle(QString::fromLatin1(kRepeatFormCaption));
  Label1 = new QLabel(ToQString(form_.invoice_label), this);
  Label2 = new QLabel(ToQString(form_.date_label), this);
  Label3 = new QLabel(ToQString(form_.name_label), this);
  Panel1 = new QWidget(this);
  CheckBox1 = new QCheckBox(QString::fromLatin1(kGenerateCheckCaption), Panel1);
  NumDays = new QLineEdit(Panel1);
  platform::qt::MakeWholeNumberField(NumDays, 3);
  NumDays->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  RBDays = new QRadioButton(QStringLiteral("Days"), this);
  RBMonths = new QRadioButton(QStringLiteral("Month(s)"), this);
  EndDate = new QLineEdit(this);
  EndDate->setInputMask(QString::fromLatin1(kEndDateMask));
  CalendarBtn = new QPushButton(QStringLiteral("..."), this);
  Label8 = new QLabel(ToQString(form_.count_label), this);
  OKButton = new QPushButton(QStringLiteral("OK"), this);
  CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
  HelpButton = new QPushButton(QStringLiteral("Help"), this);
  OKButton->setDefault(true);
  for (QPushButton* b : {CalendarBtn, CancelButton, HelpButton}) {
    b->setAutoDefault(false);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(Label3);
  auto* panel = new QGridLayout(Panel1);
  panel->setContentsMargins(0, 0, 0, 0);
  panel->addWidget(CheckBox1, 0, 0, 1, 3);
  panel->addWidget(new QLabel(QStringLiteral("How often do I create this invoice?"),
                              Panel1),
                   1, 0, 1, 3);
  panel->addWidget(new QLabel(QStringLiteral("Every:"), Panel1), 2, 0);
  panel->addWidget(NumDays, 2, 1);
  layout->addWidget(Panel1);
  auto* unit = new QHBoxLayout;
  unit->addWidget(RBDays);
  unit->addWidget(RBMonths);
  unit->addStretch();
  layout->addLayout(unit);
  auto* date = new QHBoxLayout;
  date->addWidget(new QLabel(QStringLiteral("Next Scheduled Creation Date:"), this));
  date->addWidget(EndDate);
  date->addWidget(CalendarBtn);
  layout->addLayout(date);
  layout->addWidget(Label8);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);
  layout->addLayout(buttons);

  CheckBox1->setChecked(form_.generate);
  CheckBox1->setEnabled(form_.generate_enabled);
  NumDays->setText(ToQString(form_.interval));
  (form_.months ? RBMonths : RBDays)->setChecked(true);
  EndDate->setText(ToQString(form_.next_date));
  Panel1->setVisible(form_.panel_visible);
  CheckBox1Click();

  connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
  connect(CalendarBtn, &QPushButton::clicked, this,
          &TRepeatForm::CalendarBtnClick);
  connect(OKButton, &QPushButton::clicked, this, &TRepeatForm::OKButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this,
          &TRepeatForm::HelpButtonClick);
  platform::qt::UseFormKeys(this, OKButton, [this] { HelpButtonClick(); });
  changes_.Reset();
}

int TRepeatForm::Execute() {
  return app_.services().windows.RunModal("TRepeatForm",
                                          [this] { return exec(); });
}

void TRepeatForm::CheckBox1Click() {
  OKButton->setEnabled(CheckBox1->isChecked());
  NumDays->setEnabled(CheckBox1->isChecked());
}

void TRepeatForm::CalendarBtnClick() {
  const std::optional<std::string> chosen =
      company::ui::PickDate(app_, this, FromQString(EndDate->text()));
  if (chosen) EndDate->setText(ToQString(*chosen));
}

void TRepeatForm::OKButtonClick() {
  form_.generate = CheckBox1->isChecked();
  form_.interval = FromQString(NumDays->text());
  form_.months = RBMonths->isChecked();
  form_.next_date = FromQString(EndDate->text());
  switch (CheckRepeatSetup(app_, form_)) {
    case RepeatSetupField::kInterval:
      NumDays->setFocus();
      return;
    case RepeatSetupField::kNextDate:
      EndDate->setFocus();
      return;
    case RepeatSetupField::kNone:
      break;
  }
  outcome_ = SaveRepeatSetup(app_, form_);
  if (outcome_.changed) {
    accept();
  } else {
    // Nothing was stored (the reason was shown): the dialog closes as
    // Cancel, so that the manager re-reads what is on file.
    QDialog::reject();
  }
}

void TRepeatForm::HelpButtonClick() {
  app_.services().help.ShowHelp(kRepeatSetupHelp);
}

void TRepeatForm::reject() {
  if (!platform::qt::MayDiscardChanges(app_.services().messages, changes_)) {
    return;
  }
  QDialog::reject();
}

}  // namespace tallybook::billing::ui
