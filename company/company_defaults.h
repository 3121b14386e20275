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
// line-item invoices; the aging days and captions; and so on. Then
// FillBlankFormSettings. The company number is left to the caller.
void ApplyNewCompanyDefaults(CompanyRecord& record);

// Gives every printed-form setting the record leaves blank a value, so
// that a company can bill at once: the form captions ("INVOICE",
// "STATEMENT", "PACKING SLIP", "FILE COPY"), the column headings, the tax
// heading, the memo header, the six form fonts, the envelope font, line
// spacing and margins, the form margins, line width and maximum lines.
// Settings that hold a value are kept (a new company inherits them).
void FillBlankFormSettings(CompanyRecord& record);

// The record of an installation's first company: all zero bytes, the new-
// company defaults (the background is the program's own picture, which the
// installation writes), the number and the name, and the options a copy of
// a current company would otherwise have supplied: every Y/N flag without a
// default "N", the envelope portrait with the billing address, and the
// printed-form layout (vertical lines, boxes around invoices and
// statements, product codes, customer aging and the sales message on).
CompanyRecord FirstCompanyRecord(std::string_view company_no,
                                 std::string_view company_name);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_COMPANY_DEFAULTS_H_
