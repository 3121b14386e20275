#include "billing/ui/product_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/qt/number_fields.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {
// Longest notes text the record holds.
constexpr int kNotesLength = 150;
}  // namespace

TUpdProd::TUpdProd(company::App& app, ProductForm& form, ProductCheck check,
                   QWidget* parent)
    : QDialog(parent), app_(app), form_(form), check_(std::move(check)) {
  setWindowTitle(ToQString(form.caption));
  PNum = new QLineEdit(ToQString(form.code), this);
  PNum->setMaxLength(10);
  PDesc = new QLineEdit(ToQString(form.description), this);
  PDesc->setMaxLength(32);
  PSell = new QLineEdit(ToQString(form.price), this);
  // A unit price, with the grid's three decimals.
  platform::qt::MakeAmountField(PSell, 10, platform::qt::kQuantityDecimals);
  CheckBox1 = new QCheckBox("&Taxable", this);
  CheckBox1->setChecked(form.taxable);
  PNote = new QPlainTextEdit(ToQString(form.notes), this);
  PNote->setTabChangesFocus(true);
  connect(PNote, &QPlainTextEdit::textChanged, this, [this] {
    // The record keeps kNotesLength characters; more cannot be typed.
    const QString text = PNote->toPlainText();
    if (text.size() > kNotesLength) PNote->setPlainText(text.left(kNotesLength));
  });

  auto* fields = new QFormLayout;
  fields->addRow("Product Code:", PNum);
  fields->addRow("Product Description:", PDesc);
  fields->addRow("Sales Price:", PSell);
  fields->addRow("", CheckBox1);
  fields->addRow("Notes/Comments:", PNote);

  OKButton = new QPushButton("&Ok", this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  HelpButton = new QPushButton("&Help", this);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] {
    app_.services().help.ShowHelp(kProductDialogHelpTopic);
  });
  platform::qt::UseFormKeys(this, OKButton, [this] { HelpButton->click(); });
  platform::qt::EnableWhileAmounts(OKButton, {PSell}, /*empty_is_zero=*/true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);

  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  StatusPanel0 = new QLabel(ToQString(form.setup_panel), this);
  StatusPanel1 = new QLabel(ToQString(form.last_change_panel), this);
  status->addWidget(StatusPanel0, 1);
  status->addWidget(StatusPanel1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  layout->addWidget(status);
  PNum->setFocus();
  changes_.Reset();
}

void TUpdProd::reject() {
  if (!platform::qt::MayDiscardChanges(app_.services().messages, changes_)) {
    return;
  }
  QDialog::reject();
}

bool TUpdProd::Execute() {
  return app_.services().windows.RunModal(kUpdProdName,
                                          [this] { return exec(); }) ==
         platform::kModalOk;
}

void TUpdProd::OKButtonClick() {
  form_.code = FromQString(PNum->text());
  form_.description = FromQString(PDesc->text());
  form_.price = FromQString(PSell->text());
  form_.taxable = CheckBox1->isChecked();
  form_.notes = FromQString(PNote->toPlainText());
  switch (check_ ? check_(form_) : ProductField::kNone) {
    case ProductField::kCode:
      PNum->setFocus();
      return;
    case ProductField::kDescription:
      PDesc->setFocus();
      return;
    case ProductField::kNone:
      break;
  }
  PSell->setText(ToQString(form_.price));
  accept();
}

}  // namespace tallybook::billing::ui
