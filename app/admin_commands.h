// The command table of tallybook-admin.
//
// Each command is one function in its own file (admin_<name>.cc) and one
// line of the table in admin_commands.cc. A command receives the arguments
// that follow its name and returns the process exit code; it writes its
// results to out and its failures, one line each, to err. Nothing throws.
//
// Several table lines may share a name when they take different numbers of
// arguments ("check BASE" and "check DIR FILE"): RunAdmin picks the first
// line whose name matches and whose argument count fits.
#ifndef TALLYBOOK_APP_ADMIN_COMMANDS_H_
#define TALLYBOOK_APP_ADMIN_COMMANDS_H_

#include <ostream>
#include <string>
#include <vector>

namespace tallybook::admin {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // unreadable file, defects found
inline constexpr int kExitUsage = 2;   // no, unknown or malformed command

using CommandFunction = int (*)(const std::vector<std::string>& args,
                                std::ostream& out, std::ostream& err);

struct AdminCommand {
  const char* name;
  int min_args;
  int max_args;
  const char* arguments;  // "BASE K", shown in the usage text
  const char* summary;
  CommandFunction run;
};

// Every command, in the order the usage text lists them.
const std::vector<AdminCommand>& AdminCommands();

// Runs the command named by args[0] with the rest of args. Prints the usage
// text to err and returns kExitUsage when args is empty, the command is
// unknown or no table line takes that many arguments; "help" prints it to
// out and returns kExitOk.
//
// `extra` are commands the tallybook-admin program adds to the table: those
// that need Qt (invoice_admin.h) are kept out of this library.
int RunAdmin(const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err, const std::vector<AdminCommand>& extra = {});

// Writes the usage text.
void PrintUsage(std::ostream& out, const std::vector<AdminCommand>& extra = {});

// Writes "tallybook-admin: " and message as one line to err; returns
// kExitFailed so that commands can end with `return Fail(err, ...)`.
int Fail(std::ostream& err, const std::string& message);

// The option of "rebuild" that sets a partial data file aside and finishes
// an interrupted rebuild from its work copy.
inline constexpr char kResumeOption[] = "--resume";

// The commands (admin_<name>.cc).
int RunInfo(const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err);
int RunKeys(const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err);
int RunCheck(const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err);
int RunCheckCompanyFile(const std::vector<std::string>& args,
                        std::ostream& out, std::ostream& err);
int RunRebuildCommand(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err);
int RunBackupCommand(const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err);
int RunRestoreCommand(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err);
int RunAge(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err);
int RunImportCustomers(const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err);
int RunImportProducts(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err);
int RunExportCustomers(const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err);
int RunExportProducts(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err);
int RunReconcile(const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err);
int RunDemo(const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err);
int RunRepeatSetup(const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err);
int RunRepeatRun(const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_COMMANDS_H_
