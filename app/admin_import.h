// What the CSV commands of tallybook-admin share: making the installation's
// current company current in an App.
#ifndef TALLYBOOK_APP_ADMIN_IMPORT_H_
#define TALLYBOOK_APP_ADMIN_IMPORT_H_

#include <ostream>
#include <string>

#include "company/app.h"

namespace tallybook::admin {

// Starts app's record store and reads the company "LastCo.Dat" of app's
// data directory names from the company list into CurrentCompany. False,
// after one line on err (Fail), when there is no installation or company;
// the store is then shut down again.
bool OpenCurrentCompany(company::App& app, std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_IMPORT_H_
