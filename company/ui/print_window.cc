#include "company/ui/print_window.h"

#include <QPixmap>
#include <QTemporaryDir>
#include <memory>

#include "platform/message.h"
#include "platform/qt/text_codec.h"

namespace tallybook::company::ui {

std::optional<std::string> PrintWindowImage(App& app, QWidget& window,
                                            const std::string& caption) {
  QTemporaryDir dir;
  const QString file = dir.filePath("window.png");
  const bool saved = dir.isValid() && window.grab().save(file, "PNG");
  std::unique_ptr<platform::Canvas> canvas =
      saved ? app.services().printer.BeginJob(caption) : nullptr;
  if (!canvas) {
    platform::ShowError(app.services().messages, caption,
                        kPrintWindowFailed +
                            (saved ? app.services().printer.LastError()
                                   : std::string("no picture of the window")));
    return std::nullopt;
  }
  // The window at its screen proportions across the printable width.
  const QSize size = window.size();
  const int width = canvas->PageWidth();
  const int height = size.width() > 0 ? width * size.height() / size.width() : 0;
  canvas->DrawBitmap({0, 0, width, height}, platform::qt::PathFromQString(file));
  const platform::PrintJobStatus status = canvas->EndJob();
  if (!status.ok) {
    platform::ShowError(app.services().messages, caption,
                        kPrintWindowFailed + status.error);
    return std::nullopt;
  }
  return platform::PrintedWhereText(status);
}

}  // namespace tallybook::company::ui
