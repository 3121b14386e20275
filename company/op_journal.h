// The operation journal: whole books after a killed process.
//
// An operation that writes more than one record (an invoice with its lines,
// memo, customer and company; a payment posting; a run of statements,
// interest or repeat billings) holds a JournalScope for as long as it
// writes. While one is held, the data-access layer records in the journal,
// before each record write reaches a file, what it is about to change: the
// record it adds (with the slot it will take), or the image of the record it
// rewrites or deletes. When the scope ends the journal is removed. A journal
// found at the next start (or by tallybook-admin check, rebuild and
// reconcile) belongs to an operation that never finished: PlayBackJournal
// puts every record it names back as it was, newest first, rebuilds the
// files concerned, recomputes the company's balances and tells the user.
//
// The journal file "OpJournal.tlj" in the data directory:
//
//   OFFSET  WIDTH  MEANING
//        0      8  "TBOPJ001"
//        8      -  entries, one after another
//
// An entry (all numbers little-endian):
//
//   OFFSET  WIDTH  MEANING
//        0      4  n: bytes of the entry after this field
//        4      1  kind: 'B' begin, 'A' add, 'P' rewrite, 'D' delete
//        5      1  the file (CompanyFile: 0 company list .. 5 memos)
//        6      1  c: length of the company number (0..5)
//        7      c  company number
//      7+c      4  record number (the slot an add will take)
//     11+c      4  L: record length (0 for 'B')
//     15+c      L  'P', 'D': the record's image before the change
//        .      L  'A', 'P': the record being written
//        .      t  'B': the operation's name (the rest of the entry)
//      n        4  FNV-1a (32 bits) of bytes 4 .. n-1 + 4 of the entry
//
// An entry is written whole before the write it announces; a torn or
// unreadable last entry therefore announces a write that never happened,
// and reading stops there.
//
// Durability: against a killed process the journal holds fully (what a
// process wrote is in the kernel's cache whether it is killed or not).
// Against power loss it holds as far as one sync per operation allows: the
// journal is synced once, after its first record entry, before any record
// is written; later entries are not synced, so after a power loss a change
// may have reached the disk without its entry, and only the balances
// recomputed by playback (and reconcile) make the books agree again.
//
// Only one operation runs at a time in one data directory: the journal is
// created exclusively and locked while it is written.
#ifndef TALLYBOOK_COMPANY_OP_JOURNAL_H_
#define TALLYBOOK_COMPANY_OP_JOURNAL_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "company/company_files.h"

namespace tallybook::company {

class App;

inline constexpr char kJournalFileName[] = "OpJournal.tlj";
inline constexpr char kJournalMagic[] = "TBOPJ001";
inline constexpr char kTakenBackCaption[] = "Unfinished Operation";
inline constexpr char kJournalFailedCaption[] = "Operation Journal";

enum class JournalKind : char {
  kBegin = 'B',
  kAdd = 'A',
  kRewrite = 'P',
  kDelete = 'D',
};

// One entry as read back.
struct JournalEntry {
  JournalKind kind = JournalKind::kBegin;
  CompanyFile file = CompanyFile::kCompanyList;
  std::string company_no;
  int32_t rec_no = 0;
  std::vector<uint8_t> before;  // 'P', 'D'
  std::vector<uint8_t> after;   // 'A', 'P'
  std::string operation;        // 'B'
};

// The journal of one running operation. Made and owned by JournalScope.
class OperationJournal {
 public:
  explicit OperationJournal(std::string path) : path_(std::move(path)) {}
  ~OperationJournal();
  OperationJournal(const OperationJournal&) = delete;
  OperationJournal& operator=(const OperationJournal&) = delete;

  // Creates the file exclusively (refusing one that exists: an unfinished
  // operation, or another process in the middle of one), locks it and
  // writes the header and the begin entry. False with *error set when it
  // could not.
  bool Begin(const std::string& operation, const std::string& company_no,
             std::string* error);
  // Appends one entry (whole, before the caller writes the record). False
  // when the entry could not be written: the caller must not write.
  bool Log(JournalKind kind, CompanyFile file, const std::string& company_no,
           int32_t rec_no, const uint8_t* before, const uint8_t* after,
           int record_length);
  // The operation is complete: the journal is removed.
  void Commit();

  const std::string& last_error() const { return error_; }

  // Test aid: when set, called after each record entry is written, with
  // the count of record entries so far (the crash test kills the process
  // there, before the write the entry announces).
  static std::function<void(int)>& AfterEntryHook();

 private:
  bool WriteAll(const std::vector<uint8_t>& bytes);

  std::string path_;
  std::string operation_;
  int fd_ = -1;
  int entries_ = 0;
  bool synced_ = false;
  std::string error_;
};

// Holds a journal for one operation of the app's current company. Scopes
// nest: an inner scope joins the outer one's journal. When the journal
// cannot be started the user is told (kJournalFailedCaption) and ok() is
// false: the caller writes nothing.
class JournalScope {
 public:
  JournalScope(App& app, const std::string& operation);
  ~JournalScope();
  JournalScope(const JournalScope&) = delete;
  JournalScope& operator=(const JournalScope&) = delete;
  bool ok() const { return ok_; }

 private:
  App& app_;
  OperationJournal* owned_ = nullptr;
  bool ok_ = false;
};

// Reads a journal file: the entries up to the first torn or damaged one.
// False with *error when the file cannot be read or is not a journal.
bool ReadJournal(const std::string& path, std::vector<JournalEntry>* entries,
                 std::string* error);

// What a playback did.
struct PlaybackResult {
  bool found = false;        // a journal was there
  bool played = false;       // it was played back and removed
  std::string operation;     // its operation's name
  int records_taken_back = 0;
  std::vector<std::string> files_rebuilt;  // base names
  std::vector<std::string> changes;        // reconcile's lines
  std::string error;         // why it was not played back
};

// Plays back a journal left in the app's data directory, if any: every
// record entry is undone in the data file itself, newest first (an added
// record is marked deleted when its slot is in use, a rewritten or deleted
// record gets its image back); then every file the journal names, and every
// other file of those companies left open, is rebuilt; then the balances
// of each company concerned are reconciled; the journal is removed and the
// user is told what was taken back (unless quiet). Files must be closed.
// A journal still locked by a running process is left alone (error set).
PlaybackResult PlayBackJournal(App& app, bool quiet = false);

// The message telling the user what a playback took back.
std::string TakenBackText(const PlaybackResult& result);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_OP_JOURNAL_H_
