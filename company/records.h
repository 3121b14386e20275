// The records of a company's data files, as packed structs whose bytes are
// the file layout. A record is copied to and from the record store whole.
//
// Conventions shared by every record:
//   - bytes 0-3 are the record store's delete mark (0 for a record in use);
//   - text fields are PString<N> (length byte + N characters, Windows-1252);
//   - money and quantity fields are text with commas removed ("0.00" when
//     new), see format.h; yes/no flags are PString<1> holding "Y" or "N";
//   - "byte" fields are booleans, 0 or 1; int32 fields are little-endian;
//   - gaps are the Reserved* arrays and stay zero.
// A default-constructed record is all zero bytes, as a new record must be
// before its fields are filled.
//
// The company list record lives in company_record.h; this header includes
// it, so users include records.h only.
#ifndef TALLYBOOK_COMPANY_RECORDS_H_
#define TALLYBOOK_COMPANY_RECORDS_H_

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "company/pstring.h"
#include "company/record_layout.h"

namespace tallybook::company {

#pragma pack(push, 1)

// Product file, letter "P", 300 bytes.
//   OFFSET WIDTH    FIELD
//   0      4        DeleteMark
//   4      str[10]  ProductCode          key 1, length 10, unique
//   15     str[32]  ProductDescription   key 2 (first 30), duplicates
//   48     11       Reserved48           zero
//   59     1 byte   Taxable              1 = taxable
//   60     str[10]  SalesPrice           money text
//   71     11       Reserved71           zero
//   82     str[150] ProductNotes
//   233    str[10]  SetupDate            display date
//   244    str[10]  LastChangeDate       display date
//   255    45       Reserved255          zero
struct ProductRecord {
  int32_t DeleteMark = 0;
  PString<10> ProductCode;
  PString<32> ProductDescription;
  uint8_t Reserved48[11] = {};
  uint8_t Taxable = 0;
  PString<10> SalesPrice;
  uint8_t Reserved71[11] = {};
  PString<150> ProductNotes;
  PString<10> SetupDate;
  PString<10> LastChangeDate;
  uint8_t Reserved255[45] = {};
};

// Customer file, letter "C", 1008 bytes.
//   OFFSET WIDTH    FIELD
//   0      4        DeleteMark
//   4      str[8]   CustomerNo           key 2, length 8, duplicates
//   13     str[35]  CustomerName         key 1 (first 30), unique
//   49     str[12]  Balance              money text
//   62     str[10]  LastPaymentDate      display date
//   73     str[9]   LastInvoiceNo
//   83     str[25]  CustomerType
//   109    str[1]   TaxExempt            "Y": tax-exempt
//   111    str[10]  CreditLimit          money text
//   122    str[35]  Terms
//   158    4 x str[35] BillAddress1..4   at 158, 194, 230, 266
//   302    str[25]  Phone1
//   328    4 x str[35] ShipAddress1..4   at 328, 364, 400, 436
//   472    str[25]  Phone2
//   498    str[10]  AgingCurrent         aged balances, money text
//   509    str[10]  Aging2
//   520    str[10]  Aging3
//   531    str[10]  Aging4
//   542    str[240] CustomerNotes
//   783    str[1]   NotesOnInvoices      Y/N
//   785    str[1]   NotesOnStatements    Y/N
//   787    13       Reserved787          zero
//   800    str[10]  ShortName
//   811    str[15]  MailListCode
//   827    26       Reserved827          zero
//   853    str[1]   CreditHold           Y/N
//   855    str[50]  EMailAddress
//   906    102      Reserved906          zero
struct CustomerRecord {
  int32_t DeleteMark = 0;
  PString<8> CustomerNo;
  PString<35> CustomerName;
  PString<12> Balance;
  PString<10> LastPaymentDate;
  PString<9> LastInvoiceNo;
  PString<25> CustomerType;
  PString<1> TaxExempt;
  PString<10> CreditLimit;
  PString<35> Terms;
  PString<35> BillAddress1;
  PString<35> BillAddress2;
  PString<35> BillAddress3;
  PString<35> BillAddress4;
  PString<25> Phone1;
  PString<35> ShipAddress1;
  PString<35> ShipAddress2;
  PString<35> ShipAddress3;
  PString<35> ShipAddress4;
  PString<25> Phone2;
  PString<10> AgingCurrent;
  PString<10> Aging2;
  PString<10> Aging3;
  PString<10> Aging4;
  PString<240> CustomerNotes;
  PString<1> NotesOnInvoices;
  PString<1> NotesOnStatements;
  uint8_t Reserved787[13] = {};
  PString<10> ShortName;
  PString<15> MailListCode;
  uint8_t Reserved827[26] = {};
  PString<1> CreditHold;
  PString<50> EMailAddress;
  uint8_t Reserved906[102] = {};
};

// Invoice line file, letter "D", 132 bytes.
//   OFFSET WIDTH    FIELD
//   0      4        DeleteMark
//   4      str[65]  LineText         quantity 10, description 32, unit
//                                    price 10, tax flag 1, amount 10
//   70     str[1]   LineKind         "P" product line, "M" memo stand-in,
//                                    "R" repeat billing master line
//   72     str[5]   CompanyNo
//   78     str[9]   InvoiceNo        key 2, length 9, duplicates
//   88     str[10]  InvoiceSortDate  key 1, length 10, duplicates
//   99     str[10]  LineProductCode
//   110    str[8]   CustomerNo
//   119    str[10]  LineShortName
//   130    2        Reserved130      zero
struct LineRecord {
  int32_t DeleteMark = 0;
  PString<65> LineText;
  PString<1> LineKind;
  PString<5> CompanyNo;
  PString<9> InvoiceNo;
  PString<10> InvoiceSortDate;
  PString<10> LineProductCode;
  PString<8> CustomerNo;
  PString<10> LineShortName;
  uint8_t Reserved130[2] = {};
};

// Widths of the columns of LineRecord::LineText, in order.
inline constexpr int kLineQuantityWidth = 10;
inline constexpr int kLineDescriptionWidth = 32;
inline constexpr int kLineUnitPriceWidth = 10;
inline constexpr int kLineTaxFlagWidth = 1;
inline constexpr int kLineAmountWidth = 10;
// An invoice holds at most this many lines.
inline constexpr int kMaxInvoiceLines = 99;

// Memo file, letter "M", 1892 bytes.
//   OFFSET WIDTH        FIELD
//   0      4            DeleteMark
//   4      str[9]       InvoiceNo     key 1, length 9, unique
//   14     25 x str[74] MemoLines     line 1 first, 75 bytes each
//   1889   3            Reserved1889  zero
inline constexpr int kMemoLineCount = 25;
inline constexpr int kMemoLineWidth = 74;
struct MemoRecord {
  int32_t DeleteMark = 0;
  PString<9> InvoiceNo;
  PString<kMemoLineWidth> MemoLines[kMemoLineCount];
  uint8_t Reserved1889[3] = {};
};

// Transaction file, letter "I", 360 bytes. Every key allows duplicates.
//   OFFSET WIDTH    FIELD
//   0      4        DeleteMark
//   4      str[9]   InvoiceNo        key 1 (9), stored upper-cased
//   14     str[1]   TypeCode         I, R, G, Z, X, D, T
//   16     str[8]   KeyCode          key 4 (8)
//   25     str[8]   CustomerNo       key 2 (8)
//   34     str[5]   CompanyNo
//   40     str[10]  DateText         display date
//   51     str[1]   PrintedFlag      Y/N
//   53     str[2]   Month            "MM"
//   56     str[2]   Day              "DD"
//   59     str[4]   Year             "YYYY"
//   64     str[10]  SortDate         "YYYY/MM/DD", key 3 (10) as stored
//   75     str[80]  InvoiceNotes
//   156    str[35]  InvoiceTerms
//   192    str[35]  StatementNote
//   228    str[1]   InvoiceKind      "P", "M", or "D" for deposits
//   230    str[10]  ShortName
//   241    str[10]  NetAmount        money text
//   252    str[10]  TaxAmount        money text
//   263    str[10]  GrandTotal       money text
//   274    str[10]  PaidAmount       money text
//   285    str[10]  AmountDue        money text
//   296    str[10]  PaidSortDate     "YYYY/MM/DD" or one blank, key 6 (10)
//   307    str[1]   RepeatUnit       "M" months or "D" days
//   309    str[1]   PaidStatus       "P" paid, one blank open
//   311    str[10]  NextDueDate      always "mm/dd/yyyy"
//   322    str[3]   RepeatInterval
//   326    str[3]   RepeatCount
//   330    15       Reserved330      zero
//   345    str[14]  EMailNote
// Key 5 (10) is TypeCode followed by InvoiceNo.
struct TransactionRecord {
  int32_t DeleteMark = 0;
  PString<9> InvoiceNo;
  PString<1> TypeCode;
  PString<8> KeyCode;
  PString<8> CustomerNo;
  PString<5> CompanyNo;
  PString<10> DateText;
  PString<1> PrintedFlag;
  PString<2> Month;
  PString<2> Day;
  PString<4> Year;
  PString<10> SortDate;
  PString<80> InvoiceNotes;
  PString<35> InvoiceTerms;
  PString<35> StatementNote;
  PString<1> InvoiceKind;
  PString<10> ShortName;
  PString<10> NetAmount;
  PString<10> TaxAmount;
  PString<10> GrandTotal;
  PString<10> PaidAmount;
  PString<10> AmountDue;
  PString<10> PaidSortDate;
  PString<1> RepeatUnit;
  PString<1> PaidStatus;
  PString<10> NextDueDate;
  PString<3> RepeatInterval;
  PString<3> RepeatCount;
  uint8_t Reserved330[15] = {};
  PString<14> EMailNote;
};

#pragma pack(pop)

// ---- Layout checks: the structs are the file layouts.
static_assert(std::is_standard_layout_v<ProductRecord>);
static_assert(std::is_trivially_copyable_v<ProductRecord>);
static_assert(sizeof(ProductRecord) == 300);
TALLYBOOK_FIELD_AT(ProductRecord, DeleteMark, 0);
TALLYBOOK_FIELD_AT(ProductRecord, ProductCode, 4);
TALLYBOOK_FIELD_AT(ProductRecord, ProductDescription, 15);
TALLYBOOK_FIELD_AT(ProductRecord, Reserved48, 48);
TALLYBOOK_FIELD_AT(ProductRecord, Taxable, 59);
TALLYBOOK_FIELD_AT(ProductRecord, SalesPrice, 60);
TALLYBOOK_FIELD_AT(ProductRecord, Reserved71, 71);
TALLYBOOK_FIELD_AT(ProductRecord, ProductNotes, 82);
TALLYBOOK_FIELD_AT(ProductRecord, SetupDate, 233);
TALLYBOOK_FIELD_AT(ProductRecord, LastChangeDate, 244);
TALLYBOOK_FIELD_AT(ProductRecord, Reserved255, 255);

static_assert(std::is_standard_layout_v<CustomerRecord>);
static_assert(std::is_trivially_copyable_v<CustomerRecord>);
static_assert(sizeof(CustomerRecord) == 1008);
TALLYBOOK_FIELD_AT(CustomerRecord, DeleteMark, 0);
TALLYBOOK_FIELD_AT(CustomerRecord, CustomerNo, 4);
TALLYBOOK_FIELD_AT(CustomerRecord, CustomerName, 13);
TALLYBOOK_FIELD_AT(CustomerRecord, Balance, 49);
TALLYBOOK_FIELD_AT(CustomerRecord, LastPaymentDate, 62);
TALLYBOOK_FIELD_AT(CustomerRecord, LastInvoiceNo, 73);
TALLYBOOK_FIELD_AT(CustomerRecord, CustomerType, 83);
TALLYBOOK_FIELD_AT(CustomerRecord, TaxExempt, 109);
TALLYBOOK_FIELD_AT(CustomerRecord, CreditLimit, 111);
TALLYBOOK_FIELD_AT(CustomerRecord, Terms, 122);
TALLYBOOK_FIELD_AT(CustomerRecord, BillAddress1, 158);
TALLYBOOK_FIELD_AT(CustomerRecord, BillAddress2, 194);
TALLYBOOK_FIELD_AT(CustomerRecord, BillAddress3, 230);
TALLYBOOK_FIELD_AT(CustomerRecord, BillAddress4, 266);
TALLYBOOK_FIELD_AT(CustomerRecord, Phone1, 302);
TALLYBOOK_FIELD_AT(CustomerRecord, ShipAddress1, 328);
TALLYBOOK_FIELD_AT(CustomerRecord, ShipAddress2, 364);
TALLYBOOK_FIELD_AT(CustomerRecord, ShipAddress3, 400);
TALLYBOOK_FIELD_AT(CustomerRecord, ShipAddress4, 436);
TALLYBOOK_FIELD_AT(CustomerRecord, Phone2, 472);
TALLYBOOK_FIELD_AT(CustomerRecord, AgingCurrent, 498);
TALLYBOOK_FIELD_AT(CustomerRecord, Aging2, 509);
TALLYBOOK_FIELD_AT(CustomerRecord, Aging3, 520);
TALLYBOOK_FIELD_AT(CustomerRecord, Aging4, 531);
TALLYBOOK_FIELD_AT(CustomerRecord, CustomerNotes, 542);
TALLYBOOK_FIELD_AT(CustomerRecord, NotesOnInvoices, 783);
TALLYBOOK_FIELD_AT(CustomerRecord, NotesOnStatements, 785);
TALLYBOOK_FIELD_AT(CustomerRecord, Reserved787, 787);
TALLYBOOK_FIELD_AT(CustomerRecord, ShortName, 800);
TALLYBOOK_FIELD_AT(CustomerRecord, MailListCode, 811);
TALLYBOOK_FIELD_AT(CustomerRecord, Reserved827, 827);
TALLYBOOK_FIELD_AT(CustomerRecord, CreditHold, 853);
TALLYBOOK_FIELD_AT(CustomerRecord, EMailAddress, 855);
TALLYBOOK_FIELD_AT(CustomerRecord, Reserved906, 906);

static_assert(std::is_standard_layout_v<LineRecord>);
static_assert(std::is_trivially_copyable_v<LineRecord>);
static_assert(sizeof(LineRecord) == 132);
// The five columns take 63 of the 65 characters.
static_assert(kLineQuantityWidth + kLineDescriptionWidth + kLineUnitPriceWidth +
                  kLineTaxFlagWidth + kLineAmountWidth <=
              65);
TALLYBOOK_FIELD_AT(LineRecord, DeleteMark, 0);
TALLYBOOK_FIELD_AT(LineRecord, LineText, 4);
TALLYBOOK_FIELD_AT(LineRecord, LineKind, 70);
TALLYBOOK_FIELD_AT(LineRecord, CompanyNo, 72);
TALLYBOOK_FIELD_AT(LineRecord, InvoiceNo, 78);
TALLYBOOK_FIELD_AT(LineRecord, InvoiceSortDate, 88);
TALLYBOOK_FIELD_AT(LineRecord, LineProductCode, 99);
TALLYBOOK_FIELD_AT(LineRecord, CustomerNo, 110);
TALLYBOOK_FIELD_AT(LineRecord, LineShortName, 119);
TALLYBOOK_FIELD_AT(LineRecord, Reserved130, 130);

static_assert(std::is_standard_layout_v<MemoRecord>);
static_assert(std::is_trivially_copyable_v<MemoRecord>);
static_assert(sizeof(MemoRecord) == 1892);
TALLYBOOK_FIELD_AT(MemoRecord, DeleteMark, 0);
TALLYBOOK_FIELD_AT(MemoRecord, InvoiceNo, 4);
TALLYBOOK_FIELD_AT(MemoRecord, MemoLines, 14);
TALLYBOOK_FIELD_AT(MemoRecord, MemoLines[1], 14 + 75);
TALLYBOOK_FIELD_AT(MemoRecord, MemoLines[24], 14 + 24 * 75);
TALLYBOOK_FIELD_AT(MemoRecord, Reserved1889, 1889);

static_assert(std::is_standard_layout_v<TransactionRecord>);
static_assert(std::is_trivially_copyable_v<TransactionRecord>);
static_assert(sizeof(TransactionRecord) == 360);
TALLYBOOK_FIELD_AT(TransactionRecord, DeleteMark, 0);
TALLYBOOK_FIELD_AT(TransactionRecord, InvoiceNo, 4);
TALLYBOOK_FIELD_AT(TransactionRecord, TypeCode, 14);
TALLYBOOK_FIELD_AT(TransactionRecord, KeyCode, 16);
TALLYBOOK_FIELD_AT(TransactionRecord, CustomerNo, 25);
TALLYBOOK_FIELD_AT(TransactionRecord, CompanyNo, 34);
TALLYBOOK_FIELD_AT(TransactionRecord, DateText, 40);
TALLYBOOK_FIELD_AT(TransactionRecord, PrintedFlag, 51);
TALLYBOOK_FIELD_AT(TransactionRecord, Month, 53);
TALLYBOOK_FIELD_AT(TransactionRecord, Day, 56);
TALLYBOOK_FIELD_AT(TransactionRecord, Year, 59);
TALLYBOOK_FIELD_AT(TransactionRecord, SortDate, 64);
TALLYBOOK_FIELD_AT(TransactionRecord, InvoiceNotes, 75);
TALLYBOOK_FIELD_AT(TransactionRecord, InvoiceTerms, 156);
TALLYBOOK_FIELD_AT(TransactionRecord, StatementNote, 192);
TALLYBOOK_FIELD_AT(TransactionRecord, InvoiceKind, 228);
TALLYBOOK_FIELD_AT(TransactionRecord, ShortName, 230);
TALLYBOOK_FIELD_AT(TransactionRecord, NetAmount, 241);
TALLYBOOK_FIELD_AT(TransactionRecord, TaxAmount, 252);
TALLYBOOK_FIELD_AT(TransactionRecord, GrandTotal, 263);
TALLYBOOK_FIELD_AT(TransactionRecord, PaidAmount, 274);
TALLYBOOK_FIELD_AT(TransactionRecord, AmountDue, 285);
TALLYBOOK_FIELD_AT(TransactionRecord, PaidSortDate, 296);
TALLYBOOK_FIELD_AT(TransactionRecord, RepeatUnit, 307);
TALLYBOOK_FIELD_AT(TransactionRecord, PaidStatus, 309);
TALLYBOOK_FIELD_AT(TransactionRecord, NextDueDate, 311);
TALLYBOOK_FIELD_AT(TransactionRecord, RepeatInterval, 322);
TALLYBOOK_FIELD_AT(TransactionRecord, RepeatCount, 326);
TALLYBOOK_FIELD_AT(TransactionRecord, Reserved330, 330);
TALLYBOOK_FIELD_AT(TransactionRecord, EMailNote, 345);

}  // namespace tallybook::company

#include "company/company_record.h"

#endif  // TALLYBOOK_COMPANY_RECORDS_H_
