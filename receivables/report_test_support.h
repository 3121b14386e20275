// For the report tests: the aging test company (company "1", clock
// 2024-06-15, aging limits 20/45/70) with helpers that file transactions
// and invoice lines with any field, as the bookkeeping and the payment
// wizard leave them.
#ifndef TALLYBOOK_RECEIVABLES_REPORT_TEST_SUPPORT_H_
#define TALLYBOOK_RECEIVABLES_REPORT_TEST_SUPPORT_H_

#include <string>

#include "billing/invoice_form.h"
#include "company/aging_test_support.h"
#include "receivables/report.h"

namespace tallybook::receivables::testing {

struct Tx {
  std::string no = "";
  std::string type = "I";
  std::string date = "";  // "YYYY/MM/DD"
  std::string customer = "C1";
  std::string short_name = "ACME";
  std::string key_code = "";
  std::string net = "0.00";
  std::string tax = "0.00";
  std::string total = "0.00";
  std::string paid = "0.00";
  std::string due = "0.00";
  std::string paid_date = " ";
  std::string status = " ";
  std::string next_due = "";
  std::string count = "";
  std::string unit = "";
};

class ReportCompany : public company::testing::CompanyOnDisk {
 protected:
  void File(const Tx& tx) {
    company::TransactionAccess t(*app_);
    ASSERT_TRUE(t.OpenCompanyFile());
    t.ClearRecord();
    company::TransactionRecord& r = t.rec();
    r.InvoiceNo.Set(tx.no);
    r.TypeCode.Set(tx.type);
    r.CustomerNo.Set(tx.customer);
    r.ShortName.Set(tx.short_name);
    r.KeyCode.Set(tx.key_code);
    r.CompanyNo.Set("1");
    r.SortDate.Set(tx.date);
    r.DateText.Set(tx.date.substr(5, 2) + "/" + tx.date.substr(8, 2) + "/" +
                   tx.date.substr(0, 4));
    r.InvoiceKind.Set("P");
    r.NetAmount.Set(tx.net);
    r.TaxAmount.Set(tx.tax);
    r.GrandTotal.Set(tx.total);
    r.PaidAmount.Set(tx.paid);
    r.AmountDue.Set(tx.due);
    r.PaidSortDate.Set(tx.paid_date);
    r.PaidStatus.Set(tx.status);
    r.NextDueDate.Set(tx.next_due);
    r.RepeatCount.Set(tx.count);
    r.RepeatUnit.Set(tx.unit);
    int32_t rec_no = 0;
    ASSERT_TRUE(t.AddWithKeys(rec_no));
    ASSERT_TRUE(t.Close());
  }

  // An invoice line's columns.
  static billing::InvoiceLine Part(const std::string& product,
                                   const std::string& quantity,
                                   const std::string& description,
                                   const std::string& unit_price,
                                   const std::string& extension) {
    billing::InvoiceLine line;
    line.product = product;
    line.quantity = quantity;
    line.description = description;
    line.unit_price = unit_price;
    line.flag = "Y";
    line.extension = extension;
    return line;
  }

  void Line(const std::string& invoice, const std::string& date,
            const billing::InvoiceLine& parts, const std::string& kind = "P",
            const std::string& customer = "C1",
            const std::string& short_name = "ACME") {
    company::LineAccess lines(*app_);
    ASSERT_TRUE(lines.OpenCompanyFile());
    lines.ClearRecord();
    company::LineRecord& l = lines.rec();
    l.LineText.Set(billing::BuildLineText(parts));
    l.LineKind.Set(kind);
    l.CompanyNo.Set("1");
    l.InvoiceNo.Set(invoice);
    l.InvoiceSortDate.Set(date);
    l.LineProductCode.Set(parts.product);
    l.CustomerNo.Set(customer);
    l.LineShortName.Set(short_name);
    int32_t rec_no = 0;
    ASSERT_TRUE(lines.AddWithKeys(rec_no));
    ASSERT_TRUE(lines.Close());
  }

  // The request for kind over from .. to (month-first texts).
  static ReportRequest Request(ReportKind kind, company::Date from = {2024, 6, 1},
                               company::Date to = {2024, 6, 30}) {
    ReportRequest request;
    request.kind = kind;
    request.from = from;
    request.to = to;
    request.from_text =
        company::FormatDisplayDate(from, company::DateOrder::kMonthFirst);
    request.to_text =
        company::FormatDisplayDate(to, company::DateOrder::kMonthFirst);
    return request;
  }

  // A small company with one of each kind of record.
  void FileSmallCompany() {
    File({.no = "1001", .date = "2024/06/01", .key_code = "WEST",
          .net = "100.00", .tax = "8.00", .total = "108.00", .due = "108.00"});
    File({.no = "1002", .date = "2024/06/03", .customer = "C2",
          .short_name = "BOLT"});
    File({.no = "1003", .type = "Z", .date = "2024/05/20", .key_code = "EAST",
          .net = "50.00", .total = "50.00", .paid = "20.00", .due = "30.00"});
    File({.no = "1003", .type = "X", .date = "2024/06/05",
          .key_code = "PARTIAL", .paid = "20.00", .paid_date = "2024/06/05",
          .status = "P"});
    File({.no = "1004", .date = "2024/03/10", .customer = "C2",
          .short_name = "BOLT", .net = "190.00", .tax = "10.00",
          .total = "200.00", .paid = "200.00", .paid_date = "2024/06/10",
          .status = "P"});
    File({.no = "DP7", .type = "D", .date = "2024/06/12", .customer = "C2",
          .short_name = "BOLT", .key_code = "DEPOSIT", .paid = "25.00",
          .due = "-25.00", .paid_date = "2024/06/12"});
    File({.no = "1005", .type = "R", .date = "2024/01/15", .net = "75.00",
          .total = "75.00", .due = "75.00", .next_due = "07/15/2024",
          .count = "3", .unit = "M"});
    File({.no = "1006", .type = "G", .date = "2024/06/14", .net = "75.00",
          .total = "75.00", .due = "75.00"});
    File({.no = "0990", .date = "2024/03/01", .customer = "C2",
          .short_name = "BOLT", .net = "40.00", .total = "40.00",
          .due = "40.00"});
    File({.no = "1007", .date = "2024/07/01", .net = "9.00", .total = "9.00",
          .due = "9.00"});
  }
};

}  // namespace tallybook::receivables::testing

#endif  // TALLYBOOK_RECEIVABLES_REPORT_TEST_SUPPORT_H_
