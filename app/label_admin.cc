#include "app/label_admin.h"

#include <memory>
#include <optional>

#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "app/invoice_admin.h"
#include "company/text.h"
#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "output/label_print.h"
#include "output/label_queue.h"
#include "output/label_wizard.h"
#include "output/queue_email.h"
#include "output/record_list.h"
#include "output/ui/pdf_maker.h"
#include "platform/regular_file.h"

namespace tallybook::admin {

namespace {

// The largest --start and --copies taken: a sheet has at most 9 x 99
// labels, and more copies than that of one customer is a typing slip.
constexpr int kMaxCount = 999;

// A whole number 1..kMaxCount, or nullopt.
std::optional<int> CountArg(const std::string& text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (v < 1 || v > kMaxCount) return std::nullopt;
  return v;
}

const char* ResultName(output::QueueMailResult result) {
  switch (result) {
    case output::QueueMailResult::kSent: return "sent";
    case output::QueueMailResult::kBadAddress: return "bad-address";
    case output::QueueMailResult::kSkipped: return "skipped";
    case output::QueueMailResult::kFailed: return "failed";
    case output::QueueMailResult::kNotFound: return "not-found";
  }
  return "";
}

}  // namespace

const std::vector<AdminCommand>& LabelAdminCommands() {
  static const std::vector<AdminCommand> commands = {
      {"queue", 1, 5, "DIR (--all | --aging 1|2|3|4) --out FILE.LST",
       "write a record list of customers as the label wizard fills its queue",
       RunQueue},
      {"labels", 3, 9,
       "DIR LAYOUT.LBL LIST.LST --pdf FILE [--start N] [--copies N]",
       "print the labels of a record list with a layout as a PDF file",
       RunLabels},
      {"email-message", 2, 8,
       "DIR LIST.LST --subject TEXT --body FILE [--from ADDRESS]",
       "e-mail a message to the customers of a record list", RunEmailMessage},
  };
  return commands;
}

int RunQueue(const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err) {
  const std::string& dir = args[0];
  int aging = 0;  // 0: every customer
  bool chosen = false;
  std::string list;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--all" && !chosen) {
      chosen = true;
    } else if (args[i] == "--aging" && !chosen && i + 1 < args.size()) {
      const std::string& k = args[++i];
      if (k.size() != 1 || k[0] < '1' || k[0] > '4') {
        return Fail(err, "--aging takes 1, 2, 3 or 4");
      }
      aging = k[0] - '0';
      chosen = true;
    } else if (args[i] == "--out" && i + 1 < args.size()) {
      list = args[++i];
    } else {
      return Fail(err, "unknown option " + args[i]);
    }
  }
  if (!chosen) return Fail(err, "give --all or --aging 1|2|3|4");
  if (list.empty()) return Fail(err, "give --out FILE.LST");
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  int code = kExitFailed;
  bool read = true;
  if (aging == 0) {
    read = output::LoadAllCustomers(app).has_value();
  } else {
    // No records found is told on err, and an empty list written.
    const output::AgingLoad load = output::LoadAgingCustomers(app, aging);
    read = load.refusal.empty();
  }
  std::string error;
  if (!read) {
    // The aging buttons have said why already.
    if (aging == 0) Fail(err, output::CustomerFileFailedText(app));
  } else if (!output::WriteRecordList(list, app.label_queue, &error)) {
    Fail(err, error);
  } else {
    out << app.label_queue.size() << " customers written to " << list << "\n";
    code = kExitOk;
  }
  app.engine().StoreShutdown();
  return code;
}

int RunLabels(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
  const std::string& dir = args[0];
  const std::string& layout_file = args[1];
  const std::string& list_file = args[2];
  std::string pdf_file;
  int start = 1, copies = 1;
  for (size_t i = 3; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--pdf" && has_value) {
      pdf_file = args[++i];
    } else if ((args[i] == "--start" || args[i] == "--copies") && has_value) {
      const auto n = CountArg(args[i + 1]);
      if (!n) {
        return Fail(err, args[i] + " takes a number from 1 to " +
                             std::to_string(kMaxCount));
      }
      (args[i] == "--start" ? start : copies) = *n;
      ++i;
    } else {
      return Fail(err, "unknown option " + args[i]);
    }
  }
  if (pdf_file.empty()) return Fail(err, "give --pdf FILE");
  std::string error;
  const auto layout = output::ReadLabelLayout(layout_file, &error);
  if (!layout) return Fail(err, error);
  const auto sheet = output::SheetOf(*layout);
  if (!sheet) return Fail(err, output::kEmptyLayoutFieldText);
  const auto rows = output::ReadRecordList(list_file, &error);
  if (!rows) return Fail(err, error);
  if (rows->empty()) return Fail(err, output::kNoQueueToPrintText);

  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  int code = kExitFailed;
  std::vector<std::string> missing;
  const auto addresses =
      output::ReadLabelAddresses(app, *rows, layout->use_shipping, &missing);
  for (const std::string& number : missing) {
    err << "tallybook-admin: customer " << company::Cp1252ToUtf8(number)
        << " was not found; no label\n";
  }
  if (!addresses) {
    Fail(err, "the customer file could not be read (error " +
                  std::to_string(app.engine().StoreError()) + ")");
  } else if (addresses->empty()) {
    Fail(err, "no customer of the list was found");
  } else {
    OffscreenApplication qt;
    std::string pdf;
    int count = 0;
    if (output::ui::RenderPdf(
            output::kLabelJobTitle,
            [&](platform::Canvas& canvas) {
              count = output::DrawLabels(canvas, *layout, *sheet,
                                         app.CurrentCompany, *addresses,
                                         start, copies, app.data_dir());
            },
            &pdf, &error) &&
        WritePdfFile(pdf_file, pdf, &error)) {
      out << output::LabelsSentText(count) << " " << pdf_file << "\n";
      code = missing.empty() ? kExitOk : kExitFailed;
    } else {
      Fail(err, error);
    }
  }
  app.engine().StoreShutdown();
  return code;
}

int RunEmailMessage(const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err) {
  const std::string& dir = args[0];
  const std::string& list_file = args[1];
  output::QueueMessage message;
  std::string body_file;
  std::optional<std::string> from;
  for (size_t i = 2; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--subject" && has_value) {
      message.subject = company::Utf8ToCp1252(args[++i]);
    } else if (args[i] == "--body" && has_value) {
      body_file = args[++i];
    } else if (args[i] == "--from" && has_value) {
      from = company::Utf8ToCp1252(args[++i]);
    } else {
      return Fail(err, "unknown option " + args[i]);
    }
  }
  if (body_file.empty()) return Fail(err, "give --body FILE");
  std::string body, reason, error;
  constexpr size_t kMaxBody = 1 << 20;
  if (platform::ReadRegularFile(body_file, kMaxBody, &body, &reason) !=
      platform::FileRead::kOk) {
    return Fail(err, body_file + " could not be read" +
                         (reason.empty() ? "" : ": " + reason));
  }
  message.body = company::Utf8ToCp1252(body);
  const auto rows = output::ReadRecordList(list_file, &error);
  if (!rows) return Fail(err, error);

  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  message.from = from ? *from : app.CurrentCompany.ReplyEMailAddress.Get();
  app.label_queue = *rows;
  std::unique_ptr<mail::MailTransport> transport =
      mail::MakeCurlMailTransport(app.PathOf(mail::kMailSettingsFileName));
  app.mail_transport = transport.get();
  const output::QueueMailOutcome outcome =
      output::SendQueueMessage(app, message);
  for (const output::QueueMailLine& line : outcome.lines) {
    out << company::Cp1252ToUtf8(line.customer_no) << "\t"
        << ResultName(line.result) << "\t"
        << company::Cp1252ToUtf8(line.recipient) << "\t" << line.answer
        << "\n";
  }
  if (outcome.ran) {
    out << outcome.sent << " of " << rows->size() << " messages sent, "
        << outcome.skipped << " skipped, " << outcome.failed << " failed, "
        << outcome.not_found << " not found, " << outcome.not_reached
        << " not reached.\n";
  }
  transport->Close();
  app.mail_transport = nullptr;
  app.engine().StoreShutdown();
  const bool all_went = outcome.ran && outcome.completed &&
                        outcome.failed == 0 && outcome.not_found == 0;
  return all_went ? kExitOk : kExitFailed;
}

}  // namespace tallybook::admin
