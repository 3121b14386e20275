// Start-up, company change and exit of the program, without the windows:
// what the main window's creation step, its first showing, a change of the
// current company and closing the main window do to the App and tell the
// user. The main window applies the CompanyDisplay these return.
//
//   "LastCo.Dat", no header:
//   OFFSET WIDTH  MEANING
//   0      2736   the company record (company_record.h) of the company that
//                 was current when the user last chose one
//
// The record in "LastCo.Dat" only names the company: its options are read
// again from the company list by key 1, so that they are the stored ones.
#ifndef TALLYBOOK_COMPANY_STARTUP_H_
#define TALLYBOOK_COMPANY_STARTUP_H_

#include <functional>
#include <string>
#include <string_view>

#include "company/app.h"
#include "company/password.h"
#include "company/records.h"
#include "platform/font.h"

namespace tallybook::company {

inline constexpr char kLastCompanyFileName[] = "LastCo.Dat";
inline constexpr int kLastCompanyRecordSize = 2736;
static_assert(sizeof(CompanyRecord) == kLastCompanyRecordSize);

inline constexpr char kMissingDataFiles[] =
    "I do not find the billing data files. The data files must be in the "
    "same directory as the billing program.";
inline constexpr char kComputerDateText[] =
    "The date on your computer appears to be incorrect. This will effect "
    "program calculations. Please verify your computer is using the correct "
    "date.";
inline constexpr char kComputerDateCaption[] = "Computer Date";
inline constexpr char kPleaseSetupCompany[] = "Please Setup Your Company.";
inline constexpr char kNumberPrefix[] = "     Number: ";
inline constexpr char kBitmapMissing[] =
    "Background bitmap image no longer exists. Unable to load background "
    "picture.";
inline constexpr char kLabelQueueQuestion[] =
    "You have labels in the print queue that you have not printed or saved "
    "to a file. Exit anyway?";
// Dates before this one mean the computer's clock is wrong.
inline constexpr Date kEarliestPlausibleToday{1995, 1, 1};

// ---- "LastCo.Dat"

enum class LastCompanyRead {
  kOk,
  kMissing,  // no such file
  kDamaged,  // shorter than a record, or unreadable
};

// Reads the record of "LastCo.Dat" at path into *record; *record is
// untouched unless the result is kOk.
LastCompanyRead ReadLastCompany(const std::string& path, CompanyRecord* record);

// Writes record as the whole of the file at path. The record goes to a
// file beside it that is then renamed over, so a failed write leaves the
// earlier file in place. True on success.
bool WriteLastCompany(const std::string& path, const CompanyRecord& record);

// The text telling that "LastCo.Dat" at path cannot be used.
std::string DamagedLastCompanyText(const std::string& path);
// The text telling that "LastCo.Dat" at path could not be written.
std::string UnwritableLastCompanyText(const std::string& path);

// ---- What the main window shows of the current company

struct CompanyDisplay {
  // The company name label: the name, a line break, kNumberPrefix and the
  // number; or kPleaseSetupCompany.
  std::string name_label;
  // Whether name_label is shown in editor_font (the company's editor font);
  // the set-up request is shown in the window's own font.
  bool use_editor_font = false;
  platform::Font editor_font;
  // Whether the background bitmap is tiled, and the file it is read from.
  bool bitmap_on = false;
  std::string bitmap_path;
  // The default output radio.
  OutputMode output_mode = OutputMode::kPrinter;
};

// The editor font of a company record.
platform::Font EditorFontOf(const CompanyRecord& record);

// The output the company chooses by default: e-mail when DefaultToEMail is
// "Y", else the printer.
OutputMode DefaultOutputOf(const CompanyRecord& record);

// The display of app.CurrentCompany. A trimmed name shorter than 2
// characters becomes kPleaseSetupCompany in memory and the bitmap is off.
// Otherwise, while MainBitmapOn is set and MainBitmapFile is longer than
// one character, the file (relative names are in the data directory) must
// exist: the program's own picture (background.h) is put back when it is
// the one missing; any other missing file clears MainBitmapOn in memory and
// shows kBitmapMissing. No record is written.
CompanyDisplay PrepareCompanyDisplay(App& app);

// The full path of a bitmap file named by a company record.
std::string BitmapPathOf(const App& app, std::string_view file_name);

// ---- The company list

// Reads the company numbered company_no from the company list (by key 1)
// into *record. False, *record untouched, when the list cannot be opened or
// holds no such company. Leaves the list closed.
bool ReadCompanyFromList(App& app, std::string_view company_no,
                         CompanyRecord* record);

// ---- Start-up

enum class StartupOutcome {
  kReady,      // a current company is loaded
  // The record store did not start, or the company of "LastCo.Dat" has a
  // number that names no files (InvalidCompanyNoText was shown): the window
  // opens without a current company.
  kNoCompany,
  kEnd,        // the program ends (a message has told why)
};

struct StartupResult {
  StartupOutcome outcome = StartupOutcome::kEnd;
  CompanyDisplay display;
  // Tool button hints on or off, from ShowButtonHints.
  bool show_hints = true;
};

// The main window's creation step: requires "LastCo.Dat" (kMissingDataFiles
// and kEnd when absent; a message naming the file and kEnd when it is
// damaged), clears the label-queue flag, starts the record store with
// kPageBuffers (kNoCompany when that fails), makes the company of
// "LastCo.Dat" current (re-read from the company list; the copy in
// "LastCo.Dat" stays when the list has no such company), warns when today
// is before 01/01/1995, sets the short date format from DateOrder, prepares
// the display and sets TodayText.
StartupResult MainWindowCreation(App& app);

// Runs the aging calculation (company::RunAgingIfDue in the program).
using AgingRunner = std::function<void(App&)>;
// The runner the program uses.
AgingRunner DefaultAgingRunner();

// True when the current company's trimmed LastAgingDate differs from
// TodayText: aging runs once a day. Never without a current company (its
// number refused by IsValidCompanyNo).
bool AgingDue(const App& app);
// Calls run when AgingDue.
void RunAgingWhenDue(App& app, const AgingRunner& run);

// The main window's first showing: the password check (false: the program
// ends), the default output from DefaultToEMail, then aging when due.
bool MainWindowShown(App& app, const PasswordPrompt& prompt,
                     const AgingRunner& run_aging);

// ---- Company change

// Makes chosen the current company after the company manager closed with
// OK. With reload_current, the options of the company that was current were
// changed, and that company is read again from the company list instead
// (its stored record wins over chosen). "LastCo.Dat" is rewritten, the short
// date format follows DateOrder, TodayText is refreshed, the default output
// is set and *display prepared. Aging is left to the caller, which runs it
// (RunAgingWhenDue) after applying the display. False, after a message,
// when "LastCo.Dat" could not be written; the company is current all the
// same. A chosen company whose number IsValidCompanyNo refuses is not made
// current (InvalidCompanyNoText, false, *display that of the company kept).
bool ChangeCompany(App& app, const CompanyRecord& chosen, bool reload_current,
                   CompanyDisplay* display);

// ---- Exit

// Asks kLabelQueueQuestion when labels wait in the print queue. False when
// the user answered No: the program keeps running.
bool ConfirmExit(App& app);

// The rest of the exit: the backup (when BackupPromptOnExit is "Y" and a
// backup is given), the record store shut down, the help window closed.
void ShutDown(App& app, const std::function<void()>& backup);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_STARTUP_H_
