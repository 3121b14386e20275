#include "app/admin_sample_letters.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/regular_file.h"

namespace tallybook::admin {

bool InstallSampleLetters(const std::string& dir, std::string* failure) {
  for (const SampleLetter& letter : SampleLetters()) {
    const std::string path =
        (std::filesystem::path(dir) / letter.file_name).string();
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
      continue;
    }
    if (!platform::ReplaceThroughSideFile(path, path + ".part", letter.bytes)) {
      *failure = path + " could not be written: " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace tallybook::admin
