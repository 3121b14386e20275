#include "receivables/ui/batch_st_win.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/number_fields.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::receivables::ui {

using platform::qt::ToQString;

TBatchStWin::TBatchStWin(company::App& app, const BatchSizeText& text,
                         QWidget* parent)
    : QDialog(parent), app_(app) {
  setWindowTitle(ToQString(text.caption));
  auto* layout = new QVBoxLayout(this);
  CountLabel = new QLabel(ToQString(text.count_line), this);
  InfoLabel = new QLabel(kBatchPauseNote, this);
  layout->addWidget(CountLabel);
  layout->addWidget(InfoLabel);
  EMBNum = new QLineEdit(QString::number(text.count), this);
  EMBNum->setObjectName("EMBNum");
  platform::qt::MakeWholeNumberField(EMBNum, 4);
  auto* number_row = new QFormLayout;
  auto* number_label = new QLabel(kBatchSizeLabel, this);
  number_label->setBuddy(EMBNum);
  number_row->addRow(number_label, EMBNum);
  layout->addLayout(number_row);
  auto* buttons = new QHBoxLayout;
  PrintBtn = new QPushButton(ToQString(text.button), this);
  platform::qt::SetThemeIcon(PrintBtn, {"document-print"});
  PrintBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel", this);
  HelpBtn = new QPushButton("Help", this);
  platform::qt::SetThemeIcon(HelpBtn, {"help-contents"});
  buttons->addStretch(1);
  for (QPushButton* b : {PrintBtn, CancelBtn, HelpBtn}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(PrintBtn, &QPushButton::clicked, this, &TBatchStWin::PrintBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, [this] {
    app_.services().help.ShowHelp(kViewStatementHelpTopic);
  });
  platform::qt::HelpOnF1(this, [button = HelpBtn] { button->click(); });
  platform::qt::FitWidthToTitle(this);
  PrintBtn->setFocus();
}

std::optional<int> TBatchStWin::Number() const {
  bool ok = false;
  const int n = EMBNum->text().trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return n;
}

void TBatchStWin::PrintBtnClick() {
  if (!Number()) {
    platform::Warn(app_.services().messages, kBatchNumberCaption,
                   kBatchNumberMissing);
    EMBNum->setFocus();
    return;
  }
  accept();
}

std::optional<int> TBatchStWin::Ask(company::App& app,
                                    const BatchSizeText& text,
                                    QWidget* parent) {
  TBatchStWin dialog(app, text, parent);
  const int result = app.services().windows.RunModal(
      kBatchStWinName, [&dialog] { return dialog.exec(); });
  if (result != platform::kModalOk) return std::nullopt;
  return dialog.Number();
}

}  // namespace tallybook::receivables::ui
