#include "app/admin_commands.h"

#include <algorithm>

namespace tallybook::admin {

const std::vector<AdminCommand>& AdminCommands() {
  static const std::vector<AdminCommand> commands = {
      {"info", 1, 1, "BASE", "data header and every key header", RunInfo},
      {"keys", 2, 2, "BASE K", "entries of key K in key order", RunKeys},
      {"check", 1, 1, "BASE", "verify headers, free chains and B-trees",
       RunCheck},
      {"check", 2, 2, "DIR FILE",
       "check a company file (1C, Company) and that its keys match its records",
       RunCheckCompanyFile},
      {"rebuild", 2, 3, "DIR FILE",
       "rebuild a company file (1C, Company) as after an unclean close; "
       "add --resume to finish one that was cut short",
       RunRebuildCommand},
      {"backup", 2, 2, "DIR DEST",
       "back up the data files of DIR into DEST/VkBackup.zip",
       RunBackupCommand},
      {"restore", 2, 2, "DIR SRC", "restore DIR from SRC (a folder or the zip)",
       RunRestoreCommand},
      {"age", 1, 1, "DIR",
       "age the current company of DIR and print the totals", RunAge},
      {"reconcile", 1, 1, "DIR",
       "recompute the current company's balances from its transactions; "
       "list each figure changed",
       RunReconcile},
      {"import-customers", 2, 3, "DIR FILE.csv [--skip-bad]",
       "add the customers of a CSV file to the current company",
       RunImportCustomers},
      {"import-products", 2, 3, "DIR FILE.csv [--skip-bad]",
       "add the products of a CSV file to the current company",
       RunImportProducts},
      {"export-customers", 2, 3, "DIR FILE.csv [--bom]",
       "write the current company's customers as a CSV file",
       RunExportCustomers},
      {"export-products", 2, 3, "DIR FILE.csv [--bom]",
       "write the current company's products as a CSV file",
       RunExportProducts},
      {"demo", 1, 3, "DIR",
       "make a demo installation in DIR [--today YYYY-MM-DD]", RunDemo},
      {"repeat-setup", 6, 8,
       "DIR INVOICE --every N (--months|--days) --next DATE",
       "make invoice INVOICE a repeat master or change its schedule",
       RunRepeatSetup},
      {"repeat-run", 3, 8,
       "DIR --through DATE [--date DATE] [--reference TEXT] [--list]",
       "list the repeat masters due through DATE or bill them",
       RunRepeatRun},
  };
  return commands;
}

namespace {

// The table followed by the program's extra commands.
std::vector<AdminCommand> AllCommands(const std::vector<AdminCommand>& extra) {
  std::vector<AdminCommand> all = AdminCommands();
  all.insert(all.end(), extra.begin(), extra.end());
  return all;
}

}  // namespace

void PrintUsage(std::ostream& out, const std::vector<AdminCommand>& extra) {
  const std::vector<AdminCommand> all = AllCommands(extra);
  out << "usage: tallybook-admin COMMAND ARGUMENTS\n"
         "commands:\n";
  size_t width = 16;  // room for "restore DIR SRC"
  for (const AdminCommand& c : all) {
    width = std::max(width, std::string(c.name).size() + 1 +
                                std::string(c.arguments).size());
  }
  for (const AdminCommand& c : all) {
    std::string call = std::string(c.name) + " " + c.arguments;
    out << "  " << call << std::string(width - call.size() + 2, ' ')
        << c.summary << "\n";
  }
  out << "BASE is the path of a file block without extension "
         "(BASE.DAT, BASE.IX).\n"
         "Exit status: 0 done, 1 failed or defects found, 2 usage error.\n";
}

int Fail(std::ostream& err, const std::string& message) {
  err << "tallybook-admin: " << message << "\n";
  return kExitFailed;
}

int RunAdmin(const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err, const std::vector<AdminCommand>& extra) {
  if (args.empty()) {
    PrintUsage(err, extra);
    return kExitUsage;
  }
  const std::string& name = args[0];
  if (name == "help" || name == "--help" || name == "-h") {
    PrintUsage(out, extra);
    return kExitOk;
  }
  std::vector<std::string> rest(args.begin() + 1, args.end());
  const int given = static_cast<int>(rest.size());
  bool known = false;
  for (const AdminCommand& c : AllCommands(extra)) {
    if (name != c.name) continue;
    known = true;
    if (given >= c.min_args && given <= c.max_args) {
      return c.run(rest, out, err);
    }
  }
  if (known) {
    err << "tallybook-admin: wrong number of arguments for " << name << "\n";
  } else {
    err << "tallybook-admin: unknown command \"" << name << "\"\n";
  }
  PrintUsage(err, extra);
  return kExitUsage;
}

}  // namespace tallybook::admin
