// Mailing labels on a sheet: where each label goes, what one label holds,
// and the calibration ruler that helps measure a sheet. Everything is drawn
// on a platform::Canvas in printer dots; the label wizard and
// tallybook-admin start the job.
//
// Positions: x starts at the left margin and y at the top margin, in row 1,
// column 1. Advancing a position moves one label to the right; past the
// last column it returns to the left margin of the next row (y grows by the
// label height). A new page starts only when the rows of a sheet are used
// up and labels remain, so a queue that fills a sheet exactly ejects no
// empty page.
#ifndef TALLYBOOK_OUTPUT_LABEL_PRINT_H_
#define TALLYBOOK_OUTPUT_LABEL_PRINT_H_

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "company/records.h"
#include "output/label_layout.h"
#include "platform/canvas.h"

namespace tallybook::output {

inline constexpr char kLabelJobTitle[] = "Mailing Labels";
inline constexpr char kRulerJobTitle[] = "Calibration Ruler";
// The text whose height is a label's line height.
inline constexpr char kLineHeightSample[] = "MXjpy";
inline constexpr char kRulerLine1[] =
    "Use the top ruler for vertical height measurement and the bottom ruler "
    "to measure horizontal width.";
inline constexpr char kRulerLine2[] =
    "Be sure to include any spacing between labels in your height and width "
    "measurements.";

// The six sheet fields as numbers.
struct LabelSheet {
  int left = 0;
  int top = 0;
  int columns = 1;
  int rows = 1;
  int width = 0;
  int height = 0;
};
// The sheet of layout; nullopt when one of the six fields is empty, or
// columns, rows, width or height is 0 (a sheet without labels).
std::optional<LabelSheet> SheetOf(const LabelLayout& layout);

// "Start at Label" and "Copies of each label": empty, or starting with "0",
// means 1; otherwise the leading digits.
int CountOrOne(const std::string& text);

// The position of the next label on the sheet.
class LabelCursor {
 public:
  explicit LabelCursor(const LabelSheet& sheet) : sheet_(sheet) { NewSheet(); }

  int x() const { return x_; }
  int y() const { return y_; }
  int column() const { return column_; }
  int row() const { return row_; }

  // Moves to start label n (1 = the first of the sheet). A number beyond
  // the labels of one sheet counts on around the same sheet: nothing has
  // been printed, so no page is ejected for it.
  void SkipTo(int n);
  // The next position.
  void Advance();
  // True when the rows of the sheet are used up.
  bool PastLastRow() const { return row_ > sheet_.rows; }
  // Row 1, column 1, at the margins.
  void NewSheet();

 private:
  LabelSheet sheet_;
  int x_ = 0, y_ = 0, column_ = 1, row_ = 1;
};

// What one label says of the customer.
struct LabelAddress {
  std::string name;
  std::array<std::string, 4> lines;
};
// The billing address of customer, or the shipping address.
LabelAddress AddressOf(const company::CustomerRecord& customer,
                       bool shipping);

// Draws one label at (x, y) with the canvas's current font; line_height is
// the height of kLineHeightSample. With the return address: the logo
// (logo_path, at its own size, when the file is a picture), the company's
// name and four address lines beside it, the rule when asked for, then the
// send-to caption and the recipient below.
void DrawLabel(platform::Canvas& canvas, const LabelLayout& layout,
               const company::CompanyRecord& company,
               const LabelAddress& address, int x, int y, int line_height,
               const std::string& logo_path);

// Draws `copies` labels of each address, in order, from start label
// `start` (see LabelCursor::SkipTo), in the layout's font; returns the
// number of labels drawn. Relative logo names are taken from data_dir.
int DrawLabels(platform::Canvas& canvas, const LabelLayout& layout,
               const LabelSheet& sheet, const company::CompanyRecord& company,
               const std::vector<LabelAddress>& addresses, int start,
               int copies, const std::string& data_dir);

// One page with a vertical and a horizontal scale in printer dots and two
// lines of instructions.
void DrawCalibrationRuler(platform::Canvas& canvas);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LABEL_PRINT_H_
