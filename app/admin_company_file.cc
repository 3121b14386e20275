#include "app/admin_company_file.h"

#include <cctype>

#include "company/text.h"

namespace tallybook::admin {

namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<CompanyFileArgument> ParseCompanyFileArgument(
    const std::string& dir, const std::string& name, std::string* problem) {
  using company::CompanyFile;
  CompanyFileArgument arg;
  if (EqualsIgnoringCase(name, company::kCompanyListName)) {
    arg.file = &company::CompanyListFile();
  } else {
    const CompanyFile files[] = {CompanyFile::kProducts, CompanyFile::kCustomers,
                                 CompanyFile::kLines, CompanyFile::kTransactions,
                                 CompanyFile::kMemos};
    const char letter = name.empty()
                            ? 0
                            : static_cast<char>(std::toupper(
                                  static_cast<unsigned char>(name.back())));
    for (CompanyFile f : files) {
      if (company::DescriptionOf(f).letter == letter) {
        arg.file = &company::DescriptionOf(f);
      }
    }
    arg.company_no = name.empty() ? "" : name.substr(0, name.size() - 1);
    // Only a company number names company files: no path can slip in.
    const bool plain = company::IsValidCompanyNo(arg.company_no) &&
                       company::Trim(arg.company_no) == arg.company_no;
    if (arg.file == nullptr || !plain) {
      *problem = "\"" + name +
                 "\" is no company file (Company, or a company number "
                 "followed by P, C, D, I or M)";
      return std::nullopt;
    }
  }
  arg.base_path = company::FilePathOf(*arg.file, dir, arg.company_no);
  return arg;
}

}  // namespace tallybook::admin
