// The one-letter transaction type codes: what each record of the
// transaction file is, and what the user may do with it.
//
//   I  regular invoice                  R  repeat billing master
//   G  generated from a repeat master   Z  invoice with partial payments
//   X  partial payment against a Z      D  deposit on account
//   T  deposit taken (offsets a D)
//
// Batch printing also accepts "M", which nothing writes.
#ifndef TALLYBOOK_BILLING_TYPE_CODES_H_
#define TALLYBOOK_BILLING_TYPE_CODES_H_

#include <string>
#include <string_view>

namespace tallybook::billing {

inline constexpr char kTypeInvoice = 'I';
inline constexpr char kTypeRepeatMaster = 'R';
inline constexpr char kTypeGenerated = 'G';
inline constexpr char kTypePartialInvoice = 'Z';
inline constexpr char kTypePartialPayment = 'X';
inline constexpr char kTypeDeposit = 'D';
inline constexpr char kTypeDepositTaken = 'T';

// The legend the Customer Data window shows for a type code;
// `generated_count` is the repeat master's count of generated invoices.
// An unknown code gives an empty text.
std::string TypeCodeLegend(std::string_view type_code,
                           std::string_view generated_count = {});

// Whether a record of this type counts in the customer and company balances
// (every type but the repeat master).
bool CountsInBalances(std::string_view type_code);

// Whether batch printing takes a record of this type (while not printed).
bool BatchPrintable(std::string_view type_code);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_TYPE_CODES_H_
