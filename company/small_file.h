// Small files of the data directory that hold one fixed-size record or a
// line of text ("LastCo.Dat", the password file, the last backup
// destination): reading one whole record, and replacing a file so that a
// failed write never leaves a half-written file in its place; files that
// hold secrets are replaced as private files (mode 0600).
#ifndef TALLYBOOK_COMPANY_SMALL_FILE_H_
#define TALLYBOOK_COMPANY_SMALL_FILE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace tallybook::company {

enum class SmallFileRead {
  kOk,       // the record was read whole
  kMissing,  // there is no file at the path
  kDamaged,  // the file exists but cannot be opened, or is shorter than a record
};

// Reads the first size bytes of the file at path into record. Bytes past
// the record are ignored. Unless kOk, record is left as it was.
SmallFileRead ReadFixedSizeFile(const std::string& path, void* record,
                                std::size_t size);

// The side file a replacement is written to before it is renamed over path.
std::string SideFileOf(const std::string& path);

// Writes bytes to SideFileOf(path) and renames it over path. Returns true
// when path holds exactly bytes. On failure returns false, removes the side
// file, leaves the file at path as it was, and leaves errno as the failing
// call set it, so the caller can name the reason.
bool ReplaceFile(const std::string& path, std::string_view bytes);

// As ReplaceFile, for a file that holds secrets (the password file, mail
// settings): the side file is made readable and writable by the owner only
// (mode 0600) before a byte is written, so the file is never readable by
// others, not even for a moment, whatever the umask and whatever mode an
// earlier file of that name had.
bool ReplacePrivateFile(const std::string& path, std::string_view bytes);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_SMALL_FILE_H_
