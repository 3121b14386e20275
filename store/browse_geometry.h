// Page geometry of a record browser: how many rows fit, how tall a row is,
// and how far the rows scroll sideways.
//
// The browser control measures its font and client area and passes the
// numbers in; everything derived from them is computed here, so the layout
// rules are the same on every display and can be checked without one.
#ifndef TALLYBOOK_STORE_BROWSE_GEOMETRY_H_
#define TALLYBOOK_STORE_BROWSE_GEOMETRY_H_

namespace tallybook::store {

// Every row is taken to be this many horizontal steps wide (the longest
// row text), whatever its text.
inline constexpr int kRowWidthSteps = 128;
// Ctrl+Left / Ctrl+Right and the horizontal bar's page clicks move this
// many steps.
inline constexpr int kHorizPageSteps = 10;

struct BrowseMetrics {
  int client_width = 0;
  int client_height = 0;
  int font_height = 0;
  int external_leading = 0;
  int average_char_width = 0;
  int max_char_width = 0;
  bool has_header = false;
  bool has_footer = false;
  int row_slots = 50;  // the browse list's row slots: the most rows shown
};

struct BrowseGeometry {
  int row_height = 1;     // font height + external leading, at least 1
  int rows_per_page = 1;  // rows between header and footer: 1..row_slots
  int horiz_step = 1;     // mean of average and maximum character width
  int horiz_range = 0;    // HorizOfs runs over 0..horiz_range
};

BrowseGeometry ComputeBrowseGeometry(const BrowseMetrics& metrics);

// The sideways moves of the keys and of the horizontal scroll bar.
enum class HorizMove {
  kLeftEnd,    // Home
  kRightEnd,   // End
  kStepLeft,   // Left, line click
  kStepRight,  // Right, line click
  kPageLeft,   // Ctrl+Left, page click
  kPageRight,  // Ctrl+Right, page click
};

// The offset after the move, kept within 0..horiz_range.
int HorizOffsetAfter(HorizMove move, int offset, const BrowseGeometry& geo);
// offset kept within 0..horiz_range.
int ClampHorizOffset(int offset, const BrowseGeometry& geo);

}  // namespace tallybook::store

#endif  // TALLYBOOK_STORE_BROWSE_GEOMETRY_H_
