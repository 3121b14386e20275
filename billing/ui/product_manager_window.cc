#include "billing/ui/product_manager_window.h"

#include <cstring>

#include "billing/customer_product_support.h"
#include "billing/ui/product_dialog.h"
#include "company/keys.h"
#include "company/text.h"
#include "company/ui/find_box.h"
#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

using platform::qt::ToQString;

TEditProd::TEditProd(company::App& app, QWidget* parent)
    : TManagerWindow(app, kProductManagerCaption, parent), manager_(app) {
  Label1 = new QLabel(
      ToQString(app.CurrentCompany.CompanyName.Get() + " - #" +
                app.CurrentCompanyNo()),
      this);
  static_cast<QBoxLayout*>(layout())->insertWidget(0, Label1);
  Browser->SetHeader(ProductHeader());
  Browser->OnBuildRow = [this](store::RowRec& rr) {
    rr.Row = {rr.Status == 0 ? ProductRow(row_record_)
                             : kUnreadableRowPrefix + rr.Key};
    return 0;
  };
  Browser->OnRowChanged = [this] { UpdateCount(); };

  QMenu* product = menu_bar()->addMenu("&Product");
  Add1 = product->addAction("&New");
  Edit1 = product->addAction("&Edit");
  Delete1 = product->addAction("&Delete");
  Search1 = product->addAction("&Find");
  ProductList1 = product->addAction("Product &List");
  product->addSeparator();
  Close2 = product->addAction("&Close");
  QMenu* display = menu_bar()->addMenu("&Display");
  Code1 = display->addAction("By &Code");
  ByDescription1 = display->addAction("By &Description");
  Code1->setCheckable(true);
  ByDescription1->setCheckable(true);
  display->addSeparator();
  PrintWindow1 = display->addAction("Print &Window");
  QMenu* help = menu_bar()->addMenu("&Help");
  New1 = help->addAction("&Overview");
  platform::qt::SetManagerKeys({.add = Add1, .edit = Edit1, .remove = Delete1,
                                .find = Search1, .close = Close2, .help = New1});

  Add2 = PopupMenu->addAction("&New");
  Edit2 = PopupMenu->addAction("&Edit");
  Delete2 = PopupMenu->addAction("&Delete");
  Search2 = PopupMenu->addAction("&Find");

  for (QAction* a : {Add1, Add2}) connect(a, &QAction::triggered, this, [this] { AddClick(); });
  for (QAction* a : {Edit1, Edit2}) connect(a, &QAction::triggered, this, [this] { EditClick(); });
  for (QAction* a : {Delete1, Delete2}) {
    connect(a, &QAction::triggered, this, [this] { DeleteClick(); });
  }
  for (QAction* a : {Search1, Search2}) connect(a, &QAction::triggered, this, [this] { FindClick(); });
  connect(ProductList1, &QAction::triggered, this, [this] { ProductListClick(); });
  connect(Close2, &QAction::triggered, this, &QDialog::reject);
  connect(Code1, &QAction::triggered, this, [this] { ByCodeClick(); });
  connect(ByDescription1, &QAction::triggered, this, [this] { ByDescriptionClick(); });
  connect(PrintWindow1, &QAction::triggered, this, [this] { PrintWindowClick(); });
  connect(New1, &QAction::triggered, this, [this] {
    this->app().services().help.ShowHelp(kProductManagerHelpTopic);
  });

  NewProd = AddToolButton("New", {"document-new"}, Add1);
  EditInvoice =
      AddToolButton("Edit", {"document-edit", "document-properties"}, Edit1);
  InvDelete = AddToolButton("Delete", {"edit-delete"}, Delete1);
  SpeedButton1 = AddToolButton("Find", {"edit-find"}, Search1);
  ProdListButn =
      AddToolButton("Product List", {"document-print"}, ProductList1);
  SpeedButton2 = AddToolButton("Close", {"window-close"}, Close2);
  SpeedButton3 = AddToolButton("Help", {"help-contents"}, New1);

  product_dialog_ = [this](ProductForm& form, const ProductCheck& check) {
    TUpdProd dialog(this->app(), form, check, this);
    return dialog.Execute();
  };
}

TEditProd::~TEditProd() { manager_.Close(); }

bool TEditProd::FormShow() {
  if (!manager_.IsOpen() && !manager_.Open()) return false;
  company::App& app = this->app();
  const int key_no = app.product_view_key == kProductDescriptionKey
                         ? kProductDescriptionKey
                         : kProductCodeKey;
  Code1->setChecked(key_no == kProductCodeKey);
  ByDescription1->setChecked(key_no == kProductDescriptionKey);
  AttachRecords(manager_.products().handle(), key_no, row_record_,
                app.product_selection_mode ? &app.ChosenProduct : nullptr);
  UpdateCount();
  return true;
}

int TEditProd::Execute() {
  if (!FormShow()) return kManagerOpenFailed;
  const int result =
      app().services().windows.RunModal(kEditProdName, [this] { return exec(); });
  manager_.Close();
  return result;
}

void TEditProd::UpdateCount() {
  StatusPanel0->setText(ToQString(
      ProductsStatusText(manager_.Count(Browser->CurrentKeyNumber()))));
}

void TEditProd::PositionOn(int32_t rec_no) {
  ProductRecord record;
  ShowRecord(manager_.Read(rec_no, record) ? &record : nullptr, rec_no);
  UpdateCount();
}

void TEditProd::AddClick() {
  if (std::optional<int32_t> rec_no = manager_.AddProduct(product_dialog_)) {
    PositionOn(*rec_no);
  }
}

void TEditProd::EditClick() {
  const int32_t rec_no = Browser->CurrentRef();
  if (rec_no == 0) return;
  manager_.EditProduct(rec_no, product_dialog_);
  PositionOn(rec_no);
}

void TEditProd::DeleteClick() {
  const int32_t rec_no = Browser->CurrentRef();
  if (rec_no == 0) return;
  const std::string key = Browser->CurrentKey();
  if (manager_.DeleteProduct(rec_no)) {
    Browser->SetAndUpdate(key, rec_no);
    UpdateCount();
  }
}

void TEditProd::FindClick() {
  company::ui::FindMode mode;
  mode.caption = kFindProductCaption;
  mode.help_topic = kProductManagerHelpTopic;
  mode.key_no = 0;
  mode.record_length = static_cast<int>(sizeof(ProductRecord));
  mode.header = ProductHeader();
  mode.build_row = [](const uint8_t* bytes) {
    ProductRecord record;
    std::memcpy(&record, bytes, sizeof(record));
    return ProductRow(record);
  };
  mode.first_column_width = 10;
  mode.matches = [](const uint8_t* bytes, const std::string& typed) {
    ProductRecord record;
    std::memcpy(&record, bytes, sizeof(record));
    return ProductMatches(record, typed);
  };
  company::ui::TFindBox find(app(), manager_.products().handle(), mode, this);
  if (find.Execute() != platform::kModalOk) return;
  const int32_t rec_no = manager_.FindProduct(find.chosen_first_column());
  if (rec_no != 0) PositionOn(rec_no);
}

void TEditProd::ProductListClick() { manager_.ProductList(list_window()); }

void TEditProd::SwitchKey(int key_no) {
  app().product_view_key = key_no;
  Code1->setChecked(key_no == kProductCodeKey);
  ByDescription1->setChecked(key_no == kProductDescriptionKey);
  const int32_t rec_no = Browser->CurrentRef();
  Browser->SetKeyNumber(key_no);
  PositionOn(rec_no);
}

void TEditProd::ByCodeClick() { SwitchKey(kProductCodeKey); }
void TEditProd::ByDescriptionClick() { SwitchKey(kProductDescriptionKey); }

void TEditProd::ChooseRow() {
  app().ChosenProduct = ProductRecord();
  app().product_chosen = false;
  const int32_t rec_no = Browser->CurrentRef();
  if (rec_no != 0 && manager_.Choose(rec_no)) accept();
}

}  // namespace tallybook::billing::ui
