// FileMap: a shared memory map of one open file, through which OsFile reads
// the bytes a file holds, and rewrites them in place, without a system call
// for each.
//
// Ownership and limits:
//   - OsFile owns its FileMap and tells it, on every call, the descriptor
//     and the file size it knows (from open, raised by its own successful
//     writes). The map is only ever touched below that size, so it never
//     reaches past the end of the file; bytes at or past it (a file being
//     extended) go through the plain file calls.
//   - The map reserves more address space than the file holds (at least
//     twice the size, and 16 MiB more), so a growing file is followed
//     without mapping it again on every extension.
//   - When the system refuses the map, the file is served by the plain file
//     calls from then on (kUnmapped).
//   - Should a mapped page fault all the same (the file was cut short behind
//     the store's back, or the file system cannot take a rewritten page),
//     the SIGBUS is caught around the copy and the copy reports kFaulted;
//     the caller turns that into the short read or short write error. Any
//     other SIGBUS goes on to the handler that was there before.
#ifndef TALLYBOOK_STORE_FILE_MAP_H_
#define TALLYBOOK_STORE_FILE_MAP_H_

#include <cstddef>
#include <cstdint>

namespace tallybook::store {

class FileMap {
 public:
  enum class Copy {
    kDone,      // all n bytes copied
    kUnmapped,  // not served by a map: use the plain file calls
    kFaulted,   // the mapped pages faulted; nothing can be said of the bytes
  };

  FileMap() = default;
  ~FileMap() { Unmap(); }
  FileMap(const FileMap&) = delete;
  FileMap& operator=(const FileMap&) = delete;

  // Copies n bytes at offset out of the file (into it). Preconditions:
  // offset >= 0 and offset + n <= file_size, the size the caller knows the
  // file to have at least. writable tells whether fd was opened for writing
  // (only such maps can be written through).
  Copy Read(int fd, bool writable, int64_t file_size, int64_t offset,
            void* out, size_t n);
  Copy Write(int fd, int64_t file_size, int64_t offset, const void* in,
             size_t n);

  // Drops the map (before the descriptor is closed). The next copy maps
  // afresh.
  void Unmap();

  bool mapped() const { return base_ != nullptr; }

 private:
  // Maps enough of fd to reach end; false when it cannot be mapped.
  bool Cover(int fd, bool writable, int64_t file_size, int64_t end);

  uint8_t* base_ = nullptr;
  size_t length_ = 0;
  bool writable_ = false;
  bool refused_ = false;  // the system refused a map: plain calls only
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_FILE_MAP_H_
