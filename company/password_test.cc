#include "company/password.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company {
namespace {

namespace fs = std::filesystem;
using platform::Answer;
using platform::Buttons;
using platform::MessageKind;

// The dialog's answers in order (nullopt is Cancel), and the captions it
// was shown under.
struct ScriptedPrompt {
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> captions;

  PasswordPrompt Prompt() {
    return [this](const std::string& caption) -> std::optional<std::string> {
      captions.push_back(caption);
      if (answers.empty()) {
        ADD_FAILURE() << "password dialog not expected: " << caption;
        return std::nullopt;
      }
      std::optional<std::string> answer = answers.front();
      answers.pop_front();
      return answer;
    };
  }
};

class PasswordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path();
    app_ = std::make_unique<App>(dir_.string(), ui_.services());
  }
  void TearDown() override {
    ui_.Verify();
    EXPECT_TRUE(prompt_.answers.empty());
    app_.reset();
  }

  fs::path File() const { return dir_ / kPasswordFileName; }
  void WriteFile(const std::string& bytes) {
    std::ofstream(File(), std::ios::binary) << bytes;
  }
  std::string ReadFile() const {
    std::ifstream in(File(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Answers(std::initializer_list<std::optional<std::string>> answers) {
    prompt_.answers.assign(answers.begin(), answers.end());
  }
  void SetPassword(const std::string& password) {
    WriteFile(PasswordRecord(password));
  }

  platform::testing::ScriptedPlatform ui_;
  platform::testing::TempDir temp_{"password"};
  fs::path dir_;
  std::unique_ptr<App> app_;
  ScriptedPrompt prompt_;
};

TEST(PasswordRecord, IsTheTrimmedTextInTwentyOneZeroPaddedBytes) {
  std::string expected(21, '\0');
  expected[0] = 6;
  expected.replace(1, 6, "Secret");
  EXPECT_EQ(PasswordRecord("  Secret \t"), expected);
  EXPECT_EQ(PasswordRecord(std::string(30, 'x')),
            std::string(1, '\x14') + std::string(20, 'x'));
}

// ---- the check

TEST_F(PasswordTest, NoFileMeansNoPasswordAndNoDialog) {
  EXPECT_TRUE(CheckPassword(*app_, prompt_.Prompt()));
  EXPECT_TRUE(prompt_.captions.empty());
}

TEST_F(PasswordTest, TypedPasswordIsTrimmedAndCaseMatters) {
  SetPassword("Secret");
  Answers({"  Secret  "});
  EXPECT_TRUE(CheckPassword(*app_, prompt_.Prompt()));
  EXPECT_EQ(prompt_.captions, std::vector<std::string>{"Password Required"});

  Answers({"secret"});
  ui_.messages.ExpectMessage("You did not enter the correct password.")
      .WithCaption("Invalid Password")
      .WithKind(MessageKind::kWarning);
  EXPECT_FALSE(CheckPassword(*app_, prompt_.Prompt()));
}

TEST_F(PasswordTest, StartUpTakesThreeTries) {
  SetPassword("Secret");
  Answers({"secret", "Secrte", "Secret"});
  for (int i = 0; i < 2; ++i) {
    ui_.messages.ExpectMessage("You did not enter the correct password.")
        .WithCaption("Invalid Password");
  }
  EXPECT_TRUE(CheckPassword(*app_, prompt_.Prompt(), kStartupPasswordTries));
  EXPECT_EQ(prompt_.captions.size(), 3u);

  Answers({"a", "b", "c"});
  for (int i = 0; i < 3; ++i) {
    ui_.messages.ExpectMessage("You did not enter the correct password.");
  }
  EXPECT_FALSE(CheckPassword(*app_, prompt_.Prompt(), kStartupPasswordTries));

  // Cancel on the second try ends at once.
  Answers({"a", std::nullopt});
  ui_.messages.ExpectMessage("You did not enter the correct password.");
  EXPECT_FALSE(CheckPassword(*app_, prompt_.Prompt(), kStartupPasswordTries));
}

TEST_F(PasswordTest, CancelFailsWithoutMessage) {
  SetPassword("Secret");
  Answers({std::nullopt});
  EXPECT_FALSE(CheckPassword(*app_, prompt_.Prompt()));
  EXPECT_TRUE(ui_.messages.shown().empty());
}

TEST_F(PasswordTest, StoredBlanksAndDamagedLengthByteAreHandled) {
  // Written by hand with blanks kept and a length byte past the field.
  std::string record(21, '\0');
  record[0] = static_cast<char>(200);
  record.replace(1, 20, " abc                ");
  WriteFile(record);
  Answers({"abc"});
  EXPECT_TRUE(CheckPassword(*app_, prompt_.Prompt()));
}

TEST_F(PasswordTest, ShortFileIsReportedAndRefusesEntry) {
  WriteFile(std::string("\x06Secr", 5));
  ui_.messages.ExpectMessage(
      "The password file " + File().string() +
      " is damaged or cannot be read. Replace it from a backup, or delete it "
      "to remove the password protection.")
      .WithCaption("Invalid Password");
  EXPECT_FALSE(CheckPassword(*app_, prompt_.Prompt()));
  EXPECT_EQ(ReadFile(), std::string("\x06Secr", 5));
}

// ---- set-up

TEST_F(PasswordTest, NewPasswordIsStoredTrimmedAfterEachMessageInOrder) {
  ui_.messages.ExpectMessage(
      "Once you create a password you must enter it EXACTLY or you will not "
      "be able to use the billing system. Continue?",
      Answer::kYes)
      .WithCaption("Password Setup")
      .WithButtons(Buttons::kYesNo);
  Answers({" Open Sesame ", " Open Sesame "});
  ui_.messages.ExpectMessage(
      "Your new password is set. You will need to enter it EXACTLY as you "
      "typed it next time you want to access the system.")
      .WithCaption("Password Setup")
      .WithKind(MessageKind::kInformation);
  // A side file left readable by all from an earlier run, and a umask
  // that would let anyone read a new file: neither makes it public.
  const std::string side = app_->PathOf(kPasswordFileName) + ".new";
  std::ofstream(side) << "stale";
  fs::permissions(side, fs::perms::all);
  const mode_t mask = ::umask(0);
  PasswordSetup(*app_, prompt_.Prompt());
  ::umask(mask);
  EXPECT_EQ(prompt_.captions, (std::vector<std::string>{
                                  "Password Setup", "Re-enter Your Password"}));
  EXPECT_EQ(ReadFile(), PasswordRecord("Open Sesame"));
  EXPECT_EQ(ReadFile().size(), 21u);
  EXPECT_EQ(fs::status(app_->PathOf(kPasswordFileName)).permissions() &
                fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(fs::exists(side));
}

TEST_F(PasswordTest, DecliningTheFirstWarningSetsNothing) {
  ui_.messages.ExpectMessage(
      "Once you create a password you must enter it EXACTLY or you will not "
      "be able to use the billing system. Continue?",
      Answer::kNo);
  PasswordSetup(*app_, prompt_.Prompt());
  EXPECT_FALSE(fs::exists(File()));
}

TEST_F(PasswordTest, OneCharacterTwiceRemovesProtection) {
  SetPassword("Secret");
  ui_.messages.ExpectMessage("A Password exists. Do you want to change it?",
                             Answer::kYes)
      .WithButtons(Buttons::kYesNo);
  Answers({"Secret", "x", "x"});
  ui_.messages.ExpectMessage(
      "You will need to enter a new password TWO times. Do not enter any "
      "password (twice) if you want to remove the password protection.")
      .WithCaption("Password Setup");
  ui_.messages.ExpectMessage(
      "You did not enter password. Any password has been cleared. This system "
      "is no longer password protected.")
      .WithCaption("Password Removed");
  PasswordSetup(*app_, prompt_.Prompt());
  EXPECT_EQ(prompt_.captions,
            (std::vector<std::string>{"Enter the Current Password",
                                      "Password Setup",
                                      "Re-enter Your Password"}));
  EXPECT_FALSE(fs::exists(File()));
  EXPECT_TRUE(CheckPassword(*app_, prompt_.Prompt()));
}

TEST_F(PasswordTest, OneCharacterAmongBlanksIsNoPasswordEither) {
  ui_.messages.ExpectMessage(
      "Once you create a password you must enter it EXACTLY or you will not "
      "be able to use the billing system. Continue?",
      Answer::kYes);
  Answers({" x ", " x "});
  ui_.messages.ExpectMessage(
      "You did not enter password. Any password has been cleared. This system "
      "is no longer password protected.");
  PasswordSetup(*app_, prompt_.Prompt());
  EXPECT_FALSE(fs::exists(File()));
}

TEST_F(PasswordTest, WrongCurrentPasswordChangesNothing) {
  SetPassword("Secret");
  ui_.messages.ExpectMessage("A Password exists. Do you want to change it?",
                             Answer::kYes);
  Answers({"SECRET"});
  ui_.messages.ExpectMessage(
      "You did not enter the correct password. Unable to change password.")
      .WithCaption("Incorrect Password");
  PasswordSetup(*app_, prompt_.Prompt());
  EXPECT_EQ(ReadFile(), PasswordRecord("Secret"));
}

TEST_F(PasswordTest, MismatchedEntriesChangeNothing) {
  SetPassword("Secret");
  ui_.messages.ExpectMessage("A Password exists. Do you want to change it?",
                             Answer::kYes);
  Answers({"Secret", "NewOne", "Newone"});
  ui_.messages.ExpectMessage(
      "You will need to enter a new password TWO times. Do not enter any "
      "password (twice) if you want to remove the password protection.");
  ui_.messages.ExpectMessage(
      "The two passwords do not match. Unable to setup password. Try again.")
      .WithCaption("Invalid Password");
  PasswordSetup(*app_, prompt_.Prompt());
  EXPECT_EQ(ReadFile(), PasswordRecord("Secret"));
}

TEST_F(PasswordTest, CancelAtAnyDialogEndsSetup) {
  SetPassword("Secret");
  ui_.messages.ExpectMessage("A Password exists. Do you want to change it?",
                             Answer::kNo);
  PasswordSetup(*app_, prompt_.Prompt());

  for (int cancel_at = 0; cancel_at < 3; ++cancel_at) {
    ui_.messages.ExpectMessage("A Password exists. Do you want to change it?",
                               Answer::kYes);
    std::deque<std::optional<std::string>> answers = {"Secret", "Other1",
                                                      "Other1"};
    answers[cancel_at] = std::nullopt;
    answers.resize(cancel_at + 1);
    prompt_.answers = answers;
    if (cancel_at > 0) {
      ui_.messages.ExpectMessage(
          "You will need to enter a new password TWO times. Do not enter any "
          "password (twice) if you want to remove the password protection.");
    }
    PasswordSetup(*app_, prompt_.Prompt());
    EXPECT_EQ(ReadFile(), PasswordRecord("Secret")) << cancel_at;
  }
}

TEST_F(PasswordTest, ChangedPasswordReplacesTheOld) {
  SetPassword("Secret");
  ui_.messages.ExpectMessage("A Password exists. Do you want to change it?",
                             Answer::kYes);
  Answers({"Secret", "Better1", "Better1"});
  ui_.messages.ExpectMessage(
      "You will need to enter a new password TWO times. Do not enter any "
      "password (twice) if you want to remove the password protection.");
  ui_.messages.ExpectMessage(
      "Your new password is set. You will need to enter it EXACTLY as you "
      "typed it next time you want to access the system.")
      .WithCaption("Password Setup");
  PasswordSetup(*app_, prompt_.Prompt());
  Answers({"Better1"});
  EXPECT_TRUE(CheckPassword(*app_, prompt_.Prompt()));
}

TEST_F(PasswordTest, UnwritableDirectoryKeepsTheEarlierPassword) {
  SetPassword("Secret");
  // A directory where the work file would go makes the write fail.
  fs::create_directory(dir_ / (std::string(kPasswordFileName) + ".new"));
  ui_.messages.ExpectMessage("A Password exists. Do you want to change it?",
                             Answer::kYes);
  Answers({"Secret", "Better1", "Better1"});
  ui_.messages.ExpectMessage(
      "You will need to enter a new password TWO times. Do not enter any "
      "password (twice) if you want to remove the password protection.");
  ui_.messages.ExpectMessage("Unable to write the password file " +
                             File().string() +
                             ". The password was not changed.")
      .WithCaption("Password Setup");
  PasswordSetup(*app_, prompt_.Prompt());
  EXPECT_EQ(ReadFile(), PasswordRecord("Secret"));
}

}  // namespace
}  // namespace tallybook::company
