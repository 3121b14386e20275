#include "store/browse_list.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

namespace tallybook::store {

namespace {

std::string Cut(std::string text, size_t width) {
  if (text.size() > width) text.resize(width);
  return text;
}

bool SameEntry(const BrowseEntry& a, const BrowseEntry& b) {
  return a.ref == b.ref && a.key == b.key;
}

// The margin that keeps the first and last entries of a short list at the
// ends of the scroll bar, by 63 div N.
int ThumbMargin(int32_t n) {
  int q = kThumbMax / n;
  if (q == 0) return 2;
  if (q == 1) return 4;
  if (q == 2) return 9;
  if (q <= 4) return 10;
  if (q <= 10) return 31;
  if (q <= 25) return 63;
  return 126;
}

// Scale on which thumb positions are looked up when jumping.
constexpr uint16_t kJumpScale = 65535;

}  // namespace

// One public operation: refuses re-entry from the handlers, starts a fresh
// outcome and filter report, and at the end (with the list free again)
// tells the owner what happened.
class BrowseList::Operation {
 public:
  explicit Operation(BrowseList& list)
      : list_(list), entered_(list.usable_ && !list.busy_) {
    if (!entered_) return;
    list_.busy_ = true;
    list_.filter_calls_ = 0;
    list_.last_error_ = 0;
    list_.last_error_text_.clear();
    list_.row_changed_ = false;
    list_.source_->Forget();
  }
  ~Operation() {
    if (!entered_) return;
    list_.busy_ = false;
    list_.source_->Forget();
    if (list_.filter_calls_ > 0 && list_.OnShowFilterWorking) {
      list_.OnShowFilterWorking(1, false);
    }
    if (list_.last_error_ != 0 && list_.OnError) {
      list_.OnError(list_.last_error_text_);
    }
    if (list_.row_changed_ && list_.OnRowChanged) list_.OnRowChanged();
  }
  bool entered() const { return entered_; }

 private:
  BrowseList& list_;
  bool entered_;
};

BrowseList::BrowseList(Engine& engine, FileHandle handle, int key_no,
                       std::span<uint8_t> record_buffer, std::string low_key,
                       std::string high_key, int row_slots, int lines_per_row)
    : BrowseList(std::make_unique<EngineBrowseSource>(engine, handle), key_no,
                 record_buffer, std::move(low_key), std::move(high_key),
                 row_slots, lines_per_row) {}

BrowseList::BrowseList(std::unique_ptr<BrowseSource> source, int key_no,
                       std::span<uint8_t> record_buffer, std::string low_key,
                       std::string high_key, int row_slots, int lines_per_row)
    : source_(std::move(source)), key_no_(key_no), buffer_(record_buffer) {
  low_ = Cut(std::move(low_key), kMaxKeyLength);
  high_ = Cut(std::move(high_key), kMaxKeyLength);
  slot_count_ = static_cast<size_t>(std::max(0, row_slots));
  lines_per_row_ = std::max(1, lines_per_row);
  page_rows_ = std::max(1, row_slots);
  sleep_ = [](int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  };
  int length = source_ ? source_->RecordLength() : 0;
  usable_ = source_ && row_slots >= 1 && key_no >= 0 &&
            key_no <= source_->KeyCount() && length > 0 &&
            record_buffer.size() == static_cast<size_t>(length);
}

std::string BrowseList::ErrorText(int error_class, int error) {
  char text[64];
  std::snprintf(text, sizeof text, "Class %d error.  Isam Error %d",
                error_class, error);
  return text;
}

bool BrowseList::InRange(const std::string& key) const {
  if (key_no_ == 0) return true;
  if (!low_.empty() && key.compare(0, low_.size(), low_) < 0) return false;
  if (!high_.empty() && key.compare(0, high_.size(), high_) > 0) return false;
  return true;
}

bool BrowseList::PositionsOnTyping(uint8_t ch) {
  if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') ||
      (ch >= 'a' && ch <= 'z')) {
    return true;
  }
  // Ä Ö Ü ß ä ö ü in Windows-1252.
  switch (ch) {
    case 0xC4: case 0xD6: case 0xDC: case 0xDF: case 0xE4: case 0xF6:
    case 0xFC:
      return true;
    default:
      return false;
  }
}

int BrowseList::Retry(const std::function<int()>& f) {
  for (int attempt = 1;; ++attempt) {
    int error = f();
    if (ErrorClassOf(error) != 2 || attempt >= kRetryAttempts) return error;
    if (sleep_) sleep_(kRetryDelayMs);
  }
}

BrowseView BrowseList::Fail(int error) {
  last_error_ = error;
  last_error_text_ = ErrorText(ErrorClassOf(error), error);
  return BrowseView::kNone;
}

BrowseEntry BrowseList::LowEntry() const {
  if (key_no_ == 0) return {"", 0};
  return {low_, 0};
}

BrowseEntry BrowseList::HighEntry() const {
  if (key_no_ == 0) return {"", kHighestRef};
  std::string key = high_;
  key.append(kMaxKeyLength - key.size(), '\xff');
  return {key, kHighestRef};
}

bool BrowseList::Accepted(const BrowseEntry& entry) {
  if (!filter_enabled_ || !OnPerformFilter) return true;
  RowRec rr = NewRow(entry);
  bool use_it = true;
  OnPerformFilter(rr, use_it);
  source_->Forget();
  if (OnShowFilterWorking) {
    OnShowFilterWorking(filter_calls_ == 0 ? -1 : 0, !use_it);
  }
  ++filter_calls_;
  return use_it;
}

int BrowseList::Locate(int direction, BrowseEntry& entry, bool& found) {
  found = false;
  BrowseEntry at = entry;
  int error = Retry([&] {
    BrowseEntry probe = entry;
    int e = source_->Find(key_no_, direction, probe);
    if (e == 0) at = probe;
    return e;
  });
  if (error != 0) return Fatal(error) ? error : 0;
  for (;;) {
    if (!InRange(at.key)) return 0;
    if (Accepted(at)) {
      entry = at;
      found = true;
      return 0;
    }
    BrowseEntry before = at;
    error = Retry([&] {
      BrowseEntry probe = before;
      int e = source_->Step(key_no_, direction, probe);
      if (e == 0) at = probe;
      return e;
    });
    if (error != 0) return Fatal(error) ? error : 0;
    if (SameEntry(at, before)) return 0;  // a step that does not move ends it
  }
}

int BrowseList::Fetch(int direction, const BrowseEntry& from, int max,
                      std::vector<BrowseEntry>& out) {
  BrowseEntry at = from;
  while (static_cast<int>(out.size()) < max) {
    BrowseEntry before = at;
    int error = Retry([&] {
      BrowseEntry probe = before;
      int e = source_->Step(key_no_, direction, probe);
      if (e == 0) at = probe;
      return e;
    });
    if (error != 0) return Fatal(error) ? error : 0;
    if (SameEntry(at, before)) return 0;
    if (!InRange(at.key)) return 0;
    if (Accepted(at)) out.push_back(at);
  }
  return 0;
}

RowRec BrowseList::NewRow(const BrowseEntry& entry) const {
  RowRec row;
  row.Key = entry.key;
  row.Ref = entry.ref;
  row.Row.assign(static_cast<size_t>(lines_per_row_), std::string());
  return row;
}

int BrowseList::FillAround(BrowseEntry entry, int want_row, Page& page) {
  want_row = std::clamp(want_row, 1, page_rows_);
  std::vector<BrowseEntry> after;
  int error = Fetch(+1, entry, page_rows_ - want_row, after);
  if (error != 0) return error;
  std::vector<BrowseEntry> before;
  error = Fetch(-1, entry, page_rows_ - 1 - static_cast<int>(after.size()),
                before);
  if (error != 0) return error;
  // Near the start of the data there are fewer rows before the entry than
  // its screen row asks for: complete the page from below instead.
  int shown = 1 + static_cast<int>(after.size() + before.size());
  if (shown < page_rows_ &&
      static_cast<int>(after.size()) == page_rows_ - want_row) {
    std::vector<BrowseEntry> more;
    error = Fetch(+1, after.empty() ? entry : after.back(), page_rows_ - shown,
                  more);
    if (error != 0) return error;
    after.insert(after.end(), more.begin(), more.end());
  }
  page.rows.clear();
  for (auto it = before.rbegin(); it != before.rend(); ++it) {
    page.rows.push_back(NewRow(*it));
  }
  page.rows.push_back(NewRow(entry));
  for (const BrowseEntry& e : after) page.rows.push_back(NewRow(e));
  page.current = static_cast<int>(before.size()) + 1;
  return 0;
}

int BrowseList::FillFromEnd(int direction, Page& page) {
  page.rows.clear();
  page.current = 0;
  BrowseEntry entry = direction > 0 ? LowEntry() : HighEntry();
  bool found = false;
  int error = Locate(direction, entry, found);
  if (error != 0 || !found) return error;
  std::vector<BrowseEntry> more;
  error = Fetch(direction, entry, page_rows_ - 1, more);
  if (error != 0) return error;
  more.insert(more.begin(), entry);
  if (direction < 0) std::reverse(more.begin(), more.end());
  for (const BrowseEntry& e : more) page.rows.push_back(NewRow(e));
  page.current = direction > 0 ? 1 : static_cast<int>(page.rows.size());
  return 0;
}

void BrowseList::BuildText(RowRec& row) {
  row.Row.assign(static_cast<size_t>(lines_per_row_), std::string());
  if (OnBuildRow) {
    OnBuildRow(row);
    source_->Forget();
  } else {
    row.Row[0] = kNoBuildRowText;
  }
  row.Row.resize(static_cast<size_t>(lines_per_row_));
  for (std::string& line : row.Row) {
    if (line.size() > static_cast<size_t>(kRowTextMax)) line.resize(kRowTextMax);
  }
  row.Built = true;
}

void BrowseList::BuildRow(RowRec& row) {
  // Read once: an unavailable record is shown as missing, not waited for.
  bool in_use = false;
  int error = source_->Read(row.Ref, buffer_.data(), in_use);
  row.Status = error == 0 && in_use ? 0 : -1;
  BuildText(row);
}

BrowseView BrowseList::Commit(Page page, BrowseView view) {
  for (size_t i = 0; i < page.rows.size(); ++i) {
    RowRec& row = page.rows[i];
    if (!row.Built) BuildRow(row);
    row.Changed = i >= rows_.size() || rows_[i].Row != row.Row;
  }
  rows_ = std::move(page.rows);
  current_ = rows_.empty() ? 0 : std::clamp(page.current, 1, FilledRows());
  if (view != BrowseView::kNone) row_changed_ = true;
  return view;
}

BrowseView BrowseList::DoFill(int direction) {
  if (OnPreCompletePage) OnPreCompletePage();
  Page page;
  int error = FillFromEnd(direction, page);
  if (OnPostCompletePage) OnPostCompletePage();
  if (error != 0) return Fail(error);
  return Commit(std::move(page), BrowseView::kPage);
}

BrowseView BrowseList::DoSetAndUpdate(const std::string& key, int32_t ref,
                                      int want_row) {
  BrowseEntry start{key_no_ == 0 ? std::string() : Cut(key, kMaxKeyLength),
                    ref};
  if (key_no_ != 0) {
    if (!low_.empty() && start.key.compare(0, low_.size(), low_) < 0) {
      start = LowEntry();
    } else if (!high_.empty() &&
               start.key.compare(0, high_.size(), high_) > 0) {
      start = HighEntry();
    }
  }
  if (OnPreCompletePage) OnPreCompletePage();
  Page page;
  BrowseEntry entry = start;
  bool found = false;
  int error = Locate(+1, entry, found);
  if (error == 0 && !found) {
    entry = start;
    error = Locate(-1, entry, found);
  }
  if (error == 0 && found) error = FillAround(entry, want_row, page);
  if (OnPostCompletePage) OnPostCompletePage();
  if (error != 0) return Fail(error);
  return Commit(std::move(page), BrowseView::kPage);
}

BrowseView BrowseList::FirstPage() {
  Operation op(*this);
  if (!op.entered()) return BrowseView::kNone;
  return DoFill(+1);
}

BrowseView BrowseList::LastPage() {
  Operation op(*this);
  if (!op.entered()) return BrowseView::kNone;
  return DoFill(-1);
}

BrowseView BrowseList::LineDown() {
  Operation op(*this);
  if (!op.entered() || current_ == 0) return BrowseView::kNone;
  if (current_ < FilledRows()) {
    ++current_;
    row_changed_ = true;
    return BrowseView::kHighlight;
  }
  std::vector<BrowseEntry> got;
  const RowRec& last = rows_.back();
  int error = Fetch(+1, {last.Key, last.Ref}, 1, got);
  if (error != 0) return Fail(error);
  if (got.empty()) return BrowseView::kNone;
  Page page{rows_, current_};
  page.rows.push_back(NewRow(got[0]));
  if (FilledRows() < page_rows_) {
    ++page.current;
    return Commit(std::move(page), BrowseView::kHighlight);
  }
  page.rows.erase(page.rows.begin());
  return Commit(std::move(page), BrowseView::kScrollUp);
}

BrowseView BrowseList::LineUp() {
  Operation op(*this);
  if (!op.entered() || current_ == 0) return BrowseView::kNone;
  if (current_ > 1) {
    --current_;
    row_changed_ = true;
    return BrowseView::kHighlight;
  }
  std::vector<BrowseEntry> got;
  const RowRec& first = rows_.front();
  int error = Fetch(-1, {first.Key, first.Ref}, 1, got);
  if (error != 0) return Fail(error);
  if (got.empty()) return BrowseView::kNone;
  Page page{rows_, 1};
  page.rows.insert(page.rows.begin(), NewRow(got[0]));
  if (static_cast<int>(page.rows.size()) > page_rows_) page.rows.pop_back();
  return Commit(std::move(page), BrowseView::kScrollDown);
}

BrowseView BrowseList::PageDown() {
  Operation op(*this);
  if (!op.entered() || current_ == 0) return BrowseView::kNone;
  std::vector<BrowseEntry> got;
  const RowRec& last = rows_.back();
  int error = Fetch(+1, {last.Key, last.Ref}, page_rows_, got);
  if (error != 0) return Fail(error);
  if (got.empty()) {
    if (current_ == FilledRows()) return BrowseView::kNone;
    current_ = FilledRows();
    row_changed_ = true;
    return BrowseView::kHighlight;
  }
  Page page{rows_, current_};
  for (const BrowseEntry& e : got) page.rows.push_back(NewRow(e));
  int drop = static_cast<int>(page.rows.size()) - page_rows_;
  if (drop > 0) page.rows.erase(page.rows.begin(), page.rows.begin() + drop);
  if (static_cast<int>(got.size()) < page_rows_) {
    page.current = static_cast<int>(page.rows.size());  // the data ended
  }
  return Commit(std::move(page), BrowseView::kPage);
}

BrowseView BrowseList::PageUp() {
  Operation op(*this);
  if (!op.entered() || current_ == 0) return BrowseView::kNone;
  std::vector<BrowseEntry> got;
  const RowRec& first = rows_.front();
  int error = Fetch(-1, {first.Key, first.Ref}, page_rows_, got);
  if (error != 0) return Fail(error);
  if (got.empty()) {
    if (current_ == 1) return BrowseView::kNone;
    current_ = 1;
    row_changed_ = true;
    return BrowseView::kHighlight;
  }
  Page page{{}, current_};
  for (auto it = got.rbegin(); it != got.rend(); ++it) {
    page.rows.push_back(NewRow(*it));
  }
  page.rows.insert(page.rows.end(), rows_.begin(), rows_.end());
  if (static_cast<int>(page.rows.size()) > page_rows_) page.rows.resize(page_rows_);
  if (static_cast<int>(got.size()) < page_rows_) page.current = 1;
  return Commit(std::move(page), BrowseView::kPage);
}

BrowseView BrowseList::SelectRow(int screen_row) {
  Operation op(*this);
  if (!op.entered() || screen_row < 1 || screen_row > FilledRows() ||
      screen_row == current_) {
    return BrowseView::kNone;
  }
  current_ = screen_row;
  row_changed_ = true;
  return BrowseView::kHighlight;
}

BrowseView BrowseList::SetAndUpdate(const std::string& key, int32_t ref) {
  Operation op(*this);
  if (!op.entered()) return BrowseView::kNone;
  return DoSetAndUpdate(key, ref, std::max(current_, 1));
}

BrowseView BrowseList::SetKeyNumber(int key_no) {
  Operation op(*this);
  if (!op.entered()) return BrowseView::kNone;
  if (key_no < 0 || key_no > source_->KeyCount()) {
    return Fail(kErrBadKeyNumber);
  }
  key_no_ = key_no;
  if (rows_.empty()) return DoFill(+1);
  // The old row's key means little in the new index; the owner follows
  // with SetAndUpdate on the record's key for the new key number.
  const RowRec& row = rows_[current_ - 1];
  return DoSetAndUpdate(row.Key, row.Ref, current_);
}

bool BrowseList::Refresh() {
  Operation op(*this);
  if (!op.entered()) return false;
  int32_t old_ref = CurrentRef();
  int old_current = current_;
  int old_filled = FilledRows();
  BrowseView view;
  if (rows_.empty()) {
    view = DoFill(+1);
  } else {
    const RowRec& row = rows_[current_ - 1];
    std::string key = row.Key;
    int32_t ref = row.Ref;
    view = DoSetAndUpdate(key, ref, current_);
  }
  if (view == BrowseView::kNone) return false;
  bool changed = old_ref != CurrentRef() || old_current != current_ ||
                 old_filled != FilledRows();
  for (const RowRec& row : rows_) changed = changed || row.Changed;
  row_changed_ = changed;
  return changed;
}

void BrowseList::SetFilterEnabled(bool enabled) {
  if (enabled == filter_enabled_ || busy_) return;
  filter_enabled_ = enabled;
  Refresh();
}

BrowseView BrowseList::SetPageRows(int rows) {
  rows = std::clamp(rows, 1, std::max(1, RowSlots()));
  if (rows == page_rows_) return BrowseView::kNone;
  Operation op(*this);
  if (!op.entered()) return BrowseView::kNone;
  page_rows_ = rows;
  if (rows_.empty()) return BrowseView::kNone;
  if (FilledRows() > rows) {
    Page page{rows_, current_};
    if (current_ > rows) {
      page.rows.erase(page.rows.begin(), page.rows.begin() + (current_ - rows));
      page.current = rows;
    }
    page.rows.resize(rows);
    return Commit(std::move(page), BrowseView::kPage);
  }
  const RowRec& row = rows_[current_ - 1];
  std::string key = row.Key;
  int32_t ref = row.Ref;
  return DoSetAndUpdate(key, ref, current_);
}

int BrowseList::ResolveThumb(int32_t q, BrowseEntry& entry) {
  BrowseEntry probe;
  int error = Retry([&] {
    return source_->FromScrollPos(key_no_, q, kJumpScale, probe);
  });
  if (error != 0) return error;
  BrowseEntry found = probe;
  error = Retry([&] {
    found = probe;
    return source_->Find(key_no_, +1, found);
  });
  if (ErrorClassOf(error) == 1) {
    error = Retry([&] {
      found = probe;
      return source_->Find(key_no_, -1, found);
    });
  }
  if (error == 0) entry = found;
  return error;
}

BrowseView BrowseList::JumpToThumb(int pos) {
  Operation op(*this);
  if (!op.entered()) return BrowseView::kNone;
  int32_t n = source_->Count(key_no_);
  if (pos <= 0 || n <= 1) return DoFill(+1);
  if (pos >= kThumbMax) return DoFill(-1);
  // Thumb positions grow with the entries, so the first scale position
  // whose entry stands at or after pos is found by bisection; the nearer of
  // that entry and the one of the position before it wins.
  int32_t lo = 0;
  int32_t hi = kJumpScale;
  BrowseEntry entry;
  while (lo < hi) {
    int32_t mid = lo + (hi - lo) / 2;
    int error = ResolveThumb(mid, entry);
    if (error != 0) return Fail(error);
    if (ThumbPositionOf(entry) >= pos) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  int error = ResolveThumb(lo, entry);
  if (error != 0) return Fail(error);
  if (lo > 0) {
    BrowseEntry before;
    error = ResolveThumb(lo - 1, before);
    if (error != 0) return Fail(error);
    if (pos - ThumbPositionOf(before) < ThumbPositionOf(entry) - pos) {
      entry = before;
    }
  }
  return DoSetAndUpdate(entry.key, entry.ref, std::max(current_, 1));
}

BrowseView BrowseList::TypeChar(uint8_t ch) {
  if (ch == '+') return Refresh() ? BrowseView::kPage : BrowseView::kNone;
  if (key_no_ == 0 || !PositionsOnTyping(ch)) return BrowseView::kNone;
  return SetAndUpdate(std::string(1, static_cast<char>(ch)), 0);
}

int32_t BrowseList::CurrentRef() const {
  return current_ == 0 ? 0 : rows_[current_ - 1].Ref;
}

std::string BrowseList::CurrentKey() const {
  return current_ == 0 ? std::string() : rows_[current_ - 1].Key;
}

int BrowseList::ThumbPositionOf(const BrowseEntry& entry) {
  if (!usable_) return 0;
  int32_t n = source_->Count(key_no_);
  if (n <= 1) return 0;
  int margin = ThumbMargin(n);
  uint16_t scale = static_cast<uint16_t>(kThumbMax + (margin & ~1));
  int32_t pos = 0;
  if (source_->ToScrollPos(key_no_, entry, scale, pos) != 0) return 0;
  int thumb = pos - margin / 2;
  return thumb > 0 ? std::min(thumb, kThumbMax) : 0;
}

int BrowseList::ThumbPosition() {
  if (current_ == 0) return 0;
  const RowRec& row = rows_[current_ - 1];
  return ThumbPositionOf({row.Key, row.Ref});
}

int BrowseList::RereadCurrentRow(bool& changed) {
  changed = false;
  if (!usable_) return kNoListClass;
  last_error_ = 0;
  last_error_text_.clear();
  if (current_ == 0) return 1;
  RowRec& row = rows_[current_ - 1];
  bool in_use = false;
  int error = Retry([&] { return source_->Read(row.Ref, buffer_.data(), in_use); });
  if (error != 0) {
    last_error_ = error;
    last_error_text_ = ErrorText(ErrorClassOf(error), error);
  }
  std::vector<std::string> old = row.Row;
  row.Status = error == 0 && in_use ? 0 : -1;
  BuildText(row);
  changed = row.Row != old;
  row.Changed = changed;
  if (error != 0) return ErrorClassOf(error);
  return in_use ? 0 : 1;
}

int BrowseList::BuildRowFor(RowRec& rr) {
  rr.Status = -1;
  if (!usable_) return rr.Status;
  bool in_use = false;
  int error = source_->Read(rr.Ref, buffer_.data(), in_use);
  rr.Status = error == 0 && in_use ? 0 : -1;
  return rr.Status;
}

}  // namespace tallybook::store
