#include "company/rebuild_all.h"

#include <filesystem>
#include <system_error>

#include "company/data_access.h"
#include "platform/message.h"
#include "store/errors.h"

namespace tallybook::company {

const std::vector<CompanyFile>& RebuildOrder() {
  static const std::vector<CompanyFile> order = {
      CompanyFile::kCompanyList, CompanyFile::kCustomers,
      CompanyFile::kTransactions, CompanyFile::kLines,
      CompanyFile::kMemos,       CompanyFile::kProducts};
  return order;
}

std::string RebuildIncompleteText(const std::vector<RebuildFailure>& failed) {
  std::string text = "These data files were not rebuilt: ";
  for (size_t i = 0; i < failed.size(); ++i) {
    if (i > 0) text += ", ";
    text += failed[i].caption;
    text += failed[i].store_error == store::kErrCancelled
                ? " (cancelled)"
                : " (error " + std::to_string(failed[i].store_error) + ")";
  }
  return text +
         ". The other data files have been rebuilt. Run Rebuild Data Files "
         "again for the files not rebuilt.";
}

RebuildAllResult RebuildDataFiles(App& app) {
  BusyGuard busy(app);
  RebuildAllResult result;
  for (CompanyFile which : RebuildOrder()) {
    CompanyFileAccess file(app, DescriptionOf(which));
    const std::string caption = file.file().rebuild_caption;
    // A data file missing beside its work copy N.SAV is a rebuild that was
    // cut short: the records are in the work copy and this rebuild resumes
    // it. Only a file with neither is one the company has not made yet.
    std::error_code ec;
    if (!std::filesystem::exists(file.base_path() + ".DAT", ec) &&
        !std::filesystem::exists(file.base_path() + ".SAV", ec)) {
      result.missing.push_back(caption);
      continue;
    }
    if (file.RebuildCompanyFile()) {
      result.rebuilt.push_back(caption);
    } else {
      result.failed.push_back({caption, app.engine().StoreError()});
    }
  }
  platform::Messages& messages = app.services().messages;
  if (result.failed.empty()) {
    platform::Inform(messages, kRebuildDoneCaption, kRebuildDone);
  } else {
    platform::Warn(messages, kRebuildIncompleteCaption,
                   RebuildIncompleteText(result.failed));
  }
  return result;
}

}  // namespace tallybook::company
