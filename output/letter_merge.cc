#include "output/letter_merge.h"

#include <algorithm>

#include "company/text.h"

namespace tallybook::output {

namespace {

bool IsWordByte(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '_';
}

// The first whole-word match of name in text at or after from; npos if none.
size_t FindWord(const std::string& text, std::string_view name, size_t from) {
  while (from <= text.size()) {
    const size_t at = text.find(name, from);
    if (at == std::string::npos) return at;
    const size_t end = at + name.size();
    if ((at == 0 || !IsWordByte(text[at - 1])) &&
        (end == text.size() || !IsWordByte(text[end]))) {
      return at;
    }
    from = at + 1;
  }
  return std::string::npos;
}

// The runs of p with each [start, start + length) of its text given in
// `matches` (ascending, not overlapping) typed over by value: the value goes
// into the format of the first character it replaces. One pass over the
// paragraph, however many matches it holds.
std::vector<TextRun> TypeOver(const Paragraph& p,
                              const std::vector<size_t>& matches,
                              size_t length, std::string_view value) {
  std::vector<size_t> starts;  // offset of each run in the paragraph's text
  size_t total = 0;
  for (const TextRun& run : p.runs) {
    starts.push_back(total);
    total += run.text.size();
  }
  std::vector<TextRun> out;
  auto append = [&out](const CharFormat& format, std::string_view text) {
    if (text.empty()) return;
    if (!out.empty() && out.back().format == format) {
      out.back().text += text;
    } else {
      out.push_back({format, std::string(text)});
    }
  };
  // The run holding offset `at` (at < total).
  auto run_at = [&](size_t at) {
    return static_cast<size_t>(
        std::upper_bound(starts.begin(), starts.end(), at) - starts.begin() - 1);
  };
  auto copy = [&](size_t from, size_t to) {
    while (from < to) {
      const size_t r = run_at(from);
      const size_t run_end = starts[r] + p.runs[r].text.size();
      const size_t upto = std::min(to, run_end);
      append(p.runs[r].format,
             std::string_view(p.runs[r].text).substr(from - starts[r], upto - from));
      from = upto;
    }
  };
  size_t pos = 0;
  for (size_t at : matches) {
    copy(pos, at);
    append(p.runs[run_at(at)].format, value);
    pos = at + length;
  }
  copy(pos, total);
  return out;
}

}  // namespace

const std::vector<MergeField>& MergeFields() {
  static const std::vector<MergeField> fields = {
      {"TLCSTNO", "Customer Number"},
      {"TLCSTNAME", "Customer Name"},
      {"TLCSTBAL", "Customer Balance"},
      {"TLCSTLPMT", "Customers Last Payment Date"},
      {"TLCSTLSTINV", "Customers Last Invoice Number"},
      {"TLCSTTYPE", "Customer Type"},
      {"TLCSTCREDIT", "Customer Credit Limit"},
      {"TLCSTTERMS", "Customer Payment Terms"},
      {"TLCSTADD1", "Customer Address Line 1"},
      {"TLCSTADD2", "Customer Address Line 2"},
      {"TLCSTADD3", "Customer Address Line 3"},
      {"TLCSTADD4", "Customer Address Line 4"},
      {"TLCSTPHN1", "Customer Billing Address Phone Number"},
      {"TLCSTSHP1", "Customer Shipping Address Line 1"},
      {"TLCSTSHP2", "Customer Shipping Address Line 2"},
      {"TLCSTSHP3", "Customer Shipping Address Line 3"},
      {"TLCSTSHP4", "Customer Shipping Address Line 4"},
      {"TLCSTPHN2", "Customer Shipping Phone Number"},
      {"TLCSTACUR", "Customer Aging Amount (Category 1)"},
      {"TLCSTA3060", "Customer Aging Amount (Category 2)"},
      {"TLCSTA6090", "Customer Aging Amount (Category 3)"},
      {"TLCSTAOV90", "Customer Aging Amount (Category 4)"},
      {"TLCSTNOTES", "Customer Notes"},
      {"TLCSTSNAME", "Customer Short Name"},
      {"TLCSTMLIST", "Customer Mailing List Sort Code"},
      {"TLCMPNAME", "Default Company Name"},
      {"TLCMPADD1", "Default Company Address Line 1"},
      {"TLCMPADD2", "Default Company Address Line 2"},
      {"TLCMPADD3", "Default Company Address Line 3"},
      {"TLCMPADD4", "Default Company Address Line 4"},
      {"TLCMPADD5", nullptr},
  };
  return fields;
}

std::vector<std::string> MergeValues(const company::CustomerRecord& c,
                                     const company::CompanyRecord& co) {
  auto trimmed = [](std::string_view v) {
    return company::Cp1252ToUtf8(company::Trim(v));
  };
  auto stored = [](std::string_view v) { return company::Cp1252ToUtf8(v); };
  return {
      trimmed(c.CustomerNo.View()),     trimmed(c.CustomerName.View()),
      trimmed(c.Balance.View()),        stored(c.LastPaymentDate.View()),
      trimmed(c.LastInvoiceNo.View()),  trimmed(c.CustomerType.View()),
      trimmed(c.CreditLimit.View()),    trimmed(c.Terms.View()),
      trimmed(c.BillAddress1.View()),   trimmed(c.BillAddress2.View()),
      trimmed(c.BillAddress3.View()),   trimmed(c.BillAddress4.View()),
      trimmed(c.Phone1.View()),         trimmed(c.ShipAddress1.View()),
      trimmed(c.ShipAddress2.View()),   trimmed(c.ShipAddress3.View()),
      trimmed(c.ShipAddress4.View()),   trimmed(c.Phone2.View()),
      trimmed(c.AgingCurrent.View()),   trimmed(c.Aging2.View()),
      trimmed(c.Aging3.View()),         trimmed(c.Aging4.View()),
      trimmed(c.CustomerNotes.View()),  trimmed(c.ShortName.View()),
      trimmed(c.MailListCode.View()),   stored(co.CompanyName.View()),
      stored(co.CompanyAddress1.View()), stored(co.CompanyAddress2.View()),
      stored(co.CompanyAddress3.View()), stored(co.CompanyAddress4.View()),
      stored(co.CompanyAddress5.View()),
  };
}

int ReplaceMergeField(LetterDocument* doc, std::string_view name,
                      std::string_view value) {
  int count = 0;
  if (name.empty()) return 0;
  for (Paragraph& p : doc->paragraphs) {
    const std::string text = p.Text();
    std::vector<size_t> matches;
    for (size_t at = FindWord(text, name, 0); at != std::string::npos;
         at = FindWord(text, name, at + name.size())) {
      matches.push_back(at);
    }
    if (matches.empty()) continue;
    p.runs = TypeOver(p, matches, name.size(), value);
    count += static_cast<int>(matches.size());
  }
  return count;
}

void MergeLetter(LetterDocument* doc, const std::vector<std::string>& values) {
  const std::vector<MergeField>& fields = MergeFields();
  for (size_t i = 0; i < fields.size() && i < values.size(); ++i) {
    ReplaceMergeField(doc, fields[i].name, values[i]);
  }
}

}  // namespace tallybook::output
