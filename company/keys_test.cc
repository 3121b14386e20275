#include "company/keys.h"

#include <gtest/gtest.h>

namespace tallybook::company {
namespace {

TEST(KeyRuleTest, TrimPadUpperCaseAndCut) {
  EXPECT_EQ(KeyText("  abc\t", 8), "ABC     ");
  EXPECT_EQ(KeyText("", 5), "     ");
  EXPECT_EQ(KeyText("abc", 30), "ABC" + std::string(27, ' '));
  // A longer text is not cut to the key length, only to 30.
  EXPECT_EQ(KeyText("abcdefghij", 5), "ABCDEFGHIJ");
  EXPECT_EQ(KeyText(std::string(40, 'x'), 30), std::string(30, 'X'));
  // Inner blanks stay.
  EXPECT_EQ(KeyText(" a b ", 4), "A B ");
  EXPECT_EQ(KeyTextAsStored(" ", 10), std::string(10, ' '));
  EXPECT_EQ(KeyTextAsStored("2024/01/0x", 10), "2024/01/0x");
}

TEST(KeyRuleTest, UpperCasedKeysIgnoreCase) {
  CustomerRecord lower, upper;
  lower.CustomerName.Set("abc");
  upper.CustomerName.Set("ABC");
  lower.CustomerNo.Set("c-1");
  upper.CustomerNo.Set("C-1");
  EXPECT_EQ(BuildKey(lower, 1), BuildKey(upper, 1));
  EXPECT_EQ(BuildKey(lower, 2), BuildKey(upper, 2));

  ProductRecord p1, p2;
  p1.ProductCode.Set("widget");
  p2.ProductCode.Set("WIDGET");
  EXPECT_EQ(BuildKey(p1, 1), BuildKey(p2, 1));

  TransactionRecord t1, t2;
  t1.KeyCode.Set("partial");
  t2.KeyCode.Set("Partial");
  t1.InvoiceNo.Set("a100");
  t2.InvoiceNo.Set("A100");
  EXPECT_EQ(BuildKey(t1, 4), BuildKey(t2, 4));
  EXPECT_EQ(BuildKey(t1, 1), BuildKey(t2, 1));
}

TEST(KeyRuleTest, AccentedLettersAreUpperCased) {
  CustomerRecord c;
  c.CustomerName.Set("\xE9tienne \xFF");  // e-acute, y-diaeresis
  EXPECT_EQ(BuildKey(c, 1), "\xC9TIENNE \x9F" + std::string(21, ' '));
}

TEST(CompanyKeysTest, NumberAndName) {
  CompanyRecord r;
  r.CompanyNo.Set(" 12 ");
  r.CompanyName.Set(std::string(35, 'n'));
  EXPECT_EQ(BuildKey(r, 1), "12   ");
  EXPECT_EQ(BuildKey(r, 2), std::string(30, 'N'));
  EXPECT_EQ(BuildKey(r, 0), "");
  EXPECT_EQ(BuildKey(r, 3), "");
}

TEST(ProductKeysTest, LongDescriptionSortsByItsFirst30Characters) {
  ProductRecord a, b;
  const std::string first30 = "Stainless steel bolt M8 x 40 m";
  ASSERT_EQ(first30.size(), 30u);
  a.ProductDescription.Set(first30 + "m!");
  b.ProductDescription.Set(first30 + "zz");
  EXPECT_EQ(a.ProductDescription.Get().size(), 32u);
  EXPECT_EQ(BuildKey(a, 2), "STAINLESS STEEL BOLT M8 X 40 M");
  EXPECT_EQ(BuildKey(a, 2), BuildKey(b, 2));
  a.ProductCode.Set("b-7");
  EXPECT_EQ(BuildKey(a, 1), "B-7       ");
  EXPECT_EQ(BuildKey(a, -1), "");
}

TEST(CustomerKeysTest, NameIsKeyOneAndNumberKeyTwo) {
  CustomerRecord c;
  c.CustomerName.Set("Acme Supplies Ltd");
  c.CustomerNo.Set("1001");
  EXPECT_EQ(BuildKey(c, 1), "ACME SUPPLIES LTD" + std::string(13, ' '));
  EXPECT_EQ(BuildKey(c, 2), "1001    ");
  EXPECT_EQ(BuildKey(c, 3), "");
}

TEST(LineKeysTest, SortDateAndInvoiceNumber) {
  LineRecord l;
  l.InvoiceSortDate.Set("2024/03/04");
  l.InvoiceNo.Set("1001");
  EXPECT_EQ(BuildKey(l, 1), "2024/03/04");
  EXPECT_EQ(BuildKey(l, 2), "1001     ");
  EXPECT_EQ(BuildKey(l, 3), "");
}

TEST(MemoKeysTest, InvoiceNumberOnly) {
  MemoRecord m;
  m.InvoiceNo.Set("ab12");
  EXPECT_EQ(BuildKey(m, 1), "AB12     ");
  EXPECT_EQ(BuildKey(m, 2), "");
}

TEST(TransactionKeysTest, SixKeys) {
  TransactionRecord t;
  t.InvoiceNo.Set("1001");
  t.TypeCode.Set("I");
  t.CustomerNo.Set("c7");
  t.SortDate.Set("2024/03/04");
  t.KeyCode.Set("None");
  t.PaidSortDate.Set(" ");
  EXPECT_EQ(BuildKey(t, 1), "1001     ");
  EXPECT_EQ(BuildKey(t, 2), "C7      ");
  EXPECT_EQ(BuildKey(t, 3), "2024/03/04");
  EXPECT_EQ(BuildKey(t, 4), "NONE    ");
  EXPECT_EQ(BuildKey(t, 5), "I1001     ");
  EXPECT_EQ(BuildKey(t, 6), std::string(10, ' '));
  EXPECT_EQ(BuildKey(t, 7), "");
}

TEST(TransactionKeysTest, TypeAndInvoiceAreTrimmedBeforeJoining) {
  TransactionRecord t;
  t.TypeCode.Set(" ");
  t.InvoiceNo.Set(" 55 ");
  EXPECT_EQ(BuildKey(t, 5), "55        ");
  t.TypeCode.Set("r");
  t.InvoiceNo.Set("123456789");
  EXPECT_EQ(BuildKey(t, 5), "R123456789");
}

TEST(TransactionKeysTest, DateKeysAreTakenAsStored) {
  TransactionRecord t;
  // Neither trimmed nor upper-cased: a damaged date keeps its bytes.
  t.SortDate.Set(" 2024/3/4");
  t.PaidSortDate.Set("abc");
  EXPECT_EQ(BuildKey(t, 3), " 2024/3/4 ");
  EXPECT_EQ(BuildKey(t, 6), "abc       ");
}

TEST(KeyBoundsTest, DamagedLengthBytesStayInsideTheField) {
  TransactionRecord t;
  t.InvoiceNo.Set("123456789");
  t.InvoiceNo.length = 255;
  EXPECT_EQ(BuildKey(t, 1), "123456789");
  EXPECT_EQ(BuildKey(t, 5), "123456789 ");
  CustomerRecord c;
  c.CustomerName.length = 255;
  EXPECT_EQ(BuildKey(c, 1).size(), 30u);
}

}  // namespace
}  // namespace tallybook::company
