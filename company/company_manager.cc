#include "company/company_manager.h"

#include <cerrno>
#include <cstdio>

#include "company/company_files.h"
#include "company/company_list.h"
#include "company/company_options.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::company {
namespace {

constexpr int kNameColumn = 35;
constexpr int kNumberColumn = 6;
constexpr int kBalanceColumn = 12;

}  // namespace

std::vector<std::string> CompanyFileNames(std::string_view company_no) {
  const std::string number = Trim(company_no);
  std::vector<std::string> names;
  for (const char* ending : kCompanyFileEndings) names.push_back(number + ending);
  return names;
}

std::vector<std::string> DeleteCompanyFiles(const std::string& data_dir,
                                            std::string_view company_no) {
  std::vector<std::string> failed;
  // A number that is no company number names no files of this program
  // (and could name files elsewhere): its record goes, nothing else.
  if (!IsValidCompanyNo(company_no)) return failed;
  for (const std::string& name : CompanyFileNames(company_no)) {
    const std::string path = DataPath(data_dir, name);
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
      failed.push_back(name);
    }
  }
  return failed;
}

std::string CompanyRow(const CompanyRecord& r) {
  return PadRight(r.CompanyName.View(), kNameColumn) + " " +
         PadRight(r.CompanyNo.View(), kNumberColumn) + " " +
         RightAlign(FormatMoneyText(r.ReceivablesBalance.View()),
                    kBalanceColumn);
}

std::string CompanyListHeader() {
  return PadRight("Company Name", kNameColumn) + " " +
         PadRight("Number", kNumberColumn) + " " +
         RightAlign("Balance", kBalanceColumn);
}

std::string CompaniesStatusText(int count) {
  return kCompaniesStatusPrefix + std::to_string(count);
}

CompanyManager::CompanyManager(App& app) : app_(app), list_(app) {}

bool CompanyManager::Open() {
  if (list_.OpenCompanyFile()) return true;
  platform::ShowError(app_.services().messages, kCompanyManagerCaption,
                      kUnableToOpenCompanies);
  return false;
}

int CompanyManager::CompanyCount() {
  if (!list_.IsOpen()) return 0;
  return static_cast<int>(list_.engine().CountKeys(list_.handle(), kCompanyNoKey));
}

std::string CompanyManager::CurrentCompanyKey() const {
  return KeyText(app_.CurrentCompanyNo(), kCompanyNoKeyLength);
}

int32_t CompanyManager::FindCompany(const std::string& number) {
  if (!list_.IsOpen()) return 0;
  int32_t rec_no = 0;
  std::string found_key;
  if (!list_.FindByKey(kCompanyNoKey, KeyText(number, kCompanyNoKeyLength),
                       rec_no, &found_key)) {
    return 0;
  }
  CompanyRecord record;
  if (!list_.engine().GetRecord(list_.handle(), rec_no, &record) ||
      record.DeleteMark != 0 || !SameCompanyNo(record.CompanyNo.View(), number)) {
    return 0;
  }
  return rec_no;
}

bool CompanyManager::ReadRecord(int32_t rec_no, CompanyRecord& record) {
  if (rec_no <= 0 || !list_.GetRecord(rec_no)) return false;
  if (list_.rec().DeleteMark != 0) return false;
  record = list_.rec();
  return true;
}

bool CompanyManager::IsCurrent(const CompanyRecord& record) const {
  return SameCompanyNo(record.CompanyNo.View(), app_.CurrentCompanyNo());
}

std::optional<int32_t> CompanyManager::AddCompany(
    const OptionsDialogRunner& dialog) {
  CompanyRecord record = NewCompanyRecord(app_.CurrentCompany, CompanyCount());
  if (!dialog(record, OptionsMode::kNew)) return std::nullopt;
  list_.SetRecord(record);
  int32_t rec_no = 0;
  if (!list_.AddWithKeys(rec_no)) {
    platform::ShowError(app_.services().messages, kCompanyManagerCaption,
                        kAddFailed);
    return std::nullopt;
  }
  return rec_no;
}

EditResult CompanyManager::EditCompany(int32_t rec_no,
                                       const PasswordPrompt& prompt,
                                       const OptionsDialogRunner& dialog) {
  if (rec_no <= 0) return EditResult::kCancelled;
  if (!CheckPassword(app_, prompt)) return EditResult::kCancelled;
  CompanyRecord before;
  if (!ReadRecord(rec_no, before)) return EditResult::kCancelled;
  CompanyRecord edited = before;
  if (!dialog(edited, OptionsMode::kEdit)) return EditResult::kCancelled;
  // The number cannot be changed here: the company's files carry it.
  edited.CompanyNo = before.CompanyNo;
  list_.SetRecord(edited);
  if (!list_.ModifyWithKeys(rec_no, before)) {
    platform::ShowError(app_.services().messages, kCompanyManagerCaption,
                        kModifyCompanyFailed);
    return EditResult::kFailed;
  }
  if (IsCurrent(edited)) {
    reload_current_ = true;
    return EditResult::kSavedCurrent;
  }
  return EditResult::kSaved;
}

bool CompanyManager::DeleteCompany(int32_t rec_no,
                                   const PasswordPrompt& prompt) {
  if (rec_no <= 0) return false;
  if (!CheckPassword(app_, prompt)) return false;
  CompanyRecord record;
  if (!ReadRecord(rec_no, record)) return false;
  platform::Messages& messages = app_.services().messages;
  if (IsCurrent(record)) {
    platform::Inform(messages, kDeleteCompanyCaption, kDeleteCurrentRefused);
    return false;
  }
  if (!platform::ConfirmDefaultNo(messages, kPleaseConfirmCaption,
                                  kDeleteCompanyQuestion)) {
    return false;
  }
  list_.SetRecord(record);
  if (!list_.DeleteWithKeys(rec_no)) {
    // The company may still be listed: its data stays where it is.
    platform::ShowError(messages, kCompanyManagerCaption, kDeleteFailed);
    return false;
  }
  const std::vector<std::string> failed =
      DeleteCompanyFiles(app_.data_dir(), record.CompanyNo.View());
  if (!failed.empty()) {
    std::string text = kUnableToDeleteFiles;
    for (const std::string& name : failed) text += " " + name;
    platform::ShowError(messages, kDeleteCompanyCaption, text);
  }
  return true;
}

bool CompanyManager::SetAsDefault(int32_t rec_no) {
  CompanyRecord record;
  if (!ReadRecord(rec_no, record)) return false;
  if (!IsValidCompanyNo(record.CompanyNo.View())) {
    platform::ShowError(app_.services().messages, kCompanyManagerCaption,
                        InvalidCompanyNoText(record.CompanyNo.View(),
                                             kCompanyListSource));
    return false;
  }
  chosen_ = record;
  return true;
}

bool CompanyManager::CompanyList(const ListWindowRunner& show_list) {
  platform::Messages& messages = app_.services().messages;
  platform::Message question;
  question.kind = platform::MessageKind::kQuestion;
  question.buttons = platform::Buttons::kYesNoCancel;
  question.default_answer = platform::Answer::kNo;
  question.caption = kCompanyListCaption;
  question.text = kCompanyListQuestion;
  const platform::Answer answer = messages.Show(question);
  if (answer == platform::Answer::kCancel) return false;
  const bool by_number = answer == platform::Answer::kYes;

  platform::ProgressWindow& progress = app_.services().progress;
  progress.SetCaption(kCompanyListCaption);
  progress.ClearLines();
  progress.SetLine(0, kPreparingList);
  progress.SetCancellable(false);
  progress.Show();
  progress.ProcessPendingInput();
  std::string text;
  const bool built = BuildCompanyListText(
      list_.engine(), list_.handle(), by_number ? kCompanyNoKey : kCompanyNameKey,
      app_.services().clock.Now(), text);
  const std::string path = app_.PathOf(kTextListFileName);
  const bool written = built && WriteTextFile(path, text);
  progress.Hide();
  if (!written) {
    platform::ShowError(messages, kCompanyListCaption,
                        kUnableToWriteList + path);
    return false;
  }
  show_list(path, by_number ? kCompanyListByNumber : kCompanyListByName,
            kCompanyListName);
  std::remove(path.c_str());
  return true;
}

CompanyChange DecideCompanyChange(bool closed_with_ok,
                                  const std::optional<CompanyRecord>& chosen,
                                  bool reload_current,
                                  const CompanyRecord& current) {
  CompanyChange change;
  if (closed_with_ok && chosen) {
    change.change = true;
    change.record = *chosen;
    // The choice was read from the list, so a reload would only put the
    // previous company back.
    change.reload_current = reload_current && SameCompanyNo(
        chosen->CompanyNo.View(), current.CompanyNo.View());
    return change;
  }
  if (reload_current) {
    change.change = true;
    change.record = current;
    change.reload_current = true;
  }
  return change;
}

}  // namespace tallybook::company
