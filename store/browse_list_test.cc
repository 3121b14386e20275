#include "store/browse_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "store/browse_geometry.h"
#include "store/engine.h"

namespace tallybook::store {
namespace {

namespace fs = std::filesystem;

constexpr int kRecLen = 32;  // delete mark, id, 24 bytes of text

// Passes every call to the real source, counts the steps taken and can make
// the next calls fail with a chosen error, as a file that is busy would.
class FaultySource : public BrowseSource {
 public:
  explicit FaultySource(std::unique_ptr<BrowseSource> inner)
      : inner_(std::move(inner)) {}
  int KeyCount() override { return inner_->KeyCount(); }
  int RecordLength() override { return inner_->RecordLength(); }
  int Find(int key_no, int direction, BrowseEntry& entry) override {
    ++finds;
    if (int e = Injected()) return e;
    return inner_->Find(key_no, direction, entry);
  }
  int Step(int key_no, int direction, BrowseEntry& entry) override {
    ++steps;
    if (int e = Injected()) return e;
    return inner_->Step(key_no, direction, entry);
  }
  int32_t Count(int key_no) override { return inner_->Count(key_no); }
  int ToScrollPos(int key_no, const BrowseEntry& entry, uint16_t scale,
                  int32_t& pos) override {
    return inner_->ToScrollPos(key_no, entry, scale, pos);
  }
  int FromScrollPos(int key_no, int32_t pos, uint16_t scale,
                    BrowseEntry& entry) override {
    return inner_->FromScrollPos(key_no, pos, scale, entry);
  }
  int Read(int32_t ref, uint8_t* buffer, bool& in_use) override {
    ++reads;
    if (read_fail_calls != 0) {
      if (read_fail_calls > 0) --read_fail_calls;
      return read_fail_error;
    }
    return inner_->Read(ref, buffer, in_use);
  }
  void Forget() override { inner_->Forget(); }

  int fail_error = 0;
  int fail_calls = 0;  // this many next calls fail; -1: all of them
  int read_fail_error = 0;  // the same for record reads alone
  int read_fail_calls = 0;
  int steps = 0;
  int finds = 0;
  int reads = 0;

 private:
  int Injected() {
    if (fail_calls == 0) return 0;
    if (fail_calls > 0) --fail_calls;
    return fail_error;
  }
  std::unique_ptr<BrowseSource> inner_;
};

// A file block with two keys: key 1 the record's name ("N000001" ..., no
// duplicates), key 2 a group letter (duplicates) in reverse order of ids.
class BrowseListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("browse_list_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    base_ = (dir_ / "BRW").string();
    ASSERT_TRUE(engine_.StoreStartup(0, 30)) << engine_.StoreError();
    ASSERT_TRUE(engine_.CreateFileBlock(base_, kRecLen, {{10, false}, {10, true}}))
        << engine_.StoreError();
    ASSERT_TRUE(engine_.OpenFileBlock(handle_, base_, false))
        << engine_.StoreError();
    buffer_.assign(kRecLen, 0);
  }
  void TearDown() override {
    list_.reset();
    engine_.StoreShutdown();
    fs::remove_all(dir_);
  }

  static std::string Name(int id) {
    char text[16];
    std::snprintf(text, sizeof text, "N%06d", id);
    return text;
  }
  static std::string Group(int id) { return std::string(1, 'Z' - id % 26); }

  // Adds records 1..n with both keys; returns their record numbers.
  void AddRecords(int n) {
    for (int id = 1; id <= n; ++id) AddRecord(id, Name(id));
  }
  int32_t AddRecord(int id, const std::string& name) {
    std::vector<uint8_t> rec(kRecLen, 0);
    std::memcpy(&rec[4], &id, 4);
    std::memcpy(&rec[8], name.data(), std::min<size_t>(name.size(), 24));
    int32_t ref = 0;
    EXPECT_TRUE(engine_.AddRecord(handle_, ref, rec.data()));
    EXPECT_TRUE(engine_.AddKey(handle_, 1, ref, name)) << engine_.StoreError();
    EXPECT_TRUE(engine_.AddKey(handle_, 2, ref, Group(id)));
    return ref;
  }
  void Rename(int32_t ref, const std::string& text) {
    std::vector<uint8_t> rec(kRecLen, 0);
    ASSERT_TRUE(engine_.GetRecord(handle_, ref, rec.data()));
    std::memset(&rec[8], 0, 24);
    std::memcpy(&rec[8], text.data(), text.size());
    ASSERT_TRUE(engine_.PutRecord(handle_, ref, rec.data()));
  }

  // A list over the file; its rows read "<name>" or "missing".
  BrowseList& MakeList(int key_no, int page_rows, std::string low = "",
                       std::string high = "") {
    auto faulty = std::make_unique<FaultySource>(
        std::make_unique<EngineBrowseSource>(engine_, handle_));
    source_ = faulty.get();
    list_ = std::make_unique<BrowseList>(std::move(faulty), key_no,
                                         std::span<uint8_t>(buffer_), low, high);
    list_->SetSleep([this](int ms) { sleeps_.push_back(ms); });
    list_->SetPageRows(page_rows);
    list_->OnBuildRow = [this](RowRec& rr) {
      rr.Row[0] = rr.Status == 0
                      ? std::string(reinterpret_cast<char*>(&buffer_[8]))
                      : "missing";
      return 0;
    };
    list_->OnRowChanged = [this] { ++row_changes_; };
    list_->OnError = [this](const std::string& text) { errors_.push_back(text); };
    return *list_;
  }

  std::vector<int32_t> PageRefs() const {
    std::vector<int32_t> refs;
    for (int i = 1; i <= list_->FilledRows(); ++i) refs.push_back(list_->RowAt(i).Ref);
    return refs;
  }
  std::vector<std::string> PageTexts() const {
    std::vector<std::string> texts;
    for (int i = 1; i <= list_->FilledRows(); ++i) texts.push_back(list_->RowAt(i).Row[0]);
    return texts;
  }

  fs::path dir_;
  std::string base_;
  Engine engine_;
  FileHandle handle_ = kNoFileHandle;
  std::vector<uint8_t> buffer_;
  std::unique_ptr<BrowseList> list_;
  FaultySource* source_ = nullptr;
  std::vector<int> sleeps_;
  std::vector<std::string> errors_;
  int row_changes_ = 0;
};

TEST(BrowseGeometryTest, HeaderAndFooterEachTakeOneRow) {
  BrowseMetrics m;
  m.client_height = 160;
  m.font_height = 14;
  m.external_leading = 2;
  EXPECT_EQ(ComputeBrowseGeometry(m).row_height, 16);
  EXPECT_EQ(ComputeBrowseGeometry(m).rows_per_page, 10);
  m.has_header = true;
  EXPECT_EQ(ComputeBrowseGeometry(m).rows_per_page, 9);
  m.has_footer = true;
  EXPECT_EQ(ComputeBrowseGeometry(m).rows_per_page, 8);
}

TEST(BrowseGeometryTest, PageHasAtLeastOneRowAndAtMostTheSlots) {
  BrowseMetrics m;
  m.font_height = 16;
  m.client_height = 10;  // smaller than one row
  m.has_header = true;
  m.has_footer = true;
  EXPECT_EQ(ComputeBrowseGeometry(m).rows_per_page, 1);
  m.client_height = 16 * 200;
  m.row_slots = 50;
  EXPECT_EQ(ComputeBrowseGeometry(m).rows_per_page, 50);
  m.font_height = 0;  // a broken font must not divide by zero
  EXPECT_EQ(ComputeBrowseGeometry(m).row_height, 1);
}

TEST(BrowseGeometryTest, HorizontalRangeCoversRowsOf128Steps) {
  BrowseMetrics m;
  m.average_char_width = 7;
  m.max_char_width = 10;  // step (7 + 10) / 2 = 8
  m.client_width = 200;
  BrowseGeometry geo = ComputeBrowseGeometry(m);
  EXPECT_EQ(geo.horiz_step, 8);
  EXPECT_EQ(geo.horiz_range, 128 * 8 - 200);
  EXPECT_EQ(HorizOffsetAfter(HorizMove::kStepRight, 0, geo), 8);
  EXPECT_EQ(HorizOffsetAfter(HorizMove::kPageRight, 8, geo), 88);
  EXPECT_EQ(HorizOffsetAfter(HorizMove::kPageLeft, 50, geo), 0);
  EXPECT_EQ(HorizOffsetAfter(HorizMove::kRightEnd, 0, geo), 824);
  EXPECT_EQ(HorizOffsetAfter(HorizMove::kStepRight, 824, geo), 824);
  EXPECT_EQ(HorizOffsetAfter(HorizMove::kLeftEnd, 300, geo), 0);
  m.client_width = 2000;  // wider than any row: no sideways scrolling
  EXPECT_EQ(ComputeBrowseGeometry(m).horiz_range, 0);
  EXPECT_EQ(ClampHorizOffset(40, ComputeBrowseGeometry(m)), 0);
}

TEST_F(BrowseListTest, ThreeEntriesPutFirstRowAtThumbZeroAndLastAt63) {
  AddRecords(3);
  for (int key_no : {0, 1}) {
    BrowseList& list = MakeList(key_no, 10);
    list.FirstPage();
    ASSERT_EQ(list.FilledRows(), 3);
    EXPECT_EQ(list.ThumbPosition(), 0) << "key " << key_no;
    list.LastPage();
    EXPECT_EQ(list.CurrentRow(), 3);
    EXPECT_EQ(list.ThumbPosition(), 63) << "key " << key_no;
  }
}

TEST_F(BrowseListTest, ThumbMarginFollowsTheNumberOfEntries) {
  // For a list of N entries in one page the position of entry i on the
  // scale S = 63 + the margin d (rounded down to even) is i (S + 1) / (N + 1);
  // the thumb is that less d / 2, within 0..63. The values below are worked
  // out by hand from the margin of 63 div N.
  struct Case {
    int n;      // entries
    int entry;  // 1-based
    int thumb;
  };
  const Case cases[] = {
      {2, 1, 0},    {2, 2, 63},    // 63 div 2 = 31: d = 126, S = 189
      {13, 2, 5},   {13, 12, 58},  // 63 div 13 = 4: d = 10, S = 73
      {16, 2, 3},   {16, 15, 60},  // 63 div 16 = 3: d = 10, S = 73
      {25, 2, 1},   {25, 24, 62},  // 63 div 25 = 2: d = 9, S = 71
  };
  int added = 0;
  for (const Case& c : cases) {
    while (added < c.n) {
      ++added;
      AddRecord(added, Name(added));
    }
    for (int key_no : {0, 1}) {
      BrowseList& list = MakeList(key_no, 30);
      const BrowseEntry entry{key_no == 0 ? "" : Name(c.entry), c.entry};
      EXPECT_EQ(list.ThumbPositionOf(entry), c.thumb)
          << c.n << " entries, entry " << c.entry << ", key " << key_no;
    }
  }
}

TEST_F(BrowseListTest, PageMovesAtTheEndOfTheDataMoveTheHighlightToTheEnd) {
  AddRecords(12);
  BrowseList& list = MakeList(1, 5);
  list.FirstPage();
  list.SelectRow(3);
  EXPECT_EQ(list.PageDown(), BrowseView::kPage);
  EXPECT_EQ(list.CurrentKey(), Name(8));  // same screen row
  // Only two entries are left: the rows shift by two and the highlight
  // goes to the last row.
  EXPECT_EQ(list.PageDown(), BrowseView::kPage);
  EXPECT_EQ(PageTexts().front(), Name(8));
  EXPECT_EQ(list.CurrentRow(), 5);
  EXPECT_EQ(list.CurrentKey(), Name(12));
  // Nothing is left: the page stays and the highlight goes to the last row.
  list.SelectRow(2);
  EXPECT_EQ(list.PageDown(), BrowseView::kHighlight);
  EXPECT_EQ(PageTexts().front(), Name(8));
  EXPECT_EQ(list.CurrentRow(), 5);

  list.SelectRow(3);
  EXPECT_EQ(list.PageUp(), BrowseView::kPage);
  EXPECT_EQ(list.CurrentKey(), Name(5));
  EXPECT_EQ(list.PageUp(), BrowseView::kPage);
  EXPECT_EQ(PageTexts().front(), Name(1));
  EXPECT_EQ(list.CurrentRow(), 1);
  list.SelectRow(4);
  EXPECT_EQ(list.PageUp(), BrowseView::kHighlight);
  EXPECT_EQ(PageTexts().front(), Name(1));
  EXPECT_EQ(list.CurrentRow(), 1);
}

TEST_F(BrowseListTest, FirstAndLastPageFillFromTheEnds) {
  AddRecords(25);
  BrowseList& list = MakeList(1, 10);
  EXPECT_EQ(list.FirstPage(), BrowseView::kPage);
  EXPECT_EQ(PageTexts().front(), "N000001");
  EXPECT_EQ(PageTexts().back(), "N000010");
  EXPECT_EQ(list.CurrentRow(), 1);
  list.LastPage();
  EXPECT_EQ(PageTexts().front(), "N000016");
  EXPECT_EQ(PageTexts().back(), "N000025");
  EXPECT_EQ(list.CurrentRow(), 10);
  EXPECT_EQ(list.CurrentKey(), "N000025");
}

TEST_F(BrowseListTest, EmptyFileShowsEmptyPage) {
  BrowseList& list = MakeList(1, 10);
  EXPECT_EQ(list.FirstPage(), BrowseView::kPage);
  EXPECT_EQ(list.FilledRows(), 0);
  EXPECT_EQ(list.CurrentRef(), 0);
  EXPECT_EQ(list.CurrentKey(), "");
  EXPECT_EQ(list.LineDown(), BrowseView::kNone);
  EXPECT_EQ(list.PageUp(), BrowseView::kNone);
  EXPECT_EQ(list.ThumbPosition(), 0);
  EXPECT_TRUE(list.LastOK());
}

TEST_F(BrowseListTest, DownOnLastRowOfLastPageChangesNothing) {
  AddRecords(12);
  BrowseList& list = MakeList(1, 5);
  list.LastPage();
  std::vector<int32_t> before = PageRefs();
  int changes = row_changes_;
  EXPECT_EQ(list.LineDown(), BrowseView::kNone);
  EXPECT_EQ(list.PageDown(), BrowseView::kNone);
  EXPECT_EQ(PageRefs(), before);
  EXPECT_EQ(list.CurrentRow(), 5);
  EXPECT_EQ(row_changes_, changes);
}

TEST_F(BrowseListTest, LineMovesScrollOnlyAtTheEdges) {
  AddRecords(12);
  BrowseList& list = MakeList(1, 5);
  list.FirstPage();
  int changes = row_changes_;
  EXPECT_EQ(list.LineDown(), BrowseView::kHighlight);
  EXPECT_EQ(row_changes_, changes + 1);
  for (int i = 0; i < 3; ++i) list.LineDown();
  EXPECT_EQ(list.CurrentRow(), 5);
  EXPECT_EQ(list.LineDown(), BrowseView::kScrollUp);
  EXPECT_EQ(list.CurrentRow(), 5);
  EXPECT_EQ(list.CurrentKey(), "N000006");
  EXPECT_EQ(PageTexts().front(), "N000002");
  EXPECT_TRUE(list.RowAt(5).Built);
  for (int i = 0; i < 4; ++i) list.LineUp();
  EXPECT_EQ(list.LineUp(), BrowseView::kScrollDown);
  EXPECT_EQ(list.CurrentKey(), "N000001");
  EXPECT_EQ(list.LineUp(), BrowseView::kNone);
}

TEST_F(BrowseListTest, LineByLineVisitsEveryEntryOnceInKeyOrder) {
  const int n = 3000;
  AddRecords(n);
  BrowseList& list = MakeList(1, 17);
  list.FirstPage();
  std::vector<std::string> seen{list.CurrentKey()};
  while (list.LineDown() != BrowseView::kNone) seen.push_back(list.CurrentKey());
  ASSERT_EQ(seen.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) ASSERT_EQ(seen[i], Name(i + 1));
  std::vector<std::string> back{list.CurrentKey()};
  while (list.LineUp() != BrowseView::kNone) back.push_back(list.CurrentKey());
  ASSERT_EQ(back.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) ASSERT_EQ(back[i], Name(n - i));
}

TEST_F(BrowseListTest, PageByPageVisitsEveryEntryOnceInKeyOrder) {
  const int n = 3001;
  const int rows = 20;
  AddRecords(n);
  BrowseList& list = MakeList(1, rows);
  list.FirstPage();
  list.SelectRow(7);
  std::set<std::string> seen;
  int first = 1;  // id on the first row
  for (;;) {
    std::vector<std::string> texts = PageTexts();
    ASSERT_EQ(texts.size(), static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) ASSERT_EQ(texts[i], Name(first + i));
    seen.insert(texts.begin(), texts.end());
    if (list.PageDown() == BrowseView::kNone) break;
    first = std::min(first + rows, n - rows + 1);
    if (first + rows - 1 < n) {
      EXPECT_EQ(list.CurrentRow(), 7) << "highlight keeps its screen row";
    }
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(n));
  EXPECT_EQ(list.CurrentKey(), Name(n)) << "at the end the highlight is last";
  seen.clear();
  for (;;) {
    std::vector<std::string> texts = PageTexts();
    for (int i = 0; i < rows; ++i) ASSERT_EQ(texts[i], Name(first + i));
    seen.insert(texts.begin(), texts.end());
    if (list.PageUp() == BrowseView::kNone) break;
    first = std::max(first - rows, 1);
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(n));
  EXPECT_EQ(list.CurrentKey(), Name(1));
}

TEST_F(BrowseListTest, MovesCostStepsInProportionToThePage) {
  AddRecords(4000);
  BrowseList& list = MakeList(1, 20);
  list.SetAndUpdate(Name(2000), 0);
  source_->steps = source_->finds = source_->reads = 0;
  for (int i = 0; i < 40; ++i) list.LineDown();
  EXPECT_LE(source_->steps, 21);  // one per new row after the first 19 moves
  EXPECT_LE(source_->reads, 21);
  source_->steps = source_->reads = 0;
  list.PageDown();
  EXPECT_LE(source_->steps, 21);
  EXPECT_EQ(source_->reads, 20);
  source_->steps = source_->finds = 0;
  list.SetAndUpdate(Name(100), 0);
  EXPECT_LE(source_->steps, 21);
  EXPECT_LE(source_->finds, 3);
}

TEST_F(BrowseListTest, SetAndUpdateFillsThePageAroundTheEntry) {
  AddRecords(100);
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  list.SelectRow(4);
  list.SetAndUpdate(Name(50), 0);
  EXPECT_EQ(list.CurrentRow(), 4);
  EXPECT_EQ(list.CurrentKey(), Name(50));
  EXPECT_EQ(PageTexts().front(), "N000047");
  EXPECT_EQ(PageTexts().back(), "N000056");
  // A key between entries lands on the next one.
  list.SetAndUpdate("N000060X", 0);
  EXPECT_EQ(list.CurrentKey(), Name(61));
  // Past the last entry: the previous one, with the page filled above it.
  list.SetAndUpdate("Q", 0);
  EXPECT_EQ(list.CurrentKey(), Name(100));
  EXPECT_EQ(list.CurrentRow(), 10);
  EXPECT_EQ(PageTexts().front(), "N000091");
  // Near the start the page is still full.
  list.SetAndUpdate(Name(2), 0);
  EXPECT_EQ(list.FilledRows(), 10);
  EXPECT_EQ(list.CurrentRow(), 2);
  EXPECT_EQ(PageTexts().front(), "N000001");
}

TEST_F(BrowseListTest, KeyRangeLimitsRowsAndClampsPositions) {
  AddRecords(60);
  BrowseList& list = MakeList(1, 10, "N00002", "N00003");  // ids 20..39
  list.FirstPage();
  EXPECT_EQ(list.CurrentKey(), Name(20));
  list.LastPage();
  EXPECT_EQ(list.CurrentKey(), Name(39));
  EXPECT_EQ(list.LineDown(), BrowseView::kNone);
  list.SetAndUpdate("A", 0);
  EXPECT_EQ(list.CurrentKey(), Name(20));
  list.SetAndUpdate("N000055", 0);
  EXPECT_EQ(list.CurrentKey(), Name(39));
  EXPECT_TRUE(list.InRange("N000031"));
  EXPECT_FALSE(list.InRange("N000040"));
  EXPECT_FALSE(list.InRange("N00001"));
}

TEST_F(BrowseListTest, SwitchingTheKeyKeepsTheSameRecordCurrent) {
  AddRecords(60);
  BrowseList& list = MakeList(1, 10);
  list.SetAndUpdate(Name(33), 0);
  int32_t ref = list.CurrentRef();
  list.SetKeyNumber(2);
  EXPECT_EQ(list.CurrentKeyNumber(), 2);
  list.SetAndUpdate(Group(33), ref);
  EXPECT_EQ(list.CurrentRef(), ref);
  EXPECT_EQ(list.CurrentKey(), Group(33));
  // Duplicates come in record order, so the row after is the next record
  // of the same group.
  list.LineDown();
  EXPECT_EQ(list.CurrentKey(), Group(33));
  EXPECT_EQ(list.CurrentRef(), ref + 26);
}

TEST_F(BrowseListTest, UnknownKeyNumberIsRefusedAndLosesNothing) {
  AddRecords(20);
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  std::vector<int32_t> before = PageRefs();
  EXPECT_EQ(list.SetKeyNumber(3), BrowseView::kNone);
  EXPECT_EQ(list.LastErrorText(), "Class 4 error.  Isam Error 10164");
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(list.CurrentKeyNumber(), 1);
  EXPECT_EQ(PageRefs(), before);
}

TEST_F(BrowseListTest, RecordOrderSkipsDeletedRecords) {
  AddRecords(10);
  ASSERT_TRUE(engine_.DeleteRecord(handle_, 1));
  ASSERT_TRUE(engine_.DeleteRecord(handle_, 4));
  ASSERT_TRUE(engine_.DeleteRecord(handle_, 10));
  BrowseList& list = MakeList(0, 20);
  list.FirstPage();
  EXPECT_EQ(PageRefs(), (std::vector<int32_t>{2, 3, 5, 6, 7, 8, 9}));
  EXPECT_EQ(list.CurrentKey(), "");
  list.LastPage();
  EXPECT_EQ(list.CurrentRef(), 9);
  list.SetAndUpdate("ignored", 4);  // a deleted record: the next one
  EXPECT_EQ(list.CurrentRef(), 5);
  // A typed letter has no key to position by in record order.
  EXPECT_EQ(list.TypeChar('B'), BrowseView::kNone);
}

TEST_F(BrowseListTest, EntryOfDeletedRecordIsStillBuiltAsMissing) {
  AddRecords(5);
  ASSERT_TRUE(engine_.DeleteRecord(handle_, 3));  // its keys stay behind
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  ASSERT_EQ(list.FilledRows(), 5);
  EXPECT_EQ(list.RowAt(3).Status, -1);
  EXPECT_EQ(list.RowAt(3).Row[0], "missing");
  EXPECT_EQ(list.RowAt(2).Status, 0);
  RowRec rr;
  rr.Ref = 3;
  EXPECT_EQ(list.BuildRowFor(rr), -1);
  rr.Ref = 4;
  EXPECT_EQ(list.BuildRowFor(rr), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&buffer_[8])), "N000004");
}

TEST_F(BrowseListTest, RowsWithoutBuildHandlerSayHowToFixIt) {
  AddRecords(2);
  BrowseList& list = MakeList(1, 10);
  list.OnBuildRow = nullptr;
  list.FirstPage();
  EXPECT_EQ(list.RowAt(1).Row[0], "You do not have an OnBuildRow event defined");
  EXPECT_EQ(list.RowAt(2).Row[0], "You do not have an OnBuildRow event defined");
}

TEST_F(BrowseListTest, FilterRejectingEverythingShowsEmptyPage) {
  AddRecords(5);
  BrowseList& list = MakeList(1, 10);
  std::vector<std::pair<int, bool>> states;
  list.OnPerformFilter = [](RowRec&, bool& use_it) { use_it = false; };
  list.OnShowFilterWorking = [&](int state, bool rejected) {
    states.push_back({state, rejected});
  };
  list.SetFilterEnabled(true);
  states.clear();
  list.FirstPage();
  EXPECT_EQ(list.FilledRows(), 0);
  ASSERT_EQ(states.size(), 6u);
  EXPECT_EQ(states[0], std::make_pair(-1, true));
  for (int i = 1; i < 5; ++i) EXPECT_EQ(states[i], std::make_pair(0, true));
  EXPECT_EQ(states[5], std::make_pair(1, false));
}

TEST_F(BrowseListTest, FilterCanReadTheRecordItDecidesOn) {
  AddRecords(30);
  BrowseList& list = MakeList(1, 10);
  list.OnPerformFilter = [&](RowRec& rr, bool& use_it) {
    ASSERT_EQ(list.BuildRowFor(rr), 0);
    int32_t id = 0;
    std::memcpy(&id, &buffer_[4], 4);
    use_it = id % 3 == 0;
    // A nested move while the filter runs is refused.
    EXPECT_EQ(list.LineDown(), BrowseView::kNone);
  };
  list.SetFilterEnabled(true);
  list.FirstPage();
  EXPECT_EQ(PageTexts().front(), Name(3));
  EXPECT_EQ(PageTexts().back(), Name(30));
  list.SetFilterEnabled(false);
  EXPECT_EQ(list.FilledRows(), 10);
  EXPECT_EQ(PageTexts().back(), Name(12)) << "refreshed from the current row";
}

TEST_F(BrowseListTest, TypingPositionsAtFirstKeyAtOrAfterTheCharacter) {
  AddRecord(1, "ALPHA");
  AddRecord(2, "BRAVO");
  AddRecord(3, "DELTA");
  AddRecord(4, "\xC4RGER");  // Ärger sorts after the ASCII letters
  BrowseList& list = MakeList(1, 2);
  list.FirstPage();
  EXPECT_EQ(list.TypeChar('C'), BrowseView::kPage);
  EXPECT_EQ(list.CurrentKey(), "DELTA");
  list.TypeChar('B');
  EXPECT_EQ(list.CurrentKey(), "BRAVO");
  list.TypeChar(0xC4);
  EXPECT_EQ(list.CurrentKey(), "\xC4RGER");
  list.TypeChar('1');
  EXPECT_EQ(list.CurrentKey(), "ALPHA");
  EXPECT_EQ(list.TypeChar('-'), BrowseView::kNone);
  EXPECT_EQ(list.TypeChar(' '), BrowseView::kNone);
  EXPECT_TRUE(BrowseList::PositionsOnTyping(0xDF));   // ß
  EXPECT_FALSE(BrowseList::PositionsOnTyping(0xC5));  // Å
}

TEST_F(BrowseListTest, PlusRereadsThePage) {
  AddRecords(3);
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  EXPECT_EQ(list.TypeChar('+'), BrowseView::kNone) << "nothing changed";
  Rename(2, "RENAMED");
  EXPECT_EQ(list.TypeChar('+'), BrowseView::kPage);
  EXPECT_EQ(list.RowAt(2).Row[0], "RENAMED");
  EXPECT_TRUE(list.RowAt(2).Changed);
  EXPECT_FALSE(list.RowAt(1).Changed);
}

TEST_F(BrowseListTest, RereadCurrentRowFillsBufferAndTellsChange) {
  AddRecords(3);
  BrowseList& list = MakeList(1, 10);
  bool changed = true;
  EXPECT_EQ(list.RereadCurrentRow(changed), 1) << "no current row yet";
  list.FirstPage();
  list.LineDown();
  EXPECT_EQ(list.RereadCurrentRow(changed), 0);
  EXPECT_FALSE(changed);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&buffer_[8])), "N000002");
  Rename(2, "EDITED");
  EXPECT_EQ(list.RereadCurrentRow(changed), 0);
  EXPECT_TRUE(changed);
  EXPECT_EQ(list.RowAt(2).Row[0], "EDITED");
  ASSERT_TRUE(engine_.DeleteRecord(handle_, 2));
  EXPECT_EQ(list.RereadCurrentRow(changed), 1);
  EXPECT_EQ(list.RowAt(2).Status, -1);
}

TEST_F(BrowseListTest, ListWithWrongBufferSizeIsNotUsable) {
  AddRecords(3);
  std::vector<uint8_t> small(kRecLen - 1);
  BrowseList list(engine_, handle_, 1, small, "", "");
  EXPECT_FALSE(list.Usable());
  EXPECT_EQ(list.FirstPage(), BrowseView::kNone);
  bool changed = false;
  EXPECT_EQ(list.RereadCurrentRow(changed), kNoListClass);
  BrowseList bad_key(engine_, handle_, 3, buffer_, "", "");
  EXPECT_FALSE(bad_key.Usable());
}

TEST_F(BrowseListTest, BusyFileIsRetriedUntilItAnswers) {
  AddRecords(30);
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  source_->fail_error = kErrScanRead;  // class 2
  source_->fail_calls = kRetryAttempts - 1;
  EXPECT_EQ(list.PageDown(), BrowseView::kPage);
  EXPECT_EQ(PageTexts().front(), Name(11));
  EXPECT_EQ(sleeps_, std::vector<int>(kRetryAttempts - 1, 30));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(BrowseListTest, BusyFileGivesUpAfter33AttemptsAndKeepsThePage) {
  AddRecords(30);
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  list.SelectRow(3);
  std::vector<int32_t> before = PageRefs();
  int changes = row_changes_;
  source_->fail_error = kErrScanRead;
  source_->fail_calls = -1;
  source_->steps = 0;
  EXPECT_EQ(list.PageDown(), BrowseView::kNone);
  EXPECT_EQ(source_->steps, 33);
  EXPECT_EQ(sleeps_.size(), 32u);
  EXPECT_FALSE(list.LastOK());
  EXPECT_EQ(list.LastError(), 10390);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Class 2 error.  Isam Error 10390");
  EXPECT_EQ(PageRefs(), before);
  EXPECT_EQ(list.CurrentRow(), 3);
  EXPECT_EQ(row_changes_, changes);
  source_->fail_calls = 0;
  EXPECT_EQ(list.PageDown(), BrowseView::kPage);
  EXPECT_TRUE(list.LastOK());
}

TEST_F(BrowseListTest, FatalErrorIsNotRetried) {
  AddRecords(30);
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  source_->fail_error = kErrOsFailure;  // class 4
  source_->fail_calls = -1;
  source_->finds = 0;
  EXPECT_EQ(list.SetAndUpdate(Name(15), 0), BrowseView::kNone);
  EXPECT_EQ(source_->finds, 1);
  EXPECT_TRUE(sleeps_.empty());
  EXPECT_EQ(list.LastErrorText(), "Class 4 error.  Isam Error 10140");
  EXPECT_EQ(list.CurrentKey(), Name(1));
}

TEST_F(BrowseListTest, RowReadsAreMadeOnceButRereadIsRetried) {
  AddRecords(3);
  BrowseList& list = MakeList(1, 10);
  source_->read_fail_error = kErrScanRead;
  source_->read_fail_calls = 1;
  list.FirstPage();
  EXPECT_EQ(list.RowAt(1).Status, -1);
  EXPECT_EQ(list.RowAt(1).Row[0], "missing");
  EXPECT_EQ(list.RowAt(2).Status, 0);
  EXPECT_TRUE(sleeps_.empty());
  source_->read_fail_calls = 5;
  bool changed = false;
  EXPECT_EQ(list.RereadCurrentRow(changed), 0);
  EXPECT_TRUE(changed);
  EXPECT_EQ(list.RowAt(1).Row[0], "N000001");
  EXPECT_EQ(sleeps_.size(), 5u);
  source_->read_fail_calls = -1;
  EXPECT_EQ(list.RereadCurrentRow(changed), 2);
  EXPECT_EQ(list.LastErrorText(), "Class 2 error.  Isam Error 10390");
  RowRec rr;
  rr.Ref = 2;
  sleeps_.clear();
  EXPECT_EQ(list.BuildRowFor(rr), -1);
  EXPECT_TRUE(sleeps_.empty());
}

TEST_F(BrowseListTest, JumpToThumbFindsTheNearestEntry) {
  AddRecords(3000);
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  list.JumpToThumb(63);
  EXPECT_EQ(list.CurrentKey(), Name(3000));
  list.JumpToThumb(0);
  EXPECT_EQ(list.CurrentKey(), Name(1));
  int previous = 0;
  for (int pos : {5, 20, 32, 47, 60}) {
    list.JumpToThumb(pos);
    EXPECT_NEAR(list.ThumbPosition(), pos, 1) << pos;
    EXPECT_GT(list.CurrentRef(), previous);
    previous = list.CurrentRef();
  }
}

TEST_F(BrowseListTest, JumpToThumbInRecordOrder) {
  AddRecords(500);
  BrowseList& list = MakeList(0, 10);
  list.FirstPage();
  list.JumpToThumb(32);
  EXPECT_NEAR(list.ThumbPosition(), 32, 1);
  EXPECT_NEAR(list.CurrentRef(), 250, 12);
}

TEST_F(BrowseListTest, ShrinkingThePageKeepsTheCurrentRow) {
  AddRecords(30);
  BrowseList& list = MakeList(1, 10);
  list.FirstPage();
  list.SelectRow(8);
  list.SetPageRows(5);
  EXPECT_EQ(list.FilledRows(), 5);
  EXPECT_EQ(list.CurrentKey(), Name(8));
  EXPECT_EQ(list.CurrentRow(), 5);
  list.SetPageRows(12);
  EXPECT_EQ(list.FilledRows(), 12);
  EXPECT_EQ(list.CurrentKey(), Name(8));
  EXPECT_EQ(list.SetPageRows(500), BrowseView::kPage);
  EXPECT_EQ(list.PageRows(), 50);
}

}  // namespace
}  // namespace tallybook::store
