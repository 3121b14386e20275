// Invoice output: printing or e-mailing one invoice, the e-mail readiness
// check, marking an invoice printed, and batch printing. This is what the
// invoice manager's Print and Batch Print commands run; the View command
// and the windows live in output/ui/invoice_commands.h.
//
// Which of printer and e-mail is used follows App::output_mode. Printing
// goes through the platform's printer (a real printer, or a PDF file when
// none is installed); e-mail through App::mail_transport.
//
// An invoice is marked printed (PrintedFlag "Y" and today's date in the
// e-mail note of every record of types Z, I, M and G) only when its print
// job ended without error or the mail server accepted the message for the
// customer (one that went only to the company's own address because the
// customer's was missing stays unmarked).
//
// Every call takes the invoice files its caller holds open (InvoiceFiles,
// invoice_image.h); the invoice manager passes its own, others pass none.
#ifndef TALLYBOOK_OUTPUT_INVOICE_OUTPUT_H_
#define TALLYBOOK_OUTPUT_INVOICE_OUTPUT_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "company/app.h"
#include "output/invoice_image.h"

namespace tallybook::output {

// ---- Texts of invoice output.
inline constexpr char kEmailModeCaption[] = "E-Mail Mode";
inline constexpr char kNoReplyAddressCaption[] = "Your Company E-Mail Address";
inline constexpr char kNoReplyAddressText[] =
    "You need to enter your company e-mail address in your company setup so "
    "your customers have a return e-mail address for you.";
inline constexpr char kNoServerCaption[] = "Your Company E-Mail Host Server";
inline constexpr char kNoServerText[] =
    "You need to enter your company Host Mail Server. This is who will be "
    "used to e-mail your invoices.";
inline constexpr char kCheckingServer[] = "Checking E-Mail Server...";
inline constexpr char kNotOnline[] = "Not Online";
inline constexpr char kDepositCaption[] = "Deposit Transaction";
inline constexpr char kDepositText[] =
    "This record is a deposit. Unable to print. I am going to use the view "
    "option instead.";
// Outputting a deposit without the Print command's view (e-mail-invoice).
inline constexpr char kDepositNotOutputText[] =
    "Deposits are not printed or e-mailed.";
inline constexpr char kEmailInvoiceCaption[] = "E-Mail Invoice";
inline constexpr char kNoCustomerAddressText[] =
    "This customer has no e-mail address. Invoice not sent by e-mail.";
inline constexpr char kInvoiceSentText[] = "Invoice sent by e-mail.";
inline constexpr char kMailErrorCaption[] = "E-Mail Error";
inline constexpr char kPrintErrorCaption[] = "Print Invoice";
inline constexpr char kBatchPrintCaption[] = "Batch Print";
inline constexpr char kNoInvoicesText[] = "There are no invoices to print.";
inline constexpr char kBatchEmailCaption[] = "Batch E-Mail";
inline constexpr char kBatchEmailDone[] = "E-mail operation complete.";
inline constexpr char kWorking[] = "Working...";

// The three renderings of the printed invoice.
enum class PrintMode { kInvoice, kPackingSlip, kFileCopy };
// "INV", "PSL", "FCP".
const char* ModeCode(PrintMode mode);
// "Invoice - ", "Packing Slip - " or "File Copy - " + the invoice number.
std::string JobTitle(PrintMode mode, const std::string& invoice_no);

// How outputting one invoice ended.
struct OutputResult {
  bool done = false;    // every job printed, or the message accepted
  bool emailed = false; // went by e-mail (else to the printer)
  bool skipped = false; // e-mail only: the customer has no address and
                        // customers without one are left out
  bool bad_address = false;  // e-mail only: it went to the company's own
                             // address alone (BadAddressText); not done
  // For status panel 1 of the invoice manager: "Invoice 1001 sent by
  // e-mail.", or "Invoice 1001 sent to print queue. " followed by where the
  // job went (platform::PrintedWhereText: "Sent to printer: NAME" or
  // "Saved as PDF: PATH"); for a failure "Invoice 1001 was not sent by
  // e-mail." / "Invoice 1001 was not printed.".
  std::string status;
  // Why it failed, already shown to the user; empty when done.
  std::string error;
  // E-mail: the mail server's last answer ("250 2.0.0 Ok: queued").
  std::string server_reply;
  // Printing without a printer: the PDF file the invoice was written to.
  std::string pdf_file;
};

// Told when an invoice went only to the company's own address under the
// bad-address subject: it is then not marked as sent.
std::string BadAddressText(const std::string& invoice_no,
                           const std::string& own_address);
// Told when the PDF attachment could not be made; the text still goes.
std::string PdfNotMadeText(const std::string& invoice_no,
                           const std::string& reason);
// Deposits ("D") and deposits taken ("T") are not printed or e-mailed.
bool IsDepositType(const std::string& type_code);

// E-mail readiness: the company reply address and mail server are set
// (else their messages), and the mail connection is open, opening it under
// the "Checking E-Mail Server..." status window when it is not ("Not
// Online" and false when it cannot be opened; the transport's reason is
// added below that text). False without a transport.
bool CheckEmailReadiness(company::App& app);

// Outputs the invoice now: prints it (mode "INV", then the packing slip
// and file copies the company options ask for) or e-mails it, by
// app.output_mode; marks it printed as above. In a batch run the customer
// is appended to the label queue when LabelOnBatchPrint is "Y", and no
// packing slip or copy is printed in e-mail mode. Failures (invoice not
// found, a deposit, print job or server refusal) are shown in a message box and
// leave the invoice unmarked. For e-mail, CheckEmailReadiness must have
// succeeded first.
OutputResult OutputInvoiceNow(company::App& app, const std::string& invoice_no,
                              bool batch, const InvoiceFiles& files = {});

// The invoice manager's Print command over invoice_no. A deposit (type D
// or T) is refused with kDepositText and shown through show_view instead.
// In e-mail mode the readiness check runs first (nothing happens when it
// fails); then the invoice is output and, for e-mail, the box
// kInvoiceSentText (or kNoCustomerAddressText) is shown. Returns the text
// for status panel 1 (empty when nothing was done).
std::string PrintInvoiceCommand(company::App& app,
                                const std::string& invoice_no,
                                const std::function<void()>& show_view,
                                const InvoiceFiles& files = {});

// Invoice numbers of every transaction record, in record order, whose
// printed flag is not "Y" and whose type is G, I, M or Z (one entry per
// such record). Empty when the file cannot be read.
std::vector<std::string> CollectUnprintedInvoices(
    company::App& app, const InvoiceFiles& files = {});

// What the batch dialog (TInvBatch) shows.
struct BatchDialogText {
  std::string count_line;    // "There are 3 invoice(s) to print."
  std::string mode_line;     // "* E-Mail Mode *" or the packing slip line
  std::string detail_line;   // "(No packing slips or copies.)" or copies
  std::string button;        // "&Print" or "&E-Mail"
  int count = 0;             // the number field starts here
};
BatchDialogText MakeBatchDialogText(const company::App& app, int count);

// The batch dialog: returns the number the user entered, or nullopt when
// cancelled.
using BatchDialog = std::function<std::optional<int>(const BatchDialogText&)>;

// The invoice manager's Batch Print command: collects the unprinted
// invoices ("There are no invoices to print." when none), asks the dialog,
// then (in e-mail mode after the readiness check) outputs the first n
// (at most the count) under the busy guard and the progress window.
// Returns the text for status panel 1: "Batch Print complete. " + n +
// " invoices sent to spooler." / " invoices sent to e-mail." (n: those
// actually printed or accepted), followed by " PDF files are in FOLDER."
// when they were written as files; empty when nothing was output. In e-mail mode the connection is closed afterwards
// and "E-mail operation complete." shown.
std::string BatchPrintCommand(company::App& app, const BatchDialog& dialog,
                              const InvoiceFiles& files = {});

// Marks every record of the invoice of types Z, I, M and G printed, with
// today's date (App::TodayText) in the e-mail note. True when all were
// rewritten.
bool MarkInvoicePrinted(company::App& app, const std::string& invoice_no,
                        const InvoiceFiles& files = {});

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_INVOICE_OUTPUT_H_
