// The options a company starts with: the defaults the company manager puts
// into a new company, and the whole record of an installation's first
// company.
#ifndef TALLYBOOK_COMPANY_COMPANY_DEFAULTS_H_
#define TALLYBOOK_COMPANY_COMPANY_DEFAULTS_H_

#include <string_view>

#include "company/records.h"

namespace tallybook::company {

// Sets the options a new company starts with, over whatever record holds
// (the company manager passes a copy of the current company, so options not
// named here are inherited): balance "0.00"; name, address lines and sales
// message lines empty; background bitmap on with "vkt8.bmp"; tax rate
// "0.000", taxes on; terms "Net 30 Days"; next invoice "100"; quantity
// "1.00"; next customer "1"; date order "M"; the editor and managers fonts;
// line-item invoices; the aging days and captions; and so on. The company
// number is left to the caller.
void ApplyNewCompanyDefaults(CompanyRecord& record);

// The record of an installation's first company: all zero bytes, the new-
// company defaults, the number and the name, and the options a copy of a
// current company would otherwise have supplied (every Y/N flag without a
// default "N", the envelope portrait with the billing address). The
// background bitmap is off, since a fresh data directory holds none.
CompanyRecord FirstCompanyRecord(std::string_view company_no,
                                 std::string_view company_name);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_COMPANY_DEFAULTS_H_
