// TAboutBox: the product's name and version, and where its data is.
#ifndef TALLYBOOK_COMPANY_UI_ABOUT_BOX_H_
#define TALLYBOOK_COMPANY_UI_ABOUT_BOX_H_

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "company/app.h"

namespace tallybook::company::ui {

inline constexpr char kProductVersion[] = "0.1";

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  TAboutBox(App& app, QWidget* parent = nullptr);

  QLabel* ProductName;
  QLabel* Version;
  QLabel* DataDirectory;
  QPushButton* OKButton;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_ABOUT_BOX_H_
