#include "output/ui/letter_wiz.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTest>
#include <QTextEdit>
#include <filesystem>
#include <fstream>

#include "company/aging_test_support.h"
#include "company/ui/ui_test_support.h"
#include "output/letter_merge_print.h"
#include "output/letter_texts.h"
#include "output/ui/letter_rich_text.h"

namespace tallybook::output::ui {
namespace {

using platform::Answer;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class LetterWizTest : public company::testing::CompanyOnDisk {
 protected:
  std::string Path(const std::string& name) { return app_->PathOf(name); }
  // Types text at the end of the editor, as a user does.
  static void Type(TLetterWiz& w, const QString& text) {
    w.Editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.Editor, text);
  }
};

TEST_F(LetterWizTest, NewSaveAsOverwriteAndTheSaveQuestion) {
  TLetterWiz w(*app_);
  EXPECT_EQ(w.windowTitle().toStdString(),
            "Form Letter Wizard - Untitled[*]");
  Type(w, "Dear TLCSTNAME");
  EXPECT_TRUE(w.modified());

  // Save of an untitled letter is Save As; an existing file is overwritten
  // only after Yes.
  const std::string path = Path("Remind.RTF");
  std::ofstream(path) << "old";
  ui_->dialogs.ExpectSaveFile(path);
  ui_->messages.ExpectMessage(OverwriteText(path), Answer::kNo);
  EXPECT_FALSE(w.FileSaveClick());
  EXPECT_EQ(ReadFile(path), "old");
  ui_->dialogs.ExpectSaveFile(path);
  ui_->messages.ExpectMessage(OverwriteText(path), Answer::kYes);
  EXPECT_TRUE(w.FileSaveClick());
  EXPECT_FALSE(w.modified());
  EXPECT_EQ(w.windowTitle().toStdString(),
            "Form Letter Wizard - Remind.RTF[*]");
  std::string error;
  EXPECT_EQ(LoadLetterFile(path, &error)->Text(), "Dear TLCSTNAME");
  EXPECT_FALSE(ui_->dialogs.file_requests().back().confirm_overwrite);

  // New on a modified letter: Cancel keeps it, No drops it.
  Type(w, ",");
  ui_->messages.ExpectMessage(SaveChangesText(path), Answer::kCancel)
      .WithCaption("Form Letter Wizard");
  w.FileNewClick();
  EXPECT_EQ(w.Letter().Text(), "Dear TLCSTNAME,");
  ui_->messages.ExpectMessage(SaveChangesText(path), Answer::kNo);
  w.FileNewClick();
  EXPECT_TRUE(w.Letter().IsEmpty());
  EXPECT_EQ(w.file_name(), "Untitled");

  // Open reads the saved letter; a damaged one is refused with its reason.
  ui_->dialogs.ExpectOpenFile(path);
  w.FileOpenClick();
  EXPECT_EQ(w.Letter().Text(), "Dear TLCSTNAME");
  EXPECT_FALSE(w.modified());
  std::ofstream(Path("bad.rtf")) << "{\\rtf1 " << std::string(500, '{');
  ui_->dialogs.ExpectOpenFile(Path("bad.rtf"));
  ui_->messages.ExpectMessage(
      Path("bad.rtf") +
      " is not a letter that can be read: its groups are nested too deeply");
  w.FileOpenClick();
  EXPECT_EQ(w.file_name(), path);

  // Close with changes: Cancel refuses the close.
  Type(w, "!");
  w.show();
  ui_->messages.ExpectMessage(SaveChangesText(path), Answer::kCancel);
  w.reject();
  EXPECT_TRUE(w.isVisible());
  ui_->messages.ExpectMessage(SaveChangesText(path), Answer::kNo);
  w.reject();
  EXPECT_FALSE(w.isVisible());
}

TEST_F(LetterWizTest, TheEditorKeepsEveryConstructOfALetter) {
  TLetterWiz w(*app_);
  LetterDocument doc;
  doc.paragraphs.resize(4);
  doc.paragraphs[0].alignment = Alignment::kCenter;
  doc.paragraphs[0].runs = {
      {{.font = "DejaVu Serif", .half_points = 28, .bold = true}, "Title"},
      {{.italic = true, .color = platform::MakeColor(255, 0, 0)}, " red"}};
  doc.paragraphs[1].first_indent = 720;
  doc.paragraphs[1].left_indent = 360;
  doc.paragraphs[1].right_indent = 1440;
  doc.paragraphs[1].tab_stops = {1440};
  doc.paragraphs[1].runs = {{{.underline = true}, "a\tb\nc"}};
  doc.paragraphs[2].bullet = true;
  doc.paragraphs[2].left_indent = 720;
  doc.paragraphs[2].runs = {{{}, "item \xE2\x82\xAC \xCE\xA9"}};
  doc.paragraphs[3].page_break_before = true;
  doc.paragraphs[3].alignment = Alignment::kRight;
  doc.paragraphs[3].runs = {{{}, "end"}};
  w.SetLetter(doc);
  EXPECT_FALSE(w.modified());
  EXPECT_EQ(w.Letter(), doc);

  // The controls follow the cursor; the ruler moves the paragraph's indents.
  QTextCursor cursor = w.Editor->textCursor();
  cursor.setPosition(w.Editor->document()->findBlockByNumber(1).position() + 1);
  w.Editor->setTextCursor(cursor);
  EXPECT_TRUE(w.UnderlineButton->isChecked());
  EXPECT_FALSE(w.BoldButton->isChecked());
  EXPECT_EQ(w.FontSize->currentText(), "10");
  w.BulletClick();
  EXPECT_TRUE(w.Letter().paragraphs[1].bullet);
  w.BulletClick();
  EXPECT_FALSE(w.Letter().paragraphs[1].bullet);
  w.CenterAlign->trigger();
  EXPECT_EQ(w.Letter().paragraphs[1].alignment, Alignment::kCenter);
  // The font dialog's choice goes to the selection.
  cursor.select(QTextCursor::BlockUnderCursor);
  w.Editor->setTextCursor(cursor);
  platform::Font font;
  font.name = "DejaVu Sans";
  font.size_points = 18;
  font.style = platform::kFontBold;
  ui_->dialogs.ExpectChooseFont(font);
  w.FontDialogClick();
  const CharFormat chosen = w.Letter().paragraphs[1].runs[0].format;
  EXPECT_EQ(chosen.half_points, 36);
  EXPECT_TRUE(chosen.bold);
  // An empty font size becomes 10.
  w.FontSize->setEditText("");
  emit w.FontSize->lineEdit()->editingFinished();
  EXPECT_EQ(w.FontSize->currentText(), "10");
  EXPECT_EQ(w.MergeFieldList->count(), 30);
  w.HelpClick();
  EXPECT_EQ(ui_->help.topics().back(), "FormWizard");
  // Queue shows the label wizard's queue window.
  int queue_shown = 0;
  app_->show_label_queue = [&] { ++queue_shown; };
  w.QueueClick();
  EXPECT_EQ(queue_shown, 1);
}

TEST_F(LetterWizTest, MergePrintsOneJobPerQueuedCustomerAndRestoresTheLetter) {
  AddCustomer("C1", "First Customer", "10.00");
  AddCustomer("C2", "Second Customer", "20.00");
  AddCustomer("C3", "Third Customer", "30.00");
  LetterDocument doc;
  doc.paragraphs.resize(2);
  doc.paragraphs[0].runs = {{{.bold = true}, "Dear TLCSTNAME,"}};
  doc.paragraphs[1].runs = {{{}, "You owe TLCSTBAL to TLCMPNAME."}};
  const std::string path = Path("owe.rtf");
  std::string error;
  ASSERT_TRUE(SaveLetterFile(path, doc, &error));

  TLetterWiz w(*app_);
  ui_->dialogs.ExpectOpenFile(path);
  w.FileOpenClick();
  // Nothing queued: refused, nothing printed.
  ui_->messages.ExpectMessage(kEmptyLetterQueueText).WithCaption("Letter Wizard");
  w.PrintClick();
  EXPECT_TRUE(ui_->printer.jobs().empty());

  for (const char* no : {"C1", "C2", "C3"}) {
    app_->label_queue.push_back({no, "", "", ""});
  }
  // The print dialog cancelled: nothing happens.
  ui_->printer.SetSetupAnswer(false);
  w.PrintClick();
  EXPECT_TRUE(ui_->printer.jobs().empty());
  ui_->printer.SetSetupAnswer(true);

  Type(w, " Thanks.");
  ui_->messages.ExpectMessage(SaveChangesText(path), Answer::kYes);
  w.PrintClick();
  const auto& jobs = ui_->printer.jobs();
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(jobs[1]->title, "owe.rtf");
  const std::vector<std::string> second = jobs[1]->Texts();
  EXPECT_EQ(second, (std::vector<std::string>{"Dear", "Second", "Customer,",
                                              "You", "owe", "20.00", "to",
                                              "Acme", "Supply.", "Thanks."}));
  EXPECT_TRUE(jobs[1]->FindText("Dear")->font.bold());
  // Afterwards: the unmerged letter, not modified, the template deleted.
  EXPECT_EQ(w.Letter().Text(), "Dear TLCSTNAME,\nYou owe TLCSTBAL to "
                               "TLCMPNAME. Thanks.");
  EXPECT_FALSE(w.modified());
  EXPECT_TRUE(w.Editor->isVisibleTo(&w));
  EXPECT_FALSE(w.ProgressPanel->isVisibleTo(&w));
  EXPECT_FALSE(std::filesystem::exists(Path(kMergeTemplateName)));
  EXPECT_EQ(w.StatusBar->currentMessage().toStdString(),
            platform::PrintedWhereText(jobs.back()->status));

  // Answered No: the letter shown is merged and stays modified.
  Type(w, " PS");
  ui_->messages.ExpectMessage(SaveChangesText(path), Answer::kNo);
  w.PrintClick();
  ASSERT_EQ(jobs.size(), 6u);
  EXPECT_NE(jobs[5]->FindText("PS"), nullptr);
  EXPECT_TRUE(w.modified());
  EXPECT_NE(w.Letter().Text().find("PS"), std::string::npos);
}

}  // namespace
}  // namespace tallybook::output::ui

#include "company/ui/main_form.h"
#include "output/ui/letter_commands.h"

namespace tallybook::output::ui {
namespace {

class LetterCommandsTest : public ::testing::Test,
                           public company::ui::ShellFixture {};

TEST_F(LetterCommandsTest, FormLetterCommandAndToolButtonOpenTheWizard) {
  using company::ui::CommandId;
  company::ui::TMainForm form(*app);
  ASSERT_TRUE(form.FormCreate());
  EXPECT_FALSE(form.IsCommandEnabled(CommandId::kFormLetterWizard));
  WireLetterCommands(form, *app);
  EXPECT_TRUE(form.IsCommandEnabled(CommandId::kFormLetterWizard));
  ui.windows.ExpectWindow(kLetterWizName, [] {
    TLetterWiz* w = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<TLetterWiz*>(top)) w = found;
    }
    EXPECT_NE(w, nullptr);
    if (w != nullptr) {
      EXPECT_EQ(w->windowTitle().toStdString(),
                "Form Letter Wizard - Untitled[*]");
    }
    return platform::kModalCancel;
  });
  form.ToolButton(CommandId::kFormLetterWizard)->click();
}

}  // namespace
}  // namespace tallybook::output::ui
