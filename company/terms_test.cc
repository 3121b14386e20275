#include "company/terms.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

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
using Terms = std::vector<std::string>;
using namespace std::string_literals;

class TermsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path();
    app_ = std::make_unique<App>(dir_.string(), ui_.services());
  }
  void TearDown() override {
    ui_.Verify();
    app_.reset();
    std::error_code ec;
    fs::permissions(File(), fs::perms::owner_all, ec);
  }

  std::string File() const { return (dir_ / kTermsFileName).string(); }
  void WriteFile(const std::string& bytes) {
    std::ofstream(File(), std::ios::binary) << bytes;
  }
  std::string ReadFile(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string ReadFile() const { return ReadFile(File()); }
  // Names in the data directory other than the terms file.
  std::vector<std::string> OtherFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      if (entry.path().filename() != kTermsFileName) {
        names.push_back(entry.path().filename().string());
      }
    }
    return names;
  }
  // Makes the terms file one that cannot be replaced.
  void MakeFileReadOnly() { ASSERT_EQ(::chmod(File().c_str(), 0444), 0); }

  platform::testing::ScriptedPlatform ui_;
  platform::testing::TempDir temp_{"terms"};
  fs::path dir_;
  std::unique_ptr<App> app_;
};

// ---- the sorted list

TEST(TermListTest, SortsWithoutRegardToCaseAndKeepsTermsDifferingOnlyInCase) {
  TermList list({"net 30 Days", "Due On Receipt", "COD", "Net 30 Days", "cash"});
  EXPECT_EQ(list.terms(),
            (Terms{"cash", "COD", "Due On Receipt", "Net 30 Days", "net 30 Days"}));
  EXPECT_EQ(list.Add("due on receipt"), 3);
  EXPECT_EQ(list.size(), 6);
  EXPECT_TRUE(list.ContainsIgnoringCase("NET 30 DAYS"));
  EXPECT_FALSE(list.ContainsIgnoringCase("Net 30"));
}

TEST(TermListTest, CaseOfAccentedLettersIsIgnored) {
  TermList list({"\xE9t\xE9", "Zero", "apple"});  // "été"
  EXPECT_EQ(list.terms(), (Terms{"apple", "Zero", "\xE9t\xE9"}));
  EXPECT_TRUE(list.ContainsIgnoringCase("\xC9T\xC9"));  // "ÉTÉ"
}

TEST(TermListTest, ReplacedTermMovesToItsSortedPlace) {
  TermList list(DefaultTerms());
  ASSERT_EQ(list.at(8), "Net 30 Days");
  EXPECT_EQ(list.Replace(8, "Cash On Delivery"), 2);
  EXPECT_EQ(list.at(2), "Cash On Delivery");
  EXPECT_FALSE(list.ContainsIgnoringCase("Net 30 Days"));
  EXPECT_EQ(list.size(), 9);
}

TEST(TermListTest, TermsAreCutToThirtyFiveCharactersAndBadIndexesChangeNothing) {
  TermList list;
  list.Add(std::string(40, 'x'));
  EXPECT_EQ(list.at(0), std::string(35, 'x'));
  EXPECT_EQ(list.Replace(1, "a"), -1);
  EXPECT_EQ(list.Replace(-1, "a"), -1);
  EXPECT_FALSE(list.Remove(1));
  EXPECT_EQ(list.terms(), Terms{std::string(35, 'x')});
}

// ---- reading and writing the file

TEST_F(TermsTest, ReadAcceptsCrLfAndBareLfAndSkipsEmptyLines) {
  WriteFile("Net 30 Days\r\n\r\n  Due On Receipt \r\nCOD\n\nnet 10");
  TermsFile file = ReadTermsFile(File());
  EXPECT_EQ(file.state, TermsFile::State::kLoaded);
  EXPECT_EQ(file.terms, (Terms{"Net 30 Days", "Due On Receipt", "COD", "net 10"}));
  EXPECT_EQ(file.cut_count, 0);
}

TEST_F(TermsTest, ReadCutsLongLinesAndCountsThem) {
  std::string long_term = "Credit Card - American Express Gold Card";
  WriteFile(long_term + "\r\nNet 30\r\n");
  TermsFile file = ReadTermsFile(File());
  EXPECT_EQ(file.state, TermsFile::State::kLoaded);
  EXPECT_EQ(file.terms, (Terms{long_term.substr(0, 35), "Net 30"}));
  EXPECT_EQ(file.cut_count, 1);
}

TEST_F(TermsTest, FilesThatGiveNoTermsSayWhyNamingTheFile) {
  TermsFile missing = ReadTermsFile(File());
  EXPECT_EQ(missing.state, TermsFile::State::kMissing);
  EXPECT_EQ(missing.message, "The payment terms file \"" + File() +
                                 "\" was not found. The standard payment terms "
                                 "are shown instead.");

  WriteFile("Net 30\r\n\0\x01\x02garbage"s);
  TermsFile binary = ReadTermsFile(File());
  EXPECT_EQ(binary.state, TermsFile::State::kDamaged);
  EXPECT_EQ(binary.message, "The payment terms file \"" + File() +
                                "\" is not a list of payment terms: it holds "
                                "binary data. The standard payment terms are "
                                "shown instead.");
  EXPECT_TRUE(binary.terms.empty());

  WriteFile(std::string(kMaxTermsFileSize + 1, 'x'));
  EXPECT_EQ(ReadTermsFile(File()).state, TermsFile::State::kDamaged);

  WriteFile("\r\n  \r\n");
  TermsFile empty = ReadTermsFile(File());
  EXPECT_EQ(empty.state, TermsFile::State::kEmpty);
  EXPECT_EQ(empty.message, "The payment terms file \"" + File() +
                               "\" holds no payment terms. The standard payment "
                               "terms are shown instead.");

  fs::remove(File());
  fs::create_directory(File());
  TermsFile folder = ReadTermsFile(File());
  EXPECT_EQ(folder.state, TermsFile::State::kUnreadable);
  EXPECT_EQ(folder.message, "The payment terms file \"" + File() +
                                "\" could not be read: it is a folder. The "
                                "standard payment terms are shown instead.");
  fs::remove(File());
}

TEST_F(TermsTest, WriteStoresTheSortedTermsEachEndedByCrLf) {
  std::string error;
  ASSERT_TRUE(WriteTermsFile(File(), TermList({"Net 30", "cod", "Due"}), &error)) << error;
  EXPECT_EQ(ReadFile(), "cod\r\nDue\r\nNet 30\r\n");
  EXPECT_TRUE(OtherFiles().empty());  // no temporary file left behind
  ASSERT_TRUE(WriteTermsFile(File(), TermList({"Net 10"}), &error)) << error;
  EXPECT_EQ(ReadFile(), "Net 10\r\n");
}

TEST_F(TermsTest, FailedWriteLeavesTheEarlierFileAndNoTemporaryFile) {
  WriteFile("Net 30\r\n");
  MakeFileReadOnly();
  std::string error;
  EXPECT_FALSE(WriteTermsFile(File(), TermList({"Due"}), &error));
  EXPECT_EQ(error, "Unable to save the payment terms to \"" + File() +
                       "\": the file is read-only. The file on disk is unchanged.");
  EXPECT_EQ(ReadFile(), "Net 30\r\n");
  EXPECT_TRUE(OtherFiles().empty());

  std::string nowhere = (dir_ / "no such folder" / kTermsFileName).string();
  EXPECT_FALSE(WriteTermsFile(nowhere, TermList({"Due"}), &error));
  EXPECT_EQ(error, "Unable to save the payment terms to \"" + nowhere +
                       "\": No such file or directory. The file on disk is unchanged.");
}

TEST_F(TermsTest, ReplacingADamagedFileKeepsItAsTlTermsBad) {
  const std::string damaged = "Net 30\r\n\0\0\0"s;
  WriteFile(damaged);
  std::string error;
  ASSERT_TRUE(WriteTermsFile(File(), TermList({"Due"}), &error)) << error;
  EXPECT_EQ(ReadFile(), "Due\r\n");
  EXPECT_EQ(ReadFile(dir_ / kDamagedTermsFileName), damaged);
}

// ---- LoadTerms and SaveTerms

TEST_F(TermsTest, LoadTermsWithoutAFileWarnsAndOffersTheStandardTerms) {
  ui_.messages
      .ExpectMessage("The payment terms file \"" + File() +
                     "\" was not found. The standard payment terms are shown instead.")
      .WithCaption("Payment Terms")
      .WithKind(MessageKind::kWarning);
  TermList list;
  EXPECT_EQ(LoadTerms(*app_, &list), TermsFile::State::kMissing);
  EXPECT_EQ(list.terms(), DefaultTerms());
  EXPECT_EQ(list.size(), 9);
}

TEST_F(TermsTest, SaveTermsThatFailsShowsTheErrorAndKeepsTheFile) {
  WriteFile("Net 30\r\n");
  MakeFileReadOnly();
  ui_.messages
      .ExpectMessage("Unable to save the payment terms to \"" + File() +
                     "\": the file is read-only. The file on disk is unchanged.")
      .WithCaption("Payment Terms")
      .WithKind(MessageKind::kError);
  EXPECT_FALSE(SaveTerms(*app_, TermList({"Due"})));
  EXPECT_EQ(ReadFile(), "Net 30\r\n");
}

// ---- a new term typed into an invoice

class AddTermFromInvoiceTest : public TermsTest {
 protected:
  void SetUp() override {
    TermsTest::SetUp();
    WriteFile("Due On Receipt\r\nNet 30 Days\r\n");
    list_ = TermList({"Due On Receipt", "Net 30 Days"});
  }
  void ExpectQuestion(Answer answer) {
    ui_.messages.ExpectMessage(kNewTermQuestion, answer)
        .WithCaption("Terms: Net 45 Days")
        .WithKind(MessageKind::kQuestion)
        .WithButtons(Buttons::kYesNoCancel);
  }
  TermList list_;
};

TEST_F(AddTermFromInvoiceTest, YesAddsTheTermAndSavesTheWholeList) {
  ExpectQuestion(Answer::kYes);
  EXPECT_EQ(AddTermFromInvoice(*app_, &list_, "Net 45 Days "), NewTermChoice::kAdded);
  EXPECT_EQ(list_.terms(), (Terms{"Due On Receipt", "Net 30 Days", "Net 45 Days"}));
  EXPECT_EQ(ReadFile(), "Due On Receipt\r\nNet 30 Days\r\nNet 45 Days\r\n");
}

TEST_F(AddTermFromInvoiceTest, NoAndCancelLeaveListAndFileAlone) {
  ExpectQuestion(Answer::kNo);
  EXPECT_EQ(AddTermFromInvoice(*app_, &list_, "Net 45 Days"), NewTermChoice::kNotAdded);
  ExpectQuestion(Answer::kCancel);
  EXPECT_EQ(AddTermFromInvoice(*app_, &list_, "Net 45 Days"), NewTermChoice::kCancelled);
  EXPECT_EQ(list_.size(), 2);
  EXPECT_EQ(ReadFile(), "Due On Receipt\r\nNet 30 Days\r\n");
}

TEST_F(AddTermFromInvoiceTest, ListedTermInOtherCaseOrEmptyTextAsksNothing) {
  EXPECT_EQ(AddTermFromInvoice(*app_, &list_, "NET 30 days"), NewTermChoice::kNotAsked);
  EXPECT_EQ(AddTermFromInvoice(*app_, &list_, "   "), NewTermChoice::kNotAsked);
  EXPECT_TRUE(ui_.messages.shown().empty());
}

TEST_F(AddTermFromInvoiceTest, YesWithAnUnwritableFileTellsTheUserAndKeepsTheTerm) {
  MakeFileReadOnly();
  ExpectQuestion(Answer::kYes);
  ui_.messages.ExpectMessage("Unable to save the payment terms to \"" + File() +
                             "\": the file is read-only. The file on disk is unchanged.");
  EXPECT_EQ(AddTermFromInvoice(*app_, &list_, "Net 45 Days"), NewTermChoice::kAdded);
  EXPECT_TRUE(list_.ContainsIgnoringCase("Net 45 Days"));
  EXPECT_EQ(ReadFile(), "Due On Receipt\r\nNet 30 Days\r\n");
}

// ---- the editor

class TermEditorTest : public TermsTest {
 protected:
  void SetUp() override {
    TermsTest::SetUp();
    editor_ = std::make_unique<TermEditor>(*app_);
  }
  void Show(const std::string& file) {
    WriteFile(file);
    editor_->Show();
  }
  void ExpectIdle() {
    EXPECT_EQ(editor_->mode(), "");
    EXPECT_EQ(editor_->prompt(), "");
    EXPECT_EQ(editor_->field_text(), "");
    EXPECT_FALSE(editor_->field_enabled());
    EXPECT_FALSE(editor_->ok_enabled());
    EXPECT_EQ(editor_->selected(), 0);
  }
  std::unique_ptr<TermEditor> editor_;
};

TEST_F(TermEditorTest, AddedTermTakesItsSortedPlace) {
  Show("Net 30\r\nDue\r\n");
  editor_->AddClick();
  EXPECT_EQ(editor_->mode(), "A");
  EXPECT_EQ(editor_->prompt(), "Enter new payment term and select Ok button...");
  EXPECT_TRUE(editor_->field_enabled());
  EXPECT_TRUE(editor_->field_wants_focus());
  EXPECT_TRUE(editor_->ok_enabled());
  EXPECT_TRUE(editor_->OkClick("Net 10"));
  EXPECT_EQ(editor_->list().terms(), (Terms{"Due", "Net 10", "Net 30"}));
  ExpectIdle();
}

TEST_F(TermEditorTest, EditedTermMovesToItsSortedPlace) {
  Show("Net 30\r\nDue\r\nCOD\r\n");
  editor_->ListClick(2);  // "Net 30"
  editor_->EditClick();
  EXPECT_EQ(editor_->mode(), "E");
  EXPECT_EQ(editor_->prompt(), "Edit this payment term and select Ok button...");
  EXPECT_EQ(editor_->field_text(), "Net 30");
  EXPECT_TRUE(editor_->ok_enabled());
  EXPECT_TRUE(editor_->OkClick("Advance payment"));
  EXPECT_EQ(editor_->list().terms(), (Terms{"Advance payment", "COD", "Due"}));
  ExpectIdle();
}

TEST_F(TermEditorTest, TermsDifferingOnlyInCaseAreBothKeptAndSaved) {
  Show("Net 30 Days\r\n");
  editor_->AddClick();
  EXPECT_TRUE(editor_->OkClick("NET 30 DAYS"));
  EXPECT_TRUE(editor_->CloseClick());
  EXPECT_EQ(ReadFile(), "NET 30 DAYS\r\nNet 30 Days\r\n");
}

TEST_F(TermEditorTest, OkWithAnEmptyFieldIsRefusedAndKeepsTheAdd) {
  Show("Net 30\r\n");
  editor_->AddClick();
  ui_.messages.ExpectMessage("You do not have any text entered.")
      .WithCaption("Invalid Payment Term")
      .WithKind(MessageKind::kWarning);
  ui_.messages.ExpectMessage("You do not have any text entered.");
  EXPECT_FALSE(editor_->OkClick(""));
  EXPECT_FALSE(editor_->OkClick("   "));
  EXPECT_EQ(editor_->mode(), "A");
  EXPECT_TRUE(editor_->field_enabled());
  EXPECT_TRUE(editor_->ok_enabled());
  EXPECT_TRUE(editor_->field_wants_focus());
  EXPECT_EQ(editor_->list().terms(), Terms{"Net 30"});
}

TEST_F(TermEditorTest, ClickingTheListCancelsAPendingAddOrEdit) {
  Show("Net 30\r\nDue\r\n");
  editor_->AddClick();
  editor_->ListClick(1);
  EXPECT_EQ(editor_->mode(), "");
  EXPECT_EQ(editor_->prompt(), "");
  EXPECT_FALSE(editor_->field_enabled());
  EXPECT_FALSE(editor_->ok_enabled());
  EXPECT_EQ(editor_->selected(), 1);
  EXPECT_FALSE(editor_->OkClick("Net 10"));  // "Ok" is dead now
  editor_->EditClick();
  editor_->ListClick(0);
  EXPECT_EQ(editor_->field_text(), "");
  EXPECT_EQ(editor_->list().terms(), (Terms{"Due", "Net 30"}));
  EXPECT_FALSE(editor_->modified());
}

TEST_F(TermEditorTest, DeletingLastTermIsRefused) {
  Show("Net 30\r\n");
  ui_.messages.ExpectMessage("You must have at least on payment term.")
      .WithCaption("Delete Payment Term")
      .WithKind(MessageKind::kInformation);
  EXPECT_FALSE(editor_->DeleteClick());
  EXPECT_EQ(editor_->list().terms(), Terms{"Net 30"});
}

TEST_F(TermEditorTest, DeleteRemovesTheSelectedTermAndEndsAPendingEdit) {
  Show("Net 30\r\nDue\r\nCOD\r\n");
  editor_->ListClick(1);  // "Due"
  editor_->EditClick();
  EXPECT_TRUE(editor_->DeleteClick());
  EXPECT_EQ(editor_->list().terms(), (Terms{"COD", "Net 30"}));
  ExpectIdle();
  EXPECT_FALSE(editor_->OkClick("Changed"));  // the edited row is gone
  EXPECT_EQ(editor_->list().terms(), (Terms{"COD", "Net 30"}));
}

TEST_F(TermEditorTest, CloseWithAMissingFileWritesTheStandardTerms) {
  ui_.messages.ExpectMessage("The payment terms file \"" + File() +
                             "\" was not found. The standard payment terms are shown instead.");
  editor_->Show();
  EXPECT_EQ(editor_->list().terms(), DefaultTerms());
  EXPECT_TRUE(editor_->CloseClick());
  TermsFile saved = ReadTermsFile(File());
  EXPECT_EQ(saved.terms, DefaultTerms());
}

TEST_F(TermEditorTest, CloseThatCannotSaveAsksAndKeepsListAndFile) {
  Show("Net 30\r\n");
  editor_->AddClick();
  ASSERT_TRUE(editor_->OkClick("Due"));
  MakeFileReadOnly();
  const std::string failure = "Unable to save the payment terms to \"" + File() +
                              "\": the file is read-only. The file on disk is "
                              "unchanged. Close without saving the payment terms?";
  ui_.messages.ExpectMessage(failure, Answer::kNo)
      .WithCaption("Payment Terms")
      .WithButtons(Buttons::kYesNo);
  EXPECT_FALSE(editor_->CloseClick());
  EXPECT_EQ(editor_->list().terms(), (Terms{"Due", "Net 30"}));
  EXPECT_EQ(ReadFile(), "Net 30\r\n");

  ASSERT_EQ(::chmod(File().c_str(), 0644), 0);
  EXPECT_TRUE(editor_->CloseClick());  // the retry saves
  EXPECT_EQ(ReadFile(), "Due\r\nNet 30\r\n");
}

TEST_F(TermEditorTest, CloseAfterADamagedFileWithoutChangesLeavesTheFile) {
  const std::string damaged = "Net 30\r\n\0\0"s;
  ui_.messages.ExpectMessage("The payment terms file \"" + File() +
                             "\" is not a list of payment terms: it holds binary "
                             "data. The standard payment terms are shown instead.");
  Show(damaged);
  EXPECT_EQ(editor_->list().terms(), DefaultTerms());
  EXPECT_TRUE(editor_->CloseClick());
  EXPECT_EQ(ReadFile(), damaged);
  EXPECT_TRUE(OtherFiles().empty());
}

}  // namespace
}  // namespace tallybook::company
