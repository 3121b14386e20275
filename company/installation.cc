#include "company/installation.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "company/background.h"
#include "company/company_defaults.h"
#include "company/company_files.h"
#include "company/keys.h"
#include "company/startup.h"
#include "company/terms.h"
#include "store/engine.h"

namespace tallybook::company {

namespace {

namespace fs = std::filesystem;

std::string Join(const std::string& dir, const std::string& name) {
  return (fs::path(dir) / name).string();
}

// Adds the first company with its two keys to the freshly created list.
bool AddFirstCompany(store::Engine& engine, const std::string& base,
                     const CompanyRecord& record) {
  store::FileHandle handle = store::kNoFileHandle;
  if (!engine.OpenFileBlock(handle, base, false)) return false;
  int32_t rec_no = 0;
  bool ok = engine.AddRecord(handle, rec_no, &record) &&
            engine.AddKey(handle, 1, rec_no, BuildKey(record, 1)) &&
            engine.AddKey(handle, 2, rec_no, BuildKey(record, 2));
  ok = engine.CloseFileBlock(handle) && ok;
  return ok;
}

}  // namespace

InstallationResult CreateInstallation(const std::string& dir) {
  InstallationResult result;
  if (dir.empty()) {
    result.message = "No data directory was given.";
    return result;
  }
  const std::string list_base = DataPath(dir, kCompanyListName);
  const std::vector<std::string> existing = {
      Join(dir, kLastCompanyFileName), list_base + ".DAT", list_base + ".IX",
      Join(dir, kTermsFileName)};
  std::error_code ec;
  for (const std::string& path : existing) {
    if (fs::exists(path, ec)) {
      result.message = dir + " already holds Tallybook data (" +
                       fs::path(path).filename().string() +
                       "). Nothing was changed.";
      return result;
    }
  }
  if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) {
    result.message = dir + " is not a directory. Nothing was changed.";
    return result;
  }
  const bool made_dir = !fs::exists(dir, ec);
  fs::create_directories(dir, ec);
  if (ec) {
    result.message = "Unable to create the directory " + dir + ": " +
                     ec.message() + ".";
    return result;
  }
  if (made_dir) fs::permissions(dir, fs::perms::owner_all, ec);  // private

  const CompanyRecord first =
      FirstCompanyRecord(kFirstCompanyNo, kFirstCompanyName);
  store::Engine engine;
  bool ok = engine.StoreStartup(0, kPageBuffers) &&
            CreateCompanyListFile(engine, dir) &&
            AddFirstCompany(engine, list_base, first);
  if (engine.IsStarted()) engine.StoreShutdown();
  std::string failed_part = "the company list";
  if (ok) {
    std::string ignored;
    ok = WriteTermsFile(Join(dir, kTermsFileName), TermList(DefaultTerms()),
                        &ignored);
    failed_part = kTermsFileName;
  }
  if (ok) {
    ok = WriteLastCompany(Join(dir, kLastCompanyFileName), first);
    failed_part = kLastCompanyFileName;
  }
  // The first company's background; a picture of that name already in the
  // directory is the user's and stays.
  const bool had_background = fs::exists(Join(dir, kDefaultBackgroundFile), ec);
  if (ok) {
    ok = InstallDefaultBackground(dir);
    failed_part = kDefaultBackgroundFile;
  }
  if (!ok) {
    for (const std::string& path : existing) fs::remove(path, ec);
    if (!had_background) fs::remove(Join(dir, kDefaultBackgroundFile), ec);
    if (made_dir) fs::remove(dir, ec);
    result.message = "Unable to write " + failed_part + " in " + dir +
                     ". Nothing was installed.";
    return result;
  }
  result.ok = true;
  result.message = "A new Tallybook installation was made in " + dir +
                   " with company " + kFirstCompanyNo + ".";
  return result;
}

}  // namespace tallybook::company
