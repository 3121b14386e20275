#include "company/money.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "company/format.h"
#include "company/text.h"

namespace tallybook::company {

namespace {

constexpr int64_t kPow10[] = {1,
                              10,
                              100,
                              1000,
                              10000,
                              100000,
                              1000000,
                              10000000,
                              100000000,
                              1000000000,
                              10000000000,
                              100000000000,
                              1000000000000,
                              10000000000000,
                              100000000000000,
                              1000000000000000,
                              10000000000000000,
                              100000000000000000,
                              1000000000000000000};

// units x 10^-scale (as a 128-bit product may need) to cents, half away
// from zero.
Cents RoundWideToCents(__int128 units, int scale) {
  const bool negative = units < 0;
  unsigned __int128 magnitude =
      negative ? static_cast<unsigned __int128>(-units)
               : static_cast<unsigned __int128>(units);
  if (scale <= 2) {
    magnitude *= static_cast<unsigned __int128>(kPow10[2 - scale]);
  } else {
    // Drop scale - 2 digits; a dropped part of at least half rounds up.
    unsigned __int128 divisor = 1;
    for (int i = 2; i < scale; ++i) divisor *= 10;
    const unsigned __int128 kept = magnitude / divisor;
    const unsigned __int128 rest = magnitude % divisor;
    magnitude = kept + (rest * 2 >= divisor ? 1 : 0);
  }
  const Cents cents = static_cast<Cents>(magnitude);
  return negative ? -cents : cents;
}

}  // namespace

std::optional<Decimal> ParseDecimal(std::string_view text) {
  std::string s = Trim(RemoveCommas(Trim(text)));
  std::string_view rest = s;
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  Decimal out;
  bool any_digit = false;
  bool seen_point = false;
  int significant = 0;
  for (char c : rest) {
    if (c == '.' && !seen_point) {
      seen_point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    any_digit = true;
    if (seen_point) {
      if (out.scale == kMaxDecimalScale) return std::nullopt;
      ++out.scale;
    }
    if (out.units != 0 || c != '0') ++significant;
    if (significant > 18) return std::nullopt;
    out.units = out.units * 10 + (c - '0');
  }
  if (!any_digit) return std::nullopt;
  if (negative) out.units = -out.units;
  return out;
}

Decimal DecimalFromDouble(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) return {};
  char buf[64];
  const auto [end, ec] =
      std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed);
  if (ec != std::errc()) return {};
  std::string_view text(buf, static_cast<size_t>(end - buf));
  // Keep what fits: a double's shortest form has at most 17 significant
  // digits, but a tiny value can have a long fraction of zeros first.
  if (auto parsed = ParseDecimal(text)) return *parsed;
  const size_t dot = text.find('.');
  if (dot != std::string_view::npos && text.size() - dot - 1 > 15) {
    text = text.substr(0, dot + 16);
    if (auto cut = ParseDecimal(text)) return *cut;
  }
  return {};
}

Cents RoundToCents(const Decimal& value) {
  return RoundWideToCents(value.units, value.scale);
}

Cents MultiplyToCents(const Decimal& a, const Decimal& b) {
  const __int128 product =
      static_cast<__int128>(a.units) * static_cast<__int128>(b.units);
  return RoundWideToCents(product, a.scale + b.scale);
}

Cents PercentOfCents(Cents amount, const Decimal& rate) {
  // amount cents x rate / 100 = amount x rate x 10^-(scale + 2) units
  // of currency, i.e. cents at scale + 2 decimals.
  const __int128 product =
      static_cast<__int128>(amount) * static_cast<__int128>(rate.units);
  return RoundWideToCents(product, rate.scale + 2 + 2);
}

Cents CentsOf(std::string_view text) {
  if (auto exact = ParseDecimal(text)) return RoundToCents(*exact);
  return CentsOf(MoneyToDouble(text));
}

Cents CentsOf(double value) { return RoundToCents(DecimalFromDouble(value)); }

std::string CentsText(Cents cents) {
  const bool negative = cents < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(cents)
                                      : static_cast<uint64_t>(cents);
  std::string whole = std::to_string(magnitude / 100);
  const unsigned frac = static_cast<unsigned>(magnitude % 100);
  std::string out = negative ? "-" : "";
  out += whole;
  out += '.';
  out += static_cast<char>('0' + frac / 10);
  out += static_cast<char>('0' + frac % 10);
  return out;
}

std::string FormatCents(Cents cents) {
  std::string plain = CentsText(cents);
  const bool negative = plain.front() == '-';
  if (negative) plain.erase(0, 1);
  const size_t dot = plain.find('.');
  const std::string whole = plain.substr(0, dot);
  std::string grouped;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(whole[i]);
  }
  return (negative ? "-" : "") + grouped + plain.substr(dot);
}

double CentsToDouble(Cents cents) {
  // Through the text, so that the double is the one nearest the decimal.
  return MoneyToDouble(CentsText(cents));
}

MoneyFieldCheck CheckMoneyField(std::string_view text, Cents* cents) {
  const std::optional<Decimal> value = ParseDecimal(text);
  if (!value) return MoneyFieldCheck::kNotANumber;
  // Trailing zeros past the cents change nothing ("10.500" is 10.50).
  Decimal d = *value;
  while (d.scale > 2 && d.units % 10 == 0) {
    d.units /= 10;
    --d.scale;
  }
  if (d.scale > 2) return MoneyFieldCheck::kTooManyDecimals;
  *cents = RoundToCents(d);
  return MoneyFieldCheck::kOk;
}

std::string MoneyFieldMessage(std::string_view field_name,
                              std::string_view text, MoneyFieldCheck check) {
  std::string out(field_name);
  out += ": ";
  out += Trim(text).empty() ? std::string("(empty)") : Trim(text);
  switch (check) {
    case MoneyFieldCheck::kTooManyDecimals:
      out += " has more than two decimals.";
      break;
    case MoneyFieldCheck::kNotANumber:
      out += " is not an amount.";
      break;
    case MoneyFieldCheck::kOk:
      out += " is an amount.";
      break;
  }
  return out;
}

}  // namespace tallybook::company
