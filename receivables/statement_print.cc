#include "receivables/statement_print.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "company/format.h"
#include "company/text.h"
#include "output/invoice_email.h"
#include "output/invoice_print.h"
#include "receivables/statement_email.h"

namespace tallybook::receivables {

using company::Trim;
using platform::Canvas;
using platform::Font;
using platform::Rect;

namespace {

constexpr int kBoxInset = 20;
constexpr int kLogoWidth = 450;
constexpr int kLogoHeight = 300;
constexpr int kLogoGap = 25;
constexpr int kContinuedAbove = 100;
constexpr int kStatusAbove = 110;
constexpr platform::Color kShade = platform::MakeColor(224, 224, 224);
// The column headings of the printed statement.
constexpr const char* kHeadings[kStatementColumns] = {
    "Date",        "Invoice#",     "Reference/Comments", "Total Amount",
    "Paid Amount", " Balance Due", "C"};

class StatementPage {
 public:
  StatementPage(Canvas& canvas, const company::CompanyRecord& company,
                const Statement& st, const std::string& today,
                const std::string& data_dir)
      : c_(canvas), co_(company), st_(st), today_(today), dir_(data_dir) {
    for (int i = 0; i < company::kFormFontCount; ++i) {
      fonts_[i] = output::FormFontOf(company.FormFonts[i]);
    }
    left_ = output::FormTenthsOption(company.LeftFormMargin.View(), 30);
    top_ = output::FormTenthsOption(company.TopFormMargin.View(), 30);
    shift_ = output::FormTenthsOption(company.AddressShift.View(), 30);
    right_ = c_.PageWidth() - left_;
    bottom_ = c_.PageHeight();
    const int digit = company::WholeNumberOr(Trim(company.LineWidth.View()), 1);
    pen_ = std::clamp(digit, 1, 9) * 2;
    Use(company::kBodyTextFont);
    line_ = c_.TextHeight("MXjpy");
    MeasureColumns();
  }

  void Draw() {
    Header();
    for (const StatementRow& row : st_.rows) DrawRow(row);
    DrawRow(st_.totals);
    c_.SetPen(pen_, platform::kBlack);
    c_.Line(left_, y_, right_, y_);
    y_ += line_;
    const int status_top = AccountStatusTop();
    SalesMessage(status_top);
    AccountStatus(status_top);
  }

 private:
  void Use(int font_index) { c_.SetFont(fonts_[font_index]); }
  int Width(const std::string& text) { return c_.TextWidth(text); }
  void Centre(int y, const std::string& text) {
    c_.TextOut((left_ + right_ - Width(text)) / 2, y, text);
  }

  // Column edges from sample texts; amounts as wide as "9,999,999.99",
  // and no column narrower than its heading in the caption font. A table
  // wider than the space between the margins is narrowed to it, every
  // column alike.
  void MeasureColumns() {
    const std::string samples[kStatementColumns] = {
        "XXXXXXXX",     "XXXXXXXX",     std::string(27, 'X'), "9,999,999.99",
        "9,999,999.99", "9,999,999.99", "X"};
    int widths[kStatementColumns];
    const int gap = Width("XX");
    int total = gap * (kStatementColumns - 1);
    for (int i = 0; i < kStatementColumns; ++i) {
      Use(company::kCaptionHeadersFont);
      widths[i] = Width(kHeadings[i]);
      Use(company::kBodyTextFont);
      widths[i] = std::max(widths[i], Width(samples[i]));
      total += widths[i];
    }
    const int room = std::max(right_ - left_, 1);
    const auto fit = [&](int w) {
      return total <= room ? w : static_cast<int>(int64_t{w} * room / total);
    };
    int x = left_;
    for (int i = 0; i < kStatementColumns; ++i) {
      left_of_[i] = x;
      right_of_[i] = x + fit(widths[i]);
      x = right_of_[i] + fit(gap);
    }
  }

  // The page header, the statement lines and the column headings; y_ below.
  void Header() {
    if (co_.BoxStatements != 0) {
      c_.SetPen(pen_, platform::kBlack);
      c_.Rectangle(Rect{kBoxInset, kBoxInset, c_.PageWidth() - kBoxInset,
                        bottom_ - kBoxInset});
    }
    int text_x = left_;
    int logo_bottom = top_;
    if (co_.PrintLogo != 0 && !Trim(co_.LogoFile.View()).empty()) {
      std::filesystem::path logo = Trim(co_.LogoFile.View());
      if (logo.is_relative()) logo = std::filesystem::path(dir_) / logo;
      std::error_code ec;
      if (std::filesystem::is_regular_file(logo, ec) &&
          c_.DrawBitmap(Rect{left_, top_, left_ + kLogoWidth, top_ + kLogoHeight},
                        logo.string())) {
        text_x = left_ + kLogoWidth + kLogoGap;
        logo_bottom = top_ + kLogoHeight;
      }
    }
    Use(company::kCaptionHeadersFont);
    int y = top_;
    Centre(y, StatementHeading(co_));
    y += c_.TextHeight("MXjpy");
    if (!company::IsYes(co_.OmitCompanyOnForm.View())) {
      Use(company::kCompanyAddressFont);
      const int l = c_.TextHeight("MXjpy");
      for (const auto* field :
           {&co_.CompanyName, &co_.CompanyAddress1, &co_.CompanyAddress2,
            &co_.CompanyAddress3, &co_.CompanyAddress4}) {
        if (Trim(field->View()).empty()) continue;
        c_.TextOut(text_x, y, Trim(field->View()));
        y += l;
      }
    }
    Use(company::kBodyTextFont);
    y = std::max(y, logo_bottom) + line_ / 2;
    Centre(y, kPageNumberPrefix + std::to_string(c_.PageNumber()));
    y += 2 * line_;

    Use(company::kCustomerAddressFont);
    const int l = c_.TextHeight("MXjpy");
    c_.TextOut(left_ + shift_, y, st_.name);
    y += l;
    for (const std::string& line : st_.address) {
      if (line.empty()) continue;
      c_.TextOut(left_ + shift_, y, line);
      y += l;
    }
    y += line_ / 2;
    if (co_.PrintHorizontalLines != 0) {
      c_.SetPen(std::max(pen_ / 2, 1), platform::kBlack);
      c_.Line(left_, y, right_, y);
    }
    y += line_ / 2;

    Use(company::kBodyTextFont);
    c_.TextOut(left_, y, "Statement Date: " + today_);
    y += line_;
    c_.TextOut(left_, y, "Account Number: " + st_.customer_no);
    y += line_;
    c_.TextOut(left_, y, Trim(co_.StatementNoteText.View()));
    y += 2 * line_;
    y_ = y;
    Headings();
  }

  void Headings() {
    Use(company::kCaptionHeadersFont);
    const int l = c_.TextHeight("MXjpy");
    if (co_.Shading != 0) {
      c_.FillRectangle(Rect{left_, y_, right_, y_ + l}, kShade);
    }
    for (int i = 0; i < kStatementColumns; ++i) {
      if (i >= 3 && i <= 5) {
        c_.TextOut(right_of_[i] - Width(kHeadings[i]), y_, kHeadings[i]);
      } else {
        c_.TextOut(left_of_[i], y_, kHeadings[i]);
      }
    }
    y_ += l;
    c_.SetPen(pen_, platform::kBlack);
    c_.Line(left_, y_, right_, y_);
    y_ += line_ / 4;
    Use(company::kBodyTextFont);
  }

  void DrawRow(const StatementRow& row) {
    if (y_ + line_ > bottom_ - kStatementBottomReserve) {
      Centre(bottom_ - kContinuedAbove - line_,
             kContinuedOnPage + std::to_string(c_.PageNumber() + 1) + " ...");
      c_.NewPage();
      Header();
    }
    const int point = Width(".00");
    for (int i = 0; i < kStatementColumns; ++i) {
      const std::string& text = row[i];
      if (text.empty()) continue;
      if (i >= 3 && i <= 5) {
        // Aligned on the decimal point: what stands before it ends ".00"
        // short of the column's right edge.
        const size_t dot = text.find('.');
        const std::string before = text.substr(0, dot);
        c_.TextOut(right_of_[i] - point - Width(before), y_, text);
      } else {
        c_.TextOut(left_of_[i], y_, text);
      }
    }
    y_ += line_;
  }

  // Where the bottom block begins: the account status, or the continued
  // line's place when there is none.
  int AccountStatusTop() {
    if (co_.PrintCustomerAging == 0) return bottom_ - kContinuedAbove;
    Use(company::kAgingAnalysisFont);
    const int l = c_.TextHeight("MXjpy");
    Use(company::kBodyTextFont);
    return bottom_ - kStatusAbove - l;
  }

  void SalesMessage(int block_top) {
    if (co_.PrintSalesMessage == 0) return;
    if (bottom_ - y_ < 7 * line_ + kContinuedAbove) return;
    Use(company::kSalesMessageFont);
    const int l = c_.TextHeight("MXjpy");
    int y = std::max(y_, block_top - 5 * l);
    for (const auto* field : {&co_.SalesMessage1, &co_.SalesMessage2,
                              &co_.SalesMessage3, &co_.SalesMessage4}) {
      Centre(y, Trim(field->View()));
      y += l;
    }
    Use(company::kBodyTextFont);
  }

  void AccountStatus(int top) {
    if (co_.PrintCustomerAging == 0) return;
    Use(company::kAgingAnalysisFont);
    const int l = c_.TextHeight("MXjpy");
    const int entries_y = bottom_ - kStatusAbove;
    if (co_.Shading != 0) {
      c_.FillRectangle(Rect{left_, top, right_, entries_y + l}, kShade);
    }
    c_.TextOut(left_, top, kStatementAccountStatus);
    const std::string captions[4] = {
        Trim(co_.AgingCaption1.View()), Trim(co_.AgingCaption2.View()),
        Trim(co_.AgingCaption3.View()), output::OverCaption(co_)};
    const int width = c_.PageWidth();
    const int xs[4] = {left_, width / 4, width / 2, 3 * width / 4};
    for (int k = 0; k < 4; ++k) {
      c_.TextOut(xs[k], entries_y, captions[k] + " " + st_.aging[k]);
    }
    Use(company::kBodyTextFont);
  }

  Canvas& c_;
  const company::CompanyRecord& co_;
  const Statement& st_;
  std::string today_;
  std::string dir_;
  Font fonts_[company::kFormFontCount];
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0, shift_ = 0, pen_ = 2;
  int line_ = 0;
  int y_ = 0;
  int left_of_[kStatementColumns] = {};
  int right_of_[kStatementColumns] = {};
};

}  // namespace

void DrawStatement(Canvas& canvas, const company::CompanyRecord& company,
                   const Statement& st, const std::string& today,
                   const std::string& data_dir) {
  StatementPage(canvas, company, st, today, data_dir).Draw();
}

platform::PrintJobStatus PrintStatement(platform::Printer& printer,
                                        const company::CompanyRecord& company,
                                        const Statement& st,
                                        const std::string& today,
                                        const std::string& data_dir) {
  std::unique_ptr<Canvas> canvas = printer.BeginJob(kStatementJobTitle);
  if (!canvas) {
    platform::PrintJobStatus status;
    status.error = printer.LastError();
    if (status.error.empty()) {
      status.error = "The print job could not be started.";
    }
    return status;
  }
  DrawStatement(*canvas, company, st, today, data_dir);
  return canvas->EndJob();
}

}  // namespace tallybook::receivables
