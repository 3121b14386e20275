#include "company/small_file.h"

#include "platform/regular_file.h"

namespace tallybook::company {

SmallFileRead ReadFixedSizeFile(const std::string& path, void* record,
                                std::size_t size) {
  // Bytes past the record are ignored, but a file far larger than any
  // record is not read whole.
  constexpr std::size_t kMaxBytes = 1 << 20;
  std::string bytes;
  switch (platform::ReadRegularFile(path, kMaxBytes, &bytes)) {
    case platform::FileRead::kOk:
      break;
    case platform::FileRead::kMissing:
      return SmallFileRead::kMissing;
    default:
      return SmallFileRead::kDamaged;
  }
  if (bytes.size() < size) return SmallFileRead::kDamaged;
  bytes.copy(static_cast<char*>(record), size);
  return SmallFileRead::kOk;
}

std::string SideFileOf(const std::string& path) { return path + ".new"; }

bool ReplaceFile(const std::string& path, std::string_view bytes) {
  return platform::ReplaceThroughSideFile(path, SideFileOf(path), bytes);
}

bool ReplacePrivateFile(const std::string& path, std::string_view bytes) {
  // Exactly 0600: also a umask that takes the owner's own bits away must
  // not leave a file we cannot read back.
  return platform::ReplaceThroughSideFile(path, SideFileOf(path), bytes, 0600,
                                          /*exact_mode=*/true);
}

}  // namespace tallybook::company
