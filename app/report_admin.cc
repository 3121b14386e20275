#include "app/report_admin.h"

#include <QTemporaryDir>
#include <optional>

#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "app/invoice_admin.h"
#include "company/text.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/text_codec.h"
#include "platform/regular_file.h"
#include "receivables/report.h"
#include "receivables/report_dates.h"
#include "receivables/report_output.h"
#include "receivables/report_view.h"

namespace tallybook::admin {

namespace {

using receivables::ReportOutcome;

struct ReportOptions {
  const receivables::ReportDefinition* report = nullptr;
  std::optional<std::string> from, to;
  int sort_column = 0;
  bool subtotals = true;
  bool csv = false;
  std::string pdf_file;
};

// The report names the command takes, for its error text.
std::string ReportNames() {
  std::string names;
  for (const receivables::ReportDefinition& d : receivables::Reports()) {
    if (!names.empty()) names += ", ";
    names += d.admin_name;
  }
  return names;
}

int ParseOptions(const std::vector<std::string>& args, ReportOptions* options,
                 std::ostream& err) {
  options->report = receivables::FindReportByAdminName(args[1]);
  if (options->report == nullptr) {
    return Fail(err, "unknown report " + args[1] + " (one of " +
                         ReportNames() + ")");
  }
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--from" && has_value) {
      options->from = company::Utf8ToCp1252(args[++i]);
    } else if (a == "--to" && has_value) {
      options->to = company::Utf8ToCp1252(args[++i]);
    } else if (a == "--sort" && has_value) {
      options->sort_column = receivables::SortColumnOfText(args[++i]);
    } else if (a == "--no-subtotals") {
      options->subtotals = false;
    } else if (a == "--csv") {
      options->csv = true;
    } else if (a == "--pdf" && has_value) {
      options->pdf_file = args[++i];
    } else {
      return Fail(err, "unknown option " + a);
    }
  }
  if (options->csv && !options->pdf_file.empty()) {
    return Fail(err, "--csv and --pdf cannot be given together");
  }
  return kExitOk;
}

// The printed report as PDF bytes: one landscape job, as the viewer prints.
bool PrintToPdf(const receivables::ReportView& view, std::string* pdf,
                std::string* error) {
  QTemporaryDir folder;
  if (!folder.isValid()) {
    *error = "no temporary folder for the PDF";
    return false;
  }
  platform::qt::QtPrinter printer(
      platform::qt::PathFromQString(folder.path()));
  printer.SetAlwaysPdf(true);
  const platform::PrintJobStatus status = receivables::PrintReport(
      printer, view, receivables::DefaultReportFont());
  if (!status.ok) {
    *error = status.error;
    return false;
  }
  std::string reason;
  if (platform::ReadRegularFile(status.destination, size_t{1} << 30, pdf,
                                &reason) != platform::FileRead::kOk) {
    *error = "the PDF could not be read: " + reason;
    return false;
  }
  return true;
}

}  // namespace

const std::vector<AdminCommand>& ReportAdminCommands() {
  static const std::vector<AdminCommand> commands = {
      {"report", 2, 12,
       "DIR NAME [--from DATE] [--to DATE] [--sort N] [--no-subtotals] "
       "[--csv] [--pdf FILE]",
       "print a report of the current company as the report viewer shows it",
       RunReport},
  };
  return commands;
}

int RunReport(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
  ReportOptions options;
  if (const int code = ParseOptions(args, &options, err); code != kExitOk) {
    return code;
  }
  ConsolePlatform platform(err);
  company::App app(args[0], platform.services());
  if (const int code = OpenInstallationCompany(app, args[0], err);
      code != kExitOk) {
    return code;
  }

  receivables::ReportRequest request;
  request.kind = options.report->kind;
  int code = kExitOk;
  if (options.report->uses_range) {
    const company::Date today = app.Today();
    const receivables::DateRange month_to_date =
        *receivables::PresetRange(receivables::kPresetMonthToDate, today);
    request.from_text = options.from.value_or(app.FormatDate(month_to_date.from));
    request.to_text = options.to.value_or(app.FormatDate(month_to_date.to));
    const receivables::DateCheck check = receivables::CheckReportDates(
        request.from_text, request.to_text, app.short_date_order());
    if (check.field != receivables::DateField::kNone) {
      code = Fail(err, check.text);
    } else {
      request.from = check.range.from;
      request.to = check.range.to;
    }
  }

  receivables::Report report;
  if (code == kExitOk) {
    const receivables::ReportResult result =
        receivables::BuildReport(app, request, &report);
    if (result.outcome != ReportOutcome::kOk) {
      code = Fail(err, company::Cp1252ToUtf8(result.message));
    }
  }
  app.engine().StoreShutdown();
  if (code != kExitOk) return code;

  receivables::ReportView view(&report);
  view.SortAndTotal(options.sort_column, options.subtotals);
  if (options.csv) {
    out << receivables::ReportCsv(view);
  } else if (options.pdf_file.empty()) {
    out << company::Cp1252ToUtf8(receivables::ReportText(view));
  } else {
    OffscreenApplication qt;
    std::string pdf, error;
    if (!PrintToPdf(view, &pdf, &error) ||
        !WritePdfFile(options.pdf_file, pdf, &error)) {
      return Fail(err, error);
    }
    out << options.pdf_file << "\n";
  }
  return kExitOk;
}

}  // namespace tallybook::admin
