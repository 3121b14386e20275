#include "store/browse_geometry.h"

#include <algorithm>

namespace tallybook::store {

BrowseGeometry ComputeBrowseGeometry(const BrowseMetrics& m) {
  BrowseGeometry geo;
  geo.row_height = std::max(1, m.font_height + m.external_leading);
  int rows = std::max(0, m.client_height) / geo.row_height;
  if (m.has_header) --rows;
  if (m.has_footer) --rows;
  // A client area too small for any row still shows one.
  geo.rows_per_page = std::clamp(rows, 1, std::max(1, m.row_slots));
  geo.horiz_step = std::max(1, (m.average_char_width + m.max_char_width) / 2);
  geo.horiz_range =
      std::max(0, kRowWidthSteps * geo.horiz_step - std::max(0, m.client_width));
  return geo;
}

int ClampHorizOffset(int offset, const BrowseGeometry& geo) {
  return std::clamp(offset, 0, std::max(0, geo.horiz_range));
}

int HorizOffsetAfter(HorizMove move, int offset, const BrowseGeometry& geo) {
  switch (move) {
    case HorizMove::kLeftEnd:
      return 0;
    case HorizMove::kRightEnd:
      return ClampHorizOffset(geo.horiz_range, geo);
    case HorizMove::kStepLeft:
      return ClampHorizOffset(offset - geo.horiz_step, geo);
    case HorizMove::kStepRight:
      return ClampHorizOffset(offset + geo.horiz_step, geo);
    case HorizMove::kPageLeft:
      return ClampHorizOffset(offset - kHorizPageSteps * geo.horiz_step, geo);
    case HorizMove::kPageRight:
      return ClampHorizOffset(offset + kHorizPageSteps * geo.horiz_step, geo);
  }
  return ClampHorizOffset(offset, geo);
}

}  // namespace tallybook::store
