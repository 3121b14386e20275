#include "company/startup.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "company/aging.h"
#include "company/background.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "company/op_journal.h"
#include "company/small_file.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::company {

namespace {

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

}  // namespace

LastCompanyRead ReadLastCompany(const std::string& path,
                                CompanyRecord* record) {
  switch (ReadFixedSizeFile(path, record, sizeof(*record))) {
    case SmallFileRead::kMissing:
      return LastCompanyRead::kMissing;
    case SmallFileRead::kDamaged:
      return LastCompanyRead::kDamaged;
    case SmallFileRead::kOk:
      break;
  }
  return LastCompanyRead::kOk;
}

bool WriteLastCompany(const std::string& path, const CompanyRecord& record) {
  return ReplaceFile(path, std::string_view(reinterpret_cast<const char*>(&record),
                                            sizeof(record)));
}

std::string DamagedLastCompanyText(const std::string& path) {
  return "The file " + path +
         " is damaged or cannot be read, so the current company is not "
         "known. Restore it from a backup.";
}

std::string UnwritableLastCompanyText(const std::string& path) {
  return "Unable to write " + path +
         ". The company chosen now will not be current at the next start.";
}

platform::Font EditorFontOf(const CompanyRecord& record) {
  platform::Font font;
  font.name = record.EditorFontName.Get();
  font.size_points = record.EditorFontSize;
  font.color = static_cast<platform::Color>(record.EditorFontColor) & 0xFFFFFF;
  font.style = record.EditorFontStyle;
  return font;
}

OutputMode DefaultOutputOf(const CompanyRecord& record) {
  return IsYes(record.DefaultToEMail.View()) ? OutputMode::kEMail
                                             : OutputMode::kPrinter;
}

std::string BitmapPathOf(const App& app, std::string_view file_name) {
  const std::string name = Trim(file_name);
  if (!name.empty() && name.front() == '/') return name;
  return app.PathOf(name);
}

CompanyDisplay PrepareCompanyDisplay(App& app) {
  CompanyRecord& company = app.CurrentCompany;
  CompanyDisplay display;
  display.output_mode = DefaultOutputOf(company);
  if (Trim(company.CompanyName.View()).size() < 2) {
    company.CompanyName.Set(kPleaseSetupCompany);
    company.MainBitmapOn = 0;
    display.name_label = kPleaseSetupCompany;
    return display;
  }
  display.name_label = company.CompanyName.Get() + "\n" + kNumberPrefix +
                       company.CompanyNo.Get();
  display.use_editor_font = true;
  display.editor_font = EditorFontOf(company);
  // The picture matters only while the background is on: a company that
  // switched it off is not told about a file it no longer uses.
  if (company.MainBitmapOn != 0 &&
      Trim(company.MainBitmapFile.View()).size() > 1) {
    const std::string path = BitmapPathOf(app, company.MainBitmapFile.View());
    // The program's own picture is put back where it went missing (data
    // directories made before it was shipped, a restore without it).
    if (!FileExists(path) && IsDefaultBackground(company.MainBitmapFile.View())) {
      InstallDefaultBackground(app.data_dir());
    }
    if (FileExists(path)) {
      display.bitmap_path = path;
    } else {
      company.MainBitmapOn = 0;
      platform::Warn(app.services().messages, kProductTitle, kBitmapMissing);
    }
  }
  display.bitmap_on = company.MainBitmapOn != 0 && !display.bitmap_path.empty();
  return display;
}

bool ReadCompanyFromList(App& app, std::string_view company_no,
                         CompanyRecord* record) {
  CompanyListAccess list(app);
  if (!list.OpenCompanyFile()) return false;
  const std::string key = KeyText(company_no, kCompanyNoKeyLength);
  int32_t rec_no = 0;
  std::string found;
  bool ok = list.FindByKey(1, key, rec_no, &found) && found == key &&
            list.GetRecord(rec_no);
  if (ok) *record = list.rec();
  list.Close();
  return ok;
}

StartupResult MainWindowCreation(App& app) {
  platform::Messages& messages = app.services().messages;
  StartupResult result;
  app.SetShortDateOrder(DateOrder::kMonthFirst);

  const std::string last_co = app.PathOf(kLastCompanyFileName);
  CompanyRecord remembered;
  switch (ReadLastCompany(last_co, &remembered)) {
    case LastCompanyRead::kMissing:
      platform::Warn(messages, kProductTitle, kMissingDataFiles);
      return result;
    case LastCompanyRead::kDamaged:
      platform::Warn(messages, kProductTitle, DamagedLastCompanyText(last_co));
      return result;
    case LastCompanyRead::kOk:
      break;
  }

  app.label_queue_pending = false;
  if (!app.engine().IsStarted() &&
      !app.engine().StoreStartup(0, kPageBuffers)) {
    result.outcome = StartupOutcome::kNoCompany;
    app.RefreshTodayText();
    return result;
  }

  // No company file may be named after a number that is not one.
  auto refuse = [&](const CompanyRecord& record, std::string_view source) {
    platform::Warn(messages, kProductTitle,
                   InvalidCompanyNoText(record.CompanyNo.View(), source));
    app.CurrentCompany = CompanyRecord{};
    app.RefreshTodayText();
    result.outcome = StartupOutcome::kNoCompany;
    return result;
  };
  if (!IsValidCompanyNo(remembered.CompanyNo.View())) {
    return refuse(remembered, kLastCompanyFileName);
  }
  app.CurrentCompany = remembered;
  // An operation a killed process left unfinished is taken back before
  // any figure of the company is read.
  PlayBackJournal(app);
  CompanyRecord stored;
  if (ReadCompanyFromList(app, remembered.CompanyNo.View(), &stored)) {
    if (!IsValidCompanyNo(stored.CompanyNo.View())) {
      return refuse(stored, kCompanyListSource);
    }
    app.CurrentCompany = stored;
  }
  result.show_hints = app.CurrentCompany.ShowButtonHints != 0;

  if (app.Today() < kEarliestPlausibleToday) {
    platform::Warn(messages, kComputerDateCaption, kComputerDateText);
  }
  app.SetShortDateFromCompany();
  result.display = PrepareCompanyDisplay(app);
  app.RefreshTodayText();
  result.outcome = StartupOutcome::kReady;
  return result;
}

AgingRunner DefaultAgingRunner() {
  return [](App& app) { RunAgingIfDue(app); };
}

bool AgingDue(const App& app) {
  return IsValidCompanyNo(app.CurrentCompany.CompanyNo.View()) &&
         Trim(app.CurrentCompany.LastAgingDate.View()) != app.TodayText;
}

void RunAgingWhenDue(App& app, const AgingRunner& run) {
  if (run && AgingDue(app)) run(app);
}

bool MainWindowShown(App& app, const PasswordPrompt& prompt,
                     const AgingRunner& run_aging) {
  if (!CheckPassword(app, prompt)) return false;
  app.output_mode = DefaultOutputOf(app.CurrentCompany);
  RunAgingWhenDue(app, run_aging);
  return true;
}

bool ChangeCompany(App& app, const CompanyRecord& chosen, bool reload_current,
                   CompanyDisplay* display) {
  if (!reload_current && !IsValidCompanyNo(chosen.CompanyNo.View())) {
    platform::ShowError(app.services().messages, kProductTitle,
                        InvalidCompanyNoText(chosen.CompanyNo.View(),
                                             kCompanyListSource));
    *display = PrepareCompanyDisplay(app);
    return false;
  }
  CompanyRecord next = chosen;
  if (reload_current) {
    CompanyRecord reloaded;
    if (ReadCompanyFromList(app, app.CurrentCompany.CompanyNo.View(),
                            &reloaded)) {
      next = reloaded;
    }
  }
  app.CurrentCompany = next;
  const std::string last_co = app.PathOf(kLastCompanyFileName);
  const bool written = WriteLastCompany(last_co, app.CurrentCompany);
  if (!written) {
    platform::ShowError(app.services().messages, kProductTitle,
                        UnwritableLastCompanyText(last_co));
  }
  app.SetShortDateFromCompany();
  app.RefreshTodayText();
  app.output_mode = DefaultOutputOf(app.CurrentCompany);
  *display = PrepareCompanyDisplay(app);
  return written;
}

bool ConfirmExit(App& app) {
  if (!app.label_queue_pending) return true;
  return platform::Confirm(app.services().messages, kProductTitle,
                           kLabelQueueQuestion);
}

void ShutDown(App& app, const std::function<void()>& backup) {
  if (backup && IsYes(app.CurrentCompany.BackupPromptOnExit.View())) backup();
  if (app.engine().IsStarted()) app.engine().StoreShutdown();
  app.services().help.CloseHelp();
}

}  // namespace tallybook::company
