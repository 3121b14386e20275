// The page pool's ring: lookups, eviction with write-back, pins, dropping
// the pages of a closed file or a freed page, and failing stores.
#include "store/page_pool.h"

#include <gtest/gtest.h>

#include <map>

#include "store/errors.h"

namespace tallybook::store {
namespace {

// A store that keeps pages in memory, counts calls and fails on command.
class FakeStore : public PageStore {
 public:
  int ReadPage(int key_no, int32_t page_no, Page* page) override {
    ++reads;
    if (fail_reads) return kErrIndexDamaged;
    page->Clear();
    auto it = pages.find({key_no, page_no});
    page->count = it == pages.end() ? 0 : it->second;
    return 0;
  }
  int WritePage(int key_no, int32_t page_no, const Page& page) override {
    if (fail_writes) return kErrShortWrite;
    writes.push_back(page_no);
    pages[{key_no, page_no}] = page.count;
    return 0;
  }

  std::map<std::pair<int, int32_t>, int16_t> pages;  // the page "file"
  int reads = 0;
  std::vector<int32_t> writes;
  bool fail_reads = false;
  bool fail_writes = false;
};

std::vector<int32_t> Order(const PagePool& pool) {
  std::vector<int32_t> out;
  for (const PagePool::Tag& t : pool.TagsInUseOrder()) out.push_back(t.page_no);
  return out;
}

TEST(PagePoolTest, PoolsOfFewerThanEightBuffersAreRefused) {
  EXPECT_EQ(PagePool::Create(7), nullptr);
  auto pool = PagePool::Create(8);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->size(), 8);
  EXPECT_TRUE(pool->CheckInvariants().empty());
}

TEST(PagePoolTest, LargePoolFindsEveryResidentPageOfEveryStore) {
  auto pool = PagePool::Create(600);
  ASSERT_NE(pool, nullptr);
  FakeStore a, b;
  PageRef ref;
  for (int32_t p = 1; p <= 300; ++p) {
    ASSERT_EQ(pool->Fetch(&a, 1 + p % 3, p, &ref), 0);
    ASSERT_EQ(pool->Fetch(&b, 1 + p % 3, p, &ref), 0);
  }
  // Every page is found again, in any order, without a read.
  for (int32_t p = 300; p >= 1; p -= 7) {
    ASSERT_EQ(pool->Fetch(&b, 1 + p % 3, p, &ref), 0);
    EXPECT_EQ(ref.page_no(), p);
    ASSERT_EQ(pool->Fetch(&a, 1 + p % 3, p, &ref), 0);
  }
  ref.Release();
  EXPECT_EQ(a.reads + b.reads, 600);
  // The same page number under another key is another page.
  ASSERT_EQ(pool->Fetch(&a, 9, 5, &ref), 0);
  EXPECT_EQ(a.reads, 301);
  ref.Release();
  pool->DropStore(&a);
  pool->DropPage(&b, 1 + 7 % 3, 7);
  EXPECT_EQ(pool->CheckInvariants(), std::vector<std::string>{});
  EXPECT_EQ(pool->Peek(&a, 1 + 8 % 3, 8), nullptr);
  EXPECT_EQ(pool->Peek(&b, 1 + 7 % 3, 7), nullptr);
  EXPECT_NE(pool->Peek(&b, 1 + 8 % 3, 8), nullptr);
  ASSERT_EQ(pool->Fetch(&a, 1 + 8 % 3, 8, &ref), 0);
  EXPECT_EQ(a.reads, 302);
}

TEST(PagePoolTest, HitsMoveToTheFrontAndMissesEvictTheLeastRecentlyUsed) {
  auto pool = PagePool::Create(8);
  FakeStore store;
  PageRef ref;
  for (int32_t p = 1; p <= 8; ++p) ASSERT_EQ(pool->Fetch(&store, 1, p, &ref), 0);
  ref.Release();
  EXPECT_EQ(store.reads, 8);
  EXPECT_EQ(Order(*pool), (std::vector<int32_t>{8, 7, 6, 5, 4, 3, 2, 1}));
  ASSERT_EQ(pool->Fetch(&store, 1, 1, &ref), 0);  // hit
  EXPECT_EQ(store.reads, 8);
  ASSERT_EQ(pool->Fetch(&store, 1, 9, &ref), 0);  // miss: page 2 goes
  ref.Release();
  EXPECT_EQ(Order(*pool), (std::vector<int32_t>{9, 1, 8, 7, 6, 5, 4, 3}));
  EXPECT_TRUE(store.writes.empty()) << "unchanged pages are not written";
  EXPECT_EQ(pool->Peek(&store, 1, 2), nullptr);
  EXPECT_TRUE(pool->CheckInvariants().empty());
}

TEST(PagePoolTest, ChangedPageIsWrittenBeforeItsBufferIsReused) {
  auto pool = PagePool::Create(8);
  FakeStore store;
  PageRef ref;
  ASSERT_EQ(pool->Fetch(&store, 1, 1, &ref), 0);
  ref->count = 17;
  ref.MarkChanged();
  ref.Release();
  for (int32_t p = 2; p <= 9; ++p) ASSERT_EQ(pool->Fetch(&store, 1, p, &ref), 0);
  ref.Release();
  EXPECT_EQ(store.writes, (std::vector<int32_t>{1}));
  ASSERT_EQ(pool->Fetch(&store, 1, 1, &ref), 0);
  EXPECT_EQ(ref->count, 17);
}

TEST(PagePoolTest, PinnedPagesAreNeverEvicted) {
  auto pool = PagePool::Create(8);
  FakeStore store;
  std::vector<PageRef> held(8);
  for (int32_t p = 1; p <= 7; ++p) {
    ASSERT_EQ(pool->Fetch(&store, 1, p, &held[p - 1]), 0);
  }
  PageRef other;
  ASSERT_EQ(pool->Fetch(&store, 1, 8, &other), 0);
  ASSERT_EQ(pool->Fetch(&store, 1, 9, &other), 0);  // reuses page 8's buffer
  for (int32_t p = 1; p <= 7; ++p) EXPECT_EQ(held[p - 1].page_no(), p);
  ASSERT_EQ(pool->Fetch(&store, 1, 10, &held[7]), kErrNoPageBuffers);
  other.Release();
  ASSERT_EQ(pool->Fetch(&store, 1, 10, &held[7]), 0);
  PageRef none;
  EXPECT_EQ(pool->Fetch(&store, 1, 11, &none), kErrNoPageBuffers);
  EXPECT_FALSE(none.valid());
}

TEST(PagePoolTest, DroppingAStoreUntagsItsPagesWithoutWriting) {
  auto pool = PagePool::Create(8);
  FakeStore a, b;
  PageRef ref;
  ASSERT_EQ(pool->Fetch(&a, 1, 1, &ref), 0);
  ref.MarkChanged();
  ASSERT_EQ(pool->Fetch(&b, 1, 1, &ref), 0);
  ref.MarkChanged();
  ASSERT_EQ(pool->Fetch(&a, 2, 1, &ref), 0);
  ref.Release();
  ASSERT_EQ(pool->Flush(&a), 0);
  EXPECT_EQ(a.writes.size(), 1u);
  EXPECT_TRUE(b.writes.empty()) << "flushing one store leaves the other";
  pool->DropStore(&a);
  std::vector<PagePool::Tag> tags = pool->TagsInUseOrder();
  EXPECT_EQ(tags[0].store, &b);
  EXPECT_TRUE(tags[0].changed);
  EXPECT_EQ(tags[7].store, nullptr) << "dropped buffers go to the LRU end";
  EXPECT_EQ(tags[6].store, nullptr);
  EXPECT_EQ(pool->Peek(&a, 1, 1), nullptr);
  EXPECT_NE(pool->Peek(&b, 1, 1), nullptr);
  EXPECT_TRUE(pool->CheckInvariants().empty());
}

TEST(PagePoolTest, FreedPageIsDroppedSoItsOldContentsNeverReturn) {
  auto pool = PagePool::Create(8);
  FakeStore store;
  PageRef ref;
  ASSERT_EQ(pool->Fetch(&store, 1, 5, &ref), 0);
  ref->count = 9;
  ref.MarkChanged();
  ref.Release();
  pool->DropPage(&store, 1, 5);
  ASSERT_EQ(pool->Fresh(&store, 1, 5, &ref), 0);
  EXPECT_EQ(ref->count, 0);
  ref.Release();
  EXPECT_EQ(pool->Flush(&store), 0);
  EXPECT_EQ(store.writes, (std::vector<int32_t>{5}));
  EXPECT_EQ((store.pages[{1, 5}]), 0);
}

TEST(PagePoolTest, FailedEvictionWriteKeepsThePageAndReportsTheError) {
  auto pool = PagePool::Create(8);
  FakeStore store;
  PageRef ref;
  for (int32_t p = 1; p <= 8; ++p) {
    ASSERT_EQ(pool->Fetch(&store, 1, p, &ref), 0);
    ref->count = static_cast<int16_t>(p);
    ref.MarkChanged();
  }
  ref.Release();
  store.fail_writes = true;
  EXPECT_EQ(pool->Fetch(&store, 1, 9, &ref), kErrShortWrite);
  EXPECT_EQ(pool->Flush(&store), kErrShortWrite);
  store.fail_writes = false;
  ASSERT_EQ(pool->Fetch(&store, 1, 1, &ref), 0);
  EXPECT_EQ(ref->count, 1) << "the changed page is still there";
  ref.Release();
  EXPECT_EQ(pool->Flush(&store), 0);
  EXPECT_EQ(store.writes.size(), 8u);
}

TEST(PagePoolTest, FailedReadLeavesNoTaggedBuffer) {
  auto pool = PagePool::Create(8);
  FakeStore store;
  store.fail_reads = true;
  PageRef ref;
  EXPECT_EQ(pool->Fetch(&store, 1, 3, &ref), kErrIndexDamaged);
  EXPECT_FALSE(ref.valid());
  EXPECT_EQ(pool->Peek(&store, 1, 3), nullptr);
  store.fail_reads = false;
  EXPECT_EQ(pool->Fetch(&store, 1, 3, &ref), 0);
  EXPECT_EQ(store.reads, 2);
}

}  // namespace
}  // namespace tallybook::store
