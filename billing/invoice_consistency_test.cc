// Balances stay the sum of what is owed through any run of adds, edits and
// deletes, and through a failure at any write of one of them.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <random>

#include "billing/invoice_bookkeeping.h"
#include "billing/invoice_test_support.h"
#include "platform/message.h"

namespace tallybook::billing {
namespace {

using company::TransactionRecord;
using platform::Answer;
using testing::AllRecords;
using testing::Cents;

class ConsistencyTest : public testing::InvoiceOnDisk {
 protected:
  void SetUp() override {
    InvoiceOnDisk::SetUp();
    for (const char* no : {"C1", "C2", "C3"}) {
      AddCustomer(no, std::string("Customer ") + no);
    }
  }

  // A random editor's work on a form: one to three lines, a date up to 100
  // days back (or a few days ahead), and nothing, all or part paid.
  void RandomInvoice(std::mt19937& rng, InvoiceForm& form) {
    auto pick = [&](int lo, int hi) {
      return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    ResetGrid(form, app_->CurrentCompany);
    const int count = pick(1, 3);
    for (int i = 0; i < count; ++i) {
      form.lines[i] = Line("P" + std::to_string(i), std::to_string(pick(1, 4)),
                           "Item " + std::to_string(i),
                           company::MoneyText(pick(1, 9999) / 100.0), "N");
    }
    form.date = DaysAgoText(pick(-3, 100));
    form.paid = "0.00";
    ComputeTotals(form, "0", false);
    switch (pick(0, 3)) {
      case 0: form.paid = form.total; break;
      case 1: form.paid = company::MoneyText(
                  company::MoneyToDouble(form.total) / 2); break;
      default: break;
    }
    ComputeTotals(form, "0", false);
  }
};

TEST_F(ConsistencyTest, RandomAddsEditsAndDeletesKeepBalancesEqualToAmountsDue) {
  for (unsigned seed : {1u, 2u, 3u}) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) {
      return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    for (int step = 0; step < 30; ++step) {
      const std::string when =
          "seed " + std::to_string(seed) + " step " + std::to_string(step);
      auto on_file = AllRecords<company::TransactionAccess>(*app_);
      const int op = on_file.empty() ? 0 : pick(0, 3);
      if (op <= 1) {
        const std::string customer = "C" + std::to_string(pick(1, 3));
        ASSERT_TRUE(AddInvoice(*app_, Editor([&](InvoiceForm& form) {
                      form.customer_no = customer;
                      RandomInvoice(rng, form);
                    })).changed) << when;
      } else {
        auto it = on_file.begin();
        std::advance(it, pick(0, static_cast<int>(on_file.size()) - 1));
        const auto [rec_no, t] = *it;
        const double paid = company::MoneyToDouble(t.PaidAmount.View());
        if (op == 2) {
          ASSERT_TRUE(EditInvoice(*app_, rec_no, t, Editor([&](InvoiceForm& f) {
                        RandomInvoice(rng, f);
                      })).changed) << when;
        } else if (t.PaidStatus == "P" && paid != 0) {
          ui_->messages.ExpectMessage(kPaidNoDelete);
          EXPECT_FALSE(DeleteInvoice(*app_, rec_no, t).changed) << when;
        } else {
          if (paid != 0) ui_->messages.ExpectMessage(kPaymentActivityNote);
          ui_->messages.ExpectMessage(kDeleteQuestion, Answer::kYes);
          ASSERT_TRUE(DeleteInvoice(*app_, rec_no, t).changed) << when;
        }
      }
      ExpectBalancesAgree(when);
      ExpectFilesSound(when);
      if (HasFailure()) return;
    }
  }
}

// ---- A failure at each write.

// Answers every question Yes and keeps every text shown.
class RecordingMessages : public platform::Messages {
 public:
  platform::Answer Show(const platform::Message& message) override {
    texts.push_back(message.text);
    return platform::HasButton(message.buttons, Answer::kYes) ? Answer::kYes
                                                               : Answer::kOk;
  }
  int Count(const std::string& text) const {
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
  }
  std::vector<std::string> texts;
};

// Fails the nth write of any file with EIO.
class NthWriteFault {
 public:
  explicit NthWriteFault(int n) : n_(n) {}
  int operator()(store::OsOperation op, const std::string&) {
    if (op != store::OsOperation::kWrite) return 0;
    return ++*seen_ == n_ ? EIO : 0;
  }
  int seen() const { return *seen_; }

 private:
  int n_;
  std::shared_ptr<int> seen_ = std::make_shared<int>(0);
};

struct Snapshot {
  std::map<int32_t, TransactionRecord> transactions;
  std::map<int32_t, company::CustomerRecord> customers;
  std::map<int32_t, company::LineRecord> lines;
  std::map<int32_t, company::MemoRecord> memos;
  company::CompanyRecord company;
};

bool SameBytes(const auto& a, const auto& b) {
  if (a.size() != b.size()) return false;
  for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
    if (i->first != j->first ||
        std::memcmp(&i->second, &j->second, sizeof i->second) != 0) {
      return false;
    }
  }
  return true;
}

class FaultTest : public ConsistencyTest {
 protected:
  void SetUp() override {
    ConsistencyTest::SetUp();
    AddInvoice(*app_, Editor([&](InvoiceForm& form) {
      FillInvoice(form, "C1",
                  {Line("A", "1", "a", "10", "N"), Line("B", "2", "b", "5", "N"),
                   Line("C", "1", "c", "1", "N")},
                  "0.00", DaysAgoText(10));
    }));
    AddInvoice(*app_, Editor([&](InvoiceForm& form) {
      form.kind = InvoiceKind::kMemo;
      form.customer_no = "C2";
      form.memo = "Body";
      form.memo_description = "Service";
      form.net = "40";
      ComputeTotals(form, "0", false);
    }));
    backup_ = dir_ + ".base";
    std::filesystem::remove_all(backup_);
    std::filesystem::copy(dir_, backup_);
    base_ = Take();
  }
  void TearDown() override {
    std::filesystem::remove_all(backup_);
    ConsistencyTest::TearDown();
  }

  Snapshot Take() {
    return Snapshot{AllRecords<company::TransactionAccess>(*app_),
                    AllRecords<company::CustomerAccess>(*app_),
                    AllRecords<company::LineAccess>(*app_),
                    AllRecords<company::MemoAccess>(*app_), StoredCompany()};
  }
  bool Unchanged() {
    const Snapshot now = Take();
    return SameBytes(now.transactions, base_.transactions) &&
           SameBytes(now.customers, base_.customers) &&
           SameBytes(now.lines, base_.lines) &&
           SameBytes(now.memos, base_.memos) &&
           std::memcmp(&now.company, &base_.company, sizeof now.company) == 0;
  }

  // Runs op on the base files with write n failing, for n = 1, 2, ... until
  // no write fails; judge checks each outcome. Returns the writes tried.
  int FailEachWrite(
      const std::function<InvoiceOutcome(company::App&)>& op,
      const std::function<void(const InvoiceOutcome&, const RecordingMessages&,
                               const std::string&)>& judge) {
    for (int n = 1; n < 400; ++n) {
      for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        std::filesystem::remove(entry.path());
      }
      std::filesystem::copy(backup_, dir_);
      RecordingMessages messages;
      platform::Services services = ui_->services();
      platform::Services recorded{messages,         services.progress,
                                  services.gauge,   services.windows,
                                  services.dialogs, services.printer,
                                  services.help,    services.desktop,
                                  services.clock};
      NthWriteFault fault(n);
      InvoiceOutcome out;
      {
        company::App app(dir_, recorded);
        EXPECT_TRUE(app.engine().StoreStartup(0, 8));
        app.CurrentCompany = StoredCompany();
        app.SetShortDateFromCompany();
        app.RefreshTodayText();
        app.last_invoice_date = app.TodayText;
        app.engine().SetFaultHook(fault);
        out = op(app);
        app.engine().SetFaultHook({});
        app.engine().StoreShutdown();
      }
      const std::string when = "write " + std::to_string(n);
      app_->CurrentCompany = StoredCompany();
      ExpectFilesSound(when);
      judge(out, messages, when);
      if (fault.seen() < n) return n;
      if (HasFailure()) return n;
    }
    ADD_FAILURE() << "the operation never got through";
    return 0;
  }

  std::string backup_;
  Snapshot base_;
};

TEST_F(FaultTest, AddKeepsWhatWasWrittenOrNothing) {
  const int n = FailEachWrite(
      [&](company::App& app) {
        return AddInvoice(app, [&](InvoiceForm& form) {
          FillInvoice(form, "C3",
                      {Line("A", "1", "a", "20", "N"),
                       Line("B", "1", "b", "10", "N")});
          return true;
        });
      },
      [&](const InvoiceOutcome& out, const RecordingMessages& m,
          const std::string& when) {
        if (!out.changed) {
          EXPECT_EQ(m.Count(company::kAddFailed), 1) << when;
          EXPECT_TRUE(Unchanged()) << when;
          return;
        }
        EXPECT_EQ(Transaction("102").GrandTotal.Get(), "30.00") << when;
        EXPECT_EQ(static_cast<int>(LinesOf("102").size()),
                  2 - m.Count(kDetailAddFailed)) << when;
        if (m.Count(company::kModifyFailed) == 0) ExpectBalancesAgree(when);
      });
  EXPECT_GT(n, 3);
}

TEST_F(FaultTest, EditStoresAllOrNothingOfTheRecord) {
  const int n = FailEachWrite(
      [&](company::App& app) {
        int32_t rec_no = 0;
        const TransactionRecord t = Transaction("100", &rec_no);
        return EditInvoice(app, rec_no, t, [&](InvoiceForm& form) {
          form.invoice_no = "100E";
          form.date = DaysAgoText(50);
          form.lines[1] = ResetLine(app.CurrentCompany);
          form.lines[3] = Line("D", "1", "d", "7", "N");
          ComputeTotals(form, "0", false);
          return true;
        });
      },
      [&](const InvoiceOutcome& out, const RecordingMessages& m,
          const std::string& when) {
        if (!out.changed) {
          EXPECT_EQ(m.Count(company::kModifyFailed), 1) << when;
          EXPECT_TRUE(Unchanged()) << when;
          return;
        }
        EXPECT_EQ(Transaction("100E").GrandTotal.Get(), "18.00") << when;
        if (m.texts.empty()) {
          EXPECT_EQ(LinesOf("100E").size(), 3u) << when;
          EXPECT_TRUE(LinesOf("100").empty()) << when;
        }
        if (m.Count(company::kModifyFailed) == 0) ExpectBalancesAgree(when);
      });
  EXPECT_GT(n, 3);
}

TEST_F(FaultTest, DeleteRemovesTheRecordOrNothing) {
  const int n = FailEachWrite(
      [&](company::App& app) {
        int32_t rec_no = 0;
        const TransactionRecord t = Transaction("101", &rec_no);
        return DeleteInvoice(app, rec_no, t);
      },
      [&](const InvoiceOutcome& out, const RecordingMessages& m,
          const std::string& when) {
        if (!out.changed) {
          EXPECT_EQ(m.Count(company::kDeleteFailed), 1) << when;
          EXPECT_TRUE(Unchanged()) << when;
          return;
        }
        EXPECT_EQ(AllRecords<company::TransactionAccess>(*app_).size(), 1u)
            << when;
        if (m.Count(kDeleteDetailsFailed) == 0) {
          EXPECT_TRUE(LinesOf("101").empty()) << when;
        }
        if (m.Count(company::kModifyFailed) == 0) ExpectBalancesAgree(when);
      });
  EXPECT_GT(n, 3);
}

}  // namespace
}  // namespace tallybook::billing
