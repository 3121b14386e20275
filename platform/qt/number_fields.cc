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

const QValidator* AmountValidator(int decimals, bool negative,
                                 QObject* parent) {
  return new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("%1[0-9,]*(\\.[0-9]{0,%2})?")
                             .arg(negative ? QStringLiteral("-?") : QString())
                             .arg(decimals)),
      parent);
}

void MakeAmountField(QLineEdit* edit, int max_length, int decimals,
                     bool negative) {
  edit->setMaxLength(max_length);
  edit->setValidator(AmountValidator(decimals, negative, edit));
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

bool IsAmountText(const QString& text, bool empty_is_zero) {
  QString plain = text;
  plain.remove(QLatin1Char(','));
  plain = plain.trimmed();
  if (plain.isEmpty()) return empty_is_zero;
  static const QRegularExpression number(
      QStringLiteral("^-?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
  return number.match(plain).hasMatch();
}

std::function<void()> EnableWhileAmounts(QAbstractButton* button,
                                         std::vector<QLineEdit*> fields,
                                         bool empty_is_zero,
                                         std::function<bool()> also) {
  auto update = [button, fields, empty_is_zero, also] {
    bool enabled = !also || also();
    for (const QLineEdit* field : fields) {
      enabled = enabled && IsAmountText(field->text(), empty_is_zero);
    }
    button->setEnabled(enabled);
  };
  for (QLineEdit* field : fields) {
    QObject::connect(field, &QLineEdit::textChanged, button, update);
  }
  update();
  return update;
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
