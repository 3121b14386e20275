#include "app/admin_open_company.h"

#include "app/admin_commands.h"
#include "company/startup.h"
#include "company/text.h"

namespace tallybook::admin {

int OpenInstallationCompany(company::App& app, const std::string& dir,
                            std::ostream& err) {
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
  if (!company::ReadCompanyFromList(app, company_no, &app.CurrentCompany)) {
    app.engine().StoreShutdown();
    return Fail(err, "the company list holds no company \"" +
                         company::Trim(company_no) + "\"");
  }
  app.SetShortDateFromCompany();
  app.RefreshTodayText();
  return kExitOk;
}

}  // namespace tallybook::admin
