#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tallybook::platform {

namespace {

void SetReason(std::string* reason, std::string text) {
  if (reason != nullptr) *reason = std::move(text);
}

FileRead Failed(int fd, int error, std::string* reason) {
  if (fd >= 0) ::close(fd);
  SetReason(reason, std::strerror(error));
  errno = error;
  return FileRead::kFailed;
}

}  // namespace

FileRead ReadRegularFile(const std::string& path, size_t max_bytes,
                         std::string* bytes, std::string* reason) {
  const int fd =
      ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileRead::kMissing;
    return Failed(-1, errno, reason);
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) return Failed(fd, errno, reason);
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    SetReason(reason, S_ISDIR(st.st_mode) ? "it is a folder"
                                          : "it is not a regular file");
    return FileRead::kNotRegular;
  }
  std::string read;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failed(fd, errno, reason);
    }
    if (n == 0) break;
    // A file that grows while it is read is held to the same limit.
    if (read.size() + static_cast<size_t>(n) > max_bytes) {
      ::close(fd);
      SetReason(reason, "it is too large");
      return FileRead::kTooLarge;
    }
    read.append(buffer, static_cast<size_t>(n));
  }
  if (::close(fd) != 0) return Failed(-1, errno, reason);
  *bytes = std::move(read);
  return FileRead::kOk;
}

int CreateSideFile(const std::string& path, mode_t mode) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return -1;
  return ::open(path.c_str(),
                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

bool ReplaceThroughSideFile(const std::string& path, const std::string& side,
                            std::string_view bytes, mode_t mode,
                            bool exact_mode) {
  const int fd = CreateSideFile(side, mode);
  if (fd < 0) return false;
  bool ok = !exact_mode || ::fchmod(fd, mode) == 0;
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
  int failure = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && ::rename(side.c_str(), path.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    ::unlink(side.c_str());
    errno = failure;
  }
  return ok;
}

}  // namespace tallybook::platform
