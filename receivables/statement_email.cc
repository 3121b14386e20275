#include "receivables/statement_email.h"

#include "company/format.h"
#include "company/text.h"
#include "output/invoice_email.h"

namespace tallybook::receivables {

using company::PadRight;
using company::Trim;

namespace {

// text right-aligned in width; a longer text is kept whole, as an amount
// must never lose digits.
std::string RightWhole(const std::string& text, int width) {
  const std::string trimmed = Trim(text);
  if (static_cast<int>(trimmed.size()) >= width) return trimmed;
  return std::string(static_cast<size_t>(width) - trimmed.size(), ' ') +
         trimmed;
}

}  // namespace

std::string StatementHeading(const company::CompanyRecord& company) {
  return Trim(company.StatementCaption.View());
}

std::string StatementTextRow(const StatementRow& row) {
  return PadRight(row[0], 10) + " " + PadRight(row[1], 9) + " " +
         PadRight(row[2], 20) + " " + RightWhole(row[3], 12) + " " +
         RightWhole(row[4], 11) + " " + RightWhole(row[5], 11) + " " + row[6];
}

StatementEmail ComposeStatementEmail(const company::CompanyRecord& company,
                                     const Statement& st,
                                     const std::string& today) {
  StatementEmail mail;
  const std::string separator = output::EmailSeparator(company);
  const std::string heading = StatementHeading(company);
  std::vector<std::string>& out = mail.lines;
  output::AppendEmailLetterhead(company, heading, &out);

  out.push_back(separator);
  if (!st.name.empty()) out.push_back(st.name);
  for (const std::string& line : st.address) {
    if (!line.empty()) out.push_back(line);
  }
  out.push_back(separator);
  out.push_back("Statement Date: " + today);
  out.push_back("Account Number: " + st.customer_no);
  out.push_back(Trim(company.StatementNoteText.View()));
  out.push_back(separator);

  out.push_back(StatementTextRow(StatementHeader()));
  out.push_back(kStatementDashLine);
  for (const StatementRow& row : st.rows) out.push_back(StatementTextRow(row));
  out.push_back(StatementTextRow(st.totals));

  out.push_back(separator);
  if (company.PrintSalesMessage != 0) {
    std::string joined;
    for (const auto* line : {&company.SalesMessage1, &company.SalesMessage2,
                             &company.SalesMessage3, &company.SalesMessage4}) {
      const std::string text = Trim(line->View());
      if (text.empty()) continue;
      if (!joined.empty()) joined += ' ';
      joined += text;
    }
    out.push_back(joined);
  }
  if (company.PrintCustomerAging != 0) {
    out.push_back(" ");
    out.push_back("Account Status:");
    const std::string captions[4] = {
        company.AgingCaption1.Get(), company.AgingCaption2.Get(),
        company.AgingCaption3.Get(), output::OverCaption(company)};
    for (int k = 0; k < 4; ++k) {
      out.push_back(company::RightAlign(captions[k], 10) + " " + st.aging[k]);
    }
  }

  mail.from = Trim(company.ReplyEMailAddress.View());
  mail.to = st.email;
  mail.subject = heading + " - " + st.name;
  if (mail.to.size() < 2) {
    mail.to = mail.from;
    mail.subject = kBadCustomerEmailPrefix + mail.subject;
    mail.bad_address = true;
  }
  return mail;
}

}  // namespace tallybook::receivables
