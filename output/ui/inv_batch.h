// TInvBatch: the batch print dialog, "Batch Print Invoices". Shows how many
// invoices wait and what will be printed, and takes the number to output
// this cycle (BatchNum, up to 4 digits, starting at the count).
#ifndef TALLYBOOK_OUTPUT_UI_INV_BATCH_H_
#define TALLYBOOK_OUTPUT_UI_INV_BATCH_H_

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "company/app.h"
#include "output/invoice_output.h"

namespace tallybook::output::ui {

inline constexpr char kBatchDialogCaption[] = "Batch Print Invoices";
inline constexpr char kBatchNumLabel[] = "&Number to print this cycle:";

class TInvBatch : public QDialog {
  Q_OBJECT

 public:
  TInvBatch(const BatchDialogText& text, QWidget* parent = nullptr);

  // The number entered; nullopt for an empty field.
  std::optional<int> Number() const;

  // Shows the dialog modally through the platform ("TInvBatch"); the
  // number entered, or nullopt when cancelled or left empty.
  static std::optional<int> Ask(company::App& app,
                                const BatchDialogText& text,
                                QWidget* parent = nullptr);

  QLabel* CountLabel;
  QLabel* ModeLabel;
  QLabel* DetailLabel;
  QLineEdit* BatchNum;
  QPushButton* OKButton;
  QPushButton* CancelButton;
};

}  // namespace tallybook::output::ui

#endif  // TALLYBOOK_OUTPUT_UI_INV_BATCH_H_
