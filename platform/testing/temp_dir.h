// For tests that work on real files: a fresh folder under the system's
// temporary folder, removed with everything in it when the owner goes, and
// whole-file reads and writes of test bytes.
#ifndef TALLYBOOK_PLATFORM_TESTING_TEMP_DIR_H_
#define TALLYBOOK_PLATFORM_TESTING_TEMP_DIR_H_

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace tallybook::platform::testing {

// Creates "<prefix>.XXXXXX" under the temporary folder. When the folder
// cannot be made, path() is empty: a fixture asserts ok() in SetUp.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix) {
    std::string templ =
        (std::filesystem::temp_directory_path() / (prefix + ".XXXXXX")).string();
    if (::mkdtemp(templ.data()) != nullptr) path_ = templ;
  }
  ~TempDir() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The whole file at path; empty when it cannot be read.
inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes the file at path hold exactly bytes.
inline void WriteFileBytes(const std::filesystem::path& path,
                           const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// n bytes that deflate does not shrink to nothing, the same for the same
// seed, so archived data is long enough to damage in the middle.
inline std::string NoiseBytes(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    s[i] = static_cast<char>(seed >> 16);
  }
  return s;
}

}  // namespace tallybook::platform::testing

#endif  // TALLYBOOK_PLATFORM_TESTING_TEMP_DIR_H_
