// A writer killed in the middle of its work: a child process adds invoices
// through the data-access layer and is killed with SIGKILL at a random
// moment; the next open must offer the rebuild, and the rebuilt file must
// hold every invoice the child had finished, in order, with all its keys.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "company/data_access.h"
#include "company/keys.h"
#include "platform/testing/recording_progress.h"
#include "platform/testing/scripted_platform.h"
#include "store/file_check.h"
#include "store/store_test_util.h"

namespace tallybook::company {
namespace {

using store::testing::Int32At;
using store::testing::ReadBytes;
using store::testing::ScratchDir;

// Answers every question No; the child is never meant to see one.
class NoMessages : public platform::Messages {
 public:
  platform::Answer Show(const platform::Message& m) override {
    return platform::HasButton(m.buttons, platform::Answer::kNo)
               ? platform::Answer::kNo
               : platform::Answer::kOk;
  }
};

TransactionRecord Numbered(int32_t n) {
  TransactionRecord t;
  t.InvoiceNo.Set(std::to_string(n));
  t.TypeCode.Set(n % 3 == 0 ? "R" : "I");
  t.CustomerNo.Set("C" + std::to_string(n % 53));
  t.SortDate.Set("2024/02/" + std::to_string(10 + n % 19));
  t.KeyCode.Set("K" + std::to_string(n % 7));
  t.PaidSortDate.Set(" ");
  t.GrandTotal.Set("1.00");
  return t;
}

// The child: adds invoices first, first + 1, ... for ever, writing each
// finished invoice number to fd. Never returns.
[[noreturn]] void RunWriter(const std::string& dir, int32_t first, int fd) {
  store::Engine engine;
  NoMessages messages;
  platform::testing::RecordingProgressWindow progress;
  if (!engine.StoreStartup(0, 30)) ::_exit(10);
  TransactionAccess t(engine, messages, progress, dir, "1");
  if (!t.OpenCompanyFile()) ::_exit(11);
  for (int32_t n = first;; ++n) {
    t.rec() = Numbered(n);
    int32_t rec_no = 0;
    if (!t.AddWithKeys(rec_no)) ::_exit(12);
    if (::write(fd, &n, sizeof n) != sizeof n) ::_exit(13);
  }
}

struct Round {
  std::vector<int32_t> finished;  // invoice numbers the child reported
  int status = 0;
};

// Starts the writer, waits for its first finished invoice, lets it run for
// delay_ms more and kills it.
Round KillWriterAfter(const std::string& dir, int32_t first, int delay_ms) {
  Round round;
  int fds[2];
  if (::pipe(fds) != 0) {
    ADD_FAILURE() << "pipe: " << std::strerror(errno);
    return round;
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    RunWriter(dir, first, fds[1]);
  }
  ::close(fds[1]);
  if (pid < 0) {
    ADD_FAILURE() << "fork: " << std::strerror(errno);
    ::close(fds[0]);
    return round;
  }
  std::string bytes;
  auto take = [&](int timeout_ms) {
    pollfd p{fds[0], POLLIN, 0};
    if (::poll(&p, 1, timeout_ms) <= 0) return false;
    char buf[4096];
    const ssize_t got = ::read(fds[0], buf, sizeof buf);
    if (got <= 0) return false;
    bytes.append(buf, static_cast<size_t>(got));
    return true;
  };
  // The file is only "not closed after changes" once something was added.
  while (bytes.size() < sizeof(int32_t)) {
    if (!take(10000)) break;
  }
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(delay_ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) break;
    take(static_cast<int>(left));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &round.status, 0);
  while (take(0)) {
  }
  ::close(fds[0]);
  for (size_t at = 0; at + sizeof(int32_t) <= bytes.size();
       at += sizeof(int32_t)) {
    int32_t n;
    std::memcpy(&n, bytes.data() + at, sizeof n);
    round.finished.push_back(n);
  }
  return round;
}

// Records in use of a closed file block, in physical order.
std::vector<std::pair<int32_t, TransactionRecord>> RecordsOf(
    const std::string& base) {
  std::vector<std::pair<int32_t, TransactionRecord>> records;
  const std::vector<uint8_t> dat = ReadBytes(base + ".DAT");
  if (dat.size() < 24) return records;
  const int32_t length = Int32At(dat, 12);
  if (length != static_cast<int32_t>(sizeof(TransactionRecord))) {
    return records;
  }
  for (size_t at = length; at + length <= dat.size(); at += length) {
    if (Int32At(dat, at) != 0) continue;
    TransactionRecord t;
    std::memcpy(&t, dat.data() + at, sizeof t);
    records.emplace_back(static_cast<int32_t>(at / length), t);
  }
  return records;
}

TEST(CrashRecoveryTest, KilledWriterLeavesAFileTheRebuildRecovers) {
  ScratchDir dir;
  const std::string data_dir = dir.File("").substr(0, dir.File("").size() - 1);
  const std::string base = FilePathOf(TransactionFile(), data_dir, "1");
  platform::testing::ScriptedPlatform ui;
  store::Engine engine;
  ASSERT_TRUE(engine.StoreStartup(0, 30));
  ASSERT_TRUE(CreateTransactionFile(engine, data_dir, "1"));

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay(5, 60);

  std::vector<int32_t> finished;
  int32_t next = 1;
  for (int r = 1; r <= 5; ++r) {
    const int delay_ms = delay(random);
    SCOPED_TRACE("round " + std::to_string(r) + ", killed after " +
                 std::to_string(delay_ms) + " ms");
    Round round = KillWriterAfter(data_dir, next, delay_ms);
    ASSERT_TRUE(WIFSIGNALED(round.status) && WTERMSIG(round.status) == SIGKILL)
        << "the writer ended by itself, status " << round.status;
    ASSERT_FALSE(round.finished.empty());
    finished.insert(finished.end(), round.finished.begin(),
                    round.finished.end());
    // The record after the last reported one may be in the file as well.
    next = round.finished.back() + 2;

    ui.messages.ExpectMessage("Index file is defective.  Rebuild?",
                              platform::Answer::kYes);
    {
      TransactionAccess t(engine, ui.messages, ui.progress, data_dir, "1");
      ASSERT_TRUE(t.OpenCompanyFile()) << "error " << engine.StoreError();
      ASSERT_TRUE(t.Close());
    }
    ui.messages.Verify();
    EXPECT_EQ(store::CheckFileBlockFiles(base), std::vector<std::string>{});

    const auto records = RecordsOf(base);
    // Every finished invoice is there, in the order it was added.
    std::map<int32_t, size_t> position;
    for (size_t i = 0; i < records.size(); ++i) {
      position[std::stoi(records[i].second.InvoiceNo.Get())] = i;
    }
    size_t last = 0;
    for (size_t i = 0; i < finished.size(); ++i) {
      auto it = position.find(finished[i]);
      ASSERT_NE(it, position.end()) << "invoice " << finished[i] << " lost";
      if (i > 0) {
        EXPECT_GT(it->second, last) << "invoice " << finished[i];
      }
      last = it->second;
    }
    // Everything there, finished or not, has exactly its keys.
    for (int k = 1; k <= 6; ++k) {
      std::vector<store::KeyEntry> entries;
      ASSERT_EQ(store::WalkKeyEntries(base, k, &entries), "");
      std::vector<std::pair<std::string, int32_t>> want, got;
      for (const auto& [rec_no, rec] : records) {
        want.emplace_back(BuildKey(rec, k), rec_no);
      }
      for (const auto& e : entries) got.emplace_back(e.key, e.reference);
      std::sort(want.begin(), want.end());
      std::sort(got.begin(), got.end());
      EXPECT_EQ(got, want) << "key " << k;
    }
  }
}

}  // namespace
}  // namespace tallybook::company
