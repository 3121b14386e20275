#include "receivables/statement_output.h"

#include <algorithm>

#include "company/keys.h"
#include "company/money.h"
#include "company/text.h"
#include "mail/mail_transport.h"
#include "output/invoice_output.h"
#include "platform/printer.h"
#include "receivables/statement_email.h"
#include "receivables/statement_print.h"

namespace tallybook::receivables {

using company::App;
using company::Trim;

namespace {

bool EmailMode(const App& app) {
  return app.output_mode == company::OutputMode::kEMail;
}

std::string StatementFor(const Statement& st) {
  return "Statement for " + st.name;
}

StatementSent EmailStatement(App& app, const Statement& st) {
  StatementSent sent;
  sent.emailed = true;
  platform::Messages& messages = app.services().messages;
  const StatementEmail mail =
      ComposeStatementEmail(app.CurrentCompany, st, app.TodayText);
  sent.recipient = mail.to;
  mail::MailTransport* transport = app.mail_transport;
  if (transport == nullptr || !transport->Connected()) {
    sent.error = output::kNotOnline;
    sent.stop = true;
    platform::Inform(messages, output::kEmailModeCaption, output::kNotOnline);
    return sent;
  }
  const mail::OutgoingMessage message = output::MakeOutgoingMail(
      app, mail.from, mail.to, mail.subject, mail.lines, kStatementJobTitle,
      [&](platform::Canvas& canvas) {
        DrawStatement(canvas, app.CurrentCompany, st, app.TodayText,
                      app.data_dir());
      });
  const mail::SendResult result = transport->Send(message);
  sent.server_reply = result.server_reply;
  if (!result.ok) {
    sent.error = result.error;
    // A refused recipient leaves the connection up; a lost one ends a batch.
    sent.stop = !transport->Connected();
    platform::ShowError(messages, kStatementMailErrorCaption,
                        StatementFor(st) + " was not sent.\n" + result.error);
    return sent;
  }
  sent.done = true;
  return sent;
}

StatementSent PrintOne(App& app, const Statement& st) {
  StatementSent sent;
  const platform::PrintJobStatus status =
      PrintStatement(app.services().printer, app.CurrentCompany, st,
                     app.TodayText, app.data_dir());
  if (!status.ok) {
    sent.error = status.error;
    sent.stop = true;
    platform::ShowError(app.services().messages, kStatementPrintErrorCaption,
                        status.error);
    return sent;
  }
  sent.done = true;
  sent.where = platform::PrintedWhereText(status);
  sent.recipient = status.destination;
  return sent;
}

// Customer number of the record at ref when the balance choice selects it.
std::optional<std::string> SelectedNumber(store::Engine& engine,
                                          store::FileHandle handle,
                                          int32_t ref,
                                          BalanceSelection balance,
                                          bool* read_failed) {
  company::CustomerRecord c;
  if (!engine.GetRecord(handle, ref, &c)) {
    *read_failed = true;
    return std::nullopt;
  }
  if (c.DeleteMark != 0 || !SelectsCustomer(balance, c)) return std::nullopt;
  return Trim(c.CustomerNo.View());
}

}  // namespace

StatementSent OutputStatement(App& app, const Statement& st) {
  return EmailMode(app) ? EmailStatement(app, st) : PrintOne(app, st);
}

std::string PrintStatementCommand(App& app, const Statement& st) {
  const bool email = EmailMode(app);
  if (email && !output::CheckEmailReadiness(app)) return {};
  const StatementSent sent = OutputStatement(app, st);
  if (email) {
    if (!sent.done) return StatementFor(st) + " was not sent by e-mail.";
    platform::Inform(app.services().messages, kEmailStatementCaption,
                     kStatementSentText);
    return StatementFor(st) + " sent by e-mail.";
  }
  if (!sent.done) return StatementFor(st) + " was not printed.";
  return StatementFor(st) + " sent to print queue. " + sent.where;
}

bool SelectsCustomer(BalanceSelection balance,
                     const company::CustomerRecord& c) {
  const bool p2 = company::CentsOf(c.Aging2.View()) != 0;
  const bool p3 = company::CentsOf(c.Aging3.View()) != 0;
  const bool p4 = company::CentsOf(c.Aging4.View()) != 0;
  switch (balance) {
    case BalanceSelection::kNonZero:
      return company::CentsOf(c.Balance.View()) != 0;
    case BalanceSelection::kOver30:
      return p2 || p3 || p4;
    case BalanceSelection::kOver60:
      return p3 || p4;
    case BalanceSelection::kOver90:
      return p4;
  }
  return false;
}

std::optional<std::vector<std::string>> SelectStatementCustomers(
    App& app, BalanceSelection balance, company::CompanyFileAccess* given) {
  company::CustomerAccess own(app);
  company::CompanyFileAccess* customers = given;
  if (customers == nullptr) {
    if (!own.OpenCompanyFile()) return std::nullopt;
    customers = &own;
  }
  store::Engine& engine = app.engine();
  const store::FileHandle handle = customers->handle();
  std::vector<std::string> numbers;
  bool read_failed = false;
  if (!engine.ResetKeyPosition(handle, 1)) return std::nullopt;
  int32_t ref = 0;
  std::string key;
  while (!read_failed && engine.NextKey(handle, 1, ref, key)) {
    if (auto number = SelectedNumber(engine, handle, ref, balance,
                                     &read_failed)) {
      numbers.push_back(*number);
    }
  }
  // The walk ends on "no next key"; anything else is a real failure.
  if (read_failed || engine.ErrorClass() != 1) return std::nullopt;
  if (given == nullptr && !own.Close()) return std::nullopt;
  return numbers;
}

BatchSizeText MakeBatchSizeText(const App& app, int count) {
  BatchSizeText text;
  text.count = count;
  text.caption = kBatchStatementsCaption;
  const bool email = EmailMode(app);
  text.count_line = "There are " + std::to_string(count) +
                    (email ? " statements to be e-mailed."
                           : " statements to be printed.");
  text.button = email ? "&E-Mail" : "&Print";
  return text;
}

int BoundBatchSize(int entered, int count) {
  return std::min(std::max(entered, 1), std::max(count, 1));
}

std::string SpoolingText(int k, int count, int size) {
  return "Spooling statement " + std::to_string(k) + " of " +
         std::to_string(count) + " (batches of " + std::to_string(size) +
         ") ...";
}

std::string BatchPauseQuestion(int size, int remaining) {
  return std::to_string(size) +
         " statements processed during this cycle. There are " +
         std::to_string(remaining) +
         " statements remaining. Do you want to continue?";
}

namespace {

// Ends a run that stopped or in which some statement did not go: how many
// went, and nothing written.
void PartialStatus(App& app, BatchOutcome* outcome, bool email) {
  outcome->status = std::string(outcome->completed ? "Batch complete. "
                                                   : "Batch job stopped. ") +
                    std::to_string(outcome->sent) +
                    " of " + std::to_string(outcome->selected) +
                    (email ? " statements sent by e-mail."
                           : " statements sent to spooler.");
  app.ShowStatus(outcome->status);
}

}  // namespace

BatchOutcome BatchStatementsCommand(App& app, const SelectionDialog& select,
                                    const BatchSizeDialog& size_dialog,
                                    company::CompanyFileAccess* customers_given) {
  BatchOutcome outcome;
  platform::Messages& messages = app.services().messages;
  const std::optional<StatementSelection> selection = select();
  if (!selection) return outcome;
  const std::optional<std::vector<std::string>> customers =
      SelectStatementCustomers(app, selection->balance, customers_given);
  if (!customers) return outcome;
  const int count = static_cast<int>(customers->size());
  outcome.selected = count;
  if (count == 0) {
    platform::Inform(messages, kNoStatementsCaption, kNoStatementsText);
    return outcome;
  }
  const std::optional<int> entered =
      size_dialog(MakeBatchSizeText(app, count));
  if (!entered) return outcome;
  const int size = BoundBatchSize(*entered, count);
  const bool email = EmailMode(app);
  if (email && !output::CheckEmailReadiness(app)) return outcome;

  company::BusyGuard busy(app);
  company::CustomerAccess own_customers(app);
  company::TransactionAccess transaction_file(app);
  company::CompanyFileAccess* customer_file = customers_given;
  if (customer_file == nullptr) {
    if (!own_customers.OpenCompanyFile()) return outcome;
    customer_file = &own_customers;
  }
  if (!transaction_file.OpenCompanyFile()) return outcome;
  const StatementFiles files{customer_file, &transaction_file};
  platform::ProgressWindow& progress = app.services().progress;
  progress.SetCaption(email ? kEmailModeText : kPrinterModeText);
  progress.ClearLines();
  progress.SetLine(0, output::kWorking);
  progress.Show();
  bool stopped = false;
  for (int k = 1; k <= count && !stopped; ++k) {
    const std::string& number = (*customers)[static_cast<size_t>(k - 1)];
    BatchLine line;
    line.customer_no = number;
    Statement st;
    const StatementRead read = BuildStatement(
        app, number, selection->detail, &st, files);
    progress.SetLine(1, (email ? "E-Mailing Statement " : "Printing Statement ") +
                            std::to_string(k) + " ...");
    progress.ProcessPendingInput();
    if (read == StatementRead::kOk) {
      const StatementSent sent = OutputStatement(app, st);
      line.sent = sent.done;
      line.recipient = sent.recipient;
      line.answer = sent.done ? (email ? sent.server_reply : sent.where)
                              : sent.error;
      stopped = sent.stop;
    } else {
      line.answer = read == StatementRead::kNoCustomer
                        ? "Customer " + number + " was not found."
                        : "The customer files could not be read (error " +
                              std::to_string(app.engine().StoreError()) + ").";
      stopped = read == StatementRead::kFileFailed;
    }
    if (line.sent) ++outcome.sent;
    outcome.lines.push_back(line);
    app.ShowStatus(SpoolingText(k - 1, count, size));
    if (!stopped && k % size == 0 && k < count) {
      progress.Hide();
      app.ShowStatus(kBatchPausing);
      if (!platform::Confirm(messages, kBatchPauseCaption,
                             BatchPauseQuestion(size, count - k))) {
        app.ShowStatus(kBatchCanceled);
        outcome.status = kBatchCanceled;
        if (email && app.mail_transport != nullptr) app.mail_transport->Close();
        return outcome;
      }
      progress.Show();
    }
  }
  progress.Hide();
  own_customers.Close();
  transaction_file.Close();
  if (email && app.mail_transport != nullptr) app.mail_transport->Close();
  outcome.completed = !stopped;
  if (!outcome.completed || outcome.sent < count) {
    PartialStatus(app, &outcome, email);
    return outcome;
  }
  outcome.date_written = WriteLastStatementDate(app);
  if (email) {
    outcome.status = "Batch complete. " + std::to_string(outcome.sent) +
                     " statements sent by e-mail.";
    app.ShowStatus(outcome.status);
    platform::Inform(messages, output::kBatchEmailCaption,
                     output::kBatchEmailDone);
  } else {
    outcome.status = "Batch Print complete. " + std::to_string(outcome.sent) +
                     " statements sent to spooler.";
    app.ShowStatus(outcome.status);
  }
  return outcome;
}

bool WriteLastStatementDate(App& app) {
  company::CompanyListAccess list(app);
  const std::string key =
      company::KeyText(app.CurrentCompanyNo(), company::kCompanyNoKeyLength);
  int32_t rec_no = 0;
  std::string found;
  bool stored = false;
  if (list.OpenCompanyFile() && list.FindByKey(1, key, rec_no, &found) &&
      found == key && list.GetRecord(rec_no)) {
    const company::CompanyRecord before = list.rec();
    list.rec().LastBatchPrintDate.Set(app.TodayText);
    stored = list.ModifyWithKeys(rec_no, before);
    if (stored) app.CurrentCompany = list.rec();
  }
  if (!list.Close()) stored = false;
  if (!stored) {
    platform::ShowError(app.services().messages, kBatchStatementsCaption,
                        "The date of the last statements could not be stored "
                        "(error " +
                            std::to_string(app.engine().StoreError()) + ").");
  }
  return stored;
}

}  // namespace tallybook::receivables
