#include "archive/zip_archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace tallybook::archive {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string SystemReason(int os_error) { return std::strerror(os_error); }

std::string ZipReason(zip_error_t* error) {
  return zip_error_strerror(error);
}

std::string ZipReason(int zip_code) {
  zip_error_t error;
  zip_error_init_with_code(&error, zip_code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

constexpr size_t kBlockSize = 64 * 1024;

}  // namespace

bool IsPlainEntryName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

// The libzip source of one added file. It reads the file itself so that a
// failure names the file and so that progress can be told per entry. The
// writer owns these; libzip's FREE only tells us it is done with one.
struct FileSource {
  std::string path;
  std::string name;
  int number = 0;  // 1-based position in the archive
  const ItemProgress* progress = nullptr;
  const int* count = nullptr;

  uint64_t size = 0;
  time_t mtime = 0;
  int fd = -1;
  uint64_t done = 0;
  int last_percent = -1;
  zip_error_t error;
  std::string failure;  // first failure, with the file named

  FileSource() { zip_error_init(&error); }
  ~FileSource() {
    if (fd >= 0) ::close(fd);
    zip_error_fini(&error);
  }

  void Report(int percent) {
    if (progress == nullptr || !*progress || percent == last_percent) return;
    last_percent = percent;
    (*progress)(name, number, *count, percent);
  }

  zip_int64_t Fail(int zip_code, int os_error, std::string text) {
    zip_error_set(&error, zip_code, os_error);
    if (failure.empty()) failure = std::move(text);
    return -1;
  }

  zip_int64_t Command(void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    switch (cmd) {
      case ZIP_SOURCE_OPEN: {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
          int e = errno;
          return Fail(ZIP_ER_OPEN, e,
                      "Unable to read " + Quoted(path) + ": " + SystemReason(e));
        }
        done = 0;
        Report(0);
        return 0;
      }
      case ZIP_SOURCE_READ: {
        uint64_t want = len;
        if (want > size - done) want = size - done;
        if (want == 0) {
          // At the recorded size: the file must not have grown meanwhile.
          struct stat st;
          if (::fstat(fd, &st) != 0 || static_cast<uint64_t>(st.st_size) != size) {
            return Fail(ZIP_ER_READ, 0,
                        "Unable to read " + Quoted(path) +
                            ": the file changed while it was being archived");
          }
          return 0;
        }
        ssize_t got;
        do {
          got = ::read(fd, data, want);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
          int e = errno;
          return Fail(ZIP_ER_READ, e,
                      "Unable to read " + Quoted(path) + ": " + SystemReason(e));
        }
        if (got == 0) {
          return Fail(ZIP_ER_READ, 0,
                      "Unable to read " + Quoted(path) +
                          ": the file changed while it was being archived");
        }
        done += static_cast<uint64_t>(got);
        Report(size == 0 ? 100 : static_cast<int>(done * 100 / size));
        return got;
      }
      case ZIP_SOURCE_CLOSE:
        if (fd >= 0) ::close(fd);
        fd = -1;
        Report(100);
        return 0;
      case ZIP_SOURCE_STAT: {
        zip_stat_t* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &error);
        if (st == nullptr) return -1;
        zip_stat_init(st);
        st->size = size;
        st->mtime = mtime;
        st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        return sizeof(*st);
      }
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error, data, len);
      case ZIP_SOURCE_FREE:
        return 0;
      case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_READABLE;
      default:
        zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }

  static zip_int64_t Callback(void* state, void* data, zip_uint64_t len,
                              zip_source_cmd_t cmd) {
    return static_cast<FileSource*>(state)->Command(data, len, cmd);
  }
};

// ---------------------------------------------------------------- writer

ZipWriter::ZipWriter() = default;

ZipWriter::~ZipWriter() { Discard(); }

void ZipWriter::Discard() {
  if (zip_ != nullptr) zip_discard(zip_);  // frees the sources it holds
  zip_ = nullptr;
  sources_.clear();
}

ArchiveStatus ZipWriter::Create(const std::string& path,
                                const std::string& display_name) {
  if (zip_ != nullptr) {
    return ArchiveStatus::Error("Unable to create " + Quoted(path) +
                                ": another archive is still open");
  }
  display_name_ = display_name.empty() ? path : display_name;
  // libzip only learns at Close() that the folder is missing; say so now.
  size_t slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "."
                       : slash == 0               ? "/"
                                                  : path.substr(0, slash);
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) {
    int e = errno;
    return ArchiveStatus::Error("Unable to create " + Quoted(display_name_) +
                                ": " + SystemReason(e));
  }
  if (!S_ISDIR(st.st_mode)) {
    return ArchiveStatus::Error("Unable to create " + Quoted(display_name_) +
                                ": " + SystemReason(ENOTDIR));
  }
  int code = 0;
  zip_ = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (zip_ == nullptr) {
    return ArchiveStatus::Error("Unable to create " + Quoted(display_name_) +
                                ": " + ZipReason(code));
  }
  return ArchiveStatus::Ok();
}

ArchiveStatus ZipWriter::AddFile(const std::string& base_dir,
                                 const std::string& name) {
  if (zip_ == nullptr) {
    return ArchiveStatus::Error("Unable to add " + Quoted(name) +
                                ": no archive is open");
  }
  if (!IsPlainEntryName(name)) {
    return ArchiveStatus::Error("Unable to add " + Quoted(name) +
                                ": not a plain file name");
  }
  for (const auto& s : sources_) {
    if (s->name == name) {
      return ArchiveStatus::Error("Unable to add " + Quoted(name) +
                                  ": the archive already holds it");
    }
  }
  auto source = std::make_unique<FileSource>();
  source->path = JoinPath(base_dir, name);
  source->name = name;
  source->number = entry_count() + 1;
  struct stat st;
  int fd = ::open(source->path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    int e = errno;
    return ArchiveStatus::Error("Unable to read " + Quoted(source->path) +
                                ": " + SystemReason(e));
  }
  int rc = ::fstat(fd, &st);
  int e = errno;
  ::close(fd);
  if (rc != 0) {
    return ArchiveStatus::Error("Unable to read " + Quoted(source->path) +
                                ": " + SystemReason(e));
  }
  if (!S_ISREG(st.st_mode)) {
    return ArchiveStatus::Error("Unable to read " + Quoted(source->path) +
                                ": not a regular file");
  }
  source->size = static_cast<uint64_t>(st.st_size);
  source->mtime = st.st_mtime;

  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* zs =
      zip_source_function_create(&FileSource::Callback, source.get(), &error);
  if (zs == nullptr) {
    std::string text = ZipReason(&error);
    zip_error_fini(&error);
    return ArchiveStatus::Error("Unable to add " + Quoted(source->path) + ": " +
                                text);
  }
  zip_error_fini(&error);
  zip_int64_t index = zip_file_add(zip_, name.c_str(), zs, ZIP_FL_ENC_GUESS);
  if (index < 0) {
    zip_source_free(zs);
    return ArchiveStatus::Error("Unable to add " + Quoted(source->path) + ": " +
                                ZipReason(zip_get_error(zip_)));
  }
  if (zip_set_file_compression(zip_, static_cast<zip_uint64_t>(index),
                               ZIP_CM_DEFLATE, 0) != 0) {
    return ArchiveStatus::Error("Unable to add " + Quoted(source->path) + ": " +
                                ZipReason(zip_get_error(zip_)));
  }
  sources_.push_back(std::move(source));
  return ArchiveStatus::Ok();
}

ArchiveStatus ZipWriter::Close(const ItemProgress& progress) {
  if (zip_ == nullptr) {
    return ArchiveStatus::Error("Unable to write " + Quoted(display_name_) +
                                ": no archive is open");
  }
  if (sources_.empty()) {
    // libzip writes no file at all for an empty archive; refuse rather than
    // report an archive that is not there.
    Discard();
    return ArchiveStatus::Error("Unable to write " + Quoted(display_name_) +
                                ": there are no files to archive");
  }
  int count = entry_count();
  for (auto& s : sources_) {
    s->progress = &progress;
    s->count = &count;
  }
  if (zip_close(zip_) != 0) {
    std::string text;
    for (const auto& s : sources_) {
      if (!s->failure.empty()) {
        text = s->failure;
        break;
      }
    }
    if (text.empty()) {
      text = "Unable to write " + Quoted(display_name_) + ": " +
             ZipReason(zip_get_error(zip_));
    }
    Discard();
    return ArchiveStatus::Error(text);
  }
  zip_ = nullptr;
  sources_.clear();
  return ArchiveStatus::Ok();
}

// ---------------------------------------------------------------- reader

ZipReader::ZipReader() = default;

ZipReader::~ZipReader() { Close(); }

void ZipReader::Close() {
  if (zip_ != nullptr) zip_discard(zip_);
  zip_ = nullptr;
  entries_.clear();
}

ArchiveStatus ZipReader::Open(const std::string& path) {
  Close();
  path_ = path;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    int e = errno;
    return ArchiveStatus::Error("Unable to open " + Quoted(path) + ": " +
                                SystemReason(e));
  }
  if (!S_ISREG(st.st_mode)) {
    return ArchiveStatus::Error("Unable to open " + Quoted(path) +
                                ": not a regular file");
  }
  if (st.st_size == 0) {
    // libzip takes an empty file for a new, empty archive.
    return ArchiveStatus::Error("Unable to open " + Quoted(path) + ": " +
                                ZipReason(ZIP_ER_NOZIP));
  }
  int code = 0;
  zip_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (zip_ == nullptr) {
    return ArchiveStatus::Error("Unable to open " + Quoted(path) + ": " +
                                ZipReason(code));
  }
  zip_int64_t n = zip_get_num_entries(zip_, 0);
  for (zip_int64_t i = 0; i < n; ++i) {
    zip_stat_t zs;
    zip_stat_init(&zs);
    if (zip_stat_index(zip_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &zs) != 0 ||
        !(zs.valid & ZIP_STAT_NAME) || !(zs.valid & ZIP_STAT_SIZE)) {
      std::string text = "Unable to open " + Quoted(path) + ": entry " +
                         std::to_string(i + 1) + " is damaged";
      Close();
      return ArchiveStatus::Error(text);
    }
    entries_.push_back({zs.name, zs.size});
  }
  return ArchiveStatus::Ok();
}

ArchiveStatus ZipReader::ReadEntry(
    int index, const std::function<ArchiveStatus(const char*, size_t)>& sink,
    const std::function<void(int)>& percent) {
  const EntryInfo& entry = entries_[static_cast<size_t>(index)];
  std::string where = Quoted(entry.name) + " in " + Quoted(path_);
  zip_file_t* file = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
  if (file == nullptr) {
    return ArchiveStatus::Error("Unable to read " + where + ": " +
                                ZipReason(zip_get_error(zip_)));
  }
  std::vector<char> buffer(kBlockSize);
  uint64_t total = 0;
  ArchiveStatus status;
  int told = -1;
  auto tell = [&](int p) {
    if (percent && p != told) percent(p);
    told = p;
  };
  tell(0);
  for (;;) {
    zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
    if (got < 0) {
      status = ArchiveStatus::Error("Unable to read " + where + ": " +
                                    ZipReason(zip_file_get_error(file)));
      break;
    }
    if (got == 0) break;
    total += static_cast<uint64_t>(got);
    if (total > entry.size) {
      status = ArchiveStatus::Error("Unable to read " + where +
                                    ": the entry is longer than recorded");
      break;
    }
    if (sink) {
      status = sink(buffer.data(), static_cast<size_t>(got));
      if (!status.ok()) break;
    }
    if (entry.size > 0) tell(static_cast<int>(total * 100 / entry.size));
  }
  zip_fclose(file);
  if (status.ok() && total != entry.size) {
    status = ArchiveStatus::Error("Unable to read " + where +
                                  ": the entry is shorter than recorded");
  }
  if (status.ok()) tell(100);
  return status;
}

ArchiveStatus ZipReader::Verify(const ItemProgress& progress) {
  if (zip_ == nullptr) {
    return ArchiveStatus::Error("Unable to check " + Quoted(path_) +
                                ": the archive is not open");
  }
  int count = Count();
  for (int i = 0; i < count; ++i) {
    const std::string& name = entries_[static_cast<size_t>(i)].name;
    ArchiveStatus status = ReadEntry(i, nullptr, [&](int p) {
      if (progress) progress(name, i + 1, count, p);
    });
    if (!status.ok()) return status;
  }
  return ArchiveStatus::Ok();
}

ArchiveStatus ZipReader::CheckNames() const {
  std::set<std::string> seen;
  for (const EntryInfo& entry : entries_) {
    if (!IsPlainEntryName(entry.name)) {
      return ArchiveStatus::Error("Unable to extract " + Quoted(path_) +
                                  ": the entry name " + Quoted(entry.name) +
                                  " is not a plain file name");
    }
    if (!seen.insert(entry.name).second) {
      return ArchiveStatus::Error("Unable to extract " + Quoted(path_) +
                                  ": the entry " + Quoted(entry.name) +
                                  " occurs more than once");
    }
  }
  return ArchiveStatus::Ok();
}

ArchiveStatus ZipReader::ExtractAll(const std::string& dest_dir,
                                    const ItemProgress& progress) {
  if (zip_ == nullptr) {
    return ArchiveStatus::Error("Unable to extract " + Quoted(path_) +
                                ": the archive is not open");
  }
  ArchiveStatus status = CheckNames();
  if (!status.ok()) return status;
  int count = Count();
  for (int i = 0; i < count; ++i) {
    const std::string& name = entries_[static_cast<size_t>(i)].name;
    std::string target = JoinPath(dest_dir, name);
    std::string temp = JoinPath(dest_dir, ".extract.XXXXXX");
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
      int e = errno;
      return ArchiveStatus::Error("Unable to write " + Quoted(target) + ": " +
                                  SystemReason(e));
    }
    ::fchmod(fd, 0644);
    status = ReadEntry(
        i,
        [&](const char* data, size_t n) {
          while (n > 0) {
            ssize_t put = ::write(fd, data, n);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
              int e = put < 0 ? errno : ENOSPC;
              return ArchiveStatus::Error("Unable to write " + Quoted(target) +
                                          ": " + SystemReason(e));
            }
            data += put;
            n -= static_cast<size_t>(put);
          }
          return ArchiveStatus::Ok();
        },
        [&](int p) {
          if (progress) progress(name, i + 1, count, p);
        });
    if (status.ok() && ::fsync(fd) != 0) {
      status = ArchiveStatus::Error("Unable to write " + Quoted(target) + ": " +
                                    SystemReason(errno));
    }
    if (::close(fd) != 0 && status.ok()) {
      status = ArchiveStatus::Error("Unable to write " + Quoted(target) + ": " +
                                    SystemReason(errno));
    }
    if (status.ok() && ::rename(temp.c_str(), target.c_str()) != 0) {
      status = ArchiveStatus::Error("Unable to write " + Quoted(target) + ": " +
                                    SystemReason(errno));
    }
    if (!status.ok()) {
      ::unlink(temp.c_str());
      return status;
    }
  }
  return ArchiveStatus::Ok();
}

}  // namespace tallybook::archive
