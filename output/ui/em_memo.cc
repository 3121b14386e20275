#include "output/ui/em_memo.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "company/startup.h"
#include "platform/modal_windows.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"

namespace tallybook::output::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

TEMMemo::TEMMemo(company::App& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(kEMMemoName);
  setWindowTitle(kEmailMessageTitle);
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QFormLayout;
  ReturnAddress = new QLineEdit(this);
  ReturnAddress->setMaxLength(50);
  Subject = new QLineEdit(this);
  Subject->setMaxLength(200);
  Body = new QPlainTextEdit(this);
  fields->addRow("&Return Address:", ReturnAddress);
  fields->addRow("&Subject:", Subject);
  layout->addLayout(fields);
  layout->addWidget(Body, 1);
  QueueLabel = new QLabel(this);
  layout->addWidget(QueueLabel);

  auto* buttons = new QHBoxLayout;
  EMailButton = new QPushButton("&E-Mail", this);
  QueueButton = new QPushButton("&Queue", this);
  HelpButton = new QPushButton("Help", this);
  CloseButton = new QPushButton("Close", this);
  platform::qt::SetThemeIcon(EMailButton, {"mail-send", "mail-message-new"});
  platform::qt::SetThemeIcon(QueueButton, {"x-office-address-book"});
  platform::qt::SetThemeIcon(HelpButton, {"help-contents"});
  platform::qt::SetThemeIcon(CloseButton, {"window-close"});
  buttons->addStretch();
  for (QPushButton* b : {EMailButton, QueueButton, HelpButton, CloseButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  connect(EMailButton, &QPushButton::clicked, this,
          [this] { EMailButtonClick(); });
  connect(QueueButton, &QPushButton::clicked, this,
          [this] { QueueButtonClick(); });
  connect(CloseButton, &QPushButton::clicked, this, &TEMMemo::reject);
  const auto help = [this] {
    app_.services().help.ShowHelp(kEmailMessageHelpTopic);
  };
  connect(HelpButton, &QPushButton::clicked, this, help);
  platform::qt::UseFormKeys(this, nullptr, help);
  QueueButton->setEnabled(static_cast<bool>(app_.show_label_queue));
  resize(560, 440);
}

void TEMMemo::FormShow() {
  const company::CompanyRecord& co = app_.CurrentCompany;
  ReturnAddress->setText(ToQString(co.ReplyEMailAddress.Get()));
  const platform::Font font = company::EditorFontOf(co);
  const QFont qfont = platform::qt::ToQFont(font);
  for (QWidget* w : {static_cast<QWidget*>(ReturnAddress),
                     static_cast<QWidget*>(Subject),
                     static_cast<QWidget*>(Body)}) {
    w->setFont(qfont);
  }
  QueueLabel->setText(ToQString(QueueCounterText(app_)));
  QueueButton->setEnabled(static_cast<bool>(app_.show_label_queue));
  changes_.Reset();
}

int TEMMemo::Execute() {
  FormShow();
  return app_.services().windows.RunModal(kEMMemoName, [this] { return exec(); });
}

QueueMessage TEMMemo::Message() const {
  return QueueMessage{FromQString(ReturnAddress->text()),
                      FromQString(Subject->text()),
                      FromQString(Body->toPlainText())};
}

void TEMMemo::EMailButtonClick() {
  const QueueMessage message = Message();
  switch (CheckQueueMessage(app_, message)) {
    case MessageField::kNone:
      break;
    case MessageField::kSubject:
      Subject->setFocus();
      return;
    case MessageField::kFrom:
      ReturnAddress->setFocus();
      return;
    case MessageField::kBody:
      Body->setFocus();
      return;
    case MessageField::kQueue:
      QueueButton->setFocus();
      return;
  }
  const QueueMailOutcome outcome = SendQueueMessage(app_, message);
  if (outcome.ran) changes_.Reset();
  QueueLabel->setText(ToQString(QueueCounterText(app_)));
}

void TEMMemo::QueueButtonClick() {
  if (app_.show_label_queue) app_.show_label_queue();
  QueueLabel->setText(ToQString(QueueCounterText(app_)));
}

void TEMMemo::reject() {
  if (!platform::qt::MayDiscardChanges(app_.services().messages, changes_)) {
    return;
  }
  app_.services().progress.Hide();
  QDialog::reject();
}

}  // namespace tallybook::output::ui
