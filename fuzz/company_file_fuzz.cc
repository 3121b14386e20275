// Fuzz target: opening and walking a company file - the data file and its
// index as they are read by "check DIR FILE" (without the engine) and by
// the record store (every key in both directions, every record, the browse
// positions, the invariants).
//
// Input: as WriteCompanyFile reads it.
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "company/app.h"
#include "fuzz/fuzz_support.h"
#include "store/engine.h"

namespace {

using tallybook::store::Engine;
using tallybook::store::FileHandle;

void WalkKey(Engine& engine, FileHandle handle, int key_no,
             std::vector<uint8_t>& record) {
  int32_t ref = 0;
  std::string key;
  engine.CountKeys(handle, key_no);
  engine.ResetKeyPosition(handle, key_no);
  while (engine.NextKey(handle, key_no, ref, key)) {
    engine.GetRecord(handle, ref, record.data());
  }
  engine.ResetKeyPosition(handle, key_no);
  while (engine.PrevKey(handle, key_no, ref, key)) {
  }
  constexpr uint16_t kScale = 100;
  for (int32_t pos = 0; pos <= kScale; pos += 25) {
    if (engine.ScrollPosToKey(handle, key_no, pos, ref, key, kScale)) {
      int32_t back = 0;
      engine.KeyToScrollPos(handle, key_no, back, ref, key, kScale);
    }
  }
  key.clear();
  engine.SearchKey(handle, key_no, ref, key);
}

void WalkWithEngine(const std::string& base) {
  Engine engine;
  if (!engine.StoreStartup(0, tallybook::company::kPageBuffers)) return;
  FileHandle handle = tallybook::store::kNoFileHandle;
  if (engine.OpenFileBlock(handle, base, /*read_only=*/true)) {
    std::vector<uint8_t> record(
        static_cast<size_t>(std::max(1, engine.RecordLengthOf(handle))));
    for (int k = 1; k <= engine.KeyCountOf(handle); ++k) {
      WalkKey(engine, handle, k, record);
    }
    int32_t rec_no = 0;
    while (engine.NextUsedRecord(handle, rec_no)) {
      engine.GetRecord(handle, rec_no, record.data());
    }
    engine.CountUsedRecords(handle);
    engine.CheckInvariants(handle);
    engine.CloseFileBlock(handle);
  }
  engine.StoreShutdown();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tallybook::fuzz::InputDirectory dir;
  const std::string name = tallybook::fuzz::WriteCompanyFile(dir, data, size);
  if (name.empty()) return 0;
  std::ostringstream sink;
  tallybook::admin::RunCheckCompanyFile({dir.path(), name}, sink, sink);
  WalkWithEngine(dir.PathOf(name));
  return 0;
}
