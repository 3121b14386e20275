// The size in pixels of a picture file (BMP or PNG), read from its header,
// for pages that draw a picture at its own size (one pixel, one printer
// dot), as the return address of a mailing label draws the logo.
#ifndef TALLYBOOK_OUTPUT_PICTURE_SIZE_H_
#define TALLYBOOK_OUTPUT_PICTURE_SIZE_H_

#include <optional>
#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace tallybook::output {

// Width and height from the first bytes of a BMP or PNG file; nullopt when
// they are not one, or give a size of 0 or more than 30000 pixels a side.
std::optional<platform::Size> PictureSizeOf(std::string_view header);

// PictureSizeOf the file at path (a regular file); nullopt when it cannot
// be read.
std::optional<platform::Size> PictureFileSize(const std::string& path);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_PICTURE_SIZE_H_
