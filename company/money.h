// Money as integer cents, and the exact decimal arithmetic behind it.
//
// Stored amounts are text ("1234.50"); a computation reads them as exact
// decimals, works in whole cents, and writes cents back as text. Binary
// doubles never decide a cent: 0.5 x 2.01 is 1.005 exactly and rounds to
// 1.01, where the double product lies just below the tie.
//
// RoundToCents is the one rounding function for money: half away from zero
// on the decimal value. Every extension, tax, charge and sum of the program
// goes through it (or adds whole cents, which needs no rounding).
#ifndef TALLYBOOK_COMPANY_MONEY_H_
#define TALLYBOOK_COMPANY_MONEY_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallybook::company {

// Whole cents. Stored amounts are at most 12 characters, far inside int64.
using Cents = int64_t;

// An exact decimal: units x 10^-scale. Values the records hold (ten or
// twelve characters) fit with room for the product of two.
struct Decimal {
  int64_t units = 0;
  int scale = 0;  // 0..18
};

// Largest number of decimals a Decimal keeps; longer fractions are refused
// by ParseDecimal.
inline constexpr int kMaxDecimalScale = 18;

// Strict: blanks around the text and thousands commas are ignored; an
// optional sign, digits with an optional decimal point. No exponent, no
// trailing characters, not empty, at most kMaxDecimalScale decimals and 18
// significant digits. nullopt otherwise.
std::optional<Decimal> ParseDecimal(std::string_view text);

// The shortest decimal that reads back as value ("0.285" for the double
// nearest 0.285). Non-finite values and values beyond 1e15 give 0. For
// amounts that already are doubles (older callers); new code reads text.
Decimal DecimalFromDouble(double value);

// The one rounding function: value to whole cents, half away from zero on
// the exact decimal value (1.005 gives 101, -1.005 gives -101).
Cents RoundToCents(const Decimal& value);
// a x b to whole cents, the product taken exactly before it is rounded:
// the extension of a line (quantity x unit price).
Cents MultiplyToCents(const Decimal& a, const Decimal& b);
// rate percent of amount, to whole cents: the tax of a taxable sum, a
// finance charge.
Cents PercentOfCents(Cents amount, const Decimal& rate);

// A stored or typed amount as cents, leniently as the program has always
// read amounts: blanks and commas ignored, an empty or non-numeric text
// counts 0, more than two decimals round half away from zero. An exponent
// form ("1e3") is read as its value.
Cents CentsOf(std::string_view text);
// A double amount (a value computed by older code) as cents.
Cents CentsOf(double value);

// Cents as the text stored in a money field: "1234.50", "-0.05", "0.00".
std::string CentsText(Cents cents);
// Cents in the ",0.00" pattern shown to the user: "1,234.50".
std::string FormatCents(Cents cents);
// Cents as a double (for callers still computing in doubles; exact to the
// cent for every amount the records can hold).
double CentsToDouble(Cents cents);

// What a money field of a window or an import holds.
enum class MoneyFieldCheck {
  kOk,
  kNotANumber,     // empty, garbage, or an exponent form ("1e3")
  kTooManyDecimals // more than two decimals
};
// The strict check of a typed amount: blanks and thousands commas ignored,
// an optional sign, digits with at most two decimals. *cents is set on kOk.
MoneyFieldCheck CheckMoneyField(std::string_view text, Cents* cents);
// The message for a refused money field, naming it: "Paid Amount: 10.005
// has more than two decimals." / "Paid Amount: 1e3 is not an amount."
std::string MoneyFieldMessage(std::string_view field_name,
                              std::string_view text, MoneyFieldCheck check);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_MONEY_H_
