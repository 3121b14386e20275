// Rebuild Data Files: the company list, then the current company's
// customers, transactions, invoice lines, memos and products, each rebuilt
// (data file reorganised, every index made anew) with its progress window.
//
// One file failing or being cancelled does not stop the others. The closing
// message claims success only for what was rebuilt: when a file did not
// rebuild, the user is told which and why. A file the company does not have
// yet (no .DAT: nobody has opened it) has nothing to rebuild and is passed
// over.
#ifndef TALLYBOOK_COMPANY_REBUILD_ALL_H_
#define TALLYBOOK_COMPANY_REBUILD_ALL_H_

#include <string>
#include <vector>

#include "company/app.h"
#include "company/company_files.h"

namespace tallybook::company {

inline constexpr char kRebuildDone[] = "The data files have been rebuilt.";
inline constexpr char kRebuildDoneCaption[] = "Rebuild Complete";
inline constexpr char kRebuildIncompleteCaption[] = "Rebuild Incomplete";

// The files in the order they are rebuilt.
const std::vector<CompanyFile>& RebuildOrder();

struct RebuildFailure {
  std::string caption;  // the file's rebuild caption ("Customers")
  int store_error = 0;  // 10460 when the user cancelled
};

struct RebuildAllResult {
  std::vector<std::string> rebuilt;  // rebuild captions, in order
  std::vector<std::string> missing;  // neither N.DAT nor N.SAV: passed over
  std::vector<RebuildFailure> failed;
};

// "These data files were not rebuilt: Customers (cancelled), Invoices
// (error 10115). The other data files have been rebuilt. Run Rebuild Data
// Files again for the files not rebuilt."
std::string RebuildIncompleteText(const std::vector<RebuildFailure>& failed);

// Rebuilds every file of RebuildOrder for the App's current company and
// shows kRebuildDone (caption kRebuildDoneCaption) or, when any file
// failed, RebuildIncompleteText (caption kRebuildIncompleteCaption).
// Precondition: none of the files is open.
RebuildAllResult RebuildDataFiles(App& app);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_REBUILD_ALL_H_
