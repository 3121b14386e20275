#include "platform/desktop.h"

namespace tallybook::platform {

std::string CalculatorNotFoundText(const Desktop& desktop) {
  const std::vector<std::string> programs = desktop.CalculatorPrograms();
  if (programs.empty()) return "No calculator program was found.";
  std::string text = "No calculator program was found. Looked for: ";
  for (size_t i = 0; i < programs.size(); ++i) {
    if (i > 0) text += ", ";
    text += programs[i];
  }
  return text + ". Install one of them to use the calculator.";
}

}  // namespace tallybook::platform
