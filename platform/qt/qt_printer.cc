#include "platform/qt/qt_printer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"

namespace tallybook::platform::qt {

namespace {

class QtCanvas : public Canvas {
 public:
  QtCanvas(std::string title, std::unique_ptr<QPrinter> printer,
           QString pdf_path)
      : title_(std::move(title)),
        owned_(std::move(printer)),
        printer_(owned_.get()),
        pdf_path_(std::move(pdf_path)) {}
  // Draws on a printer someone else owns (a print preview's).
  QtCanvas(std::string title, QPrinter* printer)
      : title_(std::move(title)), printer_(printer) {}

  ~QtCanvas() override {
    if (!finished_) Abort();
  }

  // Opens the painter; false when the printer or file cannot be started.
  bool Begin() {
    if (!painter_.begin(printer_)) return false;
    painter_.setRenderHint(QPainter::Antialiasing, false);
    page_ = printer_->pageLayout().paintRectPixels(kPrinterDotsPerInch);
    SetFont(font_);
    SetPen(1, kBlack);
    return true;
  }

  const std::string& Title() const override { return title_; }
  int PageWidth() const override { return page_.width(); }
  int PageHeight() const override { return page_.height(); }
  int PageNumber() const override { return page_number_; }

  void SetFont(const Font& font) override {
    font_ = font;
    if (!painter_.isActive()) return;
    painter_.setFont(QFont(ToQFont(font), printer_));
  }
  const Font& CurrentFont() const override { return font_; }

  void SetPen(int width, Color color) override {
    pen_ = QPen(ToQColor(color));
    pen_.setWidth(width < 1 ? 1 : width);
  }

  void TextOut(int x, int y, const std::string& text) override {
    if (!painter_.isActive()) return;
    painter_.setPen(ToQColor(font_.color));
    painter_.drawText(x, y + painter_.fontMetrics().ascent(),
                      ToQString(text));
  }

  Size TextExtent(const std::string& text) override {
    if (!painter_.isActive()) return {};
    const QFontMetrics metrics = painter_.fontMetrics();
    return Size{metrics.horizontalAdvance(ToQString(text)), metrics.height()};
  }

  void Line(int x1, int y1, int x2, int y2) override {
    if (!painter_.isActive()) return;
    painter_.setPen(pen_);
    painter_.drawLine(x1, y1, x2, y2);
  }

  void Rectangle(const Rect& rect) override {
    if (!painter_.isActive()) return;
    painter_.setPen(pen_);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(rect.left, rect.top, rect.width() - 1,
                      rect.height() - 1);
  }

  void FillRectangle(const Rect& rect, Color color) override {
    if (!painter_.isActive()) return;
    painter_.fillRect(rect.left, rect.top, rect.width(), rect.height(),
                      ToQColor(color));
  }

  bool DrawBitmap(const Rect& dest, const std::string& file) override {
    if (!painter_.isActive()) return false;
    QImage image;
    if (!image.load(PathToQString(file)) || image.isNull()) return false;
    painter_.drawImage(QRect(dest.left, dest.top, dest.width(), dest.height()),
                       image);
    return true;
  }

  void NewPage() override {
    if (!painter_.isActive()) return;
    printer_->newPage();
    ++page_number_;
  }

  PrintJobStatus EndJob() override {
    if (finished_) return status_;
    finished_ = true;
    const bool painted = painter_.isActive() && painter_.end();
    status_.to_file = !pdf_path_.isEmpty();
    status_.destination = status_.to_file
                              ? PathFromQString(pdf_path_)
                              : FromQString(printer_->printerName());
    if (!painted) {
      status_.error = "The print job \"" + title_ + "\" could not be finished.";
      return status_;
    }
    if (status_.to_file && QFileInfo(pdf_path_).size() <= 0) {
      status_.error = "The file " + FromQString(pdf_path_) +
                      " could not be written.";
      return status_;
    }
    status_.ok = true;
    return status_;
  }

  void Abort() override {
    if (finished_) return;
    finished_ = true;
    printer_->abort();
    if (painter_.isActive()) painter_.end();
    // A half-written file would look like a finished printout.
    if (!pdf_path_.isEmpty()) QFile::remove(pdf_path_);
    status_.error = "Printing was cancelled.";
  }

 private:
  std::string title_;
  std::unique_ptr<QPrinter> owned_;
  QPrinter* printer_;
  QString pdf_path_;
  QPainter painter_;
  QRect page_;
  Font font_;
  QPen pen_;
  int page_number_ = 1;
  bool finished_ = false;
  PrintJobStatus status_;
};

}  // namespace

std::unique_ptr<Canvas> CanvasOnPrinter(const std::string& title,
                                        QPrinter* printer) {
  printer->setResolution(kPrinterDotsPerInch);
  auto canvas = std::make_unique<QtCanvas>(title, printer);
  if (!canvas->Begin()) return nullptr;
  return canvas;
}

QtPrinter::QtPrinter(std::string pdf_folder, QWidget* parent)
    : pdf_folder_(std::move(pdf_folder)),
      parent_(parent),
      pdf_page_size_(DefaultPageSize(QLocale())) {}

QPageSize::PageSizeId QtPrinter::DefaultPageSize(const QLocale& locale) {
  if (locale.measurementSystem() == QLocale::ImperialUSSystem) {
    return QPageSize::Letter;
  }
  switch (locale.territory()) {
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Philippines:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::Guatemala:
    case QLocale::CostaRica:
    case QLocale::Panama:
    case QLocale::ElSalvador:
    case QLocale::Nicaragua:
    case QLocale::DominicanRepublic:
    case QLocale::PuertoRico:
      return QPageSize::Letter;
    default:
      return QPageSize::A4;
  }
}

std::string QtPrinter::PdfFolder() const {
  return UsePdf() ? pdf_folder_ : std::string();
}

QtPrinter::~QtPrinter() = default;

std::string QtPrinter::DefaultPdfFolder(const std::string& data_directory) {
  const QString documents =
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) {
    return PathFromQString(QDir(documents).filePath("Tallybook"));
  }
  return PathFromQString(
      QDir(PathToQString(data_directory)).filePath("Printouts"));
}

QString QtPrinter::FileNameForTitle(const std::string& title) {
  QString name = ToQString(title);
  for (QChar& ch : name) {
    if (ch.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(ch)) {
      ch = '_';
    }
  }
  name = name.trimmed();
  // A name of dots only would be "." or ".." or hidden.
  while (name.startsWith('.')) name.remove(0, 1);
  if (name.isEmpty()) name = QStringLiteral("Printout");
  if (name.size() > 120) name.truncate(120);
  return name;
}

bool QtPrinter::UsePdf() const {
  return always_pdf_ || QPrinterInfo::availablePrinters().isEmpty();
}

std::string QtPrinter::PrinterName() const {
  if (UsePdf()) return "PDF files in " + pdf_folder_;
  if (setup_) return FromQString(setup_->printerName());
  return FromQString(QPrinterInfo::defaultPrinterName());
}

std::unique_ptr<Canvas> QtPrinter::BeginJob(const std::string& title) {
  last_error_.clear();
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QString pdf_path;
  if (UsePdf()) {
    QDir folder(PathToQString(pdf_folder_));
    if (!folder.exists() && !QDir().mkpath(folder.absolutePath())) {
      last_error_ = "Cannot create the folder " + pdf_folder_ +
                    " for the printout.";
      return nullptr;
    }
    const QString base = FileNameForTitle(title);
    pdf_path = folder.filePath(base + ".pdf");
    for (int n = 2; QFileInfo::exists(pdf_path); ++n) {
      pdf_path = folder.filePath(QStringLiteral("%1 (%2).pdf").arg(base).arg(n));
    }
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf_path);
    printer->setPageSize(pdf_page_size_);
  } else if (setup_) {
    printer->setPrinterName(setup_->printerName());
    printer->setPageLayout(setup_->pageLayout());
  }
  printer->setPageOrientation(orientation() == PageOrientation::kLandscape
                                  ? QPageLayout::Landscape
                                  : QPageLayout::Portrait);
  printer->setResolution(kPrinterDotsPerInch);
  printer->setDocName(ToQString(title));
  printer->setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);

  auto canvas = std::make_unique<QtCanvas>(title, std::move(printer), pdf_path);
  if (!canvas->Begin()) {
    last_error_ = pdf_path.isEmpty()
                      ? "The printer could not start the print job \"" +
                            title + "\"."
                      : "Cannot write the file " + PathFromQString(pdf_path) +
                            ".";
    canvas->Abort();
    return nullptr;
  }
  return canvas;
}

bool QtPrinter::SetupDialog() {
  if (UsePdf()) {
    // No printer to choose: the paper of the PDF files is what there is to
    // set up.
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(pdf_page_size_);
    QPageSetupDialog dialog(&pdf, parent_);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    if (dialog.exec() != QDialog::Accepted) return false;
    pdf_page_size_ = pdf.pageLayout().pageSize();
    return true;
  }
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (setup_) {
    printer->setPrinterName(setup_->printerName());
    printer->setPageLayout(setup_->pageLayout());
  }
  QPrintDialog dialog(printer.get(), parent_);
  dialog.setWindowTitle(QStringLiteral("Printer Setup"));
  if (dialog.exec() != QDialog::Accepted) return false;
  setup_ = std::move(printer);
  return true;
}

}  // namespace tallybook::platform::qt
