// PagePool: the engine-wide cache of unpacked index pages.
//
// One pool serves every open file block. Each buffer holds one page and is
// tagged with the page's store (the index file it came from), key number,
// page number and a changed flag. The buffers form a ring in order of use;
// a hash table from tag to buffer finds a resident page in constant time,
// whatever the pool's size. A miss takes the least recently used unpinned
// buffer, writes it first when it is changed, and reads the wanted page
// into it. Changed pages go to disk only on eviction or when their store is
// flushed at close.
//
// Pins: a PageRef keeps its buffer from being reused while it lives, so a
// tree operation can hold a page, its parent and a sibling at once. Tree
// operations hold at most four pages, well inside the smallest pool of 8.
//
// Ring invariants (CheckInvariants):
//   1. The ring links every buffer exactly once, next/prev consistent.
//   2. No two tagged buffers carry the same (store, key, page).
//   3. An untagged buffer is neither changed nor pinned.
//   4. No buffer stays pinned between engine calls.
//   5. The hash table names exactly the tagged buffers, each by its tag.
#ifndef TALLYBOOK_STORE_PAGE_POOL_H_
#define TALLYBOOK_STORE_PAGE_POOL_H_

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/page.h"

namespace tallybook::store {

// Where the pool reads and writes pages: an open index file.
class PageStore {
 public:
  virtual ~PageStore() = default;
  // Each returns 0 or a store error number (10115 for a page whose bytes are
  // out of range).
  virtual int ReadPage(int key_no, int32_t page_no, Page* page) = 0;
  virtual int WritePage(int key_no, int32_t page_no, const Page& page) = 0;
};

class PagePool;

struct PageBuffer {
  PageStore* store = nullptr;  // nullptr: untagged
  int key_no = 0;
  int32_t page_no = 0;
  bool changed = false;
  int pins = 0;
  int prev = -1;  // towards the most recently used
  int next = -1;  // towards the least recently used
  Page page;
};

// A pinned page. Move-only; unpins on destruction.
class PageRef {
 public:
  PageRef() = default;
  PageRef(PagePool* pool, int index);
  ~PageRef() { Release(); }
  PageRef(PageRef&& other) noexcept;
  PageRef& operator=(PageRef&& other) noexcept;
  PageRef(const PageRef&) = delete;
  PageRef& operator=(const PageRef&) = delete;

  Page& page();
  Page* operator->() { return &page(); }
  int32_t page_no() const;
  // Marks the page changed, so it is written before its buffer is reused.
  void MarkChanged();
  void Release();
  bool valid() const { return pool_ != nullptr; }

 private:
  PagePool* pool_ = nullptr;
  int index_ = -1;
};

class PagePool {
 public:
  // A pool of up to n buffers, fewer when memory is short. Returns nullptr
  // when fewer than 8 buffers could be allocated (the caller reports 10000).
  static std::unique_ptr<PagePool> Create(int n);

  int size() const { return static_cast<int>(buffers_.size()); }

  // Pins the page, reading it from the store on a miss. Returns 0 or the
  // error of the eviction write or the read; on error *ref is left empty.
  int Fetch(PageStore* store, int key_no, int32_t page_no, PageRef* ref);
  // Pins a buffer for a page just allocated: cleared, tagged and changed,
  // nothing read.
  int Fresh(PageStore* store, int key_no, int32_t page_no, PageRef* ref);
  // The resident copy of a page, or nullptr; neither reads nor reorders.
  const Page* Peek(const PageStore* store, int key_no, int32_t page_no) const;

  // Writes every changed buffer of the store (keeping them resident).
  // Returns 0 or the first write error; buffers that failed stay changed.
  int Flush(PageStore* store);
  // Untags every buffer of the store (changes are dropped) and moves them
  // to the least recently used end.
  void DropStore(const PageStore* store);
  // Untags the buffer of one freed page, if resident.
  void DropPage(const PageStore* store, int key_no, int32_t page_no);

  // The ring invariants listed above; empty when sound.
  std::vector<std::string> CheckInvariants() const;

  // For tests: the tags from most to least recently used.
  struct Tag {
    const PageStore* store;
    int key_no;
    int32_t page_no;
    bool changed;
  };
  std::vector<Tag> TagsInUseOrder() const;

 private:
  friend class PageRef;
  explicit PagePool(int n);
  int Find(const PageStore* store, int key_no, int32_t page_no) const;
  // The least recently used unpinned buffer, written when changed. Returns
  // 0 with *index set, or an error.
  int Claim(int* index);
  void Unlink(int i);
  void PushFront(int i);  // most recently used
  void PushBack(int i);   // least recently used
  void Untag(int i);

  struct TagKey {
    const PageStore* store;
    int key_no;
    int32_t page_no;
    bool operator==(const TagKey&) const = default;
  };
  struct TagHash {
    size_t operator()(const TagKey& t) const {
      uint64_t h = reinterpret_cast<uintptr_t>(t.store);
      h ^= (static_cast<uint64_t>(static_cast<uint32_t>(t.page_no)) << 8) ^
           static_cast<uint64_t>(t.key_no);
      h *= 0x9E3779B97F4A7C15ull;
      return static_cast<size_t>(h ^ (h >> 29));
    }
  };

  std::vector<PageBuffer> buffers_;
  std::unordered_map<TagKey, int, TagHash> tagged_;
  int head_ = -1;  // most recently used
  int tail_ = -1;  // least recently used
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_PAGE_POOL_H_
