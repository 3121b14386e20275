#include "store/os_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "store/errors.h"

namespace tallybook::store {

void IoContext::Record(int os_error, OsOperation op) {
  if (first_os_error == 0) {
    first_os_error = os_error;
    first_os_operation = op;
  }
}

void IoContext::Reset() {
  first_os_error = 0;
  first_os_operation = OsOperation::kNone;
}

int IoContext::Injected(OsOperation op, const std::string& path) const {
  return fault_hook ? fault_hook(op, path) : 0;
}

namespace {

std::string ParentOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int MapOsError(int os_error, OsOperation op, const std::string& path) {
  switch (os_error) {
    case ENOENT:
      if (op == OsOperation::kOpen || op == OsOperation::kCreate ||
          op == OsOperation::kDelete || op == OsOperation::kRename ||
          op == OsOperation::kCopy) {
        return IsDirectory(ParentOf(path)) ? kErrFileNotFound
                                           : kErrPathNotFound;
      }
      return kErrOsFailure;
    case ENOTDIR:
      return kErrPathNotFound;
    case EXDEV:
      return op == OsOperation::kRename ? kErrPathNotFound : kErrOsFailure;
    case EMFILE:
    case ENFILE:
      return kErrTooManyOpenFiles;
    case EBADF:
      return kErrInvalidHandle;
    case ENOSPC:
    case EDQUOT:
      // A full disk is a write that wrote fewer bytes than asked.
      return op == OsOperation::kWrite ? kErrShortWrite : kErrOsFailure;
    case EACCES:
    case EPERM:
      return (op == OsOperation::kOpen || op == OsOperation::kCreate)
                 ? kErrAccessDenied
                 : kErrOsFailure;
    default:
      return kErrOsFailure;
  }
}

std::string WithExtension(const std::string& base, const std::string& ext) {
  auto slash = base.find_last_of('/');
  auto dot = base.find_last_of('.');
  std::string stem = base;
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    stem = base.substr(0, dot);
  }
  return stem + "." + ext;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

OsFile::~OsFile() {
  map_.Unmap();
  if (fd_ >= 0) ::close(fd_);
}

int OsFile::Fail(int os_error, OsOperation op) {
  io_->Record(os_error, op);
  return MapOsError(os_error, op, path_);
}

int OsFile::Open(const std::string& path, OpenMode mode) {
  if (fd_ >= 0) Close();
  path_ = path;
  OsOperation op =
      mode == OpenMode::kCreate ? OsOperation::kCreate : OsOperation::kOpen;
  if (int injected = io_->Injected(op, path)) return Fail(injected, op);
  int flags = O_CLOEXEC;
  switch (mode) {
    case OpenMode::kReadWrite: flags |= O_RDWR; break;
    case OpenMode::kReadOnly: flags |= O_RDONLY; break;
    case OpenMode::kCreate: flags |= O_RDWR | O_CREAT; break;
  }
  int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return Fail(errno, op);
  // The store is single-user: a second opener, in this process or another,
  // finds the lock taken and gets the sharing failure.
  int injected_lock = io_->Injected(OsOperation::kLock, path);
  if (injected_lock || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int e = injected_lock ? injected_lock : errno;
    ::close(fd);
    io_->Record(e, OsOperation::kLock);
    return kErrOsFailure;
  }
  // Truncate only once the lock is ours, so creating never clobbers a file
  // that another opener holds.
  if (mode == OpenMode::kCreate && ::ftruncate(fd, 0) != 0) {
    int e = errno;
    ::close(fd);
    return Fail(e, OsOperation::kTruncate);
  }
  fd_ = fd;
  read_only_ = mode == OpenMode::kReadOnly;
  struct stat st;
  size_ = ::fstat(fd, &st) == 0 ? st.st_size : -1;
  return 0;
}

int OsFile::ReadSome(int64_t offset, void* buffer, size_t n, size_t* got) {
  *got = 0;
  if (fd_ < 0) return Fail(EBADF, OsOperation::kRead);
  if (int injected = io_->Injected(OsOperation::kRead, path_)) {
    return Fail(injected, OsOperation::kRead);
  }
  auto* p = static_cast<char*>(buffer);
  if (offset >= 0 && offset < size_) {
    const size_t held =
        std::min(n, static_cast<size_t>(size_ - offset));
    switch (map_.Read(fd_, !read_only_, size_, offset, p, held)) {
      case FileMap::Copy::kDone:
        *got = held;
        if (held == n) return 0;
        break;  // the rest lies past the size known: ask the file
      case FileMap::Copy::kFaulted:
        // The file is shorter than it was: its bytes are not there.
        io_->Record(EIO, OsOperation::kRead);
        return kErrShortRead;
      case FileMap::Copy::kUnmapped:
        break;
    }
  }
  return PlainRead(offset, p, n, got);
}

int OsFile::PlainRead(int64_t offset, char* p, size_t n, size_t* got) {
  while (*got < n) {
    ssize_t r = ::pread(fd_, p + *got, n - *got, offset + *got);
    if (r < 0) {
      if (errno == EINTR) continue;
      return Fail(errno, OsOperation::kRead);
    }
    if (r == 0) break;
    *got += static_cast<size_t>(r);
  }
  return 0;
}

int OsFile::Read(int64_t offset, void* buffer, size_t n) {
  size_t got = 0;
  if (int err = ReadSome(offset, buffer, n, &got)) return err;
  return got == n ? 0 : kErrShortRead;
}

int OsFile::Write(int64_t offset, const void* buffer, size_t n) {
  if (fd_ < 0) return Fail(EBADF, OsOperation::kWrite);
  if (int injected = io_->Injected(OsOperation::kWrite, path_)) {
    return Fail(injected, OsOperation::kWrite);
  }
  if (!read_only_ && offset >= 0 &&
      offset + static_cast<int64_t>(n) <= size_) {
    switch (map_.Write(fd_, size_, offset, buffer, n)) {
      case FileMap::Copy::kDone:
        return 0;
      case FileMap::Copy::kFaulted:
        // The file system could not take the page (a full disk).
        io_->Record(ENOSPC, OsOperation::kWrite);
        return kErrShortWrite;
      case FileMap::Copy::kUnmapped:
        break;
    }
  }
  const auto* p = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < n) {
    ssize_t w = ::pwrite(fd_, p + done, n - done, offset + done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return Fail(errno, OsOperation::kWrite);
    }
    if (w == 0) return kErrShortWrite;
    done += static_cast<size_t>(w);
  }
  if (size_ >= 0) size_ = std::max(size_, offset + static_cast<int64_t>(n));
  return 0;
}

int OsFile::Size(int64_t* size) {
  *size = 0;
  if (fd_ < 0) return Fail(EBADF, OsOperation::kSize);
  if (int injected = io_->Injected(OsOperation::kSize, path_)) {
    return Fail(injected, OsOperation::kSize);
  }
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Fail(errno, OsOperation::kSize);
  *size = st.st_size;
  size_ = st.st_size;
  return 0;
}

int OsFile::Truncate(int64_t size) {
  if (fd_ < 0) return Fail(EBADF, OsOperation::kTruncate);
  if (int injected = io_->Injected(OsOperation::kTruncate, path_)) {
    return Fail(injected, OsOperation::kTruncate);
  }
  // Past the new end nothing may be read through the map any more.
  map_.Unmap();
  if (::ftruncate(fd_, size) != 0) {
    size_ = -1;
    return Fail(errno, OsOperation::kTruncate);
  }
  size_ = size;
  return 0;
}

int OsFile::Flush() {
  if (fd_ < 0) return Fail(EBADF, OsOperation::kFlush);
  if (int injected = io_->Injected(OsOperation::kFlush, path_)) {
    return Fail(injected, OsOperation::kFlush);
  }
  if (::fdatasync(fd_) != 0) return Fail(errno, OsOperation::kFlush);
  return 0;
}

int OsFile::Close() {
  if (fd_ < 0) return 0;
  int fd = fd_;
  fd_ = -1;
  size_ = -1;
  map_.Unmap();
  if (int injected = io_->Injected(OsOperation::kClose, path_)) {
    ::close(fd);
    return Fail(injected, OsOperation::kClose);
  }
  if (::close(fd) != 0) return Fail(errno, OsOperation::kClose);
  return 0;
}

int RemoveFile(IoContext* io, const std::string& path) {
  if (int injected = io->Injected(OsOperation::kDelete, path)) {
    io->Record(injected, OsOperation::kDelete);
    return MapOsError(injected, OsOperation::kDelete, path);
  }
  if (::unlink(path.c_str()) != 0) {
    int e = errno;
    io->Record(e, OsOperation::kDelete);
    return MapOsError(e, OsOperation::kDelete, path);
  }
  return 0;
}

int RenameFile(IoContext* io, const std::string& from, const std::string& to) {
  int e = io->Injected(OsOperation::kRename, from);
  if (e == 0 && ::rename(from.c_str(), to.c_str()) != 0) e = errno;
  if (e != 0) {
    io->Record(e, OsOperation::kRename);
    return MapOsError(e, OsOperation::kRename, from);
  }
  return 0;
}

int CopyFile(IoContext* io, const std::string& from, const std::string& to) {
  if (int injected = io->Injected(OsOperation::kCopy, from)) {
    io->Record(injected, OsOperation::kCopy);
    return kErrShortWrite;
  }
  OsFile in(io), out(io);
  if (int err = in.Open(from, OpenMode::kReadOnly)) return err;
  if (int err = out.Open(to, OpenMode::kCreate)) return err;
  std::vector<char> buf(1 << 16);
  int64_t offset = 0;
  for (;;) {
    size_t got = 0;
    if (in.ReadSome(offset, buf.data(), buf.size(), &got) != 0) {
      return kErrShortWrite;
    }
    if (got == 0) break;
    if (out.Write(offset, buf.data(), got) != 0) return kErrShortWrite;
    offset += static_cast<int64_t>(got);
  }
  if (out.Close() != 0) return kErrShortWrite;
  return 0;
}

}  // namespace tallybook::store
