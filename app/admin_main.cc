// tallybook-admin: looks after a file block's data files from the command
// line. See admin_commands.h for the command table.
#include <iostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int code = tallybook::admin::RunAdmin(args, std::cout, std::cerr);
  std::cout.flush();
  return std::cout.good() ? code : tallybook::admin::kExitFailed;
}
