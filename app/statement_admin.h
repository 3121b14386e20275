// The statement commands of tallybook-admin, beside the invoice commands in
// tallybook_invoice_admin (they draw PDF files through Qt):
//
//   statement DIR CUSTOMER [--unpaid] [--pdf FILE]
//       prints the e-mailed statement text of one customer of the current
//       company (all activity unless --unpaid), or writes the printed
//       statement as the PDF file FILE. Exit 1 when the customer does not
//       exist or has no activity.
//   email-statements DIR [--select all|30|60|90] [--unpaid]
//       the batch run in e-mail mode without pauses: the customers with a
//       non-zero balance (or an amount over 30, 60 or 90 days), one line per
//       statement (customer number, recipient, the server's answer, tab
//       separated) and a last line with the counts. The last-statement
//       date is set when every statement was accepted; exit 1 when any was
//       not sent.
#ifndef TALLYBOOK_APP_STATEMENT_ADMIN_H_
#define TALLYBOOK_APP_STATEMENT_ADMIN_H_

#include <vector>

#include "app/admin_commands.h"

namespace tallybook::admin {

const std::vector<AdminCommand>& StatementAdminCommands();

int RunStatement(const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err);
int RunEmailStatements(const std::vector<std::string>& args,
                       std::ostream& out, std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_STATEMENT_ADMIN_H_
