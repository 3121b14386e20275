#include "billing/ui/customer_manager_window.h"

#include <cstring>

#include "billing/customer_product_support.h"
#include "billing/ui/customer_dialog.h"
#include "billing/ui/product_manager_window.h"
#include "company/keys.h"
#include "company/text.h"
#include "company/ui/find_box.h"
#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

using platform::qt::ToQString;

TDemoForm::TDemoForm(company::App& app, QWidget* parent)
    : TManagerWindow(app,
                     app.output_mode == company::OutputMode::kEMail
                         ? kCustomerManagerEMailCaption
                         : kCustomerManagerCaption,
                     parent),
      manager_(app) {
  Label1 = new QLabel(ToQString(app.CurrentCompany.CompanyName.Get() + " - #" +
                                app.CurrentCompanyNo()),
                      this);
  static_cast<QBoxLayout*>(layout())->insertWidget(0, Label1);
  Browser->SetHeader(CustomerHeader());
  Browser->OnBuildRow = [this](store::RowRec& rr) {
    rr.Row = {rr.Status == 0 ? CustomerRow(row_record_)
                             : kUnreadableRowPrefix + rr.Key};
    return 0;
  };
  Browser->OnRowChanged = [this] { UpdateCount(); };

  QMenu* customer = menu_bar()->addMenu("&Customer");
  Add1 = customer->addAction("&New");
  Edit1 = customer->addAction("&Edit");
  Delete1 = customer->addAction("&Delete");
  Search1 = customer->addAction("&Find");
  CustomerList1 = customer->addAction("Customer &List");
  AddtoLabelQueue2 = customer->addAction("&Add to Label Queue");
  PrintEnvelope1 = customer->addAction("&Print Envelope");
  customer->addSeparator();
  Close1 = customer->addAction("&Close");
  QMenu* statements = menu_bar()->addMenu("&Statements");
  View2 = statements->addAction("&View / Print");
  BatchPrint1 = statements->addAction("&Batch Print");
  QMenu* display = menu_bar()->addMenu("&Display");
  ByName1 = display->addAction("By &Name");
  ByNumber1 = display->addAction("By N&umber");
  ByName1->setCheckable(true);
  ByNumber1->setCheckable(true);
  display->addSeparator();
  PrintWindow1 = display->addAction("Print &Window");
  QMenu* help = menu_bar()->addMenu("&Help");
  AddingRecords1 = help->addAction("&Overview");

  A1 = PopupMenu->addAction("&New");
  EditCustomer1 = PopupMenu->addAction("&Edit");
  D1 = PopupMenu->addAction("&Delete");
  Search2 = PopupMenu->addAction("&Find");
  CustomerList2 = PopupMenu->addAction("Customer &List");
  AddtoLabelQueue1 = PopupMenu->addAction("Add to Label &Queue");
  PrintEnvelope2 = PopupMenu->addAction("&Print Envelope");
  Statement1 = PopupMenu->addAction("&Statement");
  PopupMenu->addSeparator();
  Close2 = PopupMenu->addAction("&Close");

  auto wire = [this](std::initializer_list<QAction*> actions, void (TDemoForm::*handler)()) {
    for (QAction* a : actions) {
      connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    }
  };
  wire({Add1, A1}, &TDemoForm::AddClick);
  wire({Edit1, EditCustomer1}, &TDemoForm::EditClick);
  wire({Delete1, D1}, &TDemoForm::DeleteClick);
  wire({Search1, Search2}, &TDemoForm::FindClick);
  wire({CustomerList1, CustomerList2}, &TDemoForm::CustomerListClick);
  wire({AddtoLabelQueue1, AddtoLabelQueue2}, &TDemoForm::AddToLabelQueueClick);
  wire({PrintEnvelope1, PrintEnvelope2}, &TDemoForm::PrintEnvelopeClick);
  wire({ByName1}, &TDemoForm::ByNameClick);
  wire({ByNumber1}, &TDemoForm::ByNumberClick);
  wire({PrintWindow1}, &TDemoForm::PrintWindowClick);
  for (QAction* a : {Close1, Close2}) connect(a, &QAction::triggered, this, &QDialog::reject);
  connect(AddingRecords1, &QAction::triggered, this, [this] {
    this->app().services().help.ShowHelp(kCustomerManagerHelpTopic);
  });
  platform::qt::SetManagerKeys({.add = Add1, .edit = Edit1, .remove = Delete1,
                                .find = Search1, .close = Close1,
                                .help = AddingRecords1});
  // The statement commands are the receivables windows' (App hooks); off
  // where they are not installed.
  wire({View2, Statement1}, &TDemoForm::StatementClick);
  wire({BatchPrint1}, &TDemoForm::BatchPrintClick);
  for (QAction* a : {View2, Statement1}) {
    a->setEnabled(static_cast<bool>(app.view_statement));
  }
  BatchPrint1->setEnabled(static_cast<bool>(app.batch_statements));

  NewCustButn = AddToolButton("New", {"document-new"}, Add1);
  EditCustButn =
      AddToolButton("Edit", {"document-edit", "document-properties"}, Edit1);
  DeleteCustButn = AddToolButton("Delete", {"edit-delete"}, Delete1);
  FinCustButn = AddToolButton("Find", {"edit-find"}, Search1);
  CustBookButn =
      AddToolButton("Customer List", {"x-office-address-book"}, CustomerList1);
  PrintEnvButn =
      AddToolButton("Print Envelope", {"document-print"}, PrintEnvelope1);
  StmtPrin =
      AddToolButton("View/Print Statement", {"document-print-preview"}, View2);
  BatchPrinButn =
      AddToolButton("Batch Print Statements", {"document-print"}, BatchPrint1);
  SpeedButton2 = AddToolButton("Close", {"window-close"}, Close1);
  SpeedButton3 = AddToolButton("Help", {"help-contents"}, AddingRecords1);

  customer_dialog_ = [this](CustomerForm& form, const CustomerCheck& check) {
    TEditDlg dialog(this->app(), form, check, this);
    return dialog.Execute();
  };
}

TDemoForm::~TDemoForm() { manager_.Close(); }

bool TDemoForm::FormShow() {
  if (!manager_.IsOpen() && !manager_.Open()) return false;
  company::App& app = this->app();
  const int key_no = app.customer_view_key == kCustomerNoKey ? kCustomerNoKey
                                                             : kCustomerNameKey;
  ByName1->setChecked(key_no == kCustomerNameKey);
  ByNumber1->setChecked(key_no == kCustomerNoKey);
  AttachRecords(manager_.customers().handle(), key_no, row_record_,
                app.customer_selection_mode ? &app.CurrentCustomer : nullptr,
                kCustomerSearchFailed);
  UpdateCount();
  return true;
}

int TDemoForm::Execute() {
  if (!FormShow()) return kManagerOpenFailed;
  const int result =
      app().services().windows.RunModal(kDemoFormName, [this] { return exec(); });
  manager_.Close();
  return result;
}

void TDemoForm::UpdateCount() {
  StatusPanel0->setText(ToQString(
      CustomersStatusText(manager_.Count(Browser->CurrentKeyNumber()))));
}

void TDemoForm::PositionOn(int32_t rec_no) {
  CustomerRecord record;
  ShowRecord(manager_.Read(rec_no, record) ? &record : nullptr, rec_no);
  UpdateCount();
}

void TDemoForm::AddClick() {
  if (std::optional<int32_t> rec_no = manager_.AddCustomer(customer_dialog_)) {
    PositionOn(*rec_no);
  }
}

void TDemoForm::EditClick() {
  const int32_t rec_no = Browser->CurrentRef();
  if (rec_no == 0) return;
  manager_.EditCustomer(rec_no, customer_dialog_);
  PositionOn(rec_no);
}

void TDemoForm::DeleteClick() {
  const int32_t rec_no = Browser->CurrentRef();
  if (rec_no == 0) return;
  const std::string key = Browser->CurrentKey();
  if (manager_.DeleteCustomer(rec_no)) {
    Browser->SetAndUpdate(key, rec_no);
    UpdateCount();
  }
}

void TDemoForm::FindClick() {
  company::ui::FindMode mode;
  mode.caption = kFindCustomerCaption;
  mode.help_topic = kCustomerManagerHelpTopic;
  mode.key_no = 0;
  mode.record_length = static_cast<int>(sizeof(CustomerRecord));
  mode.header = company::PadRight("Number", 8) + " Name";
  mode.build_row = [](const uint8_t* bytes) {
    CustomerRecord record;
    std::memcpy(&record, bytes, sizeof(record));
    return company::PadRight(company::Trim(record.CustomerNo.View()), 8) + " " +
           record.CustomerName.Get() + "  " + record.Phone1.Get();
  };
  mode.first_column_width = 8;
  mode.matches = [](const uint8_t* bytes, const std::string& typed) {
    CustomerRecord record;
    std::memcpy(&record, bytes, sizeof(record));
    return CustomerMatches(record, typed);
  };
  company::ui::TFindBox find(app(), manager_.customers().handle(), mode, this);
  if (find.Execute() != platform::kModalOk) return;
  const int32_t rec_no = manager_.FindCustomer(find.chosen_first_column());
  if (rec_no != 0) PositionOn(rec_no);
}

void TDemoForm::CustomerListClick() { manager_.CustomerList(list_window()); }

void TDemoForm::AddToLabelQueueClick() {
  const int32_t rec_no = Browser->CurrentRef();
  if (rec_no == 0) return;
  const std::string text = manager_.AddToLabelQueue(rec_no);
  if (!text.empty()) ShowHint(text);
}

void TDemoForm::PrintEnvelopeClick() {
  const int32_t rec_no = Browser->CurrentRef();
  if (rec_no == 0) return;
  const std::string text = manager_.PrintEnvelope(rec_no);
  if (!text.empty()) ShowHint(text);
}

void TDemoForm::StatementClick() {
  const int32_t rec_no = Browser->CurrentRef();
  CustomerRecord record;
  if (rec_no == 0 || !app().view_statement || !manager_.Read(rec_no, record)) {
    return;
  }
  app().view_statement(manager_.customers(),
                       company::Trim(record.CustomerNo.View()));
  // The statement walked the customer file's keys: show the row again.
  PositionOn(rec_no);
}

void TDemoForm::BatchPrintClick() {
  if (!app().batch_statements) return;
  const int32_t rec_no = Browser->CurrentRef();
  app().batch_statements(manager_.customers());
  if (rec_no != 0) PositionOn(rec_no);
}

void TDemoForm::SwitchKey(int key_no) {
  app().customer_view_key = key_no;
  ByName1->setChecked(key_no == kCustomerNameKey);
  ByNumber1->setChecked(key_no == kCustomerNoKey);
  const int32_t rec_no = Browser->CurrentRef();
  Browser->SetKeyNumber(key_no);
  PositionOn(rec_no);
}

void TDemoForm::ByNameClick() { SwitchKey(kCustomerNameKey); }
void TDemoForm::ByNumberClick() { SwitchKey(kCustomerNoKey); }

void TDemoForm::ChooseRow() {
  const int32_t rec_no = Browser->CurrentRef();
  if (rec_no != 0 && manager_.Choose(rec_no)) accept();
}

}  // namespace tallybook::billing::ui
