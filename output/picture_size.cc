#include "output/picture_size.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace tallybook::output {
namespace {

constexpr int kMaxSide = 30000;

uint32_t Little(std::string_view b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
  }
  return v;
}

uint32_t Big32(std::string_view b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) {
    v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  }
  return v;
}

std::optional<platform::Size> Checked(int64_t width, int64_t height) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    return std::nullopt;
  }
  return platform::Size{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

std::optional<platform::Size> PictureSizeOf(std::string_view b) {
  if (b.size() >= 26 && b.substr(0, 2) == "BM") {
    const uint32_t header = Little(b, 14, 4);
    if (header == 12) {  // the old core header: 16-bit sizes
      return Checked(Little(b, 18, 2), Little(b, 20, 2));
    }
    if (header >= 40) {
      const int32_t width = static_cast<int32_t>(Little(b, 18, 4));
      // A negative height marks rows stored top down.
      const int32_t height = static_cast<int32_t>(Little(b, 22, 4));
      return Checked(width, std::llabs(static_cast<long long>(height)));
    }
    return std::nullopt;
  }
  if (b.size() >= 24 && b.substr(0, 8) == "\x89PNG\r\n\x1a\n" &&
      b.substr(12, 4) == "IHDR") {
    return Checked(Big32(b, 16), Big32(b, 20));
  }
  return std::nullopt;
}

std::optional<platform::Size> PictureFileSize(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::string header(32, '\0');
  ssize_t n = -1;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    n = ::read(fd, header.data(), header.size());
  }
  ::close(fd);
  if (n <= 0) return std::nullopt;
  header.resize(static_cast<size_t>(n));
  return PictureSizeOf(header);
}

}  // namespace tallybook::output
