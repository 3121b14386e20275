// Fuzz target: CSV import of customers and products into a fresh
// installation, as "import-customers" / "import-products" do. An import
// must leave its file sound: "check DIR FILE" then finds no defect (every
// record has its keys and every key its record), or the target fails.
//
// Input: one byte choosing customers or products (bit 0) and whether bad
// rows are skipped (bit 1), then the CSV text.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "app/admin_commands.h"
#include "company/installation.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  namespace admin = tallybook::admin;
  tallybook::fuzz::InputDirectory dir;
  if (!tallybook::company::CreateInstallation(dir.path()).ok) std::abort();
  const bool products = (data[0] & 1) != 0;
  const std::string csv = dir.Write(
      "import.csv",
      std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::vector<std::string> args = {dir.path(), csv};
  if ((data[0] & 2) != 0) args.push_back("--skip-bad");
  std::ostringstream out, err;
  (products ? admin::RunImportProducts : admin::RunImportCustomers)(args, out,
                                                                    err);
  const std::string file = products ? "1P" : "1C";
  std::error_code ec;
  // A refused file may leave the company without the file at all.
  if (!std::filesystem::exists(dir.PathOf(file + ".DAT"), ec)) return 0;
  std::ostringstream check;
  if (admin::RunCheckCompanyFile({dir.path(), file}, check, check) !=
      admin::kExitOk) {
    std::fprintf(stderr, "fuzz: the import left %s unsound:\n%s%s%s\n",
                 file.c_str(), out.str().c_str(), err.str().c_str(),
                 check.str().c_str());
    std::abort();
  }
  return 0;
}
