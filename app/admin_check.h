// The check shared by "check BASE" and "check DIR FILE": the raw checks of a
// file block on disk (headers, free chains, B-trees), plus whatever further
// checks the caller knows for the file, reported one defect a line.
#ifndef TALLYBOOK_APP_ADMIN_CHECK_H_
#define TALLYBOOK_APP_ADMIN_CHECK_H_

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "store/file_check.h"

namespace tallybook::admin {

// Further defects of a file block whose headers could be read.
using MoreChecks =
    std::function<std::vector<std::string>(const store::FileBlockLayout&)>;

// Checks the file block base and prints every defect (the raw ones first,
// then those of more_checks when given) on its own line to out and returns
// kExitFailed, or prints "BASE: sound" and returns kExitOk. A block whose
// headers cannot be read at all is a failure to check, reported through
// Fail() like any other command's, not a defect list.
int CheckFileBlock(const std::string& base, const MoreChecks& more_checks,
                   std::ostream& out, std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_CHECK_H_
