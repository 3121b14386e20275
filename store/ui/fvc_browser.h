// TFvcBrowser: the list control that shows a file block's records as rows
// of text, one screen page at a time, over an attached BrowseList.
//
// The control owns the browse list given to AttachBrowseList and turns
// keys, mouse and scroll bars into its moves; the list does the fetching
// and row building, the control the drawing. Row texts are Windows-1252
// bytes; the control converts them only to draw them.
//
// Events are plain members the owning window assigns (before or after
// attaching a list). Store errors of class 2 and above are handed to
// OnError with the text "Class %d error.  Isam Error %d"; without an OnError
// handler the control shows the text in a message box itself.
//
// The right mouse button selects the row under the pointer before the
// owner's pop-up menu opens. Escape, Enter and the other control keys pass
// to the window (after OnKeyPress, which may swallow them), so Escape
// closes a manager or cancels a dialog holding the control.
//
// Nothing happens while no browse list is attached.
#ifndef TALLYBOOK_STORE_UI_FVC_BROWSER_H_
#define TALLYBOOK_STORE_UI_FVC_BROWSER_H_

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <functional>
#include <memory>
#include <string>

#include "store/browse_geometry.h"
#include "store/browse_list.h"

namespace tallybook::store::ui {

class TFvcBrowser : public QAbstractScrollArea {
  Q_OBJECT

 public:
  enum class TBorderStyle { bsNone, bsSingle };

  explicit TFvcBrowser(QWidget* parent = nullptr);
  ~TFvcBrowser() override;

  // ---- Properties.
  // Header and footer texts (Windows-1252, up to 128 characters); a
  // non-empty one takes one row of the page. Changing either re-lays out.
  const std::string& Header() const { return header_; }
  void SetHeader(const std::string& text);
  const std::string& Footer() const { return footer_; }
  void SetFooter(const std::string& text);
  QColor HeaderColor() const { return header_color_; }
  void SetHeaderColor(const QColor& c) { header_color_ = c; viewport()->update(); }
  QColor HeaderTxtColor() const { return header_txt_color_; }
  void SetHeaderTxtColor(const QColor& c) { header_txt_color_ = c; viewport()->update(); }
  QColor FooterColor() const { return footer_color_; }
  void SetFooterColor(const QColor& c) { footer_color_ = c; viewport()->update(); }
  QColor FooterTxtColor() const { return footer_txt_color_; }
  void SetFooterTxtColor(const QColor& c) { footer_txt_color_ = c; viewport()->update(); }
  QColor HighlightColor() const { return highlight_color_; }
  void SetHighlightColor(const QColor& c) { highlight_color_ = c; viewport()->update(); }
  QColor HighlightTxtColor() const { return highlight_txt_color_; }
  void SetHighlightTxtColor(const QColor& c) { highlight_txt_color_ = c; viewport()->update(); }
  // The background of the rows (the window colour by default).
  QColor Color() const { return color_; }
  void SetColor(const QColor& c) { color_ = c; viewport()->update(); }
  // Horizontal scroll offset in pixels, kept within the row width.
  int HorizOfs() const { return horiz_ofs_; }
  void SetHorizOfs(int offset);
  bool UseSeparator() const { return use_separator_; }
  void SetUseSeparator(bool on) { use_separator_ = on; viewport()->update(); }
  // Switching filtering on or off refreshes the page.
  bool FilterEnabled() const { return filter_enabled_; }
  void SetFilterEnabled(bool on);
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle style);

  // ---- Events.
  std::function<int(RowRec& rr)> OnBuildRow;
  std::function<void(RowRec& rr, bool& use_it)> OnPerformFilter;
  std::function<void(int call_state, bool rejected)> OnShowFilterWorking;
  std::function<int()> OnPreCompletePage;
  std::function<int()> OnPostCompletePage;
  std::function<void()> OnRowChanged;
  std::function<void()> OnFirstUserInit;
  // Each typed character (Windows-1252) before the control acts on it; the
  // handler may change it, or set it to 0 to swallow it.
  std::function<void(char& key)> OnKeyPress;
  std::function<void(const std::string& text)> OnError;

  // ---- Operations.
  // Takes the list (freeing one attached before), lays out the page and
  // sets the scroll ranges. The owner then calls SetAndUpdate("", 0).
  void AttachBrowseList(std::unique_ptr<BrowseList> list);
  BrowseList* browse_list() const { return list_.get(); }
  void SetAndUpdate(const std::string& key, int32_t ref);
  void SetKeyNumber(int key_no);
  void Refresh();
  int32_t CurrentRef() const;
  // The list's key number; kNoKeyNumber (65,535) without a list.
  int CurrentKeyNumber() const;
  std::string CurrentKey() const;
  // 0, or the error class (kNoListClass without a usable list).
  int RereadCurrentRow(bool& changed);
  // Reads rr.Ref's record into the list's buffer; rr.Status 0 or -1.
  int BuildRowFor(RowRec& rr);

  // ---- Layout, for the owner and for tests.
  const BrowseGeometry& Geometry() const { return geo_; }
  // Viewport rectangle of screen row 1..rows per page.
  QRect RowRect(int screen_row) const;
  // Screen row under viewport y: 1..rows per page, 0 above the rows,
  // rows per page + 1 below them.
  int RowAtY(int y) const;

  QSize sizeHint() const override { return QSize(200, 100); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void Layout();
  void Show(BrowseView view);
  void UpdateThumb();
  void VerticalAction(int action);
  void HorizontalMove(HorizMove move);
  void MouseAt(int y);
  void ReportError(const std::string& text);
  void MaybeFirstUserInit();
  int RowsTop() const;

  std::unique_ptr<BrowseList> list_;
  BrowseGeometry geo_;
  std::string header_;
  std::string footer_;
  QColor color_, header_color_, header_txt_color_, footer_color_,
      footer_txt_color_, highlight_color_, highlight_txt_color_;
  int horiz_ofs_ = 0;
  bool use_separator_ = true;
  bool filter_enabled_ = false;
  TBorderStyle border_style_ = TBorderStyle::bsSingle;
  bool first_user_init_done_ = false;

  int drag_thumb_ = -1;  // thumb position remembered while dragging
  QBasicTimer step_timer_;
  int step_direction_ = 0;  // -1 / +1 while the held button is above / below
};

}  // namespace tallybook::store::ui

#endif  // TALLYBOOK_STORE_UI_FVC_BROWSER_H_
