// The statement commands of the customer manager, with their windows: the
// statement window (TStment), the selection dialog (TSelStmnt) and the
// batch size dialog (TBatchStWin). WireReceivablesCommands installs them
// into App (view_statement, batch_statements), where the customer manager
// finds them.
#ifndef TALLYBOOK_RECEIVABLES_UI_STATEMENT_COMMANDS_H_
#define TALLYBOOK_RECEIVABLES_UI_STATEMENT_COMMANDS_H_

#include <QWidget>
#include <string>

#include "company/app.h"
#include "receivables/statement_output.h"

namespace tallybook::receivables::ui {

// View / Print Statement: builds the customer's statement in all activity
// and shows it in TStment; "There is no activity for this customer." (with
// the caption "Customer: " + name) when nothing is listed, and the store's
// failure when the customer cannot be read.
// customers is the customer file when the caller holds it open.
void ViewStatement(company::App& app, const std::string& customer_no,
                   QWidget* parent = nullptr,
                   company::CompanyFileAccess* customers = nullptr);

// Batch Print Statements: BatchStatementsCommand with TSelStmnt and
// TBatchStWin as its dialogs (window names "TSelStmnt", "TBatchStWin").
BatchOutcome BatchStatements(company::App& app, QWidget* parent = nullptr,
                             company::CompanyFileAccess* customers = nullptr);

// Installs ViewStatement and BatchStatements into app, over the active
// modal window (the customer manager) as their parent and its customer
// file.
void InstallStatementCommands(company::App& app);

}  // namespace tallybook::receivables::ui

#endif  // TALLYBOOK_RECEIVABLES_UI_STATEMENT_COMMANDS_H_
