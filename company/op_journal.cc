#include "company/op_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "company/app.h"
#include "company/data_access.h"
#include "company/reconcile.h"
#include "company/text.h"
#include "platform/message.h"
#include "store/data_file.h"

namespace tallybook::company {

namespace {

constexpr size_t kMagicBytes = 8;
constexpr int kMaxCompanyNoBytes = 5;
constexpr int kFileCount = 6;

uint32_t Fnv1a(const uint8_t* bytes, size_t n) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < n; ++i) {
    h ^= bytes[i];
    h *= 16777619u;
  }
  return h;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::string ErrnoText(const std::string& what, int err) {
  return what + ": " + std::strerror(err);
}

// Moves all n bytes at offset through io (pread or pwrite), resuming after
// a signal or a short transfer; false on any failure or end of file.
template <class Io, class Bytes>
bool TransferAll(Io io, int fd, Bytes* p, size_t n, off_t offset) {
  while (n > 0) {
    const ssize_t done = io(fd, p, n, offset);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    p += done;
    n -= static_cast<size_t>(done);
    offset += done;
  }
  return true;
}

bool PWriteAll(int fd, const void* bytes, size_t n, off_t offset) {
  return TransferAll(::pwrite, fd, static_cast<const uint8_t*>(bytes), n,
                     offset);
}

bool PReadAll(int fd, void* bytes, size_t n, off_t offset) {
  return TransferAll(::pread, fd, static_cast<uint8_t*>(bytes), n, offset);
}

}  // namespace

// ---- Writing.

std::function<void(int)>& OperationJournal::AfterEntryHook() {
  static std::function<void(int)> hook;
  return hook;
}

OperationJournal::~OperationJournal() {
  if (fd_ >= 0) ::close(fd_);
}

bool OperationJournal::WriteAll(const std::vector<uint8_t>& bytes) {
  const uint8_t* p = bytes.data();
  size_t n = bytes.size();
  while (n > 0) {
    const ssize_t w = ::write(fd_, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      error_ = ErrnoText("The operation journal " + path_ + " could not be written",
                         w < 0 ? errno : ENOSPC);
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool OperationJournal::Begin(const std::string& operation,
                             const std::string& company_no,
                             std::string* error) {
  fd_ = ::open(path_.c_str(),
               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    *error = errno == EEXIST
                 ? "An earlier operation was not finished (" + path_ +
                       " is there). Restart the program, or run "
                       "\"tallybook-admin reconcile\", to take it back first."
                 : ErrnoText("The operation journal " + path_ +
                                 " could not be created",
                             errno);
    return false;
  }
  ::flock(fd_, LOCK_EX | LOCK_NB);
  operation_ = operation;
  std::vector<uint8_t> bytes(kJournalMagic, kJournalMagic + kMagicBytes);
  if (!WriteAll(bytes) ||
      !Log(JournalKind::kBegin, CompanyFile::kCompanyList, company_no, 0,
           nullptr, nullptr, 0)) {
    *error = error_;
    ::unlink(path_.c_str());
    return false;
  }
  return true;
}

bool OperationJournal::Log(JournalKind kind, CompanyFile file,
                           const std::string& company_no, int32_t rec_no,
                           const uint8_t* before, const uint8_t* after,
                           int record_length) {
  if (fd_ < 0) return false;
  std::vector<uint8_t> entry;
  PutU32(entry, 0);  // length, filled in below
  entry.push_back(static_cast<uint8_t>(kind));
  entry.push_back(static_cast<uint8_t>(file));
  const std::string no =
      company_no.substr(0, std::min<size_t>(company_no.size(), kMaxCompanyNoBytes));
  entry.push_back(static_cast<uint8_t>(no.size()));
  entry.insert(entry.end(), no.begin(), no.end());
  PutU32(entry, static_cast<uint32_t>(rec_no));
  PutU32(entry, static_cast<uint32_t>(record_length));
  if (before) entry.insert(entry.end(), before, before + record_length);
  if (after) entry.insert(entry.end(), after, after + record_length);
  if (kind == JournalKind::kBegin) {
    entry.insert(entry.end(), operation_.begin(), operation_.end());
  }
  const uint32_t length = static_cast<uint32_t>(entry.size() - 4 + 4);
  for (int i = 0; i < 4; ++i) entry[i] = static_cast<uint8_t>(length >> (8 * i));
  PutU32(entry, Fnv1a(entry.data() + 4, entry.size() - 4));
  if (!WriteAll(entry)) return false;
  if (kind != JournalKind::kBegin) {
    ++entries_;
    if (!synced_) {
      // One sync per operation: the first record entry reaches the disk
      // before the first record write does.
      ::fdatasync(fd_);
      synced_ = true;
    }
    if (AfterEntryHook()) AfterEntryHook()(entries_);
  }
  return true;
}

void OperationJournal::Commit() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
}

// ---- The scope.

JournalScope::JournalScope(App& app, const std::string& operation)
    : app_(app) {
  if (app_.op_journal() != nullptr) {
    ok_ = true;  // joins the operation already under way
    return;
  }
  owned_ = new OperationJournal(app_.PathOf(kJournalFileName));
  std::string error;
  if (!owned_->Begin(operation, app_.CurrentCompanyNo(), &error)) {
    platform::ShowError(app_.services().messages, kJournalFailedCaption,
                        error + " Nothing was changed.");
    delete owned_;
    owned_ = nullptr;
    return;
  }
  app_.set_op_journal(owned_);
  ok_ = true;
}

JournalScope::~JournalScope() {
  if (owned_ == nullptr) return;
  app_.set_op_journal(nullptr);
  owned_->Commit();
  delete owned_;
}

// ---- Reading.

bool ReadJournal(const std::string& path, std::vector<JournalEntry>* entries,
                 std::string* error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    *error = ErrnoText("The operation journal " + path + " could not be opened",
                       errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    *error = "The operation journal " + path + " is not a regular file.";
    return false;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
  const bool read_ok = PReadAll(fd, bytes.data(), bytes.size(), 0);
  ::close(fd);
  if (!read_ok) {
    *error = "The operation journal " + path + " could not be read.";
    return false;
  }
  if (bytes.size() < kMagicBytes ||
      std::memcmp(bytes.data(), kJournalMagic, kMagicBytes) != 0) {
    // A journal torn before its header was whole announced nothing.
    // (An empty journal has no data pointer to compare.)
    if (bytes.size() < kMagicBytes &&
        (bytes.empty() ||
         std::memcmp(bytes.data(), kJournalMagic, bytes.size()) == 0)) {
      return true;
    }
    *error = "The operation journal " + path + " is not a journal.";
    return false;
  }
  size_t pos = kMagicBytes;
  while (bytes.size() - pos >= 4) {
    const uint32_t n = GetU32(&bytes[pos]);
    if (n < 15 || n > bytes.size() - pos - 4) break;  // torn
    const uint8_t* e = &bytes[pos + 4];
    if (Fnv1a(e, n - 4) != GetU32(e + n - 4)) break;  // torn or damaged
    JournalEntry entry;
    const char kind = static_cast<char>(e[0]);
    const int file = e[1];
    const int c = e[2];
    if ((kind != 'B' && kind != 'A' && kind != 'P' && kind != 'D') ||
        file >= kFileCount || c > kMaxCompanyNoBytes ||
        static_cast<uint32_t>(3 + c + 8) > n - 4) {
      break;
    }
    entry.kind = static_cast<JournalKind>(kind);
    entry.file = static_cast<CompanyFile>(file);
    entry.company_no.assign(reinterpret_cast<const char*>(e + 3), c);
    entry.rec_no = static_cast<int32_t>(GetU32(e + 3 + c));
    const uint32_t length = GetU32(e + 7 + c);
    const size_t body = 11 + static_cast<size_t>(c);
    const size_t images = entry.kind == JournalKind::kRewrite ? 2
                          : entry.kind == JournalKind::kBegin ? 0
                                                              : 1;
    if (length > static_cast<uint32_t>(store::kMaxRecordLength) ||
        body + images * length > n - 4) {
      break;
    }
    const uint8_t* image = e + body;
    if (entry.kind == JournalKind::kRewrite ||
        entry.kind == JournalKind::kDelete) {
      entry.before.assign(image, image + length);
      image += length;
    }
    if (entry.kind == JournalKind::kRewrite || entry.kind == JournalKind::kAdd) {
      entry.after.assign(image, image + length);
      image += length;
    }
    if (entry.kind == JournalKind::kBegin) {
      entry.operation.assign(reinterpret_cast<const char*>(image),
                             static_cast<size_t>(e + n - 4 - image));
    }
    entries->push_back(std::move(entry));
    pos += 4 + n;
  }
  return true;
}

// ---- Playback.

namespace {

// One data file opened for the raw undo.
class RawDataFile {
 public:
  ~RawDataFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  // Opens base.DAT for reading and writing with the lock the store takes.
  bool Open(const std::string& path, std::string* error) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) {
      *error = ErrnoText(path + " could not be opened", errno);
      return false;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      *error = path + " is in use by another program.";
      return false;
    }
    struct stat st {};
    uint8_t header[store::kDataHeaderBytes];
    if (::fstat(fd_, &st) != 0 ||
        !PReadAll(fd_, header, sizeof(header), 0)) {
      *error = path + " could not be read.";
      return false;
    }
    size_ = st.st_size;
    record_length_ = static_cast<int32_t>(GetU32(header + 12));
    if (record_length_ < store::kDataHeaderBytes ||
        record_length_ > store::kMaxRecordLength) {
      *error = path + " has a damaged header.";
      return false;
    }
    return true;
  }
  int32_t record_length() const { return record_length_; }

  // Undoes one entry; true when it changed a slot.
  bool Undo(const JournalEntry& entry) {
    const auto length = static_cast<size_t>(record_length_);
    if (entry.rec_no < 1) return false;
    const off_t offset = static_cast<off_t>(entry.rec_no) * record_length_;
    if (offset + static_cast<off_t>(length) > size_) return false;
    std::vector<uint8_t> slot(length);
    if (!PReadAll(fd_, slot.data(), length, offset)) return false;
    if (entry.kind == JournalKind::kAdd) {
      // The slot was free before the add; in use now, it holds the add
      // (whole or torn) and is freed again.
      if (entry.after.size() != length || GetU32(slot.data()) != 0) return false;
      const uint8_t freed[4] = {0xff, 0xff, 0xff, 0xff};
      return PWriteAll(fd_, freed, sizeof(freed), offset);
    }
    if (entry.before.size() != length || slot == entry.before) return false;
    return PWriteAll(fd_, entry.before.data(), length, offset);
  }

  // Sets the in-update flag, so that the store rebuilds the file before it
  // trusts it again.
  bool MarkUnclean() {
    const uint8_t one = 1;
    return PWriteAll(fd_, &one, 1, store::kInUpdateOffset) && ::fsync(fd_) == 0;
  }

 private:
  int fd_ = -1;
  off_t size_ = 0;
  int32_t record_length_ = 0;
};

bool InUpdateFlagSet(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  uint8_t flag = 0;
  const bool read = PReadAll(fd, &flag, 1, store::kInUpdateOffset);
  ::close(fd);
  return read && flag != 0;
}

}  // namespace

PlaybackResult PlayBackJournal(App& app, bool quiet) {
  PlaybackResult result;
  const std::string path = app.PathOf(kJournalFileName);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return result;
  result.found = true;
  {
    // A journal still locked belongs to a running operation.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
      const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
      ::close(fd);
      if (locked) {
        result.error = "The operation journal " + path +
                       " belongs to an operation still running.";
        return result;
      }
    }
  }
  std::vector<JournalEntry> entries;
  if (!ReadJournal(path, &entries, &result.error)) {
    if (!quiet) {
      platform::ShowError(app.services().messages, kJournalFailedCaption,
                          result.error);
    }
    return result;
  }

  // Newest first, file by file as the entries name them.
  std::set<std::pair<std::string, CompanyFile>> touched;
  std::set<std::string> companies;
  for (const JournalEntry& e : entries) {
    if (e.kind == JournalKind::kBegin) {
      result.operation = e.operation;
      if (IsValidCompanyNo(e.company_no)) companies.insert(Trim(e.company_no));
      continue;
    }
    const FileDescription& file = DescriptionOf(e.file);
    if (file.letter != 0 && !IsValidCompanyNo(e.company_no)) continue;
    touched.insert({file.letter == 0 ? std::string() : Trim(e.company_no),
                    e.file});
    if (file.letter != 0) companies.insert(Trim(e.company_no));
  }
  for (const auto& [company_no, which] : touched) {
    const FileDescription& file = DescriptionOf(which);
    const std::string data_path =
        FilePathOf(file, app.data_dir(), company_no) + ".DAT";
    struct stat data_stat {};
    if (::lstat(data_path.c_str(), &data_stat) != 0) continue;  // never made
    RawDataFile raw;
    std::string error;
    if (!raw.Open(data_path, &error)) {
      result.error = error;
      if (!quiet) {
        platform::ShowError(app.services().messages, kJournalFailedCaption,
                            error);
      }
      return result;
    }
    if (raw.record_length() != file.record_length) continue;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
      if (it->kind == JournalKind::kBegin || it->file != which) continue;
      if (file.letter != 0 && Trim(it->company_no) != company_no) continue;
      if (raw.Undo(*it)) ++result.records_taken_back;
    }
    raw.MarkUnclean();
  }

  // Rebuild what the journal touched and whatever else of those companies
  // was left open, as opening would.
  std::set<std::pair<std::string, CompanyFile>> rebuild = touched;
  for (const std::string& company_no : companies) {
    for (int f = 0; f < kFileCount; ++f) {
      const FileDescription& file = DescriptionOf(static_cast<CompanyFile>(f));
      const std::string no = file.letter == 0 ? std::string() : company_no;
      if (InUpdateFlagSet(FilePathOf(file, app.data_dir(), no) + ".DAT")) {
        rebuild.insert({no, file.file});
      }
    }
  }
  for (const auto& [company_no, which] : rebuild) {
    const FileDescription& file = DescriptionOf(which);
    CompanyFileAccess access(file, app.engine(), app.services().messages,
                             app.services().progress, app.data_dir(),
                             company_no.empty() ? app.CurrentCompanyNo()
                                                : company_no);
    if (!access.RebuildCompanyFile()) {
      result.error = "The file " + BaseNameOf(file, company_no) +
                     " could not be rebuilt (store error " +
                     std::to_string(app.engine().StoreError()) + ").";
      if (!quiet) {
        platform::ShowError(app.services().messages, kJournalFailedCaption,
                            result.error);
      }
      return result;
    }
    result.files_rebuilt.push_back(BaseNameOf(file, company_no));
  }

  for (const std::string& company_no : companies) {
    ReconcileResult reconciled = ReconcileBalances(app, company_no);
    result.changes.insert(result.changes.end(), reconciled.changes.begin(),
                          reconciled.changes.end());
    if (!reconciled.ok) {
      result.error = reconciled.error;
      if (!quiet) {
        platform::ShowError(app.services().messages, kJournalFailedCaption,
                            result.error);
      }
      return result;
    }
  }
  ::unlink(path.c_str());
  result.played = true;
  if (!quiet) {
    platform::Inform(app.services().messages, kTakenBackCaption,
                     TakenBackText(result));
  }
  return result;
}

std::string TakenBackText(const PlaybackResult& result) {
  std::string text = "The last operation";
  if (!result.operation.empty()) text += " (" + result.operation + ")";
  text += " was cut short and has been taken back whole: " +
          std::to_string(result.records_taken_back) +
          " record(s) restored.";
  if (!result.files_rebuilt.empty()) {
    text += " Files rebuilt:";
    for (size_t i = 0; i < result.files_rebuilt.size(); ++i) {
      text += (i == 0 ? " " : ", ") + result.files_rebuilt[i];
    }
    text += ".";
  }
  text += result.changes.empty()
              ? " The balances agree with the transactions."
              : " Balances recomputed: " +
                    std::to_string(result.changes.size()) +
                    " figure(s) changed.";
  return text;
}

}  // namespace tallybook::company
