// The merge print of form letters: one copy of a letter for every customer
// in the label print queue, merge fields filled with that customer's and
// the current company's data.
//
// A run saves the letter as kMergeTemplateName in the data directory, opens
// the current company's customer file, and for each queued customer in
// queue order reads the customer by number, loads the template, merges it
// and hands the merged letter to the sink (the printer: one job per
// customer, titled with the letter's file name). A queued customer that no
// longer exists gets no letter and is named at the end. The template is
// read back as the letter to show afterwards and deleted.
#ifndef TALLYBOOK_OUTPUT_LETTER_MERGE_PRINT_H_
#define TALLYBOOK_OUTPUT_LETTER_MERGE_PRINT_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "company/app.h"
#include "output/letter_document.h"
#include "platform/canvas.h"

namespace tallybook::output {

inline constexpr char kLetterWizardCaption[] = "Letter Wizard";
inline constexpr char kEmptyLetterQueueText[] =
    "You do not have any customer records listed in the Label print queue.";
inline constexpr char kNoLetterText[] =
    "You do not have any text to print. You need to create or open an "
    "existing letter.";
inline constexpr char kMergeTemplateName[] = "TLLetter.TMP";
inline constexpr char kProcessingText[] = "Processing...";

// "Processing letter 2 of 3..."
std::string ProcessingLetterText(int number, int count);
// The notice naming queued customers that were not found.
std::string NoLetterCustomersText(const std::vector<std::string>& numbers);

// The refusals before a merge print: an empty queue, then a letter without
// text, each shown as its message. True when printing may go on.
bool MayMergePrint(company::App& app, const LetterDocument& letter);

// Takes one merged letter: true when it was printed (or written); false
// with *error stops the run.
using LetterSink = std::function<bool(const company::LabelQueueRow& row,
                                      const LetterDocument& merged,
                                      std::string* error)>;

struct MergePrintOutcome {
  bool completed = false;   // every queued customer was handled
  int printed = 0;
  std::vector<std::string> missing;  // customer numbers not found
  std::vector<platform::PrintJobStatus> jobs;  // printer sink only
  std::string error;        // why the run stopped, when it did
  // The letter read back from the template, to put back in the editor;
  // empty when the template could not be written.
  std::optional<LetterDocument> restored;
};

// The sink that prints each letter as one job titled `title` through the
// app's printer, recording each job in *jobs.
LetterSink PrinterSink(company::App& app, const std::string& title,
                       std::vector<platform::PrintJobStatus>* jobs);

// Runs the merge over app.label_queue with `letter` (see above). progress
// receives kProcessingText, then ProcessingLetterText for each letter. No
// messages are shown; the caller shows outcome.error and the missing
// customers (NoLetterCustomersText).
MergePrintOutcome MergePrint(company::App& app, const LetterDocument& letter,
                             const LetterSink& sink,
                             const std::function<void(const std::string&)>&
                                 progress);

// MergePrint through the printer, with its messages: the error of a run
// that stopped, and the customers not found.
MergePrintOutcome MergePrintToPrinter(
    company::App& app, const LetterDocument& letter, const std::string& title,
    const std::function<void(const std::string&)>& progress);

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LETTER_MERGE_PRINT_H_
