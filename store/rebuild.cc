#include "store/rebuild.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>

#include "store/errors.h"
#include "store/file_bytes.h"
#include "store/os_file.h"

namespace tallybook::store {

namespace {

// The fields of the data header (slot 0 of N.DAT) that the rebuild reads or
// rewrites itself; all little-endian int32 except the flag byte.
//
//   OFFSET  WIDTH  MEANING
//   0       4      first free record number, -1 when none
//   4       4      records on the free chain
//   8       4      highest record number allocated
//   12      4      record length L
//   16      4      number of keys
//   20      1      in-update flag
constexpr int kHeaderBytes = 21;
constexpr int kFreeHeadOffset = 0;
constexpr int kFreeCountOffset = 4;
constexpr int kHighestOffset = 8;
constexpr int kRecordLengthOffset = 12;
constexpr int kKeyCountOffset = 16;
constexpr int kInUpdateOffset = 20;

// Text-file error code of a dump write that failed without an OS error
// (a short write): "disk write error".
constexpr int kDumpWriteError = 101;

const char kLineBreak[] = "\r\n";

// Every engine call resets the engine's status, so a composite operation
// keeps its first error, and the OS failure behind it, here and puts them
// back into the engine when it ends.
class Outcome {
 public:
  explicit Outcome(Engine& engine) : engine_(engine) {
    engine_.ResetStatus();
    engine_.io().Reset();
  }

  // Keeps error when it is the first; returns it.
  int Keep(int error) {
    if (error != 0 && error_ == 0) {
      error_ = error;
      os_error_ = engine_.io().first_os_error;
      os_operation_ = engine_.io().first_os_operation;
    }
    return error;
  }
  // Keeps the error of the engine call just made.
  int KeepEngineError() {
    return Keep(engine_.StoreOK() ? 0 : engine_.StoreError());
  }
  int error() const { return error_; }

  bool Finish() {
    engine_.SetStatus(error_);
    engine_.io().Reset();
    if (error_ != 0 && os_error_ != 0)
      engine_.io().Record(os_error_, os_operation_);
    return error_ == 0;
  }
  bool Fail(int error) {
    Keep(error);
    return Finish();
  }

 private:
  Engine& engine_;
  int error_ = 0;
  int os_error_ = 0;
  OsOperation os_operation_ = OsOperation::kNone;
};

bool Allowed(const RebuildAllocator& allocator, size_t bytes) {
  return !allocator || allocator(bytes);
}

std::unique_ptr<uint8_t[]> TryAllocate(size_t bytes,
                                       const RebuildAllocator& allocator) {
  if (!Allowed(allocator, bytes)) return nullptr;
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]());
}

int BufferRecordsFor(int record_length) {
  if (record_length <= 0 || record_length > kMaxBufferedRecordLength) return 0;
  return kRebuildBufferBytes / record_length;
}

// Allocates a buffer of at most records records, one fewer each time the
// memory cannot be had; returns the records it holds (0: no buffer).
int AllocateBuffer(int records, int record_length,
                   const RebuildAllocator& allocator,
                   std::unique_ptr<uint8_t[]>* buffer) {
  buffer->reset();
  for (; records >= 2; --records) {
    *buffer =
        TryAllocate(static_cast<size_t>(records) * record_length, allocator);
    if (*buffer) return records;
  }
  return 0;
}

void ShrinkBuffer(int record_length, const RebuildAllocator& allocator,
                  std::unique_ptr<uint8_t[]>* buffer, int* records) {
  if (*records == 0) return;
  int step = std::max(1, kRebuildShrinkBytes / record_length);
  buffer->reset();
  int wanted = *records - step;
  *records = wanted >= 2
                 ? AllocateBuffer(wanted, record_length, allocator, buffer)
                 : 0;
}

// Reads the data header of path (zero-filled when the file is shorter) and
// the file size. Returns 0 or the open / read error.
int ReadDataHeader(IoContext* io, const std::string& path,
                   uint8_t header[kHeaderBytes], int64_t* size) {
  std::memset(header, 0, kHeaderBytes);
  OsFile file(io);
  if (int err = file.Open(path, OpenMode::kReadOnly)) return err;
  if (int err = file.Size(size)) return err;
  size_t got = 0;
  if (int err = file.ReadSome(0, header, kHeaderBytes, &got)) return err;
  return file.Close();
}

// Sets the in-update flag of a data file, so that its next open reports
// 10010 and the index is not trusted. Best effort: the caller is failing
// already.
void MarkInUpdate(IoContext* io, const std::string& path) {
  OsFile file(io);
  if (file.Open(path, OpenMode::kReadWrite) != 0) return;
  const uint8_t flag = 1;
  file.Write(kInUpdateOffset, &flag, 1);
  file.Close();
}

// Whether the counts of a data header describe a file of records records.
// The engine refuses to open a file block whose header does not, and a free
// chain that leads into a record in use would hand it out again.
bool HeaderDescribesFile(const uint8_t* header, int32_t records) {
  const int32_t free_head = GetInt32(header + kFreeHeadOffset);
  const int32_t free_count = GetInt32(header + kFreeCountOffset);
  const int32_t highest = GetInt32(header + kHighestOffset);
  if (highest != records || free_count < 0 || free_count > highest) {
    return false;
  }
  if (free_head == -1) return free_count == 0;
  return free_head >= 1 && free_head <= highest && free_count > 0;
}

// Links every record of the file whose delete mark is not 0 into a fresh
// free chain, reading the marks through the read-ahead buffer when there is
// one. Only delete marks of deleted records are written.
int RelinkFreeChain(OsFile& file, int record_length, int32_t records,
                    RebuildMemory& memory, int32_t* free_head,
                    int32_t* free_count) {
  *free_head = -1;
  *free_count = 0;
  const int batch = std::max(1, memory.read_ahead_records());
  uint8_t* buffer =
      memory.read_ahead_records() >= 2 ? memory.read_ahead() : nullptr;
  for (int32_t first = 1; first <= records; first += batch) {
    const int32_t count = std::min<int32_t>(batch, records - first + 1);
    for (int32_t i = 0; i < count; ++i) {
      const int64_t offset = static_cast<int64_t>(first + i) * record_length;
      uint8_t mark[4];
      if (buffer != nullptr) {
        if (i == 0) {
          if (int err = file.Read(offset, buffer,
                                  static_cast<size_t>(count) * record_length)) {
            return err;
          }
        }
        std::memcpy(mark, buffer + static_cast<size_t>(i) * record_length, 4);
      } else if (int err = file.Read(offset, mark, 4)) {
        return err;
      }
      if (GetInt32(mark) == 0) continue;
      PutInt32(mark, *free_head);
      if (int err = file.Write(offset, mark, 4)) return err;
      *free_head = first + i;
      ++*free_count;
    }
  }
  return 0;
}

// Gives the data header the new number of keys and a clear in-update flag;
// the other fields are kept when they describe the file. Otherwise (a
// header never written back after a crash) highest becomes the records in
// the file and the free chain is linked afresh from the delete marks, so
// that no record in use is handed out again. Returns 0 or the file error.
int RewriteDataHeader(IoContext* io, const std::string& path,
                      uint8_t header[kHeaderBytes], int32_t records,
                      int32_t key_count, RebuildMemory& memory) {
  OsFile file(io);
  if (int err = file.Open(path, OpenMode::kReadWrite)) return err;
  bool sound = HeaderDescribesFile(header, records);
  if (sound && GetInt32(header + kFreeHeadOffset) != -1) {
    const int64_t offset =
        static_cast<int64_t>(GetInt32(header + kFreeHeadOffset)) *
        GetInt32(header + kRecordLengthOffset);
    uint8_t mark[4];
    if (int err = file.Read(offset, mark, 4)) return err;
    sound = GetInt32(mark) != 0;
  }
  if (!sound) {
    int32_t free_head = -1;
    int32_t free_count = 0;
    if (int err = RelinkFreeChain(file, GetInt32(header + kRecordLengthOffset),
                                  records, memory, &free_head, &free_count)) {
      return err;
    }
    PutInt32(header + kFreeHeadOffset, free_head);
    PutInt32(header + kFreeCountOffset, free_count);
    PutInt32(header + kHighestOffset, records);
  }
  PutInt32(header + kKeyCountOffset, key_count);
  header[kInUpdateOffset] = 0;
  if (int err = file.Write(0, header, kHeaderBytes)) return err;
  return file.Close();
}

// Copies the records of the work copy into the new, open file block.
class RecordCopier {
 public:
  RecordCopier(Engine& engine, FileHandle handle, RebuildMemory& memory,
               int new_length, int old_length, int work_length,
               int32_t user_value, const RecordHook& hook,
               const KeepRecordTest& keep)
      : engine_(engine),
        handle_(handle),
        memory_(memory),
        new_length_(new_length),
        old_length_(old_length),
        work_length_(work_length),
        user_value_(user_value),
        hook_(hook),
        keep_(keep) {}

  // Reads every record of in, from record 1 until a short read. Returns 0
  // or the error; the engine error of a failed append is in the engine.
  int CopyFrom(OsFile& in) {
    const size_t length = static_cast<size_t>(old_length_);
    int64_t offset = old_length_;
    const int batch = memory_.read_ahead_records();
    for (;;) {
      uint8_t* into = batch >= 2 ? memory_.read_ahead() : memory_.old_record();
      size_t wanted = batch >= 2 ? batch * length : length;
      size_t got = 0;
      if (int err = in.ReadSome(offset, into, wanted, &got)) return err;
      size_t records = got / length;
      for (size_t i = 0; i < records; ++i) {
        if (int err = CopyOne(into + i * length)) return err;
      }
      offset += static_cast<int64_t>(records * length);
      if (got < wanted) return 0;
    }
  }

  // Writes what the write-behind buffer still holds.
  int Flush() {
    if (pending_ == 0) return 0;
    int32_t count = pending_;
    pending_ = 0;
    if (!engine_.AppendRecords(handle_, memory_.write_behind(), count)) {
      return engine_.StoreError();
    }
    return 0;
  }

 private:
  int CopyOne(const uint8_t* source) {
    uint8_t* old_record = memory_.old_record();
    // Bytes past the old length stay zero, so a keep test that copies the
    // whole (longer) new record reads only zeros there.
    if (source != old_record) std::memcpy(old_record, source, old_length_);
    ++read_;
    hook_(old_record, old_length_, 1, user_value_);

    uint8_t* new_record = memory_.new_record();
    std::memset(new_record, 0, work_length_);
    int length = new_length_;
    bool failed = false;
    bool kept = keep_(old_record, new_record, &length, &failed);
    if (failed) return kErrKeepTestFailed;
    if (kept) {
      // A length above the new record's would not fit the fixed slot.
      if (length < 1 || length > new_length_) return kErrKeepTestFailed;
      std::memset(new_record + length, 0, new_length_ - length);
      hook_(new_record, new_length_, 0, user_value_);
      if (int err = Append(new_record)) return err;
      ++written_;
    }
    const ProgressCallback& progress = engine_.progress_callback();
    if (progress && !progress(0, read_, written_, old_length_, old_record)) {
      return kErrCancelled;
    }
    return 0;
  }

  int Append(const uint8_t* record) {
    const int batch = memory_.write_behind_records();
    if (batch < 2) {
      if (!engine_.AppendRecords(handle_, record, 1))
        return engine_.StoreError();
      return 0;
    }
    std::memcpy(
        memory_.write_behind() + static_cast<size_t>(pending_) * new_length_,
        record, new_length_);
    if (++pending_ == batch) return Flush();
    return 0;
  }

  Engine& engine_;
  FileHandle handle_;
  RebuildMemory& memory_;
  int new_length_;
  int old_length_;
  int work_length_;
  int32_t user_value_;
  const RecordHook& hook_;
  const KeepRecordTest& keep_;
  int32_t read_ = 0;
  int32_t written_ = 0;
  int32_t pending_ = 0;
};

// The dump file N.MSG, created at the first rejected key of a run.
class DumpFile {
 public:
  DumpFile(IoContext* io, std::string path)
      : io_(io), file_(io), path_(std::move(path)) {}

  bool written() const { return file_.IsOpen() || closed_; }

  // Returns 0 or 9500 + the text-file error code.
  int Write(const std::string& text) {
    io_->Reset();
    if (!file_.IsOpen()) {
      if (file_.Open(path_, OpenMode::kCreate) != 0) return Failure();
    }
    if (file_.Write(offset_, text.data(), text.size()) != 0) return Failure();
    offset_ += static_cast<int64_t>(text.size());
    return 0;
  }

  int Close() {
    if (!file_.IsOpen()) return 0;
    closed_ = true;
    io_->Reset();
    return file_.Close() == 0 ? 0 : Failure();
  }

 private:
  int Failure() {
    int code = io_->first_os_error != 0 ? io_->first_os_error : kDumpWriteError;
    return kErrDumpFileBase + code;
  }

  IoContext* io_;
  OsFile file_;
  std::string path_;
  int64_t offset_ = 0;
  bool closed_ = false;
};

std::string RejectedKeyLine(const std::string& key, int key_no, int32_t ref) {
  return "Key:<" + key + ">" + " KeyNr: " + std::to_string(key_no) +
         " Ref: " + std::to_string(ref) + " not added" + kLineBreak;
}

std::string RemovedRecordDump(const uint8_t* record, int length) {
  std::string text =
      std::string("Data record deleted - Dump follows") + kLineBreak;
  text.append(reinterpret_cast<const char*>(record), length);
  text += "\r\n";
  text += kLineBreak;
  return text;
}

// The key passes of RebuildIndex over the open file block.
class IndexBuilder {
 public:
  IndexBuilder(Engine& engine, Outcome& outcome, FileHandle handle,
               int record_length, int32_t records, int32_t user_value,
               const RecordHook& hook, const KeyBuilder& builder,
               bool remove_rejected, DumpFile& dump, uint8_t* record,
               uint8_t* read_ahead, int read_ahead_records)
      : engine_(engine),
        outcome_(outcome),
        handle_(handle),
        record_length_(record_length),
        records_(records),
        user_value_(user_value),
        hook_(hook),
        builder_(builder),
        remove_rejected_(remove_rejected),
        dump_(dump),
        record_(record),
        read_ahead_(read_ahead),
        batch_(read_ahead != nullptr && read_ahead_records >= 2
                   ? read_ahead_records
                   : 1) {}

  // One pass for key_no; returns false with the error kept in outcome.
  bool Pass(int key_no) {
    int32_t read = 0;
    int32_t added = 0;
    const size_t length = static_cast<size_t>(record_length_);
    int32_t batch_first = 1;
    int32_t batch_count = 0;
    for (int32_t ref = 1; ref <= records_; ++ref) {
      if (ref >= batch_first + batch_count) {
        // Refill the read-ahead buffer (or read the one record) from ref.
        batch_first = ref;
        uint8_t* into = batch_ >= 2 ? read_ahead_ : record_;
        if (!engine_.ReadRecords(handle_, ref, std::min(batch_, records_ - ref + 1),
                                 into, batch_count)) {
          outcome_.KeepEngineError();
          return false;
        }
        // A file shortened under us ends the pass like the end of the file.
        if (batch_count == 0) break;
      }
      if (removed_.count(ref) != 0) continue;
      if (batch_ >= 2) {
        std::memcpy(record_, read_ahead_ + (ref - batch_first) * length, length);
      }
      if (GetInt32(record_) != 0) continue;
      ++read;
      hook_(record_, record_length_, 1, user_value_);
      std::string key;
      if (!BuildKey(key_no, &key)) return false;
      if (engine_.AddKey(handle_, key_no, ref, key)) {
        ++added;
      } else if (engine_.StoreError() == kErrDuplicateKey) {
        if (!Reject(key_no, ref, key)) return false;
      } else {
        outcome_.KeepEngineError();
        return false;
      }
      const ProgressCallback& progress = engine_.progress_callback();
      if (progress && !progress(key_no, read, added, record_length_, record_)) {
        outcome_.Keep(kErrCancelled);
        return false;
      }
    }
    return true;
  }

 private:
  bool BuildKey(int key_no, std::string* key) {
    key->clear();
    if (!builder_(record_, key_no, key)) {
      outcome_.Keep(kErrKeyBuilderFailed);
      return false;
    }
    if (key->size() > static_cast<size_t>(kMaxKeyLength)) {
      key->resize(kMaxKeyLength);
    }
    return true;
  }

  // The record's key_no is a duplicate of a unique key: list it, and when
  // asked take the record out of the keys built so far and of the file.
  // The dump is written before anything is removed, so a record is never
  // deleted without its bytes in the dump.
  bool Reject(int key_no, int32_t ref, const std::string& key) {
    std::string text = RejectedKeyLine(key, key_no, ref);
    if (remove_rejected_) text += RemovedRecordDump(record_, record_length_);
    if (outcome_.Keep(dump_.Write(text)) != 0) return false;
    if (!remove_rejected_) return true;
    for (int earlier = 1; earlier < key_no; ++earlier) {
      std::string earlier_key;
      if (!BuildKey(earlier, &earlier_key)) return false;
      if (!engine_.DeleteKey(handle_, earlier, ref, earlier_key)) {
        outcome_.KeepEngineError();
        return false;
      }
    }
    if (!engine_.DeleteRecord(handle_, ref)) {
      outcome_.KeepEngineError();
      return false;
    }
    // Later passes skip it whatever the free chain put in its delete mark.
    removed_.insert(ref);
    return true;
  }

  Engine& engine_;
  Outcome& outcome_;
  FileHandle handle_;
  int record_length_;
  int32_t records_;
  int32_t user_value_;
  const RecordHook& hook_;
  const KeyBuilder& builder_;
  bool remove_rejected_;
  DumpFile& dump_;
  uint8_t* record_;
  uint8_t* read_ahead_;
  int32_t batch_;
  std::set<int32_t> removed_;
};

}  // namespace

void NoRecordHook(uint8_t*, int, int, int32_t) {}

bool DefaultKeepRecord(const uint8_t* old_record, uint8_t* new_record,
                       int* new_length, bool* failed) {
  *failed = false;
  if (GetInt32(old_record) != 0) return false;
  std::memcpy(new_record, old_record, *new_length);
  return true;
}

void RebuildMemory::Release() {
  read_ahead_.reset();
  write_behind_.reset();
  old_record_.reset();
  new_record_.reset();
  read_ahead_records_ = 0;
  write_behind_records_ = 0;
}

int RebuildMemory::Allocate(int read_length, int write_length,
                            bool write_behind, int work_length,
                            const RebuildAllocator& allocator) {
  Release();
  read_ahead_records_ = AllocateBuffer(BufferRecordsFor(read_length),
                                       read_length, allocator, &read_ahead_);
  if (write_behind) {
    write_behind_records_ =
        AllocateBuffer(BufferRecordsFor(write_length), write_length, allocator,
                       &write_behind_);
  }
  for (;;) {
    old_record_ = TryAllocate(work_length, allocator);
    if (old_record_) new_record_ = TryAllocate(work_length, allocator);
    if (old_record_ && new_record_) return 0;
    old_record_.reset();
    new_record_.reset();
    if (read_ahead_records_ == 0 && write_behind_records_ == 0) {
      Release();
      return kErrNoWorkMemory;
    }
    ShrinkBuffer(read_length, allocator, &read_ahead_, &read_ahead_records_);
    ShrinkBuffer(write_length, allocator, &write_behind_,
                 &write_behind_records_);
  }
}

bool ReorganizeDataFile(Engine& engine, const std::string& base,
                        int new_record_length, int old_record_length,
                        int32_t user_value, const RecordHook& hook,
                        const KeepRecordTest& keep,
                        const RebuildAllocator& allocator) {
  Outcome outcome(engine);
  IoContext* io = &engine.io();
  if (!engine.IsStarted()) return outcome.Fail(kErrNotStarted);
  if (new_record_length > kMaxRebuildRecordLength ||
      old_record_length > kMaxRebuildRecordLength) {
    return outcome.Fail(kErrRecordTooLong);
  }
  if (new_record_length < kMinRecordLength ||
      old_record_length < kMinRecordLength) {
    return outcome.Fail(kErrRecordTooShort);
  }

  const std::string data_path = WithExtension(base, "DAT");
  const std::string work_path = WithExtension(base, "SAV");
  const bool data_exists = FileExists(data_path);
  const bool work_exists = FileExists(work_path);
  if (data_exists && work_exists) return outcome.Fail(kErrWorkCopyExists);
  if (!data_exists && !work_exists) return outcome.Fail(kErrNoDataFile);
  // A lone work copy is what an interrupted run left: it is resumed, and it
  // stays where it is when this run fails too.
  const bool resumed = !data_exists;

  // The old header is not read at all: its record length may be as damaged
  // as its counts, and the caller knows the length of its records.
  if (!resumed) {
    io->Reset();
    int err = RenameFile(io, data_path, work_path);
    if (err != 0) {
      return outcome.Fail(err == kErrPathNotFound ? err : kErrRenameFailed);
    }
  }

  const int work_length = std::max(new_record_length, old_record_length);
  RebuildMemory memory;
  FileHandle handle = kNoFileHandle;
  OsFile in(io);
  bool copied = false;
  do {
    if (outcome.Keep(memory.Allocate(old_record_length, new_record_length, true,
                                     work_length, allocator)) != 0) {
      break;
    }
    engine.CreateFileBlock(base, new_record_length, {});
    if (outcome.KeepEngineError() != 0) break;
    engine.OpenFileBlock(handle, base, false);
    if (outcome.KeepEngineError() != 0) break;
    io->Reset();
    if (outcome.Keep(in.Open(work_path, OpenMode::kReadOnly)) != 0) break;

    RecordCopier copier(engine, handle, memory, new_record_length,
                        old_record_length, work_length, user_value, hook, keep);
    io->Reset();
    if (outcome.Keep(copier.CopyFrom(in)) != 0) break;
    if (outcome.Keep(copier.Flush()) != 0) break;
    memory.Release();
    engine.CloseFileBlock(handle);
    if (outcome.KeepEngineError() != 0) break;
    in.Close();
    // The work copy goes only once the new file is on disk.
    OsFile written(io);
    io->Reset();
    if (outcome.Keep(written.Open(data_path, OpenMode::kReadWrite)) != 0 ||
        outcome.Keep(written.Flush()) != 0 ||
        outcome.Keep(written.Close()) != 0) {
      break;
    }
    copied = true;
  } while (false);

  if (copied) {
    // The new data file is complete; a work copy that cannot be deleted is
    // reported and left, since both files hold the records.
    io->Reset();
    outcome.Keep(RemoveFile(io, work_path));
    return outcome.Finish();
  }

  // Put the old data back.
  in.Close();
  memory.Release();
  if (handle != kNoFileHandle && engine.IsFileBlockOpen(handle)) {
    engine.CloseFileBlock(handle);
  }
  engine.EraseFileBlock(base);
  // A new file block whose close failed is still held by the engine, which
  // will not erase it; its name must go all the same, or the old data could
  // not be copied back under it.
  if (FileExists(data_path)) RemoveFile(io, data_path);
  if (!resumed && RenameFile(io, work_path, data_path) != 0) {
    if (CopyFile(io, work_path, data_path) == 0) {
      RemoveFile(io, work_path);
    } else {
      // A lone work copy is resumed by the next run; a half copy beside it
      // would block that.
      RemoveFile(io, data_path);
    }
  }
  return outcome.Finish();
}

std::string PartialDataFileAsidePath(const std::string& base) {
  std::string path = WithExtension(base, kAsideExtension);
  for (int n = 2; FileExists(path); ++n) {
    path = WithExtension(base, kAsideExtension) + std::to_string(n);
  }
  return path;
}

bool SetAsidePartialDataFile(Engine& engine, const std::string& base,
                             std::string* aside_path) {
  Outcome outcome(engine);
  IoContext* io = &engine.io();
  if (aside_path != nullptr) aside_path->clear();
  const std::string data_path = WithExtension(base, "DAT");
  if (!FileExists(WithExtension(base, "SAV"))) {
    return outcome.Fail(kErrNoDataFile);
  }
  if (!FileExists(data_path)) return outcome.Finish();
  const std::string aside = PartialDataFileAsidePath(base);
  io->Reset();
  if (int err = RenameFile(io, data_path, aside)) {
    return outcome.Fail(err == kErrPathNotFound ? err : kErrRenameFailed);
  }
  if (aside_path != nullptr) *aside_path = aside;
  return outcome.Finish();
}

bool RebuildIndex(Engine& engine, const std::string& base,
                  const std::vector<KeyDescriptor>& keys, int32_t user_value,
                  const RecordHook& hook, bool* dump_written,
                  bool remove_rejected, const KeyBuilder& builder,
                  const RebuildAllocator& allocator) {
  Outcome outcome(engine);
  IoContext* io = &engine.io();
  if (dump_written != nullptr) *dump_written = false;
  if (!engine.IsStarted()) return outcome.Fail(kErrNotStarted);
  // Refused before the old index is thrown away.
  if (keys.size() > static_cast<size_t>(kMaxKeys)) {
    return outcome.Fail(kErrTooManyKeysCreate);
  }
  for (const KeyDescriptor& key : keys) {
    if (key.length < 1 || key.length > kMaxKeyLength) {
      return outcome.Fail(kErrBadKeyLengthCreate);
    }
  }

  const std::string data_path = WithExtension(base, "DAT");
  const std::string dump_path = WithExtension(base, "MSG");
  uint8_t header[kHeaderBytes];
  int64_t size = 0;
  if (outcome.Keep(ReadDataHeader(io, data_path, header, &size)) != 0) {
    return outcome.Finish();
  }
  const int32_t record_length =
      size >= kHeaderBytes ? GetInt32(header + kRecordLengthOffset) : 0;
  if (record_length > kMaxRebuildRecordLength) {
    return outcome.Fail(kErrRecordTooLong);
  }
  if (record_length < kMinRecordLength || size % record_length != 0) {
    return outcome.Fail(kErrNoWorkMemory);
  }
  const auto records = static_cast<int32_t>(size / record_length - 1);

  RebuildMemory memory;
  if (outcome.Keep(memory.Allocate(record_length, record_length, false,
                                   record_length, allocator)) != 0) {
    return outcome.Finish();
  }

  // A fresh index: the throw-away data file of the new file block is N.MSG,
  // which then goes (with the dump of any earlier run).
  engine.CreateFileBlock(base, record_length, keys, "MSG");
  if (outcome.KeepEngineError() != 0) {
    MarkInUpdate(io, data_path);
    return outcome.Finish();
  }
  RemoveFile(io, dump_path);
  io->Reset();

  if (outcome.Keep(RewriteDataHeader(io, data_path, header, records,
                                     static_cast<int32_t>(keys.size()),
                                     memory)) != 0) {
    MarkInUpdate(io, data_path);
    return outcome.Finish();
  }

  FileHandle handle = kNoFileHandle;
  engine.OpenFileBlock(handle, base, false);
  if (outcome.KeepEngineError() != 0) {
    MarkInUpdate(io, data_path);
    return outcome.Finish();
  }

  DumpFile dump(io, dump_path);
  IndexBuilder index(engine, outcome, handle, record_length, records,
                     user_value, hook, builder, remove_rejected, dump,
                     memory.old_record(), memory.read_ahead(),
                     memory.read_ahead_records());
  bool built = true;
  for (int key_no = 1; built && key_no <= static_cast<int>(keys.size());
       ++key_no) {
    built = index.Pass(key_no);
  }

  memory.Release();
  outcome.Keep(dump.Close());
  if (dump_written != nullptr) *dump_written = dump.written();
  engine.CloseFileBlock(handle);
  outcome.KeepEngineError();
  if (outcome.error() != 0) MarkInUpdate(io, data_path);
  return outcome.Finish();
}

}  // namespace tallybook::store
