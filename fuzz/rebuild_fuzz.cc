// Fuzz target: rebuilding a damaged company file, as "rebuild DIR FILE"
// does after an unclean close. A rebuild that reports success must leave a
// sound file: "check DIR FILE" then finds no defect, or the target fails.
//
// Input: as WriteCompanyFile reads it.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tallybook::fuzz::InputDirectory dir;
  const std::string name = tallybook::fuzz::WriteCompanyFile(dir, data, size);
  if (name.empty()) return 0;
  std::ostringstream out, err;
  if (tallybook::admin::RunRebuildCommand({dir.path(), name}, out, err) !=
      tallybook::admin::kExitOk) {
    return 0;
  }
  std::ostringstream check;
  if (tallybook::admin::RunCheckCompanyFile({dir.path(), name}, check,
                                            check) !=
      tallybook::admin::kExitOk) {
    std::fprintf(stderr, "fuzz: rebuilt file is not sound:\n%s%s%s\n",
                 out.str().c_str(), err.str().c_str(), check.str().c_str());
    std::abort();
  }
  return 0;
}
