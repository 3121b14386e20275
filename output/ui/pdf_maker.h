// Rendering printed pages into a PDF file through Qt, without a printer:
// for the PDF attached to invoice e-mail and for the invoice archive
// command of tallybook-admin. Needs a Q(Gui)Application.
#ifndef TALLYBOOK_OUTPUT_UI_PDF_MAKER_H_
#define TALLYBOOK_OUTPUT_UI_PDF_MAKER_H_

#include <functional>
#include <string>

#include "platform/canvas.h"

namespace tallybook::output::ui {

// Draws with draw() into a PDF titled title and returns its bytes in *pdf;
// false and the reason in *error when it could not be made.
bool RenderPdf(const std::string& title,
               const std::function<void(platform::Canvas&)>& draw,
               std::string* pdf, std::string* error);

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_PDF_MAKER_H_
