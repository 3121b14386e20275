#include "billing/csv_records.h"

#include <optional>
#include <set>

#include "billing/csv_file.h"
#include "billing/customer_manager.h"
#include "billing/product_manager.h"
#include "company/format.h"
#include "company/keys.h"
#include "company/text.h"

namespace tallybook::billing {

using company::Trim;

namespace {

// Decimals an amount of the files may have: money two, a unit price up to
// the four the invoice shows.
constexpr int kMoneyDecimals = 2;
constexpr int kUnitPriceDecimals = 4;

std::vector<std::string> SplitColumns(std::string_view list) {
  std::vector<std::string> names;
  size_t start = 0;
  for (;;) {
    const size_t comma = list.find(',', start);
    names.emplace_back(list.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return names;
}

// One row of an import: the header's columns mapped to the known ones.
class CsvRows {
 public:
  CsvRows(std::string_view known_columns, std::vector<std::string> required)
      : known_(SplitColumns(known_columns)), required_(std::move(required)) {}

  // Parses the text and maps its header. False with *error.
  bool Load(std::string_view csv, std::string* error) {
    if (!ParseCsv(csv, &records_, error)) return false;
    // Blank lines are no records.
    std::erase_if(records_, [](const CsvRecord& r) {
      return r.fields.size() == 1 && r.fields[0].empty();
    });
    if (records_.empty()) {
      *error = "the file has no header row";
      return false;
    }
    index_.assign(known_.size(), -1);
    const CsvRecord& header = records_.front();
    for (size_t i = 0; i < header.fields.size(); ++i) {
      const std::string name =
          company::UpperCase1252(Trim(header.fields[i]));
      size_t k = 0;
      while (k < known_.size() && company::UpperCase1252(known_[k]) != name) ++k;
      if (k == known_.size()) {
        *error = "line 1: unknown column \"" + Trim(header.fields[i]) + "\"";
        return false;
      }
      if (index_[k] >= 0) {
        *error = "line 1: column \"" + known_[k] + "\" is given twice";
        return false;
      }
      index_[k] = static_cast<int>(i);
    }
    for (const std::string& name : required_) {
      if (!Has(name)) {
        *error = "line 1: the column \"" + name + "\" is required";
        return false;
      }
    }
    width_ = header.fields.size();
    records_.erase(records_.begin());
    return true;
  }

  const std::vector<CsvRecord>& rows() const { return records_; }
  size_t width() const { return width_; }
  bool Has(const std::string& column) const { return Index(column) >= 0; }
  // The row's value of a column; empty when the file has no such column.
  std::string Value(const CsvRecord& row, const std::string& column) const {
    const int i = Index(column);
    return i >= 0 && static_cast<size_t>(i) < row.fields.size()
               ? UnguardFormula(row.fields[static_cast<size_t>(i)])
               : std::string();
  }

 private:
  int Index(const std::string& column) const {
    for (size_t k = 0; k < known_.size(); ++k) {
      if (known_[k] == column) return index_[k];
    }
    return -1;
  }

  std::vector<std::string> known_;
  std::vector<std::string> required_;
  std::vector<CsvRecord> records_;
  std::vector<int> index_;
  size_t width_ = 0;
};

bool HasControl(std::string_view text, bool multi_line) {
  for (unsigned char c : text) {
    if (multi_line && (c == '\r' || c == '\n' || c == '\t')) continue;
    if (c < 32 || c == 127) return true;
  }
  return false;
}

// [-]digits[.decimals], commas among the digits; empty counts as none.
bool IsPlainAmount(std::string_view text, int max_decimals) {
  if (text.empty()) return true;
  if (text.front() == '-') text.remove_prefix(1);
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view decimals =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() && decimals.empty()) return false;
  if (!whole.empty() && (whole.front() == ',' || whole.back() == ',')) return false;
  for (char c : whole) {
    if ((c < '0' || c > '9') && c != ',') return false;
  }
  if (decimals.size() > static_cast<size_t>(max_decimals)) return false;
  for (char c : decimals) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Collects the problems of one row while its fields are converted.
class RowReader {
 public:
  RowReader(const CsvRows& rows, const CsvRecord& row) : rows_(rows), row_(row) {
    if (row.fields.size() != rows.width()) {
      Problem("it has " + std::to_string(row.fields.size()) +
              " fields, the header has " + std::to_string(rows.width()));
    }
  }

  // The column's text in the records' encoding, at most max_length long.
  // Only a multi-line field (the notes) may hold line breaks and tabs; no
  // field takes other control characters.
  std::string Text(const std::string& column, int max_length,
                   bool multi_line = false) {
    const std::string utf8 = rows_.Value(row_, column);
    std::string text = company::Utf8ToCp1252(utf8);
    if (company::Cp1252ToUtf8(text) != utf8) {
      Problem(column + " holds characters the records cannot hold");
    } else if (HasControl(text, multi_line)) {
      Problem(column + " holds a control character");
    } else if (text.size() > static_cast<size_t>(max_length)) {
      Problem(column + " is longer than " + std::to_string(max_length) +
              " characters");
    }
    return text;
  }
  // An amount column: empty, or digits (thousands commas allowed) with at
  // most max_decimals after the point; an exponent ("1e3") is refused.
  std::string Amount(const std::string& column, int max_length,
                     int max_decimals) {
    const std::string text = Text(column, max_length);
    if (problem_.empty() && !IsPlainAmount(Trim(text), max_decimals)) {
      Problem(column + " \"" + company::Cp1252ToUtf8(Trim(text)) +
              "\" is not a number with at most " +
              std::to_string(max_decimals) + " decimals");
    }
    return text;
  }
  // A Y/N column: empty counts N.
  bool YesNoField(const std::string& column) {
    const std::string text = company::UpperCase1252(Trim(Text(column, 1)));
    if (!text.empty() && text != "Y" && text != "N") {
      Problem(column + " must be Y or N");
    }
    return text == "Y";
  }
  void Problem(const std::string& why) {
    if (problem_.empty()) problem_ = "line " + std::to_string(row_.line) + ": " + why;
  }
  const std::string& problem() const { return problem_; }

 private:
  const CsvRows& rows_;
  const CsvRecord& row_;
  std::string problem_;
};

// Writes the sound records, taking them all back when one fails.
template <class Access, class Record>
bool WriteAll(Access& access, const std::vector<std::pair<int, Record>>& records,
              CsvImportResult* result) {
  std::vector<std::pair<int32_t, Record>> written;
  for (const auto& [line, record] : records) {
    access.SetRecord(record);
    int32_t rec_no = 0;
    if (!access.AddWithKeys(rec_no)) {
      const int store_error = access.engine().StoreError();
      for (auto it = written.rbegin(); it != written.rend(); ++it) {
        access.SetRecord(it->second);
        access.DeleteWithKeys(it->first);
      }
      result->error = "line " + std::to_string(line) + ": " +
                      company::kAddFailed + " (store error " +
                      std::to_string(store_error) +
                      "); nothing of the file was written";
      result->written = 0;
      return false;
    }
    written.emplace_back(rec_no, record);
  }
  result->written = static_cast<int>(written.size());
  return true;
}

std::string Utf8(std::string_view text) { return company::Cp1252ToUtf8(text); }

}  // namespace

CsvImportResult ImportCustomersCsv(company::App& app, std::string_view csv,
                                   bool skip_bad) {
  CsvImportResult result;
  CsvRows rows(kCustomerCsvColumns, {"number", "name"});
  if (!rows.Load(csv, &result.error)) return result;
  CustomerManager manager(app);
  if (!manager.Open()) {
    result.error = "the customer file could not be opened";
    return result;
  }
  std::set<std::string> numbers, names, name_keys;
  std::vector<std::pair<int, CustomerRecord>> sound;
  int32_t highest = 0;
  for (const CsvRecord& row : rows.rows()) {
    RowReader read(rows, row);
    CustomerForm form = NewCustomerForm(app);
    form.number = read.Text("number", 8);
    form.name = read.Text("name", 35);
    const char* bill[] = {"address1", "address2", "address3", "address4"};
    const char* ship[] = {"ship1", "ship2", "ship3", "ship4"};
    for (int n = 0; n < 4; ++n) {
      form.bill[n] = read.Text(bill[n], 35);
      form.ship[n] = read.Text(ship[n], 35);
    }
    form.phone1 = read.Text("phone1", 25);
    form.phone2 = read.Text("phone2", 25);
    form.email = read.Text("email", 50);
    if (rows.Has("terms")) form.terms = read.Text("terms", 35);
    form.customer_type = read.Text("type", 25);
    form.credit_limit = read.Amount("credit_limit", 10, kMoneyDecimals);
    form.tax_exempt = read.YesNoField("tax_exempt") ? "Y" : "N";
    form.short_name = read.Text("short_name", 10);
    form.mail_code = read.Text("mail_code", 15);
    form.notes = read.Text("notes", 240, /*multi_line=*/true);
    form.credit_hold = read.YesNoField("credit_hold");
    form.notes_on_invoices = read.YesNoField("notes_on_invoices");
    form.notes_on_statements = read.YesNoField("notes_on_statements");
    if (Trim(form.number).empty()) read.Problem("the customer number is empty");
    if (read.problem().empty()) {
      const FormProblem<CustomerField> problem =
          manager.FindCustomerProblem(form, kAddingCustomer);
      if (problem.field != CustomerField::kNone) read.Problem(Utf8(problem.text));
    }
    const std::string number = NumberAsKey(form.number);
    const std::string name = company::UpperCase1252(Trim(form.name));
    const std::string name_key =
        company::KeyText(form.name, company::kCustomerNameKeyLength);
    // The rows before this one, as the dialog's checks did the file.
    if (read.problem().empty()) {
      if (numbers.count(number) > 0) {
        read.Problem(kCustomerNumberExists);
      } else if (names.count(name) > 0) {
        read.Problem(kCustomerNameExists);
      } else if (name_keys.count(name_key) > 0) {
        read.Problem("the name begins with the same 30 characters as another "
                     "customer's");
      }
    }
    if (!read.problem().empty()) {
      result.bad_rows.push_back(read.problem());
      continue;
    }
    numbers.insert(number);
    names.insert(name);
    name_keys.insert(name_key);
    int32_t value = 0;
    if (company::ParseWholeNumber(form.number, &value) && value > highest) {
      highest = value;
    }
    sound.emplace_back(row.line, NewCustomerRecord(form));
  }
  if (!result.bad_rows.empty() && !skip_bad) {
    result.refused = true;
  } else if (WriteAll(manager.customers(), sound, &result)) {
    int32_t next = 0;
    company::ParseWholeNumber(app.CurrentCompany.NextCustomerNo.View(), &next);
    if (highest > 0 && highest >= next) {
      manager.SetNextCustomerNo(std::to_string(highest + 1));
    }
  }
  manager.Close();
  return result;
}

CsvImportResult ImportProductsCsv(company::App& app, std::string_view csv,
                                  bool skip_bad) {
  CsvImportResult result;
  CsvRows rows(kProductCsvColumns, {"code", "description"});
  if (!rows.Load(csv, &result.error)) return result;
  ProductManager manager(app);
  if (!manager.Open()) {
    result.error = "the product file could not be opened";
    return result;
  }
  std::set<std::string> codes;
  std::vector<std::pair<int, ProductRecord>> sound;
  for (const CsvRecord& row : rows.rows()) {
    RowReader read(rows, row);
    ProductForm form;
    form.code = read.Text("code", 10);
    form.description = read.Text("description", 32);
    form.price = read.Amount("price", 10, kUnitPriceDecimals);
    form.taxable = read.YesNoField("taxable");
    form.notes = read.Text("notes", 150, /*multi_line=*/true);
    if (read.problem().empty()) {
      const FormProblem<ProductField> problem =
          manager.FindProductProblem(form, std::nullopt);
      if (problem.field != ProductField::kNone) {
        read.Problem(Utf8(problem.text));
      } else if (codes.count(ProductCodeAsKey(form.code)) > 0) {
        read.Problem("the product code " + Utf8(Trim(form.code)) +
                     " is given twice");
      }
    }
    if (!read.problem().empty()) {
      result.bad_rows.push_back(read.problem());
      continue;
    }
    codes.insert(ProductCodeAsKey(form.code));
    sound.emplace_back(row.line, NewProductRecord(form, app.TodayText));
  }
  if (!result.bad_rows.empty() && !skip_bad) {
    result.refused = true;
  } else {
    WriteAll(manager.products(), sound, &result);
  }
  manager.Close();
  return result;
}

bool ExportCustomersCsv(company::App& app, std::string* csv,
                        std::string* error) {
  CustomerManager manager(app);
  if (!manager.Open()) {
    *error = "the customer file could not be opened";
    return false;
  }
  *csv = CsvLine(SplitColumns(kCustomerCsvColumns));
  const bool read = ForEachByKey<CustomerRecord>(
      app.engine(), manager.customers().handle(), kCustomerNoKey,
      [csv](const CustomerRecord& r) {
        *csv += CsvLine({Utf8(r.CustomerNo.View()), Utf8(r.CustomerName.View()),
                         Utf8(r.BillAddress1.View()), Utf8(r.BillAddress2.View()),
                         Utf8(r.BillAddress3.View()), Utf8(r.BillAddress4.View()),
                         Utf8(r.ShipAddress1.View()), Utf8(r.ShipAddress2.View()),
                         Utf8(r.ShipAddress3.View()), Utf8(r.ShipAddress4.View()),
                         Utf8(r.Phone1.View()), Utf8(r.Phone2.View()),
                         Utf8(r.EMailAddress.View()), Utf8(r.Terms.View()),
                         Utf8(r.CustomerType.View()), Utf8(r.CreditLimit.View()),
                         Utf8(r.TaxExempt.View()), Utf8(r.ShortName.View()),
                         Utf8(r.MailListCode.View()),
                         Utf8(r.CustomerNotes.View()),
                         Utf8(r.CreditHold.View()),
                         Utf8(r.NotesOnInvoices.View()),
                         Utf8(r.NotesOnStatements.View())});
      });
  if (!read) {
    *error = "the customer file could not be read (store error " +
             std::to_string(app.engine().StoreError()) + ")";
  }
  manager.Close();
  return read;
}

bool ExportProductsCsv(company::App& app, std::string* csv, std::string* error) {
  ProductManager manager(app);
  if (!manager.Open()) {
    *error = "the product file could not be opened";
    return false;
  }
  *csv = CsvLine(SplitColumns(kProductCsvColumns));
  const bool read = ForEachByKey<ProductRecord>(
      app.engine(), manager.products().handle(), kProductCodeKey,
      [csv](const ProductRecord& r) {
        *csv += CsvLine({Utf8(r.ProductCode.View()),
                         Utf8(r.ProductDescription.View()),
                         Utf8(r.SalesPrice.View()), r.Taxable ? "Y" : "N",
                         Utf8(r.ProductNotes.View())});
      });
  if (!read) {
    *error = "the product file could not be read (store error " +
             std::to_string(app.engine().StoreError()) + ")";
  }
  manager.Close();
  return read;
}

}  // namespace tallybook::billing
