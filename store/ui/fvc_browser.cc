#include "store/ui/fvc_browser.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "platform/qt/text_codec.h"

namespace tallybook::store::ui {

namespace {

using platform::qt::FromQString;
using platform::qt::ToQString;

// While the button is held above or below the rows, a line step this often.
constexpr int kHeldStepMs = 60;

std::string CutRowText(const std::string& text) {
  return text.size() > static_cast<size_t>(kRowTextMax)
             ? text.substr(0, kRowTextMax)
             : text;
}

}  // namespace

TFvcBrowser::TFvcBrowser(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  const QPalette& pal = palette();
  color_ = pal.color(QPalette::Base);
  header_color_ = footer_color_ = pal.color(QPalette::Button);
  header_txt_color_ = footer_txt_color_ = pal.color(QPalette::ButtonText);
  highlight_color_ = pal.color(QPalette::Highlight);
  highlight_txt_color_ = pal.color(QPalette::HighlightedText);
  SetBorderStyle(TBorderStyle::bsSingle);

  QScrollBar* v = verticalScrollBar();
  v->setRange(0, kThumbMax);
  v->setSingleStep(1);
  v->setPageStep(1);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(v, &QScrollBar::actionTriggered, this,
          [this](int action) { VerticalAction(action); });
  connect(v, &QScrollBar::sliderReleased, this, [this] {
    if (!list_ || drag_thumb_ < 0) return;
    int pos = drag_thumb_;
    drag_thumb_ = -1;
    Show(list_->JumpToThumb(pos));
    UpdateThumb();
  });
  // The horizontal bar moves by its own steps and applies a dragged thumb
  // only when it is let go.
  horizontalScrollBar()->setTracking(false);
  resize(200, 100);
}

TFvcBrowser::~TFvcBrowser() = default;

void TFvcBrowser::AttachBrowseList(std::unique_ptr<BrowseList> list) {
  step_timer_.stop();
  list_ = std::move(list);
  if (!list_) {
    viewport()->update();
    return;
  }
  BrowseList* raw = list_.get();
  // The list calls through to whatever handlers the window holds now.
  raw->OnBuildRow = [this](RowRec& rr) {
    if (OnBuildRow) return OnBuildRow(rr);
    rr.Row.assign(rr.Row.size(), std::string());
    rr.Row[0] = kNoBuildRowText;
    return 0;
  };
  raw->OnPerformFilter = [this](RowRec& rr, bool& use_it) {
    if (OnPerformFilter) OnPerformFilter(rr, use_it);
  };
  raw->OnShowFilterWorking = [this](int state, bool rejected) {
    if (OnShowFilterWorking) OnShowFilterWorking(state, rejected);
  };
  raw->OnPreCompletePage = [this] { return OnPreCompletePage ? OnPreCompletePage() : 0; };
  raw->OnPostCompletePage = [this] { return OnPostCompletePage ? OnPostCompletePage() : 0; };
  raw->OnRowChanged = [this] {
    UpdateThumb();
    if (OnRowChanged) OnRowChanged();
  };
  raw->OnError = [this](const std::string& text) { ReportError(text); };
  raw->SetFilterEnabled(filter_enabled_);
  Layout();
  UpdateThumb();
  viewport()->update();
  MaybeFirstUserInit();
}

void TFvcBrowser::ReportError(const std::string& text) {
  if (OnError) {
    OnError(text);
  } else {
    QMessageBox::critical(this, QString(), ToQString(text));
  }
}

void TFvcBrowser::MaybeFirstUserInit() {
  if (first_user_init_done_ || !list_ || !isVisible()) return;
  first_user_init_done_ = true;
  if (OnFirstUserInit) OnFirstUserInit();
}

int TFvcBrowser::RowsTop() const { return header_.empty() ? 0 : geo_.row_height; }

QRect TFvcBrowser::RowRect(int screen_row) const {
  return QRect(0, RowsTop() + (screen_row - 1) * geo_.row_height,
               viewport()->width(), geo_.row_height);
}

int TFvcBrowser::RowAtY(int y) const {
  int top = RowsTop();
  if (y < top) return 0;
  int row = (y - top) / geo_.row_height + 1;
  return std::min(row, geo_.rows_per_page + 1);
}

void TFvcBrowser::Layout() {
  QFontMetrics fm(font());
  BrowseMetrics m;
  m.client_width = viewport()->width();
  m.client_height = viewport()->height();
  m.font_height = fm.height();
  m.external_leading = fm.leading();
  m.average_char_width = fm.averageCharWidth();
  m.max_char_width = fm.maxWidth();
  m.has_header = !header_.empty();
  m.has_footer = !footer_.empty();
  m.row_slots = list_ ? list_->RowSlots() : 50;
  geo_ = ComputeBrowseGeometry(m);

  QScrollBar* h = horizontalScrollBar();
  h->setRange(0, geo_.horiz_range);
  h->setSingleStep(geo_.horiz_step);
  h->setPageStep(kHorizPageSteps * geo_.horiz_step);
  SetHorizOfs(horiz_ofs_);
  if (list_) Show(list_->SetPageRows(geo_.rows_per_page));
  viewport()->update();
}

void TFvcBrowser::Show(BrowseView view) {
  if (!list_) return;
  const int rh = geo_.row_height;
  const QRect rows(0, RowsTop(), viewport()->width(),
                   geo_.rows_per_page * rh);
  switch (view) {
    case BrowseView::kNone:
      return;
    case BrowseView::kScrollUp:
      viewport()->scroll(0, -rh, rows);
      viewport()->update(RowRect(list_->CurrentRow()));
      viewport()->update(RowRect(list_->CurrentRow() - 1));
      return;
    case BrowseView::kScrollDown:
      viewport()->scroll(0, rh, rows);
      viewport()->update(RowRect(1));
      viewport()->update(RowRect(2));
      return;
    case BrowseView::kHighlight:
    case BrowseView::kPage:
      viewport()->update();
      return;
  }
}

void TFvcBrowser::UpdateThumb() {
  if (!list_) return;
  QScrollBar* v = verticalScrollBar();
  int thumb = list_->ThumbPosition();
  QSignalBlocker block(v);
  v->setSliderPosition(thumb);
  v->setValue(thumb);
}

void TFvcBrowser::SetHeader(const std::string& text) {
  header_ = CutRowText(text);
  Layout();
}

void TFvcBrowser::SetFooter(const std::string& text) {
  footer_ = CutRowText(text);
  Layout();
}

void TFvcBrowser::SetHorizOfs(int offset) {
  int clamped = ClampHorizOffset(offset, geo_);
  bool moved = clamped != horiz_ofs_;
  horiz_ofs_ = clamped;
  QScrollBar* h = horizontalScrollBar();
  {
    QSignalBlocker block(h);
    h->setValue(horiz_ofs_);
  }
  if (moved) viewport()->update();
}

void TFvcBrowser::SetFilterEnabled(bool on) {
  filter_enabled_ = on;
  if (!list_) return;
  int32_t ref = list_->CurrentRef();
  list_->SetFilterEnabled(on);
  if (list_->CurrentRef() != ref || list_->LastOK()) viewport()->update();
}

void TFvcBrowser::SetBorderStyle(TBorderStyle style) {
  border_style_ = style;
  setFrameShape(style == TBorderStyle::bsSingle ? QFrame::Box : QFrame::NoFrame);
  setLineWidth(1);
}

void TFvcBrowser::SetAndUpdate(const std::string& key, int32_t ref) {
  if (list_) Show(list_->SetAndUpdate(key, ref));
}

void TFvcBrowser::SetKeyNumber(int key_no) {
  if (list_) Show(list_->SetKeyNumber(key_no));
}

void TFvcBrowser::Refresh() {
  if (list_ && list_->Refresh()) viewport()->update();
}

int32_t TFvcBrowser::CurrentRef() const { return list_ ? list_->CurrentRef() : 0; }

int TFvcBrowser::CurrentKeyNumber() const {
  return list_ ? list_->CurrentKeyNumber() : kNoKeyNumber;
}

std::string TFvcBrowser::CurrentKey() const {
  return list_ ? list_->CurrentKey() : std::string();
}

int TFvcBrowser::RereadCurrentRow(bool& changed) {
  changed = false;
  if (!list_) return kNoListClass;
  int result = list_->RereadCurrentRow(changed);
  if (changed) viewport()->update(RowRect(list_->CurrentRow()));
  return result;
}

int TFvcBrowser::BuildRowFor(RowRec& rr) {
  if (!list_) {
    rr.Status = -1;
    return rr.Status;
  }
  return list_->BuildRowFor(rr);
}

void TFvcBrowser::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.setFont(font());
  QFontMetrics fm(font());
  const int w = viewport()->width();
  const int rh = geo_.row_height;
  const int x = -horiz_ofs_;
  p.fillRect(viewport()->rect(), color_);

  auto draw_line = [&](int y, const std::string& text, const QColor& back,
                       const QColor& fore) {
    p.fillRect(QRect(0, y, w, rh), back);
    p.setPen(fore);
    p.drawText(x, y + fm.ascent(), ToQString(text));
  };
  const QColor separator = palette().color(QPalette::Dark);
  if (!header_.empty()) {
    draw_line(0, header_, header_color_, header_txt_color_);
    if (use_separator_) {
      p.setPen(separator);
      p.drawLine(0, rh - 1, w, rh - 1);
    }
  }
  if (list_) {
    const QColor text = palette().color(QPalette::Text);
    for (int i = 1; i <= list_->FilledRows(); ++i) {
      const RowRec& row = list_->RowAt(i);
      const std::string& line = row.Row.empty() ? std::string() : row.Row[0];
      bool current = i == list_->CurrentRow();
      draw_line(RowRect(i).top(), line, current ? highlight_color_ : color_,
                current ? highlight_txt_color_ : text);
    }
  }
  if (!footer_.empty()) {
    int y = RowsTop() + geo_.rows_per_page * rh;
    draw_line(y, footer_, footer_color_, footer_txt_color_);
    if (use_separator_) {
      p.setPen(separator);
      p.drawLine(0, y, w, y);
    }
  }
}

void TFvcBrowser::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Layout();
}

void TFvcBrowser::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) Layout();
}

void TFvcBrowser::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  MaybeFirstUserInit();
}

void TFvcBrowser::VerticalAction(int action) {
  if (!list_) return;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      Show(list_->LineDown());
      break;
    case QAbstractSlider::SliderSingleStepSub:
      Show(list_->LineUp());
      break;
    case QAbstractSlider::SliderPageStepAdd:
      Show(list_->PageDown());
      break;
    case QAbstractSlider::SliderPageStepSub:
      Show(list_->PageUp());
      break;
    case QAbstractSlider::SliderToMinimum:
      Show(list_->FirstPage());
      break;
    case QAbstractSlider::SliderToMaximum:
      Show(list_->LastPage());
      break;
    case QAbstractSlider::SliderMove:
      // Only remembered; the jump is made when the thumb is let go.
      drag_thumb_ = verticalScrollBar()->sliderPosition();
      return;
    default:
      return;
  }
  // The bar stands where the current row is, not where its action put it.
  verticalScrollBar()->setSliderPosition(list_->ThumbPosition());
}

void TFvcBrowser::HorizontalMove(HorizMove move) {
  SetHorizOfs(HorizOffsetAfter(move, horiz_ofs_, geo_));
}

void TFvcBrowser::scrollContentsBy(int dx, int) {
  // The rows are drawn from the state, not moved as pixels; only the
  // horizontal bar's value is taken over.
  if (dx != 0) SetHorizOfs(horizontalScrollBar()->value());
}

void TFvcBrowser::keyPressEvent(QKeyEvent* event) {
  if (!list_) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Up:
      Show(list_->LineUp());
      return;
    case Qt::Key_Down:
      Show(list_->LineDown());
      return;
    case Qt::Key_PageUp:
      Show(list_->PageUp());
      return;
    case Qt::Key_PageDown:
      Show(list_->PageDown());
      return;
    case Qt::Key_Home:
      if (ctrl) {
        Show(list_->FirstPage());
      } else {
        HorizontalMove(HorizMove::kLeftEnd);
      }
      return;
    case Qt::Key_End:
      if (ctrl) {
        Show(list_->LastPage());
      } else {
        HorizontalMove(HorizMove::kRightEnd);
      }
      return;
    case Qt::Key_Left:
      HorizontalMove(ctrl ? HorizMove::kPageLeft : HorizMove::kStepLeft);
      return;
    case Qt::Key_Right:
      HorizontalMove(ctrl ? HorizMove::kPageRight : HorizMove::kStepRight);
      return;
    default:
      break;
  }
  const std::string typed = FromQString(event->text());
  if (typed.size() != 1) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  char key = typed[0];
  if (OnKeyPress) OnKeyPress(key);
  if (key == 0) return;
  // Escape, Enter and the other control keys belong to the window: Escape
  // closes a manager or cancels a dialog, Enter is its default button.
  if (static_cast<uint8_t>(key) < 0x20 || key == 0x7F) {
    event->ignore();
    return;
  }
  if (list_) Show(list_->TypeChar(static_cast<uint8_t>(key)));
}

void TFvcBrowser::MouseAt(int y) {
  int row = RowAtY(y);
  if (row < 1) {
    step_direction_ = -1;
  } else if (row > geo_.rows_per_page) {
    step_direction_ = +1;
  } else {
    step_direction_ = 0;
    step_timer_.stop();
    Show(list_->SelectRow(row));
    return;
  }
  if (!step_timer_.isActive()) step_timer_.start(kHeldStepMs, this);
}

void TFvcBrowser::mousePressEvent(QMouseEvent* event) {
  const bool left = event->button() == Qt::LeftButton;
  const bool right = event->button() == Qt::RightButton;
  if (!list_ || !(left || right)) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  // The right button selects too, so that the pop-up menu that follows
  // acts on the row under the pointer, not on the one selected before.
  int row = RowAtY(event->position().toPoint().y());
  if (row >= 1 && row <= geo_.rows_per_page) Show(list_->SelectRow(row));
  if (right) QAbstractScrollArea::mousePressEvent(event);
}

void TFvcBrowser::mouseMoveEvent(QMouseEvent* event) {
  if (!list_ || !(event->buttons() & Qt::LeftButton)) return;
  MouseAt(event->position().toPoint().y());
}

void TFvcBrowser::mouseReleaseEvent(QMouseEvent* event) {
  step_timer_.stop();
  step_direction_ = 0;
  QAbstractScrollArea::mouseReleaseEvent(event);
}

void TFvcBrowser::timerEvent(QTimerEvent* event) {
  if (event->timerId() != step_timer_.timerId()) {
    QAbstractScrollArea::timerEvent(event);
    return;
  }
  if (!list_ || step_direction_ == 0) {
    step_timer_.stop();
    return;
  }
  Show(step_direction_ < 0 ? list_->LineUp() : list_->LineDown());
}

}  // namespace tallybook::store::ui
