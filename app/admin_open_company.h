// Opening the current company of an installation for a tallybook-admin
// command: "LastCo.Dat" names it, the company list gives its record, the
// record store is started.
#ifndef TALLYBOOK_APP_ADMIN_OPEN_COMPANY_H_
#define TALLYBOOK_APP_ADMIN_OPEN_COMPANY_H_

#include <ostream>
#include <string>

#include "company/app.h"
#include "company/op_journal.h"

namespace tallybook::admin {

// Starts app's record store and makes the company "LastCo.Dat" names (read
// again from the company list) app's CurrentCompany, with the short date
// format and today's date following it. An operation journal left in dir
// is played back first (what it did goes to *playback when given); one
// that cannot be played back fails the command. Returns kExitOk, or
// kExitFailed after writing why to err (the store is shut down again then).
int OpenInstallationCompany(company::App& app, const std::string& dir,
                            std::ostream& err,
                            company::PlaybackResult* playback = nullptr);

// For the commands that work on files rather than the company (check DIR
// FILE, rebuild DIR FILE): plays back an operation journal left in dir, if
// any, telling the user on err. kExitOk when there was none or it was
// played back.
int PlayBackLeftJournal(const std::string& dir, std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_OPEN_COMPANY_H_
