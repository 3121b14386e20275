#include "store/browse_source.h"

#include <algorithm>
#include <cstring>

namespace tallybook::store {

int EngineBrowseSource::KeyCount() {
  int count = engine_.KeyCountOf(handle_);
  return engine_.StoreOK() ? count : 0;
}

int EngineBrowseSource::RecordLength() {
  int32_t length = engine_.RecordLengthOf(handle_);
  return engine_.StoreOK() ? length : 0;
}

bool EngineBrowseSource::SameEntry(int key_no, const BrowseEntry& a,
                                   const BrowseEntry& b) {
  if (a.key != b.key) return false;
  if (a.ref == b.ref) return true;
  // Without duplicates the key alone names the entry: the record behind it
  // may have been replaced, but its place in the index is the same.
  KeyDescriptor descriptor = engine_.KeyDescriptorOf(handle_, key_no);
  return engine_.StoreOK() && !descriptor.allow_duplicates;
}

void EngineBrowseSource::Remember(int key_no, const BrowseEntry& entry) {
  at_valid_ = true;
  at_key_no_ = key_no;
  at_ = entry;
}

int EngineBrowseSource::Find(int key_no, int direction, BrowseEntry& entry) {
  at_valid_ = false;
  if (key_no == 0) {
    int32_t highest = engine_.RecordSlotCount(handle_) - 1;
    if (!engine_.StoreOK()) return Status();
    int32_t rec = entry.ref;
    if (direction > 0) rec = std::max<int32_t>(rec, 1);
    if (direction < 0) rec = std::min(rec, highest);
    if (rec < 1 || rec > highest) return kErrNoUsedRecord;
    if (!engine_.CheckUsedRecord(handle_, rec, direction)) return Status();
    entry.key.clear();
    entry.ref = rec;
    return 0;
  }
  int32_t ref = entry.ref;
  std::string key = entry.key;
  if (!engine_.FindKeyAndRef(handle_, key_no, ref, direction, key)) {
    return Status();
  }
  entry.key = key;
  entry.ref = ref;
  Remember(key_no, entry);
  return 0;
}

int EngineBrowseSource::Step(int key_no, int direction, BrowseEntry& entry) {
  if (key_no == 0) {
    int32_t rec = entry.ref;
    bool ok = direction > 0 ? engine_.NextUsedRecord(handle_, rec)
                            : engine_.PrevUsedRecord(handle_, rec);
    if (!ok) return Status();
    entry.key.clear();
    entry.ref = rec;
    return 0;
  }
  if (!(at_valid_ && at_key_no_ == key_no && SameEntry(key_no, at_, entry))) {
    // Put the engine's position on the entry first. When the entry is gone,
    // the search already lands on its neighbour in the walking direction.
    BrowseEntry found = entry;
    int error = Find(key_no, direction, found);
    if (error != 0) return error;
    if (!SameEntry(key_no, found, entry)) {
      entry = found;
      return 0;
    }
  }
  int32_t ref = entry.ref;
  std::string key = entry.key;
  bool ok = direction > 0 ? engine_.NextKey(handle_, key_no, ref, key)
                          : engine_.PrevKey(handle_, key_no, ref, key);
  if (!ok) {
    at_valid_ = false;
    return Status();
  }
  entry.key = key;
  entry.ref = ref;
  Remember(key_no, entry);
  return 0;
}

int32_t EngineBrowseSource::Count(int key_no) {
  int32_t count = key_no == 0 ? engine_.CountUsedRecords(handle_)
                              : engine_.CountKeys(handle_, key_no);
  return engine_.StoreOK() ? std::max<int32_t>(count, 0) : 0;
}

int EngineBrowseSource::ToScrollPos(int key_no, const BrowseEntry& entry,
                                    uint16_t scale, int32_t& pos) {
  if (key_no == 0) {
    pos = engine_.RecordToScrollPos(handle_, entry.ref, scale);
    return Status();
  }
  // KeyToScrollPos searches from the root and so moves the key's position.
  at_valid_ = false;
  engine_.KeyToScrollPos(handle_, key_no, pos, entry.ref, entry.key, scale);
  return Status();
}

int EngineBrowseSource::FromScrollPos(int key_no, int32_t pos, uint16_t scale,
                                      BrowseEntry& entry) {
  if (key_no == 0) {
    int32_t rec = engine_.ScrollPosToRecord(handle_, pos, scale);
    if (!engine_.StoreOK()) return Status();
    entry.key.clear();
    entry.ref = rec;
    return 0;
  }
  at_valid_ = false;
  int32_t ref = 0;
  std::string key;
  if (!engine_.ScrollPosToKey(handle_, key_no, pos, ref, key, scale)) {
    return Status();
  }
  entry.key = key;
  entry.ref = ref;
  return 0;
}

int EngineBrowseSource::Read(int32_t ref, uint8_t* buffer, bool& in_use) {
  in_use = false;
  // Slot 0 is the data file's header, never a record.
  if (ref < 1) return kErrNoUsedRecord;
  if (!engine_.GetRecord(handle_, ref, buffer)) return Status();
  int32_t mark = 0;
  std::memcpy(&mark, buffer, sizeof mark);
  in_use = mark == 0;
  return 0;
}

}  // namespace tallybook::store
