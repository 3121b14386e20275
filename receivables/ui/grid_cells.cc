#include "receivables/ui/grid_cells.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

namespace tallybook::receivables::ui {

DecimalPointDelegate::DecimalPointDelegate(
    std::function<bool(int column)> aligned, QObject* parent)
    : QStyledItemDelegate(parent), aligned_(std::move(aligned)) {}

void DecimalPointDelegate::paint(QPainter* painter,
                                 const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  QStyleOptionViewItem plain = option;
  initStyleOption(&plain, index);
  const QString text = plain.text;
  const qsizetype dot = text.indexOf(QLatin1Char('.'));
  if (!aligned_(index.column()) || dot < 0) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  plain.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, widget);
  const QFontMetrics metrics(plain.font);
  const QRect r = option.rect;
  const int point_x = r.right() - metrics.horizontalAdvance(".00") - 4;
  painter->save();
  painter->setFont(plain.font);
  painter->setPen(option.state & QStyle::State_Selected
                      ? option.palette.color(QPalette::HighlightedText)
                      : option.palette.color(QPalette::Text));
  painter->drawText(QRect(r.left(), r.top(), point_x - r.left(), r.height()),
                    Qt::AlignRight | Qt::AlignVCenter, text.left(dot));
  painter->drawText(QRect(point_x, r.top(), r.right() - point_x, r.height()),
                    Qt::AlignLeft | Qt::AlignVCenter, text.mid(dot));
  painter->restore();
}

WaitCursor::WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }

}  // namespace tallybook::receivables::ui
