#include "company/small_file.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace tallybook::company {

namespace fs = std::filesystem;

SmallFileRead ReadFixedSizeFile(const std::string& path, void* record,
                                std::size_t size) {
  std::error_code ec;
  if (!fs::exists(path, ec) && !ec) return SmallFileRead::kMissing;
  std::ifstream in(path, std::ios::binary);
  if (!in) return SmallFileRead::kDamaged;
  std::string bytes(size, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  if (in.gcount() != static_cast<std::streamsize>(size)) {
    return SmallFileRead::kDamaged;
  }
  bytes.copy(static_cast<char*>(record), size);
  return SmallFileRead::kOk;
}

std::string SideFileOf(const std::string& path) { return path + ".new"; }

bool ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::string temp = SideFileOf(path);
  {
    errno = 0;
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      const int failure = errno != 0 ? errno : EIO;
      std::error_code ignored;
      fs::remove(temp, ignored);
      errno = failure;
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    errno = ec.value();
    return false;
  }
  return true;
}

}  // namespace tallybook::company
