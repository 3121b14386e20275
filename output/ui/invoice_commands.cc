#include "output/ui/invoice_commands.h"

#include <QApplication>
#include <QGuiApplication>

#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "output/invoice_output.h"
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
  Trtedit window(MakeInvoiceViewModel(app.CurrentCompany, image), parent);
  app.services().windows.RunModal("Trtedit", [&window] { return window.exec(); });
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
