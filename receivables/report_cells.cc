#include "receivables/report_cells.h"

#include <optional>

#include "billing/invoice_form.h"
#include "company/money.h"
#include "company/text.h"

namespace tallybook::receivables {

Thousandths ThousandthsOf(std::string_view text) {
  const std::optional<company::Decimal> d =
      company::ParseDecimal(company::Trim(text));
  if (!d) return company::CentsOf(text) * 10;
  if (d->scale == 0) return d->units * 1000;
  // Ten times the value, to whole cents, is the value to thousandths.
  return company::RoundToCents(company::Decimal{d->units, d->scale - 1});
}

std::string FormatThousandths(Thousandths value) {
  const bool negative = value < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  const std::string whole = std::to_string(magnitude / 1000);
  std::string grouped;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
    grouped += whole[i];
  }
  std::string fraction = std::to_string(magnitude % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return (negative ? "-" : "") + grouped + "." + fraction;
}

std::string CountCell(std::string_view text, int width) {
  const std::string trimmed = company::Trim(text);
  if (trimmed.size() >= static_cast<size_t>(width)) return trimmed;
  return std::string(width - trimmed.size(), ' ') + trimmed;
}

ReportRow SalesRow(const company::LineRecord& line) {
  const billing::InvoiceLine parts = billing::LineFromRecord(line);
  std::string product = company::Trim(line.LineProductCode.View());
  if (product.empty()) product = kNoProduct;
  return {parts.description,
          product,
          company::Trim(line.InvoiceSortDate.View()),
          company::Trim(line.InvoiceNo.View()),
          company::Trim(line.LineShortName.View()),
          company::Trim(line.CustomerNo.View()),
          FormatThousandths(ThousandthsOf(parts.unit_price)),
          FormatThousandths(ThousandthsOf(parts.quantity)),
          company::FormatCents(company::CentsOf(parts.extension))};
}

bool IsDecimalCell(std::string_view cell) {
  const std::string trimmed = company::Trim(cell);
  if (trimmed.find('.') == std::string::npos) return false;
  return company::ParseDecimal(trimmed).has_value();
}

int64_t CellUnits(std::string_view cell, ColumnKind kind) {
  return kind == ColumnKind::kMoney ? company::CentsOf(cell)
                                    : ThousandthsOf(cell);
}

std::string FormatUnits(int64_t units, ColumnKind kind) {
  return kind == ColumnKind::kMoney ? company::FormatCents(units)
                                    : FormatThousandths(units);
}

}  // namespace tallybook::receivables
