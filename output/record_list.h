// Record lists (".LST"): the label print queue saved to a text file and
// loaded back by the label wizard, form letters and tallybook-admin.
//
// One line per queue entry, in queue order, each of four fixed columns
// with one blank between them:
//
//   COLUMNS  WIDTH  FIELD
//   1-8      8      customer number, left-justified
//   10-44    35     customer name, left-justified
//   46-60    15     mailing-list sort code, left-justified
//   62-86    25     customer type, left-justified
//
// A written line is exactly 86 characters and ends in CR LF. On reading,
// a line may end in CR LF or LF; it is cut at 90 characters, each field is
// taken from its columns (a short line gives empty fields) and trimmed.
// Blank lines are skipped.
#ifndef TALLYBOOK_OUTPUT_RECORD_LIST_H_
#define TALLYBOOK_OUTPUT_RECORD_LIST_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "company/app.h"

namespace tallybook::output {

inline constexpr int kListNumberWidth = 8;
inline constexpr int kListNameWidth = 35;
inline constexpr int kListSortCodeWidth = 15;
inline constexpr int kListTypeWidth = 25;
// The length of a written line, and where a read line is cut.
inline constexpr int kListLineWidth = 86;
inline constexpr int kListLineLimit = 90;
// A list far larger than any customer file would give is not read.
inline constexpr size_t kMaxRecordListBytes = 64u << 20;

// One queue row as a list line (without its line end). A field longer than
// its column is cut, so that the columns after it stay where a reader
// looks for them.
std::string RecordListLine(const company::LabelQueueRow& row);

// The rows of a list file's text. Nullopt and *error when the text is not a
// record list (it holds NUL bytes, as a binary file would).
std::optional<std::vector<company::LabelQueueRow>> ParseRecordList(
    std::string_view text, std::string* error);

// Reads a saved record list: the queue rows in file order; nullopt and
// *error on failure.
std::optional<std::vector<company::LabelQueueRow>> ReadRecordList(
    const std::string& path, std::string* error);

// Writes rows as a record list (through a side file); false and *error on
// failure.
bool WriteRecordList(const std::string& path,
                     const std::vector<company::LabelQueueRow>& rows,
                     std::string* error);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_RECORD_LIST_H_
