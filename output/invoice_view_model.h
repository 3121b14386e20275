// What the View Invoice window (Trtedit) shows of a print image, as texts,
// so that the window only puts them in its controls.
#ifndef TALLYBOOK_OUTPUT_INVOICE_VIEW_MODEL_H_
#define TALLYBOOK_OUTPUT_INVOICE_VIEW_MODEL_H_

#include <array>
#include <string>
#include <vector>

#include "company/records.h"
#include "output/invoice_image.h"

namespace tallybook::output {

inline constexpr char kProductCodeInvoiceTitle[] = "Product Code Invoice";
inline constexpr char kMemoInvoiceTitle[] = "Memo Invoice";
inline constexpr char kDepositBody[] = "Deposit on Account";
inline constexpr char kOffsetDepositBody[] =
    "Deposit on Account - Offset against invoices.";
inline constexpr char kRepeatMasterNote[] = "** REPEAT BILLING MASTER SETUP **";
inline constexpr char kGeneratedNote[] = "** GENERATED BILLING **";

struct InvoiceViewModel {
  std::string caption;  // "View Invoice# 1001"
  std::string name;
  std::array<std::string, 4> billing;
  std::string shipping_caption;
  std::array<std::string, 4> shipping;
  std::string date, number, account, terms, reference;  // with their labels
  std::string title;  // kProductCodeInvoiceTitle or kMemoInvoiceTitle
  bool line_items = false;
  // Line-item invoice: the column captions and one row per line.
  std::array<std::string, 7> headings;
  std::vector<std::array<std::string, 7>> rows;
  // Other kinds: the text area.
  std::string memo_text;
  std::string note;  // repeat master, deposit or generated billing
  std::string total, tax_caption, tax, grand_total, paid, balance_due;
};

InvoiceViewModel MakeInvoiceViewModel(const company::CompanyRecord& company,
                                      const InvoiceImage& image);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_INVOICE_VIEW_MODEL_H_
