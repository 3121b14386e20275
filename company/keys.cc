#include "company/keys.h"

#include "company/text.h"

namespace tallybook::company {
namespace {

std::string PadAndCut(std::string text, int key_length) {
  if (key_length > 0 && text.size() < static_cast<size_t>(key_length)) {
    text.append(static_cast<size_t>(key_length) - text.size(), ' ');
  }
  if (text.size() > static_cast<size_t>(kKeyLimit)) text.resize(kKeyLimit);
  return text;
}

}  // namespace

std::string KeyText(std::string_view text, int key_length) {
  return PadAndCut(UpperCase1252(PadRight(Trim(text), key_length)),
                   key_length);
}

std::string KeyTextAsStored(std::string_view text, int key_length) {
  return PadAndCut(std::string(text), key_length);
}

std::string BuildKey(const CompanyRecord& record, int key_no) {
  switch (key_no) {
    case 1: return KeyText(record.CompanyNo.View(), kCompanyNoKeyLength);
    case 2: return KeyText(record.CompanyName.View(), kCompanyNameKeyLength);
    default: return std::string();
  }
}

std::string BuildKey(const ProductRecord& record, int key_no) {
  switch (key_no) {
    case 1: return KeyText(record.ProductCode.View(), kProductCodeKeyLength);
    case 2:
      return KeyText(record.ProductDescription.View(),
                     kProductDescriptionKeyLength);
    default: return std::string();
  }
}

std::string BuildKey(const CustomerRecord& record, int key_no) {
  switch (key_no) {
    case 1: return KeyText(record.CustomerName.View(), kCustomerNameKeyLength);
    case 2: return KeyText(record.CustomerNo.View(), kCustomerNoKeyLength);
    default: return std::string();
  }
}

std::string BuildKey(const LineRecord& record, int key_no) {
  switch (key_no) {
    case 1:
      return KeyText(record.InvoiceSortDate.View(), kLineSortDateKeyLength);
    case 2: return KeyText(record.InvoiceNo.View(), kLineInvoiceNoKeyLength);
    default: return std::string();
  }
}

std::string BuildKey(const TransactionRecord& record, int key_no) {
  switch (key_no) {
    case 1: return KeyText(record.InvoiceNo.View(), kTransInvoiceNoKeyLength);
    case 2: return KeyText(record.CustomerNo.View(), kTransCustomerNoKeyLength);
    case 3:
      return KeyTextAsStored(record.SortDate.View(), kTransSortDateKeyLength);
    case 4: return KeyText(record.KeyCode.View(), kTransKeyCodeKeyLength);
    case 5:
      return KeyText(
          Trim(record.TypeCode.View()) + Trim(record.InvoiceNo.View()),
          kTransTypeInvoiceKeyLength);
    case 6:
      return KeyTextAsStored(record.PaidSortDate.View(),
                             kTransPaidSortDateKeyLength);
    default: return std::string();
  }
}

std::string BuildKey(const MemoRecord& record, int key_no) {
  switch (key_no) {
    case 1: return KeyText(record.InvoiceNo.View(), kMemoInvoiceNoKeyLength);
    default: return std::string();
  }
}

}  // namespace tallybook::company
