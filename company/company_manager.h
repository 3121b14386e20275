// CompanyManager: what the company manager window does, without the window.
//
// One object lives while the manager window is open. It holds the company
// list file open (through the data-access layer), adds, edits and deletes
// companies, remembers the company the user set as default and whether the
// current company's options were changed, and writes the company list
// text. The window shows the list, turns commands into these calls and
// repositions its browser on the record numbers they return; the options
// dialog, the password dialog and the text list window are handed in as
// functions so tests script them.
//
// When the window closes, DecideCompanyChange tells the caller which
// company becomes current (see there).
#ifndef TALLYBOOK_COMPANY_COMPANY_MANAGER_H_
#define TALLYBOOK_COMPANY_COMPANY_MANAGER_H_

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "company/app.h"
#include "company/company_files.h"
#include "company/data_access.h"
#include "company/password.h"
#include "company/records.h"

namespace tallybook::company {

inline constexpr char kCompanyManagerCaption[] = "Company Manager";
inline constexpr char kUnableToOpenCompanies[] =
    "Unable to open company database";
inline constexpr char kModifyCompanyFailed[] = "Modify Company failed";
inline constexpr char kDeleteCompanyCaption[] = "Delete Company";
inline constexpr char kDeleteCurrentRefused[] =
    "You are trying to delete the current default company. You need to have "
    "another company open to delete this one.";
inline constexpr char kPleaseConfirmCaption[] = "Please Confirm";
inline constexpr char kDeleteCompanyQuestion[] =
    "If you delete this company, all invoices and payments will also be "
    "removed. ALL company data will be deleted! Data for other companies "
    "will NOT be removed. Continue?";
inline constexpr char kUnableToDeleteFiles[] =
    "The company was removed from the list, but these files could not be "
    "deleted:";
inline constexpr char kCompanyListCaption[] = "Company List";
inline constexpr char kCompanyListQuestion[] =
    "The companies will be sorted by name. Would you rather sort by company "
    "number?";
inline constexpr char kPreparingList[] = "Preparing list...";
inline constexpr char kCompanyListByNumber[] = "Company List by Number";
inline constexpr char kCompanyListByName[] = "Company List by Name";
// The list name of the company list is company_files.h's kCompanyListName.
inline constexpr char kUnableToWriteList[] =
    "Unable to write the company list file ";
inline constexpr char kFindCompanyCaption[] = "Find Company";
inline constexpr char kCompaniesStatusPrefix[] = "Companies: ";

// Key numbers of the company list file.
inline constexpr int kCompanyNoKey = 1;
inline constexpr int kCompanyNameKey = 2;

// Endings of the ten files a company owns, removed when it is deleted.
inline constexpr std::array<const char*, 10> kCompanyFileEndings = {
    "P.DAT", "P.IX", "C.DAT", "C.IX", "D.DAT",
    "D.IX",  "I.DAT", "I.IX", "M.DAT", "M.IX"};

// The ten file names of company company_no: trimmed number + ending.
std::vector<std::string> CompanyFileNames(std::string_view company_no);

// Removes the ten files of the company from data_dir. A missing file is no
// error; the names of files that exist but could not be removed are
// returned (empty when all went). A number that IsValidCompanyNo refuses
// names no files: nothing is removed.
std::vector<std::string> DeleteCompanyFiles(const std::string& data_dir,
                                            std::string_view company_no);

// A row of the manager's list: name padded to 35, a blank, number padded to
// 6, a blank, the balance ",0.00" right-aligned in 12.
std::string CompanyRow(const CompanyRecord& record);
// The header over those columns.
std::string CompanyListHeader();
// "Companies: " and the count.
std::string CompaniesStatusText(int count);

// Whether the options dialog edits a new or an existing company.
enum class OptionsMode { kNew, kEdit };

// Shows the options dialog over record (captioned "New Company" or "Edit
// Company"); true when the user saved, record then holding what was saved.
using OptionsDialogRunner =
    std::function<bool(CompanyRecord& record, OptionsMode mode)>;

// Shows the text list window over the file at path with the caption and
// list name given.
using ListWindowRunner =
    std::function<void(const std::string& path, const std::string& caption,
                       const std::string& list_name)>;

enum class EditResult {
  kCancelled,     // refused password, unreadable record, or dialog closed
  kSaved,         // another company was changed
  kSavedCurrent,  // the current company was changed: close with OK
  kFailed,        // the store refused; kModifyCompanyFailed was shown
};

class CompanyManager {
 public:
  explicit CompanyManager(App& app);
  CompanyManager(const CompanyManager&) = delete;
  CompanyManager& operator=(const CompanyManager&) = delete;

  // Opens the company list file. On failure shows kUnableToOpenCompanies
  // (the program then ends) and returns false.
  bool Open();
  void Close() { list_.Close(); }
  bool IsOpen() const { return list_.IsOpen(); }
  CompanyListAccess& list() { return list_; }

  // Number of companies (entries of key 1).
  int CompanyCount();
  // Key 1 of the current company, to position the list on it.
  std::string CurrentCompanyKey() const;
  // Record number of the company numbered `number` (as typed), 0 when the
  // list has none.
  int32_t FindCompany(const std::string& number);
  bool NumberExists(const std::string& number) { return FindCompany(number) != 0; }

  // "&Add": the new company's record (NewCompanyRecord) through the options
  // dialog, then added with its keys. Its record number, or nullopt when
  // the dialog was cancelled or the add failed (after kAddFailed).
  std::optional<int32_t> AddCompany(const OptionsDialogRunner& dialog);

  // "&Edit": the password check, then the record through the options
  // dialog (number disabled), then the guarded modify.
  EditResult EditCompany(int32_t rec_no, const PasswordPrompt& prompt,
                         const OptionsDialogRunner& dialog);

  // "&Delete": the password check, the refusal for the current company,
  // the confirmation, the record with its keys, then the ten files. True
  // when the company was deleted.
  bool DeleteCompany(int32_t rec_no, const PasswordPrompt& prompt);

  // "&Set As Default": remembers the record as the user's choice. False
  // when it cannot be read, or (after InvalidCompanyNoText) when its number
  // is no company number.
  bool SetAsDefault(int32_t rec_no);

  // "Company &List": asks the order, writes "TXTTEMP.TXT" with the
  // progress window up, shows it through show_list and deletes it after.
  // False when cancelled or the file could not be written (after a
  // message).
  bool CompanyList(const ListWindowRunner& show_list);

  // What the visit decided.
  const std::optional<CompanyRecord>& chosen() const { return chosen_; }
  bool reload_current() const { return reload_current_; }

 private:
  bool ReadRecord(int32_t rec_no, CompanyRecord& record);
  bool IsCurrent(const CompanyRecord& record) const;

  App& app_;
  CompanyListAccess list_;
  std::optional<CompanyRecord> chosen_;
  bool reload_current_ = false;
};

// Which company becomes current when the manager closes.
struct CompanyChange {
  bool change = false;  // false: leave the current company alone
  CompanyRecord record;  // the company to make current
  bool reload_current = false;  // read record's company from the list again
};

// The company change after a visit to the manager. The user's explicit
// "Set As Default" wins: its record (read when it was chosen, so holding
// every option saved before) becomes current. Without a choice, a visit
// that changed the current company's options reloads it. Otherwise, and
// when the window was cancelled without either, nothing changes.
CompanyChange DecideCompanyChange(bool closed_with_ok,
                                  const std::optional<CompanyRecord>& chosen,
                                  bool reload_current,
                                  const CompanyRecord& current);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_COMPANY_MANAGER_H_
