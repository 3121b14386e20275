// Tlblwiz ("Label Wizard / Print Queue"): the label print queue in a list
// of four columns, the layout of a sheet of labels, and the commands that
// fill the queue and print it. The window is made once at start-up and
// kept for the run, so its layout fields stay as they were left; the
// queue itself lives in App.
//
// What each command does is output/label_wizard.h; the window copies its
// fields into a LabelLayout, calls the logic and shows the result.
#ifndef TALLYBOOK_OUTPUT_UI_LBLWIZ_H_
#define TALLYBOOK_OUTPUT_UI_LBLWIZ_H_

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <optional>

#include "company/app.h"
#include "output/label_wizard.h"

namespace tallybook::output::ui {

inline constexpr char kLblwizName[] = "Tlblwiz";

class Tlblwiz : public QDialog {
  Q_OBJECT

 public:
  // choose_customer opens the customer manager for choosing (true when
  // App::CurrentCustomer holds the choice).
  Tlblwiz(company::App& app, std::function<bool()> choose_customer,
          QWidget* parent = nullptr);

  // The start-up step: reads the last layout into the fields.
  void FormCreate();
  // Aging button captions, "Start at Label" and "Copies of each label" back
  // to "1", the queue refilled.
  void FormShow();
  // Shows the window modally through the platform ("Tlblwiz").
  int Execute();

  // The fields as a layout, and the reverse.
  LabelLayout FieldsLayout() const;
  void ShowLayout(const LabelLayout& layout);
  // The selected queue row, if any.
  std::optional<size_t> SelectedRow() const;
  LabelWizard& wizard() { return wizard_; }

  void OpenClick();
  void SaveAsClick();
  void FontClick();
  void BitmapClick();
  void RulerClick();
  void FindClick();
  void DeleteClick();
  void ClearClick();
  void SaveRecordsClick();
  void LoadRecordsClick();
  void LoadAllClick();
  void AgingClick(int button);
  void PrintClick();
  void PrintSetupClick();
  void HeaderClick(int column);

  QLineEdit* Description;
  QLineEdit* TopMargin;
  QLineEdit* LeftMargin;
  QLineEdit* Columns;
  QLineEdit* Rows;
  QLineEdit* LabelWidth;
  QLineEdit* LabelHeight;
  QLineEdit* StartLabel;
  QLineEdit* Copies;
  QCheckBox* UseShipping;
  QCheckBox* ReturnAddress;
  QCheckBox* PrintLine;
  QLineEdit* LineWidth;
  QLineEdit* SendToCaption;
  QLabel* FontLabel;
  QLabel* BitmapLabel;
  QTreeWidget* ListView1;
  QPushButton* FindButton;
  QPushButton* DeleteButton;
  QPushButton* ClearButton;
  QPushButton* LoadAllButton;
  QPushButton* AgingButton[4];
  QPushButton* PrintButton;
  QPushButton* HelpButton;
  QPushButton* CloseButton;
  QLabel* StatusBar1;

 private:
  void BuildMenus(QMenuBar* bar);
  void RefreshQueue();
  // Printing and every queue command but Open follow whether a layout is
  // loaded.
  void EnableCommands();
  void ShowFontAndBitmap();

  company::App& app_;
  std::function<bool()> choose_customer_;
  LabelWizard wizard_;
  // The font and logo of the layout, which have no field of their own.
  platform::Font font_;
  std::string logo_file_;
  // The commands that wait for a layout.
  std::vector<QAction*> layout_actions_;
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_LBLWIZ_H_
