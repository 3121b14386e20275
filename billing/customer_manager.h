// CustomerManager: what the customer manager window ("Customer Manager")
// does, without the window.
//
// One object lives while the window is shown. It holds the company's
// customer file open (through the data-access layer), adds, edits, deletes
// and finds customers, renumbers a customer's transactions when the number
// changes, writes the customer list, queues labels, prints envelopes and
// fills App's current-customer record when a row is chosen. The customer
// dialog and the text list window are handed in as functions so that tests
// script them.
//
// The dialog's checks (CheckCustomerForm) run on its OK, in this order, and
// keep the dialog open with the focus in the field concerned:
//   1. an empty name;
//   2. (an empty short name is filled from the name: ShortNameFor);
//   3. an e-mail address without "@";
//   4. an empty number while adding, and a number that another customer
//      has (trimmed, upper-cased; "0" is checked like any other);
//   5. a name that a customer of another number has (trimmed, upper-cased),
//      or whose first 30 characters - the name key, which takes no
//      duplicates - equal another customer's: refused here, before the
//      dialog closes, rather than by the store after it;
//   6. a credit limit that is not a number.
#ifndef TALLYBOOK_BILLING_CUSTOMER_MANAGER_H_
#define TALLYBOOK_BILLING_CUSTOMER_MANAGER_H_

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "billing/customer_product_support.h"
#include "company/app.h"
#include "company/company_manager.h"
#include "company/data_access.h"
#include "company/records.h"
#include "platform/canvas.h"

namespace tallybook::billing {

inline constexpr char kCustomerManagerCaption[] = "Customer Manager";
inline constexpr char kCustomerManagerEMailCaption[] =
    "Customer Manager - (E-Mail Mode)";
inline constexpr char kCustomerManagerHelpTopic[] = "CustomerManager";
inline constexpr char kCustomerDialogHelpTopic[] = "NewCustomer";
inline constexpr char kAddCustomerCaption[] = "Add Customer";
inline constexpr char kEditCustomerCaption[] = "Edit Customer";
inline constexpr char kCustomersStatusPrefix[] = "Customers: ";
// The number at opening of the checks while a new customer is added: none,
// so that no number (not even "0") is exempt from the duplicate check.
inline constexpr std::nullopt_t kAddingCustomer = std::nullopt;

inline constexpr char kCustomerNameCaption[] = "Customer Name";
inline constexpr char kNeedCustomerName[] = "You must enter a customer name.";
inline constexpr char kCustomerEMailCaption[] = "Customer E-Mail Address";
inline constexpr char kBadCustomerEMail[] =
    "The customer e-mail address does not have the @ sign included. Bad "
    "e-mail address.";
inline constexpr char kCustomerNumberCaption[] = "Customer Number";
inline constexpr char kCustomerNumberExists[] =
    "That customer number already exists. You will need to use a different "
    "number.";
inline constexpr char kDuplicateNameCaption[] = "Duplicate Customer Name";
inline constexpr char kCustomerNameExists[] =
    "That customer name already exists. You should not enter the same "
    "customer name with a different customer number.";
inline constexpr char kNeedCustomerNumber[] = "You must enter a customer number.";
// A name whose first 30 characters equal another customer's.
std::string NameKeyTakenText(std::string_view other_name,
                             std::string_view other_number);
inline constexpr char kBadCreditLimit[] =
    "The CREDIT LIMIT amount has an invalid value.";

inline constexpr char kCustomerNumberChangedCaption[] =
    "Customer Number Changed";
inline constexpr char kRenumberedPrefix[] = "This customer has ";
inline constexpr char kRenumberedSuffix[] =
    " record(s) on file. All have been changed to reflect the new customer "
    "number.";

inline constexpr char kDeleteCustomerCaption[] = "Delete Customer";
inline constexpr char kCustomerHasBalance[] =
    "This customer has a balance due. Unable to delete.";
inline constexpr char kCustomerHasInvoices[] =
    "This customer has invoices on file and may not be deleted. You can mark "
    "this customer as inactive, otherwise, wait until you remove their paid "
    "invoices, then delete.";
inline constexpr char kDeleteCustomerQuestionCaptionPrefix[] =
    "Delete Customer#: ";
inline constexpr char kDeleteCustomerQuestion[] =
    "Are you sure you want to delete this customer?";
inline constexpr char kCustomerDeleteFailed[] = "Delete customer failed";
inline constexpr char kCustomerSearchFailed[] =
    "Customer Search operation failed";

inline constexpr char kFindCustomerCaption[] = "Find Customer";
inline constexpr char kCustomerListCaption[] = "Customer List";
inline constexpr char kCustomerListAddressQuestion[] =
    "Do you want to include the customer addresses on this list?";
inline constexpr char kCustomerSortCaption[] = "Customer Sort";
inline constexpr char kCustomerSortQuestion[] =
    "Customers will be sorted by name. Would you rather sort by customer "
    "number?";
inline constexpr char kCustomerListByNumber[] = "Customer List by Number";
inline constexpr char kCustomerListByName[] = "Customer List by Name";
inline constexpr char kCustomerListName[] = "Customer";
inline constexpr char kCustomerListTitlePrefix[] = "Customer List for ";
inline constexpr int kCustomerListTitleWidth = 53;

inline constexpr char kAddedToLabelQueue[] = " added to label queue.";
inline constexpr char kEnvelopeJobTitle[] = "Envelope";
inline constexpr char kEnvelopeForPrefix[] = "Envelope for ";
inline constexpr char kEnvelopeSentSuffix[] = " sent to printer.";
inline constexpr char kEnvelopeWrittenInfix[] = " written to ";
inline constexpr char kEnvelopeFailed[] = "The envelope could not be printed: ";

// Key numbers of the customer file, and key 2 of the transactions.
inline constexpr int kCustomerNameKey = 1;
inline constexpr int kCustomerNoKey = 2;
inline constexpr int kTransactionCustomerKey = 2;

// The browser's header and a customer's row (both 128 characters).
std::string CustomerHeader();
std::string CustomerRow(const CustomerRecord& record);
// "Customers: " and the count.
std::string CustomersStatusText(int count);
// The lines of the customer list for one customer.
std::string CustomerListEntry(const CustomerRecord& record,
                              bool with_addresses);

// The short name a name gives: without a blank its first 10 characters,
// else its first character and the 9 after its first blank ("John Smith"
// gives "JSmith"). The name is trimmed first.
std::string ShortNameFor(std::string_view name);

// The number as the checks compare it: trimmed, upper-cased.
std::string NumberAsKey(std::string_view number);

// The next customer number after adding one numbered `number`: its leading
// integer (the lenient conversion: 0 when it has none) + 1.
std::string NextCustomerNumberAfter(std::string_view number);

// True when the customer's number, name, first phone or a billing line
// contains typed (case aside): the find window's customer mode.
bool CustomerMatches(const CustomerRecord& record, const std::string& typed);

// What the customer dialog shows and edits.
struct CustomerForm {
  std::string caption;
  std::string number;
  std::string name;
  std::string terms;
  std::string customer_type;
  std::string tax_exempt;
  std::string credit_limit;
  std::array<std::string, 4> bill;
  std::array<std::string, 4> ship;
  std::string phone1;
  std::string phone2;
  std::string short_name;
  std::string mail_code;
  std::string email;
  std::string notes;
  bool credit_hold = false;
  bool notes_on_invoices = false;
  bool notes_on_statements = false;
  std::string balance;  // shown only
  bool auto_copy = false;
};

// The field a failed check puts the focus in.
enum class CustomerField {
  kNone,
  kName,
  kEMail,
  kNumber,
  kCreditLimit,
};

// The dialog for a new customer of the current company.
CustomerForm NewCustomerForm(const company::App& app);
// The dialog over a stored customer.
CustomerForm CustomerFormFor(const CustomerRecord& record);
// Copies the dialog's fields into record; the fields it does not show stay.
void StoreCustomerForm(const CustomerForm& form, CustomerRecord& record);

using CustomerCheck = std::function<CustomerField(CustomerForm& form)>;
// Shows the customer dialog over form; on OK it calls check and stays open
// unless it gives kNone. True when the dialog closed with OK.
using CustomerDialogRunner =
    std::function<bool(CustomerForm& form, const CustomerCheck& check)>;

// The record a new customer gets from its dialog: the dialog's fields, the
// balance and the four aging amounts "0.00".
CustomerRecord NewCustomerRecord(const CustomerForm& form);

// Prints the envelope of customer on canvas as the company's envelope
// options say (the job's orientation is the caller's).
void DrawEnvelope(platform::Canvas& canvas, const CompanyRecord& company,
                  const CustomerRecord& customer);

class CustomerManager {
 public:
  explicit CustomerManager(company::App& app);
  CustomerManager(const CustomerManager&) = delete;
  CustomerManager& operator=(const CustomerManager&) = delete;

  // Opens the customer file (creating or rebuilding it as the data-access
  // layer offers). On failure tells kUnableToOpenDatabase, returns false.
  bool Open();
  void Close() { customers_.Close(); }
  bool IsOpen() const { return customers_.IsOpen(); }
  company::CustomerAccess& customers() { return customers_; }

  int Count(int key_no);
  bool Read(int32_t rec_no, CustomerRecord& record);
  // Record number of the customer numbered `number`, 0 when none.
  int32_t FindCustomer(const std::string& number);

  // The dialog's checks; number_at_open is NumberAsKey of the edited
  // customer's number, kAddingCustomer while adding.
  CustomerField CheckCustomerForm(
      CustomerForm& form, const std::optional<std::string>& number_at_open);
  // The first problem of the checks without telling it (the short name is
  // filled all the same).
  FormProblem<CustomerField> FindCustomerProblem(
      CustomerForm& form, const std::optional<std::string>& number_at_open);

  // Add: the dialog, the record with both keys, then the company's next
  // customer number. The record number, or nullopt (cancelled or failed).
  std::optional<int32_t> AddCustomer(const CustomerDialogRunner& dialog);
  // Edit: the dialog, the guarded modify, then the renumbering of the
  // customer's transactions when the number changed. True when stored.
  bool EditCustomer(int32_t rec_no, const CustomerDialogRunner& dialog);
  // Delete: the two refusals, the confirmation, then keys and record.
  bool DeleteCustomer(int32_t rec_no);

  // Customer List: asks about addresses and the order, shows the list.
  bool CustomerList(const company::ListWindowRunner& show_list);
  bool BuildCustomerList(int key_no, bool with_addresses, std::string& text);

  // Appends the customer to App's label queue and marks the queue changed
  // (the exit question then protects it); the status text to show.
  std::string AddToLabelQueue(int32_t rec_no);
  // Prints the envelope of record rec_no. The status text to show (empty
  // when nothing was printed; a failure was told).
  std::string PrintEnvelope(int32_t rec_no);

  // Choosing: copies record rec_no into App's current-customer record.
  bool Choose(int32_t rec_no);

 private:
  // Renumbers every transaction of old_number to new_number; the count of
  // records changed, nullopt when a change failed (after kModifyFailed).
  std::optional<int> RenumberTransactions(const std::string& old_number,
                                          const std::string& new_number);
  // Whether the transactions file holds a record of `number`; nullopt when
  // it could not be opened.
  std::optional<bool> HasTransactions(const std::string& number);

 public:
  // Sets the company's NextCustomerNo to `next`, in the company list and in
  // App's current company; tells kModifyFailed when the list refuses.
  void SetNextCustomerNo(const std::string& next);

 private:
  company::App& app_;
  company::CustomerAccess customers_;
};

}  // namespace tallybook::billing

#endif  // TALLYBOOK_BILLING_CUSTOMER_MANAGER_H_
