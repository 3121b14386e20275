#include "company/ui/list_comps.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cstring>

#include "company/company_options.h"
#include "company/keys.h"
#include "company/ui/browser_errors.h"
#include "company/ui/comp_set.h"
#include "company/ui/find_box.h"
#include "company/ui/list_window.h"
#include "platform/message.h"
#include "platform/modal_windows.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

using platform::qt::ToQString;

TListComps::TListComps(App& app, PasswordPrompt prompt, QWidget* parent)
    : QDialog(parent), app_(app), prompt_(std::move(prompt)), manager_(app) {
  setWindowTitle(kCompanyManagerCaption);

  auto* tools = new QWidget(this);
  BuildMenus(tools);

  CompBrowser = new store::ui::TFvcBrowser(this);
  ShowBrowserErrors(*CompBrowser, app);
  CompBrowser->setFont(platform::qt::ToQFont(ManagersFontOf(app.CurrentCompany)));
  CompBrowser->SetHeader(CompanyListHeader());
  CompBrowser->OnBuildRow = [this](store::RowRec& rr) {
    rr.Row = {rr.Status == 0 ? CompanyRow(row_record_) : std::string()};
    return 0;
  };
  CompBrowser->setContextMenuPolicy(Qt::NoContextMenu);
  CompBrowser->installEventFilter(this);
  CompBrowser->viewport()->installEventFilter(this);

  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  StatusCount = new QLabel(this);
  StatusHint = new QLabel(kIdleHint, this);
  status->addWidget(StatusCount);
  status->addWidget(StatusHint, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_bar_);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->addWidget(tools);
  layout->addWidget(CompBrowser, 1);
  layout->addWidget(status);
  resize(620, 420);

  options_dialog_ = [this](CompanyRecord& record, OptionsMode mode) {
    TCompSet dialog(
        app_, record, mode,
        [this](const std::string& number) { return manager_.NumberExists(number); },
        this);
    return dialog.Execute() == platform::kModalOk;
  };
  list_window_ = [this](const std::string& path, const std::string& caption,
                        const std::string& list_name) {
    TListWindow window(app_, this);
    window.SetCaption(caption);
    window.SetListName(list_name);
    if (window.LoadFile(path)) window.Execute();
  };
}

TListComps::~TListComps() { manager_.Close(); }

void TListComps::BuildMenus(QWidget* tools_host) {
  auto* bar = new QMenuBar(this);
  QMenu* company = bar->addMenu("&Company");
  AddItem = company->addAction("&Add");
  EditItem = company->addAction("&Edit");
  DeleteItem = company->addAction("&Delete");
  SetDefaultItem = company->addAction("&Set As Default");
  FindItem = company->addAction("&Find");
  ListItem = company->addAction("Company &List");
  company->addSeparator();
  CloseItem = company->addAction("&Close");
  QMenu* display = bar->addMenu("&Display");
  ByNumberItem = display->addAction("By &Number");
  ByNameItem = display->addAction("By N&ame");
  ByNumberItem->setCheckable(true);
  ByNameItem->setCheckable(true);
  ByNumberItem->setChecked(true);
  display->addSeparator();
  PrintWindowItem = display->addAction("Print &Window");

  PopupMenu = new QMenu(this);
  for (QAction* item : {AddItem, EditItem, DeleteItem, SetDefaultItem,
                        FindItem, ListItem, CloseItem}) {
    PopupMenu->addAction(item);
  }

  connect(AddItem, &QAction::triggered, this, [this] { AddClick(); });
  connect(EditItem, &QAction::triggered, this, [this] { EditClick(); });
  connect(DeleteItem, &QAction::triggered, this, [this] { DeleteClick(); });
  connect(SetDefaultItem, &QAction::triggered, this, [this] { SetDefaultClick(); });
  connect(FindItem, &QAction::triggered, this, [this] { FindClick(); });
  connect(ListItem, &QAction::triggered, this, [this] { CompanyListClick(); });
  connect(CloseItem, &QAction::triggered, this, &QDialog::reject);
  connect(ByNumberItem, &QAction::triggered, this, [this] { ByNumberClick(); });
  connect(ByNameItem, &QAction::triggered, this, [this] { ByNameClick(); });
  connect(PrintWindowItem, &QAction::triggered, this, [this] { PrintWindowClick(); });

  auto* row = new QHBoxLayout(tools_host);
  row->setContentsMargins(0, 0, 0, 0);
  auto button = [&](const char* text, QAction* action,
                    std::initializer_list<const char*> icons) {
    auto* b = new QToolButton(tools_host);
    b->setText(text);
    b->setToolTip(text);
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    platform::qt::SetThemeIcon(b, icons);
    if (action) connect(b, &QToolButton::clicked, action, &QAction::trigger);
    row->addWidget(b);
    return b;
  };
  NewButton = button("New", AddItem, {"document-new"});
  EditButton = button("Edit", EditItem, {"document-edit", "document-properties"});
  DeleteButton = button("Delete", DeleteItem, {"edit-delete"});
  FindButton = button("Find", FindItem, {"edit-find"});
  ListButton = button("Company List", ListItem, {"view-list", "text-x-generic"});
  CloseButton = button("Close", CloseItem, {"window-close"});
  HelpButton = button("Help", nullptr, {"help-contents", "help-browser"});
  connect(HelpButton, &QToolButton::clicked, this,
          [this] { app_.services().help.ShowHelp(kCompanyHelpTopic); });
  platform::qt::SetManagerKeys({.add = AddItem, .edit = EditItem,
                                .remove = DeleteItem, .find = FindItem,
                                .close = CloseItem});
  platform::qt::HelpOnF1(this, [this] { HelpButton->click(); });
  row->addStretch(1);
  menu_bar_ = bar;
}

bool TListComps::FormShow() {
  if (!manager_.IsOpen() && !manager_.Open()) return false;
  CompBrowser->AttachBrowseList(std::make_unique<store::BrowseList>(
      app_.engine(), manager_.list().handle(), kCompanyNoKey,
      std::span<uint8_t>(reinterpret_cast<uint8_t*>(&row_record_),
                         sizeof(row_record_)),
      "", ""));
  CompBrowser->SetAndUpdate(manager_.CurrentCompanyKey(), 0);
  UpdateCount();
  return true;
}

int TListComps::Execute() {
  if (!FormShow()) return kListCompsOpenFailed;
  const int result =
      app_.services().windows.RunModal(kListCompsName, [this] { return exec(); });
  manager_.Close();
  return result;
}

void TListComps::UpdateCount() {
  StatusCount->setText(ToQString(CompaniesStatusText(manager_.CompanyCount())));
}

void TListComps::PositionOn(int32_t rec_no) {
  CompanyRecord record;
  if (rec_no <= 0 ||
      !app_.engine().GetRecord(manager_.list().handle(), rec_no, &record)) {
    CompBrowser->SetAndUpdate(CompBrowser->CurrentKey(), CompBrowser->CurrentRef());
    return;
  }
  CompBrowser->SetAndUpdate(BuildKey(record, CompBrowser->CurrentKeyNumber()),
                            rec_no);
}

void TListComps::AddClick() {
  if (std::optional<int32_t> rec_no = manager_.AddCompany(options_dialog_)) {
    PositionOn(*rec_no);
  }
  UpdateCount();
}

void TListComps::EditClick() {
  const int32_t rec_no = CompBrowser->CurrentRef();
  if (rec_no == 0) return;
  const EditResult result = manager_.EditCompany(rec_no, prompt_, options_dialog_);
  if (result == EditResult::kSavedCurrent) {
    accept();
    return;
  }
  PositionOn(rec_no);
}

void TListComps::DeleteClick() {
  const int32_t rec_no = CompBrowser->CurrentRef();
  if (rec_no == 0) return;
  const std::string key = CompBrowser->CurrentKey();
  if (manager_.DeleteCompany(rec_no, prompt_)) {
    // The row after the deleted one takes its place.
    CompBrowser->SetAndUpdate(key, rec_no);
    UpdateCount();
  }
}

void TListComps::SetDefaultClick() {
  const int32_t rec_no = CompBrowser->CurrentRef();
  if (rec_no != 0 && manager_.SetAsDefault(rec_no)) accept();
}

void TListComps::FindClick() {
  TFindBox find(app_, manager_.list().handle(), CompanyFindMode(), this);
  if (find.Execute() != platform::kModalOk) return;
  const int32_t rec_no = manager_.FindCompany(find.chosen_first_column());
  if (rec_no != 0) PositionOn(rec_no);
}

void TListComps::CompanyListClick() { manager_.CompanyList(list_window_); }

void TListComps::SwitchKey(int key_no) {
  ByNumberItem->setChecked(key_no == kCompanyNoKey);
  ByNameItem->setChecked(key_no == kCompanyNameKey);
  const int32_t rec_no = CompBrowser->CurrentRef();
  CompBrowser->SetKeyNumber(key_no);
  PositionOn(rec_no);
}

void TListComps::ByNumberClick() { SwitchKey(kCompanyNoKey); }
void TListComps::ByNameClick() { SwitchKey(kCompanyNameKey); }

void TListComps::PrintWindowClick() {
  const std::optional<std::string> where =
      PrintWindowImage(app_, *this, kCompanyManagerCaption);
  if (!where) return;
  StatusHint->setText(ToQString(*where));
  app_.ShowStatus(*where);
}

bool TListComps::eventFilter(QObject* watched, QEvent* event) {
  if (watched == CompBrowser->viewport()) {
    if (event->type() == QEvent::MouseButtonDblClick) {
      SetDefaultClick();
      return true;
    }
    if (event->type() == QEvent::ContextMenu) {
      PopupMenu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
  }
  if (watched == CompBrowser && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      SetDefaultClick();
      return true;
    }
    if (key == Qt::Key_Delete) {
      DeleteClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tallybook::company::ui
