// TCompSet ("Company Options"): the company options dialog over one company
// record, with its eight pages. The company manager shows it captioned
// "New Company" or "Edit Company" (number field disabled).
//
// OK copies the controls into a CompanyOptionsForm and runs the checks of
// company_options.h; a failure shows its warning, makes the field's page
// current and puts the cursor in the field, and the dialog stays open. On
// success the controls are stored into the record and the dialog closes
// with OK. "Headers/Fonts/Colors" edits the same record's form texts and
// fonts at once (THeaderForm); Cancel on this dialog leaves the record as
// it was given.
#ifndef TALLYBOOK_COMPANY_UI_COMP_SET_H_
#define TALLYBOOK_COMPANY_UI_COMP_SET_H_

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <array>

#include "company/app.h"
#include "company/company_manager.h"
#include "company/company_options.h"
#include "company/records.h"

namespace tallybook::company::ui {

inline constexpr char kCompSetName[] = "TCompSet";
inline constexpr char kBitmapFilterName[] = "Bitmap File";
inline constexpr char kBitmapPattern[] = "*.bmp";
inline constexpr char kBitmapImageButton[] = "Bitmap Image";
inline constexpr char kDateFormatWarning[] =
    "Warning! Do not change the date format if you have invoices on file!";
inline constexpr char kAgingNote[] =
    "Category 4 is all items greater than category 3.";
inline constexpr char kManagersFontNote[] =
    "Managers fonts are limited to the fixed-pitch fonts.";
inline constexpr char kFontNotChosen[] = "(not chosen)";

// The text of a font's sample label: its name and size, or kFontNotChosen
// for a font block the company never filled (no name).
QString FontSampleText(const platform::Font& font);

class TCompSet : public QDialog {
  Q_OBJECT

 public:
  // Edits record (which must outlive the dialog) in mode; number_exists
  // answers the new-company number check.
  TCompSet(App& app, CompanyRecord& record, OptionsMode mode,
           CompanyNumberExists number_exists, QWidget* parent = nullptr);

  // Shows the dialog modally through the platform; its result.
  int Execute();

  // The controls as a form, and the reverse.
  CompanyOptionsForm FormFromControls() const;
  void ControlsFromForm(const CompanyOptionsForm& form);

  // The page shown and the widget of a checked field.
  OptionsPage CurrentPage() const;
  QWidget* FieldWidget(OptionsField field) const;

  QTabWidget* Pages;
  // Address/Taxes
  QLineEdit* CompName;
  QLineEdit* CompNo;
  std::array<QLineEdit*, 5> Address;
  QCheckBox* CalcTaxes;
  QLineEdit* TaxRate;
  QLineEdit* TaxHeading;
  // Invoices
  QLineEdit* NextInvoiceNo;
  QLineEdit* DefaultQuantity;
  QComboBox* DefaultTerms;
  QCheckBox* DuplicateInvoice;
  QCheckBox* YearMonthPrefix;
  QCheckBox* NewInvoicePrintFlag;
  QRadioButton* LineItemInvoice;
  QRadioButton* MemoInvoice;
  QCheckBox* PackingSlip;
  QCheckBox* FileCopy;
  QLineEdit* Copies;
  QCheckBox* LabelOnNewInvoice;
  QCheckBox* LabelOnBatchPrint;
  QCheckBox* NoLargeInvoiceNo;
  // General
  QLineEdit* NextCustomerNo;
  QRadioButton* MonthFirst;
  QRadioButton* DayFirst;
  QCheckBox* ShowAgingChart;
  QCheckBox* ShowButtonHints;
  QCheckBox* AutoCopyShipping;
  QCheckBox* AuditTrail;
  QCheckBox* BackupPrompt;
  // Forms Setup
  QCheckBox* VerticalLines;
  QCheckBox* HorizontalLines;
  QCheckBox* Shading;
  QCheckBox* LetterheadStyle;
  QCheckBox* BoxInvoices;
  QCheckBox* BoxStatements;
  QCheckBox* ProductCodes;
  QCheckBox* MoveDownTotals;
  QCheckBox* CustomerAging;
  QCheckBox* SalesMessageFlag;
  QLineEdit* LineWidth;
  QLineEdit* BoxTop;
  QLineEdit* TopFormMargin;
  QLineEdit* LeftFormMargin;
  QLineEdit* MaxLines;
  QCheckBox* PrintLogo;
  QPushButton* LogoButton;
  QLabel* LogoFile;
  QCheckBox* OmitCompany;
  QLineEdit* AddressShift;
  QPushButton* HeadersButton;
  // Envelopes/Aging
  QPushButton* EnvelopeFontButton;
  QLabel* EnvelopeFontSample;
  QLineEdit* EnvelopeLineSpacing;
  QLineEdit* EnvelopeLeftMargin;
  QLineEdit* EnvelopeTopMargin;
  QLineEdit* EnvelopeSendLeft;
  QCheckBox* EnvelopeLandscape;
  QCheckBox* EnvelopeShipTo;
  QCheckBox* ReturnAddress;
  std::array<QLineEdit*, 3> AgingDays;
  std::array<QLineEdit*, 3> AgingCaptions;
  // E-Mail
  QLineEdit* ReplyEMail;
  QLineEdit* SmtpServer;
  QCheckBox* DefaultToEMail;
  QCheckBox* EMailLines;
  QCheckBox* EMailIncludeAll;
  // Sales Message
  std::array<QLineEdit*, 4> SalesMessage;
  // System Graphics
  QCheckBox* MainBitmap;
  QPushButton* MainBitmapButton;
  // Empties the picture's file name (the background then shows none).
  QPushButton* MainBitmapClear;
  QLabel* MainBitmapFile;
  QPushButton* EditorFontButton;
  QLabel* EditorFontSample;
  QPushButton* ManagersFontButton;
  QLabel* ManagersFontSample;

  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  // Handlers.
  void FormShow();
  void OKButtonClick();
  void HelpButtonClick();
  void HeadersButtonClick();
  void LogoButtonClick();
  void MainBitmapButtonClick();
  void EnvelopeFontButtonClick();
  void EditorFontButtonClick();
  void ManagersFontButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* BuildAddressPage();
  QWidget* BuildInvoicesPage();
  QWidget* BuildGeneralPage();
  QWidget* BuildFormsPage();
  QWidget* BuildEnvelopesPage();
  QWidget* BuildEMailPage();
  QWidget* BuildSalesPage();
  QWidget* BuildGraphicsPage();
  void ShowFont(QLabel* sample, const platform::Font& font);
  std::optional<std::string> ChooseBitmap(const std::string& current);

  App& app_;
  CompanyRecord& record_;  // the caller's record, written on OK
  CompanyRecord working_;  // the record under edit (headers dialog included)
  OptionsMode mode_;
  CompanyNumberExists number_exists_;
  platform::Font envelope_font_;
  platform::Font editor_font_;
  platform::Font managers_font_;
};

}  // namespace tallybook::company::ui

#endif  // TALLYBOOK_COMPANY_UI_COMP_SET_H_
