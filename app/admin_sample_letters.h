// The sample form letters of the repository's samples/ folder (a payment
// reminder and a price notice that use the merge fields), built into
// tallybook-admin so that the demo can put them beside its data files.
#ifndef TALLYBOOK_APP_ADMIN_SAMPLE_LETTERS_H_
#define TALLYBOOK_APP_ADMIN_SAMPLE_LETTERS_H_

#include <string>
#include <vector>

namespace tallybook::admin {

struct SampleLetter {
  std::string file_name;  // "Reminder.RTF"
  std::string bytes;
};

// The letters of samples/, by file name (made at build time).
const std::vector<SampleLetter>& SampleLetters();

// Writes each sample letter into dir unless a file of its name is there
// (a letter the user changed is never replaced). False and *failure when
// one could not be written.
bool InstallSampleLetters(const std::string& dir, std::string* failure);

}  // namespace tallybook::admin

#endif  // TALLYBOOK_APP_ADMIN_SAMPLE_LETTERS_H_
