// The interest command of tallybook-admin, beside the invoice and statement
// commands in tallybook_invoice_admin (its report is drawn as a PDF file
// through Qt):
//
//   interest DIR [--over 30|60|90] [--rate PCT] [--minimum AMT] [--flat AMT]
//                [--date DATE] [--printed] [--terms TEXT] [--comment TEXT]
//                [--note TEXT] [--generate] [--report-pdf FILE]
//       runs the interest wizard on the current company: scans the
//       customers and prints the grid as tab-separated lines (the heading
//       row, one row per customer, the "Totals:" row last); with --generate
//       writes the interest invoices first (the grid then has the column
//       "Invoice#"). --over 30, 60 and 90 name the first, second and third
//       aging choice (the company's own limits name them too); --flat
//       charges a flat fee instead of the rate; --date is the invoice date
//       in the company's date order (today when not given). Options not
//       given take the company's kept choices and the wizard's defaults.
//       --report-pdf writes the Interest Charges Report of the grid. Exit 1
//       when nothing is found, a setting is refused, or not every invoice
//       was created.
#ifndef TALLYBOOK_APP_INTEREST_ADMIN_H_
#define TALLYBOOK_APP_INTEREST_ADMIN_H_

#include <vector>

#include "app/admin_commands.h"

namespace tallybook::admin {

const std::vector<AdminCommand>& InterestAdminCommands();

int RunInterest(const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_INTEREST_ADMIN_H_
