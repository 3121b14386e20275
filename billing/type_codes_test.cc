#include "billing/type_codes.h"

#include <gtest/gtest.h>

namespace tallybook::billing {
namespace {

TEST(TypeCodesTest, LegendsNameEveryCodeAndTheRepeatCount) {
  EXPECT_EQ(TypeCodeLegend("R", "12"),
            "R - Repeat Billing Master Record (Created: 12)");
  EXPECT_EQ(TypeCodeLegend("T"), "T - Deposit Taken (offsets type D)");
  EXPECT_EQ(TypeCodeLegend("Q"), "");
  EXPECT_EQ(TypeCodeLegend(""), "");
}

TEST(TypeCodesTest, OnlyInvoicesArePrintedInBatchesAndMastersStayOutOfBalances) {
  for (const char* code : {"I", "G", "Z", "M"}) EXPECT_TRUE(BatchPrintable(code));
  for (const char* code : {"R", "X", "D", "T", ""}) EXPECT_FALSE(BatchPrintable(code));
  EXPECT_FALSE(CountsInBalances("R"));
  EXPECT_TRUE(CountsInBalances("X"));
}

}  // namespace
}  // namespace tallybook::billing
