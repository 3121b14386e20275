// The form letter command of tallybook-admin, beside the invoice and
// statement commands in tallybook_invoice_admin (it draws PDF files
// through Qt):
//
//   letters DIR LETTER LIST.LST [--out FOLDER]
//       merges the letter (".RTF" or ".TXT") for the customers of the saved
//       record list as the letter window's merge print does, and writes one
//       PDF per customer, FOLDER/CUSTOMER.pdf (default: the working folder),
//       printing the path of each. Queued customers no longer on file are
//       named and get no letter. Exit 1 when the letter or the list cannot
//       be read, the letter has no text, or a PDF could not be written.
#ifndef TALLYBOOK_APP_LETTER_ADMIN_H_
#define TALLYBOOK_APP_LETTER_ADMIN_H_

#include <string>
#include <vector>

#include "app/admin_commands.h"

namespace tallybook::admin {

const std::vector<AdminCommand>& LetterAdminCommands();

int RunLetters(const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err);

// The PDF file name of a customer's letter: the customer number (UTF-8)
// with characters a file name cannot hold replaced by '_'.
std::string LetterPdfName(const std::string& customer_no);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_LETTER_ADMIN_H_
