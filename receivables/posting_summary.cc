#include "receivables/posting_summary.h"

#include "company/format.h"

namespace tallybook::receivables {

std::string PostingSummaryText(const PostingResult& result) {
  std::string text = "Posted " + std::to_string(result.items_posted) +
                     (result.items_posted == 1 ? " item" : " items") +
                     " for a total of " +
                     company::FormatMoney(result.amount_posted) + ".";
  if (!result.deposit_numbers.empty()) {
    text += result.deposit_numbers.size() == 1 ? " Deposit number: "
                                               : " Deposit numbers: ";
    for (size_t i = 0; i < result.deposit_numbers.size(); ++i) {
      if (i > 0) text += ", ";
      text += result.deposit_numbers[i];
    }
    text += ".";
  }
  return text;
}

}  // namespace tallybook::receivables
