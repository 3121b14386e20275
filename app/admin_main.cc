// tallybook-admin: looks after a file block's data files from the command
// line. See admin_commands.h for the command table.
#include <iostream>
#include <string>
#include <vector>

#include "app/admin_commands.h"
#ifdef TALLYBOOK_INVOICE_ADMIN
#include "app/interest_admin.h"
#include "app/invoice_admin.h"
#include "app/label_admin.h"
#include "app/letter_admin.h"
#include "app/report_admin.h"
#include "app/statement_admin.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<tallybook::admin::AdminCommand> extra;
#ifdef TALLYBOOK_INVOICE_ADMIN
  for (const auto& commands : {tallybook::admin::InvoiceAdminCommands(),
                               tallybook::admin::StatementAdminCommands(),
                               tallybook::admin::InterestAdminCommands(),
                               tallybook::admin::LetterAdminCommands(),
                               tallybook::admin::ReportAdminCommands(),
                               tallybook::admin::LabelAdminCommands()}) {
    extra.insert(extra.end(), commands.begin(), commands.end());
  }
#endif
  int code = tallybook::admin::RunAdmin(args, std::cout, std::cerr, extra);
  std::cout.flush();
  return std::cout.good() ? code : tallybook::admin::kExitFailed;
}
