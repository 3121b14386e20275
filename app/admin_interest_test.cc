// tallybook-admin interest on the demo company: the scan, the generation
// with the report as a PDF file, and the refusals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/admin_test_util.h"
#include "platform/testing/pdf_text.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::admin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::istringstream in(line);
  for (std::string cell; std::getline(in, cell, '\t');) cells.push_back(cell);
  return cells;
}

// A demo installation made for today (the command ages to today), made
// once and copied for each test.
class AdminInterestTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo_ = new platform::testing::TempDir("interest_demo");
    made_ =
        demo_->ok() && testing::RunAdminBinary(
                           "demo " + (demo_->path() / "demo").string(), false)
                               .code == 0;
  }
  static void TearDownTestSuite() {
    delete demo_;
    demo_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(made_);
    ASSERT_TRUE(temp_.ok());
    dir_ = (temp_.path() / "demo").string();
    fs::copy(demo_->path() / "demo", dir_, fs::copy_options::recursive);
  }
  testing::BinaryRun Run(const std::string& arguments, bool errors = false) {
    return testing::RunAdminBinary("interest " + dir_ + " " + arguments,
                                   errors);
  }

  static platform::testing::TempDir* demo_;
  static bool made_;
  platform::testing::TempDir temp_{"admin_interest"};
  std::string dir_;
};

platform::testing::TempDir* AdminInterestTest::demo_ = nullptr;
bool AdminInterestTest::made_ = false;

TEST_F(AdminInterestTest, ScansGeneratesAndWritesTheReport) {
  const testing::BinaryRun scan = Run("--over 30");
  ASSERT_EQ(scan.code, 0) << scan.out;
  const std::vector<std::string> lines = Lines(scan.out);
  ASSERT_GE(lines.size(), 3u) << "the demo has overdue customers";
  EXPECT_EQ(Cells(lines.front()),
            (std::vector<std::string>{"Customer Name", "Customer#",
                                      "Over 30 Days", "Interest Chg."}));
  EXPECT_EQ(Cells(lines.back()).front(), "Totals:");
  const size_t customers = lines.size() - 2;
  // A scan writes nothing: the same scan again gives the same grid.
  EXPECT_EQ(Run("--over 30").out, scan.out);

  const fs::path pdf = temp_.path() / "interest.pdf";
  const testing::BinaryRun run =
      Run("--over 30 --rate 2 --minimum 0.50 --printed --terms 'Net 10' "
          "--generate --report-pdf " +
          pdf.string());
  ASSERT_EQ(run.code, 0) << run.out;
  const std::vector<std::string> generated = Lines(run.out);
  ASSERT_GE(generated.size(), 3u);
  EXPECT_EQ(Cells(generated.front()).back(), "Invoice#");
  // Consecutive numbers with the "I" suffix, in grid order.
  std::string previous;
  for (size_t i = 1; i + 1 < generated.size(); ++i) {
    const std::string number = Cells(generated[i]).back();
    ASSERT_EQ(number.back(), 'I') << generated[i];
    if (!previous.empty()) {
      EXPECT_EQ(std::stol(number), std::stol(previous) + 1);
    }
    previous = number;
  }
  EXPECT_LE(generated.size() - 2, customers);
  // The books agree after the run.
  const testing::BinaryRun reconcile =
      testing::RunAdminBinary("reconcile " + dir_);
  EXPECT_EQ(reconcile.code, 0) << reconcile.out;
  EXPECT_THAT(reconcile.out, ::testing::Not(HasSubstr("->")));
  if (platform::testing::PdfToTextInstalled()) {
    const std::string text = platform::testing::PdfText(pdf);
    EXPECT_THAT(text, HasSubstr("Interest Charges Report"));
    EXPECT_THAT(text, HasSubstr("and charged 2 percent interest."));
    EXPECT_THAT(text, HasSubstr("Report Complete. " +
                                std::to_string(generated.size() - 2) +
                                " records printed."));
  }
  // The choices were kept: the next scan without options uses them.
  EXPECT_EQ(Cells(Lines(Run("").out).front())[2], "Over 30 Days");
}

TEST_F(AdminInterestTest, RefusesBadSettingsAndFindsNothingWithAHugeMinimum) {
  const struct {
    const char* options;
    const char* told;
  } cases[] = {
      {"--rate abc", "Monthly Percentage Rate: \"abc\" is not a percentage"},
      {"--over 45", "--over takes 30, 60 or 90"},
      {"--flat -3", "You should not enter a negative number"},
      {"--generate --date 31/31/2024", "is not a date"},
      {"--rate 0.001 --minimum 9.99", "No records were found."},
      {"--bogus", "unknown option --bogus"},
  };
  for (const auto& c : cases) {
    const testing::BinaryRun r = Run(c.options, true);
    EXPECT_EQ(r.code, 1) << c.options;
    EXPECT_THAT(r.out, HasSubstr(c.told)) << c.options;
  }
  // Nothing was written by any of them.
  EXPECT_EQ(Run("--over 30").out, Run("").out);
}

}  // namespace
}  // namespace tallybook::admin
