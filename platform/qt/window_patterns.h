// The habits every window of the program shares, in one place so that each
// new window gets them by one call:
//
//   - tool buttons show an icon of the desktop's icon theme beside or under
//     their caption (freedesktop names; the caption alone where the theme
//     has none of the names given);
//   - Escape closes a window that is not a dialog (dialogs cancel on Escape
//     by themselves);
//   - the icon theme falls back to Adwaita where the desktop names none of
//     its own (a bare X session, the offscreen platform);
//   - a form with changes asks before it discards them (FormChanges and
//     MayDiscardChanges, called from the form's reject(), which Escape,
//     Cancel, Close and the window's close button all reach);
//   - the usual keys: F1 is the help of the active window, the commands a
//     window has take the standard keys (SetStandardKeys; a menu shows
//     them), Ctrl+W closes and Ctrl+S presses a form's OK.
//
// Number fields get their validators from number_fields.h.
#ifndef TALLYBOOK_PLATFORM_QT_WINDOW_PATTERNS_H_
#define TALLYBOOK_PLATFORM_QT_WINDOW_PATTERNS_H_

#include <QAbstractButton>
#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QString>
#include <QWidget>
#include <functional>
#include <initializer_list>

#include "platform/message.h"

namespace tallybook::platform::qt {

// The theme used where the desktop's own theme lacks an icon.
inline constexpr char kFallbackIconTheme[] = "Adwaita";

// Call once after the QApplication exists.
void UseDesktopIconTheme();

// The icon of the first of `names` the theme has; a null icon when none.
QIcon ThemeIcon(std::initializer_list<const char*> names);

// Gives button the icon of the first of `names` the theme has. True when it
// found one; otherwise the button keeps its caption alone.
bool SetThemeIcon(QAbstractButton* button,
                  std::initializer_list<const char*> names);

// Makes Escape close `window` (a top-level widget).
void CloseOnEscape(QWidget* window);

// Room in a title bar for its buttons and frame, beside the title.
inline constexpr int kTitleBarButtonsWidth = 140;
// Widens a small window so that its whole title shows in the title bar
// (window managers cut a title wider than the window: "Re-ent...sword").
// Call after setting the title.
void FitWidthToTitle(QWidget* window);

// ---- Unsaved changes.

inline constexpr char kDiscardChangesCaption[] = "Discard Changes";
inline constexpr char kDiscardChangesQuestion[] =
    "You have changes that are not saved. Close and discard them?";

// What a form shows, compared with what it showed when it was filled: the
// text of every line edit, text box, combo box and table cell and the state
// of every check box and radio button below the form. Labels are left out
// (a running clock is no change); a change only a label shows, such as a
// chosen customer, is marked with MarkChanged.
class FormChanges {
 public:
  explicit FormChanges(const QWidget* form) : form_(form) {}
  // What the form shows now counts as unchanged.
  void Reset();
  void MarkChanged() { marked_ = true; }
  bool HasChanges() const;

 private:
  QString Snapshot() const;

  const QWidget* form_;
  QString snapshot_;
  bool marked_ = false;
};

// True when the form may close: it has no changes, or the user answered Yes
// to "Close and discard them?" (No is the default).
bool MayDiscardChanges(platform::Messages& messages,
                       const FormChanges& changes);

// ---- Keys.

// The commands that have a standard key wherever a window has them.
enum class StandardKey {
  kNew,     // Ctrl+N
  kEdit,    // Ctrl+E
  kDelete,  // Delete
  kFind,    // Ctrl+F
  kPrint,   // Ctrl+P
  kClose,   // Ctrl+W
  kSave,    // Ctrl+S
  kHelp,    // F1
};
QKeySequence KeysOf(StandardKey key);

// Gives action its standard key; a menu shows it beside the caption. The key
// works while the action's window is active.
void SetStandardKeys(QAction* action, StandardKey key);

// The standard keys of a manager's menu-bar commands, in one call; any of
// them may be null where the manager has no such command. Help takes F1.
struct ManagerCommands {
  QAction* add = nullptr;
  QAction* edit = nullptr;
  QAction* remove = nullptr;
  QAction* find = nullptr;
  QAction* print = nullptr;
  QAction* close = nullptr;
  QAction* help = nullptr;
};
void SetManagerKeys(const ManagerCommands& commands);

// Makes F1 in `window` (while it is the active window) call show_help.
void HelpOnF1(QWidget* window, std::function<void()> show_help);

// Makes `keys` in `window` press `button` (when it is enabled): Ctrl+S on a
// form's OK.
void PressOnKeys(QWidget* window, const QKeySequence& keys,
                 QAbstractButton* button);

// The keys of a dialog or form: Ctrl+W closes it (as Escape does), Ctrl+S
// presses ok (when given) and F1 calls show_help (when given).
void UseFormKeys(QWidget* window, QAbstractButton* ok,
                 std::function<void()> show_help);

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_WINDOW_PATTERNS_H_
