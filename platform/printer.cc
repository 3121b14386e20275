#include "platform/printer.h"

namespace tallybook::platform {

std::string PrintedWhereText(const PrintJobStatus& status) {
  return (status.to_file ? kSavedAsPdfPrefix : kSentToPrinterPrefix) +
         status.destination;
}

std::string NoPrinterText(const std::string& folder) {
  return "No printer is installed. Printouts are saved as PDF files in " +
         folder + ". Next, choose the paper size for them.";
}

}  // namespace tallybook::platform
