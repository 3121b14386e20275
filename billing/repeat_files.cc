#include "billing/repeat_files.h"

#include "billing/invoice_bookkeeping.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/text.h"

namespace tallybook::billing {

using company::Date;
using company::KeyText;

RepeatFiles::RepeatFiles(company::App& app)
    : transactions(app), lines(app), memos(app), customers(app),
      companies(app), app_(app) {}

bool RepeatFiles::Open() {
  if (transactions.OpenCompanyFile() && lines.OpenCompanyFile() &&
      memos.OpenCompanyFile() && customers.OpenCompanyFile() &&
      companies.OpenCompanyFile()) {
    return true;
  }
  Close();
  return false;
}

bool RepeatFiles::Close() {
  bool ok = true;
  for (company::CompanyFileAccess* file :
       {static_cast<company::CompanyFileAccess*>(&transactions),
        static_cast<company::CompanyFileAccess*>(&lines),
        static_cast<company::CompanyFileAccess*>(&memos),
        static_cast<company::CompanyFileAccess*>(&customers),
        static_cast<company::CompanyFileAccess*>(&companies)}) {
    ok = file->Close() && ok;
  }
  return ok;
}

bool RepeatFiles::FindCustomer(std::string_view customer_no,
                               int32_t* rec_no) {
  const std::string key = KeyText(customer_no, company::kCustomerNoKeyLength);
  std::string found;
  return customers.FindByKey(2, key, *rec_no, &found) && found == key &&
         customers.GetRecord(*rec_no);
}

bool RepeatFiles::FindCompany(int32_t* rec_no) {
  const std::string key =
      KeyText(app_.CurrentCompanyNo(), company::kCompanyNoKeyLength);
  std::string found;
  return companies.FindByKey(1, key, *rec_no, &found) && found == key &&
         companies.GetRecord(*rec_no);
}

std::vector<int32_t> RepeatFiles::LinesOf(std::string_view invoice_no) {
  return LineRecordsOf(lines, invoice_no);
}

bool RepeatFiles::FindTransaction(std::string_view invoice_no, char type_code,
                                  int32_t* rec_no) {
  const std::string key =
      KeyText(invoice_no, company::kTransInvoiceNoKeyLength);
  store::Engine& engine = transactions.engine();
  int32_t ref = 0;
  std::string at = key;
  bool ok = engine.SearchKey(transactions.handle(), 1, ref, at);
  while (ok && at == key) {
    if (transactions.GetRecord(ref) && TypeOf(transactions.rec()) == type_code) {
      *rec_no = ref;
      return true;
    }
    ok = engine.NextKey(transactions.handle(), 1, ref, at);
  }
  return false;
}

company::PString<10>& AgingField(company::CustomerRecord& customer,
                                 int bucket) {
  switch (bucket) {
    case 0: return customer.AgingCurrent;
    case 1: return customer.Aging2;
    case 2: return customer.Aging3;
    default: return customer.Aging4;
  }
}

Date AgingDateOf(const company::App& app,
                 const company::TransactionRecord& record) {
  const Date fields{company::WholeNumberOr(record.Year.View(), 0),
                    company::WholeNumberOr(record.Month.View(), 0),
                    company::WholeNumberOr(record.Day.View(), 0)};
  if (fields.IsValid()) return fields;
  if (auto d = app.ParseDate(record.DateText.View())) return *d;
  if (auto d = company::ParseSortableDate(record.SortDate.View())) return *d;
  return app.Today();
}

char TypeOf(const company::TransactionRecord& record) {
  const std::string code = company::Trim(record.TypeCode.View());
  return code.empty() ? '\0' : company::UpperCase1252(code)[0];
}

}  // namespace tallybook::billing
