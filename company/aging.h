// Aging: sorting every customer's open amounts into four age categories.
//
// CalculateAging visits the customers file once in physical order. A
// customer whose balance and four aged amounts are all zero and who has a
// short name is left untouched; for every other customer the transactions
// file is scanned by key 2 (customer number) and each non-zero AmountDue is
// added to the category of its age in whole days (DateText to today):
//
//   CATEGORY  AGE d              CUSTOMER FIELD
//   1         d <= L1            AgingCurrent   (also every future date)
//   2         L1 < d <= L2       Aging2
//   3         L2 < d <= L3       Aging3
//   4         d > L3             Aging4
//
// with L1..L3 the company's AgingDays1..3. The customer gets the four
// category totals and their sum (as Balance), "0.00"-pattern text, and a
// "*NONE*" short name when it had none. The company record then gets
// LastAgingDate = TodayText and ReceivablesBalance = the grand total, both
// in the company list and in App::CurrentCompany; "LastCo.Dat" is rewritten
// with the new LastAgingDate.
//
// Nothing is written when the customers or the transactions file cannot be
// opened: the user is told which file, and the company keeps its old date
// so the next start tries again. A company without a customers file yet has
// nothing to age; one without a transactions file has nothing to age unless
// a customer carries amounts. A key walk that meets a damaged index stops
// the calculation there (the customers aged before it keep their new
// figures, the company its old ones) and tells the user to rebuild the
// file. A transaction whose DateText is not a date
// cannot be aged: it is left out, and the user is told once, at the end, how
// many were left out.
//
// The calculation talks to the user through the App's platform services
// (messages, the progress window) and its status bar; it draws no chart
// itself but says in its result whether the chart is to be shown.
#ifndef TALLYBOOK_COMPANY_AGING_H_
#define TALLYBOOK_COMPANY_AGING_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "company/aging_chart.h"
#include "company/app.h"
#include "company/format.h"
#include "store/engine.h"

namespace tallybook::company {

inline constexpr char kAgingCaption[] = "Aging";
inline constexpr char kCalculatingAging[] = "Calculating Aging...";
inline constexpr char kCalculatingTotals[] = "Calculating Aging Totals...";
inline constexpr char kNoShortName[] = "*NONE*";
inline constexpr char kBadAgingDays[] =
    "There is a bad value in your aging days (Company Setup). Unable to "
    "calculate aging.";
inline constexpr char kCreditBalance[] =
    "Your Accounts Receivable is a credit balance. Unable to display Aging "
    "Chart. Run your Accounts Receivable Report (Report Wizard) instead.";
// The chart command's refusals.
inline constexpr char kAgingChartCaption[] = "Aging Chart";
inline constexpr char kNoOpenInvoices[] = "You do not have any open invoices.";
inline constexpr char kChartShowing[] = "The Aging Chart is currently showing.";

enum class AgingOutcome {
  kDone,           // customers and company record written
  kNotNeeded,      // receivables are 0 and no chart was asked for
  kBadAgingDays,   // kBadAgingDays was shown; nothing changed
  kFileError,      // a file could not be opened or written; see the message
};

struct AgingResult {
  AgingOutcome outcome = AgingOutcome::kNotNeeded;
  AgingTotals totals;
  // Customers written back.
  int customers_updated = 0;
  // Transactions with a non-zero amount due whose date could not be read.
  int undated_skipped = 0;
  // The company has no customers file yet (a new company): outcome is
  // kNotNeeded and nothing was written.
  bool nothing_to_age = false;
  // True when the caller is to show the chart of totals: the total is
  // positive and the company's ShowAgingChart is set or the chart was asked
  // for (App::aging_chart_requested).
  bool show_chart = false;
};

// The text telling how many transactions were left out for their dates.
std::string UndatedTransactionsText(int count);
// The text telling that a file needed for aging could not be opened (or a
// record of it not written); base is the file's name without extension.
// A damaged index (10115) or a file not closed after changes (10010) is
// told as a file to be rebuilt.
std::string AgingFileErrorText(const std::string& base, int store_error);
// The text telling that the company list holds no record of the company
// being aged, so its totals could not be stored.
std::string AgingCompanyMissingText(const std::string& company_no);

// The category (0..3) of an amount aged age_days, for limits l1 < l2 < l3.
int AgingCategory(int64_t age_days, int l1, int l2, int l3);

// The company's three aging limits L1..L3 (AgingDays1..3). False, the
// limits untouched, when any of them is not a whole number.
bool ReadAgingDays(const CompanyRecord& company, int32_t* l1, int32_t* l2,
                   int32_t* l3);

// What one customer's open amounts add up to.
struct CustomerAging {
  AgingTotals totals;
  // Transactions with a non-zero amount due whose date could not be read.
  int undated = 0;
};

// Adds every non-zero AmountDue of the customer's transactions (the key 2
// range of customer_no in the open transactions file) to the category of
// its age at today, into *out. False only on a store failure other than the
// end of the range. The payment wizard re-ages one customer this way.
bool AgeCustomer(App& app, store::FileHandle transactions,
                 std::string_view customer_no, const Date& today, int l1,
                 int l2, int l3, CustomerAging* out);

// The whole calculation for the App's current company. Ages are counted to
// App::Today(); the date stored is App::TodayText. Preconditions: the store
// is started; TodayText is set.
AgingResult CalculateAging(App& app);

// The once-a-day run: CalculateAging when the current company's trimmed
// LastAgingDate differs from TodayText, else nothing (kNotNeeded). Called at
// start-up and after every company change.
AgingResult RunAgingIfDue(App& app);

// The "&Aging Chart" command. Refuses with kNoOpenInvoices when the
// company's ReceivablesBalance reads as 0, and with kChartShowing when
// chart_showing; otherwise runs CalculateAging with the chart asked for.
AgingResult AgingChartCommand(App& app, bool chart_showing);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_AGING_H_
