// Test helpers of tallybook-admin: runs a command in-process and keeps what
// it wrote.
#ifndef TALLYBOOK_APP_ADMIN_TEST_UTIL_H_
#define TALLYBOOK_APP_ADMIN_TEST_UTIL_H_

#include <sstream>
#include <string>
#include <vector>

#include "app/admin_commands.h"

namespace tallybook::admin::testing {

// What one run of a command left: its exit code and the two streams.
struct AdminRun {
  int code;
  std::string out;
  std::string err;
};

// Runs args as RunAdmin does for the command line.
inline AdminRun RunCaptured(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunAdmin(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace tallybook::admin::testing

#endif  // TALLYBOOK_APP_ADMIN_TEST_UTIL_H_
