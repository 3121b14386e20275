// tallybook-admin rebuild DIR FILE: rebuilds one company file of the data
// directory DIR, as the program does after an unclean close, printing the
// rebuild status lines on the terminal (admin_console_platform.h).
//
// FILE names the file as its base name: "Company" for the company list,
// else the company number followed by the file's letter ("1C", "12I").
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "app/admin_company_file.h"
#include "app/admin_console_platform.h"
#include "company/data_access.h"
#include "store/engine.h"
#include "store/os_file.h"

namespace tallybook::admin {

int RunRebuildCommand(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
  std::string problem;
  const std::optional<CompanyFileArgument> target =
      ParseCompanyFileArgument(args[0], args[1], &problem);
  if (!target) return Fail(err, problem);
  if (!store::FileExists(store::WithExtension(target->base_path, "DAT")) &&
      !store::FileExists(store::WithExtension(target->base_path, "SAV"))) {
    return Fail(err, target->base_path + ".DAT: no such file");
  }

  store::Engine engine;
  if (!engine.StoreStartup(0, company::kPageBuffers)) {
    return Fail(err, "cannot start the record store: store error " +
                         std::to_string(engine.StoreError()));
  }
  ConsolePlatform platform(err, out);
  platform::Services services = platform.services();
  company::CompanyFileAccess access(*target->file, engine, services.messages,
                                    services.progress, args[0],
                                    target->company_no);
  if (!access.RebuildCompanyFile()) {
    return Fail(err, target->base_path + ": rebuild failed: store error " +
                         std::to_string(engine.StoreError()));
  }
  if (access.dump_written()) {
    out << target->base_path
        << ".MSG: dump file written (keys rejected as duplicates, their "
           "records removed)\n";
  }
  if (!access.OpenCompanyFileReadOnly()) {
    return Fail(err, target->base_path + ": rebuilt but cannot be opened: "
                                         "store error " +
                         std::to_string(engine.StoreError()));
  }
  out << target->base_path << ": rebuilt, "
      << engine.CountUsedRecords(access.handle()) << " records\n";
  access.Close();
  return kExitOk;
}

}  // namespace tallybook::admin
