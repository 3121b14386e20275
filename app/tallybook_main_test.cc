// Runs the built tallybook program, offscreen, on installations it made.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The program is built beside this test program.
std::string Binary() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / "tallybook").string();
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Starts the program with args; stdout and stderr go to out_file. The
// environment is this program's unless env is given.
pid_t Start(const std::vector<std::string>& args, const fs::path& out_file,
            const std::vector<std::string>* env = nullptr) {
  std::vector<std::string> all = {Binary()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<std::string> env_copy;
  std::vector<char*> envp;
  if (env != nullptr) {
    env_copy = *env;
    for (std::string& e : env_copy) envp.push_back(e.data());
    envp.push_back(nullptr);
  }
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(),
                  env != nullptr ? envp.data() : environ) != 0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class TallybookProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "tallybook.XXXXXX").string();
    ASSERT_NE(::mkdtemp(templ.data()), nullptr);
    root_ = templ;
    data_ = root_ / "data";
    out_ = root_ / "output.txt";
  }
  void TearDown() override { fs::remove_all(root_); }
  int Run(const std::vector<std::string>& args) {
    pid_t pid = Start(args, out_);
    return pid < 0 ? -1 : Wait(pid);
  }
  fs::path root_, data_, out_;
};

TEST_F(TallybookProgramTest, InitThenStartAndCloseLeavesTheFilesClean) {
  ASSERT_EQ(Run({"--init", data_.string()}), 0);
  EXPECT_EQ(ReadAll(out_), "A new Tallybook installation was made in " +
                               data_.string() + " with company 1.\n");
  const std::string last_co = ReadAll(data_ / "LastCo.Dat");
  ASSERT_EQ(last_co.size(), 2736u);

  EXPECT_EQ(Run({"--data", data_.string(), "--exit-after-ms", "300"}), 0)
      << ReadAll(out_);
  EXPECT_EQ(ReadAll(data_ / "LastCo.Dat"), last_co);
  const std::string company = ReadAll(data_ / "Company.DAT");
  ASSERT_GT(company.size(), 20u);
  EXPECT_EQ(company[20], '\0') << "company list left marked in update";
  EXPECT_FALSE(fs::exists(data_ / ".tallybook.lock"));
}

TEST_F(TallybookProgramTest, InitRefusesAnExistingInstallation) {
  ASSERT_EQ(Run({"--init", data_.string()}), 0);
  const std::string last_co = ReadAll(data_ / "LastCo.Dat");
  fs::remove(out_);
  EXPECT_EQ(Run({"--init", data_.string()}), 1);
  EXPECT_EQ(ReadAll(out_), data_.string() +
                               " already holds Tallybook data (LastCo.Dat). "
                               "Nothing was changed.\n");
  EXPECT_EQ(ReadAll(data_ / "LastCo.Dat"), last_co);
}

TEST_F(TallybookProgramTest, WrongArgumentsAndMissingDirectoryAreRefused) {
  EXPECT_EQ(Run({"--data"}), 2);
  EXPECT_EQ(Run({"--bogus"}), 2);
  EXPECT_EQ(Run({"--exit-after-ms", "soon"}), 2);
  fs::remove(out_);
  EXPECT_EQ(Run({"--data", (root_ / "nowhere").string()}), 1);
  EXPECT_EQ(ReadAll(out_), "tallybook: " + (root_ / "nowhere").string() +
                               " is not a directory\n");
}

TEST_F(TallybookProgramTest, WithoutAHomeTheDataMustBeNamed) {
  // The data lives in the user's data folder unless --data names it; with
  // no home to find that folder in, the program says how to go on.
  const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen",
                                        "XDG_DATA_HOME=relative/is/ignored"};
  pid_t pid = Start({}, out_, &env);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(Wait(pid), 1);
  EXPECT_EQ(ReadAll(out_),
            "tallybook: HOME is not set; name the data with --data DIR\n");
}

TEST_F(TallybookProgramTest, SecondCopyOnTheSameDataEnds) {
  ASSERT_EQ(Run({"--init", data_.string()}), 0);
  pid_t first = Start({"--data", data_.string(), "--exit-after-ms", "8000"},
                      out_);
  ASSERT_GT(first, 0);
  // The first copy holds the lock once it is up.
  for (int i = 0; i < 400 && !fs::exists(data_ / ".tallybook.lock"); ++i) {
    usleep(50 * 1000);
  }
  ASSERT_TRUE(fs::exists(data_ / ".tallybook.lock"));
  // Should the second copy wrongly start, it still ends on its own.
  EXPECT_EQ(Run({"--data", data_.string(), "--exit-after-ms", "300"}), 0);
  EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0)
      << "the first copy ended before the second one asked it";
  EXPECT_EQ(Wait(first), 0);
  EXPECT_EQ(ReadAll(data_ / "Company.DAT")[20], '\0');
}

}  // namespace
