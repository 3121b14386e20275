#include "billing/ui/customer_product_window.h"

#include <utility>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include "billing/customer_product_support.h"
#include "company/company_options.h"
#include "company/text.h"
#include "company/ui/browser_errors.h"
#include "company/ui/list_window.h"
#include "platform/message.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

using platform::qt::ToQString;

TManagerWindow::TManagerWindow(company::App& app, const std::string& caption,
                               QWidget* parent)
    : QDialog(parent), app_(app), caption_(caption) {
  setWindowTitle(ToQString(caption));
  menu_bar_ = new QMenuBar(this);
  auto* tools = new QWidget(this);
  tool_row_ = new QHBoxLayout(tools);
  tool_row_->setContentsMargins(0, 0, 0, 0);
  tool_row_->addStretch(1);

  Browser = new store::ui::TFvcBrowser(this);
  company::ui::ShowBrowserErrors(*Browser, app);
  Browser->setFont(
      platform::qt::ToQFont(company::ManagersFontOf(app.CurrentCompany)));
  Browser->setContextMenuPolicy(Qt::NoContextMenu);
  // Typed characters search the upper-cased keys.
  Browser->OnKeyPress = [](char& key) { key = company::UpperChar1252(key); };
  Browser->installEventFilter(this);
  Browser->viewport()->installEventFilter(this);
  PopupMenu = new QMenu(this);

  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  StatusPanel0 = new QLabel(this);
  StatusPanel1 = new QLabel(kIdleHint, this);
  status->addWidget(StatusPanel0);
  status->addWidget(StatusPanel1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_bar_);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->addWidget(tools);
  layout->addWidget(Browser, 1);
  layout->addWidget(status);
  resize(860, 480);

  list_window_ = [this](const std::string& path, const std::string& title,
                        const std::string& list_name) {
    company::ui::TListWindow window(app_, this);
    window.SetCaption(title);
    window.SetListName(list_name);
    if (window.LoadFile(path)) window.Execute();
  };
}

QToolButton* TManagerWindow::AddToolButton(
    const char* text, std::initializer_list<const char*> icons,
    QAction* action) {
  auto* button = new QToolButton(this);
  button->setText(text);
  button->setToolTip(text);
  button->setAutoRaise(true);
  if (platform::qt::SetThemeIcon(button, icons)) {
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  }
  if (action != nullptr) {
    connect(button, &QToolButton::clicked, action, &QAction::trigger);
    button->setEnabled(action->isEnabled());
    connect(action, &QAction::changed, button,
            [button, action] { button->setEnabled(action->isEnabled()); });
  }
  // Before the stretch that closes the row.
  tool_row_->insertWidget(tool_row_->count() - 1, button);
  return button;
}

void TManagerWindow::ShowHint(const std::string& text) {
  StatusPanel1->setText(ToQString(text));
}

void TManagerWindow::ShowFailure(const std::string& text) {
  platform::ShowError(app_.services().messages, caption_, text);
}

bool TManagerWindow::PositionedOn(const std::string& key) {
  bool failed = false;
  auto report = std::exchange(
      Browser->OnError, [&failed](const std::string&) { failed = true; });
  Browser->SetAndUpdate(key, 0);
  Browser->OnError = std::move(report);
  return !failed;
}

void TManagerWindow::PrintWindowClick() {
  QTemporaryDir dir;
  const QString file = dir.filePath("window.png");
  const bool saved = dir.isValid() && grab().save(file, "PNG");
  platform::Printer& printer = app_.services().printer;
  std::unique_ptr<platform::Canvas> canvas =
      saved ? printer.BeginJob(caption_) : nullptr;
  if (!canvas) {
    ShowFailure(kPrintWindowFailed +
                (saved ? printer.LastError()
                       : std::string("no picture of the window")));
    return;
  }
  const QSize size = this->size();
  const int width = canvas->PageWidth();
  const int height = size.width() > 0 ? width * size.height() / size.width() : 0;
  canvas->DrawBitmap({0, 0, width, height},
                     platform::qt::PathFromQString(file));
  const platform::PrintJobStatus status = canvas->EndJob();
  if (!status.ok) {
    ShowFailure(kPrintWindowFailed + status.error);
    return;
  }
  ShowHint(caption_ + (status.to_file ? " written to " : " sent to ") +
           status.destination + ".");
}

bool TManagerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Browser->viewport()) {
    if (event->type() == QEvent::MouseButtonDblClick) {
      ChooseRow();
      return true;
    }
    if (event->type() == QEvent::ContextMenu) {
      // The browser selected the row under the pointer on the press.
      PopupMenu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
  }
  if (watched == Browser && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ChooseRow();
      return true;
    }
    if (key == Qt::Key_Delete) {
      DeleteRow();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tallybook::billing::ui
