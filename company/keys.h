// Key texts of the company files, built from a record by key number.
//
// Every key follows one rule: take the field's text, remove leading and
// trailing characters of code below 33, pad on the right with blanks to the
// key length, upper-case (Windows-1252), cut to 30 characters. Keys 3 and 6
// of the transactions file (sortable dates) are taken as stored: padded and
// cut, but neither trimmed nor upper-cased.
//
//   FILE          KEY  LENGTH  DUPLICATES  FIELD
//   company list  1    5       no          CompanyNo
//                 2    30      yes         CompanyName
//   products      1    10      no          ProductCode
//                 2    30      yes         ProductDescription
//   customers     1    30      no          CustomerName
//                 2    8       yes         CustomerNo
//   invoice lines 1    10      yes         InvoiceSortDate
//                 2    9       yes         InvoiceNo
//   transactions  1    9       yes         InvoiceNo
//                 2    8       yes         CustomerNo
//                 3    10      yes         SortDate, as stored
//                 4    8       yes         KeyCode
//                 5    10      yes         TypeCode + InvoiceNo (each trimmed)
//                 6    10      yes         PaidSortDate, as stored
//   memos         1    9       no          InvoiceNo
//
// The rebuild calls the same builders, through the file descriptions of
// company_files.h, for every record and key.
#ifndef TALLYBOOK_COMPANY_KEYS_H_
#define TALLYBOOK_COMPANY_KEYS_H_

#include <string>
#include <string_view>

#include "company/records.h"

namespace tallybook::company {

// The longest key the record store takes.
inline constexpr int kKeyLimit = 30;

// Key lengths, by file and key number.
inline constexpr int kCompanyNoKeyLength = 5;
inline constexpr int kCompanyNameKeyLength = 30;
inline constexpr int kProductCodeKeyLength = 10;
inline constexpr int kProductDescriptionKeyLength = 30;
inline constexpr int kCustomerNameKeyLength = 30;
inline constexpr int kCustomerNoKeyLength = 8;
inline constexpr int kLineSortDateKeyLength = 10;
inline constexpr int kLineInvoiceNoKeyLength = 9;
inline constexpr int kTransInvoiceNoKeyLength = 9;
inline constexpr int kTransCustomerNoKeyLength = 8;
inline constexpr int kTransSortDateKeyLength = 10;
inline constexpr int kTransKeyCodeKeyLength = 8;
inline constexpr int kTransTypeInvoiceKeyLength = 10;
inline constexpr int kTransPaidSortDateKeyLength = 10;
inline constexpr int kMemoInvoiceNoKeyLength = 9;

// The key rule applied to one text: trimmed, padded to key_length, upper-
// cased, cut to 30. Callers that search by a typed value use this so the
// search key matches the stored one.
std::string KeyText(std::string_view text, int key_length);

// A key taken as stored: padded to key_length and cut to 30 only.
std::string KeyTextAsStored(std::string_view text, int key_length);

// Key key_no of the record; the empty text for a key number the file does
// not have.
std::string BuildKey(const CompanyRecord& record, int key_no);
std::string BuildKey(const ProductRecord& record, int key_no);
std::string BuildKey(const CustomerRecord& record, int key_no);
std::string BuildKey(const LineRecord& record, int key_no);
std::string BuildKey(const TransactionRecord& record, int key_no);
std::string BuildKey(const MemoRecord& record, int key_no);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_KEYS_H_
