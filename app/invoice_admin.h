// The invoice commands of tallybook-admin, which need Qt to draw PDF files
// and so live outside the Qt-free tallybook_admin library, in
// tallybook_invoice_admin, linked only into the tallybook-admin program:
//
//   invoice-pdf DIR NUMBER... [--out FOLDER]
//       writes each invoice of the current company as FOLDER/NUMBER.pdf
//       (default: the working folder), drawn as the printed invoice. An
//       export, not a print: nothing is marked.
//   email-invoice DIR NUMBER
//       sends one invoice as the program's e-mail output does (readiness
//       check, text, PDF attachment when the mail settings ask for it,
//       marked printed only when the server accepted it) and prints the
//       server's answer; exit 1 when it was not sent.
//
// A QApplication on the offscreen platform is made when a command runs and
// none exists.
#ifndef TALLYBOOK_APP_INVOICE_ADMIN_H_
#define TALLYBOOK_APP_INVOICE_ADMIN_H_

#include <memory>
#include <string>
#include <vector>

#include "app/admin_commands.h"

class QApplication;

namespace tallybook::admin {

// Makes the QApplication PDF drawing needs (on the offscreen platform, Qt's
// notices silenced) for its lifetime, unless one exists.
class OffscreenApplication {
 public:
  OffscreenApplication();
  ~OffscreenApplication();
  OffscreenApplication(const OffscreenApplication&) = delete;
  OffscreenApplication& operator=(const OffscreenApplication&) = delete;

 private:
  std::unique_ptr<QApplication> app_;
};

// Writes pdf to path through a file beside it that is then renamed, so a
// failed write leaves no stub; false and the reason in *error.
bool WritePdfFile(const std::string& path, const std::string& pdf,
                  std::string* error);

const std::vector<AdminCommand>& InvoiceAdminCommands();

int RunInvoicePdf(const std::vector<std::string>& args, std::ostream& out,
                  std::ostream& err);
int RunEmailInvoice(const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_INVOICE_ADMIN_H_
