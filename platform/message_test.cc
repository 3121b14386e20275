#include "platform/message.h"

#include <gtest/gtest.h>

#include <vector>

namespace tallybook::platform {
namespace {

// Keeps every message and answers with a fixed button.
class FakeMessages : public Messages {
 public:
  explicit FakeMessages(Answer answer) : answer_(answer) {}
  Answer Show(const Message& message) override {
    shown.push_back(message);
    return answer_;
  }
  std::vector<Message> shown;

 private:
  Answer answer_;
};

TEST(MessageButtons, CloseAnswerIsCancelThenNoThenOk) {
  EXPECT_EQ(AnswerOnClose(Buttons::kOk), Answer::kOk);
  EXPECT_EQ(AnswerOnClose(Buttons::kOkCancel), Answer::kCancel);
  EXPECT_EQ(AnswerOnClose(Buttons::kYesNo), Answer::kNo);
  EXPECT_EQ(AnswerOnClose(Buttons::kYesNoCancel), Answer::kCancel);
}

TEST(MessageButtons, DefaultOutsideTheBoxFallsBackToFirstButton) {
  EXPECT_EQ(EffectiveDefault(Buttons::kYesNo, Answer::kNo), Answer::kNo);
  EXPECT_EQ(EffectiveDefault(Buttons::kYesNo, Answer::kOk), Answer::kYes);
  EXPECT_EQ(EffectiveDefault(Buttons::kOk, Answer::kCancel), Answer::kOk);
  EXPECT_EQ(EffectiveDefault(Buttons::kOkCancel, Answer::kNo), Answer::kOk);
  EXPECT_FALSE(HasButton(Buttons::kYesNo, Answer::kCancel));
  EXPECT_TRUE(HasButton(Buttons::kYesNoCancel, Answer::kCancel));
}

TEST(MessageShapes, ConfirmIsAYesNoQuestionTrueOnlyForYes) {
  FakeMessages yes(Answer::kYes);
  EXPECT_TRUE(Confirm(yes, "Rebuild", "Index file is defective.  Rebuild?"));
  ASSERT_EQ(yes.shown.size(), 1u);
  EXPECT_EQ(yes.shown[0].kind, MessageKind::kQuestion);
  EXPECT_EQ(yes.shown[0].buttons, Buttons::kYesNo);
  EXPECT_EQ(yes.shown[0].default_answer, Answer::kYes);
  EXPECT_EQ(yes.shown[0].caption, "Rebuild");
  EXPECT_EQ(yes.shown[0].text, "Index file is defective.  Rebuild?");

  FakeMessages no(Answer::kNo);
  EXPECT_FALSE(Confirm(no, "", "Continue?"));
  FakeMessages closed(Answer::kCancel);
  EXPECT_FALSE(ConfirmDefaultNo(closed, "", "Continue?"));
  EXPECT_EQ(closed.shown[0].default_answer, Answer::kNo);
}

TEST(MessageShapes, NoticesAreOkBoxesOfTheirKind) {
  FakeMessages ok(Answer::kOk);
  Inform(ok, "New Company", "I am going to create a new, empty company file.");
  Warn(ok, "Computer Date", "The date is wrong.");
  ShowError(ok, "Error", "Add operation failed");
  ASSERT_EQ(ok.shown.size(), 3u);
  EXPECT_EQ(ok.shown[0].kind, MessageKind::kInformation);
  EXPECT_EQ(ok.shown[1].kind, MessageKind::kWarning);
  EXPECT_EQ(ok.shown[2].kind, MessageKind::kError);
  for (const Message& m : ok.shown) EXPECT_EQ(m.buttons, Buttons::kOk);
}

TEST(MessageShapes, ThreeWayAndOkCancelReturnTheButton) {
  FakeMessages cancel(Answer::kCancel);
  EXPECT_EQ(AskYesNoCancel(cancel, "", "Save changes?"), Answer::kCancel);
  EXPECT_EQ(cancel.shown[0].buttons, Buttons::kYesNoCancel);
  EXPECT_FALSE(ConfirmOkCancel(cancel, "", "Print?"));
  FakeMessages ok(Answer::kOk);
  EXPECT_TRUE(ConfirmOkCancel(ok, "", "Print?"));
  EXPECT_EQ(ok.shown[0].buttons, Buttons::kOkCancel);
}

}  // namespace
}  // namespace tallybook::platform
