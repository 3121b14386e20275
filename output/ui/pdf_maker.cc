#include "output/ui/pdf_maker.h"

#include <QFile>
#include <QTemporaryDir>

#include "platform/qt/qt_printer.h"
#include "platform/qt/text_codec.h"

namespace tallybook::output::ui {

bool RenderPdf(const std::string& title,
               const std::function<void(platform::Canvas&)>& draw,
               std::string* pdf, std::string* error) {
  QTemporaryDir folder;
  if (!folder.isValid()) {
    *error = "No temporary folder for the PDF: " +
             folder.errorString().toStdString();
    return false;
  }
  platform::qt::QtPrinter printer(platform::qt::PathFromQString(folder.path()));
  printer.SetAlwaysPdf(true);
  std::unique_ptr<platform::Canvas> canvas = printer.BeginJob(title);
  if (!canvas) {
    *error = printer.LastError();
    return false;
  }
  draw(*canvas);
  const platform::PrintJobStatus status = canvas->EndJob();
  if (!status.ok) {
    *error = status.error;
    return false;
  }
  QFile file(platform::qt::PathToQString(status.destination));
  if (!file.open(QIODevice::ReadOnly)) {
    *error = "Cannot read the PDF " + status.destination + ".";
    return false;
  }
  const QByteArray bytes = file.readAll();
  pdf->assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return true;
}

}  // namespace tallybook::output::ui
