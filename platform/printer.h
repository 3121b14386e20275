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

  // Shows the printer set-up dialog; true when the user confirmed a choice,
  // false when cancelled (the earlier choice stays).
  virtual bool SetupDialog() = 0;
  // Name of the printer jobs go to, or "PDF file" style text when none.
  virtual std::string PrinterName() const = 0;

 private:
  PageOrientation orientation_ = PageOrientation::kPortrait;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_PRINTER_H_
