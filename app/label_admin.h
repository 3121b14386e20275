// The label queue commands of tallybook-admin, beside the invoice commands
// in tallybook_invoice_admin (labels are drawn as PDF through Qt):
//
//   queue DIR (--all | --aging 1|2|3|4) --out FILE.LST
//       writes a record list of the current company's customers as the
//       label wizard's Load All Customers or aging buttons fill the queue.
//   labels DIR LAYOUT.LBL LIST.LST --pdf FILE [--start N] [--copies N]
//       prints the labels of the record list with the layout as the PDF
//       file FILE, as Print Labels does.
//   email-message DIR LIST.LST --subject TEXT --body FILE [--from ADDRESS]
//       sends the text of FILE (UTF-8) to the customers of the record list
//       as the Send E-Mail Message window does (the return address is the
//       company's unless --from), one line per customer (number, result,
//       recipient, the server's answer, tab separated) and a last line with
//       the counts. Exit 1 when any message was not sent.
#ifndef TALLYBOOK_APP_LABEL_ADMIN_H_
#define TALLYBOOK_APP_LABEL_ADMIN_H_

#include <vector>

#include "app/admin_commands.h"

namespace tallybook::admin {

const std::vector<AdminCommand>& LabelAdminCommands();

int RunQueue(const std::vector<std::string>& args, std::ostream& out,
             std::ostream& err);
int RunLabels(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err);
int RunEmailMessage(const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_LABEL_ADMIN_H_
