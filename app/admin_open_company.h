// Opening the current company of an installation for a tallybook-admin
// command: "LastCo.Dat" names it, the company list gives its record, the
// record store is started.
#ifndef TALLYBOOK_APP_ADMIN_OPEN_COMPANY_H_
#define TALLYBOOK_APP_ADMIN_OPEN_COMPANY_H_

#include <ostream>
#include <string>

#include "company/app.h"

namespace tallybook::admin {

// Starts app's record store and makes the company "LastCo.Dat" names (read
// again from the company list) app's CurrentCompany, with the short date
// format and today's date following it. Returns kExitOk, or kExitFailed
// after writing why to err (the store is shut down again then).
int OpenInstallationCompany(company::App& app, const std::string& dir,
                            std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_OPEN_COMPANY_H_
