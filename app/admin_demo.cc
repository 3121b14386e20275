// tallybook-admin demo DIR [--today YYYY-MM-DD]: makes the demo
// installation in DIR (admin_demo_company.h), its dates counted back from
// today or from the date given, and prints what it holds.
#include <ostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "app/admin_demo_company.h"
#include "platform/clock.h"

namespace tallybook::admin {

namespace {

constexpr char kTodayOption[] = "--today";

}  // namespace

int RunDemo(const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err) {
  const std::string& dir = args[0];
  company::Date today;
  if (args.size() == 1) {
    const platform::DateTime now = platform::SystemClock().Now();
    today = {now.year, now.month, now.day};
  } else if (args.size() == 3 && args[1] == kTodayOption) {
    std::string date = args[2];
    for (char& c : date) {
      if (c == '-') c = '/';
    }
    std::optional<company::Date> parsed = company::ParseSortableDate(date);
    if (!parsed) {
      return Fail(err, "\"" + args[2] + "\" is not a date of the form YYYY-MM-DD");
    }
    today = *parsed;
  } else {
    return Fail(err, "usage: demo DIR [--today YYYY-MM-DD]");
  }

  DemoSummary summary;
  std::string failure;
  if (!MakeDemoCompany(dir, today, err, &summary, &failure)) {
    return Fail(err, failure);
  }
  out << "Demo company \"" << kDemoCompanyName << "\" made in " << dir << "\n"
      << summary.customers << " customers, " << summary.products
      << " products, " << summary.invoices << " invoices ("
      << summary.memo_invoices << " memo), " << summary.printed
      << " printed, " << summary.paid << " paid, " << summary.part_paid
      << " paid in part, " << summary.offset_deposits
      << " deposit offset against invoices\n";
  return kExitOk;
}

}  // namespace tallybook::admin
