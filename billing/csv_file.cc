#include "billing/csv_file.h"

namespace tallybook::billing {

bool ParseCsv(std::string_view text, std::vector<CsvRecord>* records,
              std::string* error) {
  records->clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int line = 1;
  size_t i = 0;
  const size_t n = text.size();
  auto fail = [&](int at, const std::string& why) {
    *error = "line " + std::to_string(at) + ": " + why;
    return false;
  };
  while (i < n) {
    CsvRecord record;
    record.line = line;
    for (;;) {
      std::string field;
      if (i < n && text[i] == '"') {
        const int start_line = line;
        ++i;
        for (;;) {
          if (i >= n) return fail(start_line, "a quoted field is not closed");
          const char c = text[i++];
          if (c == '"') {
            if (i < n && text[i] == '"') {
              field += '"';
              ++i;
              continue;
            }
            break;
          }
          if (c == '\n') ++line;
          field += c;
        }
        if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          return fail(line, "text follows a closing quote");
        }
      } else {
        while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          if (text[i] == '"') {
            return fail(line, "a quote inside a field that is not quoted");
          }
          field += text[i++];
        }
      }
      record.fields.push_back(std::move(field));
      if (i < n && text[i] == ',') {
        ++i;
        continue;
      }
      break;
    }
    // The end of the record: CR LF, LF, a lone CR, or the end of the text.
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;
    ++line;
    records->push_back(std::move(record));
  }
  return true;
}

std::string CsvField(std::string_view value) {
  const bool quote =
      value.find_first_of(",\"\r\n") != std::string_view::npos ||
      (!value.empty() && (value.front() == ' ' || value.back() == ' '));
  if (!quote) return std::string(value);
  std::string out = "\"";
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

namespace {

bool StartsFormula(std::string_view value) {
  const size_t first = value.find_first_not_of('\'');
  if (first == std::string_view::npos) return false;
  const char c = value[first];
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' ||
         c == '\r';
}

}  // namespace

std::string GuardFormula(std::string_view value) {
  if (!StartsFormula(value)) return std::string(value);
  return "'" + std::string(value);
}

std::string UnguardFormula(std::string_view value) {
  if (!value.empty() && value.front() == '\'' && StartsFormula(value)) {
    value.remove_prefix(1);
  }
  return std::string(value);
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += CsvField(GuardFormula(fields[i]));
  }
  out += "\r\n";
  return out;
}

}  // namespace tallybook::billing
