#include "platform/testing/scripted_messages.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/scripted_windows.h"

namespace tallybook::platform::testing {
namespace {

TEST(ScriptedMessagesTest, ExpectedMessagesGetTheirAnswersInOrder) {
  ScriptedMessages ui;
  ui.ExpectMessage("Cannot get a lock.  Abort?", Answer::kNo)
      .WithKind(MessageKind::kQuestion)
      .WithButtons(Buttons::kYesNo);
  ui.ExpectMessage("Cannot get a lock.  Abort?", Answer::kYes);
  EXPECT_FALSE(Confirm(ui, "", "Cannot get a lock.  Abort?"));
  EXPECT_TRUE(Confirm(ui, "", "Cannot get a lock.  Abort?"));
  EXPECT_EQ(ui.pending(), 0u);
  EXPECT_EQ(ui.shown().size(), 2u);
}

TEST(ScriptedMessagesTest, UnexpectedMessageFailsNamingItsText) {
  ScriptedMessages ui;
  Message message;
  message.kind = MessageKind::kQuestion;
  message.buttons = Buttons::kYesNo;
  message.default_answer = Answer::kYes;
  message.text = "The files are in use.  Abort?";
  Answer answer = Answer::kYes;
  EXPECT_NONFATAL_FAILURE(
      answer = ui.Show(message),
      "Unexpected message: question box \"\" [Yes/No]: \"The files are in "
      "use.  Abort?\"");
  // Answered as if the box were closed: No, never the destructive Yes.
  EXPECT_EQ(answer, Answer::kNo);
}

TEST(ScriptedMessagesTest, OtherTextThanExpectedFailsAndKeepsExpectation) {
  ScriptedMessages ui;
  ui.ExpectMessage("Add operation failed");
  EXPECT_NONFATAL_FAILURE(ShowError(ui, "", "Modify operation failed"),
                          "Expected message \"Add operation failed\" but got");
  EXPECT_EQ(ui.pending(), 1u);
  ShowError(ui, "", "Add operation failed");
  EXPECT_EQ(ui.pending(), 0u);
}

TEST(ScriptedMessagesTest, MessageNeverShownFailsAtVerify) {
  ScriptedMessages ui;
  ui.ExpectMessage("Index file is defective.  Rebuild?", Answer::kYes);
  EXPECT_NONFATAL_FAILURE(
      ui.Verify(),
      "Expected message never shown: \"Index file is defective.  Rebuild?\"");
  EXPECT_EQ(ui.pending(), 0u);
}

TEST(ScriptedMessagesTest, MessageNeverShownFailsInDestructor) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedMessages ui;
        ui.ExpectMessage("Delete operation failed");
      },
      "Expected message never shown: \"Delete operation failed\"");
}

TEST(ScriptedMessagesTest, WrongCaptionKindOrButtonsFail) {
  ScriptedMessages ui;
  ui.ExpectMessage("I am going to create a new, empty company file.")
      .WithCaption("New Company")
      .WithKind(MessageKind::kInformation);
  EXPECT_NONFATAL_FAILURE(
      Inform(ui, "New company", "I am going to create a new, empty company file."),
      "has caption \"New company\", expected \"New Company\"");

  ui.ExpectMessage("Bad date").WithKind(MessageKind::kWarning);
  EXPECT_NONFATAL_FAILURE(Inform(ui, "", "Bad date"),
                          "is a information box, expected a warning box");

  ui.ExpectMessage("Continue?", Answer::kYes).WithButtons(Buttons::kYesNo);
  EXPECT_NONFATAL_FAILURE(AskYesNoCancel(ui, "", "Continue?"),
                          "has buttons Yes/No/Cancel, expected Yes/No");
}

TEST(ScriptedMessagesTest, AnswerTheBoxCannotGiveFails) {
  ScriptedMessages ui;
  ui.ExpectMessage("Add operation failed", Answer::kYes);
  EXPECT_NONFATAL_FAILURE(ShowError(ui, "", "Add operation failed"),
                          "Script answers Yes to message \"Add operation "
                          "failed\", which has only OK");
}

TEST(ScriptedWindowsTest, ExpectedWindowsRunTheirHandlersNotExec) {
  ScriptedWindows windows;
  bool handler_ran = false;
  windows.ExpectWindow("TCalForm", [&] {
    handler_ran = true;
    return kModalOk;
  });
  windows.OnWindow("TPWDlg", kModalCancel);
  bool exec_ran = false;
  auto exec = [&] {
    exec_ran = true;
    return kModalOk;
  };
  EXPECT_EQ(windows.RunModal("TPWDlg", exec), kModalCancel);
  EXPECT_EQ(windows.RunModal("TCalForm", exec), kModalOk);
  EXPECT_EQ(windows.RunModal("TPWDlg", exec), kModalCancel);
  EXPECT_TRUE(handler_ran);
  EXPECT_FALSE(exec_ran);
  EXPECT_EQ(windows.opened(),
            (std::vector<std::string>{"TPWDlg", "TCalForm", "TPWDlg"}));
}

TEST(ScriptedWindowsTest, UnexpectedOrMissingWindowFails) {
  ScriptedWindows windows;
  int result = kModalOk;
  EXPECT_NONFATAL_FAILURE(result = windows.RunModal("TAboutBox", nullptr),
                          "Unexpected window: TAboutBox");
  EXPECT_EQ(result, kModalCancel);

  windows.ExpectWindow("TProdInv", kModalOk);
  EXPECT_NONFATAL_FAILURE(windows.RunModal("TDemoForm", nullptr),
                          "Expected window TProdInv but TDemoForm was opened");
  EXPECT_NONFATAL_FAILURE(windows.Verify(),
                          "Expected window never opened: TProdInv");
}

TEST(ScriptedWindowsTest, HandlerMayOpenTheNextExpectedWindow) {
  ScriptedWindows windows;
  windows.ExpectWindow("Tinvlist", [&] {
    return windows.RunModal("TProdInv", nullptr) + 10;
  });
  windows.ExpectWindow("TProdInv", kModalOk);
  EXPECT_EQ(windows.RunModal("Tinvlist", nullptr), 11);
}

TEST(ScriptedDialogsTest, ChoicesAndCancelsComeInOrder) {
  ScriptedDialogs dialogs;
  dialogs.ExpectOpenFile("/tmp/logo.bmp");
  dialogs.ExpectSaveFile(std::nullopt);
  Font bold;
  bold.style = kFontBold;
  dialogs.ExpectChooseFont(bold);
  FileDialogRequest request;
  request.caption = "Open Bitmap";
  EXPECT_EQ(dialogs.OpenFile(request), "/tmp/logo.bmp");
  EXPECT_EQ(dialogs.SaveFile(request), std::nullopt);
  EXPECT_EQ(dialogs.ChooseFont(Font{}), bold);
  ASSERT_EQ(dialogs.file_requests().size(), 2u);
  EXPECT_EQ(dialogs.file_requests()[0].caption, "Open Bitmap");
}

TEST(ScriptedDialogsTest, WrongUnexpectedOrMissingDialogFails) {
  ScriptedDialogs dialogs;
  FileDialogRequest request;
  request.caption = "Save Report";
  std::optional<std::string> chosen = "x";
  EXPECT_NONFATAL_FAILURE(chosen = dialogs.SaveFile(request),
                          "Unexpected save-file dialog \"Save Report\"");
  EXPECT_EQ(chosen, std::nullopt);

  dialogs.ExpectChooseFolder("/media/usb");
  EXPECT_NONFATAL_FAILURE(
      dialogs.OpenFile(request),
      "Expected a choose-folder dialog but a open-file dialog");
  EXPECT_NONFATAL_FAILURE(dialogs.Verify(),
                          "Expected choose-folder dialog never shown");
}

}  // namespace
}  // namespace tallybook::platform::testing
