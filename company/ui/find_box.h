// TFindBox: the find window the managers open to pick one record of their
// file by typing the start of its name. A FindMode says what is searched:
// the caption, the key the list is browsed by, how a record becomes a row,
// and how the typed text becomes a key. The company manager uses
// CompanyFindMode; the customer, product and invoice managers bring modes
// of their own.
//
// Typing in the find field positions the list at the first row whose key
// is at or after the typed text; in a mode with a matches filter it lists
// the records that contain the typed text instead. OK, Enter or a double click chooses the
// current row: its record number and the text of its first column (the
// record's number, which the caller looks up by its own key).
#ifndef TALLYBOOK_COMPANY_UI_FIND_BOX_H_
#define TALLYBOOK_COMPANY_UI_FIND_BOX_H_

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "company/app.h"
#include "store/engine.h"
#include "store/ui/fvc_browser.h"

namespace tallybook::company::ui {

inline constexpr char kFindBoxName[] = "TFindBox";
inline constexpr char kFindLabel[] = "Find:";

struct FindMode {
  std::string caption;
  std::string help_topic;
  int key_no = 1;         // the key the list is browsed and searched by
  int record_length = 0;  // of the file's records
  std::string header;     // over the rows
  // The row of a record (raw bytes of record_length).
  std::function<std::string(const uint8_t* record)> build_row;
  // The key to position at for the typed text.
  std::function<std::string(const std::string& typed)> search_key;
  // Characters of a row that form its first column.
  int first_column_width = 0;
  // The longest text the find field takes.
  int max_typed = store::kMaxKeyLength;
  // When set, the window lists, in file order (key_no 0), only the records
  // this accepts for the typed text, instead of positioning by key: the
  // "contains" search of the customer, product and invoice modes.
  std::function<bool(const uint8_t* record, const std::string& typed)> matches;
};

// Companies by name, each row "number name".
FindMode CompanyFindMode();

// The first column of a row: its first width characters, trimmed.
std::string FirstColumnOf(const std::string& row, int width);

class TFindBox : public QDialog {
  Q_OBJECT

 public:
  // Over the open file block handle of app's engine.
  TFindBox(App& app, store::FileHandle handle, FindMode mode,
           QWidget* parent = nullptr);

  // Shows the window modally through the platform; its result.
  int Execute();

  // The chosen row after OK: record number (0 when none) and first column.
  int32_t chosen_ref() const { return chosen_ref_; }
  const std::string& chosen_first_column() const { return chosen_first_column_; }

  QLineEdit* FindEdit;
  store::ui::TFvcBrowser* FindBrowser;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  // Handlers.
  void FindEditChange();
  void OKButtonClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  App& app_;
  FindMode mode_;
  std::vector<uint8_t> buffer_;
  int32_t chosen_ref_ = 0;
  std::string chosen_first_column_;
  std::string typed_;  // what the matches filter looks for
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_FIND_BOX_H_
