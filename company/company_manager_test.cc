#include "company/company_manager.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "company/company_defaults.h"
#include "company/company_options.h"
#include "company/installation.h"
#include "company/keys.h"
#include "company/startup.h"
#include "platform/testing/scripted_platform.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::company {
namespace {

namespace fs = std::filesystem;
using platform::testing::ReadFileBytes;
using platform::Answer;
using platform::Buttons;
using platform::MessageKind;

void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

class CompanyManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path();
    ASSERT_TRUE(CreateInstallation(dir_.string()).ok);
    ui_.clock.Set(2024, 4, 3, 14, 5);
    app_ = std::make_unique<App>(dir_.string(), ui_.services());
    ASSERT_TRUE(app_->engine().StoreStartup(0, kPageBuffers));
    app_->CurrentCompany = FirstCompanyRecord("1", kFirstCompanyName);
    manager_ = std::make_unique<CompanyManager>(*app_);
    ASSERT_TRUE(manager_->Open());
  }
  void TearDown() override {
    manager_.reset();
    ui_.Verify();
    app_.reset();
  }

  // Adds a company through the manager, the dialog setting name, number
  // and balance.
  int32_t AddCompany(const std::string& number, const std::string& name,
                     const std::string& balance = "0.00") {
    auto rec = manager_->AddCompany([&](CompanyRecord& r, OptionsMode mode) {
      EXPECT_EQ(mode, OptionsMode::kNew);
      r.CompanyNo.Set(number);
      r.CompanyName.Set(name);
      r.ReceivablesBalance.Set(balance);
      // The test directory holds no background picture.
      r.MainBitmapOn = 0;
      r.MainBitmapFile.Set("");
      return true;
    });
    EXPECT_TRUE(rec.has_value());
    return rec.value_or(0);
  }

  CompanyRecord Stored(const std::string& number) {
    CompanyRecord r;
    int32_t rec_no = manager_->FindCompany(number);
    EXPECT_NE(rec_no, 0) << number;
    EXPECT_TRUE(manager_->list().engine().GetRecord(manager_->list().handle(),
                                                    rec_no, &r));
    return r;
  }

  static bool NoPassword(const std::string&) { return true; }
  PasswordPrompt NeverAsked() {
    return [](const std::string& caption) -> std::optional<std::string> {
      ADD_FAILURE() << "password asked: " << caption;
      return std::nullopt;
    };
  }
  void SetPassword(const std::string& password) {
    std::ofstream(dir_ / kPasswordFileName, std::ios::binary)
        << PasswordRecord(password);
  }

  platform::testing::ScriptedPlatform ui_;
  platform::testing::TempDir temp_{"compmgr"};
  fs::path dir_;
  std::unique_ptr<App> app_;
  std::unique_ptr<CompanyManager> manager_;
};

// ---- rows

TEST(CompanyRowTest, ColumnsLineUpUnderTheHeader) {
  CompanyRecord r;
  r.CompanyName.Set("Acme Tools");
  r.CompanyNo.Set("12");
  r.ReceivablesBalance.Set("1234.5");
  EXPECT_EQ(CompanyRow(r),
            "Acme Tools                          12         1,234.50");
  EXPECT_EQ(CompanyListHeader(),
            "Company Name                        Number      Balance");
  EXPECT_EQ(CompanyRow(r).size(), CompanyListHeader().size());
  EXPECT_EQ(CompaniesStatusText(3), "Companies: 3");
}

// ---- opening, adding

TEST_F(CompanyManagerTest, OpenFailureIsReported) {
  manager_.reset();
  ASSERT_TRUE(app_->engine().StoreShutdown());
  CompanyManager manager(*app_);
  ui_.messages.ExpectMessage("Unable to open company database")
      .WithKind(MessageKind::kError);
  EXPECT_FALSE(manager.Open());
}

TEST_F(CompanyManagerTest, AddedCompanyIsListedUnderItsNumber) {
  EXPECT_EQ(manager_->CompanyCount(), 1);
  int32_t rec = AddCompany("2", "Second Co");
  EXPECT_EQ(manager_->CompanyCount(), 2);
  EXPECT_EQ(manager_->FindCompany("2"), rec);
  EXPECT_EQ(manager_->FindCompany(" 2 "), rec);
  EXPECT_EQ(manager_->FindCompany("3"), 0);
  // Options not named by the new-company defaults come from the current
  // company; its files are not created yet.
  EXPECT_EQ(Stored("2").CompanyName.Get(), "Second Co");
  EXPECT_FALSE(fs::exists(dir_ / "2C.DAT"));
}

TEST_F(CompanyManagerTest, NewCompanyProposesCountPlusOne) {
  AddCompany("2", "Second Co");
  auto rec = manager_->AddCompany([](CompanyRecord& r, OptionsMode) {
    EXPECT_EQ(r.CompanyNo.Get(), "3");
    EXPECT_EQ(r.CompanyName.Get(), "");
    EXPECT_EQ(r.DefaultTerms.Get(), "Net 30 Days");
    return false;
  });
  EXPECT_EQ(rec, std::nullopt);
  EXPECT_EQ(manager_->CompanyCount(), 2);
}

TEST_F(CompanyManagerTest, NumberCheckUsesTheList) {
  AddCompany("2", "Second Co");
  auto exists = [&](const std::string& n) { return manager_->NumberExists(n); };
  CompanyOptionsForm f = LoadCompanyOptions(Stored("2"));
  f.company_no = "7";
  EXPECT_EQ(ValidateCompanyOptions(f, true, exists), std::nullopt);
  for (const char* taken : {"1", "2", " 2"}) {
    f.company_no = taken;
    auto failure = ValidateCompanyOptions(f, true, exists);
    ASSERT_TRUE(failure.has_value()) << taken;
    EXPECT_EQ(failure->text, kNumberExistsText);
  }
}

TEST_F(CompanyManagerTest, DuplicateAddFailsAndLeavesOneRecord) {
  // A dialog that skipped the number check: the store refuses the key.
  ui_.messages.ExpectMessage("Add operation failed").WithKind(MessageKind::kError);
  auto rec = manager_->AddCompany([](CompanyRecord& r, OptionsMode) {
    r.CompanyNo.Set("1");
    r.CompanyName.Set("Copy");
    return true;
  });
  EXPECT_EQ(rec, std::nullopt);
  EXPECT_EQ(manager_->CompanyCount(), 1);
  EXPECT_EQ(manager_->list().engine().CountUsedRecords(manager_->list().handle()), 1);
}

// ---- deleting

TEST_F(CompanyManagerTest, CurrentCompanyIsNeverDeleted) {
  Touch(dir_ / "1C.DAT");
  ui_.messages
      .ExpectMessage(
          "You are trying to delete the current default company. You need "
          "to have another company open to delete this one.")
      .WithCaption("Delete Company")
      .WithKind(MessageKind::kInformation);
  EXPECT_FALSE(manager_->DeleteCompany(manager_->FindCompany("1"), NeverAsked()));
  EXPECT_EQ(manager_->CompanyCount(), 1);
  EXPECT_TRUE(fs::exists(dir_ / "1C.DAT"));
}

TEST_F(CompanyManagerTest, DeletedCompanyLosesItsTenFilesEvenPartlyMissing) {
  int32_t rec = AddCompany("2", "Second Co");
  const char* present[] = {"2P.DAT", "2P.IX", "2C.DAT", "2I.DAT", "2I.IX",
                           "2M.IX"};
  for (const char* name : present) Touch(dir_ / name);
  Touch(dir_ / "22C.DAT");  // another company's file
  Touch(dir_ / "1C.DAT");
  ui_.messages
      .ExpectMessage(
          "If you delete this company, all invoices and payments will also "
          "be removed. ALL company data will be deleted! Data for other "
          "companies will NOT be removed. Continue?",
          Answer::kYes)
      .WithCaption("Please Confirm")
      .WithButtons(Buttons::kYesNo);
  EXPECT_TRUE(manager_->DeleteCompany(rec, NeverAsked()));
  EXPECT_EQ(manager_->CompanyCount(), 1);
  EXPECT_EQ(manager_->FindCompany("2"), 0);
  for (const std::string& name : CompanyFileNames("2")) {
    EXPECT_FALSE(fs::exists(dir_ / name)) << name;
  }
  EXPECT_TRUE(fs::exists(dir_ / "22C.DAT"));
  EXPECT_TRUE(fs::exists(dir_ / "1C.DAT"));
}

TEST_F(CompanyManagerTest, NumberThatIsNoNumberIsNeverChosenNorItsFilesDeleted) {
  // A damaged list: a company whose number would name files elsewhere.
  const int32_t rec = AddCompany("../z", "Path Co");
  const fs::path outside = dir_.parent_path() / "zC.DAT";
  Touch(outside);
  ui_.messages
      .ExpectMessage(InvalidCompanyNoText("../z", kCompanyListSource))
      .WithCaption("Company Manager")
      .WithKind(MessageKind::kError);
  EXPECT_FALSE(manager_->SetAsDefault(rec));
  EXPECT_FALSE(manager_->chosen().has_value());

  // Its record can still be removed, and nothing else goes with it.
  ui_.messages.ExpectMessage(kDeleteCompanyQuestion, Answer::kYes);
  EXPECT_TRUE(manager_->DeleteCompany(rec, NeverAsked()));
  EXPECT_EQ(manager_->FindCompany("../z"), 0);
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_TRUE(DeleteCompanyFiles(dir_.string(), "/q").empty());
  fs::remove(outside);
}

TEST_F(CompanyManagerTest, DeleteAnsweredNoKeepsEverything) {
  int32_t rec = AddCompany("2", "Second Co");
  Touch(dir_ / "2C.DAT");
  ui_.messages.ExpectMessage(kDeleteCompanyQuestion, Answer::kNo);
  EXPECT_FALSE(manager_->DeleteCompany(rec, NeverAsked()));
  EXPECT_EQ(manager_->CompanyCount(), 2);
  EXPECT_TRUE(fs::exists(dir_ / "2C.DAT"));
}

TEST_F(CompanyManagerTest, WrongPasswordStopsDeleteAndEdit) {
  int32_t rec = AddCompany("2", "Second Co");
  Touch(dir_ / "2C.DAT");
  SetPassword("secret");
  auto wrong = [](const std::string&) -> std::optional<std::string> {
    return std::string("Secret");
  };
  ui_.messages.ExpectMessage("You did not enter the correct password.");
  EXPECT_FALSE(manager_->DeleteCompany(rec, wrong));
  ui_.messages.ExpectMessage("You did not enter the correct password.");
  EXPECT_EQ(manager_->EditCompany(rec, wrong,
                                  [](CompanyRecord&, OptionsMode) {
                                    ADD_FAILURE() << "dialog shown";
                                    return true;
                                  }),
            EditResult::kCancelled);
  EXPECT_EQ(manager_->CompanyCount(), 2);
  EXPECT_TRUE(fs::exists(dir_ / "2C.DAT"));
}

TEST_F(CompanyManagerTest, RightPasswordLetsDeleteGoOn) {
  int32_t rec = AddCompany("2", "Second Co");
  SetPassword("secret");
  auto right = [](const std::string&) -> std::optional<std::string> {
    return std::string(" secret ");
  };
  ui_.messages.ExpectMessage(kDeleteCompanyQuestion, Answer::kYes);
  EXPECT_TRUE(manager_->DeleteCompany(rec, right));
  EXPECT_EQ(manager_->CompanyCount(), 1);
}

TEST_F(CompanyManagerTest, UndeletableFileIsReportedNotHidden) {
  int32_t rec = AddCompany("2", "Second Co");
  // A directory in the place of a data file cannot be removed as a file.
  fs::create_directory(dir_ / "2C.DAT");
  Touch(dir_ / "2C.DAT" / "inside");
  ui_.messages.ExpectMessage(kDeleteCompanyQuestion, Answer::kYes);
  ui_.messages
      .ExpectMessage(std::string(kUnableToDeleteFiles) + " 2C.DAT")
      .WithKind(MessageKind::kError);
  EXPECT_TRUE(manager_->DeleteCompany(rec, NeverAsked()));
}

// ---- editing and the company change

TEST_F(CompanyManagerTest, EditKeepsTheNumber) {
  int32_t rec = AddCompany("2", "Second Co");
  EXPECT_EQ(manager_->EditCompany(rec, NeverAsked(),
                                  [](CompanyRecord& r, OptionsMode mode) {
                                    EXPECT_EQ(mode, OptionsMode::kEdit);
                                    r.CompanyNo.Set("9");
                                    r.CompanyName.Set("Renamed");
                                    return true;
                                  }),
            EditResult::kSaved);
  EXPECT_EQ(manager_->FindCompany("9"), 0);
  EXPECT_EQ(Stored("2").CompanyName.Get(), "Renamed");
  EXPECT_FALSE(manager_->reload_current());
}

TEST_F(CompanyManagerTest, EditOfARecordChangedMeanwhileIsRefused) {
  int32_t rec = AddCompany("2", "Second Co");
  ui_.messages.ExpectMessage("The record has changed in the meantime.");
  ui_.messages.ExpectMessage("Modify Company failed").WithKind(MessageKind::kError);
  EXPECT_EQ(manager_->EditCompany(
                rec, NeverAsked(),
                [&](CompanyRecord& r, OptionsMode) {
                  // Another step stores the company while the dialog is up.
                  CompanyRecord other = r;
                  other.ReceivablesBalance.Set("50.00");
                  EXPECT_TRUE(manager_->list().engine().PutRecord(
                      manager_->list().handle(), rec, &other));
                  r.CompanyName.Set("Renamed");
                  return true;
                }),
            EditResult::kFailed);
  EXPECT_EQ(Stored("2").CompanyName.Get(), "Second Co");
  EXPECT_EQ(Stored("2").ReceivablesBalance.Get(), "50.00");
}

TEST_F(CompanyManagerTest, EditedCurrentOptionsAreInEffectAfterClose) {
  int32_t rec = manager_->FindCompany("1");
  EXPECT_EQ(manager_->EditCompany(rec, NeverAsked(),
                                  [](CompanyRecord& r, OptionsMode) {
                                    r.DateOrder.Set("D");
                                    r.DefaultToEMail.Set("Y");
                                    return true;
                                  }),
            EditResult::kSavedCurrent);
  EXPECT_TRUE(manager_->reload_current());
  manager_->Close();

  CompanyChange change = DecideCompanyChange(true, manager_->chosen(),
                                             manager_->reload_current(),
                                             app_->CurrentCompany);
  ASSERT_TRUE(change.change);
  CompanyDisplay display;
  EXPECT_TRUE(ChangeCompany(*app_, change.record, change.reload_current,
                            &display));
  EXPECT_EQ(app_->CurrentCompany.DateOrder.Get(), "D");
  EXPECT_EQ(app_->output_mode, OutputMode::kEMail);
  CompanyRecord last;
  ASSERT_EQ(ReadLastCompany((dir_ / "LastCo.Dat").string(), &last),
            LastCompanyRead::kOk);
  EXPECT_EQ(last.DateOrder.Get(), "D");
}

TEST_F(CompanyManagerTest, SetAsDefaultWinsOverAReloadOfTheEditedCurrent) {
  int32_t other = AddCompany("2", "Second Co");
  manager_->EditCompany(manager_->FindCompany("1"), NeverAsked(),
                        [](CompanyRecord& r, OptionsMode) {
                          r.CompanyName.Set("Edited First");
                          return true;
                        });
  ASSERT_TRUE(manager_->SetAsDefault(other));
  manager_->Close();

  CompanyChange change = DecideCompanyChange(true, manager_->chosen(),
                                             manager_->reload_current(),
                                             app_->CurrentCompany);
  ASSERT_TRUE(change.change);
  EXPECT_FALSE(change.reload_current);
  CompanyDisplay display;
  ChangeCompany(*app_, change.record, change.reload_current, &display);
  EXPECT_EQ(app_->CurrentCompany.CompanyNo.Get(), "2");
  // The edit of the first company is kept in the list all the same.
  CompanyRecord first;
  ASSERT_TRUE(ReadCompanyFromList(*app_, "1", &first));
  EXPECT_EQ(first.CompanyName.Get(), "Edited First");
}

TEST(DecideCompanyChangeTest, NothingChangesWithoutChoiceOrEdit) {
  CompanyRecord current = FirstCompanyRecord("1", "A");
  EXPECT_FALSE(DecideCompanyChange(true, std::nullopt, false, current).change);
  EXPECT_FALSE(
      DecideCompanyChange(false, CompanyRecord{}, false, current).change);
  // Closing with Cancel after an edit of the current company still reloads.
  CompanyChange reload = DecideCompanyChange(false, std::nullopt, true, current);
  EXPECT_TRUE(reload.change);
  EXPECT_TRUE(reload.reload_current);
  // Choosing the edited current company itself reloads it.
  CompanyChange same = DecideCompanyChange(true, current, true, current);
  EXPECT_TRUE(same.reload_current);
}

// ---- the company list

TEST_F(CompanyManagerTest, CompanyListTextByNameAndByNumber) {
  AddCompany("2", "Acme Tools", "1234.5");
  ui_.messages
      .ExpectMessage(
          "The companies will be sorted by name. Would you rather sort by "
          "company number?",
          Answer::kNo)
      .WithCaption("Company List")
      .WithButtons(Buttons::kYesNoCancel);
  std::string shown, caption, list_name;
  auto show = [&](const std::string& path, const std::string& c,
                  const std::string& n) {
    shown = ReadFileBytes(path);
    caption = c;
    list_name = n;
    EXPECT_EQ(ui_.progress.caption(), "Company List");
    EXPECT_EQ(ui_.progress.line(0), "Preparing list...");
  };
  EXPECT_TRUE(manager_->CompanyList(show));
  EXPECT_EQ(shown,
            "Tallybook Company List\r\n"
            "Date: Wednesday, April 3, 2024, 02:05 PM\r\n"
            "Acme Tools    Number: 2    A/R: 1,234.50\r\n"
            "My Company    Number: 1    A/R: 0.00\r\n");
  EXPECT_EQ(caption, "Company List by Name");
  EXPECT_EQ(list_name, "Company");
  EXPECT_FALSE(fs::exists(dir_ / "TXTTEMP.TXT"));
  EXPECT_FALSE(ui_.progress.visible());

  ui_.messages.ExpectMessage(kCompanyListQuestion, Answer::kYes);
  EXPECT_TRUE(manager_->CompanyList(show));
  EXPECT_EQ(shown,
            "Tallybook Company List\r\n"
            "Date: Wednesday, April 3, 2024, 02:05 PM\r\n"
            "My Company    Number: 1    A/R: 0.00\r\n"
            "Acme Tools    Number: 2    A/R: 1,234.50\r\n");
  EXPECT_EQ(caption, "Company List by Number");
}

TEST_F(CompanyManagerTest, CompanyListCancelledShowsNothing) {
  ui_.messages.ExpectMessage(kCompanyListQuestion, Answer::kCancel);
  EXPECT_FALSE(manager_->CompanyList(
      [](const std::string&, const std::string&, const std::string&) {
        ADD_FAILURE() << "list shown";
      }));
  EXPECT_FALSE(fs::exists(dir_ / "TXTTEMP.TXT"));
}

TEST_F(CompanyManagerTest, UnwritableListIsReported) {
  fs::create_directory(dir_ / "TXTTEMP.TXT");
  ui_.messages.ExpectMessage(kCompanyListQuestion, Answer::kYes);
  ui_.messages
      .ExpectMessage(std::string(kUnableToWriteList) +
                     (dir_ / "TXTTEMP.TXT").string())
      .WithKind(MessageKind::kError);
  EXPECT_FALSE(manager_->CompanyList(
      [](const std::string&, const std::string&, const std::string&) {
        ADD_FAILURE() << "list shown";
      }));
  EXPECT_FALSE(ui_.progress.visible());
}

}  // namespace
}  // namespace tallybook::company
