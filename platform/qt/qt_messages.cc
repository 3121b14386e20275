#include "platform/qt/qt_messages.h"

#include <QMessageBox>
#include <memory>

#include "platform/qt/text_codec.h"

namespace tallybook::platform::qt {

namespace {

QMessageBox::StandardButton ToButton(Answer answer) {
  switch (answer) {
    case Answer::kOk:
      return QMessageBox::Ok;
    case Answer::kCancel:
      return QMessageBox::Cancel;
    case Answer::kYes:
      return QMessageBox::Yes;
    case Answer::kNo:
      return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButtons ToButtons(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk:
      return QMessageBox::Ok;
    case Buttons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon ToIcon(MessageKind kind) {
  switch (kind) {
    case MessageKind::kInformation:
      return QMessageBox::Information;
    case MessageKind::kWarning:
      return QMessageBox::Warning;
    case MessageKind::kError:
      return QMessageBox::Critical;
    case MessageKind::kQuestion:
      return QMessageBox::Question;
  }
  return QMessageBox::Information;
}

}  // namespace

QMessageBox* BuildMessageBox(const Message& message, QWidget* parent) {
  auto* box = new QMessageBox(ToIcon(message.kind), ToQString(message.caption),
                              ToQString(message.text),
                              ToButtons(message.buttons), parent);
  box->setTextFormat(Qt::PlainText);
  box->setDefaultButton(
      ToButton(EffectiveDefault(message.buttons, message.default_answer)));
  box->setEscapeButton(ToButton(AnswerOnClose(message.buttons)));
  return box;
}

Answer AnswerFromButton(int standard_button, Buttons buttons) {
  Answer answer = AnswerOnClose(buttons);
  switch (standard_button) {
    case QMessageBox::Ok:
      answer = Answer::kOk;
      break;
    case QMessageBox::Cancel:
      answer = Answer::kCancel;
      break;
    case QMessageBox::Yes:
      answer = Answer::kYes;
      break;
    case QMessageBox::No:
      answer = Answer::kNo;
      break;
    default:
      break;
  }
  return HasButton(buttons, answer) ? answer : AnswerOnClose(buttons);
}

Answer QtMessages::Show(const Message& message) {
  std::unique_ptr<QMessageBox> box(BuildMessageBox(message, parent_));
  return AnswerFromButton(box->exec(), message.buttons);
}

}  // namespace tallybook::platform::qt
