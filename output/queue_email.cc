#include "output/queue_email.h"

#include "company/data_access.h"
#include "company/text.h"
#include "mail/mail_transport.h"
#include "output/invoice_output.h"
#include "output/label_queue.h"

namespace tallybook::output {

using company::App;
using company::Trim;

namespace {

std::vector<std::string> BodyLines(const std::string& body) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (true) {
    const size_t end = body.find('\n', pos);
    std::string line = body.substr(pos, end == std::string::npos
                                            ? std::string::npos
                                            : end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return lines;
}

bool IsBadAddress(const std::string& address) {
  return address.size() < 2 || address.find('@') == std::string::npos;
}

}  // namespace

MessageField CheckQueueMessage(App& app, const QueueMessage& message) {
  platform::Messages& messages = app.services().messages;
  if (Trim(message.subject).empty()) {
    platform::Warn(messages, kSubjectCaption, kNoSubjectText);
    return MessageField::kSubject;
  }
  const std::string from = Trim(message.from);
  if (from.empty()) {
    platform::Warn(messages, kReturnAddressCaption, kNoReturnAddressText);
    return MessageField::kFrom;
  }
  if (from.find('@') == std::string::npos) {
    platform::Warn(messages, kBadReturnAddressCaption, kBadReturnAddressText);
    return MessageField::kFrom;
  }
  if (Trim(message.body).empty()) {
    platform::Warn(messages, kMessageTextCaption, kNoMessageText);
    return MessageField::kBody;
  }
  if (app.label_queue.empty()) {
    platform::Inform(messages, kPrintQueueCaption, kEmptyQueueText);
    return MessageField::kQueue;
  }
  return MessageField::kNone;
}

std::string QueueCounterText(const App& app) {
  return kQueueCounterPrefix + std::to_string(app.label_queue.size());
}

std::string SkippedText(int skipped) {
  return "There were " + std::to_string(skipped) +
         " empty customer e-mail addresses. The customers were not sent your "
         "message.";
}

std::string SentText(int sent) {
  return "There were " + std::to_string(sent) + " e-mail messages sent.";
}

std::string NotFoundText(int not_found) {
  return "There were " + std::to_string(not_found) +
         " customers in the print queue that no longer exist. They were not "
         "sent your message.";
}

std::string ConnectionClosedText(int not_reached) {
  return "The connection to the mail server was closed. " +
         std::to_string(not_reached) +
         " customers in the print queue were not sent your message.";
}

QueueMailOutcome SendQueueMessage(App& app, const QueueMessage& message) {
  QueueMailOutcome outcome;
  if (CheckQueueMessage(app, message) != MessageField::kNone) return outcome;
  platform::Messages& messages = app.services().messages;
  company::CustomerAccess customers(app);
  if (!customers.OpenExistingCompanyFile()) {
    platform::ShowError(messages, kEmailMessageTitle,
                        CustomerFileFailedText(app));
    return outcome;
  }
  if (!CheckEmailReadiness(app)) return outcome;
  outcome.ran = true;

  const company::CompanyRecord& co = app.CurrentCompany;
  const bool include_all = company::IsYes(co.EMailIncludeAll.View());
  const std::string own_address = Trim(co.ReplyEMailAddress.View());
  mail::OutgoingMessage mail;
  mail.from = company::Cp1252ToUtf8(Trim(message.from));
  for (const std::string& line : BodyLines(message.body)) {
    mail.body_lines.push_back(company::Cp1252ToUtf8(line));
  }
  platform::ProgressWindow& progress = app.services().progress;
  progress.SetCaption(kEmailModeCaption);
  progress.ClearLines();
  progress.SetLine(0, kWorking);
  progress.Show();

  mail::MailTransport& transport = *app.mail_transport;
  // The queue is copied: a window the loop lets input through to must not
  // change it under the run.
  const std::vector<company::LabelQueueRow> queue = app.label_queue;
  size_t next = 0;
  {
    company::BusyGuard busy(app);
    for (; next < queue.size() && transport.Connected(); ++next) {
      QueueMailLine line;
      line.customer_no = queue[next].customer_no;
      company::CustomerRecord c;
      switch (FindQueuedCustomer(app, customers, line.customer_no, &c)) {
        case CustomerLookup::kFound:
          break;
        case CustomerLookup::kMissing:
        case CustomerLookup::kFailed:
          line.result = QueueMailResult::kNotFound;
          line.answer = "no such customer";
          ++outcome.not_found;
          outcome.lines.push_back(line);
          continue;
      }
      const std::string address = Trim(c.EMailAddress.View());
      if (!include_all && address.empty()) {
        line.result = QueueMailResult::kSkipped;
        line.answer = "no e-mail address";
        ++outcome.skipped;
        outcome.lines.push_back(line);
        continue;
      }
      const bool bad = IsBadAddress(address);
      line.recipient = bad ? own_address : address;
      mail.to = company::Cp1252ToUtf8(line.recipient);
      mail.subject = company::Cp1252ToUtf8(
          bad ? kBadAddressSubjectPrefix + Trim(c.CustomerName.View())
              : Trim(message.subject));
      const mail::SendResult sent = transport.Send(mail);
      if (sent.ok) {
        line.result = bad ? QueueMailResult::kBadAddress : QueueMailResult::kSent;
        line.answer = sent.server_reply;
        ++outcome.sent;
        progress.SetLine(1, kSentCountPrefix + std::to_string(outcome.sent));
      } else {
        line.result = QueueMailResult::kFailed;
        line.answer = sent.error;
        ++outcome.failed;
        platform::ShowError(messages, kMailErrorCaption,
                            "The message to " + Trim(c.CustomerName.View()) +
                                " was not sent.\n" + sent.error);
      }
      outcome.lines.push_back(line);
      progress.ProcessPendingInput();
    }
  }
  customers.Close();
  progress.Hide();
  outcome.completed = next == queue.size();
  outcome.not_reached = static_cast<int>(queue.size() - next);
  if (!outcome.completed) {
    platform::ShowError(messages, kEmailModeCaption,
                        ConnectionClosedText(outcome.not_reached));
  }
  if (outcome.skipped > 0) {
    platform::Inform(messages, kEmailAddressesCaption,
                     SkippedText(outcome.skipped));
  }
  if (outcome.not_found > 0) {
    platform::Inform(messages, kEmailAddressesCaption,
                     NotFoundText(outcome.not_found));
  }
  if (outcome.completed) app.label_queue_pending = false;
  platform::Inform(messages, kEmailSentCaption, SentText(outcome.sent));
  return outcome;
}

}  // namespace tallybook::output
