// A recording printer and canvas for tests: every drawing call is kept with
// its coordinates, text, font and page, so tests assert what was drawn where.
//
// Text is measured with a fixed, predictable metric instead of real font
// files: every character is RecordingCanvas::CharWidth(font) dots wide and a
// line is LineHeight(font) dots high (for 10-point text 21 and 42 dots).
// Pictures "load" when the file exists and is non-empty.
#ifndef TALLYBOOK_PLATFORM_TESTING_RECORDING_CANVAS_H_
#define TALLYBOOK_PLATFORM_TESTING_RECORDING_CANVAS_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/printer.h"

namespace tallybook::platform::testing {

enum class DrawOp { kText, kLine, kRectangle, kFill, kBitmap, kNewPage };

const char* ToString(DrawOp op);

struct DrawCall {
  DrawOp op = DrawOp::kText;
  int page = 1;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // text: (x1, y1); shapes: corners
  std::string text;                    // text, or the bitmap's file
  Font font;                           // font current at the call
  Color color = kBlack;                // pen colour, or the fill colour
  int pen_width = 1;
};

// One job as the recording printer keeps it, alive after its canvas is gone.
struct RecordedJob {
  std::string title;
  PageOrientation orientation = PageOrientation::kPortrait;
  std::vector<DrawCall> calls;
  int pages = 1;
  bool ended = false;    // EndJob() was called
  bool aborted = false;  // Abort() was called, or destroyed without EndJob()
  PrintJobStatus status;

  // Texts drawn, in order; with `page` > 0 only those of that page.
  std::vector<std::string> Texts(int page = 0) const;
  // The first text call whose text equals `text`; nullptr when none.
  const DrawCall* FindText(const std::string& text) const;
};

class RecordingCanvas : public Canvas {
 public:
  // Letter paper at 300 dots per inch less a quarter inch margin each side.
  static constexpr int kPageWidth = 2400;
  static constexpr int kPageHeight = 3150;

  static int CharWidth(const Font& font);
  static int LineHeight(const Font& font);

  // Records into `job`, which must outlive the canvas.
  explicit RecordingCanvas(RecordedJob* job);
  ~RecordingCanvas() override;

  const std::string& Title() const override { return job_->title; }
  int PageWidth() const override { return kPageWidth; }
  int PageHeight() const override { return kPageHeight; }
  int PageNumber() const override { return job_->pages; }
  void SetFont(const Font& font) override { font_ = font; }
  const Font& CurrentFont() const override { return font_; }
  void SetPen(int width, Color color) override;
  void TextOut(int x, int y, const std::string& text) override;
  Size TextExtent(const std::string& text) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Rectangle(const Rect& rect) override;
  void FillRectangle(const Rect& rect, Color color) override;
  bool DrawBitmap(const Rect& dest, const std::string& file) override;
  void NewPage() override;
  PrintJobStatus EndJob() override;
  void Abort() override;

 private:
  DrawCall Call(DrawOp op) const;
  // Fails the test when drawing after EndJob() or Abort().
  bool CheckOpen(const char* what) const;

  RecordedJob* job_;
  Font font_;
  int pen_width_ = 1;
  Color pen_color_ = kBlack;
};

class RecordingPrinter : public Printer {
 public:
  // Makes the next BeginJob() calls fail with `error` (empty: succeed).
  void FailJobsWith(std::string error) { fail_with_ = std::move(error); }
  // The answer the printer set-up dialog gives.
  void SetSetupAnswer(bool confirmed) { setup_answer_ = confirmed; }
  // Plays a machine without a printer: jobs end as "<folder>/<title>.pdf".
  void SaveAsPdfIn(std::string folder) { pdf_folder_ = std::move(folder); }
  std::string PdfFolder() const override { return pdf_folder_; }

  std::unique_ptr<Canvas> BeginJob(const std::string& title) override;
  std::string LastError() const override { return last_error_; }
  bool SetupDialog() override;
  std::string PrinterName() const override { return "Recording printer"; }

  // Every job started, in order.
  const std::vector<std::unique_ptr<RecordedJob>>& jobs() const {
    return jobs_;
  }
  // The last job started; fails the test and returns an empty job when none.
  const RecordedJob& last_job() const;
  int setup_count() const { return setup_count_; }

 private:
  std::vector<std::unique_ptr<RecordedJob>> jobs_;
  std::string fail_with_;
  std::string last_error_;
  std::string pdf_folder_;
  bool setup_answer_ = true;
  int setup_count_ = 0;
};

}  // namespace tallybook::platform::testing

#endif  // TALLYBOOK_PLATFORM_TESTING_RECORDING_CANVAS_H_
