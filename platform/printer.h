// The printer: starts print jobs and holds the printer the user chose in the
// printer set-up dialog.
//
// When no printer is installed, jobs are written as PDF files instead (the
// job's PrintJobStatus says so and names the file), so printing never
// silently goes nowhere.
#ifndef TALLYBOOK_PLATFORM_PRINTER_H_
#define TALLYBOOK_PLATFORM_PRINTER_H_

#include <memory>
#include <string>

#include "platform/canvas.h"

namespace tallybook::platform {

inline constexpr char kSavedAsPdfPrefix[] = "Saved as PDF: ";
inline constexpr char kSentToPrinterPrefix[] = "Sent to printer: ";
inline constexpr char kPrinterSetupCaption[] = "Printer Setup";

// Where a finished job went, for the status bar: kSavedAsPdfPrefix and the
// file's path, or kSentToPrinterPrefix and the printer's name.
std::string PrintedWhereText(const PrintJobStatus& status);

// What Printer Setup says when no printer is installed: printouts are saved
// as PDF files in `folder`.
std::string NoPrinterText(const std::string& folder);

// How the page of the jobs started next lies.
enum class PageOrientation { kPortrait, kLandscape };

class Printer {
 public:
  virtual ~Printer() = default;
  // The orientation of the jobs started after this call (portrait until
  // set). Callers that print one job sideways set portrait again after it.
  void SetOrientation(PageOrientation orientation) { orientation_ = orientation; }
  PageOrientation orientation() const { return orientation_; }

  // Starts a job named `title` and returns its canvas, on page 1. Returns
  // nullptr when no job can be started; LastError() then says why.
  virtual std::unique_ptr<Canvas> BeginJob(const std::string& title) = 0;
  // Why the last BeginJob() failed; empty after a success.
  virtual std::string LastError() const = 0;

  // Shows the printer set-up dialog (without a printer: the page set-up of
  // the PDF files); true when the user confirmed a choice, false when
  // cancelled (the earlier choice stays).
  virtual bool SetupDialog() = 0;
  // Name of the printer jobs go to, or "PDF file" style text when none.
  virtual std::string PrinterName() const = 0;
  // The folder jobs are written to as PDF files when no printer is
  // installed; empty while jobs go to a printer.
  virtual std::string PdfFolder() const { return {}; }

 private:
  PageOrientation orientation_ = PageOrientation::kPortrait;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_PRINTER_H_
