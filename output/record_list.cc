#include "output/record_list.h"

#include <cerrno>
#include <cstring>

#include "company/small_file.h"
#include "company/text.h"
#include "platform/regular_file.h"

namespace tallybook::output {
namespace {

using company::LabelQueueRow;
using company::PadRight;
using company::Trim;

std::string Column(std::string_view text, int width) {
  return PadRight(text.substr(0, static_cast<size_t>(width)), width);
}

// Columns first..first+width-1 (counted from 1) of line, trimmed.
std::string Field(std::string_view line, int first, int width) {
  const size_t start = static_cast<size_t>(first - 1);
  if (start >= line.size()) return {};
  return Trim(line.substr(start, static_cast<size_t>(width)));
}

}  // namespace

std::string RecordListLine(const LabelQueueRow& row) {
  return Column(row.customer_no, kListNumberWidth) + ' ' +
         Column(row.name, kListNameWidth) + ' ' +
         Column(row.mail_code, kListSortCodeWidth) + ' ' +
         Column(row.customer_type, kListTypeWidth);
}

std::optional<std::vector<LabelQueueRow>> ParseRecordList(
    std::string_view text, std::string* error) {
  if (text.find('\0') != std::string_view::npos) {
    if (error) *error = "it is not a record list";
    return std::nullopt;
  }
  std::vector<LabelQueueRow> rows;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = line.substr(0, kListLineLimit);
    if (Trim(line).empty()) continue;
    constexpr int kName = kListNumberWidth + 2;
    constexpr int kSort = kName + kListNameWidth + 1;
    constexpr int kType = kSort + kListSortCodeWidth + 1;
    rows.push_back(LabelQueueRow{Field(line, 1, kListNumberWidth),
                                 Field(line, kName, kListNameWidth),
                                 Field(line, kSort, kListSortCodeWidth),
                                 Field(line, kType, kListTypeWidth)});
  }
  return rows;
}

std::optional<std::vector<LabelQueueRow>> ReadRecordList(
    const std::string& path, std::string* error) {
  std::string text, reason;
  const platform::FileRead read =
      platform::ReadRegularFile(path, kMaxRecordListBytes, &text, &reason);
  if (read == platform::FileRead::kMissing) reason = "it does not exist";
  if (read != platform::FileRead::kOk) {
    if (error) *error = "The record list " + path + " could not be read: " +
                        reason + ".";
    return std::nullopt;
  }
  auto rows = ParseRecordList(text, &reason);
  if (!rows && error) {
    *error = "The record list " + path + " could not be read: " + reason + ".";
  }
  return rows;
}

bool WriteRecordList(const std::string& path,
                     const std::vector<LabelQueueRow>& rows,
                     std::string* error) {
  std::string text;
  text.reserve(rows.size() * (kListLineWidth + 2));
  for (const LabelQueueRow& row : rows) text += RecordListLine(row) + "\r\n";
  if (company::ReplaceFile(path, text)) return true;
  if (error) {
    *error = "The record list " + path + " could not be written: " +
             std::strerror(errno) + ".";
  }
  return false;
}

}  // namespace tallybook::output
