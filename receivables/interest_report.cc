#include "receivables/interest_report.h"

#include <memory>

#include "company/format.h"
#include "company/text.h"
#include "platform/message.h"

namespace tallybook::receivables {

using platform::Canvas;

namespace {

// Margins of the page, in dots.
constexpr int kLeft = 150;
constexpr int kTop = 150;
constexpr int kContinuedAbove = 100;
constexpr int kPenWidth = 3;

class ReportPages {
 public:
  ReportPages(Canvas& canvas, const InterestReport& report,
              const platform::Font& font)
      : c_(canvas), r_(report) {
    c_.SetFont(font);
    c_.SetPen(kPenWidth, platform::kBlack);
    line_ = c_.TextHeight("X");
    first_width_ = c_.TextWidth(std::string(33, 'X'));
    other_width_ = c_.TextWidth(std::string(11, 'X'));
    amount_width_ = c_.TextWidth(std::string(10, 'X'));
    right_ = c_.PageWidth() - kLeft;
  }

  void Draw() {
    Heading();
    for (size_t i = 1; i < r_.lines.size(); ++i) {
      BreakIfFull();
      Row(r_.lines[i]);
    }
    y_ += line_;
    BreakIfFull();
    c_.TextOut(kLeft, y_, ReportCompleteText(r_.count));
  }

 private:
  // The page heading and the column headings; y_ below them.
  void Heading() {
    y_ = kTop;
    c_.TextOut(kLeft, y_, r_.company_name);
    y_ += line_;
    c_.TextOut(kLeft, y_, kInterestReportHeading);
    const std::string page = "Page " + std::to_string(c_.PageNumber());
    c_.TextOut(right_ - c_.TextWidth(page), y_, page);
    y_ += line_;
    c_.TextOut(kLeft, y_, "Date: " + r_.now);
    y_ += line_;
    c_.TextOut(kLeft, y_, InterestReportSentence(r_));
    y_ += line_ + line_ / 2;
    c_.Line(kLeft, y_, right_, y_);
    y_ += line_ / 2;
    if (!r_.lines.empty()) Row(r_.lines.front());
  }

  void BreakIfFull() {
    if (y_ + line_ <= c_.PageHeight() - kInterestBottomReserve) return;
    c_.TextOut(
        kLeft, c_.PageHeight() - kContinuedAbove,
        "Continued on page " + std::to_string(c_.PageNumber() + 1) + " ...");
    c_.NewPage();
    Heading();
  }

  void Row(const GridLine& cells) {
    int x = kLeft;
    for (size_t col = 0; col < cells.size(); ++col) {
      const std::string& text = cells[col];
      const bool amount = col >= 2 && text.find('.') != std::string::npos;
      if (!text.empty()) {
        c_.TextOut(amount ? x + amount_width_ - c_.TextWidth(text) : x, y_,
                   text);
      }
      x += col == 0 ? first_width_ : other_width_;
    }
    y_ += line_;
  }

  Canvas& c_;
  const InterestReport& r_;
  int line_ = 0;
  int first_width_ = 0;
  int other_width_ = 0;
  int amount_width_ = 0;
  int right_ = 0;
  int y_ = 0;
};

}  // namespace

InterestReport MakeInterestReport(company::App& app,
                                  const InterestSettings& settings,
                                  const InterestScan& scan) {
  InterestReport report;
  report.company_name = company::Trim(app.CurrentCompany.CompanyName.View());
  const platform::DateTime now = app.services().clock.Now();
  report.now = company::FormatLongDateTime(
      company::Date{now.year, now.month, now.day}, now.hour, now.minute);
  report.invoice_date = company::Trim(settings.invoice_date);
  report.flat = settings.flat;
  report.flat_rate = company::Trim(settings.flat_rate);
  report.percent = company::Trim(settings.percent);
  report.lines = InterestGridLines(scan);
  report.count = static_cast<int>(scan.rows.size());
  return report;
}

std::string InterestReportSentence(const InterestReport& report) {
  const std::string dated = "Created Invoices Dated: " + report.invoice_date;
  if (report.flat) {
    return dated + " and charged a flat rate of " + report.flat_rate +
           " as fee.";
  }
  return dated + " and charged " + report.percent + " percent interest.";
}

std::string ReportCompleteText(int count) {
  return "Report Complete. " + std::to_string(count) + " records printed.";
}

void DrawInterestReport(Canvas& canvas, const InterestReport& report,
                        const platform::Font& font) {
  ReportPages(canvas, report, font).Draw();
}

platform::PrintJobStatus PrintInterestReport(platform::Printer& printer,
                                             const InterestReport& report,
                                             const platform::Font& font) {
  std::unique_ptr<Canvas> canvas = printer.BeginJob(kInterestJobTitle);
  if (!canvas) {
    platform::PrintJobStatus status;
    status.error = printer.LastError();
    if (status.error.empty()) {
      status.error = "The print job could not be started.";
    }
    return status;
  }
  DrawInterestReport(*canvas, report, font);
  return canvas->EndJob();
}

std::string FinishInterestRun(company::App& app,
                              const InterestRunResult& result,
                              const InterestReport& report,
                              const platform::Font& font) {
  platform::Messages& messages = app.services().messages;
  if (!platform::Confirm(messages, kOperationCompleteCaption,
                         RunCompleteQuestion(result))) {
    return {};
  }
  const platform::PrintJobStatus status =
      PrintInterestReport(app.services().printer, report, font);
  if (!status.ok) {
    platform::ShowError(messages, kInterestPrintErrorCaption, status.error);
    return {};
  }
  return std::string(kInterestReportSent) + " " +
         platform::PrintedWhereText(status);
}

}  // namespace tallybook::receivables
