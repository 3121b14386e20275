// TListComps ("Company Manager"): lists the companies and creates, edits,
// deletes, finds and selects them, over CompanyManager.
//
// Menu "&Company" (also the list's pop-up menu): "&Add", "&Edit",
// "&Delete", "&Set As Default", "&Find", "Company &List", "&Close". Menu
// "&Display": "By &Number" / "By N&ame" (key 1 or key 2), "Print &Window".
// Tool buttons "New", "Edit", "Delete", "Find", "Company List", "Close",
// "Help". Double click and Enter on a row are "Set As Default", the Delete
// key is "&Delete". The status bar shows "Companies: " and the count.
//
// Execute() opens the company list, shows the window and closes the list.
// It closes with OK after "Set As Default" and after an edit of the current
// company; the caller then applies DecideCompanyChange over chosen() and
// reload_current().
#ifndef TALLYBOOK_COMPANY_UI_LIST_COMPS_H_
#define TALLYBOOK_COMPANY_UI_LIST_COMPS_H_

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <optional>

#include "company/app.h"
#include "company/company_manager.h"
#include "company/password.h"
#include "company/ui/print_window.h"
#include "store/ui/fvc_browser.h"

namespace tallybook::company::ui {

inline constexpr char kListCompsName[] = "TListComps";
inline constexpr char kCompanyHelpTopic[] = "Company";
inline constexpr char kIdleHint[] = "Right-click mouse or select from menu bar.";
// Execute()'s result when the company list could not be opened: the
// program ends.
inline constexpr int kListCompsOpenFailed = 2;

class TListComps : public QDialog {
  Q_OBJECT

 public:
  TListComps(App& app, PasswordPrompt prompt, QWidget* parent = nullptr);
  ~TListComps() override;

  // platform::kModalOk, kModalCancel or kListCompsOpenFailed.
  int Execute();

  // The dialogs the commands open; tests replace them.
  void set_options_dialog(OptionsDialogRunner runner) {
    options_dialog_ = std::move(runner);
  }
  void set_list_window(ListWindowRunner runner) { list_window_ = std::move(runner); }

  CompanyManager& manager() { return manager_; }
  const std::optional<CompanyRecord>& chosen() const { return manager_.chosen(); }
  bool reload_current() const { return manager_.reload_current(); }

  // Opens the list and fills the window (Execute does this first). False
  // after kUnableToOpenCompanies.
  bool FormShow();

  // Controls.
  store::ui::TFvcBrowser* CompBrowser;
  QLabel* StatusCount;
  QLabel* StatusHint;
  QAction* AddItem;
  QAction* EditItem;
  QAction* DeleteItem;
  QAction* SetDefaultItem;
  QAction* FindItem;
  QAction* ListItem;
  QAction* CloseItem;
  QAction* ByNumberItem;
  QAction* ByNameItem;
  QAction* PrintWindowItem;
  QMenu* PopupMenu;
  QToolButton* NewButton;
  QToolButton* EditButton;
  QToolButton* DeleteButton;
  QToolButton* FindButton;
  QToolButton* ListButton;
  QToolButton* CloseButton;
  QToolButton* HelpButton;

  // Handlers.
  void AddClick();
  void EditClick();
  void DeleteClick();
  void SetDefaultClick();
  void FindClick();
  void CompanyListClick();
  void ByNumberClick();
  void ByNameClick();
  void PrintWindowClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus(QWidget* tools_host);
  // Makes rec_no current in the list's present order.
  void PositionOn(int32_t rec_no);
  void SwitchKey(int key_no);
  void UpdateCount();

  App& app_;
  QMenuBar* menu_bar_ = nullptr;
  PasswordPrompt prompt_;
  CompanyManager manager_;
  CompanyRecord row_record_;  // the browse list's record buffer
  OptionsDialogRunner options_dialog_;
  ListWindowRunner list_window_;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_LIST_COMPS_H_
