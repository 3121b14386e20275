#include "output/ui/inv_batch.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QIntValidator>
#include <QVBoxLayout>

#include "platform/qt/text_codec.h"

namespace tallybook::output::ui {

using platform::qt::ToQString;

TInvBatch::TInvBatch(const BatchDialogText& text, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(kBatchDialogCaption);
  auto* layout = new QVBoxLayout(this);
  CountLabel = new QLabel(ToQString(text.count_line), this);
  ModeLabel = new QLabel(ToQString(text.mode_line), this);
  DetailLabel = new QLabel(ToQString(text.detail_line), this);
  for (QLabel* label : {CountLabel, ModeLabel, DetailLabel}) {
    layout->addWidget(label);
  }
  BatchNum = new QLineEdit(QString::number(text.count), this);
  BatchNum->setMaxLength(4);
  BatchNum->setValidator(new QIntValidator(0, 9999, BatchNum));
  auto* number_row = new QFormLayout;
  auto* number_label = new QLabel(kBatchNumLabel, this);
  number_label->setBuddy(BatchNum);
  number_row->addRow(number_label, BatchNum);
  layout->addLayout(number_row);
  auto* buttons = new QHBoxLayout;
  OKButton = new QPushButton(ToQString(text.button), this);
  OKButton->setIcon(QIcon::fromTheme("document-print"));
  OKButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  BatchNum->selectAll();
  BatchNum->setFocus();
}

std::optional<int> TInvBatch::Number() const {
  bool ok = false;
  const int n = BatchNum->text().trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return n;
}

std::optional<int> TInvBatch::Ask(company::App& app,
                                  const BatchDialogText& text,
                                  QWidget* parent) {
  TInvBatch dialog(text, parent);
  const int result = app.services().windows.RunModal(
      "TInvBatch", [&dialog] { return dialog.exec(); });
  if (result != platform::kModalOk) return std::nullopt;
  return dialog.Number();
}

}  // namespace tallybook::output::ui
