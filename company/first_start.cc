#include "company/first_start.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "company/installation.h"
#include "company/startup.h"

namespace tallybook::company {

namespace fs = std::filesystem;

std::string DefaultDataDirectory(const char* xdg_data_home, const char* home) {
  // The base directory specification says a relative path is to be
  // ignored.
  if (xdg_data_home != nullptr && xdg_data_home[0] == '/') {
    return (fs::path(xdg_data_home) / kDataFolderName).string();
  }
  if (home != nullptr && home[0] == '/') {
    return (fs::path(home) / ".local" / "share" / kDataFolderName).string();
  }
  return {};
}

std::string DefaultDataDirectory() {
  return DefaultDataDirectory(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

bool HoldsInstallation(const std::string& dir) {
  std::error_code ec;
  return fs::exists(fs::path(dir) / kLastCompanyFileName, ec);
}

std::string OfferInstallationText(const std::string& dir) {
  return "There is no Tallybook data in " + dir +
         " yet. Shall I make a new installation there now, with one company "
         "ready to set up?";
}

bool OfferInstallation(platform::Messages& messages, const std::string& dir) {
  if (HoldsInstallation(dir)) return true;
  if (!platform::Confirm(messages, kFirstStartCaption,
                         OfferInstallationText(dir))) {
    return false;
  }
  const InstallationResult result = CreateInstallation(dir);
  if (!result.ok) {
    platform::ShowError(messages, kFirstStartCaption, result.message);
    return false;
  }
  platform::Inform(messages, kFirstStartCaption, result.message);
  return true;
}

}  // namespace tallybook::company
