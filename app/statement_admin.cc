#include "app/statement_admin.h"

#include <memory>
#include <optional>

#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "app/invoice_admin.h"
#include "company/text.h"
#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "output/ui/pdf_maker.h"
#include "receivables/statement.h"
#include "receivables/statement_email.h"
#include "receivables/statement_output.h"
#include "receivables/statement_print.h"

namespace tallybook::admin {

namespace {

using receivables::BalanceSelection;
using receivables::StatementDetail;

// The --select choices, as the selection dialog names them.
bool ParseSelection(const std::string& text, BalanceSelection* balance) {
  if (text == "all") *balance = BalanceSelection::kNonZero;
  else if (text == "30") *balance = BalanceSelection::kOver30;
  else if (text == "60") *balance = BalanceSelection::kOver60;
  else if (text == "90") *balance = BalanceSelection::kOver90;
  else return false;
  return true;
}

}  // namespace

const std::vector<AdminCommand>& StatementAdminCommands() {
  static const std::vector<AdminCommand> commands = {
      {"statement", 2, 5, "DIR CUSTOMER [--unpaid] [--pdf FILE]",
       "print a customer's e-mailed statement text, or write it as a PDF",
       RunStatement},
      {"email-statements", 1, 4, "DIR [--select all|30|60|90] [--unpaid]",
       "e-mail the statements of the chosen customers as the batch run does",
       RunEmailStatements},
  };
  return commands;
}

int RunStatement(const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err) {
  const std::string& dir = args[0];
  const std::string customer_no = company::Utf8ToCp1252(args[1]);
  StatementDetail detail = StatementDetail::kAllActivity;
  std::string pdf_file;
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--unpaid") {
      detail = StatementDetail::kUnpaidOnly;
    } else if (args[i] == "--pdf" && i + 1 < args.size()) {
      pdf_file = args[++i];
    } else {
      return Fail(err, "unknown option " + args[i]);
    }
  }
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  receivables::Statement st;
  const receivables::StatementRead read =
      receivables::BuildStatement(app, customer_no, detail, &st);
  int code = kExitFailed;
  if (read == receivables::StatementRead::kNoCustomer) {
    Fail(err, "customer " + args[1] + " was not found");
  } else if (read == receivables::StatementRead::kFileFailed) {
    Fail(err, "the customer files could not be read (error " +
                  std::to_string(app.engine().StoreError()) + ")");
  } else if (!st.HasActivity()) {
    Fail(err, receivables::kNoActivityText);
  } else if (pdf_file.empty()) {
    for (const std::string& line :
         receivables::ComposeStatementEmail(app.CurrentCompany, st,
                                            app.TodayText)
             .lines) {
      out << company::Cp1252ToUtf8(line) << "\n";
    }
    code = kExitOk;
  } else {
    OffscreenApplication qt;
    std::string pdf, error;
    if (output::ui::RenderPdf(
            receivables::kStatementJobTitle,
            [&](platform::Canvas& canvas) {
              receivables::DrawStatement(canvas, app.CurrentCompany, st,
                                         app.TodayText, app.data_dir());
            },
            &pdf, &error) &&
        WritePdfFile(pdf_file, pdf, &error)) {
      out << pdf_file << "\n";
      code = kExitOk;
    } else {
      Fail(err, error);
    }
  }
  app.engine().StoreShutdown();
  return code;
}

int RunEmailStatements(const std::vector<std::string>& args,
                       std::ostream& out, std::ostream& err) {
  const std::string& dir = args[0];
  receivables::StatementSelection selection;
  selection.detail = StatementDetail::kAllActivity;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--unpaid") {
      selection.detail = StatementDetail::kUnpaidOnly;
    } else if (args[i] == "--select" && i + 1 < args.size()) {
      if (!ParseSelection(args[++i], &selection.balance)) {
        return Fail(err, "--select takes all, 30, 60 or 90");
      }
    } else {
      return Fail(err, "unknown option " + args[i]);
    }
  }
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  OffscreenApplication qt;
  std::unique_ptr<mail::MailTransport> transport =
      mail::MakeCurlMailTransport(app.PathOf(mail::kMailSettingsFileName));
  app.mail_transport = transport.get();
  app.make_pdf = &output::ui::RenderPdf;
  app.output_mode = company::OutputMode::kEMail;

  // No pauses: the whole selection is one batch.
  const receivables::BatchOutcome outcome = receivables::BatchStatementsCommand(
      app, [&] { return std::optional(selection); },
      [](const receivables::BatchSizeText& text) {
        return std::optional(text.count);
      });
  for (const receivables::BatchLine& line : outcome.lines) {
    out << company::Cp1252ToUtf8(line.customer_no) << "\t"
        << company::Cp1252ToUtf8(line.recipient) << "\t" << line.answer
        << "\n";
  }
  out << outcome.sent << " of " << outcome.selected << " statements sent.";
  if (outcome.date_written) {
    out << " Last statements: " << app.CurrentCompany.LastBatchPrintDate.Get()
        << ".";
  }
  out << "\n";
  transport->Close();
  app.mail_transport = nullptr;
  app.make_pdf = nullptr;
  app.engine().StoreShutdown();
  const bool all_sent = outcome.selected == 0 ||
                        (outcome.completed && outcome.sent == outcome.selected);
  return all_sent && (outcome.selected == 0 || outcome.date_written)
             ? kExitOk
             : kExitFailed;
}

}  // namespace tallybook::admin
