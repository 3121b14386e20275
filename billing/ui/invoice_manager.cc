#include "billing/ui/invoice_manager.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPalette>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cstring>

#include "billing/ui/choosers.h"
#include "billing/ui/q_view.h"
#include "billing/ui/repeat_form.h"
#include "company/company_options.h"
#include "company/keys.h"
#include "company/text.h"
#include "company/ui/browser_errors.h"
#include "company/ui/find_box.h"
#include "company/ui/print_window.h"
#include "output/ui/invoice_commands.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

using company::TransactionRecord;
using platform::qt::ToQString;

namespace {

// The key that sorts after every entry, for positioning on the last one.
std::string HighestKey() { return std::string(store::kMaxKeyLength, '\xff'); }

}  // namespace

Tinvlist::Tinvlist(company::App& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(kInvlistName);
  setWindowTitle(kInvoiceManagerCaption);
  setAutoFillBackground(true);
  editor_ = new TProdInv(app_, this);
  editor_->choose_customer = [this] { return ChooseCustomer(app_, editor_); };
  editor_->choose_product = [this] { return ChooseProduct(app_, editor_); };
  invoice_editor_ = editor_->Runner();
  BuildCommands();

  auto* tools = new QWidget(this);
  BuildToolbar(tools);

  const QFont display_font =
      platform::qt::ToQFont(company::ManagersFontOf(app.CurrentCompany));
  CName = new QLabel(this);
  CName->setObjectName("CName");
  CName->setFont(display_font);
  auto* ar_label = new QLabel(kReceivablesLabel, this);
  ar_label->setFont(display_font);
  ARBal = new QLabel(this);
  ARBal->setObjectName("ARBal");
  ARBal->setFont(display_font);
  CFilter = new QLabel(kFilterClosedLabel, this);
  CFilter->setObjectName("CFilter");
  CFilter->installEventFilter(this);
  auto* labels = new QHBoxLayout;
  labels->addWidget(CName, 1);
  labels->addWidget(ar_label);
  labels->addWidget(ARBal);
  labels->addSpacing(16);
  labels->addWidget(CFilter);

  InvBrowser1 = new store::ui::TFvcBrowser(this);
  company::ui::ShowBrowserErrors(*InvBrowser1, app);
  InvBrowser1->setObjectName("InvBrowser1");
  InvBrowser1->SetHeader(InvoiceListHeader());
  InvBrowser1->OnBuildRow = [this](store::RowRec& rr) {
    InvBrowser1BuildRow(rr);
    return 0;
  };
  InvBrowser1->OnPerformFilter = [this](store::RowRec& rr, bool& use_it) {
    InvBrowser1PerformFilter(rr, use_it);
  };
  InvBrowser1->OnKeyPress = [this](char& key) { InvBrowser1KeyPress(key); };
  InvBrowser1->setContextMenuPolicy(Qt::NoContextMenu);
  InvBrowser1->viewport()->installEventFilter(this);
  InvBrowser1->installEventFilter(this);

  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  for (size_t i = 0; i < StatusBar1.size(); ++i) {
    StatusBar1[i] = new QLabel(this);
    status->addWidget(StatusBar1[i], i == 1 ? 1 : 0);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_bar_);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->addWidget(tools);
  layout->addLayout(labels);
  layout->addWidget(InvBrowser1, 1);
  layout->addWidget(status);
  resize(980, 520);
}

Tinvlist::~Tinvlist() { FormClose(); }

void Tinvlist::BuildCommands() {
  auto* bar = new QMenuBar(this);
  auto item = [this](QMenu* menu, const char* name, const char* text,
                     void (Tinvlist::*handler)()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    if (handler != nullptr) {
      connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    }
    return action;
  };
  QMenu* invoice = bar->addMenu("&Invoice");
  Add1 = item(invoice, "Add1", "&New", &Tinvlist::AddClick);
  Edit1 = item(invoice, "Edit1", "&Edit", &Tinvlist::EditClick);
  Delete1 = item(invoice, "Delete1", "&Delete", &Tinvlist::DeleteClick);
  Search1 = item(invoice, "Search1", "&Find", &Tinvlist::FindClick);
  PreViewSaveAs1 = item(invoice, "PreViewSaveAs1", "&View", &Tinvlist::ViewClick);
  CustomerData1 = item(invoice, "CustomerData1", "C&ustomer Data",
                       &Tinvlist::CustomerDataClick);
  Print1 = item(invoice, "Print1", "&Print", &Tinvlist::PrintClick);
  BatchPrint1 = item(invoice, "BatchPrint1", "&Batch Print",
                     &Tinvlist::BatchPrintClick);
  RepeatBillingSetup1 = item(invoice, "RepeatBillingSetup1",
                             "&Repeat Billing Setup",
                             &Tinvlist::RepeatBillingSetupClick);
  invoice->addSeparator();
  Close1 = item(invoice, "Close1", "&Close", nullptr);
  connect(Close1, &QAction::triggered, this, &QDialog::reject);

  QMenu* display = bar->addMenu("&Display");
  view_group_ = new QActionGroup(this);
  view_group_->setExclusive(true);
  for (size_t i = 0; i < kInvoiceViews.size(); ++i) {
    const InvoiceView& view = kInvoiceViews[i];
    QAction* action = display->addAction(view.caption);
    action->setObjectName(view.action_name);
    action->setCheckable(true);
    view_group_->addAction(action);
    const int key_no = view.key_no;
    connect(action, &QAction::triggered, this, [this, key_no] { ChooseView(key_no); });
    ViewItems[i] = action;
  }
  display->addSeparator();
  PrintWindow1 = item(display, "PrintWindow1", "Print &Window",
                      &Tinvlist::PrintWindowClick);
  QMenu* help = bar->addMenu("&Help");
  CreatingInvoices1 = item(help, "CreatingInvoices1", "&Overview",
                           &Tinvlist::HelpClick);
  platform::qt::SetManagerKeys({.add = Add1, .edit = Edit1, .remove = Delete1,
                                .find = Search1, .print = Print1,
                                .close = Close1, .help = CreatingInvoices1});

  PopupMenu1 = new QMenu(this);
  Add2 = item(PopupMenu1, "Add2", "&New", &Tinvlist::AddClick);
  Edit2 = item(PopupMenu1, "Edit2", "&Edit", &Tinvlist::EditClick);
  Delete2 = item(PopupMenu1, "Delete2", "&Delete", &Tinvlist::DeleteClick);
  Search2 = item(PopupMenu1, "Search2", "&Find", &Tinvlist::FindClick);
  View2 = item(PopupMenu1, "View2", "&View", &Tinvlist::ViewClick);
  CustomerData2 = item(PopupMenu1, "CustomerData2", "C&ustomer Data",
                       &Tinvlist::CustomerDataClick);
  Print2 = item(PopupMenu1, "Print2", "&Print", &Tinvlist::PrintClick);
  PopupMenu1->addSeparator();
  Close2 = item(PopupMenu1, "Close2", "&Close", nullptr);
  connect(Close2, &QAction::triggered, this, &QDialog::reject);
  menu_bar_ = bar;
}

void Tinvlist::BuildToolbar(QWidget* host) {
  auto* row = new QHBoxLayout(host);
  row->setContentsMargins(0, 0, 0, 0);
  auto button = [&](const char* name, const char* hint,
                    std::initializer_list<const char*> icons, QAction* action) {
    auto* b = new QToolButton(host);
    b->setObjectName(name);
    b->setText(hint);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    if (platform::qt::SetThemeIcon(b, icons)) {
      b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    }
    if (action != nullptr) {
      connect(b, &QToolButton::clicked, action, &QAction::trigger);
    }
    row->addWidget(b);
    return b;
  };
  AddInvoice = button("AddInvoice", "New", {"document-new"}, Add1);
  EditInvoice = button("EditInvoice", "Edit",
                       {"document-edit", "document-properties"}, Edit1);
  InvDelete = button("InvDelete", "Delete", {"edit-delete"}, Delete1);
  SpeedButton1 = button("SpeedButton1", "Find", {"edit-find"}, Search1);
  InvPrint =
      button("InvPrint", "View", {"document-print-preview"}, PreViewSaveAs1);
  CustDataButn = button("CustDataButn", "Customer Data",
                        {"x-office-address-book"}, CustomerData1);
  ToPrinterButn = button("ToPrinterButn", "Print", {"document-print"}, Print1);
  BatchPrinButn =
      button("BatchPrinButn", "Batch Print", {"printer"}, BatchPrint1);
  // A person beside the theme's filter: the filter shows one customer's
  // invoices.
  SpeedButton2 = button("SpeedButton2", "Filter On/Off",
                        {"view-filter", "user-info"}, nullptr);
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { FilterButtonClick(); });
  SpeedButton3 = button("SpeedButton3", "Close", {"window-close"}, Close1);
  SpeedButton4 =
      button("SpeedButton4", "Help", {"help-contents"}, CreatingInvoices1);
  row->addStretch(1);
}

bool Tinvlist::FormShow() {
  const company::CompanyRecord& company = app_.CurrentCompany;
  RefreshLabels();
  ShowMessage(kIdleHint);

  app_.invoice_view_key = ValidInvoiceView(app_.invoice_view_key);
  app_.invoice_filter_on = false;
  if (!OpenFiles()) return false;
  for (size_t i = 0; i < kInvoiceViews.size(); ++i) {
    ViewItems[i]->setChecked(kInvoiceViews[i].key_no == app_.invoice_view_key);
  }
  InvBrowser1->setFont(
      platform::qt::ToQFont(company::ManagersFontOf(app_.CurrentCompany)));
  CFilter->setText(kFilterClosedLabel);
  QPalette label_palette = CFilter->palette();
  label_palette.setColor(QPalette::WindowText, Qt::black);
  CFilter->setPalette(label_palette);
  SetWindowShade(false);

  PositionOnInvoiceNo(company.LastInvoiceNo.Get());
  RefreshLabels();
  setWindowTitle(app_.output_mode == company::OutputMode::kEMail
                     ? kInvoiceManagerEMailCaption
                     : kInvoiceManagerCaption);
  return true;
}

bool Tinvlist::OpenFiles() {
  transactions_ = std::make_unique<company::TransactionAccess>(app_);
  lines_ = std::make_unique<company::LineAccess>(app_);
  memos_ = std::make_unique<company::MemoAccess>(app_);
  for (company::CompanyFileAccess* file :
       {static_cast<company::CompanyFileAccess*>(transactions_.get()),
        static_cast<company::CompanyFileAccess*>(lines_.get()),
        static_cast<company::CompanyFileAccess*>(memos_.get())}) {
    if (!file->OpenCompanyFile()) {
      const int error = app_.engine().StoreError();
      FormClose();
      ShowUnableToOpen(error);
      return false;
    }
  }
  auto list = std::make_unique<store::BrowseList>(
      app_.engine(), transactions_->handle(), app_.invoice_view_key,
      std::span<uint8_t>(reinterpret_cast<uint8_t*>(&row_record_),
                         sizeof(row_record_)),
      "", "");
  InvBrowser1->AttachBrowseList(std::move(list));
  InvBrowser1->SetFilterEnabled(app_.invoice_filter_on);
  return true;
}

void Tinvlist::ShowUnableToOpen(int error) {
  platform::ShowError(app_.services().messages, kInvoiceManagerCaption,
                      kUnableToOpenDatabases + std::to_string(error));
}

bool Tinvlist::WithFilesReleased(const std::function<void()>& operation) {
  FormClose();
  operation();
  if (OpenFiles()) return true;
  // OpenFiles told the user; without the files the window cannot go on.
  done(kInvlistOpenFailed);
  return false;
}

void Tinvlist::ApplyOutcome(const billing::InvoiceOutcome& outcome,
                            int32_t ref_before, const std::string& key_before,
                            bool deleted) {
  if (outcome.changed && !deleted) {
    PositionOn(outcome.rec_no);
  } else {
    // The row after a deleted one takes its place.
    InvBrowser1->SetAndUpdate(key_before, ref_before);
  }
  RefreshLabels();
  if (!outcome.status_text.empty()) ShowMessage(outcome.status_text);
}

void Tinvlist::FormClose() {
  // The browse list reads through the transaction file: detach it first.
  InvBrowser1->AttachBrowseList(nullptr);
  transactions_.reset();
  lines_.reset();
  memos_.reset();
}

int Tinvlist::Execute() {
  if (!FormShow()) return kInvlistOpenFailed;
  const int result =
      app_.services().windows.RunModal(kInvlistName, [this] { return exec(); });
  FormClose();
  return result;
}

void Tinvlist::ShowMessage(const std::string& text) {
  StatusBar1[1]->setText(ToQString(text));
}

void Tinvlist::RefreshLabels() {
  const company::CompanyRecord& company = app_.CurrentCompany;
  CName->setText(ToQString(company::Trim(company.CompanyName.View()) + " - #" +
                           company::Trim(company.CompanyNo.View())));
  ARBal->setText(
      ToQString(company::FormatMoneyText(company.ReceivablesBalance.View())));
  const int32_t count =
      transactions_ && transactions_->IsOpen()
          ? app_.engine().CountKeys(transactions_->handle(), app_.invoice_view_key)
          : 0;
  StatusBar1[0]->setText(ToQString(RecordsText(count)));
  StatusBar1[2]->setText(app_.invoice_timer_running ? kTimerRunning : kTimerOff);
}

void Tinvlist::SetWindowShade(bool shadow) {
  QPalette shade = palette();
  const QPalette standard = QApplication::palette();
  shade.setColor(QPalette::Window,
                 standard.color(shadow ? QPalette::Dark : QPalette::Button));
  setPalette(shade);
}

void Tinvlist::ApplyFilterDisplay(bool on) {
  const FilterDisplay display = FilterDisplayFor(on, app_.invoice_filter_customer);
  CFilter->setText(ToQString(display.label));
  QPalette label_palette = CFilter->palette();
  label_palette.setColor(QPalette::WindowText, display.red ? Qt::red : Qt::black);
  CFilter->setPalette(label_palette);
  ShowMessage(display.hint);
  SetWindowShade(display.shadow);
}

void Tinvlist::InvBrowser1BuildRow(store::RowRec& rr) {
  rr.Row = {rr.Status == 0 ? InvoiceRow(row_record_) : UnreadableInvoiceRow(rr.Key)};
}

void Tinvlist::InvBrowser1PerformFilter(store::RowRec& rr, bool& use_it) {
  InvBrowser1->BuildRowFor(rr);
  use_it = rr.Status == 0 &&
           CustomerFilterAccepts(row_record_, app_.invoice_filter_customer);
}

void Tinvlist::InvBrowser1KeyPress(char& key) {
  if (key == '\r' || key == '\n') {
    key = 0;
    CustomerDataClick();
    return;
  }
  key = company::UpperChar1252(key);
}

bool Tinvlist::RereadCurrent() {
  if (!transactions_ || InvBrowser1->CurrentRef() == 0) return false;
  bool changed = false;
  if (InvBrowser1->RereadCurrentRow(changed) != 0) return false;
  record_ = row_record_;
  transactions_->rec() = record_;
  return true;
}

void Tinvlist::PositionOn(int32_t rec_no) {
  TransactionRecord record;
  if (rec_no <= 0 || !transactions_ ||
      !app_.engine().GetRecord(transactions_->handle(), rec_no, &record) ||
      record.DeleteMark != 0) {
    InvBrowser1->SetAndUpdate(InvBrowser1->CurrentKey(), InvBrowser1->CurrentRef());
    return;
  }
  InvBrowser1->SetAndUpdate(company::BuildKey(record, app_.invoice_view_key), rec_no);
}

void Tinvlist::PositionOnInvoiceNo(const std::string& invoice_no) {
  int32_t rec_no = 0;
  const std::string key =
      company::KeyText(invoice_no, company::kTransInvoiceNoKeyLength);
  if (!company::Trim(invoice_no).empty() &&
      transactions_->FindByKey(kInvoiceNoView, key, rec_no)) {
    PositionOn(rec_no);
    return;
  }
  // Nothing at or after it: the last entry.
  InvBrowser1->SetAndUpdate(HighestKey(), store::kHighestRef);
}

void Tinvlist::ChooseView(int key_no) {
  key_no = ValidInvoiceView(key_no);
  for (size_t i = 0; i < kInvoiceViews.size(); ++i) {
    ViewItems[i]->setChecked(kInvoiceViews[i].key_no == key_no);
  }
  app_.invoice_view_key = key_no;
  if (!transactions_) return;
  const int32_t rec_no = InvBrowser1->CurrentRef();
  InvBrowser1->SetKeyNumber(key_no);
  PositionOn(rec_no);
  RefreshLabels();
}

void Tinvlist::FilterButtonClick() {
  if (!transactions_) return;
  const bool on = !app_.invoice_filter_on;
  int32_t rec_no = InvBrowser1->CurrentRef();
  if (on) {
    // Switching on takes the current record's customer; switching off
    // needs no record, so an emptied filtered list can always be left.
    if (!RereadCurrent()) return;
    app_.invoice_filter_customer = FilterValueOf(record_);
  }
  app_.invoice_filter_on = on;
  InvBrowser1->SetFilterEnabled(on);
  PositionOn(rec_no);
  ApplyFilterDisplay(on);
}

void Tinvlist::CFilterClick() {
  if (!transactions_) return;
  const int32_t rec_no = InvBrowser1->CurrentRef();
  app_.invoice_filter_on = !app_.invoice_filter_on;
  InvBrowser1->SetFilterEnabled(app_.invoice_filter_on);
  PositionOn(rec_no);
}

void Tinvlist::CustomerDataClick() {
  if (!RereadCurrent()) return;
  company::CustomerAccess customers(app_);
  const company::CustomerRecord* found = nullptr;
  if (customers.OpenCompanyFile()) {
    int32_t rec_no = 0;
    const std::string customer_no = company::Trim(record_.CustomerNo.View());
    if (customers.FindByKey(2,
                            company::KeyText(customer_no,
                                             company::kCustomerNoKeyLength),
                            rec_no) &&
        customers.GetRecord(rec_no) &&
        company::UpperCase1252(company::Trim(customers.rec().CustomerNo.View())) ==
            company::UpperCase1252(customer_no)) {
      found = &customers.rec();
      app_.CurrentCustomer = customers.rec();
    }
  }
  const CustomerDataView view = BuildCustomerData(
      record_, found,
      company::DateOrderFromField(app_.CurrentCompany.DateOrder.View()));
  customers.Close();
  TQView window(app_, view, this);
  window.Execute();
}

void Tinvlist::FindClick() {
  if (!transactions_) return;
  company::ui::FindMode mode;
  mode.caption = kFindInvoiceCaption;
  mode.help_topic = kInvoiceManagerHelpTopic;
  mode.key_no = 0;
  mode.record_length = static_cast<int>(sizeof(TransactionRecord));
  mode.header = InvoiceFindHeader();
  mode.build_row = [](const uint8_t* bytes) {
    TransactionRecord record;
    std::memcpy(&record, bytes, sizeof(record));
    return InvoiceFindRow(record);
  };
  mode.first_column_width = kInvoiceFindFirstColumn;
  mode.max_typed = kFindTextMax;
  mode.matches = [](const uint8_t* bytes, const std::string& typed) {
    TransactionRecord record;
    std::memcpy(&record, bytes, sizeof(record));
    return InvoiceFindMatches(record, typed);
  };
  company::ui::TFindBox find(app_, transactions_->handle(), std::move(mode), this);
  if (find.Execute() != platform::kModalOk) return;
  int32_t rec_no = 0;
  const std::string invoice_no = find.chosen_first_column();
  if (invoice_no.empty() ||
      !transactions_->FindByKey(
          kInvoiceNoView,
          company::KeyText(invoice_no, company::kTransInvoiceNoKeyLength), rec_no)) {
    return;
  }
  PositionOn(rec_no);
}

void Tinvlist::AddClick() {
  if (!transactions_ || !invoice_editor_) return;
  const int32_t ref = InvBrowser1->CurrentRef();
  const std::string key = InvBrowser1->CurrentKey();
  billing::InvoiceOutcome outcome;
  if (!WithFilesReleased([&] { outcome = billing::AddInvoice(app_, invoice_editor_); })) {
    return;
  }
  ApplyOutcome(outcome, ref, key, false);
  if (outcome.changed && outcome.print) PrintClick();
}

void Tinvlist::EditClick() {
  if (!invoice_editor_ || !RereadCurrent()) return;
  const int32_t ref = InvBrowser1->CurrentRef();
  const std::string key = InvBrowser1->CurrentKey();
  const TransactionRecord current = record_;
  billing::InvoiceOutcome outcome;
  if (!WithFilesReleased([&] {
        outcome = billing::EditInvoice(app_, ref, current, invoice_editor_);
      })) {
    return;
  }
  ApplyOutcome(outcome, ref, key, false);
}

void Tinvlist::RepeatBillingSetupClick() {
  if (!RereadCurrent()) return;
  const int32_t ref = InvBrowser1->CurrentRef();
  const std::string key = InvBrowser1->CurrentKey();
  const TransactionRecord current = record_;
  billing::InvoiceOutcome outcome;
  if (!WithFilesReleased([&] {
        std::optional<billing::RepeatSetupForm> form =
            billing::PrepareRepeatSetup(app_, ref, current);
        if (!form) return;
        TRepeatForm dialog(app_, std::move(*form), this);
        if (dialog.Execute() != QDialog::Accepted) return;
        outcome.changed = true;
        outcome.rec_no = ref;
        outcome.record = dialog.outcome().record;
      })) {
    return;
  }
  // A new master moves in the type order (key 5) and leaves the balances.
  ApplyOutcome(outcome, ref, key, false);
}

void Tinvlist::DeleteClick() {
  if (!RereadCurrent()) return;
  const int32_t ref = InvBrowser1->CurrentRef();
  const std::string key = InvBrowser1->CurrentKey();
  const TransactionRecord current = record_;
  billing::InvoiceOutcome outcome;
  if (!WithFilesReleased(
          [&] { outcome = billing::DeleteInvoice(app_, ref, current); })) {
    return;
  }
  ApplyOutcome(outcome, ref, key, outcome.changed);
}

output::InvoiceFiles Tinvlist::Files() {
  return {transactions_.get(), lines_.get(), memos_.get()};
}

void Tinvlist::ViewClick() {
  if (!RereadCurrent()) return;
  output::ui::ViewInvoice(app_, company::Trim(record_.InvoiceNo.View()), this,
                          Files());
}

void Tinvlist::PrintClick() {
  if (!RereadCurrent()) return;
  const int32_t ref = InvBrowser1->CurrentRef();
  std::string status;
  {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    print_mode_ = true;
    status = output::ui::PrintInvoice(
        app_, company::Trim(record_.InvoiceNo.View()), this, Files());
    print_mode_ = false;
    QApplication::restoreOverrideCursor();
  }
  if (!status.empty()) ShowMessage(status);
  PositionOn(ref);
}

void Tinvlist::BatchPrintClick() {
  if (!transactions_) return;
  const int32_t ref = InvBrowser1->CurrentRef();
  print_mode_ = batch_mode_ = true;
  const std::string status = output::ui::BatchPrintInvoices(app_, this, Files());
  print_mode_ = batch_mode_ = false;
  if (!status.empty()) ShowMessage(status);
  PositionOn(ref);
}

void Tinvlist::PrintWindowClick() {
  if (std::optional<std::string> where =
          company::ui::PrintWindowImage(app_, *this, kInvoiceManagerCaption)) {
    ShowMessage(*where);
  }
}

void Tinvlist::HelpClick() {
  app_.services().help.ShowHelp(kInvoiceManagerHelpTopic);
}

void Tinvlist::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    DeleteClick();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool Tinvlist::eventFilter(QObject* watched, QEvent* event) {
  if (watched == CFilter && event->type() == QEvent::MouseButtonRelease) {
    CFilterClick();
    return true;
  }
  if (watched == InvBrowser1 && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    DeleteClick();
    return true;
  }
  if (watched == InvBrowser1->viewport()) {
    if (event->type() == QEvent::MouseButtonDblClick) {
      CustomerDataClick();
      return true;
    }
    if (event->type() == QEvent::ContextMenu) {
      // The row under the pointer becomes current before the menu opens.
      auto* menu_event = static_cast<QContextMenuEvent*>(event);
      const int row = InvBrowser1->RowAtY(menu_event->pos().y());
      store::BrowseList* list = InvBrowser1->browse_list();
      if (list != nullptr && row >= 1 && row <= list->FilledRows()) {
        list->SelectRow(row);
        InvBrowser1->viewport()->update();
      }
      PopupMenu1->popup(menu_event->globalPos());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tallybook::billing::ui
