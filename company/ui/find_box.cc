#include "company/ui/find_box.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <cstring>

#include "company/company_manager.h"
#include "company/company_options.h"
#include "company/keys.h"
#include "company/records.h"
#include "company/text.h"
#include "company/ui/browser_errors.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

FindMode CompanyFindMode() {
  FindMode mode;
  mode.caption = kFindCompanyCaption;
  mode.help_topic = "Company";
  mode.key_no = kCompanyNameKey;
  mode.record_length = static_cast<int>(sizeof(CompanyRecord));
  mode.header = PadRight("Number", 6) + " Company Name";
  mode.build_row = [](const uint8_t* bytes) {
    CompanyRecord record;
    std::memcpy(&record, bytes, sizeof(record));
    return PadRight(record.CompanyNo.View(), 6) + " " + record.CompanyName.Get();
  };
  // Names are keyed upper-cased; the typed start is compared the same way.
  mode.search_key = [](const std::string& typed) {
    return UpperCase1252(Trim(typed));
  };
  mode.first_column_width = 6;
  return mode;
}

std::string FirstColumnOf(const std::string& row, int width) {
  return Trim(std::string_view(row).substr(0, static_cast<size_t>(width)));
}

TFindBox::TFindBox(App& app, store::FileHandle handle, FindMode mode,
                   QWidget* parent)
    : QDialog(parent),
      app_(app),
      mode_(std::move(mode)),
      buffer_(static_cast<size_t>(mode_.record_length)) {
  setWindowTitle(ToQString(mode_.caption));
  FindEdit = new QLineEdit(this);
  FindEdit->setMaxLength(mode_.max_typed);
  FindBrowser = new store::ui::TFvcBrowser(this);
  ShowBrowserErrors(*FindBrowser, app);
  FindBrowser->setFont(platform::qt::ToQFont(ManagersFontOf(app.CurrentCompany)));
  FindBrowser->SetHeader(mode_.header);
  FindBrowser->OnBuildRow = [this](store::RowRec& rr) {
    rr.Row = {rr.Status == 0 && mode_.build_row ? mode_.build_row(buffer_.data())
                                                : std::string()};
    return 0;
  };
  if (mode_.matches) {
    FindBrowser->OnPerformFilter = [this](store::RowRec& rr, bool& use_it) {
      use_it = FindBrowser->BuildRowFor(rr) == 0 && rr.Status == 0 &&
               mode_.matches(buffer_.data(), typed_);
    };
    FindBrowser->SetFilterEnabled(true);
  }
  FindBrowser->viewport()->installEventFilter(this);
  FindBrowser->installEventFilter(this);
  FindBrowser->AttachBrowseList(std::make_unique<store::BrowseList>(
      app.engine(), handle, mode_.key_no, std::span<uint8_t>(buffer_), "", ""));
  FindBrowser->SetAndUpdate("", 0);

  OKButton = new QPushButton("OK", this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  HelpButton = new QPushButton("Help", this);
  connect(FindEdit, &QLineEdit::textEdited, this, [this] { FindEditChange(); });
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this,
          [this] { app_.services().help.ShowHelp(mode_.help_topic); });
  platform::qt::HelpOnF1(this, [this] { HelpButton->click(); });

  auto* find_row = new QHBoxLayout;
  find_row->addWidget(new QLabel(kFindLabel, this));
  find_row->addWidget(FindEdit, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(find_row);
  layout->addWidget(FindBrowser, 1);
  layout->addLayout(buttons);
  resize(520, 360);
  FindEdit->setFocus();
}

int TFindBox::Execute() {
  return app_.services().windows.RunModal(kFindBoxName, [this] { return exec(); });
}

void TFindBox::FindEditChange() {
  const std::string typed = FromQString(FindEdit->text());
  if (mode_.matches) {
    typed_ = typed;
    FindBrowser->SetAndUpdate("", 0);
    return;
  }
  FindBrowser->SetAndUpdate(mode_.search_key ? mode_.search_key(typed) : typed, 0);
}

void TFindBox::OKButtonClick() {
  chosen_ref_ = 0;
  chosen_first_column_.clear();
  store::BrowseList* list = FindBrowser->browse_list();
  if (list != nullptr && list->CurrentRow() > 0) {
    const store::RowRec& row = list->RowAt(list->CurrentRow());
    chosen_ref_ = row.Ref;
    if (!row.Row.empty()) {
      chosen_first_column_ = FirstColumnOf(row.Row[0], mode_.first_column_width);
    }
  }
  if (chosen_ref_ == 0) {
    reject();
    return;
  }
  accept();
}

bool TFindBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick &&
      watched == FindBrowser->viewport()) {
    OKButtonClick();
    return true;
  }
  if (event->type() == QEvent::KeyPress && watched == FindBrowser) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OKButtonClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tallybook::company::ui
