#include "billing/saved_lines.h"

#include <vector>

#include "company/company_list.h"
#include "company/text.h"
#include "platform/message.h"
#include "platform/regular_file.h"

namespace tallybook::billing {

using company::PadRight;
using company::Trim;

namespace {

constexpr size_t kSavedLineLimit = 85;
constexpr char kLineEnd[] = "\r\n";

std::string Cut(std::string text, size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

std::string NotesLine(const InvoiceForm& form) {
  return PadRight(form.notes, 60) + PadRight(form.statement_note, 25) +
         form.key_code;
}

// Columns from..to (1-based, inclusive) of line, fewer when it is short.
std::string Cols(std::string_view line, size_t from, size_t to) {
  return TextColumns(line, from, to - from + 1);
}

InvoiceLine RowFromLine(std::string_view line) {
  InvoiceLine row;
  row.product = Trim(Cols(line, 4, 13));
  row.quantity = Trim(Cols(line, 15, 24));
  row.description = Trim(Cols(line, 26, 57));
  row.unit_price = Trim(Cols(line, 59, 68));
  row.flag = Cols(line, 70, 70);
  row.extension = Trim(Cols(line, 72, 83));
  return row;
}

void NotesFromLine(std::string_view line, InvoiceForm& form) {
  form.notes = Trim(Cols(line, 1, 60));
  form.statement_note = Trim(Cols(line, 61, 85));
  form.key_code = Trim(Cols(line, 86, 93));
}

// The lines of a file's text, without their line ends.
std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines = MemoLines(text);
  if (text.empty()) lines.clear();
  return lines;
}

const char* FileNameFor(const InvoiceForm& form) {
  return form.kind == InvoiceKind::kMemo ? kSavedMemoFileName
                                         : kSavedLinesFileName;
}

}  // namespace

std::string SavedRowLine(std::string_view number, const InvoiceLine& row) {
  // An empty flag still takes its column, so that the extension stays where
  // loading looks for it.
  const std::string flag = PadRight(row.flag.substr(0, 1), 1);
  return Cut(PadRight(number, 2) + " " + PadRight(row.product, 10) + " " +
                 PadRight(row.quantity, 10) + " " +
                 PadRight(row.description, 32) + " " +
                 PadRight(row.unit_price, 10) + " " + flag + " " +
                 PadRight(row.extension, 12),
             kSavedLineLimit);
}

std::string SavedLinesText(const InvoiceForm& form) {
  std::string text;
  for (int n = 1; n <= kGridLines; ++n) {
    text += SavedRowLine(std::to_string(n), form.lines[n - 1]) + kLineEnd;
  }
  text += SavedRowLine("", InvoiceLine{}) + kLineEnd;
  text += NotesLine(form) + kLineEnd;
  return text;
}

std::string SavedMemoText(const InvoiceForm& form) {
  const std::vector<std::string> body = MemoLines(form.memo);
  std::string text;
  for (size_t i = 0; i < 26; ++i) {
    text += (i < body.size() ? body[i] : std::string()) + kLineEnd;
  }
  text += NotesLine(form) + kLineEnd;
  // Row 1 carries the memo's own description and quantity, which loading
  // gives back to them.
  InvoiceLine row = form.lines[0];
  row.description = form.memo_description;
  row.quantity = form.memo_quantity;
  text += SavedRowLine("1", row) + kLineEnd;
  return text;
}

bool ApplySavedLines(std::string_view text, InvoiceForm& form) {
  const std::vector<std::string> lines = TextLines(text);
  const int rows = std::min<int>(kGridLines, static_cast<int>(lines.size()));
  for (int i = 0; i < rows; ++i) form.lines[i] = RowFromLine(lines[i]);
  if (static_cast<int>(lines.size()) < kSavedLinesLineCount) return false;
  NotesFromLine(lines[kSavedLinesLineCount - 1], form);
  return true;
}

bool ApplySavedMemo(std::string_view text, InvoiceForm& form,
                    const company::CompanyRecord& company) {
  const std::vector<std::string> lines = TextLines(text);
  ResetGrid(form, company);
  form.memo.clear();
  const int body = std::min<int>(25, static_cast<int>(lines.size()));
  for (int i = 0; i < body; ++i) {
    if (i > 0) form.memo += '\n';
    form.memo += Trim(Cut(lines[i], kSavedLineLimit));
  }
  if (static_cast<int>(lines.size()) < kSavedMemoLineCount) return false;
  NotesFromLine(lines[26], form);
  form.lines[0] = RowFromLine(lines[27]);
  form.memo_description = form.lines[0].description;
  form.memo_quantity = form.lines[0].quantity;
  return true;
}

std::string SavedFileShortText(const std::string& name, int lines,
                               int needed) {
  return "The file " + name + " is incomplete: it holds " +
         std::to_string(lines) + " of its " + std::to_string(needed) +
         " lines. The lines it holds were loaded.";
}

std::string SavedFileUnwritableText(const std::string& name) {
  return "The file " + name + " could not be written.";
}

bool SaveInvoiceLines(company::App& app, const InvoiceForm& form) {
  const std::string name = FileNameFor(form);
  const std::string text = form.kind == InvoiceKind::kMemo
                               ? SavedMemoText(form)
                               : SavedLinesText(form);
  platform::Messages& messages = app.services().messages;
  if (!company::WriteTextFile(app.PathOf(name), text)) {
    platform::ShowError(messages, kSavedLinesCaption,
                        SavedFileUnwritableText(app.PathOf(name)));
    return false;
  }
  platform::Inform(messages, kSavedLinesCaption, kSavedLinesReplaced);
  return true;
}

bool LoadInvoiceLines(company::App& app, InvoiceForm& form) {
  const bool memo = form.kind == InvoiceKind::kMemo;
  const std::string name = FileNameFor(form);
  const char* caption = memo ? kLoadSavedMemoCaption : kLoadSavedLinesCaption;
  platform::Messages& messages = app.services().messages;
  const std::string path = app.PathOf(name);
  // Far more than the lines of one invoice.
  constexpr size_t kMaxBytes = 1 << 20;
  std::string text, reason;
  switch (platform::ReadRegularFile(path, kMaxBytes, &text, &reason)) {
    case platform::FileRead::kOk:
      break;
    case platform::FileRead::kMissing:
      platform::Inform(messages, caption, memo ? kNoSavedMemo : kNoSavedLines);
      return false;
    default:
      platform::ShowError(messages, caption, "The file " + path +
                                                 " could not be read: " +
                                                 reason + ".");
      return false;
  }
  const bool complete = memo ? ApplySavedMemo(text, form, app.CurrentCompany)
                             : ApplySavedLines(text, form);
  if (!complete) {
    platform::Warn(messages, caption,
                   SavedFileShortText(
                       path, static_cast<int>(TextLines(text).size()),
                       memo ? kSavedMemoLineCount : kSavedLinesLineCount));
  }
  return true;
}

}  // namespace tallybook::billing
