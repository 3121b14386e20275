// The letter window's ruler and editor measure indents in screen pixels,
// letters in points and twips: pixels = points x 4/3, points = pixels x
// 0.75. The right indent marker stands left of the ruler's right edge by
// the indent plus kRightIndentOffsetPoints.
#ifndef TALLYBOOK_OUTPUT_RULER_SCALE_H_
#define TALLYBOOK_OUTPUT_RULER_SCALE_H_

#include <algorithm>
#include <cmath>

namespace tallybook::output {

inline constexpr double kRightIndentOffsetPoints = 12;

inline int PixelsFromPoints(double points) {
  return static_cast<int>(std::lround(points * 4.0 / 3.0));
}
inline double PointsFromPixels(double pixels) { return pixels * 0.75; }

inline int TwipsFromPixels(double pixels) {
  return static_cast<int>(std::lround(PointsFromPixels(pixels) * 20));
}
inline double PixelsFromTwips(int twips) { return twips / 20.0 * 4.0 / 3.0; }

// The right indent, in points, of a marker at x on a ruler `width` pixels
// wide; never below zero.
inline double RightIndentPoints(int ruler_width, int x) {
  return std::max(0.0, PointsFromPixels(ruler_width - x) -
                           kRightIndentOffsetPoints);
}
// Where the right indent marker of `points` stands on the ruler.
inline int RightMarkerPixels(int ruler_width, double points) {
  return ruler_width - PixelsFromPoints(points + kRightIndentOffsetPoints);
}

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_RULER_SCALE_H_
