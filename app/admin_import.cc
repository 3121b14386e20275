// tallybook-admin import-customers DIR FILE.csv [--skip-bad] and
// import-products DIR FILE.csv [--skip-bad]: bring a customer or product
// list kept in another program into the current company of DIR (the rules
// are those of billing/csv_records.h). Without --skip-bad a file with any
// bad row is refused whole; with it the sound rows are written and the
// others listed. Exit status 0 when the rows were written, 1 when the file
// was refused or could not be read.

#include "app/admin_commands.h"
#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "billing/csv_records.h"
#include "company/text.h"
#include "platform/regular_file.h"

namespace tallybook::admin {

namespace {

inline constexpr char kSkipBadOption[] = "--skip-bad";

using Importer = billing::CsvImportResult (*)(company::App&, std::string_view,
                                              bool);

int RunImport(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err, Importer import, const char* what) {
  const std::string& dir = args[0];
  const std::string& path = args[1];
  bool skip_bad = false;
  if (args.size() == 3) {
    if (args[2] != kSkipBadOption) {
      return Fail(err, "unknown option \"" + args[2] + "\" (only " +
                           kSkipBadOption + ")");
    }
    skip_bad = true;
  }
  // Far larger than any customer or product list.
  constexpr size_t kMaxCsvBytes = size_t{256} << 20;
  std::string text, reason;
  if (platform::ReadRegularFile(path, kMaxCsvBytes, &text, &reason) !=
      platform::FileRead::kOk) {
    return Fail(err, path + ": cannot be read" +
                         (reason.empty() ? "" : ": " + reason));
  }
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  const billing::CsvImportResult result = import(app, text, skip_bad);
  app.engine().StoreShutdown();
  if (!result.error.empty()) return Fail(err, path + ": " + result.error);
  for (const std::string& bad : result.bad_rows) {
    err << path << ": " << bad << "\n";
  }
  if (result.refused) {
    return Fail(err, path + ": " + std::to_string(result.bad_rows.size()) +
                         " bad row(s); nothing was imported (" +
                         kSkipBadOption + " imports the sound rows)");
  }
  out << "imported " << result.written << " " << what;
  if (!result.bad_rows.empty()) {
    out << ", skipped " << result.bad_rows.size() << " bad row(s)";
  }
  out << "\n";
  return kExitOk;
}

}  // namespace

int RunImportCustomers(const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err) {
  return RunImport(args, out, err, &billing::ImportCustomersCsv, "customers");
}

int RunImportProducts(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
  return RunImport(args, out, err, &billing::ImportProductsCsv, "products");
}

}  // namespace tallybook::admin
