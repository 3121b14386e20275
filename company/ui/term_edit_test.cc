#include "company/ui/term_edit.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "company/installation.h"
#include "company/ui/ui_test_support.h"
#include "platform/testing/scripted_platform.h"
#include "platform/qt/text_codec.h"

namespace tallybook::company::ui {
namespace {

using platform::Answer;
using platform::kModalOk;

class TTermEditTest : public ::testing::Test, public ShellFixture {
 protected:
  void WriteTerms(const std::string& bytes) {
    platform::testing::WriteFileBytes(dir / kTermsFileName, bytes);
  }
  std::string ReadTerms() const { return platform::testing::ReadFileBytes(dir / kTermsFileName); }
  // Puts a folder where the terms file was: a save can no longer replace it.
  void PutFolderInPlaceOfTheFile() {
    std::filesystem::remove(dir / kTermsFileName);
    std::filesystem::create_directory(dir / kTermsFileName);
  }
  QStringList Rows(const TTermEdit& window) const {
    QStringList rows;
    for (int i = 0; i < window.TermList->count(); ++i) rows << window.TermList->item(i)->text();
    return rows;
  }
};

TEST_F(TTermEditTest, ShowsTheSortedTermsWithTheFieldAndOkDisabled) {
  WriteTerms("Net 30\r\ncod\r\nDue\r\n");
  TTermEdit window(*app);
  window.FormShow();
  EXPECT_EQ(window.windowTitle(), "Edit Payment Terms");
  EXPECT_EQ(Rows(window), (QStringList{"cod", "Due", "Net 30"}));
  EXPECT_EQ(window.TermList->currentRow(), 0);
  EXPECT_FALSE(window.TermText->isEnabled());
  EXPECT_FALSE(window.OkButton->isEnabled());
  EXPECT_EQ(window.TermText->maxLength(), 35);
  EXPECT_EQ(window.CloseButton->text(), "&Close");
}

TEST_F(TTermEditTest, TypedTermIsAddedAtItsSortedPlaceAndSavedOnClose) {
  WriteTerms("Net 30\r\nDue\r\n");
  TTermEdit window(*app);
  window.FormShow();
  window.show();
  QTest::mouseClick(window.AddButton, Qt::LeftButton);
  EXPECT_EQ(window.PromptLabel->text(), "Enter new payment term and select Ok button...");
  EXPECT_TRUE(window.TermText->isEnabled());
  EXPECT_TRUE(window.OkButton->isEnabled());
  QTest::keyClicks(window.TermText, "Net 10");
  QTest::mouseClick(window.OkButton, Qt::LeftButton);
  EXPECT_EQ(Rows(window), (QStringList{"Due", "Net 10", "Net 30"}));
  EXPECT_EQ(window.PromptLabel->text(), "");
  EXPECT_EQ(window.TermText->text(), "");
  EXPECT_FALSE(window.OkButton->isEnabled());
  QTest::mouseClick(window.CloseButton, Qt::LeftButton);
  EXPECT_EQ(window.result(), kModalOk);
  EXPECT_EQ(ReadTerms(), "Due\r\nNet 10\r\nNet 30\r\n");
}

TEST_F(TTermEditTest, TermsLongerThanTheFieldCannotBeTyped) {
  TTermEdit window(*app);
  window.FormShow();
  window.show();
  window.AddButtonClick();
  QTest::keyClicks(window.TermText, QString(40, 'x'));
  EXPECT_EQ(window.TermText->text(), QString(35, 'x'));
}

TEST_F(TTermEditTest, EditedTermMovesInTheListAndClickingTheListCancelsAnAdd) {
  WriteTerms("Net 30\r\nDue\r\nCOD\r\n");
  TTermEdit window(*app);
  window.FormShow();
  window.show();
  window.TermListClick(2);
  window.EditButtonClick();
  EXPECT_EQ(window.TermText->text(), "Net 30");
  EXPECT_EQ(window.PromptLabel->text(), "Edit this payment term and select Ok button...");
  window.TermText->setText("Advance");
  window.OkButtonClick();
  EXPECT_EQ(Rows(window), (QStringList{"Advance", "COD", "Due"}));

  window.AddButtonClick();
  QTest::keyClicks(window.TermText, "Abandoned");
  QTest::mouseClick(window.TermList->viewport(), Qt::LeftButton, {},
                    window.TermList->visualItemRect(window.TermList->item(1)).center());
  EXPECT_EQ(window.TermList->currentRow(), 1);
  EXPECT_FALSE(window.TermText->isEnabled());
  EXPECT_EQ(window.TermText->text(), "");
  EXPECT_FALSE(window.OkButton->isEnabled());
  EXPECT_EQ(window.PromptLabel->text(), "");
  EXPECT_EQ(Rows(window), (QStringList{"Advance", "COD", "Due"}));
}

TEST_F(TTermEditTest, EscapeSavesLikeCloseAndAFailedSaveKeepsTheWindowOpen) {
  WriteTerms("Net 30\r\n");
  TTermEdit window(*app);
  window.FormShow();
  window.AddButtonClick();
  window.TermText->setText("Due");
  window.OkButtonClick();
  PutFolderInPlaceOfTheFile();
  ui.messages.ExpectMessage("Unable to save the payment terms to \"" +
                                (dir / kTermsFileName).string() +
                                "\": it is a folder. The file on disk is unchanged. "
                                "Close without saving the payment terms?",
                            Answer::kNo);
  window.reject();
  EXPECT_NE(window.result(), kModalOk);
  EXPECT_EQ(Rows(window), (QStringList{"Due", "Net 30"}));
  std::filesystem::remove(dir / kTermsFileName);
  window.reject();
  EXPECT_EQ(window.result(), kModalOk);
  EXPECT_EQ(ReadTerms(), "Due\r\nNet 30\r\n");
}

TEST_F(TTermEditTest, HelpOpensEditTermsAndExecuteRunsThroughThePlatform) {
  TTermEdit window(*app);
  window.HelpButtonClick();
  EXPECT_EQ(ui.help.topics(), std::vector<std::string>{"EditTerms"});
  ui.windows.ExpectWindow("TTermEdit", kModalOk);
  EXPECT_EQ(window.Execute(), kModalOk);
  EXPECT_EQ(window.TermList->count(), 9);  // the installation's terms
}

}  // namespace
}  // namespace tallybook::company::ui
