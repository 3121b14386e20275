// File check: an independent reader of a file block's raw files.
//
// The engine trusts its files once they open; this reader trusts nothing. It
// parses BASE.DAT and BASE.IX byte by byte, without the engine, so that the
// admin tool (and tests of the engine) can tell whether a file block on disk
// is sound and, when it is not, say exactly where it is damaged. Every read
// is bounds-checked: a pointer outside the file, a count beyond the page
// capacity, a cycle or an overlong key string is reported as a defect line,
// never followed blindly.
//
// Data file (BASE.DAT), slot 0 (the rest of the slot is zero):
//   OFFSET  WIDTH  MEANING
//   0       int32  first free record number, -1 when the free chain is empty
//   4       int32  number of records on the free chain
//   8       int32  highest record number ever allocated
//   12      int32  record length L (slot n lies at n * L)
//   16      int32  number of keys K (0..100)
//   20      byte   in-update flag (1 while changes were not closed cleanly)
//
// Index file (BASE.IX): slots of the summed page sizes of all keys; key k's
// page n lies at n * slot size + (page sizes of keys 1..k-1). Slot 0 holds a
// 28-byte key header per key at the same offsets:
//   OFFSET  WIDTH  MEANING
//   0       int32  first free page, -1 when none
//   4       int32  number of free pages
//   8       int32  highest page number of this key
//   12      int32  page size (6 + capacity * (key length + 9))
//   16      int32  root page, 0 when the tree is empty
//   20      byte   allow duplicates (1) or not (0)
//   21      byte   reserved
//   22      int32  number of entries
//   26      int16  page capacity (62; 0 reads as 62)
// A page: int16 count, int32 leftmost child, then count entries of
// int32 reference, int32 child, length byte, key length bytes.
//
// A sound file block satisfies:
//   1. The data file is exactly (highest + 1) * L bytes, L >= 21, K in
//      0..100, the in-update flag is 0.
//   2. The record free chain starts at -1 or 1..highest, every link is in
//      -1..highest and non-zero, it has no cycle and its length is the free
//      count.
//   3. For every key, the index file is (largest highest page + 1) * slot
//      size bytes; the page free chain obeys rule 2 within 1..highest pages.
//   4. Every page 1..highest is either reachable from the root exactly once
//      or on the free chain, never both.
//   5. A root holds 1..capacity entries, every other page capacity / 2 ..
//      capacity; every leaf lies at the same depth; a page's children are all
//      zero (a leaf) or all in 1..highest (an inner page).
//   6. In key order (an in-order walk) entries strictly ascend: bytewise
//      unsigned, the shorter string first on a common prefix, and with
//      duplicates allowed by reference after that. No key string is longer
//      than the key length.
//   7. The number of entries in the tree is the header's entry count, and
//      every reference is a record in 1..highest whose delete mark is 0.
#ifndef TALLYBOOK_STORE_FILE_CHECK_H_
#define TALLYBOOK_STORE_FILE_CHECK_H_

#include <cstdint>
#include <string>
#include <vector>

namespace tallybook::store {

inline constexpr int kDataHeaderSize = 21;
inline constexpr int kKeyHeaderSize = 28;
inline constexpr int kPageHeaderSize = 6;
inline constexpr int kEntryOverhead = 9;  // reference, child, length byte
inline constexpr int kDefaultPageCapacity = 62;
// The engine keeps a path of at most this many levels per key.
inline constexpr int kMaxTreeDepth = 8;

// Slot 0 of the data file, as stored.
struct DataHeader {
  int32_t free_head = -1;
  int32_t free_count = 0;
  int32_t highest = 0;
  int32_t record_length = 0;
  int32_t key_count = 0;
  uint8_t in_update = 0;
};

// One key header of slot 0 of the index file, as stored, plus the values
// derived from it when the header was read.
struct KeyHeader {
  int32_t free_head = -1;
  int32_t free_count = 0;
  int32_t highest = 0;
  int32_t page_size = 0;
  int32_t root = 0;
  uint8_t allow_duplicates = 0;
  uint8_t reserved = 0;
  int32_t entries = 0;
  int16_t capacity_field = 0;  // as stored; 0 means the default
  // Derived.
  int capacity = kDefaultPageCapacity;
  int key_length = 0;
  int64_t offset_in_slot = 0;
};

// Both headers of a file block and the sizes of its files.
struct FileBlockLayout {
  std::string data_path;
  std::string index_path;  // empty when K = 0
  DataHeader data;
  std::vector<KeyHeader> keys;  // keys[0] is key 1
  int64_t data_file_size = 0;
  int64_t index_file_size = 0;
  int64_t slot_size = 0;  // index slot size, 0 when K = 0
};

// One entry of a key, as the key walk returns it.
struct KeyEntry {
  std::string key;
  int32_t reference = 0;
};

// Reads the data header and every key header of the file block named by
// base (extensions are added as the engine does). Returns "" on success and
// fills *layout; otherwise a one-line message naming the file and the fault
// (missing, truncated, record length below 21, more than 100 keys, a key
// header whose page size and capacity give no key length of 1..30) and
// *layout is unspecified. Files are only read; a file block another process
// holds open is refused.
std::string ReadFileBlockLayout(const std::string& base,
                                FileBlockLayout* layout);

// Verifies the whole file block (rules 1-7 above). Returns an empty list
// when it is sound, else one line per defect (the list is cut after a
// thousand lines with a closing line saying so). When the headers cannot be
// read, the list holds the single message of ReadFileBlockLayout.
std::vector<std::string> CheckFileBlockFiles(const std::string& base);

// Walks key key_no (1..K) in key order into *entries. Returns "" on
// success; otherwise a one-line message: the files cannot be read, the key
// number is out of range, or the first defect of that key's tree (rules 3-6;
// the entries that could still be read are left in *entries).
std::string WalkKeyEntries(const std::string& base, int key_no,
                           std::vector<KeyEntry>* entries);

// Compares two key strings as the index orders them: bytewise unsigned over
// the common length, the shorter first. Negative, zero or positive.
int CompareKeyStrings(const std::string& a, const std::string& b);

// The key text made printable for a one-line message: bytes below 32, the
// quote, the backslash and 127 appear as \xHH.
std::string PrintableKey(const std::string& key);

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_FILE_CHECK_H_
