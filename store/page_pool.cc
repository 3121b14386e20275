#include "store/page_pool.h"

#include <new>
#include <stdexcept>
#include <set>
#include <tuple>

#include "store/errors.h"

namespace tallybook::store {

PageRef::PageRef(PagePool* pool, int index) : pool_(pool), index_(index) {
  ++pool_->buffers_[index_].pins;
}

PageRef::PageRef(PageRef&& other) noexcept
    : pool_(other.pool_), index_(other.index_) {
  other.pool_ = nullptr;
  other.index_ = -1;
}

PageRef& PageRef::operator=(PageRef&& other) noexcept {
  if (this != &other) {
    Release();
    pool_ = other.pool_;
    index_ = other.index_;
    other.pool_ = nullptr;
    other.index_ = -1;
  }
  return *this;
}

Page& PageRef::page() { return pool_->buffers_[index_].page; }

int32_t PageRef::page_no() const { return pool_->buffers_[index_].page_no; }

void PageRef::MarkChanged() { pool_->buffers_[index_].changed = true; }

void PageRef::Release() {
  if (pool_ != nullptr) {
    --pool_->buffers_[index_].pins;
    pool_ = nullptr;
    index_ = -1;
  }
}

std::unique_ptr<PagePool> PagePool::Create(int n) {
  // Take as many of the buffers asked for as memory allows, but never
  // fewer than 8.
  while (n >= 8) {
    try {
      return std::unique_ptr<PagePool>(new PagePool(n));
    } catch (const std::bad_alloc&) {
      n /= 2;
    } catch (const std::length_error&) {
      n /= 2;
    }
  }
  return nullptr;
}

PagePool::PagePool(int n) : buffers_(static_cast<size_t>(n)) {
  tagged_.reserve(static_cast<size_t>(n) * 2);
  for (int i = 0; i < n; ++i) {
    buffers_[i].page.Clear();
    PushBack(i);
  }
}

void PagePool::Unlink(int i) {
  PageBuffer& b = buffers_[i];
  if (b.prev >= 0) buffers_[b.prev].next = b.next; else head_ = b.next;
  if (b.next >= 0) buffers_[b.next].prev = b.prev; else tail_ = b.prev;
  b.prev = b.next = -1;
}

void PagePool::PushFront(int i) {
  PageBuffer& b = buffers_[i];
  b.prev = -1;
  b.next = head_;
  if (head_ >= 0) buffers_[head_].prev = i; else tail_ = i;
  head_ = i;
}

void PagePool::PushBack(int i) {
  PageBuffer& b = buffers_[i];
  b.next = -1;
  b.prev = tail_;
  if (tail_ >= 0) buffers_[tail_].next = i; else head_ = i;
  tail_ = i;
}

void PagePool::Untag(int i) {
  PageBuffer& b = buffers_[i];
  if (b.store != nullptr) tagged_.erase({b.store, b.key_no, b.page_no});
  b.store = nullptr;
  b.key_no = 0;
  b.page_no = 0;
  b.changed = false;
  Unlink(i);
  PushBack(i);
}

int PagePool::Find(const PageStore* store, int key_no, int32_t page_no) const {
  auto it = tagged_.find({store, key_no, page_no});
  return it == tagged_.end() ? -1 : it->second;
}

int PagePool::Claim(int* index) {
  for (int i = tail_; i >= 0; i = buffers_[i].prev) {
    PageBuffer& b = buffers_[i];
    if (b.pins > 0) continue;
    if (b.store != nullptr && b.changed) {
      if (int err = b.store->WritePage(b.key_no, b.page_no, b.page)) {
        return err;
      }
    }
    if (b.store != nullptr) tagged_.erase({b.store, b.key_no, b.page_no});
    b.store = nullptr;
    b.changed = false;
    *index = i;
    return 0;
  }
  // Every buffer pinned: a tree operation holds more pages than it should.
  return kErrNoPageBuffers;
}

int PagePool::Fetch(PageStore* store, int key_no, int32_t page_no,
                    PageRef* ref) {
  ref->Release();
  int i = Find(store, key_no, page_no);
  if (i < 0) {
    if (int err = Claim(&i)) return err;
    PageBuffer& b = buffers_[i];
    if (int err = store->ReadPage(key_no, page_no, &b.page)) {
      Untag(i);
      return err;
    }
    b.store = store;
    b.key_no = key_no;
    b.page_no = page_no;
    b.changed = false;
    tagged_[{store, key_no, page_no}] = i;
  }
  Unlink(i);
  PushFront(i);
  *ref = PageRef(this, i);
  return 0;
}

int PagePool::Fresh(PageStore* store, int key_no, int32_t page_no,
                    PageRef* ref) {
  ref->Release();
  int i = Find(store, key_no, page_no);
  if (i < 0) {
    if (int err = Claim(&i)) return err;
    tagged_[{store, key_no, page_no}] = i;
  }
  PageBuffer& b = buffers_[i];
  b.page.Clear();
  b.store = store;
  b.key_no = key_no;
  b.page_no = page_no;
  b.changed = true;
  Unlink(i);
  PushFront(i);
  *ref = PageRef(this, i);
  return 0;
}

const Page* PagePool::Peek(const PageStore* store, int key_no,
                           int32_t page_no) const {
  int i = Find(store, key_no, page_no);
  return i < 0 ? nullptr : &buffers_[i].page;
}

int PagePool::Flush(PageStore* store) {
  int first = 0;
  for (PageBuffer& b : buffers_) {
    if (b.store != store || !b.changed) continue;
    int err = store->WritePage(b.key_no, b.page_no, b.page);
    if (err == 0) {
      b.changed = false;
    } else if (first == 0) {
      first = err;
    }
  }
  return first;
}

void PagePool::DropStore(const PageStore* store) {
  for (int i = 0; i < size(); ++i) {
    if (buffers_[i].store == store) Untag(i);
  }
}

void PagePool::DropPage(const PageStore* store, int key_no, int32_t page_no) {
  int i = Find(store, key_no, page_no);
  if (i >= 0) Untag(i);
}

std::vector<std::string> PagePool::CheckInvariants() const {
  std::vector<std::string> defects;
  std::vector<int> seen(buffers_.size(), 0);
  int count = 0, prev = -1;
  for (int i = head_; i >= 0 && count <= size(); i = buffers_[i].next) {
    if (buffers_[i].prev != prev) defects.push_back("pool: ring links broken");
    ++seen[i];
    ++count;
    prev = i;
  }
  if (prev != tail_) defects.push_back("pool: ring tail wrong");
  for (int s : seen) {
    if (s != 1) {
      defects.push_back("pool: a buffer is not linked exactly once");
      break;
    }
  }
  std::set<std::tuple<const PageStore*, int, int32_t>> tags;
  for (const PageBuffer& b : buffers_) {
    if (b.pins != 0) defects.push_back("pool: buffer left pinned");
    if (b.store == nullptr) {
      if (b.changed) defects.push_back("pool: untagged buffer marked changed");
      continue;
    }
    if (!tags.insert({b.store, b.key_no, b.page_no}).second) {
      defects.push_back("pool: page " + std::to_string(b.page_no) +
                        " of key " + std::to_string(b.key_no) +
                        " is held twice");
    }
    auto it = tagged_.find({b.store, b.key_no, b.page_no});
    if (it == tagged_.end() || buffers_[it->second].page_no != b.page_no ||
        buffers_[it->second].key_no != b.key_no ||
        buffers_[it->second].store != b.store) {
      defects.push_back("pool: page " + std::to_string(b.page_no) +
                        " of key " + std::to_string(b.key_no) +
                        " is missing from the hash table");
    }
  }
  if (tagged_.size() != tags.size()) {
    defects.push_back("pool: the hash table names untagged buffers");
  }
  return defects;
}

std::vector<PagePool::Tag> PagePool::TagsInUseOrder() const {
  std::vector<Tag> tags;
  for (int i = head_; i >= 0; i = buffers_[i].next) {
    const PageBuffer& b = buffers_[i];
    tags.push_back({b.store, b.key_no, b.page_no, b.changed});
  }
  return tags;
}

}  // namespace tallybook::store
