// tallybook-admin export-customers DIR FILE.csv [--bom] and export-products
// DIR FILE.csv [--bom]: write the current company's customers (by number) or
// products (by code) as a CSV file with every column the imports take
// (billing/csv_records.h). --bom starts the file with the UTF-8 byte order
// mark spreadsheet programs look for; the imports skip it. The file is written through a side file and
// renamed into place, so a failure leaves any earlier file as it was.
#include <cerrno>
#include <cstring>

#include "app/admin_commands.h"
#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "billing/csv_file.h"
#include "billing/csv_records.h"
#include "platform/regular_file.h"

namespace tallybook::admin {

namespace {

inline constexpr char kBomOption[] = "--bom";

using Exporter = bool (*)(company::App&, std::string*, std::string*);

int RunExport(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err, Exporter export_csv, const char* what) {
  const std::string& dir = args[0];
  const std::string& path = args[1];
  const bool bom = args.size() == 3;
  if (bom && args[2] != kBomOption) {
    return Fail(err, "unknown option \"" + args[2] + "\" (only " + kBomOption +
                         ")");
  }
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  std::string csv;
  std::string error;
  const bool ok = export_csv(app, &csv, &error);
  app.engine().StoreShutdown();
  if (!ok) return Fail(err, error);
  if (bom) csv.insert(0, billing::kUtf8ByteOrderMark);
  if (!platform::ReplaceThroughSideFile(path, path + ".tmp", csv)) {
    return Fail(err, path + ": cannot be written: " + std::strerror(errno));
  }
  out << "wrote " << what << " to " << path << "\n";
  return kExitOk;
}

}  // namespace

int RunExportCustomers(const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err) {
  return RunExport(args, out, err, &billing::ExportCustomersCsv, "customers");
}

int RunExportProducts(const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
  return RunExport(args, out, err, &billing::ExportProductsCsv, "products");
}

}  // namespace tallybook::admin
