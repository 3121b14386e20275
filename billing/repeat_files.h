// The company files a repeat billing operation reads and writes, open
// together for its duration: transactions, invoice lines, memos, customers
// and the company list. Also the small record helpers the setup and the
// run share.
#ifndef TALLYBOOK_BILLING_REPEAT_FILES_H_
#define TALLYBOOK_BILLING_REPEAT_FILES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "company/app.h"
#include "company/data_access.h"
#include "company/money.h"
#include "company/records.h"

namespace tallybook::billing {

class RepeatFiles {
 public:
  explicit RepeatFiles(company::App& app);
  ~RepeatFiles() { Close(); }
  RepeatFiles(const RepeatFiles&) = delete;
  RepeatFiles& operator=(const RepeatFiles&) = delete;

  // Opens the five files (creating a missing one, as every window does).
  // False when one would not open: those opened are closed again.
  bool Open();
  // Closes every file. False when one could not be closed cleanly (its
  // index is then rebuilt when it is next opened).
  bool Close();

  // Reads the customer numbered customer_no (key 2) into customers.rec().
  // False when it is not on file.
  bool FindCustomer(std::string_view customer_no, int32_t* rec_no);
  // Reads the app's current company into companies.rec().
  bool FindCompany(int32_t* rec_no);
  // Record numbers of the lines filed under invoice_no (key 2), in key
  // order.
  std::vector<int32_t> LinesOf(std::string_view invoice_no);
  // Reads the first transaction numbered invoice_no (key 1) whose type is
  // type_code into transactions.rec().
  bool FindTransaction(std::string_view invoice_no, char type_code,
                       int32_t* rec_no);

  company::TransactionAccess transactions;
  company::LineAccess lines;
  company::MemoAccess memos;
  company::CustomerAccess customers;
  company::CompanyListAccess companies;

 private:
  company::App& app_;
};

// field += amount, stored as money text.
template <class Field>
void AddCentsTo(Field& field, company::Cents amount) {
  field.Set(company::CentsText(company::CentsOf(field.View()) + amount));
}

// The customer's aging amount for bucket 0..3 (AgingCurrent .. Aging4).
company::PString<10>& AgingField(company::CustomerRecord& customer,
                                 int bucket);

// The date a transaction is aged by: its day, month and year fields, else
// its display date, else its sortable date; today when none can be read.
company::Date AgingDateOf(const company::App& app,
                          const company::TransactionRecord& record);

// The first letter of the record's type code, upper-cased ('\0' if blank).
char TypeOf(const company::TransactionRecord& record);

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_REPEAT_FILES_H_
