// TLetterWiz: the form letter window - a small rich-text word processor
// whose business is the merge print: one copy of the letter for every
// customer in the label print queue (output/letter_merge_print.h).
//
// File commands New, Open, Save, Save As, Print and Close; editing
// commands Undo, Cut, Copy, Paste, font name and size, bold, italic,
// underline, alignment, bullets, the font dialog and the ruler's indent
// markers; Queue (the label print queue window, when the label wizard has
// installed it), Printer Setup and Help. A modified letter asks "Save
// changes to %s?" before New, Open, Print and Close.
#ifndef TALLYBOOK_OUTPUT_UI_LETTER_WIZ_H_
#define TALLYBOOK_OUTPUT_UI_LETTER_WIZ_H_

#include <QDialog>
#include <string>

#include "company/app.h"
#include "output/letter_document.h"

class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class QStatusBar;
class QTextCharFormat;
class QTextEdit;
class QToolBar;
class QToolButton;

namespace tallybook::output::ui {

class LetterRuler;

class TLetterWiz : public QDialog {
  Q_OBJECT

 public:
  explicit TLetterWiz(company::App& app, QWidget* parent = nullptr);

  // Shows the window modally through the platform; returns its result.
  int Execute();

  // The commands, as the menus and tool buttons run them.
  void FileNewClick();
  void FileOpenClick();
  // True when the letter was written.
  bool FileSaveClick();
  bool FileSaveAsClick();
  void PrintClick();
  void QueueClick();
  void PrinterSetupClick();
  void FontDialogClick();
  void BulletClick();
  void HelpClick();
  // Close (also Escape and the window's close box): asks about changes;
  // Cancel refuses the close.
  void reject() override;

  // The letter in the editor, and its file name ("Untitled" when new).
  LetterDocument Letter() const;
  void SetLetter(const LetterDocument& doc);
  const std::string& file_name() const { return file_name_; }
  bool modified() const;

  QTextEdit* Editor;
  LetterRuler* Ruler;
  QLabel* ProgressPanel;
  QComboBox* FontName;
  QComboBox* FontSize;
  QComboBox* MergeFieldList;
  QAction* BoldButton;
  QAction* ItalicButton;
  QAction* UnderlineButton;
  QAction* LeftAlign;
  QAction* CenterAlign;
  QAction* RightAlign;
  QAction* BulletButton;
  QAction* QueueButton;
  QAction* QueueMenuItem;
  QStatusBar* StatusBar;

 private:
  enum class SaveAnswer { kUnmodified, kSaved, kNotSaved, kCancelled };
  // Asks "Save changes to %s?" when the letter is modified.
  SaveAnswer AskSaveChanges();
  bool WriteLetter(const std::string& path);
  void SetFileName(const std::string& name);
  void BuildMenus(QMenuBar* menu_bar);
  QToolBar* BuildFileBar();
  QToolBar* BuildFormatBar();
  void MergeCharFormat(const QTextCharFormat& format);
  void ApplyFontSize();
  void ShowCurrentFormat();
  void ApplyRulerIndents();
  void Align(Qt::Alignment alignment);
  void SetBusy(bool busy);

  company::App& app_;
  std::string file_name_;
  QMenuBar* menu_bar_;
  QToolBar* file_bar_;
  QToolBar* format_bar_;
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_LETTER_WIZ_H_
