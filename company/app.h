// App: the process-wide state of one run of the program.
//
// One App is made by main() (or by a test, over a temporary data directory
// and the scripted platform) and passed by reference to every window and to
// the logic. There are no mutable globals: what the program remembers
// between windows lives here.
//
// Ownership: the App owns the record store engine; the platform services are
// owned by whoever made the App (the Qt platform or the test's scripted
// platform) and must outlive it.
#ifndef TALLYBOOK_COMPANY_APP_H_
#define TALLYBOOK_COMPANY_APP_H_

#include <functional>
#include <string>
#include <vector>

#include "company/format.h"
#include "company/records.h"
#include "platform/services.h"
#include "store/engine.h"

namespace tallybook::mail {
class MailTransport;
}

namespace tallybook::platform {
class Canvas;
}

namespace tallybook::company {

class OperationJournal;
class CompanyFileAccess;

// Which output the main window's radio buttons choose.
enum class OutputMode { kPrinter, kEMail };

// One row of the label print queue: what the label wizard, form letters,
// e-mail messages and invoice output read of a queued customer.
struct LabelQueueRow {
  std::string customer_no;
  std::string name;
  std::string mail_code;      // the mail list sort code
  std::string customer_type;
};

// The product's title, used as the main window's caption and in messages.
inline constexpr char kProductTitle[] = "Vk Tallybook Pro";
// Index page buffers the program asks the store for.
inline constexpr int kPageBuffers = 30;
// What the status bar shows when no work is under way.
inline constexpr char kReadyText[] = "Ready.";

class App {
 public:
  App(std::string data_dir, platform::Services services);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // The data directory; every file name is joined to it.
  const std::string& data_dir() const { return data_dir_; }
  // data_dir joined with a file name ("LastCo.Dat" -> "/dir/LastCo.Dat").
  std::string PathOf(const std::string& file_name) const;

  store::Engine& engine() { return engine_; }
  platform::Services& services() { return services_; }

  // The in-memory record of the current company, holding all its options.
  CompanyRecord CurrentCompany;
  // Today's date as a display date in the short date format.
  std::string TodayText;
  // The default output (the main window's radio buttons).
  OutputMode output_mode = OutputMode::kPrinter;
  // Set by the label wizard while labels wait in the print queue.
  bool label_queue_pending = false;
  // True while the aging calculation runs for the explicit chart command.
  bool aging_chart_requested = false;

  // ---- Customers and products (the managers and their choosers).
  // The current-customer record: filled when a row of the customer manager
  // is chosen, refreshed when the invoice manager reads a customer. An empty
  // name means no customer was chosen.
  CustomerRecord CurrentCustomer;
  // Set by a caller (invoice editor, payment wizard) while the customer
  // manager is open for choosing.
  bool customer_selection_mode = false;
  // The chosen-product record and its flag; selection mode is set by the
  // invoice editor while the product manager is open for choosing.
  ProductRecord ChosenProduct;
  bool product_chosen = false;
  bool product_selection_mode = false;
  // The views of the managers (the key number), kept for the rest of the run.
  int customer_view_key = 1;
  int product_view_key = 1;
  // The label print queue shared by labels, letters, e-mail and invoices.
  std::vector<LabelQueueRow> label_queue;
  // Opens the label wizard's print queue window (installed by the label
  // wizard); empty while labels are not available.
  std::function<void()> show_label_queue;

  // ---- Invoices: state shared by the invoice manager, the editor and the
  // bookkeeping of Add, Edit and Delete.
  // The editing switch: set while Edit runs the editor.
  bool invoice_editing = false;
  // The invoice number and total the invoice had when the editor opened
  // ("0" and "0.00" for a new invoice).
  std::string invoice_no_at_open = "0";
  std::string invoice_total_at_open = "0.00";
  // The last invoice date used; today's date when the company is opened.
  std::string last_invoice_date;
  // The invoice editor's timer, which keeps running while the editor is
  // closed: whether it runs and when it started (seconds since 1970-01-01
  // by the platform clock).
  bool invoice_timer_running = false;
  int64_t invoice_timer_start = 0;
  // The invoice manager's view (key number; By Invoice Date at first) and
  // customer filter.
  int invoice_view_key = 3;
  bool invoice_filter_on = false;
  std::string invoice_filter_customer;

  // ---- Output: what invoice, statement and queue e-mail need beyond the
  // platform. Both are installed by the program (output/ui) or a test.
  // The outgoing mail connection; null when e-mail is not available.
  mail::MailTransport* mail_transport = nullptr;
  // Draws pages into a PDF held in memory (for e-mail attachments): true
  // and the file's bytes in *pdf, or false and the reason in *error. Empty
  // when no PDF can be made; e-mail then goes without the attachment.
  std::function<bool(const std::string& title,
                     const std::function<void(platform::Canvas&)>& draw,
                     std::string* pdf, std::string* error)>
      make_pdf;
  // Opens the mail settings dialog (server login, attachment) over the
  // active window; the company options' e-mail page offers it when set.
  std::function<void()> edit_mail_settings;
  // The customer manager's statement commands, installed by the
  // receivables windows: show one customer's statement, and the batch run.
  // They read the customer file the manager holds open. Empty while
  // statements are not available.
  std::function<void(CompanyFileAccess& customers,
                     const std::string& customer_no)>
      view_statement;
  std::function<void(CompanyFileAccess& customers)> batch_statements;

  // ---- The busy guard. Long loops that let the window process events
  // (aging, rebuild, purge, backup, batch print, generation, reports) hold
  // a BusyGuard for their duration; the main window disables its commands
  // while busy() and defers a close request until the loop ends.
  bool busy() const { return busy_depth_ > 0; }
  // Called with true when the first guard is taken and false when the last
  // is released; the shell installs it.
  std::function<void(bool)> busy_changed;

  // The journal of the multi-record operation under way (a JournalScope
  // sets it); the data-access layer records each write there first. Null
  // between operations.
  OperationJournal* op_journal() const { return op_journal_; }
  void set_op_journal(OperationJournal* journal) { op_journal_ = journal; }

  // The CompanyNo field of CurrentCompany, as stored (file names trim it).
  std::string CurrentCompanyNo() const { return CurrentCompany.CompanyNo.Get(); }

  // The process-wide short date format. Follows the current company's
  // DateOrder (SetShortDateFromCompany); a scan of sortable dates switches
  // it to year first for its duration.
  DateOrder short_date_order() const { return short_date_order_; }
  void SetShortDateOrder(DateOrder order) { short_date_order_ = order; }
  void SetShortDateFromCompany();

  // Today from the platform clock.
  Date Today() const;
  // TodayText := today in the short date format.
  void RefreshTodayText();
  // A date as a display date in the short date format, and the reverse.
  std::string FormatDate(const Date& date) const;
  std::optional<Date> ParseDate(std::string_view text) const;

  // The main window's status bar (second panel); the shell installs it.
  // Logic that reports progress there calls ShowStatus.
  std::function<void(const std::string&)> status_sink;
  void ShowStatus(const std::string& text) const {
    if (status_sink) status_sink(text);
  }

 private:
  friend class BusyGuard;
  int busy_depth_ = 0;
  OperationJournal* op_journal_ = nullptr;
  std::string data_dir_;
  platform::Services services_;
  store::Engine engine_;
  DateOrder short_date_order_ = DateOrder::kMonthFirst;
};

// Holds App::busy() true for its lifetime; guards nest.
class BusyGuard {
 public:
  explicit BusyGuard(App& app) : app_(app) {
    if (app_.busy_depth_++ == 0 && app_.busy_changed) app_.busy_changed(true);
  }
  ~BusyGuard() {
    if (--app_.busy_depth_ == 0 && app_.busy_changed) app_.busy_changed(false);
  }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  App& app_;
};

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_APP_H_
