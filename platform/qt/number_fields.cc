#include "platform/qt/number_fields.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace tallybook::platform::qt {

const QValidator* WholeNumberValidator(int max_digits, QObject* parent) {
  return new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(max_digits)),
      parent);
}

const QValidator* DecimalValidator(int decimals, QObject* parent) {
  const QString after = decimals >= 0
                            ? QStringLiteral("[0-9]{0,%1}").arg(decimals)
                            : QStringLiteral("[0-9]*");
  return new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]*(\\.") + after +
                         QStringLiteral(")?")),
      parent);
}

void MakeWholeNumberField(QLineEdit* edit, int max_digits) {
  edit->setMaxLength(max_digits);
  edit->setValidator(WholeNumberValidator(max_digits, edit));
}

void MakeDecimalField(QLineEdit* edit, int max_length, int decimals) {
  edit->setMaxLength(max_length);
  edit->setValidator(DecimalValidator(decimals, edit));
}

}  // namespace tallybook::platform::qt
