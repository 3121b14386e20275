// tallybook-admin rebuild DIR FILE [--resume]: rebuilds one company file of
// the data directory DIR, as the program does after an unclean close,
// printing the rebuild status lines on the terminal
// (admin_console_platform.h).
//
// A rebuild cut short leaves the work copy FILE.SAV beside a partial
// FILE.DAT; the rebuild then refuses (store error 10465) and touches
// nothing. With --resume, FILE.DAT is first set aside (renamed FILE.PAR,
// never deleted) and the rebuild finishes from FILE.SAV.
//
// FILE names the file as its base name: "Company" for the company list,
// else the company number followed by the file's letter ("1C", "12I").
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "app/admin_company_file.h"
#include "app/admin_open_company.h"
#include "app/admin_console_platform.h"
#include "company/data_access.h"
#include "store/engine.h"
#include "store/errors.h"
#include "store/os_file.h"
#include "store/rebuild.h"

namespace tallybook::admin {

int RunRebuildCommand(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
  const bool resume = args.size() == 3 && args[2] == kResumeOption;
  if (args.size() == 3 && !resume) {
    return Fail(err, "unknown option \"" + args[2] + "\" (only " +
                         kResumeOption + ")");
  }
  std::string problem;
  const std::optional<CompanyFileArgument> target =
      ParseCompanyFileArgument(args[0], args[1], &problem);
  if (!target) return Fail(err, problem);
  if (const int code = PlayBackLeftJournal(args[0], err); code != kExitOk) {
    return code;
  }
  if (!store::FileExists(store::WithExtension(target->base_path, "DAT")) &&
      !store::FileExists(store::WithExtension(target->base_path, "SAV"))) {
    return Fail(err, target->base_path + ".DAT: no such file");
  }

  store::Engine engine;
  if (!engine.StoreStartup(0, company::kPageBuffers)) {
    return Fail(err, "cannot start the record store: store error " +
                         std::to_string(engine.StoreError()));
  }
  const std::string dat = store::WithExtension(target->base_path, "DAT");
  const std::string sav = store::WithExtension(target->base_path, "SAV");
  if (resume) {
    if (!store::FileExists(sav)) {
      return Fail(err, "nothing to resume: there is no work copy " + sav);
    }
    std::string aside;
    if (!store::SetAsidePartialDataFile(engine, target->base_path, &aside)) {
      return Fail(err, dat + " could not be set aside: store error " +
                           std::to_string(engine.StoreError()));
    }
    if (!aside.empty()) out << dat << ": set aside as " << aside << "\n";
  }
  ConsolePlatform platform(err, out);
  platform::Services services = platform.services();
  company::CompanyFileAccess access(*target->file, engine, services.messages,
                                    services.progress, args[0],
                                    target->company_no);
  if (!access.RebuildCompanyFile()) {
    const int error = engine.StoreError();
    std::string text = target->base_path + ": rebuild failed: store error " +
                       std::to_string(error);
    if (error == store::kErrWorkCopyExists) {
      text += "; nothing was changed. Run again with " +
              std::string(kResumeOption) + " to set " + dat +
              " aside and finish the rebuild from " + sav;
    }
    return Fail(err, text);
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
