// TListWindow: the text list window shared by the company, customer and
// product lists. The caller writes the list to "TXTTEMP.TXT", loads it here,
// sets the caption and the list name ("Company", "Customer", "Product"),
// shows the window modally and deletes the file afterwards.
//
// The text is shown read only, without word wrap, in the company's managers
// font. "Print" prints it as one job titled with the caption; "Font/Color"
// changes the font of the whole text; "Save to File" saves it as rich text
// under a name the user picks (list name + ".RTF" proposed).
#ifndef TALLYBOOK_COMPANY_UI_LIST_WINDOW_H_
#define TALLYBOOK_COMPANY_UI_LIST_WINDOW_H_

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <string>

#include "company/app.h"
#include "platform/font.h"

namespace tallybook::company::ui {

inline constexpr char kListWindowName[] = "TListWindow";
inline constexpr char kSaveAsCaption[] = "Save As";
inline constexpr char kRichTextFilterName[] = "Rich Text File";
inline constexpr char kRichTextPattern[] = "*.RTF";
inline constexpr char kRichTextSuffix[] = "RTF";
inline constexpr char kUnableToReadList[] = "Unable to read the list file ";
inline constexpr char kUnableToSaveList[] = "Unable to save the list to ";
inline constexpr char kPrintFailedCaption[] = "Print";

class TListWindow : public QDialog {
  Q_OBJECT

 public:
  explicit TListWindow(App& app, QWidget* parent = nullptr);

  // Loads the Windows-1252 text file at path into the text area, caret at
  // the start. False, after a message naming the file, when it cannot be
  // read; the text area is then empty.
  bool LoadFile(const std::string& path);
  void SetCaption(const std::string& caption);
  void SetListName(const std::string& list_name) { list_name_ = list_name; }

  // Shows the window modally through the platform; its result.
  int Execute();

  const std::string& text() const { return text_; }
  const platform::Font& text_font() const { return font_; }

  // Controls.
  QTextEdit* RichEdit1;
  QPushButton* PrintButton;
  QPushButton* FontButton;
  QPushButton* SaveButton;
  QPushButton* CloseButton;
  // Under the buttons: where the last printout went.
  QLabel* StatusLine;

  // Handlers.
  void PrintButtonClick();
  void FontButtonClick();
  void SaveButtonClick();

 private:
  void ApplyFont();

  App& app_;
  std::string caption_;
  std::string list_name_;
  std::string text_;  // Windows-1252, as loaded
  platform::Font font_;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_LIST_WINDOW_H_
