#include "company/ui/pw_dlg.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

TPWDlg::TPWDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("TPWDlg");
  setWindowTitle(kPasswordRequiredCaption);
  PasswordLabel = new QLabel(kEnterPasswordLabel, this);
  Password = new QLineEdit(this);
  Password->setObjectName("Password");
  Password->setEchoMode(QLineEdit::Password);
  Password->setMaxLength(kPasswordMaxLength);
  PasswordLabel->setBuddy(Password);
  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PasswordLabel);
  layout->addWidget(Password);
  layout->addLayout(buttons);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  platform::qt::FitWidthToTitle(this);
}

std::optional<std::string> TPWDlg::Ask(App& app, const std::string& caption) {
  setWindowTitle(ToQString(caption));
  // The captions differ per question; the shortest box must show them all.
  setMinimumWidth(0);
  platform::qt::FitWidthToTitle(this);
  Password->clear();
  Password->setFocus();
  const int result =
      app.services().windows.RunModal("TPWDlg", [this] { return exec(); });
  std::string typed = FromQString(Password->text());
  Password->clear();
  if (result != platform::kModalOk) return std::nullopt;
  return typed;
}

PasswordPrompt MakePasswordPrompt(App& app, TPWDlg& dialog) {
  return [&app, &dialog](const std::string& caption) {
    return dialog.Ask(app, caption);
  };
}

}  // namespace tallybook::company::ui
