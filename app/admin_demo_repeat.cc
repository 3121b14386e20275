// The repeat billing of the demo company (admin_demo_company.h).
#include <optional>
#include <string>
#include <vector>

#include "app/admin_demo_company.h"
#include "billing/invoice_bookkeeping.h"
#include "billing/repeat_files.h"
#include "billing/repeat_run.h"
#include "billing/repeat_schedule.h"
#include "billing/repeat_setup.h"
#include "billing/type_codes.h"
#include "company/text.h"

namespace tallybook::admin {

namespace {

using company::App;
using company::Date;

struct DemoMaster {
  const char* customer_no;
  Date date;        // the invoice's date, and the first due date
  bool months;
  int every;
  const char* memo;  // empty for line items
};

// Adds the invoice a master is made from; its number, or "" on failure.
std::string AddMasterInvoice(App& app, const DemoMaster& m) {
  company::CustomerRecord customer;
  {
    billing::RepeatFiles files(app);
    int32_t rec_no = 0;
    if (!files.Open() || !files.FindCustomer(m.customer_no, &rec_no)) return "";
    customer = files.customers.rec();
  }
  const billing::InvoiceOutcome outcome =
      billing::AddInvoice(app, [&](billing::InvoiceForm& form) {
        form.date = app.FormatDate(m.date);
        form.customer_no = m.customer_no;
        form.customer_name = customer.CustomerName.Get();
        form.short_name = customer.ShortName.Get();
        form.terms = customer.Terms.Get();
        form.key_code = billing::kNoKeyCode;
        form.paid = billing::kZeroAmount;
        form.notes = "Service agreement";
        if (*m.memo != '\0') {
          form.kind = billing::InvoiceKind::kMemo;
          form.memo = m.memo;
          form.memo_description = "Monthly maintenance";
          form.memo_quantity = "1";
          form.net = "150.00";
          form.tax = billing::kZeroAmount;
        } else {
          form.kind = billing::InvoiceKind::kLineItems;
          const char* lines[][3] = {{"1", "Service visit", "85.00"},
                                    {"2", "Filter change", "12.50"}};
          for (size_t i = 0; i < 2; ++i) {
            billing::InvoiceLine& line = form.lines[i];
            line.quantity = lines[i][0];
            line.description = lines[i][1];
            line.unit_price = lines[i][2];
            line.flag = "N";
            billing::UpdateExtension(line);
          }
        }
        billing::ComputeTotals(form, "0", false);
        return true;
      });
  return outcome.changed ? company::Trim(outcome.record.InvoiceNo.View()) : "";
}

bool MakeMaster(App& app, const std::string& no, const DemoMaster& m) {
  billing::RepeatFiles files(app);
  int32_t rec_no = 0;
  if (!files.Open() ||
      !files.FindTransaction(no, billing::kTypeInvoice, &rec_no)) {
    return false;
  }
  const company::TransactionRecord record = files.transactions.rec();
  files.Close();
  std::optional<billing::RepeatSetupForm> form =
      billing::PrepareRepeatSetup(app, rec_no, record);
  if (!form) return false;
  form->generate = true;
  form->months = m.months;
  form->interval = std::to_string(m.every);
  form->next_date = app.FormatDate(m.date);
  return billing::CheckRepeatSetup(app, *form) ==
             billing::RepeatSetupField::kNone &&
         billing::SaveRepeatSetup(app, *form).changed;
}

std::optional<Date> NextDue(App& app, const std::string& no) {
  billing::RepeatFiles files(app);
  int32_t rec_no = 0;
  if (!files.Open() ||
      !files.FindTransaction(no, billing::kTypeRepeatMaster, &rec_no)) {
    return std::nullopt;
  }
  return billing::ParseNextDueDate(files.transactions.rec().NextDueDate.View());
}

// Puts the company's last invoice number back to `last`.
bool KeepLastInvoice(App& app, const std::string& last) {
  billing::RepeatFiles files(app);
  int32_t rec_no = 0;
  if (!files.Open() || !files.FindCompany(&rec_no)) return false;
  const company::CompanyRecord before = files.companies.rec();
  files.companies.rec().LastInvoiceNo.Set(last);
  if (!files.companies.ModifyWithKeys(rec_no, before)) return false;
  app.CurrentCompany = files.companies.rec();
  return files.Close();
}

}  // namespace

bool AddDemoRepeatBilling(App& app, const Date& through, std::string* failure) {
  const Date today = through;
  const std::string last_invoice = app.CurrentCompany.LastInvoiceNo.Get();
  // The latest 31st at least three months back.
  Date on_31st = today.AddDays(-90);
  while (on_31st.day != 31) on_31st = on_31st.AddDays(-1);
  const std::vector<DemoMaster> masters = {
      {"C1002", on_31st, true, 1, ""},
      {"C1003", today.AddDays(-70), false, 14, ""},
      {"C1004", today.AddDays(-100), true, 1,
       "Monthly maintenance of the harbor crane and its hoists,\n"
       "as agreed in the service contract."},
  };
  std::vector<std::string> numbers;
  for (const DemoMaster& m : masters) {
    const std::string no = AddMasterInvoice(app, m);
    if (no.empty() || !MakeMaster(app, no, m)) {
      *failure = "a repeat billing master could not be set up";
      return false;
    }
    numbers.push_back(no);
  }
  if (!KeepLastInvoice(app, last_invoice)) {
    *failure = "the company's last invoice could not be kept";
    return false;
  }
  // Each run bills the masters due on the earliest due date, dated that
  // day, as a user running the wizard on time would have.
  for (int run = 0; run < 100; ++run) {
    std::optional<Date> earliest;
    std::vector<std::string> due;
    for (const std::string& no : numbers) {
      const std::optional<Date> next = NextDue(app, no);
      if (!next) {
        *failure = "repeat master " + no + " could not be read";
        return false;
      }
      if (!earliest || *next < *earliest) {
        earliest = next;
        due.clear();
      }
      if (*next == *earliest) due.push_back(no);
    }
    if (!earliest || *earliest > today) return true;
    billing::RepeatRunRequest request;
    request.invoice_date = app.FormatDate(*earliest);
    request.masters = due;
    if (!billing::CreateRepeatInvoices(app, request).complete()) {
      *failure = "repeat billings could not be generated";
      return false;
    }
  }
  return true;
}

}  // namespace tallybook::admin
