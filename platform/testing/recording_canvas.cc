#include "platform/testing/recording_canvas.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tallybook::platform::testing {

const char* ToString(DrawOp op) {
  switch (op) {
    case DrawOp::kText:
      return "text";
    case DrawOp::kLine:
      return "line";
    case DrawOp::kRectangle:
      return "rectangle";
    case DrawOp::kFill:
      return "fill";
    case DrawOp::kBitmap:
      return "bitmap";
    case DrawOp::kNewPage:
      return "new page";
  }
  return "?";
}

std::vector<std::string> RecordedJob::Texts(int page) const {
  std::vector<std::string> texts;
  for (const DrawCall& call : calls) {
    if (call.op == DrawOp::kText && (page <= 0 || call.page == page)) {
      texts.push_back(call.text);
    }
  }
  return texts;
}

const DrawCall* RecordedJob::FindText(const std::string& text) const {
  for (const DrawCall& call : calls) {
    if (call.op == DrawOp::kText && call.text == text) return &call;
  }
  return nullptr;
}

int RecordingCanvas::CharWidth(const Font& font) {
  // Half an em: 10 points at 300 dpi is 41.6 dots high, so 21 dots wide.
  const int size = font.size_points > 0 ? font.size_points : 1;
  return (size * kPrinterDotsPerInch / 72 + 1) / 2;
}

int RecordingCanvas::LineHeight(const Font& font) {
  return 2 * CharWidth(font);
}

RecordingCanvas::RecordingCanvas(RecordedJob* job) : job_(job) {}

RecordingCanvas::~RecordingCanvas() {
  if (!job_->ended) job_->aborted = true;
}

DrawCall RecordingCanvas::Call(DrawOp op) const {
  DrawCall call;
  call.op = op;
  call.page = job_->pages;
  call.font = font_;
  call.color = pen_color_;
  call.pen_width = pen_width_;
  return call;
}

bool RecordingCanvas::CheckOpen(const char* what) const {
  if (job_->ended || job_->aborted) {
    ADD_FAILURE() << what << " on print job \"" << job_->title
                  << "\" after it was " << (job_->ended ? "ended" : "aborted");
    return false;
  }
  return true;
}

void RecordingCanvas::SetPen(int width, Color color) {
  pen_width_ = width < 1 ? 1 : width;
  pen_color_ = color;
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
  if (!CheckOpen("TextOut")) return;
  DrawCall call = Call(DrawOp::kText);
  call.x1 = x;
  call.y1 = y;
  Size size = TextExtent(text);
  call.x2 = x + size.width;
  call.y2 = y + size.height;
  call.text = text;
  call.color = font_.color;
  job_->calls.push_back(std::move(call));
}

Size RecordingCanvas::TextExtent(const std::string& text) {
  return Size{static_cast<int>(text.size()) * CharWidth(font_),
              LineHeight(font_)};
}

void RecordingCanvas::Line(int x1, int y1, int x2, int y2) {
  if (!CheckOpen("Line")) return;
  DrawCall call = Call(DrawOp::kLine);
  call.x1 = x1;
  call.y1 = y1;
  call.x2 = x2;
  call.y2 = y2;
  job_->calls.push_back(std::move(call));
}

void RecordingCanvas::Rectangle(const Rect& rect) {
  if (!CheckOpen("Rectangle")) return;
  DrawCall call = Call(DrawOp::kRectangle);
  call.x1 = rect.left;
  call.y1 = rect.top;
  call.x2 = rect.right;
  call.y2 = rect.bottom;
  job_->calls.push_back(std::move(call));
}

void RecordingCanvas::FillRectangle(const Rect& rect, Color color) {
  if (!CheckOpen("FillRectangle")) return;
  DrawCall call = Call(DrawOp::kFill);
  call.x1 = rect.left;
  call.y1 = rect.top;
  call.x2 = rect.right;
  call.y2 = rect.bottom;
  call.color = color;
  job_->calls.push_back(std::move(call));
}

bool RecordingCanvas::DrawBitmap(const Rect& dest, const std::string& file) {
  if (!CheckOpen("DrawBitmap")) return false;
  struct stat info {};
  if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size == 0) {
    return false;
  }
  DrawCall call = Call(DrawOp::kBitmap);
  call.x1 = dest.left;
  call.y1 = dest.top;
  call.x2 = dest.right;
  call.y2 = dest.bottom;
  call.text = file;
  job_->calls.push_back(std::move(call));
  return true;
}

void RecordingCanvas::NewPage() {
  if (!CheckOpen("NewPage")) return;
  job_->calls.push_back(Call(DrawOp::kNewPage));
  ++job_->pages;
}

PrintJobStatus RecordingCanvas::EndJob() {
  if (job_->ended) return job_->status;
  if (job_->aborted) {
    ADD_FAILURE() << "EndJob on aborted print job \"" << job_->title << "\"";
    return job_->status;
  }
  job_->ended = true;
  job_->status.ok = true;
  if (!job_->status.to_file) job_->status.destination = "Recording printer";
  return job_->status;
}

void RecordingCanvas::Abort() {
  if (job_->ended) return;
  job_->aborted = true;
  job_->status.ok = false;
  job_->status.error = "Printing was cancelled.";
}

std::unique_ptr<Canvas> RecordingPrinter::BeginJob(const std::string& title) {
  if (!fail_with_.empty()) {
    last_error_ = fail_with_;
    return nullptr;
  }
  last_error_.clear();
  auto job = std::make_unique<RecordedJob>();
  job->title = title;
  if (!pdf_folder_.empty()) {
    job->status.to_file = true;
    job->status.destination = pdf_folder_ + "/" + title + ".pdf";
  }
  job->orientation = orientation();
  jobs_.push_back(std::move(job));
  return std::make_unique<RecordingCanvas>(jobs_.back().get());
}

bool RecordingPrinter::SetupDialog() {
  ++setup_count_;
  return setup_answer_;
}

const RecordedJob& RecordingPrinter::last_job() const {
  static const RecordedJob kNoJob;
  if (jobs_.empty()) {
    ADD_FAILURE() << "No print job was started";
    return kNoJob;
  }
  return *jobs_.back();
}

}  // namespace tallybook::platform::testing
