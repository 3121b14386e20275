#include "output/ui/invoice_commands.h"

#include <QApplication>
#include <QGuiApplication>
#include <fstream>

#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "company/text.h"
#include "output/invoice_output.h"
#include "output/invoice_print.h"
#include "output/invoice_view_model.h"
#include "output/ui/inv_batch.h"
#include "output/ui/invoice_view.h"
#include "output/ui/mail_settings_dialog.h"
#include "output/ui/pdf_maker.h"

namespace tallybook::output::ui {

namespace {

// The hourglass while invoices are output.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

// Runs fn with the output mode set to mode, and puts the user's mode back:
// the view's Print and E-mail buttons do what they say whatever the main
// window's mode.
std::string OutputAs(company::App& app, company::OutputMode mode,
                     const std::function<std::string()>& fn) {
  const company::OutputMode before = app.output_mode;
  app.output_mode = mode;
  std::string status = fn();
  app.output_mode = before;
  return status;
}

// Save as PDF: the same drawing into a file the user names; the status
// text, empty when nothing was saved.
std::string SaveInvoicePdf(company::App& app, const std::string& invoice_no,
                           const std::function<void(platform::Canvas&)>& draw) {
  platform::FileDialogRequest request;
  request.caption = kSaveInvoicePdfCaption;
  request.directory = app.services().printer.PdfFolder();
  request.file_name = "Invoice - " + invoice_no + ".pdf";
  request.filters = {{"PDF Files (*.pdf)", "*.pdf"}};
  request.default_suffix = "pdf";
  const std::optional<std::string> path =
      app.services().dialogs.SaveFile(request);
  if (!path) return {};
  std::string pdf;
  std::string error;
  if (!RenderPdf(JobTitle(PrintMode::kInvoice, invoice_no), draw, &pdf,
                 &error)) {
    platform::ShowError(app.services().messages, kSaveInvoicePdfCaption, error);
    return {};
  }
  std::ofstream out(*path, std::ios::binary | std::ios::trunc);
  out.write(pdf.data(), static_cast<std::streamsize>(pdf.size()));
  out.close();
  if (!out) {
    platform::ShowError(app.services().messages, kSaveInvoicePdfCaption,
                        "The file " + *path + " could not be written.");
    return {};
  }
  app.services().desktop.OfferSavedFile(
      {kSavedAsPdfCaption,
       "Invoice " + invoice_no + " was saved as the PDF file " + *path + ".",
       *path, false});
  return "Invoice " + invoice_no + " saved as PDF: " + *path;
}

}  // namespace

void ViewInvoice(company::App& app, const std::string& invoice_no,
                 QWidget* parent, const InvoiceFiles& files) {
  platform::Messages& messages = app.services().messages;
  InvoiceImage image;
  switch (BuildInvoiceImage(app, invoice_no, &image, files)) {
    case ImageRead::kOk:
      break;
    case ImageRead::kNotFound:
      platform::ShowError(messages, kPrintErrorCaption,
                          "Invoice " + invoice_no + " was not found.");
      return;
    case ImageRead::kFileFailed:
      platform::ShowError(messages, kPrintErrorCaption, FileFailedText(image));
      return;
  }
  if (image.memo_missing) {
    platform::Inform(messages, kMemoInvoiceTitle, kMemoReadError);
  }
  const std::string number = company::Trim(invoice_no);
  const auto draw = [&app, &image](platform::Canvas& canvas) {
    DrawInvoice(canvas, app.CurrentCompany, image, PrintMode::kInvoice,
                app.data_dir());
  };
  Trtedit window(kViewInvoiceCaptionPrefix + number, draw, parent);
  window.SetCommands(
      [&] {
        window.ShowStatus(OutputAs(app, company::OutputMode::kPrinter, [&] {
          return PrintInvoiceCommand(app, number, {}, files);
        }));
      },
      [&] { window.ShowStatus(SaveInvoicePdf(app, number, draw)); },
      [&] {
        window.ShowStatus(OutputAs(app, company::OutputMode::kEMail, [&] {
          return PrintInvoiceCommand(app, number, {}, files);
        }));
      });
  app.services().windows.RunModal(kViewInvoiceName,
                                  [&window] { return window.exec(); });
}

std::string PrintInvoice(company::App& app, const std::string& invoice_no,
                         QWidget* parent, const InvoiceFiles& files) {
  WaitCursor wait;
  return PrintInvoiceCommand(
      app, invoice_no,
      [&] {
        QGuiApplication::restoreOverrideCursor();
        ViewInvoice(app, invoice_no, parent, files);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
      },
      files);
}

std::string BatchPrintInvoices(company::App& app, QWidget* parent,
                               const InvoiceFiles& files) {
  return BatchPrintCommand(
      app,
      [&](const BatchDialogText& text) {
        return TInvBatch::Ask(app, text, parent);
      },
      files);
}

struct InvoiceOutputSupport::Impl {
  company::App* app = nullptr;
  std::unique_ptr<mail::MailTransport> transport;
};

InvoiceOutputSupport::InvoiceOutputSupport(company::App& app)
    : impl_(new Impl) {
  impl_->app = &app;
  impl_->transport =
      mail::MakeCurlMailTransport(app.PathOf(mail::kMailSettingsFileName));
  app.mail_transport = impl_->transport.get();
  app.make_pdf = &RenderPdf;
  app.edit_mail_settings = [&app] {
    TMailSettings dialog(app, QApplication::activeModalWidget());
    dialog.Execute();
  };
}

InvoiceOutputSupport::~InvoiceOutputSupport() {
  company::App& app = *impl_->app;
  if (app.mail_transport == impl_->transport.get()) app.mail_transport = nullptr;
  app.make_pdf = nullptr;
  app.edit_mail_settings = nullptr;
  delete impl_;
}

}  // namespace tallybook::output::ui
