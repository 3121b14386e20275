// What the customer and product managers share: reading live records by key
// order, the opening of their files, and the road of a text list through
// "TXTTEMP.TXT" into the text list window.
#ifndef TALLYBOOK_BILLING_CUSTOMER_PRODUCT_SUPPORT_H_
#define TALLYBOOK_BILLING_CUSTOMER_PRODUCT_SUPPORT_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "company/app.h"
#include "company/company_manager.h"
#include "company/data_access.h"
#include "platform/message.h"
#include "store/engine.h"

namespace tallybook::billing {

using company::CompanyRecord;
using company::CustomerRecord;
using company::ProductRecord;
using company::TransactionRecord;

// Told when a manager's file cannot be opened even after its creation or
// rebuild; the program then ends.
inline constexpr char kUnableToOpenDatabase[] = "Unable to open database";
// The progress line while a list is written.
inline constexpr char kPreparingList[] = "Preparing list...";
// Told when "TXTTEMP.TXT" cannot be written; the path follows.
inline constexpr char kUnableToWriteListFile[] =
    "Unable to write the list file ";
// Every list line is cut to this many characters.
inline constexpr int kListLineWidth = 85;
// The rule between the entries of a list.
inline constexpr int kListRuleWidth = 80;
// A row whose record cannot be read shows this before its key.
inline constexpr char kUnreadableRowPrefix[] = "****  ";
// The main window's hints while a chooser waits and after.
inline constexpr char kSelectHint[] = "Double-click or press <enter> to select.";
inline constexpr char kIdleHint[] = "Right-click mouse or select from menu bar.";
// Row width of the managers' browsers.
inline constexpr int kManagerRowWidth = 128;

// What a dialog check found: the field to focus (Field's kNone when all is
// well) and the message that tells the user.
template <class Field>
struct FormProblem {
  Field field{};
  platform::MessageKind kind = platform::MessageKind::kInformation;
  std::string caption;
  std::string text;
};

// Shows the problem's message (an OK box) and returns its field.
template <class Field>
Field ShowProblem(platform::Messages& messages, const FormProblem<Field>& p) {
  if (p.field != Field{}) {
    platform::Message message;
    message.kind = p.kind;
    message.caption = p.caption;
    message.text = p.text;
    messages.Show(message);
  }
  return p.field;
}

// Reads record rec_no of the open file into record. False when it cannot be
// read or carries a delete mark.
template <class R>
bool ReadLiveRecord(store::Engine& engine, store::FileHandle handle,
                    int32_t rec_no, R& record) {
  if (rec_no <= 0 || !engine.GetRecord(handle, rec_no, &record)) return false;
  return record.DeleteMark == 0;
}

// Calls visit for every live record of the open file in the order of key
// key_no. False when a key step or a read failed with anything but the end
// of the index (the engine's status tells why).
template <class R>
bool ForEachByKey(store::Engine& engine, store::FileHandle handle, int key_no,
                  const std::function<void(const R&)>& visit) {
  if (!engine.ResetKeyPosition(handle, key_no)) return false;
  int32_t ref = 0;
  std::string key;
  R record;
  while (engine.NextKey(handle, key_no, ref, key)) {
    if (!engine.GetRecord(handle, ref, &record)) return false;
    // An index entry whose record was deleted lists nothing.
    if (record.DeleteMark != 0) continue;
    visit(record);
  }
  return engine.ErrorClass() == 1;
}

// Opens a manager's file through the data-access layer; on failure tells
// kUnableToOpenDatabase (an error captioned caption) and returns false.
bool OpenManagerFile(company::App& app, company::CompanyFileAccess& file,
                     const std::string& caption);

// Entries of key key_no of a manager's file; 0 when it is not open.
int CountOpenEntries(company::CompanyFileAccess& file, int key_no);
// Reads live record rec_no of a manager's file; false when the file is not
// open, the record cannot be read or carries a delete mark.
template <class R>
bool ReadOpenRecord(company::CompanyFileAccess& file, int32_t rec_no,
                    R& record) {
  return file.IsOpen() &&
         ReadLiveRecord(file.engine(), file.handle(), rec_no, record);
}

// Appends one list line: text cut to kListLineWidth, then CR LF.
void AppendListLine(std::string& text, std::string_view line);
// Appends the rule line of kListRuleWidth "-".
void AppendListRule(std::string& text);
// The three lines over a list: title_prefix + company name (that line cut
// to title_width), "Date: " + now in the long form, and the rule.
std::string ListHeading(const std::string& title_prefix,
                        company::App& app, int title_width);

// Shows the progress window (caption, kPreparingList) while build fills the
// list text, writes it to "TXTTEMP.TXT", hides the progress window, shows
// the file through show_list with the title and list name, and deletes the
// file. False, after a message, when building or writing failed.
bool ShowTextList(company::App& app, const std::string& caption,
                  const std::function<bool(std::string&)>& build,
                  const std::string& title, const std::string& list_name,
                  const company::ListWindowRunner& show_list);

// True when haystack contains needle without regard to case (Windows-1252
// upper case); the empty needle is in every text.
bool ContainsIgnoringCase(std::string_view haystack, std::string_view needle);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_CUSTOMER_PRODUCT_SUPPORT_H_
