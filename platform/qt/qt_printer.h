// Printing on Qt: jobs are drawn on a QPrinter at 300 dots per inch.
//
// With a printer installed (and not switched to files), a job goes to the
// printer chosen in the set-up dialog, or the system's default. Without one
// each job is written as a PDF file named after its title into the PDF
// folder; an existing file is never overwritten ("Invoice 1001 (2).pdf").
// The job's status names the printer or the file. PDF pages are the paper
// size of the locale (A4, or Letter where that is the custom) until the
// user picks another in Printer Setup.
#ifndef TALLYBOOK_PLATFORM_QT_QT_PRINTER_H_
#define TALLYBOOK_PLATFORM_QT_QT_PRINTER_H_

#include <QLocale>
#include <QPageSize>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "platform/printer.h"

class QPrinter;

namespace tallybook::platform::qt {

// A canvas drawing on `printer`, which the caller owns and keeps until the
// canvas is gone: for a print preview, whose widget hands out the printer.
// At 300 dots per inch as every job; null when painting cannot start.
std::unique_ptr<Canvas> CanvasOnPrinter(const std::string& title,
                                        QPrinter* printer);

class QtPrinter : public Printer {
 public:
  // `pdf_folder` is a native path; it is created when the first PDF is
  // written.
  explicit QtPrinter(std::string pdf_folder, QWidget* parent = nullptr);
  ~QtPrinter() override;

  void SetParent(QWidget* parent) { parent_ = parent; }
  // Writes every job as a PDF file even when a printer is installed.
  void SetAlwaysPdf(bool always_pdf) { always_pdf_ = always_pdf; }
  const std::string& pdf_folder() const { return pdf_folder_; }

  std::unique_ptr<Canvas> BeginJob(const std::string& title) override;
  std::string LastError() const override { return last_error_; }
  bool SetupDialog() override;
  std::string PrinterName() const override;
  std::string PdfFolder() const override;

  // The paper of a locale: Letter where it is the custom (the United
  // States, Canada, Mexico, the Philippines and much of Latin America), A4
  // elsewhere.
  static QPageSize::PageSizeId DefaultPageSize(const QLocale& locale);
  // The paper PDF files are written on.
  QPageSize pdf_page_size() const { return pdf_page_size_; }

  // ~/Documents/Tallybook when the user has a Documents folder, else the
  // "Printouts" folder of the data directory.
  static std::string DefaultPdfFolder(const std::string& data_directory);
  // A file name for a job title: characters a file name cannot hold become
  // '_', blanks at the ends go, an empty title gives "Printout".
  static QString FileNameForTitle(const std::string& title);

 private:
  bool UsePdf() const;

  std::string pdf_folder_;
  QPointer<QWidget> parent_;
  std::unique_ptr<QPrinter> setup_;  // the printer chosen in the set-up
  QPageSize pdf_page_size_;
  bool always_pdf_ = false;
  std::string last_error_;
};

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_QT_PRINTER_H_
