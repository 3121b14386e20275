#include "output/label_queue.h"

#include <algorithm>

#include "company/keys.h"
#include "company/money.h"
#include "company/text.h"
#include "output/invoice_files.h"

namespace tallybook::output {

using company::App;
using company::CustomerRecord;
using company::LabelQueueRow;
using company::Trim;

namespace {

// Calls visit for every customer record of the current company, in record
// order. False when the file cannot be opened (the data-access layer has
// told the user why).
template <class Visit>
bool ForEachCustomer(App& app, Visit visit) {
  company::CustomerAccess customers(app);
  if (!customers.OpenExistingCompanyFile()) return false;
  store::Engine& engine = app.engine();
  const int32_t slots = engine.RecordSlotCount(customers.handle());
  CustomerRecord record;
  for (int32_t rec_no = 1; rec_no <= slots; ++rec_no) {
    if (!engine.GetRecord(customers.handle(), rec_no, &record)) continue;
    if (record.DeleteMark != 0) continue;
    visit(record);
  }
  return true;
}

const company::PString<10>& AgingAmount(const CustomerRecord& c, int button) {
  switch (button) {
    case 1: return c.AgingCurrent;
    case 2: return c.Aging2;
    case 3: return c.Aging3;
    default: return c.Aging4;
  }
}

std::string ColumnText(const LabelQueueRow& row, int column) {
  switch (column) {
    case 0: return row.customer_no;
    case 1: return row.name;
    case 2: return row.mail_code;
    default: return row.customer_type;
  }
}

}  // namespace

LabelQueueRow QueueRowOf(const CustomerRecord& customer) {
  return LabelQueueRow{Trim(customer.CustomerNo.View()),
                       Trim(customer.CustomerName.View()),
                       Trim(customer.MailListCode.View()),
                       Trim(customer.CustomerType.View())};
}

void AppendToQueue(App& app, const LabelQueueRow& row) {
  app.label_queue.push_back(row);
  app.label_queue_pending = true;
}

std::array<std::string, 4> AgingButtonCaptions(
    const company::CompanyRecord& company) {
  const company::PString<10>* captions[] = {
      &company.AgingCaption1, &company.AgingCaption2, &company.AgingCaption3};
  const company::PString<3>* days[] = {&company.AgingDays1, &company.AgingDays2,
                                       &company.AgingDays3};
  std::array<std::string, 4> out;
  for (int k = 0; k < 3; ++k) {
    const std::string caption = Trim(captions[k]->View());
    out[k] = caption.empty() ? Trim(days[k]->View()) : caption;
  }
  out[3] = kOverPrefix + Trim(company.AgingDays3.View());
  return out;
}

std::optional<int> LoadAllCustomers(App& app) {
  int added = 0;
  const bool read = ForEachCustomer(app, [&](const CustomerRecord& c) {
    if (Trim(c.CustomerName.View()).empty()) return;
    AppendToQueue(app, QueueRowOf(c));
    ++added;
  });
  if (!read) return std::nullopt;
  return added;
}

std::string BadAgingDaysText(int category) {
  return "Category " + std::to_string(category) +
         " has a bad value in your aging days (Company Setup). Unable to "
         "process.";
}

AgingLoad LoadAgingCustomers(App& app, int button) {
  AgingLoad result;
  const company::CompanyRecord& co = app.CurrentCompany;
  const std::string caption = AgingButtonCaptions(co)[button - 1];
  const int category = std::min(button, 3);
  const company::PString<3>* days[] = {&co.AgingDays1, &co.AgingDays2,
                                       &co.AgingDays3};
  platform::Messages& messages = app.services().messages;
  if (Trim(days[category - 1]->View()).empty()) {
    result.refusal = BadAgingDaysText(category);
    platform::Inform(messages, caption, result.refusal);
    return result;
  }
  const bool read = ForEachCustomer(app, [&](const CustomerRecord& c) {
    if (company::CentsOf(Trim(AgingAmount(c, button).View())) == 0) return;
    AppendToQueue(app, QueueRowOf(c));
    ++result.added;
  });
  if (!read) {
    result.refusal = CustomerFileFailedText(app);
    platform::ShowError(messages, caption, result.refusal);
    return result;
  }
  if (result.added == 0) platform::Inform(messages, caption, kNoRecordsFound);
  return result;
}

bool DeleteQueueEntry(App& app, std::optional<size_t> selected) {
  if (!selected || *selected >= app.label_queue.size()) {
    platform::Inform(app.services().messages, kDeleteRecordCaption,
                     kNothingSelectedText);
    return false;
  }
  app.label_queue.erase(app.label_queue.begin() +
                        static_cast<std::ptrdiff_t>(*selected));
  app.label_queue_pending = true;
  return true;
}

QueueClear ClearQueue(App& app) {
  if (app.label_queue.empty()) return QueueClear::kEmpty;
  if (!platform::Confirm(app.services().messages, kPleaseConfirmCaption,
                         kClearQueueQuestion)) {
    return QueueClear::kKept;
  }
  app.label_queue.clear();
  app.label_queue_pending = false;
  return QueueClear::kCleared;
}

void SortQueue(App& app, int column) {
  std::stable_sort(app.label_queue.begin(), app.label_queue.end(),
                   [column](const LabelQueueRow& a, const LabelQueueRow& b) {
                     // Bytes compare as unsigned, so accented letters sort
                     // after Z rather than before A.
                     const std::string x =
                         company::UpperCase1252(ColumnText(a, column));
                     const std::string y =
                         company::UpperCase1252(ColumnText(b, column));
                     return std::lexicographical_compare(
                         x.begin(), x.end(), y.begin(), y.end(),
                         [](char p, char q) {
                           return static_cast<unsigned char>(p) <
                                  static_cast<unsigned char>(q);
                         });
                   });
  if (!app.label_queue.empty()) app.label_queue_pending = true;
}

CustomerLookup FindQueuedCustomer(App& app,
                                  company::CompanyFileAccess& customers,
                                  const std::string& customer_no,
                                  CustomerRecord* customer) {
  store::Engine& engine = app.engine();
  bool found = false;
  const bool walked = ForEachKeyEqual(
      engine, customers.handle(), 2,
      company::KeyText(customer_no, company::kCustomerNoKeyLength),
      [&](int32_t ref) {
        found = engine.GetRecord(customers.handle(), ref, customer);
        return false;
      });
  if (!walked) return CustomerLookup::kFailed;
  return found ? CustomerLookup::kFound : CustomerLookup::kMissing;
}

std::string CustomerFileFailedText(App& app) {
  return "The customer file could not be read (store error " +
         std::to_string(app.engine().StoreError()) + ").";
}

std::string SelectedText(const App& app) {
  return std::to_string(app.label_queue.size()) + kSelectedSuffix;
}

}  // namespace tallybook::output
