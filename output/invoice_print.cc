#include "output/invoice_print.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "company/company_options.h"
#include "company/format.h"
#include "company/text.h"
#include "output/invoice_email.h"

namespace tallybook::output {

using company::Trim;
using platform::Canvas;
using platform::Font;
using platform::Rect;

namespace {

constexpr int kTenthInch = platform::kPrinterDotsPerInch / 10;
constexpr int kHeaderLines = 9;
constexpr int kLogoWidth = 450;
constexpr int kLogoHeight = 300;
constexpr int kLogoGap = 25;
constexpr platform::Color kShade = platform::MakeColor(224, 224, 224);

// A length option in tenths of an inch, as dots, within [0, limit].
int TenthsOption(std::string_view text, int limit_tenths) {
  const int tenths =
      std::clamp(company::WholeNumberOr(Trim(text), 0), 0, limit_tenths);
  return tenths * kTenthInch;
}

// One column of the line table, in "X" widths.
struct TableColumn {
  int chars;
  bool right;  // right-aligned
};

class InvoicePage {
 public:
  InvoicePage(Canvas& canvas, const company::CompanyRecord& company,
              const InvoiceImage& image, PrintMode mode,
              const std::string& data_dir)
      : c_(canvas), co_(company), im_(image), mode_(mode), dir_(data_dir) {
    for (int i = 0; i < company::kFormFontCount; ++i) {
      fonts_[i] = FormFont(company.FormFonts[i]);
    }
    left_ = TenthsOption(company.LeftFormMargin.View(), 30);
    top_ = TenthsOption(company.TopFormMargin.View(), 30);
    shift_ = TenthsOption(company.AddressShift.View(), 30);
    right_ = c_.PageWidth() - left_;
    bottom_ = c_.PageHeight();
    const int digit = company::WholeNumberOr(Trim(company.LineWidth.View()), 1);
    pen_ = std::clamp(digit, 1, 9) * 2;
    c_.SetFont(fonts_[company::kBodyTextFont]);
    line_ = c_.TextHeight("MXjpy");
  }

  void Draw() {
    y_ = Header();
    AddressBlock();
    InfoLines();
    if (im_.memo || im_.invoice_kind == "D" || im_.invoice_kind == "T") {
      MemoBody();
    } else {
      LineTable();
    }
    Totals();
    SalesMessage();
    AccountStatus();
  }

 private:
  static Font FormFont(const company::FontBlock& block) {
    Font font = company::FontOf(block);
    if (Trim(font.name).empty()) font.name = Font{}.name;
    if (font.size_points <= 0) font.size_points = Font{}.size_points;
    return font;
  }

  void Use(int font_index) { c_.SetFont(fonts_[font_index]); }
  int Width(const std::string& text) { return c_.TextWidth(text); }
  void Right(int x_end, int y, const std::string& text) {
    c_.TextOut(x_end - Width(text), y, text);
  }
  void Centre(int y, const std::string& text) {
    c_.TextOut((left_ + right_ - Width(text)) / 2, y, text);
  }
  std::string Caption(const std::string& text, const char* fallback) {
    const std::string trimmed = Trim(text);
    return trimmed.empty() ? fallback : trimmed;
  }

  // The header block; returns the y below it.
  int Header() {
    const bool letterhead = co_.LetterheadStyle != 0;
    const bool repeat = im_.type_code == "R";
    Use(company::kCaptionHeadersFont);
    if (letterhead) {
      if (repeat) Right(right_, top_, kRepeatMasterTitle);
    } else {
      int text_x = left_;
      if (co_.PrintLogo != 0 && !Trim(co_.LogoFile.View()).empty()) {
        std::filesystem::path logo = Trim(co_.LogoFile.View());
        if (logo.is_relative()) logo = std::filesystem::path(dir_) / logo;
        std::error_code ec;
        if (std::filesystem::is_regular_file(logo, ec) &&
            c_.DrawBitmap(Rect{left_, top_, left_ + kLogoWidth,
                               top_ + kLogoHeight},
                          logo.string())) {
          text_x = left_ + kLogoWidth + kLogoGap;
        }
      }
      Use(company::kCaptionHeadersFont);
      switch (mode_) {
        case PrintMode::kInvoice:
          if (im_.balance_due_value < 0) {
            Centre(top_, kCreditBanner);
          } else if (repeat) {
            Right(right_, top_, kRepeatMasterTitle);
          } else {
            Right(right_, top_, InvoiceCaptionOf(co_));
          }
          if (im_.printed_flag == "Y" && co_.PrintDuplicateMark != 0) {
            Right(right_, top_ + 4 * line_, kDuplicateBanner);
          }
          break;
        case PrintMode::kPackingSlip:
          Right(right_, top_,
                Caption(co_.PackingSlipCaption.Get(),
                        kDefaultPackingSlipCaption));
          break;
        case PrintMode::kFileCopy:
          Right(right_, top_,
                Caption(co_.FileCopyCaption.Get(), kDefaultFileCopyCaption));
          break;
      }
      if (!company::IsYes(co_.OmitCompanyOnForm.View())) {
        Use(company::kCompanyAddressFont);
        const int l = c_.TextHeight("MXjpy");
        int y = top_;
        for (const auto* field :
             {&co_.CompanyName, &co_.CompanyAddress1, &co_.CompanyAddress2,
              &co_.CompanyAddress3, &co_.CompanyAddress4}) {
          if (!Trim(field->View()).empty()) c_.TextOut(text_x, y, field->Get());
          y += l;
        }
      }
    }
    Use(company::kBodyTextFont);
    if (c_.PageNumber() > 1) {
      Centre(top_ + (kHeaderLines - 1) * line_,
             kPageNumberText + std::to_string(c_.PageNumber()));
    }
    return top_ + kHeaderLines * line_ +
           TenthsOption(co_.BoxTop.View(), 30);
  }

  void AddressBlock() {
    Use(company::kCustomerAddressFont);
    const int l = c_.TextHeight("MXjpy");
    const int bill_x = left_ + shift_;
    const int ship_x = (left_ + right_) / 2 + shift_;
    c_.TextOut(bill_x, y_, im_.bill_to_name);
    c_.TextOut(ship_x, y_, co_.ShippingCaption.Get());
    for (int k = 0; k < 4; ++k) {
      c_.TextOut(bill_x, y_ + (k + 1) * l, im_.billing[k]);
      c_.TextOut(ship_x, y_ + (k + 1) * l, im_.shipping[k]);
    }
    y_ += 6 * l;
    Use(company::kBodyTextFont);
  }

  void InfoLines() {
    c_.TextOut(left_, y_, "Date: " + im_.date);
    Centre(y_, "Number: " + im_.invoice_no);
    Right(right_, y_, "Account Number: " + im_.account_no);
    y_ += line_;
    c_.TextOut(left_, y_, "Payment Terms: " + im_.terms);
    c_.TextOut((left_ + right_) / 2, y_, "Reference: " + im_.reference);
    y_ += 2 * line_;
  }

  // ---- The line table.

  std::vector<TableColumn> Columns() const {
    if (co_.PrintProductCodes != 0) {
      return {{11, false}, {11, true}, {33, false},
              {12, true},  {3, false}, {14, true}};
    }
    return {{11, true}, {34, false}, {12, true}, {3, false}, {14, true}};
  }

  // x of each column edge (one more than the columns).
  std::vector<int> Edges(const std::vector<TableColumn>& columns) {
    int chars = 0;
    for (const TableColumn& col : columns) chars += col.chars;
    int width = Width(std::string(static_cast<size_t>(chars), 'X'));
    width = std::min(width, right_ - left_);
    const int x0 = (left_ + right_ - width) / 2;
    std::vector<int> edges{x0};
    int used = 0;
    for (const TableColumn& col : columns) {
      used += col.chars;
      edges.push_back(x0 + width * used / chars);
    }
    return edges;
  }

  // Draws a cell inside its column, never across the next one's text.
  void Cell(const std::vector<TableColumn>& columns,
            const std::vector<int>& edges, size_t i, int y,
            const std::string& text, bool heading = false) {
    const int pad = Width("X") / 2;
    const int room = edges[i + 1] - edges[i] - 2 * pad;
    // Headings are the company's own captions in the headers font, which
    // the columns (measured in the body font) need not hold; they stay.
    const std::string fitted =
        heading ? text : FitToColumn(text, room, columns[i].right);
    if (columns[i].right) {
      Right(edges[i + 1] - pad, y, fitted);
    } else {
      c_.TextOut(edges[i] + pad, y, fitted);
    }
  }

  // Text cut to `room` dots. A right-aligned cell holds a number: part of
  // one would read as another number, so it drops its thousands separators
  // first and, when still too wide, shows "#" marks as spreadsheets do.
  std::string FitToColumn(const std::string& text, int room, bool number) {
    if (Width(text) <= room) return text;
    if (number) {
      const std::string plain = company::RemoveCommas(text);
      if (Width(plain) <= room) return plain;
      std::string marks = "#";
      while (Width(marks + "#") <= room) marks += '#';
      return marks;
    }
    std::string cut = text;
    while (!cut.empty() && Width(cut) > room) cut.pop_back();
    return cut;
  }

  void TableHeading(const std::vector<TableColumn>& columns,
                    const std::vector<int>& edges) {
    Use(company::kCaptionHeadersFont);
    const int l = c_.TextHeight("MXjpy");
    table_top_ = y_;
    if (co_.Shading != 0) {
      c_.FillRectangle(Rect{edges.front(), y_, edges.back(), y_ + l}, kShade);
    }
    std::vector<std::string> heads;
    if (co_.PrintProductCodes != 0) heads.push_back(co_.ProductCodeHeading.Get());
    heads.push_back(co_.QuantityHeading.Get());
    heads.push_back(co_.DescriptionHeading.Get());
    heads.push_back(co_.UnitPriceHeading.Get());
    heads.push_back("T");
    heads.push_back(co_.ExtensionHeading.Get());
    for (size_t i = 0; i < heads.size(); ++i) {
      Cell(columns, edges, i, y_, Trim(heads[i]), /*heading=*/true);
    }
    y_ += l;
    c_.SetPen(pen_, platform::kBlack);
    c_.Line(edges.front(), y_, edges.back(), y_);
    Use(company::kBodyTextFont);
  }

  void CloseTable(const std::vector<int>& edges) {
    c_.SetPen(pen_, platform::kBlack);
    if (co_.PrintVerticalLines != 0) {
      for (size_t i = 1; i + 1 < edges.size(); ++i) {
        c_.Line(edges[i], table_top_, edges[i], y_);
      }
    }
    if (co_.BoxInvoices != 0) {
      c_.Rectangle(Rect{edges.front(), table_top_, edges.back() + 1, y_ + 1});
    } else {
      c_.Line(edges.front(), y_, edges.back(), y_);
    }
  }

  void LineTable() {
    const std::vector<TableColumn> columns = Columns();
    const std::vector<int> edges = Edges(columns);
    TableHeading(columns, edges);
    std::vector<int> rows;
    for (int i = 0; i < im_.body_count; ++i) {
      if (!ReadBodyColumns(im_.body[i]).description.empty()) rows.push_back(i);
    }
    const bool packing = mode_ == PrintMode::kPackingSlip;
    for (size_t r = 0; r < rows.size(); ++r) {
      const BodyColumns b = ReadBodyColumns(im_.body[rows[r]]);
      std::vector<std::string> cells;
      if (co_.PrintProductCodes != 0) cells.push_back(b.product_code);
      cells.push_back(b.quantity);
      cells.push_back(b.description);
      cells.push_back(packing ? kMaskedAmount : DecimalPreserving(b.unit_price));
      cells.push_back(b.taxable);
      cells.push_back(packing ? kMaskedAmount
                              : company::FormatMoneyText(b.extension));
      for (size_t i = 0; i < cells.size(); ++i) {
        Cell(columns, edges, i, y_, cells[i]);
      }
      y_ += line_;
      if (co_.PrintHorizontalLines != 0) {
        c_.SetPen(pen_ / 2 > 0 ? pen_ / 2 : 1, platform::kBlack);
        c_.Line(edges.front(), y_, edges.back(), y_);
      }
      if (r + 1 < rows.size() && bottom_ - y_ < 10 * line_) {
        CloseTable(edges);
        Centre(y_ + 3 * line_, kContinuedText +
                                   std::to_string(c_.PageNumber() + 1) +
                                   " ...");
        c_.NewPage();
        y_ = Header();
        TableHeading(columns, edges);
      }
    }
    CloseTable(edges);
    y_ += line_;
    if (co_.MoveDownTotals != 0) MoveDownTotals();
  }

  void MemoBody() {
    const std::vector<TableColumn> columns = {{80, false}};
    const std::vector<int> edges = Edges(columns);
    Font memo_font = fonts_[company::kBodyTextFont];
    memo_font.size_points += 2;
    c_.SetFont(memo_font);
    const int l = c_.TextHeight("MXjpy");
    table_top_ = y_;
    c_.TextOut(edges.front(), y_, co_.MemoHeader.Get());
    y_ += 2 * l;
    for (int i = 0; i < company::kMemoLineCount; ++i) {
      c_.TextOut(edges.front(), y_, im_.body[i]);
      y_ += l;
    }
    if (co_.BoxInvoices != 0) {
      c_.SetPen(pen_, platform::kBlack);
      c_.Rectangle(Rect{edges.front() - Width("X"), table_top_ - line_ / 2,
                        edges.back() + 1, y_ + line_ / 2});
    }
    Use(company::kBodyTextFont);
    y_ += line_;
    MoveDownTotals();
  }

  void MoveDownTotals() {
    y_ = std::max(y_, bottom_ - (14 * line_ + 100));
  }

  void Totals() {
    if (mode_ == PrintMode::kPackingSlip) {
      c_.TextOut(left_, y_, kPackingSlipNote);
      y_ += 2 * line_;
      return;
    }
    std::vector<std::pair<std::string, std::string>> rows;
    rows.push_back({"Total:", im_.total});
    const std::string tax_caption = Trim(co_.TaxHeading.View());
    if (!tax_caption.empty() || im_.tax_value != 0) {
      rows.push_back({tax_caption, im_.tax});
    }
    rows.push_back({"Grand Total:", im_.grand_total});
    if (im_.paid_date.size() > 7) rows.push_back({"Paid Date: ", im_.paid_date});
    rows.push_back({"Paid Amount: ", im_.paid});
    rows.push_back({"Balance Due:", im_.balance_due});
    const int value_end = right_ - Width("X");
    const int label_end = value_end - Width(std::string(14, 'X'));
    const int top = y_;
    for (const auto& [label, value] : rows) {
      Right(label_end, y_, Trim(label));
      Right(value_end, y_, Trim(value));
      y_ += line_;
    }
    if (co_.BoxInvoices != 0) {
      c_.SetPen(pen_, platform::kBlack);
      c_.Rectangle(Rect{label_end - Width(std::string(14, 'X')), top - 10,
                        right_, y_ + 10});
    }
    y_ += line_;
  }

  void SalesMessage() {
    if (co_.PrintSalesMessage == 0) return;
    if (bottom_ - y_ < 7 * line_ + 100) return;
    Use(company::kSalesMessageFont);
    const int l = c_.TextHeight("MXjpy");
    for (const auto* field : {&co_.SalesMessage1, &co_.SalesMessage2,
                              &co_.SalesMessage3, &co_.SalesMessage4}) {
      Centre(y_, Trim(field->View()));
      y_ += l;
    }
    Use(company::kBodyTextFont);
  }

  void AccountStatus() {
    if (co_.PrintCustomerAging == 0 || mode_ == PrintMode::kPackingSlip) return;
    Use(company::kAgingAnalysisFont);
    const int y = bottom_ - 110 - c_.TextHeight("MXjpy");
    c_.TextOut(left_, y, kAccountStatus);
    const std::string captions[4] = {Trim(co_.AgingCaption1.View()),
                                     Trim(co_.AgingCaption2.View()),
                                     Trim(co_.AgingCaption3.View()),
                                     OverCaption(co_) + " "};
    const int start = left_ + Width(std::string(kAccountStatus) + "  ");
    const int step = (right_ - start) / 4;
    for (int k = 0; k < 4; ++k) {
      c_.TextOut(start + k * step, y,
                 captions[k] + " " + Trim(im_.aging[k]));
    }
    Use(company::kBodyTextFont);
  }

  Canvas& c_;
  const company::CompanyRecord& co_;
  const InvoiceImage& im_;
  PrintMode mode_;
  std::string dir_;
  Font fonts_[company::kFormFontCount];
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0, shift_ = 0, pen_ = 2;
  int line_ = 0;
  int y_ = 0;
  int table_top_ = 0;
};

}  // namespace

const char* ModeCode(PrintMode mode) {
  switch (mode) {
    case PrintMode::kInvoice:
      return "INV";
    case PrintMode::kPackingSlip:
      return "PSL";
    case PrintMode::kFileCopy:
      return "FCP";
  }
  return "INV";
}

std::string JobTitle(PrintMode mode, const std::string& invoice_no) {
  switch (mode) {
    case PrintMode::kPackingSlip:
      return "Packing Slip - " + invoice_no;
    case PrintMode::kFileCopy:
      return "File Copy - " + invoice_no;
    case PrintMode::kInvoice:
      break;
  }
  return "Invoice - " + invoice_no;
}

void DrawInvoice(Canvas& canvas, const company::CompanyRecord& company,
                 const InvoiceImage& image, PrintMode mode,
                 const std::string& data_dir) {
  InvoicePage(canvas, company, image, mode, data_dir).Draw();
}

platform::PrintJobStatus PrintInvoiceCopy(
    platform::Printer& printer, const company::CompanyRecord& company,
    const InvoiceImage& image, PrintMode mode, const std::string& data_dir) {
  std::unique_ptr<Canvas> canvas =
      printer.BeginJob(JobTitle(mode, image.invoice_no));
  if (!canvas) {
    platform::PrintJobStatus status;
    status.error = printer.LastError();
    if (status.error.empty()) status.error = "The print job could not be started.";
    return status;
  }
  DrawInvoice(*canvas, company, image, mode, data_dir);
  return canvas->EndJob();
}

}  // namespace tallybook::output
