// tallybook-admin age DIR: runs the aging calculation for the current
// company of the installation in DIR (the company "LastCo.Dat" names, read
// again from the company list), as the program does once a day, and prints
// the four category totals and the total. The run is made even when the
// company's receivables read as zero, as the Aging Chart command makes it;
// no chart is shown. Messages go to the error stream and questions are
// answered No (admin_console_platform.h).
#include <ostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "company/aging.h"
#include "company/app.h"
#include "company/format.h"
#include "company/startup.h"
#include "company/text.h"

namespace tallybook::admin {

namespace {

constexpr int kCaptionWidth = 16;
constexpr int kAmountWidth = 16;

void PrintLine(std::ostream& out, const std::string& caption, double amount) {
  out << company::PadRight(caption, kCaptionWidth)
      << company::RightAlign(company::FormatMoney(amount), kAmountWidth)
      << "\n";
}

}  // namespace

int RunAge(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err) {
  const std::string& dir = args[0];
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());

  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }

  app.aging_chart_requested = true;
  company::AgingResult result = company::CalculateAging(app);
  app.aging_chart_requested = false;
  app.engine().StoreShutdown();
  if (result.outcome != company::AgingOutcome::kDone) {
    return Fail(err, "aging was not calculated");
  }

  const company::CompanyRecord& co = app.CurrentCompany;
  out << "Company " << company::Trim(co.CompanyNo.View()) << ": "
      << company::Cp1252ToUtf8(company::Trim(co.CompanyName.View()))
      << ", aged to " << app.TodayText << "\n";
  for (int i = 0; i < company::kAgingCategories; ++i) {
    PrintLine(out,
              company::Cp1252ToUtf8(company::Trim(
                  company::CategoryCaption(co, i))),
              result.totals.category[i]);
  }
  PrintLine(out, "Total A/R:", result.totals.Total());
  out << result.customers_updated << " customers updated\n";
  return kExitOk;
}

}  // namespace tallybook::admin
