// The mail merge of form letters: merge-field names in a letter replaced by
// a customer's and the current company's data.
//
// The fields are replaced one after the other in table order. Each is found
// case-sensitively and as a whole word (letters, digits, '_' and every
// character beyond ASCII make up words, so TLCSTADD1 is not found inside
// TLCSTADD10 or TLCSTADD1X), and every match is replaced by the value, which
// takes the format of the match's first character. A value that holds a
// later field's name is therefore replaced again by that later field; a
// value that holds its own field's name is left as it is, so no value can
// make the merge run forever.
#ifndef TALLYBOOK_OUTPUT_LETTER_MERGE_H_
#define TALLYBOOK_OUTPUT_LETTER_MERGE_H_

#include <string>
#include <string_view>
#include <vector>

#include "company/company_record.h"
#include "company/records.h"
#include "output/letter_document.h"

namespace tallybook::output {

struct MergeField {
  const char* name;         // TLCSTNO ...
  const char* description;  // shown in the window's list; null: not listed
};

inline constexpr int kMergeFieldCount = 31;

// The merge fields in the order they are replaced.
const std::vector<MergeField>& MergeFields();

// The values of the merge fields, in MergeFields() order, as UTF-8: the
// customer's fields with blanks trimmed (the last payment date as stored),
// the company's name and five address lines as stored.
std::vector<std::string> MergeValues(const company::CustomerRecord& customer,
                                     const company::CompanyRecord& company);

// Replaces every whole-word match of name in doc by value; returns the
// number of matches replaced.
int ReplaceMergeField(LetterDocument* doc, std::string_view name,
                      std::string_view value);

// Replaces all merge fields in doc by values (MergeValues order).
void MergeLetter(LetterDocument* doc, const std::vector<std::string>& values);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LETTER_MERGE_H_
