// TProdInv: the invoice editor, the modal window in which one invoice is
// typed or changed, as a product invoice (up to 99 lines in a grid) or a
// memo invoice (free text with one amount).
//
// The window is thin: it copies its controls into an InvoiceForm, lets the
// logic of billing/ compute extensions, totals and checks, and puts the
// results back. It writes no company record: the bookkeeping of Add and
// Edit fills it (Load) and reads it after OK (Store); Runner() gives the
// bookkeeping its RunInvoiceEditor. It writes the terms file (a new term)
// and the saved-lines files.
//
// Choosing a customer or a product is done by callbacks that whoever makes
// the editor sets: choose_customer fills App::CurrentCustomer and returns
// true when one was chosen; choose_product fills App::ChosenProduct and
// App::product_chosen (the choosers of billing/ui/choosers.h, which also
// set the main window's hints). The timer lives in App and keeps running while the
// window is closed.
#ifndef TALLYBOOK_BILLING_UI_INVOICE_EDITOR_H_
#define TALLYBOOK_BILLING_UI_INVOICE_EDITOR_H_

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <array>
#include <functional>

#include "billing/invoice_bookkeeping.h"
#include "billing/invoice_checks.h"
#include "billing/invoice_form.h"
#include "company/app.h"
#include "company/terms.h"
#include "platform/qt/window_patterns.h"

namespace tallybook::billing::ui {

inline constexpr char kProdInvName[] = "TProdInv";
inline constexpr char kProductInvoiceCaption[] = "Product Invoice";
inline constexpr char kNewInvoiceHelpTopic[] = "NewInvoice";
inline constexpr char kAddMode[] = "Add Mode";
inline constexpr char kEditMode[] = "Edit Mode";
inline constexpr char kMonthFirstLabel[] = "Mo/Dy/Year";
inline constexpr char kDayFirstLabel[] = "Dy/Mo/Year";
inline constexpr char kDateMask[] = "99/99/9999;_";
inline constexpr char kStartTimer[] = "&Start";
inline constexpr char kStopTimer[] = "&Stop";

// Grid columns.
enum GridColumn {
  kColLine = 0,
  kColProduct = 1,
  kColQuantity = 2,
  kColDescription = 3,
  kColUnitPrice = 4,
  kColFlag = 5,
  kColExtension = 6,
};

class TProdInv : public QDialog {
  Q_OBJECT

 public:
  explicit TProdInv(company::App& app, QWidget* parent = nullptr);

  std::function<bool()> choose_customer;
  std::function<bool()> choose_product;

  // Fills the controls from form and prepares them as opening does (mode
  // from App::invoice_editing, captions, terms list, tax box, layout,
  // totals).
  void Load(const InvoiceForm& form);
  // The controls as a form.
  void Store(InvoiceForm& form) const;
  // Shows the window modally through the platform; its result.
  int Execute();
  // Load, Execute, and Store on OK: the editor for the bookkeeping.
  RunInvoiceEditor Runner();

  // ---- Controls, named as the window's own.
  QLineEdit* INum;
  QLineEdit* IDate;
  QLabel* DateLabel;
  QPushButton* Calbutton;
  QComboBox* ITerms;
  QLineEdit* IStmntNote;
  QLineEdit* INVNOTES;
  QLineEdit* KeyCode;
  QLabel* ICustName;
  QLabel* ICustNo;
  QLabel* Sname;
  QLabel* CBal;
  QLabel* ICredLimit;
  std::array<QLabel*, 4> AgingCaptions;
  QLabel* Acur;
  QLabel* A30;
  QLabel* A60;
  QLabel* A90;
  QPushButton* BitBtn3;
  QLineEdit* INet;
  QLineEdit* ITax;
  QLineEdit* IPaid;
  QLabel* ITotal;
  QLabel* BalDue;
  QLabel* TaxLbl;
  QCheckBox* CheckBox2;
  QCheckBox* PrintFlag;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  QLabel* IMode;
  QTableWidget* StringGrid1;
  QPlainTextEdit* Memo1;
  QLabel* MemoPDescLabel;
  QLineEdit* MemoPDesc;
  QLabel* MemoQuanLabel;
  QLineEdit* MemoQuan;
  QPushButton* SpeedButton2;
  QPushButton* DeleteLine;
  QPushButton* MakeNote;
  QPushButton* UndoAll;
  QPushButton* ImportButn;
  QPushButton* ExportButn;
  QPushButton* TopButn;
  QPushButton* CnterButn;
  QPushButton* BottButn;
  QPushButton* SpeedButton8;
  QPushButton* TimeBtn;
  QLabel* StartTime;
  QLabel* ElapsedTime;
  QLabel* ToHours;
  QTimer* Timer1;
  QPushButton* OKButton;
  QPushButton* CancelButton;
  QPushButton* InvClose;
  QPushButton* HelpButton;

  // ---- Handlers.
  void RadioButtonClick();
  void StringGrid1CellChanged(int row, int column);
  // Enter in the grid: the cell's action (a product code is looked up),
  // then the next cell.
  void StringGrid1Enter();
  // Enter in the product column of the current row: looks the code up and
  // fills the line. False when the code was not found and no product was
  // chosen instead (the cell keeps the focus for mending).
  bool StringGrid1KeyEnter();
  // The product finder; true when a product was chosen into the line.
  bool SpeedButton2Click();
  void BitBtn3Click();
  void DeleteLineClick();
  void MakeNoteClick();
  void UndoAllClick();
  void GoToLine(int line);
  void TimeBtnClick();
  void Timer1Timer();
  void CalbuttonClick();
  void SpeedButton8Click();
  void ImportButnClick();
  void ExportButnClick();
  void AmountChanged();
  void OKButtonClick();
  void HelpButtonClick();

  // Whether the balance due is shown in red.
  bool BalanceDueRed() const;

  // Escape, Cancel, Close and the close button: a form with changes asks
  // before it discards them.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyKindLayout(bool reset_amounts);
  void Recalculate();
  void ShowAmounts(const InvoiceForm& form);
  void ShowLine(int row, const InvoiceLine& line);
  InvoiceLine LineAt(int row) const;
  void ShowCustomer(const InvoiceForm& form);
  void ApplyTaxBox(const InvoiceForm& form);
  void FocusField(const InvoiceCheckResult& result);
  void ShowTimer();
  int64_t NowSeconds() const;
  InvoiceKind Kind() const;

  company::App& app_;
  company::TermList terms_;
  bool tax_exempt_ = false;
  bool filling_ = false;
  InvoiceForm shown_;  // what Load was given, for the fields not on screen
  platform::qt::FormChanges changes_{this};
};

}  // namespace tallybook::billing::ui

#endif  // TALLYBOOK_BILLING_UI_INVOICE_EDITOR_H_
