// TPStart: the caption-less start window shown while the program creates
// its windows: the product's picture and name.
#ifndef TALLYBOOK_COMPANY_UI_P_START_H_
#define TALLYBOOK_COMPANY_UI_P_START_H_

#include <QWidget>

namespace tallybook::company::ui {

class TPStart : public QWidget {
  Q_OBJECT

 public:
  explicit TPStart(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_P_START_H_
