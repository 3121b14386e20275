// A process killed in the middle of invoices and payments leaves whole
// books once its operation journal is played back.
//
// A child process adds, edits and deletes invoices and posts payments on
// company "1" until it is killed: at a chosen entry of the operation
// journal (so, right before the record write the entry announces), or at a
// random moment. The test then plays the journal back and checks the books.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "billing/invoice_bookkeeping.h"
#include "company/money.h"
#include "company/op_journal.h"
#include "company/reconcile.h"
#include "receivables/payment_posting.h"
#include "receivables/payment_test_support.h"

namespace tallybook::receivables {
namespace {

using billing::InvoiceForm;
using billing::InvoiceKind;
using company::TransactionRecord;
using testing::AnyMessages;

const std::vector<std::string> kCustomers = {"C1", "C2", "C3"};

class CrashRecoveryTest : public testing::PaymentFixture {
 protected:
  void SetUp() override {
    PaymentFixture::SetUp();
    for (const std::string& no : kCustomers) AddCustomer(no, "Customer " + no);
    platform::testing::ScriptedPlatform& ui = *ui_;
    services_ = std::make_unique<platform::Services>(platform::Services{
        messages_, ui.progress, ui.gauge, ui.windows, ui.dialogs, ui.printer,
        ui.help, ui.desktop, ui.clock});
    app_->engine().StoreShutdown();
    app_.reset();
  }

  void TearDown() override {
    app_.reset();
    PaymentFixture::TearDown();
  }

  // A fresh App over the directory, as a new start of the program.
  std::unique_ptr<company::App> Start() {
    auto app = std::make_unique<company::App>(dir_, *services_);
    EXPECT_TRUE(app->engine().StoreStartup(0, company::kPageBuffers));
    company::ReadCompanyFromList(*app, "1", &app->CurrentCompany);
    app->SetShortDateFromCompany();
    app->RefreshTodayText();
    app->last_invoice_date = app->TodayText;
    return app;
  }

  // What the child does until it is killed.
  void Workload(company::App& app, std::mt19937& random) {
    auto pick = [&](int n) {
      return std::uniform_int_distribution<int>(0, n - 1)(random);
    };
    for (int step = 0; step < 40; ++step) {
      std::vector<std::pair<int32_t, TransactionRecord>> open;
      {
        company::TransactionAccess t(app);
        t.OpenCompanyFile();
        int32_t rec_no = 0;
        while (t.engine().NextUsedRecord(t.handle(), rec_no) &&
               t.GetRecord(rec_no)) {
          const TransactionRecord& r = t.rec();
          if (r.TypeCode.Get() == "I" && r.PaidStatus.Get() != "P" &&
              company::CentsOf(r.PaidAmount.View()) == 0) {
            open.emplace_back(rec_no, r);
          }
        }
        t.Close();
      }
      const int what = open.empty() ? 0 : pick(5);
      if (what <= 1) {
        const std::string customer = kCustomers[pick(3)];
        const bool memo = what == 1;
        billing::AddInvoice(app, [&](InvoiceForm& form) {
          form.customer_no = customer;
          form.short_name = "SN" + customer;
          if (memo) {
            form.kind = InvoiceKind::kMemo;
            form.memo = "Work done\nas agreed";
            form.net = company::CentsText(100 + pick(90000));
          } else {
            form.kind = InvoiceKind::kLineItems;
            for (int i = 0, n = 1 + pick(3); i < n; ++i) {
              form.lines[i] = {"", std::to_string(1 + pick(9)), "Item",
                               company::CentsText(1 + pick(20000)),
                               pick(2) ? "Y" : "N", ""};
              billing::UpdateExtension(form.lines[i]);
            }
          }
          billing::ComputeTotals(form, "7.25", true);
          return true;
        });
        continue;
      }
      const auto& [rec_no, record] = open[pick(static_cast<int>(open.size()))];
      if (what == 2) {
        billing::EditInvoice(app, rec_no, record, [&](InvoiceForm& form) {
          if (form.kind == InvoiceKind::kMemo) {
            form.net = company::CentsText(100 + pick(90000));
          } else {
            form.lines[0].quantity = std::to_string(1 + pick(9));
            billing::UpdateExtension(form.lines[0]);
          }
          billing::ComputeTotals(form, "7.25", true);
          return true;
        });
      } else if (what == 3) {
        billing::DeleteInvoice(app, rec_no, record);
      } else {
        const std::string customer = company::Trim(record.CustomerNo.View());
        const double due =
            company::CentsToDouble(company::CentsOf(record.AmountDue.View()));
        PaymentPosting posting = Posting(
            customer, {pick(2) && due > 1 ? Partial(record.InvoiceNo.Get(), 1)
                                          : Whole(record.InvoiceNo.Get(), due)});
        PostPayment(app, posting);
      }
    }
  }

  // Runs the workload in a child killed at journal entry kill_at (0: by the
  // parent after delay_us). True when the child died of the kill.
  bool RunChild(int seed, int kill_at, int delay_us) {
    const pid_t pid = fork();
    if (pid == 0) {
      int entries = 0;
      company::OperationJournal::AfterEntryHook() = [&](int) {
        if (kill_at > 0 && ++entries == kill_at) raise(SIGKILL);
      };
      std::mt19937 random(seed);
      auto app = Start();
      Workload(*app, random);
      app->engine().StoreShutdown();
      _exit(0);
    }
    if (kill_at == 0) {
      usleep(delay_us);
      kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }

  // Calls each with every record in use of a file, in physical order.
  template <class Access, class Each>
  static void walk(company::App& app, Each each) {
    Access access(app);
    ASSERT_TRUE(access.OpenCompanyFile());
    int32_t rec_no = 0;
    while (access.engine().NextUsedRecord(access.handle(), rec_no) &&
           access.GetRecord(rec_no)) {
      each(access.rec());
    }
    access.Close();
  }

  // The books after recovery: balances follow the amounts due, aging sums
  // to the balance, every invoice is whole, every file is sound.
  void ExpectWholeBooks(company::App& app) {
    std::map<std::string, int64_t> due;
    std::map<std::string, std::string> kind_of;
    std::set<std::string> numbers;
    std::map<std::string, int> lines, memos;
    walk<company::TransactionAccess>(app, [&](const TransactionRecord& r) {
      due[company::Trim(r.CustomerNo.View())] +=
          company::CentsOf(r.AmountDue.View());
      const std::string type = r.TypeCode.Get();
      // The invoice's own record: "I", or "Z" once it is paid in part.
      if (type == "I" || type == "Z") {
        kind_of[company::Trim(r.InvoiceNo.View())] = r.InvoiceKind.Get();
      }
      numbers.insert(company::Trim(r.InvoiceNo.View()));
    });
    walk<company::LineAccess>(app, [&](const company::LineRecord& l) {
      ++lines[company::Trim(l.InvoiceNo.View())];
    });
    walk<company::MemoAccess>(app, [&](const company::MemoRecord& m) {
      ++memos[company::Trim(m.InvoiceNo.View())];
    });
    int64_t total = 0;
    walk<company::CustomerAccess>(app, [&](const company::CustomerRecord& c) {
      const std::string no = company::Trim(c.CustomerNo.View());
      const int64_t balance = company::CentsOf(c.Balance.View());
      EXPECT_EQ(balance, due[no]) << "customer " << no;
      EXPECT_EQ(company::CentsOf(c.AgingCurrent.View()) +
                    company::CentsOf(c.Aging2.View()) +
                    company::CentsOf(c.Aging3.View()) +
                    company::CentsOf(c.Aging4.View()),
                balance)
          << "aging of customer " << no;
      total += balance;
    });
    company::CompanyRecord company;
    ASSERT_TRUE(company::ReadCompanyFromList(app, "1", &company));
    EXPECT_EQ(company::CentsOf(company.ReceivablesBalance.View()), total);
    for (const auto& [invoice, kind] : kind_of) {
      if (kind == "M") {
        EXPECT_EQ(memos[invoice], 1) << "memo invoice " << invoice;
      } else {
        EXPECT_GE(lines[invoice], 1) << "product invoice " << invoice;
      }
    }
    for (const auto& [invoice, count] : lines) {
      EXPECT_TRUE(numbers.count(invoice)) << "lines without invoice " << invoice;
    }
  }

  AnyMessages messages_;
  std::unique_ptr<platform::Services> services_;
};

TEST_F(CrashRecoveryTest, KilledOperationsAreTakenBackWhole) {
  std::mt19937 random(20261208);
  int killed = 0, taken_back = 0;
  for (int round = 0; round < 160; ++round) {
    // Most rounds die at a journal entry (right before the write it
    // announces); the rest at a random moment of the parent's choosing.
    const bool at_entry = round % 4 != 3;
    const int kill_at = at_entry ? 1 + static_cast<int>(random() % 40) : 0;
    const int delay_us = 200 + static_cast<int>(random() % 20000);
    if (RunChild(round, kill_at, delay_us)) ++killed;

    auto app = Start();
    const company::PlaybackResult played = company::PlayBackJournal(*app, true);
    SCOPED_TRACE("round " + std::to_string(round) + ", killed at entry " +
                 std::to_string(kill_at) + " of " + played.operation);
    if (played.found) {
      ASSERT_TRUE(played.played) << played.error;
      ++taken_back;
      // Taking the operation back whole leaves nothing to recompute.
      EXPECT_EQ(played.changes, std::vector<std::string>{});
    }
    ExpectWholeBooks(*app);
    for (const company::FileDescription* file :
         {&company::CompanyListFile(), &company::CustomerFile(),
          &company::TransactionFile(), &company::LineFile(),
          &company::MemoFile()}) {
      EXPECT_EQ(company::CheckCompanyFileBlock(
                    *file, company::FilePathOf(*file, dir_, "1")),
                std::vector<std::string>{});
    }
    app->engine().StoreShutdown();
    if (HasFatalFailure() || HasFailure()) break;
  }
  EXPECT_GE(killed, 100);
  EXPECT_GE(taken_back, 100);
}

}  // namespace
}  // namespace tallybook::receivables
