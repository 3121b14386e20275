#include "output/letter_merge_print.h"

#include <cstdio>

#include "company/data_access.h"
#include "company/keys.h"
#include "company/text.h"
#include "output/invoice_files.h"
#include "output/letter_merge.h"
#include "output/letter_print.h"

namespace tallybook::output {

std::string ProcessingLetterText(int number, int count) {
  return "Processing letter " + std::to_string(number) + " of " +
         std::to_string(count) + "...";
}

std::string NoLetterCustomersText(const std::vector<std::string>& numbers) {
  std::string list;
  for (const std::string& n : numbers) {
    if (!list.empty()) list += ", ";
    list += company::Trim(n);
  }
  return "No letter was printed for these queued customers, who are no "
         "longer in the customer file: " +
         list + ".";
}

bool MayMergePrint(company::App& app, const LetterDocument& letter) {
  platform::Messages& messages = app.services().messages;
  if (app.label_queue.empty()) {
    platform::Inform(messages, kLetterWizardCaption, kEmptyLetterQueueText);
    return false;
  }
  if (letter.IsEmpty()) {
    platform::Inform(messages, kLetterWizardCaption, kNoLetterText);
    return false;
  }
  return true;
}

LetterSink PrinterSink(company::App& app, const std::string& title,
                       std::vector<platform::PrintJobStatus>* jobs) {
  return [&app, title, jobs](const company::LabelQueueRow&,
                             const LetterDocument& merged,
                             std::string* error) {
    platform::Printer& printer = app.services().printer;
    std::unique_ptr<platform::Canvas> canvas = printer.BeginJob(title);
    if (!canvas) {
      *error = printer.LastError();
      return false;
    }
    DrawLetter(*canvas, merged);
    const platform::PrintJobStatus status = canvas->EndJob();
    jobs->push_back(status);
    if (!status.ok) *error = status.error;
    return status.ok;
  };
}

MergePrintOutcome MergePrint(
    company::App& app, const LetterDocument& letter, const LetterSink& sink,
    const std::function<void(const std::string&)>& progress) {
  MergePrintOutcome outcome;
  progress(kProcessingText);
  const std::string template_path = app.PathOf(kMergeTemplateName);
  if (!SaveLetterFile(template_path, letter, &outcome.error)) return outcome;

  company::CustomerAccess customers(app);
  if (!customers.OpenCompanyFile()) {
    outcome.error = "The customer file could not be opened (error " +
                    std::to_string(app.engine().StoreError()) + ").";
  } else {
    store::Engine& engine = app.engine();
    // The queue may change under a window's loop; the run works on a copy.
    const std::vector<company::LabelQueueRow> queue = app.label_queue;
    const int count = static_cast<int>(queue.size());
    outcome.completed = true;
    for (int i = 0; i < count; ++i) {
      const company::LabelQueueRow& row = queue[i];
      const std::string key =
          company::KeyText(row.customer_no, company::kCustomerNoKeyLength);
      company::CustomerRecord customer;
      bool found = false;
      if (!ForEachKeyEqual(engine, customers.handle(), 2, key,
                           [&](int32_t ref) {
                             found = engine.GetRecord(customers.handle(), ref,
                                                      &customer);
                             return false;
                           })) {
        outcome.error = "The customer file could not be read (error " +
                        std::to_string(engine.StoreError()) + ").";
        outcome.completed = false;
        break;
      }
      if (!found) {
        outcome.missing.push_back(row.customer_no);
        continue;
      }
      std::optional<LetterDocument> merged =
          LoadLetterFile(template_path, &outcome.error);
      if (!merged) {
        outcome.completed = false;
        break;
      }
      MergeLetter(&*merged, MergeValues(customer, app.CurrentCompany));
      if (!sink(row, *merged, &outcome.error)) {
        outcome.completed = false;
        break;
      }
      ++outcome.printed;
      progress(ProcessingLetterText(i + 1, count));
    }
    customers.Close();
  }
  std::string ignored;
  outcome.restored = LoadLetterFile(template_path, &ignored);
  std::remove(template_path.c_str());
  return outcome;
}

MergePrintOutcome MergePrintToPrinter(
    company::App& app, const LetterDocument& letter, const std::string& title,
    const std::function<void(const std::string&)>& progress) {
  std::vector<platform::PrintJobStatus> jobs;
  MergePrintOutcome outcome =
      MergePrint(app, letter, PrinterSink(app, title, &jobs), progress);
  outcome.jobs = std::move(jobs);
  platform::Messages& messages = app.services().messages;
  if (!outcome.error.empty()) {
    platform::ShowError(messages, kLetterWizardCaption, outcome.error);
  }
  if (!outcome.missing.empty()) {
    platform::Inform(messages, kLetterWizardCaption,
                     NoLetterCustomersText(outcome.missing));
  }
  return outcome;
}

}  // namespace tallybook::output
