#include "company/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/regular_file.h"

namespace tallybook::company {

namespace fs = std::filesystem;

SmallFileRead ReadFixedSizeFile(const std::string& path, void* record,
                                std::size_t size) {
  // Bytes past the record are ignored, but a file far larger than any
  // record is not read whole.
  constexpr std::size_t kMaxBytes = 1 << 20;
  std::string bytes;
  switch (platform::ReadRegularFile(path, kMaxBytes, &bytes)) {
    case platform::FileRead::kOk:
      break;
    case platform::FileRead::kMissing:
      return SmallFileRead::kMissing;
    default:
      return SmallFileRead::kDamaged;
  }
  if (bytes.size() < size) return SmallFileRead::kDamaged;
  bytes.copy(static_cast<char*>(record), size);
  return SmallFileRead::kOk;
}

std::string SideFileOf(const std::string& path) { return path + ".new"; }

namespace {

// Writes bytes to the side file of path, created with `mode` (less the
// umask) or, when is_private, with exactly 0600. True when all were written
// and the file closed; otherwise errno tells why.
bool WriteSideFile(const std::string& temp, std::string_view bytes,
                   bool is_private) {
  const mode_t mode = is_private ? 0600 : 0666;
  const int fd = platform::CreateSideFile(temp, mode);
  if (fd < 0) return false;
  // A umask that takes the owner's own bits away would leave a settings
  // file we cannot read back: a private file is set to exactly 0600 before
  // anything is written.
  bool ok = !is_private || ::fchmod(fd, 0600) == 0;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  const int failure = errno;
  const bool closed = ::close(fd) == 0;
  if (!ok) errno = failure;
  return ok && closed;
}

bool ReplaceThroughSideFile(const std::string& path, std::string_view bytes,
                            bool is_private) {
  const std::string temp = SideFileOf(path);
  errno = 0;
  if (!WriteSideFile(temp, bytes, is_private)) {
    const int failure = errno != 0 ? errno : EIO;
    std::error_code ignored;
    fs::remove(temp, ignored);
    errno = failure;
    return false;
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

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes) {
  return ReplaceThroughSideFile(path, bytes, /*is_private=*/false);
}

bool ReplacePrivateFile(const std::string& path, std::string_view bytes) {
  return ReplaceThroughSideFile(path, bytes, /*is_private=*/true);
}

}  // namespace tallybook::company
