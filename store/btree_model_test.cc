// Randomised comparison of one key's B-tree with a simple ordered set.
//
// Thousands of random inserts, deletes, steps, searches and finds run
// against the engine with the smallest pool (8 buffers, so pages are
// evicted all the time) and against a std::set; every result and status
// must agree, the tree invariants must hold after every change, and the
// files left after close must satisfy the independent file checker.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <set>

#include "store/engine.h"
#include "store/errors.h"
#include "store/file_check.h"
#include "store/store_test_util.h"

namespace tallybook::store {
namespace {

using Item = std::pair<std::string, int32_t>;

// Orders entries as the index does: bytewise unsigned key, shorter first
// (std::string's own order), then by reference only with duplicates.
struct ItemLess {
  bool dups;
  bool operator()(const Item& a, const Item& b) const {
    if (a.first != b.first) return a.first < b.first;
    return dups && a.second < b.second;
  }
};

struct ModelConfig {
  int key_length;
  bool dups;
  std::string alphabet;  // bytes keys are made of
  int steps;
  uint32_t seed;
};

void PrintTo(const ModelConfig& c, std::ostream* os) {
  *os << "key length " << c.key_length << (c.dups ? ", duplicates" : "")
      << ", seed " << c.seed;
}

constexpr int kRecords = 300;  // references point at real records

class BTreeModelTest : public ::testing::TestWithParam<ModelConfig> {
 protected:
  void SetUp() override {
    const ModelConfig& c = GetParam();
    rng_.seed(c.seed);
    model_ = std::set<Item, ItemLess>(ItemLess{c.dups});
    ASSERT_TRUE(engine_.StoreStartup(0, 8));
    base_ = dir_.File("M1");
    ASSERT_TRUE(engine_.CreateFileBlock(base_, 24, {{c.key_length, c.dups}}));
    ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false));
    std::vector<uint8_t> rec(24, 0);
    for (int i = 1; i <= kRecords; ++i) {
      int32_t n = 0;
      ASSERT_TRUE(engine_.AddRecord(h_, n, rec.data()));
    }
  }

  int Rand(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::string RandomKey() {
    const ModelConfig& c = GetParam();
    // Mostly short keys so that equal strings and common prefixes occur.
    int len = Rand(2) == 0 ? Rand(c.key_length + 1)
                           : Rand(std::min(c.key_length, 3) + 1);
    std::string k;
    for (int i = 0; i < len; ++i) k += c.alphabet[Rand(c.alphabet.size())];
    return k;
  }

  int32_t RandomRef() { return 1 + Rand(kRecords); }

  // The model's answer for a step from the caller's buffers.
  const Item* ModelNext() {
    auto it = cleared_ ? model_.begin() : model_.upper_bound({buf_key_, buf_ref_});
    return it == model_.end() ? nullptr : &*it;
  }
  const Item* ModelPrev() {
    auto it = cleared_ ? model_.end() : model_.lower_bound({buf_key_, buf_ref_});
    return it == model_.begin() ? nullptr : &*std::prev(it);
  }

  // Compares a positioning call's outcome with the model's and moves the
  // model's cursor as the engine moves its own.
  void Expect(bool ok, const Item* want, int not_found, const char* what) {
    if (want == nullptr) {
      ASSERT_FALSE(ok) << what << " found " << buf_key_ << "/" << buf_ref_;
      ASSERT_EQ(engine_.StoreError(), not_found) << what;
      cleared_ = true;
    } else {
      ASSERT_TRUE(ok) << what << " error " << engine_.StoreError();
      ASSERT_EQ(buf_key_, want->first) << what;
      ASSERT_EQ(buf_ref_, want->second) << what;
      cleared_ = false;
    }
  }

  void Sound(const char* when) {
    std::vector<std::string> defects = engine_.CheckInvariants(h_);
    ASSERT_TRUE(defects.empty()) << when << ": " << defects.front();
    ASSERT_EQ(engine_.CountKeys(h_, 1), static_cast<int32_t>(model_.size()));
  }

  void Step(int step) {
    const ModelConfig& c = GetParam();
    // Grow first, then shrink, so that splits, redistributions, merges and
    // root collapses all happen.
    const bool growing = step < c.steps / 2;
    const int op = Rand(100);
    const int add_share = growing ? 50 : 15;
    const int delete_share = growing ? 10 : 45;
    if (op < add_share) {
      Item it{RandomKey(), RandomRef()};
      bool present = model_.count(it) != 0;
      bool ok = engine_.AddKey(h_, 1, it.second, it.first);
      cleared_ = false;
      if (present) {
        ASSERT_FALSE(ok);
        ASSERT_EQ(engine_.StoreError(), kErrDuplicateKey);
      } else {
        ASSERT_TRUE(ok) << engine_.StoreError();
        model_.insert(it);
      }
      Sound("after AddKey");
    } else if (op < add_share + delete_share) {
      Item it{RandomKey(), RandomRef()};
      if (!model_.empty() && Rand(5) != 0) {
        auto pick = model_.begin();
        std::advance(pick, Rand(static_cast<int>(model_.size())));
        it = *pick;
        if (!c.dups) it.second = RandomRef();  // the reference plays no part
      }
      auto found = model_.find(it);
      bool ok = engine_.DeleteKey(h_, 1, it.second, it.first);
      cleared_ = false;
      if (found == model_.end()) {
        ASSERT_FALSE(ok);
        ASSERT_EQ(engine_.StoreError(), kErrDeleteKeyNotFound);
      } else {
        ASSERT_TRUE(ok) << engine_.StoreError();
        model_.erase(found);
      }
      Sound("after DeleteKey");
    } else if (op < 70) {
      const Item* want = ModelNext();
      Expect(engine_.NextKey(h_, 1, buf_ref_, buf_key_), want, kErrNoNextKey,
             "NextKey");
    } else if (op < 80) {
      const Item* want = ModelPrev();
      Expect(engine_.PrevKey(h_, 1, buf_ref_, buf_key_), want, kErrNoPrevKey,
             "PrevKey");
    } else if (op < 86) {
      buf_key_ = RandomKey();
      auto it = model_.lower_bound({buf_key_, 0});
      Expect(engine_.SearchKey(h_, 1, buf_ref_, buf_key_),
             it == model_.end() ? nullptr : &*it, kErrSearchNotFound,
             "SearchKey");
    } else if (op < 98) {
      buf_key_ = RandomKey();
      buf_ref_ = RandomRef();
      const int direction = Rand(3) - 1;
      auto exact = model_.find({buf_key_, buf_ref_});
      cleared_ = false;
      const Item* want = exact != model_.end() ? &*exact
                         : direction > 0       ? ModelNext()
                         : direction < 0       ? ModelPrev()
                                               : nullptr;
      bool ok = engine_.FindKeyAndRef(h_, 1, buf_ref_, direction, buf_key_);
      if (exact != model_.end() || direction != 0) {
        Expect(ok, want, direction > 0 ? kErrNoNextKey : kErrNoPrevKey,
               "FindKeyAndRef");
      } else {
        ASSERT_FALSE(ok);
        ASSERT_EQ(engine_.StoreError(), kErrFindNotFound);
        cleared_ = false;  // the next step goes from the sought entry
      }
    } else {
      ASSERT_TRUE(engine_.ResetKeyPosition(h_, 1));
      cleared_ = true;
    }
  }

  void CloseCheckAndReopen() {
    ASSERT_TRUE(engine_.CloseFileBlock(h_));
    std::vector<std::string> defects = CheckFileBlockFiles(base_);
    ASSERT_TRUE(defects.empty()) << defects.front();
    ASSERT_TRUE(engine_.OpenFileBlock(h_, base_, false));
    cleared_ = true;
    Sound("after reopen");
  }

  testing::ScratchDir dir_;
  Engine engine_;
  std::string base_;
  FileHandle h_ = kNoFileHandle;
  std::mt19937 rng_;
  std::set<Item, ItemLess> model_{ItemLess{false}};
  // The caller's buffers as the engine's steps see them.
  std::string buf_key_;
  int32_t buf_ref_ = 0;
  bool cleared_ = true;
};

TEST_P(BTreeModelTest, AgreesWithAnOrderedSetThroughRandomOperations) {
  const ModelConfig& c = GetParam();
  size_t largest = 0;
  for (int step = 0; step < c.steps; ++step) {
    ASSERT_NO_FATAL_FAILURE(Step(step)) << "step " << step;
    largest = std::max(largest, model_.size());
    if (step % 700 == 699) {
      ASSERT_NO_FATAL_FAILURE(CloseCheckAndReopen());
    }
  }
  // The full walk in both directions matches the model.
  std::vector<Item> forward, backward;
  ASSERT_TRUE(engine_.ResetKeyPosition(h_, 1));
  for (int32_t ref = 0; engine_.NextKey(h_, 1, ref, buf_key_);) {
    forward.push_back({buf_key_, ref});
  }
  ASSERT_TRUE(engine_.ResetKeyPosition(h_, 1));
  for (int32_t ref = 0; engine_.PrevKey(h_, 1, ref, buf_key_);) {
    backward.insert(backward.begin(), {buf_key_, ref});
  }
  std::vector<Item> want(model_.begin(), model_.end());
  EXPECT_EQ(forward, want);
  EXPECT_EQ(backward, want);
  ASSERT_NO_FATAL_FAILURE(CloseCheckAndReopen());
  // The run must have built a tree of more pages than the pool holds.
  EXPECT_GT(largest, c.key_length == 1 && !c.dups ? 150u : 600u);
}

std::string Bytes(int from, int to) {
  std::string s;
  for (int b = from; b <= to; ++b) s += static_cast<char>(b);
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    KeyShapes, BTreeModelTest,
    ::testing::Values(
        // One byte over the whole byte range, 0 and 255 included.
        ModelConfig{1, false, Bytes(0, 255), 4000, 11},
        ModelConfig{1, true, std::string("\0\x7f\x80\xff" "AB", 6), 5000, 12},
        ModelConfig{8, false, "abcdefgh", 8000, 13},
        ModelConfig{8, true, "ab", 8000, 14},
        ModelConfig{30, false, "xyz", 8000, 15},
        ModelConfig{30, true, "xy", 8000, 16}),
    [](const ::testing::TestParamInfo<ModelConfig>& info) {
      return "Length" + std::to_string(info.param.key_length) +
             (info.param.dups ? "Duplicates" : "Unique");
    });

}  // namespace
}  // namespace tallybook::store
