// THeaderForm ("Headers, Fonts and Colors"): the printed form texts and the
// six form fonts of a company record, opened from the options dialog's
// "Headers/Fonts/Colors". OK stores the texts and fonts into the record the
// dialog was given; Cancel leaves it as it was.
#ifndef TALLYBOOK_COMPANY_UI_HEADER_FORM_H_
#define TALLYBOOK_COMPANY_UI_HEADER_FORM_H_

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "company/app.h"
#include "company/records.h"

namespace tallybook::company::ui {

inline constexpr char kHeaderFormName[] = "THeaderForm";
inline constexpr char kHeaderFormCaption[] = "Headers, Fonts and Colors";
inline constexpr char kHeaderFormHelpTopic[] = "formlayout";

// The font buttons, in FormFonts order.
inline constexpr std::array<const char*, kFormFontCount> kFormFontButtons = {
    "Form Body Text",   "Caption Headers", "Company Address",
    "Customer Address", "Aging Analysis",  "Sales Message"};

class THeaderForm : public QDialog {
  Q_OBJECT

 public:
  // Edits record, which must outlive the dialog.
  THeaderForm(App& app, CompanyRecord& record, QWidget* parent = nullptr);

  // Shows the dialog modally through the platform; its result.
  int Execute();

  // The fonts as chosen so far (stored into the record on OK).
  const std::array<FontBlock, kFormFontCount>& fonts() const { return fonts_; }

  // Controls.
  QLineEdit* InvoiceCaption;
  QLineEdit* StatementCaption;
  QLineEdit* PackingSlipCaption;
  QLineEdit* FileCopyCaption;
  QLineEdit* ProductCodeHeading;
  QLineEdit* QuantityHeading;
  QLineEdit* DescriptionHeading;
  QLineEdit* UnitPriceHeading;
  QLineEdit* ExtensionHeading;
  QLineEdit* MemoHeader;
  QLineEdit* StatementNote;
  QLineEdit* ShippingCaption;
  std::array<QPushButton*, kFormFontCount> FontButtons;
  std::array<QLabel*, kFormFontCount> FontSamples;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  // Handlers.
  void FontButtonClick(int index);
  void OKButtonClick();

 private:
  void ShowSample(int index);

  App& app_;
  CompanyRecord& record_;
  std::array<FontBlock, kFormFontCount> fonts_;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_HEADER_FORM_H_
