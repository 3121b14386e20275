#include "receivables/ui/statement_commands.h"

#include <QApplication>
#include <QGuiApplication>

#include "platform/message.h"
#include "receivables/ui/batch_st_win.h"
#include "receivables/ui/sel_stmnt.h"
#include "receivables/ui/stment.h"

namespace tallybook::receivables::ui {

void ViewStatement(company::App& app, const std::string& customer_no,
                   QWidget* parent, company::CompanyFileAccess* customers) {
  platform::Messages& messages = app.services().messages;
  TStment window(app, StatementDetail::kAllActivity,
                 StatementFiles{customers, nullptr}, parent);
  switch (window.Load(customer_no)) {
    case StatementRead::kOk:
      break;
    case StatementRead::kNoCustomer:
      platform::ShowError(messages, kStatementCaption,
                          "Customer " + customer_no + " was not found.");
      return;
    case StatementRead::kFileFailed:
      platform::ShowError(messages, kStatementCaption,
                          "The customer files could not be read (error " +
                              std::to_string(app.engine().StoreError()) + ").");
      return;
  }
  if (!window.statement().HasActivity()) {
    platform::Inform(messages, NoActivityCaption(window.statement()),
                     kNoActivityText);
    return;
  }
  window.Execute();
}

BatchOutcome BatchStatements(company::App& app, QWidget* parent,
                             company::CompanyFileAccess* customers) {
  return BatchStatementsCommand(
      app, [&] { return TSelStmnt::Ask(app, parent); },
      [&](const BatchSizeText& text) {
        return TBatchStWin::Ask(app, text, parent);
      },
      customers);
}

void InstallStatementCommands(company::App& app) {
  app.view_statement = [&app](company::CompanyFileAccess& customers,
                              const std::string& customer_no) {
    ViewStatement(app, customer_no, QApplication::activeModalWidget(),
                  &customers);
  };
  app.batch_statements = [&app](company::CompanyFileAccess& customers) {
    BatchStatements(app, QApplication::activeModalWidget(), &customers);
  };
}

}  // namespace tallybook::receivables::ui
