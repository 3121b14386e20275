// Reconcile: the balances of a company recomputed from its transactions.
//
// A customer's balance is the sum of the amounts due of its transactions,
// its four aging amounts that sum sorted by age at today (as the aging run
// sorts them), and the company's receivables the sum of the customers'
// balances. ReconcileBalances computes all of them, writes every figure
// that differs from the stored one and lists each change. Unlike the daily
// aging run it visits every customer, also one whose stored figures are all
// zero, and it touches no dates.
//
// The operation journal's playback reconciles after taking an unfinished
// operation back; `tallybook-admin reconcile DIR` runs it on demand.
#ifndef TALLYBOOK_COMPANY_RECONCILE_H_
#define TALLYBOOK_COMPANY_RECONCILE_H_

#include <string>
#include <vector>

#include "company/app.h"

namespace tallybook::company {

struct ReconcileResult {
  // False when a file could not be read or written, or the company's aging
  // days are not numbers; error says which. Changes written before the
  // failure stay listed.
  bool ok = true;
  std::string error;
  // One line per figure changed, in file order:
  //   Customer C1001: Balance 100.00 -> 85.00
  //   Company 1: Receivables 61,670.07 -> 61,655.07
  std::vector<std::string> changes;
};

// Reconciles company company_no of the app's data directory. Files must be
// closed. When company_no is the current company, App::CurrentCompany takes
// the stored company record.
ReconcileResult ReconcileBalances(App& app, const std::string& company_no);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_RECONCILE_H_
