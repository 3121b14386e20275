// tallybook-admin reconcile DIR: recomputes the current company's customer
// balances, aging amounts and receivables from its transactions and prints
// every figure it changed, one a line. An operation journal left by a
// killed process is played back first, and what it took back is printed
// too. Exit 0 when nothing needed changing, 1 when something did (or the
// reconcile failed).
#include <ostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "company/op_journal.h"
#include "company/reconcile.h"
#include "company/text.h"

namespace tallybook::admin {

int RunReconcile(const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err) {
  const std::string& dir = args[0];
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  company::PlaybackResult played;
  if (const int code = OpenInstallationCompany(app, dir, err, &played);
      code != kExitOk) {
    return code;
  }
  bool changed = false;
  if (played.played) {
    out << company::TakenBackText(played) << "\n";
    for (const std::string& line : played.changes) out << line << "\n";
    changed = played.records_taken_back > 0 || !played.changes.empty();
  }
  const company::ReconcileResult result =
      company::ReconcileBalances(app, app.CurrentCompanyNo());
  app.engine().StoreShutdown();
  for (const std::string& line : result.changes) out << line << "\n";
  if (!result.ok) return Fail(err, result.error);
  changed = changed || !result.changes.empty();
  out << "Company " << company::Trim(app.CurrentCompanyNo()) << ": "
      << (changed ? "balances reconciled" : "balances agree") << "\n";
  return changed ? kExitFailed : kExitOk;
}

}  // namespace tallybook::admin
