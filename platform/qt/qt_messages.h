// Message boxes as QMessageBox, over the program's main window.
#ifndef TALLYBOOK_PLATFORM_QT_QT_MESSAGES_H_
#define TALLYBOOK_PLATFORM_QT_QT_MESSAGES_H_

#include <QPointer>
#include <QWidget>

#include "platform/message.h"

class QMessageBox;

namespace tallybook::platform::qt {

class QtMessages : public Messages {
 public:
  // Boxes are centred over `parent` (may be null, or set later).
  explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  Answer Show(const Message& message) override;

 private:
  QPointer<QWidget> parent_;
};

// Builds the box for `message` (icon, buttons, default and escape button)
// without showing it; the caller owns it.
QMessageBox* BuildMessageBox(const Message& message, QWidget* parent);
// The answer for the button QMessageBox::exec() returned.
Answer AnswerFromButton(int standard_button, Buttons buttons);

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_QT_MESSAGES_H_
