#include "company/company_files.h"

#include <cstring>
#include <filesystem>

#include "company/company_options.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/text.h"

namespace tallybook::company {
namespace {

// The raw builders copy the bytes into a record first: the store hands out
// plain byte buffers with no alignment promise.
template <typename Record>
std::string BuildRawKey(const uint8_t* bytes, int key_no) {
  Record record;
  std::memcpy(&record, bytes, sizeof(Record));
  return BuildKey(record, key_no);
}

std::vector<int> InOrder(int key_count) {
  std::vector<int> order;
  for (int k = 1; k <= key_count; ++k) order.push_back(k);
  return order;
}

// Each description is built on first use, so that no initialiser of
// another file can see it unmade.
const FileDescription& MakeCompanyList() {
  static const FileDescription d{
      CompanyFile::kCompanyList,
      0,
      kCompanyListName,
      static_cast<int>(sizeof(CompanyRecord)),
      {{kCompanyNoKeyLength, false}, {kCompanyNameKeyLength, true}},
      &BuildRawKey<CompanyRecord>,
      InOrder(2),
      "I am going to create a new, empty company file.",
      "Companies",
      ModifyKind::kGuarded,
  };
  return d;
}

const FileDescription& MakeProducts() {
  static const FileDescription d{
      CompanyFile::kProducts,
      'P',
      nullptr,
      static_cast<int>(sizeof(ProductRecord)),
      {{kProductCodeKeyLength, false}, {kProductDescriptionKeyLength, true}},
      &BuildRawKey<ProductRecord>,
      InOrder(2),
      "I am going to create a new, empty product file for this company.",
      "Products",
      ModifyKind::kGuarded,
  };
  return d;
}

const FileDescription& MakeCustomers() {
  static const FileDescription d{
      CompanyFile::kCustomers,
      'C',
      nullptr,
      static_cast<int>(sizeof(CustomerRecord)),
      {{kCustomerNameKeyLength, false}, {kCustomerNoKeyLength, true}},
      &BuildRawKey<CustomerRecord>,
      InOrder(2),
      "I am going to create a new, empty customer file for this company.",
      "Customers",
      ModifyKind::kGuarded,
  };
  return d;
}

const FileDescription& MakeLines() {
  static const FileDescription d{
      CompanyFile::kLines,
      'D',
      nullptr,
      static_cast<int>(sizeof(LineRecord)),
      {{kLineSortDateKeyLength, true}, {kLineInvoiceNoKeyLength, true}},
      &BuildRawKey<LineRecord>,
      InOrder(2),
      "",
      "Detail Records",
      ModifyKind::kPlain,
  };
  return d;
}

// Key 2 (customer number) moves last, after the invoice-number and date
// keys.
const FileDescription& MakeTransactions() {
  static const FileDescription d{
      CompanyFile::kTransactions,
      'I',
      nullptr,
      static_cast<int>(sizeof(TransactionRecord)),
      {{kTransInvoiceNoKeyLength, true},
       {kTransCustomerNoKeyLength, true},
       {kTransSortDateKeyLength, true},
       {kTransKeyCodeKeyLength, true},
       {kTransTypeInvoiceKeyLength, true},
       {kTransPaidSortDateKeyLength, true}},
      &BuildRawKey<TransactionRecord>,
      {1, 3, 4, 5, 6, 2},
      "I am going to create a new, empty invoice file for this company.",
      "Invoices",
      ModifyKind::kGuarded,
  };
  return d;
}

const FileDescription& MakeMemos() {
  static const FileDescription d{
      CompanyFile::kMemos,
      'M',
      nullptr,
      static_cast<int>(sizeof(MemoRecord)),
      {{kMemoInvoiceNoKeyLength, false}},
      &BuildRawKey<MemoRecord>,
      InOrder(1),
      "",
      "Memo Records",
      ModifyKind::kPlain,
  };
  return d;
}

}  // namespace

const FileDescription& CompanyListFile() { return MakeCompanyList(); }
const FileDescription& ProductFile() { return MakeProducts(); }
const FileDescription& CustomerFile() { return MakeCustomers(); }
const FileDescription& LineFile() { return MakeLines(); }
const FileDescription& TransactionFile() { return MakeTransactions(); }
const FileDescription& MemoFile() { return MakeMemos(); }

const FileDescription& DescriptionOf(CompanyFile file) {
  switch (file) {
    case CompanyFile::kCompanyList: return MakeCompanyList();
    case CompanyFile::kProducts: return MakeProducts();
    case CompanyFile::kCustomers: return MakeCustomers();
    case CompanyFile::kLines: return MakeLines();
    case CompanyFile::kTransactions: return MakeTransactions();
    case CompanyFile::kMemos: return MakeMemos();
  }
  return MakeCompanyList();
}

bool IsValidCompanyNo(std::string_view company_no) {
  int32_t number = 0;
  return ParseWholeNumber(company_no, &number) &&
         number >= kLowestCompanyNo && number <= kHighestCompanyNo;
}

std::string InvalidCompanyNoStatement(std::string_view company_no,
                                      std::string_view source) {
  std::string shown;
  for (char c : company_no) {
    shown.push_back(static_cast<unsigned char>(c) < ' ' ? '?' : c);
  }
  return "The company number \"" + shown + "\" in " + std::string(source) +
         " is not a number from " + std::to_string(kLowestCompanyNo) +
         " to " + std::to_string(kHighestCompanyNo);
}

std::string InvalidCompanyNoText(std::string_view company_no,
                                 std::string_view source) {
  return InvalidCompanyNoStatement(company_no, source) +
         ", so no file is opened for it. Choose another company in the "
         "Company Manager, or restore the data files from a backup.";
}

std::string CompanyFileName(std::string_view company_no, char letter) {
  std::string name = Trim(company_no);
  name.push_back(letter);
  if (name.size() > 8) name.resize(8);
  return name;
}

std::string BaseNameOf(const FileDescription& file,
                       std::string_view company_no) {
  if (file.letter == 0) return file.fixed_name;
  return CompanyFileName(company_no, file.letter);
}

std::string DataPath(const std::string& data_dir, const std::string& base) {
  if (data_dir.empty()) return base;
  return (std::filesystem::path(data_dir) / base).string();
}

std::string FilePathOf(const FileDescription& file,
                       const std::string& data_dir,
                       std::string_view company_no) {
  return DataPath(data_dir, BaseNameOf(file, company_no));
}

store::KeyBuilder StoreKeyBuilder(const FileDescription& file) {
  const RawKeyBuilder build = file.build_key;
  const int key_count = file.KeyCount();
  return [build, key_count](const uint8_t* record, int key_no,
                            std::string* key) {
    if (key_no < 1 || key_no > key_count) return false;
    *key = build(record, key_no);
    return true;
  };
}

bool CreateCompanyFile(store::Engine& engine, const FileDescription& file,
                       const std::string& data_dir,
                       std::string_view company_no) {
  return engine.CreateFileBlock(FilePathOf(file, data_dir, company_no),
                                file.record_length, file.keys);
}

bool CreateCompanyListFile(store::Engine& engine,
                           const std::string& data_dir) {
  return CreateCompanyFile(engine, MakeCompanyList(), data_dir, "");
}
bool CreateProductFile(store::Engine& engine, const std::string& data_dir,
                       std::string_view company_no) {
  return CreateCompanyFile(engine, MakeProducts(), data_dir, company_no);
}
bool CreateCustomerFile(store::Engine& engine, const std::string& data_dir,
                        std::string_view company_no) {
  return CreateCompanyFile(engine, MakeCustomers(), data_dir, company_no);
}
bool CreateLineFile(store::Engine& engine, const std::string& data_dir,
                    std::string_view company_no) {
  return CreateCompanyFile(engine, MakeLines(), data_dir, company_no);
}
bool CreateTransactionFile(store::Engine& engine, const std::string& data_dir,
                           std::string_view company_no) {
  return CreateCompanyFile(engine, MakeTransactions(), data_dir, company_no);
}
bool CreateMemoFile(store::Engine& engine, const std::string& data_dir,
                    std::string_view company_no) {
  return CreateCompanyFile(engine, MakeMemos(), data_dir, company_no);
}

}  // namespace tallybook::company
