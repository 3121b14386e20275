// Label layouts: the ".LBL" file that describes a sheet of mailing labels,
// and the two small files that remember the layout in use, "Lastlbl.DAT"
// and "Label.Dat".
//
// A layout file is exactly one record of 444 bytes, zero-filled before it
// is built; text fields are length-prefixed (one length byte, then the
// characters, the rest of the field zero). Numbers the user types are kept
// as the typed digits.
//
//   OFFSET  WIDTH  FIELD
//   0       51     description          str[50]
//   51      4      left margin          str[3], printer dots
//   55      4      top margin           str[3], printer dots
//   59      2      columns across       str[1]
//   61      3      rows down            str[2]
//   64      5      label width          str[4], printer dots
//   69      5      label height         str[4], printer dots
//   74      33     font name            str[32]
//   107     1      zero
//   108     4      font size            int32, points
//   112     4      font colour          int32, 0x00BBGGRR
//   116     1      font style           bits: 1 bold, 2 italic, 4 underline,
//                                       8 strike-out
//   117     1      use shipping address 0 or 1
//   118     1      print return address 0 or 1
//   119     256    logo bitmap file     str[255]; " " when the return
//                                       address is off
//   375     51     zero
//   426     1      line between addresses  0 or 1; 0 when the return
//                                       address is off
//   427     2      line width           str[1], pen width
//   429     2      zero
//   431     11     send-to caption      str[10]
//   442     2      zero
//
// "Lastlbl.DAT" (data directory): one 256-byte record, a str[255] holding
// the full name of the layout file last opened or saved. "Label.Dat": a
// byte copy of the layout file last opened.
#ifndef TALLYBOOK_OUTPUT_LABEL_LAYOUT_H_
#define TALLYBOOK_OUTPUT_LABEL_LAYOUT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "company/pstring.h"
#include "company/record_layout.h"
#include "platform/font.h"

namespace tallybook::output {

inline constexpr char kLastLabelFileName[] = "Lastlbl.DAT";
inline constexpr char kLabelCopyFileName[] = "Label.Dat";
inline constexpr int kLabelLayoutSize = 444;
inline constexpr int kLastLabelRecordSize = 256;

#pragma pack(push, 1)
struct LabelLayoutRecord {
  company::PString<50> Description;
  company::PString<3> LeftMargin;
  company::PString<3> TopMargin;
  company::PString<1> ColumnsAcross;
  company::PString<2> RowsDown;
  company::PString<4> LabelWidth;
  company::PString<4> LabelHeight;
  company::PString<32> FontName;
  uint8_t Zero107 = 0;
  int32_t FontSize = 0;
  uint32_t FontColor = 0;
  uint8_t FontStyle = 0;
  uint8_t UseShipping = 0;
  uint8_t ReturnAddress = 0;
  company::PString<255> LogoFile;
  uint8_t Zero375[51] = {};
  uint8_t PrintLine = 0;
  company::PString<1> LineWidth;
  uint8_t Zero429[2] = {};
  company::PString<10> SendToCaption;
  uint8_t Zero442[2] = {};
};
#pragma pack(pop)

static_assert(sizeof(LabelLayoutRecord) == kLabelLayoutSize);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, LeftMargin, 51);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, TopMargin, 55);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, ColumnsAcross, 59);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, RowsDown, 61);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, LabelWidth, 64);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, LabelHeight, 69);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, FontName, 74);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, FontSize, 108);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, FontColor, 112);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, FontStyle, 116);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, UseShipping, 117);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, ReturnAddress, 118);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, LogoFile, 119);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, PrintLine, 426);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, LineWidth, 427);
TALLYBOOK_FIELD_AT(LabelLayoutRecord, SendToCaption, 431);

// A layout as the label wizard's fields hold it. The six sheet fields, the
// line width and the caption are the typed texts (digits, or empty).
struct LabelLayout {
  std::string description;
  std::string left_margin;
  std::string top_margin;
  std::string columns;
  std::string rows;
  std::string label_width;
  std::string label_height;
  platform::Font font;
  bool use_shipping = false;
  bool return_address = false;
  std::string logo_file;
  bool print_line = false;
  std::string line_width;
  std::string send_to_caption;

  bool operator==(const LabelLayout&) const = default;
};

// The record saved for layout, with the rules of Save As: without the
// return address the logo name is a single blank and the line flag 0.
// Texts longer than their fields are cut.
LabelLayoutRecord EncodeLabelLayout(const LabelLayout& layout);
// The record's 444 bytes.
std::string LabelLayoutBytes(const LabelLayout& layout);

// The layout in 444 bytes read from a file. Nullopt when they are not a
// layout: another size, a sheet field or the line width that is not all
// digits, a switch other than 0 or 1, a font size outside 1..500.
std::optional<LabelLayout> DecodeLabelLayout(std::string_view bytes);

// Reads the layout file at path. Nullopt and *error ("The label layout
// PATH could not be read: REASON.") on failure; *bytes, when given, takes
// the file's bytes.
std::optional<LabelLayout> ReadLabelLayout(const std::string& path,
                                           std::string* error,
                                           std::string* bytes = nullptr);
// Writes layout to path through a side file; false and *error on failure
// (the file at path is left as it was).
bool WriteLabelLayout(const std::string& path, const LabelLayout& layout,
                      std::string* error);

// What "Lastlbl.DAT" in data_dir says.
enum class LastLabelRead { kOk, kMissing, kDamaged };
LastLabelRead ReadLastLabelFile(const std::string& data_dir,
                                std::string* layout_path);
// Records layout_path in "Lastlbl.DAT"; false and *error when it cannot be
// written, or when the name is longer than the 255 characters the record
// holds (it would name another file).
bool WriteLastLabelFile(const std::string& data_dir,
                        const std::string& layout_path, std::string* error);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LABEL_LAYOUT_H_
