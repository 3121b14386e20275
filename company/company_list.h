// The "Company List" text file: every company of the company list file in
// number or name order, written to "TXTTEMP.TXT" for the text list window.
//
//   Tallybook Company List
//   Date: Wednesday, April 3, 2024, 02:05 PM
//   <name>    Number: <number>    A/R: <balance ",0.00">
//   ...
// Lines end with CR LF. Names and numbers are written as stored, trimmed.
#ifndef TALLYBOOK_COMPANY_COMPANY_LIST_H_
#define TALLYBOOK_COMPANY_COMPANY_LIST_H_

#include <string>

#include "platform/clock.h"
#include "store/engine.h"

namespace tallybook::company {

// The file every text list is written to and shown from.
inline constexpr char kTextListFileName[] = "TXTTEMP.TXT";

inline constexpr char kCompanyListTitle[] = "Tallybook Company List";
inline constexpr char kCompanyListDatePrefix[] = "Date: ";
inline constexpr char kCompanyListNumberLabel[] = "    Number: ";
inline constexpr char kCompanyListBalanceLabel[] = "    A/R: ";

// The text of the list: the companies of the open company list file
// `handle`, in the order of key key_no (1 number, 2 name), dated `now`.
// Returns false (text holds what was read so far) when a key step or a
// record read fails with anything but the end of the index; the engine's
// status then tells why.
bool BuildCompanyListText(store::Engine& engine, store::FileHandle handle,
                          int key_no, const platform::DateTime& now,
                          std::string& text);

// Writes `text` to `path`, replacing the file. True when it was written and
// closed; on failure the partial file is removed.
bool WriteTextFile(const std::string& path, const std::string& text);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_COMPANY_LIST_H_
