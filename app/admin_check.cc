// tallybook-admin check BASE: verifies a file block on disk without the
// engine. Prints every defect on its own line and fails, or prints
// "BASE: sound".
#include "app/admin_check.h"

#include <utility>

#include "app/admin_commands.h"

namespace tallybook::admin {

int CheckFileBlock(const std::string& base, const MoreChecks& more_checks,
                   std::ostream& out, std::ostream& err) {
  store::FileBlockLayout layout;
  if (std::string error = store::ReadFileBlockLayout(base, &layout);
      !error.empty()) {
    return Fail(err, error);
  }
  std::vector<std::string> defects = store::CheckFileBlockFiles(base);
  if (more_checks) {
    for (std::string& line : more_checks(layout)) {
      defects.push_back(std::move(line));
    }
  }
  if (defects.empty()) {
    out << base << ": sound\n";
    return kExitOk;
  }
  for (const std::string& line : defects) out << line << '\n';
  return kExitFailed;
}

int RunCheck(const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err) {
  return CheckFileBlock(args[0], nullptr, out, err);
}

}  // namespace tallybook::admin
