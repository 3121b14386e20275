// OsFile: the record store's only door to the file system.
//
// Every file call of the engine and of the rebuild goes through here, so
// that operating-system failures are mapped to store error numbers in one
// place, the first OS failure is remembered for StoreOSError /
// StoreOSOperation, and tests can make any call fail on command through the
// IoContext's fault hook.
//
// Error mapping (errno -> store error):
//   ENOENT on open: 9903 when the folder exists, else 9900 (path not found)
//   ENOTDIR: 9900; EXDEV on rename: 9900
//   EMFILE, ENFILE: 9901
//   EBADF: 9904
//   EACCES, EPERM on open: 9908
//   EWOULDBLOCK from the exclusive lock (another opener): 10140
//   anything else: 10140
//   a read that returned fewer bytes than asked: 10070
//   a write that wrote fewer bytes than asked (a full disk, ENOSPC), or a
//   failed copy: 10075
//
// Reads of bytes the file already holds, and writes that rewrite them, are
// copies through a shared memory map (file_map.h) rather than a system call
// each: the index pages and records the engine touches on every operation
// are mostly in the file already. Writes that extend the file, and anything
// the map cannot serve, take the plain calls. Either way the fault hook is
// consulted first and errors map as above; a mapped page that faults
// (SIGBUS) reads as a short read (10070) or writes as a short write (10075).
#ifndef TALLYBOOK_STORE_OS_FILE_H_
#define TALLYBOOK_STORE_OS_FILE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "store/file_map.h"

namespace tallybook::store {

// 16-bit codes of the file operations, kept in StoreOSOperation.
enum class OsOperation : uint16_t {
  kNone = 0,
  kOpen = 1,
  kCreate = 2,
  kRead = 3,
  kWrite = 4,
  kClose = 5,
  kDelete = 6,
  kRename = 7,
  kCopy = 8,
  kSize = 9,
  kLock = 10,
  kFlush = 11,
  kTruncate = 12,
};

// Returns the errno to inject for this call, or 0 to let the call run.
using FaultHook = std::function<int(OsOperation op, const std::string& path)>;

// Shared by all OsFile objects of one engine.
struct IoContext {
  FaultHook fault_hook;
  int first_os_error = 0;
  OsOperation first_os_operation = OsOperation::kNone;

  // Keeps only the first failure until Reset().
  void Record(int os_error, OsOperation op);
  void Reset();
  // errno to inject for op on path (0 when no hook or the hook lets it run).
  int Injected(OsOperation op, const std::string& path) const;
};

enum class OpenMode {
  kReadWrite,  // existing file, read and write, exclusive lock
  kReadOnly,   // existing file, read only, exclusive lock
  kCreate,     // create or truncate, read and write, exclusive lock
};

// One open file. Not copyable; closes itself when destroyed (errors ignored
// there: callers that care call Close()).
class OsFile {
 public:
  explicit OsFile(IoContext* io) : io_(io) {}
  ~OsFile();
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;

  // Each returns 0 on success or a store error number.
  int Open(const std::string& path, OpenMode mode);
  // Reads exactly n bytes at offset (10070 when fewer are there).
  int Read(int64_t offset, void* buffer, size_t n);
  // Reads up to n bytes at offset; *got receives the count (0 at the end).
  int ReadSome(int64_t offset, void* buffer, size_t n, size_t* got);
  // Writes exactly n bytes at offset (10075 when fewer were written).
  int Write(int64_t offset, const void* buffer, size_t n);
  int Size(int64_t* size);
  // Cuts the file to size bytes.
  int Truncate(int64_t size);
  int Flush();
  int Close();

  bool IsOpen() const { return fd_ >= 0; }
  bool IsReadOnly() const { return read_only_; }
  const std::string& path() const { return path_; }

 private:
  int Fail(int os_error, OsOperation op);
  // The plain read of up to n bytes at offset, *got counting on from its
  // entry value.
  int PlainRead(int64_t offset, char* p, size_t n, size_t* got);

  IoContext* io_;
  int fd_ = -1;
  bool read_only_ = false;
  std::string path_;
  // The least the file holds: the size at open, raised by each successful
  // write; -1 when unknown (nothing is then read through the map).
  int64_t size_ = -1;
  FileMap map_;
};

// File-system helpers with the same error mapping. Each returns 0 or a store
// error number.
bool FileExists(const std::string& path);
int RemoveFile(IoContext* io, const std::string& path);  // missing: 9903
int RenameFile(IoContext* io, const std::string& from, const std::string& to);
int CopyFile(IoContext* io, const std::string& from, const std::string& to);

// Maps an errno of operation op on path to a store error number.
int MapOsError(int os_error, OsOperation op, const std::string& path);

// base name + "." + ext; an extension already on the base name (a point
// after the last path separator) is replaced.
std::string WithExtension(const std::string& base, const std::string& ext);

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_OS_FILE_H_
