// BrowseList: one screen page of a file block's records, in key order or in
// record-number order, fetched around the current position without loading
// the file.
//
// A browse list is bound to one file block, one key number (1..K; 0 walks
// the records in use in record-number order, with empty keys), the caller's
// record buffer (exactly the file's record length; every row's record is
// read into it), an optional key range, a number of row slots (the most rows
// a page can have) and the number of text lines per row.
//
// The owner turns records into text through OnBuildRow and, while
// FilterEnabled is set, chooses the rows to show through OnPerformFilter.
// Every move works on the page alone: it steps from the first or last row
// (or from one looked-up entry), so its cost does not grow with the file.
//
// Failures: a step, look-up or record re-read that finds the file "not
// available just now" (error class 2) is retried after 30 ms, 33 attempts
// in all. A failure that remains, and any error of class 3 or 4, stops the
// operation with the page left as it was; LastOK() turns false and
// OnError receives "Class %d error.  Isam Error %d". Class 1 (not found,
// end of data) just ends the walk.
//
// Re-entry: while an operation runs (its handlers are being called), the
// moves and positioning calls do nothing; BuildRowFor and the queries work.
#ifndef TALLYBOOK_STORE_BROWSE_LIST_H_
#define TALLYBOOK_STORE_BROWSE_LIST_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "store/browse_source.h"
#include "store/engine.h"

namespace tallybook::store {

inline constexpr int kThumbMax = 63;          // vertical scroll range 0..63
inline constexpr int kRowTextMax = 128;       // characters per row line
inline constexpr int kRetryAttempts = 33;
inline constexpr int kRetryDelayMs = 30;
inline constexpr int kNoListClass = 5;        // RereadCurrentRow without a list
inline constexpr int kNoKeyNumber = 65535;    // CurrentKeyNumber without a list
inline constexpr int32_t kHighestRef = 2147483647;
inline constexpr char kNoBuildRowText[] =
    "You do not have an OnBuildRow event defined";

// A row of the page, as handed to the owner's handlers.
struct RowRec {
  std::string Key;  // key string of the row's entry (empty for key number 0)
  int32_t Ref = 0;  // record number; 0 for an empty row
  int32_t Status = 0;  // 0: record read into the buffer; -1: deleted/unreadable
  bool Changed = false;  // the text differs from what was shown before
  bool Built = false;    // the text is up to date
  std::vector<std::string> Row;  // the row's lines, each up to 128 characters
};

// What the control must redraw after an operation.
enum class BrowseView {
  kNone,       // nothing changed
  kHighlight,  // only the current row moved; rows with Changed set are new
  kScrollUp,   // the rows moved up one row, a new row was built at the bottom
  kScrollDown, // the rows moved down one row, a new row was built at the top
  kPage,       // the page was filled anew
};

class BrowseList {
 public:
  // Over an open file block of engine (both must outlive the list).
  BrowseList(Engine& engine, FileHandle handle, int key_no,
             std::span<uint8_t> record_buffer, std::string low_key,
             std::string high_key, int row_slots = 50, int lines_per_row = 1);
  // Over any source (tests, tools).
  BrowseList(std::unique_ptr<BrowseSource> source, int key_no,
             std::span<uint8_t> record_buffer, std::string low_key,
             std::string high_key, int row_slots = 50, int lines_per_row = 1);
  BrowseList(const BrowseList&) = delete;
  BrowseList& operator=(const BrowseList&) = delete;

  // ---- Events. Each is optional.
  // Fills rr.Row from the record buffer (rr.Status tells whether the record
  // could be read). Its result is not used. Without it every row reads
  // kNoBuildRowText.
  std::function<int(RowRec& rr)> OnBuildRow;
  // While FilterEnabled: sets use_it false to skip the entry. The record is
  // not read for it; call BuildRowFor(rr) to have it in the buffer.
  std::function<void(RowRec& rr, bool& use_it)> OnPerformFilter;
  // While FilterEnabled, every filter decision of a fill: call_state -1 for
  // the first, 0 for later ones, with rejected = !use_it; then one call
  // with 1 and false when the fill ends.
  std::function<void(int call_state, bool rejected)> OnShowFilterWorking;
  // After every operation that moved the current row or changed the page.
  std::function<void()> OnRowChanged;
  // The "Class %d error.  Isam Error %d" text of a failed operation.
  std::function<void(const std::string& text)> OnError;
  // Before and after each page fill.
  std::function<int()> OnPreCompletePage;
  std::function<int()> OnPostCompletePage;

  // Replaces the 30 ms wait between retries (tests pass a no-op).
  void SetSleep(std::function<void(int ms)> sleep) { sleep_ = std::move(sleep); }

  // ---- Configuration.
  // False when the key number is outside 0..K, the buffer is not the file's
  // record length, or there are no row slots; such a list shows nothing.
  bool Usable() const { return usable_; }
  int RowSlots() const { return static_cast<int>(slot_count_); }
  int LinesPerRow() const { return lines_per_row_; }
  const std::string& LowKey() const { return low_; }
  const std::string& HighKey() const { return high_; }
  // True when the key lies within the low and high keys (compared over
  // their lengths; an empty bound does not limit). Record-number order has
  // no range.
  bool InRange(const std::string& key) const;

  bool FilterEnabled() const { return filter_enabled_; }
  // Switching filtering on or off refreshes the page.
  void SetFilterEnabled(bool enabled);

  // Rows the page shows, clamped to 1..RowSlots(). A page that no longer
  // fits loses rows at the far side from the current row; a larger page is
  // filled around the current row.
  BrowseView SetPageRows(int rows);
  int PageRows() const { return page_rows_; }

  // ---- The page.
  int FilledRows() const { return static_cast<int>(rows_.size()); }
  // 1-based screen row of the current row; 0 when the page is empty.
  int CurrentRow() const { return current_; }
  // Screen row 1..FilledRows().
  const RowRec& RowAt(int screen_row) const { return rows_[screen_row - 1]; }

  // ---- Moves. Each returns what changed on screen.
  BrowseView FirstPage();
  BrowseView LastPage();
  BrowseView LineDown();
  BrowseView LineUp();
  BrowseView PageDown();
  BrowseView PageUp();
  // Makes screen row 1..FilledRows() current (a mouse click).
  BrowseView SelectRow(int screen_row);
  // Positions at the entry (key, ref) - or the next one, or else the
  // previous one - with the key first clamped to the range, and fills the
  // page around it. For key number 0 only ref counts.
  BrowseView SetAndUpdate(const std::string& key, int32_t ref);
  // Switches to key number key_no (0..K, else error 10164) and refreshes.
  BrowseView SetKeyNumber(int key_no);
  // Reads and rebuilds the page from the current row; true when any row's
  // text or the current row changed.
  bool Refresh();
  // Thumb position 0 goes to the first entry, 63 to the last, others to the
  // entry whose thumb position is nearest.
  BrowseView JumpToThumb(int pos);
  // A typed character (a Windows-1252 byte, after the owner's key handler):
  // '+' refreshes; a letter, a digit or one of Ä Ö Ü ß ä ö ü positions at
  // the first entry at or after that character. Others do nothing.
  BrowseView TypeChar(uint8_t ch);
  static bool PositionsOnTyping(uint8_t ch);

  // ---- Queries.
  int32_t CurrentRef() const;
  int CurrentKeyNumber() const { return key_no_; }
  std::string CurrentKey() const;
  // Thumb position 0..63 of the current row.
  int ThumbPosition();
  // Thumb position 0..63 of entry.
  int ThumbPositionOf(const BrowseEntry& entry);

  // Reads the current row's record into the buffer again and rebuilds its
  // text; changed tells whether the text differs. Returns 0, else the error
  // class: 1 when there is no current row or its record is deleted,
  // kNoListClass when the list is not usable.
  int RereadCurrentRow(bool& changed);
  // Reads rr.Ref's record into the buffer once and sets rr.Status (0 or
  // -1); returns rr.Status.
  int BuildRowFor(RowRec& rr);

  // ---- Outcome of the last operation.
  bool LastOK() const { return last_error_ == 0; }
  int LastError() const { return last_error_; }
  const std::string& LastErrorText() const { return last_error_text_; }
  static std::string ErrorText(int error_class, int error);

 private:
  class Operation;  // marks an operation under way (busy, filter states)
  struct Page {
    std::vector<RowRec> rows;
    int current = 0;
  };

  void Init(int key_no, std::string low, std::string high, int slots,
            int lines);
  // The source call f, retried while it reports class 2.
  int Retry(const std::function<int()>& f);
  // Records a failure (class 2 after retries, 3 or 4) and tells OnError.
  BrowseView Fail(int error);
  static bool Fatal(int error) { return error != 0 && ErrorClassOf(error) != 1; }

  // Filter decision for an in-range entry; reports to OnShowFilterWorking.
  bool Accepted(const BrowseEntry& entry);
  // Looks up entry (exact, else in direction) and walks on in direction to
  // the first accepted entry. found false at the end or outside the range.
  int Locate(int direction, BrowseEntry& entry, bool& found);
  // Up to max accepted entries beyond from, in walking order.
  int Fetch(int direction, const BrowseEntry& from, int max,
            std::vector<BrowseEntry>& out);
  // Fills a page with the entry at (key, ref) on screen row want_row.
  int FillAround(BrowseEntry entry, int want_row, Page& page);
  // Fills from the start (direction +1) or the end (-1) of the range.
  int FillFromEnd(int direction, Page& page);
  RowRec NewRow(const BrowseEntry& entry) const;
  void BuildRow(RowRec& row);   // reads the record, then BuildText
  void BuildText(RowRec& row);  // OnBuildRow over the buffer as it stands
  // Builds the rows that are not built, marks changed rows, installs the
  // page and fires OnRowChanged when view is not kNone.
  BrowseView Commit(Page page, BrowseView view);
  BrowseView DoFill(int direction);
  BrowseView DoSetAndUpdate(const std::string& key, int32_t ref, int want_row);
  BrowseEntry LowEntry() const;
  BrowseEntry HighEntry() const;
  // The entry that scale position q of the jump scale stands for.
  int ResolveThumb(int32_t q, BrowseEntry& entry);

  std::unique_ptr<BrowseSource> source_;
  int key_no_ = 0;
  std::span<uint8_t> buffer_;
  std::string low_;
  std::string high_;
  size_t slot_count_ = 0;
  int lines_per_row_ = 1;
  bool usable_ = false;
  bool filter_enabled_ = false;
  std::function<void(int)> sleep_;

  int page_rows_ = 1;
  std::vector<RowRec> rows_;
  int current_ = 0;

  bool busy_ = false;
  bool row_changed_ = false;
  int filter_calls_ = 0;
  int last_error_ = 0;
  std::string last_error_text_;
};

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_BROWSE_LIST_H_
