#include "receivables/ui/sel_stmnt.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/modal_windows.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::receivables::ui {

TSelStmnt::TSelStmnt(company::App& app, QWidget* parent) : QDialog(parent) {
  setWindowTitle(kStatementSelectionCaption);
  auto* layout = new QVBoxLayout(this);
  auto* balance = new QGroupBox(" Account Balance Selection: ", this);
  auto* balance_layout = new QVBoxLayout(balance);
  AllBalances = new QRadioButton("All non-zero balances", balance);
  Over30 = new QRadioButton("Over 30 Days", balance);
  Over60 = new QRadioButton("Over 60 Days", balance);
  Over90 = new QRadioButton("Over 90 Days", balance);
  for (QRadioButton* b : {AllBalances, Over30, Over60, Over90}) {
    balance_layout->addWidget(b);
  }
  auto* detail = new QGroupBox(" Statement Detail: ", this);
  auto* detail_layout = new QVBoxLayout(detail);
  AllActivity = new QRadioButton("All activity (paid and unpaid)", detail);
  UnpaidOnly = new QRadioButton("Only Unpaid Transactions", detail);
  detail_layout->addWidget(AllActivity);
  detail_layout->addWidget(UnpaidOnly);
  AllBalances->setChecked(true);
  UnpaidOnly->setChecked(true);
  layout->addWidget(balance);
  layout->addWidget(detail);
  ModeLabel = new QLabel(app.output_mode == company::OutputMode::kEMail
                             ? kEmailModeText
                             : kPrinterModeText,
                         this);
  ModeLabel->setAlignment(Qt::AlignCenter);
  layout->addWidget(ModeLabel);
  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton("&Ok", this);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel", this);
  HelpBtn = new QPushButton("&Help", this);
  platform::qt::SetThemeIcon(HelpBtn, {"help-contents"});
  buttons->addStretch(1);
  for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, [&app] {
    app.services().help.ShowHelp(kGetStatementHelpTopic);
  });
  platform::qt::HelpOnF1(this, [button = HelpBtn] { button->click(); });
  platform::qt::FitWidthToTitle(this);
}

StatementSelection TSelStmnt::Selection() const {
  StatementSelection s;
  if (Over30->isChecked()) s.balance = BalanceSelection::kOver30;
  if (Over60->isChecked()) s.balance = BalanceSelection::kOver60;
  if (Over90->isChecked()) s.balance = BalanceSelection::kOver90;
  s.detail = UnpaidOnly->isChecked() ? StatementDetail::kUnpaidOnly
                                     : StatementDetail::kAllActivity;
  return s;
}

std::optional<StatementSelection> TSelStmnt::Ask(company::App& app,
                                                 QWidget* parent) {
  TSelStmnt dialog(app, parent);
  const int result = app.services().windows.RunModal(
      kSelStmntName, [&dialog] { return dialog.exec(); });
  if (result != platform::kModalOk) return std::nullopt;
  return dialog.Selection();
}

}  // namespace tallybook::receivables::ui
