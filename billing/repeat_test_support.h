// For the repeat billing tests: the invoice fixture (company "1", today
// 2024-06-15, month-first dates, aging periods 20/45/70, receivables 0)
// with helpers that add invoices through the real bookkeeping, make them
// masters through the setup and run the generation.
#ifndef TALLYBOOK_BILLING_REPEAT_TEST_SUPPORT_H_
#define TALLYBOOK_BILLING_REPEAT_TEST_SUPPORT_H_

#include <string>
#include <vector>

#include "billing/invoice_test_support.h"
#include "billing/repeat_run.h"
#include "billing/repeat_setup.h"

namespace tallybook::billing::testing {

class RepeatOnDisk : public InvoiceOnDisk {
 protected:
  // Adds invoice `no` of customer_no dated `date` (company order) with one
  // line per price, through the bookkeeping; memo when memo is not empty.
  void AddBilled(const std::string& no, const std::string& customer_no,
                 const std::string& date,
                 const std::vector<std::string>& prices,
                 const std::string& memo = "") {
    const InvoiceOutcome out = AddInvoice(*app_, Editor([&](InvoiceForm& f) {
      f.invoice_no = no;
      if (memo.empty()) {
        f.kind = InvoiceKind::kLineItems;
        std::vector<InvoiceLine> lines;
        for (size_t i = 0; i < prices.size(); ++i) {
          lines.push_back(Line("", "1", "Item " + std::to_string(i + 1),
                               prices[i], "N"));
        }
        FillInvoice(f, customer_no, lines, "0.00", date);
      } else {
        f.kind = InvoiceKind::kMemo;
        f.customer_no = customer_no;
        f.short_name = "SN" + customer_no;
        f.date = date;
        f.memo = memo;
        f.memo_description = "Service";
        f.net = prices.at(0);
        ComputeTotals(f, "0", false);
      }
    }));
    ASSERT_TRUE(out.changed) << no;
  }

  // Makes invoice `no` a master (or changes its schedule) as OK in the
  // setup window does. True when it was stored.
  bool SetUpMaster(const std::string& no, int every, bool months,
                   const std::string& next) {
    int32_t rec_no = 0;
    const company::TransactionRecord record = Transaction(no, &rec_no);
    std::optional<RepeatSetupForm> form =
        PrepareRepeatSetup(*app_, rec_no, record);
    if (!form) return false;
    form->generate = true;
    form->interval = std::to_string(every);
    form->months = months;
    form->next_date = next;
    if (CheckRepeatSetup(*app_, *form) != RepeatSetupField::kNone) return false;
    return SaveRepeatSetup(*app_, *form).changed;
  }

  // Searches through `through` and creates every due invoice dated
  // invoice_date.
  RepeatRunResult RunThrough(const company::Date& through,
                             const std::string& invoice_date) {
    RepeatRunRequest request;
    request.invoice_date = invoice_date;
    for (const std::string& line : SearchDueMasters(*app_, through).lines) {
      request.masters.push_back(MasterNoOfLine(line));
    }
    return CreateRepeatInvoices(*app_, request);
  }
};

}  // namespace tallybook::billing::testing

#endif  // TALLYBOOK_BILLING_REPEAT_TEST_SUPPORT_H_
