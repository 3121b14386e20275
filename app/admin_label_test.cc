// The label queue commands of the built tallybook-admin: queue, labels (as
// PDF) and email-message over a real SMTP server on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/admin_test_util.h"
#include "mail/smtp_test_server.h"
#include "output/label_layout.h"
#include "output/output_test_support.h"
#include "output/queue_email.h"
#include "output/record_list.h"
#include "platform/testing/pdf_text.h"

namespace tallybook::admin {
namespace {

using testing::BinaryRun;
using testing::RunAdminBinary;

class AdminLabelTest : public output::testing::InvoiceCompany {
 protected:
  void SetUp() override {
    InvoiceCompany::SetUp();
    if (HasFatalFailure()) return;
    AddFullCustomer("C2", "Second Customer", "");
    AddCustomer("C3", "Zero Aging");
  }
  std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }
  std::vector<std::string> ListNumbers(const std::string& path) {
    std::vector<std::string> out;
    auto rows = output::ReadRecordList(path, nullptr);
    if (rows) {
      for (const auto& r : *rows) out.push_back(r.customer_no);
    }
    return out;
  }
};

TEST_F(AdminLabelTest, QueueWritesTheCustomersTheWizardWouldLoad) {
  BinaryRun run = RunAdminBinary("queue " + dir_ + " --all --out " +
                                 PathOf("all.LST"));
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(run.out, "3 customers written to " + PathOf("all.LST") + "\n");
  EXPECT_EQ(ListNumbers(PathOf("all.LST")),
            (std::vector<std::string>{"C1", "C2", "C3"}));

  run = RunAdminBinary("queue " + dir_ + " --aging 3 --out " +
                       PathOf("aged.LST"));
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(ListNumbers(PathOf("aged.LST")),
            (std::vector<std::string>{"C1", "C2"}));

  run = RunAdminBinary("queue " + dir_ + " --aging 5 --out x.LST");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("--aging takes 1, 2, 3 or 4"), std::string::npos);
  run = RunAdminBinary("queue " + dir_ + " --all");
  EXPECT_EQ(run.code, 1);
}

TEST_F(AdminLabelTest, LabelsPrintsTheListAsPdf) {
  output::LabelLayout layout;
  layout.left_margin = "50";
  layout.top_margin = "100";
  layout.columns = "3";
  layout.rows = "10";
  layout.label_width = "750";
  layout.label_height = "300";
  layout.use_shipping = true;
  ASSERT_TRUE(output::WriteLabelLayout(PathOf("sheet.LBL"), layout, nullptr));
  ASSERT_TRUE(output::WriteRecordList(
      PathOf("q.LST"), {{"C1", "", "", ""}, {"C2", "", "", ""}}, nullptr));
  const std::string pdf = PathOf("labels.pdf");
  BinaryRun run = RunAdminBinary("labels " + dir_ + " " + PathOf("sheet.LBL") +
                                 " " + PathOf("q.LST") + " --pdf " + pdf +
                                 " --copies 2");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(run.out,
            "Complete. 4 label(s) sent to printer. " + pdf + "\n");
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  const std::string text = platform::testing::PdfText(pdf);
  EXPECT_NE(text.find("Joe's Hardware"), std::string::npos) << text;
  EXPECT_NE(text.find("22 Dock Road"), std::string::npos) << text;

  // A damaged layout, a missing list and a bad count each say why.
  platform::testing::WriteFileBytes(PathOf("bad.LBL"), "xx");
  run = RunAdminBinary("labels " + dir_ + " " + PathOf("bad.LBL") + " " +
                       PathOf("q.LST") + " --pdf " + pdf);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("is not a label layout"), std::string::npos);
  run = RunAdminBinary("labels " + dir_ + " " + PathOf("sheet.LBL") + " " +
                       PathOf("none.LST") + " --pdf " + pdf);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("it does not exist"), std::string::npos);
  run = RunAdminBinary("labels " + dir_ + " " + PathOf("sheet.LBL") + " " +
                       PathOf("q.LST") + " --pdf " + pdf + " --start 0");
  EXPECT_EQ(run.code, 1);
}

TEST_F(AdminLabelTest, EmailMessageSendsToTheListAndCountsWhatWent) {
  mail::testing::SmtpTestServer server(temp_.path());
  TALLYBOOK_START_SMTP_OR_SKIP(server);
  company::CompanyRecord co = app_->CurrentCompany;
  co.SmtpServer.Set(server.address());
  StoreCompany(co);

  ASSERT_TRUE(output::WriteRecordList(
      PathOf("q.LST"), {{"C1", "", "", ""}, {"C2", "", "", ""}}, nullptr));
  std::ofstream(PathOf("body.txt")) << "Caf\xC3\xA9 opens Monday.\n";
  BinaryRun run = RunAdminBinary(
      "email-message " + dir_ + " " + PathOf("q.LST") +
      " --subject 'News' --body " + PathOf("body.txt"));
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find("C1\tsent\tjoe@customer.example\t250"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("C2\tskipped\t\tno e-mail address\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("1 of 2 messages sent, 1 skipped, 0 failed"),
            std::string::npos)
      << run.out;
  const auto mail = server.Messages();
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_NE(mail[0].find("X-Envelope-From: billing@acme.example"),
            std::string::npos);
  EXPECT_NE(mail[0].find("\r\nSubject: News\r\n"), std::string::npos);
  EXPECT_NE(mail[0].find("Caf=C3=A9 opens Monday."), std::string::npos)
      << mail[0];

  run = RunAdminBinary("email-message " + dir_ + " " + PathOf("q.LST") +
                       " --subject News --body " + PathOf("body.txt") +
                       " --from nobody");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find(output::kBadReturnAddressText), std::string::npos)
      << run.out;
}

}  // namespace
}  // namespace tallybook::admin

namespace tallybook::admin {
namespace {

// What a new user does: the demo's customers queued, labels printed with
// the demo's sample layout.
TEST(AdminLabelDemoTest, DemoCustomersGetLabelsWithTheSampleLayout) {
  platform::testing::TempDir temp("label_demo");
  ASSERT_TRUE(temp.ok());
  const std::string dir = (temp.path() / "demo").string();
  BinaryRun run = RunAdminBinary("demo " + dir + " --today 2026-03-15");
  ASSERT_EQ(run.code, 0) << run.out;
  const std::string list = (temp.path() / "all.LST").string();
  run = RunAdminBinary("queue " + dir + " --all --out " + list);
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(run.out, "40 customers written to " + list + "\n");
  const std::string pdf = (temp.path() / "labels.pdf").string();
  run = RunAdminBinary("labels " + dir + " " + dir + "/Labels3x10.LBL " +
                       list + " --pdf " + pdf + " --start 29");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_EQ(run.out, "Complete. 40 label(s) sent to printer. " + pdf + "\n");
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  // Labels 29 and 30 of the first sheet, 30 on the second, 8 on the third.
  const std::string text = platform::testing::PdfText(pdf);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 3) << text;
}

}  // namespace
}  // namespace tallybook::admin
