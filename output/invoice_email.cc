#include "output/invoice_email.h"

#include <algorithm>

#include "company/format.h"
#include "company/text.h"

namespace tallybook::output {

using company::PadRight;
using company::RightAlign;
using company::Trim;

namespace {

// text padded to width and cut there.
std::string Left(std::string_view text, int width) {
  std::string out = PadRight(Trim(text), width);
  out.resize(static_cast<size_t>(width));
  return out;
}

}  // namespace

std::string InvoiceCaptionOf(const company::CompanyRecord& company) {
  const std::string caption = Trim(company.InvoiceCaption.View());
  return caption.empty() ? kDefaultInvoiceCaption : caption;
}

std::string OverCaption(const company::CompanyRecord& company) {
  return "Over " + Trim(company.AgingDays3.View()) + ":";
}

std::string EmailSeparator(const company::CompanyRecord& company) {
  return company::IsYes(company.EMailLines.View()) ? std::string(82, '-')
                                                   : std::string(" ");
}

void AppendEmailLetterhead(const company::CompanyRecord& company,
                           const std::string& caption,
                           std::vector<std::string>* out) {
  out->push_back(company.CompanyName.Get() + RightAlign(caption, 35));
  for (const auto* line :
       {&company.CompanyAddress1, &company.CompanyAddress2,
        &company.CompanyAddress3, &company.CompanyAddress4,
        &company.CompanyAddress5}) {
    if (!Trim(line->View()).empty()) out->push_back(line->Get());
  }
}

InvoiceEmail ComposeInvoiceEmail(const company::CompanyRecord& company,
                                 const InvoiceImage& image) {
  InvoiceEmail mail;
  const bool include_all = company::IsYes(company.EMailIncludeAll.View());
  if (!include_all && Trim(image.email_address).empty()) return mail;
  mail.send = true;

  const std::string separator = EmailSeparator(company);
  std::vector<std::string>& out = mail.lines;
  if (image.balance_due_value < 0) {
    out.push_back(kCreditSpaced);
    out.push_back(" ");
  }
  if (image.printed_flag == "Y" && company.PrintDuplicateMark != 0) {
    out.push_back(kDuplicateEmailBanner);
  }
  out.push_back(" ");
  AppendEmailLetterhead(company, InvoiceCaptionOf(company), &out);

  out.push_back(separator);
  if (Trim(image.billing[0]).empty()) {
    out.push_back(image.bill_to_name);
  } else {
    out.push_back(PadRight(image.bill_to_name, 38) +
                  company.ShippingCaption.Get());
    for (int k = 0; k < 4; ++k) {
      out.push_back(PadRight(image.billing[k], 38) + image.shipping[k]);
    }
  }

  out.push_back(separator);
  out.push_back("Date: " + image.date);
  out.push_back("Number: " + image.invoice_no);
  out.push_back("Account Number: " + image.account_no);
  out.push_back("Payment Terms: " + image.terms);
  out.push_back("Reference: " + image.reference);

  out.push_back(separator);
  if (!image.memo) {
    out.push_back(Left(company.ProductCodeHeading.View(), 10) + " " +
                  Left(company.QuantityHeading.View(), 10) + " " +
                  Left(company.DescriptionHeading.View(), 32) + " " +
                  Left(company.UnitPriceHeading.View(), 11) + " T " +
                  RightAlign("Extended", 12));
    out.push_back(
        "---------- ---------- -------------------------------- ----------- "
        "- ------------");
    for (int i = 0; i < image.body_count; ++i) {
      if (image.body[i].size() <= 1) continue;
      const BodyColumns c = ReadBodyColumns(image.body[i]);
      out.push_back(Left(c.product_code, 10) + " " +
                    NumberInWidth(c.quantity, 10) + " " +
                    Left(c.description, 32) + " " +
                    NumberInWidth(DecimalPreserving(c.unit_price), 11) + " " +
                    Left(c.taxable, 1) + " " +
                    NumberInWidth(company::FormatMoneyText(c.extension), 12));
    }
  } else {
    out.push_back(company.MemoHeader.Get());
    out.push_back(" ");
    int last = 1;  // at least the first two lines
    for (int i = 0; i < kBodyLineCount; ++i) {
      if (image.body[i].size() > 1) last = std::max(last, i);
    }
    for (int i = 0; i <= last; ++i) out.push_back(image.body[i]);
  }

  out.push_back(separator);
  out.push_back("Total: " + image.total);
  const std::string tax_caption = Trim(company.TaxHeading.View());
  if (!tax_caption.empty() || image.tax_value != 0) {
    out.push_back(tax_caption + " " + image.tax);
  }
  out.push_back("Grand Total: " + image.grand_total);
  if (image.paid_date.size() > 7) out.push_back("Paid Date: " + image.paid_date);
  out.push_back("Paid Amount: " + image.paid);
  out.push_back("Balance Due: " + image.balance_due);

  if (image.notes_on_invoices == "Y" && image.customer_notes.size() > 1) {
    if (company::IsYes(company.EMailLines.View())) {
      out.push_back(std::string(82, '-'));
    }
    out.push_back(image.customer_notes);
  }
  if (company.PrintSalesMessage != 0) {
    out.push_back(separator);
    for (const auto* line : {&company.SalesMessage1, &company.SalesMessage2,
                             &company.SalesMessage3, &company.SalesMessage4}) {
      if (!Trim(line->View()).empty()) out.push_back(line->Get());
    }
  }
  if (company.PrintCustomerAging != 0) {
    out.push_back(" ");
    out.push_back("Account Status:");
    const std::string captions[4] = {company.AgingCaption1.Get(),
                                     company.AgingCaption2.Get(),
                                     company.AgingCaption3.Get(),
                                     OverCaption(company)};
    for (int k = 0; k < 4; ++k) {
      out.push_back(RightAlign(captions[k], 10) + " " + image.aging[k]);
    }
  }

  mail.from = Trim(company.ReplyEMailAddress.View());
  mail.subject = InvoiceCaptionOf(company) + " - " + image.invoice_no;
  mail.to = Trim(image.email_address);
  if (mail.to.size() < 2) {
    mail.subject = kBadAddressSubject;
    mail.to = mail.from;
    mail.bad_address = true;
  }
  return mail;
}

}  // namespace tallybook::output
