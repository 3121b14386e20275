#include "company/ui/term_edit.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/modal_windows.h"
#include "platform/qt/text_codec.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::company::ui {

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

QPushButton* MakeButton(const char* text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TTermEdit::TTermEdit(App& app, QWidget* parent)
    : QDialog(parent), app_(app), editor_(app) {
  setObjectName("TTermEdit");
  setWindowTitle(kTermEditCaption);

  TermList = new QListWidget(this);
  TermList->setObjectName("TermList");
  // The list is kept in TermEditor's order, which is the sorted one; the
  // widget's own sort would order terms differing only in case differently.
  TermList->setSortingEnabled(false);
  TermText = new QLineEdit(this);
  TermText->setObjectName("TermText");
  TermText->setMaxLength(kTermLength);
  PromptLabel = new QLabel(this);
  PromptLabel->setObjectName("PromptLabel");

  AddButton = MakeButton(kAddTermButtonText, "AddButton", this);
  EditButton = MakeButton(kEditTermButtonText, "EditButton", this);
  DeleteButton = MakeButton(kDeleteTermButtonText, "DeleteButton", this);
  OkButton = MakeButton(kOkTermButtonText, "OkButton", this);
  CloseButton = MakeButton(kCloseTermsButtonText, "CloseButton", this);
  HelpButton = MakeButton("Help", "HelpButton", this);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {AddButton, EditButton, DeleteButton, OkButton}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  buttons->addWidget(HelpButton);
  auto* left = new QVBoxLayout;
  left->addWidget(TermList);
  left->addWidget(TermText);
  left->addWidget(PromptLabel);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);

  connect(AddButton, &QPushButton::clicked, this, [this] { AddButtonClick(); });
  connect(EditButton, &QPushButton::clicked, this, [this] { EditButtonClick(); });
  connect(DeleteButton, &QPushButton::clicked, this, [this] { DeleteButtonClick(); });
  connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
  connect(CloseButton, &QPushButton::clicked, this, [this] { CloseButtonClick(); });
  connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
  platform::qt::HelpOnF1(this, [this] { HelpButton->click(); });
  connect(TermText, &QLineEdit::textEdited, this,
          [this](const QString& text) { editor_.FieldEdited(FromQString(text)); });
  connect(TermText, &QLineEdit::returnPressed, this, [this] {
    if (OkButton->isEnabled()) OkButtonClick();
  });
  // A click, and moving the selection by keyboard, both pick a term.
  connect(TermList, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { TermListClick(TermList->row(item)); });
  connect(TermList, &QListWidget::currentRowChanged, this,
          [this](int row) { TermListClick(row); });
  resize(420, 300);
}

int TTermEdit::Execute() {
  FormShow();
  return app_.services().windows.RunModal("TTermEdit", [this] { return exec(); });
}

void TTermEdit::FormShow() {
  editor_.Show();
  ShowState();
}

void TTermEdit::AddButtonClick() {
  editor_.AddClick();
  ShowState();
}

void TTermEdit::EditButtonClick() {
  editor_.EditClick();
  ShowState();
}

void TTermEdit::OkButtonClick() {
  editor_.OkClick(FromQString(TermText->text()));
  ShowState();
}

void TTermEdit::DeleteButtonClick() {
  editor_.DeleteClick();
  ShowState();
}

void TTermEdit::CloseButtonClick() {
  if (editor_.CloseClick()) {
    done(platform::kModalOk);
  } else {
    ShowState();
  }
}

void TTermEdit::HelpButtonClick() { app_.services().help.ShowHelp(kTermEditHelpTopic); }

void TTermEdit::TermListClick(int row) {
  editor_.ListClick(row);
  ShowState();
}

void TTermEdit::reject() { CloseButtonClick(); }

void TTermEdit::ShowState() {
  {
    const QSignalBlocker blocker(TermList);
    const auto& terms = editor_.list().terms();
    bool same = TermList->count() == static_cast<int>(terms.size());
    for (int i = 0; same && i < TermList->count(); ++i) {
      same = FromQString(TermList->item(i)->text()) == terms[i];
    }
    if (!same) {
      TermList->clear();
      for (const std::string& term : terms) TermList->addItem(ToQString(term));
    }
    TermList->setCurrentRow(editor_.selected());
  }
  TermText->setText(ToQString(editor_.field_text()));
  TermText->setEnabled(editor_.field_enabled());
  OkButton->setEnabled(editor_.ok_enabled());
  PromptLabel->setText(ToQString(editor_.prompt()));
  if (editor_.field_wants_focus() && editor_.field_enabled()) {
    TermText->setFocus();
  } else if (!TermText->isEnabled() && TermText->hasFocus()) {
    TermList->setFocus();
  }
}

void EditPaymentTerms(App& app, QWidget* parent) {
  TTermEdit window(app, parent);
  window.Execute();
}

}  // namespace tallybook::company::ui
