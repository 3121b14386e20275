#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/admin_test_util.h"
#include "company/installation.h"
#include "platform/testing/temp_dir.h"

namespace tallybook::admin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::AdminRun;
using testing::RunCaptured;

class AdminCsvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.ok());
    dir_ = (temp_.path() / "data").string();
    ASSERT_TRUE(company::CreateInstallation(dir_).ok);
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (temp_.path() / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  platform::testing::TempDir temp_{"admin_csv"};
  std::string dir_;
};

TEST_F(AdminCsvTest, BadRowRefusesTheFileThenSkipBadImportsTheRest) {
  const std::string csv = Write(
      "customers.csv",
      "number,name,address1\r\n"
      "1,\"Caf\xC3\xA9 M\xC3\xBCller\",\"12, Rue de la Paix\"\r\n"
      "2,,Nowhere\r\n"
      "3,John Smith,\r\n");
  AdminRun run = RunCaptured({"import-customers", dir_, csv});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr(csv + ": line 3: You must enter a customer name.\n"));
  EXPECT_THAT(run.err, HasSubstr("1 bad row(s); nothing was imported"));
  EXPECT_EQ(run.out, "");

  run = RunCaptured({"import-customers", dir_, csv, "--skip-bad"});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out, "imported 2 customers, skipped 1 bad row(s)\n");

  const std::string out = (temp_.path() / "out.csv").string();
  run = RunCaptured({"export-customers", dir_, out});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  const std::string exported = Read(out);
  EXPECT_THAT(exported,
              HasSubstr("1,Caf\xC3\xA9 M\xC3\xBCller,\"12, Rue de la Paix\""));
  EXPECT_THAT(exported, HasSubstr("3,John Smith,"));
}

TEST_F(AdminCsvTest, ProductsRoundTripThroughTheCommands) {
  const std::string csv = Write("products.csv",
                                "description,code,price\r\nBolt,B1,0.25\r\n");
  AdminRun run = RunCaptured({"import-products", dir_, csv});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out, "imported 1 products\n");
  const std::string out = (temp_.path() / "p.csv").string();
  ASSERT_EQ(RunCaptured({"export-products", dir_, out}).code, kExitOk);
  EXPECT_EQ(Read(out),
            "code,description,price,taxable,notes\r\nB1,Bolt,0.25,N,\r\n");
}

TEST_F(AdminCsvTest, ExportNeverWritesThroughALinkAtItsSideFile) {
  // FILE.csv.tmp is a predictable name: a link planted there must not make
  // the export overwrite the link's target.
  const std::string victim = Write("victim", "not yours");
  const std::string out = (temp_.path() / "c.csv").string();
  fs::create_symlink(victim, out + ".tmp");
  const AdminRun run = RunCaptured({"export-customers", dir_, out});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(Read(victim), "not yours");
  EXPECT_THAT(Read(out), HasSubstr("number,name"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(out + ".tmp")));
}

TEST_F(AdminCsvTest, BomOptionStartsTheFileWithTheByteOrderMark) {
  const std::string csv = Write("products.csv",
                                "code,description,price\r\n=B1,-Bolt,-0.25\r\n");
  ASSERT_EQ(RunCaptured({"import-products", dir_, csv}).code, kExitOk);
  const std::string out = (temp_.path() / "p.csv").string();
  AdminRun run = RunCaptured({"export-products", dir_, out, "--bom"});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const std::string exported =
      "code,description,price,taxable,notes\r\n'=B1,'-Bolt,'-0.25,N,\r\n";
  EXPECT_EQ(Read(out), "\xEF\xBB\xBF" + exported);
  // The imports skip the mark and take the guards off.
  const std::string again_dir = (temp_.path() / "again").string();
  ASSERT_TRUE(company::CreateInstallation(again_dir).ok);
  ASSERT_EQ(RunCaptured({"import-products", again_dir, out}).code, kExitOk);
  ASSERT_EQ(RunCaptured({"export-products", again_dir, out}).code, kExitOk);
  EXPECT_EQ(Read(out), exported);

  run = RunCaptured({"export-products", dir_, out, "--utf16"});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr("unknown option \"--utf16\" (only --bom)"));
}

TEST_F(AdminCsvTest, MissingFilesAndBadOptionsAreClearErrors) {
  AdminRun run = RunCaptured({"import-products", dir_, "/no/such.csv"});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_EQ(run.err, "tallybook-admin: /no/such.csv: cannot be read\n");

  const std::string csv = Write("c.csv", "number,name\r\n1,A\r\n");
  run = RunCaptured({"import-customers", dir_, csv, "--force"});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr("unknown option \"--force\""));

  run = RunCaptured({"import-customers", (temp_.path() / "none").string(), csv});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr("holds no installation"));

  // Not a file: refused at once, where a folder used to import nothing
  // and report success, and a FIFO to block the command.
  run = RunCaptured({"import-customers", dir_, temp_.path().string()});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_EQ(run.err, "tallybook-admin: " + temp_.path().string() +
                         ": cannot be read: it is a folder\n");
  const std::string fifo = (temp_.path() / "fifo.csv").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  run = RunCaptured({"import-customers", dir_, fifo});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr("it is not a regular file"));

  const std::string broken = Write("b.csv", "number,name\r\n1,\"open\r\n");
  run = RunCaptured({"import-customers", dir_, broken});
  EXPECT_EQ(run.code, kExitFailed);
  EXPECT_THAT(run.err, HasSubstr(broken + ": line 2: a quoted field is not closed"));
}

}  // namespace
}  // namespace tallybook::admin
