#include "output/invoice_image.h"

#include <algorithm>

#include "company/format.h"
#include "company/keys.h"
#include "company/text.h"
#include "output/invoice_files.h"

namespace tallybook::output {

using company::FormatMoney;
using company::MoneyToDouble;
using company::PadRight;
using company::RightAlign;
using company::Trim;

namespace {

// text cut or padded to exactly width characters.
std::string Fit(std::string_view text, int width) {
  std::string out = PadRight(text, width);
  out.resize(static_cast<size_t>(width));
  return out;
}

std::string Column(std::string_view text, size_t first, size_t width) {
  if (first >= text.size()) return {};
  return std::string(text.substr(first, width));
}

std::string Money12(double value) { return RightAlign(FormatMoney(value), 12); }

std::string PaidDate(std::string_view sortable, std::string_view date_order) {
  const std::optional<company::Date> date =
      company::ParseSortableDate(Trim(sortable));
  if (!date) return {};
  return company::FormatDisplayDate(*date,
                                    company::DateOrderFromField(date_order));
}

}  // namespace

std::string NumberInWidth(std::string_view number, int width) {
  const std::string text = Trim(number);
  const size_t w = static_cast<size_t>(std::max(width, 0));
  if (text.size() <= w) return RightAlign(text, width);
  const std::string plain = company::RemoveCommas(text);
  if (plain.size() <= w) return RightAlign(plain, width);
  return std::string(w, '#');
}

bool IsInvoiceOwnRecord(std::string_view type_code) {
  const std::string type = Trim(type_code);
  return type.size() == 1 && std::string_view("IZGMRD").find(type[0]) !=
                                 std::string_view::npos;
}

bool ForEachKeyEqual(store::Engine& engine, store::FileHandle handle,
                     int key_no, const std::string& key,
                     const std::function<bool(int32_t)>& visit) {
  std::string found = key;
  int32_t ref = 0;
  bool ok = engine.SearchKey(handle, key_no, ref, found);
  while (ok && found == key) {
    if (!visit(ref)) return true;
    ok = engine.NextKey(handle, key_no, ref, found);
  }
  return ok || engine.ErrorClass() == 1;
}

std::string FileNameOf(const company::CompanyFileAccess& file,
                       const char* extension) {
  const std::string& base = file.base_path();
  const size_t slash = base.find_last_of('/');
  return (slash == std::string::npos ? base : base.substr(slash + 1)) + "." +
         extension;
}

std::string FileFailedText(const InvoiceImage& image) {
  return "The invoice files could not be read: " + image.failed_file +
         " (error " + std::to_string(image.store_error) + ").";
}

std::string InvoiceKey(const std::string& invoice_no) {
  return company::KeyText(company::UpperCase1252(Trim(invoice_no)),
                          company::kTransInvoiceNoKeyLength);
}

std::string DecimalPreserving(std::string_view text) {
  const std::string plain = company::RemoveCommas(Trim(text));
  double value = 0;
  if (!company::ParseMoney(plain, &value)) return plain;
  const size_t point = plain.find('.');
  if (point == std::string::npos) return company::FormatNumber(value, 0, true);
  size_t decimals = 0;
  while (point + 1 + decimals < plain.size() &&
         plain[point + 1 + decimals] >= '0' &&
         plain[point + 1 + decimals] <= '9') {
    ++decimals;
  }
  decimals = std::clamp<size_t>(decimals, 1, 4);
  return company::FormatNumber(value, static_cast<int>(decimals), true);
}

std::string FormatBodyLine(const company::LineRecord& line) {
  const std::string text = line.LineText.Get();
  const std::string quantity = Column(text, 0, company::kLineQuantityWidth);
  const std::string description = Column(text, 10, company::kLineDescriptionWidth);
  const std::string price = Column(text, 42, company::kLineUnitPriceWidth);
  const std::string taxable = Column(text, 52, company::kLineTaxFlagWidth);
  const std::string extension = Column(text, 53, company::kLineAmountWidth + 2);
  return Fit(Trim(line.LineProductCode.View()), 10) + " " +
         NumberInWidth(DecimalPreserving(quantity), 10) + " " +
         Fit(Trim(description), 33) + " " + RightAlign(price, 10) + " " +
         Fit(Trim(taxable), 1) + " " + RightAlign(extension, 12);
}

BodyColumns ReadBodyColumns(std::string_view line) {
  BodyColumns c;
  c.product_code = Trim(Column(line, 0, 10));
  c.quantity = Trim(Column(line, 10, 12));
  c.description = Trim(Column(line, 22, 32));
  c.unit_price = Trim(Column(line, 54, 12));
  c.taxable = Trim(Column(line, 67, 1));
  c.extension = Trim(Column(line, 69, 12));
  return c;
}

ImageRead BuildInvoiceImage(company::App& app, const std::string& invoice_no,
                            InvoiceImage* image, const InvoiceFiles& files) {
  *image = InvoiceImage{};
  store::Engine& engine = app.engine();
  OpenInvoiceFiles open(app, files);
  // The failure is noted now: closing the files again resets the status.
  auto open_failed = [&] {
    image->failed_file = open.failed_file();
    image->store_error = open.failed_error();
    return ImageRead::kFileFailed;
  };
  auto read_failed = [&](const company::CompanyFileAccess& file,
                         const char* extension) {
    image->failed_file = FileNameOf(file, extension);
    image->store_error = engine.StoreError();
    return ImageRead::kFileFailed;
  };
  company::TransactionAccess* transactions = open.transactions();
  if (transactions == nullptr) return open_failed();

  double paid = 0, grand = 0, tax = 0;
  int count = 0;
  company::TransactionRecord last;
  company::TransactionRecord own;
  bool own_found = false;
  company::TransactionRecord record;
  bool read_ok = true;
  const bool ok = ForEachKeyEqual(
      engine, transactions->handle(), 1, InvoiceKey(invoice_no),
      [&](int32_t ref) {
        if (!engine.GetRecord(transactions->handle(), ref, &record)) {
          read_ok = false;
          return false;
        }
        paid += MoneyToDouble(record.PaidAmount.View());
        grand += MoneyToDouble(record.GrandTotal.View());
        tax += MoneyToDouble(record.TaxAmount.View());
        if (count == 0) own = record;
        if (!own_found && IsInvoiceOwnRecord(record.TypeCode.View())) {
          own = record;
          own_found = true;
        }
        last = record;
        ++count;
        return true;
      });
  if (!ok) return read_failed(*transactions, "IX");
  if (!read_ok) return read_failed(*transactions, "DAT");
  if (count == 0) return ImageRead::kNotFound;

  InvoiceImage& im = *image;
  im.invoice_no = Trim(own.InvoiceNo.View());
  im.account_no = Trim(own.CustomerNo.View());
  im.type_code = Trim(own.TypeCode.View());
  im.date = Trim(own.DateText.View());
  im.reference = Trim(own.InvoiceNotes.View());
  im.terms = Trim(own.InvoiceTerms.View());
  im.invoice_kind = Trim(own.InvoiceKind.View());
  im.printed_flag = Trim(own.PrintedFlag.View());
  im.memo = im.invoice_kind == "M";
  im.total = Money12(grand - tax);
  im.tax = Money12(tax);
  im.tax_value = tax;
  im.grand_total = Money12(grand);
  im.paid = Money12(paid);
  im.balance_due = Money12(grand - paid);
  im.balance_due_value = grand - paid;
  im.paid_date = PaidDate(last.PaidSortDate.View(),
                          app.CurrentCompany.DateOrder.View());

  {
    company::CustomerAccess customers(app);
    if (!customers.OpenExistingCompanyFile()) {
      return read_failed(customers, "DAT");
    }
    company::CustomerRecord c;
    bool found = false;
    bool customer_read = true;
    const bool customers_ok = ForEachKeyEqual(
        engine, customers.handle(), 2,
        company::KeyText(im.account_no, company::kCustomerNoKeyLength),
        [&](int32_t ref) {
          found = engine.GetRecord(customers.handle(), ref, &c);
          customer_read = found;
          return false;
        });
    if (!customers_ok) return read_failed(customers, "IX");
    if (!customer_read) return read_failed(customers, "DAT");
    if (found) {
      im.bill_to_name = Trim(c.CustomerName.View());
      const company::PString<35>* bill[] = {&c.BillAddress1, &c.BillAddress2,
                                            &c.BillAddress3, &c.BillAddress4};
      const company::PString<35>* ship[] = {&c.ShipAddress1, &c.ShipAddress2,
                                            &c.ShipAddress3, &c.ShipAddress4};
      for (int k = 0; k < 4; ++k) {
        im.billing[k] = Trim(bill[k]->View());
        im.shipping[k] = Trim(ship[k]->View());
      }
      im.customer_notes = c.CustomerNotes.Get().substr(0, 245);
      im.notes_on_invoices = Trim(c.NotesOnInvoices.View());
      im.email_address = Trim(c.EMailAddress.View());
      im.mail_list_code = Trim(c.MailListCode.View());
      im.customer_type = Trim(c.CustomerType.View());
      const company::PString<10>* aging[] = {&c.AgingCurrent, &c.Aging2,
                                             &c.Aging3, &c.Aging4};
      for (int k = 0; k < 4; ++k) {
        im.aging[k] = PadRight(
            FormatMoney(MoneyToDouble(company::RemoveCommas(aging[k]->View()))),
            12);
      }
    }
  }

  if (im.memo) {
    company::MemoAccess* memos = open.memos();
    if (memos == nullptr) return open_failed();
    company::MemoRecord memo;
    bool found = false;
    ForEachKeyEqual(engine, memos->handle(), 1,
                    company::KeyText(im.invoice_no,
                                     company::kMemoInvoiceNoKeyLength),
                    [&](int32_t ref) {
                      found = engine.GetRecord(memos->handle(), ref, &memo);
                      return false;
                    });
    im.memo_missing = !found;
    if (found) {
      for (int i = 0; i < company::kMemoLineCount; ++i) {
        im.body[i] = memo.MemoLines[i].Get();
      }
      im.body_count = company::kMemoLineCount;
    }
  } else {
    company::LineAccess* lines = open.lines();
    if (lines == nullptr) return open_failed();
    company::LineRecord line;
    bool line_unread = false;
    const bool lines_ok = ForEachKeyEqual(
        engine, lines->handle(), 2,
        company::KeyText(im.invoice_no, company::kLineInvoiceNoKeyLength),
        [&](int32_t ref) {
          if (!engine.GetRecord(lines->handle(), ref, &line)) {
            line_unread = true;
            return false;
          }
          im.body[im.body_count++] = FormatBodyLine(line);
          return im.body_count < kBodyLineCount;
        });
    if (!lines_ok) return read_failed(*lines, "IX");
    if (line_unread) return read_failed(*lines, "DAT");
  }
  return ImageRead::kOk;
}

}  // namespace tallybook::output
