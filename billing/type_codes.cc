#include "billing/type_codes.h"

namespace tallybook::billing {

namespace {
char CodeOf(std::string_view type_code) {
  return type_code.empty() ? '\0' : type_code.front();
}
}  // namespace

std::string TypeCodeLegend(std::string_view type_code,
                           std::string_view generated_count) {
  switch (CodeOf(type_code)) {
    case kTypeInvoice: return "I - Regular Invoice";
    case kTypeRepeatMaster:
      return "R - Repeat Billing Master Record (Created: " +
             std::string(generated_count) + ")";
    case kTypeGenerated: return "G - Repeat Billing Generated Invoice";
    case kTypePartialInvoice:
      return "Z - Invoice has Partial Payment(s) of Type X";
    case kTypePartialPayment:
      return "X - Partial Payment Record against Type Z";
    case kTypeDeposit: return "D - Deposit on Account";
    case kTypeDepositTaken: return "T - Deposit Taken (offsets type D)";
    default: return {};
  }
}

bool CountsInBalances(std::string_view type_code) {
  return CodeOf(type_code) != kTypeRepeatMaster;
}

bool BatchPrintable(std::string_view type_code) {
  switch (CodeOf(type_code)) {
    case kTypeInvoice:
    case kTypeGenerated:
    case kTypePartialInvoice:
    case 'M':
      return true;
    default:
      return false;
  }
}

}  // namespace tallybook::billing
