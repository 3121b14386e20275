// Engine: the record store.
//
// A file block is one data file (".DAT": fixed-length records, a free-record
// chain) and, when it has keys, one index file (".IX": one B-tree per key).
// The engine owns the shared page pool, the list of open file blocks and the
// status of the last call. It is single-user and single-threaded: files are
// opened exclusively, so a second opener (in this or another process) gets
// the sharing failure 10140.
//
// Status: every public operation first resets StoreOK() to true and
// StoreError() to 0 (and the OS values), then reports its outcome there; the
// bool that operations return is StoreOK() after the call. Nothing throws.
// StoreOSError() / StoreOSOperation() keep the first OS failure of the call.
//
// Handles: OpenFileBlock hands out a FileHandle (a small positive number,
// never reused while the engine lives). A handle that is not in the list of
// open file blocks is refused with 10445 (10080 for close), so a stale handle
// can never reach freed memory.
//
// Record buffers passed to the record operations are exactly the file's
// record length L bytes (RecordLengthOf). Key strings are byte strings of up
// to 30 characters (Windows-1252 text); AddKey, DeleteKey and KeyToScrollPos
// cut longer strings to 30 on entry.
//
// The destructor closes every file block still open, as CloseFileBlock
// does, so headers are written and in-update flags cleared at a normal exit.
#ifndef TALLYBOOK_STORE_ENGINE_H_
#define TALLYBOOK_STORE_ENGINE_H_

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/errors.h"
#include "store/os_file.h"

namespace tallybook::store {

using FileHandle = int32_t;
inline constexpr FileHandle kNoFileHandle = 0;

inline constexpr int kMaxKeys = 100;
inline constexpr int kMaxKeyLength = 30;
inline constexpr int kMinRecordLength = 21;

// Fixed at creation for each key of a file block.
struct KeyDescriptor {
  int length = 0;            // 1..30
  bool allow_duplicates = false;
};

// Progress of a rebuild (see rebuild.h): key number (0 while the data file
// is reorganised), records read, records written or keys added, record
// length, the current record. Returning false cancels (error 10460).
using ProgressCallback =
    std::function<bool(int key_no, int32_t read, int32_t written,
                       int record_length, const uint8_t* record)>;

class PagePool;
class IndexFile;
struct FileBlock;

class Engine {
 public:
  Engine();
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // ---- Status of the last call.
  bool StoreOK() const { return ok_; }
  int StoreError() const { return error_; }
  int StoreOSError() const { return io_.first_os_error; }
  uint16_t StoreOSOperation() const {
    return static_cast<uint16_t>(io_.first_os_operation);
  }
  int ErrorClass() const { return ErrorClassOf(error_); }

  // ---- Start-up and file blocks.
  // Allocates the page pool. 10451 for 7 or fewer buffers, 10450 when
  // already started, 10000 when fewer than 8 could be allocated.
  bool StoreStartup(int network_type, int page_buffers);
  // Closes every open file block (keeping the first error) and frees the
  // pool; 10455 when not started.
  bool StoreShutdown();
  bool IsStarted() const;

  // Erases any files of that name, creates the data file and (K > 0) the
  // index file, and leaves them closed. 10020 / 10050 / 10055 as documented.
  // data_ext replaces "DAT" for the data file (the index rebuild creates a
  // throw-away "MSG" data file so that only a fresh ".IX" remains).
  bool CreateFileBlock(const std::string& base, int record_length,
                       const std::vector<KeyDescriptor>& keys,
                       const std::string& data_ext = "DAT");
  // Opens both files exclusively. 9903 when the data file is missing, 10010
  // when the in-update flag is set or the index cannot be opened, 10060 /
  // 10120 / 10121 / 10122 for a damaged header, 10117 for a data header
  // that does not fit its file, 10115 for a key header out of range. A
  // ".DIA" journal found beside the file block is deleted (save mode is not
  // supported).
  bool OpenFileBlock(FileHandle& handle, const std::string& base,
                     bool read_only, bool ignored = true,
                     bool save_mode = false, bool force_read_only = false);
  // Writes back changed pages and headers, clears the in-update flag (it
  // stays set when a call on the block met a damaged index, 10115) and
  // closes both files; handle becomes kNoFileHandle. 10080 when not open;
  // a failing write keeps the block open; a failing close gives 10160.
  bool CloseFileBlock(FileHandle& handle);
  // Deletes DAT, IX and DIA; missing files are no error.
  bool EraseFileBlock(const std::string& base);
  bool IsFileBlockOpen(FileHandle handle) const;
  // 10455 when not started, 10445 when handle is not an open file block.
  bool CheckFileBlock(FileHandle handle);

  // ---- Records. Get and put of a number outside 1..highest fail with
  // 10136 (put of 0 with 10130); delete outside 1..highest with 10135, of a
  // record already deleted with 10137; a damaged free chain gives 10170.
  bool AddRecord(FileHandle handle, int32_t& rec_no, const void* buffer);
  bool GetRecord(FileHandle handle, int32_t rec_no, void* buffer);
  // Reads up to count consecutive record slots from first (1..highest),
  // deleted ones included, into buffer (count * L bytes) in one read; got
  // receives the slots read (fewer at the end of the file). For the
  // read-ahead of the index rebuild.
  bool ReadRecords(FileHandle handle, int32_t first, int32_t count,
                   void* buffer, int32_t& got);
  bool PutRecord(FileHandle handle, int32_t rec_no, const void* buffer);
  bool DeleteRecord(FileHandle handle, int32_t rec_no);
  int32_t CountUsedRecords(FileHandle handle);
  int32_t RecordSlotCount(FileHandle handle);
  int32_t RecordLengthOf(FileHandle handle);
  // The record number the next AddRecord will give: the head of the free
  // chain, else one past the highest. 0 when handle is not open. The
  // operation journal names the slot of an add before it is written.
  int32_t NextAddRecordNumber(FileHandle handle);
  bool NextUsedRecord(FileHandle handle, int32_t& rec_no);
  bool PrevUsedRecord(FileHandle handle, int32_t& rec_no);
  bool CheckUsedRecord(FileHandle handle, int32_t& rec_no, int direction);
  int32_t RecordToScrollPos(FileHandle handle, int32_t rec_no, uint16_t scale);
  int32_t ScrollPosToRecord(FileHandle handle, int32_t pos, uint16_t scale);

  // ---- Keys (key_no 1..K, else 10164). A page read with bytes out of
  // range gives 10115 and nothing is followed from it.
  int KeyCountOf(FileHandle handle);  // K of the file block
  KeyDescriptor KeyDescriptorOf(FileHandle handle, int key_no);
  bool AddKey(FileHandle handle, int key_no, int32_t ref,
              const std::string& key);
  bool DeleteKey(FileHandle handle, int key_no, int32_t ref,
                 const std::string& key);
  bool SearchKey(FileHandle handle, int key_no, int32_t& ref,
                 std::string& key);
  bool FindKeyAndRef(FileHandle handle, int key_no, int32_t& ref,
                     int direction, std::string& key);
  bool NextKey(FileHandle handle, int key_no, int32_t& ref, std::string& key);
  bool PrevKey(FileHandle handle, int key_no, int32_t& ref, std::string& key);
  bool ResetKeyPosition(FileHandle handle, int key_no);
  int32_t CountKeys(FileHandle handle, int key_no);
  bool KeyToScrollPos(FileHandle handle, int key_no, int32_t& pos, int32_t ref,
                      const std::string& key, uint16_t scale);
  bool ScrollPosToKey(FileHandle handle, int key_no, int32_t pos,
                      int32_t& ref, std::string& key, uint16_t scale);

  // ---- For the rebuild (rebuild.h) and tools.
  // Appends count records (count * L bytes) after the highest record in one
  // write and raises the highest record number by count; the file block's
  // free chain must be empty.
  bool AppendRecords(FileHandle handle, const void* records, int32_t count);
  // Installed before a rebuild; called by ReorganizeDataFile/RebuildIndex.
  void SetProgressCallback(ProgressCallback callback);
  const ProgressCallback& progress_callback() const { return progress_; }
  // Sets the status of a composite operation done outside the engine.
  void SetStatus(int error) { ok_ = error == 0; error_ = error; }
  void ResetStatus();
  IoContext& io() { return io_; }

  // Test and debug aid: every OS call consults the hook, which may inject an
  // errno (see os_file.h).
  void SetFaultHook(FaultHook hook) { io_.fault_hook = std::move(hook); }

  // Checks the in-memory and on-disk invariants of the file block's data
  // header and every key's B-tree (see btree.h). Returns an empty list when
  // sound, else one line per defect. Flushes nothing and changes nothing.
  std::vector<std::string> CheckInvariants(FileHandle handle);

 private:
  FileBlock* Lookup(FileHandle handle);
  bool Fail(int error);
  // Reset the status and find the open file block (10455 / 10445), also
  // refusing changes to a read-only block (10065) or a bad key number
  // (10164). nullptr after a failure, which is then in the status.
  FileBlock* Begin(FileHandle handle);
  FileBlock* BeginChange(FileHandle handle);
  IndexFile* BeginKey(FileHandle handle, int key_no, bool change);
  // Puts err (0 = success) into the status; returns StoreOK().
  bool Done(int err, FileHandle handle);
  // Writes back and closes one block; 0, the failing write's error (block
  // still open) or 10160 (block released, a file close failed).
  int CloseBlock(FileBlock* fb);
  // Drops a block without writing anything back.
  void Release(FileBlock* fb);
  // Closes every open block; with force, blocks that cannot be written
  // back are released all the same. Returns the first error.
  int CloseAll(bool force);
  // The normal-exit hook: closes the blocks of every live engine.
  static void CloseLiveEngines();

  bool ok_ = true;
  int error_ = 0;
  IoContext io_;
  ProgressCallback progress_;
  std::unique_ptr<PagePool> pool_;
  std::map<FileHandle, std::unique_ptr<FileBlock>> open_;
  FileHandle next_handle_ = 1;
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_ENGINE_H_
