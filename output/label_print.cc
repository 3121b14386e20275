#include "output/label_print.h"

#include <filesystem>

#include "company/text.h"
#include "output/picture_size.h"

namespace tallybook::output {

using company::Trim;

namespace {

// The number of an all-digit text (at most 4 digits, as the fields hold);
// nullopt when empty or not digits.
std::optional<int> Digits(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty() || t.size() > 4) return std::nullopt;
  int v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// The gap between the logo and the company's name, and the rule's reach
// to the left of the label.
constexpr int kLogoGap = 25;
constexpr int kRuleOverhang = 25;
constexpr int kRuleDrop = 20;

}  // namespace

std::optional<LabelSheet> SheetOf(const LabelLayout& layout) {
  const auto left = Digits(layout.left_margin);
  const auto top = Digits(layout.top_margin);
  const auto columns = Digits(layout.columns);
  const auto rows = Digits(layout.rows);
  const auto width = Digits(layout.label_width);
  const auto height = Digits(layout.label_height);
  if (!left || !top || !columns || !rows || !width || !height) {
    return std::nullopt;
  }
  if (*columns == 0 || *rows == 0 || *width == 0 || *height == 0) {
    return std::nullopt;
  }
  return LabelSheet{*left, *top, *columns, *rows, *width, *height};
}

int CountOrOne(const std::string& text) {
  const std::string t = Trim(text);
  if (!t.empty() && t[0] == '0') return 1;
  int v = 0;
  size_t i = 0;
  for (; i < t.size() && i < 6 && t[i] >= '0' && t[i] <= '9'; ++i) {
    v = v * 10 + (t[i] - '0');
  }
  return v < 1 ? 1 : v;
}

void LabelCursor::SkipTo(int n) {
  for (int i = 1; i < n; ++i) {
    Advance();
    if (PastLastRow()) NewSheet();
  }
}

void LabelCursor::Advance() {
  ++column_;
  if (column_ > sheet_.columns) {
    column_ = 1;
    x_ = sheet_.left;
    ++row_;
    y_ += sheet_.height;
  } else {
    x_ += sheet_.width;
  }
}

void LabelCursor::NewSheet() {
  x_ = sheet_.left;
  y_ = sheet_.top;
  column_ = 1;
  row_ = 1;
}

LabelAddress AddressOf(const company::CustomerRecord& c, bool shipping) {
  LabelAddress a;
  a.name = Trim(c.CustomerName.View());
  const company::PString<35>* bill[] = {&c.BillAddress1, &c.BillAddress2,
                                        &c.BillAddress3, &c.BillAddress4};
  const company::PString<35>* ship[] = {&c.ShipAddress1, &c.ShipAddress2,
                                        &c.ShipAddress3, &c.ShipAddress4};
  for (int k = 0; k < 4; ++k) {
    a.lines[k] = Trim((shipping ? ship[k] : bill[k])->View());
  }
  return a;
}

void DrawLabel(platform::Canvas& canvas, const LabelLayout& layout,
               const company::CompanyRecord& company,
               const LabelAddress& address, int x, int y, int line_height,
               const std::string& logo_path) {
  const int L = line_height;
  int b = 0, c = 0, d = 0;
  if (layout.return_address) {
    if (!logo_path.empty()) {
      if (const auto size = PictureFileSize(logo_path)) {
        if (canvas.DrawBitmap(
                {x, y, x + size->width, y + size->height}, logo_path)) {
          b = size->width + kLogoGap;
        }
      }
    }
    canvas.TextOut(x + b, y, Trim(company.CompanyName.View()));
    const company::PString<35>* lines[] = {
        &company.CompanyAddress1, &company.CompanyAddress2,
        &company.CompanyAddress3, &company.CompanyAddress4};
    for (int k = 0; k < 4; ++k) {
      canvas.TextOut(x + b, y + (k + 1) * L, Trim(lines[k]->View()));
    }
    if (layout.print_line) {
      canvas.SetPen(CountOrOne(layout.line_width), platform::kBlack);
      const int line_y = y + 5 * L + kRuleDrop;
      const int width = Digits(layout.label_width).value_or(0);
      canvas.Line(x - kRuleOverhang, line_y, x + (width / 10) * 8, line_y);
    }
    d = 6 * L;
    c = canvas.TextWidth(layout.send_to_caption + "X");
    canvas.TextOut(x, y + d, layout.send_to_caption);
  }
  canvas.TextOut(x + c, y + d, address.name);
  for (int k = 0; k < 4; ++k) {
    canvas.TextOut(x + c, y + d + (k + 1) * L, address.lines[k]);
  }
}

int DrawLabels(platform::Canvas& canvas, const LabelLayout& layout,
               const LabelSheet& sheet, const company::CompanyRecord& company,
               const std::vector<LabelAddress>& addresses, int start,
               int copies, const std::string& data_dir) {
  platform::Font font = layout.font;
  if (Trim(font.name).empty()) font.name = platform::Font().name;
  canvas.SetFont(font);
  const int line_height = canvas.TextHeight(kLineHeightSample);
  std::string logo = Trim(layout.logo_file);
  if (!logo.empty() && std::filesystem::path(logo).is_relative()) {
    logo = (std::filesystem::path(data_dir) / logo).string();
  }
  LabelCursor cursor(sheet);
  cursor.SkipTo(start);
  const int total = static_cast<int>(addresses.size()) * copies;
  int printed = 0;
  for (const LabelAddress& address : addresses) {
    for (int copy = 0; copy < copies; ++copy) {
      DrawLabel(canvas, layout, company, address, cursor.x(), cursor.y(),
                line_height, logo);
      ++printed;
      cursor.Advance();
      if (cursor.PastLastRow() && printed < total) {
        canvas.NewPage();
        cursor.NewSheet();
      }
    }
  }
  return printed;
}

void DrawCalibrationRuler(platform::Canvas& canvas) {
  constexpr int kMarks = 61;
  constexpr int kStep = 25;
  canvas.SetFont(platform::Font());
  for (int i = 0; i < kMarks; ++i) {
    const int at = i * kStep;
    const bool major = i % 4 == 0;
    canvas.SetPen(major ? 3 : 1, platform::kBlack);
    // The vertical scale, marks across it.
    if (major) {
      canvas.Line(50, at, 300, at);
      canvas.TextOut(325, at, std::to_string(at));
    } else {
      canvas.Line(100, at, 250, at);
    }
    // The horizontal scale below it, marks standing up.
    if (major) {
      canvas.Line(at, 1750, at, 2000);
      canvas.TextOut(at, 2025, std::to_string(at));
    } else {
      canvas.Line(at, 1800, at, 1950);
    }
  }
  canvas.TextOut(300, 2525, kRulerLine1);
  canvas.TextOut(300, 2535 + canvas.TextHeight("20"), kRulerLine2);
}

}  // namespace tallybook::output
