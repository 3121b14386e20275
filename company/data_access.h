// CompanyFileAccess: the one way the program changes a company file.
//
// One object stands for one record file of one company (the company list,
// products, customers, invoice lines, transactions or memos): it holds the
// file's handle while open, the current record (a buffer of the file's
// record length that callers fill before an add or modify and that finds
// and reads fill), and the file's description (record length, keys, key
// builder, modify order, new-file notice, rebuild caption).
//
// What the layer guarantees over the bare store:
//   - a missing file is created (with the "New Company" notice for the files
//     that have one), a file that was not closed after changes is offered
//     for rebuild;
//   - every single store change (add / put / delete record, add / delete
//     key, search key) that fails with a "lock" class error (ErrorClass 2)
//     asks "Cannot get a lock.  Abort?": Yes gives up, No tries the call
//     again;
//   - add, modify and delete first check that the file block is usable
//     ("The files are in use.  Abort?" while it is not);
//   - record and keys stay in step: a failed add leaves neither the record
//     nor any key, a failed modify leaves the stored record and all keys as
//     they were (each key move is undone in reverse order). A delete that
//     the file fails half-way puts back the keys it removed and keeps the
//     record; only a key already missing is passed over (the record is
//     deleted and the missing key reported).
//
// A file of a company whose number is not a company number (see
// IsValidCompanyNo) is refused: opening, creating and rebuilding it fail
// with 9908 and touch no file.
//
// Every operation returns true when it succeeded; after a failure the
// engine's StoreOK() / StoreError() tell the store's reason (the final
// usability check does not overwrite it). Nothing throws. Callers show
// kAddFailed / kModifyFailed / kDeleteFailed when an operation returns
// false.
//
// Ownership: the engine, messages and progress window belong to the caller
// (normally the App) and must outlive this object. The destructor closes the
// file when it is still open.
#ifndef TALLYBOOK_COMPANY_DATA_ACCESS_H_
#define TALLYBOOK_COMPANY_DATA_ACCESS_H_

#include <cstdint>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <vector>

#include "company/app.h"
#include "company/company_files.h"
#include "company/op_journal.h"
#include "company/records.h"
#include "platform/message.h"
#include "platform/progress_window.h"
#include "store/engine.h"

namespace tallybook::company {

// Texts the callers raise when an operation returns false.
inline constexpr char kAddFailed[] = "Add operation failed";
inline constexpr char kModifyFailed[] = "Modify operation failed";
inline constexpr char kDeleteFailed[] = "Delete operation failed";

// Questions and notices of the layer itself.
inline constexpr char kCannotGetLock[] = "Cannot get a lock.  Abort?";
inline constexpr char kFilesInUse[] = "The files are in use.  Abort?";
inline constexpr char kIndexDefective[] = "Index file is defective.  Rebuild?";
inline constexpr char kRecordChanged[] =
    "The record has changed in the meantime.";

// Lines of the rebuild status window.
inline constexpr char kRebuildWorking[] = "Working...";
inline constexpr char kKeyNumberLine[] = "Key number: %d";
inline constexpr char kRecordsReadLine[] = "Records read: %d";
inline constexpr char kRecordsWrittenLine[] = "Records written: %d";
// The progress lines are refreshed every this many records.
inline constexpr int kRebuildProgressEvery = 50;

// The question asked when a rebuild finds the work copy base.SAV of an
// interrupted rebuild beside base.DAT (store error 10465): base.DAT is set
// aside as `aside` and the rebuild finished from base.SAV, or nothing is
// touched.
std::string InterruptedRebuildText(const std::string& base,
                                   const std::string& aside);

class CompanyFileAccess {
 public:
  // The file `file` of company `company_no` in data_dir.
  CompanyFileAccess(const FileDescription& file, store::Engine& engine,
                    platform::Messages& messages,
                    platform::ProgressWindow& progress, std::string data_dir,
                    std::string company_no);
  // The file `file` of the app's current company, through the app's engine
  // and platform services.
  CompanyFileAccess(App& app, const FileDescription& file);
  ~CompanyFileAccess();
  CompanyFileAccess(const CompanyFileAccess&) = delete;
  CompanyFileAccess& operator=(const CompanyFileAccess&) = delete;

  // ---- Opening and closing.

  // Opens the file (read and write), in a loop: a missing file (9903) is
  // created - after the description's new-file notice when it has one - and
  // opened again; a file not closed after changes (10010) asks
  // kIndexDefective: Yes rebuilds and opens again, No returns false and
  // leaves the file closed. A failing creation or any other error returns
  // false. True when the file is open (also when it already was).
  bool OpenCompanyFile();
  // OpenCompanyFile without creating a missing file (nor its notice): for
  // work on the records a company has, which a missing file has none of.
  // False with StoreError 9903 when the file is not there.
  bool OpenExistingCompanyFile();
  // Opens an existing file read only, without creating or rebuilding it:
  // for tools that look and change nothing. Changes then fail with 10065.
  bool OpenCompanyFileReadOnly();
  // Closes the file (the store's CloseFileBlock). True when it was closed or
  // was not open.
  bool Close();
  bool IsOpen() const { return handle_ != store::kNoFileHandle; }

  // Creates empty data and index files with the file's record length and
  // keys, erasing any of that name. Precondition: the file is closed.
  bool CreateCompanyFile();

  // Rebuilds the closed file: reorganises the data file, then rebuilds the
  // index with the file's key builder, rejected duplicates dumped to N.MSG
  // and removed. The progress window shows the rebuild caption and the
  // counters every kRebuildProgressEvery records; its Cancel stops the
  // rebuild (10460). When an earlier rebuild was cut short (N.SAV beside
  // N.DAT, 10465) it asks InterruptedRebuildText: Yes sets N.DAT aside and
  // resumes from N.SAV, No fails with 10465 and touches nothing. True when
  // both steps succeeded. Precondition: closed.
  bool RebuildCompanyFile();
  // Whether the last rebuild wrote the dump file N.MSG.
  bool dump_written() const { return dump_written_; }

  // ---- Reading.

  // The store's SearchKey on key key_no: the first entry not below key.
  // On success rec_no is its record number and found_key (when given) its
  // key text; the record itself is not read (GetRecord does that).
  bool FindByKey(int key_no, const std::string& key, int32_t& rec_no,
                 std::string* found_key = nullptr);
  // Reads record rec_no into the current record.
  bool GetRecord(int32_t rec_no);

  // ---- Changing.

  // Adds the current record and all its keys; rec_no receives its number.
  bool AddWithKeys(int32_t& rec_no);
  // The guarded modify (company list, products, customers, transactions):
  // replaces record rec_no by the current record when the stored record is
  // still byte-equal to before_edit (record length bytes, as read when the
  // edit began). An unchanged current record writes nothing and succeeds;
  // an unreadable or deleted stored record fails; a stored record that
  // differs from before_edit shows kRecordChanged and fails, writing
  // nothing.
  bool ModifyWithKeys(int32_t rec_no, const void* before_edit);
  template <class R>
  bool ModifyWithKeys(int32_t rec_no, const R& before_edit) {
    CheckSize<R>();
    return ModifyWithKeys(rec_no, static_cast<const void*>(&before_edit));
  }
  // The plain modify (invoice lines, memos): replaces record rec_no by the
  // current record. A stored record that was deleted meanwhile (or cannot
  // be read) is left alone and the result is true, so the invoice editor
  // shows no failure for it. Giving up at kFilesInUse returns false.
  bool ModifyWithKeys(int32_t rec_no);
  // Deletes the keys built from the current record, then record rec_no.
  // The caller loads the record first. A key that is not there is passed
  // over (and makes the result false); any other failure puts the removed
  // keys back, keeps the record and returns false.
  bool DeleteWithKeys(int32_t rec_no);

  // ---- The current record.

  uint8_t* data() { return record_.data(); }
  const uint8_t* data() const { return record_.data(); }
  int record_length() const { return file_.record_length; }
  // Sets the current record to all zero bytes, as a new record starts.
  void ClearRecord();
  // The current record as R. R must be the file's record type (its size is
  // the record length; a mismatch is a programming error and aborts).
  template <class R>
  R& Record() {
    CheckSize<R>();
    return *reinterpret_cast<R*>(record_.data());
  }
  template <class R>
  const R& Record() const {
    CheckSize<R>();
    return *reinterpret_cast<const R*>(record_.data());
  }
  template <class R>
  void SetRecord(const R& record) {
    Record<R>() = record;
  }
  // Key key_no built from the current record (empty for an unknown key).
  std::string BuildKey(int key_no) const;

  // ---- Plumbing, for tools and tests.

  const FileDescription& file() const { return file_; }
  store::Engine& engine() { return engine_; }
  store::FileHandle handle() const { return handle_; }
  // The store's name of the file: data_dir joined with the base name.
  const std::string& base_path() const { return base_path_; }

 private:
  // OpenCompanyFile, creating a missing file only when create is set.
  bool Open(bool create);
  template <class R>
  void CheckSize() const {
    static_assert(std::is_trivially_copyable_v<R>);
    if (static_cast<int>(sizeof(R)) != file_.record_length) std::abort();
  }

  // Runs one store call, asking kCannotGetLock while it fails with a lock
  // class error; false when it failed or the user gave up.
  template <class Call>
  bool WithLockRetry(Call call);
  // True, with the status 9908 (access denied), when the file would be
  // named after a company number that IsValidCompanyNo refuses: such a
  // file is never opened, created or rebuilt.
  bool RefusedName();
  // kFilesInUse while CheckFileBlock fails; false when the user gave up.
  bool PreOperationCheck();
  // op_ok AND a final CheckFileBlock; keeps the operation's error in the
  // status when it failed.
  bool PostOperationCheck(bool op_ok);
  // Moves the keys that differ between stored and the current record, then
  // writes the current record at rec_no; undoes every key move on failure.
  bool MoveKeysAndPut(int32_t rec_no, const uint8_t* stored);
  std::string KeyOf(const uint8_t* record, int key_no) const;
  // Records the write about to be made in the app's operation journal when
  // an operation holds one; false (status kErrOsFailure) when the entry
  // could not be written, and the write must not be made.
  bool Journal(JournalKind kind, int32_t rec_no, const uint8_t* before,
               const uint8_t* after);

  const FileDescription& file_;
  store::Engine& engine_;
  platform::Messages& messages_;
  platform::ProgressWindow& progress_;
  std::string data_dir_;
  std::string company_no_;
  std::string base_path_;
  // The app whose operation journal records the writes; null for the
  // files tools and the playback open without an app.
  App* app_ = nullptr;
  store::FileHandle handle_ = store::kNoFileHandle;
  std::vector<uint8_t> record_;
  bool dump_written_ = false;
};

// A CompanyFileAccess for one file of the app's current company, with the
// current record typed as that file's record:
//   CustomerAccess customers(app);
//   if (!customers.OpenCompanyFile()) ...
//   customers.rec().CustomerName.Set("Acme");
template <class R, const FileDescription& (*Describe)()>
class RecordFileAccess : public CompanyFileAccess {
 public:
  using RecordType = R;
  explicit RecordFileAccess(App& app) : CompanyFileAccess(app, Describe()) {}
  RecordFileAccess(store::Engine& engine, platform::Messages& messages,
                   platform::ProgressWindow& progress, std::string data_dir,
                   std::string company_no)
      : CompanyFileAccess(Describe(), engine, messages, progress,
                          std::move(data_dir), std::move(company_no)) {}

  R& rec() { return Record<R>(); }
  const R& rec() const { return Record<R>(); }
};

using CompanyListAccess = RecordFileAccess<CompanyRecord, &CompanyListFile>;
using ProductAccess = RecordFileAccess<ProductRecord, &ProductFile>;
using CustomerAccess = RecordFileAccess<CustomerRecord, &CustomerFile>;
using LineAccess = RecordFileAccess<LineRecord, &LineFile>;
using TransactionAccess =
    RecordFileAccess<TransactionRecord, &TransactionFile>;
using MemoAccess = RecordFileAccess<MemoRecord, &MemoFile>;

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_DATA_ACCESS_H_
