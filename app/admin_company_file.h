// The FILE argument of the tallybook-admin commands that work on one company
// file of a data directory: "Company" for the company list, else the
// company number followed by the file's letter (P products, C customers,
// D invoice lines, I transactions, M memos), as the files are named on disk
// ("1C" is 1C.DAT / 1C.IX).
#ifndef TALLYBOOK_APP_ADMIN_COMPANY_FILE_H_
#define TALLYBOOK_APP_ADMIN_COMPANY_FILE_H_

#include <optional>
#include <string>

#include "company/company_files.h"

namespace tallybook::admin {

struct CompanyFileArgument {
  const company::FileDescription* file = nullptr;
  std::string company_no;  // empty for the company list
  std::string base_path;   // DIR joined with the base name, no extension
};

// The file named by name in dir. nullopt with *problem set (one line) when
// the name is no company file's name.
std::optional<CompanyFileArgument> ParseCompanyFileArgument(
    const std::string& dir, const std::string& name, std::string* problem);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_COMPANY_FILE_H_
