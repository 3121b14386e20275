#include "company/purge.h"

#include <gtest/gtest.h>

#include <fstream>

#include "company/aging_test_support.h"
#include "store/file_check.h"

namespace tallybook::company {
namespace {

using platform::Answer;
using platform::MessageKind;

class PurgeTest : public testing::CompanyOnDisk {
 protected:
  void AddLines(const std::string& invoice_no, int count) {
    LineAccess lines(*app_);
    ASSERT_TRUE(lines.OpenCompanyFile());
    for (int i = 0; i < count; ++i) {
      lines.ClearRecord();
      lines.rec().LineText.Set("1.00 Widget " + std::to_string(i));
      lines.rec().LineKind.Set("P");
      lines.rec().InvoiceNo.Set(invoice_no);
      lines.rec().InvoiceSortDate.Set("2020/01/01");
      int32_t rec_no = 0;
      ASSERT_TRUE(lines.AddWithKeys(rec_no));
    }
    lines.Close();
  }

  void AddMemo(const std::string& invoice_no) {
    MemoAccess memos(*app_);
    ASSERT_TRUE(memos.OpenCompanyFile());
    memos.ClearRecord();
    memos.rec().InvoiceNo.Set(invoice_no);
    memos.rec().MemoLines[0].Set("Consulting, March");
    int32_t rec_no = 0;
    ASSERT_TRUE(memos.AddWithKeys(rec_no));
    memos.Close();
  }

  // Records of the file whose key key_no equals KeyText(value, length).
  template <class Access>
  int CountByKey(int key_no, const std::string& value, int length) {
    Access access(*app_);
    EXPECT_TRUE(access.OpenCompanyFile());
    const std::string key = KeyText(value, length);
    int count = 0;
    int32_t ref = 0;
    std::string found = key;
    bool ok = access.FindByKey(key_no, key, ref, &found);
    while (ok && found == key) {
      ++count;
      ok = access.engine().NextKey(access.handle(), key_no, ref, found);
    }
    access.Close();
    return count;
  }
  int Transactions(const std::string& no) {
    return CountByKey<TransactionAccess>(1, no, kTransInvoiceNoKeyLength);
  }
  int Lines(const std::string& no) {
    return CountByKey<LineAccess>(2, no, kLineInvoiceNoKeyLength);
  }
  int Memos(const std::string& no) {
    return CountByKey<MemoAccess>(1, no, kMemoInvoiceNoKeyLength);
  }

  void ExpectSound(const std::string& base) {
    EXPECT_EQ(store::CheckFileBlockFiles(app_->PathOf(base)),
              std::vector<std::string>{})
        << base;
  }
};

TEST_F(PurgeTest, FilesTheCompanyNeverMadeAreNotCreated) {
  // A company without memo invoices has no memo file, one without any
  // invoice no line file either: no creation notice, nothing made.
  for (const char* name : {"1M.DAT", "1M.IX", "1D.DAT", "1D.IX"}) {
    std::filesystem::remove(app_->PathOf(name));
  }
  AddCustomer("100", "Baker");
  AddTransaction("1001", "100", DaysAgo(900), "0.00", "P");
  EXPECT_EQ(PurgePaidRecords(*app_, "2024/01/01"), 1);
  for (const char* name : {"1M.DAT", "1D.DAT"}) {
    EXPECT_FALSE(std::filesystem::exists(app_->PathOf(name))) << name;
  }
  // Without a transactions file there is nothing to remove.
  std::filesystem::remove(app_->PathOf("1I.DAT"));
  std::filesystem::remove(app_->PathOf("1I.IX"));
  EXPECT_EQ(PurgePaidRecords(*app_, "2024/01/01"), 0);
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf("1I.DAT")));
}

TEST_F(PurgeTest, OnlyPaidRecordsStrictlyBeforeTheCutOffGo) {
  AddTransaction("ONDAY", "1", Date{2022, 6, 15}, "0.00", "P");
  AddTransaction("DAYBEFORE", "1", Date{2022, 6, 14}, "0.00", "P");
  AddTransaction("OPEN", "1", Date{2001, 1, 1}, "40.00", " ");
  AddTransaction("ODD", "1", Date{2001, 1, 1}, "0.00", "p");
  AddTransaction("PAYMENT", "1", Date{2019, 3, 1}, "0.00", "P", "D", "T");
  AddTransaction("REPEAT", "1", Date{2019, 3, 1}, "0.00", "P", "P", "R");

  EXPECT_EQ(PurgePaidRecords(*app_, "2022/06/15"), 3);

  EXPECT_EQ(Transactions("ONDAY"), 1);
  EXPECT_EQ(Transactions("DAYBEFORE"), 0);
  EXPECT_EQ(Transactions("OPEN"), 1);
  EXPECT_EQ(Transactions("ODD"), 1);
  EXPECT_EQ(Transactions("PAYMENT"), 0);
  EXPECT_EQ(Transactions("REPEAT"), 0);
  // The date format is the company's again.
  EXPECT_EQ(app_->short_date_order(), DateOrder::kMonthFirst);
  ExpectSound("1I");
}

TEST_F(PurgeTest, LinesAndMemoBodiesGoWithTheirInvoice) {
  AddTransaction("100", "1", Date{2019, 5, 1}, "0.00", "P", "P");
  AddLines("100", 3);
  AddTransaction("101", "1", Date{2019, 5, 2}, "0.00", "P", "M");
  AddLines("101", 1);  // the line that stands for the memo invoice
  AddMemo("101");
  // Neighbours in key order that stay.
  AddTransaction("1000", "1", Date{2024, 5, 2}, "0.00", "P", "M");
  AddLines("1000", 2);
  AddMemo("1000");
  AddLines("10", 1);

  EXPECT_EQ(PurgePaidRecords(*app_, "2020/01/01"), 2);

  EXPECT_EQ(Lines("100"), 0);
  EXPECT_EQ(Lines("101"), 0);
  EXPECT_EQ(Memos("101"), 0);
  EXPECT_EQ(Lines("1000"), 2);
  EXPECT_EQ(Memos("1000"), 1);
  EXPECT_EQ(Lines("10"), 1);
  for (const char* base : {"1I", "1D", "1M"}) ExpectSound(base);
}

TEST_F(PurgeTest, AnOldPaymentKeepsTheLinesOfItsOpenInvoice) {
  // A partial payment shares the number of the invoice it pays.
  AddTransaction("200", "1", Date{2019, 1, 10}, "60.00", " ", "P", "Z");
  AddLines("200", 2);
  AddTransaction("200", "1", Date{2019, 2, 10}, "0.00", "P", "P", "X");

  EXPECT_EQ(PurgePaidRecords(*app_, "2020/01/01"), 1);

  EXPECT_EQ(Transactions("200"), 1);
  EXPECT_EQ(Lines("200"), 2);
}

TEST_F(PurgeTest, AMissingMemoBodyIsToldAndTheScanGoesOn) {
  AddTransaction("300", "1", Date{2019, 1, 10}, "0.00", "P", "M");
  AddTransaction("301", "1", Date{2019, 1, 11}, "0.00", "P", "P");
  AddLines("301", 1);
  ui_->messages.ExpectMessage("Memo search failed")
      .WithKind(MessageKind::kError);

  EXPECT_EQ(PurgePaidRecords(*app_, "2020/01/01"), 2);
  EXPECT_EQ(Lines("301"), 0);
}

TEST_F(PurgeTest, ManyDeletionsInOnePassNeitherSkipNorRevisit) {
  // Paid and open records alternate; a removed record's slot is free while
  // the pass goes on.
  for (int i = 0; i < 120; ++i) {
    AddTransaction("N" + std::to_string(i), "1", Date{2018, 1, 1}.AddDays(i),
                   "0.00", i % 3 == 0 ? " " : "P");
  }
  EXPECT_EQ(PurgePaidRecords(*app_, "2020/01/01"), 80);
  for (int i = 0; i < 120; ++i) {
    EXPECT_EQ(Transactions("N" + std::to_string(i)), i % 3 == 0 ? 1 : 0) << i;
  }
  ExpectSound("1I");
}

TEST_F(PurgeTest, AFileThatCannotBeOpenedRemovesNothing) {
  AddTransaction("400", "1", Date{2019, 1, 10}, "0.00", "P", "P");
  AddLines("400", 1);
  {
    std::fstream f(app_->PathOf("1D.DAT"),
                   std::ios::in | std::ios::out | std::ios::binary);
    f.write("\xff\xff\xff\xff\xff\xff\xff\xff", 8);
  }
  const std::string before = FileBytes("1I.DAT");
  ui_->messages
      .ExpectMessage("Unable to open or read the data file 1D (error 10117). "
                     "No records were removed.")
      .WithCaption("Delete Paid Invoices");
  EXPECT_EQ(PurgePaidRecords(*app_, "2020/01/01"), -1);
  EXPECT_EQ(FileBytes("1I.DAT"), before);
  EXPECT_EQ(Transactions("400"), 1);
}

class PurgeCommandTest : public PurgeTest {
 protected:
  PurgeResult Run() {
    return DeletePaidInvoices(
        *app_, [](const std::string&) { return std::optional<std::string>(); },
        [this](const Date& preset, const std::string& caption) {
          presets_.push_back(preset);
          captions_.push_back(caption);
          return picked_;
        });
  }
  std::vector<Date> presets_;
  std::vector<std::string> captions_;
  std::optional<Date> picked_ = Date{2022, 6, 15};
};

TEST_F(PurgeCommandTest, ConfirmedRunReportsTheCountAndTheDate) {
  AddTransaction("500", "1", Date{2022, 6, 14}, "0.00", "P");
  AddTransaction("501", "1", Date{2022, 6, 15}, "0.00", "P");
  ui_->messages.ExpectMessage(kPurgeWarning, Answer::kYes);
  ui_->messages
      .ExpectMessage(
          "All paid records older than 06/15/2022 will be removed. Continue?",
          Answer::kYes)
      .WithCaption("Please Confirm")
      .WithButtons(platform::Buttons::kYesNo);
  ui_->messages
      .ExpectMessage("1 paid records older than 06/15/2022 were removed.")
      .WithCaption("Records Removed");

  PurgeResult result = Run();

  EXPECT_TRUE(result.ran);
  EXPECT_EQ(result.removed, 1);
  EXPECT_EQ(presets_, (std::vector<Date>{Date{2022, 6, 15}}));
  EXPECT_EQ(captions_, (std::vector<std::string>{"Delete Date Selection"}));
  EXPECT_EQ(statuses_, (std::vector<std::string>{"Removing Records...",
                                                 "1 records were removed."}));
  EXPECT_EQ(Transactions("500"), 0);
  EXPECT_EQ(Transactions("501"), 1);
}

TEST_F(PurgeCommandTest, NothingOldEnoughReportsZero) {
  AddTransaction("600", "1", Date{2024, 1, 1}, "0.00", "P");
  ui_->messages.ExpectMessage(kPurgeWarning, Answer::kYes);
  ui_->messages.ExpectMessage(PurgeQuestion("06/15/2022"), Answer::kYes);
  ui_->messages.ExpectMessage(
      "0 paid records older than 06/15/2022 were removed.");
  EXPECT_EQ(Run().removed, 0);
  EXPECT_EQ(statuses_.back(), "0 records were removed.");
}

TEST_F(PurgeCommandTest, EachRefusalEndsWithNothingRemoved) {
  AddTransaction("700", "1", Date{2019, 1, 1}, "0.00", "P");
  ui_->messages.ExpectMessage(kPurgeWarning, Answer::kNo);
  EXPECT_FALSE(Run().ran);
  EXPECT_TRUE(captions_.empty());

  picked_.reset();
  ui_->messages.ExpectMessage(kPurgeWarning, Answer::kYes);
  EXPECT_FALSE(Run().ran);

  picked_ = Date{2022, 6, 15};
  ui_->messages.ExpectMessage(kPurgeWarning, Answer::kYes);
  ui_->messages.ExpectMessage(PurgeQuestion("06/15/2022"), Answer::kNo);
  EXPECT_FALSE(Run().ran);

  EXPECT_EQ(Transactions("700"), 1);
  EXPECT_TRUE(statuses_.empty());
}

TEST_F(PurgeCommandTest, AWrongPasswordEndsBeforeAnyQuestion) {
  AddTransaction("800", "1", Date{2019, 1, 1}, "0.00", "P");
  {
    std::ofstream out(app_->PathOf("tl1confg.dat"), std::ios::binary);
    out << PasswordRecord("secret");
  }
  ui_->messages.ExpectMessage("You did not enter the correct password.");
  PurgeResult result = DeletePaidInvoices(
      *app_,
      [](const std::string&) { return std::optional<std::string>("guess"); },
      [](const Date&, const std::string&) {
        ADD_FAILURE() << "no date selection without the password";
        return std::optional<Date>();
      });
  EXPECT_FALSE(result.ran);
  EXPECT_EQ(Transactions("800"), 1);
}

TEST(PurgePresetTest, TwoYearsBackOnTheSameDay) {
  EXPECT_EQ(PurgePresetDate(Date{2024, 6, 15}), (Date{2022, 6, 15}));
  EXPECT_EQ(PurgePresetDate(Date{2024, 2, 29}), (Date{2022, 2, 28}));
}

}  // namespace
}  // namespace tallybook::company
