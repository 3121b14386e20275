// What the payment wizard tells the user after a posting: the items
// written, their total and the numbers the new deposits got.
#ifndef TALLYBOOK_RECEIVABLES_POSTING_SUMMARY_H_
#define TALLYBOOK_RECEIVABLES_POSTING_SUMMARY_H_

#include <string>

#include "receivables/payment_posting.h"

namespace tallybook::receivables {

inline constexpr char kPaymentPostedCaption[] = "Payment Posted";

// "Posted 2 items for a total of 1,234.50." and, when deposits were added,
// " Deposit numbers: DP7, DP8."
std::string PostingSummaryText(const PostingResult& result);

}  // namespace tallybook::receivables

#endif  // TALLYBOOK_RECEIVABLES_POSTING_SUMMARY_H_
