#include "output/invoice_output.h"

#include <algorithm>
#include <filesystem>

#include "company/format.h"
#include "company/text.h"
#include "mail/mail_settings.h"
#include "mail/mail_transport.h"
#include "output/invoice_email.h"
#include "output/invoice_files.h"
#include "output/invoice_print.h"
#include "output/invoice_view_model.h"

namespace tallybook::output {

using company::App;
using company::Trim;

namespace {

constexpr char kPrinterModeCaption[] = "Printer Mode";

bool EmailMode(const App& app) {
  return app.output_mode == company::OutputMode::kEMail;
}

// The manager's status text, and where the job went: a printer's queue, or
// a PDF file (never called a print queue).
std::string SentToPrinterStatus(const std::string& invoice_no,
                                const platform::PrintJobStatus& status) {
  if (status.to_file) {
    return "Invoice " + invoice_no + " saved as PDF: " + status.destination;
  }
  return "Invoice " + invoice_no + " sent to print queue. " +
         platform::PrintedWhereText(status);
}

std::string NotEmailedStatus(const std::string& invoice_no) {
  return "Invoice " + invoice_no + " was not sent by e-mail.";
}

bool IsPrintableType(const std::string& type) {
  return type == "Z" || type == "I" || type == "M" || type == "G";
}

// The e-mail of one invoice; marks it printed when the server accepted it.
OutputResult EmailInvoice(App& app, const InvoiceImage& image,
                          const InvoiceFiles& files) {
  OutputResult result;
  result.emailed = true;
  const InvoiceEmail mail = ComposeInvoiceEmail(app.CurrentCompany, image);
  if (!mail.send) {
    result.skipped = true;
    result.status = NotEmailedStatus(image.invoice_no);
    return result;
  }
  mail::MailTransport* transport = app.mail_transport;
  if (transport == nullptr || !transport->Connected()) {
    result.error = kNotOnline;
    result.status = NotEmailedStatus(image.invoice_no);
    platform::Inform(app.services().messages, kEmailModeCaption, kNotOnline);
    return result;
  }
  std::string pdf_failure;
  const mail::OutgoingMessage message = MakeOutgoingMail(
      app, mail.from, mail.to, mail.subject, mail.lines,
      JobTitle(PrintMode::kInvoice, image.invoice_no),
      [&](platform::Canvas& canvas) {
        DrawInvoice(canvas, app.CurrentCompany, image, PrintMode::kInvoice,
                    app.data_dir());
      },
      &pdf_failure);
  if (!pdf_failure.empty()) {
    platform::Inform(app.services().messages, kEmailInvoiceCaption,
                     PdfNotMadeText(image.invoice_no, pdf_failure));
  }
  const mail::SendResult sent = transport->Send(message);
  result.server_reply = sent.server_reply;
  if (!sent.ok) {
    result.error = sent.error;
    result.status = NotEmailedStatus(image.invoice_no);
    platform::ShowError(app.services().messages, kMailErrorCaption,
                        "Invoice " + image.invoice_no +
                            " was not sent.\n" + sent.error);
    return result;
  }
  if (mail.bad_address) {
    // It reached only the company's own mailbox: the customer has not had
    // it, so it is not marked as sent.
    result.bad_address = true;
    result.error = BadAddressText(image.invoice_no, mail.to);
    result.status = NotEmailedStatus(image.invoice_no);
    platform::Inform(app.services().messages, kEmailInvoiceCaption,
                     result.error);
    return result;
  }
  if (image.printed_flag != "Y") {
    MarkInvoicePrinted(app, image.invoice_no, files);
  }
  result.done = true;
  result.status = "Invoice " + image.invoice_no + " sent by e-mail.";
  return result;
}

// One printed copy; marks the invoice printed when the job ended well.
bool PrintCopy(App& app, const InvoiceImage& image, PrintMode mode,
               const InvoiceFiles& files, OutputResult* result) {
  const platform::PrintJobStatus status =
      PrintInvoiceCopy(app.services().printer, app.CurrentCompany, image,
                       mode, app.data_dir());
  if (!status.ok) {
    result->done = false;
    result->error = status.error;
    result->status = "Invoice " + image.invoice_no + " was not printed.";
    platform::ShowError(app.services().messages, kPrintErrorCaption,
                        status.error);
    return false;
  }
  if (image.printed_flag != "Y") {
    MarkInvoicePrinted(app, image.invoice_no, files);
  }
  if (mode == PrintMode::kInvoice) {
    result->status = SentToPrinterStatus(image.invoice_no, status);
    if (status.to_file) result->pdf_file = status.destination;
  }
  return true;
}

}  // namespace

std::string BadAddressText(const std::string& invoice_no,
                           const std::string& own_address) {
  return "The customer's e-mail address is missing or too short, so invoice " +
         invoice_no + " went only to your own address " + own_address +
         " with the subject \"" + kBadAddressSubject +
         "\". It is not marked as sent.";
}

std::string PdfNotMadeText(const std::string& invoice_no,
                           const std::string& reason) {
  return "The PDF of invoice " + invoice_no + " could not be made" +
         (reason.empty() ? std::string() : " (" + reason + ")") +
         ". The invoice text is sent without it.";
}

bool IsDepositType(const std::string& type_code) {
  return type_code == "D" || type_code == "T";
}

mail::OutgoingMessage MakeOutgoingMail(
    App& app, const std::string& from, const std::string& to,
    const std::string& subject, const std::vector<std::string>& lines,
    const std::string& pdf_title,
    const std::function<void(platform::Canvas&)>& draw,
    std::string* pdf_failure) {
  mail::OutgoingMessage message;
  message.from = company::Cp1252ToUtf8(from);
  message.to = company::Cp1252ToUtf8(to);
  message.subject = company::Cp1252ToUtf8(subject);
  for (const std::string& line : lines) {
    message.body_lines.push_back(company::Cp1252ToUtf8(line));
  }
  mail::MailSettings settings;
  mail::ReadMailSettings(app.PathOf(mail::kMailSettingsFileName), &settings);
  if (settings.attach_pdf && app.make_pdf) {
    std::string pdf, error;
    if (app.make_pdf(pdf_title, draw, &pdf, &error)) {
      message.attachments.push_back({company::Cp1252ToUtf8(pdf_title) + ".pdf",
                                     "application/pdf", std::move(pdf)});
    } else if (pdf_failure != nullptr) {
      *pdf_failure = error.empty() ? std::string("no reason given") : error;
    }
  }
  return message;
}

bool CheckEmailReadiness(App& app) {
  platform::Messages& messages = app.services().messages;
  const company::CompanyRecord& co = app.CurrentCompany;
  if (Trim(co.ReplyEMailAddress.View()).size() <= 1) {
    platform::Inform(messages, kNoReplyAddressCaption, kNoReplyAddressText);
    return false;
  }
  const std::string server = Trim(co.SmtpServer.View());
  if (server.size() <= 1) {
    platform::Inform(messages, kNoServerCaption, kNoServerText);
    return false;
  }
  mail::MailTransport* transport = app.mail_transport;
  if (transport == nullptr) {
    platform::Inform(messages, kEmailModeCaption, kNotOnline);
    return false;
  }
  if (!transport->Connected() || transport->Server() != server) {
    platform::ProgressWindow& progress = app.services().progress;
    progress.SetCaption(kEmailModeCaption);
    progress.ClearLines();
    progress.SetLine(0, kCheckingServer);
    progress.Show();
    progress.ProcessPendingInput();
    transport->Open(server);
    progress.Hide();
  }
  if (!transport->Connected()) {
    std::string text = kNotOnline;
    if (!transport->LastError().empty()) text += "\n" + transport->LastError();
    platform::Inform(messages, kEmailModeCaption, text);
    return false;
  }
  return true;
}

OutputResult OutputInvoiceNow(App& app, const std::string& invoice_no,
                              bool batch, const InvoiceFiles& files) {
  OutputResult result;
  platform::Messages& messages = app.services().messages;
  InvoiceImage image;
  switch (BuildInvoiceImage(app, invoice_no, &image, files)) {
    case ImageRead::kOk:
      break;
    case ImageRead::kNotFound:
      result.error = "Invoice " + Trim(invoice_no) + " was not found.";
      platform::ShowError(messages, kPrintErrorCaption, result.error);
      result.status = result.error;
      return result;
    case ImageRead::kFileFailed:
      result.error = FileFailedText(image);
      platform::ShowError(messages, kPrintErrorCaption, result.error);
      result.status = result.error;
      return result;
  }
  if (IsDepositType(image.type_code)) {
    result.error = "Invoice " + image.invoice_no + " is a deposit. " +
                   kDepositNotOutputText;
    result.status = result.error;
    platform::Inform(messages, kDepositCaption, result.error);
    return result;
  }
  if (image.memo_missing) {
    platform::Inform(messages, kMemoInvoiceTitle, kMemoReadError);
  }

  const company::CompanyRecord& co = app.CurrentCompany;
  if (batch && company::IsYes(co.LabelOnBatchPrint.View())) {
    app.label_queue.push_back(company::LabelQueueRow{
        image.account_no, image.bill_to_name, image.mail_list_code,
        image.customer_type});
    app.label_queue_pending = true;
  }
  const bool email = EmailMode(app);
  if (email) {
    result = EmailInvoice(app, image, files);
    if (!result.done || batch) return result;
  } else {
    result.done = true;
    if (!PrintCopy(app, image, PrintMode::kInvoice, files, &result)) {
      return result;
    }
  }
  const std::string status = result.status;
  if (co.PrintPackingSlip != 0) {
    if (!PrintCopy(app, image, PrintMode::kPackingSlip, files, &result)) {
      return result;
    }
  }
  if (co.PrintFileCopy != 0) {
    const int copies =
        std::clamp(company::WholeNumberOr(Trim(co.Copies.View()), 1), 1, 5);
    for (int i = 0; i < copies; ++i) {
      if (!PrintCopy(app, image, PrintMode::kFileCopy, files, &result)) {
        return result;
      }
    }
  }
  result.status = status;
  return result;
}

std::string PrintInvoiceCommand(App& app, const std::string& invoice_no,
                                const std::function<void()>& show_view,
                                const InvoiceFiles& files) {
  app.services().progress.Hide();
  {
    InvoiceImage image;
    if (BuildInvoiceImage(app, invoice_no, &image, files) == ImageRead::kOk &&
        IsDepositType(image.type_code)) {
      platform::Inform(app.services().messages, kDepositCaption, kDepositText);
      if (show_view) show_view();
      return {};
    }
  }
  const bool email = EmailMode(app);
  if (email && !CheckEmailReadiness(app)) return {};
  const OutputResult result = OutputInvoiceNow(app, invoice_no, false, files);
  if (!email && result.done && !result.pdf_file.empty()) {
    app.services().desktop.OfferSavedFile(
        {kSavedAsPdfCaption,
         "Invoice " + Trim(invoice_no) + " was saved as the PDF file " +
             result.pdf_file + ".",
         result.pdf_file, false});
  }
  if (email) {
    if (result.skipped) {
      platform::Inform(app.services().messages, kEmailInvoiceCaption,
                       kNoCustomerAddressText);
    } else if (result.done) {
      platform::Inform(app.services().messages, kEmailInvoiceCaption,
                       kInvoiceSentText);
    }
  }
  return result.status;
}

std::vector<std::string> CollectUnprintedInvoices(App& app,
                                                  const InvoiceFiles& files) {
  std::vector<std::string> numbers;
  OpenInvoiceFiles open(app, files);
  company::TransactionAccess* transactions = open.transactions();
  if (transactions == nullptr) return numbers;
  store::Engine& engine = app.engine();
  const int32_t slots = engine.RecordSlotCount(transactions->handle());
  company::TransactionRecord record;
  for (int32_t rec_no = 1; rec_no <= slots; ++rec_no) {
    if (!engine.GetRecord(transactions->handle(), rec_no, &record)) continue;
    if (record.DeleteMark != 0) continue;
    if (Trim(record.PrintedFlag.View()) == "Y") continue;
    if (!IsPrintableType(Trim(record.TypeCode.View()))) continue;
    numbers.push_back(Trim(record.InvoiceNo.View()));
  }
  return numbers;
}

BatchDialogText MakeBatchDialogText(const App& app, int count) {
  BatchDialogText text;
  text.count = count;
  const company::CompanyRecord& co = app.CurrentCompany;
  if (EmailMode(app)) {
    text.count_line =
        "There are " + std::to_string(count) + " invoice(s) to e-mail.";
    text.mode_line = "* E-Mail Mode *";
    text.detail_line = "(No packing slips or copies.)";
    text.button = "&E-Mail";
  } else {
    text.count_line =
        "There are " + std::to_string(count) + " invoice(s) to print.";
    text.mode_line = co.PrintPackingSlip != 0 ? "Packing Slips will be printed."
                                              : "Packing Slips are turned off.";
    text.detail_line = co.PrintFileCopy != 0 ? "File Copies will be printed."
                                             : "File Copies are turned off.";
    text.button = "&Print";
  }
  return text;
}

std::string BatchPrintCommand(App& app, const BatchDialog& dialog,
                              const InvoiceFiles& files) {
  platform::Messages& messages = app.services().messages;
  const std::vector<std::string> invoices =
      CollectUnprintedInvoices(app, files);
  if (invoices.empty()) {
    platform::Inform(messages, kBatchPrintCaption, kNoInvoicesText);
    return {};
  }
  const int count = static_cast<int>(invoices.size());
  const std::optional<int> entered =
      dialog(MakeBatchDialogText(app, count));
  if (!entered) return {};
  const int n = std::clamp(*entered, 0, count);
  const bool email = EmailMode(app);
  if (email && !CheckEmailReadiness(app)) return {};

  int sent = 0;
  std::string pdf_file;
  {
    company::BusyGuard busy(app);
    platform::ProgressWindow& progress = app.services().progress;
    progress.SetCaption(email ? kEmailModeCaption : kPrinterModeCaption);
    progress.ClearLines();
    progress.SetLine(0, kWorking);
    progress.SetCancellable(true);
    progress.Show();
    for (int i = 0; i < n; ++i) {
      progress.SetLine(1, std::string(email ? "E-Mailing Invoice "
                                            : "Printing Invoice ") +
                              invoices[i] + " ...");
      progress.ProcessPendingInput();
      if (progress.CancelRequested()) break;
      const OutputResult result = OutputInvoiceNow(app, invoices[i], true, files);
      if (result.done) ++sent;
      if (!result.pdf_file.empty()) pdf_file = result.pdf_file;
    }
    progress.SetCancellable(false);
    progress.Hide();
  }
  std::string status = "Batch Print complete. " + std::to_string(sent);
  if (email) {
    status += " invoices sent to e-mail.";
  } else if (pdf_file.empty()) {
    status += " invoices sent to spooler.";
  } else {
    // Written as PDF files: the folder is named, and offered.
    const std::string folder =
        std::filesystem::path(pdf_file).parent_path().string();
    status += " invoices saved as PDF files in " + folder + ".";
    app.services().desktop.OfferSavedFile(
        {kBatchPrintCaption,
         std::to_string(sent) + " invoice(s) were saved as PDF files in " +
             folder + ".",
         folder, true});
  }
  if (email) {
    if (app.mail_transport != nullptr) app.mail_transport->Close();
    platform::Inform(messages, kBatchEmailCaption, kBatchEmailDone);
  }
  return status;
}

bool MarkInvoicePrinted(App& app, const std::string& invoice_no,
                        const InvoiceFiles& files) {
  OpenInvoiceFiles open(app, files);
  company::TransactionAccess* transactions = open.transactions();
  if (transactions == nullptr) return false;
  store::Engine& engine = app.engine();
  std::vector<int32_t> refs;
  if (!ForEachKeyEqual(engine, transactions->handle(), 1,
                       InvoiceKey(invoice_no), [&](int32_t ref) {
                         refs.push_back(ref);
                         return true;
                       })) {
    return false;
  }
  // The caller's current record is put back afterwards.
  const company::TransactionRecord kept = transactions->rec();
  bool ok = true;
  for (int32_t ref : refs) {
    company::TransactionRecord before;
    if (!engine.GetRecord(transactions->handle(), ref, &before)) {
      ok = false;
      continue;
    }
    if (!IsPrintableType(Trim(before.TypeCode.View()))) continue;
    company::TransactionRecord after = before;
    after.PrintedFlag.Set("Y");
    after.EMailNote.Set(app.TodayText);
    transactions->SetRecord(after);
    if (!transactions->ModifyWithKeys(ref, before)) ok = false;
  }
  transactions->SetRecord(kept);
  return ok;
}

}  // namespace tallybook::output
