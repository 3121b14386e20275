#include "billing/ui/customer_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "company/terms.h"
#include "company/text.h"
#include "platform/qt/number_fields.h"
#include "platform/qt/text_codec.h"

namespace tallybook::billing::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

constexpr int kNotesLength = 240;

QLineEdit* Field(QWidget* parent, const std::string& text, int max_length) {
  auto* edit = new QLineEdit(ToQString(text), parent);
  edit->setMaxLength(max_length);
  return edit;
}

}  // namespace

TEditDlg::TEditDlg(company::App& app, CustomerForm& form, CustomerCheck check,
                   QWidget* parent)
    : QDialog(parent), app_(app), form_(form), check_(std::move(check)) {
  setWindowTitle(ToQString(form.caption));
  CNo = Field(this, form.number, 8);
  CName = Field(this, form.name, 35);
  CTerms = new QComboBox(this);
  CTerms->setEditable(true);
  company::TermList terms;
  company::LoadTerms(app, &terms);
  for (const std::string& term : terms.terms()) CTerms->addItem(ToQString(term));
  CTerms->setEditText(ToQString(form.terms));
  CTerms->lineEdit()->setMaxLength(35);
  CustType = Field(this, form.customer_type, 25);
  CTE = Field(this, form.tax_exempt, 1);
  CLimit = Field(this, form.credit_limit, 10);
  platform::qt::MakeAmountField(CLimit, 10, platform::qt::kMoneyDecimals,
                                /*negative=*/false);
  for (int n = 0; n < 4; ++n) CAddEdit[n] = Field(this, form.bill[n], 35);
  for (int n = 0; n < 4; ++n) CShip[n] = Field(this, form.ship[n], 35);
  CPhone1 = Field(this, form.phone1, 25);
  CPhone2 = Field(this, form.phone2, 25);
  ShortName = Field(this, form.short_name, 10);
  MListCode = Field(this, form.mail_code, 15);
  EMadd = Field(this, form.email, 50);
  CstNote = new QPlainTextEdit(ToQString(form.notes), this);
  CstNote->setTabChangesFocus(true);
  connect(CstNote, &QPlainTextEdit::textChanged, this, [this] {
    const QString text = CstNote->toPlainText();
    if (text.size() > kNotesLength) CstNote->setPlainText(text.left(kNotesLength));
  });
  CRHold = new QCheckBox("Credit &Hold / Inactive Account", this);
  CRHold->setChecked(form.credit_hold);
  NotesOnInv = new QCheckBox("Print notes / comments on invoices", this);
  NotesOnInv->setChecked(form.notes_on_invoices);
  NotesOnStmnt = new QCheckBox("Print notes / comments on statements", this);
  NotesOnStmnt->setChecked(form.notes_on_statements);
  CBal = new QLabel(ToQString(form.balance), this);
  CheckBox1 = new QCheckBox("&Auto-Copy to Shipping", this);
  CheckBox1->setChecked(form.auto_copy);
  Button1 = new QPushButton("Copy Billing &to Shipping", this);
  Button2 = new QPushButton("Cl&ear Shipping", this);
  OKButton = new QPushButton("&Ok", this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  HelpButton = new QPushButton("Help", this);

  connect(CName, &QLineEdit::editingFinished, this, [this] { CNameExit(); });
  for (int n = 0; n < 4; ++n) {
    connect(CAddEdit[n], &QLineEdit::textChanged, this, [this, n](const QString& text) {
      if (CheckBox1->isChecked()) CShip[n]->setText(text);
    });
  }
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  auto help = [this] { app_.services().help.ShowHelp(kCustomerDialogHelpTopic); };
  connect(HelpButton, &QPushButton::clicked, this, help);
  platform::qt::UseFormKeys(this, OKButton, help);
  platform::qt::EnableWhileAmounts(OKButton, {CLimit}, /*empty_is_zero=*/true);

  auto* grid = new QGridLayout;
  int row = 0;
  // A caption's mnemonic focuses the field beside it.
  auto pair = [&](const char* label, QWidget* left, const char* label2,
                  QWidget* right) {
    auto* caption = new QLabel(label, this);
    caption->setBuddy(left);
    grid->addWidget(caption, row, 0);
    grid->addWidget(left, row, 1);
    if (right != nullptr) {
      auto* caption2 = new QLabel(label2, this);
      caption2->setBuddy(right);
      grid->addWidget(caption2, row, 2);
      grid->addWidget(right, row, 3);
    }
    ++row;
  };
  pair("C&ustomer #:", CNo, "Balance:", CBal);
  pair("Customer / Company Name:", CName, "Short Name:", ShortName);
  pair("Payment Terms:", CTerms, "Customer Type:", CustType);
  pair("Credit Limit:", CLimit, "TE:", CTE);
  for (int n = 0; n < 4; ++n) {
    pair(n == 0 ? "&Billing Address:" : "", CAddEdit[n],
         n == 0 ? "&Shipping Address:" : "", CShip[n]);
  }
  pair("&Phone1:", CPhone1, "Pho&ne2:", CPhone2);
  pair("E-Mail:", EMadd, "&Mail List Sort Code:", MListCode);
  grid->addWidget(new QLabel("Notes / Comments:", this), row++, 0);
  grid->addWidget(CstNote, row++, 0, 1, 4);

  auto* checks = new QHBoxLayout;
  checks->addWidget(CheckBox1);
  checks->addWidget(Button1);
  checks->addWidget(Button2);
  checks->addStretch(1);
  auto* flags = new QHBoxLayout;
  flags->addWidget(CRHold);
  flags->addWidget(NotesOnInv);
  flags->addWidget(NotesOnStmnt);
  flags->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(checks);
  layout->addLayout(flags);
  layout->addLayout(buttons);

  // Tab goes down the left column, then the right one, and down the whole
  // billing address before the shipping address.
  std::vector<QWidget*> order = {CNo, CName, CTerms, CLimit, ShortName,
                                 CustType, CTE};
  order.insert(order.end(), CAddEdit.begin(), CAddEdit.end());
  order.insert(order.end(), CShip.begin(), CShip.end());
  order.insert(order.end(),
               {CheckBox1, Button1, Button2, CPhone1, CPhone2, EMadd,
                MListCode, CstNote, CRHold, NotesOnInv, NotesOnStmnt,
                OKButton, CancelButton, HelpButton});
  for (size_t i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
  CName->setFocus();
  changes_.Reset();
}

void TEditDlg::reject() {
  if (!platform::qt::MayDiscardChanges(app_.services().messages, changes_)) {
    return;
  }
  QDialog::reject();
}

bool TEditDlg::Execute() {
  return app_.services().windows.RunModal(kEditDlgName,
                                          [this] { return exec(); }) ==
         platform::kModalOk;
}

void TEditDlg::CNameExit() {
  if (company::Trim(FromQString(ShortName->text())).empty()) {
    ShortName->setText(ToQString(ShortNameFor(FromQString(CName->text()))));
  }
}

void TEditDlg::Button1Click() {
  for (int n = 0; n < 4; ++n) CShip[n]->setText(CAddEdit[n]->text());
}

void TEditDlg::Button2Click() {
  for (QLineEdit* line : CShip) line->clear();
}

void TEditDlg::ReadControls() {
  form_.number = FromQString(CNo->text());
  form_.name = FromQString(CName->text());
  form_.terms = FromQString(CTerms->currentText());
  form_.customer_type = FromQString(CustType->text());
  form_.tax_exempt = FromQString(CTE->text());
  form_.credit_limit = FromQString(CLimit->text());
  for (int n = 0; n < 4; ++n) {
    form_.bill[n] = FromQString(CAddEdit[n]->text());
    form_.ship[n] = FromQString(CShip[n]->text());
  }
  form_.phone1 = FromQString(CPhone1->text());
  form_.phone2 = FromQString(CPhone2->text());
  form_.short_name = FromQString(ShortName->text());
  form_.mail_code = FromQString(MListCode->text());
  form_.email = FromQString(EMadd->text());
  form_.notes = FromQString(CstNote->toPlainText());
  form_.credit_hold = CRHold->isChecked();
  form_.notes_on_invoices = NotesOnInv->isChecked();
  form_.notes_on_statements = NotesOnStmnt->isChecked();
  form_.auto_copy = CheckBox1->isChecked();
}

void TEditDlg::OKButtonClick() {
  ReadControls();
  const CustomerField field = check_ ? check_(form_) : CustomerField::kNone;
  // The check may have filled the short name.
  ShortName->setText(ToQString(form_.short_name));
  switch (field) {
    case CustomerField::kName:
      CName->setFocus();
      return;
    case CustomerField::kEMail:
      EMadd->setFocus();
      return;
    case CustomerField::kNumber:
      CNo->setFocus();
      return;
    case CustomerField::kCreditLimit:
      CLimit->setFocus();
      return;
    case CustomerField::kNone:
      break;
  }
  accept();
}

}  // namespace tallybook::billing::ui
