// tallybook-admin check DIR FILE: the raw checks of "check BASE" on one
// company file of DIR, plus the checks only the record layout allows: every
// key entry equals the key built from the record it points to, and every
// record in use has each of its keys. Each defect is one line; the exit
// status is 1 when there is any.
#include <optional>
#include <string>
#include <vector>

#include "app/admin_check.h"
#include "app/admin_commands.h"
#include "app/admin_company_file.h"
#include "app/admin_open_company.h"
#include "company/file_key_check.h"
#include "store/file_check.h"

namespace tallybook::admin {

int RunCheckCompanyFile(const std::vector<std::string>& args,
                        std::ostream& out, std::ostream& err) {
  std::string problem;
  const std::optional<CompanyFileArgument> target =
      ParseCompanyFileArgument(args[0], args[1], &problem);
  if (!target) return Fail(err, problem);
  if (const int code = PlayBackLeftJournal(args[0], err); code != kExitOk) {
    return code;
  }
  const std::string& base = target->base_path;
  const company::FileDescription& file = *target->file;
  return CheckFileBlock(
      base,
      [&](const store::FileBlockLayout& layout) {
        return company::CheckKeysAgainstRecords(file, base, layout);
      },
      out, err);
}

}  // namespace tallybook::admin
