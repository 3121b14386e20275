// What the receivables windows' grids share: amounts drawn aligned on the
// decimal point, and the hourglass shown while a window works.
#ifndef TALLYBOOK_RECEIVABLES_UI_GRID_CELLS_H_
#define TALLYBOOK_RECEIVABLES_UI_GRID_CELLS_H_

#include <QStyledItemDelegate>
#include <functional>

namespace tallybook::receivables::ui {

// Draws the cells of the columns `aligned` names that hold a decimal
// point aligned on it: the text before the point ends the width of ".00"
// plus 4 pixels before the cell's right edge, the rest follows it. Other
// cells are drawn as usual.
class DecimalPointDelegate : public QStyledItemDelegate {
 public:
  DecimalPointDelegate(std::function<bool(int column)> aligned,
                       QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  std::function<bool(int)> aligned_;
};

// The hourglass for its lifetime.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_GRID_CELLS_H_
