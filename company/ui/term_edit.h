// TTermEdit: the payment terms editor, "Edit Payment Terms". A sorted list
// of the terms, one edit field of 35 characters, the buttons "Add", "Edit",
// "Delete", "Ok", "&Close" and Help (topic "EditTerms"), and a prompt line.
//
// The rules live in TermEditor (company/terms.h); every handler passes the
// event on and then shows the editor's state. The list is saved to
// "TLTERMS.DAT" when the window closes, by "&Close" as well as by Escape or
// the window's close box, so no change is dropped without the user's word.
#ifndef TALLYBOOK_COMPANY_UI_TERM_EDIT_H_
#define TALLYBOOK_COMPANY_UI_TERM_EDIT_H_

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "company/app.h"
#include "company/terms.h"

namespace tallybook::company::ui {

class TTermEdit : public QDialog {
  Q_OBJECT

 public:
  explicit TTermEdit(App& app, QWidget* parent = nullptr);

  // FormShow, then the window modally through the platform ("TTermEdit").
  // Returns the window's result (kModalOk once the list was saved, or the
  // user chose to close without saving after a failed save).
  int Execute();

  // Handlers.
  void FormShow();
  void AddButtonClick();
  void EditButtonClick();
  void OkButtonClick();
  void DeleteButtonClick();
  void CloseButtonClick();
  void HelpButtonClick();
  // The user picked row (-1: none) in the list.
  void TermListClick(int row);

  const TermEditor& editor() const { return editor_; }

  // Controls.
  QListWidget* TermList;
  QLineEdit* TermText;
  QLabel* PromptLabel;
  QPushButton* AddButton;
  QPushButton* EditButton;
  QPushButton* DeleteButton;
  QPushButton* OkButton;
  QPushButton* CloseButton;
  QPushButton* HelpButton;

 public slots:
  // Escape and the close box close as "&Close" does.
  void reject() override;

 private:
  // Puts the editor's state into the controls.
  void ShowState();

  App& app_;
  TermEditor editor_;
};

// Opens the terms editor over parent: the "&Edit Payment Terms..." command.
void EditPaymentTerms(App& app, QWidget* parent);

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_TERM_EDIT_H_
