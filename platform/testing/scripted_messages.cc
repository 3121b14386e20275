#include "platform/testing/scripted_messages.h"

#include <gtest/gtest.h>

namespace tallybook::platform::testing {

namespace {

std::string Describe(const Message& message) {
  return std::string(ToString(message.kind)) + " box \"" + message.caption +
         "\" [" + ToString(message.buttons) + "]: \"" + message.text + "\"";
}

}  // namespace

ScriptedMessages::~ScriptedMessages() { Verify(); }

ScriptedMessages::Expectation& ScriptedMessages::ExpectMessage(
    std::string text, Answer answer) {
  Expectation& expectation = expected_.emplace_back();
  expectation.text_ = std::move(text);
  expectation.answer_ = answer;
  return expectation;
}

Answer ScriptedMessages::Show(const Message& message) {
  shown_.push_back(message);
  const Answer on_close = AnswerOnClose(message.buttons);
  if (expected_.empty()) {
    ADD_FAILURE() << "Unexpected message: " << Describe(message);
    return on_close;
  }
  const Expectation& next = expected_.front();
  if (next.text_ != message.text) {
    ADD_FAILURE() << "Expected message \"" << next.text_ << "\" but got "
                  << Describe(message);
    return on_close;
  }
  bool matches = true;
  if (next.caption_ && *next.caption_ != message.caption) {
    ADD_FAILURE() << "Message \"" << message.text << "\" has caption \""
                  << message.caption << "\", expected \"" << *next.caption_
                  << "\"";
    matches = false;
  }
  if (next.kind_ && *next.kind_ != message.kind) {
    ADD_FAILURE() << "Message \"" << message.text << "\" is a "
                  << ToString(message.kind) << " box, expected a "
                  << ToString(*next.kind_) << " box";
    matches = false;
  }
  if (next.buttons_ && *next.buttons_ != message.buttons) {
    ADD_FAILURE() << "Message \"" << message.text << "\" has buttons "
                  << ToString(message.buttons) << ", expected "
                  << ToString(*next.buttons_);
    matches = false;
  }
  if (!HasButton(message.buttons, next.answer_)) {
    ADD_FAILURE() << "Script answers " << ToString(next.answer_)
                  << " to message \"" << message.text
                  << "\", which has only " << ToString(message.buttons);
    matches = false;
  }
  const Answer answer = matches ? next.answer_ : on_close;
  expected_.pop_front();
  return answer;
}

void ScriptedMessages::Verify() {
  for (const Expectation& missing : expected_) {
    ADD_FAILURE() << "Expected message never shown: \"" << missing.text_
                  << "\"";
  }
  expected_.clear();
}

}  // namespace tallybook::platform::testing
