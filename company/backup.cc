#include "company/backup.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "archive/zip_archive.h"
#include "company/company_files.h"
#include "company/records.h"
#include "company/small_file.h"
#include "company/startup.h"
#include "platform/regular_file.h"

namespace tallybook::company {

namespace fs = std::filesystem;
using archive::ArchiveStatus;
using archive::ItemProgress;
using archive::ZipReader;
using archive::ZipWriter;

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Wildcard match of '*' and '?' without regard to (ASCII) case.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Upper(pattern[p]) == Upper(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Makes a file's or folder's name durable in its folder; failures are
// reported by the caller's next step, so they are ignored here.
void SyncFolder(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool SyncFile(const std::string& path, int* os_error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    *os_error = errno;
    if (fd >= 0) ::close(fd);
    return false;
  }
  ::close(fd);
  return true;
}

BackupOutcome Failure(std::string message) {
  BackupOutcome outcome;
  outcome.message = std::move(message);
  return outcome;
}

ItemProgress ProgressTo(BackupObserver* observer) {
  if (observer == nullptr) return nullptr;
  return [observer](const std::string& name, int number, int count, int percent) {
    observer->FileProgress(name, number, count, percent);
  };
}

void Status(BackupObserver* observer, const std::string& text) {
  if (observer != nullptr) observer->StatusChanged(text);
}

// Removes a temporary folder of ours; a failure leaves it behind, which
// costs space but no data.
void RemoveFolder(const std::string& dir) {
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace

std::string BackupConfirmText(const std::string& destination) {
  return kBackupConfirmPrefix + destination + kBackupConfirmSuffix;
}

std::string RestoreConfirmText(const std::string& destination) {
  return kRestoreConfirmPrefix + destination + kRestoreConfirmSuffix;
}

std::string BackupCompleteText(int file_count) {
  return kBackupCompletePrefix + std::to_string(file_count) + kBackupCompleteSuffix;
}

bool MatchesBackupPattern(std::string_view file_name) {
  std::string_view patterns = kBackupPatterns;
  while (!patterns.empty()) {
    size_t semi = patterns.find(';');
    if (WildcardMatch(patterns.substr(0, semi), file_name)) return true;
    if (semi == std::string_view::npos) break;
    patterns.remove_prefix(semi + 1);
  }
  return false;
}

std::vector<std::string> ListBackupFiles(const std::string& data_dir, std::string* error) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(data_dir, ec);
  if (ec) {
    *error = "Unable to read the folder " + Quoted(data_dir) + ": " + ec.message();
    return {};
  }
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code type_ec;
    if (MatchesBackupPattern(name) && it->is_regular_file(type_ec)) names.push_back(name);
  }
  if (ec) {
    *error = "Unable to read the folder " + Quoted(data_dir) + ": " + ec.message();
    return {};
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> ListBackupDestinations(const std::vector<std::string>& roots,
                                                const std::string& last_used) {
  std::vector<std::string> result;
  std::set<std::string> seen;
  auto add = [&](const fs::path& p) {
    std::string key = p.lexically_normal().string();
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    if (seen.insert(key).second) result.push_back(p.string());
  };
  std::error_code ec;
  if (!last_used.empty() && fs::is_directory(last_used, ec)) add(last_used);
  for (const std::string& root : roots) {
    std::vector<fs::path> volumes;
    fs::directory_iterator it(root, ec);
    if (ec) continue;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
      std::error_code type_ec;
      if (it->is_directory(type_ec)) volumes.push_back(it->path());
    }
    std::sort(volumes.begin(), volumes.end());
    for (const fs::path& v : volumes) add(v);
  }
  return result;
}

std::vector<std::string> RemovableVolumeRoots() {
  std::string user;
  if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr) {
    user = pw->pw_name;
  } else if (const char* env = std::getenv("USER"); env != nullptr) {
    user = env;
  }
  if (user.empty() || user.find('/') != std::string::npos) return {};
  return {"/media/" + user, "/run/media/" + user};
}

std::string LoadLastBackupDestination(const std::string& data_dir) {
  constexpr size_t kMaxLength = 4096;
  std::string text;
  if (platform::ReadRegularFile(JoinPath(data_dir, kLastBackupFileName),
                                kMaxLength + 2,
                                &text) != platform::FileRead::kOk) {
    return "";
  }
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  if (text.empty() || text.size() > kMaxLength) return "";
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7f) return "";
  }
  return text;
}

bool SaveLastBackupDestination(const std::string& data_dir, const std::string& destination,
                               std::string* error) {
  std::string path = JoinPath(data_dir, kLastBackupFileName);
  if (!ReplaceFile(path, destination + '\n')) {
    *error = "Unable to write " + Quoted(path) + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

std::string BackupArchivePath(const std::string& source) {
  std::error_code ec;
  if (fs::is_directory(source, ec)) return JoinPath(source, kBackupArchiveName);
  return source;
}

BackupOutcome RunBackup(const std::string& data_dir, const std::string& destination,
                        BackupObserver* observer) {
  Status(observer, kBackingUpStatus);
  const std::string final_path = JoinPath(destination, kBackupArchiveName);

  std::string error;
  std::vector<std::string> names = ListBackupFiles(data_dir, &error);
  if (!error.empty()) return Failure(error);
  if (names.empty()) return Failure(kNoFilesToBackUpPrefix + data_dir + ".");

  // A name of our own beside the archive, so that nothing touches the
  // earlier archive until the new one has proved good.
  std::string temp = JoinPath(destination, ".VkBackup.zip.XXXXXX");
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    return Failure("Unable to create " + Quoted(final_path) + ": " + std::strerror(errno));
  }
  ::close(fd);
  auto fail = [&](std::string message) {
    ::unlink(temp.c_str());
    return Failure(std::move(message));
  };

  {
    ZipWriter writer;
    ArchiveStatus st = writer.Create(temp, final_path);
    for (size_t i = 0; st.ok() && i < names.size(); ++i) st = writer.AddFile(data_dir, names[i]);
    if (st.ok()) st = writer.Close(ProgressTo(observer));
    if (!st.ok()) return fail(st.message);
  }

  Status(observer, kCheckingArchiveStatus);
  {
    ZipReader reader;
    ArchiveStatus st = reader.Open(temp);
    if (st.ok()) {
      bool same = reader.Count() == static_cast<int>(names.size());
      for (size_t i = 0; same && i < names.size(); ++i) {
        same = reader.entries()[i].name == names[i];
      }
      if (!same) st = ArchiveStatus::Error("it does not hold the files that were written");
    }
    if (st.ok()) st = reader.Verify(ProgressTo(observer));
    if (!st.ok()) {
      return fail("The backup archive " + Quoted(final_path) +
                  " failed its check: " + st.message);
    }
  }

  // The archive carries the password file: it stays private (0600), as the
  // temporary name was made.
  int os_error = 0;
  if (!SyncFile(temp, &os_error)) {
    return fail("Unable to write " + Quoted(final_path) + ": " + std::strerror(os_error));
  }
  if (::rename(temp.c_str(), final_path.c_str()) != 0) {
    return fail("Unable to write " + Quoted(final_path) + ": " + std::strerror(errno));
  }
  SyncFolder(destination);

  // Remembering the folder is a convenience; the backup stands without it.
  std::string ignored;
  SaveLastBackupDestination(data_dir, destination, &ignored);

  BackupOutcome outcome;
  outcome.ok = true;
  outcome.file_count = static_cast<int>(names.size());
  outcome.message = BackupCompleteText(outcome.file_count);
  return outcome;
}

namespace {

// Moves the extracted files from staging over the data files, keeping the
// replaced ones in saved until every move has succeeded. On failure puts
// everything back and returns the reason; when even that fails, the reason
// says where the earlier files are and *keep_saved is set.
std::string MoveIntoPlace(const std::string& data_dir, const std::string& staging,
                          const std::string& saved, const std::vector<std::string>& names,
                          bool* keep_saved) {
  std::error_code ec;
  for (const std::string& name : names) {
    std::string target = JoinPath(data_dir, name);
    if (fs::is_directory(fs::symlink_status(target, ec))) {
      return "Unable to write " + Quoted(target) + ": " + std::strerror(EISDIR);
    }
  }
  std::vector<std::string> moved_out, moved_in;
  std::string failure;
  for (const std::string& name : names) {
    std::string target = JoinPath(data_dir, name);
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0) {
      if (::rename(target.c_str(), JoinPath(saved, name).c_str()) != 0) {
        failure = "Unable to replace " + Quoted(target) + ": " + std::strerror(errno);
        break;
      }
      moved_out.push_back(name);
    }
    if (::rename(JoinPath(staging, name).c_str(), target.c_str()) != 0) {
      failure = "Unable to write " + Quoted(target) + ": " + std::strerror(errno);
      break;
    }
    moved_in.push_back(name);
  }
  if (failure.empty()) return "";

  bool restored = true;
  for (const std::string& name : moved_in) {
    restored &= ::rename(JoinPath(data_dir, name).c_str(), JoinPath(staging, name).c_str()) == 0;
  }
  for (const std::string& name : moved_out) {
    restored &= ::rename(JoinPath(saved, name).c_str(), JoinPath(data_dir, name).c_str()) == 0;
  }
  if (!restored) {
    *keep_saved = true;
    failure += "; the earlier data files are kept in " + Quoted(saved);
  }
  return failure;
}

}  // namespace

std::string RestoredCompanyNoText(std::string_view company_no) {
  return InvalidCompanyNoStatement(
             company_no, std::string(kLastCompanyFileName) + " of the backup") +
         ". Nothing was restored.";
}

BackupOutcome RunRestore(const std::string& data_dir, const std::string& source,
                         BackupObserver* observer) {
  const std::string archive_path = BackupArchivePath(source);
  struct stat st;
  if (::stat(archive_path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
    return Failure(kBackupNotFoundText);
  }
  Status(observer, kRestoringStatus);

  ZipReader reader;
  ArchiveStatus status = reader.Open(archive_path);
  if (!status.ok()) return Failure(status.message);
  std::vector<std::string> names;
  for (const auto& entry : reader.entries()) names.push_back(entry.name);

  BackupOutcome outcome;
  outcome.ok = true;
  outcome.message = kRestoreCompleteText;
  if (names.empty()) return outcome;

  std::string staging = JoinPath(data_dir, ".VkRestore.XXXXXX");
  if (::mkdtemp(staging.data()) == nullptr) {
    return Failure("Unable to restore into " + Quoted(data_dir) + ": " + std::strerror(errno));
  }
  status = reader.ExtractAll(staging, ProgressTo(observer));
  if (!status.ok()) {
    RemoveFolder(staging);
    return Failure(status.message);
  }
  // The restored "LastCo.Dat" names the company whose files the program
  // opens next: a number that is no company number is refused here, before
  // any data file is replaced.
  CompanyRecord last;
  if (ReadLastCompany(JoinPath(staging, kLastCompanyFileName), &last) ==
          LastCompanyRead::kOk &&
      !IsValidCompanyNo(last.CompanyNo.View())) {
    RemoveFolder(staging);
    return Failure(RestoredCompanyNoText(last.CompanyNo.View()));
  }

  std::string saved = JoinPath(data_dir, ".VkRestore-old.XXXXXX");
  if (::mkdtemp(saved.data()) == nullptr) {
    int e = errno;
    RemoveFolder(staging);
    return Failure("Unable to restore into " + Quoted(data_dir) + ": " + std::strerror(e));
  }
  bool keep_saved = false;
  std::string failure = MoveIntoPlace(data_dir, staging, saved, names, &keep_saved);
  SyncFolder(data_dir);
  RemoveFolder(staging);
  if (!keep_saved) RemoveFolder(saved);
  if (!failure.empty()) return Failure(failure);

  outcome.file_count = static_cast<int>(names.size());
  return outcome;
}

}  // namespace tallybook::company
