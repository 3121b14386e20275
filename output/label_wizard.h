// LabelWizard: what the label wizard window ("Label Wizard / Print Queue")
// does, as plain logic over the App and the platform. The window keeps one
// for the whole run; the queue itself lives in App.
//
// At start-up the layout named by "Lastlbl.DAT" is read. Without one,
// printing and every queue command except Open stay disabled
// (layout_ready() is false) and the status asks for a layout; a
// "Lastlbl.DAT" that names a file no longer there is deleted.
//
// File errors while reading or writing the layout file or "Lastlbl.DAT"
// stop the command with their message; the wizard keeps its previous
// layout.
#ifndef TALLYBOOK_OUTPUT_LABEL_WIZARD_H_
#define TALLYBOOK_OUTPUT_LABEL_WIZARD_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "company/app.h"
#include "output/label_layout.h"
#include "output/label_print.h"
#include "output/label_queue.h"

namespace tallybook::output {

inline constexpr char kLabelWizardTitle[] = "Label Wizard / Print Queue";
inline constexpr char kLabelWizardHelpTopic[] = "LabelWizard";
inline constexpr char kOpenLayoutStatus[] =
    "Open a label layout file (Label Menu)...";
inline constexpr char kLabelsReadyStatus[] =
    "Ready. Add and remove records as needed or select print button.";
inline constexpr char kChooseCustomerStatus[] =
    "Double-click or press <enter> to select.";
inline constexpr char kPrintLabelsCaption[] = "Print Labels";
inline constexpr char kNoQueueToPrintText[] =
    "You do not have any customer records listed in the print queue.";
inline constexpr char kEmptyLayoutFieldText[] =
    "You have an empty layout definition field. All six fields are required. "
    "Unable to print.";
inline constexpr char kLayoutChangedQuestion[] =
    "Your layout settings have changed. Do you want to save the changes "
    "before printing?";
inline constexpr char kPrintingLabelsStatus[] = "Printing labels...";
inline constexpr char kRulerQuestion[] =
    "This feature will print the calibration ruler on your printer. You can "
    "use it to help you calculate margin settings. Continue?";
inline constexpr char kRulerSentStatus[] = "Calibration ruler sent to printer.";
inline constexpr char kLabelWizardCaption[] = "Label Wizard";

// "Complete. " + count + " label(s) sent to printer.".
std::string LabelsSentText(int count);
// Told after printing when queued customers no longer exist.
std::string MissingCustomersText(const std::vector<std::string>& numbers);

// Whether the print-relevant fields of form differ from the loaded layout:
// the six sheet fields, the logo, the line width, the send-to caption and
// the return-address switch.
bool LayoutSettingsChanged(const LabelLayout& form, const LabelLayout& loaded);

// The addresses the labels of the queue rows print, in queue order; the
// numbers of customers not found go to *missing. Nullopt when the customer
// file cannot be read (the data-access layer said why).
std::optional<std::vector<LabelAddress>> ReadLabelAddresses(
    company::App& app, const std::vector<company::LabelQueueRow>& rows,
    bool shipping, std::vector<std::string>* missing);

class LabelWizard {
 public:
  explicit LabelWizard(company::App& app) : app_(app) {}

  // Reads the last layout (see above); shows a damaged one's error.
  void Startup();

  bool layout_ready() const { return layout_ready_; }
  // The layout as last opened or saved (what the fields show after Open).
  const LabelLayout& loaded() const { return loaded_; }
  const std::string& layout_path() const { return layout_path_; }
  const std::string& status() const { return status_; }
  // Called whenever the status text changes (the window's status bar).
  std::function<void(const std::string&)> status_changed;

  // Open: the open dialog, then the layout. True when one was opened.
  bool OpenLayout();
  // Opens the layout at path (Open without the dialog).
  bool OpenLayoutFile(const std::string& path);
  // Save As: the save dialog, then form is written. True when saved.
  bool SaveLayoutAs(const LabelLayout& form);
  bool SaveLayoutFile(const std::string& path, const LabelLayout& form);
  // The font and bitmap dialogs; true when *form changed.
  bool ChooseFont(LabelLayout* form);
  bool ChooseBitmap(LabelLayout* form);

  // The queue commands. choose_customer opens the customer manager for
  // choosing and returns true when App::CurrentCustomer holds the choice.
  void FindCustomer(const std::function<bool()>& choose_customer);
  void LoadAll();
  void LoadAging(int button);
  void DeleteSelected(std::optional<size_t> selected);
  // False when the queue was empty (the window beeps).
  bool ClearAll();
  void SaveRecords();
  void LoadRecords();

  // Print Labels with the window's fields; true when the job went.
  bool PrintLabels(const LabelLayout& form, const std::string& start_label,
                   const std::string& copies);
  // The calibration ruler, after its question.
  bool PrintRuler();
  void PrintSetup();

 private:
  void SetStatus(const std::string& text);
  void Loaded(const LabelLayout& layout, const std::string& path);

  company::App& app_;
  bool layout_ready_ = false;
  LabelLayout loaded_;
  std::string layout_path_;
  std::string status_ = kOpenLayoutStatus;
};

}  // namespace tallybook::output

#endif  // TALLYBOOK_OUTPUT_LABEL_WIZARD_H_
