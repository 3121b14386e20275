// BrowseSource: the few steps a browse list takes over one file block.
//
// The browse list (browse_list.h) never calls the engine directly; it walks
// the file through this interface, so that the walk can be followed in tests
// and a file that is "not available just now" can be simulated without
// touching the disk. EngineBrowseSource is the real one, over an open file
// block of an Engine.
//
// Key number 0 means record-number order: entries are the records in use,
// in physical order, each with an empty key. Key numbers 1..K walk that
// key's index.
//
// Every call returns 0 or a store error number (errors.h); class 1 errors
// (not found, end of data) are expected outcomes at the ends of the data.
#ifndef TALLYBOOK_STORE_BROWSE_SOURCE_H_
#define TALLYBOOK_STORE_BROWSE_SOURCE_H_

#include <cstdint>
#include <string>

#include "store/engine.h"

namespace tallybook::store {

// One index entry (or one record in use, for key number 0).
struct BrowseEntry {
  std::string key;
  int32_t ref = 0;
};

class BrowseSource {
 public:
  virtual ~BrowseSource() = default;

  // Number of keys of the file block (the highest valid key number).
  virtual int KeyCount() = 0;
  // Record length of the data file; 0 when it cannot be had.
  virtual int RecordLength() = 0;
  // Looks up (entry.key, entry.ref) exactly; when absent, direction +1
  // gives the next greater entry and -1 the next smaller one. On success
  // entry holds the found entry.
  virtual int Find(int key_no, int direction, BrowseEntry& entry) = 0;
  // Replaces entry by the one after it (direction +1) or before it (-1).
  // entry need not exist any more: the neighbour of its place is given.
  virtual int Step(int key_no, int direction, BrowseEntry& entry) = 0;
  // Number of entries (records in use for key number 0); 0 on failure.
  virtual int32_t Count(int key_no) = 0;
  // Proportional position of entry on 0..scale.
  virtual int ToScrollPos(int key_no, const BrowseEntry& entry,
                          uint16_t scale, int32_t& pos) = 0;
  // An entry near position pos of 0..scale. The entry may be one with an
  // empty key and reference 0, standing for "before the first entry".
  virtual int FromScrollPos(int key_no, int32_t pos, uint16_t scale,
                            BrowseEntry& entry) = 0;
  // Reads record ref into buffer (RecordLength() bytes); in_use is false
  // when the record's delete mark is set.
  virtual int Read(int32_t ref, uint8_t* buffer, bool& in_use) = 0;
  // Called whenever code outside the browse list may have used the file
  // block, so that any remembered engine position is no longer trusted.
  virtual void Forget() {}
};

// BrowseSource over an open file block. The engine keeps one position per
// key, which other users of the file block move too; this source remembers
// the last entry it stepped to and steps straight on from there only while
// nothing else can have moved it (until Forget()); otherwise it first finds
// its place again with FindKeyAndRef.
class EngineBrowseSource : public BrowseSource {
 public:
  // engine must outlive the source; handle stays owned by the caller.
  EngineBrowseSource(Engine& engine, FileHandle handle)
      : engine_(engine), handle_(handle) {}

  int KeyCount() override;
  int RecordLength() override;
  int Find(int key_no, int direction, BrowseEntry& entry) override;
  int Step(int key_no, int direction, BrowseEntry& entry) override;
  int32_t Count(int key_no) override;
  int ToScrollPos(int key_no, const BrowseEntry& entry, uint16_t scale,
                  int32_t& pos) override;
  int FromScrollPos(int key_no, int32_t pos, uint16_t scale,
                    BrowseEntry& entry) override;
  int Read(int32_t ref, uint8_t* buffer, bool& in_use) override;
  void Forget() override { at_valid_ = false; }

 private:
  // The engine's status after the last call: 0 or its error number.
  int Status() const { return engine_.StoreOK() ? 0 : engine_.StoreError(); }
  bool SameEntry(int key_no, const BrowseEntry& a, const BrowseEntry& b);
  void Remember(int key_no, const BrowseEntry& entry);

  Engine& engine_;
  FileHandle handle_;
  // The entry the engine's position of key at_key_no_ stands on.
  bool at_valid_ = false;
  int at_key_no_ = 0;
  BrowseEntry at_;
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_BROWSE_SOURCE_H_
