// The demo company: a complete installation a new user can explore, made
// through the program's own logic - the company list and data access for
// the company, its customers and products, the invoice bookkeeping for the
// invoices, invoice output's marking for the printed ones, payment posting
// for the payments, and the aging run at the end - never by writing record
// bytes.
//
// What it holds: one company with its options, form captions and fonts
// set; 40 customers with names, addresses, phone numbers and (for most)
// e-mail addresses; 30 products; about 300 invoices spread over the 18
// months before today, line-item and memo invoices, most of them printed,
// many paid, some in part; three deposits on account, one of them offset
// against an invoice; and beside them the sample form letters
// (admin_sample_letters.h) and a sample label layout, "Labels3x10.LBL". The
// invoices left open leave customers with amounts past every aging limit,
// so the interest wizard finds work on it.
//
// Every date is counted back from `today`, so the demo never goes stale,
// and every choice comes from one generator with a fixed seed: two runs
// for the same today write identical files.
#ifndef TALLYBOOK_APP_ADMIN_DEMO_COMPANY_H_
#define TALLYBOOK_APP_ADMIN_DEMO_COMPANY_H_

#include <cstdint>
#include <ostream>
#include <string>

#include "company/app.h"
#include "company/format.h"

namespace tallybook::admin {

inline constexpr char kDemoCompanyName[] = "Harbor Light Supply Co.";
inline constexpr int kDemoCustomers = 40;
inline constexpr int kDemoProducts = 30;
inline constexpr int kDemoInvoices = 300;
inline constexpr int kDemoMonths = 18;
// The sample label layout written beside the data.
inline constexpr char kDemoLabelLayout[] = "Labels3x10.LBL";

struct DemoSummary {
  int customers = 0;
  int products = 0;
  int invoices = 0;
  int memo_invoices = 0;
  int printed = 0;
  int paid = 0;
  int part_paid = 0;
  int offset_deposits = 0;  // deposits offset against invoices ("T")
};

// Makes the demo installation in dir (created when missing; refused when it
// already holds an installation). Messages of the logic go to err, one a
// line; questions are answered No. On failure the text says what went
// wrong; what was made so far stays for inspection.
bool MakeDemoCompany(const std::string& dir, const company::Date& today,
                     std::ostream& err, DemoSummary* summary,
                     std::string* failure);

// The demo's repeat billing: a monthly master set up on a 31st, one every
// 14 days and a memo master, each made from an invoice of its own through
// the setup, and the invoices generated from them through `through`, each
// run dated the day its masters fell due. The company's last invoice stays
// the one it was. False with *failure when something could not be written.
bool AddDemoRepeatBilling(company::App& app, const company::Date& through,
                          std::string* failure);

// A small generator of the demo's choices with a fixed seed: the same
// sequence on every machine and library.
class DemoRandom {
 public:
  explicit DemoRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // A whole number in [low, high].
  int Between(int low, int high);
  // True in `percent` cases out of a hundred.
  bool Chance(int percent) { return Between(1, 100) <= percent; }

 private:
  uint64_t state_;
};

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_DEMO_COMPANY_H_
