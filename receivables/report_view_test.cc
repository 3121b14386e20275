#include "receivables/report_view.h"

#include <gtest/gtest.h>

#include "receivables/report_cells.h"

namespace tallybook::receivables {
namespace {

using Rows = std::vector<ReportRow>;

Report InvoiceRegister(Rows rows) {
  Report report;
  report.definition = &ReportOf(ReportKind::kInvoiceRegister);
  report.rows = std::move(rows);
  return report;
}

ReportRow Inv(const std::string& date, const std::string& no,
              const std::string& name, const std::string& customer,
              const std::string& total) {
  return {date, no, name, customer, total, "0.00", total, "I"};
}

ReportRow Total(const char* label, const std::string& total,
                const std::string& tax = "0.00") {
  return {"", "", "", label, total, tax, total, ""};
}

// The rows shown after the header.
Rows Shown(const ReportView& view) {
  Rows rows = view.ShownRows();
  rows.erase(rows.begin());
  return rows;
}

TEST(ReportView, SubTotalsFollowEachGroupOfTheSortColumn) {
  Report report = InvoiceRegister({Inv("2024/06/03", "1002", "BOLT", "C2", "5.00"),
                                   Inv("2024/06/01", "1001", "ACME", "C1", "1,000.25"),
                                   Inv("2024/06/02", "1003", "ACME", "C1", "-0.25")});
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(3, true));
  EXPECT_EQ(Shown(view),
            (Rows{Inv("2024/06/01", "1001", "ACME", "C1", "1,000.25"),
                  Inv("2024/06/02", "1003", "ACME", "C1", "-0.25"),
                  Total(kSubTotalLabel, "1,000.00"),
                  Inv("2024/06/03", "1002", "BOLT", "C2", "5.00"),
                  Total(kSubTotalLabel, "5.00"),
                  Total(kGrandTotalLabel, "1,005.00")}));
  EXPECT_EQ(view.ShownRows().front(), report.Header());

  // Sub-totals off: the grand total alone, the earlier totals gone.
  ASSERT_TRUE(view.SortAndTotal(3, false));
  EXPECT_EQ(Shown(view),
            (Rows{Inv("2024/06/01", "1001", "ACME", "C1", "1,000.25"),
                  Inv("2024/06/02", "1003", "ACME", "C1", "-0.25"),
                  Inv("2024/06/03", "1002", "BOLT", "C2", "5.00"),
                  Total(kGrandTotalLabel, "1,005.00")}));
}

TEST(ReportView, TiesAreOrderedByTheRemainingCellsFromTheLeft) {
  Report report = InvoiceRegister({Inv("2024/06/02", "1002", "ACME", "C9", "1.00"),
                                   Inv("2024/06/01", "1009", "ACME", "C1", "1.00"),
                                   Inv("2024/06/01", "1008", "ACME", "C1", "1.00")});
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(2, false));
  EXPECT_EQ(report.rows[0][1], "1008");
  EXPECT_EQ(report.rows[1][1], "1009");
  EXPECT_EQ(report.rows[2][1], "1002");
}

TEST(ReportView, DateColumnsAddMonthTotalsAcrossMonthsAndYears) {
  Report report = InvoiceRegister({Inv("2024/01/02", "3", "A", "C1", "3.00"),
                                   Inv("2023/12/31", "2", "A", "C1", "2.00"),
                                   Inv("2023/12/31", "1", "A", "C1", "1.00")});
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(0, true));
  EXPECT_EQ(Shown(view),
            (Rows{Inv("2023/12/31", "1", "A", "C1", "1.00"),
                  Inv("2023/12/31", "2", "A", "C1", "2.00"),
                  Total(kSubTotalLabel, "3.00"),
                  Total(kMonthTotalLabel, "3.00"),
                  Inv("2024/01/02", "3", "A", "C1", "3.00"),
                  Total(kSubTotalLabel, "3.00"),
                  Total(kMonthTotalLabel, "3.00"),
                  Total(kGrandTotalLabel, "6.00")}));
}

TEST(ReportView, OnlySortableColumnsSort) {
  Report report = InvoiceRegister({Inv("2024/06/02", "2", "A", "C1", "1.00"),
                                   Inv("2024/06/01", "1", "A", "C1", "9.00")});
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(0, false));
  const Rows before = Shown(view);
  EXPECT_FALSE(view.SortAndTotal(4, true));
  EXPECT_FALSE(view.SortAndTotal(-1, true));
  EXPECT_EQ(Shown(view), before);
  EXPECT_EQ(view.sort_column(), 0);
}

TEST(ReportView, SalesReportSumsQuantitiesWithThreeDecimalsNotPrices) {
  Report report;
  report.definition = &ReportOf(ReportKind::kSalesReport);
  report.rows = {{"Widget", "WID", "2024/06/01", "1", "A", "C1", "10.125",
                  "1.500", "15.19"},
                 {"Widget", "WID", "2024/06/02", "2", "A", "C1", "10.125",
                  "1,000.250", "10,127.53"}};
  ReportView view(&report);
  ASSERT_TRUE(view.SortAndTotal(1, false));
  EXPECT_EQ(Shown(view).back(),
            (ReportRow{"", "", "", "", "", kGrandTotalLabel, "", "1,001.750",
                       "10,142.72"}));
}

TEST(ReportView, SortColTakesTwoToFourElseThree) {
  EXPECT_EQ(SortColChoices(), (std::vector<std::string>{"2", "3", "4"}));
  EXPECT_EQ(CheckedSortColText("2"), "2");
  EXPECT_EQ(CheckedSortColText(" 4 "), "4");
  for (const char* bad : {"1", "5", "0", "-3", "x", "", "2.5"}) {
    EXPECT_EQ(CheckedSortColText(bad), "3") << bad;
  }
  EXPECT_EQ(SortColumnOfText("4"), 3);
  EXPECT_EQ(SortColumnOfText("9"), 2);
}

TEST(ReportCells, QuantitiesAndPricesAreExactThousandths) {
  EXPECT_EQ(ThousandthsOf("1.5"), 1500);
  EXPECT_EQ(ThousandthsOf(" 1,234.5675 "), 1234568);
  EXPECT_EQ(ThousandthsOf("-0.0005"), -1);
  EXPECT_EQ(ThousandthsOf("abc"), 0);
  EXPECT_EQ(FormatThousandths(1234567890), "1,234,567.890");
  EXPECT_EQ(FormatThousandths(-250), "-0.250");
  EXPECT_EQ(FormatThousandths(0), "0.000");
  EXPECT_TRUE(IsDecimalCell("-1,234.50"));
  EXPECT_FALSE(IsDecimalCell("1001"));
  EXPECT_FALSE(IsDecimalCell("2024/06/01"));
  EXPECT_FALSE(IsDecimalCell("v1.2"));
}

}  // namespace
}  // namespace tallybook::receivables
