#include "receivables/report.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "company/aging.h"
#include "company/data_access.h"
#include "company/keys.h"
#include "company/money.h"
#include "company/text.h"
#include "receivables/report_cells.h"

namespace tallybook::receivables {

using company::Trim;
using company::TransactionRecord;

namespace {

constexpr ColumnKind T = ColumnKind::kText;
constexpr ColumnKind N = ColumnKind::kCount;
constexpr ColumnKind M = ColumnKind::kMoney;
constexpr ColumnKind Q = ColumnKind::kQuantity;
constexpr ColumnKind P = ColumnKind::kPrice;

std::vector<ReportDefinition> MakeReports() {
  return {
      {ReportKind::kInvoiceRegister, "Invoice Register",
       "Lists all invoices created in the selected period. Shows Net,Tax and "
       "Total. Use this report to see what customers you have billed.",
       "invoice-register", "Invoice Register", "Invoice Register", true, 3,
       {{"Year/Mo/Dy", 10, T}, {"Invoice#", 9, T}, {"Short Name", 10, T},
        {"Customer#", 8, T}, {"Net Amount", 12, M}, {"Tax Amount", 12, M},
        {"Grand Total", 12, M}, {"C", 1, T}}},
      {ReportKind::kPaymentRegister, "Payment Register",
       "Lists all payments received in the selected period. Shows Total, Paid "
       "and Balance.  Use this report to see the payments you have processed.",
       "payment-register", "Payment Register", "Payment Register", true, 3,
       {{"Year/Mo/Dy", 10, T}, {"Invoice#", 9, T}, {"Short Name", 10, T},
        {"Customer#", 8, T}, {"Grand Total", 12, M}, {"Paid Amount", 12, M},
        {"Balance Due", 12, M}, {"C", 1, T}}},
      {ReportKind::kAccountsReceivable, "Accounts Receivable",
       "Shows all open items which make up your Accounts Receivable Balance. "
       "This report also shows how old your unpaid invoices are (Aging "
       "Analysis).",
       "accounts-receivable", "A/R", "Accounts Receivable Report", false, 5,
       {{"Category", 10, T}, {"Invoice#", 9, T}, {"Short Name", 10, T},
        {"Customer#", 8, T}, {"Aging", 12, N}, {"Year/Mo/Dy", 12, T},
        {"Balance Due", 12, M}, {"C", 1, T}}},
      {ReportKind::kSalesReport, "Sales Report",
       "Shows all products you have sold in the selected period.", "sales",
       "Sales Report", "Sales Report", true, 5,
       {{"Product Description", 32, T}, {"Product#", 10, T},
        {"Year/Mo/Dy", 10, T}, {"Invoice#", 9, T}, {"Short Name", 10, T},
        {"Customer", 8, T}, {"Unit Price", 12, P}, {"Quantity", 12, Q},
        {"Line Amount", 12, M}}},
      {ReportKind::kKeyCodeInquiry, "Key Code Inquiry",
       "Lists all invoices created in the selected period. Shows Net,Tax and "
       "Total. This report includes your Key Code for sub-totaling instead of "
       "Customer Number.",
       "key-code", "Key Code Inquiry", "Key Code Report", true, 3,
       {{"Key Code", 8, T}, {"Invoice#", 9, T}, {"Short Name", 10, T},
        {"Year/Mo/Dy", 10, T}, {"Net Amount", 12, M}, {"Tax Amount", 12, M},
        {"Grand Total", 12, M}, {"C", 1, T}}},
      {ReportKind::kTaxReport, "Tax Report",
       "Lists all invoices PAID in the selected period.  Unlike the Payment "
       "Register, this report shows the Tax and Key Code columns. Use to view "
       "taxes collected or collections by Key Code.",
       "tax", "Tax Report", "Tax Report", true, 4,
       {{"Year/Mo/Dy", 10, T}, {"Invoice#", 9, T}, {"Short Name", 10, T},
        {"Customer#", 8, T}, {"Key Code", 8, T}, {"Paid Amount", 12, M},
        {"Tax Amount", 12, M}, {"C", 1, T}}},
      {ReportKind::kRepeatBillingList, "Repeat Billing List",
       "Lists all master repeat billings (Type R) that you have currently on "
       "file. This report is helpful for reviewing accounts you have on a "
       "repeat billing cycle.",
       "repeat-billing", "Repeat Billings", "Repeat Billing List", false, 5,
       {{"Next Due", 10, T}, {"Invoice#", 9, T}, {"Short Name", 10, T},
        {"Customer#", 8, T}, {"#Created", 8, N}, {"Year/Mo/Dy", 12, T},
        {"Grand Total", 12, M}, {"C", 1, T}}},
  };
}

// A text cell: trimmed and cut to the column's width.
std::string TextCell(std::string_view text, int width) {
  std::string cell = Trim(text);
  if (cell.size() > static_cast<size_t>(width)) cell.resize(width);
  return cell;
}

std::string MoneyCell(std::string_view stored) {
  return company::FormatCents(company::CentsOf(stored));
}

std::string SortableOfRange(const company::Date& date) {
  return company::SortableDate(date);
}

// Reads a company file for a report: open when it exists, closed again
// when this goes. A file the company does not have yet holds nothing.
template <class Access>
class ReportFile {
 public:
  explicit ReportFile(company::App& app) : file_(app) {
    open_ = file_.OpenExistingCompanyFile();
    missing_ = !open_ && app.engine().StoreError() == 9903;
    error_ = open_ ? 0 : app.engine().StoreError();
  }
  ~ReportFile() {
    if (open_) file_.Close();
  }
  bool open() const { return open_; }
  bool missing() const { return missing_; }
  int error() const { return error_; }
  Access& file() { return file_; }

 private:
  Access file_;
  bool open_ = false;
  bool missing_ = false;
  int error_ = 0;
};

// Walks key key_no from `start` while keep(key) holds, reading each record
// into *record and calling visit(record number). False when the store
// failed other than by running out of keys.
template <class R, class Keep, class Visit>
bool WalkKey(store::Engine& engine, store::FileHandle handle, int key_no,
             const std::string& start, Keep keep, R* record, Visit visit) {
  std::string key = start;
  int32_t ref = 0;
  bool ok = engine.SearchKey(handle, key_no, ref, key);
  while (ok && keep(key)) {
    if (!engine.GetRecord(handle, ref, record)) return false;
    visit(ref);
    ok = engine.NextKey(handle, key_no, ref, key);
  }
  return ok || engine.ErrorClass() == 1;
}

class Builder {
 public:
  Builder(company::App& app, const ReportRequest& request, Report* report)
      : app_(app), engine_(app.engine()), request_(request), report_(report) {
    from_ = SortableOfRange(request.from);
    to_ = SortableOfRange(request.to);
  }

  ReportResult Run() {
    switch (request_.kind) {
      case ReportKind::kInvoiceRegister:
      case ReportKind::kKeyCodeInquiry:
        return Transactions([&] { return InvoicePass(); });
      case ReportKind::kPaymentRegister:
      case ReportKind::kTaxReport:
        return Transactions([&] { return PaymentPasses(); });
      case ReportKind::kAccountsReceivable:
        return Receivables();
      case ReportKind::kSalesReport:
        return Sales();
      case ReportKind::kRepeatBillingList:
        return Transactions([&] { return RepeatPass(); });
    }
    return {};
  }

 private:
  const ReportDefinition& def() const { return *report_->definition; }

  ReportResult FileFailed(const std::string& file, int error) {
    return {ReportOutcome::kFileFailed,
            "The report could not read " + file + " (error " +
                std::to_string(error) + ").",
            def().empty_caption};
  }

  template <class Pass>
  ReportResult Transactions(Pass pass) {
    ReportFile<company::TransactionAccess> file(app_);
    if (!file.open() && !file.missing()) {
      return FileFailed(FileName("I"), file.error());
    }
    if (file.open()) {
      handle_ = file.file().handle();
      if (!pass()) return FileFailed(FileName("I"), engine_.StoreError());
    }
    return Finish();
  }

  std::string FileName(const char* letter) const {
    return Trim(app_.CurrentCompanyNo()) + letter + ".DAT";
  }

  ReportResult Finish() {
    if (!report_->rows.empty()) return {};
    if (request_.kind == ReportKind::kRepeatBillingList) {
      return {ReportOutcome::kNoRecords, kNoRepeatMasters,
              kNoRepeatMastersCaption};
    }
    return {ReportOutcome::kNoRecords, kNoMatchingRecords,
            def().empty_caption};
  }

  // Keys 3 and 6 are dates as stored; a range walk starts at from and
  // stops past to.
  bool WalkDates(int key_no, std::function<void(const TransactionRecord&,
                                                int32_t)> visit) {
    const std::string start =
        company::KeyTextAsStored(from_, company::kTransSortDateKeyLength);
    const std::string last =
        company::KeyTextAsStored(to_, company::kTransSortDateKeyLength);
    TransactionRecord r;
    return WalkKey(
        engine_, handle_, key_no, start,
        [&](const std::string& key) { return key <= last; }, &r,
        [&](int32_t ref) { visit(r, ref); });
  }

  bool InvoicePass() {
    const bool register_ = request_.kind == ReportKind::kInvoiceRegister;
    return WalkDates(3, [&](const TransactionRecord& r, int32_t) {
      const std::string type = Trim(r.TypeCode.View());
      if (type == "R" || Trim(r.InvoiceNo.View()).empty()) return;
      const company::Cents total = company::CentsOf(r.GrandTotal.View());
      if (total == 0 && !(register_ && type == "I")) return;
      const std::string date = TextCell(r.SortDate.View(), 10);
      if (register_) {
        report_->rows.push_back(
            {date, TextCell(r.InvoiceNo.View(), 9),
             TextCell(r.ShortName.View(), 10), TextCell(r.CustomerNo.View(), 8),
             MoneyCell(r.NetAmount.View()), MoneyCell(r.TaxAmount.View()),
             company::FormatCents(total), type});
      } else {
        std::string key_code = TextCell(r.KeyCode.View(), 8);
        if (key_code.empty()) key_code = kNoKeyCode;
        report_->rows.push_back(
            {key_code, TextCell(r.InvoiceNo.View(), 9),
             TextCell(r.ShortName.View(), 10), date,
             MoneyCell(r.NetAmount.View()), MoneyCell(r.TaxAmount.View()),
             company::FormatCents(total), type});
      }
    });
  }

  void PaymentRow(const TransactionRecord& r, const std::string& date) {
    const std::string type = TextCell(r.TypeCode.View(), 1);
    if (request_.kind == ReportKind::kPaymentRegister) {
      report_->rows.push_back(
          {date, TextCell(r.InvoiceNo.View(), 9),
           TextCell(r.ShortName.View(), 10), TextCell(r.CustomerNo.View(), 8),
           MoneyCell(r.GrandTotal.View()), MoneyCell(r.PaidAmount.View()),
           MoneyCell(r.AmountDue.View()), type});
    } else {
      report_->rows.push_back(
          {date, TextCell(r.InvoiceNo.View(), 9),
           TextCell(r.ShortName.View(), 10), TextCell(r.CustomerNo.View(), 8),
           TextCell(r.KeyCode.View(), 8), MoneyCell(r.PaidAmount.View()),
           MoneyCell(r.TaxAmount.View()), type});
    }
  }

  bool PaymentPasses() {
    // A record both passes would take is listed once: the first pass has
    // it, and a second row would count its amounts twice.
    std::vector<int32_t> listed;
    const bool paid_ok = WalkDates(6, [&](const TransactionRecord& r,
                                          int32_t ref) {
      if (Trim(r.PaidSortDate.View()).empty()) return;
      listed.push_back(ref);
      PaymentRow(r, TextCell(r.PaidSortDate.View(), 10));
    });
    if (!paid_ok) return false;
    std::sort(listed.begin(), listed.end());
    return WalkDates(3, [&](const TransactionRecord& r, int32_t ref) {
      if (company::CentsOf(r.PaidAmount.View()) == 0 ||
          company::CentsOf(r.AmountDue.View()) == 0 ||
          Trim(r.TypeCode.View()) == "D") {
        return;
      }
      if (std::binary_search(listed.begin(), listed.end(), ref)) return;
      const std::string paid = Trim(r.PaidSortDate.View());
      PaymentRow(r, paid.size() >= 5 ? TextCell(paid, 10)
                                     : TextCell(r.SortDate.View(), 10));
    });
  }

  // The age of an open item: its date text in the company's order, or its
  // sortable date when that text is no date.
  std::optional<int64_t> AgeOf(const TransactionRecord& r) const {
    std::optional<company::Date> date = app_.ParseDate(r.DateText.View());
    if (!date) date = company::ParseSortableDate(Trim(r.SortDate.View()));
    if (!date) return std::nullopt;
    return company::AgeInDays(*date, app_.Today());
  }

  void ReceivableRow(const TransactionRecord& r) {
    std::string category, aging;
    if (const std::optional<int64_t> age = AgeOf(r)) {
      const int i = company::AgingCategory(*age, l1_, l2_, l3_);
      category = i < 3 ? TextCell(captions_[i], 10)
                       : TextCell("Over " + std::to_string(l3_), 10);
      aging = std::to_string(*age) + " Days";
    }
    report_->rows.push_back(
        {category, TextCell(r.InvoiceNo.View(), 9),
         TextCell(r.ShortName.View(), 10), TextCell(r.CustomerNo.View(), 8),
         CountCell(aging, 12), TextCell(r.SortDate.View(), 12),
         MoneyCell(r.AmountDue.View()), TextCell(r.TypeCode.View(), 1)});
  }

  ReportResult Receivables() {
    const company::CompanyRecord& company = app_.CurrentCompany;
    if (company::CentsOf(company.ReceivablesBalance.View()) == 0) {
      return {ReportOutcome::kRefused, kReceivablesZero,
              kReceivablesZeroCaption};
    }
    if (!company::ReadAgingDays(company, &l1_, &l2_, &l3_)) {
      return {ReportOutcome::kRefused, company::kBadAgingDays,
              def().empty_caption};
    }
    captions_[0] = company.AgingCaption1.Get();
    captions_[1] = company.AgingCaption2.Get();
    captions_[2] = company.AgingCaption3.Get();
    return Transactions([&] {
      TransactionRecord r;
      const std::string blanks(company::kTransPaidSortDateKeyLength, ' ');
      const bool open_ok = WalkKey(
          engine_, handle_, 6, blanks,
          [](const std::string& key) { return key.compare(0, 2, "  ") == 0; },
          &r, [&](int32_t) {
            if (Trim(r.TypeCode.View()) == "R" ||
                Trim(r.InvoiceNo.View()).empty()) {
              return;
            }
            ReceivableRow(r);
          });
      if (!open_ok) return false;
      return WalkKey(
          engine_, handle_, 5,
          company::KeyText("D", company::kTransTypeInvoiceKeyLength),
          [](const std::string& key) { return !key.empty() && key[0] == 'D'; },
          &r, [&](int32_t) {
            if (Trim(r.PaidStatus.View()) == "P") return;
            ReceivableRow(r);
          });
    });
  }

  ReportResult Sales() {
    ReportFile<company::LineAccess> file(app_);
    if (!file.open() && !file.missing()) {
      return FileFailed(FileName("D"), file.error());
    }
    if (!file.open()) return Finish();
    const std::string start =
        company::KeyText(from_, company::kLineSortDateKeyLength);
    const std::string last =
        company::KeyText(to_, company::kLineSortDateKeyLength);
    company::LineRecord line;
    const bool ok = WalkKey(
        engine_, file.file().handle(), 1, start,
        [&](const std::string& key) { return key <= last; }, &line,
        [&](int32_t) {
          if (Trim(line.LineKind.View()) == "R") return;
          report_->rows.push_back(SalesRow(line));
        });
    if (!ok) return FileFailed(FileName("D"), engine_.StoreError());
    return Finish();
  }

  bool RepeatPass() {
    TransactionRecord r;
    return WalkKey(
        engine_, handle_, 5,
        company::KeyText("R", company::kTransTypeInvoiceKeyLength),
        [](const std::string& key) { return !key.empty() && key[0] == 'R'; },
        &r, [&](int32_t) {
          if (Trim(r.InvoiceNo.View()).empty()) return;
          const std::optional<company::Date> next = company::ParseDisplayDate(
              r.NextDueDate.View(), company::DateOrder::kMonthFirst);
          report_->rows.push_back(
              {next ? company::SortableDate(*next)
                    : TextCell(r.NextDueDate.View(), 10),
               TextCell(r.InvoiceNo.View(), 9),
               TextCell(r.ShortName.View(), 10),
               TextCell(r.CustomerNo.View(), 8),
               CountCell(Trim(r.RepeatCount.View()), 8),
               TextCell(r.SortDate.View(), 12), MoneyCell(r.GrandTotal.View()),
               TextCell(r.RepeatUnit.View(), 1)});
        });
  }

  company::App& app_;
  store::Engine& engine_;
  const ReportRequest& request_;
  Report* report_;
  std::string from_, to_;
  store::FileHandle handle_ = store::kNoFileHandle;
  int32_t l1_ = 0, l2_ = 0, l3_ = 0;
  std::string captions_[3];
};

}  // namespace

int ReportDefinition::LabelColumn() const {
  for (size_t c = 0; c < columns.size(); ++c) {
    const ColumnKind k = columns[c].kind;
    if (k == ColumnKind::kMoney || k == ColumnKind::kQuantity ||
        k == ColumnKind::kPrice) {
      return static_cast<int>(c) - 1;
    }
  }
  return 0;
}

bool ReportDefinition::IsDateColumn(int column) const {
  if (column < 0 || column >= static_cast<int>(columns.size())) return false;
  const std::string_view header = columns[column].header;
  return header.find("Date") != std::string_view::npos ||
         header.find("Year/Mo") != std::string_view::npos;
}

bool ReportDefinition::IsAmount(int column) const {
  if (column < 0 || column >= static_cast<int>(columns.size())) return false;
  const ColumnKind k = columns[column].kind;
  return k == ColumnKind::kMoney || k == ColumnKind::kQuantity ||
         k == ColumnKind::kPrice;
}

const std::vector<ReportDefinition>& Reports() {
  static const std::vector<ReportDefinition> reports = MakeReports();
  return reports;
}

const ReportDefinition& ReportOf(ReportKind kind) {
  return Reports()[static_cast<size_t>(kind)];
}

const ReportDefinition* FindReportByAdminName(std::string_view name) {
  for (const ReportDefinition& d : Reports()) {
    if (name == d.admin_name) return &d;
  }
  return nullptr;
}

ReportRow Report::Header() const {
  ReportRow header;
  for (const ReportColumn& c : definition->columns) header.push_back(c.header);
  return header;
}

std::string ReportDateHeading(const platform::DateTime& now) {
  return "Date: " + company::FormatLongDateTime(
                        {now.year, now.month, now.day}, now.hour, now.minute);
}

ReportResult BuildReport(company::App& app, const ReportRequest& request,
                         Report* report) {
  *report = Report{};
  report->definition = &ReportOf(request.kind);
  report->heading1 = Trim(app.CurrentCompany.CompanyName.View());
  report->heading2 = ReportDateHeading(app.services().clock.Now());
  switch (request.kind) {
    case ReportKind::kAccountsReceivable:
      report->heading3 = kAllUnpaidSelected;
      break;
    case ReportKind::kRepeatBillingList:
      report->heading3 = kMasterRepeatList;
      break;
    default:
      report->heading3 = "Selected records from " + request.from_text +
                         " to " + request.to_text;
  }
  return Builder(app, request, report).Run();
}

}  // namespace tallybook::receivables
