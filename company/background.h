// The program's own background picture for the main window: a ledger-sheet
// tile (pale paper, blue rules, a green column line) drawn by the program
// itself and written as a Windows bitmap under the name every new company
// starts with, so that the default background works without any picture of
// the user's.
//
//   The file is a plain 24-bit BMP, bottom-up rows padded to 4 bytes:
//   OFFSET WIDTH  MEANING
//   0      2      "BM"
//   2      4      file size
//   10     4      54, where the pixels start
//   14     4      40, the info header size
//   18     4      width (kBackgroundSize)
//   22     4      height (kBackgroundSize)
//   26     2      1 plane
//   28     2      24 bits per pixel
//   34     4      pixel bytes
//   54     ...    pixels, blue-green-red
#ifndef TALLYBOOK_COMPANY_BACKGROUND_H_
#define TALLYBOOK_COMPANY_BACKGROUND_H_

#include <string>
#include <string_view>

namespace tallybook::company {

// The background picture new companies name (MainBitmapFile).
inline constexpr char kDefaultBackgroundFile[] = "vkt8.bmp";
// Width and height of the tile in pixels.
inline constexpr int kBackgroundSize = 96;

// The bytes of the program's background picture.
std::string DefaultBackgroundBitmap();

// True when file_name (as a company record holds it) names the program's
// own picture in the data directory.
bool IsDefaultBackground(std::string_view file_name);

// Writes the picture as kDefaultBackgroundFile into dir unless a file of
// that name is there already (a picture of the user's is kept). True when
// the file is there afterwards.
bool InstallDefaultBackground(const std::string& dir);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_BACKGROUND_H_
