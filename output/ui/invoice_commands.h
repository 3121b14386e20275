// The invoice manager's View, Print and Batch Print commands, with their
// windows: the View Invoice print preview (Trtedit, invoice_view.h) and the batch
// dialog (TInvBatch, inv_batch.h). Each returns the text for status panel
// 1 of the manager (empty when nothing was done). `files` are the invoice
// files the caller holds open (the manager's own), see InvoiceFiles.
#ifndef TALLYBOOK_OUTPUT_UI_INVOICE_COMMANDS_H_
#define TALLYBOOK_OUTPUT_UI_INVOICE_COMMANDS_H_

#include <QWidget>
#include <string>

#include "company/app.h"
#include "output/invoice_image.h"

namespace tallybook::output::ui {

// View: builds the invoice's print image and shows its printed pages in
// the print preview Trtedit (window name "Trtedit" through
// app.services().windows), whose Print, Save as PDF and E-mail buttons
// print it, save the same drawing as a PDF file the user names, or e-mail
// it, whatever the main window's output mode. Shows "Error
// reading memo data." for a memo invoice whose memo is missing and the
// store's failure when the invoice cannot be read.
void ViewInvoice(company::App& app, const std::string& invoice_no,
                 QWidget* parent = nullptr, const InvoiceFiles& files = {});

// Print: output::PrintInvoiceCommand with the View window for deposits.
std::string PrintInvoice(company::App& app, const std::string& invoice_no,
                         QWidget* parent = nullptr,
                         const InvoiceFiles& files = {});

// Batch Print: output::BatchPrintCommand with TInvBatch as its dialog
// (window name "TInvBatch").
std::string BatchPrintInvoices(company::App& app, QWidget* parent = nullptr,
                               const InvoiceFiles& files = {});

// Installs into app what invoice output needs from the Qt side: the
// libcurl mail transport over the data directory's mail settings file and
// the PDF maker for e-mail attachments. Call once, after the App is made;
// the App must not outlive the returned objects, so the program keeps
// them (InvoiceOutputSupport) for the whole run.
class InvoiceOutputSupport {
 public:
  explicit InvoiceOutputSupport(company::App& app);
  ~InvoiceOutputSupport();
  InvoiceOutputSupport(const InvoiceOutputSupport&) = delete;
  InvoiceOutputSupport& operator=(const InvoiceOutputSupport&) = delete;

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_INVOICE_COMMANDS_H_
