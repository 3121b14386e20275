#include "company/background.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "company/text.h"
#include "platform/regular_file.h"

namespace tallybook::company {

namespace {

namespace fs = std::filesystem;

constexpr int kRuleEvery = 24;  // pixels between the blue rules

struct Rgb {
  uint8_t r, g, b;
};

constexpr Rgb kPaper{246, 244, 236};
constexpr Rgb kRule{196, 212, 234};
constexpr Rgb kColumn{198, 226, 204};

void PutLittleEndian(std::string& out, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) {
    out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

// The colour at (x, y) from the top-left corner. The rules and the column
// line sit on the last row and column, so the tile repeats without a seam.
Rgb PixelAt(int x, int y) {
  if (x == kBackgroundSize - 1) return kColumn;
  if (y % kRuleEvery == kRuleEvery - 1) return kRule;
  return kPaper;
}

}  // namespace

std::string DefaultBackgroundBitmap() {
  constexpr int kHeaderSize = 54;
  constexpr int kRowBytes = (kBackgroundSize * 3 + 3) / 4 * 4;
  constexpr int kPixelBytes = kRowBytes * kBackgroundSize;
  std::string bmp(kHeaderSize + kPixelBytes, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  PutLittleEndian(bmp, 2, kHeaderSize + kPixelBytes, 4);
  PutLittleEndian(bmp, 10, kHeaderSize, 4);
  PutLittleEndian(bmp, 14, 40, 4);
  PutLittleEndian(bmp, 18, kBackgroundSize, 4);
  PutLittleEndian(bmp, 22, kBackgroundSize, 4);
  PutLittleEndian(bmp, 26, 1, 2);
  PutLittleEndian(bmp, 28, 24, 2);
  PutLittleEndian(bmp, 34, kPixelBytes, 4);
  for (int row = 0; row < kBackgroundSize; ++row) {
    // Rows are stored bottom-up.
    const int y = kBackgroundSize - 1 - row;
    size_t at = kHeaderSize + static_cast<size_t>(row) * kRowBytes;
    for (int x = 0; x < kBackgroundSize; ++x) {
      const Rgb c = PixelAt(x, y);
      bmp[at++] = static_cast<char>(c.b);
      bmp[at++] = static_cast<char>(c.g);
      bmp[at++] = static_cast<char>(c.r);
    }
  }
  return bmp;
}

bool IsDefaultBackground(std::string_view file_name) {
  return Trim(file_name) == kDefaultBackgroundFile;
}

bool InstallDefaultBackground(const std::string& dir) {
  const fs::path path = fs::path(dir) / kDefaultBackgroundFile;
  std::error_code ec;
  if (fs::exists(path, ec)) return true;
  // Written beside and renamed over, so a failed write leaves no half
  // picture behind.
  return platform::ReplaceThroughSideFile(
      path.string(), path.string() + ".new", DefaultBackgroundBitmap());
}

}  // namespace tallybook::company
