// Validators for edit fields whose record value is a number, shared by
// every window: typing or pasting a character that cannot be part of the
// number is refused as it happens. The field still checks its text when
// the window is saved, since a record may hold anything.
#ifndef TALLYBOOK_PLATFORM_QT_NUMBER_FIELDS_H_
#define TALLYBOOK_PLATFORM_QT_NUMBER_FIELDS_H_

#include <QAbstractButton>
#include <QLineEdit>
#include <functional>
#include <vector>

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

// Amounts as the program shows them: an optional minus (when negative is
// allowed), digits with thousands commas, a point and at most `decimals`
// digits after it. Money takes two decimals (kMoneyDecimals), quantities
// and unit prices three (kQuantityDecimals). No exponent, no plus sign.
inline constexpr int kMoneyDecimals = 2;
inline constexpr int kQuantityDecimals = 3;
const QValidator* AmountValidator(int decimals, bool negative, QObject* parent);

// An amount field: the validator above, max_length characters, the text
// right-aligned.
void MakeAmountField(QLineEdit* edit, int max_length, int decimals,
                     bool negative = true);

// True when text (thousands commas removed, blanks trimmed) is a number the
// amount validators take in full: "-", "." and "1," are not. Empty text is
// a number (zero) when empty_is_zero.
bool IsAmountText(const QString& text, bool empty_is_zero);

// Keeps button enabled only while every field holds an amount (see
// IsAmountText); `also` (when given) is a further condition of the window.
// Returns the function that re-evaluates it, for the window to call when
// `also` changes.
std::function<void()> EnableWhileAmounts(QAbstractButton* button,
                                         std::vector<QLineEdit*> fields,
                                         bool empty_is_zero,
                                         std::function<bool()> also = {});

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_NUMBER_FIELDS_H_
