// The e-mail message to queued customers: one typed text message sent to
// every customer of the label print queue, through the mail transport and
// the same readiness check as invoice output.
//
// Who gets what, for each queue entry in order (read by customer number):
//   - a customer without an e-mail address is skipped, unless the company
//     includes customers without one (EMailIncludeAll);
//   - an address shorter than two characters or without "@" is bad: the
//     message goes to the company's own address with the subject
//     "BAD E-MAIL ADDRESS FOR: " + the customer's name;
//   - otherwise it goes to the customer with the typed subject.
// A message counts as sent only when the server accepted it. The run stops
// when the mail connection is found closed; what went stays sent and the
// user is told how many went and how many customers were not reached.
#ifndef TALLYBOOK_OUTPUT_QUEUE_EMAIL_H_
#define TALLYBOOK_OUTPUT_QUEUE_EMAIL_H_

#include <string>
#include <vector>

#include "company/app.h"

namespace tallybook::output {

// ---- Texts of the Send E-Mail Message window.
inline constexpr char kEmailMessageTitle[] = "Send E-Mail Message";
inline constexpr char kEmailMessageHelpTopic[] = "EMNote";
inline constexpr char kSubjectCaption[] = "E-Mail Subject";
inline constexpr char kNoSubjectText[] = "You need an e-mail subject line.";
inline constexpr char kReturnAddressCaption[] = "E-Mail Address";
inline constexpr char kNoReturnAddressText[] =
    "You need a return e-mail address.";
inline constexpr char kBadReturnAddressCaption[] = "Return E-Mail Address";
inline constexpr char kBadReturnAddressText[] =
    "The return e-mail address does not have the @ sign included. Bad e-mail "
    "address.";
inline constexpr char kMessageTextCaption[] = "Message Text";
inline constexpr char kNoMessageText[] =
    "You have not entered a message to send.";
inline constexpr char kPrintQueueCaption[] = "Print Queue";
inline constexpr char kEmptyQueueText[] =
    "You do not have any customers selected (listed) in the print queue. "
    "Select the Queue button to add customers to the queue.";
inline constexpr char kBadAddressSubjectPrefix[] = "BAD E-MAIL ADDRESS FOR: ";
inline constexpr char kSentCountPrefix[] = "E-Mail Sent: ";
inline constexpr char kEmailAddressesCaption[] = "E-Mail Addresses";
inline constexpr char kEmailSentCaption[] = "E-Mail Sent";
inline constexpr char kQueueCounterPrefix[] = "Records in Queue: ";

// What the window holds, in Windows-1252. Body lines are separated by LF
// (a CR before it is dropped).
struct QueueMessage {
  std::string from;
  std::string subject;
  std::string body;
};

// The field a failed check puts the cursor in.
enum class MessageField { kNone, kSubject, kFrom, kBody, kQueue };

// The checks, in order: subject, return address, its "@", body, queue.
// Shows the first failure and returns its field; kNone when all pass.
MessageField CheckQueueMessage(company::App& app, const QueueMessage& message);

// "Records in Queue: " + the queue count.
std::string QueueCounterText(const company::App& app);

// One queue entry of a run.
enum class QueueMailResult { kSent, kBadAddress, kSkipped, kFailed, kNotFound };
struct QueueMailLine {
  std::string customer_no;
  QueueMailResult result = QueueMailResult::kSent;
  std::string recipient;  // where it went (or was meant to go)
  std::string answer;     // the server's answer, or why it failed
};

struct QueueMailOutcome {
  bool ran = false;       // the checks and the readiness check passed
  bool completed = false; // every entry was dealt with
  int sent = 0;           // accepted by the server (bad-address ones too)
  int skipped = 0;        // without an address, left out
  int failed = 0;         // refused or not sent
  int not_found = 0;      // no such customer any more
  int not_reached = 0;    // entries left when the connection closed
  std::vector<QueueMailLine> lines;
};

// The E-Mail button: the checks, the readiness check, then the run with
// its messages ("There were N empty customer e-mail addresses. ...", the
// not-found and connection-lost notices, "There were N e-mail messages
// sent."). The queue-changed flag is cleared when the run went through
// the whole queue.
QueueMailOutcome SendQueueMessage(company::App& app,
                                  const QueueMessage& message);

// "There were N empty customer e-mail addresses. The customers were not
// sent your message.".
std::string SkippedText(int skipped);
// "There were N e-mail messages sent.".
std::string SentText(int sent);
// Told when customers of the queue no longer exist.
std::string NotFoundText(int not_found);
// Told when the run stopped because the mail connection closed.
std::string ConnectionClosedText(int not_reached);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_QUEUE_EMAIL_H_
