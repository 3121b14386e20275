#include "company/data_access.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "store/errors.h"
#include "store/os_file.h"
#include "store/rebuild.h"

namespace tallybook::company {

namespace {

bool IsDeleted(const uint8_t* record) {
  int32_t mark = 0;
  std::memcpy(&mark, record, sizeof mark);
  return mark != 0;
}

std::string Formatted(const char* pattern, int value) {
  char line[64];
  std::snprintf(line, sizeof line, pattern, value);
  return line;
}

}  // namespace

std::string InterruptedRebuildText(const std::string& base,
                                   const std::string& aside) {
  return "A rebuild of the data file " + base + " was cut short: " + base +
         ".SAV holds its records as they were, and " + base +
         ".DAT beside it may be incomplete. Set " + base + ".DAT aside as " +
         aside + " (it is kept, not deleted) and finish the rebuild from " +
         base + ".SAV? No leaves both files as they are.";
}

CompanyFileAccess::CompanyFileAccess(const FileDescription& file,
                                     store::Engine& engine,
                                     platform::Messages& messages,
                                     platform::ProgressWindow& progress,
                                     std::string data_dir,
                                     std::string company_no)
    : file_(file),
      engine_(engine),
      messages_(messages),
      progress_(progress),
      data_dir_(std::move(data_dir)),
      company_no_(std::move(company_no)),
      base_path_(FilePathOf(file_, data_dir_, company_no_)),
      record_(static_cast<size_t>(file_.record_length), 0) {}

CompanyFileAccess::CompanyFileAccess(App& app, const FileDescription& file)
    : CompanyFileAccess(file, app.engine(), app.services().messages,
                        app.services().progress, app.data_dir(),
                        app.CurrentCompanyNo()) {
  app_ = &app;
}

bool CompanyFileAccess::Journal(JournalKind kind, int32_t rec_no,
                                const uint8_t* before, const uint8_t* after) {
  OperationJournal* journal = app_ != nullptr ? app_->op_journal() : nullptr;
  if (journal == nullptr) return true;
  if (journal->Log(kind, file_.file, company_no_, rec_no, before, after,
                   file_.record_length)) {
    return true;
  }
  // Without its entry the write could not be taken back after a crash, so
  // it is not made.
  engine_.SetStatus(store::kErrOsFailure);
  return false;
}

CompanyFileAccess::~CompanyFileAccess() { Close(); }

// ---- Opening and closing.

bool CompanyFileAccess::RefusedName() {
  if (file_.letter == 0 || IsValidCompanyNo(company_no_)) return false;
  engine_.SetStatus(store::kErrAccessDenied);
  return true;
}

bool CompanyFileAccess::OpenCompanyFile() { return Open(/*create=*/true); }

bool CompanyFileAccess::OpenExistingCompanyFile() {
  return Open(/*create=*/false);
}

bool CompanyFileAccess::Open(bool create) {
  if (IsOpen()) return true;
  if (RefusedName()) return false;
  // A file is created at most once per call.
  bool may_create = create;
  for (;;) {
    if (engine_.OpenFileBlock(handle_, base_path_, /*read_only=*/false,
                              /*ignored=*/true, /*save_mode=*/false)) {
      return true;
    }
    handle_ = store::kNoFileHandle;
    const int error = engine_.StoreError();
    // A data file missing beside its work copy N.SAV is a rebuild that was
    // cut short, not a new company: creating an empty file here would hide
    // the records in the work copy. The rebuild resumes from it instead.
    const bool interrupted_rebuild =
        error == store::kErrFileNotFound &&
        store::FileExists(store::WithExtension(base_path_, "SAV"));
    if (error == store::kErrNotClosedCleanly || interrupted_rebuild) {
      if (!platform::Confirm(messages_, kProductTitle, kIndexDefective)) {
        engine_.SetStatus(error);
        return false;
      }
      // A rebuild that fails leaves the in-update flag set; asking again
      // would only go round in circles.
      if (!RebuildCompanyFile()) return false;
      continue;
    }
    if (error == store::kErrFileNotFound && may_create) {
      if (file_.new_file_notice != nullptr && file_.new_file_notice[0] != 0) {
        platform::Inform(messages_, kNewCompanyCaption, file_.new_file_notice);
      }
      if (!CreateCompanyFile()) return false;
      may_create = false;
      continue;
    }
    return false;
  }
}

bool CompanyFileAccess::OpenCompanyFileReadOnly() {
  if (IsOpen()) return true;
  if (RefusedName()) return false;
  if (engine_.OpenFileBlock(handle_, base_path_, /*read_only=*/true)) {
    return true;
  }
  handle_ = store::kNoFileHandle;
  return false;
}

bool CompanyFileAccess::Close() {
  if (!IsOpen()) return true;
  return engine_.CloseFileBlock(handle_);
}

bool CompanyFileAccess::CreateCompanyFile() {
  if (IsOpen() && !Close()) return false;
  if (RefusedName()) return false;
  return company::CreateCompanyFile(engine_, file_, data_dir_, company_no_);
}

bool CompanyFileAccess::RebuildCompanyFile() {
  dump_written_ = false;
  if (IsOpen() && !Close()) return false;
  if (RefusedName()) return false;

  progress_.SetCaption(file_.rebuild_caption);
  if (file_.file == CompanyFile::kCompanyList) {
    progress_.ClearLines();
    progress_.SetLine(1, kRebuildWorking);
  }
  progress_.SetCancellable(true);
  progress_.Show();

  engine_.SetProgressCallback([this](int key_no, int32_t read,
                                     int32_t written, int, const uint8_t*) {
    progress_.ProcessPendingInput();
    if (read % kRebuildProgressEvery == 0) {
      progress_.SetLine(0, Formatted(kKeyNumberLine, key_no));
      progress_.SetLine(1, Formatted(kRecordsReadLine, read));
      progress_.SetLine(2, Formatted(kRecordsWrittenLine, written));
    }
    return !progress_.CancelRequested();
  });

  auto reorganize = [this] {
    return store::ReorganizeDataFile(engine_, base_path_, file_.record_length,
                                     file_.record_length, 0,
                                     store::NoRecordHook,
                                     store::DefaultKeepRecord);
  };
  bool ok = reorganize();
  if (!ok && engine_.StoreError() == store::kErrWorkCopyExists) {
    // An earlier rebuild was cut short. Nothing is touched unless the user
    // agrees to set the partial data file aside (it is renamed, never
    // deleted) and finish from the complete work copy.
    const std::string base = BaseNameOf(file_, company_no_);
    const std::string aside = std::filesystem::path(
        store::PartialDataFileAsidePath(base_path_)).filename().string();
    if (platform::Confirm(messages_, kProductTitle,
                          InterruptedRebuildText(base, aside))) {
      ok = store::SetAsidePartialDataFile(engine_, base_path_, nullptr) &&
           reorganize();
    } else {
      engine_.SetStatus(store::kErrWorkCopyExists);
    }
  }
  if (ok) {
    ok = store::RebuildIndex(engine_, base_path_, file_.keys, 0,
                             store::NoRecordHook, &dump_written_,
                             /*remove_rejected=*/true,
                             StoreKeyBuilder(file_));
  }
  // The callback refers to this object; it must not outlive the rebuild.
  const int error = engine_.StoreError();
  engine_.SetProgressCallback({});
  engine_.SetStatus(ok ? 0 : error);
  progress_.SetCancellable(false);
  progress_.Hide();
  return engine_.StoreOK();
}

// ---- Reading.

bool CompanyFileAccess::FindByKey(int key_no, const std::string& key,
                                  int32_t& rec_no, std::string* found_key) {
  std::string text;
  const bool ok = WithLockRetry([&] {
    text = key;
    return engine_.SearchKey(handle_, key_no, rec_no, text);
  });
  if (ok && found_key != nullptr) *found_key = text;
  return ok;
}

bool CompanyFileAccess::GetRecord(int32_t rec_no) {
  return engine_.GetRecord(handle_, rec_no, record_.data());
}

// ---- Changing.

bool CompanyFileAccess::AddWithKeys(int32_t& rec_no) {
  if (!PreOperationCheck()) return false;
  if (!Journal(JournalKind::kAdd, engine_.NextAddRecordNumber(handle_),
               nullptr, record_.data())) {
    return PostOperationCheck(false);
  }
  int32_t added = 0;
  if (!WithLockRetry(
          [&] { return engine_.AddRecord(handle_, added, record_.data()); })) {
    return PostOperationCheck(false);
  }
  for (int k = 1; k <= file_.KeyCount(); ++k) {
    const std::string key = BuildKey(k);
    if (WithLockRetry([&] { return engine_.AddKey(handle_, k, added, key); })) {
      continue;
    }
    // Take back what was added, newest first, keeping the reason.
    const int error = engine_.StoreError();
    for (int j = k - 1; j >= 1; --j) {
      engine_.DeleteKey(handle_, j, added, BuildKey(j));
    }
    engine_.DeleteRecord(handle_, added);
    engine_.SetStatus(error);
    return PostOperationCheck(false);
  }
  rec_no = added;
  return PostOperationCheck(true);
}

bool CompanyFileAccess::ModifyWithKeys(int32_t rec_no,
                                       const void* before_edit) {
  if (std::memcmp(record_.data(), before_edit, record_.size()) == 0) {
    engine_.ResetStatus();
    return true;
  }
  if (!PreOperationCheck()) return false;
  std::vector<uint8_t> stored(record_.size());
  if (!engine_.GetRecord(handle_, rec_no, stored.data())) {
    return PostOperationCheck(false);
  }
  if (IsDeleted(stored.data())) {
    engine_.SetStatus(store::kErrRecordAlreadyDeleted);
    return false;
  }
  if (std::memcmp(stored.data(), before_edit, stored.size()) != 0) {
    platform::Inform(messages_, kProductTitle, kRecordChanged);
    return false;
  }
  return PostOperationCheck(MoveKeysAndPut(rec_no, stored.data()));
}

bool CompanyFileAccess::ModifyWithKeys(int32_t rec_no) {
  if (!PreOperationCheck()) return false;
  std::vector<uint8_t> stored(record_.size());
  // The invoice editor rewrites lines it read earlier; one that is gone
  // meanwhile needs no change and is no failure.
  if (!engine_.GetRecord(handle_, rec_no, stored.data()) ||
      IsDeleted(stored.data())) {
    engine_.ResetStatus();
    return true;
  }
  return PostOperationCheck(MoveKeysAndPut(rec_no, stored.data()));
}

bool CompanyFileAccess::DeleteWithKeys(int32_t rec_no) {
  if (!PreOperationCheck()) return false;
  if (app_ != nullptr && app_->op_journal() != nullptr) {
    // The journal keeps the record as stored, which the caller's copy
    // should be but need not be.
    std::vector<uint8_t> stored(record_.size());
    const bool read = engine_.GetRecord(handle_, rec_no, stored.data());
    if (!Journal(JournalKind::kDelete, rec_no,
                 read ? stored.data() : record_.data(), nullptr)) {
      return PostOperationCheck(false);
    }
  }
  bool all_ok = true;
  int first_error = 0;
  auto note = [&](bool ok) {
    if (!ok && all_ok) first_error = engine_.StoreError();
    all_ok = all_ok && ok;
  };
  // Keys removed so far, so that a failure of the file can put them back:
  // a record whose delete fails half-way keeps every key, and no key is
  // left pointing at a freed record.
  std::vector<std::pair<int, std::string>> removed;
  auto restore = [&] {
    const int error = engine_.StoreError();
    for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
      WithLockRetry(
          [&] { return engine_.AddKey(handle_, it->first, rec_no, it->second); });
    }
    engine_.SetStatus(error);
    return PostOperationCheck(false);
  };
  for (int k = 1; k <= file_.KeyCount(); ++k) {
    const std::string key = BuildKey(k);
    const bool ok = WithLockRetry(
        [&] { return engine_.DeleteKey(handle_, k, rec_no, key); });
    if (ok) {
      removed.emplace_back(k, key);
    } else if (engine_.StoreError() == store::kErrDeleteKeyNotFound) {
      // Lost by an earlier fault: the record goes all the same.
      note(false);
    } else {
      return restore();
    }
  }
  if (!WithLockRetry([&] { return engine_.DeleteRecord(handle_, rec_no); })) {
    return restore();
  }
  if (!all_ok) engine_.SetStatus(first_error);
  return PostOperationCheck(all_ok);
}

bool CompanyFileAccess::MoveKeysAndPut(int32_t rec_no,
                                       const uint8_t* stored) {
  struct Move {
    int key_no;
    std::string old_key;
    std::string new_key;
  };
  if (!Journal(JournalKind::kRewrite, rec_no, stored, record_.data())) {
    return false;
  }
  std::vector<Move> done;
  // Undoes the moves made so far, newest first. The old key goes back
  // before the new one leaves so that the record is never without a key.
  auto undo = [&] {
    const int error = engine_.StoreError();
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
      engine_.AddKey(handle_, it->key_no, rec_no, it->old_key);
      engine_.DeleteKey(handle_, it->key_no, rec_no, it->new_key);
    }
    engine_.SetStatus(error);
    return false;
  };

  for (int k : file_.modify_key_order) {
    Move move{k, KeyOf(stored, k), BuildKey(k)};
    if (move.old_key == move.new_key) continue;
    if (!WithLockRetry([&] {
          return engine_.AddKey(handle_, k, rec_no, move.new_key);
        })) {
      return undo();
    }
    if (!WithLockRetry([&] {
          return engine_.DeleteKey(handle_, k, rec_no, move.old_key);
        })) {
      const int error = engine_.StoreError();
      engine_.DeleteKey(handle_, k, rec_no, move.new_key);
      engine_.SetStatus(error);
      return undo();
    }
    done.push_back(std::move(move));
  }
  if (!WithLockRetry(
          [&] { return engine_.PutRecord(handle_, rec_no, record_.data()); })) {
    return undo();
  }
  return true;
}

// ---- The current record.

void CompanyFileAccess::ClearRecord() {
  std::fill(record_.begin(), record_.end(), uint8_t{0});
}

std::string CompanyFileAccess::BuildKey(int key_no) const {
  return KeyOf(record_.data(), key_no);
}

std::string CompanyFileAccess::KeyOf(const uint8_t* record,
                                     int key_no) const {
  if (key_no < 1 || key_no > file_.KeyCount()) return std::string();
  return file_.build_key(record, key_no);
}

// ---- Retry and checks.

template <class Call>
bool CompanyFileAccess::WithLockRetry(Call call) {
  for (;;) {
    if (call()) return true;
    if (engine_.ErrorClass() != 2) return false;
    const int error = engine_.StoreError();
    if (platform::Confirm(messages_, kProductTitle, kCannotGetLock)) {
      engine_.SetStatus(error);
      return false;
    }
  }
}

bool CompanyFileAccess::PreOperationCheck() {
  while (!engine_.CheckFileBlock(handle_)) {
    const int error = engine_.StoreError();
    if (platform::Confirm(messages_, kProductTitle, kFilesInUse)) {
      engine_.SetStatus(error);
      return false;
    }
  }
  return true;
}

bool CompanyFileAccess::PostOperationCheck(bool op_ok) {
  const int error = engine_.StoreError();
  const bool usable = engine_.CheckFileBlock(handle_);
  if (!op_ok) {
    engine_.SetStatus(error != 0 ? error : engine_.StoreError());
    return false;
  }
  return usable;
}

}  // namespace tallybook::company
