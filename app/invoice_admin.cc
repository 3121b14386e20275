#include "app/invoice_admin.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "app/admin_console_platform.h"
#include "app/admin_open_company.h"
#include "company/text.h"
#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "output/invoice_image.h"
#include "output/invoice_output.h"
#include "output/invoice_print.h"
#include "output/ui/pdf_maker.h"
#include "platform/regular_file.h"

namespace tallybook::admin {

namespace {

namespace fs = std::filesystem;

// Qt's own notices (a missing runtime folder, font fallbacks) are not the
// command's output; only its critical errors reach the error stream.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&,
                     const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "tallybook-admin: %s\n", text.toLocal8Bit().constData());
  }
}

// A file name for an invoice number: characters a file name cannot hold
// become '_'.
std::string PdfNameFor(const std::string& invoice_no) {
  std::string name = company::Cp1252ToUtf8(invoice_no);
  for (char& c : name) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32) c = '_';
  }
  if (name.empty() || name[0] == '.') name.insert(0, "_");
  return name + ".pdf";
}

}  // namespace

OffscreenApplication::OffscreenApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  qInstallMessageHandler(&QuietQtMessages);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tallybook-admin";
  static char* argv[] = {name, nullptr};
  app_ = std::make_unique<QApplication>(argc, argv);
}

OffscreenApplication::~OffscreenApplication() = default;

bool WritePdfFile(const std::string& path, const std::string& pdf,
                  std::string* error) {
  // Written beside and renamed, so a failed write leaves no stub; the side
  // file is made exclusively, so a link planted at its name is not
  // written through.
  if (!platform::ReplaceThroughSideFile(path, path + ".part", pdf)) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

const std::vector<AdminCommand>& InvoiceAdminCommands() {
  static const std::vector<AdminCommand> commands = {
      {"invoice-pdf", 2, 64, "DIR NUMBER... [--out FOLDER]",
       "write invoices of the current company as PDF files (marks nothing)",
       RunInvoicePdf},
      {"email-invoice", 2, 2, "DIR NUMBER",
       "e-mail one invoice as the program does and print the server's answer",
       RunEmailInvoice},
  };
  return commands;
}

int RunInvoicePdf(const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err) {
  const std::string& dir = args[0];
  std::vector<std::string> numbers;
  std::string folder = ".";
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--out") {
      if (i + 1 >= args.size()) return Fail(err, "--out needs a folder");
      folder = args[++i];
    } else {
      numbers.push_back(company::Utf8ToCp1252(args[i]));
    }
  }
  if (numbers.empty()) return Fail(err, "no invoice number given");
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    return Fail(err, folder + " is not a folder");
  }

  ConsolePlatform platform(err);
  company::App app(dir, platform.services());
  if (const int code = OpenInstallationCompany(app, dir, err); code != kExitOk) {
    return code;
  }
  OffscreenApplication qt;
  int failures = 0;
  for (const std::string& number : numbers) {
    output::InvoiceImage image;
    const output::ImageRead read =
        output::BuildInvoiceImage(app, number, &image);
    if (read != output::ImageRead::kOk) {
      Fail(err, "invoice " + company::Cp1252ToUtf8(number) +
                    (read == output::ImageRead::kNotFound
                         ? " was not found"
                         : ": " + output::FileFailedText(image)));
      ++failures;
      continue;
    }
    if (image.memo_missing) {
      err << "tallybook-admin: invoice " << company::Cp1252ToUtf8(number)
          << ": " << output::kMemoReadError << "\n";
    }
    std::string pdf, error;
    bool made = output::ui::RenderPdf(
        output::JobTitle(output::PrintMode::kInvoice, image.invoice_no),
        [&](platform::Canvas& canvas) {
          output::DrawInvoice(canvas, app.CurrentCompany, image,
                              output::PrintMode::kInvoice, app.data_dir());
        },
        &pdf, &error);
    const fs::path path = fs::path(folder) / PdfNameFor(image.invoice_no);
    if (made) made = WritePdfFile(path.string(), pdf, &error);
    if (!made) {
      Fail(err, "invoice " + company::Cp1252ToUtf8(number) + ": " + error);
      ++failures;
      continue;
    }
    out << path.string() << "\n";
  }
  app.engine().StoreShutdown();
  return failures == 0 ? kExitOk : kExitFailed;
}

int RunEmailInvoice(const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err) {
  const std::string& dir = args[0];
  const std::string number = company::Utf8ToCp1252(args[1]);
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

  int code = kExitFailed;
  if (output::CheckEmailReadiness(app)) {
    // As one invoice of a batch run: by e-mail only, no printed copies.
    const output::OutputResult result =
        output::OutputInvoiceNow(app, number, /*batch=*/true);
    if (result.done) {
      out << company::Cp1252ToUtf8(result.status) << "\n"
          << result.server_reply << "\n";
      code = kExitOk;
    } else {
      Fail(err, company::Cp1252ToUtf8(result.status));
    }
  }
  transport->Close();
  app.mail_transport = nullptr;
  app.engine().StoreShutdown();
  return code;
}

}  // namespace tallybook::admin
