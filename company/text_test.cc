#include "company/text.h"

#include <gtest/gtest.h>

namespace tallybook::company {
namespace {

TEST(TextLayoutTest, PadRightNeverCuts) {
  EXPECT_EQ(PadRight("ab", 5), "ab   ");
  EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
  EXPECT_EQ(PadRight("", 2), "  ");
  EXPECT_EQ(PadRight("ab", 0), "ab");
}

TEST(TextLayoutTest, RightAlignTrimsThenCutsLongerText) {
  EXPECT_EQ(RightAlign("  12.50 ", 8), "   12.50");
  EXPECT_EQ(RightAlign("1,234,567.00", 8), "1,234,56");
  EXPECT_EQ(RightAlign("abc", 3), "abc");
  EXPECT_EQ(RightAlign("", 3), "   ");
  EXPECT_EQ(RightAlign("abc", 0), "");
}

TEST(TextLayoutTest, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\n ab c \x01\x1f"), "ab c");
  EXPECT_EQ(Trim(std::string("\0x\0", 3)), "x");
  EXPECT_EQ(Trim("   "), "");
  // Bytes above 127 are letters of the code page, not controls.
  EXPECT_EQ(Trim("\xE9t\xE9"), "\xE9t\xE9");
  EXPECT_EQ(Trim("\xA0"), "\xA0");
}

TEST(TextLayoutTest, RemoveCommasKeepsEverythingElse) {
  EXPECT_EQ(RemoveCommas("1,234,567.50"), "1234567.50");
  EXPECT_EQ(RemoveCommas(",,"), "");
  EXPECT_EQ(RemoveCommas("a b"), "a b");
}

TEST(UpperCaseTest, AsciiAndAccentedLettersOfTheCodePage) {
  EXPECT_EQ(UpperCase1252("abc xyz 09!"), "ABC XYZ 09!");
  // a-grave .. thorn, but not the division sign.
  EXPECT_EQ(UpperCase1252("\xE0\xE9\xF1\xFE"), "\xC0\xC9\xD1\xDE");
  EXPECT_EQ(UpperCase1252("\xF7"), "\xF7");
  // s-caron, oe, z-caron, y-diaeresis.
  EXPECT_EQ(UpperCase1252("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
  // Sharp s has no single upper-case letter and stays.
  EXPECT_EQ(UpperCase1252("\xDF"), "\xDF");
  // Upper-case letters and other bytes are unchanged.
  EXPECT_EQ(UpperCase1252("\xC0\xD7\x80\xB5"), "\xC0\xD7\x80\xB5");
}

TEST(UpperCaseTest, EveryByteMapsWhereExpected) {
  for (int c = 0; c < 256; ++c) {
    const unsigned char up =
        static_cast<unsigned char>(UpperChar1252(static_cast<char>(c)));
    int expected = c;
    if (c >= 'a' && c <= 'z') expected = c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) expected = c - 32;
    if (c == 0x9A || c == 0x9C || c == 0x9E) expected = c - 16;
    if (c == 0xFF) expected = 0x9F;
    EXPECT_EQ(up, expected) << "byte " << c;
  }
}

TEST(EncodingTest, Cp1252ToUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("plain"), "plain");
  EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");          // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x93x\x94"), "\xE2\x80\x9Cx\xE2\x80\x9D");
  EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");              // Y diaeresis
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");              // undefined byte
}

TEST(EncodingTest, Utf8ToCp1252MapsOrReplaces) {
  EXPECT_EQ(Utf8ToCp1252("caf\xC3\xA9"), "caf\xE9");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC 5"), "\x80 5");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x94"), "\x97");          // em dash
  // Characters the code page lacks.
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");             // CJK
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80!"), "?!");       // emoji
  EXPECT_EQ(Utf8ToCp1252("\xC4\x80"), "?");                 // A macron
}

TEST(EncodingTest, MalformedUtf8BecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a\x80z"), "a?z");                 // stray byte
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");                   // cut short
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82z"), "?z");               // cut short
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");                // overlong
  EXPECT_EQ(Utf8ToCp1252("\xE0\x80\xAF"), "?");             // overlong
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "?");             // surrogate
  EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"), "??");
}

TEST(EncodingTest, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

}  // namespace
}  // namespace tallybook::company
