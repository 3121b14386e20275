// The habits every window of the program shares, in one place so that each
// new window gets them by one call:
//
//   - tool buttons show an icon of the desktop's icon theme beside or under
//     their caption (freedesktop names; the caption alone where the theme
//     has none of the names given);
//   - Escape closes a window that is not a dialog (dialogs cancel on Escape
//     by themselves);
//   - the icon theme falls back to Adwaita where the desktop names none of
//     its own (a bare X session, the offscreen platform).
//
// Number fields get their validators from number_fields.h.
#ifndef TALLYBOOK_PLATFORM_QT_WINDOW_PATTERNS_H_
#define TALLYBOOK_PLATFORM_QT_WINDOW_PATTERNS_H_

#include <QAbstractButton>
#include <QIcon>
#include <QWidget>
#include <initializer_list>

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

}  // namespace tallybook::platform::qt

#endif  // TALLYBOOK_PLATFORM_QT_WINDOW_PATTERNS_H_
