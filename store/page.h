// Page: one B-tree page of an index, unpacked in memory.
//
// On disk an entry takes key length + 9 bytes (see index_file.h); in memory
// every entry takes the same 39 bytes whatever the key length, so one set of
// tree routines serves all keys. Entries are numbered 1..count as in the
// tree algorithms; slot 0 only carries the leftmost child, so that entry i's
// child (the subtree of keys greater than entry i and less than entry i+1)
// is always e[i].child, with e[0].child the leftmost one.
//
// Key strings are length-prefixed: key[0] is the length (0..30), key[1..]
// the bytes. Comparison is bytewise unsigned over the common part, the
// shorter string first; with duplicates allowed, equal strings are ordered
// by reference.
#ifndef TALLYBOOK_STORE_PAGE_H_
#define TALLYBOOK_STORE_PAGE_H_

#include <cstdint>
#include <cstring>
#include <string>

namespace tallybook::store {

inline constexpr int kPageCapacity = 62;
inline constexpr int kPageHalf = 31;
// Deepest tree the position path can describe.
inline constexpr int kPathLevels = 8;
inline constexpr int kKeyBytes = 31;  // length byte + up to 30 characters

#pragma pack(push, 1)
struct Entry {
  int32_t ref;
  int32_t child;
  uint8_t key[kKeyBytes];
};
#pragma pack(pop)
static_assert(sizeof(Entry) == 39, "unpacked entries keep a 39-byte stride");

struct Page {
  int16_t count;
  Entry e[kPageCapacity + 1];  // e[0]: leftmost child only

  int32_t Child(int i) const { return e[i].child; }
  bool IsLeaf() const { return e[0].child == 0; }
  void Clear() { std::memset(this, 0, sizeof(*this)); }
};

// A length-prefixed key held by value (no heap), as the tree routines pass
// sought keys around.
struct KeyBuf {
  uint8_t b[kKeyBytes];

  int size() const { return b[0]; }
  // Takes up to 30 bytes of text; longer text is cut.
  static KeyBuf From(const std::string& text) {
    KeyBuf k;
    size_t n = text.size() < 30 ? text.size() : 30;
    k.b[0] = static_cast<uint8_t>(n);
    std::memcpy(k.b + 1, text.data(), n);
    return k;
  }
  std::string ToString() const {
    return std::string(reinterpret_cast<const char*>(b + 1), b[0]);
  }
};

// <0, 0 or >0 as key string a sorts before, with or after b. Both are
// length-prefixed with lengths of at most 30.
inline int CompareKeyBytes(const uint8_t* a, const uint8_t* b) {
  int la = a[0], lb = b[0];
  int n = la < lb ? la : lb;
  int c = n ? std::memcmp(a + 1, b + 1, static_cast<size_t>(n)) : 0;
  if (c != 0) return c;
  return la - lb;
}

// Orders a sought (key, ref) against an entry; ref counts only when the key
// allows duplicates.
inline int CompareEntry(const uint8_t* key, int32_t ref, const Entry& entry,
                        bool duplicates) {
  int c = CompareKeyBytes(key, entry.key);
  if (c != 0 || !duplicates) return c;
  int32_t other = entry.ref;
  return ref < other ? -1 : (ref > other ? 1 : 0);
}

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_PAGE_H_
