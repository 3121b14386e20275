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
// (StoreOK / StoreError) and call the engine's progress callback, which can
// cancel (10460).
#ifndef TALLYBOOK_STORE_REBUILD_H_
#define TALLYBOOK_STORE_REBUILD_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "store/engine.h"

namespace tallybook::store {

// direction 1 after a record was read, 0 before it is written.
using RecordHook = std::function<void(uint8_t* record, int record_length,
                                      int direction, int32_t user_value)>;
// Decides whether old_record is kept, filling new_record (of *new_length
// bytes, which it may change). Returning false with keep unset keeps
// nothing; a test that fails sets *failed (error 10475).
using KeepRecordTest =
    std::function<bool(const uint8_t* old_record, uint8_t* new_record,
                       int* new_length, bool* failed)>;
// Builds key key_no of record into *key (cut to 30). false = failure (10470).
using KeyBuilder =
    std::function<bool(const uint8_t* record, int key_no, std::string* key)>;

// The do-nothing hook and the default keep test (keep exactly the records
// whose 4-byte delete mark is 0, copied unchanged).
void NoRecordHook(uint8_t*, int, int, int32_t);
bool DefaultKeepRecord(const uint8_t* old_record, uint8_t* new_record,
                       int* new_length, bool* failed);

bool ReorganizeDataFile(Engine& engine, const std::string& base,
                        int new_record_length, int old_record_length,
                        int32_t user_value, const RecordHook& hook,
                        const KeepRecordTest& keep);

bool RebuildIndex(Engine& engine, const std::string& base,
                  const std::vector<KeyDescriptor>& keys, int32_t user_value,
                  const RecordHook& hook, bool* dump_written,
                  bool remove_rejected, const KeyBuilder& builder);

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_REBUILD_H_
