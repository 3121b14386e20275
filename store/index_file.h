// IndexFile: the ".IX" file of a file block - one B-tree per key.
//
// The file is an array of equal slots; the slot size is the sum of the page
// sizes of all keys, and within a slot key 1's page comes first, then key
// 2's, and so on. Page n (n >= 1) of key k lies at n * slot size + offset of
// key k. Slot 0 holds at the same offsets one 28-byte key header per key:
//
//   OFFSET  WIDTH  MEANING (key header)
//        0  int32  first free page, -1 when none
//        4  int32  number of free pages
//        8  int32  highest page number allocated to this key
//       12  int32  page size: 6 + capacity * (key length + 9)
//       16  int32  root page, 0 when the tree is empty
//       20  byte   allow duplicates (1) or not (0)
//       21  byte   reserved, 0
//       22  int32  number of entries in this index
//       26  int16  page capacity (62; 0 reads as 62)
//
//   OFFSET  WIDTH  MEANING (page)
//        0  int16  entries in use (0..62)
//        2  int32  leftmost child page (0 in a leaf)
//        6  ...    entries of key length + 9 bytes each, in key order:
//                  reference int32, child int32, length byte, key bytes
//
// Only the used part of a page (6 + count * (key length + 9)) is written.
// A freed page holds the previous free head in its first four bytes. The
// file holds as many page slots as the highest page number of any key; a
// page number beyond them extends the file by one slot of zeros.
//
// Bytes read from disk are checked before use: a key header whose page
// geometry gives no whole key length is refused with 10120, a key length
// outside 1..30 with 10121, a capacity other than 62 with 10122 (pages of
// another capacity would overrun the next key's place in the slot), and
// roots, free links and counts outside their ranges with 10115. A page read
// with a count above 62, a child outside 1..highest, a key longer than the
// key length, or leaf and inner children mixed gives 10115.
#ifndef TALLYBOOK_STORE_INDEX_FILE_H_
#define TALLYBOOK_STORE_INDEX_FILE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "store/engine.h"
#include "store/os_file.h"
#include "store/page.h"
#include "store/page_pool.h"

namespace tallybook::store {

inline constexpr int kKeyHeaderBytes = 28;

inline constexpr int PageSizeFor(int key_length) {
  return 6 + kPageCapacity * (key_length + 9);
}

struct IndexKeyHeader {
  int32_t free_head = -1;
  int32_t free_count = 0;
  int32_t highest = 0;
  int32_t page_size = 0;
  int32_t root = 0;
  uint8_t duplicates = 0;
  int32_t entries = 0;
  int16_t capacity = kPageCapacity;
};

void EncodeIndexKeyHeader(const IndexKeyHeader& h, uint8_t out[kKeyHeaderBytes]);
IndexKeyHeader DecodeIndexKeyHeader(const uint8_t in[kKeyHeaderBytes]);

struct PathLevel {
  int32_t page = 0;
  int pos = 0;  // 0 = before the first entry
};

// Everything the engine keeps per key while the file block is open.
struct KeyState {
  IndexKeyHeader header;
  int length = 0;
  int32_t offset = 0;  // of this key's page within a slot
  bool header_changed = false;
  // No position: the next step starts over at the first (last) entry.
  bool cleared = true;
  // The path still describes the tree; cleared by every insert and delete,
  // after which the caller's key and reference find the place again.
  bool position_valid = false;
  int depth = 0;
  PathLevel path[kPathLevels];
  // The walk since the position was last found from scratch: the direction
  // of the last step (+1 NextKey, -1 PrevKey, 0 a search), how many entries
  // the walk has returned in that direction, and the last one. A sound tree
  // returns them in strict order and never more than its header counts, so
  // a walk that breaks either is stopped as a damaged index.
  int walk_direction = 0;
  int32_t walk_steps = 0;
  Entry walk_last{};
};

class IndexFile : public PageStore {
 public:
  explicit IndexFile(IoContext* io) : file_(io) {}

  // Creates (replacing) an index file for the keys: slot 0 of zeros with one
  // header per key. Leaves it closed.
  static int Create(IoContext* io, const std::string& path,
                    const std::vector<KeyDescriptor>& keys);

  // Opens the file exclusively and reads and checks key_count key headers.
  int Open(const std::string& path, bool read_only, int key_count);
  int Close() { return file_.Close(); }
  bool IsOpen() const { return file_.IsOpen(); }

  int ReadPage(int key_no, int32_t page_no, Page* page) override;
  int WritePage(int key_no, int32_t page_no, const Page& page) override;

  // Takes a page for key_no: from its free chain (10170 when damaged), else
  // a new highest page, extending the file when needed.
  int AllocatePage(int key_no, int32_t* page_no);
  // Puts a page on key_no's free chain (the caller drops its buffer).
  int FreePage(int key_no, int32_t page_no);
  // Reads the free link kept in a freed page.
  int ReadFreeLink(int key_no, int32_t page_no, int32_t* link);

  // Writes every changed key header. Returns 0 or the first write error.
  int WriteHeaders();

  int key_count() const { return static_cast<int>(keys_.size()); }
  KeyState& key(int key_no) { return keys_[static_cast<size_t>(key_no - 1)]; }
  int32_t slot_size() const { return slot_size_; }
  int32_t slots() const { return slots_; }
  bool read_only() const { return file_.IsReadOnly(); }

 private:
  int64_t PageOffset(const KeyState& k, int32_t page_no) const {
    return static_cast<int64_t>(page_no) * slot_size_ + k.offset;
  }

  OsFile file_;
  std::vector<KeyState> keys_;
  int32_t slot_size_ = 0;
  int32_t slots_ = 0;  // page slots in the file, slot 0 not counted
  std::vector<uint8_t> scratch_;  // one packed page
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_INDEX_FILE_H_
