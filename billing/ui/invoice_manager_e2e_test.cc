// The invoice manager as a new user meets it: on the demo company, with the
// real invoice editor, the customer and product managers as its choosers,
// and a printer that writes PDF files, driven only through the window's
// own commands while the scripted platform answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <optional>
#include <set>
#include <sstream>

#include "app/admin_demo_company.h"
#include "billing/invoice_test_support.h"
#include "billing/ui/billing_commands.h"
#include "billing/ui/customer_manager_window.h"
#include "billing/ui/invoice_manager.h"
#include "billing/ui/product_manager_window.h"
#include "company/keys.h"
#include "company/startup.h"
#include "company/text.h"
#include "company/ui/main_form.h"
#include "company/ui/ui_test_support.h"
#include "output/invoice_output.h"
#include "output/ui/inv_batch.h"
#include "output/ui/invoice_view.h"
#include "platform/qt/help_window.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/text_codec.h"
#include "platform/testing/pdf_text.h"

namespace tallybook::billing::ui {
namespace {

namespace fs = std::filesystem;
using billing::testing::Cents;
using company::Trim;
using platform::Answer;
using platform::kModalCancel;
using platform::kModalOk;
using platform::qt::FromQString;
using platform::testing::PdfText;

constexpr company::Date kToday{2026, 3, 15};

// What the user put on a new invoice.
struct Entered {
  std::string invoice_no;
  std::string customer_no;
  std::string customer_name;
  std::string total;
};

class InvoiceManagerEndToEndTest : public ::testing::Test {
 protected:
  // One demo installation for the suite; each test works on its own copy.
  static void SetUpTestSuite() {
    demo_ = new platform::testing::TempDir("demo_invoices");
    std::ostringstream err;
    admin::DemoSummary summary;
    std::string failure;
    demo_made_ =
        demo_->ok() && admin::MakeDemoCompany((demo_->path() / "data").string(),
                                              kToday, err, &summary, &failure);
    demo_failure_ = failure + " " + err.str();
  }
  static void TearDownTestSuite() {
    delete demo_;
    demo_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(demo_made_) << demo_failure_;
    ASSERT_TRUE(temp_.ok());
    dir_ = temp_.path() / "data";
    fs::copy(demo_->path() / "data", dir_, fs::copy_options::recursive);
    ui_.clock.Set(kToday.year, kToday.month, kToday.day, 10, 0, 0);
    printer_.SetAlwaysPdf(true);
    const platform::Services scripted = ui_.services();
    app_ = std::make_unique<company::App>(
        dir_.string(),
        platform::Services{scripted.messages, scripted.progress, scripted.gauge,
                           scripted.windows, scripted.dialogs, printer_,
                           scripted.help, scripted.desktop, scripted.clock});
    if (from_main_window_) return;
    // The program's own start: the company of LastCo.Dat becomes current.
    ASSERT_EQ(company::MainWindowCreation(*app_).outcome,
              company::StartupOutcome::kReady);
    owned_window_ = std::make_unique<Tinvlist>(*app_);
    owned_window_->resize(980, 420);
    ASSERT_TRUE(owned_window_->FormShow());
    owned_window_->show();
    Began(owned_window_.get());
  }
  void TearDown() override {
    window_ = nullptr;
    owned_window_.reset();
    app_->engine().StoreShutdown();
    ui_.Verify();
  }
  // The window the test drives is open: the books as they start.
  void Began(Tinvlist* window) {
    window_ = window;
    start_receivables_ = Receivables();
    start_count_ = Count();
    start_invoice_ = CurrentInvoice();
  }

  // ---- Reading back.

  store::BrowseList& List() { return *window_->InvBrowser1->browse_list(); }
  std::string CurrentInvoice() {
    return Trim(List().RowAt(List().CurrentRow()).Row.at(0).substr(13, 9));
  }
  std::string Panel(int i) {
    return FromQString(window_->StatusBar1[i]->text());
  }
  int32_t Count() {
    return app_->engine().CountKeys(window_->transactions().handle(), 1);
  }
  // Whether the window's open transaction file holds invoice_no (its
  // record number in *rec_no).
  bool HasTransaction(const std::string& invoice_no,
                      int32_t* rec_no = nullptr) {
    int32_t found = 0;
    std::string key;
    if (!window_->transactions().FindByKey(
            1, company::KeyText(invoice_no, company::kTransInvoiceNoKeyLength),
            found, &key) ||
        Trim(key) != invoice_no) {
      return false;
    }
    if (rec_no != nullptr) *rec_no = found;
    return true;
  }
  // The stored transaction numbered invoice_no.
  company::TransactionRecord Transaction(const std::string& invoice_no,
                                         int32_t* rec_no = nullptr) {
    int32_t found = 0;
    if (!HasTransaction(invoice_no, &found) ||
        !window_->transactions().GetRecord(found)) {
      ADD_FAILURE() << "no transaction " << invoice_no;
      return {};
    }
    if (rec_no != nullptr) *rec_no = found;
    return window_->transactions().rec();
  }
  std::vector<company::LineRecord> LinesOf(const std::string& invoice_no) {
    std::vector<company::LineRecord> lines;
    company::LineAccess& l = window_->lines();
    int32_t rec_no = 0;
    while (app_->engine().NextUsedRecord(l.handle(), rec_no) &&
           l.GetRecord(rec_no)) {
      if (Trim(l.rec().InvoiceNo.View()) == invoice_no)
        lines.push_back(l.rec());
    }
    return lines;
  }
  // The memo record of invoice_no, when there is one.
  std::optional<company::MemoRecord> Memo(const std::string& invoice_no) {
    company::MemoAccess& memos = window_->memos();
    int32_t rec_no = 0;
    if (!memos.FindByKey(
            1, company::KeyText(invoice_no, company::kMemoInvoiceNoKeyLength),
            rec_no) ||
        !memos.GetRecord(rec_no) ||
        Trim(memos.rec().InvoiceNo.View()) != invoice_no) {
      return std::nullopt;
    }
    return memos.rec();
  }
  int64_t Balance(const std::string& customer_no) {
    for (const auto& [rec_no, customer] :
         billing::testing::AllRecords<company::CustomerAccess>(*app_)) {
      if (Trim(customer.CustomerNo.View()) == customer_no) {
        return Cents(customer.Balance.View());
      }
    }
    ADD_FAILURE() << "no customer " << customer_no;
    return 0;
  }
  // The company's receivables as stored in the company list; the copy in
  // memory and the window's label must agree with it.
  int64_t Receivables() {
    company::CompanyRecord stored;
    EXPECT_TRUE(company::ReadCompanyFromList(*app_, "1", &stored));
    EXPECT_EQ(Cents(app_->CurrentCompany.ReceivablesBalance.View()),
              Cents(stored.ReceivablesBalance.View()));
    if (window_) {
      EXPECT_EQ(FromQString(window_->ARBal->text()),
                company::FormatMoneyText(stored.ReceivablesBalance.View()));
    }
    return Cents(stored.ReceivablesBalance.View());
  }

  // ---- Playing the user.

  // In the manager a chooser opened from `owner`: clicks row `row`, then
  // presses Enter, as the user chooses.
  template <class Manager>
  static int ChooseRow(QWidget* owner, int row) {
    auto* manager = owner->findChild<Manager*>();
    EXPECT_NE(manager, nullptr);
    if (manager == nullptr) return kModalCancel;
    manager->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(manager));
    const QPoint at = manager->Browser->RowRect(row).center();
    QTest::mouseClick(manager->Browser->viewport(), Qt::LeftButton, {}, at);
    QTest::keyClick(manager->Browser, Qt::Key_Return);
    return manager->result();
  }
  // Types text into a grid cell through the cell's editor and Enter.
  static void TypeInCell(TProdInv* editor, int row, int column,
                         const char* text) {
    QTableWidget* grid = editor->StringGrid1;
    grid->setCurrentCell(row, column);
    grid->editItem(grid->item(row, column));
    // The editor of this cell (the one of an earlier cell may linger until
    // its deferred deletion).
    auto* cell = qobject_cast<QLineEdit*>(
        grid->indexWidget(grid->model()->index(row, column)));
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    QTest::keyClicks(cell, text);
    QTest::keyClick(cell, Qt::Key_Return);
    // The grid commits a cell's editor on Enter through a queued call.
    QCoreApplication::processEvents();
  }
  TProdInv* Editor() {
    auto* editor = window_->findChild<TProdInv*>();
    EXPECT_NE(editor, nullptr);
    if (editor != nullptr) editor->show();
    return editor;
  }
  // Clicks the editor's Customers button and chooses row `row` of the
  // customer manager.
  void ChooseCustomer(TProdInv* editor, int row, Entered& entered) {
    ui_.windows.ExpectWindow(
        kDemoFormName, [&, row] { return ChooseRow<TDemoForm>(editor, row); });
    editor->BitBtn3->click();
    entered.customer_no = FromQString(editor->ICustNo->text());
    entered.customer_name = FromQString(editor->ICustName->text());
  }

  // New, as the user fills a line-item invoice: the customer of row
  // customer_row, the product of row product_row on line 1 with `quantity`.
  Entered AddLineItemInvoice(int customer_row, int product_row,
                             const char* quantity) {
    Entered entered;
    ui_.windows.ExpectWindow(kProdInvName, [&] {
      TProdInv* editor = Editor();
      if (editor == nullptr) return kModalCancel;
      EXPECT_EQ(FromQString(editor->IMode->text()), "Add Mode");
      EXPECT_TRUE(editor->RadioButton1->isChecked());
      entered.invoice_no = FromQString(editor->INum->text());
      ChooseCustomer(editor, customer_row, entered);
      editor->StringGrid1->setCurrentCell(0, kColProduct);
      ui_.windows.ExpectWindow(kEditProdName, [&, editor] {
        return ChooseRow<TEditProd>(editor, product_row);
      });
      editor->SpeedButton2->click();
      EXPECT_FALSE(editor->StringGrid1->item(0, kColProduct)->text().isEmpty());
      TypeInCell(editor, 0, kColQuantity, quantity);
      entered.total = FromQString(editor->ITotal->text());
      editor->OKButton->click();
      return editor->result();
    });
    window_->AddInvoice->click();
    return entered;
  }

  // New, as the user fills a memo invoice for the customer of row
  // customer_row, for `net`; `print` ticks "Print Invoice".
  Entered AddMemoInvoice(int customer_row, const char* net,
                         bool print = false) {
    Entered entered;
    ui_.windows.ExpectWindow(kProdInvName, [&] {
      TProdInv* editor = Editor();
      if (editor == nullptr) return kModalCancel;
      entered.invoice_no = FromQString(editor->INum->text());
      editor->RadioButton2->click();
      EXPECT_TRUE(editor->StringGrid1->isHidden());
      ChooseCustomer(editor, customer_row, entered);
      editor->Memo1->setPlainText(
          "Rigging inspection of the ketch.\nNo faults found.");
      QTest::keyClicks(editor->MemoPDesc, "Rigging check");
      editor->INet->selectAll();
      QTest::keyClicks(editor->INet, net);
      entered.total = FromQString(editor->ITotal->text());
      if (print) editor->PrintFlag->click();
      editor->OKButton->click();
      return editor->result();
    });
    window_->AddInvoice->click();
    return entered;
  }
  // Where the printer writes the PDF of invoice_no.
  std::string PdfOf(const std::string& invoice_no) {
    return (temp_.path() / "printouts" / ("Invoice - " + invoice_no + ".pdf"))
        .string();
  }

  static platform::testing::TempDir* demo_;
  static bool demo_made_;
  static std::string demo_failure_;

  platform::testing::TempDir temp_{"invoice_e2e"};
  fs::path dir_;
  platform::testing::ScriptedPlatform ui_;
  platform::qt::QtPrinter printer_{(temp_.path() / "printouts").string()};
  std::unique_ptr<company::App> app_;
  // Set by fixtures whose tests open the manager from the main window.
  bool from_main_window_ = false;
  std::unique_ptr<Tinvlist> owned_window_;
  Tinvlist* window_ = nullptr;
  int64_t start_receivables_ = 0;
  int32_t start_count_ = 0;
  std::string start_invoice_;
};

platform::testing::TempDir* InvoiceManagerEndToEndTest::demo_ = nullptr;
bool InvoiceManagerEndToEndTest::demo_made_ = false;
std::string InvoiceManagerEndToEndTest::demo_failure_;

TEST_F(InvoiceManagerEndToEndTest, AddEditViewPrintAndDeleteKeepTheBooks) {
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  // ---- New: a line-item invoice.
  const Entered line = AddLineItemInvoice(2, 3, "4");
  ASSERT_FALSE(line.invoice_no.empty());
  ASSERT_FALSE(line.customer_no.empty());
  const int64_t customer_before = Balance(line.customer_no) - Cents(line.total);
  int32_t line_rec = 0;
  company::TransactionRecord stored = Transaction(line.invoice_no, &line_rec);
  EXPECT_EQ(Trim(stored.CustomerNo.View()), line.customer_no);
  EXPECT_EQ(stored.TypeCode.Get(), "I");
  EXPECT_EQ(stored.InvoiceKind.Get(), "P");
  EXPECT_EQ(stored.SortDate.Get(), "2026/03/15");
  EXPECT_EQ(Cents(stored.GrandTotal.View()), Cents(line.total));
  EXPECT_EQ(Cents(stored.AmountDue.View()), Cents(line.total));
  EXPECT_GT(Cents(line.total), 0);
  std::vector<company::LineRecord> lines = LinesOf(line.invoice_no);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Trim(lines[0].LineText.View().substr(0, 10)), "4");
  EXPECT_EQ(Trim(lines[0].CustomerNo.View()), line.customer_no);
  EXPECT_EQ(Receivables(), start_receivables_ + Cents(line.total));
  EXPECT_EQ(CurrentInvoice(), line.invoice_no);
  EXPECT_EQ(Count(), start_count_ + 1);
  EXPECT_EQ(Panel(1),
            "Added invoice " + line.invoice_no + " containing 1 line item(s).");

  // ---- New: a memo invoice for another customer.
  const Entered memo = AddMemoInvoice(5, "150");
  ASSERT_NE(memo.customer_no, line.customer_no);
  EXPECT_EQ(memo.total, "150.00");
  const int64_t memo_customer_before = Balance(memo.customer_no) - 15000;
  stored = Transaction(memo.invoice_no);
  EXPECT_EQ(stored.InvoiceKind.Get(), "M");
  EXPECT_EQ(stored.GrandTotal.Get(), "150.00");
  ASSERT_EQ(LinesOf(memo.invoice_no).size(), 1u);
  EXPECT_EQ(LinesOf(memo.invoice_no)[0].LineKind.Get(), "M");
  ASSERT_TRUE(Memo(memo.invoice_no).has_value());
  EXPECT_EQ(Trim(Memo(memo.invoice_no)->MemoLines[1].View()),
            "No faults found.");
  EXPECT_EQ(CurrentInvoice(), memo.invoice_no);
  EXPECT_EQ(Receivables(), start_receivables_ + Cents(line.total) + 15000);

  // ---- Edit the line-item invoice: quantity 4 becomes 6.
  window_->PositionOn(line_rec);
  ASSERT_EQ(CurrentInvoice(), line.invoice_no);
  std::string edited_total;
  ui_.windows.ExpectWindow(kProdInvName, [&] {
    TProdInv* editor = Editor();
    if (editor == nullptr) return kModalCancel;
    EXPECT_EQ(FromQString(editor->IMode->text()), "Edit Mode");
    EXPECT_EQ(FromQString(editor->ICustNo->text()), line.customer_no);
    EXPECT_EQ(FromQString(editor->ITotal->text()),
              company::FormatMoneyText(line.total));
    TypeInCell(editor, 0, kColQuantity, "6");
    edited_total = FromQString(editor->ITotal->text());
    editor->OKButton->click();
    return editor->result();
  });
  window_->Edit1->trigger();
  EXPECT_EQ(Panel(1), "Editing invoice " + line.invoice_no + " completed.");
  EXPECT_EQ(CurrentInvoice(), line.invoice_no);
  // Six of what four cost (the tax is rounded once on the whole).
  EXPECT_NEAR(Cents(edited_total), Cents(line.total) * 6 / 4, 1);
  stored = Transaction(line.invoice_no);
  EXPECT_EQ(Cents(stored.GrandTotal.View()), Cents(edited_total));
  EXPECT_EQ(Cents(stored.AmountDue.View()), Cents(edited_total));
  EXPECT_EQ(Trim(LinesOf(line.invoice_no).at(0).LineText.View().substr(0, 10)),
            "6");
  EXPECT_EQ(Balance(line.customer_no), customer_before + Cents(edited_total));
  EXPECT_EQ(Receivables(), start_receivables_ + Cents(edited_total) + 15000);
  EXPECT_EQ(Count(), start_count_ + 2);

  // ---- View shows the invoice as it now stands: the preview's pages,
  // saved through its Save as PDF button, hold the edited figures.
  const std::string viewed = (temp_.path() / "viewed.pdf").string();
  ui_.windows.ExpectWindow("Trtedit", [&] {
    auto* view = window_->findChild<output::ui::Trtedit*>();
    EXPECT_NE(view, nullptr);
    if (view == nullptr) return kModalCancel;
    EXPECT_EQ(FromQString(view->windowTitle()), "View Invoice# " + line.invoice_no);
    ui_.dialogs.ExpectSaveFile(viewed);
    view->PdfBtn->click();
    return kModalOk;
  });
  window_->InvPrint->click();
  EXPECT_NE(Transaction(line.invoice_no).PrintedFlag.Get(), "Y");
  const std::string viewed_text = PdfText(viewed);
  EXPECT_NE(viewed_text.find(line.invoice_no), std::string::npos);
  EXPECT_NE(viewed_text.find(line.customer_name), std::string::npos);
  EXPECT_NE(viewed_text.find(edited_total), std::string::npos) << viewed_text;

  // ---- Print: no printer, so a PDF file, named in the status bar.
  window_->ToPrinterButn->click();
  const std::string pdf = PdfOf(line.invoice_no);
  EXPECT_EQ(Panel(1), "Invoice " + line.invoice_no + " saved as PDF: " + pdf);
  // The user is told the file once, and offered to open it.
  ASSERT_FALSE(ui_.desktop.saved_files().empty());
  EXPECT_EQ(ui_.desktop.saved_files().back().path, pdf);
  EXPECT_FALSE(ui_.desktop.saved_files().back().folder);
  ASSERT_TRUE(fs::exists(pdf));
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Number: " + line.invoice_no), std::string::npos) << text;
  EXPECT_NE(text.find(line.customer_name), std::string::npos) << text;
  EXPECT_NE(text.find(edited_total), std::string::npos) << text;
  EXPECT_EQ(Transaction(line.invoice_no).PrintedFlag.Get(), "Y");
  EXPECT_EQ(CurrentInvoice(), line.invoice_no);

  // Editing a printed invoice asks first; No opens no editor.
  ui_.messages
      .ExpectMessage(
          "This invoice has been printed. Are you sure you want to edit this "
          "record?",
          Answer::kNo)
      .WithCaption("Printed Invoice");
  window_->EditInvoice->click();
  EXPECT_EQ(Cents(Transaction(line.invoice_no).GrandTotal.View()),
            Cents(edited_total));

  // ---- Delete both: the books are back where they started.
  ui_.messages
      .ExpectMessage("Are you sure you want to delete this record?",
                     Answer::kYes)
      .WithCaption("Delete Invoice#: " + line.invoice_no);
  window_->Delete1->trigger();
  EXPECT_FALSE(HasTransaction(line.invoice_no));
  EXPECT_TRUE(LinesOf(line.invoice_no).empty());
  EXPECT_EQ(Panel(1), "Deleted invoice " + line.invoice_no +
                          " containing 1 line item(s).");
  EXPECT_EQ(Balance(line.customer_no), customer_before);
  EXPECT_EQ(Count(), start_count_ + 1);
  // By date the memo, added after it on the same day, takes its row.
  EXPECT_EQ(CurrentInvoice(), memo.invoice_no);

  int32_t memo_rec = 0;
  ASSERT_TRUE(HasTransaction(memo.invoice_no, &memo_rec));
  window_->PositionOn(memo_rec);
  ui_.messages
      .ExpectMessage("Are you sure you want to delete this record?",
                     Answer::kYes)
      .WithCaption("Delete Invoice#: " + memo.invoice_no);
  QTest::keyClick(window_->InvBrowser1, Qt::Key_Delete);
  EXPECT_FALSE(HasTransaction(memo.invoice_no));
  EXPECT_EQ(Panel(1), "Deleted memo invoice " + memo.invoice_no + ".");
  EXPECT_FALSE(Memo(memo.invoice_no).has_value());
  EXPECT_EQ(Balance(memo.customer_no), memo_customer_before);
  EXPECT_EQ(Receivables(), start_receivables_);
  EXPECT_EQ(Count(), start_count_);
  EXPECT_EQ(Panel(0), "Records: " + std::to_string(start_count_));
  // The last row went: the one before it, where the window opened, is
  // current again.
  EXPECT_EQ(CurrentInvoice(), start_invoice_);
}

TEST_F(InvoiceManagerEndToEndTest,
       FilterByCustomerThenBatchPrintEveryUnprintedInvoice) {
  if (!platform::testing::PdfToTextInstalled()) {
    GTEST_SKIP() << platform::testing::kNoPdfToText;
  }
  const Entered memo = AddMemoInvoice(2, "75.5");
  ASSERT_EQ(CurrentInvoice(), memo.invoice_no);

  // The filter lists the memo's customer only, and lets go again.
  window_->SpeedButton2->click();
  EXPECT_EQ(FromQString(window_->CFilter->text()),
            "Filtering Customer#: " + memo.customer_no);
  EXPECT_EQ(Panel(1), "Click filter button again to clear filter.");
  EXPECT_EQ(CurrentInvoice(), memo.invoice_no);
  std::set<std::string> customers;
  for (int i = 1; i <= List().FilledRows(); ++i) {
    customers.insert(Trim(List().RowAt(i).Row.at(0).substr(23, 8)));
  }
  EXPECT_EQ(customers, std::set<std::string>{memo.customer_no});
  window_->SpeedButton2->click();
  EXPECT_EQ(FromQString(window_->CFilter->text()), "Filter Closed");
  EXPECT_EQ(Panel(1), "Filter closed.");
  EXPECT_EQ(CurrentInvoice(), memo.invoice_no);
  customers.clear();
  for (int i = 1; i <= List().FilledRows(); ++i) {
    customers.insert(Trim(List().RowAt(i).Row.at(0).substr(23, 8)));
  }
  EXPECT_GT(customers.size(), 1u);

  // The unprinted invoices the batch must take: the demo's and the memo.
  std::set<std::string> unprinted;
  {
    company::TransactionAccess& t = window_->transactions();
    int32_t rec_no = 0;
    while (app_->engine().NextUsedRecord(t.handle(), rec_no) &&
           t.GetRecord(rec_no)) {
      const std::string type = Trim(t.rec().TypeCode.View());
      if (t.rec().PrintedFlag.Get() != "Y" &&
          (type == "I" || type == "G" || type == "M" || type == "Z")) {
        unprinted.insert(Trim(t.rec().InvoiceNo.View()));
      }
    }
  }
  ASSERT_TRUE(unprinted.count(memo.invoice_no));
  const std::string count = std::to_string(unprinted.size());
  ui_.windows.ExpectWindow("TInvBatch", [&] {
    auto* batch = window_->findChild<output::ui::TInvBatch*>();
    EXPECT_NE(batch, nullptr);
    if (batch == nullptr) return kModalCancel;
    EXPECT_EQ(FromQString(batch->CountLabel->text()),
              "There are " + count + " invoice(s) to print.");
    EXPECT_EQ(FromQString(batch->BatchNum->text()), count);
    return kModalOk;
  });
  window_->BatchPrinButn->click();
  const fs::path folder = temp_.path() / "printouts";
  EXPECT_EQ(Panel(1), "Batch Print complete. " + count +
                          " invoices saved as PDF files in " +
                          folder.string() + ".");
  ASSERT_FALSE(ui_.desktop.saved_files().empty());
  EXPECT_EQ(ui_.desktop.saved_files().back().path, folder.string());
  EXPECT_TRUE(ui_.desktop.saved_files().back().folder);
  std::set<std::string> written;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    written.insert(entry.path().filename().string());
  }
  std::set<std::string> expected;
  for (const std::string& no : unprinted)
    expected.insert("Invoice - " + no + ".pdf");
  EXPECT_EQ(written, expected);
  const std::string text =
      PdfText((folder / ("Invoice - " + memo.invoice_no + ".pdf")).string());
  EXPECT_NE(text.find("Number: " + memo.invoice_no), std::string::npos) << text;
  EXPECT_NE(text.find("Rigging inspection of the ketch."), std::string::npos)
      << text;
  EXPECT_NE(text.find("75.50"), std::string::npos) << text;
  EXPECT_EQ(Transaction(memo.invoice_no).PrintedFlag.Get(), "Y");
  EXPECT_EQ(CurrentInvoice(), memo.invoice_no);

  // Everything went out: a second batch finds nothing.
  ui_.messages.ExpectMessage("There are no invoices to print.")
      .WithCaption("Batch Print");
  window_->BatchPrint1->trigger();
}

TEST_F(InvoiceManagerEndToEndTest, CancelledNewInvoiceStoresNothing) {
  const std::string next_no = app_->CurrentCompany.NextInvoiceNo.Get();
  const std::string status = Panel(1);
  const std::string current = CurrentInvoice();
  std::string customer_no;
  int64_t balance = 0;
  ui_.windows.ExpectWindow(kProdInvName, [&] {
    TProdInv* editor = Editor();
    if (editor == nullptr) return kModalCancel;
    // Closing the customer manager chooses nobody.
    ui_.windows.ExpectWindow(kDemoFormName, [&] {
      auto* manager = editor->findChild<TDemoForm*>();
      if (manager == nullptr) return kModalCancel;
      manager->Close1->trigger();
      return manager->result();
    });
    editor->BitBtn3->click();
    EXPECT_EQ(FromQString(editor->ICustNo->text()), "");
    Entered entered;
    ChooseCustomer(editor, 1, entered);
    customer_no = entered.customer_no;
    balance = Balance(customer_no);
    TypeInCell(editor, 0, kColDescription, "Nothing after all");
    TypeInCell(editor, 0, kColUnitPrice, "99");
    EXPECT_EQ(FromQString(editor->ITotal->text()), "99.00");
    // The typed work is only dropped when the user says so.
    ui_.messages.ExpectMessage(platform::qt::kDiscardChangesQuestion,
                               platform::Answer::kYes);
    editor->CancelButton->click();
    return editor->result();
  });
  window_->AddInvoice->click();
  EXPECT_EQ(Count(), start_count_);
  EXPECT_EQ(Receivables(), start_receivables_);
  EXPECT_EQ(Balance(customer_no), balance);
  EXPECT_EQ(app_->CurrentCompany.NextInvoiceNo.Get(), next_no);
  EXPECT_FALSE(HasTransaction(next_no));
  EXPECT_EQ(Panel(1), status);
  EXPECT_EQ(CurrentInvoice(), current);
}

TEST_F(InvoiceManagerEndToEndTest,
       PrintThatCannotBeWrittenLeavesTheInvoiceUnprinted) {
  const Entered memo = AddMemoInvoice(3, "20");
  // The folder the PDF would go to cannot be made: a file holds its name.
  platform::testing::WriteFileBytes(temp_.path() / "printouts", "not a folder");
  const std::string folder = (temp_.path() / "printouts").string();
  ui_.messages
      .ExpectMessage("Cannot create the folder " + folder +
                     " for the printout.")
      .WithCaption(output::kPrintErrorCaption);
  window_->Print1->trigger();
  EXPECT_EQ(Panel(1), "Invoice " + memo.invoice_no + " was not printed.");
  EXPECT_NE(Transaction(memo.invoice_no).PrintedFlag.Get(), "Y");
  EXPECT_FALSE(window_->print_mode());
}

TEST_F(InvoiceManagerEndToEndTest,
       HelpOfTheManagerAndTheEditorIsInTheProgramsHelp) {
  window_->SpeedButton4->click();
  ui_.windows.ExpectWindow(kProdInvName, [&] {
    TProdInv* editor = Editor();
    if (editor == nullptr) return kModalCancel;
    editor->HelpButton->click();
    editor->CancelButton->click();
    return editor->result();
  });
  window_->Add1->trigger();
  ASSERT_EQ(ui_.help.topics(),
            (std::vector<std::string>{kInvoiceManagerHelpTopic,
                                      kNewInvoiceHelpTopic}));
  for (const std::string& topic : ui_.help.topics()) {
    EXPECT_TRUE(platform::qt::HelpWindow::HasTopic(topic)) << topic;
  }
}

TEST_F(InvoiceManagerEndToEndTest, TickedPrintInvoicePrintsTheNewInvoiceOnOk) {
  const Entered memo = AddMemoInvoice(4, "42", /*print=*/true);
  EXPECT_EQ(Panel(1), "Invoice " + memo.invoice_no + " saved as PDF: " +
                          PdfOf(memo.invoice_no));
  EXPECT_TRUE(fs::exists(PdfOf(memo.invoice_no)));
  EXPECT_EQ(Transaction(memo.invoice_no).PrintedFlag.Get(), "Y");
  EXPECT_EQ(CurrentInvoice(), memo.invoice_no);
  EXPECT_EQ(Receivables(), start_receivables_ + 4200);
}

TEST_F(InvoiceManagerEndToEndTest,
       RenumberingInEditMovesLinesAndMemoWithTheInvoice) {
  const Entered line = AddLineItemInvoice(1, 1, "2");
  const Entered memo = AddMemoInvoice(1, "60");
  const std::string next_no = app_->CurrentCompany.NextInvoiceNo.Get();
  const std::string taken = "1001";
  ASSERT_TRUE(HasTransaction(taken));
  // Each invoice gets a new number; a number on file is refused first.
  for (const Entered* invoice : {&line, &memo}) {
    const std::string renumbered = invoice->invoice_no + "R";
    int32_t rec_no = 0;
    ASSERT_TRUE(HasTransaction(invoice->invoice_no, &rec_no));
    window_->PositionOn(rec_no);
    ui_.windows.ExpectWindow(kProdInvName, [&] {
      TProdInv* editor = Editor();
      if (editor == nullptr) return kModalCancel;
      editor->INum->setText(QString::fromStdString(taken));
      ui_.messages
          .ExpectMessage(
              "This invoice number currently exists. Please enter another one.")
          .WithCaption("Duplicate Invoice: " + taken);
      editor->OKButton->click();
      EXPECT_TRUE(editor->isVisible());
      editor->INum->setText(QString::fromStdString(renumbered));
      editor->OKButton->click();
      return editor->result();
    });
    window_->EditInvoice->click();
    EXPECT_EQ(CurrentInvoice(), renumbered);
    EXPECT_FALSE(HasTransaction(invoice->invoice_no));
    EXPECT_EQ(Transaction(renumbered).GrandTotal.Get(), invoice->total);
    EXPECT_TRUE(LinesOf(invoice->invoice_no).empty());
    EXPECT_EQ(LinesOf(renumbered).size(), 1u);
  }
  // The memo text went with the memo invoice.
  const std::string memo_no = memo.invoice_no + "R";
  const std::optional<company::MemoRecord> moved = Memo(memo_no);
  ASSERT_TRUE(moved.has_value());
  EXPECT_EQ(Trim(moved->MemoLines[0].View()),
            "Rigging inspection of the ketch.");
  EXPECT_FALSE(Memo(memo.invoice_no).has_value());
  // Renumbering leaves the company's numbering and balances alone.
  EXPECT_EQ(app_->CurrentCompany.NextInvoiceNo.Get(), next_no);
  EXPECT_EQ(Receivables(), start_receivables_ + Cents(line.total) + 6000);

  // Printed and deleted under the new numbers, nothing is left behind.
  window_->ToPrinterButn->click();
  EXPECT_TRUE(fs::exists(PdfOf(memo_no)));
  EXPECT_EQ(Transaction(memo_no).PrintedFlag.Get(), "Y");
  for (const Entered* invoice : {&memo, &line}) {
    const std::string renumbered = invoice->invoice_no + "R";
    int32_t rec_no = 0;
    ASSERT_TRUE(HasTransaction(renumbered, &rec_no));
    window_->PositionOn(rec_no);
    ui_.messages
        .ExpectMessage("Are you sure you want to delete this record?",
                       Answer::kYes)
        .WithCaption("Delete Invoice#: " + renumbered);
    window_->InvDelete->click();
    EXPECT_TRUE(LinesOf(renumbered).empty());
  }
  EXPECT_FALSE(Memo(memo_no).has_value());
  EXPECT_EQ(Receivables(), start_receivables_);
  EXPECT_EQ(Count(), start_count_);
}

TEST_F(InvoiceManagerEndToEndTest,
       EditingAMemoInvoiceReplacesItsBodyAndAmount) {
  const Entered memo = AddMemoInvoice(2, "10");
  const int64_t balance = Balance(memo.customer_no);
  ui_.windows.ExpectWindow(kProdInvName, [&] {
    TProdInv* editor = Editor();
    if (editor == nullptr) return kModalCancel;
    EXPECT_TRUE(editor->StringGrid1->isHidden());
    EXPECT_EQ(FromQString(editor->MemoPDesc->text()), "Rigging check");
    EXPECT_EQ(FromQString(editor->Memo1->toPlainText()),
              "Rigging inspection of the ketch.\nNo faults found.");
    editor->INet->selectAll();
    QTest::keyClicks(editor->INet, "35");
    editor->Memo1->setPlainText("Rigging inspection and new halyard.");
    EXPECT_EQ(FromQString(editor->ITotal->text()), "35.00");
    editor->OKButton->click();
    return editor->result();
  });
  window_->EditInvoice->click();
  EXPECT_EQ(Panel(1), "Editing invoice " + memo.invoice_no + " completed.");
  EXPECT_EQ(Transaction(memo.invoice_no).GrandTotal.Get(), "35.00");
  EXPECT_EQ(Trim(Memo(memo.invoice_no)->MemoLines[0].View()),
            "Rigging inspection and new halyard.");
  EXPECT_EQ(Trim(Memo(memo.invoice_no)->MemoLines[1].View()), "");
  // The one line that stands for the memo follows the amount.
  const std::vector<company::LineRecord> lines = LinesOf(memo.invoice_no);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Trim(lines[0].LineText.View().substr(53, 10)), "35");
  EXPECT_EQ(Balance(memo.customer_no), balance + 2500);
  EXPECT_EQ(Receivables(), start_receivables_ + 3500);
}

// The road a new user takes: the main window's Invoices command.
class InvoiceManagerFromMainWindowTest : public InvoiceManagerEndToEndTest {
 protected:
  InvoiceManagerFromMainWindowTest() { from_main_window_ = true; }
};

TEST_F(InvoiceManagerFromMainWindowTest,
       InvoicesCommandOpensTheManagerOnTheDemo) {
  company::ui::TMainForm form(*app_);
  ASSERT_TRUE(form.FormCreate());
  WireBillingCommands(form, *app_);
  ASSERT_TRUE(form.IsCommandEnabled(company::ui::CommandId::kInvoiceManager));
  Entered memo;
  ui_.windows.ExpectWindow(kInvlistName, [&] {
    auto* manager = form.findChild<Tinvlist*>();
    EXPECT_NE(manager, nullptr);
    if (manager == nullptr) return kModalCancel;
    manager->show();
    Began(manager);
    EXPECT_EQ(FromQString(manager->CName->text()),
              "Harbor Light Supply Co. - #1");
    // It opens on the company's last invoice, the newest.
    EXPECT_EQ(CurrentInvoice(), app_->CurrentCompany.LastInvoiceNo.Get());
    memo = AddMemoInvoice(6, "12.5");
    EXPECT_EQ(Count(), start_count_ + 1);
    EXPECT_EQ(Receivables(), start_receivables_ + 1250);
    manager->SpeedButton3->click();
    window_ = nullptr;
    return manager->result();
  });
  form.RunCommand(company::ui::CommandId::kInvoiceManager);
  // The manager closed its files with it: the invoice is on disk.
  bool found = false;
  for (const auto& [rec_no, t] :
       billing::testing::AllRecords<company::TransactionAccess>(*app_)) {
    if (Trim(t.InvoiceNo.View()) == memo.invoice_no) {
      found = true;
      EXPECT_EQ(t.GrandTotal.Get(), "12.50");
      EXPECT_EQ(Trim(t.CustomerNo.View()), memo.customer_no);
    }
  }
  EXPECT_TRUE(found) << memo.invoice_no;
}

}  // namespace
}  // namespace tallybook::billing::ui
