#include "company/first_start.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "company/installation.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company {
namespace {

namespace fs = std::filesystem;
using platform::Answer;
using platform::MessageKind;

TEST(FirstStartTest, DataLivesInTheUsersDataFolder) {
  EXPECT_EQ(DefaultDataDirectory("/home/ann/.data", "/home/ann"),
            "/home/ann/.data/tallybook");
  EXPECT_EQ(DefaultDataDirectory(nullptr, "/home/ann"),
            "/home/ann/.local/share/tallybook");
  // A relative XDG_DATA_HOME is to be ignored, as is an empty one.
  EXPECT_EQ(DefaultDataDirectory("data", "/home/ann"),
            "/home/ann/.local/share/tallybook");
  EXPECT_EQ(DefaultDataDirectory("", "/home/ann"),
            "/home/ann/.local/share/tallybook");
  EXPECT_EQ(DefaultDataDirectory(nullptr, nullptr), "");
  EXPECT_EQ(DefaultDataDirectory(nullptr, "relative"), "");
}

class OfferInstallationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = (temp_.path() / "share" / "tallybook").string();
  }
  platform::testing::ScriptedPlatform ui_;
  platform::testing::TempDir temp_{"firststart"};
  std::string dir_;
};

TEST_F(OfferInstallationTest, YesMakesTheInstallationThere) {
  ui_.messages.ExpectMessage(OfferInstallationText(dir_), Answer::kYes)
      .WithCaption("Welcome to Tallybook");
  ui_.messages.ExpectMessage("A new Tallybook installation was made in " +
                             dir_ + " with company 1.");
  EXPECT_TRUE(OfferInstallation(ui_.messages, dir_));
  EXPECT_TRUE(HoldsInstallation(dir_));
  // Asked again it is simply there.
  EXPECT_TRUE(OfferInstallation(ui_.messages, dir_));
}

TEST_F(OfferInstallationTest, NoMakesNothing) {
  ui_.messages.ExpectMessage(OfferInstallationText(dir_), Answer::kNo);
  EXPECT_FALSE(OfferInstallation(ui_.messages, dir_));
  EXPECT_FALSE(fs::exists(dir_));
}

TEST_F(OfferInstallationTest, AFolderThatCannotBeMadeIsReported) {
  // A plain file where the folder should be.
  fs::create_directories(fs::path(dir_).parent_path());
  std::ofstream(dir_) << "x";
  ui_.messages.ExpectMessage(OfferInstallationText(dir_), Answer::kYes);
  ui_.messages
      .ExpectMessage(dir_ + " is not a directory. Nothing was changed.")
      .WithKind(MessageKind::kError);
  EXPECT_FALSE(OfferInstallation(ui_.messages, dir_));
}

}  // namespace
}  // namespace tallybook::company
