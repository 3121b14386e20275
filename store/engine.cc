#include "store/engine.h"

#include <cstdlib>
#include <set>

#include "store/btree.h"
#include "store/file_block.h"
#include "store/page_pool.h"

namespace tallybook::store {

namespace {

// Every live engine, for the normal-exit hook. Never destroyed, so the hook
// can run after other static objects are gone.
std::set<Engine*>& LiveEngines() {
  static auto* engines = new std::set<Engine*>;
  return *engines;
}

// Refuses to touch files that an open file block (of this or another
// process) holds: their lock is taken. Other failures are left to the
// caller's own file calls.
int CheckNotInUse(IoContext* io, const std::string& path) {
  if (!FileExists(path)) return 0;
  OsFile probe(io);
  int err = probe.Open(path, OpenMode::kReadOnly);
  return err == kErrOsFailure ? err : 0;
}

// Copies a found key into the caller's string, reusing its storage: the
// stepping calls run once per row of a list and should not allocate.
void SetKey(const KeyBuf& kb, std::string* key) {
  key->assign(reinterpret_cast<const char*>(kb.b + 1), kb.b[0]);
}

}  // namespace

void Engine::CloseLiveEngines() {
  std::set<Engine*> engines = LiveEngines();
  for (Engine* e : engines) e->CloseAll(/*force=*/true);
}

Engine::Engine() {
  static const bool hook_installed = [] {
    std::atexit(&Engine::CloseLiveEngines);
    return true;
  }();
  (void)hook_installed;
  LiveEngines().insert(this);
}

Engine::~Engine() {
  CloseAll(/*force=*/true);
  LiveEngines().erase(this);
}

void Engine::ResetStatus() {
  ok_ = true;
  error_ = 0;
  io_.Reset();
}

bool Engine::Fail(int error) {
  ok_ = false;
  error_ = error;
  return false;
}

void Engine::SetProgressCallback(ProgressCallback callback) {
  progress_ = std::move(callback);
}

FileBlock* Engine::Lookup(FileHandle handle) {
  auto it = open_.find(handle);
  return it == open_.end() ? nullptr : it->second.get();
}

FileBlock* Engine::Begin(FileHandle handle) {
  ResetStatus();
  if (!pool_) {
    Fail(kErrNotStarted);
    return nullptr;
  }
  FileBlock* fb = Lookup(handle);
  if (fb == nullptr) Fail(kErrNotFileBlock);
  return fb;
}

FileBlock* Engine::BeginChange(FileHandle handle) {
  FileBlock* fb = Begin(handle);
  if (fb != nullptr && fb->read_only) {
    Fail(kErrReadOnly);
    return nullptr;
  }
  return fb;
}

IndexFile* Engine::BeginKey(FileHandle handle, int key_no, bool change) {
  FileBlock* fb = change ? BeginChange(handle) : Begin(handle);
  if (fb == nullptr) return nullptr;
  if (key_no < 1 || key_no > fb->key_count()) {
    Fail(kErrBadKeyNumber);
    return nullptr;
  }
  return fb->index.get();
}

bool Engine::Done(int err, FileHandle handle) {
  if (err == 0) return true;
  // On a read-only file block an unclassified OS failure is reported as
  // "not available just now" rather than as fatal.
  FileBlock* fb = Lookup(handle);
  if (fb != nullptr && !fb->read_only && err == kErrIndexDamaged) {
    // The index cannot be trusted any more: the in-update flag goes on now
    // and stays on at close, so the next open asks for the rebuild.
    fb->index_damaged = true;
    fb->data.MarkInUpdate();
  }
  if (fb != nullptr && fb->read_only && err == kErrOsFailure) {
    err = kErrReadOnlyOs;
  }
  return Fail(err);
}

// ---- Start-up and file blocks.

bool Engine::StoreStartup(int /*network_type*/, int page_buffers) {
  ResetStatus();
  if (page_buffers <= 7) return Fail(kErrTooFewBuffers);
  if (pool_) return Fail(kErrAlreadyStarted);
  pool_ = PagePool::Create(page_buffers);
  if (!pool_) return Fail(kErrNoPageBuffers);
  return true;
}

bool Engine::StoreShutdown() {
  ResetStatus();
  if (!pool_) return Fail(kErrNotStarted);
  int err = CloseAll(/*force=*/true);
  pool_.reset();
  return err == 0 ? true : Fail(err);
}

bool Engine::IsStarted() const { return pool_ != nullptr; }

int Engine::CloseBlock(FileBlock* fb) {
  IndexFile* ix = fb->index.get();
  if (!fb->read_only) {
    if (ix != nullptr) {
      if (int err = pool_->Flush(ix)) return err;
      if (int err = ix->WriteHeaders()) return err;
    }
    if (int err = fb->data.WriteCleanHeader()) return err;
    if (fb->index_damaged) {
      if (int err = fb->data.MarkInUpdate()) return err;
    }
  }
  if (ix != nullptr) pool_->DropStore(ix);
  int closed_ix = ix != nullptr ? ix->Close() : 0;
  int closed_data = fb->data.Close();
  open_.erase(fb->handle);
  return closed_ix != 0 || closed_data != 0 ? kErrCloseFailed : 0;
}

void Engine::Release(FileBlock* fb) {
  if (fb->index) {
    if (pool_) pool_->DropStore(fb->index.get());
    fb->index->Close();
  }
  fb->data.Close();
  open_.erase(fb->handle);
}

int Engine::CloseAll(bool force) {
  int first = 0;
  while (!open_.empty()) {
    const FileHandle handle = open_.begin()->first;
    int err = pool_ ? CloseBlock(open_.begin()->second.get()) : kErrNotStarted;
    if (err != 0) {
      if (first == 0) first = err;
      if (!force) break;
      // The block could not be written back; its in-update flag stays set
      // on disk, so the next open asks for a rebuild.
      if (FileBlock* still_open = Lookup(handle)) Release(still_open);
    }
  }
  return first;
}

bool Engine::CreateFileBlock(const std::string& base, int record_length,
                             const std::vector<KeyDescriptor>& keys,
                             const std::string& data_ext) {
  ResetStatus();
  if (!pool_) return Fail(kErrNotStarted);
  if (record_length < kMinRecordLength) return Fail(kErrRecordTooShort);
  if (record_length > kMaxRecordLength) return Fail(kErrRecordTooLong);
  if (keys.size() > static_cast<size_t>(kMaxKeys)) {
    return Fail(kErrTooManyKeysCreate);
  }
  for (const KeyDescriptor& k : keys) {
    if (k.length < 1 || k.length > kMaxKeyLength) {
      return Fail(kErrBadKeyLengthCreate);
    }
  }
  const std::string dat = WithExtension(base, data_ext);
  const std::string ix = WithExtension(base, "IX");
  const std::string dia = WithExtension(base, "DIA");
  for (const std::string* path : {&dat, &ix}) {
    if (int err = CheckNotInUse(&io_, *path)) return Fail(err);
  }
  RemoveFile(&io_, ix);
  RemoveFile(&io_, dia);
  RemoveFile(&io_, dat);
  io_.Reset();  // missing files are the normal case here
  const int key_count = static_cast<int>(keys.size());
  if (int err = DataFile::Create(&io_, dat, record_length, key_count)) {
    RemoveFile(&io_, dat);
    return Fail(err);
  }
  if (key_count > 0) {
    if (int err = IndexFile::Create(&io_, ix, keys)) {
      RemoveFile(&io_, ix);
      RemoveFile(&io_, dat);
      return Fail(err);
    }
  }
  return true;
}

bool Engine::OpenFileBlock(FileHandle& handle, const std::string& base,
                           bool read_only, bool /*ignored*/,
                           bool /*save_mode*/, bool force_read_only) {
  ResetStatus();
  if (!pool_) return Fail(kErrNotStarted);
  read_only = read_only || force_read_only;
  auto fb = std::make_unique<FileBlock>(&io_);
  fb->base = base;
  fb->read_only = read_only;
  if (int err = fb->data.Open(WithExtension(base, "DAT"), read_only)) {
    return Fail(err);
  }
  const int key_count = fb->data.header().key_count;
  if (key_count > 0) {
    fb->index = std::make_unique<IndexFile>(&io_);
    int err = fb->index->Open(WithExtension(base, "IX"), read_only,
                              key_count);
    if (err != 0) {
      fb->data.Close();
      // An index that cannot be opened or whose key headers are damaged
      // (truncated, counts or page numbers out of range) cannot be trusted:
      // like a file not closed after changes, it is answered with 10010,
      // which the application meets with the offer to rebuild it from the
      // data file. Only the page geometry errors and a lack of file handles
      // keep their own numbers.
      switch (err) {
        case kErrIndexGeometry:
        case kErrIndexKeyLength:
        case kErrIndexCapacity:
        case kErrTooManyOpenFiles:
          return Fail(err);
        default:
          return Fail(kErrNotClosedCleanly);
      }
    }
  }
  // Save mode is not supported, so a journal left beside the file block
  // has nothing to replay.
  const std::string dia = WithExtension(base, "DIA");
  if (!read_only && FileExists(dia)) {
    RemoveFile(&io_, dia);
    io_.Reset();
  }
  fb->handle = next_handle_++;
  handle = fb->handle;
  open_[handle] = std::move(fb);
  return true;
}

bool Engine::CloseFileBlock(FileHandle& handle) {
  ResetStatus();
  if (!pool_) return Fail(kErrNotStarted);
  FileBlock* fb = Lookup(handle);
  if (fb == nullptr) return Fail(kErrCloseNotOpen);
  int err = CloseBlock(fb);
  if (err == 0 || err == kErrCloseFailed) handle = kNoFileHandle;
  return err == 0 ? true : Fail(err);
}

bool Engine::EraseFileBlock(const std::string& base) {
  ResetStatus();
  if (!pool_) return Fail(kErrNotStarted);
  int first = 0;
  for (const char* ext : {"DAT", "IX", "DIA"}) {
    const std::string path = WithExtension(base, ext);
    if (!FileExists(path)) continue;
    int err = CheckNotInUse(&io_, path);
    if (err == 0) err = RemoveFile(&io_, path);
    if (err != 0 && err != kErrFileNotFound && first == 0) first = err;
  }
  return first == 0 ? true : Fail(first);
}

bool Engine::IsFileBlockOpen(FileHandle handle) const {
  return open_.count(handle) != 0;
}

bool Engine::CheckFileBlock(FileHandle handle) {
  return Begin(handle) != nullptr;
}

// ---- Records.

bool Engine::AddRecord(FileHandle handle, int32_t& rec_no,
                       const void* buffer) {
  FileBlock* fb = BeginChange(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.Add(&rec_no, buffer), handle);
}

bool Engine::GetRecord(FileHandle handle, int32_t rec_no, void* buffer) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.Get(rec_no, buffer), handle);
}

bool Engine::ReadRecords(FileHandle handle, int32_t first, int32_t count,
                         void* buffer, int32_t& got) {
  got = 0;
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.GetMany(first, count, buffer, &got), handle);
}

bool Engine::PutRecord(FileHandle handle, int32_t rec_no,
                       const void* buffer) {
  FileBlock* fb = BeginChange(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.Put(rec_no, buffer), handle);
}

bool Engine::DeleteRecord(FileHandle handle, int32_t rec_no) {
  FileBlock* fb = BeginChange(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.Delete(rec_no), handle);
}

int32_t Engine::CountUsedRecords(FileHandle handle) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return 0;
  return fb->data.header().highest - fb->data.header().free_count;
}

int32_t Engine::RecordSlotCount(FileHandle handle) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return 0;
  return fb->data.header().highest + 1;
}

int32_t Engine::RecordLengthOf(FileHandle handle) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return 0;
  return fb->data.header().record_length;
}

int32_t Engine::NextAddRecordNumber(FileHandle handle) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return 0;
  const DataFileHeader& h = fb->data.header();
  return h.free_head != -1 ? h.free_head : h.highest + 1;
}

bool Engine::NextUsedRecord(FileHandle handle, int32_t& rec_no) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.NextUsed(&rec_no), handle);
}

bool Engine::PrevUsedRecord(FileHandle handle, int32_t& rec_no) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.PrevUsed(&rec_no), handle);
}

bool Engine::CheckUsedRecord(FileHandle handle, int32_t& rec_no,
                             int direction) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.CheckUsed(&rec_no, direction), handle);
}

int32_t Engine::RecordToScrollPos(FileHandle handle, int32_t rec_no,
                                  uint16_t scale) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return 0;
  int err = 0;
  int32_t pos = fb->data.RecordToScrollPos(rec_no, scale, &err);
  Done(err, handle);
  return pos;
}

int32_t Engine::ScrollPosToRecord(FileHandle handle, int32_t pos,
                                  uint16_t scale) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) return 0;
  int err = 0;
  int32_t rec = fb->data.ScrollPosToRecord(pos, scale, &err);
  Done(err, handle);
  return rec;
}

bool Engine::AppendRecords(FileHandle handle, const void* records,
                           int32_t count) {
  FileBlock* fb = BeginChange(handle);
  if (fb == nullptr) return false;
  return Done(fb->data.Append(records, count), handle);
}

// ---- Keys.

int Engine::KeyCountOf(FileHandle handle) {
  FileBlock* fb = Begin(handle);
  return fb == nullptr ? 0 : fb->key_count();
}

KeyDescriptor Engine::KeyDescriptorOf(FileHandle handle, int key_no) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  if (ix == nullptr) return {};
  const KeyState& k = ix->key(key_no);
  return {k.length, k.header.duplicates != 0};
}

bool Engine::AddKey(FileHandle handle, int key_no, int32_t ref,
                    const std::string& key) {
  IndexFile* ix = BeginKey(handle, key_no, true);
  if (ix == nullptr) return false;
  KeyBuf kb = KeyBuf::From(key);
  if (kb.size() > ix->key(key_no).length) return Fail(kErrKeyTooLong);
  if (int err = Lookup(handle)->data.MarkInUpdate()) return Done(err, handle);
  return Done(BTree(*pool_, *ix, key_no).Add(kb, ref), handle);
}

bool Engine::DeleteKey(FileHandle handle, int key_no, int32_t ref,
                       const std::string& key) {
  IndexFile* ix = BeginKey(handle, key_no, true);
  if (ix == nullptr) return false;
  KeyBuf kb = KeyBuf::From(key);
  if (int err = Lookup(handle)->data.MarkInUpdate()) return Done(err, handle);
  return Done(BTree(*pool_, *ix, key_no).Delete(kb, ref), handle);
}

bool Engine::SearchKey(FileHandle handle, int key_no, int32_t& ref,
                       std::string& key) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  if (ix == nullptr) return false;
  KeyBuf kb = KeyBuf::From(key);
  int32_t r = 0;
  int err = BTree(*pool_, *ix, key_no).SearchKey(&kb, &r);
  if (err == 0) {
    ref = r;
    SetKey(kb, &key);
  }
  return Done(err, handle);
}

bool Engine::FindKeyAndRef(FileHandle handle, int key_no, int32_t& ref,
                           int direction, std::string& key) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  if (ix == nullptr) return false;
  KeyBuf kb = KeyBuf::From(key);
  int32_t r = ref;
  int err = BTree(*pool_, *ix, key_no).FindKeyAndRef(&kb, &r, direction);
  if (err == 0) {
    ref = r;
    SetKey(kb, &key);
  }
  return Done(err, handle);
}

bool Engine::NextKey(FileHandle handle, int key_no, int32_t& ref,
                     std::string& key) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  if (ix == nullptr) return false;
  KeyBuf kb = KeyBuf::From(key);
  int32_t r = ref;
  int err = BTree(*pool_, *ix, key_no).NextKey(&kb, &r);
  if (err == 0) {
    ref = r;
    SetKey(kb, &key);
  }
  return Done(err, handle);
}

bool Engine::PrevKey(FileHandle handle, int key_no, int32_t& ref,
                     std::string& key) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  if (ix == nullptr) return false;
  KeyBuf kb = KeyBuf::From(key);
  int32_t r = ref;
  int err = BTree(*pool_, *ix, key_no).PrevKey(&kb, &r);
  if (err == 0) {
    ref = r;
    SetKey(kb, &key);
  }
  return Done(err, handle);
}

bool Engine::ResetKeyPosition(FileHandle handle, int key_no) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  if (ix == nullptr) return false;
  BTree(*pool_, *ix, key_no).ResetPosition();
  return true;
}

int32_t Engine::CountKeys(FileHandle handle, int key_no) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  return ix == nullptr ? 0 : ix->key(key_no).header.entries;
}

bool Engine::KeyToScrollPos(FileHandle handle, int key_no, int32_t& pos,
                            int32_t ref, const std::string& key,
                            uint16_t scale) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  if (ix == nullptr) return false;
  return Done(BTree(*pool_, *ix, key_no)
                  .KeyToScrollPos(KeyBuf::From(key), ref, scale, &pos),
              handle);
}

bool Engine::ScrollPosToKey(FileHandle handle, int key_no, int32_t pos,
                            int32_t& ref, std::string& key, uint16_t scale) {
  IndexFile* ix = BeginKey(handle, key_no, false);
  if (ix == nullptr) return false;
  KeyBuf kb;
  kb.b[0] = 0;
  int32_t r = 0;
  int err = BTree(*pool_, *ix, key_no).ScrollPosToKey(pos, scale, &kb, &r);
  if (err == 0) {
    ref = r;
    SetKey(kb, &key);
  }
  return Done(err, handle);
}

std::vector<std::string> Engine::CheckInvariants(FileHandle handle) {
  FileBlock* fb = Begin(handle);
  if (fb == nullptr) {
    return {"not an open file block (error " + std::to_string(error_) + ")"};
  }
  std::vector<std::string> defects = fb->data.CheckInvariants();
  for (int k = 1; k <= fb->key_count(); ++k) {
    for (std::string& d : BTree(*pool_, *fb->index, k).CheckInvariants()) {
      defects.push_back(std::move(d));
    }
  }
  for (std::string& d : pool_->CheckInvariants()) {
    defects.push_back(std::move(d));
  }
  ResetStatus();
  return defects;
}

}  // namespace tallybook::store
