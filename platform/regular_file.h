// The program's own small files (settings, the last company, saved lines,
// lists, CSV files handed to an import) read safely, and side files written
// safely before they are renamed into place.
//
// A reader never waits on, nor reads from, anything that is not a regular
// file: a folder, a FIFO, a device or a socket of that name is refused
// (the file is opened without blocking and checked on the open
// descriptor), and a read error is returned as a reason for a message,
// never as an exception.
//
// A side file has a predictable name ("X.part", "X.tmp", "X.new"), so one
// is never opened as it is: whatever is at that name - a side file left by
// an earlier run, or a link someone planted there - is removed first and
// the file is created anew with O_CREAT | O_EXCL | O_NOFOLLOW, so a write
// can never go through a link to another file.
#ifndef TALLYBOOK_PLATFORM_REGULAR_FILE_H_
#define TALLYBOOK_PLATFORM_REGULAR_FILE_H_

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tallybook::platform {

enum class FileRead {
  kOk,
  kMissing,     // nothing at the path (or a folder on the way is missing)
  kNotRegular,  // a folder, FIFO, device or socket
  kTooLarge,    // more than the given maximum
  kFailed,      // open or read failed
};

// Reads the whole regular file at path into *bytes when it holds at most
// max_bytes. Unless kOk, *bytes is left as it was and *reason (when given)
// says why in words that follow "could not be read: " ("it is a folder",
// "it is not a regular file", "it is too large", or the system's text of
// the error).
FileRead ReadRegularFile(const std::string& path, size_t max_bytes,
                         std::string* bytes, std::string* reason = nullptr);

// Creates the side file `path` for writing, with `mode` less the umask, as
// described above. Returns the open descriptor, or -1 with errno set.
int CreateSideFile(const std::string& path, mode_t mode);

// Writes bytes to the side file `side` (CreateSideFile) and renames it over
// path. True when path holds exactly bytes. On failure the side file is
// removed, path is left as it was and errno tells the failing call's
// reason. With exact_mode the side file is set to exactly `mode` before a
// byte is written, whatever the umask (files that hold secrets: 0600).
bool ReplaceThroughSideFile(const std::string& path, const std::string& side,
                            std::string_view bytes, mode_t mode = 0666,
                            bool exact_mode = false);

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_REGULAR_FILE_H_
