#include "output/ui/mail_settings_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "platform/message.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::output::ui {

namespace {

// The settings file is UTF-8; its texts are not record texts.
QString FromUtf8(const std::string& s) { return QString::fromUtf8(s); }
std::string ToUtf8(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace

TMailSettings::TMailSettings(company::App& app, QWidget* parent)
    : QDialog(parent),
      app_(app),
      path_(app.PathOf(mail::kMailSettingsFileName)) {
  setWindowTitle(kMailSettingsCaption);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      "Leave the user name empty when the server takes mail without a "
      "login.\nThese settings are kept for this installation only, "
      "readable by you alone.",
      this));
  auto* form = new QFormLayout;
  UserName = new QLineEdit(this);
  Password = new QLineEdit(this);
  Password->setEchoMode(QLineEdit::Password);
  CaFile = new QLineEdit(this);
  CaFile->setPlaceholderText("the system's certificate authorities");
  form->addRow("&User name:", UserName);
  form->addRow("&Password:", Password);
  form->addRow("&Trusted certificates (PEM file):", CaFile);
  layout->addLayout(form);
  AttachPdf = new QCheckBox(kAttachPdfText, this);
  layout->addWidget(AttachPdf);
  AllowUnencrypted = new QCheckBox(mail::kAllowUnencryptedText, this);
  AllowUnencrypted->setToolTip(
      "Send through a server that offers no encrypted connection "
      "(STARTTLS). Messages then cross the network readable by anyone on "
      "the way; a password is never sent that way.");
  layout->addWidget(AllowUnencrypted);
  auto* buttons = new QHBoxLayout;
  OKButton = new QPushButton("&Ok", this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  platform::qt::FitWidthToTitle(this);
}

int TMailSettings::Execute() {
  mail::MailSettings settings;
  std::string error;
  if (mail::ReadMailSettings(path_, &settings, &error) ==
      mail::SettingsRead::kDamaged) {
    platform::Warn(app_.services().messages, kMailSettingsCaption, error);
  }
  UserName->setText(FromUtf8(settings.user));
  Password->setText(FromUtf8(settings.password));
  CaFile->setText(FromUtf8(settings.ca_file));
  AttachPdf->setChecked(settings.attach_pdf);
  AllowUnencrypted->setChecked(settings.allow_unencrypted);
  UserName->setFocus();
  return app_.services().windows.RunModal("TMailSettings",
                                          [this] { return exec(); });
}

void TMailSettings::OKButtonClick() {
  mail::MailSettings settings;
  settings.user = ToUtf8(UserName->text().trimmed());
  settings.password = ToUtf8(Password->text());
  settings.ca_file = ToUtf8(CaFile->text().trimmed());
  settings.attach_pdf = AttachPdf->isChecked();
  settings.allow_unencrypted = AllowUnencrypted->isChecked();
  std::string error;
  if (!mail::WriteMailSettings(path_, settings, &error)) {
    platform::ShowError(app_.services().messages, kMailSettingsCaption, error);
    return;
  }
  // The next connection logs in with the new settings.
  if (app_.mail_transport != nullptr) app_.mail_transport->Close();
  accept();
}

}  // namespace tallybook::output::ui
