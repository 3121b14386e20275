// FileBlock: the engine's in-memory state of one open file block - its data
// file, its index file when it has keys, and where they live.
//
// Owned by the Engine's list of open file blocks; handles name them there,
// so nothing outside the engine holds a FileBlock pointer across calls.
#ifndef TALLYBOOK_STORE_FILE_BLOCK_H_
#define TALLYBOOK_STORE_FILE_BLOCK_H_

#include <memory>
#include <string>

#include "store/data_file.h"
#include "store/engine.h"
#include "store/index_file.h"

namespace tallybook::store {

struct FileBlock {
  explicit FileBlock(IoContext* io) : data(io) {}

  FileHandle handle = kNoFileHandle;
  std::string base;
  bool read_only = false;
  // A call met a damaged index (10115): close leaves the in-update flag set
  // so that the next open reports 10010 and the file is rebuilt.
  bool index_damaged = false;
  DataFile data;
  std::unique_ptr<IndexFile> index;  // nullptr when the block has no keys

  int key_count() const { return index ? index->key_count() : 0; }
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_FILE_BLOCK_H_
