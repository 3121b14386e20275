#include "output/ui/letter_ruler.h"

#include <QMouseEvent>
#include <QPainter>

#include "output/ruler_scale.h"

namespace tallybook::output::ui {

namespace {
constexpr int kMarkerHalf = 5;
}

LetterRuler::LetterRuler(QWidget* parent) : QWidget(parent) {
  setFixedHeight(24);
  setMouseTracking(false);
  setObjectName("Ruler");
}

void LetterRuler::SetOrigin(int origin) {
  origin_ = origin;
  update();
}

void LetterRuler::SetIndents(const Indents& indents) {
  left_x_ = PixelsFromPoints(indents.left);
  first_x_ = left_x_ + PixelsFromPoints(indents.first);
  right_points_ = indents.right;
  update();
}

LetterRuler::Indents LetterRuler::indents() const {
  return {PointsFromPixels(first_x_ - left_x_), PointsFromPixels(left_x_),
          right_points_};
}

LetterRuler::Marker LetterRuler::MarkerAt(const QPoint& pos) const {
  const int right_x = RightMarkerPixels(width() - origin_, right_points_);
  const bool top = pos.y() < height() / 2;
  auto near = [&](int x) { return std::abs(pos.x() - origin_ - x) <= kMarkerHalf + 1; };
  if (top && near(first_x_)) return kFirst;
  if (!top && near(left_x_)) return kLeft;
  if (near(right_x)) return kRight;
  if (near(first_x_)) return kFirst;
  return kNone;
}

void LetterRuler::mousePressEvent(QMouseEvent* event) {
  dragging_ = MarkerAt(event->position().toPoint());
}

void LetterRuler::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ == kNone) return;
  const int usable = width() - origin_;
  const int x = std::clamp(static_cast<int>(event->position().x()) - origin_,
                           0, std::max(usable - 1, 0));
  switch (dragging_) {
    case kFirst:
      first_x_ = x;
      break;
    case kLeft:
      first_x_ += x - left_x_;
      left_x_ = x;
      break;
    case kRight:
      right_points_ = RightIndentPoints(usable, x);
      break;
    case kNone:
      break;
  }
  update();
  emit IndentsChanged();
}

void LetterRuler::mouseReleaseEvent(QMouseEvent*) { dragging_ = kNone; }

void LetterRuler::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  update();
}

void LetterRuler::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  painter.setPen(palette().text().color());
  const int inch = PixelsFromPoints(72);
  const int eighth = std::max(inch / 8, 1);
  for (int k = 0; origin_ + k * eighth < width(); ++k) {
    const int x = origin_ + k * eighth;
    const int h = k % 8 == 0 ? 8 : (k % 4 == 0 ? 5 : 3);
    painter.drawLine(x, height() / 2 - h / 2, x, height() / 2 + h / 2);
    if (k % 8 == 0 && k > 0) {
      painter.drawText(x + 2, height() / 2 + 4, QString::number(k / 8));
    }
  }
  painter.setBrush(palette().mid());
  auto triangle = [&](int x, bool down) {
    const int cx = origin_ + x;
    const int y0 = down ? 0 : height();
    const int y1 = down ? kMarkerHalf + 2 : height() - kMarkerHalf - 2;
    const QPoint points[3] = {{cx - kMarkerHalf, y0}, {cx + kMarkerHalf, y0},
                              {cx, y1}};
    painter.drawPolygon(points, 3);
  };
  triangle(first_x_, true);
  triangle(left_x_, false);
  triangle(RightMarkerPixels(width() - origin_, right_points_), false);
}

}  // namespace tallybook::output::ui
