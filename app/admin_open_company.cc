#include "app/admin_open_company.h"

#include <sys/stat.h>

#include "app/admin_commands.h"
#include "app/admin_console_platform.h"
#include "company/company_files.h"
#include "company/op_journal.h"
#include "company/startup.h"
#include "company/text.h"

namespace tallybook::admin {

int OpenInstallationCompany(company::App& app, const std::string& dir,
                            std::ostream& err,
                            company::PlaybackResult* playback) {
  const std::string last_path = app.PathOf(company::kLastCompanyFileName);
  company::CompanyRecord last;
  switch (company::ReadLastCompany(last_path, &last)) {
    case company::LastCompanyRead::kOk:
      break;
    case company::LastCompanyRead::kMissing:
      return Fail(err, last_path + ": no such file; " + dir +
                           " holds no installation");
    case company::LastCompanyRead::kDamaged:
      return Fail(err, company::DamagedLastCompanyText(last_path));
  }
  if (!app.engine().StoreStartup(0, company::kPageBuffers)) {
    return Fail(err, "the record store did not start (error " +
                         std::to_string(app.engine().StoreError()) + ")");
  }
  const std::string company_no = last.CompanyNo.Get();
  if (!company::IsValidCompanyNo(company_no)) {
    app.engine().StoreShutdown();
    return Fail(err, company::InvalidCompanyNoText(
                         company_no, company::kLastCompanyFileName));
  }
  // An operation a killed process left unfinished is taken back first.
  app.CurrentCompany = last;
  const company::PlaybackResult played = company::PlayBackJournal(app);
  if (playback != nullptr) *playback = played;
  if (played.found && !played.played) {
    app.engine().StoreShutdown();
    return Fail(err, "an unfinished operation could not be taken back: " +
                         played.error);
  }
  if (!company::ReadCompanyFromList(app, company_no, &app.CurrentCompany)) {
    app.engine().StoreShutdown();
    return Fail(err, "the company list holds no company \"" +
                         company::Trim(company_no) + "\"");
  }
  if (!company::IsValidCompanyNo(app.CurrentCompany.CompanyNo.View())) {
    app.engine().StoreShutdown();
    return Fail(err, company::InvalidCompanyNoText(
                         app.CurrentCompany.CompanyNo.View(),
                         company::kCompanyListSource));
  }
  app.SetShortDateFromCompany();
  app.RefreshTodayText();
  return kExitOk;
}

int PlayBackLeftJournal(const std::string& dir, std::ostream& err) {
  struct stat st {};
  const std::string journal = dir + "/" + company::kJournalFileName;
  if (::lstat(journal.c_str(), &st) != 0) return kExitOk;
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  const int code = OpenInstallationCompany(app, dir, err);
  app.engine().StoreShutdown();
  return code;
}

}  // namespace tallybook::admin
