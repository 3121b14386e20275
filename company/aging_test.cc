#include "company/aging.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "company/aging_test_support.h"
#include "store/errors.h"
#include "store/store_test_util.h"

namespace tallybook::company {
namespace {

using platform::Answer;
using platform::MessageKind;

class AgingTest : public testing::CompanyOnDisk {
 protected:
  CustomerRecord Customer(int32_t rec_no) { return Read<CustomerAccess>(rec_no); }

  static std::vector<std::string> Aged(const CustomerRecord& c) {
    return {c.AgingCurrent.Get(), c.Aging2.Get(), c.Aging3.Get(),
            c.Aging4.Get(), c.Balance.Get()};
  }
};

TEST_F(AgingTest, AmountsFallIntoTheCategoryOfTheirAgeAtTheCompanyLimits) {
  const int32_t acme = AddCustomer("1", "Acme", "1.00");
  const int32_t other = AddCustomer("10", "Other Firm", "5.00");
  // Each age gets a power of two, so every category sum tells which
  // amounts went into it. Limits are 20 / 45 / 70.
  const struct {
    int age;
    const char* due;
  } amounts[] = {{0, "1.00"},   {20, "2.00"},  {21, "4.00"},  {45, "8.00"},
                 {46, "16.00"}, {70, "32.00"}, {71, "64.00"}, {-5, "128.00"}};
  int n = 0;
  for (const auto& a : amounts) {
    AddTransaction("A" + std::to_string(++n), "1", DaysAgo(a.age), a.due);
  }
  // A paid invoice (nothing due) adds nothing; a deposit reduces its
  // category; the customer "10" beside "1" in key order is its own.
  AddTransaction("A90", "1", DaysAgo(100), "0.00", "P");
  AddTransaction("DP1", "1", DaysAgo(3), "-0.50", " ", "D", "D");
  AddTransaction("B1", "10", DaysAgo(50), "5.00");

  AgingResult result = CalculateAging(*app_);

  EXPECT_EQ(result.outcome, AgingOutcome::kDone);
  EXPECT_EQ(Aged(Customer(acme)),
            (std::vector<std::string>{"130.50", "12.00", "48.00", "64.00",
                                      "254.50"}));
  EXPECT_EQ(Aged(Customer(other)),
            (std::vector<std::string>{"0.00", "0.00", "5.00", "0.00", "5.00"}));
  EXPECT_EQ(result.customers_updated, 2);
  EXPECT_DOUBLE_EQ(result.totals.category[0], 130.5);
  EXPECT_DOUBLE_EQ(result.totals.category[2], 53.0);
  EXPECT_TRUE(result.show_chart);

  // The company list, the current company and "LastCo.Dat" know the run.
  CompanyRecord stored = StoredCompany();
  EXPECT_EQ(stored.ReceivablesBalance.Get(), "259.50");
  EXPECT_EQ(stored.LastAgingDate.Get(), "06/15/2024");
  EXPECT_EQ(app_->CurrentCompany.ReceivablesBalance.Get(), "259.50");
  EXPECT_EQ(app_->CurrentCompany.LastAgingDate.Get(), "06/15/2024");
  CompanyRecord last;
  ASSERT_EQ(ReadLastCompany(app_->PathOf(kLastCompanyFileName), &last),
            LastCompanyRead::kOk);
  EXPECT_EQ(last.LastAgingDate.Get(), "06/15/2024");

  EXPECT_EQ(ui_->progress.caption(), "Aging");
  EXPECT_EQ(ui_->progress.line(1), "Calculating Aging...");
  EXPECT_FALSE(ui_->progress.visible());
  EXPECT_EQ(statuses_, (std::vector<std::string>{"Calculating Aging Totals...",
                                                 "Ready."}));
}

TEST_F(AgingTest, DayFirstCompaniesAgeDayFirstDates) {
  app_->CurrentCompany.DateOrder.Set("D");
  app_->SetShortDateFromCompany();
  app_->RefreshTodayText();
  const int32_t acme = AddCustomer("1", "Acme", "1.00");
  // 03/04/2024 is the 3rd of April: 73 days before 15 June, over 70.
  AddTransaction("A1", "1", Date{2024, 4, 3}, "9.00", " ", "P", "I",
                  "03/04/2024");
  CalculateAging(*app_);
  EXPECT_EQ(Customer(acme).Aging4.Get(), "9.00");
  EXPECT_EQ(StoredCompany().LastAgingDate.Get(), "15/06/2024");
}

TEST_F(AgingTest, CustomersThatNeedNoAgingAreLeftAloneOthersAreRewritten) {
  // All zero with a short name: not touched, even with an amount on file.
  const int32_t zero = AddCustomer("1", "Zero Ltd");
  AddTransaction("Z1", "1", DaysAgo(5), "7.00");
  // A balance text without "0.00" is recalculated though nothing is open.
  const int32_t odd = AddCustomer("2", "Odd Balance", "12.5");
  // No short name: "*NONE*" is stored and the customer is recalculated.
  const int32_t unnamed = AddCustomer("3", "No Short", "0.00", "");
  AddTransaction("N1", "3", DaysAgo(1), "3.00");
  const std::string zero_before = [&] {
    CustomerRecord c = Customer(zero);
    return std::string(reinterpret_cast<const char*>(&c), sizeof c);
  }();

  CalculateAging(*app_);

  CustomerRecord after = Customer(zero);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&after), sizeof after),
            zero_before);
  EXPECT_EQ(Aged(Customer(odd)),
            (std::vector<std::string>{"0.00", "0.00", "0.00", "0.00", "0.00"}));
  CustomerRecord named = Customer(unnamed);
  EXPECT_EQ(named.ShortName.Get(), "*NONE*");
  EXPECT_EQ(named.Balance.Get(), "3.00");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "3.00");
}

TEST_F(AgingTest, AnyAgedFieldThatIsNotZeroMarksTheCustomer) {
  // Balance zero and a short name: only the one aged field tells that the
  // customer still needs aging.
  std::vector<int32_t> customers;
  for (int field = 0; field < 4; ++field) {
    const int32_t rec_no =
        AddCustomer(std::to_string(field + 1), "Aged " + std::to_string(field));
    CustomerAccess access(*app_);
    ASSERT_TRUE(access.OpenCompanyFile());
    ASSERT_TRUE(access.GetRecord(rec_no));
    const CustomerRecord before = access.rec();
    CustomerRecord& c = access.rec();
    PString<10>* fields[] = {&c.AgingCurrent, &c.Aging2, &c.Aging3, &c.Aging4};
    fields[field]->Set("5.5");
    ASSERT_TRUE(access.ModifyWithKeys(rec_no, before));
    customers.push_back(rec_no);
  }

  AgingResult result = CalculateAging(*app_);

  EXPECT_EQ(result.customers_updated, 4);
  for (int32_t rec_no : customers) {
    EXPECT_EQ(Aged(Customer(rec_no)),
              (std::vector<std::string>{"0.00", "0.00", "0.00", "0.00",
                                        "0.00"}))
        << rec_no;
  }
}

TEST_F(AgingTest, DamagedTransactionIndexStopsTheRunAndAsksForARebuild) {
  const int32_t acme = AddCustomer("1", "Acme", "70.00");
  for (int i = 0; i < 70; ++i) {
    AddTransaction("A" + std::to_string(100 + i), "1", DaysAgo(3), "1.00");
  }
  // Two children of key 2's root become one page: a blind walk of the
  // customer's range would count 31 of its transactions twice.
  int key2_offset = 0;
  int slot = 0;
  for (size_t k = 0; k < TransactionFile().keys.size(); ++k) {
    const int page = 6 + 62 * (TransactionFile().keys[k].length + 9);
    if (k == 0) key2_offset = page;
    slot += page;
  }
  store::testing::ShareFirstRootChild(app_->PathOf("1I.IX"), key2_offset,
                                      slot);
  const std::string customers_before = FileBytes("1C.DAT");
  ui_->messages
      .ExpectMessage("The data file 1I must be rebuilt (error 10115). Aging "
                     "was not calculated. Use Rebuild Data Files on the "
                     "Tools menu, or answer Yes when the program offers to "
                     "rebuild the file.")
      .WithCaption("Aging")
      .WithKind(MessageKind::kError);

  AgingResult result = CalculateAging(*app_);

  EXPECT_EQ(result.outcome, AgingOutcome::kFileError);
  EXPECT_EQ(FileBytes("1C.DAT"), customers_before);
  EXPECT_EQ(StoredCompany().LastAgingDate.Get(), "06/14/2024");
  // The file is offered for rebuild when it is opened next; after that the
  // run sees every transaction once.
  ui_->messages.ExpectMessage(kIndexDefective, Answer::kYes);
  {
    TransactionAccess transactions(*app_);
    ASSERT_TRUE(transactions.OpenCompanyFile());
  }
  result = CalculateAging(*app_);
  EXPECT_EQ(result.outcome, AgingOutcome::kDone);
  EXPECT_EQ(Customer(acme).AgingCurrent.Get(), "70.00");
}

TEST_F(AgingTest, CompanyMissingFromTheListIsNamedNotErrorZero) {
  AddCustomer("1", "Acme", "2.00");
  AddTransaction("A1", "1", DaysAgo(2), "2.00");
  CompanyRecord other = app_->CurrentCompany;
  other.CompanyNo.Set("2");  // the list holds company 1 only
  app_->CurrentCompany = other;
  for (auto create : {&CreateCustomerFile, &CreateTransactionFile}) {
    ASSERT_TRUE(create(app_->engine(), dir_, "2"));
  }
  const std::string list_before = FileBytes("Company.DAT");
  ui_->messages
      .ExpectMessage("The company list holds no company 2, so the aging "
                     "totals were not stored. Choose the company again in the "
                     "Company Manager.")
      .WithCaption("Aging")
      .WithKind(MessageKind::kError);
  EXPECT_EQ(CalculateAging(*app_).outcome, AgingOutcome::kFileError);
  EXPECT_EQ(FileBytes("Company.DAT"), list_before);
}

TEST_F(AgingTest, NewCompanyWithoutFilesHasNothingToAge) {
  std::filesystem::remove(app_->PathOf("1C.DAT"));
  std::filesystem::remove(app_->PathOf("1C.IX"));
  std::filesystem::remove(app_->PathOf("1I.DAT"));
  std::filesystem::remove(app_->PathOf("1I.IX"));
  const std::string list_before = FileBytes("Company.DAT");
  AgingResult result = CalculateAging(*app_);
  EXPECT_TRUE(result.nothing_to_age);
  EXPECT_EQ(result.outcome, AgingOutcome::kNotNeeded);
  EXPECT_EQ(FileBytes("Company.DAT"), list_before);
  EXPECT_FALSE(std::filesystem::exists(app_->PathOf("1C.DAT")));
  // Customers without amounts and no invoice file yet: nothing to age
  // either, and the run is done.
  ui_->messages.ExpectMessage(
      "I am going to create a new, empty customer file for this company.");
  AddCustomer("1", "Acme");
  std::filesystem::remove(app_->PathOf("1I.DAT"));
  std::filesystem::remove(app_->PathOf("1I.IX"));
  EXPECT_EQ(CalculateAging(*app_).outcome, AgingOutcome::kDone);
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "0.00");
}

TEST_F(AgingTest, CreditBalanceIsToldInsteadOfAChartButRecordsAreWritten) {
  const int32_t acme = AddCustomer("1", "Acme", "-50.00");
  AddTransaction("DP7", "1", DaysAgo(30), "-50.00", " ", "D", "D");
  ui_->messages.ExpectMessage(kCreditBalance)
      .WithCaption("Aging")
      .WithKind(MessageKind::kInformation);

  AgingResult result = CalculateAging(*app_);

  EXPECT_FALSE(result.show_chart);
  EXPECT_EQ(Customer(acme).Aging2.Get(), "-50.00");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "-50.00");
  EXPECT_EQ(StoredCompany().LastAgingDate.Get(), "06/15/2024");
}

TEST_F(AgingTest, AgingRunsOnceADay) {
  const int32_t acme = AddCustomer("1", "Acme", "4.00");
  AddTransaction("A1", "1", DaysAgo(2), "4.00");

  EXPECT_EQ(RunAgingIfDue(*app_).outcome, AgingOutcome::kDone);
  EXPECT_EQ(ui_->progress.show_count(), 1);

  // A new amount on file is not picked up by a second run the same day.
  AddTransaction("A2", "1", DaysAgo(2), "6.00");
  EXPECT_EQ(RunAgingIfDue(*app_).outcome, AgingOutcome::kNotNeeded);
  EXPECT_EQ(ui_->progress.show_count(), 1);
  EXPECT_EQ(Customer(acme).Balance.Get(), "4.00");

  // The next day it is.
  ASSERT_TRUE(ui_->clock.Set(2024, 6, 16));
  app_->RefreshTodayText();
  EXPECT_EQ(RunAgingIfDue(*app_).outcome, AgingOutcome::kDone);
  EXPECT_EQ(Customer(acme).Balance.Get(), "10.00");
  EXPECT_EQ(StoredCompany().LastAgingDate.Get(), "06/16/2024");
}

TEST_F(AgingTest, ZeroReceivablesSkipTheRunUnlessTheChartIsAskedFor) {
  CompanyRecord company = app_->CurrentCompany;
  company.ReceivablesBalance.Set("0.00");
  company.ShowAgingChart = 0;
  StoreCompany(company);
  const int32_t acme = AddCustomer("1", "Acme", "2.00");
  AddTransaction("A1", "1", DaysAgo(2), "2.00");

  EXPECT_EQ(CalculateAging(*app_).outcome, AgingOutcome::kNotNeeded);
  EXPECT_EQ(ui_->progress.show_count(), 0);
  EXPECT_EQ(StoredCompany().LastAgingDate.Get(), "06/14/2024");

  // The command refuses on a zero balance before anything runs ...
  ui_->messages.ExpectMessage(kNoOpenInvoices).WithCaption("Aging Chart");
  EXPECT_EQ(AgingChartCommand(*app_, false).outcome, AgingOutcome::kNotNeeded);

  // ... but an explicit request runs and shows the chart although the
  // company does not show it after an automatic run.
  app_->aging_chart_requested = true;
  AgingResult result = CalculateAging(*app_);
  app_->aging_chart_requested = false;
  EXPECT_EQ(result.outcome, AgingOutcome::kDone);
  EXPECT_TRUE(result.show_chart);
  EXPECT_EQ(Customer(acme).Balance.Get(), "2.00");
}

TEST_F(AgingTest, ChartCommandRefusesWhileShowingAndForcesTheChart) {
  CompanyRecord company = app_->CurrentCompany;
  company.ShowAgingChart = 0;
  StoreCompany(company);
  AddCustomer("1", "Acme", "2.00");
  AddTransaction("A1", "1", DaysAgo(2), "2.00");
  ui_->messages.ExpectMessage(kChartShowing).WithCaption("Aging Chart");
  EXPECT_EQ(ui_->progress.show_count(), 0);
  EXPECT_FALSE(AgingChartCommand(*app_, true).show_chart);

  AgingResult result = AgingChartCommand(*app_, false);
  EXPECT_TRUE(result.show_chart);
  EXPECT_FALSE(app_->aging_chart_requested);
  // The company's own setting is off: an automatic run shows nothing.
  ASSERT_TRUE(ui_->clock.Set(2024, 6, 17));
  app_->RefreshTodayText();
  EXPECT_FALSE(RunAgingIfDue(*app_).show_chart);
}

TEST_F(AgingTest, BadAgingDaysStopBeforeAnythingIsOpened) {
  const int32_t acme = AddCustomer("1", "Acme", "2.00");
  for (const char* days : {"", "  ", "3x"}) {
    app_->CurrentCompany.AgingDays2.Set(days);
    ui_->messages.ExpectMessage(kBadAgingDays)
        .WithKind(MessageKind::kWarning);
    EXPECT_EQ(CalculateAging(*app_).outcome, AgingOutcome::kBadAgingDays);
  }
  EXPECT_EQ(ui_->progress.show_count(), 0);
  EXPECT_EQ(Customer(acme).Aging4.Get(), "0.00");
  EXPECT_EQ(Customer(acme).Balance.Get(), "2.00");
}

TEST_F(AgingTest, AFileThatCannotBeOpenedIsNamedAndNothingIsWritten) {
  const int32_t acme = AddCustomer("1", "Acme", "2.00");
  AddTransaction("A1", "1", DaysAgo(2), "2.00");
  const std::string customers_before = FileBytes("1C.DAT");
  const std::string list_before = FileBytes("Company.DAT");
  const std::string last_before = FileBytes("LastCo.Dat");

  std::filesystem::remove(app_->PathOf("1I.DAT"));
  ui_->messages
      .ExpectMessage("Unable to open or write the data file 1I (error 9903). "
                     "Aging was not calculated.")
      .WithCaption("Aging")
      .WithKind(MessageKind::kError);
  AgingResult result = CalculateAging(*app_);

  EXPECT_EQ(result.outcome, AgingOutcome::kFileError);
  EXPECT_FALSE(result.show_chart);
  EXPECT_EQ(FileBytes("1C.DAT"), customers_before);
  EXPECT_EQ(FileBytes("Company.DAT"), list_before);
  EXPECT_EQ(FileBytes("LastCo.Dat"), last_before);
  EXPECT_EQ(app_->CurrentCompany.LastAgingDate.Get(), "06/14/2024");
  EXPECT_FALSE(ui_->progress.visible());
  EXPECT_EQ(statuses_.back(), "Ready.");
  // The customers file was closed again: it opens.
  EXPECT_EQ(Customer(acme).Balance.Get(), "2.00");

  // A damaged customers file is refused the same way.
  {
    std::fstream f(app_->PathOf("1C.DAT"),
                   std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(0);
    f.write("\xff\xff\xff\xff\xff\xff\xff\xff", 8);
  }
  ui_->messages.ExpectMessage(
      "Unable to open or write the data file 1C (error 10117). Aging was "
      "not calculated.");
  EXPECT_EQ(CalculateAging(*app_).outcome, AgingOutcome::kFileError);
  EXPECT_EQ(FileBytes("Company.DAT"), list_before);
}

TEST_F(AgingTest, UndatedTransactionsAreLeftOutAndCountedOnce) {
  const int32_t acme = AddCustomer("1", "Acme", "2.00");
  AddTransaction("A1", "1", DaysAgo(2), "2.00");
  AddTransaction("A2", "1", DaysAgo(2), "5.00", " ", "P", "I", "13/45/2024");
  AddTransaction("A3", "1", DaysAgo(2), "6.00", " ", "P", "I", "soon");
  // An undated record with nothing due needs no date.
  AddTransaction("A4", "1", DaysAgo(2), "0.00", "P", "P", "I", "??");
  ui_->messages
      .ExpectMessage("2 transactions have a date that is not valid and were "
                     "left out of the aging. Correct the date in the Invoice "
                     "Manager.")
      .WithKind(MessageKind::kWarning);

  AgingResult result = CalculateAging(*app_);

  EXPECT_EQ(result.undated_skipped, 2);
  EXPECT_EQ(Customer(acme).Balance.Get(), "2.00");
  EXPECT_EQ(StoredCompany().ReceivablesBalance.Get(), "2.00");
  EXPECT_EQ(UndatedTransactionsText(1),
            "1 transaction has a date that is not valid and was left out of "
            "the aging. Correct the date in the Invoice Manager.");
}

TEST(AgingCategoryTest, BoundariesBelongToTheLowerCategory) {
  EXPECT_EQ(AgingCategory(-400, 30, 60, 90), 0);
  EXPECT_EQ(AgingCategory(30, 30, 60, 90), 0);
  EXPECT_EQ(AgingCategory(31, 30, 60, 90), 1);
  EXPECT_EQ(AgingCategory(60, 30, 60, 90), 1);
  EXPECT_EQ(AgingCategory(61, 30, 60, 90), 2);
  EXPECT_EQ(AgingCategory(90, 30, 60, 90), 2);
  EXPECT_EQ(AgingCategory(91, 30, 60, 90), 3);
}

}  // namespace
}  // namespace tallybook::company
