// Rebuild and reorganise: recovering a file block whose index cannot be
// trusted (it was not closed after changes, error 10010).
//
//   ReorganizeDataFile copies every record in use into a fresh data file
//   (N.SAV is the old file meanwhile), renumbering them 1..n in their old
//   physical order; the old header and free chain are ignored.
//   RebuildIndex makes a fresh N.IX and fills it key by key from the records
//   through the caller's key builder; a record rejected by a unique key is
//   written to the dump file N.MSG and, on request, removed.
//
// Both work on closed file blocks, report through the engine's status
// (StoreOK / StoreError, and StoreOSError / StoreOSOperation of the first OS
// failure) and call the engine's progress callback, which can cancel (10460).
//
// Files of a file block N during a rebuild:
//   N.DAT  the data file (fresh after ReorganizeDataFile)
//   N.SAV  the old data file while ReorganizeDataFile runs; a lone N.SAV is
//          the work copy of an interrupted run and is resumed
//   N.IX   the index, made fresh by RebuildIndex
//   N.MSG  the dump of keys RebuildIndex could not add (a text file with
//          "\r\n" line breaks)
//   N.PAR  a partial N.DAT set aside to resume an interrupted run
//
// Safety: a failing ReorganizeDataFile puts the old data file back (rename
// N.SAV to N.DAT, or copy it when the rename fails); a work copy that could
// not be read completely is never deleted. A crash in the middle leaves
// N.SAV beside a partial N.DAT (10465); SetAsidePartialDataFile renames the
// partial file to N.PAR so that the run can be resumed. A failing RebuildIndex leaves the
// in-update flag set, so the next open reports 10010 again instead of
// trusting a half-built index.
#ifndef TALLYBOOK_STORE_REBUILD_H_
#define TALLYBOOK_STORE_REBUILD_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/engine.h"

namespace tallybook::store {

// direction 1 after a record was read, 0 before it is written.
using RecordHook = std::function<void(uint8_t* record, int record_length,
                                      int direction, int32_t user_value)>;
// Decides whether old_record is kept, filling new_record (*new_length bytes
// on entry: the new record length; it may lower it, the rest of the new
// record is then zero). old_record holds at least *new_length bytes (zero
// past the old record length). Returning false keeps nothing; a test that
// fails sets *failed (error 10475).
using KeepRecordTest =
    std::function<bool(const uint8_t* old_record, uint8_t* new_record,
                       int* new_length, bool* failed)>;
// Builds key key_no of record into *key (cut to 30). false = failure (10470).
using KeyBuilder =
    std::function<bool(const uint8_t* record, int key_no, std::string* key)>;

// Test aid: asked before each work-area allocation of a rebuild; false
// refuses it, as if memory ran short. An empty function allows everything.
using RebuildAllocator = std::function<bool(size_t bytes)>;

// The do-nothing hook and the default keep test (keep exactly the records
// whose 4-byte delete mark is 0, copied unchanged).
void NoRecordHook(uint8_t*, int, int, int32_t);
bool DefaultKeepRecord(const uint8_t* old_record, uint8_t* new_record,
                       int* new_length, bool* failed);

// Largest record length a rebuild accepts (10412 above it).
inline constexpr int kMaxRebuildRecordLength = 65535;
// Read-ahead and write-behind buffers hold this many bytes' worth of records
// and are used for record lengths up to kMaxBufferedRecordLength.
inline constexpr int kRebuildBufferBytes = 32768;
inline constexpr int kMaxBufferedRecordLength = 16384;
// The buffers shrink by about this much when the work areas do not fit.
inline constexpr int kRebuildShrinkBytes = 1024;

// Copies every record of N.DAT (N.SAV when resuming) that the keep test
// keeps into a fresh N.DAT of new_record_length with no keys, records
// numbered 1..n in their old physical order. Old records are read at
// i * old_record_length; the old header is ignored, its record length too
// (a damaged one must not keep intact records from being recovered).
// Errors, nothing touched: 10455 not started, 10412 a length above 65,535,
// 10020 a length below 21, 10465 N.SAV beside N.DAT (see
// SetAsidePartialDataFile), 10410 neither exists, 10399 the rename failed
// (9900 when it failed as path not found).
// Errors after the rename (old data put back unless resuming): 10460
// cancelled, 10475 keep test failed, 10411 no memory, or the file error.
// When only deleting N.SAV fails at the end, that error is reported and
// both the new N.DAT and N.SAV stay.
bool ReorganizeDataFile(Engine& engine, const std::string& base,
                        int new_record_length, int old_record_length,
                        int32_t user_value, const RecordHook& hook,
                        const KeepRecordTest& keep,
                        const RebuildAllocator& allocator = {});

// The extension a partial data file is renamed to by
// SetAsidePartialDataFile: N.PAR, or N.PAR2, N.PAR3, ... when taken.
inline constexpr char kAsideExtension[] = "PAR";
// The name SetAsidePartialDataFile would give N.DAT now.
std::string PartialDataFileAsidePath(const std::string& base);

// The way out of 10465: a reorganisation cut short left the complete old
// data in N.SAV and a partial N.DAT beside it. Renames N.DAT to
// PartialDataFileAsidePath(base) (never deleting or replacing a file), so
// that the next ReorganizeDataFile resumes from N.SAV. *aside_path (may be
// null) receives the new name, empty when there was no N.DAT. Errors,
// nothing touched: 10410 there is no N.SAV to resume from, 10399 the rename
// failed (9900 as path not found). Precondition: the file block is closed.
bool SetAsidePartialDataFile(Engine& engine, const std::string& base,
                             std::string* aside_path);

// Makes N.IX fresh with the given keys and adds key 1..K of every record in
// use, one pass per key, through builder. *dump_written (may be null) tells
// whether N.MSG was written. With remove_rejected a record rejected by a
// unique key (10230) loses its keys 1..k-1 and is deleted.
// Errors before anything changes: 10455, 10050 / 10055 bad key descriptors,
// the open error of N.DAT (9903 missing), 10411 no record length found in
// the header (0, below 21, or not dividing the file size), 10412 a record
// length above 65,535. Later: 10470 builder failed, 10460 cancelled,
// 9500 + n the dump could not be written (n: the OS error code, 101 when
// the OS gave none), or the engine's error; the in-update flag is left set.
// A header whose counts do not describe the file (never written back after
// a crash: highest is not the records in the file, or the free chain leads
// into a record in use) gets highest = the records in the file and a free
// chain linked afresh from the delete marks, so that the file block opens
// and no record in use is handed out again.
bool RebuildIndex(Engine& engine, const std::string& base,
                  const std::vector<KeyDescriptor>& keys, int32_t user_value,
                  const RecordHook& hook, bool* dump_written,
                  bool remove_rejected, const KeyBuilder& builder,
                  const RebuildAllocator& allocator = {});

// The memory of one rebuild run: the read-ahead buffer, the write-behind
// buffer and the record work areas, sized as the rebuild's rules say.
class RebuildMemory {
 public:
  // Allocates for records read of read_length bytes and written of
  // write_length bytes (write-behind only when write_behind). Each buffer
  // starts at kRebuildBufferBytes / length records, one fewer each time it
  // cannot be had, and is left out below 2 (or when the length is above
  // kMaxBufferedRecordLength). When the work areas (work_length bytes each,
  // two of them) cannot be had, the buffers shrink by about
  // kRebuildShrinkBytes' worth of records (dropped below 2) and it is tried
  // again. Returns 0, or 10411 when the work areas cannot be had at all.
  int Allocate(int read_length, int write_length, bool write_behind,
               int work_length, const RebuildAllocator& allocator);

  int read_ahead_records() const { return read_ahead_records_; }
  int write_behind_records() const { return write_behind_records_; }
  uint8_t* read_ahead() { return read_ahead_.get(); }
  uint8_t* write_behind() { return write_behind_.get(); }
  // Two zeroed areas of work_length bytes.
  uint8_t* old_record() { return old_record_.get(); }
  uint8_t* new_record() { return new_record_.get(); }
  void Release();

 private:
  std::unique_ptr<uint8_t[]> read_ahead_, write_behind_;
  std::unique_ptr<uint8_t[]> old_record_, new_record_;
  int read_ahead_records_ = 0;
  int write_behind_records_ = 0;
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_REBUILD_H_
