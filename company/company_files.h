// The company data set: which record files exist, how they are named, their
// record lengths and keys, and how each is created.
//
// One company list file ("Company") holds one record per company; each
// company owns five more files whose base name is the trimmed company
// number followed by a letter, cut to 8 characters (company "1" has 1P, 1C,
// 1D, 1I, 1M). The record store adds ".DAT" and ".IX".
//
//   FILE          BASE NAME     RECORD  KEYS  MODIFY   REBUILD CAPTION
//   company list  "Company"     2736    2     guarded  "Companies"
//   products      number + P    300     2     guarded  "Products"
//   customers     number + C    1008    2     guarded  "Customers"
//   invoice lines number + D    132     2     plain    "Detail Records"
//   transactions  number + I    360     6     guarded  "Invoices"
//   memos         number + M    1892    1     plain    "Memo Records"
//
// Key lengths and duplicate flags are those of keys.h. Paths are explicit:
// every routine that touches files takes the data directory.
#ifndef TALLYBOOK_COMPANY_COMPANY_FILES_H_
#define TALLYBOOK_COMPANY_COMPANY_FILES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "company/records.h"
#include "store/engine.h"
#include "store/rebuild.h"

namespace tallybook::company {

enum class CompanyFile {
  kCompanyList,
  kProducts,
  kCustomers,
  kLines,
  kTransactions,
  kMemos,
};

// How a modify treats the stored record (see data_access.h): the guarded
// modify refuses when the record changed since it was read; the plain one
// rewrites it.
enum class ModifyKind { kGuarded, kPlain };

// Key text of key_no built from the raw bytes of one record of the file.
// Precondition: record points to the file's record length bytes.
using RawKeyBuilder = std::string (*)(const uint8_t* record, int key_no);

// Everything the data-access layer and the rebuild need to know about one
// file.
struct FileDescription {
  CompanyFile file;
  // The letter after the company number; 0 for the company list, which has
  // the fixed base name in fixed_name.
  char letter;
  const char* fixed_name;
  int record_length;
  std::vector<store::KeyDescriptor> keys;
  RawKeyBuilder build_key;
  // Key numbers in the order a modify moves them.
  std::vector<int> modify_key_order;
  // Told to the user (caption kNewCompanyCaption) before a missing file is
  // created; empty when the file is created silently.
  const char* new_file_notice;
  // Title of the progress window while the file is rebuilt.
  const char* rebuild_caption;
  ModifyKind modify_kind;

  int KeyCount() const { return static_cast<int>(keys.size()); }
};

// Caption of the box that tells about a file being created.
inline constexpr char kNewCompanyCaption[] = "New Company";
inline constexpr char kCompanyListName[] = "Company";

// The description of a file; the six descriptions live for the whole run.
const FileDescription& DescriptionOf(CompanyFile file);
const FileDescription& CompanyListFile();
const FileDescription& ProductFile();
const FileDescription& CustomerFile();
const FileDescription& LineFile();
const FileDescription& TransactionFile();
const FileDescription& MemoFile();

// Whether a company number read from a file (the company list, "LastCo.Dat",
// a restored backup) may name files: once trimmed, a whole number from 1 to
// 32000, as the company dialog accepts them. Anything else ("../z", "/q",
// an empty number) would make a path outside the data directory, or no
// name at all, and is refused before a file is named after it.
bool IsValidCompanyNo(std::string_view company_no);

// The refusal of such a number, naming the number (control characters
// shown as '?') and `source`, the file it was read from, and what to do.
std::string InvalidCompanyNoText(std::string_view company_no,
                                 std::string_view source);
// Its first part, without the advice or the full stop: "The company number
// "../z" in <source> is not a number from 1 to 32000".
std::string InvalidCompanyNoStatement(std::string_view company_no,
                                      std::string_view source);
// The sources named by InvalidCompanyNoText.
inline constexpr char kCompanyListSource[] = "the company list (Company.DAT)";

// The trimmed company number followed by letter, cut to 8 characters.
// Callers pass only numbers that IsValidCompanyNo accepts.
std::string CompanyFileName(std::string_view company_no, char letter);

// The base name of file for the company: "Company" for the company list,
// else CompanyFileName(company_no, letter).
std::string BaseNameOf(const FileDescription& file,
                       std::string_view company_no);

// data_dir joined with base (no extension): the name the store is given.
std::string DataPath(const std::string& data_dir, const std::string& base);

// DataPath of the file for the company.
std::string FilePathOf(const FileDescription& file,
                       const std::string& data_dir,
                       std::string_view company_no);

// The file's key builder in the form the rebuild takes. It fails (returns
// false) for a key number the file does not have.
store::KeyBuilder StoreKeyBuilder(const FileDescription& file);

// Creates the data and index files of file for the company in data_dir,
// erasing any of that name, and leaves them closed. The result is the
// engine's StoreOK(); its StoreError() tells why on failure.
bool CreateCompanyFile(store::Engine& engine, const FileDescription& file,
                       const std::string& data_dir,
                       std::string_view company_no);

// One creation routine per file, as CreateCompanyFile.
bool CreateCompanyListFile(store::Engine& engine, const std::string& data_dir);
bool CreateProductFile(store::Engine& engine, const std::string& data_dir,
                       std::string_view company_no);
bool CreateCustomerFile(store::Engine& engine, const std::string& data_dir,
                        std::string_view company_no);
bool CreateLineFile(store::Engine& engine, const std::string& data_dir,
                    std::string_view company_no);
bool CreateTransactionFile(store::Engine& engine, const std::string& data_dir,
                           std::string_view company_no);
bool CreateMemoFile(store::Engine& engine, const std::string& data_dir,
                    std::string_view company_no);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_COMPANY_FILES_H_
