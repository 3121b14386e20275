// Payment terms: the short texts ("Net 30 Days") offered by every terms
// list, kept in one file shared by all companies, and the logic of the
// terms editor window.
//
//   "TLTERMS.DAT" in the data directory, plain text, no header:
//   one term per line, each line ended by CR LF, in the sorted order the
//   list had when it was last saved. A term is at most kTermLength (35)
//   characters, the width of the customer's Terms and the company's
//   DefaultTerms fields.
//
// Reading is lenient about what a text editor may have done to the file:
// lines ended by a bare LF are accepted, empty lines are skipped, a line
// longer than 35 characters is cut to its first 35 (that is all a terms
// field can hold) and the list is sorted again. A file that cannot be a
// list of terms (it holds NUL bytes, or is larger than kMaxTermsFileSize)
// is refused as damaged. Whenever the file gives no terms - missing,
// unreadable, damaged or empty - the user is told why, naming the file, and
// the standard terms (DefaultTerms) are offered instead: a terms list is
// never silently empty.
//
// Writing goes to a temporary file beside "TLTERMS.DAT" that is renamed over
// it only when it was written and flushed completely, so a failed save
// leaves the earlier file as it was. A damaged file that is about to be
// replaced is kept as "TLTERMS.BAD" first, so nothing the user had is lost.
#ifndef TALLYBOOK_COMPANY_TERMS_H_
#define TALLYBOOK_COMPANY_TERMS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "company/app.h"

namespace tallybook::company {

inline constexpr char kTermsFileName[] = "TLTERMS.DAT";
inline constexpr char kDamagedTermsFileName[] = "TLTERMS.BAD";
inline constexpr int kTermLength = 35;
inline constexpr std::size_t kMaxTermsFileSize = 1 << 20;

// ---- texts

inline constexpr char kTermEditCaption[] = "Edit Payment Terms";
inline constexpr char kTermEditHelpTopic[] = "EditTerms";
inline constexpr char kAddTermButtonText[] = "Add";
inline constexpr char kEditTermButtonText[] = "Edit";
inline constexpr char kDeleteTermButtonText[] = "Delete";
inline constexpr char kOkTermButtonText[] = "Ok";
inline constexpr char kCloseTermsButtonText[] = "&Close";
inline constexpr char kAddTermPrompt[] =
    "Enter new payment term and select Ok button...";
inline constexpr char kEditTermPrompt[] =
    "Edit this payment term and select Ok button...";
inline constexpr char kNoTermTextCaption[] = "Invalid Payment Term";
inline constexpr char kNoTermText[] = "You do not have any text entered.";
inline constexpr char kDeleteTermCaption[] = "Delete Payment Term";
inline constexpr char kLastTermText[] = "You must have at least on payment term.";

inline constexpr char kNewTermQuestion[] =
    "This is a new payment term. Would you like to add terms to the terms file?";
inline constexpr char kNewTermCaptionPrefix[] = "Terms: ";

// Caption of the messages about the terms file itself.
inline constexpr char kTermsFileCaption[] = "Payment Terms";

// The terms offered when the file gives none, and the file's initial
// content, in sorted order.
const std::vector<std::string>& DefaultTerms();

// ---- order

// The order of a terms list: without regard to case (Windows-1252 upper
// case); two terms that differ only in case are ordered by their bytes, so
// the order is the same on every load.
bool TermLess(std::string_view a, std::string_view b);
// True when a and b are the same text without regard to case.
bool SameTermIgnoringCase(std::string_view a, std::string_view b);

// A sorted list of terms. Two terms that differ only in case are both kept;
// so are exact repeats, as the list box of the editor keeps them.
class TermList {
 public:
  TermList() = default;
  // The terms, each cut to kTermLength, sorted.
  explicit TermList(std::vector<std::string> terms);

  // Inserts term (cut to kTermLength) at its sorted place; returns its index.
  int Add(std::string term);
  // Replaces the term at index with term, which moves to its sorted place;
  // returns the new index, or -1 (nothing changed) when index is out of range.
  int Replace(int index, std::string term);
  // Removes the term at index; false (nothing changed) when out of range.
  bool Remove(int index);

  // True when a term equals text without regard to case.
  bool ContainsIgnoringCase(std::string_view text) const;

  int size() const { return static_cast<int>(terms_.size()); }
  bool empty() const { return terms_.empty(); }
  const std::string& at(int index) const { return terms_.at(index); }
  const std::vector<std::string>& terms() const { return terms_; }

 private:
  std::vector<std::string> terms_;
};

// ---- the file

// What reading "TLTERMS.DAT" gave.
struct TermsFile {
  enum class State {
    kLoaded,      // terms holds the file's terms
    kMissing,     // no such file
    kUnreadable,  // it exists but could not be opened or read
    kDamaged,     // it is not a list of terms (NUL bytes, far too large)
    kEmpty,       // it holds no terms
  };
  State state = State::kMissing;
  std::vector<std::string> terms;  // as read, each cut to kTermLength
  int cut_count = 0;               // lines that were longer than kTermLength
  std::string message;             // unless kLoaded: why, naming the file
};

// Reads the terms file at path. Never fails harder than its State.
TermsFile ReadTermsFile(const std::string& path);

// The file's bytes for list: every term followed by CR LF.
std::string TermsFileText(const TermList& list);

// Writes list to path through a temporary file renamed into place. An
// existing file at path that ReadTermsFile finds damaged is renamed to
// "TLTERMS.BAD" beside it first. On failure returns false, sets *error to a
// message naming the file and the reason, and the file at path is as it was.
bool WriteTermsFile(const std::string& path, const TermList& list,
                    std::string* error);

// ---- the program's use of the file

// Replaces the items of list with the terms of the app's "TLTERMS.DAT".
// When the file gives no terms, shows the reason (a warning captioned
// "Payment Terms") and fills list with DefaultTerms. Returns the file's state.
TermsFile::State LoadTerms(App& app, TermList* list);

// Saves list to the app's "TLTERMS.DAT". On failure shows the reason (an
// error captioned "Payment Terms") and returns false; the file is unchanged.
bool SaveTerms(App& app, const TermList& list);

// What the invoice editor does with a terms text typed into an invoice.
enum class NewTermChoice {
  kNotAsked,   // the text is empty or already listed (case aside): save on
  kAdded,      // Yes: added to the list and the list saved; save the invoice
  kNotAdded,   // No: save the invoice without adding the text
  kCancelled,  // Cancel: back to the terms field, nothing saved
};

// When text (trimmed) is not in list, asks "This is a new payment term.
// Would you like to add terms to the terms file?" (caption "Terms: " + text,
// Yes/No/Cancel). On Yes the text (cut to kTermLength) is added to list and
// the whole list saved to "TLTERMS.DAT"; a failed save is shown to the user
// (SaveTerms) and the term stays in list, so the answer is still kAdded.
NewTermChoice AddTermFromInvoice(App& app, TermList* list, const std::string& text);

// ---- the terms editor

// The state of the terms editor window ("Edit Payment Terms") and the rules
// of its buttons. The window shows this state after every event: the list,
// the selected row, the edit field's text and whether it and "Ok" are
// enabled, the prompt line, and whether the field wants the focus.
//
// Mode "A" is a pending add, "E" a pending edit of the row that was
// selected when "Edit" was pressed, "" none.
class TermEditor {
 public:
  explicit TermEditor(App& app) : app_(app) {}

  // Loads the list (LoadTerms), clears and disables the field and "Ok",
  // selects the first term.
  void Show();
  // Starts an add: prompt kAddTermPrompt, mode "A", field cleared, enabled
  // and focused, "Ok" enabled.
  void AddClick();
  // Starts an edit of the selected term: prompt kEditTermPrompt, mode "E",
  // the field holds the term and is enabled, "Ok" enabled. Does nothing
  // when no term is selected.
  void EditClick();
  // Finishes the add or edit with field_text (trimmed, cut to kTermLength).
  // An empty text shows kNoTermText and returns false; the field stays as it
  // is and wants the focus. Otherwise mode "A" adds the text at its sorted
  // place and mode "E" replaces the edited term; then the field is cleared
  // and disabled, the prompt cleared, "Ok" disabled, the first term
  // selected, and true returned.
  bool OkClick(const std::string& field_text);
  // The user changed the field's text (only while it is enabled).
  void FieldEdited(const std::string& text) {
    if (field_enabled_) field_text_ = text;
  }
  // The user clicked row index: it becomes the selection and a pending add
  // or edit is given up.
  void ListClick(int index);
  // Removes the selected term and selects the first; a pending add or edit
  // is given up, since its row may be the one removed. With one term left,
  // shows kLastTermText and returns false (nothing removed). False as well,
  // silently, when no term is selected.
  bool DeleteClick();
  // Saves the list and returns true: the window may close. When the save
  // fails, asks whether to close without saving (No the default) and returns
  // the answer. When the file could not be loaded (unreadable or damaged)
  // and nothing was changed, nothing is written, so the file is left for
  // the user to mend.
  bool CloseClick();

  const TermList& list() const { return list_; }
  int selected() const { return selected_; }
  const std::string& field_text() const { return field_text_; }
  bool field_enabled() const { return field_enabled_; }
  bool ok_enabled() const { return ok_enabled_; }
  bool field_wants_focus() const { return field_wants_focus_; }
  const std::string& prompt() const { return prompt_; }
  const std::string& mode() const { return mode_; }
  // True once the list was changed since Show().
  bool modified() const { return modified_; }

 private:
  // Field cleared and disabled, "Ok" disabled, prompt and mode cleared.
  void EndPending();
  void SelectFirst() { selected_ = list_.empty() ? -1 : 0; }

  App& app_;
  TermList list_;
  TermsFile::State load_state_ = TermsFile::State::kMissing;
  int selected_ = -1;
  int edit_index_ = -1;
  std::string field_text_;
  bool field_enabled_ = false;
  bool ok_enabled_ = false;
  bool field_wants_focus_ = false;
  std::string prompt_;
  std::string mode_;
  bool modified_ = false;
};

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_TERMS_H_
