#include "company/rich_text.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/testing/temp_dir.h"

namespace tallybook::company {
namespace {

namespace fs = std::filesystem;

TEST(RichTextTest, PlainLinesInTheGivenFont) {
  platform::Font font{"Courier New", 10, platform::MakeColor(0, 0, 255),
                      platform::kFontBold};
  EXPECT_EQ(RichTextFromPlain("Line one\r\nLine two\r\n", font),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n"
            "{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}}\r\n"
            "{\\colortbl ;\\red0\\green0\\blue255;}\r\n"
            "\\pard\\plain\\f0\\fs20\\cf1\\b Line one\\par\r\n"
            "Line two\\par\r\n"
            "}\r\n");
}

TEST(RichTextTest, SpecialCharactersAreEscaped) {
  platform::Font font{"Arial", 12, platform::kBlack,
                      platform::kFontItalic | platform::kFontUnderline |
                          platform::kFontStrikeOut};
  const std::string doc =
      RichTextFromPlain("a{b}c\\d\te\xE9\x01\nf\rg", font);
  const std::string body = doc.substr(doc.find("\\fs24"));
  EXPECT_EQ(body,
            "\\fs24\\cf1\\i\\ul\\strike a\\{b\\}c\\\\d\\tab e\\'e9\\par\r\n"
            "f\\par\r\n"
            "g}\r\n");
}

TEST(RichTextTest, FontNameCannotBreakTheFontTable) {
  platform::Font font{"Bad;{Name}\\", 0, platform::kWhite, 0};
  const std::string doc = RichTextFromPlain("", font);
  EXPECT_NE(doc.find("\\fcharset0 BadName;}}"), std::string::npos);
  EXPECT_NE(doc.find("\\fs2\\cf1 }"), std::string::npos);
  EXPECT_NE(doc.find("\\red255\\green255\\blue255;"), std::string::npos);
  platform::Font empty{"", 10, platform::kBlack, 0};
  EXPECT_NE(RichTextFromPlain("", empty).find("Courier New;"),
            std::string::npos);
}

TEST(RichTextTest, SaveWritesTheDocumentOrNothing) {
  platform::testing::TempDir temp("rtf");
  ASSERT_TRUE(temp.ok());
  const fs::path dir = temp.path();
  platform::Font font;
  const fs::path good = dir / "Company.RTF";
  ASSERT_TRUE(SaveRichText(good.string(), "x", font));
  EXPECT_EQ(platform::testing::ReadFileBytes(good), RichTextFromPlain("x", font));
  EXPECT_FALSE(SaveRichText((dir / "missing" / "a.RTF").string(), "x", font));
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

}  // namespace
}  // namespace tallybook::company
