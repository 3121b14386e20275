// The surface printed pages are drawn on, in printer dots.
//
// A Canvas is one print job, handed out by Printer::BeginJob(). Coordinates
// are dots of a 300-dot-per-inch page, measured from the top-left corner of
// the printable area; PageWidth() and PageHeight() give that area's size.
// The job starts on page 1; NewPage() ends the current page. EndJob() sends
// the job (or writes its file) and reports where it went; a canvas destroyed
// without EndJob() is discarded, as is one after Abort().
//
// Text is Windows-1252. Drawing uses the current font (SetFont), the current
// pen (SetPen) for lines and outlines, and an explicit colour for fills.
#ifndef TALLYBOOK_PLATFORM_CANVAS_H_
#define TALLYBOOK_PLATFORM_CANVAS_H_

#include <string>

#include "platform/font.h"

namespace tallybook::platform {

inline constexpr int kPrinterDotsPerInch = 300;

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// How a job ended: sent to a printer, written to a file, or failed.
struct PrintJobStatus {
  bool ok = false;
  bool to_file = false;     // written as a PDF file instead of printed
  std::string destination;  // printer name, or the path of the file written
  std::string error;        // why it failed, for the user; empty when ok
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Title the job was started with (the name a spooler or file shows).
  virtual const std::string& Title() const = 0;
  virtual int PageWidth() const = 0;   // dots
  virtual int PageHeight() const = 0;  // dots
  int DotsPerInch() const { return kPrinterDotsPerInch; }
  // Number of the page being drawn, from 1.
  virtual int PageNumber() const = 0;

  virtual void SetFont(const Font& font) = 0;
  virtual const Font& CurrentFont() const = 0;
  // Pen for lines and outlines: width in dots (at least 1) and colour.
  virtual void SetPen(int width, Color color) = 0;

  // Draws `text` with its top-left corner at (x, y).
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  // Width and height `text` takes in the current font; the height is the
  // font's line height even for an empty text.
  virtual Size TextExtent(const std::string& text) = 0;
  int TextWidth(const std::string& text) { return TextExtent(text).width; }
  int TextHeight(const std::string& text) { return TextExtent(text).height; }

  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  // Outline with the current pen.
  virtual void Rectangle(const Rect& rect) = 0;
  // Solid fill without outline.
  virtual void FillRectangle(const Rect& rect, Color color) = 0;
  // Draws the picture in `file` (BMP, PNG, JPEG) scaled into `dest`. False,
  // and nothing drawn, when the file is missing or not a picture.
  virtual bool DrawBitmap(const Rect& dest, const std::string& file) = 0;

  // Ends the current page and starts the next.
  virtual void NewPage() = 0;
  // Finishes the job. Call once; later calls return the same status.
  virtual PrintJobStatus EndJob() = 0;
  // Drops the job: nothing is printed or written.
  virtual void Abort() = 0;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_CANVAS_H_
