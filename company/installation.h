// A new installation: the data directory a first start needs. It holds the
// company list with company "1", "LastCo.Dat" naming that company, and the
// payment terms file with the terms every installation starts with.
//
// An installation is never made over another: a directory that already
// holds "LastCo.Dat", the company list or the terms file is left alone.
#ifndef TALLYBOOK_COMPANY_INSTALLATION_H_
#define TALLYBOOK_COMPANY_INSTALLATION_H_

#include <string>

namespace tallybook::company {

inline constexpr char kFirstCompanyNo[] = "1";
inline constexpr char kFirstCompanyName[] = "My Company";

struct InstallationResult {
  bool ok = false;
  // What to tell the user: where the installation was made, or why not.
  std::string message;
};

// Creates dir when missing, then the company list holding the first
// company (FirstCompanyRecord), "LastCo.Dat" with the same record,
// "TLTERMS.DAT" holding the standard terms (DefaultTerms) and the
// program's background picture (background.h). Refuses, changing nothing, when dir already holds any of
// the three. A failure part way removes what this call created.
InstallationResult CreateInstallation(const std::string& dir);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_INSTALLATION_H_
