// ZipWriter and ZipReader: the ZIP archives of the backup, over libzip.
//
// Only what the backup needs: create an archive, add files of a base
// directory (deflate), close it; open an archive, count and check its
// entries, extract them all into a directory, overwriting. Every call
// reports through an ArchiveStatus whose message names the file concerned
// and gives libzip's or the system's reason ("Unable to read \"/d/1P.DAT\":
// Permission denied"). Nothing here throws.
//
// Entries are stored by plain file name: the writer refuses, and the reader
// refuses to extract, any name with a directory part, "." or "..", a drive
// or a control character (see IsPlainEntryName), so an archive can never
// write outside the directory it is extracted into.
#ifndef TALLYBOOK_ARCHIVE_ZIP_ARCHIVE_H_
#define TALLYBOOK_ARCHIVE_ZIP_ARCHIVE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

typedef struct zip zip_t;

namespace tallybook::archive {

// Outcome of an archive call: an empty message is success.
struct ArchiveStatus {
  std::string message;

  bool ok() const { return message.empty(); }
  static ArchiveStatus Ok() { return {}; }
  static ArchiveStatus Error(std::string text) { return {std::move(text)}; }
};

// Called as each entry is written, checked or extracted: the entry's name,
// its 1-based number, the entry count, and the percent of it done (0 when
// it starts, 100 when it is finished).
using ItemProgress = std::function<void(const std::string& name, int number,
                                        int count, int percent)>;

// True when name is a plain file name safe to join to a directory: not
// empty, not "." or "..", and free of '/', '\\', ':' and control bytes.
bool IsPlainEntryName(std::string_view name);

struct FileSource;  // one added file, read by libzip during Close()

// Writes one new archive. The archive file is only written by Close(); a
// writer destroyed or discarded before that leaves no file behind (libzip
// writes beside the target and renames into place).
class ZipWriter {
 public:
  ZipWriter();
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Starts a new archive at path, replacing a file already there when the
  // archive is closed. display_name (default: path) is the name used in
  // messages. Fails when the folder of path does not exist or a writer is
  // already open.
  ArchiveStatus Create(const std::string& path,
                       const std::string& display_name = "");

  // Adds base_dir/name as entry name, deflated. The file must be a regular
  // file that can be opened now; its contents are read by Close(). Fails on
  // a name that is not a plain file name, a name already added, or a file
  // that cannot be opened.
  ArchiveStatus AddFile(const std::string& base_dir, const std::string& name);

  // Writes the archive, reading every added file; progress (may be empty)
  // follows each entry. On failure (a file unreadable or changed size while
  // being read, disk full, folder not writable) nothing is left at the
  // target path and an archive that was there before is unchanged.
  ArchiveStatus Close(const ItemProgress& progress);

  // Abandons the archive without writing anything.
  void Discard();

  int entry_count() const { return static_cast<int>(sources_.size()); }

 private:
  zip_t* zip_ = nullptr;
  std::string display_name_;
  std::vector<std::unique_ptr<FileSource>> sources_;
};

// One entry as the central directory describes it.
struct EntryInfo {
  std::string name;  // raw bytes as stored
  uint64_t size = 0;
};

// Reads an existing archive. The archive's structure is checked on Open()
// (libzip's consistency check); entry data is checked (size and CRC) as it
// is read by Verify() or ExtractAll().
class ZipReader {
 public:
  ZipReader();
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Opens path read-only. Fails when it is missing, not a ZIP archive, or
  // its directory is inconsistent (truncated, damaged headers).
  ArchiveStatus Open(const std::string& path);
  void Close();

  // Entries in archive order; empty before a successful Open().
  const std::vector<EntryInfo>& entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }

  // Reads every entry to its end, which makes libzip check its CRC, and
  // checks its length. Fails on the first damaged entry, naming it.
  ArchiveStatus Verify(const ItemProgress& progress);

  // Extracts every entry into dest_dir as a regular file of the entry's
  // name, replacing a file of that name. Before anything is written every
  // name is checked: a name that is not a plain file name or occurs twice
  // refuses the whole extraction. Each file is written under a temporary
  // name and renamed into place only when its data read back cleanly, so a
  // damaged entry never replaces a good file; entries extracted before a
  // failure stay extracted.
  ArchiveStatus ExtractAll(const std::string& dest_dir,
                           const ItemProgress& progress);

 private:
  // Reads entry index fully, passing each block to sink (may be empty).
  ArchiveStatus ReadEntry(int index,
                          const std::function<ArchiveStatus(const char*, size_t)>& sink,
                          const std::function<void(int)>& percent);
  ArchiveStatus CheckNames() const;

  zip_t* zip_ = nullptr;
  std::string path_;
  std::vector<EntryInfo> entries_;
};

}  // namespace tallybook::archive

#endif  // TALLYBOOK_ARCHIVE_ZIP_ARCHIVE_H_
