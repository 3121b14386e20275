#include "billing/invoice_lookups.h"

#include "company/data_access.h"
#include "company/keys.h"
#include "company/text.h"

namespace tallybook::billing {

std::optional<company::ProductRecord> FindProductByCode(
    company::App& app, const std::string& code) {
  const std::string wanted = company::UpperCase1252(company::Trim(code));
  if (wanted.empty()) return std::nullopt;
  company::ProductAccess products(app);
  if (!products.OpenCompanyFile()) return std::nullopt;
  const std::string key =
      company::KeyText(wanted, company::kProductCodeKeyLength);
  int32_t rec_no = 0;
  std::string found;
  std::optional<company::ProductRecord> product;
  if (products.FindByKey(1, key, rec_no, &found) && found == key &&
      products.GetRecord(rec_no)) {
    product = products.rec();
  }
  products.Close();
  return product;
}

}  // namespace tallybook::billing
