// What the invoice editor reads of the company's files while the user
// types: a product by its code.
#ifndef TALLYBOOK_BILLING_INVOICE_LOOKUPS_H_
#define TALLYBOOK_BILLING_INVOICE_LOOKUPS_H_

#include <optional>
#include <string>

#include "billing/product_manager.h"
#include "company/app.h"
#include "company/records.h"

namespace tallybook::billing {

inline constexpr char kProductNotFound[] =
    "That product code was not found. Would you like to add it now?";

// The product whose code equals code (trimmed, upper-cased), read by key 1
// of the current company's product file; nullopt when there is none or the
// file cannot be opened.
std::optional<company::ProductRecord> FindProductByCode(
    company::App& app, const std::string& code);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_INVOICE_LOOKUPS_H_
