#include "billing/ui/invoice_manager.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "billing/ui/q_view.h"
#include "output/ui/inv_batch.h"
#include "company/company_defaults.h"
#include "company/company_files.h"
#include "company/keys.h"
#include "company/text.h"
#include "company/ui/find_box.h"
#include "company/ui/ui_test_support.h"
#include "platform/qt/text_codec.h"

namespace tallybook::billing::ui {
namespace {

using company::TransactionRecord;
using platform::Answer;
using platform::qt::FromQString;

constexpr char kNewInvoiceFile[] =
    "I am going to create a new, empty invoice file for this company.";

class TinvlistTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app().engine().StoreStartup(0, company::kPageBuffers);
    app().CurrentCompany = company::FirstCompanyRecord("1", "Acme Supply");
    app().CurrentCompany.ReceivablesBalance.Set("1234.5");
  }
  void TearDown() override {
    window_.reset();
    shell_.ui.Verify();
  }
  company::App& app() { return *shell_.app; }
  std::string Base() const {
    return company::FilePathOf(company::TransactionFile(), shell_.dir.string(), "1");
  }

  // Writes transactions: (invoice#, customer#, sort date, type).
  void AddTransactions(
      std::initializer_list<std::tuple<const char*, const char*, const char*, const char*>>
          rows) {
    company::TransactionAccess t(app());
    if (!std::filesystem::exists(Base() + ".DAT")) {
      ASSERT_TRUE(company::CreateTransactionFile(app().engine(), shell_.dir.string(), "1"));
    }
    ASSERT_TRUE(t.OpenCompanyFile());
    for (const auto& [no, customer, date, type] : rows) {
      t.ClearRecord();
      TransactionRecord& r = t.rec();
      r.InvoiceNo.Set(no);
      r.CustomerNo.Set(customer);
      r.SortDate.Set(date);
      r.DateText.Set(std::string(date).substr(5, 2) + "/" +
                     std::string(date).substr(8, 2) + "/" +
                     std::string(date).substr(0, 4));
      r.TypeCode.Set(type);
      r.KeyCode.Set("None");
      r.CompanyNo.Set("1");
      r.ShortName.Set(customer);
      r.GrandTotal.Set("100.00");
      r.AmountDue.Set("100.00");
      r.PaidAmount.Set("0.00");
      r.InvoiceKind.Set("P");
      int32_t rec_no = 0;
      ASSERT_TRUE(t.AddWithKeys(rec_no));
    }
    ASSERT_TRUE(t.Close());
  }
  // Adds one customer to a customer file not made yet.
  void AddCustomer(const char* no, const char* name, const char* balance) {
    shell_.ui.messages.ExpectMessage(
        "I am going to create a new, empty customer file for this company.");
    company::CustomerAccess c(app());
    ASSERT_TRUE(c.OpenCompanyFile());
    c.ClearRecord();
    c.rec().CustomerNo.Set(no);
    c.rec().CustomerName.Set(name);
    c.rec().ShortName.Set(company::UpperCase1252(std::string(name).substr(0, 5)));
    c.rec().Balance.Set(balance);
    c.rec().Phone1.Set("555-0101");
    int32_t rec_no = 0;
    ASSERT_TRUE(c.AddWithKeys(rec_no));
  }
  void AddSample() {
    AddTransactions({{"1001", "C3", "2024/01/05", "I"},
                     {"1002", "C1", "2024/02/01", "I"},
                     {"1003", "C2", "2024/01/20", "I"},
                     {"1004", "C1", "2024/03/15", "G"},
                     {"1005", "C2", "2023/12/31", "I"}});
  }
  // Makes the window and shows it (files open).
  void Open() {
    window_ = std::make_unique<Tinvlist>(app());
    window_->resize(980, 420);
    ASSERT_TRUE(window_->FormShow());
    window_->show();
  }
  store::BrowseList& List() { return *window_->InvBrowser1->browse_list(); }
  std::string CurrentInvoice() {
    const store::RowRec& row = List().RowAt(List().CurrentRow());
    return company::Trim(row.Row.at(0).substr(13, 9));
  }
  std::vector<std::string> ListedInvoices() {
    std::vector<std::string> out;
    for (int i = 1; i <= List().FilledRows(); ++i) {
      out.push_back(company::Trim(List().RowAt(i).Row.at(0).substr(13, 9)));
    }
    return out;
  }
  std::string Panel(int i) { return FromQString(window_->StatusBar1[i]->text()); }
  void SelectInvoice(const std::string& no) {
    for (int i = 1; i <= List().FilledRows(); ++i) {
      if (company::Trim(List().RowAt(i).Row.at(0).substr(13, 9)) == no) {
        List().SelectRow(i);
        return;
      }
    }
    FAIL() << "invoice " << no << " not listed";
  }
  static void SetInUpdateFlag(const std::string& base) {
    std::fstream f(base + ".DAT", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(20);
    f.put(1);
  }

  company::ui::ShellFixture shell_;
  std::unique_ptr<Tinvlist> window_;
};

TEST_F(TinvlistTest, StandardKeysRunTheCommandsAndTheMenusShowThem) {
  AddSample();
  Open();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  EXPECT_EQ(window_->Add1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
  EXPECT_EQ(window_->Edit1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
  EXPECT_EQ(window_->Delete1->shortcut(), QKeySequence(Qt::Key_Delete));
  EXPECT_EQ(window_->Search1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
  EXPECT_EQ(window_->Print1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
  EXPECT_EQ(window_->Close1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
  // F1 is this window's help.
  QTest::keyClick(window_->InvBrowser1, Qt::Key_F1);
  ASSERT_FALSE(shell_.ui.help.topics().empty());
  EXPECT_EQ(shell_.ui.help.topics().back(), kInvoiceManagerHelpTopic);
  // Ctrl+N is New.
  QSignalSpy added(window_->Add1, &QAction::triggered);
  shell_.ui.windows.ExpectWindow(kProdInvName, platform::kModalCancel);
  QTest::keyClick(window_->InvBrowser1, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(added.count(), 1);
  // Ctrl+W closes the manager.
  QTest::keyClick(window_->InvBrowser1, Qt::Key_W, Qt::ControlModifier);
  EXPECT_FALSE(window_->isVisible());
}

TEST_F(TinvlistTest, MissingFileIsCreatedAfterTheNoticeAndTheWindowFilled) {
  shell_.ui.messages.ExpectMessage(kNewInvoiceFile).WithCaption("New Company");
  Open();
  EXPECT_TRUE(std::filesystem::exists(Base() + ".DAT"));
  EXPECT_TRUE(std::filesystem::exists(shell_.dir / "1D.DAT"));
  EXPECT_TRUE(std::filesystem::exists(shell_.dir / "1M.DAT"));
  EXPECT_EQ(FromQString(window_->CName->text()), "Acme Supply - #1");
  EXPECT_EQ(FromQString(window_->ARBal->text()), "1,234.50");
  EXPECT_EQ(FromQString(window_->CFilter->text()), "Filter Closed");
  EXPECT_EQ(Panel(0), "Records: 0");
  EXPECT_EQ(Panel(1), "Right-click mouse or select from menu bar.");
  EXPECT_EQ(Panel(2), "Timer off");
  EXPECT_EQ(FromQString(window_->windowTitle()), "Invoice Manager");
  EXPECT_EQ(window_->InvBrowser1->Header(), InvoiceListHeader());
  // By Invoice Date is the first view.
  EXPECT_TRUE(window_->findChild<QAction*>("ByInvoiceDate1")->isChecked());
  EXPECT_TRUE(window_->RepeatBillingSetup1->isEnabled());
  // Commands on the current record do nothing on an empty list.
  window_->CustomerDataClick();
  window_->FilterButtonClick();
  EXPECT_FALSE(app().invoice_filter_on);
}

TEST_F(TinvlistTest, OpensOnTheLastInvoiceAddedInEMailModeCaption) {
  AddSample();
  app().CurrentCompany.LastInvoiceNo.Set("1003");
  app().output_mode = company::OutputMode::kEMail;
  app().invoice_timer_running = true;
  Open();
  EXPECT_EQ(CurrentInvoice(), "1003");
  EXPECT_EQ(Panel(0), "Records: 5");
  EXPECT_EQ(Panel(2), "Timer running...");
  EXPECT_EQ(FromQString(window_->windowTitle()), "Invoice Manager - (E-Mail Mode)");
  // By date: 1005 (2023), 1001, 1003, 1002, 1004.
  EXPECT_EQ(ListedInvoices(),
            (std::vector<std::string>{"1005", "1001", "1003", "1002", "1004"}));
}

TEST_F(TinvlistTest, DefectiveIndexIsRebuiltOnYesAndOpened) {
  AddSample();
  SetInUpdateFlag(Base());
  shell_.ui.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kYes);
  Open();
  EXPECT_EQ(shell_.ui.progress.caption(), "Invoices");
  EXPECT_EQ(Panel(0), "Records: 5");
}

TEST_F(TinvlistTest, NoToRebuildEndsWithUnableToOpenDatabases) {
  AddSample();
  SetInUpdateFlag(Base());
  shell_.ui.messages.ExpectMessage("Index file is defective.  Rebuild?", Answer::kNo);
  shell_.ui.messages.ExpectMessage("Unable to open databases: 10010")
      .WithCaption("Invoice Manager");
  window_ = std::make_unique<Tinvlist>(app());
  EXPECT_EQ(window_->Execute(), kInvlistOpenFailed);
}

TEST_F(TinvlistTest, EveryViewKeepsTheSameRecordCurrent) {
  AddSample();
  app().CurrentCompany.LastInvoiceNo.Set("1003");
  Open();
  ASSERT_EQ(CurrentInvoice(), "1003");
  for (const InvoiceView& view : kInvoiceViews) {
    window_->findChild<QAction*>(view.action_name)->trigger();
    EXPECT_EQ(app().invoice_view_key, view.key_no);
    EXPECT_TRUE(window_->findChild<QAction*>(view.action_name)->isChecked());
    EXPECT_EQ(CurrentInvoice(), "1003") << view.action_name;
  }
  window_->ChooseView(kCustomerNoView);
  EXPECT_EQ(ListedInvoices(),
            (std::vector<std::string>{"1002", "1004", "1003", "1005", "1001"}));
  // The view outlives the window.
  window_.reset();
  Open();
  EXPECT_TRUE(window_->findChild<QAction*>("ByCustomerNumber1")->isChecked());
  EXPECT_EQ(List().CurrentKeyNumber(), kCustomerNoView);
}

TEST_F(TinvlistTest, FilterListsOneCustomerAndSwitchesOffAgain) {
  AddSample();
  app().CurrentCompany.LastInvoiceNo.Set("1003");
  Open();
  window_->SpeedButton2->click();
  EXPECT_TRUE(app().invoice_filter_on);
  EXPECT_EQ(app().invoice_filter_customer, "C2");
  EXPECT_EQ(ListedInvoices(), (std::vector<std::string>{"1005", "1003"}));
  EXPECT_EQ(CurrentInvoice(), "1003");
  EXPECT_EQ(FromQString(window_->CFilter->text()), "Filtering Customer#: C2");
  EXPECT_EQ(window_->CFilter->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_EQ(Panel(1), "Click filter button again to clear filter.");
  EXPECT_EQ(window_->palette().color(QPalette::Window),
            QApplication::palette().color(QPalette::Dark));

  window_->SpeedButton2->click();
  EXPECT_FALSE(app().invoice_filter_on);
  EXPECT_EQ(ListedInvoices().size(), 5u);
  EXPECT_EQ(CurrentInvoice(), "1003");
  EXPECT_EQ(FromQString(window_->CFilter->text()), "Filter Closed");
  EXPECT_EQ(window_->CFilter->palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_EQ(Panel(1), "Filter closed.");
  EXPECT_EQ(window_->palette().color(QPalette::Window),
            QApplication::palette().color(QPalette::Button));

  // A click on the label toggles with the same value and leaves the label.
  QTest::mouseClick(window_->CFilter, Qt::LeftButton);
  EXPECT_TRUE(app().invoice_filter_on);
  EXPECT_EQ(ListedInvoices(), (std::vector<std::string>{"1005", "1003"}));
  EXPECT_EQ(FromQString(window_->CFilter->text()), "Filter Closed");

  // The next showing starts unfiltered, with the value kept.
  window_.reset();
  Open();
  EXPECT_FALSE(app().invoice_filter_on);
  EXPECT_EQ(app().invoice_filter_customer, "C2");
  EXPECT_EQ(ListedInvoices().size(), 5u);
}

TEST_F(TinvlistTest, RowsOfDamagedAndUnreadableRecordsStillShow) {
  AddSample();
  {
    company::TransactionAccess t(app());
    ASSERT_TRUE(t.OpenCompanyFile());
    int32_t rec_no = 0;
    ASSERT_TRUE(t.FindByKey(1, company::KeyText("1002", 9), rec_no));
    ASSERT_TRUE(t.GetRecord(rec_no));
    t.rec().GrandTotal.Set("");
    // The raw record: the store's own write, leaving the keys as they are.
    ASSERT_TRUE(app().engine().PutRecord(t.handle(), rec_no, &t.rec()));
    ASSERT_TRUE(t.FindByKey(1, company::KeyText("1004", 9), rec_no));
    ASSERT_TRUE(app().engine().DeleteRecord(t.handle(), rec_no));
    ASSERT_TRUE(t.Close());
  }
  app().invoice_view_key = kInvoiceNoView;
  Open();
  std::vector<std::string> rows;
  for (int i = 1; i <= List().FilledRows(); ++i) rows.push_back(List().RowAt(i).Row.at(0));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[1].substr(13, 9), "DELETE ME");
  EXPECT_EQ(rows[1].substr(32, 10), "BAD RECORD");
  EXPECT_EQ(rows[3].substr(0, 15), "****  1004     ");
  // Commands on the unreadable row do nothing.
  List().SelectRow(4);
  window_->CustomerDataClick();
}

TEST_F(TinvlistTest, CustomerDataShowsTheRecordAndItsCustomer) {
  AddSample();
  AddCustomer("C2", "Bolt & Nut Ltd", "200");
  app().CurrentCompany.LastInvoiceNo.Set("1003");
  Open();
  CustomerDataView shown;
  shell_.ui.windows.ExpectWindow(kQViewName, [&] {
    TQView* view = window_->findChild<TQView*>();
    EXPECT_NE(view, nullptr);
    if (view != nullptr) {
      shown.invoice_line = FromQString(view->InvoiceLabel->text());
      shown.customer_name = FromQString(view->CustName->text());
      shown.account_balance = FromQString(view->CustBalance->text());
    }
    return platform::kModalOk;
  });
  // Enter on the list opens it.
  QTest::keyClick(window_->InvBrowser1, Qt::Key_Return);
  EXPECT_EQ(shown.invoice_line, "1003   (Product Invoice)");
  EXPECT_EQ(shown.customer_name, "Bolt & Nut Ltd");
  EXPECT_EQ(shown.account_balance, "200.00");
  EXPECT_EQ(company::Trim(app().CurrentCustomer.CustomerNo.View()), "C2");
}

TEST_F(TinvlistTest, FindPositionsOnTheChosenInvoiceUnderTheCurrentView) {
  AddSample();
  Open();
  shell_.ui.windows.ExpectWindow(company::ui::kFindBoxName, [&] {
    auto* find = window_->findChild<company::ui::TFindBox*>();
    EXPECT_NE(find, nullptr);
    if (find == nullptr) return platform::kModalCancel;
    EXPECT_EQ(FromQString(find->windowTitle()), "Find Invoice/Payment");
    EXPECT_EQ(find->FindEdit->maxLength(), 10);
    find->resize(520, 360);
    find->show();
    find->FindEdit->setText("c1");
    find->FindEditChange();
    store::BrowseList* list = find->FindBrowser->browse_list();
    // File order: 1002 and 1004 belong to C1.
    EXPECT_EQ(list->FilledRows(), 2);
    list->SelectRow(2);
    find->OKButtonClick();
    return find->result();
  });
  window_->Search1->trigger();
  EXPECT_EQ(CurrentInvoice(), "1004");
}

TEST_F(TinvlistTest, RightClickSelectsTheRowUnderThePointer) {
  AddSample();
  app().invoice_view_key = kInvoiceNoView;
  Open();
  List().SelectRow(1);
  const QRect third = window_->InvBrowser1->RowRect(3);
  QContextMenuEvent event(QContextMenuEvent::Mouse, third.center(),
                          window_->InvBrowser1->viewport()->mapToGlobal(third.center()));
  QApplication::sendEvent(window_->InvBrowser1->viewport(), &event);
  EXPECT_EQ(CurrentInvoice(), "1003");
  EXPECT_TRUE(window_->PopupMenu1->isVisible());
  window_->PopupMenu1->hide();
  EXPECT_EQ(window_->PopupMenu1->actions().size(), 9);  // seven items, separator, Close
}

TEST_F(TinvlistTest, AddEditAndDeleteThroughTheWindowsCommands) {
  AddSample();
  AddCustomer("C9", "Ninth Street Deli", "0.00");
  app().invoice_view_key = kInvoiceNoView;
  Open();
  // The editor as the user fills it: one line, quantity `quantity`.
  std::string quantity = "2";
  int editor_runs = 0;
  window_->set_invoice_editor([&](InvoiceForm& form) {
    ++editor_runs;
    if (editor_runs == 1) form.invoice_no = "2001";
    form.date = "04/01/2024";
    form.customer_no = "C9";
    form.customer_name = "Ninth Street Deli";
    form.short_name = "NINTH";
    form.lines[0] = {"W1", quantity, "Widget", "10.00", "N", ""};
    UpdateExtension(form.lines[0]);
    ComputeTotals(form, "0", false);
    return true;
  });

  window_->AddInvoice->click();
  EXPECT_EQ(CurrentInvoice(), "2001");
  EXPECT_EQ(Panel(0), "Records: 6");
  EXPECT_EQ(Panel(1), "Added invoice 2001 containing 1 line item(s).");
  EXPECT_EQ(FromQString(window_->ARBal->text()), "20.00");

  quantity = "3";
  window_->Edit2->trigger();
  EXPECT_EQ(CurrentInvoice(), "2001");
  EXPECT_EQ(Panel(1), "Editing invoice 2001 completed.");
  EXPECT_EQ(FromQString(window_->ARBal->text()), "30.00");
  EXPECT_EQ(List().RowAt(List().CurrentRow()).Row.at(0).substr(43, 12),
            "       30.00");

  // The Delete key, answered No, changes nothing; Yes deletes.
  shell_.ui.messages.ExpectMessage("Are you sure you want to delete this record?",
                                   Answer::kNo)
      .WithCaption("Delete Invoice#: 2001");
  QTest::keyClick(window_->InvBrowser1, Qt::Key_Delete);
  EXPECT_EQ(shell_.ui.messages.shown().back().default_answer, Answer::kNo);
  EXPECT_EQ(Panel(0), "Records: 6");
  EXPECT_EQ(CurrentInvoice(), "2001");
  shell_.ui.messages.ExpectMessage("Are you sure you want to delete this record?",
                                   Answer::kYes)
      .WithCaption("Delete Invoice#: 2001");
  QTest::keyClick(window_.get(), Qt::Key_Delete);
  EXPECT_EQ(Panel(0), "Records: 5");
  EXPECT_EQ(Panel(1), "Deleted invoice 2001 containing 1 line item(s).");
  EXPECT_EQ(FromQString(window_->ARBal->text()), "0.00");
  // The last row is gone: the one before it is current.
  EXPECT_EQ(CurrentInvoice(), "1005");
  EXPECT_EQ(editor_runs, 2);
  // The files are open again for the browser.
  EXPECT_TRUE(window_->transactions().IsOpen());
  EXPECT_TRUE(window_->lines().IsOpen());
}

TEST_F(TinvlistTest, ViewPrintAndBatchPrintRunInvoiceOutput) {
  AddSample();
  AddCustomer("C2", "Bolt & Nut Ltd", "0.00");
  AddTransactions({{"DP1", "C2", "2024/03/20", "D"}});
  app().invoice_view_key = kInvoiceNoView;
  app().CurrentCompany.LastInvoiceNo.Set("1003");
  const std::string pdf_dir = shell_.dir.string();
  shell_.ui.printer.SaveAsPdfIn(pdf_dir);
  Open();
  ASSERT_EQ(CurrentInvoice(), "1003");

  shell_.ui.windows.ExpectWindow("Trtedit", platform::kModalOk);
  window_->InvPrint->click();
  EXPECT_EQ(shell_.ui.printer.jobs().size(), 0u);

  window_->Print2->trigger();
  ASSERT_EQ(shell_.ui.printer.jobs().size(), 1u);
  EXPECT_EQ(shell_.ui.printer.jobs()[0]->title, "Invoice - 1003");
  EXPECT_EQ(Panel(1).rfind("Invoice 1003 ", 0), 0u) << Panel(1);
  EXPECT_FALSE(window_->print_mode());
  EXPECT_EQ(CurrentInvoice(), "1003");

  // A deposit is not printed: the notice, then the view.
  SelectInvoice("DP1");
  shell_.ui.messages.ExpectMessage(
      "This record is a deposit. Unable to print. I am going to use the view "
      "option instead.").WithCaption("Deposit Transaction");
  shell_.ui.windows.ExpectWindow("Trtedit", platform::kModalOk);
  window_->ToPrinterButn->click();
  EXPECT_EQ(shell_.ui.printer.jobs().size(), 1u);

  // Four invoices are left unprinted; the user lowers the number to 2.
  shell_.ui.windows.ExpectWindow("TInvBatch", [&] {
    auto* batch = window_->findChild<output::ui::TInvBatch*>();
    EXPECT_NE(batch, nullptr);
    if (batch == nullptr) return platform::kModalCancel;
    EXPECT_EQ(FromQString(batch->CountLabel->text()),
              "There are 4 invoice(s) to print.");
    EXPECT_EQ(FromQString(batch->BatchNum->text()), "4");
    batch->BatchNum->setText("2");
    return platform::kModalOk;
  });
  window_->BatchPrint1->trigger();
  // Without a printer the text names the PDF folder, and so does the
  // notice that offers to show it.
  EXPECT_EQ(Panel(1), "Batch Print complete. 2 invoices saved as PDF files in " +
                          pdf_dir + ".");
  ASSERT_FALSE(shell_.ui.desktop.saved_files().empty());
  EXPECT_EQ(shell_.ui.desktop.saved_files().back().path, pdf_dir);
  EXPECT_TRUE(shell_.ui.desktop.saved_files().back().folder);
  EXPECT_EQ(shell_.ui.printer.jobs().size(), 3u);
  EXPECT_FALSE(window_->batch_mode());
  EXPECT_EQ(CurrentInvoice(), "DP1");
}

TEST_F(TinvlistTest, BatchPrintWithNothingToPrintSaysSo) {
  AddTransactions({{"DP1", "C2", "2024/03/20", "D"}});
  Open();
  shell_.ui.messages.ExpectMessage("There are no invoices to print.")
      .WithCaption("Batch Print");
  window_->BatchPrinButn->click();
  EXPECT_EQ(shell_.ui.printer.jobs().size(), 0u);
}

TEST_F(TinvlistTest, HelpOpensTheInvoiceManagerTopic) {
  AddSample();
  Open();
  window_->SpeedButton4->click();
  EXPECT_EQ(shell_.ui.help.topics(), (std::vector<std::string>{"InvoiceManager"}));
}

}  // namespace
}  // namespace tallybook::billing::ui
