// TManagerWindow: the frame the customer and product managers share - a
// menu bar, a tool button row, the record browser, a right-click menu over
// the row under the pointer (the browser selects it on the press), the Delete key, Enter and
// double-click on a row, Escape to close, and a two-panel status bar (the
// count, then hints and results). Each manager fills the menus and buttons
// and gives what choosing and deleting do.
#ifndef TALLYBOOK_BILLING_UI_CUSTOMER_PRODUCT_WINDOW_H_
#define TALLYBOOK_BILLING_UI_CUSTOMER_PRODUCT_WINDOW_H_

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>

#include "company/app.h"
#include "company/company_manager.h"
#include "company/keys.h"
#include "company/text.h"
#include "store/browse_list.h"
#include "store/ui/fvc_browser.h"

namespace tallybook::billing::ui {

inline constexpr char kPrintWindowFailed[] =
    "The window could not be printed: ";

class TManagerWindow : public QDialog {
  Q_OBJECT

 public:
  TManagerWindow(company::App& app, const std::string& caption,
                 QWidget* parent);

  // The text list window the list commands open; tests replace it.
  void set_list_window(company::ListWindowRunner runner) {
    list_window_ = std::move(runner);
  }

  store::ui::TFvcBrowser* Browser;
  QLabel* StatusPanel0;
  QLabel* StatusPanel1;
  QMenu* PopupMenu;

  // Prints a picture of the window as one job titled with its caption.
  void PrintWindowClick();

 protected:
  // Double-click or Enter on a row.
  virtual void ChooseRow() = 0;
  // The Delete key.
  virtual void DeleteRow() = 0;

  // A tool button in the row, with a theme icon when the theme has one,
  // that triggers action (when given).
  QToolButton* AddToolButton(const char* text,
                             std::initializer_list<const char*> icons,
                             QAction* action);
  QMenuBar* menu_bar() { return menu_bar_; }
  company::App& app() { return app_; }
  const company::ListWindowRunner& list_window() const { return list_window_; }
  // Puts a text in status panel 1.
  void ShowHint(const std::string& text);
  // An error message captioned with the window's caption.
  void ShowFailure(const std::string& text);

  bool eventFilter(QObject* watched, QEvent* event) override;

  // Lists the open file `handle` in the order of key `key_no`, each row read
  // into `row`. The list starts at `start`'s key for that view when one is
  // given and not blank (a caller choosing from the list), else at the top.
  // When that positioning search fails, `search_failed` (when given) is
  // shown in place of the store's own error and the list starts at the top.
  template <typename Record>
  void AttachRecords(store::FileHandle handle, int key_no, Record& row,
                     const Record* start, const char* search_failed = nullptr) {
    Browser->AttachBrowseList(std::make_unique<store::BrowseList>(
        app_.engine(), handle, key_no,
        std::span<uint8_t>(reinterpret_cast<uint8_t*>(&row), sizeof(row)),
        "", ""));
    std::string start_key;
    if (start != nullptr) {
      const std::string key = company::BuildKey(*start, key_no);
      if (!company::Trim(key).empty()) start_key = key;
    }
    if (start_key.empty() || search_failed == nullptr) {
      Browser->SetAndUpdate(start_key, 0);
    } else if (!PositionedOn(start_key)) {
      ShowFailure(search_failed);
      Browser->SetAndUpdate("", 0);
    }
  }

  // Puts the list on record rec_no as just written (`record`), or refreshes
  // it where it stands when the record could not be read back (nullptr).
  template <typename Record>
  void ShowRecord(const Record* record, int32_t rec_no) {
    if (record == nullptr) {
      Browser->SetAndUpdate(Browser->CurrentKey(), Browser->CurrentRef());
    } else {
      Browser->SetAndUpdate(
          company::BuildKey(*record, Browser->CurrentKeyNumber()), rec_no);
    }
  }

 private:
  // Puts the list at the first entry at or after key; false when the store
  // failed on the way (its error is not shown).
  bool PositionedOn(const std::string& key);

  company::App& app_;
  std::string caption_;
  QMenuBar* menu_bar_;
  QHBoxLayout* tool_row_;
  company::ListWindowRunner list_window_;
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_CUSTOMER_PRODUCT_WINDOW_H_
