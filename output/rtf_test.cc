#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "output/letter_document.h"
#include "output/rtf_reader.h"
#include "output/rtf_writer.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::output {
namespace {

TextRun MakeRun(std::string text, CharFormat format = {}) {
  return {std::move(format), std::move(text)};
}

// A letter with every construct a letter uses.
LetterDocument EveryConstruct() {
  CharFormat bold{.bold = true};
  CharFormat italic_red{.font = "Times New Roman", .half_points = 28,
                        .italic = true,
                        .color = platform::MakeColor(200, 10, 20)};
  CharFormat underline{.font = "Courier New", .half_points = 17,
                       .underline = true,
                       .color = platform::MakeColor(0, 0, 255)};
  LetterDocument doc;
  Paragraph title;
  title.alignment = Alignment::kCenter;
  title.runs = {MakeRun("Dear ", bold), MakeRun("TLCSTNAME", italic_red),
                MakeRun(",", underline)};
  Paragraph body;
  body.alignment = Alignment::kJustify;
  body.first_indent = 720;
  body.left_indent = 360;
  body.right_indent = 1440;
  body.tab_stops = {1440, 2880};
  body.runs = {MakeRun("Amount:\tTLCSTBAL\nline two {braces} and \\ back")};
  Paragraph bullet;
  bullet.bullet = true;
  bullet.first_indent = -360;
  bullet.left_indent = 720;
  bullet.runs = {MakeRun("caf\xC3\xA9 \xE2\x82\xAC 5 \xE2\x80\x94 \xC5\x93")};
  Paragraph unicode;
  unicode.alignment = Alignment::kRight;
  unicode.page_break_before = true;
  unicode.runs = {MakeRun("\xCE\xA9 \xD0\x96 \xE4\xB8\xAD \xF0\x9F\x98\x80 end",
                      bold)};
  Paragraph empty;
  Paragraph last;
  last.runs = {MakeRun("Yours, TLCMPNAME")};
  doc.paragraphs = {title, body, bullet, unicode, empty, last};
  return doc;
}

TEST(RtfRoundTrip, EveryConstructReadsBackEqual) {
  const LetterDocument doc = EveryConstruct();
  const std::string rtf = WriteRtf(doc);
  LetterDocument back;
  std::string error;
  ASSERT_TRUE(ReadRtf(rtf, &back, &error)) << error;
  ASSERT_EQ(back.paragraphs.size(), doc.paragraphs.size());
  for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
    EXPECT_EQ(back.paragraphs[i], doc.paragraphs[i]) << "paragraph " << i;
  }
  // Written again, the same bytes: nothing drifts from save to save.
  EXPECT_EQ(WriteRtf(back), rtf);
}

TEST(RtfRoundTrip, TrailingEmptyParagraphAndEmptyLetterSurvive) {
  LetterDocument doc;
  doc.paragraphs.resize(2);
  doc.paragraphs[0].runs = {MakeRun("text")};
  LetterDocument back;
  std::string error;
  ASSERT_TRUE(ReadRtf(WriteRtf(doc), &back, &error)) << error;
  EXPECT_EQ(back, doc);
  ASSERT_TRUE(ReadRtf(WriteRtf(LetterDocument{}), &back, &error)) << error;
  EXPECT_TRUE(back.IsEmpty());
}

TEST(RtfReader, ReadsWhatOtherWordProcessorsWrite) {
  // As a word processor writes it: a style sheet, document information, a
  // picture, a field, \* destinations, Word's bullet text and \u escapes.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 "
      "Arial{\\*\\falt Helvetica};}{\\f1\\froman Times;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
      "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Hidden}{\\author X}}"
      "{\\*\\generator Writer;}\\viewkind4\\uc1\r\n"
      "\\pard\\qc\\f1\\fs32 Hello \\b bold\\b0  and \\i italic\\i0 "
      "{\\pict\\wmetafile8 0123456789abcdef} after picture\\par\r\n"
      "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}"
      "\\fi-360\\li720\\cf1 item \\u8364?5 {\\field{\\*\\fldinst HYPERLINK "
      "\"x\"}{\\fldrslt shown}}\\par\r\n"
      "\\pard\\uc2 two\\u915\\'47\\'47 fallbacks\\par\r\n"
      "\\pard caf\\'e9\\line next\\tab tab{\\*\\unknown skip me}\\par}";
  LetterDocument doc;
  std::string error;
  ASSERT_TRUE(ReadRtf(rtf, &doc, &error)) << error;
  ASSERT_EQ(doc.paragraphs.size(), 4u);
  EXPECT_EQ(doc.paragraphs[0].Text(), "Hello bold and italic after picture");
  EXPECT_EQ(doc.paragraphs[0].alignment, Alignment::kCenter);
  EXPECT_EQ(doc.paragraphs[0].runs[0].format.font, "Times");
  EXPECT_EQ(doc.paragraphs[0].runs[0].format.half_points, 32);
  EXPECT_TRUE(doc.paragraphs[0].runs[1].format.bold);
  EXPECT_EQ(doc.paragraphs[0].runs[1].text, "bold");
  EXPECT_TRUE(doc.paragraphs[0].runs[3].format.italic);
  EXPECT_EQ(doc.paragraphs[1].Text(), "item \xE2\x82\xAC" "5 shown");
  EXPECT_TRUE(doc.paragraphs[1].bullet);
  EXPECT_EQ(doc.paragraphs[1].left_indent, 720);
  EXPECT_EQ(doc.paragraphs[1].first_indent, -360);
  EXPECT_EQ(doc.paragraphs[1].runs[0].format.color,
            platform::MakeColor(255, 0, 0));
  EXPECT_EQ(doc.paragraphs[2].Text(), "two\xCE\x93 fallbacks");
  EXPECT_FALSE(doc.paragraphs[2].bullet);
  EXPECT_EQ(doc.paragraphs[3].Text(), "caf\xC3\xA9\nnext\ttab");
}

TEST(RtfReader, HostileFilesAreRefusedOrReadSafely) {
  LetterDocument doc;
  std::string error;
  // Not RTF at all.
  EXPECT_FALSE(ReadRtf("Dear customer", &doc, &error));
  EXPECT_EQ(error, "it is not a rich text file");
  EXPECT_FALSE(ReadRtf("", &doc, &error));
  // A control word of a megabyte.
  std::string long_word = "{\\rtf1 a\\" + std::string(1 << 20, 'x') + " b}";
  EXPECT_FALSE(ReadRtf(long_word, &doc, &error));
  EXPECT_EQ(error, "a control word is too long");
  EXPECT_FALSE(ReadRtf("{\\rtf1\\fs" + std::string(5000, '9') + " x}", &doc,
                       &error));
  EXPECT_EQ(error, "a number is too long");
  // Groups nested a million deep, closed or not.
  const std::string deep = "{\\rtf1 " + std::string(1 << 20, '{') + "x" +
                           std::string(1 << 20, '}') + "}";
  EXPECT_FALSE(ReadRtf(deep, &doc, &error));
  EXPECT_EQ(error, "its groups are nested too deeply");
  EXPECT_TRUE(doc.paragraphs.empty());
  // Unbalanced braces: a missing close reads to the end, an extra close
  // ends the document.
  ASSERT_TRUE(ReadRtf("{\\rtf1 {\\b open text\\par more", &doc, &error));
  EXPECT_EQ(doc.Text(), "open text\nmore");
  ASSERT_TRUE(ReadRtf("{\\rtf1 kept\\par}} ignored", &doc, &error));
  EXPECT_EQ(doc.Text(), "kept");
  // Escapes cut off at the end of the file, a \bin longer than the file.
  ASSERT_TRUE(ReadRtf("{\\rtf1 a\\'4", &doc, &error));
  EXPECT_EQ(doc.Text(), "a");
  ASSERT_TRUE(ReadRtf("{\\rtf1 a\\bin999999 xyz", &doc, &error));
  EXPECT_EQ(doc.Text(), "a");
  ASSERT_TRUE(ReadRtf("{\\rtf1 a\\u-1\\u9999999999 \\", &doc, &error));
  EXPECT_EQ(doc.paragraphs.size(), 1u);
  // Out-of-range font, colour and size numbers fall back.
  ASSERT_TRUE(ReadRtf("{\\rtf1\\f99\\cf77\\fs-5\\fi-999999999 t}", &doc,
                      &error));
  EXPECT_EQ(doc.paragraphs[0].runs[0].format, CharFormat{.half_points = 2});
  EXPECT_EQ(doc.paragraphs[0].first_indent, -31680);
}

// ---- Readers and writers no one here wrote.

// Runs a shell command; its standard output, or nullopt when it failed.
std::optional<std::string> Shell(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    out.append(buffer.data(), n);
  }
  if (pclose(pipe) != 0) return std::nullopt;
  return out;
}

class RtfInterchange : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.ok());
    for (const char* tool : {"pandoc", "unrtf"}) {
      ASSERT_TRUE(Shell(std::string("command -v ") + tool + " >/dev/null"))
          << tool << " is missing: run scripts/install-deps";
    }
  }
  std::string Path(const std::string& name) {
    return (dir_.path() / name).string();
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  platform::testing::TempDir dir_{"letters"};
};

TEST_F(RtfInterchange, PandocReadsOurLetterWithItsTextAndEmphasis) {
  LetterDocument doc;
  doc.paragraphs.resize(2);
  doc.paragraphs[0].runs = {MakeRun("Dear "), MakeRun("valued", {.bold = true}),
                            MakeRun(" customer,")};
  doc.paragraphs[1].runs = {MakeRun("please "), MakeRun("pay", {.italic = true}),
                            MakeRun(" the caf\xC3\xA9 \xE2\x82\xAC" "5 \xCE\xA9.")};
  Write("ours.rtf", WriteRtf(doc));
  const auto markdown =
      Shell("pandoc -f rtf -t markdown --wrap=none " + Path("ours.rtf"));
  ASSERT_TRUE(markdown);
  EXPECT_NE(markdown->find("Dear **valued** customer,"), std::string::npos)
      << *markdown;
  EXPECT_NE(markdown->find("please *pay* the caf\xC3\xA9 \xE2\x82\xAC" "5 "
                           "\xCE\xA9."),
            std::string::npos)
      << *markdown;
  // unrtf, an older reader of its own, shows the same text and emphasis.
  const auto html = Shell("unrtf --html " + Path("ours.rtf") + " 2>/dev/null");
  ASSERT_TRUE(html);
  EXPECT_NE(html->find("<b>valued</b>"), std::string::npos) << *html;
  EXPECT_NE(html->find("<i>pay</i>"), std::string::npos) << *html;
  EXPECT_NE(html->find("customer,"), std::string::npos) << *html;
}

TEST_F(RtfInterchange, WeReadPandocsLetterWithItsTextAndEmphasis) {
  Write("theirs.md",
        "Dear **valued** customer,\n\n"
        "- first *item*\n- second item\n\n"
        "Kind regards, caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9\n");
  ASSERT_TRUE(Shell("pandoc -s -f markdown -t rtf -o " + Path("theirs.rtf") +
                  " " + Path("theirs.md")));
  std::string error;
  const auto doc = LoadLetterFile(Path("theirs.rtf"), &error);
  ASSERT_TRUE(doc) << error;
  std::vector<std::string> texts;
  for (const Paragraph& p : doc->paragraphs) texts.push_back(p.Text());
  ASSERT_EQ(texts.size(), 4u) << doc->Text();
  EXPECT_EQ(texts[0], "Dear valued customer,");
  EXPECT_NE(texts[1].find("first item"), std::string::npos);
  EXPECT_NE(texts[2].find("second item"), std::string::npos);
  EXPECT_EQ(texts[3], "Kind regards, caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9");
  bool bold = false, italic = false;
  for (const TextRun& r : doc->paragraphs[0].runs) {
    if (r.text == "valued") bold = r.format.bold;
  }
  for (const TextRun& r : doc->paragraphs[1].runs) {
    if (r.text == "item") italic = r.format.italic;
  }
  EXPECT_TRUE(bold);
  EXPECT_TRUE(italic);
}

TEST_F(RtfInterchange, PlainTextLettersAndDamagedFiles) {
  Write("plain.TXT", "Dear TLCSTNAME,\r\n\r\ncaf\xE9\r\n");
  std::string error;
  auto doc = LoadLetterFile(Path("plain.TXT"), &error);
  ASSERT_TRUE(doc) << error;
  EXPECT_EQ(doc->Text(), "Dear TLCSTNAME,\n\ncaf\xC3\xA9");
  ASSERT_TRUE(SaveLetterFile(Path("again.txt"), *doc, &error)) << error;
  EXPECT_EQ(LoadLetterFile(Path("again.txt"), &error)->Text(), doc->Text());

  EXPECT_FALSE(LoadLetterFile(Path("missing.rtf"), &error));
  EXPECT_NE(error.find("could not be read"), std::string::npos);
  Write("damaged.rtf", "{\\rtf1 " + std::string(300, '{'));
  EXPECT_FALSE(LoadLetterFile(Path("damaged.rtf"), &error));
  EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
  std::filesystem::create_directory(Path("folder.rtf"));
  EXPECT_FALSE(LoadLetterFile(Path("folder.rtf"), &error));
  EXPECT_FALSE(SaveLetterFile(Path("nowhere/x.rtf"), *doc, &error));
}

}  // namespace
}  // namespace tallybook::output
