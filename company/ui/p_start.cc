#include "company/ui/p_start.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include "company/app.h"

namespace tallybook::company::ui {

TPStart::TPStart(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("TPStart");
  setAttribute(Qt::WA_DeleteOnClose, false);
  resize(420, 240);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TPStart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height());
  sky.setColorAt(0, QColor(0x1F, 0x3A, 0x68));
  sky.setColorAt(1, QColor(0x4A, 0x78, 0xB0));
  p.fillRect(rect(), sky);
  // The picture: a ledger book with a tally of five strokes.
  QRect book(30, 60, 110, 130);
  p.setPen(QPen(Qt::white, 2));
  p.setBrush(QColor(0xF4, 0xEF, 0xE1));
  p.drawRoundedRect(book, 6, 6);
  p.setPen(QPen(QColor(0x1F, 0x3A, 0x68), 4));
  for (int i = 0; i < 4; ++i) {
    const int x = book.left() + 25 + i * 18;
    p.drawLine(x, book.top() + 35, x, book.bottom() - 35);
  }
  p.drawLine(book.left() + 15, book.bottom() - 45, book.right() - 15,
             book.top() + 45);
  p.setPen(Qt::white);
  QFont title = font();
  title.setPointSize(20);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRect(160, 70, width() - 170, 50), Qt::AlignLeft | Qt::AlignVCenter,
             kProductTitle);
  QFont line = font();
  line.setPointSize(10);
  p.setFont(line);
  p.drawText(QRect(160, 125, width() - 170, 60), Qt::AlignLeft | Qt::TextWordWrap,
             "Billing and accounts receivable\nLoading...");
}

}  // namespace tallybook::company::ui
