#include "output/label_layout.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "company/small_file.h"
#include "platform/regular_file.h"

namespace tallybook::output {
namespace {

constexpr int kMaxFontSize = 500;

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string ErrnoReason() { return std::strerror(errno); }

}  // namespace

LabelLayoutRecord EncodeLabelLayout(const LabelLayout& layout) {
  LabelLayoutRecord r;
  r.Description.Set(layout.description);
  r.LeftMargin.Set(layout.left_margin);
  r.TopMargin.Set(layout.top_margin);
  r.ColumnsAcross.Set(layout.columns);
  r.RowsDown.Set(layout.rows);
  r.LabelWidth.Set(layout.label_width);
  r.LabelHeight.Set(layout.label_height);
  r.FontName.Set(layout.font.name);
  r.FontSize = layout.font.size_points;
  r.FontColor = layout.font.color;
  r.FontStyle = layout.font.style;
  r.UseShipping = layout.use_shipping ? 1 : 0;
  r.ReturnAddress = layout.return_address ? 1 : 0;
  if (layout.return_address) {
    r.LogoFile.Set(layout.logo_file);
    r.PrintLine = layout.print_line ? 1 : 0;
  } else {
    r.LogoFile.Set(" ");
    r.PrintLine = 0;
  }
  r.LineWidth.Set(layout.line_width);
  r.SendToCaption.Set(layout.send_to_caption);
  return r;
}

std::string LabelLayoutBytes(const LabelLayout& layout) {
  const LabelLayoutRecord r = EncodeLabelLayout(layout);
  return std::string(reinterpret_cast<const char*>(&r), sizeof(r));
}

std::optional<LabelLayout> DecodeLabelLayout(std::string_view bytes) {
  if (bytes.size() != sizeof(LabelLayoutRecord)) return std::nullopt;
  LabelLayoutRecord r;
  std::memcpy(&r, bytes.data(), sizeof(r));
  LabelLayout l;
  l.description = r.Description.Get();
  l.left_margin = r.LeftMargin.Get();
  l.top_margin = r.TopMargin.Get();
  l.columns = r.ColumnsAcross.Get();
  l.rows = r.RowsDown.Get();
  l.label_width = r.LabelWidth.Get();
  l.label_height = r.LabelHeight.Get();
  l.line_width = r.LineWidth.Get();
  for (const std::string* digits :
       {&l.left_margin, &l.top_margin, &l.columns, &l.rows, &l.label_width,
        &l.label_height, &l.line_width}) {
    if (!AllDigits(*digits)) return std::nullopt;
  }
  for (uint8_t flag : {r.UseShipping, r.ReturnAddress, r.PrintLine}) {
    if (flag > 1) return std::nullopt;
  }
  if (r.FontSize < 1 || r.FontSize > kMaxFontSize) return std::nullopt;
  l.font.name = r.FontName.Get();
  l.font.size_points = r.FontSize;
  l.font.color = r.FontColor & 0xFFFFFFu;
  l.font.style = r.FontStyle & 0x0F;
  l.use_shipping = r.UseShipping == 1;
  l.return_address = r.ReturnAddress == 1;
  l.logo_file = r.LogoFile.Get();
  // The blank a layout without return address stores is no file name.
  if (l.logo_file == " ") l.logo_file.clear();
  l.print_line = r.PrintLine == 1;
  l.send_to_caption = r.SendToCaption.Get();
  return l;
}

std::optional<LabelLayout> ReadLabelLayout(const std::string& path,
                                           std::string* error,
                                           std::string* bytes) {
  std::string read, reason;
  // Far more than a layout: a larger file is refused below in any case.
  constexpr size_t kMaxBytes = 64 * 1024;
  const platform::FileRead status =
      platform::ReadRegularFile(path, kMaxBytes, &read, &reason);
  std::optional<LabelLayout> layout;
  if (status == platform::FileRead::kMissing) {
    reason = "it does not exist";
  } else if (status == platform::FileRead::kTooLarge) {
    reason = "it is not a label layout";
  } else if (status == platform::FileRead::kOk) {
    layout = DecodeLabelLayout(read);
    if (!layout) reason = "it is not a label layout";
  }
  if (!layout) {
    if (error) {
      *error = "The label layout " + path + " could not be read: " + reason +
               ".";
    }
    return std::nullopt;
  }
  if (bytes) *bytes = std::move(read);
  return layout;
}

bool WriteLabelLayout(const std::string& path, const LabelLayout& layout,
                      std::string* error) {
  if (company::ReplaceFile(path, LabelLayoutBytes(layout))) return true;
  if (error) {
    *error = "The label layout " + path + " could not be written: " +
             ErrnoReason() + ".";
  }
  return false;
}

LastLabelRead ReadLastLabelFile(const std::string& data_dir,
                                std::string* layout_path) {
  company::PString<255> name;
  static_assert(sizeof(name) == kLastLabelRecordSize);
  const std::string path =
      (std::filesystem::path(data_dir) / kLastLabelFileName).string();
  switch (company::ReadFixedSizeFile(path, &name, sizeof(name))) {
    case company::SmallFileRead::kMissing:
      return LastLabelRead::kMissing;
    case company::SmallFileRead::kDamaged:
      return LastLabelRead::kDamaged;
    case company::SmallFileRead::kOk:
      break;
  }
  if (name.Empty()) return LastLabelRead::kDamaged;
  *layout_path = name.Get();
  return LastLabelRead::kOk;
}

bool WriteLastLabelFile(const std::string& data_dir,
                        const std::string& layout_path, std::string* error) {
  const std::string path =
      (std::filesystem::path(data_dir) / kLastLabelFileName).string();
  if (layout_path.empty() || layout_path.size() > 255) {
    if (error) {
      *error = "The name of the label layout " + layout_path +
               " is too long to be remembered in " + path + ".";
    }
    return false;
  }
  company::PString<255> name;
  name.Set(layout_path);
  if (company::ReplaceFile(
          path, std::string_view(reinterpret_cast<const char*>(&name),
                                 sizeof(name)))) {
    return true;
  }
  if (error) {
    *error = "The file " + path + " could not be written: " + ErrnoReason() +
             ".";
  }
  return false;
}

}  // namespace tallybook::output
