// Print Window: prints a picture of a window across the printable width of
// one page, as the managers' "Print &Window" command does. Failures are
// shown in an error box captioned with the window's caption; on success the
// caller tells the user where the job went.
#ifndef TALLYBOOK_COMPANY_UI_PRINT_WINDOW_H_
#define TALLYBOOK_COMPANY_UI_PRINT_WINDOW_H_

#include <QWidget>
#include <optional>
#include <string>

#include "company/app.h"

namespace tallybook::company::ui {

inline constexpr char kPrintWindowFailed[] =
    "The window could not be printed: ";

// Prints a picture of window as a job titled caption. The text saying where
// the job went (platform::PrintedWhereText) when it ended without error,
// else nullopt after the error box.
std::optional<std::string> PrintWindowImage(App& app, QWidget& window,
                                            const std::string& caption);

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_PRINT_WINDOW_H_
