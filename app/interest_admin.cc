#include "app/interest_admin.h"

#include <map>
#include <optional>

#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "app/invoice_admin.h"
#include "company/text.h"
#include "output/ui/pdf_maker.h"
#include "receivables/interest_report.h"
#include "receivables/interest_run.h"

namespace tallybook::admin {

namespace {

using receivables::InterestAging;
using receivables::InterestSettings;

// The options and what the command line gave them.
struct InterestOptions {
  std::map<std::string, std::string> values;
  bool printed = false;
  bool generate = false;
};

// The options that take a value.
bool TakesValue(const std::string& option) {
  static const char* const kWithValue[] = {
      "--over",  "--rate",    "--minimum", "--flat",      "--date",
      "--terms", "--comment", "--note",    "--report-pdf"};
  for (const char* name : kWithValue) {
    if (option == name) return true;
  }
  return false;
}

// Reads the options after DIR; the problem's text when one is malformed.
std::optional<std::string> ParseOptions(const std::vector<std::string>& args,
                                        InterestOptions* options) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--printed") {
      options->printed = true;
    } else if (a == "--generate") {
      options->generate = true;
    } else if (TakesValue(a)) {
      if (i + 1 >= args.size()) return a + " needs a value";
      // Texts of the records are Windows-1252; a file name stays as given.
      ++i;
      options->values[a] =
          a == "--report-pdf" ? args[i] : company::Utf8ToCp1252(args[i]);
    } else {
      return "unknown option " + a;
    }
  }
  return std::nullopt;
}

// The aging choice --over names: 30, 60, 90, or one of the company's own
// aging limits.
std::optional<InterestAging> ChoiceOf(const std::string& text,
                                      const company::CompanyRecord& co) {
  const std::string t = company::Trim(text);
  const InterestAging choices[] = {InterestAging::kOverLimit1,
                                   InterestAging::kOverLimit2,
                                   InterestAging::kOverLimit3};
  const char* const usual[] = {"30", "60", "90"};
  const company::PString<3>* limits[] = {&co.AgingDays1, &co.AgingDays2,
                                         &co.AgingDays3};
  for (int k = 0; k < 3; ++k) {
    if (t == company::Trim(limits[k]->View())) return choices[k];
  }
  for (int k = 0; k < 3; ++k) {
    if (t == usual[k]) return choices[k];
  }
  return std::nullopt;
}

void PrintGrid(const receivables::InterestScan& scan, std::ostream& out) {
  for (const receivables::GridLine& line :
       receivables::InterestGridLines(scan)) {
    for (size_t c = 0; c < line.size(); ++c) {
      if (c > 0) out << "\t";
      out << company::Cp1252ToUtf8(line[c]);
    }
    out << "\n";
  }
}

}  // namespace

const std::vector<AdminCommand>& InterestAdminCommands() {
  static const std::vector<AdminCommand> commands = {
      {"interest", 1, 22,
       // The options are listed in the summary: in the arguments they
       // would widen every line of the usage text.
       "DIR [OPTIONS]",
       "list the customers the interest wizard charges; --generate writes "
       "their interest invoices (options: --over 30|60|90, --rate PCT, "
       "--minimum AMT, --flat AMT, --date DATE, --printed, --terms TEXT, "
       "--comment TEXT, --note TEXT, --generate, --report-pdf FILE)",
       RunInterest},
  };
  return commands;
}

int RunInterest(const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err) {
  const std::string& dir = args[0];
  InterestOptions options;
  if (std::optional<std::string> problem = ParseOptions(args, &options)) {
    return Fail(err, *problem);
  }
  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err);
      code != kExitOk) {
    return code;
  }
  InterestSettings s =
      receivables::StoredInterestSettings(app.CurrentCompany, app.TodayText);
  std::optional<std::string> problem;
  auto value = [&](const char* name) -> const std::string* {
    auto it = options.values.find(name);
    return it == options.values.end() ? nullptr : &it->second;
  };
  if (const std::string* v = value("--over")) {
    if (std::optional<InterestAging> choice =
            ChoiceOf(*v, app.CurrentCompany)) {
      s.aging = *choice;
    } else {
      problem = "--over takes 30, 60 or 90";
    }
  }
  // The kept texts are five characters: a longer one would be stored cut.
  if (const std::string* v = value("--rate")) s.percent = company::Trim(*v);
  if (const std::string* v = value("--minimum")) s.minimum = company::Trim(*v);
  if (s.percent.size() > receivables::kInterestPercentLength ||
      s.minimum.size() > receivables::kInterestMinimumLength) {
    problem = "--rate and --minimum take at most 5 characters";
  }
  if (const std::string* v = value("--flat")) {
    s.flat = true;
    s.flat_rate = company::Trim(*v);
    if (s.flat_rate.size() > receivables::kFlatRateLength) {
      problem = "--flat takes at most 6 characters";
    }
  }
  if (const std::string* v = value("--date")) {
    s.invoice_date = company::Trim(*v);
  }
  if (options.printed) s.mark_printed = true;
  if (const std::string* v = value("--terms")) s.terms = *v;
  if (const std::string* v = value("--comment")) s.comments = *v;
  if (const std::string* v = value("--note")) s.statement_note = *v;
  if (!problem && options.generate && !app.ParseDate(s.invoice_date)) {
    problem =
        "--date " + s.invoice_date + " is not a date in the company's order";
  }
  if (problem) {
    app.engine().StoreShutdown();
    return Fail(err, *problem);
  }

  int code = kExitFailed;
  receivables::InterestScanResult scanned = receivables::ScanInterest(app, s);
  if (scanned.outcome == receivables::ScanOutcome::kFound) {
    code = kExitOk;
    if (options.generate) {
      const receivables::InterestRunResult run =
          receivables::GenerateInterest(app, s, &scanned.scan);
      err << run.created << " of " << run.rows
          << " interest invoices were created.\n";
      if (run.outcome != receivables::RunOutcome::kDone) code = kExitFailed;
    }
    PrintGrid(scanned.scan, out);
    if (const std::string* pdf_file = value("--report-pdf")) {
      const receivables::InterestReport report =
          receivables::MakeInterestReport(app, s, scanned.scan);
      OffscreenApplication qt;
      std::string pdf, error;
      if (output::ui::RenderPdf(
              receivables::kInterestJobTitle,
              [&](platform::Canvas& canvas) {
                receivables::DrawInterestReport(canvas, report);
              },
              &pdf, &error) &&
          WritePdfFile(*pdf_file, pdf, &error)) {
        err << "Report written: " << *pdf_file << "\n";
      } else {
        code = Fail(err, error);
      }
    }
  }
  app.engine().StoreShutdown();
  return code;
}

}  // namespace tallybook::admin
