// Validators for edit fields whose record value is a number, shared by
// every window: typing or pasting a character that cannot be part of the
// number is refused as it happens. The field still checks its text when
// the window is saved, since a record may hold anything.
#ifndef TALLYBOOK_PLATFORM_QT_NUMBER_FIELDS_H_
#define TALLYBOOK_PLATFORM_QT_NUMBER_FIELDS_H_

#include <QLineEdit>

namespace tallybook::platform::qt {

// Digits only, at most max_digits of them (also the field's length).
void MakeWholeNumberField(QLineEdit* edit, int max_digits);

// Digits with at most one decimal point, at most max_length characters.
// With decimals >= 0, at most that many digits after the point.
void MakeDecimalField(QLineEdit* edit, int max_length, int decimals = -1);

// The same as validators, for fields made elsewhere (a combo box's edit).
// The validator belongs to parent.
const QValidator* WholeNumberValidator(int max_digits, QObject* parent);
const QValidator* DecimalValidator(int decimals, QObject* parent);

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_NUMBER_FIELDS_H_
