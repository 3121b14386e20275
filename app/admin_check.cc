// tallybook-admin check BASE: verifies a file block on disk without the
// engine. Prints every defect on its own line and fails, or prints
// "BASE: sound".
#include "app/admin_commands.h"
#include "store/file_check.h"

namespace tallybook::admin {

int RunCheck(const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err) {
  const std::string& base = args[0];
  // A file block that cannot be read at all is a failure to check, reported
  // like any other command's, not a defect list.
  store::FileBlockLayout layout;
  if (std::string error = store::ReadFileBlockLayout(base, &layout);
      !error.empty()) {
    return Fail(err, error);
  }
  std::vector<std::string> defects = store::CheckFileBlockFiles(base);
  if (defects.empty()) {
    out << base << ": sound\n";
    return kExitOk;
  }
  for (const std::string& line : defects) out << line << '\n';
  return kExitFailed;
}

}  // namespace tallybook::admin
