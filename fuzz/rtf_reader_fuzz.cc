// Fuzz target: reading a letter as rich text. A letter that was read must
// survive being written and read again unchanged, and merging customer
// data into it must finish; otherwise the target fails.
//
// Input: the bytes of a .RTF letter.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "output/letter_merge.h"
#include "output/rtf_reader.h"
#include "output/rtf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace output = tallybook::output;
  const std::string rtf(reinterpret_cast<const char*>(data), size);
  output::LetterDocument doc;
  std::string error;
  if (!output::ReadRtf(rtf, &doc, &error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  output::LetterDocument again;
  if (!output::ReadRtf(output::WriteRtf(doc), &again, &error) ||
      !(again == doc)) {
    std::fprintf(stderr, "fuzz: the letter did not survive a rewrite: %s\n",
                 error.c_str());
    std::abort();
  }
  // Values that hold field names, their own included.
  std::vector<std::string> values;
  for (const output::MergeField& field : output::MergeFields()) {
    values.push_back(std::string(field.name) + " " + field.name);
  }
  output::MergeLetter(&doc, values);
  return 0;
}
