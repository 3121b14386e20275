#include "output/label_layout.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/temp_dir.h"

namespace tallybook::output {
namespace {

using platform::testing::ReadFileBytes;
using platform::testing::TempDir;
using platform::testing::WriteFileBytes;

LabelLayout SampleLayout() {
  LabelLayout l;
  l.description = "Avery 5160";
  l.left_margin = "55";
  l.top_margin = "150";
  l.columns = "3";
  l.rows = "10";
  l.label_width = "788";
  l.label_height = "300";
  l.font = platform::Font{"Courier New", 12, 0x00112233, platform::kFontBold};
  l.use_shipping = true;
  l.return_address = true;
  l.logo_file = "/home/me/logo.bmp";
  l.print_line = true;
  l.line_width = "2";
  l.send_to_caption = "TO:";
  return l;
}

// A length-prefixed text at offset.
void PutText(std::string& bytes, size_t offset, const std::string& text) {
  bytes[offset] = static_cast<char>(text.size());
  bytes.replace(offset + 1, text.size(), text);
}

class LabelLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.ok()); }
  std::string PathOf(const std::string& name) const {
    return (dir_.path() / name).string();
  }
  TempDir dir_{"label_layout_test"};
};

TEST_F(LabelLayoutTest, LayoutFileHoldsEveryFieldAtItsOffset) {
  std::string expected(444, '\0');
  PutText(expected, 0, "Avery 5160");
  PutText(expected, 51, "55");
  PutText(expected, 55, "150");
  PutText(expected, 59, "3");
  PutText(expected, 61, "10");
  PutText(expected, 64, "788");
  PutText(expected, 69, "300");
  PutText(expected, 74, "Courier New");
  expected[108] = 12;
  expected[112] = 0x33;
  expected[113] = 0x22;
  expected[114] = 0x11;
  expected[116] = 1;
  expected[117] = 1;
  expected[118] = 1;
  PutText(expected, 119, "/home/me/logo.bmp");
  expected[426] = 1;
  PutText(expected, 427, "2");
  PutText(expected, 431, "TO:");

  const std::string path = PathOf("sheet.LBL");
  std::string error;
  ASSERT_TRUE(WriteLabelLayout(path, SampleLayout(), &error)) << error;
  EXPECT_EQ(ReadFileBytes(path), expected);

  std::string bytes;
  const auto back = ReadLabelLayout(path, &error, &bytes);
  ASSERT_TRUE(back.has_value()) << error;
  EXPECT_EQ(*back, SampleLayout());
  EXPECT_EQ(bytes, expected);
  // Written again, the same bytes.
  ASSERT_TRUE(WriteLabelLayout(path, *back, &error));
  EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(LabelLayoutTest, WithoutReturnAddressTheLogoIsABlankAndTheLineOff) {
  LabelLayout l = SampleLayout();
  l.return_address = false;
  const std::string bytes = LabelLayoutBytes(l);
  EXPECT_EQ(bytes.substr(119, 3), std::string("\x01 \0", 3));
  EXPECT_EQ(bytes[426], 0);
  EXPECT_EQ(bytes[118], 0);
  const auto back = DecodeLabelLayout(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->logo_file, "");
  EXPECT_FALSE(back->print_line);
  // Overlong texts are cut to their fields, never spilling into the next.
  l.description = std::string(60, 'D');
  l.send_to_caption = "SEND THIS TO:";
  const std::string cut = LabelLayoutBytes(l);
  EXPECT_EQ(cut[0], 50);
  EXPECT_EQ(cut[51], 2);
  EXPECT_EQ(DecodeLabelLayout(cut)->send_to_caption, "SEND THIS ");
}

TEST_F(LabelLayoutTest, DamagedLayoutsAreRefusedWithTheirReason) {
  const std::string good = LabelLayoutBytes(SampleLayout());
  std::string error;
  const auto refused = [&](const std::string& bytes) {
    WriteFileBytes(PathOf("bad.LBL"), bytes);
    return !ReadLabelLayout(PathOf("bad.LBL"), &error).has_value();
  };
  EXPECT_TRUE(refused(good.substr(0, 443)));
  EXPECT_EQ(error, "The label layout " + PathOf("bad.LBL") +
                       " could not be read: it is not a label layout.");
  EXPECT_TRUE(refused(good + "x"));
  std::string letters = good;
  letters[52] = 'A';  // left margin "A5"
  EXPECT_TRUE(refused(letters));
  std::string flag = good;
  flag[117] = 2;
  EXPECT_TRUE(refused(flag));
  std::string size = good;
  size[108] = 0;  // font size 0
  EXPECT_TRUE(refused(size));
  // A length byte past its field cannot reach the next field.
  std::string length = good;
  length[59] = static_cast<char>(200);
  const auto clipped = DecodeLabelLayout(length);
  ASSERT_TRUE(clipped.has_value());
  EXPECT_EQ(clipped->columns, "3");

  EXPECT_FALSE(ReadLabelLayout(PathOf("none.LBL"), &error).has_value());
  EXPECT_EQ(error, "The label layout " + PathOf("none.LBL") +
                       " could not be read: it does not exist.");
}

TEST_F(LabelLayoutTest, LastLayoutNameIsRememberedInItsRecord) {
  const std::string dir = dir_.path().string();
  std::string name, error;
  EXPECT_EQ(ReadLastLabelFile(dir, &name), LastLabelRead::kMissing);
  ASSERT_TRUE(WriteLastLabelFile(dir, "/data/Sheets/Avery.LBL", &error));
  const std::string bytes = ReadFileBytes(PathOf(kLastLabelFileName));
  ASSERT_EQ(bytes.size(), 256u);
  EXPECT_EQ(bytes.substr(0, 23), "\x16/data/Sheets/Avery.LBL");
  EXPECT_EQ(bytes.substr(23), std::string(233, '\0'));
  EXPECT_EQ(ReadLastLabelFile(dir, &name), LastLabelRead::kOk);
  EXPECT_EQ(name, "/data/Sheets/Avery.LBL");

  // A name the record cannot hold is not cut to name another file.
  EXPECT_FALSE(WriteLastLabelFile(dir, "/" + std::string(300, 'x'), &error));
  EXPECT_EQ(ReadLastLabelFile(dir, &name), LastLabelRead::kOk);
  EXPECT_EQ(name, "/data/Sheets/Avery.LBL");

  WriteFileBytes(PathOf(kLastLabelFileName), "\x05/a/b");
  EXPECT_EQ(ReadLastLabelFile(dir, &name), LastLabelRead::kDamaged);
}

}  // namespace
}  // namespace tallybook::output
