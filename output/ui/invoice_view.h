// Trtedit: View Invoice as a print preview. The pages are the very
// drawing the printer gets (DrawInvoice on a canvas over the preview's
// printer), with zoom, paging, and the buttons Print, Save as PDF, E-mail
// and Close. What the three commands do is given by whoever opens the
// window (output/ui/invoice_commands.cc), so the window stays thin.
#ifndef TALLYBOOK_OUTPUT_UI_INVOICE_VIEW_H_
#define TALLYBOOK_OUTPUT_UI_INVOICE_VIEW_H_

#include <QDialog>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QToolButton>
#include <functional>
#include <string>

#include "platform/canvas.h"

namespace tallybook::output::ui {

inline constexpr char kViewInvoiceName[] = "Trtedit";
inline constexpr char kViewInvoiceCaptionPrefix[] = "View Invoice# ";
inline constexpr char kSaveInvoicePdfCaption[] = "Save Invoice as PDF";

class Trtedit : public QDialog {
  Q_OBJECT

 public:
  // caption: "View Invoice# " + number; draw draws every page.
  Trtedit(const std::string& caption,
                  std::function<void(platform::Canvas&)> draw,
                  QWidget* parent = nullptr);

  // The commands of the buttons; a button without one is disabled.
  void SetCommands(std::function<void()> print, std::function<void()> save_pdf,
                   std::function<void()> email);
  // Shows what a command did ("Invoice 1001 saved as PDF: ...").
  void ShowStatus(const std::string& text);

  QPrintPreviewWidget* Preview;
  QToolButton* ZoomInBtn;
  QToolButton* ZoomOutBtn;
  QToolButton* FitBtn;
  QToolButton* PrevPageBtn;
  QToolButton* NextPageBtn;
  QLabel* PageLabel;
  QLabel* StatusLabel;
  QPushButton* PrintBtn;
  QPushButton* PdfBtn;
  QPushButton* EmailBtn;
  QPushButton* CloseBtn;

 private:
  void ShowPage();

  QPrinter printer_;
  std::function<void(platform::Canvas&)> draw_;
  std::string title_;
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_INVOICE_VIEW_H_
