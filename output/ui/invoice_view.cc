#include "output/ui/invoice_view.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "platform/qt/text_codec.h"

namespace tallybook::output::ui {

using platform::qt::ToQString;

namespace {

QString Lines(std::initializer_list<std::string> head,
              const std::array<std::string, 4>& rest) {
  QStringList out;
  for (const std::string& s : head) out << ToQString(s);
  for (const std::string& s : rest) out << ToQString(s);
  return out.join('\n');
}

}  // namespace

Trtedit::Trtedit(const InvoiceViewModel& m, QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQString(m.caption));
  auto* layout = new QVBoxLayout(this);
  auto* addresses = new QHBoxLayout;
  NamePanel = new QLabel(Lines({m.name}, m.billing), this);
  ShipPanel = new QLabel(Lines({m.shipping_caption}, m.shipping), this);
  InfoPanel = new QLabel(
      QStringList{ToQString(m.date), ToQString(m.number), ToQString(m.account),
                  ToQString(m.terms), ToQString(m.reference)}
          .join('\n'),
      this);
  for (QLabel* panel : {NamePanel, ShipPanel, InfoPanel}) {
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    addresses->addWidget(panel, 1);
  }
  layout->addLayout(addresses);

  TitleLabel = new QLabel(ToQString(m.title), this);
  QFont title_font = TitleLabel->font();
  title_font.setBold(true);
  TitleLabel->setFont(title_font);
  layout->addWidget(TitleLabel);

  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  LineList = new QTreeWidget(this);
  LineList->setRootIsDecorated(false);
  LineList->setFont(fixed);
  QStringList headings;
  for (const std::string& h : m.headings) headings << ToQString(h);
  LineList->setHeaderLabels(headings);
  for (const auto& row : m.rows) {
    QStringList cells;
    for (const std::string& c : row) cells << ToQString(c);
    auto* item = new QTreeWidgetItem(cells);
    for (int column : {2, 4, 6}) {
      item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    LineList->addTopLevelItem(item);
  }
  LineList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  MemoText = new QPlainTextEdit(ToQString(m.memo_text), this);
  MemoText->setReadOnly(true);
  MemoText->setFont(fixed);
  MemoText->setLineWrapMode(QPlainTextEdit::NoWrap);
  LineList->setVisible(m.line_items);
  MemoText->setVisible(!m.line_items);
  layout->addWidget(LineList, 1);
  layout->addWidget(MemoText, 1);

  NoteLabel = new QLabel(ToQString(m.note), this);
  layout->addWidget(NoteLabel);
  TotalsPanel = new QLabel(
      QStringList{"Total: " + ToQString(m.total),
                  ToQString(m.tax_caption) + " " + ToQString(m.tax),
                  "Grand Total: " + ToQString(m.grand_total),
                  ToQString(m.paid),
                  "Balance Due: " + ToQString(m.balance_due)}
          .join('\n'),
      this);
  TotalsPanel->setAlignment(Qt::AlignRight);
  layout->addWidget(TotalsPanel);
  resize(820, 560);

  // A double-click or key anywhere in the window closes it, also over the
  // list and the text area, which would take the event for themselves.
  for (QWidget* w : {static_cast<QWidget*>(LineList), LineList->viewport(),
                     static_cast<QWidget*>(MemoText), MemoText->viewport()}) {
    w->installEventFilter(this);
  }
}

bool Trtedit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick ||
      event->type() == QEvent::KeyPress) {
    accept();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void Trtedit::keyPressEvent(QKeyEvent*) { accept(); }

void Trtedit::mouseDoubleClickEvent(QMouseEvent*) { accept(); }

}  // namespace tallybook::output::ui
