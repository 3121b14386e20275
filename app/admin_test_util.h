// Test helpers of tallybook-admin: runs a command in-process, or the built
// program, and keeps what it wrote.
#ifndef TALLYBOOK_APP_ADMIN_TEST_UTIL_H_
#define TALLYBOOK_APP_ADMIN_TEST_UTIL_H_

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
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

// What one run of the built program left: its exit code and what it wrote.
struct BinaryRun {
  int code;
  std::string out;
};

// Runs the built tallybook-admin with arguments (shell words): its exit
// code and its standard output, followed by its standard error unless
// errors_too is false (then the error stream is dropped).
inline BinaryRun RunAdminBinary(const std::string& arguments,
                                bool errors_too = true) {
  const char* bin = std::getenv("TALLYBOOK_BINARY_DIR");
  const std::string command = std::string(bin ? bin : "..") +
                              "/app/tallybook-admin " + arguments +
                              (errors_too ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, "popen failed"};
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    out.append(buffer, n);
  }
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

}  // namespace tallybook::admin::testing

#endif  // TALLYBOOK_APP_ADMIN_TEST_UTIL_H_
