// The letter window's ruler: a scale in inches with three indent markers
// for the paragraph at the cursor - first line (top), left and right
// (bottom). Dragging the left marker takes the first-line marker along.
// Positions are pixels from the ruler's origin (the editor's text edge);
// indents convert by the ruler scale (output/ruler_scale.h).
#ifndef TALLYBOOK_OUTPUT_UI_LETTER_RULER_H_
#define TALLYBOOK_OUTPUT_UI_LETTER_RULER_H_

#include <QWidget>

namespace tallybook::output::ui {

class LetterRuler : public QWidget {
  Q_OBJECT

 public:
  // Indents in points: the first line from the left indent, the left from
  // the text edge, the right from the ruler's right edge.
  struct Indents {
    double first = 0;
    double left = 0;
    double right = 0;
  };

  explicit LetterRuler(QWidget* parent = nullptr);
  void SetOrigin(int origin);
  void SetIndents(const Indents& indents);
  Indents indents() const;

 signals:
  // The user moved a marker.
  void IndentsChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  enum Marker { kNone = -1, kFirst, kLeft, kRight };
  Marker MarkerAt(const QPoint& pos) const;

  int origin_ = 6;
  int first_x_ = 0;  // pixels from the origin
  int left_x_ = 0;
  double right_points_ = 0;
  Marker dragging_ = kNone;
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_LETTER_RULER_H_
