// Scripted message boxes for tests.
//
// The test states, in order, every message it expects and the answer to
// give:
//   ui.ExpectMessage("Cannot get a lock.  Abort?", Answer::kNo);
//   ui.ExpectMessage("Add operation failed").WithKind(MessageKind::kError);
// Show() compares each message with the next expectation. The test fails
// (ADD_FAILURE, naming the text) on a message nobody expected, on a message
// whose text, caption, kind or buttons differ from the next expectation, and
// on an answer the box has no button for. Expectations never shown fail the
// test in Verify(), which the destructor calls.
#ifndef TALLYBOOK_PLATFORM_TESTING_SCRIPTED_MESSAGES_H_
#define TALLYBOOK_PLATFORM_TESTING_SCRIPTED_MESSAGES_H_

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/message.h"

namespace tallybook::platform::testing {

class ScriptedMessages : public Messages {
 public:
  // One expected message. The With* checks are optional.
  class Expectation {
   public:
    Expectation& WithCaption(std::string caption) {
      caption_ = std::move(caption);
      return *this;
    }
    Expectation& WithKind(MessageKind kind) {
      kind_ = kind;
      return *this;
    }
    Expectation& WithButtons(Buttons buttons) {
      buttons_ = buttons;
      return *this;
    }

   private:
    friend class ScriptedMessages;
    std::string text_;
    Answer answer_ = Answer::kOk;
    std::optional<std::string> caption_;
    std::optional<MessageKind> kind_;
    std::optional<Buttons> buttons_;
  };

  ScriptedMessages() = default;
  ScriptedMessages(const ScriptedMessages&) = delete;
  ScriptedMessages& operator=(const ScriptedMessages&) = delete;
  ~ScriptedMessages() override;

  // Expects `text` as the next message and answers it with `answer`. The
  // reference stays valid until the message is shown or Verify() runs.
  Expectation& ExpectMessage(std::string text, Answer answer = Answer::kOk);

  // Checks the message against the script. On a mismatch the test fails,
  // the expectation stays queued, and the box is answered as if closed.
  Answer Show(const Message& message) override;

  // Fails the test for every expectation not yet shown, then forgets them.
  void Verify();

  // Every message shown, in order, expected or not.
  const std::vector<Message>& shown() const { return shown_; }
  // Number of expectations still waiting.
  std::size_t pending() const { return expected_.size(); }

 private:
  std::deque<Expectation> expected_;
  std::vector<Message> shown_;
};

}  // namespace tallybook::platform::testing

#endif  // TALLYBOOK_PLATFORM_TESTING_SCRIPTED_MESSAGES_H_
