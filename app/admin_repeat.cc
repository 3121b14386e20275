// tallybook-admin repeat-setup and repeat-run: repeat billing from the
// command line, over the same logic as the invoice manager's Repeat
// Billing Setup and the Repeat Billing Wizard.
//
//   repeat-setup DIR INVOICE --every N (--months|--days) --next DATE
//     makes invoice INVOICE of the current company a repeat master, or
//     changes the schedule of the master INVOICE, with the window's checks
//     and effects. Exit 0 when stored.
//   repeat-run DIR --through DATE [--date DATE] [--reference TEXT] [--list]
//     lists the masters due on or before the through-date (--list), or
//     creates their invoices dated --date (default: the through-date) with
//     the reference (default "Monthly Service"), printing one line per
//     invoice and the closing message. Exit 1 when nothing is due or
//     anything failed.
//
// Dates are in the company's date order. Messages go to the error stream
// and questions are answered No (admin_console_platform.h).
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "billing/repeat_files.h"
#include "billing/repeat_run.h"
#include "billing/repeat_schedule.h"
#include "billing/repeat_setup.h"
#include "billing/type_codes.h"
#include "company/keys.h"
#include "company/text.h"

namespace tallybook::admin {

namespace {

using company::Trim;

// The options after the positional arguments: "--name value" pairs and
// bare flags. False with *error for an unknown option or a missing value.
struct Options {
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<std::string> flags;

  std::optional<std::string> Value(const std::string& name) const {
    for (const auto& [n, v] : values) {
      if (n == name) return v;
    }
    return std::nullopt;
  }
  bool Flag(const std::string& name) const {
    for (const std::string& f : flags) {
      if (f == name) return true;
    }
    return false;
  }
};

bool ParseOptions(const std::vector<std::string>& args, size_t from,
                  const std::vector<std::string>& with_value,
                  const std::vector<std::string>& bare, Options* options,
                  std::string* error) {
  for (size_t i = from; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool known = false;
    for (const std::string& name : with_value) {
      if (a != name) continue;
      if (i + 1 >= args.size()) {
        *error = a + " needs a value";
        return false;
      }
      options->values.emplace_back(a, args[++i]);
      known = true;
    }
    for (const std::string& name : bare) {
      if (a != name) continue;
      options->flags.push_back(a);
      known = true;
    }
    if (!known) {
      *error = "unknown option " + a;
      return false;
    }
  }
  return true;
}

// The record the setup works on: the first transaction numbered invoice_no
// that is an invoice or a master, else the first of that number (which the
// setup then refuses for its type). False when there is none.
bool FindSetupRecord(company::App& app, const std::string& invoice_no,
                     int32_t* rec_no, company::TransactionRecord* record) {
  billing::RepeatFiles files(app);
  if (!files.Open()) return false;
  bool found = false;
  for (const char type : {billing::kTypeInvoice, billing::kTypeRepeatMaster}) {
    if (files.FindTransaction(invoice_no, type, rec_no)) {
      *record = files.transactions.rec();
      found = true;
      break;
    }
  }
  if (!found) {
    const std::string key =
        company::KeyText(invoice_no, company::kTransInvoiceNoKeyLength);
    std::string at;
    found = files.transactions.FindByKey(1, key, *rec_no, &at) && at == key &&
            files.transactions.GetRecord(*rec_no);
    if (found) *record = files.transactions.rec();
  }
  files.Close();
  return found;
}

}  // namespace

int RunRepeatSetup(const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err) {
  const std::string& dir = args[0];
  const std::string invoice_no = company::UpperCase1252(Trim(args[1]));
  Options options;
  std::string error;
  if (!ParseOptions(args, 2, {"--every", "--next"}, {"--months", "--days"},
                    &options, &error)) {
    return Fail(err, error);
  }
  const std::optional<std::string> every = options.Value("--every");
  const std::optional<std::string> next = options.Value("--next");
  const bool months = options.Flag("--months");
  if (!every || !next || months == options.Flag("--days")) {
    return Fail(err,
                "usage: repeat-setup DIR INVOICE --every N (--months|--days) "
                "--next DATE");
  }

  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  const auto finish = [&](int code) {
    app.engine().StoreShutdown();
    return code;
  };
  int32_t rec_no = 0;
  company::TransactionRecord record;
  if (!FindSetupRecord(app, invoice_no, &rec_no, &record)) {
    return finish(Fail(err, "invoice " + invoice_no + " is not on file"));
  }
  std::optional<billing::RepeatSetupForm> form =
      billing::PrepareRepeatSetup(app, rec_no, record);
  if (!form) return finish(kExitFailed);
  if (!form->panel_visible &&
      billing::ScheduleNumber(*every) !=
          billing::ScheduleNumber(record.RepeatInterval.View())) {
    // The window hides the interval once a master has billed.
    return finish(Fail(err, "master " + invoice_no + " has generated " +
                                std::to_string(form->count) +
                                " invoices; its interval cannot be changed"));
  }
  form->generate = true;
  form->interval = *every;
  form->months = months;
  form->next_date = *next;
  if (billing::CheckRepeatSetup(app, *form) != billing::RepeatSetupField::kNone) {
    return finish(kExitFailed);
  }
  const billing::RepeatSetupOutcome outcome =
      billing::SaveRepeatSetup(app, *form);
  if (!outcome.changed) return finish(kExitFailed);
  out << "Master " << invoice_no << ": every " << Trim(*every)
      << (months ? " month(s)" : " day(s)") << ", next "
      << billing::NextDueDateShown(outcome.record.NextDueDate.View(),
                                   app.short_date_order())
      << ", generated " << form->count << "\n";
  out << "Receivables: " << outcome.receivables << "\n";
  return finish(kExitOk);
}

int RunRepeatRun(const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err) {
  const std::string& dir = args[0];
  Options options;
  std::string error;
  if (!ParseOptions(args, 1, {"--through", "--date", "--reference"},
                    {"--list"}, &options, &error)) {
    return Fail(err, error);
  }
  const std::optional<std::string> through_text = options.Value("--through");
  if (!through_text) {
    return Fail(err,
                "usage: repeat-run DIR --through DATE [--date DATE] "
                "[--reference TEXT] [--list]");
  }
  const std::string reference =
      options.Value("--reference").value_or(billing::kDefaultReference);
  if (static_cast<int>(reference.size()) > billing::kReferenceWidth) {
    return Fail(err, "the reference takes at most " +
                         std::to_string(billing::kReferenceWidth) +
                         " characters");
  }

  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  const auto finish = [&](int code) {
    app.engine().StoreShutdown();
    return code;
  };
  const std::optional<company::Date> through = app.ParseDate(*through_text);
  if (!through) {
    return finish(Fail(err, "--through: " + std::string(billing::kInvalidDateText)));
  }
  const billing::RepeatSearch search = billing::SearchDueMasters(app, *through);
  if (!search.ok) return finish(Fail(err, "the invoice file could not be read"));
  if (search.lines.empty()) {
    out << billing::kNothingDueText << "\n";
    return finish(kExitFailed);
  }
  if (options.Flag("--list")) {
    for (const std::string& line : search.lines) out << line << "\n";
    out << billing::SelectedText(search.lines.size(), search.sum) << "\n";
    return finish(kExitOk);
  }

  billing::RepeatRunRequest request;
  request.invoice_date = options.Value("--date").value_or(*through_text);
  request.reference = reference;
  for (const std::string& line : search.lines) {
    request.masters.push_back(billing::MasterNoOfLine(line));
  }
  const billing::RepeatRunResult result =
      billing::CreateRepeatInvoices(app, request);
  for (const std::string& line : result.created) out << line << "\n";
  out << billing::RunCompleteText(result) << "\n";
  return finish(result.complete() ? kExitOk : kExitFailed);
}

}  // namespace tallybook::admin
