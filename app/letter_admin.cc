#include "app/letter_admin.h"

#include <filesystem>

#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "app/invoice_admin.h"
#include "company/text.h"
#include "output/letter_merge_print.h"
#include "output/letter_print.h"
#include "output/letter_texts.h"
#include "output/record_list.h"
#include "output/ui/pdf_maker.h"

namespace tallybook::admin {

namespace fs = std::filesystem;

const std::vector<AdminCommand>& LetterAdminCommands() {
  static const std::vector<AdminCommand> commands = {
      {"letters", 3, 5, "DIR LETTER LIST.LST [--out FOLDER]",
       "merge a form letter for the customers of a record list, one PDF each",
       RunLetters},
  };
  return commands;
}

std::string LetterPdfName(const std::string& customer_no) {
  std::string name = company::Cp1252ToUtf8(company::Trim(customer_no));
  for (char& c : name) {
    if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  if (name.empty() || name.front() == '.') name = "_" + name;
  return name + ".pdf";
}

int RunLetters(const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
  const std::string& dir = args[0];
  const std::string& letter_path = args[1];
  const std::string& list_path = args[2];
  std::string folder = ".";
  for (size_t i = 3; i < args.size(); ++i) {
    if (args[i] == "--out" && i + 1 < args.size()) {
      folder = args[++i];
    } else {
      return Fail(err, "unknown option " + args[i]);
    }
  }
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return Fail(err, folder + " is not a folder");
  std::string error;
  const std::optional<output::LetterDocument> letter =
      output::LoadLetterFile(letter_path, &error);
  if (!letter) return Fail(err, error);
  std::optional<std::vector<company::LabelQueueRow>> rows =
      output::ReadRecordList(list_path, &error);
  if (!rows) return Fail(err, error);

  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  app.label_queue = std::move(*rows);
  int code = kExitFailed;
  // The refusals print their messages through the console platform.
  if (output::MayMergePrint(app, *letter)) {
    OffscreenApplication qt;
    const std::string title = output::LetterBaseName(letter_path);
    const output::MergePrintOutcome outcome = output::MergePrint(
        app, *letter,
        [&](const company::LabelQueueRow& row,
            const output::LetterDocument& merged, std::string* why) {
          std::string pdf;
          const std::string path =
              (fs::path(folder) / LetterPdfName(row.customer_no)).string();
          if (!output::ui::RenderPdf(
                  title,
                  [&](platform::Canvas& canvas) {
                    output::DrawLetter(canvas, merged);
                  },
                  &pdf, why) ||
              !WritePdfFile(path, pdf, why)) {
            return false;
          }
          out << path << "\n";
          return true;
        },
        [](const std::string&) {});
    if (!outcome.missing.empty()) {
      err << company::Cp1252ToUtf8(
                 output::NoLetterCustomersText(outcome.missing))
          << "\n";
    }
    if (outcome.completed) {
      code = kExitOk;
    } else {
      Fail(err, outcome.error);
    }
  }
  app.engine().StoreShutdown();
  return code;
}

}  // namespace tallybook::admin
