// The report command of tallybook-admin, beside the statement commands in
// tallybook_invoice_admin (it draws PDF files through Qt):
//
//   report DIR NAME [--from DATE] [--to DATE] [--sort N] [--no-subtotals]
//          [--csv] [--pdf FILE]
//       builds one report of the current company as the report viewer
//       shows it and prints it in the saved-text layout, or as CSV, or
//       writes the printed report as the PDF file FILE. NAME is
//       invoice-register, payment-register, accounts-receivable, sales,
//       key-code, tax or repeat-billing. Dates are typed in the company's
//       order (month to date when not given) and ignored by the reports
//       without a range; --sort N sorts on column N (counted from 1, 2 to
//       4, anything else 3) instead of the first; sub-totals are on unless
//       --no-subtotals. The reports' refusals and "no records" messages go
//       to standard error with exit 1.
#ifndef TALLYBOOK_APP_REPORT_ADMIN_H_
#define TALLYBOOK_APP_REPORT_ADMIN_H_

#include <vector>

#include "app/admin_commands.h"

namespace tallybook::admin {

const std::vector<AdminCommand>& ReportAdminCommands();

int RunReport(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_REPORT_ADMIN_H_
