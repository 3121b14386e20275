// TPWDlg: the password dialog, one masked field "Enter password:" of at
// most 20 characters with OK and Cancel. Its caption says what is asked
// ("Password Required", "Enter the Current Password", ...).
#ifndef TALLYBOOK_COMPANY_UI_PW_DLG_H_
#define TALLYBOOK_COMPANY_UI_PW_DLG_H_

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "company/app.h"
#include "company/password.h"

namespace tallybook::company::ui {

class TPWDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TPWDlg(QWidget* parent = nullptr);

  // Shows the dialog modally through the platform ("TPWDlg") under caption
  // with an empty field; the typed text (Windows-1252) on OK, nullopt on
  // Cancel.
  std::optional<std::string> Ask(App& app, const std::string& caption);

  QLabel* PasswordLabel;
  QLineEdit* Password;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};

// The prompt the password logic uses, over dialog (which must outlive it).
PasswordPrompt MakePasswordPrompt(App& app, TPWDlg& dialog);

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_PW_DLG_H_
