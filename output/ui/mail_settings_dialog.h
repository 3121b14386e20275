// TMailSettings: "Mail Server Login", the installation's mail settings
// (mail/mail_settings.h): the user name and password the outgoing server
// asks for, extra certificate authorities to trust, whether invoice e-mail
// carries a PDF of the invoice, and whether a server that offers no
// encrypted connection may be used ("Allow unencrypted connection"). Opened from the company options'
// e-mail page. OK writes the private settings file; a failure is shown
// and the dialog stays open.
#ifndef TALLYBOOK_OUTPUT_UI_MAIL_SETTINGS_DIALOG_H_
#define TALLYBOOK_OUTPUT_UI_MAIL_SETTINGS_DIALOG_H_

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "company/app.h"

namespace tallybook::output::ui {

inline constexpr char kMailSettingsCaption[] = "Mail Server Login";
inline constexpr char kAttachPdfText[] = "Attach a PDF of the invoice";

class TMailSettings : public QDialog {
  Q_OBJECT

 public:
  TMailSettings(company::App& app, QWidget* parent = nullptr);

  // Reads the file into the controls (a damaged file is reported and the
  // controls start empty), then shows the dialog through the platform
  // ("TMailSettings").
  int Execute();
  void OKButtonClick();

  QLineEdit* UserName;
  QLineEdit* Password;
  QLineEdit* CaFile;
  QCheckBox* AttachPdf;
  QCheckBox* AllowUnencrypted;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 private:
  company::App& app_;
  std::string path_;
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_MAIL_SETTINGS_DIALOG_H_
