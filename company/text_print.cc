#include "company/text_print.h"

namespace tallybook::company {

std::vector<std::string> PrintableLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
      open = false;
      continue;
    }
    open = true;
    if (c == '\t') {
      line.append(8 - line.size() % 8, ' ');
    } else if (static_cast<unsigned char>(c) >= 32) {
      line += c;
    }
  }
  if (open) lines.push_back(line);
  return lines;
}

void DrawTextPages(platform::Canvas& canvas, std::string_view text,
                   const platform::Font& font) {
  canvas.SetFont(font);
  const int line_height = canvas.TextHeight("");
  const int bottom = canvas.PageHeight() - kTextMarginDots;
  int y = kTextMarginDots;
  for (const std::string& line : PrintableLines(text)) {
    if (y + line_height > bottom && y > kTextMarginDots) {
      canvas.NewPage();
      canvas.SetFont(font);
      y = kTextMarginDots;
    }
    if (!line.empty()) canvas.TextOut(kTextMarginDots, y, line);
    y += line_height;
  }
}

platform::PrintJobStatus PrintText(platform::Printer& printer,
                                   const std::string& title,
                                   std::string_view text,
                                   const platform::Font& font) {
  std::unique_ptr<platform::Canvas> canvas = printer.BeginJob(title);
  if (!canvas) {
    platform::PrintJobStatus status;
    status.error = printer.LastError();
    return status;
  }
  DrawTextPages(*canvas, text, font);
  return canvas->EndJob();
}

}  // namespace tallybook::company
