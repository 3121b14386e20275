#include "platform/qt/window_patterns.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStringList>
#include <QTextEdit>
#include <algorithm>
#include <utility>

namespace tallybook::platform::qt {

void UseDesktopIconTheme() {
  // Without a desktop (the offscreen platform, a bare X session) Qt does
  // not know where themes live; the freedesktop places are these.
  QStringList paths = QIcon::themeSearchPaths();
  QStringList data_dirs =
      qEnvironmentVariable("XDG_DATA_DIRS").split(':', Qt::SkipEmptyParts);
  if (data_dirs.isEmpty()) {
    data_dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
  }
  data_dirs.prepend(QDir::homePath() + QStringLiteral("/.local/share"));
  for (const QString& dir : data_dirs) {
    const QString icons = dir + QStringLiteral("/icons");
    if (!paths.contains(icons) && QDir(icons).exists()) paths.append(icons);
  }
  QIcon::setThemeSearchPaths(paths);
  if (QIcon::fallbackThemeName().isEmpty() ||
      QIcon::fallbackThemeName() == QStringLiteral("hicolor")) {
    QIcon::setFallbackThemeName(kFallbackIconTheme);
  }
  // Without a desktop the theme is empty and even the fallback is not
  // searched.
  if (QIcon::themeName().isEmpty()) QIcon::setThemeName(kFallbackIconTheme);
}

QIcon ThemeIcon(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const QString theme_name = QString::fromLatin1(name);
    if (QIcon::hasThemeIcon(theme_name)) return QIcon::fromTheme(theme_name);
  }
  return QIcon();
}

bool SetThemeIcon(QAbstractButton* button,
                  std::initializer_list<const char*> names) {
  const QIcon icon = ThemeIcon(names);
  if (icon.isNull()) return false;
  button->setIcon(icon);
  return true;
}

void CloseOnEscape(QWidget* window) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  escape->setContext(Qt::WindowShortcut);
  QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

void FitWidthToTitle(QWidget* window) {
  // Title bars use a bolder, often larger face than the window's text.
  QFont title_font = QApplication::font("QMdiSubWindowTitleBar");
  title_font.setBold(true);
  title_font.setPointSizeF(title_font.pointSizeF() * 1.2);
  const int title = QFontMetrics(title_font).horizontalAdvance(window->windowTitle());
  window->setMinimumWidth(std::max(window->minimumWidth(),
                                   title + kTitleBarButtonsWidth));
}

// ---- Unsaved changes.

QString FormChanges::Snapshot() const {
  QString text;
  auto add = [&text](const QString& part) {
    text += part;
    text += QChar(0x1F);  // a separator no field holds
  };
  // Windows the form owns (a chooser, an amount dialog) are not the form.
  const QWidget* window = form_->window();
  auto own = [window](const QWidget* widget) { return widget->window() == window; };
  for (const QLineEdit* edit : form_->findChildren<QLineEdit*>()) {
    if (!own(edit)) continue;
    // An open cell editor holds the cell's text until it is committed.
    const QWidget* viewport = edit->parentWidget();
    if (viewport != nullptr &&
        qobject_cast<const QAbstractItemView*>(viewport->parentWidget())) {
      continue;
    }
    add(edit->text());
  }
  for (const QPlainTextEdit* edit : form_->findChildren<QPlainTextEdit*>()) {
    if (own(edit)) add(edit->toPlainText());
  }
  for (const QTextEdit* edit : form_->findChildren<QTextEdit*>()) {
    if (own(edit) && !edit->isReadOnly()) add(edit->toPlainText());
  }
  for (const QComboBox* combo : form_->findChildren<QComboBox*>()) {
    if (own(combo)) add(combo->currentText());
  }
  for (const QAbstractButton* button : form_->findChildren<QAbstractButton*>()) {
    if (own(button) && button->isCheckable()) add(button->isChecked() ? "1" : "0");
  }
  for (const QAbstractItemView* view : form_->findChildren<QAbstractItemView*>()) {
    const QAbstractItemModel* model = view->model();
    if (!own(view) || model == nullptr ||
        view->editTriggers() == QAbstractItemView::NoEditTriggers) {
      continue;
    }
    for (int r = 0; r < model->rowCount(); ++r) {
      for (int c = 0; c < model->columnCount(); ++c) {
        add(model->index(r, c).data().toString());
      }
    }
  }
  return text;
}

void FormChanges::Reset() {
  snapshot_ = Snapshot();
  marked_ = false;
}

bool FormChanges::HasChanges() const {
  return marked_ || Snapshot() != snapshot_;
}

bool MayDiscardChanges(platform::Messages& messages,
                       const FormChanges& changes) {
  if (!changes.HasChanges()) return true;
  return platform::ConfirmDefaultNo(messages, kDiscardChangesCaption,
                                    kDiscardChangesQuestion);
}

// ---- Keys.

QKeySequence KeysOf(StandardKey key) {
  switch (key) {
    case StandardKey::kNew: return QKeySequence(Qt::CTRL | Qt::Key_N);
    case StandardKey::kEdit: return QKeySequence(Qt::CTRL | Qt::Key_E);
    case StandardKey::kDelete: return QKeySequence(Qt::Key_Delete);
    case StandardKey::kFind: return QKeySequence(Qt::CTRL | Qt::Key_F);
    case StandardKey::kPrint: return QKeySequence(Qt::CTRL | Qt::Key_P);
    case StandardKey::kClose: return QKeySequence(Qt::CTRL | Qt::Key_W);
    case StandardKey::kSave: return QKeySequence(Qt::CTRL | Qt::Key_S);
    case StandardKey::kHelp: return QKeySequence(Qt::Key_F1);
  }
  return QKeySequence();
}

void SetStandardKeys(QAction* action, StandardKey key) {
  action->setShortcut(KeysOf(key));
  action->setShortcutContext(Qt::WindowShortcut);
  action->setShortcutVisibleInContextMenu(true);
}

void SetManagerKeys(const ManagerCommands& commands) {
  const std::pair<QAction*, StandardKey> keyed[] = {
      {commands.add, StandardKey::kNew},     {commands.edit, StandardKey::kEdit},
      {commands.remove, StandardKey::kDelete}, {commands.find, StandardKey::kFind},
      {commands.print, StandardKey::kPrint}, {commands.close, StandardKey::kClose},
      {commands.help, StandardKey::kHelp}};
  for (const auto& [action, key] : keyed) {
    if (action != nullptr) SetStandardKeys(action, key);
  }
}

void HelpOnF1(QWidget* window, std::function<void()> show_help) {
  auto* f1 = new QShortcut(KeysOf(StandardKey::kHelp), window);
  f1->setContext(Qt::WindowShortcut);
  QObject::connect(f1, &QShortcut::activated, window, std::move(show_help));
}

void PressOnKeys(QWidget* window, const QKeySequence& keys,
                 QAbstractButton* button) {
  auto* shortcut = new QShortcut(keys, window);
  shortcut->setContext(Qt::WindowShortcut);
  QObject::connect(shortcut, &QShortcut::activated, button, [button] {
    if (button->isEnabled() && button->isVisible()) button->click();
  });
}

void UseFormKeys(QWidget* window, QAbstractButton* ok,
                 std::function<void()> show_help) {
  auto* close = new QShortcut(KeysOf(StandardKey::kClose), window);
  close->setContext(Qt::WindowShortcut);
  QObject::connect(close, &QShortcut::activated, window, &QWidget::close);
  if (ok != nullptr) PressOnKeys(window, KeysOf(StandardKey::kSave), ok);
  if (show_help) HelpOnF1(window, std::move(show_help));
}

}  // namespace tallybook::platform::qt
