// The plain-text e-mail of an invoice, line by line, from the print image
// and the company's options, and who it goes to.
#ifndef TALLYBOOK_OUTPUT_INVOICE_EMAIL_H_
#define TALLYBOOK_OUTPUT_INVOICE_EMAIL_H_

#include <string>
#include <vector>

#include "company/records.h"
#include "output/invoice_image.h"

namespace tallybook::output {

inline constexpr char kBadAddressSubject[] = "BAD CUSTOMER E-MAIL ADDRESS";
inline constexpr char kCreditSpaced[] = "C R E D I T";
inline constexpr char kDuplicateEmailBanner[] = "** DUPLICATE INVOICE **";
inline constexpr char kDefaultInvoiceCaption[] = "INVOICE";

// The invoice caption of the company, "INVOICE" when none is set.
std::string InvoiceCaptionOf(const company::CompanyRecord& company);
// "Over " + category-3 days + ":" (the fourth aging caption).
std::string OverCaption(const company::CompanyRecord& company);

// The separator line of an e-mailed text: 82 dashes when the company asks
// for lines, else a single blank.
std::string EmailSeparator(const company::CompanyRecord& company);
// The letterhead of an e-mailed text: the company name with caption right
// aligned in 35 after it, then each address line that is not blank.
void AppendEmailLetterhead(const company::CompanyRecord& company,
                           const std::string& caption,
                           std::vector<std::string>* out);

struct InvoiceEmail {
  // False when the customer has no e-mail address and customers without
  // one are left out ("Include customers without e-mail address" off).
  bool send = false;
  std::string from;
  std::string to;
  std::string subject;
  // True when the customer's address was too short and the message goes
  // to the company's own address instead.
  bool bad_address = false;
  std::vector<std::string> lines;  // Windows-1252, one per body line
};

InvoiceEmail ComposeInvoiceEmail(const company::CompanyRecord& company,
                                 const InvoiceImage& image);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_INVOICE_EMAIL_H_
