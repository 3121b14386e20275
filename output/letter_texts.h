// The form letter window's own texts and names, in one place.
#ifndef TALLYBOOK_OUTPUT_LETTER_TEXTS_H_
#define TALLYBOOK_OUTPUT_LETTER_TEXTS_H_

#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace tallybook::output {

inline constexpr char kFormLetterWizardTitle[] = "Form Letter Wizard";
inline constexpr char kUntitledLetter[] = "Untitled";
inline constexpr char kFormWizardHelpTopic[] = "FormWizard";
inline constexpr char kLetterWizName[] = "TLetterWiz";
// The size a letter's font takes when the size box is left empty.
inline constexpr char kDefaultFontSizeText[] = "10";

// The part of a path after its last '/'.
inline std::string LetterBaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
// "Form Letter Wizard - remind.rtf"
inline std::string LetterCaption(const std::string& file_name) {
  std::string caption = kFormLetterWizardTitle;
  caption += " - ";
  caption += LetterBaseName(file_name);
  return caption;
}
inline std::string SaveChangesText(const std::string& file_name) {
  return "Save changes to " + file_name + "?";
}
inline std::string OverwriteText(const std::string& file_name) {
  return "OK to overwrite " + file_name;
}
// The open and save dialogs' filters; the file system tells case apart,
// so the lower-case endings are listed too.
inline std::vector<platform::FileFilter> LetterFileFilters() {
  return {{"Rich Text Files (*.RTF)", "*.RTF *.rtf"},
          {"Text Files (*.TXT)", "*.TXT *.txt"}};
}

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LETTER_TEXTS_H_
