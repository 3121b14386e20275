#include "output/invoice_view_model.h"

#include <cstdio>

#include "company/format.h"
#include "company/text.h"

namespace tallybook::output {

using company::Trim;

InvoiceViewModel MakeInvoiceViewModel(const company::CompanyRecord& co,
                                      const InvoiceImage& im) {
  InvoiceViewModel v;
  v.caption = "View Invoice# " + im.invoice_no;
  v.name = im.bill_to_name;
  v.billing = im.billing;
  v.shipping_caption = co.ShippingCaption.Get();
  v.shipping = im.shipping;
  v.date = "Date: " + im.date;
  v.number = "Number: " + im.invoice_no;
  v.account = "Account Number: " + im.account_no;
  v.terms = "Payment Terms: " + im.terms;
  v.reference = "Reference: " + im.reference;
  const bool deposit = im.invoice_kind == "D" || im.invoice_kind == "T";
  v.line_items = !im.memo && !deposit;
  if (v.line_items) {
    v.title = kProductCodeInvoiceTitle;
    v.headings = {"LN",
                  Trim(co.ProductCodeHeading.View()),
                  Trim(co.QuantityHeading.View()),
                  Trim(co.DescriptionHeading.View()),
                  Trim(co.UnitPriceHeading.View()),
                  "T",
                  Trim(co.ExtensionHeading.View())};
    for (int i = 0; i < im.body_count; ++i) {
      const BodyColumns c = ReadBodyColumns(im.body[i]);
      char ln[4];
      std::snprintf(ln, sizeof(ln), "%02d", i + 1);
      v.rows.push_back({ln, c.product_code, c.quantity, c.description,
                        DecimalPreserving(c.unit_price), c.taxable,
                        company::FormatMoneyText(c.extension)});
    }
  } else {
    v.title = kMemoInvoiceTitle;
    if (im.invoice_kind == "D") {
      v.memo_text = kDepositBody;
    } else if (im.invoice_kind == "T") {
      v.memo_text = kOffsetDepositBody;
    } else {
      for (int i = 0; i < company::kMemoLineCount; ++i) {
        if (i > 0) v.memo_text += "\n";
        v.memo_text += im.body[i];
      }
    }
  }
  if (im.type_code == "R") {
    v.note = kRepeatMasterNote;
  } else if (im.type_code == "D" || im.type_code == "T") {
    v.note = "DEPOSIT ON ACCOUNT OF " + Trim(im.paid) +
             ". (A zero amount indicates deposit has been offset).";
  } else if (im.type_code == "G") {
    v.note = kGeneratedNote;
  }
  v.total = Trim(im.total);
  const std::string tax_caption = Trim(co.TaxHeading.View());
  v.tax_caption = tax_caption.empty() ? "Tax:" : tax_caption;
  v.tax = Trim(im.tax);
  v.grand_total = Trim(im.grand_total);
  v.paid = "Paid Amount: " + Trim(im.paid);
  v.balance_due = Trim(im.balance_due);
  return v;
}

}  // namespace tallybook::output
