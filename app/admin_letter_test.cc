// The letters command of the built tallybook-admin over the demo company:
// the sample letters the demo installs, merged for a saved record list,
// one PDF per customer with every merge field filled.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/admin_sample_letters.h"
#include "app/admin_test_util.h"
#include "output/letter_document.h"
#include "output/letter_merge.h"
#include "output/record_list.h"
#include "platform/testing/pdf_text.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::admin {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The first `count` customer numbers of a customer CSV export.
std::vector<std::string> CustomerNumbers(const std::string& csv, int count) {
  std::vector<std::string> numbers;
  size_t at = csv.find('\n');
  while (at != std::string::npos && static_cast<int>(numbers.size()) < count) {
    const size_t comma = csv.find(',', at + 1);
    if (comma == std::string::npos) break;
    numbers.push_back(csv.substr(at + 1, comma - at - 1));
    at = csv.find('\n', comma);
  }
  return numbers;
}

class AdminLetterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    temp_ = new platform::testing::TempDir("letters");
    demo_ = RunAdminBinary("demo " + Dir().string() + " --today 2026-03-15");
  }
  static void TearDownTestSuite() {
    delete temp_;
    temp_ = nullptr;
  }
  static fs::path Dir() { return temp_->path() / "demo"; }
  static testing::BinaryRun RunAdminBinary(const std::string& arguments) {
    return testing::RunAdminBinary(arguments, true);
  }

  static platform::testing::TempDir* temp_;
  static testing::BinaryRun demo_;
};

platform::testing::TempDir* AdminLetterTest::temp_ = nullptr;
testing::BinaryRun AdminLetterTest::demo_;

TEST_F(AdminLetterTest, TheDemoInstallsTheSampleLettersWithKnownFieldsOnly) {
  ASSERT_EQ(demo_.code, 0) << demo_.out;
  ASSERT_EQ(SampleLetters().size(), 2u);
  for (const SampleLetter& sample : SampleLetters()) {
    const fs::path path = Dir() / sample.file_name;
    EXPECT_EQ(ReadFile(path), sample.bytes) << path;
    std::string error;
    auto letter = output::LoadLetterFile(path.string(), &error);
    ASSERT_TRUE(letter) << error;
    // Merged with values that hold no field name, no field name is left.
    output::MergeLetter(&*letter,
                        std::vector<std::string>(output::kMergeFieldCount, "v"));
    EXPECT_EQ(letter->Text().find("TLC"), std::string::npos)
        << sample.file_name << ": " << letter->Text();
  }
  // A letter the user changed is kept when the samples are installed again.
  std::ofstream(Dir() / "Reminder.RTF") << "{\\rtf1 mine}";
  std::string failure;
  EXPECT_TRUE(InstallSampleLetters(Dir().string(), &failure)) << failure;
  EXPECT_EQ(ReadFile(Dir() / "Reminder.RTF"), "{\\rtf1 mine}");
  fs::remove(Dir() / "Reminder.RTF");
  EXPECT_TRUE(InstallSampleLetters(Dir().string(), &failure)) << failure;
}

TEST_F(AdminLetterTest, MergesOnePdfPerListedCustomerWithEveryFieldFilled) {
  ASSERT_EQ(demo_.code, 0) << demo_.out;
  const fs::path csv = temp_->path() / "customers.csv";
  ASSERT_EQ(RunAdminBinary("export-customers " + Dir().string() + " " +
                           csv.string())
                .code,
            0);
  std::vector<std::string> numbers = CustomerNumbers(ReadFile(csv), 3);
  ASSERT_EQ(numbers.size(), 3u);
  std::vector<company::LabelQueueRow> rows;
  for (const std::string& n : numbers) rows.push_back({n, "", "", ""});
  rows.push_back({"GONE", "", "", ""});
  const fs::path list = temp_->path() / "three.LST";
  std::string error;
  ASSERT_TRUE(output::WriteRecordList(list.string(), rows, &error)) << error;
  const fs::path out = temp_->path() / "out";
  fs::create_directory(out);

  const testing::BinaryRun run =
      RunAdminBinary("letters " + Dir().string() + " " +
                     (Dir() / "PriceNotice.RTF").string() + " " +
                     list.string() + " --out " + out.string());
  ASSERT_EQ(run.code, 0) << run.out;
  std::string expected;
  for (const std::string& n : numbers) {
    expected += (out / (n + ".pdf")).string() + "\n";
  }
  EXPECT_NE(run.out.find(expected), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("GONE"), std::string::npos) << run.out;
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  for (const std::string& n : numbers) {
    const std::string text = platform::testing::PdfText(out / (n + ".pdf"));
    EXPECT_NE(text.find("Notice of new prices"), std::string::npos) << text;
    EXPECT_NE(text.find("Harbor Light Supply Co."), std::string::npos) << text;
    EXPECT_EQ(text.find("TLC"), std::string::npos) << text;
  }
}

TEST_F(AdminLetterTest, UnreadableLetterOrListFails) {
  ASSERT_EQ(demo_.code, 0) << demo_.out;
  const std::string dir = Dir().string();
  const fs::path list = temp_->path() / "one.LST";
  std::string error;
  ASSERT_TRUE(output::WriteRecordList(list.string(), {{"X", "", "", ""}},
                                      &error));
  testing::BinaryRun run = RunAdminBinary("letters " + dir + " " + dir +
                                          "/missing.RTF " + list.string());
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("missing.RTF could not be read"), std::string::npos)
      << run.out;
  std::ofstream(temp_->path() / "bad.RTF") << "{\\rtf1\\" << std::string(100, 'x');
  run = RunAdminBinary("letters " + dir + " " +
                       (temp_->path() / "bad.RTF").string() + " " +
                       list.string());
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("a control word is too long"), std::string::npos)
      << run.out;
  run = RunAdminBinary("letters " + dir + " " + dir + "/Reminder.RTF " + dir +
                       "/none.LST");
  EXPECT_EQ(run.code, 1);
  std::ofstream(temp_->path() / "empty.TXT") << "\n\n";
  run = RunAdminBinary("letters " + dir + " " +
                       (temp_->path() / "empty.TXT").string() + " " +
                       list.string());
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("You do not have any text to print."),
            std::string::npos)
      << run.out;
}

}  // namespace
}  // namespace tallybook::admin
